#!/usr/bin/env bash
# Installs what protowrap's build and tests need and the machine lacks. Idempotent: installs
# nothing when every tool is present. Usage: install-deps.sh [native|windows|arm64|checks|bench]...
set -euo pipefail

need=()
want() {  # want COMMAND PACKAGE
  command -v "$1" >/dev/null 2>&1 || need+=("$2")
}
for group in "${@:-native}"; do
  case "$group" in
    native)
      want cmake cmake
      want g++ g++
      want python3 python3
      want flock util-linux
      want gzip gzip
      want dpkg-deb dpkg
      want lintian lintian
      [ -d /usr/src/googletest ] || [ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(googletest)
      ;;
    windows)
      want x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
      [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
      # Without the preloader, about one Wine start in three thousand fails ("failed to map the
      # shared user data"): address-space randomisation took the address Windows programs need.
      [ -e /usr/lib/wine/wine64-preloader ] || need+=(wine64-preloader)
      [ -d /usr/src/googletest ] || need+=(googletest)
      # The NuGet package (cpack's NuGet generator runs nuget) and its MSBuild targets' test.
      want nuget nuget
      want xbuild mono-xbuild
      ;;
    arm64)
      want aarch64-linux-gnu-g++ g++-aarch64-linux-gnu
      want qemu-aarch64 qemu-user
      want lintian lintian
      want dpkg-deb dpkg
      [ -d /usr/src/googletest ] || need+=(googletest)
      ;;
    checks)
      want clang++ clang
      want valgrind valgrind
      want gcovr gcovr
      [ -d /usr/lib/llvm-14/lib/clang ] && ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a \
        >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
      ;;
    bench)
      [ -x /usr/bin/time ] || need+=(time)
      [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
      ;;
  esac
done

if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi
