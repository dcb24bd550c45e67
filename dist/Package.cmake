# `make package`: a Debian package of the install, velmorax_<version>_<arch>.deb, built by CPack
# from the tree already built. Its library dependencies come from dpkg-shlibdeps.

find_program(VX_DPKG dpkg)
if(VX_DPKG)
  execute_process(COMMAND ${VX_DPKG} --print-architecture OUTPUT_VARIABLE vx_deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
else()
  set(vx_deb_arch ${CMAKE_SYSTEM_PROCESSOR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmorax)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Tesmo <support@velmorax.example.org>")
set(CPACK_PACKAGE_VENDOR Tesmo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small round desktop clock whose moon follows the real moon")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME velmorax_${PROJECT_VERSION}_${vx_deb_arch}.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${vx_deb_arch})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tesmo <support@velmorax.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmorax.example.org/)
# The summary above is the first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmorax shows one round, borderless window of 60, 120 or 240 pixels that
floats on the desktop. Its dial is a picture: the numerals 1 to 12 on a ring
of seasonal scenes, and a photograph of the full moon in the middle that waxes
and wanes with the real moon. Three hands show the time, or the year, the
month and the day. Every command is on the right-click menu; an optional
notification-area icon shows the moon's phase.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The menus, the messages and the about box are Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk, fonts-ipafont-mincho | fonts-noto-cjk")
# A Wayland session without XWayland needs Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Things an install of the program by hand keeps as they are, which a package must change:
# compressed manual pages and a changelog (dist/PackagePreBuild.cmake).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/PackagePreBuild.cmake)
set(CPACK_VX_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/changelog)

include(CPack)
