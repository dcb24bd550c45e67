#!/usr/bin/env bash
# Draws the help page's pictures of the clock with the clock window's own code (velmorax-render):
# both faces, the dial marks, and the moon through one lunation. Run by `make assets`.
#
#   scripts/help-pictures.sh BUILD_FOLDER OUT_FOLDER
set -euo pipefail
build=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One table for every machine, so the pictures do not depend on where they are drawn.
"$build/moondata" --from 2026 --to 2027 --tz Asia/Tokyo --out "$work/moondata.dat"
marks=$work/marks
mkdir "$marks"
cp "$work/moondata.dat" "$marks/"
printf '[frmMain]\r\nUseLineMojiban=True\r\n' >"$marks/velmorax.ini"

render() {
  local name=$1
  shift
  QT_QPA_PLATFORM=offscreen "$build/velmorax-render" "$@" --out "$work/$name.png"
  mkdir -p "$out"
  cmp -s "$work/$name.png" "$out/$name.png" 2>/dev/null || cp "$work/$name.png" "$out/$name.png"
  echo "  help/$name.png"
}

# A waxing moon a day before the first quarter, at twenty to eleven at night on 16 December.
render year --dir "$work" --at 2026-12-16T22:40 --size 240 --face year
render clock --dir "$work" --at 2026-12-16T10:08:30 --size 240 --face clock
render marks --dir "$marks" --at 2026-12-16T10:08:30 --size 240 --face clock
# The lunation from the new moon of 9 December 2026 (Tokyo) to the next.
day=0
for date in 2026-12-09T10:08:30 2026-12-13T10:08:30 2026-12-17T10:08:30 2026-12-20T10:08:30 2026-12-24T10:08:30 \
  2026-12-28T10:08:30 2027-01-01T10:08:30 2027-01-05T10:08:30; do
  render "lunation$day" --dir "$work" --at "$date" --size 120 --face clock
  day=$((day + 1))
done
