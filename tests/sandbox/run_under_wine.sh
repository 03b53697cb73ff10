#!/bin/bash
# Runs a Windows test program under Wine, in the build's own throw-away prefix (never a user's),
# booted once and then shared by the tests of the run.
# Usage: run_under_wine.sh PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail

export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine wineboot --init >/dev/null 2>&1
        wineserver --wait
    fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
