#!/bin/bash
# Creates the Wine prefix of a build tree once (Japanese fonts mapped), and starts a persistent
# wineserver for it: scripts/wine-prefix.sh BUILD_DIR
# Everything goes through the tree's wine-run, which knows the target's loader and prefix.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
run=$build/wine-run
prefix=$build/wineprefix
if [ ! -f "$prefix/.kelvo-ready" ]; then
    echo "wine: creating prefix $prefix"
    "$run" wineboot -i >/dev/null 2>&1 || true
    # regedit reads version-5 files as UTF-16.
    iconv -f UTF-8 -t UTF-16 "$root/cmake/wine-fonts.reg" >"$prefix/fonts.reg"
    "$run" regedit /S "Z:${prefix//\//\\}\\fonts.reg" >/dev/null 2>&1 || true
    "$run" --server -w
    touch "$prefix/.kelvo-ready"
fi
# Keep the server and Wine's service processes up for the whole run, detached from our
# output: a child holding ctest's pipe open would stall it.
# A server that already runs for this prefix (an earlier step) is fine as it is.
"$run" --server -p >/dev/null 2>&1 </dev/null || true
"$run" cmd /c exit >/dev/null 2>&1 </dev/null || true
# Every run starts at 96 dots per inch, even after an interrupted high-resolution run.
"$root/scripts/set-dpi.sh" "$build" 96 </dev/null || true
