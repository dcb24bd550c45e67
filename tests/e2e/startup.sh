#!/usr/bin/env bash
# The real program on a fresh folder: a round window appears at the standard size, topmost,
# and the settings file holds every start-up key.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
start_program
geometry=$(window_geometry)
case "$geometry" in
  120x120+*) ;;
  *) fail "window geometry $geometry, expected 120x120" ;;
esac
expect_eq "$(ini_value TaskTray Setting)" "0" "TaskTray/Setting"
expect_eq "$(ini_value frmMain NowSize)" "0" "NowSize"
expect_eq "$(ini_value frmMain AlwaysOnTop)" "True" "AlwaysOnTop"
expect_eq "$(ini_value Setting YearOrClock)" "Year" "YearOrClock"
expect_eq "$(ini_value Color Year)" "41152" "Color/Year"

# The double size from a saved setting.
stop_program
sed -i 's/^NowSize=.*/NowSize=1/' "$PROG/velmorax.ini"
start_program
case "$(window_geometry)" in
  240x240+*) ;;
  *) fail "window geometry $(window_geometry), expected 240x240" ;;
esac
echo "ok"
