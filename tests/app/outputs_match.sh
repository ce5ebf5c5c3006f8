#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs the program over a fixed set of designs and outputs and compares every byte it writes
# (standard output, standard error, exit status and each file) with the reference tree made
# by an earlier build. The reference is data, never rewritten by this script's check mode.
#   outputs_match.sh TESSERA CASES REFERENCE-DIR WORK-DIR [--record]
set -euo pipefail
exe=$1
cases=$2
reference=$3
work=$4
record=${5:-}

rm -rf "$work"
mkdir -p "$work"
# Configurations for the cases that read Tessera.ini.
cat > "$work/Tessera.ini" <<'INI'
Recent=C_2

[C_1]
Name=Lab 23 cm
Parms=ele=5	&rip=1	&fzmc=1296&bwmc=40&R=50	&H=20	&D=8	&E=25	&NFR=200&STP=0.8	

[C_2]
Name=70 cm
Parms=ele=7	&rip=0.1	&fzmc=432&bwmc=20&R=50	&H=30	&D=10	&E=30	&NFR=200&STP=0.4	
INI

while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    name=${line%%:*}
    args=${line#*:}
    dir=$work/cases/$name
    mkdir -p "$dir"
    cp "$work/Tessera.ini" "$dir/"
    # The arguments are words separated by blanks; none of them holds a blank.
    read -r -a argv <<< "$args"
    status=0
    (cd "$dir" && DISPLAY= "$exe" "${argv[@]}" > stdout 2> stderr) || status=$?
    echo "$status" > "$dir/status"
    rm -f "$dir/Tessera.ini"
done < "$cases"

# Every SVG written is well-formed XML by an independent checker, and every chart file reads
# back with the library's own parser (its markup dialect leaves some values unquoted).
bin=$(dirname "$exe")
while IFS= read -r -d '' file; do
    case $file in
        *.svg) xmllint --noout "$file" || { echo "not well-formed: $file" >&2; exit 1; } ;;
        *.xch) "$bin/quill-xml" "$file" >/dev/null || { echo "unreadable: $file" >&2; exit 1; } ;;
    esac
done < <(find "$work/cases" -type f \( -name '*.svg' -o -name '*.xch' \) -print0)

if [ "$record" = --record ]; then
    rm -rf "$reference"
    cp -r "$work/cases" "$reference"
    echo "recorded $(find "$reference" -type f | wc -l) files"
    exit 0
fi
if diff -r "$reference" "$work/cases" > "$work/diff.txt"; then
    echo "every output matches: $(find "$reference" -type f | wc -l) files"
else
    head -c 4000 "$work/diff.txt"
    echo "outputs differ from the reference (full diff: $work/diff.txt)" >&2
    exit 1
fi
