# Cross-compiling the command-line tool for 64-bit Windows with Debian's
# mingw-w64 (the -posix variant: C++ threads need its winpthreads). The
# programs run here under wine, which ctest starts them with.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries and headers come from the cross environment and from the folder
# the Windows builds of the outside libraries are installed in
# (VENNIK_WINDOWS_DEPS, see CMakeLists.txt), never from the build machine's
# own /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One executable with the C and C++ runtimes inside: it needs only the DLLs
# every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(VENNIK_WINE wine)
if(VENNIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VENNIK_WINE})
endif()
