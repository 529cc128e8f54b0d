#!/usr/bin/env bash
# Makes the README's pictures from orvane on the bundled examples on a private Xvfb server:
#   menu.png     the menu at the bottom of the window, its "Log" toggle switched on by a click;
#   console.png  then the console, opened with the key left of 1 with "set" typed, so that it
#                lists the commands the line could complete to (taken while the cursor shows).
#   scripts/readme-screenshots.sh [OUTPUT_FOLDER]    (default docs)
set -euo pipefail
cd "$(dirname "$0")/.."

output=$(realpath -m "${1:-docs}")
if [ -z "${ORVANE_PRIVATE_XVFB:-}" ]; then
    scripts/setup.sh
    cmake --build build/release --target orvane close_window >/dev/null
    ORVANE_PRIVATE_XVFB=1 exec xvfb-run --auto-servernum \
        --server-args="-screen 0 1024x768x24 -nolisten tcp" "$0" "$output"
fi

workdir=$(mktemp -d)
orvane_pid=
cleanup() {
    [ -n "$orvane_pid" ] && kill "$orvane_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT
mkdir -p "$output"

build/release/app/orvane examples/* >/dev/null &
orvane_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Orvane$' | head -n 1)

# "Log" is the fifth item of the bottom row: its cell spans x = 330 .. 409, y = 410 .. 469.
xdotool mousemove --window "$window" 360 445 click 1 mousemove --window "$window" 600 100
sleep 1
import -window "$window" "$output/menu.png"
echo "Screenshot: $output/menu.png"

xdotool windowfocus --sync "$window"
xdotool key --window "$window" grave
xdotool type --window "$window" --delay 30 set

# The cursor blinks: keep the first picture with its green underscore under the line.
for _ in $(seq 1 20); do
    sleep 0.15
    import -window "$window" "$workdir/console.png"
    if convert "$workdir/console.png" -crop 24x24+36+256 txt:- | grep -q '#00FF00'; then
        cp "$workdir/console.png" "$output/console.png"
        echo "Screenshot: $output/console.png"
        build/release/tools/close_window --timeout 30 Orvane >/dev/null
        wait "$orvane_pid"
        orvane_pid=
        exit 0
    fi
done
echo "the console's cursor never showed" >&2
exit 1
