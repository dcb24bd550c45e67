#!/usr/bin/env bash
# A person's way through the popup: right-click, the double size chosen by keyboard, the ticks of
# the next popup, a drag, and the end command; the settings file afterwards.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
start_program

# Popup, then サイズ > ２倍 by keyboard: select the first item, open its submenu, down twice.
right_click_window 60 60
[ -n "$(popup_windows)" ] || fail "the right button opened no popup"
xdotool key Down Right Down Down Return
wait_for_window_side 240

# The next popup's size submenu ticks ２倍 only: the tick is the only dark mark in the first
# column of a row. The submenu is the smaller of the two popup windows.
right_click_window 120 120
xdotool key Down Right
sleep 0.5
read -r _ sw sh sx sy < <(popup_windows | sort -k3 -n | head -n 1)
[ -n "${sh:-}" ] || fail "the size submenu did not open"
shot=$(mktemp --suffix=.png)
import -window root "$shot"
row=$((sh / 3))
ticks=""
for r in 0 1 2; do
  dark=$(convert "$shot" -crop 26x${row}+${sx}+$((sy + r * row)) -colorspace gray -threshold 30% -negate \
    -format "%[fx:mean>0.01?1:0]" info:)
  ticks="$ticks$dark"
done
rm -f "$shot"
expect_eq "$ticks" "001" "size ticks (半分 標準 ２倍)"
xdotool key Escape Escape
sleep 0.3

# A left drag moves the window by the mouse's travel.
read -r x0 y0 < <(window_xy)
xdotool mousemove $((x0 + 120)) $((y0 + 120)) mousedown 1 mousemove $((x0 + 100)) $((y0 + 120)) \
  mousemove $((x0 + 40)) $((y0 + 150)) mouseup 1
sleep 0.3
read -r x1 y1 < <(window_xy)
expect_eq "$x1,$y1" "$((x0 - 80)),$((y0 + 30))" "window place after the drag"

# 終了 is the popup's last item.
quit_from_popup 120 120
expect_eq "$(ini_value frmMain NowSize)" "1" "NowSize"
expect_eq "$(ini_value frmMain Left)" "$((x1 * 15))" "Left"
expect_eq "$(ini_value frmMain Top)" "$((y1 * 15))" "Top"
expect_eq "$(ini_value frmMain AlwaysOnTop)" "True" "AlwaysOnTop"
expect_eq "$(ini_value frmMain NT)" "False" "NT"
expect_eq "$(ini_value TaskTray Setting)" "0" "TaskTray/Setting"
echo "ok"
