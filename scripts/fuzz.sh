#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a short while over its committed corpus,
# as many at once as the machine has cores.
# New interesting inputs go to build/fuzz/found/<name>; copy the ones worth keeping into
# fuzz/corpus/<name>. Crashes leave their input in build/fuzz/crashes and fail the run.
#   ORVANE_FUZZ_SECONDS  seconds per target (default 15)
#   ORVANE_FUZZ_JOBS     targets run at once (default: number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${ORVANE_FUZZ_SECONDS:-15}
jobs=${ORVANE_FUZZ_JOBS:-$(nproc)}

# Fuzzes one target; its summary (or the tail of its log on failure) is printed whole when
# it ends, so the lines of targets running side by side do not interleave.
fuzz_one() {
    local binary=$1 name=${1##*/fuzz_}
    local found=build/fuzz/found/$name log=build/fuzz/$name.log
    mkdir -p "$found" build/fuzz/crashes
    # Flags of the target's own, such as a larger -max_len for the file readers.
    local options=()
    if [ -f "$binary.options" ]; then
        read -ra options <"$binary.options"
    fi
    # A cap on single allocations turns an input that makes a reader allocate hugely into a
    # failure, as it should be.
    if "$binary" "$found" "fuzz/corpus/$name" "${options[@]}" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -artifact_prefix=build/fuzz/crashes/"$name"- \
        -print_final_stats=0 2>"$log"; then
        printf '== fuzzed %s for %ss %s\n%s\n' "$name" "$seconds" "${options[*]}" "$(tail -n 1 "$log")"
    else
        printf '== FAILED fuzzing %s %s\n%s\n' "$name" "${options[*]}" "$(tail -n 40 "$log")"
        return 1
    fi
}

status=0
running=0
shopt -s nullglob
for binary in build/fuzz/fuzz/fuzz_*; do
    [ -x "$binary" ] || continue  # fuzz_<name>.options beside the binaries
    if ((running >= jobs)); then
        wait -n || status=1
        running=$((running - 1))
    fi
    fuzz_one "$binary" &
    running=$((running + 1))
done
while ((running > 0)); do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
