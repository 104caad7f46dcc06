# SPDX-License-Identifier: GPL-3.0-or-later
# Installing the game as a desktop application, and its Debian package.
# Installed, the program finds its data at ../share/kestrada from its own
# folder, so the tree can be moved as a whole; nothing else is compiled in.

include(GNUInstallDirs)

set(KESTRADA_APP_ID io.github.kestrada.Kestrada)

if(NOT TARGET kestrada)
  return() # a core-only build installs nothing
endif()

set(KESTRADA_GAME_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kestrada)
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(WARNING "kestrada finds its data at bin/../share/kestrada: keep the default "
                  "bin and share install folders")
endif()

# The icon theme's PNGs, rendered from the same SVG the window shows
# (the renderer is in assets.cmake).
set(KESTRADA_ICON_SIZES 16 24 32 48 64 128 256)
set(KESTRADA_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(KESTRADA_ICON_PNGS)
foreach(size IN LISTS KESTRADA_ICON_SIZES)
  list(APPEND KESTRADA_ICON_PNGS ${KESTRADA_ICON_DIR}/${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${KESTRADA_ICON_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRADA_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:kestrada_render_icon> ${KESTRADA_ICON_SVG} ${KESTRADA_ICON_DIR}
          ${KESTRADA_ICON_SIZES}
  DEPENDS kestrada_render_icon ${KESTRADA_ICON_SVG}
  COMMENT "Rendering the icon theme's PNGs"
  VERBATIM)

# The metainfo and the manual page carry the version; the page is shipped
# compressed, as Debian does.
configure_file(data/${KESTRADA_APP_ID}.metainfo.xml
  ${CMAKE_BINARY_DIR}/data/${KESTRADA_APP_ID}.metainfo.xml @ONLY)
configure_file(data/kestrada.6 ${CMAKE_BINARY_DIR}/data/kestrada.6 @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data/kestrada.6.gz
  COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/data/kestrada.6
  DEPENDS ${CMAKE_BINARY_DIR}/data/kestrada.6
  VERBATIM)
add_custom_target(kestrada_install_data ALL
  DEPENDS ${KESTRADA_ICON_PNGS} ${CMAKE_BINARY_DIR}/data/kestrada.6.gz)

install(TARGETS kestrada RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KESTRADA_WAVES} DESTINATION ${KESTRADA_GAME_DATA_DIR})
install(FILES ${KESTRADA_PICTURE_SOURCES} DESTINATION ${KESTRADA_GAME_DATA_DIR}/pictures)
install(FILES data/${KESTRADA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/data/${KESTRADA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KESTRADA_ICON_SVG} RENAME ${KESTRADA_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS KESTRADA_ICON_SIZES)
  install(FILES ${KESTRADA_ICON_DIR}/${size}.png RENAME ${KESTRADA_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/data/kestrada.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# Where a Debian system looks for a package's licence.
install(FILES COPYING RENAME copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB in the build folder: kestrada_<version>_amd64.deb.
set(CPACK_PACKAGE_NAME kestrada)
set(CPACK_PACKAGE_VENDOR "Kestrada crew")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down arcade driving on a dangerous road")
set(CPACK_PACKAGE_DESCRIPTION
  "Take your car up a road full of craters, wrecks, reckless civilian drivers
and a vicious road hog. Points come from the distance travelled, more at
speed, and from every vehicle that crashes. Missiles and mines help, and
shoving cars off the road scores best. The best score is kept in the
player's own data folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrada crew <crew@kestrada.invalid>")
# Every library the game needs is linked (Qt, libsndfile for the waves,
# SDL2 for controllers), so shlibdeps finds them all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The install as a player meets it, and the package (tests/install_test.sh).
add_test(NAME kestrada_install
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(kestrada_install PROPERTIES
  TIMEOUT 300
  PASS_REGULAR_EXPRESSION "install test: all passed"
  FAIL_REGULAR_EXPRESSION "FAIL:")
