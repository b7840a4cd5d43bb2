# Checks what Inkjet.8bf shows a host: the build's architecture (FORMAT, pei-i386 or
# pei-x86-64), ENTRYPOINT and the dialog's window procedure FilterProc exported under exactly
# those names, beside them only the thread-count call our own host looks up, InkjetSetThreads, and only system libraries imported (a static runtime, so no
# libgcc or libstdc++ DLL has to travel with the module).
# Usage: cmake -DMODULE=Inkjet.8bf -DOBJDUMP=i686-w64-mingw32-objdump -DFORMAT=pei-i386
#        -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()
if(NOT dump MATCHES "file format ${FORMAT}\n")
  string(REGEX MATCH "file format [^\n]*" found "${dump}")
  message(FATAL_ERROR "${MODULE} is not ${FORMAT}: ${found}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" export_table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" export_lines "${export_table}")
set(exports "")
foreach(line ${export_lines})
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND exports "${name}")
endforeach()
foreach(required ENTRYPOINT FilterProc)
  if(NOT required IN_LIST exports)
    message(FATAL_ERROR "${required} is not exported undecorated; exports: ${exports}")
  endif()
endforeach()
foreach(name ${exports})
  if(NOT name MATCHES "^(ENTRYPOINT|FilterProc|InkjetSetThreads)$")
    message(FATAL_ERROR "unexpected export ${name}")
  endif()
endforeach()

string(REGEX MATCHALL "DLL Name: [^\n]+" import_lines "${dump}")
foreach(line ${import_lines})
  string(REGEX REPLACE "^DLL Name: " "" library "${line}")
  string(TOUPPER "${library}" library)
  if(NOT library MATCHES "^(KERNEL32|USER32|GDI32|COMDLG32|MSVCRT)\\.DLL$")
    message(FATAL_ERROR "imports a non-system library: ${library}")
  endif()
endforeach()
message(STATUS "exports: ${exports}")
