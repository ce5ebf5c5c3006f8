#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end runs of the markup dialog viewer: the layout listing, the resource listing, a
# parse error, and the calculator's text prompt (its markup assembled here from the prompt's
# pieces) filled in and confirmed with xdotool, then cancelled.
#   quill_dlg_e2e.sh QUILL_DLG_EXECUTABLE
set -u
exe=$1
. "$(dirname "$0")/../e2e_common.sh"
e2e_begin quill-dlg

# The layout listing: tag, path, rectangle.
printf "<DLG margin='10x10'><SP width=40 height=20/><HALIGN><SPSEP n=2/><BR/></HALIGN></DLG>" \
    > "$work/small.xml"
"$exe" --layout "$work/small.xml" > "$work/layout.txt" || fail "--layout failed"
cat > "$work/expected.txt" <<END
DLG 0 0 0 60 45
SP 0.0 10 10 40 20
HALIGN 0.1 10 30 10 5
SPSEP 0.1.0 10 30 10 5
BR 0.1.1 20 30 0 0
END
cmp -s "$work/layout.txt" "$work/expected.txt" || fail "layout: $(cat "$work/layout.txt")"

# The resource library, loaded by module name from beside the program, and what it holds.
"$exe" --resources > "$work/res.txt" || fail "--resources failed"
grep -qx "module $(dirname "$(realpath "$exe")")/libQuillRES.so" "$work/res.txt" ||
    fail "resources: $(head -n 1 "$work/res.txt")"
grep -qx "dialog IDD_QUILLRES_TXMLDLGTEMPLATE" "$work/res.txt" || fail "no dialog template listed"
grep -q "^cursor " "$work/res.txt" || fail "no cursor listed"

# Markup that does not parse.
printf "<DLG>\n  <TEXT text=a>\n</DLG>" > "$work/bad.xml"
"$exe" "$work/bad.xml" 2> "$work/err.txt"
[ $? -eq 2 ] || fail "bad markup did not exit 2"
grep -q "error [0-9]*: " "$work/err.txt" || fail "no parser error: $(cat "$work/err.txt")"
grep -q "^[0-9]*:[0-9]*\$" "$work/err.txt" || fail "no line:column: $(cat "$work/err.txt")"

# The text prompt, exactly as the calculator assembles it (tabs are real tabs).
tab=$(printf '\t')
cat > "$work/prompt.xml" <<END
<DLG name=adlg margin='10x10' fontSize=87 xfont='MS Shell Dlg' title='%Caption%' xbgColor=skyblue color=black vAlign=bottom xalign=center ><TEXT name=nix text='%Header%' /><SPSEP /><HALIGN align=left><INPUT name='edit'     type='EDIT'  sizeChars='%FieldSize%'  text='%Text%' cmd='editField'/></HALIGN><SPSEP n=2/><HALIGN align=right><INPUT name='OK'      type='BUTTON'${tab}text=OK${tab}    sizeChars='4x1'${tab}cmd='@EndDlgOK'/><INPUT name='Cancel'  type='BUTTON'${tab}text=Cancel${tab}${tab}cmd='@EndDlgCancel'/></HALIGN></DLG>
END
run_prompt() {
    "$exe" --var "Caption=New Configuration" --var "Header=Name of the new configuration:" \
        --var "FieldSize=20 1" --var "Text=Filter A" --var "edit.text=Filter A" \
        "$work/prompt.xml" > "$work/out.txt" &
    pid=$!
    win=$(xdotool search --sync --onlyvisible --name "^New Configuration\$" | head -n 1)
    [ -n "$win" ] || fail "no prompt window"
    # Without a window manager the keyboard follows the pointer into the window.
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 5)) sleep 0.3
}

run_prompt
xdotool key ctrl+a BackSpace
xdotool type --delay 20 "Filter & \"B\""
xdotool key Return
wait "$pid"
status=$?
pid=
[ $status -eq 0 ] || fail "OK exited $status"
grep -qx 'edit.text=Filter & "B"' "$work/out.txt" || fail "typed text lost: $(cat "$work/out.txt")"
grep -qx 'Caption=New Configuration' "$work/out.txt" || fail "variables not printed"

run_prompt
xdotool key Escape
wait "$pid"
status=$?
pid=
[ $status -eq 1 ] || fail "Cancel exited $status"
[ -s "$work/out.txt" ] && fail "Cancel printed values"
exit 0
