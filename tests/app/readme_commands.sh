#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs every command the README shows for the built programs, as a reader would copy it, in
# an empty folder: each must succeed and print or write something.
#   readme_commands.sh README BIN_DIR
set -uo pipefail
readme=$(realpath "${1:?README}")
bin=$(realpath "${2:?bin dir}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mapfile -t commands < <(grep -E '^    build/bin/' "$readme" | sed -E 's/^    //; s/[[:space:]]+#[[:space:]].*$//')
if [ ${#commands[@]} -lt 5 ]; then
    echo "readme: found only ${#commands[@]} commands in $readme" >&2
    exit 1
fi
failed=0
for cmd in "${commands[@]}"; do
    run=${cmd/#build\/bin\//$bin/}
    if ! out=$(eval "$run" 2>&1); then
        echo "readme: failed: $cmd" >&2
        echo "$out" | head -5 >&2
        failed=1
        continue
    fi
    if [ -z "$out" ] && [ -z "$(ls -A)" ]; then
        echo "readme: no output and no file: $cmd" >&2
        failed=1
    fi
done
echo "readme: ran ${#commands[@]} commands"
exit $failed
