# What the two MinGW-w64 cross builds share, included by their toolchain files once they have
# set INKJET_MINGW_TRIPLET (the compiler's prefix) and INKJET_MINGW_FLAGS (their own code
# generation flags).
set(CMAKE_SYSTEM_NAME Windows)
# The compilers of the posix thread model: the engine splits tiles with std::thread, which the
# win32 model's runtime of this GCC does not offer. Threads come from winpthreads, linked
# statically like the rest of the runtime.
set(CMAKE_C_COMPILER ${INKJET_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${INKJET_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${INKJET_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${INKJET_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# printf that rounds like glibc (the status lines must match the native build's), and a static
# runtime so the module and the host import nothing but system DLLs.
set(CMAKE_C_FLAGS_INIT "${INKJET_MINGW_FLAGS} -D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "${INKJET_MINGW_FLAGS} -D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs of these builds run under Wine; scripts/wine-run picks the 32- or 64-bit prefix
# by the program's machine type.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
