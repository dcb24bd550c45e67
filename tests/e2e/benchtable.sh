#!/usr/bin/env bash
# `make bench`'s process table from a short run: every program's row is there, the clock and the
# minimal program have start-up figures (taken in turns) and their ratio, and the clock ticked.
set -u
build=$1
out=$(VX_RUNS=2 VX_SECONDS=3 VX_ROUNDS=1 "$(dirname "$0")/../../bench/process.sh" "$build" 2>&1) || {
  echo "$out"
  echo "FAIL: process.sh ended with an error"
  exit 1
}
status=0
row() { grep -F "$1" <<<"$out" | head -1 | sed "s/^$1 *//"; }
number() { [[ $1 =~ ^[0-9]+(\.[0-9]+)?$ ]] && awk -v v="$1" 'BEGIN { exit !(v > 0) }'; }
check() { # NAME FIELD-INDEX WHAT PREDICATE-COMMAND
  local value
  value=$(row "$1" | awk -v f="$2" '{ print $f }')
  "$4" "$value" || { echo "FAIL: $1: $3 is \"$value\""; status=1; }
}
is_one() { [ "$1" = "1.00" ]; }
is_dash() { [ "$1" = "-" ]; }
for program in "velmorax, clock face" "minimal Qt, 120 px" "xclock -analog -update 1" "oclock"; do
  check "$program" 1 "first frame" number
  check "$program" 2 "first frame against the minimal program" number
done
check "minimal Qt, 120 px" 2 "its own first-frame ratio" is_one
check "velmorax, year face" 1 "first frame (not measured)" is_dash
check "velmorax, clock face" 9 "wakeups per minute" number
check "velmorax, clock face" 5 "CPU per minute" number
check "xclock -analog -update 1" 8 "its own CPU ratio" is_one
[ "$status" -eq 0 ] || echo "$out"
exit "$status"
