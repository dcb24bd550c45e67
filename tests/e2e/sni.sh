#!/usr/bin/env bash
# A notification area that draws the icons itself and talks to programs over D-Bus
# (StatusNotifierItem), as Plasma's does: a stand-in watcher on a private session bus takes the
# icon's registration, and its calls stand for the user's clicks. With the window closed, a
# click on the icon (an Activate call) brings the window back in its place; the icon's menu
# still ends the program.
# Usage: sni.sh PROGRAM WATCHER
if [ -z "${VX_PRIVATE_BUS:-}" ]; then
  exec dbus-run-session -- env VX_PRIVATE_BUS=1 "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
WATCHER_BIN=$2

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
clock_shown() { [ -n "$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null)" ]; }
clock_gone() { ! clock_shown; }
popup_open() { [ -n "$(popup_windows)" ]; }
watcher_says() { grep -q "$1" "$PROG/watcher.log"; }
# item CALL ARGS...: a call on the registered icon, as the area makes it.
item() {
  local method=$1
  shift
  dbus-send --session --print-reply --dest="$ITEM_BUS" "$ITEM_PATH" "$method" "$@"
}

"$WATCHER_BIN" >"$PROG/watcher.log" 2>&1 &
WATCHER=$!
AT_FINISH='kill "$WATCHER" 2>/dev/null'
wait_for "the watcher did not start" watcher_says '^ready$'

printf '[TaskTray]\nSetting=1\n' >"$PROG/velmorax.ini"
start_program
wait_for "the icon did not register with the watcher" watcher_says '^item '
read -r _ ITEM_BUS ITEM_PATH < <(grep -m1 '^item ' "$PROG/watcher.log")
status=$(item org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:Status) ||
  fail "the icon does not answer on the bus"
grep -q '"Active"' <<<"$status" || fail "the icon's status: $status"

# Closed from the clock's popup (ウィンドウを消す, its second shown item): the icon keeps the
# program alive.
read -r x0 y0 < <(window_xy)
xdotool mousemove $((x0 + 60)) $((y0 + 60)) click 3
wait_for "no popup menu opened" popup_open
sleep 0.2
xdotool key Down Down Return
wait_for "the window stayed" clock_gone
sleep 0.3
running || fail "closing the window ended the program though the icon is on"

# The area's click on the icon brings the window back where it was.
item org.kde.StatusNotifierItem.Activate int32:10 int32:10 >/dev/null || fail "Activate failed"
wait_for "an activation of the icon did not bring the window back" clock_shown
wait_for_clock
expect_eq "$(window_xy)" "$x0 $y0" "window place after the activation"
# Again on the shown window: still one clock.
item org.kde.StatusNotifierItem.Activate int32:10 int32:10 >/dev/null || fail "Activate failed"
sleep 0.5
expect_eq "$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' | wc -l)" "1" "clock windows"

# The area's request for the menu opens the icon's menu; 終了 is its last item.
xdotool mousemove 600 400
item org.kde.StatusNotifierItem.ContextMenu int32:600 int32:400 >/dev/null || fail "ContextMenu failed"
wait_for "the icon's menu did not open" popup_open
sleep 0.2
xdotool key Up Return
wait_for "終了 from the icon's menu did not end the program" eval '! running'
PID=""
expect_eq "$(ini_value TaskTray Setting)" "1" "TaskTray/Setting"
echo "ok"
