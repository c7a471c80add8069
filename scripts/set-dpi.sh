#!/bin/bash
# Sets the resolution (dots per inch) that programs of a build tree's Wine prefix see:
#   scripts/set-dpi.sh BUILD_DIR DPI
set -euo pipefail
build=$(cd "$1" && pwd)
dpi=$2
run=$build/wine-run
"$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$run" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
