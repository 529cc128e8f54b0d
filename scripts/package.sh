#!/usr/bin/env bash
# Sets up the machine, builds the programs in a release build of their own (no tests, no
# benchmarks) and makes the Debian package of an installation:
#   build/package/orvane_<version>_<architecture>.deb
# Install it with: sudo apt install ./build/package/orvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON \
    -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF "$@"
cmake --build build/package
(cd build/package && cpack)
ls build/package/orvane_*.deb
