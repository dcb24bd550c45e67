#!/usr/bin/env bash
# On a screen of two device pixels to each of the window's (QT_SCALE_FACTOR=2) the standard clock
# is 240 device pixels across and round, and its dial is drawn for the screen's pixels: its ring
# of numerals is far sharper than the 120-pixel dial brought up to 240.
#   hidpi.sh PROGRAM SHARPNESS_TOOL DIAL120_PICTURE DIAL120_AT_2X_PICTURE
. "$(dirname "$0")/lib.sh"
sharpness=$2
dial120=$3
dial120at2=$4
make_program_folder "$1"
shot="$PROG/shot.png"

# New Year's midnight on the year face: every hand points straight up, out of the way of the
# numerals measured below, which leave out 20 degrees either side of 12 o'clock.
# shellcheck disable=SC2046
start_program QT_SCALE_FACTOR=2 $(clock_at "2027-01-01 00:00:02")
case "$(window_geometry)" in
  240x240+*) ;;
  *) fail "window geometry $(window_geometry), expected 240x240 device pixels" ;;
esac
sleep 1
read -r wx wy < <(window_xy)
import -window root -crop "240x240+$wx+$wy" +repage "$shot"

# Round: the corners are the desktop's, the disc's top and left edges the dial's rim.
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
corner_grey="srgb(198,198,198)"
for xy in "1 1" "238 1" "1 238" "238 238"; do
  # shellcheck disable=SC2086
  [ "$(pixel $xy)" != "$corner_grey" ] || fail "the corner at $xy shows the dial's corner grey: the window is square"
done
[ "$(pixel 120 120)" != "$(pixel 1 1)" ] || fail "the disc's centre shows the desktop"

ratio2=$("$sharpness" "$shot" --skip-top 20) || fail "cannot measure the window's sharpness"
scaled1=$("$sharpness" "$dial120" --scale 240 --skip-top 20) || fail "cannot measure the 120-pixel dial"
echo "numeral ring sharpness: window at ratio 2 $ratio2, 120-pixel dial brought up to 240 $scaled1"
awk -v a="$ratio2" -v b="$scaled1" 'BEGIN { exit !(a > 2 * b) }' ||
  fail "the dial at ratio 2 ($ratio2) is not clearly sharper than the 120-pixel dial brought up ($scaled1)"
# Not the 120-pixel dial doubled either (that has sharp steps of its own): the ring is the dial
# drawn for two device pixels to each, pixel for pixel.
difference=$("$sharpness" "$shot" --skip-top 20 --difference "$dial120at2") || fail "cannot compare with the dial for ratio 2"
echo "numeral ring's mean difference from the dial drawn for ratio 2: $difference"
awk -v d="$difference" 'BEGIN { exit !(d < 1) }' || fail "the ring differs from the dial drawn for ratio 2 by $difference"
echo "ok"
