#!/usr/bin/env bash
# Builds with gcov instrumentation, runs every test, and prints the line coverage of the text
# replacer, the rule table and the conversion jobs. Fails when it is under 95 %.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/install-deps.sh native checks
find build/coverage -name '*.gcda' -delete 2>/dev/null || true
cmake --workflow --preset coverage >/dev/null
gcovr --root "$top" --object-directory build/coverage \
  --filter 'text/' --filter 'wrap/' --exclude '.*_test\.cpp' \
  --print-summary --fail-under-line 95 build/coverage
