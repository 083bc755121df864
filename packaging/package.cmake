# make package: a .deb of what packaging/CMakeLists.txt installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessevar)
set(CPACK_PACKAGE_VENDOR "the Tessevar developers")
# Maintainer and Homepage: see packaging/CMakeLists.txt (TESSEVAR_MAINTAINER, TESSEVAR_HOMEPAGE).
set(CPACK_PACKAGE_CONTACT "${TESSEVAR_PACKAGE_MAINTAINER}")
if(TESSEVAR_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TESSEVAR_HOMEPAGE}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "relay between a Behringer X-Touch and a mixer that drives the mixer's editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessevar relays the UDP MIDI traffic between a Behringer X-Touch control
surface and a digital mixer (port 10111), and keeps the mixer's editor
application on the same X display showing the surface's channel, page and
view by clicking into its window and sending it keys.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Install through DESTDIR with the real prefix, so the user unit names
# /usr/bin/tessevar and not CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Debian strips the compiler's notes too (dh_strip), which CPack's strip leaves.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip-notes.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The linked libraries (libc6, libstdc++6, libgcc-s1, libx11-6, libxtst6)
# come from dpkg-shlibdeps with their versions; of the tools run at run
# time, ps comes from procps; whereis from util-linux, which is essential
# and so never named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "procps")
include(CPack)
