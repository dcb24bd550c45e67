#!/usr/bin/env bash
# Starts the clock from its program folder. Without a display, draws the present face into a
# picture beside the program instead, says where it is, and fails.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  picture="$(cd "$build" && pwd)/velmorax-face.png"
  if errors=$("$build/velmorax-render" --dir "$build" --out "$picture" 2>&1 >/dev/null); then
    echo "velmorax: no display to show the clock on (neither DISPLAY nor WAYLAND_DISPLAY is set); the present face is in $picture" >&2
  else
    echo "velmorax: no display to show the clock on (neither DISPLAY nor WAYLAND_DISPLAY is set), and drawing the face failed: ${errors//$'\n'/ }" >&2
  fi
  exit 1
fi
cd "$build" && exec ./velmorax
