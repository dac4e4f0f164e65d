#!/bin/bash
# Builds the Windows preset and runs its tests under Wine: the engine tests
# as Windows executables and the window tests that drive VornikTool.exe.
# Uses the X display in DISPLAY, or a private Xvfb when there is none.
# Exits with ctest's status.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1

cmake --preset windows >/dev/null || exit 1
cmake --build --preset windows || exit 1

. scripts/wine-env.sh || exit 1

xvfb_pid=
cleanup() {
    # Stops only what this script started.
    wineserver -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$display_file" </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    [ -s "$display_file" ] || { echo "windows-test.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$display_file")"
    rm -f "$display_file"
fi

# A persistent, warmed-up Wine server whose helpers hold none of ctest's
# pipes; without it every test waits on Wine's background processes.
wineserver -k >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

ctest --preset windows "$@"
