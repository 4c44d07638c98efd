# The opening every script shares (sourced): stop at the first failure, work in the project's top
# directory ($top), and build with as many jobs as the machine has processors.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
