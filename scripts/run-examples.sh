#!/usr/bin/env bash
# Sets up the machine, builds orvane and opens its window on the bundled example trajectories.
# Without a display it runs on a private Xvfb server instead, saves a screenshot of the window
# to build/screenshots/orvane.png and closes the window by itself, as a window manager would.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# The build is quiet when it works; when it fails, show why.
mkdir -p build
build_log=build/run-examples-build.log
if ! scripts/build.sh release >"$build_log" 2>&1; then
    echo "The build failed; the failing part of $build_log:" >&2
    if grep -q -m1 -E '^CMake Error' "$build_log"; then
        sed -n '/^CMake Error/,$p' "$build_log" | head -n 60 >&2
    elif grep -q -m1 '^FAILED: ' "$build_log"; then
        sed -n '/^FAILED: /,$p' "$build_log" | head -n 80 >&2
    else
        tail -n 40 "$build_log" >&2
    fi
    exit 1
fi
shopt -s nullglob
examples=(examples/*)
orvane=build/release/app/orvane

if [ -n "${DISPLAY:-}" ]; then
    exec "$orvane" "${examples[@]}"
fi

workdir=$(mktemp -d)
xvfb_pid=
orvane_pid=
cleanup() {
    [ -n "$orvane_pid" ] && kill "$orvane_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the given descriptor.
exec {displayfd}>"$workdir/display"
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 600); do
    [ -s "$workdir/display" ] && break
    sleep 0.1
done
exec {displayfd}>&-
export DISPLAY=":$(head -n 1 "$workdir/display")"
echo "No display: running on Xvfb $DISPLAY"

"$orvane" "${examples[@]}" &
orvane_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Orvane$' | head -n 1)
sleep 1  # let a few frames reach the screen
mkdir -p build/screenshots
import -window "$window" build/screenshots/orvane.png
echo "Screenshot: build/screenshots/orvane.png"
build/release/tools/close_window --timeout 30 Orvane
status=0
wait "$orvane_pid" || status=$?
orvane_pid=
echo "orvane ended with status $status"
exit "$status"
