#!/usr/bin/env bash
# Sets up the machine, builds orvane and runs it on the bundled example trajectories.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh release >/dev/null
shopt -s nullglob
examples=(examples/*)
exec build/release/app/orvane "${examples[@]}"
