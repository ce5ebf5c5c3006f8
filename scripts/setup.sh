#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the Debian packages Tessera needs (only those missing), then configures and builds.
# Idempotent: a second run installs nothing and rebuilds only what changed.
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config make
    libfltk1.3-dev libcairo2-dev libfontconfig-dev fontconfig fonts-dejavu-core
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth xdotool xclip imagemagick x11-utils
    clang clang-format libclang-rt-14-dev
    libtinyxml2-dev libpugixml-dev
    libdxflib-dev
    file libxml2-utils
    openems python3-openems python3-h5py python3-numpy
    dpkg-dev lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build_dir=${1:-build}
shift || true
# A new build folder is configured; an existing one again whenever options are given, so
# that a changed option (warnings as errors, sanitizers) takes effect instead of being
# silently ignored by the cached configuration.
if [ ! -f "$build_dir/build.ninja" ] || [ $# -gt 0 ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build_dir" -j2
