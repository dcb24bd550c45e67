#!/usr/bin/env bash
# Starts the clock from its program folder.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "velmorax: no display to show the clock on (neither DISPLAY nor WAYLAND_DISPLAY is set)" >&2
  exit 1
fi
cd "$build" && exec ./velmorax
