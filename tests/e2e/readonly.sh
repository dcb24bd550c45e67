#!/usr/bin/env bash
# A program folder the user may not write to: the clock starts and runs on its defaults with no
# message and no settings file; one that is there is read and left as it is, unless it is itself
# writable, when the settings go into it in place. The program runs as the unprivileged user
# "nobody", since permission bits do not stop root.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
id nobody >/dev/null 2>&1 || { echo "SKIP: there is no user nobody to run the program as"; exit 0; }
nogroup=$(id -gn nobody)

# The folder and everything in it belong to root; nobody may read them, not write them.
chmod 755 "$PROG"
chmod -R a+rX "$PROG"
# The leak checker's suppressions must be readable by nobody too.
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
  cp "${BASH_REMATCH[1]}" "$PROG/lsan.supp"
  chmod 644 "$PROG/lsan.supp"
  export LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$PROG/lsan.supp}
fi
setpriv --reuid=nobody --regid="$nogroup" --clear-groups test -w "$PROG" &&
  fail "nobody may write to the program folder: the test would prove nothing"

# The X server here now and then hangs up on a client that connects at the same moment as
# another; a copy that ended for that reason alone is started again, as lib.sh does for the others.
start_as_nobody() {
  local _try
  for _try in 1 2 3; do
    log_clean || exit 1
    (cd "$PROG" && exec setpriv --reuid=nobody --regid="$nogroup" --clear-groups \
      env HOME="$PROG" XDG_CONFIG_HOME="$PROG/.config" ./velmorax >"$PROG/out.log" 2>&1) &
    PID=$!
    for _ in $(seq 100); do
      kill -0 "$PID" 2>/dev/null || break
      xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' >/dev/null 2>&1 && break 2
      sleep 0.1
    done
    kill -0 "$PID" 2>/dev/null && break
    grep -q 'could not connect to display' "$PROG/out.log" || break
  done
  wait_for_clock
}

# No settings file: the defaults, a window of the standard size, no file made and no message.
start_as_nobody
case "$(window_geometry)" in
  120x120+*) ;;
  *) fail "window $(window_geometry), expected the standard 120 x 120" ;;
esac
keeps_running "read-only folder" 2
[ "$(stat -c %U "/proc/$PID")" = nobody ] || fail "the program does not run as nobody"
# Switching the face writes a setting; here the write fails and the clock goes on.
read -r wx wy < <(window_xy)
xdotool mousemove $((wx + 60)) $((wy + 60)) click --repeat 2 --delay 80 1
keeps_running "a setting changed in a read-only folder"
stop_program
[ -e "$PROG/velmorax.ini" ] && fail "a settings file appeared in the read-only folder"
[ -n "$(find "$PROG" -maxdepth 1 -name '.velmorax.ini*')" ] && fail "a stray file appeared in the read-only folder"

# A settings file that is there is read, and left byte for byte as it was.
printf '[frmMain]\r\nNowSize=1\r\nAlwaysOnTop=False\r\n[Setting]\r\nYearOrClock=Clock\r\n' >"$PROG/velmorax.ini"
chmod 644 "$PROG/velmorax.ini"
cp "$PROG/velmorax.ini" "$PROG/before"
start_as_nobody
case "$(window_geometry)" in
  240x240+*) ;;
  *) fail "window $(window_geometry), expected 240 x 240 from the settings file" ;;
esac
keeps_running "read-only folder with settings" 2
stop_program
cmp -s "$PROG/before" "$PROG/velmorax.ini" || fail "the read-only settings file was changed"

# The same file made writable for everyone (a shared install opened up by its administrator):
# a setting changed through the popup, and the place and states saved at 終了, go into it.
chmod 666 "$PROG/velmorax.ini"
start_as_nobody
read -r wx wy < <(window_xy)
right_click_window 60 60
xdotool key Up Up Up Right Down Down Return # 設定 > 文字盤を線で描く
sleep 0.5
quit_from_popup 60 60
expect_eq "$(ini_value frmMain UseLineMojiban)" "True" "UseLineMojiban in the writable file"
expect_eq "$(ini_value frmMain Left)" "$((wx * 15))" "Left in the writable file"
expect_eq "$(ini_value frmMain NowSize)" "1" "NowSize kept"
expect_eq "$(stat -c '%U %a' "$PROG/velmorax.ini")" "root 666" "the file's owner and mode"
[ -n "$(find "$PROG" -maxdepth 1 -name '.velmorax.ini*')" ] && fail "a stray file appeared in the read-only folder"
echo "ok"
