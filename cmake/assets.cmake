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

set(KESTRADA_WAVES
  ${KESTRADA_OUTPUT_DIR}/Start.wav
  ${KESTRADA_OUTPUT_DIR}/Crash.wav
  ${KESTRADA_OUTPUT_DIR}/Kestrada.wav)
add_custom_command(
  OUTPUT ${KESTRADA_WAVES}
  COMMAND kestrada_synth ${KESTRADA_OUTPUT_DIR}
  DEPENDS kestrada_synth
  COMMENT "Synthesising the wave files"
  VERBATIM)

# One copy rule per picture, so that an edited picture is copied again.
file(GLOB KESTRADA_PICTURE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/assets/pictures/*.svg)
set(KESTRADA_PICTURES)
foreach(source IN LISTS KESTRADA_PICTURE_SOURCES)
  get_filename_component(name ${source} NAME)
  set(target_file ${KESTRADA_OUTPUT_DIR}/pictures/${name})
  add_custom_command(
    OUTPUT ${target_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRADA_OUTPUT_DIR}/pictures
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${target_file}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND KESTRADA_PICTURES ${target_file})
endforeach()

add_custom_target(kestrada_assets ALL DEPENDS ${KESTRADA_WAVES} ${KESTRADA_PICTURES})

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
