#!/bin/bash
# Sets the resolution (dots per inch) that programs of a build tree's Wine prefix see:
#   scripts/set-dpi.sh BUILD_DIR DPI                   from now on
#   scripts/set-dpi.sh BUILD_DIR DPI COMMAND [ARGS...]  for COMMAND, then 96 again; exits as
#                                                       COMMAND did
set -euo pipefail
build=$(cd "$1" && pwd)
dpi=$2
shift 2
run=$build/wine-run
setDpi() {
    "$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    "$run" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
setDpi "$dpi"
[ $# -gt 0 ] || exit 0
trap 'setDpi 96 || true' EXIT
"$@"
