# SPDX-License-Identifier: GPL-3.0-or-later
# kestrada-server, the shared hall of fame, on Debian's Boost.Beast
# (header-only), SQLite, libpq, nlohmann-json and ICU (names in every
# script); the tests speak to it with cpp-httplib. It follows the tests by
# default, since playing the game needs none of these libraries.
option(KESTRADA_WITH_SERVER "Build kestrada-server" ${BUILD_TESTING})
if(NOT KESTRADA_WITH_SERVER)
  return()
endif()

find_package(PkgConfig REQUIRED)
find_package(Boost 1.74 REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
pkg_check_modules(LIBCRYPTO REQUIRED IMPORTED_TARGET libcrypto)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
find_package(nlohmann_json 3.10 REQUIRED)

file(GLOB KESTRADA_SERVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/server/*.cpp)
list(FILTER KESTRADA_SERVER_SOURCES EXCLUDE REGEX "(_test|/main|/replay_helper_main)\\.cpp$")
add_library(kestrada_server_core STATIC ${KESTRADA_SERVER_SOURCES})
target_link_libraries(kestrada_server_core PUBLIC kestrada_session kestrada_shared_rules
  Boost::headers Threads::Threads PkgConfig::SQLITE3 PkgConfig::LIBPQ PkgConfig::LIBCRYPTO
  PkgConfig::ICU nlohmann_json::nlohmann_json)

add_executable(kestrada-server ${CMAKE_SOURCE_DIR}/src/server/main.cpp)
target_link_libraries(kestrada-server PRIVATE kestrada_server_core)
# The replay helper started once a run: the rules alone, so it starts in a
# millisecond or two where the whole server takes tens.
add_executable(kestrada-server-replay ${CMAKE_SOURCE_DIR}/src/server/replay_helper_main.cpp
  ${CMAKE_SOURCE_DIR}/src/server/replay_child.cpp)
target_link_libraries(kestrada-server-replay PRIVATE kestrada_session)
add_dependencies(kestrada-server kestrada-server-replay)

# Installed beside the game, with its manual and a systemd unit that is
# shipped but not enabled.
include(GNUInstallDirs)
configure_file(${CMAKE_SOURCE_DIR}/data/kestrada-server.6 ${CMAKE_BINARY_DIR}/data/kestrada-server.6
  @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data/kestrada-server.6.gz
  COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/data/kestrada-server.6
  DEPENDS ${CMAKE_BINARY_DIR}/data/kestrada-server.6
  VERBATIM)
add_custom_target(kestrada_server_manual ALL DEPENDS ${CMAKE_BINARY_DIR}/data/kestrada-server.6.gz)
install(TARGETS kestrada-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kestrada-server-replay RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kestrada-server)
install(FILES ${CMAKE_BINARY_DIR}/data/kestrada-server.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/data/kestrada-server.service
  DESTINATION lib/systemd/system)
# The reverse proxy's site, for the operator to copy and fill in.
install(FILES ${CMAKE_SOURCE_DIR}/data/nginx/kestrada-server.conf
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrada-server/examples/nginx)

if(NOT BUILD_TESTING)
  return()
endif()
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

# The server links the session and the shared rules, nothing of the player's
# side: read from its link command and its symbols.
add_test(NAME kestrada_server_link COMMAND bash ${CMAKE_SOURCE_DIR}/tests/layout/server_link_check.sh
  ${CMAKE_BINARY_DIR} $<TARGET_FILE:kestrada-server>)

# A private PostgreSQL cluster, started by the tests that need one.
add_library(kestrada_postgres_cluster STATIC ${CMAKE_SOURCE_DIR}/tests/server/postgres_cluster.cpp)
target_include_directories(kestrada_postgres_cluster PUBLIC ${CMAKE_SOURCE_DIR}/tests/server)

file(GLOB KESTRADA_SERVER_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/server/*_test.cpp)
add_executable(kestrada_server_tests ${KESTRADA_SERVER_TEST_SOURCES}
  ${CMAKE_SOURCE_DIR}/fuzz/server_corpus_test.cpp)
target_include_directories(kestrada_server_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(kestrada_server_tests PRIVATE kestrada_server_core kestrada_postgres_cluster
  PkgConfig::HTTPLIB GTest::gtest GTest::gtest_main)
target_compile_definitions(kestrada_server_tests PRIVATE
  KESTRADA_FUZZ_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/fuzz-corpus"
  KESTRADA_SERVER_PROGRAM="$<TARGET_FILE:kestrada-server>")
add_dependencies(kestrada_server_tests kestrada-server)
gtest_discover_tests(kestrada_server_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

# The HTTP suite and the faults, against the real program.
add_executable(kestrada_server_process_tests ${CMAKE_SOURCE_DIR}/tests/server/server_process.cpp
  ${CMAKE_SOURCE_DIR}/tests/server/http_test.cpp ${CMAKE_SOURCE_DIR}/tests/server/fault_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/server/hostile_test.cpp ${CMAKE_SOURCE_DIR}/tests/server/proxy_test.cpp)
target_include_directories(kestrada_server_process_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
target_link_libraries(kestrada_server_process_tests PRIVATE kestrada_server_core
  kestrada_postgres_cluster PkgConfig::HTTPLIB GTest::gtest GTest::gtest_main)
target_compile_definitions(kestrada_server_process_tests PRIVATE
  KESTRADA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  KESTRADA_SERVER_PROGRAM="$<TARGET_FILE:kestrada-server>"
  KESTRADA_HEADLESS_PROGRAM="$<TARGET_FILE:${KESTRADA_HEADLESS_PROGRAM}>")
add_dependencies(kestrada_server_process_tests kestrada-server ${KESTRADA_HEADLESS_PROGRAM})
gtest_discover_tests(kestrada_server_process_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

# The bench: a real server over loopback, SQLite and a private PostgreSQL.
if(KESTRADA_WITH_BENCH)
  add_executable(server_bench ${CMAKE_SOURCE_DIR}/bench/server_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/server/server_process.cpp)
  target_include_directories(server_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/server)
  target_link_libraries(server_bench PRIVATE kestrada_server_core kestrada_postgres_cluster
    PkgConfig::HTTPLIB)
  target_compile_definitions(server_bench PRIVATE
    KESTRADA_SERVER_PROGRAM="$<TARGET_FILE:kestrada-server>")
  add_dependencies(server_bench kestrada-server)
  set_target_properties(server_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
