#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb server of its own, then stops the server.
set -u
work=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "xvfb-run: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$work"
exit $rc
