#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# End-to-end run of the chart viewer under X: open a chart file, right-click the chart,
# choose "Copy XML" with the keyboard and compare the clipboard with the chart text; then
# "Copy Img" and read the picture back as PNG; Escape closes the viewer. A file that does not
# load fails with a message and status 1.
#   quill_chart_e2e.sh QUILL_CHART_EXECUTABLE
set -u
exe=$1
. "$(dirname "$0")/../e2e_common.sh"
e2e_begin quill-chart

# The chart as Copy XML writes it: every attribute in the file is one the writer keeps, so
# reading and copying gives the file back byte for byte.
cr=$(printf '\r')
cat > "$work/e2e.xch" <<END
<XCHART name='aXChart' type='XCHART' $cr
     title="E2E" $cr
     >$cr
     <CHARTLINE name='L1' lineType=line$cr
          axisFontColor="red" $cr
          color="red" $cr
          >$cr
          1 2;$cr
          3 4;$cr
          5 3;$cr
     </CHARTLINE>$cr
</XCHART>
END
# The here-document ends with a line break that the writer does not write.
printf '%s' "$(cat "$work/e2e.xch")" > "$work/expected.xch"
cp "$work/expected.xch" "$work/e2e.xch"

# A file that does not load.
if "$exe" "$work/missing.xch" 2> "$work/err.txt"; then
    fail "a missing file was accepted"
fi
grep -q "quill-chart: cannot read" "$work/err.txt" || fail "no message for a missing file"

# Painted once, the viewer closes when asked to (the timing aid of the benchmarks).
timeout 20 "$exe" --quit-after-paint "$work/e2e.xch" || fail "--quit-after-paint did not end"

"$exe" "$work/e2e.xch" &
pid=$!
win=$(xdotool search --sync --onlyvisible --name "^quill-chart - e2e.xch\$" | head -n 1)
[ -n "$win" ] || fail "no window"
eval "$(xdotool getwindowgeometry --shell "$win")"
cx=$((X + WIDTH / 2))
cy=$((Y + HEIGHT / 2))

# The number of windows shown on the display; a popup menu adds one.
shown() {
    xdotool search --onlyvisible --name '' 2>/dev/null | wc -l
}
# Waits until the number of shown windows is $1 (the menu opened or closed), 10 s at most.
wait_shown() {
    i=0
    while [ "$(shown)" -ne "$1" ]; do
        i=$((i + 1))
        [ "$i" -lt 100 ] || fail "expected $1 windows shown, found $(shown)"
        sleep 0.1
    done
}
# Right-click, then Down twice ("Copy Img", "Copy XML") and Return.
choose() {
    downs=$1
    before=$(shown)
    xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
    wait_shown $((before + 1))
    i=0
    while [ "$i" -lt "$downs" ]; do
        xdotool key Down
        i=$((i + 1))
    done
    xdotool key Return
    wait_shown "$before"
}
# Reads the clipboard as $1 into $2 once it no longer holds the placeholder (the viewer
# answers from its event loop).
read_clipboard() {
    i=0
    while [ "$i" -lt 30 ]; do
        if xclip -selection clipboard -t "$1" -o > "$2" 2>/dev/null &&
            [ "$(head -c 11 "$2")" != "placeholder" ]; then
            return 0
        fi
        i=$((i + 1))
        sleep 0.1
    done
    return 1
}
echo placeholder | xclip -selection clipboard -i
choose 2
read_clipboard UTF8_STRING "$work/clipboard.xch" || fail "no text on the clipboard"
cmp "$work/expected.xch" "$work/clipboard.xch" || fail "the clipboard differs from the chart"

echo placeholder | xclip -selection clipboard -i
choose 1
read_clipboard image/png "$work/copy.png" || fail "no picture on the clipboard"
size=$(identify -format '%wx%h' "$work/copy.png") || fail "the picture is no PNG"
[ "$size" = "${WIDTH}x${HEIGHT}" ] || fail "picture of $size for a ${WIDTH}x${HEIGHT} window"

xdotool mousemove "$cx" "$cy" key Escape
i=0
while kill -0 "$pid" 2>/dev/null; do
    i=$((i + 1))
    [ "$i" -lt 50 ] || fail "Escape did not close the viewer"
    sleep 0.1
done
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "quill-chart e2e: ok"
