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

# ---- the page -----------------------------------------------------------------
# The site: index.html, the page's script and style, kestrada.js and .wasm,
# the pictures and the sounds compressed to Ogg Vorbis. The sounds come from
# the native synthesizer and encoder, whose folder scripts/web.sh passes in.
set(KESTRADA_WEB_TOOLS "" CACHE PATH "Folder of the native kestrada_synth and kestrada_encode_ogg")
set(KESTRADA_SITE_DIR ${KESTRADA_WEB_DIR}/site)

add_library(kestrada_web_page_options INTERFACE)
target_link_libraries(kestrada_web_page_options INTERFACE kestrada_web_common)
target_link_options(kestrada_web_page_options INTERFACE
  -sENVIRONMENT=web
  -sFORCE_FILESYSTEM=1
  -lidbfs.js
  "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free']"
  "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString','stringToUTF8','lengthBytesUTF8','FS','addRunDependency','removeRunDependency']"
  --js-library ${CMAKE_SOURCE_DIR}/src/web/page_library.js)

file(GLOB KESTRADA_PAGE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/*.cpp)
add_executable(kestrada_page ${KESTRADA_PAGE_SOURCES})
target_link_libraries(kestrada_page PRIVATE kestrada_session kestrada_scene kestrada_web_page_options)
set_target_properties(kestrada_page PROPERTIES
  OUTPUT_NAME kestrada
  SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${KESTRADA_SITE_DIR}
  LINK_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/page_library.js)

set(KESTRADA_SITE_FILES)
foreach(name IN ITEMS index.html page.js page.css)
  add_custom_command(
    OUTPUT ${KESTRADA_SITE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/src/web/${name} ${KESTRADA_SITE_DIR}/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/src/web/${name}
    VERBATIM)
  list(APPEND KESTRADA_SITE_FILES ${KESTRADA_SITE_DIR}/${name})
endforeach()
file(GLOB KESTRADA_PICTURE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/pictures/*.svg)
foreach(source IN LISTS KESTRADA_PICTURE_SOURCES)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${KESTRADA_SITE_DIR}/pictures/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${KESTRADA_SITE_DIR}/pictures/${name}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND KESTRADA_SITE_FILES ${KESTRADA_SITE_DIR}/pictures/${name})
endforeach()
if(KESTRADA_WEB_TOOLS)
  set(waves ${KESTRADA_WEB_DIR}/waves)
  set(oggs)
  foreach(name IN ITEMS Start Crash Kestrada)
    list(APPEND oggs ${KESTRADA_SITE_DIR}/sounds/${name}.ogg)
  endforeach()
  add_custom_command(
    OUTPUT ${oggs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${waves} ${KESTRADA_SITE_DIR}/sounds
    COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_synth ${waves}
    COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg ${waves}/Start.wav ${KESTRADA_SITE_DIR}/sounds/Start.ogg
    COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg ${waves}/Crash.wav ${KESTRADA_SITE_DIR}/sounds/Crash.ogg
    COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg ${waves}/Kestrada.wav ${KESTRADA_SITE_DIR}/sounds/Kestrada.ogg
    DEPENDS ${KESTRADA_WEB_TOOLS}/kestrada_synth ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg
    COMMENT "Synthesising the sounds and compressing them for the page"
    VERBATIM)
  list(APPEND KESTRADA_SITE_FILES ${oggs})
endif()
add_custom_target(kestrada_site ALL DEPENDS ${KESTRADA_SITE_FILES} kestrada_page)
