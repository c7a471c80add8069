#!/bin/bash
# Static analysis: clang-tidy, with the checks of the root .clang-tidy, over every .cpp of the
# program's folders and the simulator; their headers are checked through the .cpp files that
# include them. Prints each warning once, then one line; fails on any warning.
#   scripts/check-tidy.sh [BUILD_ROOT]
# The compile database comes from an x86_64 tree configured under BUILD_ROOT/tidy (configured
# only: no source includes a generated header).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}/tidy
folders=(app ui update device framework base platform sim)
triple=x86_64-w64-mingw32
if ! command -v clang-tidy >/dev/null; then
    echo "tidy: clang-tidy is missing (scripts/setup.sh installs it)"
    exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# Clang has no -fexec-charset but UTF-8: a copy of the database without it.
mkdir -p "$build/database"
sed 's/ -fexec-charset=CP932//g' "$build/compile_commands.json" \
    >"$build/database/compile_commands.json"

# Clang 14 misses libstdc++ in Debian's mingw GCC folder (lib/gcc/TRIPLE/12-posix): it gets the
# mingw compiler's own C++ include folders, ahead of clang's own and the mingw C headers.
args=(-p "$build/database" --quiet --extra-arg=--target=$triple --extra-arg=-nostdinc++)
while read -r dir; do
    args+=("--extra-arg=-isystem$dir")
done < <($triple-g++-posix -xc++ -E -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++.*\)$|\1|p')

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mapfile -t files < <(cd "$root" && find "${folders[@]}" -name '*.cpp' | sort)
# Two at a time, each file's report in files of its own, so that the two never interleave.
for file in "${files[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n || true; done
    name=$out/${file//\//_}
    (cd "$root" && clang-tidy "${args[@]}" "$file" >"$name.out" 2>"$name.err" ||
        echo "$name" >>"$out/failed") &
done
wait

# A header's warning comes once from every .cpp that includes it: each is printed once.
report=$(awk '
    function flush() { if (block != "" && !seen[block]++) print block; block = "" }
    FNR == 1 { flush() }
    /^[^ ].*:[0-9]+:[0-9]+: (warning|error):/ { flush(); block = $0; next }
    block != "" { block = block "\n" $0 }
    END { flush() }' "$out"/*.out)
warnings=$(grep -cE '^[^ ].*:[0-9]+:[0-9]+: (warning|error):' <<<"$report" || true)
[ -z "$report" ] || echo "$report"
failed=0
if [ -s "$out/failed" ]; then
    # clang-tidy itself failed (a file that doesn't compile): what it said besides the counts.
    while read -r name; do grep -v ' generated\.$' "$name.err" || true; done <"$out/failed"
    failed=$(wc -l <"$out/failed")
fi
if [ "$failed" -ne 0 ]; then
    echo "tidy: ${#files[@]} files checked, $warnings warnings, clang-tidy failed on $failed"
    exit 1
fi
echo "tidy: ${#files[@]} files checked, $warnings warnings"
[ "$warnings" -eq 0 ]
