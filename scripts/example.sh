#!/usr/bin/env bash
# Builds protowrap and runs it on examples/, leaving the two wrap headers there.
source "$(dirname "$0")/common.sh"
bash scripts/install-deps.sh build
cmake --preset native >/dev/null
cmake --build --preset native --target protowrap >/dev/null
cd examples
"$top/build/native/protowrap"
echo "wrote examples/Protocol_CG.WRAP.h and examples/Protocol_CW.WRAP.h"
