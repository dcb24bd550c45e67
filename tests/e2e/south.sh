#!/usr/bin/env bash
# The southern sky. With the zone Australia/Sydney a first start writes "South" and shows the first
# quarter lit on the left; 南半球から見る turns it back to the northern view, lit on the right, and
# again; the notification-area icon follows each time, turned half a turn.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"

[ -f /usr/share/zoneinfo/Australia/Sydney ] || { echo "SKIP: no time-zone database"; exit 0; }

# The new moons in Sydney's clock; one fell at 11:00 on 9 December 2026, so 8 pm on the 16th is
# the first quarter (a quarter of a lunation later, give or take an hour).
"$(dirname "$1")/moondata" --from 2026 --to 2027 --tz Australia/Sydney --out "$PROG/moondata.dat" ||
  fail "moondata could not write Sydney's table"
grep -qx '2026/12/09 11' "$PROG/moondata.dat" || fail "Sydney's table lacks the new moon of 9 December"
# The clock is moved by the preload of clock_at: libfaketime now and then hangs the sanitizer
# build at its start.
# shellcheck disable=SC2207
SYDNEY=(TZ=Australia/Sydney $(TZ=Australia/Sydney clock_at "2026-12-16 20:00:00"))

# wait_for TEXT CMD...: waits up to five seconds (WAIT_TENTHS tenths) for CMD to succeed.
wait_for() {
  local what=$1
  shift
  for _ in $(seq "${WAIT_TENTHS:-50}"); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}

# brightness X Y: the mean grey (0..255) of the 5 x 5 pixels around that point of the clock window.
brightness() {
  import -window "$WIN" "$PROG/win.png" 2>/dev/null
  convert "$PROG/win.png" -crop "5x5+$(($1 - 2))+$(($2 - 2))" +repage -colorspace Gray -scale 1x1 \
    -format '%[fx:int(255*p{0,0})]' info:
}
# lit_side: "left" or "right", whichever half of the moon (radius 30 on the 120-pixel dial) is the
# brighter by far, sampled below the middle row where no hand passes at this moment.
lit_side() {
  local left right
  left=$(brightness 42 68)
  right=$(brightness 78 68)
  if [ "$left" -gt $((right + 40)) ]; then echo left
  elif [ "$right" -gt $((left + 40)) ]; then echo right
  else echo "neither ($left, $right)"
  fi
}
popup_open() { [ -n "$(popup_windows)" ]; }
clock_popup() {
  read -r wx wy < <(window_xy)
  xdotool mousemove $((wx + 60)) $((wy + 60)) click 3
  wait_for "no popup menu opened" popup_open
  sleep 0.2
}
# 設定 is third from the bottom of the popup; from its first item, Up goes round to its last items:
# ログイン時に起動, then 南半球から見る.
choose_south() {
  clock_popup
  xdotool key Up Up Up Right Up Up Return
  sleep 0.5
}

start_trayer
tray_icon() { xwininfo -tree -id "$PANEL" 2>/dev/null | awk '/"velmorax": \("velmorax"/ {print $1; exit}'; }
has_tray_icon() { [ -n "$(tray_icon)" ]; }

# The first start: no settings file yet, the icon on.
printf '[TaskTray]\nSetting=1\n' >"$PROG/velmorax.ini"
start_program "${SYDNEY[@]}"
expect_eq "$(ini_value frmMain Hemisphere)" "South" "Hemisphere written on the first start in Sydney"
sleep 0.5
expect_eq "$(lit_side)" "left" "the first quarter seen from Sydney"
[ -n "${VX_SHOT_DIR:-}" ] && import -window "$WIN" "$VX_SHOT_DIR/south-window.png"
WAIT_TENTHS=300 wait_for "no tray icon" has_tray_icon
icon_shot() { sleep 0.5; import -window "$(tray_icon)" "$PROG/$1.png" 2>/dev/null; }
icon_shot icon-south

choose_south
expect_eq "$(ini_value frmMain Hemisphere)" "North" "Hemisphere after 南半球から見る"
expect_eq "$(lit_side)" "right" "the first quarter seen from the north"
[ -n "${VX_SHOT_DIR:-}" ] && import -window "$WIN" "$VX_SHOT_DIR/north-window.png"
icon_shot icon-north
# The icon follows: the southern picture is the northern one turned half a turn.
cmp -s "$PROG/icon-south.png" "$PROG/icon-north.png" && fail "the tray icon did not change with the view"
convert "$PROG/icon-north.png" -rotate 180 "$PROG/icon-turned.png"
differ=$(compare -metric AE "$PROG/icon-turned.png" "$PROG/icon-south.png" null: 2>&1)
[ "${differ%% *}" = "0" ] || fail "the southern tray icon is not the northern one turned ($differ pixels differ)"

choose_south
expect_eq "$(ini_value frmMain Hemisphere)" "South" "Hemisphere after choosing the item again"
expect_eq "$(lit_side)" "left" "the first quarter seen from the south again"
icon_shot icon-again
differ=$(compare -metric AE "$PROG/icon-again.png" "$PROG/icon-south.png" null: 2>&1)
[ "${differ%% *}" = "0" ] || fail "the tray icon did not turn back ($differ pixels differ)"

# The setting stays the user's: a start in a northern zone keeps "South".
quit_from_popup 60 60
# shellcheck disable=SC2046
start_program TZ=Asia/Tokyo $(TZ=Asia/Tokyo clock_at "2026-12-16 20:00:00")
expect_eq "$(ini_value frmMain Hemisphere)" "South" "Hemisphere after a start in Tokyo"
echo "ok"
