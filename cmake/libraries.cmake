# SPDX-License-Identifier: GPL-3.0-or-later
# The toolkit-free libraries every front end stands on:
#   kestrada_shared_rules  what the game and the server decide alike (UTF-8, ...)
#   kestrada_rules    the game: the window's model and its handlers, by subsystem
#   kestrada_storage  the player's files: high score, folder lock, game folders
#   kestrada_session  the game object, recording, replaying and tracing a game;
#                     the menu commands (all the server and the headless runner need)
#   kestrada_sound    the sound engine: wave reader, clocked players, mixer
#   kestrada_scene    what a frame shows, and motion drawn between ticks
#   kestrada_halloffame  the local table, its file rules, its panel, run checks
#   kestrada_world    the world client: outbox, records, boards, requests, view
#   kestrada_play     the played session the window and the page drive
# Each library includes only those above it in this list (tests/layout).
# Each shared source belongs to exactly one of them.

function(kestrada_sources out)
  set(found)
  foreach(folder IN LISTS ARGN)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    list(APPEND found ${sources})
  endforeach()
  list(FILTER found EXCLUDE REGEX "(_test|_qtest|/main)\\.cpp$")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The standard library only: the server links it without the game.
kestrada_sources(KESTRADA_SHARED_RULES_SOURCES shared_rules)
add_library(kestrada_shared_rules STATIC ${KESTRADA_SHARED_RULES_SOURCES})
target_include_directories(kestrada_shared_rules PUBLIC ${CMAKE_SOURCE_DIR}/src)

kestrada_sources(KESTRADA_RULES_SOURCES app tick traffic weapons hazards)
add_library(kestrada_rules STATIC ${KESTRADA_RULES_SOURCES})
target_include_directories(kestrada_rules PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kestrada_rules PUBLIC kestrada_shared_rules)
target_compile_definitions(kestrada_rules PUBLIC KESTRADA_VERSION="${PROJECT_VERSION}")

# Files, the folder lock and the game's folders: the rules reach them only
# through the store's seam, and the page brings a store of its own.
kestrada_sources(KESTRADA_STORAGE_SOURCES storage)
add_library(kestrada_storage STATIC ${KESTRADA_STORAGE_SOURCES})
target_link_libraries(kestrada_storage PUBLIC kestrada_rules)

kestrada_sources(KESTRADA_SESSION_SOURCES session)
add_library(kestrada_session STATIC ${KESTRADA_SESSION_SOURCES})
target_link_libraries(kestrada_session PUBLIC kestrada_storage)

kestrada_sources(KESTRADA_SCENE_SOURCES scene)
add_library(kestrada_scene STATIC ${KESTRADA_SCENE_SOURCES})
target_link_libraries(kestrada_scene PUBLIC kestrada_rules)

# The wave reader needs libsndfile; a build without it (the browser's, where
# the browser decodes the sounds) takes the mixer and the clocks alone.
kestrada_sources(KESTRADA_SOUND_SOURCES sound)
if(EMSCRIPTEN)
  list(FILTER KESTRADA_SOUND_SOURCES EXCLUDE REGEX "/wave_data\\.cpp$")
endif()
add_library(kestrada_sound STATIC ${KESTRADA_SOUND_SOURCES})
target_include_directories(kestrada_sound PUBLIC ${CMAKE_SOURCE_DIR}/src)
if(NOT EMSCRIPTEN)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
  target_link_libraries(kestrada_sound PUBLIC PkgConfig::SNDFILE)
endif()

kestrada_sources(KESTRADA_HALLOFFAME_SOURCES halloffame)
# The page runs on one thread: its hall of fame checks runs between frames.
if(EMSCRIPTEN)
  list(FILTER KESTRADA_HALLOFFAME_SOURCES EXCLUDE REGEX "/threaded_run_checks\\.cpp$")
endif()
add_library(kestrada_halloffame STATIC ${KESTRADA_HALLOFFAME_SOURCES})
target_link_libraries(kestrada_halloffame PUBLIC kestrada_session kestrada_scene)

kestrada_sources(KESTRADA_WORLD_SOURCES world)
add_library(kestrada_world STATIC ${KESTRADA_WORLD_SOURCES})
target_link_libraries(kestrada_world PUBLIC kestrada_halloffame)

kestrada_sources(KESTRADA_PLAY_SOURCES play)
add_library(kestrada_play STATIC ${KESTRADA_PLAY_SOURCES})
target_link_libraries(kestrada_play PUBLIC kestrada_world)

# The headless program's command line and runner, which the desktop
# program also dispatches to for --headless.
kestrada_sources(KESTRADA_HEADLESS_SOURCES headless)
add_library(kestrada_headless_runner STATIC ${KESTRADA_HEADLESS_SOURCES})
target_link_libraries(kestrada_headless_runner PUBLIC kestrada_halloffame)

# Unit and behaviour tests live beside the code they test.
if(BUILD_TESTING)
  set(KESTRADA_TEST_SOURCES)
  foreach(folder IN ITEMS shared_rules app tick traffic weapons hazards storage session sound scene
      halloffame world play headless)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*_test.cpp)
    list(APPEND KESTRADA_TEST_SOURCES ${sources})
  endforeach()
  add_executable(kestrada_tests ${KESTRADA_TEST_SOURCES})
  target_link_libraries(kestrada_tests PRIVATE kestrada_headless_runner kestrada_play kestrada_sound
    GTest::gtest GTest::gtest_main)
  # The script of a session the window and the page play too.
  target_compile_definitions(kestrada_tests PRIVATE KESTRADA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # "core": scripts/mutants.sh runs this binary on its own first.
  gtest_discover_tests(kestrada_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS core)
endif()

# No toolkit header outside the front ends, no folder including one above it.
if(BUILD_TESTING)
  add_test(NAME kestrada_layout COMMAND bash ${CMAKE_SOURCE_DIR}/tests/layout/include_check.sh)
endif()
