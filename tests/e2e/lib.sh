# Shared by the end-to-end tests: a program folder of its own, the real program started in it,
# and small checks. Each test runs under tests/e2e/xvfb-run.sh.

set -u
# VX_FAIL_SHOT=FILE keeps a picture of the screen at a failure.
fail() {
  echo "FAIL: $*" >&2
  [ -n "${VX_FAIL_SHOT:-}" ] && import -window root "$VX_FAIL_SHOT"
  if [ -s "${PROG:-}/out.log" ]; then
    echo "The program's last output:" >&2
    tail -n 40 "$PROG/out.log" | sed 's/^/  /' >&2
  fi
  exit 1
}

# log_clean: false, with the report shown, when the program's output holds a report of a
# sanitizer (a build with sanitizers) or a crash.
log_clean() {
  local log
  for log in "${PROG:-/nonexistent}"/out*.log; do
    [ -f "$log" ] || continue
    if grep -qE 'ERROR: [A-Za-z]+Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer' "$log"; then
      echo "FAIL: the program reported an error:" >&2
      sed 's/^/  /' "$log" >&2
      return 1
    fi
  done
}

# Runs when a test ends, however it ends: stops the program and what the test started beside it
# (the commands in AT_FINISH), checks the program's last output, removes the folder. The test's
# exit status is taken first, before any command here replaces it.
AT_FINISH=""
finish() {
  local rc=$?
  eval "$AT_FINISH"
  stop_program
  log_clean || rc=1
  rm -rf "$PROG"
  exit "$rc"
}

# start_trayer: a notification area on this display, trayer's panel; its window goes to $PANEL, and
# trayer is stopped when the test ends. trayer now and then fails to open a display that is up
# ("cannot open display") and ends; it is started again, three times in all, before the test gives
# up with trayer's own output. A loaded machine can take a while to bring the panel up.
start_trayer() {
  local try
  AT_FINISH="${AT_FINISH:+$AT_FINISH; }kill \"\$TRAYER\" 2>/dev/null"
  for try in 1 2 3; do
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$PROG/trayer.log" 2>&1 &
    TRAYER=$!
    for _ in $(seq 300); do
      PANEL=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
      [ -n "$PANEL" ] && return 0
      kill -0 "$TRAYER" 2>/dev/null || break
      sleep 0.1
    done
    kill "$TRAYER" 2>/dev/null
    wait "$TRAYER" 2>/dev/null
    echo "trayer, try $try, showed no panel:" >&2
    sed 's/^/  /' "$PROG/trayer.log" >&2
  done
  fail "trayer showed no panel"
}

# make_program_folder BINARY: a fresh folder holding a copy of the program (and the moon table
# when the build has one); its path goes to $PROG.
make_program_folder() {
  PROG=$(mktemp -d)
  cp "$1" "$PROG/velmorax"
  local table
  table="$(dirname "$1")/moondata.dat"
  [ -f "$table" ] && cp "$table" "$PROG/moondata.dat"
  export XDG_CONFIG_HOME="$PROG/.config"
  trap finish EXIT
}

# clock_at "YYYY-MM-DD HH:MM:SS": prints the environment (LD_PRELOAD=… VX_CLOCK_SHIFT_FILE=…) that
# shows the program that local moment now, its clock running on from there. libfaketime hangs at
# start-up in the sanitizer build; this preload moves the wall clock with raw system calls only.
clock_at() {
  local lib="$PROG/clockshift.so" target
  if [ ! -f "$lib" ]; then
    cc -shared -fPIC -O2 -o "$lib" "$(dirname "${BASH_SOURCE[0]}")/../monkey/clockshift.c" ||
      fail "cannot build the clock-shifting preload"
  fi
  target=$(date -d "$1" +%s) || fail "not a moment: $1"
  echo $((target - $(date +%s))) >"$PROG/clock-shift"
  printf 'LD_PRELOAD=%s VX_CLOCK_SHIFT_FILE=%s' "$lib" "$PROG/clock-shift"
}

# start_program [ENV...]: starts the program in its folder and waits for its window.
start_program() {
  launch_program "$@"
  wait_for_clock
}

# launch_program [ENV...]: starts the program in its folder; $PID is its process. Its output goes
# to out.log, or to out$LOG_SUFFIX.log for a second copy.
declare -A LAUNCH_LOG LAUNCH_ENV LAUNCH_TRIES
launch_program() {
  log_clean || exit 1
  start_copy "$PROG/out${LOG_SUFFIX:-}.log" 0 "$@"
}

# start_copy LOG TRIES [ENV...]: one copy of the program, remembered by its process id.
start_copy() {
  local log=$1 tries=$2
  shift 2
  (cd "$PROG" && exec env "$@" ./velmorax >"$log" 2>&1) &
  PID=$!
  LAUNCH_LOG[$PID]=$log
  LAUNCH_ENV[$PID]=$([ $# -eq 0 ] || printf '%q ' "$@")
  LAUNCH_TRIES[$PID]=$tries
}

# relaunch_if_refused: this machine's X server now and then hangs up on a client that connects at
# the same moment as another; a copy that ended for that reason alone is started again.
relaunch_if_refused() {
  local log=${LAUNCH_LOG[$PID]:-} tries=${LAUNCH_TRIES[$PID]:-3}
  [ -n "$log" ] && [ "$tries" -lt 3 ] || return 1
  grep -q 'could not connect to display' "$log" 2>/dev/null || return 1
  eval "start_copy \"\$log\" $((tries + 1)) ${LAUNCH_ENV[$PID]}"
}

# wait_for_clock [SECONDS]: waits (10 s unless told) for the clock window; its id goes to $WIN. The
# search needs both the program and the window's name (--all): the tray icon is a shown window too.
wait_for_clock() {
  WIN=""
  for _ in $(seq $((${1:-10} * 10))); do
    WIN=$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null | head -n 1)
    [ -n "$WIN" ] && break
    if ! kill -0 "$PID" 2>/dev/null; then
      relaunch_if_refused || fail "the program ended before its window appeared"
    fi
    sleep 0.1
  done
  [ -n "$WIN" ] || fail "no clock window appeared"
}

# message_boxes: the program's shown message boxes, captioned with its title.
message_boxes() {
  xdotool search --all --onlyvisible --pid "$PID" --name '^Velmorax$' 2>/dev/null
}

# wait_for_message_box: waits up to five seconds for a message box and prints its window.
wait_for_message_box() {
  local box=""
  for _ in $(seq 50); do
    box=$(message_boxes | head -n 1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || fail "no message box appeared"
  echo "$box"
}

# close_message_box: waits up to five seconds for a message box and closes it with its OK button.
close_message_box() {
  local box
  box=$(wait_for_message_box) || exit 1
  xdotool windowfocus --sync "$box" key Return
  for _ in $(seq 50); do
    message_boxes | grep -qx "$box" || return 0
    sleep 0.1
  done
  fail "the message box did not close"
}

# keeps_running WHAT: after a moment the program still runs, its clock shown, with no message box.
keeps_running() {
  sleep "${2:-1}"
  kill -0 "$PID" 2>/dev/null || fail "$1: the program ended"
  xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' >/dev/null 2>&1 || fail "$1: the clock window is gone"
  [ -z "$(message_boxes)" ] || fail "$1: a message box is shown"
}

stop_program() {
  if [ -n "${PID:-}" ] && kill -0 "$PID" 2>/dev/null; then
    kill -TERM "$PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$PID" 2>/dev/null
  fi
  PID=""
}

# window_geometry: "WIDTHxHEIGHT+X+Y" of the clock window.
window_geometry() {
  xwininfo -id "$WIN" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^  Width/{w=$NF} /^  Height/{h=$NF} END{print w "x" h "+" x "+" y}'
}

# ini_value SECTION KEY: the value in the program's INI file (first match, case-insensitive; LF or
# CR LF line ends).
ini_value() {
  awk -v s="$1" -v k="$2" 'BEGIN{IGNORECASE=1} { sub(/\r$/, "") }
    /^\[/{ insec = (tolower($0) == "[" tolower(s) "]") ; next }
    insec { split($0, kv, "="); if (tolower(kv[1]) == tolower(k)) { sub(/^[^=]*=/, ""); print; exit } }' \
    "$PROG/velmorax.ini" | tr -d '\r'
}

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

# window_xy: "X Y" of the clock window's top-left corner.
window_xy() {
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  echo "$X $Y"
}

# right_click_window DX DY: a right click at that offset inside the clock window.
right_click_window() {
  read -r wx wy < <(window_xy)
  xdotool mousemove $((wx + $1)) $((wy + $2)) click 3
  sleep 0.6
}

# copy_moon_report DX DY: chooses 月の情報を表示 from the popup opened at that offset, copies the
# report from its box with Ctrl+C into REPORT, and closes the box.
copy_moon_report() {
  right_click_window "$1" "$2"
  xdotool key Up Up Up Up Return
  local box
  box=$(wait_for_message_box) || exit 1
  xdotool windowfocus --sync "$box" key ctrl+c
  sleep 0.3
  REPORT=$(xclip -o -selection clipboard)
  close_message_box
}

# quit_from_popup DX DY: chooses 終了, the popup's last item, and waits for the program to end.
quit_from_popup() {
  right_click_window "$1" "$2"
  xdotool key Up Return
  for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$PID" 2>/dev/null && fail "the program still runs after 終了"
  PID=""
}

# popup_windows: "ID WIDTH HEIGHT X Y" of every shown popup menu window of the program.
popup_windows() {
  xwininfo -root -tree | awk '/^     0x/ && /"velmorax": \("velmorax"/ {
      split($0, a, ")  "); split(a[2], g, /[x+ ]+/); print $1, g[1], g[2], g[3], g[4] }' |
    while read -r id w h x y; do
      xwininfo -id "$id" | grep -q 'IsViewable' && echo "$id $w $h $x $y"
    done
}

# wait_for_window_side SIDE: waits until the program's shown clock window has that side.
wait_for_window_side() {
  for _ in $(seq 50); do
    WIN=$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null | head -n 1)
    if [ -n "$WIN" ] && window_geometry | grep -q "^$1x$1+"; then return 0; fi
    sleep 0.1
  done
  fail "no ${1}-pixel window (last: $(window_geometry 2>/dev/null))"
}
