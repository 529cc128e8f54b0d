#!/usr/bin/env bash
# Sets up the machine, builds the programs in a release build of their own (no tests, no
# benchmarks) and makes the package of an installation:
#   scripts/package.sh [deb]   build/package/orvane_<version>_<architecture>.deb
#                              (install it with: sudo apt install ./build/package/orvane_*.deb)
#   scripts/package.sh windows build/package-windows/orvane-<version>-windows-x86_64.zip,
#                              cross-built with mingw-w64 (unpack it anywhere on Windows)
# Further arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

kind=deb
case "${1:-}" in
    deb | windows)
        kind=$1
        shift
        ;;
esac

scripts/setup.sh
if [ "$kind" = windows ]; then
    cmake -S . -B build/package-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DORVANE_TESTS=OFF "$@"
    cmake --build build/package-windows
    (cd build/package-windows && cpack)
    ls build/package-windows/orvane-*-windows-x86_64.zip
else
    cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON \
        -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF "$@"
    cmake --build build/package
    (cd build/package && cpack)
    ls build/package/orvane_*.deb
fi
