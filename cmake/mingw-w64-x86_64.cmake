# Cross build of protowrap.exe with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libstdc++, libgcc or winpthread DLL to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs of the build (tests included) run under Wine's 64-bit loader.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(PROTOWRAP_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(PROTOWRAP_WINE64 NAMES wine64 wine)
  if(PROTOWRAP_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROTOWRAP_WINE64})
  endif()
endif()
