#!/bin/bash
# Makes the release package: dist/KelvoUpdate-<version>.zip with the i686 program and the
# Japanese user guide, and dist/SHA256SUMS with the zip's and the program's SHA-256. The
# version is read from the program's version resource.
#
# The same sources give the same zip, byte for byte: the program has no time stamp and no
# build folder in it (cmake/compiler-gcc.cmake), and the zip's entries have fixed times (the
# commit's date, or SOURCE_DATE_EPOCH), modes and order.
#
# Signing (Authenticode) when KELVO_SIGN_PKCS12 names a key: see scripts/sign.sh, which signs
# with a fixed signing time, so that a signed release is reproducible too.
# Other settings: KELVO_BUILD (build root, default build/), KELVO_DIST (default dist/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}
dist=${KELVO_DIST:-$root/dist}

"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686 "$build" KelvoUpdate >/dev/null
exe=$build/i686/bin/KelvoUpdate.exe

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "package: not a git checkout and no SOURCE_DATE_EPOCH: give the release's date as" \
            "SOURCE_DATE_EPOCH (seconds since 1970)" >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH

version=$(python3 "$root/scripts/pe.py" version "$exe")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/KelvoUpdate.exe"
# Windows readers of the guide: code page 932 with CR LF line ends.
sed 's/$/\r/' "$root/docs/README-ja.txt" | iconv -f UTF-8 -t CP932 >"$stage/README-ja.txt"

if [ -n "${KELVO_SIGN_PKCS12:-}" ]; then
    "$root/scripts/sign.sh" "$exe" "$stage/KelvoUpdate.exe"
    echo "package: KelvoUpdate.exe signed with the key in $KELVO_SIGN_PKCS12"
else
    echo "package: no signing key (KELVO_SIGN_PKCS12): KelvoUpdate.exe is unsigned"
fi

# Fixed entry times (zip stores local times: UTC here), modes and order; -X leaves out the
# owner and the extra time fields.
touch -d "@$SOURCE_DATE_EPOCH" "$stage/KelvoUpdate.exe" "$stage/README-ja.txt"
chmod 644 "$stage/KelvoUpdate.exe" "$stage/README-ja.txt"
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
zip_name=KelvoUpdate-$version.zip
rm -f "$dist/$zip_name"
(cd "$stage" && TZ=UTC zip -q -X "$dist/$zip_name" KelvoUpdate.exe README-ja.txt)
{ (cd "$dist" && sha256sum "$zip_name") && (cd "$stage" && sha256sum KelvoUpdate.exe); } \
    >"$dist/SHA256SUMS"
echo "package: $dist/$zip_name"
echo "package: $dist/SHA256SUMS"
