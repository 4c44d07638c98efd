#!/usr/bin/env bash
# Builds with gcov instrumentation, runs every test, and prints the line coverage of the program's
# code (files, configuration, text, the rule table, the jobs, the header check and the entry; the
# Windows implementations are not built here). Fails when it is under 95 %.
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh native checks
find build/coverage -name '*.gcda' -delete 2>/dev/null || true
# The build and test output is shown only when a step fails.
log=$(mktemp)
cmake --workflow --preset coverage >"$log" 2>&1 || { cat "$log"; rm -f "$log"; exit 1; }
rm -f "$log"
gcovr --root "$top" --object-directory build/coverage \
  --filter 'platform/' --filter 'config/' --filter 'text/' --filter 'wrap/' \
  --filter 'check/' --filter 'app/' \
  --exclude '.*_test\.cpp' --exclude '.*_test_util\.h' \
  --print-summary --fail-under-line 95 build/coverage
