#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite:
#   1. release build (warnings are errors): unit, integration, window and fuzz-replay tests,
#      plus a one-iteration smoke run of every benchmark;
#   2. the same tests under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. a short libFuzzer run of every fuzz target (clang);
#   4. the Windows cross build (mingw-w64) and its tests under Wine.
# Options: --quick runs step 1 only.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
for arg in "$@"; do
    case "$arg" in
        --quick) quick=1 ;;
        *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
    esac
done

jobs=$(nproc)
scripts/setup.sh

echo "== release build and tests"
scripts/build.sh release
ctest --test-dir build/release --output-on-failure -j "$jobs"

if ((quick)); then
    exit 0
fi

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== short fuzz runs"
scripts/build.sh fuzz
scripts/fuzz.sh

echo "== Windows build and tests under Wine"
scripts/build.sh windows
scripts/windows-tests.sh
