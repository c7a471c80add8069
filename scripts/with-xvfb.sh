#!/bin/bash
# Runs a command on a private X display: starts Xvfb on a free display number, runs the command
# with DISPLAY pointing at it, and stops the server again, whatever the command's outcome.
#   with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail

numberFile=$(mktemp)
# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$numberFile"' EXIT

for _ in $(seq 1 300); do
    [ -s "$numberFile" ] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$numberFile" ] || { echo "with-xvfb: Xvfb did not report a display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numberFile")"

status=0
"$@" || status=$?
exit $status
