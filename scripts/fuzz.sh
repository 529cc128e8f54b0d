#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a short while over its committed corpus.
# New interesting inputs go to build/fuzz/found/<name>; copy the ones worth keeping into
# fuzz/corpus/<name>. Crashes leave their input in build/fuzz/crashes and fail the run.
#   ORVANE_FUZZ_SECONDS  seconds per target (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${ORVANE_FUZZ_SECONDS:-20}
status=0
shopt -s nullglob
for binary in build/fuzz/fuzz/fuzz_*; do
    [ -x "$binary" ] || continue  # fuzz_<name>.options beside the binaries
    name=${binary##*/fuzz_}
    found=build/fuzz/found/$name
    mkdir -p "$found" build/fuzz/crashes
    # Flags of the target's own, such as a larger -max_len for the file readers.
    options=()
    if [ -f "$binary.options" ]; then
        read -ra options <"$binary.options"
    fi
    echo "== fuzzing $name for ${seconds}s ${options[*]}"
    # A cap on single allocations turns an input that makes a reader allocate hugely into a
    # failure, as it should be.
    if ! "$binary" "$found" "fuzz/corpus/$name" "${options[@]}" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -artifact_prefix=build/fuzz/crashes/"$name"- \
        -print_final_stats=0 2>build/fuzz/"$name".log; then
        tail -n 40 build/fuzz/"$name".log
        status=1
    else
        tail -n 1 build/fuzz/"$name".log
    fi
done
exit $status
