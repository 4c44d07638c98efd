#!/usr/bin/env bash
# Builds protowrap and runs it on examples/, leaving the two wrap headers there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" native
cd "$top"
cmake --preset native >/dev/null
cmake --build --preset native --target protowrap -j"$(nproc)" >/dev/null
cd "$top/examples"
"$top/build/native/protowrap"
echo "wrote examples/Protocol_CG.WRAP.h and examples/Protocol_CW.WRAP.h"
