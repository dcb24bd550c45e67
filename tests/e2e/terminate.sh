#!/usr/bin/env bash
# Stopped by SIGTERM, SIGINT or SIGHUP, the program unloads the normal way: its place is saved.
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
echo "ok"
