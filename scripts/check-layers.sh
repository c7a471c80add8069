#!/bin/bash
# Fails on an #include against the direction of the layers:
#   app -> ui -> update -> device -> platform, framework beside them (below ui and app, above
#   platform), res for ui and app, and sim apart (a second implementation of the driver library).
# device/ and update/ take from framework/ only what has no window in it. Tests and benchmarks
# may include anything.
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# What each folder may include: folders, or single headers of another folder.
declare -A allowed=(
    [platform]="platform"
    [framework]="framework platform"
    [device]="device platform framework/TextFormat.h"
    [update]="update device platform framework/File.h framework/TextFormat.h"
    [ui]="ui update device platform framework res"
    [app]="app ui update device platform framework res"
    [res]="res"
    [sim]="sim platform device/VendorRequest.h framework/TextFormat.h"
)

status=0
count=0
for layer in "${!allowed[@]}"; do
    [ -d "$root/$layer" ] || continue
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
            echo "check-layers: ${file#"$root"/}:$line includes \"$target\": $layer/ may include" \
                "only ${allowed[$layer]}" >&2
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$layer" \
        --include='*.h' --include='*.cpp' --include='*.rc' || true)
done
[ $status -eq 0 ] && echo "check-layers: $count includes, every one along the layers"
exit $status
