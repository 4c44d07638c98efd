#!/usr/bin/env bash
# The mutation test, outside the test command (well under a minute per fault): plants one fault
# at a time in copies of the tree, rebuilds and runs the tests that might see it, prints the
# running score, and ends with
#   mutation score: K killed of M (P %)
# and the survivors. --count N (default 120) and --sample S (default 2026) choose the faults,
# --jobs J how many copies run side by side (default: one per processor).
#   bash scripts/mutate.sh [--count N] [--sample S] [--jobs J] [--keep DIR]
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh native
exec python3 scripts/mutate.py "$@"
