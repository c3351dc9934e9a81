# What `cmake --install` puts on a user's machine: the two programs with their manual pages, the
# desktop entry, the AppStream metainfo, the icon in the hicolor theme and the documents. Included from the top-level CMakeLists.txt after the programs' targets exist.
include(GNUInstallDirs)

# The application ID names the desktop entry, the metainfo and the icon, as desktops expect.
set(MERIDEL_APP_ID org.meridel.Meridel)
set(MERIDEL_PKG_DIR ${PROJECT_SOURCE_DIR}/pkg)
set(MERIDEL_ICON_DIR ${PROJECT_SOURCE_DIR}/src/gui/icons)

set(MERIDEL_MAINTAINER "The MERIDEL developers <meridel@example.org>")

install(TARGETS meridel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The release date of this version comes from its CHANGELOG.md section; the Debian change log
# that the package must carry is made from it.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release_heading
     REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9]+-[0-9]+-[0-9]+$")
if(NOT release_heading MATCHES "([0-9]+-[0-9]+-[0-9]+)$")
  message(FATAL_ERROR "CHANGELOG.md has no section \"## [${PROJECT_VERSION}] - YYYY-MM-DD\": "
                      "add one for the project version")
endif()
execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_1} 12:00"
                OUTPUT_VARIABLE MERIDEL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
configure_file(${MERIDEL_PKG_DIR}/changelog.Debian.in ${PROJECT_BINARY_DIR}/pkg/changelog @ONLY)

# Debian installs manual pages and change logs compressed; -n keeps the time stamp out so that
# builds are repeatable.
set(compressed ${PROJECT_BINARY_DIR}/pkg/changelog.gz)
foreach(page meridel-cli.1 meridel.1)
  configure_file(${MERIDEL_PKG_DIR}/${page}.in ${PROJECT_BINARY_DIR}/pkg/${page} @ONLY)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/pkg/${page}.gz
    COMMAND gzip -9 -n -c ${page} > ${page}.gz
    DEPENDS ${PROJECT_BINARY_DIR}/pkg/${page}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/pkg
    VERBATIM)
  list(APPEND compressed ${PROJECT_BINARY_DIR}/pkg/${page}.gz)
endforeach()
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/pkg/changelog.gz
  COMMAND gzip -9 -n -c changelog > changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/pkg/changelog
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/pkg
  VERBATIM)
add_custom_target(meridel_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/pkg/meridel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The desktop integration belongs to the window: without it the menu entry would start nothing.
if(TARGET meridel)
  install(TARGETS meridel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/pkg/meridel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${MERIDEL_PKG_DIR}/${MERIDEL_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${MERIDEL_PKG_DIR}/${MERIDEL_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${MERIDEL_ICON_DIR}/meridel-32.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
          RENAME ${MERIDEL_APP_ID}.png)
  install(FILES ${MERIDEL_ICON_DIR}/meridel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${MERIDEL_APP_ID}.svg)
endif()

# Debian wants the license as share/doc/<package>/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
              ${PROJECT_BINARY_DIR}/pkg/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The example beacon plans, to start a plan file from.
file(GLOB MERIDEL_EXAMPLE_PLANS ${PROJECT_SOURCE_DIR}/examples/*.toml)
install(FILES ${MERIDEL_EXAMPLE_PLANS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# The README shows the window's screenshot from docs/, beside it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshot.png DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
