#!/usr/bin/env bash
# Stopped by SIGTERM, SIGINT or SIGHUP, the program unloads the normal way: its place is saved.
# Also while a message box waits, the one shown during start-up included.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
for sig in TERM INT HUP; do
  start_program
  read -r x0 y0 < <(window_xy)
  xdotool mousemove $((x0 + 60)) $((y0 + 60)) mousedown 1 mousemove $((x0 + 50)) $((y0 + 60)) \
    mousemove $((x0 + 30)) $((y0 + 70)) mouseup 1
  sleep 0.3
  read -r x1 y1 < <(window_xy)
  kill -"$sig" "$PID"
  for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$PID" 2>/dev/null && fail "SIG$sig did not end the program"
  PID=""
  expect_eq "$(ini_value frmMain Left)" "$((x1 * 15))" "Left after SIG$sig"
  expect_eq "$(ini_value frmMain Top)" "$((y1 * 15))" "Top after SIG$sig"
done

# A dial picture of the wrong size: start-up shows its note in a message box and waits there.
convert -size 100x80 xc:gray BMP3:"$PROG/useimage1.bmp"
for sig in TERM HUP; do
  launch_program
  wait_for_message_box >/dev/null || exit 1
  kill -"$sig" "$PID"
  for _ in $(seq 100); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$PID" 2>/dev/null && fail "SIG$sig while the start-up message box waited did not end the program"
  wait "$PID"
  expect_eq "$?" "0" "exit status after SIG$sig during start-up"
  PID=""
  expect_eq "$(ini_value frmMain NowSize)" "0" "settings after SIG$sig during start-up"
done
rm -f "$PROG/useimage1.bmp"
echo "ok"
