#!/usr/bin/env bash
# Builds protowrap and its benchmarks and prints every figure: the in-process benchmarks, then
# protowrap side by side with the obvious Python script and the start-up and I/O floors, what
# warnings cost a run, and the header check on the shapes that cost it most (time per byte at two
# sizes, and peak memory).
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh native bench
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
build/native/bench/replace_bench --benchmark_min_time=0.3
python3 bench/side_by_side.py --build build/native --runs "${RUNS:-5}"
python3 bench/warnings_cost.py --build build/native --runs "${RUNS:-5}"
build/native/bench/check_shapes 200000
