#!/bin/bash
# Creates the Wine prefix of a build tree once (Japanese fonts mapped), and starts a persistent
# wineserver for it: scripts/wine-prefix.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.kelvo-ready" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    # regedit reads version-5 files as UTF-16.
    iconv -f UTF-8 -t UTF-16 "$root/scripts/fonts.reg" >"$WINEPREFIX/fonts.reg"
    /usr/lib/wine/wine64 regedit /S "Z:${WINEPREFIX//\//\\}\\fonts.reg" >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.kelvo-ready"
fi
# Keep the server and Wine's service processes up for the whole run, detached from our
# output: a child holding ctest's pipe open would stall it.
# A server that already runs for this prefix (an earlier step) is fine as it is.
/usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null || true
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true
# Every run starts at 96 dots per inch, even after an interrupted high-resolution run.
"$root/scripts/set-dpi.sh" "$build" 96 </dev/null || true
