#!/usr/bin/env bash
# Runs a command with DISPLAY set to a fresh Xvfb server of its own, then stops the server.
#
# The display number is picked at random from a high range rather than the lowest free one: a
# server that is just stopping (another test's) removes its lock before its socket, and a new
# server that took over that number in between would lose its socket to the old one. The server
# is not reset when its last client goes: the probe below is the first, and a client connecting
# while a loaded server resets can be turned away.
set -u
work=$(mktemp -d)
xvfb=""
for _ in $(seq 20); do
  n=$((100 + RANDOM % 800))
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && break 2
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
  done
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  xvfb=""
done
if [ -z "$xvfb" ]; then
  echo "xvfb-run: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  rm -rf "$work"
  exit 1
fi
export DISPLAY=":$n"
unset WAYLAND_DISPLAY
"$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$work"
exit $rc
