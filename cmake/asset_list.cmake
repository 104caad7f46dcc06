# SPDX-License-Identifier: GPL-3.0-or-later
# The game's pictures and sounds, listed once for the native build
# (cmake/assets.cmake) and the browser's (cmake/web.cmake). The sounds are
# the wave files tools/synth_waves.cpp writes, by name without the .wav.
set(KESTRADA_SOUND_NAMES Start Crash Kestrada)
file(GLOB KESTRADA_PICTURE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/pictures/*.svg)
# The window's icon, and the installed game's and the page's.
set(KESTRADA_ICON_SVG ${CMAKE_SOURCE_DIR}/assets/pictures/icon.svg)

# One copy rule per picture into FOLDER, so that an edited picture is copied
# again; the copies' paths go to OUT_VAR.
function(kestrada_copy_pictures folder out_var)
  set(copies)
  foreach(source IN LISTS KESTRADA_PICTURE_SOURCES)
    get_filename_component(name ${source} NAME)
    add_custom_command(
      OUTPUT ${folder}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${folder}/${name}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND copies ${folder}/${name})
  endforeach()
  set(${out_var} ${copies} PARENT_SCOPE)
endfunction()
