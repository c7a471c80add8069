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
# One registry write, tried three times: a Wine program may fail to start while the prefix's
# server is still coming up (seen once: the whole entry failed in 0.15 s, silently).
regAdd() {
    local try
    for try in 1 2 3; do
        "$run" reg add "$@" /f >/dev/null 2>&1 && return 0
        sleep 1
    done
    echo "set-dpi: reg add $1 failed three times" >&2
    return 1
}
setDpi() {
    regAdd 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    regAdd 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1"
}
setDpi "$dpi"
[ $# -gt 0 ] || exit 0
trap 'setDpi 96 || true' EXIT
"$@"
