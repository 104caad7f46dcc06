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
# The site: index.html, the page's scripts and style, kestrada.js and .wasm,
# the pictures, the sounds compressed to Ogg Vorbis, the app's manifest and
# icons, and the service worker that keeps them all for play offline. The
# sounds and icons come from native tools, whose folder scripts/web.sh
# passes in. Everything is gathered in site-files/, then laid out in site/
# under names that carry the build's hash (cmake/stamp_site.cmake).
set(KESTRADA_WEB_TOOLS "" CACHE PATH
  "Folder of the native kestrada_synth, kestrada_encode_ogg and kestrada_render_icon")
set(KESTRADA_STAGE_DIR ${KESTRADA_WEB_DIR}/site-files)
set(KESTRADA_SITE_DIR ${KESTRADA_WEB_DIR}/site)
include(${CMAKE_SOURCE_DIR}/cmake/asset_list.cmake)

add_library(kestrada_web_page_options INTERFACE)
target_link_libraries(kestrada_web_page_options INTERFACE kestrada_web_common)
target_link_options(kestrada_web_page_options INTERFACE
  -sENVIRONMENT=web
  -sFORCE_FILESYSTEM=1
  -lidbfs.js
  "-sEXPORTED_FUNCTIONS=['_main','_malloc','_free']"
  "-sEXPORTED_RUNTIME_METHODS=['UTF8ToString','stringToUTF8','lengthBytesUTF8','FS','addRunDependency','removeRunDependency']"
  # SHELL: each, or CMake folds the second --js-library into the first.
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/src/web/page_library.js"
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/src/web/world_library.js")

file(GLOB KESTRADA_PAGE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/*.cpp)
add_executable(kestrada_page ${KESTRADA_PAGE_SOURCES})
target_link_libraries(kestrada_page PRIVATE kestrada_play kestrada_web_page_options)
set_target_properties(kestrada_page PROPERTIES
  OUTPUT_NAME kestrada
  SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${KESTRADA_STAGE_DIR}
  LINK_DEPENDS "${CMAKE_SOURCE_DIR}/src/web/page_library.js;${CMAKE_SOURCE_DIR}/src/web/world_library.js")

# The page's scripts, each of one purpose, loaded by index.html in its
# order: the canvas and its frames, the menus and dialogs, the sound, the
# touch controls, the name field, the start, the test hook. One
# left out of the page stops the build (stamp_site.cmake).
set(KESTRADA_PAGE_SCRIPTS drawing.js menus.js sound.js touch.js name_field.js page.js test_hook.js)
set(KESTRADA_SITE_FILES ${KESTRADA_STAGE_DIR}/index.html)
add_custom_command(
  OUTPUT ${KESTRADA_STAGE_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -DPAGE=${CMAKE_SOURCE_DIR}/src/web/index.html
          -DHEADER=${CMAKE_SOURCE_DIR}/src/scene/scene.h -DOUT=${KESTRADA_STAGE_DIR}/index.html
          -P ${CMAKE_SOURCE_DIR}/cmake/write_page.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/src/web/index.html ${CMAKE_SOURCE_DIR}/src/scene/scene.h
          ${CMAKE_SOURCE_DIR}/cmake/write_page.cmake
  VERBATIM)
foreach(name IN LISTS KESTRADA_PAGE_SCRIPTS ITEMS page.css offline.js manifest.webmanifest)
  add_custom_command(
    OUTPUT ${KESTRADA_STAGE_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/src/web/${name} ${KESTRADA_STAGE_DIR}/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/src/web/${name}
    VERBATIM)
  list(APPEND KESTRADA_SITE_FILES ${KESTRADA_STAGE_DIR}/${name})
endforeach()
kestrada_copy_pictures(${KESTRADA_STAGE_DIR}/pictures pictures)
list(APPEND KESTRADA_SITE_FILES ${pictures})
if(KESTRADA_WEB_TOOLS)
  set(waves ${KESTRADA_WEB_DIR}/waves)
  set(encode)
  set(oggs)
  foreach(name IN LISTS KESTRADA_SOUND_NAMES)
    list(APPEND encode COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg ${waves}/${name}.wav
      ${KESTRADA_STAGE_DIR}/sounds/${name}.ogg)
    list(APPEND oggs ${KESTRADA_STAGE_DIR}/sounds/${name}.ogg)
  endforeach()
  add_custom_command(
    OUTPUT ${oggs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${waves} ${KESTRADA_STAGE_DIR}/sounds
    COMMAND ${KESTRADA_WEB_TOOLS}/kestrada_synth ${waves}
    ${encode}
    DEPENDS ${KESTRADA_WEB_TOOLS}/kestrada_synth ${KESTRADA_WEB_TOOLS}/kestrada_encode_ogg
    COMMENT "Synthesising the sounds and compressing them for the page"
    VERBATIM)
  # The installed app's icons, named by their size as the manifest names them.
  set(icon_sizes 192 512)
  set(icons)
  foreach(size IN LISTS icon_sizes)
    list(APPEND icons ${KESTRADA_STAGE_DIR}/icons/${size}.png)
  endforeach()
  add_custom_command(
    OUTPUT ${icons}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRADA_STAGE_DIR}/icons
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${KESTRADA_WEB_TOOLS}/kestrada_render_icon ${KESTRADA_ICON_SVG}
            ${KESTRADA_STAGE_DIR}/icons ${icon_sizes}
    DEPENDS ${KESTRADA_WEB_TOOLS}/kestrada_render_icon ${KESTRADA_ICON_SVG}
    COMMENT "Rendering the page's app icons"
    VERBATIM)
  list(APPEND KESTRADA_SITE_FILES ${oggs} ${icons})
endif()

set(worker ${CMAKE_SOURCE_DIR}/src/web/service-worker.js)
add_custom_command(
  OUTPUT ${KESTRADA_WEB_DIR}/site.stamp
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${KESTRADA_STAGE_DIR} -DSITE=${KESTRADA_SITE_DIR}
          -DWORKER=${worker} -P ${CMAKE_SOURCE_DIR}/cmake/stamp_site.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${KESTRADA_WEB_DIR}/site.stamp
  DEPENDS ${KESTRADA_SITE_FILES} kestrada_page ${worker} ${CMAKE_SOURCE_DIR}/cmake/stamp_site.cmake
  COMMENT "Laying out the site under the build's hash"
  VERBATIM)
add_custom_target(kestrada_site ALL DEPENDS ${KESTRADA_WEB_DIR}/site.stamp)
