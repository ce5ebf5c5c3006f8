#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Checks that every source file of the project names its licence in its first line (after a
# "#!" line): "// SPDX-License-Identifier: GPL-2.0-or-later" in C++ sources, the same after
# "#" in shell and CMake files. Prints the files that lack it and exits 1 when there are any.
#   scripts/check-licence.sh [source-dir]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
tag='SPDX-License-Identifier: GPL-2.0-or-later'
missing=0
while IFS= read -r -d '' file; do
    first=$(head -n 1 "$file")
    [[ $first == '#!'* ]] && first=$(sed -n 2p "$file")
    case $file in
        *.cpp | *.h) want="// $tag" ;;
        *) want="# $tag" ;;
    esac
    if [ "$first" != "$want" ]; then
        echo "no licence line: $file"
        missing=1
    fi
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' '*.sh' \
    '*CMakeLists.txt' '*.cmake' '.ci/run' 'dist/postinst' 'dist/postrm')
[ $missing -eq 0 ] && echo "licence: every source file names it"
exit $missing
