#!/usr/bin/env bash
# Builds protowrap and runs every test, stopping at the first stage that fails:
#   native build and tests; the Windows build, tests under Wine; the ARM64 Linux build, tests
#   under qemu; every test again under
#   AddressSanitizer and UndefinedBehaviorSanitizer; the end-to-end tests under valgrind; line
#   coverage (at least 95 %); the fuzz targets, about a minute each.
source "$(dirname "$0")/common.sh"

bash scripts/install-deps.sh native windows arm64 checks

echo "== native build and tests"
cmake --workflow --preset native

echo "== Windows build, tests under Wine"
cmake --workflow --preset windows

echo "== ARM64 Linux build, tests under qemu"
cmake --workflow --preset arm64

echo "== sanitizers: every test (with the portable scan)"
cmake --workflow --preset sanitize

echo "== valgrind: the end-to-end tests"
cmake --workflow --preset valgrind

echo "== line coverage"
bash scripts/coverage.sh

echo "== fuzzing"
bash scripts/fuzz.sh

echo "all stages passed"
