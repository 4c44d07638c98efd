#!/usr/bin/env bash
# Installs what protowrap's build and tests need and the machine lacks. Idempotent: installs
# nothing when every tool is present. Usage: install-deps.sh [build|native|windows|arm64|checks|bench]...
#   build: what configuring and building the native preset needs; native: that and what its tests
#   run; windows, arm64: the cross builds and their tests; checks: sanitizers, valgrind, coverage,
#   fuzzing; bench: the benchmarks.
source "$(dirname "$0")/common.sh"

need=()
want() {  # want COMMAND PACKAGE
  command -v "$1" >/dev/null 2>&1 || need+=("$2")
}
install_needed() {
  [ ${#need[@]} -gt 0 ] || return 0
  echo "installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
  need=()
}
groups=("${@:-native}")
for group in "${groups[@]}"; do
  case "$group" in
    build|native)
      want cmake cmake
      want g++ g++
      want python3 python3
      want gzip gzip
      [ -d /usr/src/googletest ] || [ -f /usr/include/gtest/gtest.h ] || need+=(googletest)
      ;;&
    native|arm64)
      # The release packages' test.
      want dpkg-deb dpkg
      want lintian lintian
      ;;&
    windows|arm64)
      # Cross builds compile GoogleTest from its sources.
      [ -d /usr/src/googletest ] || need+=(googletest)
      ;;&
    native|windows)
      # The header check's judges: g++ and clang for Linux, MinGW-w64's g++ and clang for Windows.
      want clang++ clang
      want x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
      ;;&
    native)
      want flock util-linux
      ;;
    windows)
      [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
      # Without the preloader, about one Wine start in three thousand fails ("failed to map the
      # shared user data"): address-space randomisation took the address Windows programs need.
      [ -e /usr/lib/wine/wine64-preloader ] || need+=(wine64-preloader)
      # The NuGet package (cpack's NuGet generator runs nuget) and its MSBuild targets' test.
      want nuget nuget
      want xbuild mono-xbuild
      ;;
    arm64)
      want aarch64-linux-gnu-g++ g++-aarch64-linux-gnu
      want qemu-aarch64 qemu-user
      ;;
    checks)
      want clang++ clang
      want valgrind valgrind
      want gcovr gcovr
      ;;
    bench)
      [ -x /usr/bin/time ] || need+=(time)
      [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
      ;;
  esac
done

install_needed

# libFuzzer's runtime comes with the version of clang the machine has: ask clang for both.
if [[ " ${groups[*]} " == *" checks "* ]]; then
  runtime="$(clang++ -print-runtime-dir)/libclang_rt.fuzzer-$(uname -m).a"
  [ -f "$runtime" ] || need+=("libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev")
  install_needed
fi
