#!/usr/bin/env bash
# The mutation test, outside the test command (about half a minute per fault): plants one fault
# at a time in a copy of the tree, rebuilds it and runs the native tests, and ends with
#   mutation score: K killed of M (P %)
# and the survivors. --count N (default 120) and --seed S (default 2026) choose the sample.
#   bash scripts/mutate.sh [--count N] [--seed S] [--keep DIR]
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh native
exec python3 scripts/mutate.py "$@"
