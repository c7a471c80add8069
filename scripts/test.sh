#!/bin/bash
# The whole test run: installs what is missing, builds both targets, checks the ordinal
# imports and the manifest, and runs every test under Wine (and Xvfb for the end-to-end tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" x86_64 "$build"
"$root/scripts/build.sh" i686 "$build"
"$root/scripts/check-imports.sh" "$build"
"$root/scripts/check-manifest.sh" "$build"

"$root/scripts/wine-prefix.sh" "$build/x86_64"
trap 'WINEPREFIX="$build/x86_64/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir "$build/x86_64" --output-on-failure -j 1
