#!/bin/bash
# Fails on an #include against the direction of the layers, and on an include that climbs out
# of its folder with "../":
#   app -> ui -> (framework | update) -> device -> base -> platform, res for ui and app;
#   sim -> base and platform/kovusbd.h only: the device's side, a second implementation of the
#   driver library, so a wrong wire constant in the program can't hide behind the same constant
#   in the simulator.
# Tests, benchmarks and tools may include any layer, each through its library's include folder.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# What each folder may include: folders, or single headers of another folder.
declare -A allowed=(
    [platform]="platform"
    [base]="base platform"
    [device]="device base platform"
    [update]="update device base platform"
    [framework]="framework base platform"
    [ui]="ui framework update device base platform res"
    [app]="app ui framework update device base platform res"
    [res]="res"
    [sim]="sim base platform/kovusbd.h"
)

status=0
count=0
fail() {
    echo "check-layers: $*" >&2
    status=1
}
for layer in "${!allowed[@]}" tests bench tools; do
    [ -d "$root/$layer" ] || fail "$layer/ is missing"
    while IFS=: read -r file line include; do
        count=$((count + 1))
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$include")
        where=${file#"$root"/}:$line
        if [[ "$target" == *../* ]]; then
            fail "$where includes \"$target\": no include climbs out of its folder"
            continue
        fi
        # A header beside the file, named without its folder; tests, benchmarks and tools take any.
        [[ "$target" != */* ]] || [ -z "${allowed[$layer]:-}" ] && continue
        ok=0
        for entry in ${allowed[$layer]}; do
            if [ "$target" = "$entry" ] || [ "${target%%/*}" = "$entry" ]; then
                ok=1
                break
            fi
        done
        [ $ok -eq 1 ] || fail "$where includes \"$target\": $layer/ may include only ${allowed[$layer]}"
    done < <(grep -rnHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$layer" \
        --include='*.h' --include='*.cpp' --include='*.rc' || true)
done
[ $status -eq 0 ] && echo "check-layers: $count includes, every one along the layers"
exit $status
