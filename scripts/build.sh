#!/bin/bash
# Configures and builds one target: scripts/build.sh x86_64|i686 [build root [cmake targets...]]
set -euo pipefail
arch=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}/$arch
shift $(($# < 2 ? $# : 2))
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
# bin/ holds what ships, the program alone; a tree from before the simulator, the tests and the
# benchmarks had folders of their own still has them there, where the program would load the
# simulator.
find "$build/bin" -maxdepth 1 -type f ! -name KelvoUpdate.exe -delete 2>/dev/null || true
if [ $# -gt 0 ]; then
    cmake --build "$build" -j "$(nproc)" --target "$@"
else
    cmake --build "$build" -j "$(nproc)"
fi
