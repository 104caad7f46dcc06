# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzing the readers of files a user hands the game: the high-score file,
# the hall of fame's file, the headless input file, and what a client
# sends the server. The kept corpus also runs as an ordinary
# test in every build, with any compiler, so a fixed fault stays fixed.
option(KESTRADA_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(KESTRADA_FUZZ_CORPUS_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz-corpus)
if(NOT BUILD_TESTING)
  return()
endif()

add_executable(kestrada_fuzz_corpus_tests ${CMAKE_SOURCE_DIR}/fuzz/corpus_replay_test.cpp)
target_include_directories(kestrada_fuzz_corpus_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(kestrada_fuzz_corpus_tests PRIVATE
  kestrada_halloffame GTest::gtest GTest::gtest_main)
target_compile_definitions(kestrada_fuzz_corpus_tests PRIVATE
  KESTRADA_FUZZ_CORPUS_DIR="${KESTRADA_FUZZ_CORPUS_DIR}")
gtest_discover_tests(kestrada_fuzz_corpus_tests DISCOVERY_TIMEOUT 60)

if(KESTRADA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KESTRADA_FUZZ needs clang, whose libFuzzer drives the targets")
  endif()
  # The code under test is compiled into each target with the fuzzer's
  # coverage hooks; the core library stays as the rest of the build has it.
  set(KESTRADA_FUZZ_FLAGS
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  function(kestrada_add_fuzz_target name)
    add_executable(${name} ${CMAKE_SOURCE_DIR}/fuzz/${name}.cpp ${ARGN})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KESTRADA_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE ${KESTRADA_FUZZ_FLAGS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endfunction()
  kestrada_add_fuzz_target(high_score_fuzz ${CMAKE_SOURCE_DIR}/src/storage/high_score_file.cpp
    ${CMAKE_SOURCE_DIR}/src/storage/replace_file.cpp ${CMAKE_SOURCE_DIR}/src/storage/folder_lock.cpp
    ${CMAKE_SOURCE_DIR}/src/app/score_text.cpp)
  # The reader names menu commands from the session's table, whose entries
  # point at the form's handlers: the table and the rules come along as they are.
  kestrada_add_fuzz_target(input_file_fuzz ${CMAKE_SOURCE_DIR}/src/session/input_file.cpp)
  target_link_libraries(input_file_fuzz PRIVATE kestrada_session)
  kestrada_add_fuzz_target(hall_of_fame_fuzz
    ${CMAKE_SOURCE_DIR}/src/storage/hall_of_fame_file.cpp ${CMAKE_SOURCE_DIR}/src/halloffame/hall_of_fame.cpp)
  target_link_libraries(hall_of_fame_fuzz PRIVATE kestrada_halloffame)
  set(KESTRADA_FUZZ_TARGETS high_score_fuzz hall_of_fame_fuzz input_file_fuzz)
  # What a client sends the server: names, claims, dates and run files.
  if(TARGET kestrada_server_core)
    kestrada_add_fuzz_target(server_params_fuzz ${CMAKE_SOURCE_DIR}/src/server/player_name.cpp
      ${CMAKE_SOURCE_DIR}/src/server/run_intake.cpp ${CMAKE_SOURCE_DIR}/src/server/utc_time.cpp)
    target_link_libraries(server_params_fuzz PRIVATE kestrada_session PkgConfig::LIBCRYPTO PkgConfig::ICU
      nlohmann_json::nlohmann_json)
    list(APPEND KESTRADA_FUZZ_TARGETS server_params_fuzz)
  endif()
  add_custom_target(kestrada_fuzz_targets DEPENDS ${KESTRADA_FUZZ_TARGETS})
endif()
