# Cross build of protowrap for ARM64 Linux with Debian's g++-aarch64-linux-gnu; the build's
# programs (tests included) run under qemu-user's qemu-aarch64 (package qemu-user).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(PROTOWRAP_AARCH64_SYSROOT /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH ${PROTOWRAP_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -L: the ARM64 C library for programs that are not static (the unit tests).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(PROTOWRAP_QEMU_AARCH64 NAMES qemu-aarch64 qemu-aarch64-static)
  if(PROTOWRAP_QEMU_AARCH64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROTOWRAP_QEMU_AARCH64} -L ${PROTOWRAP_AARCH64_SYSROOT})
  endif()
endif()
