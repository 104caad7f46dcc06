# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop front end: the Qt window, painting, keys, menus, controllers,
# the frame timer and the sound device. It links the toolkit-free libraries
# and holds no rule of its own.
if(NOT KESTRADA_WITH_DESKTOP)
  return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Widgets Multimedia Svg Network)
# Game controllers (input only).
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)

# The opt-in first-frame measure, shared with the bare window of the bench.
add_library(kestrada_first_frame_probe STATIC ${CMAKE_SOURCE_DIR}/src/desktop/first_frame_probe.cpp)
target_include_directories(kestrada_first_frame_probe PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kestrada_first_frame_probe PUBLIC Qt6::Widgets)

kestrada_sources(KESTRADA_DESKTOP_SOURCES desktop)
list(FILTER KESTRADA_DESKTOP_SOURCES EXCLUDE REGEX "/first_frame_probe\\.cpp$")
add_library(kestrada_desktop STATIC ${KESTRADA_DESKTOP_SOURCES})
set_target_properties(kestrada_desktop PROPERTIES AUTOMOC ON)
target_link_libraries(kestrada_desktop
  PUBLIC kestrada_headless_runner kestrada_play kestrada_sound kestrada_first_frame_probe
         Qt6::Widgets Qt6::Multimedia Qt6::Svg Qt6::Network
  PRIVATE PkgConfig::SDL2)
# Qt's strict mode: no implicit conversions between QString and char*,
# no macros that clash with the standard library.
target_compile_definitions(kestrada_desktop PUBLIC
  QT_NO_KEYWORDS
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_FOREACH
  QT_USE_QSTRINGBUILDER
  QT_STRICT_ITERATORS
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

add_executable(kestrada ${CMAKE_SOURCE_DIR}/src/desktop/main.cpp)
target_link_libraries(kestrada PRIVATE kestrada_desktop)
set_target_properties(kestrada PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KESTRADA_OUTPUT_DIR})
add_dependencies(kestrada kestrada_assets)

if(NOT BUILD_TESTING)
  return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Test)

# The headless mode must not need a display: with none to connect to, a
# QApplication created by mistake would abort the run.
set(KESTRADA_HEADLESS_SCRATCH ${CMAKE_BINARY_DIR}/headless_without_display)
file(MAKE_DIRECTORY ${KESTRADA_HEADLESS_SCRATCH})
add_test(NAME kestrada_headless_without_display
  COMMAND kestrada --headless --seed 1 --slots 30 --data-dir ${KESTRADA_HEADLESS_SCRATCH})
set_tests_properties(kestrada_headless_without_display PROPERTIES
  ENVIRONMENT "DISPLAY=;WAYLAND_DISPLAY=;QT_QPA_PLATFORM=xcb"
  PASS_REGULAR_EXPRESSION "slots=30 ")

# The game heard through a private sound server: a recorder of the
# server's sink, and a checker of the recording against the tick log.
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
add_executable(kestrada_sink_recorder ${CMAKE_SOURCE_DIR}/tests/sound/sink_recorder.cpp)
target_link_libraries(kestrada_sink_recorder PRIVATE PkgConfig::PULSE_SIMPLE PkgConfig::SNDFILE)
add_executable(kestrada_sound_check ${CMAKE_SOURCE_DIR}/tests/sound/sound_check.cpp)
target_link_libraries(kestrada_sound_check PRIVATE kestrada_sound)
# The correlations are slow unoptimised.
target_compile_options(kestrada_sound_check PRIVATE -O2)
set_target_properties(kestrada_sink_recorder kestrada_sound_check PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
add_test(NAME kestrada_real_sound
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/sound/real_sound_test.sh $<TARGET_FILE:kestrada>
    $<TARGET_FILE:kestrada_sink_recorder> $<TARGET_FILE:kestrada_sound_check>
    ${KESTRADA_OUTPUT_DIR})
# Alone: its timings are the point, and other tests' load would blur them.
set_tests_properties(kestrada_real_sound PROPERTIES TIMEOUT 420 RUN_SERIAL TRUE)

# One Qt Test program per file; they open real windows on the offscreen
# platform and leave their screenshots in the build tree for review.
set(KESTRADA_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
file(GLOB KESTRADA_DESKTOP_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/desktop/*_qtest.cpp)
foreach(test_source IN LISTS KESTRADA_DESKTOP_TESTS)
  get_filename_component(test_name ${test_source} NAME_WE)
  add_executable(${test_name} ${test_source})
  set_target_properties(${test_name} PROPERTIES
    AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/desktop_tests)
  target_link_libraries(${test_name} PRIVATE kestrada_desktop Qt6::Test)
  target_compile_definitions(${test_name} PRIVATE
    KESTRADA_PICTURE_DIR="${KESTRADA_OUTPUT_DIR}/pictures"
    KESTRADA_SCREENSHOT_DIR="${KESTRADA_SCREENSHOT_DIR}")
  add_dependencies(${test_name} kestrada_assets)
  add_test(NAME ${test_name} COMMAND ${test_name})
  set_tests_properties(${test_name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT 120)
endforeach()
# Full screen needs a real X server and a window manager.
add_test(NAME full_screen_qtest_x11
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/full_screen_test.sh $<TARGET_FILE:full_screen_qtest>)
set_tests_properties(full_screen_qtest_x11 PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
# Drive the window with SDL's virtual controllers.
target_link_libraries(window_qtest PRIVATE PkgConfig::SDL2)
target_link_libraries(same_session_qtest PRIVATE PkgConfig::SDL2)
# The script of the session the page plays too.
target_compile_definitions(same_session_qtest PRIVATE KESTRADA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  KESTRADA_PROGRAM="$<TARGET_FILE:kestrada>")
add_dependencies(same_session_qtest kestrada)
# The replay test checks the window's recording against the real program.
target_compile_definitions(replay_qtest PRIVATE KESTRADA_PROGRAM="$<TARGET_FILE:kestrada>")
add_dependencies(replay_qtest kestrada)
# The world's server the hall of fame sends its runs to, on loopback.
target_include_directories(world_qtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
if(TARGET kestrada-server)
  target_compile_definitions(world_qtest PRIVATE KESTRADA_SERVER_PROGRAM="$<TARGET_FILE:kestrada-server>")
  target_sources(world_qtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/server/server_process.cpp)
  add_dependencies(world_qtest kestrada-server)
endif()
