# Settings of the WebAssembly build (emcmake cmake, see web/build), before the library folders.

# The encoders and the run report failures with exceptions: catch them in WebAssembly too, with
# its own exception handling (JavaScript-emulated catching would route every call that may throw
# through JavaScript). Debian's emscripten ships the matching C++ runtime built in its cache.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

# Small code before fast code: the page's first result waits for the browser to compile the whole
# module, and a run takes a few milliseconds either way.
add_compile_options(-Os)

# nlohmann-json is header-only: take Debian's header alone, never the host's /usr/include.
set(MERIDEL_WEB_JSON_INCLUDE ${PROJECT_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${MERIDEL_WEB_JSON_INCLUDE})
if(NOT EXISTS ${MERIDEL_WEB_JSON_INCLUDE}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${MERIDEL_WEB_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${MERIDEL_WEB_JSON_INCLUDE})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json_headers)

# JT65's Reed-Solomon code: libfec's encoder built from Debian's source, which web/build unpacks
# here. Upstream's files as they are, so their own warnings are not ours to fix.
enable_language(C)
set(MERIDEL_FEC_SOURCE_DIR ${PROJECT_BINARY_DIR}/libfec CACHE PATH "libfec's unpacked source")
if(NOT EXISTS ${MERIDEL_FEC_SOURCE_DIR}/encode_rs_int.c)
  message(FATAL_ERROR "MERIDEL_FEC_SOURCE_DIR (${MERIDEL_FEC_SOURCE_DIR}) holds no libfec source: "
    "web/build fetches Debian's libfec source there")
endif()
add_library(meridel_fec STATIC ${MERIDEL_FEC_SOURCE_DIR}/init_rs_int.c
  ${MERIDEL_FEC_SOURCE_DIR}/encode_rs_int.c)
target_include_directories(meridel_fec SYSTEM PUBLIC ${MERIDEL_FEC_SOURCE_DIR})
target_compile_options(meridel_fec PRIVATE -Os -w)
add_library(fec::fec ALIAS meridel_fec)
