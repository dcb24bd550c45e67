#!/usr/bin/env bash
# apt-update.sh against a stand-in apt-get that fails a given number of times: it tries again,
# stops at the first success, gives up after its tries without failing the build, and runs
# apt-get with apt's own retries, through the prefix it is given.
set -euo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/apt-update.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#!/bin/sh\necho "$*" >>"%s/calls"\n[ "$(wc -l <"%s/calls")" -gt "$FAILS" ]\n' "$work" "$work" >"$work/apt-get"
printf '#!/bin/sh\necho prefix >>"%s/prefixed"\nexec "$@"\n' "$work" >"$work/sudo"
chmod +x "$work/apt-get" "$work/sudo"

failed=0
# apt-get fails this often, tries allowed, prefix, apt-get calls and stderr wanted
while read -r fails tries prefix calls says; do
  rm -f "$work/calls"; : >"$work/prefixed"
  [ "$prefix" != - ] || prefix=""
  err=$(PATH="$work:$PATH" FAILS=$fails VX_APT_TRIES=$tries VX_APT_PAUSE=0 "$script" $prefix 2>&1) ||
    { echo "FAIL $fails/$tries: exit status $?"; failed=1; }
  got=$(grep -c "^update -q -o Acquire::Retries=3$" "$work/calls" || true)
  [ "$got" = "$calls" ] || { echo "FAIL $fails/$tries: $got calls, want $calls"; failed=1; }
  [ "$(grep -c "still failing" <<<"$err" || true)" = "$says" ] || { echo "FAIL $fails/$tries: stderr: $err"; failed=1; }
  [ -z "$prefix" ] || [ "$(wc -l <"$work/prefixed")" = "$calls" ] || { echo "FAIL $fails/$tries: prefix skipped"; failed=1; }
done <<'CASES'
0 5 - 1 0
2 5 - 3 0
4 5 sudo 5 0
9 3 - 3 1
CASES
exit "$failed"
