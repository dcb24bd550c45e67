# Shared by the end-to-end tests: a program folder of its own, the real program started in it,
# and small checks. Each test runs under tests/e2e/xvfb-run.sh.

set -u
fail() { echo "FAIL: $*" >&2; exit 1; }

# make_program_folder BINARY: a fresh folder holding a copy of the program (and the moon table
# when the build has one); its path goes to $PROG.
make_program_folder() {
  PROG=$(mktemp -d)
  cp "$1" "$PROG/velmorax"
  local table
  table="$(dirname "$1")/moondata.dat"
  [ -f "$table" ] && cp "$table" "$PROG/moondata.dat"
  export XDG_CONFIG_HOME="$PROG/.config"
  trap 'stop_program; rm -rf "$PROG"' EXIT
}

# start_program [ENV...]: starts the program in its folder and waits for its window.
start_program() {
  (cd "$PROG" && exec env "$@" ./velmorax >"$PROG/out.log" 2>&1) &
  PID=$!
  WIN=""
  for _ in $(seq 100); do
    WIN=$(xdotool search --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null | head -n 1)
    [ -n "$WIN" ] && break
    sleep 0.1
  done
  [ -n "$WIN" ] || fail "no clock window appeared"
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

# ini_value SECTION KEY: the value in the program's INI file (first match, case-insensitive).
ini_value() {
  awk -v s="$1" -v k="$2" 'BEGIN{IGNORECASE=1}
    /^\[/{ insec = (tolower($0) == "[" tolower(s) "]") ; next }
    insec { split($0, kv, "="); if (tolower(kv[1]) == tolower(k)) { sub(/^[^=]*=/, ""); print; exit } }' \
    "$PROG/velmorax.ini" | tr -d '\r'
}

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}
