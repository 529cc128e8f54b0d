#!/usr/bin/env bash
# Runs the tests of the Windows build (build/windows, made by `scripts/build.sh windows`) under
# Wine, through ctest and the build's emulator. Arguments go to ctest (-R REGEX, say).
#
# Then the window test: orvane.exe in a real window under Wine on a private X server, driven
# from the Linux side (tests/wine/). It is a test of a small Linux build of its own,
# build/wine-window, pointed at build/windows; ORVANE_WINE_WINDOW_TEST=0 leaves it out.
#
# The Wine prefix lives in the build tree (build/windows/wine-prefix, made on the first run:
# about 10 s and 700 MB). One wineserver serves the whole run and is stopped afterwards;
# without it every test program would start and stop its own (about 2.5 s each).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
if [ ! -f "$build/CTestTestfile.cmake" ]; then
    echo "no Windows build in $build: run scripts/build.sh windows first" >&2
    exit 2
fi
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
for program in "$wine64" "$wineserver"; do
    if [ ! -x "$program" ]; then
        echo "$program not found: scripts/setup.sh installs wine and wine64" >&2
        exit 2
    fi
done

# The same settings as the build's emulator, for the server and the prefix.
export WINEPREFIX="$PWD/$build/wine-prefix"
export WINEDEBUG=-all
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# No offers to install Mono or Gecko while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$WINEPREFIX"
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine64" wineboot -i
# Now and then a test program fails to start under Wine while a fresh prefix settles (it ends
# at once with no output, and passes when run again); one more try tells that apart from a
# failing test, which fails both times.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"

if [ "${ORVANE_WINE_WINDOW_TEST:-1}" != 0 ]; then
    cmake -S . -B build/wine-window -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON \
        -DORVANE_BENCH=OFF -DORVANE_WINDOWS_BUILD_DIR="$PWD/$build" >/dev/null
    cmake --build build/wine-window --target WineWindowTest
    ctest --test-dir build/wine-window -L wine --no-tests=error --output-on-failure
fi
