#!/bin/bash
# Runs every benchmark against the device simulator and prints its figures and ratios:
# installs what is missing, builds the x86_64 benchmarks (the build that runs here, under
# Wine) and runs them one after the other; the two that need windows run on a private Xvfb
# display. Benchmarks measure, they do not judge: nothing here fails on a slow figure.
#   scripts/bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}
tree=$build/x86_64

"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64 "$build" transfer_bench memory_bench polling_bench log_bench \
    kovusbd_sim
"$root/scripts/wine-prefix.sh" "$tree"
stopWine() { WINEPREFIX="$tree/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; }
trap stopWine EXIT

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(/usr/lib/wine/wine64 --version)," \
    "$(x86_64-w64-mingw32-g++-posix -dumpfullversion | sed 's/^/mingw-w64 GCC /')"
cd "$tree"
./wine-run bin/transfer_bench.exe
./wine-run bin/memory_bench.exe
# Wine's desktop process ends with the display; stop it first so that it has nothing to say.
"$root/tests/e2e/with-xvfb.sh" bash -c \
    './wine-run bin/polling_bench.exe && ./wine-run bin/log_bench.exe; status=$?;
     WINEPREFIX="'"$tree"'/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null; exit $status'
