#!/bin/bash
# Checks what ships, on both builds of the program: no symbol table, no build folder in the
# file, no time stamp, Windows 7 (6.1) as subsystem and OS version, and the header's
# protections (ASLR, DEP, Remote Desktop aware; 64-bit ASLR on x86_64). Then, unless --header
# is given, it packages the release twice, from this tree and from a copy of its sources in
# another folder, and fails unless the two zips and their checksums are the same byte for byte.
#   scripts/check-release.sh BUILD_ROOT [--header]
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
fail() { echo "check-release: $*"; status=1; }

for arch in i686 x86_64; do
    exe=$build/$arch/bin/KelvoUpdate.exe
    declare -A header=()
    while IFS='=' read -r name value; do header[$name]=$value; done \
        < <(python3 "$root/scripts/pe.py" header "$exe")
    [ "${header[symbols]}" = 0 ] && [ "${header[symbol_table]}" = 0 ] ||
        fail "$exe has a symbol table (${header[symbols]} symbols)"
    [ "${header[time_stamp]}" = 0 ] || fail "$exe has a time stamp (${header[time_stamp]})"
    for field in subsystem_version os_version; do
        [ "${header[$field]}" = 6.1 ] || fail "$exe: $field is ${header[$field]}, want 6.1"
    done
    want=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVER_AWARE)
    [ "$arch" = i686 ] || want+=(HIGH_ENTROPY_VA)
    for flag in "${want[@]}"; do
        [[ " ${header[dll_characteristics]} " == *" $flag "* ]] || fail "$exe lacks $flag"
    done
    # A folder shows either as it is or as a symbol name made of it (every other character '_').
    for folder in "$root" "$build"; do
        for form in "$folder" "${folder//[^A-Za-z0-9]/_}"; do
            ! grep -qaF -- "$form" "$exe" || fail "$exe holds the build folder as '$form'"
        done
    done
    unset header
done
[ $status -eq 0 ] && echo "check-release: both programs: no symbols, no build folder," \
    "no time stamp, Windows 6.1, ASLR, DEP, Remote Desktop aware"
[ "${2:-}" = --header ] && exit $status

# The second build: the same sources (this tree's files, committed or not) in another folder,
# built at another time into a build tree of its own.
other=$(mktemp -d /tmp/kelvo-release-XXXXXX)
trap 'rm -rf "$other"' EXIT
mkdir "$other/src"
tar -C "$root" --exclude=./.git --exclude=./build --exclude='./build-*' --exclude=./dist -cf - . |
    tar -C "$other/src" -xf -
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
KELVO_DIST=$other/dist1 "$root/scripts/package.sh" >/dev/null
KELVO_BUILD=$other/build KELVO_DIST=$other/dist2 "$other/src/scripts/package.sh" >/dev/null
for file in SHA256SUMS "$(cd "$other/dist1" && ls ./*.zip)"; do
    cmp "$other/dist1/$file" "$other/dist2/$file" ||
        fail "two builds of the same sources in two folders differ in $file"
done
[ $status -eq 0 ] && echo "check-release: built twice in two folders, the same release byte" \
    "for byte:" && sed 's/^/    /' "$other/dist1/SHA256SUMS"
exit $status
