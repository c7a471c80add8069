#!/bin/bash
# Makes the release package: dist/KelvoUpdate-<version>.zip with the i686 program and the
# Japanese user guide. The version is read from the program's version resource.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686 "$build" KelvoUpdate >/dev/null
exe=$build/i686/bin/KelvoUpdate.exe

version=$(python3 "$root/scripts/pe_version.py" "$exe")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/"
# Windows readers of the guide: code page 932 with CR LF line ends.
sed 's/$/\r/' "$root/docs/README-ja.txt" | iconv -f UTF-8 -t CP932 >"$stage/README-ja.txt"

mkdir -p "$root/dist"
zip_path=$root/dist/KelvoUpdate-$version.zip
rm -f "$zip_path"
(cd "$stage" && zip -q -X "$zip_path" KelvoUpdate.exe README-ja.txt)
echo "package: $zip_path"
