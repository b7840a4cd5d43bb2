# Cross build of the 64-bit Windows module and host with Debian's MinGW-w64 x86-64 compiler.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(INKJET_MINGW_TRIPLET x86_64-w64-mingw32)
# x86-64 does its floating point in SSE2 anyway and its ABI keeps the stack 16-byte aligned.
set(INKJET_MINGW_FLAGS "")
include("${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake")
