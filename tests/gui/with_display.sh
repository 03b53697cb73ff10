#!/bin/bash
# Runs a command on a private virtual X display, started for it and stopped after it. Hover and
# press need a real pointer (JUCE asks the X server where the mouse is), and the result panel's fade
# asks the desktop for its displays; a private server keeps a developer's own pointer out of it.
set -euo pipefail

workdir=$(mktemp -d /tmp/qv-display.XXXXXX)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$workdir/number" >/dev/null 2>&1 &
server=$!

cleanup()
{
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

for _ in $(seq 200); do
    [ -s "$workdir/number" ] && break
    kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done

number=$(head -n 1 "$workdir/number")
[ -n "$number" ] || { echo "Xvfb gave no display number" >&2; exit 1; }

status=0
DISPLAY=":$number" "$@" || status=$?
exit $status
