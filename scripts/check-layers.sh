#!/bin/bash
# Fails on an #include against the direction of the layers:
#   app -> ui -> update -> device -> platform, framework beside them (below ui and app, above
#   platform), res for ui and app, and sim apart: the device's side, a second implementation of
#   the driver library that takes from the program only the interface it implements
#   (platform/kovusbd.h) and the generic text helper, so a wrong wire constant in the program
#   can't hide behind the same constant in the simulator.
# device/ and update/ take from framework/ only what has no window in it. Tests and benchmarks
# may include anything.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# What each folder, or single file, may include: folders, or single headers of another folder.
# The parts of framework/ that device/ and update/ use stay window-free.
declare -A allowed=(
    [platform]="platform"
    [framework]="framework platform"
    [device]="device platform framework/TextFormat.h"
    [update]="update device platform framework/File.h framework/TextFormat.h"
    [ui]="ui update device platform framework res"
    [app]="app ui update device platform framework res"
    [res]="res"
    [sim]="sim platform/kovusbd.h framework/TextFormat.h"
    [framework/File.h]="framework/File.h"
    [framework/File.cpp]="framework/File.h"
    [framework/TextFormat.h]="framework/TextFormat.h"
)

status=0
count=0
for layer in "${!allowed[@]}"; do
    [ -e "$root/$layer" ] || continue
    while IFS=: read -r file line include; do
        count=$((count + 1))
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$include")
        ok=0
        for entry in ${allowed[$layer]}; do
            if [ "$target" = "$entry" ] || [ "${target%%/*}" = "$entry" ]; then
                ok=1
                break
            fi
        done
        # A header beside the file, named without its folder.
        [[ "$target" != */* ]] && ok=1
        if [ $ok -eq 0 ]; then
            [ -d "$root/$layer" ] && what=$layer/ || what=$layer
            echo "check-layers: ${file#"$root"/}:$line includes \"$target\": $what may include" \
                "only ${allowed[$layer]}" >&2
            status=1
        fi
    done < <(grep -rnHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$layer" \
        --include='*.h' --include='*.cpp' --include='*.rc' || true)
done
[ $status -eq 0 ] && echo "check-layers: $count includes, every one along the layers"
exit $status
