#!/usr/bin/env bash
# Numbers do not follow the user's locale: under C.UTF-8, ja_JP.UTF-8 and a locale with a decimal
# comma (de_DE.UTF-8) the window comes back where it was and the settings file is the same byte for
# byte, and the moon report (copied from its box with Ctrl+C) reads the same. The clock is held
# near a fixed moment so that the report cannot change between the runs.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
command -v localedef >/dev/null || { echo "SKIP: no localedef to make the locales with"; exit 0; }
command -v xclip >/dev/null || { echo "SKIP: no xclip to read the clipboard with"; exit 0; }

export LOCPATH="$PROG/locale"
mkdir -p "$LOCPATH"
for name in de_DE ja_JP; do
  localedef -i "$name" -f UTF-8 "$LOCPATH/$name.UTF-8" >/dev/null 2>&1
  [ -f "$LOCPATH/$name.UTF-8/LC_NUMERIC" ] || fail "localedef made no $name.UTF-8"
done
[ "$(LC_ALL=de_DE.UTF-8 locale decimal_point)" = "," ] || fail "de_DE.UTF-8 has no decimal comma"

# 18510 and 1845 twips: the window at 1234, 123.
printf '[frmMain]\nTop=1845\nLeft=18510\n' >"$PROG/velmorax.ini"

# run_in LOCALE: starts the program there, checks its place, copies the report, and ends it.
run_in() {
  start_program LANG="$1" LC_ALL="$1"
  expect_eq "$(window_xy)" "1234 123" "the window's place under $1"
  copy_moon_report 60 60
  quit_from_popup 60 60
}

for attempt in 1 2 3; do
  run_in C.UTF-8
  expected=$REPORT
  echo "$expected" | grep -q '^現在の月齢 : [0-9][0-9.]' || fail "no age in the report: $expected"
  [ "$(echo "$expected" | wc -l)" -eq 5 ] || fail "the report is not five lines: $expected"
  cp "$PROG/velmorax.ini" "$PROG/expected.ini"
  expect_eq "$(ini_value frmMain Left)" "18510" "Left"
  others=()
  for name in ja_JP.UTF-8 de_DE.UTF-8 de_DE.UTF-8; do
    run_in "$name"
    others+=("$name|$REPORT")
    cmp -s "$PROG/expected.ini" "$PROG/velmorax.ini" ||
      fail "the settings under $name differ: $(diff "$PROG/expected.ini" "$PROG/velmorax.ini" | tr '\n' ' ')"
  done
  run_in C.UTF-8
  [ "$REPORT" = "$expected" ] && break
  [ "$attempt" -eq 3 ] && fail "the report kept changing with the time"
  echo "note: the report changed with the time; again"
done
for entry in "${others[@]}"; do
  expect_eq "${entry#*|}" "$expected" "the report under ${entry%%|*}"
done
echo "ok"
