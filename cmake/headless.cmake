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

# The browser build's checks run once, in the plain build.
if(KESTRADA_SANITIZE)
  return()
endif()
# The same games through the node build of the rules (scripts/web.sh
# --build-only makes it); skipped when it has not been built.
add_test(NAME kestrada_same_game_web
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/same_game_test.sh
    $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}> ${CMAKE_SOURCE_DIR}/build/web/kestrada-headless.js)
set_tests_properties(kestrada_same_game_web PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)

# The page in headless chromium, against the site scripts/web.sh builds.
add_test(NAME kestrada_browser
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/browser_test.sh ${CMAKE_SOURCE_DIR}/build/web/site
    $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}>)
set_tests_properties(kestrada_browser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
