#!/bin/bash
# Runs every benchmark against the device simulator and prints its figures and ratios:
# installs what is missing, builds the x86_64 benchmarks (the build that runs here, under
# Wine) and runs them one after the other on a private Xvfb display (two of them need
# windows). Benchmarks measure, they do not judge: nothing here fails on a slow figure.
#   scripts/bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}
tree=$build/x86_64

"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64 "$build" transfer_bench memory_bench polling_bench log_bench \
    kovusbd_sim
"$root/scripts/wine-prefix.sh" "$tree"
export WINEPREFIX=$tree/wineprefix
stopWine() { /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stopWine EXIT
# A Wine session started without a display keeps a desktop without one: start afresh on the
# benchmarks' display, and end the session before the display goes.
stopWine

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(/usr/lib/wine/wine64 --version)," \
    "$(x86_64-w64-mingw32-g++-posix -dumpfullversion | sed 's/^/mingw-w64 GCC /')"
cd "$tree"
"$root/tests/e2e/with-xvfb.sh" bash -c '
    status=0
    for bench in transfer_bench memory_bench polling_bench log_bench; do
        ./wine-run "bin/$bench.exe" || status=1
    done
    /usr/lib/wine/wineserver -k 2>/dev/null
    exit $status'
