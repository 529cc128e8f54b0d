#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need. Safe to run again: it asks
# apt for nothing when every package is already installed.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    clang libclang-rt-14-dev         # libFuzzer targets
    libfmt-dev
    libpng-dev ffmpeg                # orvane-record: PNG frames and video
    libx11-dev libxtst-dev libgl-dev libopengl-dev libglx-dev libgl1-mesa-dri
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick
    util-linux mount                 # prlimit, unshare and mount for end-to-end tests
    g++-mingw-w64-x86-64-posix wine wine64   # the Windows build and its tests
    dpkg-dev file man-db             # the Debian package (file: CPack finds its programs) and
    bash-completion                  # the checks of its manual pages and completion
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
