# Settings of the WebAssembly build (emcmake cmake, see web/build), before the library folders.

# The encoders report refused messages with exceptions: catch them in WebAssembly too.
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sDISABLE_EXCEPTION_CATCHING=0)

# nlohmann-json is header-only: take Debian's header alone, never the host's /usr/include.
set(MERIDEL_WEB_JSON_INCLUDE ${PROJECT_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${MERIDEL_WEB_JSON_INCLUDE})
if(NOT EXISTS ${MERIDEL_WEB_JSON_INCLUDE}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${MERIDEL_WEB_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${MERIDEL_WEB_JSON_INCLUDE})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_headers)
