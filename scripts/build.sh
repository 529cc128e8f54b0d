#!/usr/bin/env bash
# Configures and builds one of the project's build trees:
#   release  optimised build with warnings as errors            -> build/release
#   asan     AddressSanitizer + UndefinedBehaviorSanitizer      -> build/asan
#   fuzz     clang libFuzzer targets (with ASan and UBSan)      -> build/fuzz
#   windows  cross build for Windows with mingw-w64; its tests run under Wine
#            (scripts/windows-tests.sh)                         -> build/windows
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-release}
shift || true
case "$kind" in
    release)
        cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON "$@"
        cmake --build build/release
        ;;
    asan)
        cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_WERROR=ON \
            -DORVANE_SANITIZE=ON -DORVANE_BENCH=OFF "$@"
        cmake --build build/asan
        ;;
    fuzz)
        cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_COMPILER=clang++ -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF "$@"
        cmake --build build/fuzz --target fuzzers
        ;;
    windows)
        cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_WERROR=ON \
            -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "$@"
        cmake --build build/windows
        ;;
    *)
        echo "usage: $0 release|asan|fuzz|windows [cmake options]" >&2
        exit 2
        ;;
esac
