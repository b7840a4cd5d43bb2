# Cross build of the 32-bit Windows module and host with Debian's MinGW-w64 i686 compiler.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(INKJET_MINGW_TRIPLET i686-w64-mingw32)
# SSE2 arithmetic (never x87, whose extended precision would change the print model), and
# stacks realigned for SSE2 spills: hosts may call with 4-byte alignment.
set(INKJET_MINGW_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
include("${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake")
