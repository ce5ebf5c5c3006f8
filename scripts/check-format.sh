#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when a tracked C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
[ -z "$files" ] && exit 0
if ! clang-format --dry-run --Werror $files; then
    echo "check-format: run clang-format -i on the files above" >&2
    exit 1
fi
echo "check-format: all files formatted"
