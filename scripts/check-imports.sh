#!/bin/bash
# Fails unless every binary that links the driver library imports kovusbd.dll by ordinal only,
# with each of the ordinals 1, 3, 6, 8, 13 and 14: the program (bin/), the tests and the
# benchmarks.
set -euo pipefail
build=$1
status=0
checked=0
for arch in i686 x86_64; do
    objdump=$arch-w64-mingw32-objdump
    for exe in "$build/$arch/"{bin,tests,bench}/*.exe; do
        [ -e "$exe" ] || continue
        imports=$($objdump -p "$exe" | awk '
            /DLL Name:/ { inside = ($3 == "kovusbd.dll") ; next }
            inside && /^\t[0-9a-f]+\t/ { print }
            inside && NF == 0 { inside = 0 }')
        [ -n "$imports" ] || continue
        checked=$((checked + 1))
        names=$(echo "$imports" | awk '$3 != "<none>"')
        if [ -n "$names" ]; then
            echo "check-imports: $exe imports kovusbd.dll by name:"; echo "$names"; status=1
        fi
        # An import by ordinal keeps the ordinal in the low 16 bits of its thunk (objdump prints
        # the ordinal column in decimal for 32-bit binaries but in hex for 64-bit ones).
        ordinals=$(echo "$imports" | while read -r thunk _; do echo $((0x${thunk: -4})); done |
                   sort -n | tr '\n' ' ')
        if [ "$ordinals" != "1 3 6 8 13 14 " ]; then
            echo "check-imports: $exe imports ordinals '$ordinals', want '1 3 6 8 13 14'"; status=1
        fi
    done
done
if [ "$checked" -eq 0 ]; then
    echo "check-imports: no binary imports kovusbd.dll"; exit 1
fi
[ $status -eq 0 ] && echo "check-imports: $checked binaries import kovusbd.dll by ordinal only"
exit $status
