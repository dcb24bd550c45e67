#!/usr/bin/env bash
# Message boxes can be copied. Ctrl+C on the moon report puts its five lines on the clipboard as
# they stand; so does Ctrl+C after a click on its text; text selected with the mouse (a double-click
# on a word) becomes the X selection, and Ctrl+C then copies that part. The out-of-range message and the dial-size
# message copy the same way.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
command -v xclip >/dev/null || { echo "SKIP: no xclip to read the clipboard with"; exit 0; }
[ -f "$PROG/moondata.dat" ] || fail "the build has no moon table"

clipboard() { xclip -o -selection clipboard 2>/dev/null; }
# box_origin BOX: "X Y" of the box's top-left corner.
box_origin() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y"
}
open_report() {
  right_click_window 60 60
  xdotool key Up Up Up Up Return
  BOX=$(wait_for_message_box) || exit 1
  sleep 0.3
}

start_program
open_report
echo before | xclip -selection clipboard
xdotool windowfocus --sync "$BOX" key ctrl+c
sleep 0.3
REPORT=$(clipboard)
[ "$(printf '%s\n' "$REPORT" | wc -l)" -eq 5 ] || fail "the copied report is not five lines: $REPORT"
printf '%s' "$REPORT" | grep -q $'\r' && fail "the copied report has carriage returns"
patterns=('^現在の月齢 : [0-9.]+ *$'
  '^最後の新月は    [0-9]{4}年[0-9]{2}月[0-9]{2}日 [0-9]{2}時 でした。$'
  '^次の新月は       [0-9]{4}年[0-9]{2}月[0-9]{2}日 [0-9]{2}時 です。$'
  '^その間の満月は  [0-9]{4}年[0-9]{2}月[0-9]{2}日 [0-9]{2}時 です。$'
  '^現在の輝面比（明るい部分の割合）は [0-9]*\.[0-9]?%です。$')
for i in 1 2 3 4 5; do
  line=$(printf '%s\n' "$REPORT" | sed -n "${i}p")
  printf '%s\n' "$line" | grep -Eq "${patterns[$((i - 1))]}" || fail "line $i of the copied report: '$line'"
done

# A click on the text gives it the keyboard; Ctrl+C still copies the whole report.
read -r bx by < <(box_origin "$BOX")
echo before | xclip -selection clipboard
xdotool mousemove $((bx + 30)) $((by + 24)) click 1
sleep 0.2
xdotool key ctrl+c
sleep 0.3
expect_eq "$(clipboard)" "$REPORT" "Ctrl+C after a click on the text"

# A double-click on the date of the second line selects it: the X selection holds it, and Ctrl+C
# now copies just that part.
xdotool mousemove $((bx + 150)) $((by + 30)) click --repeat 2 --delay 60 1
sleep 0.3
SELECTED=$(xclip -o -selection primary 2>/dev/null)
[ -n "$SELECTED" ] || fail "a double-click on the text selected nothing"
case "$REPORT" in *"$SELECTED"*) ;; *) fail "the selection '$SELECTED' is not part of the report" ;; esac
[ "$SELECTED" != "$REPORT" ] || fail "a double-click on a word selected the whole report"
xdotool key ctrl+c
sleep 0.3
expect_eq "$(clipboard)" "$SELECTED" "Ctrl+C with part of the text selected"
close_message_box
quit_from_popup 60 60

# No moon table: the out-of-range message.
rm "$PROG/moondata.dat"
start_program
open_report
xdotool windowfocus --sync "$BOX" key ctrl+c
sleep 0.3
expect_eq "$(clipboard)" "データの範囲外であるか、データファイル moondata.datが無いために分かりません。" "the out-of-range message"
close_message_box
quit_from_popup 60 60

# A dial picture of the wrong size: its message comes as the window is drawn.
convert -size 100x100 xc:red "BMP3:$PROG/useimage1.bmp"
launch_program
BOX=$(wait_for_message_box) || exit 1
xdotool windowfocus --sync "$BOX" key ctrl+c
sleep 0.3
expect_eq "$(clipboard)" "useimage1 の大きさは 120 ドット（ピクセル）四方にしてください。" "the dial-size message"
close_message_box
wait_for_clock
quit_from_popup 60 60
echo "ok"
