#!/bin/bash
# Fails unless both builds of the program embed the application manifest (type 24, id 1) with
# asInvoker, Common Controls 6, per-monitor v2 / system DPI awareness and Windows 7 to 11.
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
status=0
for arch in i686 x86_64; do
    exe=$build/$arch/bin/KelvoUpdate.exe
    manifest=$(python3 "$here/pe.py" resource "$exe" 24 1) || { echo "check-manifest: $exe has no manifest"; status=1; continue; }
    for want in 'requestedExecutionLevel level="asInvoker"' \
                'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
                '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
                'PerMonitorV2, System</dpiAwareness>' \
                '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' '{1f676c76-80e1-4239-95bb-83d0f6d0da78}' \
                '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}' '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}'; do
        if ! grep -qF -- "$want" <<<"$(tr -s ' \n' ' ' <<<"$manifest")"; then
            echo "check-manifest: $exe: manifest lacks $want"; status=1
        fi
    done
done
[ $status -eq 0 ] && echo "check-manifest: both executables carry the manifest"
exit $status
