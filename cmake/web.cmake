# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build (configured with emcmake): the headless program for node
# and, later in this file, the page. Every Emscripten flag is set here, on
# the interface targets below, and nowhere else.
#
# No Emscripten port is used (they download at build time) and the closure
# compiler stays off (Debian's is too old for 3.1.6's output).

set(KESTRADA_WEB_DIR ${CMAKE_BINARY_DIR})

# What every program built for the web shares.
add_library(kestrada_web_common INTERFACE)
target_link_options(kestrada_web_common INTERFACE
  --closure=0
  -sALLOW_MEMORY_GROWTH=1)

# The headless program under node, with node's own file system (NODERAWFS),
# so it reads and writes the same paths as the native program.
add_library(kestrada_web_node INTERFACE)
target_link_libraries(kestrada_web_node INTERFACE kestrada_web_common)
target_link_options(kestrada_web_node INTERFACE
  -sNODERAWFS=1
  -sENVIRONMENT=node
  -sEXIT_RUNTIME=1)

add_executable(kestrada_headless_web ${CMAKE_SOURCE_DIR}/src/headless/main.cpp)
target_link_libraries(kestrada_headless_web PRIVATE kestrada_headless_runner kestrada_web_node)
set_target_properties(kestrada_headless_web PROPERTIES
  OUTPUT_NAME kestrada-headless
  SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${KESTRADA_WEB_DIR})
