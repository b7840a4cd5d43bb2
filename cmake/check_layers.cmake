# The one-way rule between the folders, checked on every build (cmake -P, see the top
# CMakeLists.txt): a file may include headers of its own folder and of the folders below it,
# never of a folder above or beside it. The module's entry-point header is the one header of
# host/ that anything may include. tests/ and bench/ may include anything.
#
#   cmake -DSOURCE_DIR=<tree> -DSTAMP=<file written on success> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

# What each folder may use besides itself, bottom to top.
set(uses_hostapi "")
set(uses_core hostapi)
set(uses_registration core hostapi)
set(uses_platform "")
set(uses_memory hostapi platform)
set(uses_image core memory hostapi)
set(uses_engine image core memory hostapi)
set(uses_resources "")
set(uses_controls core platform hostapi)
set(uses_dialog controls engine image core memory resources platform hostapi)
set(uses_host dialog controls engine image core memory resources platform hostapi)
set(uses_imagefiles "")
set(uses_hostapp imagefiles registration core resources platform hostapi)
set(uses_gimp hostapp imagefiles registration core resources platform hostapi)
set(uses_tools imagefiles registration core hostapi)
set(layered_folders hostapi core registration platform memory image engine resources controls
    dialog host imagefiles hostapp gimp tools)
set(public_headers "host/entry_point.h")

# Includes that still cross the rule, one "file header" pair each. The list only shrinks: a
# crossing that is not on it fails the build, and so does an entry that no longer crosses.
set(known_crossings
)

set(problems "")
set(crossings_seen "")
foreach(folder IN LISTS layered_folders)
  file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}"
    "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  set(allowed ${folder} ${uses_${folder}})
  foreach(file IN LISTS files)
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      if(NOT line MATCHES "\"(([a-z0-9_]+)/[^\"]+)\"")
        continue()
      endif()
      set(header "${CMAKE_MATCH_1}")
      set(target "${CMAKE_MATCH_2}")
      set(pair "${file} ${header}")
      if(target IN_LIST allowed OR header IN_LIST public_headers
         OR NOT target IN_LIST layered_folders)
        continue()
      endif()
      if(pair IN_LIST known_crossings)
        list(APPEND crossings_seen "${pair}")
        continue()
      endif()
      string(REPLACE ";" " " uses "${allowed}")
      string(APPEND problems
        "${SOURCE_DIR}/${file}: error: ${folder}/ may not include ${header}; "
        "it builds on ${uses} only\n")
    endforeach()
  endforeach()
endforeach()

foreach(pair IN LISTS known_crossings)
  if(NOT pair IN_LIST crossings_seen)
    string(APPEND problems "${pair}: no longer crosses; take it off the list of known crossings\n")
  endif()
endforeach()

if(problems)
  # NOTICE prints the lines as they are, so each names its file where an editor finds it.
  message(NOTICE "${problems}")
  message(FATAL_ERROR "includes against the one-way rule between the folders")
endif()
file(TOUCH "${STAMP}")
