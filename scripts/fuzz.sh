#!/usr/bin/env bash
# Builds the libFuzzer targets, replays every kept input, then fuzzes each target for
# FUZZ_SECONDS (default 60). A finding stops it with the input under build/fuzz/findings/: copy
# that file into fuzz/corpus/<target>/ once the fault is mended, so it is replayed from then on.
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh checks
cmake --workflow --preset fuzz
seconds=${FUZZ_SECONDS:-60}
mkdir -p build/fuzz/findings
# The targets, as fuzz/CMakeLists.txt lists them.
while read -r target; do
  scratch="build/fuzz/scratch/$target"  # new inputs go here, never into the kept corpus
  mkdir -p "$scratch"
  echo "== fuzzing $target for ${seconds}s"
  log="build/fuzz/findings/$target.log"
  status=0
  "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" \
    "$scratch" "fuzz/corpus/$target" </dev/null >"$log" 2>&1 || status=$?
  grep -E "^(Done|stat::number_of_executed|SUMMARY|contract)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$log"
    echo "fuzz_$target found a fault (exit $status); the input is in build/fuzz/findings/"
    exit 1
  fi
done <build/fuzz/fuzz/targets.txt
