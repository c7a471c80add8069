#!/bin/bash
# The whole test run: installs what is missing, checks that includes follow the layers and that
# clang-tidy finds nothing, builds both targets, checks the ordinal imports, the manifest and the
# release (header, and a second build in another folder that must give the same bytes), and runs
# the tests under Wine (and Xvfb where windows are made).
#   scripts/test.sh                  every test on the i686 build (what users run) under the
#                                    32-bit loader, then the unit and integration tests on the
#                                    x86_64 build (the code stays 64-bit clean)
#   scripts/test.sh --x86_64-only    every test on the x86_64 build alone, for a machine that
#                                    can't run 32-bit programs; the i686 build is only built
# Without the option, a machine that can't run the i686 build fails the run (exit 3) with one
# line that says why: a green run must have tested what ships.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD:-$root/build}

x86_64Only=0
case "${1:-}" in
--x86_64-only) x86_64Only=1 ;;
"") ;;
*) echo "usage: scripts/test.sh [--x86_64-only]" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh"
"$root/scripts/check-layers.sh" "$root"
"$root/scripts/build.sh" x86_64 "$build"
"$root/scripts/build.sh" i686 "$build"
# Before the checks, so that a machine that can't run the i686 build stops early and the
# x86_64-only run that follows does the checks (the static analysis and a second build of the
# release among them) once.
if [ $x86_64Only -eq 0 ] && ! why=$("$root/scripts/can-run-i686.sh" "$build" 2>&1); then
    echo "test: FAILED: $why, so the i686 build (the one users run) can't be tested here;" \
        "'bash scripts/test.sh --x86_64-only' tests the x86_64 build alone"
    exit 3
fi
"$root/scripts/check-tidy.sh" "$build"
"$root/scripts/check-imports.sh" "$build"
"$root/scripts/check-manifest.sh" "$build"
"$root/scripts/check-release.sh" "$build"

# One target's tests in its own prefix, with its own wineserver: the ctest fixture wine_prefix
# makes the prefix and starts the server, and stops it after the last test. In a new order each
# run, so that no test comes to rely on another running before it.
runTests() {
    local tree=$build/$1
    shift
    echo "== tests of the $(basename "$tree") build${*:+ ($*)}"
    ctest --test-dir "$tree" --output-on-failure --schedule-random -j 1 "$@"
}
trap 'for t in i686 x86_64; do "$build/$t/wine-run" --server -k 2>/dev/null || true; done' EXIT

if [ $x86_64Only -eq 1 ]; then
    echo "test: --x86_64-only: the i686 build, the one users run, is built and checked but not run"
    runTests x86_64
    exit 0
fi

status=0
runTests i686 || status=1
runTests x86_64 -L 'unit|integration' || status=1
exit $status
