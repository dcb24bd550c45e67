#!/usr/bin/env bash
# ログイン時に起動 writes an XDG autostart entry that starts this program by its absolute path and
# passes desktop-file-validate; choosing it again removes the entry. No setting is kept for it.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
ENTRY="$XDG_CONFIG_HOME/autostart/velmorax.desktop"

# 設定 is third from the bottom of the popup; from its first item, Up goes round to its last,
# ログイン時に起動.
choose_autostart() {
  right_click_window 60 60
  xdotool key Up Up Up Right Up Return
  sleep 0.5
}

start_program
[ -e "$ENTRY" ] && fail "an entry exists before the item was chosen"
choose_autostart
[ -f "$ENTRY" ] || fail "choosing ログイン時に起動 wrote no entry at $ENTRY"
expect_eq "$(sed -n 's/^Exec=//p' "$ENTRY")" "$(readlink -f "$PROG/velmorax")" "the entry's Exec"
grep -qx 'Type=Application' "$ENTRY" || fail "the entry is no application: $(cat "$ENTRY")"
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$ENTRY" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate warns: $out"
else
  echo "no desktop-file-validate: the entry is left unvalidated"
fi
# The program the entry names can be run.
[ -x "$(sed -n 's/^Exec=//p' "$ENTRY")" ] || fail "the entry's program cannot be run"

choose_autostart
[ -e "$ENTRY" ] && fail "choosing ログイン時に起動 again left the entry"
quit_from_popup 60 60
grep -qi 'autostart\|login' "$PROG/velmorax.ini" && fail "the settings file keeps the autostart state: $(cat "$PROG/velmorax.ini")"
echo "ok"
