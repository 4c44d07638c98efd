#!/usr/bin/env bash
# Builds protowrap and runs its tests.
#   test.sh                  every stage, as CI runs them: the native build and tests first, then
#                            two lanes at once (the cross builds under Wine and qemu, which compare
#                            with the native build; and the sanitizers, valgrind, line coverage of
#                            at least 95 % and the fuzz targets, which build on their own)
#   test.sh --quick          the inner loop after a change: the native build, its unit and
#                            end-to-end tests, the header check's corpus and 30 judged headers
#   test.sh --stage NAME...  the named stages only, in order: native, windows, arm64, sanitize,
#                            valgrind, coverage, fuzz (windows and arm64 need the native build)
# Each stage prints its time. A failing stage fails the command.
source "$(dirname "$0")/common.sh"

stages_of_lane_a=(native windows arm64)
stages_of_lane_b=(sanitize valgrind coverage fuzz)

# Called as "run_stage ... || ...", where bash does not stop at a failure inside it: each step
# returns its failure itself.
run_stage() {
  local name=$1 start=$SECONDS
  echo "== $name"
  case "$name" in
    native | windows | arm64 | sanitize | valgrind) cmake --workflow --preset "$name" || return 1 ;;
    coverage) bash scripts/coverage.sh || return 1 ;;
    fuzz) bash scripts/fuzz.sh || return 1 ;;
    *) echo "no stage named $name (native, windows, arm64, sanitize, valgrind, coverage, fuzz)" >&2
       return 2 ;;
  esac
  echo "== $name passed in $((SECONDS - start)) s"
}

run_lane() {
  local name
  for name in "$@"; do
    run_stage "$name" || return 1
  done
}

case "${1:-}" in
  --quick)
    bash scripts/install-deps.sh native
    start=$SECONDS
    cmake --preset native >/dev/null
    cmake --build --preset native
    PROTOWRAP_RANDOM_HEADERS=30 ctest --preset native -R '^(unit|end_to_end|header_check)$'
    echo "== quick tests passed in $((SECONDS - start)) s"
    ;;
  --stage)
    shift
    [ $# -gt 0 ] || { echo "usage: test.sh --stage NAME..." >&2; exit 2; }
    groups=(native)
    for name in "$@"; do
      case "$name" in
        windows | arm64) groups+=("$name") ;;
        sanitize | valgrind | coverage | fuzz) groups+=(checks) ;;
      esac
    done
    bash scripts/install-deps.sh "${groups[@]}"
    run_lane "$@"
    ;;
  "")
    bash scripts/install-deps.sh native windows arm64 checks
    start=$SECONDS
    log=$(mktemp)
    run_lane "${stages_of_lane_b[@]}" >"$log" 2>&1 &
    lane_b=$!
    status=0
    run_lane "${stages_of_lane_a[@]}" || status=1
    wait "$lane_b" || status=1
    echo "== sanitizers, valgrind, coverage and fuzzing (run beside the stages above):"
    if [ "$status" -ne 0 ]; then
      cat "$log"
    else
      grep -E "^(== |lines: |TOTAL)" "$log" || true
    fi
    rm -f "$log"
    [ "$status" -eq 0 ] || { echo "a stage failed"; exit 1; }
    echo "all stages passed in $((SECONDS - start)) s"
    ;;
  *)
    echo "usage: test.sh [--quick | --stage NAME...]" >&2
    exit 2
    ;;
esac
