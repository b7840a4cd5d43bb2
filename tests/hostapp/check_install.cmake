# Installs the build BUILD into PREFIX (the GIMP plug-in into PREFIX/gimp) and checks that the
# tool runs from there and that its manual page is its help: every option the help names is
# in the manual.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "GIMP2_DIRECTORY=${PREFIX}/gimp"
          ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
  RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()
execute_process(COMMAND "${PREFIX}/bin/inkjet" --help OUTPUT_VARIABLE help RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the installed inkjet does not run: ${ran}")
endif()
file(GLOB manual "${PREFIX}/share/man/man1/inkjet.1" "${PREFIX}/man/man1/inkjet.1")
if(NOT manual)
  message(FATAL_ERROR "no manual page under ${PREFIX}")
endif()
file(READ "${manual}" page)
if(NOT page MATCHES "\\.TH INKJET \"1\"")
  message(FATAL_ERROR "${manual} is not a manual page")
endif()
# roff writes a hyphen as \-.
string(REGEX MATCHALL "--[a-z][a-z-]+" options "${help}")
list(REMOVE_DUPLICATES options)
foreach(option IN LISTS options)
  string(REPLACE "-" "\\\\-" written "${option}")
  if(NOT page MATCHES "${written}")
    message(FATAL_ERROR "the manual page does not name ${option}")
  endif()
endforeach()
message(STATUS "installed; the manual names all ${options}")
