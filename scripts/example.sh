#!/usr/bin/env bash
# Builds protowrap and runs it on examples/, leaving the two wrap headers there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" native
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build" --target protowrap -j"$(nproc)" >/dev/null
cd "$top/examples"
"$top/build/protowrap"
echo "wrote $top/examples/Protocol_CG.WRAP.h and $top/examples/Protocol_CW.WRAP.h"
