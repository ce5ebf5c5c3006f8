#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Sets up, builds and runs every test: unit tests and the GUI tests (under Xvfb), then
# checks the formatting. Warnings are errors when CI is set.
#   scripts/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
extra=()
if [ -n "${CI:-}" ]; then extra+=(-DTESSERA_WERROR=ON); fi
scripts/setup.sh "$build_dir" "${extra[@]}"
# Every test runs under a private X server; unit tests ignore it, GUI tests need it.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$build_dir" --output-on-failure -j2 --timeout 300
scripts/check-format.sh
