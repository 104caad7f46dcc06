# SPDX-License-Identifier: GPL-3.0-or-later
# kestrada-server, the shared hall of fame, on Debian's cpp-httplib,
# SQLite, libpq and nlohmann-json. It follows the tests by default, since
# playing the game needs none of these libraries.
option(KESTRADA_WITH_SERVER "Build kestrada-server" ${BUILD_TESTING})
if(NOT KESTRADA_WITH_SERVER)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
pkg_check_modules(LIBCRYPTO REQUIRED IMPORTED_TARGET libcrypto)
find_package(nlohmann_json 3.10 REQUIRED)

file(GLOB KESTRADA_SERVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/server/*.cpp)
list(FILTER KESTRADA_SERVER_SOURCES EXCLUDE REGEX "(_test|/main)\\.cpp$")
add_library(kestrada_server_core STATIC ${KESTRADA_SERVER_SOURCES})
target_link_libraries(kestrada_server_core PUBLIC kestrada_session PkgConfig::HTTPLIB
  PkgConfig::SQLITE3 PkgConfig::LIBPQ PkgConfig::LIBCRYPTO nlohmann_json::nlohmann_json)

add_executable(kestrada-server ${CMAKE_SOURCE_DIR}/src/server/main.cpp)
target_link_libraries(kestrada-server PRIVATE kestrada_server_core)
