# SPDX-License-Identifier: GPL-3.0-or-later
# The Qt window: painting, keys, menus, the frame timer and the real sound
# players. The game itself stays in kestrada_core and knows nothing of Qt.
if(KESTRADA_WITH_VIEW)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Multimedia Svg Test)
  find_package(PkgConfig REQUIRED)
  # Game controllers (input only).
  pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
  # The wave files are read with libsndfile, once, into memory.
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

  file(GLOB KESTRADA_VIEW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/view/*.cpp)
  list(FILTER KESTRADA_VIEW_SOURCES EXCLUDE REGEX "(/main|_qtest)\\.cpp$")

  add_library(kestrada_view STATIC ${KESTRADA_VIEW_SOURCES})
  set_target_properties(kestrada_view PROPERTIES AUTOMOC ON)
  target_link_libraries(kestrada_view PUBLIC kestrada_core Qt6::Widgets Qt6::Multimedia Qt6::Svg
    PkgConfig::SNDFILE PRIVATE PkgConfig::SDL2)
  # Qt's strict mode: no implicit conversions between QString and char*,
  # no macros that clash with the standard library.
  target_compile_definitions(kestrada_view PUBLIC
    QT_NO_KEYWORDS
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER
    QT_STRICT_ITERATORS
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

  add_executable(kestrada ${CMAKE_SOURCE_DIR}/src/view/main.cpp)
  target_link_libraries(kestrada PRIVATE kestrada_view)
  set_target_properties(kestrada PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KESTRADA_OUTPUT_DIR})
  if(TARGET kestrada_assets)
    add_dependencies(kestrada kestrada_assets)
  endif()

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
  add_executable(kestrada_sound_check ${CMAKE_SOURCE_DIR}/tests/sound/sound_check.cpp
    ${CMAKE_SOURCE_DIR}/src/view/wave_data.cpp)
  target_include_directories(kestrada_sound_check PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(kestrada_sound_check PRIVATE PkgConfig::SNDFILE)
  # The correlations are slow unoptimised.
  target_compile_options(kestrada_sound_check PRIVATE -O2)
  set_target_properties(kestrada_sink_recorder kestrada_sound_check PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
  add_test(NAME kestrada_real_sound
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/sound/real_sound_test.sh $<TARGET_FILE:kestrada>
      $<TARGET_FILE:kestrada_sink_recorder> $<TARGET_FILE:kestrada_sound_check>
      ${KESTRADA_OUTPUT_DIR})
  # Alone: its timings are the point, and other tests' load would blur them.
  set_tests_properties(kestrada_real_sound PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)

  # One Qt Test program per file; they open real windows on the offscreen
  # platform and leave their screenshots in the build tree for review.
  set(KESTRADA_SCREENSHOT_DIR ${CMAKE_BINARY_DIR}/screenshots)
  file(GLOB KESTRADA_VIEW_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/view/*_qtest.cpp)
  foreach(test_source IN LISTS KESTRADA_VIEW_TESTS)
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source})
    set_target_properties(${test_name} PROPERTIES
      AUTOMOC ON
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/view_tests)
    target_link_libraries(${test_name} PRIVATE kestrada_view Qt6::Test)
    target_compile_definitions(${test_name} PRIVATE
      KESTRADA_PICTURE_DIR="${KESTRADA_OUTPUT_DIR}/pictures"
      KESTRADA_SCREENSHOT_DIR="${KESTRADA_SCREENSHOT_DIR}")
    if(TARGET kestrada_assets)
      add_dependencies(${test_name} kestrada_assets)
    endif()
    add_test(NAME ${test_name} COMMAND ${test_name})
    set_tests_properties(${test_name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      TIMEOUT 120)
  endforeach()
  # Drives the window with SDL's virtual controllers.
  target_link_libraries(window_qtest PRIVATE PkgConfig::SDL2)
  # The replay test checks the window's recording against the real program.
  target_compile_definitions(replay_qtest PRIVATE KESTRADA_PROGRAM="$<TARGET_FILE:kestrada>")
  add_dependencies(replay_qtest kestrada)
endif()
