#!/usr/bin/env bash
# Two copies of the program started at once from one folder, both writing its settings file while
# they start, on a face switch and as they end: afterwards the file holds every key of both, once.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"

# The keys the start-up, the first drawing and the end write, each exactly once in the file.
keys_once() {
  local section key count
  for pair in TaskTray/Setting frmMain/UseLineMojiban frmMain/Mitikake frmMain/Top frmMain/Left \
    frmMain/NowSize frmMain/AlwaysOnTop frmMain/NT Setting/YearOrClock Color/Year Color/Clock Mine/Kept; do
    section=${pair%/*}
    key=${pair#*/}
    count=$(awk -v s="$section" -v k="$key" '
      /^\[/ { insec = ($0 == "[" s "]" || $0 == "[" s "]\r"); next }
      insec && index($0, k "=") == 1 { n++ }
      END { print n + 0 }' "$PROG/velmorax.ini")
    [ "$count" = 1 ] || fail "round $1: $section/$key is in the settings file $count times"
  done
}

for round in 1 2 3 4 5; do
  rm -f "$PROG/velmorax.ini"
  printf '[Mine]\nKept=1\n' >"$PROG/velmorax.ini"
  launch_program
  first=$PID
  LOG_SUFFIX=-second launch_program
  second=$PID
  PID=$first
  wait_for_clock
  first=$PID
  first_win=$WIN
  PID=$second
  wait_for_clock
  second=$PID
  second_win=$WIN
  # One copy switches to the clock face (a write of its own) while the other is drawing.
  eval "$(xdotool getwindowgeometry --shell "$first_win")"
  xdotool mousemove $((X + 60)) $((Y + 60)) click --repeat 2 --delay 80 1
  sleep 0.5
  kill -TERM "$first" "$second"
  for _ in $(seq 50); do
    kill -0 "$first" 2>/dev/null || kill -0 "$second" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$first" 2>/dev/null && fail "round $round: the first copy did not end"
  kill -0 "$second" 2>/dev/null && fail "round $round: the second copy did not end"
  PID=""
  log_clean || exit 1
  keys_once "$round"
  expect_eq "$(ini_value Setting YearOrClock)" "Clock" "round $round: the face switched by one copy"
  [ -n "$(find "$PROG" -maxdepth 1 -name '.velmorax.ini*')" ] && fail "round $round: a stray file is left"
done
echo "ok"
