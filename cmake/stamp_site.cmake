# SPDX-License-Identifier: GPL-3.0-or-later
# Lays out the site from its gathered files, under names that carry the
# build: the top-level scripts, style and kestrada.wasm become
# NAME-HASH.EXT, HASH being 16 hex digits of a SHA-256 over every file and
# the service worker, and the files naming them are rewritten to match. A
# browser then never pairs one build's script with another's wasm, whatever
# its cache holds. The service worker gets the hash for the name of its
# cache and the list of the files to keep.
#
#   cmake -DSTAGE=DIR -DSITE=DIR -DWORKER=service-worker.js -P stamp_site.cmake
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(digest "")
foreach(file IN LISTS files)
  file(SHA256 ${STAGE}/${file} sum)
  string(APPEND digest "${file} ${sum}\n")
endforeach()
file(SHA256 ${WORKER} sum)
string(APPEND digest "service-worker.js ${sum}\n")
string(SHA256 build "${digest}")
string(SUBSTRING ${build} 0 16 build)

# A clean folder: the names of the last build must not linger beside these.
file(REMOVE_RECURSE ${SITE})
set(stamped)
set(site_files)
foreach(file IN LISTS files)
  set(name ${file})
  if(file MATCHES "^([^/]+)\\.(js|css|wasm)$")
    set(name "${CMAKE_MATCH_1}-${build}.${CMAKE_MATCH_2}")
    list(APPEND stamped ${file})
  endif()
  get_filename_component(folder ${SITE}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${STAGE}/${file} ${SITE}/${name})
  list(APPEND site_files ${name})
endforeach()

# Every stamped file is named, quoted, in the page or in another stamped
# file (the wasm in kestrada.js); one named nowhere would be loaded by a name
# the build no longer has, so the build stops.
set(texts index.html)
foreach(file IN LISTS stamped)
  if(file MATCHES "\\.(js|css)$")
    list(APPEND texts ${file})
  endif()
endforeach()
set(unnamed ${stamped})
foreach(text IN LISTS texts)
  set(path ${SITE}/${text})
  if(text IN_LIST stamped)
    string(REGEX REPLACE "^(.*)\\.([a-z]+)$" "\\1-${build}.\\2" path ${path})
  endif()
  file(READ ${path} content)
  foreach(file IN LISTS stamped)
    string(REGEX REPLACE "^(.*)\\.([a-z]+)$" "\\1-${build}.\\2" name ${file})
    foreach(quote IN ITEMS "\"" "'")
      string(FIND "${content}" "${quote}${file}${quote}" at)
      if(at GREATER_EQUAL 0)
        string(REPLACE "${quote}${file}${quote}" "${quote}${name}${quote}" content "${content}")
        list(REMOVE_ITEM unnamed ${file})
      endif()
    endforeach()
  endforeach()
  file(WRITE ${path} "${content}")
endforeach()
if(unnamed)
  message(FATAL_ERROR "stamp_site: nothing in the site loads ${unnamed} by its name")
endif()

set(KESTRADA_BUILD ${build})
list(JOIN site_files "',\n  '" KESTRADA_FILES)
set(KESTRADA_FILES "'${KESTRADA_FILES}'")
configure_file(${WORKER} ${SITE}/service-worker.js @ONLY)
message(STATUS "Site ${build}: ${SITE}")
