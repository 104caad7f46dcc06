# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the page (index.html) with the play area's size and the zoom range
# as the game itself has them in src/scene/scene.h, so the page's scripts
# never keep numbers of their own, and the canvas has its size before any
# script runs. Each @kName@ in the page is the header's constant of that
# name.
#
#   cmake -DPAGE=index.html -DHEADER=scene.h -DOUT=site-files/index.html -P write_page.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${HEADER} header)
foreach(name IN ITEMS kSceneWidth kSceneHeight kMinZoom kMaxZoom)
  if(NOT header MATCHES "constexpr int ${name} = ([0-9]+);")
    message(FATAL_ERROR "write_page: ${HEADER} has no 'constexpr int ${name} = N;'")
  endif()
  set(${name} ${CMAKE_MATCH_1})
endforeach()
configure_file(${PAGE} ${OUT} @ONLY)
