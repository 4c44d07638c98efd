#!/usr/bin/env bash
# Builds protowrap and runs every test. Exits non-zero when any test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$top/scripts/install-deps.sh" native

echo "== native build and tests"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" -j"$jobs"
ctest --test-dir "$top/build" --output-on-failure -j"$jobs"
