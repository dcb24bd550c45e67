#!/usr/bin/env bash
# The notification-area icon. Without a notification area, closing the window still ends the
# program and the setting is kept. With a real one (trayer): ticking the option adds the moon icon,
# closing the window leaves the program running, a single click on the icon does not bring the
# window back, a double-click does, in its place, and the icon's 終了 ends the program.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"

# wait_for TEXT CMD...: waits up to five seconds for CMD to succeed.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}
running() { kill -0 "$PID" 2>/dev/null; }
ended() { ! running; }
popup_open() { [ -n "$(popup_windows)" ]; }
clock_shown() { [ -n "$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null)" ]; }
clock_gone() { ! clock_shown; }
# The icon's window, embedded in the host's panel.
tray_icon() { xwininfo -tree -id "$PANEL" 2>/dev/null | awk '/"velmorax": \("velmorax"/ {print $1; exit}'; }
has_tray_icon() { [ -n "$(tray_icon)" ]; }

# popup_at X Y: a right click there, waiting for the popup menu; the menu takes the keyboard a
# moment after it shows.
popup_at() {
  xdotool mousemove "$1" "$2" click 3
  wait_for "no popup menu opened" popup_open
  sleep 0.2
}
clock_popup() {
  read -r wx wy < <(window_xy)
  popup_at $((wx + 60)) $((wy + 60))
}
# 設定 is third from the bottom of the clock's popup; タスクトレイに入れる is its second item.
tick_tray_option() {
  clock_popup
  xdotool key Up Up Up Right Down Return
}
# ウィンドウを消す is the popup's second shown item.
close_window() {
  clock_popup
  xdotool key Down Down Return
}

# No notification area on this display yet.
start_program
tick_tray_option
close_window
wait_for "without a notification area the closed window left the program running" ended
PID=""
expect_eq "$(ini_value TaskTray Setting)" "1" "TaskTray/Setting kept without a notification area"

# A notification area, and the option off again.
sed -i 's/^Setting=1/Setting=0/' "$PROG/velmorax.ini"
start_trayer

start_program
sleep 0.3
has_tray_icon && fail "an icon appeared with the option off"
tick_tray_option
wait_for "ticking the option added no icon" has_tray_icon

# Moved, then closed: the program stays with its icon.
read -r x0 y0 < <(window_xy)
xdotool mousemove $((x0 + 60)) $((y0 + 60)) mousedown 1 mousemove $((x0 + 50)) $((y0 + 60)) \
  mousemove $((x0 - 140)) $((y0 + 90)) mouseup 1
wait_for "the window did not move" test "$(window_xy)" = "$((x0 - 200)) $((y0 + 30))"
close_window
wait_for "the window stayed" clock_gone
sleep 0.3
running || fail "closing the window ended the program though the icon is on"
has_tray_icon || fail "the icon went with the window"

# VX_TRAY_SHOT=FILE keeps a picture of the screen with the icon alone, for a person to look at.
if [ -n "${VX_TRAY_SHOT:-}" ]; then
  import -window root "$VX_TRAY_SHOT"
fi

# A double-click on the icon brings the window back where it was.
eval "$(xwininfo -id "$(tray_icon)" | awk '/Absolute upper-left X/{print "ix=" $NF} /Absolute upper-left Y/{print "iy=" $NF}
  /^  Width/{print "iw=" $NF} /^  Height/{print "ih=" $NF}')"
# A single click on an embedded icon only gives a shown window the focus: the window stays
# closed. The pause outlasts the double-click interval, so the pair below starts afresh.
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
sleep 1
clock_gone || fail "a single click on the embedded icon brought the window back"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay 80 1
wait_for "a double-click on the icon did not bring the window back" clock_shown
WIN=$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' | head -n 1)
expect_eq "$(window_xy)" "$((x0 - 200)) $((y0 + 30))" "window place after the double-click"

# The icon's menu: 終了 is its last item.
popup_at $((ix + iw / 2)) $((iy + ih / 2))
xdotool key Up Return
wait_for "終了 from the icon's menu did not end the program" ended
PID=""
expect_eq "$(ini_value TaskTray Setting)" "1" "TaskTray/Setting"
expect_eq "$(ini_value frmMain Left)" "$(((x0 - 200) * 15))" "Left"
expect_eq "$(ini_value frmMain Top)" "$(((y0 + 30) * 15))" "Top"
echo "ok"
