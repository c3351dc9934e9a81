# `cpack -G DEB` builds meridel_<version>_<arch>.deb from the install rules of Install.cmake.
# Its library dependencies are computed by dpkg-shlibdeps from the installed programs, so the Qt 6
# packages of the Debian release that built it are named with the versions they need.
set(CPACK_PACKAGE_NAME meridel)
set(CPACK_PACKAGE_VENDOR "The MERIDEL developers")
set(CPACK_PACKAGE_CONTACT "${MERIDEL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The summary is the control file's synopsis; these lines, kept under 80 columns, its extended
# description.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "MERIDEL computes every programming value of an AD9852 direct digital"
  "synthesiser used as the signal source of a VHF/UHF amateur-radio beacon: the"
  "48-bit tuning words of the FSK441, JT65, JT4, WSPR and RTTY tones and of the"
  "carrier, the interval words that the PIC program adds to step between tones,"
  "the control register and the 180-degree phase constant."
  "The window (meridel) and the command-line tool (meridel-cli) write the register"
  "listing for the PIC assembly source.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws its texts in Liberation Sans, which no shared library dependency brings.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")

include(CPack)
