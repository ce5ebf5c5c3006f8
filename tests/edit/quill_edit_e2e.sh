#!/bin/bash
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end run of quill-edit under the current X display, driven by xdotool: type, select
# with Shift+arrows, copy (read back with xclip), paste text that xclip put there, save, and
# compare the file. Also checks the refusals of files that cannot be edited.
# usage: quill_edit_e2e.sh QUILL_EDIT WORKDIR [SHOT.png]
set -u
tool=$1
work=$2
shot=${3:-}
rm -rf "$work"
mkdir -p "$work"
fail() {
    echo "FAIL: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    [ -n "${clip:-}" ] && kill "$clip" 2>/dev/null
    exit 1
}

# Files that cannot be edited: a clear message and exit status 1.
"$tool" "$work/missing.txt" 2>"$work/err" && fail "a missing file was opened"
grep -q "Can not open '$work/missing.txt'" "$work/err" || fail "message: $(cat "$work/err")"
printf 'ab\0cd' >"$work/bin.dat"
"$tool" "$work/bin.dat" 2>"$work/err"
[ $? -eq 1 ] || fail "a binary file was opened"
grep -q "not a text file" "$work/err" || fail "message: $(cat "$work/err")"

printf 'first line\r\nsecond\r\n' >"$work/f.txt"
"$tool" "$work/f.txt" &
pid=$!
wid=""
for _ in $(seq 50); do
    wid=$(xdotool search --name 'f.txt - quill-edit' 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window"
sleep 0.3
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
# Click at the start of the first line, type, select two characters and copy them.
xdotool mousemove --window "$wid" 4 6 click 1
sleep 0.2
xdotool type --delay 20 'Hi '
xdotool key --delay 30 shift+Right shift+Right ctrl+c
sleep 0.3
got=$(xclip -o -selection clipboard)
[ "$got" = "fi" ] || fail "clipboard holds '$got', expected 'fi'"
# Text from another program is pasted at the end of the line.
printf 'PASTED' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
clip=$!
sleep 0.3
xdotool key --delay 30 End ctrl+v
sleep 0.3
kill "$clip" 2>/dev/null
clip=""
xdotool key --delay 30 Down End Return
xdotool type --delay 20 'third'
sleep 0.2
[ -n "$shot" ] && xdotool key --delay 30 Up shift+Home && sleep 0.3 && import -window root "$shot"
xdotool key ctrl+s
sleep 0.5
expected=$(printf 'Hi first linePASTED\r\nsecond\r\nthird\r\n' | od -c)
actual=$(od -c <"$work/f.txt")
[ "$actual" = "$expected" ] || fail "saved file differs:
$actual
expected
$expected"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "quill-edit end-to-end: ok"
