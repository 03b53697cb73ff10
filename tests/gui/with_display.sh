#!/bin/bash
# Runs a command on a private virtual X display, started for it and stopped after it. Hover and
# press need a real pointer (JUCE asks the X server where the mouse is), and the result panel's fade
# asks the desktop for its displays; a private server keeps a developer's own pointer out of it.
#
# A window manager would have created the window-manager atoms (WM_PROTOCOLS, ...) by the time a
# program opens a window; JUCE only looks them up, and outside an application object it leaves
# Xlib's default error handler in place, which ends the process on the first missing atom. So the
# atoms are created here, on a server that keeps them (-noreset) when that helper disconnects.
set -euo pipefail

workdir=$(mktemp -d /tmp/qv-display.XXXXXX)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$workdir/number" >/dev/null 2>&1 &
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

export DISPLAY=":$number"
/usr/bin/python3 - <<'PY'
from Xlib import display
connection = display.Display()
for name in ("WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE",
             "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"):
    connection.intern_atom(name)
connection.close()
PY

status=0
"$@" || status=$?
exit $status
