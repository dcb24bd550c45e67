#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix: wine-run.sh PREFIX PROGRAM.exe ARGS...
# No display is needed or used, Wine's own chatter is off, and the first start makes the prefix
# (bounded: a wedged wineboot fails the run instead of hanging it).
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No browser or .NET runtime to offer installing; no window system to reach.
export WINEDLLOVERRIDES="mscoree,mshtml=;winex11.drv,winewayland.drv="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$prefix"
(
  flock 9
  # Marked ready by this script itself: the registry files appear only when the server saves them.
  if [ ! -f "$prefix/.velmorax-ready" ]; then
    timeout 300 wineboot --init >/dev/null 2>&1 || { echo "wine-run.sh: wineboot failed in $prefix" >&2; exit 1; }
    touch "$prefix/.velmorax-ready"
  fi
) 9>"$prefix.lock"
exec wine "$@"
