#!/bin/bash
# Runs the program against the device simulator: installs what is missing, builds the i686
# program (the one users get) with the i686 simulator, writes the sample firmware files and
# starts it under the 32-bit Wine loader. On a machine that can't run 32-bit programs it says
# so and runs the x86_64 build of the same sources instead.
#   scripts/run.sh              on $DISPLAY when it is usable, else headless
#   scripts/run.sh --headless   always headless: a scripted walk on a private Xvfb display
# Headless, a walk through Connect, Open and Update prints the log and saves a screenshot of
# every step (the walk starts from a device with its first revision). On a display, the
# simulated device keeps the revision it was last updated to (state file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}

headless=0
case "${1:-}" in
--headless) headless=1 ;;
"") ;;
*) echo "usage: scripts/run.sh [--headless]" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh"
# Only what running needs: the program, the simulator and the headless walk.
arch=i686
"$root/scripts/build.sh" $arch "$build" KelvoUpdate kovusbd_sim kelvo_walk
if ! why=$("$root/scripts/can-run-i686.sh" "$build" 2>&1); then
    echo "run: $why: running the x86_64 build instead of the i686 one users get"
    arch=x86_64
    "$root/scripts/build.sh" $arch "$build" KelvoUpdate kovusbd_sim kelvo_walk
fi
tree=$build/$arch
"$root/scripts/wine-prefix.sh" "$tree"
trap '"$tree/wine-run" --server -k 2>/dev/null || true' EXIT

firmware=$tree/firmware
python3 "$root/scripts/make-firmware.py" --samples "$firmware" >/dev/null
run=$tree/run
mkdir -p "$run"
touch "$run/scenario.txt"

# The simulator reads Windows paths.
windowsPath() { echo "Z:${1//\//\\}"; }

displayUsable() {
    [ -n "${DISPLAY:-}" ] &&
        timeout 10 import -window root -crop 1x1+0+0 +repage png:- >/dev/null 2>&1
}

if [ $headless -eq 0 ] && displayUsable; then
    echo "run: the $arch KelvoUpdate.exe on $DISPLAY, against the simulated device"
    echo "run: sample firmware files in $firmware:"
    echo "       lune-1.3a.dat (fits), other-device.dat (refused), short-header.dat (refused)"
    echo "run: the simulator's settings: $run/scenario.txt (keys in sim/README.md)"
    KOVSIM_SCENARIO=$(windowsPath "$run/scenario.txt") \
    KOVSIM_STATE=$(windowsPath "$run/state.txt") \
    KOVSIM_TRACE=$(windowsPath "$run/trace.txt") \
        "$tree/wine-run" "$tree/bin/KelvoUpdate.exe"
else
    echo "run: no usable display: a scripted walk on a private Xvfb display"
    shots=$tree/screenshots/run
    "$root/scripts/with-xvfb.sh" "$tree/wine-run" "$tree/tools/kelvo_walk.exe" \
        --program="$tree/bin/KelvoUpdate.exe" --firmware="$firmware/lune-1.3a.dat" \
        --work="$run" --shots="$shots"
fi
