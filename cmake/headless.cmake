# SPDX-License-Identifier: GPL-3.0-or-later
# The headless program (the desktop program's --headless when it is built),
# and end-to-end checks of the headless mode: the real program, run as a user
# or a script would run it. Without the window the toolkit-free program
# stands in, so a sanitizer build of the core runs the same checks.
if(KESTRADA_WITH_DESKTOP)
  set(KESTRADA_HEADLESS_PROGRAM kestrada)
else()
  add_executable(kestrada_headless ${CMAKE_SOURCE_DIR}/src/headless/main.cpp)
  target_link_libraries(kestrada_headless PRIVATE kestrada_headless_runner)
  set(KESTRADA_HEADLESS_PROGRAM kestrada_headless)
endif()
if(NOT BUILD_TESTING)
  return()
endif()

add_executable(kestrada_headless_e2e ${CMAKE_SOURCE_DIR}/tests/headless/e2e_test.cpp)
target_link_libraries(kestrada_headless_e2e PRIVATE kestrada_session GTest::gtest GTest::gtest_main)
target_compile_definitions(kestrada_headless_e2e PRIVATE
  KESTRADA_PROGRAM="$<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}>"
  KESTRADA_INPUT_DIR="${CMAKE_SOURCE_DIR}/tests/headless/inputs")
add_dependencies(kestrada_headless_e2e ${KESTRADA_HEADLESS_PROGRAM})
gtest_discover_tests(kestrada_headless_e2e DISCOVERY_TIMEOUT 60)
