#!/usr/bin/env bash
# Remakes moon_albedo.jpg, the generator's lunar map, from the 4096 x 2048 map in Debian's
# stellarium-data package (USGS Astrogeology and Clementine data, public domain). Only needed
# to refresh the committed copy; the generator reads the copy.
set -euo pipefail
src=/usr/share/stellarium/textures/moon_4k.jpg
if [ ! -r "$src" ]; then
  echo "reduce-moon-map: $src is missing; install it with: apt-get install stellarium-data" >&2
  exit 1
fi
convert "$src" -filter Box -resize 2048x1024 -strip -quality 92 "$(dirname "$0")/moon_albedo.jpg"
