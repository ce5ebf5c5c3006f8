#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the libFuzzer targets with clang and the sanitizers, then fuzzes one of them, or
# replays every seed corpus once (what CI does, so that a target that stops compiling or a
# seed that crashes is noticed).
#   scripts/fuzz.sh TARGET [SECONDS]      e.g. scripts/fuzz.sh fuzz_ini 180
#   scripts/fuzz.sh --replay
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] | scripts/fuzz.sh --replay}
seconds=${2:-60}
dir=build-fuzz
# Configured every time: fuzz targets are found by folder when cmake runs.
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSERA_FUZZ=ON -DTESSERA_SANITIZE=ON -DTESSERA_TESTS=OFF -DTESSERA_BENCH=OFF >/dev/null
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
export ASAN_OPTIONS=fast_unwind_on_malloc=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if [ "$target" = "--replay" ]; then
    targets=()
    for d in fuzz/*/; do
        [ -f "$d/CMakeLists.txt" ] && targets+=("fuzz_$(basename "$d")")
    done
    cmake --build "$dir" -j2 --target "${targets[@]}"
    for t in "${targets[@]}"; do
        corpus=fuzz/corpus/${t#fuzz_}
        if [ ! -d "$corpus" ]; then
            echo "fuzz: $t has no seed corpus in $corpus" >&2
            exit 1
        fi
        mapfile -t seeds < <(find "$corpus" -type f | sort)
        # Given files, libFuzzer runs each one once and stops.
        "$dir/bin/$t" "${seeds[@]}" >/dev/null 2>"$dir/$t.replay.log" || {
            cat "$dir/$t.replay.log" >&2
            echo "fuzz: $t failed on its seed corpus" >&2
            exit 1
        }
        echo "fuzz: $t replayed ${#seeds[@]} seeds"
    done
    exit 0
fi

cmake --build "$dir" -j2 --target "$target"
corpus=fuzz/corpus/${target#fuzz_}
work=$(mktemp -d)
cp -r "$corpus"/. "$work"/ 2>/dev/null || true
"$dir/bin/$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus"
