# SPDX-License-Identifier: GPL-3.0-or-later
# The game's own pictures and sounds, laid beside the executable at build time.
# The wave files are synthesised by a small tool rather than kept in the
# repository, which holds no binary audio.

add_executable(kestrada_synth tools/synth_waves.cpp)
set_target_properties(kestrada_synth PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# The browser's page takes the same sounds compressed (scripts/web.sh).
add_executable(kestrada_encode_ogg tools/encode_ogg.cpp)
target_link_libraries(kestrada_encode_ogg PRIVATE PkgConfig::SNDFILE)
set_target_properties(kestrada_encode_ogg PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

include(cmake/asset_list.cmake)
set(KESTRADA_WAVES)
foreach(name IN LISTS KESTRADA_SOUND_NAMES)
  list(APPEND KESTRADA_WAVES ${KESTRADA_OUTPUT_DIR}/${name}.wav)
endforeach()
add_custom_command(
  OUTPUT ${KESTRADA_WAVES}
  COMMAND kestrada_synth ${KESTRADA_OUTPUT_DIR}
  DEPENDS kestrada_synth
  COMMENT "Synthesising the wave files"
  VERBATIM)

kestrada_copy_pictures(${KESTRADA_OUTPUT_DIR}/pictures KESTRADA_PICTURES)

add_custom_target(kestrada_assets ALL DEPENDS ${KESTRADA_WAVES} ${KESTRADA_PICTURES})

# The icon renderer, where Qt is at hand: the icon theme's PNGs
# (install.cmake) and the page's app icons (web.cmake, through
# scripts/web.sh) are drawn from the same SVG as the window's icon.
find_package(Qt6 QUIET COMPONENTS Gui Svg)
if(TARGET Qt6::Svg)
  add_executable(kestrada_render_icon tools/render_icon.cpp)
  target_link_libraries(kestrada_render_icon PRIVATE Qt6::Gui Qt6::Svg)
  set_target_properties(kestrada_render_icon PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endif()

# Checks on what the build produced and on the picture files themselves.
if(NOT BUILD_TESTING)
  return()
endif()
add_executable(kestrada_asset_tests tests/assets_test.cpp)
target_link_libraries(kestrada_asset_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(kestrada_asset_tests PRIVATE
  KESTRADA_WAVE_DIR="${KESTRADA_OUTPUT_DIR}"
  KESTRADA_PICTURE_DIR="${CMAKE_SOURCE_DIR}/assets/pictures"
  KESTRADA_SYNTH="$<TARGET_FILE:kestrada_synth>")
add_dependencies(kestrada_asset_tests kestrada_assets)
gtest_discover_tests(kestrada_asset_tests DISCOVERY_TIMEOUT 60)
