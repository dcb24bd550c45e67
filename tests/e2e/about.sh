#!/usr/bin/env bash
# The about box through the popup: it opens centred, a second opening keeps the one box where it
# is, the popup's 終了 leaves the program running while the box is open, and OK then ends it.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
start_program

# The program's shown windows titled バージョン情報, compared exactly (xdotool's own name match
# is unreliable for non-ASCII titles outside a UTF-8 locale).
about_boxes() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$PID" --name . 2>/dev/null); do
    [ "$(xdotool getwindowname "$id")" = "バージョン情報" ] && echo "$id"
  done
}

# ヘルプ is the popup's next-to-last item; バージョン情報 the second of its submenu.
open_about() {
  right_click_window 60 60
  xdotool key Up Up Right Down Return
  BOX=""
  for _ in $(seq 50); do
    BOX=$(about_boxes | head -n 1)
    [ -n "$BOX" ] && break
    sleep 0.1
  done
  [ -n "$BOX" ] || fail "no about box appeared"
}
box_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$BOX")"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}
box_count() {
  about_boxes | wc -l
}

open_about
# 2535 by 3360 twips at 15 twips a pixel, centred on the 1280 by 800 screen.
expect_eq "$(box_geometry)" "169x224+556+288" "a fresh box's size and place"

xdotool windowmove "$BOX" 100 120
sleep 0.3
first=$BOX
open_about
expect_eq "$BOX" "$first" "the second opening's box"
expect_eq "$(box_count)" "1" "boxes shown"
expect_eq "$(box_geometry)" "169x224+100+120" "the reopened box's place"

# 終了 unloads the clock and its forms; the open box keeps the program alive.
right_click_window 60 60
xdotool key Up Return
sleep 1
kill -0 "$PID" 2>/dev/null || fail "the program ended with the about box open"
expect_eq "$(box_count)" "1" "boxes shown after 終了"
expect_eq "$(ini_value TaskTray Setting)" "0" "TaskTray/Setting written by the menu's unload"

# A left click on OK closes the box, the last form: the program ends.
xdotool mousemove $((100 + 84)) $((120 + 204)) click 1
for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$PID" 2>/dev/null && fail "the program still runs after the box closed"
PID=""
echo "ok"
