# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build's tests, run from the native build against a browser
# build made apart from it (scripts/web.sh --build-only makes build/web).
# Each skips, saying so, when that build or its browser is missing.
set(KESTRADA_WEB_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/web CACHE PATH
  "The browser build (scripts/web.sh) that the web tests run against")
# They run once, in the plain build: a sanitizer build of the native side
# would only slow them down.
if(NOT BUILD_TESTING OR KESTRADA_SANITIZE)
  return()
endif()

# The same games through the node build of the rules.
add_test(NAME kestrada_same_game_web
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/same_game_test.sh
    $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}> ${KESTRADA_WEB_BUILD_DIR}/kestrada-headless.js)
set_tests_properties(kestrada_same_game_web PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)

# The page in headless chromium.
add_test(NAME kestrada_browser
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/browser_test.sh ${KESTRADA_WEB_BUILD_DIR}/site
    $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}>)
set_tests_properties(kestrada_browser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)

# The same page in a second engine: firefox-esr over WebDriver BiDi.
add_test(NAME kestrada_browser_firefox
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/browser_test.sh ${KESTRADA_WEB_BUILD_DIR}/site
    $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}> firefox)
set_tests_properties(kestrada_browser_firefox PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)

# The page served by a real kestrada-server, on loopback.
if(TARGET kestrada-server)
  add_test(NAME kestrada_world_web
    COMMAND ${CMAKE_SOURCE_DIR}/tests/web/world_test.sh ${KESTRADA_WEB_BUILD_DIR}/site
      $<TARGET_FILE:kestrada-server> ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(kestrada_world_web PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# One session through the window and through the page, byte for byte.
if(KESTRADA_WITH_DESKTOP)
  add_test(NAME kestrada_same_session
    COMMAND ${CMAKE_SOURCE_DIR}/tests/web/same_session_test.sh ${KESTRADA_WEB_BUILD_DIR}/site
      $<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}> $<TARGET_FILE:same_session_qtest>)
  set_tests_properties(kestrada_same_session PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
endif()

# The site as an installed app: kept for play offline, installable, and
# updated whole.
add_test(NAME kestrada_offline
  COMMAND ${CMAKE_SOURCE_DIR}/tests/web/offline_test.sh ${KESTRADA_WEB_BUILD_DIR}/site)
set_tests_properties(kestrada_offline PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
