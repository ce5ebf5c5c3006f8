#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package of Tessera, checks it with lintian and prints the path of the
# .deb on standard output (progress and lintian's findings go to standard error).
#   scripts/package.sh [--no-build] [build-dir [output-dir]]
# A new build folder (default build-package) is set up with scripts/setup.sh as a Release
# build without tests and benchmarks; an existing one is brought up to date, or packaged as
# it is with --no-build. The package lands in output-dir (default build-dir/package).
# Exits non-zero when the build or the packaging fails or lintian reports an error.
set -euo pipefail
cd "$(dirname "$0")/.."

build=1
if [ "${1:-}" = "--no-build" ]; then
    build=0
    shift
fi
build_dir=${1:-build-package}
out_dir=${2:-$build_dir/package}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    if [ $build -eq 0 ]; then
        echo "package: $build_dir is not a configured build folder" >&2
        exit 2
    fi
    scripts/setup.sh "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTESSERA_TESTS=OFF \
        -DTESSERA_BENCH=OFF >&2
elif [ $build -eq 1 ]; then
    cmake --build "$build_dir" -j2 >&2
fi
if grep -q '^TESSERA_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt"; then
    echo "package: $build_dir is a sanitizer build; package a plain one" >&2
    exit 2
fi
for tool in dpkg-deb dpkg-shlibdeps lintian; do
    if ! command -v "$tool" >/dev/null; then
        echo "package: $tool is missing (scripts/setup.sh installs it)" >&2
        exit 1
    fi
done

mkdir -p "$out_dir"
out_dir=$(realpath "$out_dir")
rm -f "$out_dir"/tessera_*.deb
log="$out_dir/cpack.log"
if ! cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$out_dir" >"$log" 2>&1; then
    cat "$log" >&2
    echo "package: cpack failed" >&2
    exit 1
fi
debs=("$out_dir"/tessera_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    cat "$log" >&2
    echo "package: cpack made no single package in $out_dir" >&2
    exit 1
fi
deb=${debs[0]}
# The staging tree is only cpack's working copy.
rm -rf "$out_dir/_CPack_Packages"

echo "package: lintian $deb" >&2
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >&2; then
    echo "package: lintian reports errors" >&2
    exit 1
fi
echo "$deb"
