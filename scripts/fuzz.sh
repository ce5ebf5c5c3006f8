#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers, then runs one of them.
#   scripts/fuzz.sh TARGET [SECONDS]      e.g. scripts/fuzz.sh fuzz_ini 180
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
dir=build-fuzz
# Configured every time: fuzz targets are found by folder when cmake runs.
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSERA_FUZZ=ON -DTESSERA_SANITIZE=ON -DTESSERA_TESTS=OFF -DTESSERA_BENCH=OFF >/dev/null
cmake --build "$dir" -j2 --target "$target"
corpus=fuzz/corpus/${target#fuzz_}
work=$(mktemp -d)
cp -r "$corpus"/. "$work"/ 2>/dev/null || true
# Fontconfig and cairo keep caches for the life of the process; they are not our leaks.
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
    "$dir/bin/$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus"
