#!/usr/bin/env bash
# Builds protowrap and runs every test: the native build, then the Windows build under Wine.
# Exits non-zero when any test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

bash scripts/install-deps.sh native windows

echo "== native build and tests"
cmake --workflow --preset native

echo "== Windows build, tests under Wine"
cmake --workflow --preset windows
