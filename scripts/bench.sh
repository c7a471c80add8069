#!/bin/bash
# Runs every benchmark against the device simulator and prints its figures and ratios, for the
# i686 build (what users run) and the x86_64 build, one after the other in one run: installs
# what is missing, builds the benchmarks of both targets and runs each on a private Xvfb
# display (two of them need windows). Benchmarks measure, they do not judge: nothing here
# fails on a slow figure. A machine that can't run 32-bit programs gets the x86_64 figures
# and a line that says why the i686 ones are missing.
#   scripts/bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}
benches=(transfer_bench memory_bench polling_bench log_bench)

"$root/scripts/setup.sh"
for arch in i686 x86_64; do
    "$root/scripts/build.sh" $arch "$build" "${benches[@]}" kovusbd_sim
done
archs=()
if why=$("$root/scripts/can-run-i686.sh" "$build" 2>&1); then
    archs+=(i686)
else
    echo "bench: i686 not measured: $why"
fi
archs+=(x86_64)

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores," \
    "$("$build/x86_64/wine-run" --version)," \
    "$(x86_64-w64-mingw32-g++-posix -dumpfullversion | sed 's/^/mingw-w64 GCC /')"
status=0
for arch in "${archs[@]}"; do
    tree=$build/$arch
    "$root/scripts/wine-prefix.sh" "$tree"
    # A Wine session started without a display keeps a desktop without one: start afresh on
    # the benchmarks' display, and end the session before the display goes.
    "$tree/wine-run" --server -k 2>/dev/null || true
    echo "== $arch"
    (cd "$tree" && "$root/scripts/with-xvfb.sh" bash -c '
        status=0
        for bench in "$@"; do
            ./wine-run "bench/$bench.exe" || status=1
        done
        ./wine-run --server -k 2>/dev/null
        exit $status' bench "${benches[@]}") || status=1
done
exit $status
