#!/bin/bash
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end runs of the calculator window under the current X display, driven with xdotool
# as a user drives it: type into a field, drag a slider, switch units, create and save
# configurations, close with OK and with Escape. The report is read back through the
# editor's Ctrl+A, Ctrl+C and xclip; the configuration file is read directly.
# usage: tessera_e2e.sh TESSERA WORKDIR [SHOT_DIR]
set -u
tessera=$(realpath "$1")
work=$2
shots=${3:-}
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
pid=""
fail() {
    echo "FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    exit 1
}

# Places in the window's client area (pixels, with the dialog font's metrics).
elements=(95 50)
ripple=(95 73)
centre=(95 96)
bw_thumb=(187 118)
inch=(443 152)
corrected=(505 152)
report=(240 360)
save=(225 19)
new=(270 19)
ok=(1012 20)
chart=(750 400)
x_axis=(760 522) # the chart's X axis labels

# Waits up to 5 s for a window whose name matches $1 and prints its id.
wait_window() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# Waits up to 5 s for the program to end; fails when it does not.
wait_exit() {
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid"; pid=""; return 0; }
        sleep 0.1
    done
    fail "$1"
}
start() {
    "$tessera" &
    pid=$!
    win=$(wait_window '^Tessera V1$') || fail "no main window"
    sleep 0.3
}
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.1; }
# Replaces the text of the field at ($1, $2) by $3.
type_into() {
    click "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 10 "$3"
}
# The report editor's whole text, with LF line ends.
report_text() {
    click "${report[@]}"
    xdotool key ctrl+a ctrl+c
    sleep 0.2
    xclip -o -selection clipboard | tr -d '\r'
}
# Pixels of the status line's blue text anywhere in the window.
blue_pixels() {
    import -window "$win" "$work/win.png" 2>/dev/null
    convert "$work/win.png" -fx 'b>0.8 && r<0.3 && g<0.3 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}
shot() { [ -n "$shots" ] && import -window "$win" "$shots/$1.png"; }
# Runs a check until it passes, for up to 5 s: the program answers input asynchronously, and a
# loaded machine (or a sanitizer build) may take longer than a tick.
eventually() {
    for _ in $(seq 25); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
# The text of the field at ($1, $2), copied from it.
field_text() {
    click "$1" "$2"
    xdotool key ctrl+a ctrl+c
    sleep 0.2
    xclip -o -selection clipboard
}
# The mean row of the yellow (ideal) and of the orange (|S21|) line's pixels in column $1 of
# the chart's plot area, "yellow orange"; -1 for a line without pixels there.
line_rows() {
    import -window "$win" "$work/chart.png" 2>/dev/null
    convert "$work/chart.png" -crop "1x300+$1+204" +repage -depth 8 txt:- |
        sed -n 's/^0,\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4/p' |
        awk '$2 > 200 && $4 < 80 && $3 > 200 { ys += $1; yn++ }
             $2 > 200 && $4 < 80 && $3 > 100 && $3 < 180 { os += $1; on++ }
             END { printf "%d %d\n", yn ? ys / yn : -1, on ? os / on : -1 }'
}
status_shows_error() { [ "$(blue_pixels)" -gt 20 ]; }
status_is_empty() { [ "$(blue_pixels)" -eq 0 ]; }
file_has() { grep -q -- "$1" Tessera.ini 2>/dev/null; }
# Types $1 into the centre field, clicks the button at ($2, $3) and waits for the window
# named $4, shot as $5; prints its id.
change_then() {
    type_into "${centre[@]}" "$1"
    sleep 0.5
    click "$2" "$3"
    local id
    id=$(wait_window "$4") || return 1
    [ -n "$shots" ] && import -window "$id" "$shots/$5.png"
    echo "$id"
}

# --- Without Tessera.ini: the default design, an empty status line. --------------------------
"$tessera" --report | tr -d '\r' >"$work/default.txt"
start
shot main
[ "$(report_text)" = "$(cat "$work/default.txt")" ] || fail "the start report is not the default"
[ "$(blue_pixels)" -eq 0 ] || fail "the status line is not empty at start"

# 13 elements is invalid: the status line says so at once, the report stays.
type_into "${elements[@]}" 13
eventually status_shows_error || fail "no error in the status line for 13 elements"
shot invalid
[ "$(report_text)" = "$(cat "$work/default.txt")" ] || fail "an invalid input changed the report"
type_into "${elements[@]}" 5
eventually status_is_empty || fail "the error stayed after a valid input"

# A typed value stays as typed when Tab takes the focus to its slider, below the slider's
# range, between its steps and above it.
for typed in "centre 144" "centre 1296.5" "elements 12"; do
    set -- $typed
    if [ "$1" = centre ]; then at=("${centre[@]}"); else at=("${elements[@]}"); fi
    type_into "${at[@]}" "$2"
    sleep 0.4
    xdotool key Tab
    sleep 0.6
    got=$(field_text "${at[@]}")
    [ "$got" = "$2" ] || fail "typed $2, then Tab: the field shows '$got'"
done
report_text | grep -q 'Elements = 12' || fail "the report does not show the 12 elements typed"
report_text | grep -q 'Center Frequency = 1296.5 MHz' || fail "the report lost 1296.5 MHz"
type_into "${elements[@]}" 5
type_into "${centre[@]}" 1200
eventually status_is_empty || fail "the defaults typed back are not valid"

# A field without a number is an input error, not a zero: "abc" in the ripple.
type_into "${ripple[@]}" abc
eventually status_shows_error || fail "'abc' as the ripple is no error"
shot ripple_abc
[ "$(report_text)" = "$(cat "$work/default.txt")" ] || fail "'abc' changed the report"
type_into "${ripple[@]}" 1
eventually status_is_empty || fail "the error stayed after a valid ripple"

# Dragging the bandwidth slider changes the report within one tick.
xdotool mousemove --window "$win" "${bw_thumb[@]}" mousedown 1
xdotool mousemove --window "$win" $((bw_thumb[0] + 40)) "${bw_thumb[1]}"
sleep 0.5
xdotool mouseup 1
dragged=$(report_text)
[ "$dragged" != "$(cat "$work/default.txt")" ] || fail "the slider did not change the report"
echo "$dragged" | grep -q "Ripple BW = 70.0 MHz" && fail "the bandwidth did not change"

# Inch switches every length of the report.
click "${inch[@]}"
sleep 0.5
report_text | grep -q 'Quarter Wavelength = [0-9.]*"' || fail "no lengths in inches after Inch"
click "${inch[@]}"

# "Corrected dimensions" adds the rod lengths corrected for the box as built once their
# correction, which runs beside the window, is done; unticked, the report is as before.
click "${corrected[@]}"
has_corrected() { report_text | grep -q 'Corrected for the box as built'; }
for _ in $(seq 75); do has_corrected && break; sleep 0.2; done
has_corrected || fail "no corrected dimensions after ticking Corrected dimensions"
shot corrected
click "${corrected[@]}"
eventually status_is_empty || fail "unticking Corrected dimensions left a status"
has_corrected && fail "unticking Corrected dimensions kept the corrected dimensions"

# Ctrl+F in the report opens the find dialog, and the dialog takes the keys: the word typed
# there and Enter select it in the report.
click "${report[@]}"
xdotool key ctrl+f
find=$(wait_window 'Find') || fail "Ctrl+F opened no find dialog"
# It belongs to the main window: kept above it, one window of the program with it.
xprop -id "$find" WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$win")" ||
    fail "the find dialog is not transient for the main window"
xprop -id "$win" WM_CLASS | grep -q '"tessera"' || fail "the window's class is not tessera"
xdotool key ctrl+a
xdotool type --delay 10 Quarter
xdotool key Return
sleep 0.5
xdotool key ctrl+c
sleep 0.2
[ "$(xclip -o -selection clipboard)" = Quarter ] || fail "the find dialog did not find 'Quarter'"
# The selection is the PRIMARY selection too, for a middle click elsewhere.
[ "$(xclip -o -selection primary)" = Quarter ] || fail "the report's selection is not PRIMARY"

# In the network view a wheel turn on the X axis zooms every line alike: the orange |S21|
# line stays on the yellow ideal curve, a few dB apart in the skirts.
xdotool mousemove --window "$win" "${chart[@]}" click 3
sleep 0.7
xdotool key Up Up Up Up Return # "Network Response", fourth from the menu's end
sleep 0.8
xdotool mousemove --window "$win" "${x_axis[@]}" click 4 click 4
sleep 0.8
shot network_zoomed
read -r yellow orange <<<"$(line_rows 560)"
[ "$yellow" -ge 0 ] && [ "$orange" -ge 0 ] || fail "no network lines in the chart ($yellow $orange)"
[ $((yellow > orange ? yellow - orange : orange - yellow)) -le 12 ] ||
    fail "after a zoom the |S21| line (row $orange) left the ideal curve (row $yellow)"

# Enter in a field is OK; without a configuration it closes at once, and writes nothing.
click "${centre[@]}"
xdotool key Return
wait_exit "Enter did not close the window"
[ -e Tessera.ini ] && fail "closing wrote Tessera.ini"

# --- Configurations. ------------------------------------------------------------------------
# New... proposes "new name"; OK creates C_1 and the file.
start
click "${new[@]}"
prompt=$(wait_window '^New Configuration Name$') || fail "no prompt after New..."
[ -n "$shots" ] && import -window "$prompt" "$shots/prompt.png"
xdotool key Return
eventually file_has '^\[C_1\]' || fail "New... did not create C_1"
grep -q '^    Name  = new name' Tessera.ini || fail "C_1 is not called new name"
grep -q '^    Recent = C_1' Tessera.ini || fail "C_1 is not the recent configuration"

# Save after a change writes the new parameters.
type_into "${centre[@]}" 433
sleep 0.5
click "${save[@]}"
eventually file_has 'fzmc=433&' || fail "Save did not write the new centre frequency"

# OK after a change asks. Cancel (Escape) goes back to the window with nothing changed; No
# closes without saving.
change_then 900 "${ok[@]}" '^Parameters Changed$' question >/dev/null ||
    fail "OK after a change did not ask"
xdotool key Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "Cancel in the question closed the window"
xdotool search --onlyvisible --name '^Parameters Changed$' >/dev/null && fail "the question stayed"
grep -q 'fzmc=433&' Tessera.ini || fail "cancelling the question changed the file"
click "${ok[@]}"
wait_window '^Parameters Changed$' >/dev/null || fail "OK after Cancel did not ask again"
xdotool key alt+n
wait_exit "the window stayed open after No"
grep -q 'fzmc=433&' Tessera.ini || fail "declining the question changed the file"

# The next start loads the configuration chosen last.
start
report_text | grep -q 'Center Frequency = 433.0 MHz' || fail "C_1 was not loaded at start"

# A read-only file is not overwritten, and the user is told so.
chmod 444 Tessera.ini
change_then 500 "${save[@]}" '^Tessera.ini$' save_error >/dev/null ||
    fail "no message when Tessera.ini is read-only"
xdotool key Return
sleep 0.2
grep -q 'fzmc=433&' Tessera.ini || fail "the read-only file changed"

# Escape closes without asking, although the inputs changed.
click "${centre[@]}"
xdotool key Escape
wait_exit "Escape did not close the window"
xdotool search --onlyvisible --name '^Parameters Changed$' >/dev/null && fail "Escape asked"

echo "tessera e2e: ok"
