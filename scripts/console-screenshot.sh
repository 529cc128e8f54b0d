#!/usr/bin/env bash
# Makes the README's picture of the console: orvane on the bundled examples on a private Xvfb
# server, the console opened with the key left of 1 and "set" typed, so that it lists the
# commands the line could complete to. The picture is taken while the cursor is shown.
#   scripts/console-screenshot.sh [OUTPUT.png]    (default docs/console.png)
set -euo pipefail
cd "$(dirname "$0")/.."

output=$(realpath -m "${1:-docs/console.png}")
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

build/release/app/orvane examples/* >/dev/null &
orvane_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Orvane$' | head -n 1)
xdotool windowfocus --sync "$window"
xdotool key --window "$window" grave
xdotool type --window "$window" --delay 30 set

# The cursor blinks: keep the first picture with its green underscore under the line.
for _ in $(seq 1 20); do
    sleep 0.15
    import -window "$window" "$workdir/console.png"
    if convert "$workdir/console.png" -crop 24x24+36+256 txt:- | grep -q '#00FF00'; then
        cp "$workdir/console.png" "$output"
        echo "Screenshot: $output"
        build/release/tools/close_window --timeout 30 Orvane >/dev/null
        wait "$orvane_pid"
        orvane_pid=
        exit 0
    fi
done
echo "the console's cursor never showed" >&2
exit 1
