# SPDX-License-Identifier: GPL-3.0-or-later
# Micro-benchmarks of the hot paths: one tick of a busy game and one trace
# record. The headless program without --trace is the end-to-end measure.
# With the window: the cost of painting a busy frame, and the programs
# bench/run.sh uses to time the window's start-up against a bare Qt window.
if(KESTRADA_WITH_BENCH)
  find_package(benchmark REQUIRED)

  # The busy seeded game every benchmark measures.
  add_library(kestrada_bench_support STATIC ${CMAKE_SOURCE_DIR}/bench/busy_game.cpp)
  target_include_directories(kestrada_bench_support PUBLIC ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(kestrada_bench_support PUBLIC kestrada_session)

  add_executable(kestrada_tick_bench ${CMAKE_SOURCE_DIR}/bench/tick_bench.cpp)
  target_link_libraries(kestrada_tick_bench PRIVATE kestrada_bench_support benchmark::benchmark)

  # Launches a program, times it to its first frame, reads its peak memory.
  add_executable(kestrada_launch_probe ${CMAKE_SOURCE_DIR}/bench/launch_probe.cpp)

  # A slot of the player's game alone and with a ghost racing beside it.
  add_executable(kestrada_ghost_bench ${CMAKE_SOURCE_DIR}/bench/ghost_bench.cpp)
  target_link_libraries(kestrada_ghost_bench PRIVATE kestrada_play benchmark::benchmark)

  set(KESTRADA_BENCH_TARGETS kestrada_tick_bench kestrada_ghost_bench kestrada_launch_probe)

  if(KESTRADA_WITH_DESKTOP)
    add_executable(kestrada_paint_bench ${CMAKE_SOURCE_DIR}/bench/paint_bench.cpp)
    target_link_libraries(kestrada_paint_bench PRIVATE
      kestrada_bench_support kestrada_desktop benchmark::benchmark)
    target_compile_definitions(kestrada_paint_bench PRIVATE
      KESTRADA_PICTURE_DIR="${KESTRADA_OUTPUT_DIR}/pictures")
    if(TARGET kestrada_assets)
      add_dependencies(kestrada_paint_bench kestrada_assets)
    endif()

    # The baseline: shares the game's first-frame probe and nothing else.
    add_executable(kestrada_bare_window ${CMAKE_SOURCE_DIR}/bench/bare_window.cpp)
    target_link_libraries(kestrada_bare_window PRIVATE kestrada_first_frame_probe)

    # From a play call to its sound at the sound server.
    add_executable(kestrada_sound_latency_probe ${CMAKE_SOURCE_DIR}/bench/sound_latency_probe.cpp)
    target_link_libraries(kestrada_sound_latency_probe PRIVATE kestrada_desktop)
    # Times each of those calls to its sound in the server's recording.
    add_executable(kestrada_sound_latency ${CMAKE_SOURCE_DIR}/bench/sound_latency.cpp)
    target_include_directories(kestrada_sound_latency PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(kestrada_sound_latency PRIVATE kestrada_sound)
    # The correlations are slow unoptimised.
    target_compile_options(kestrada_sound_latency PRIVATE -O2)

    list(APPEND KESTRADA_BENCH_TARGETS kestrada_paint_bench kestrada_bare_window
      kestrada_sound_latency_probe kestrada_sound_latency)

    # The start-up measure end to end: each program reports its first frame
    # through the launcher and exits cleanly.
    set(KESTRADA_FIRST_FRAME_SCRATCH ${CMAKE_BINARY_DIR}/first_frame_scratch)
    file(MAKE_DIRECTORY ${KESTRADA_FIRST_FRAME_SCRATCH})
    add_test(NAME kestrada_first_frame_game COMMAND kestrada_launch_probe
      $<TARGET_FILE:kestrada> --seed 1 --data-dir ${KESTRADA_FIRST_FRAME_SCRATCH})
    add_test(NAME kestrada_first_frame_bare COMMAND kestrada_launch_probe
      $<TARGET_FILE:kestrada_bare_window>)
    set_tests_properties(kestrada_first_frame_game kestrada_first_frame_bare PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      PASS_REGULAR_EXPRESSION "startup_ms=[0-9.]+ maxrss_kb=[1-9][0-9]* cpu_ms=[0-9.]+"
      TIMEOUT 60)
  endif()

  set_target_properties(${KESTRADA_BENCH_TARGETS} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
