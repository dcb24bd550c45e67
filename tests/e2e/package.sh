#!/usr/bin/env bash
# The Debian package end to end, as root, under an X server of its own (xvfb-run.sh): the package
# built from the tree already built, checked by lintian, installed with dpkg -i; /usr/bin/velmorax
# run by an unprivileged user in a time zone other than the machine's; the size changed from the
# real popup and the window moved, then the program ended and started again: size and place come
# back from the per-user settings file; the moon is the present one from a per-user table for that
# zone, and the moon report names the new moons of that table; the help command hands the help
# page to the desktop's opener; the package removed cleanly.
#
#   xvfb-run.sh package.sh BUILD_FOLDER
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "package.sh: installing a package needs root" >&2; exit 1; }
id nobody >/dev/null 2>&1 || fail "there is no user nobody to run the program as"
nogroup=$(id -gn nobody)

work=$(mktemp -d)
chmod 755 "$work"
home=$work/home
mkdir -p "$home" "$work/bin"
chown nobody:"$nogroup" "$home"
# The program's output goes to $PROG/outN.log, the latest also as out.log (lib.sh shows it at a
# failure); its settings file lies in the user's folder.
PROG=$work
settings=$home/.config/velmorax
user_ini_value() { (PROG=$settings && ini_value "$@"); }
installed=""
cleanup() {
  local rc=$?
  stop_program
  log_clean || rc=1
  [ -n "$installed" ] && dpkg --purge velmorax >/dev/null 2>&1
  rm -rf "$work"
  exit "$rc"
}
trap cleanup EXIT
step() { echo "== $*"; }
# Seconds since a time taken with date +%s%N, to the hundredth.
elapsed() { awk -v a="$1" -v b="$(date +%s%N)" 'BEGIN{printf "%.2f", (b - a) / 1e9}'; }

# --- the package ---------------------------------------------------------------------------
step "building the package"
t0=$(date +%s%N)
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/velmorax_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"
echo "built $(basename "$deb") in $(elapsed "$t0") s"
dpkg-deb -f "$deb" Depends

step "lintian"
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1
lintian_rc=$?
grep -v '^running with root' "$work/lintian.log"
[ "$lintian_rc" -eq 0 ] || fail "lintian reports errors"

step "dpkg -i"
dpkg -s velmorax >/dev/null 2>&1 && fail "velmorax is installed already; this test installs and removes it itself"
installed=yes
dpkg -i "$deb" || { apt-get install -f -y -q >/dev/null && dpkg -s velmorax >/dev/null; } || fail "dpkg -i"
for f in /usr/bin/velmorax /usr/bin/moondata /usr/share/applications/velmorax.desktop \
  /usr/share/icons/hicolor/48x48/apps/velmorax.png /usr/share/velmorax/help/index.html \
  /usr/share/man/man1/velmorax.1.gz /usr/share/doc/velmorax/copyright; do
  [ -f "$f" ] || fail "$f is not installed"
done

# --- the installed program as a user -----------------------------------------------------------
machine_zone=$(readlink /etc/localtime 2>/dev/null | sed 's|.*zoneinfo/||')
[ -n "$machine_zone" ] || machine_zone=$(cat /etc/timezone 2>/dev/null || echo UTC)
zone=Asia/Tokyo
[ "$machine_zone" = "$zone" ] && zone=America/New_York
echo "the machine's zone: $machine_zone; the user's: $zone"

# The desktop's opener, as a stand-in that writes down what it was given.
cat >"$work/bin/xdg-open" <<STANDIN
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
STANDIN
chmod 755 "$work/bin/xdg-open"
touch "$work/opened"
chmod 666 "$work/opened"

# lib.sh's start_copy, for the installed program run by nobody; a copy the X server hung up on is
# started again through it (relaunch_if_refused).
start_copy() {
  local log=$1 tries=$2
  (cd "$home" && exec setpriv --reuid=nobody --regid="$nogroup" --clear-groups \
    env -i HOME="$home" PATH="$work/bin:/usr/bin:/bin" DISPLAY="$DISPLAY" TZ="$zone" LANG=C.UTF-8 \
    /usr/bin/velmorax >"$log" 2>&1) &
  PID=$!
  LAUNCH_LOG[$PID]=$log
  LAUNCH_ENV[$PID]=""
  LAUNCH_TRIES[$PID]=$tries
}
launches=0
launch_installed() {
  log_clean || exit 1
  launches=$((launches + 1))
  start_copy "$work/out$launches.log" 0
  ln -sf "out$launches.log" "$work/out.log"
  wait_for_clock
}

step "first start"
t0=$(date +%s%N)
launch_installed
first=$(elapsed "$t0")
[ "$(stat -c %U "/proc/$PID")" = nobody ] || fail "the program does not run as nobody"
data=$home/.local/share/velmorax
[ -f "$settings/velmorax.ini" ] || fail "no per-user settings file $settings/velmorax.ini"
[ "$(stat -c %U "$settings/velmorax.ini")" = nobody ] || fail "the settings file is not the user's"
expect_eq "$(cat "$data/moondata.zone" 2>/dev/null)" "$zone" "the zone recorded beside the table"
/usr/bin/moondata --tz "$zone" >"$work/expected.dat"
cmp -s "$work/expected.dat" "$data/moondata.dat" || fail "the per-user table is not moondata's for $zone"
/usr/bin/moondata --tz "$machine_zone" | cmp -s - "$data/moondata.dat" &&
  fail "the per-user table is the machine's zone's"
[ ! -e /usr/bin/velmorax.ini ] || fail "a settings file appeared beside the installed program"

# The moon is the present phase from that table: the window's moon is what the clock's own
# drawing gives for this moment and this table, and (unless the moon is nearly full) not the
# full moon that a missing table would give.
step "the moon"
mkdir -p "$work/with" "$work/without"
cp "$data/moondata.dat" "$work/with/"
sleep 0.5
import -window "$WIN" "$work/screen.png"
at=$(TZ=$zone date +%Y-%m-%dT%H:%M:%S)
for folder in with without; do
  TZ=$zone QT_QPA_PLATFORM=offscreen "$build/velmorax-render" --dir "$work/$folder" --at "$at" --size 120 \
    --face year --out "$work/$folder.png" || fail "velmorax-render"
done
# The square inside the moon's disc (centre 60,60, radius 30), the hands in it alike in both.
moon_diff() {
  convert "$1" -crop 42x42+39+39 +repage -alpha off "$work/a.png"
  convert "$2" -background black -alpha remove -crop 42x42+39+39 +repage -alpha off "$work/b.png"
  compare -metric AE -fuzz 12% "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1
}
same=$(moon_diff "$work/screen.png" "$work/with.png")
full=$(moon_diff "$work/screen.png" "$work/without.png")
echo "moon pixels unlike the drawing from the user's table: $same of 1764; unlike the full moon: $full"
[ "${same%.*}" -le 30 ] || fail "the moon is not the one the user's table gives now ($same pixels differ)"
# How far the present moon is from full, from the table: the lunation fraction of now.
now_record=$(TZ=$zone date +'%Y/%m/%d %H')
last=$(awk -v now="$now_record" '$0 <= now' "$data/moondata.dat" | tail -n 1)
next=$(awk -v now="$now_record" '$0 > now' "$data/moondata.dat" | head -n 1)
seconds_of() { TZ=$zone date -d "$(echo "$1" | tr / -):00" +%s; }
frac=$(awk -v a="$(seconds_of "$last")" -v b="$(seconds_of "$next")" -v n="$(date +%s)" 'BEGIN{printf "%.3f", (n - a) / (b - a)}')
echo "the last new moon $last, the next $next: the lunation fraction now $frac"
if awk -v f="$frac" 'BEGIN{exit !(f < 0.4 || f > 0.6)}'; then
  [ "${full%.*}" -gt 100 ] || fail "the moon looks full at a lunation fraction of $frac"
fi

# The moon report names the new moons around now as that zone's clock gives them.
if command -v xclip >/dev/null; then
  copy_moon_report 60 60
  report=$REPORT
  as_report() { echo "$1" | sed -E 's|^([0-9]{4})/([0-9]{2})/([0-9]{2}) ([0-9]{2})$|\1年\2月\3日 \4時|'; }
  echo "$report" | grep -qF "最後の新月は    $(as_report "$last") でした。" || fail "the report's last new moon is not $last: $report"
  echo "$report" | grep -qF "次の新月は       $(as_report "$next") です。" || fail "the report's next new moon is not $next: $report"
  echo "the moon report: $(echo "$report" | grep -F 最後の新月は)"
else
  echo "no xclip: the moon report is left unread"
fi

# --- size and place survive -------------------------------------------------------------------
step "the size from the popup, a drag, 終了"
right_click_window 60 60
[ -n "$(popup_windows)" ] || fail "the right button opened no popup"
xdotool key Down Right Down Down Return
wait_for_window_side 240
read -r x0 y0 < <(window_xy)
xdotool mousemove $((x0 + 120)) $((y0 + 120)) mousedown 1 mousemove $((x0 + 100)) $((y0 + 130)) \
  mousemove $((x0 + 20)) $((y0 + 170)) mouseup 1
sleep 0.3
read -r x1 y1 < <(window_xy)
[ "$x1,$y1" != "$x0,$y0" ] || fail "the drag did not move the window"
quit_from_popup 120 120
expect_eq "$(user_ini_value frmMain NowSize)" "1" "NowSize in the per-user settings"
expect_eq "$(user_ini_value frmMain Left)" "$((x1 * 15))" "Left in the per-user settings"
expect_eq "$(user_ini_value frmMain Top)" "$((y1 * 15))" "Top in the per-user settings"

step "second start"
table_before=$(stat -c %Y "$data/moondata.dat")
t0=$(date +%s%N)
launch_installed
second=$(elapsed "$t0")
wait_for_window_side 240
expect_eq "$(window_xy)" "$x1 $y1" "the window's place after the restart"
expect_eq "$(stat -c %Y "$data/moondata.dat")" "$table_before" "the table for this zone, kept"
echo "start to window: $first s with the table written, $second s with it kept"

# --- help -----------------------------------------------------------------------------------
step "help"
right_click_window 120 120
xdotool key Up Up Right Return
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
expect_eq "$(cat "$work/opened")" "/usr/share/velmorax/help/index.html" "what the opener was given"
keeps_running "after the help command" 0.5
stop_program

# --- removal --------------------------------------------------------------------------------
step "dpkg -r"
dpkg -r velmorax >/dev/null || fail "dpkg -r"
installed=""
dpkg -s velmorax 2>/dev/null | grep -q '^Status: install ok installed' && fail "still installed"
for f in /usr/bin/velmorax /usr/bin/moondata /usr/share/applications/velmorax.desktop \
  /usr/share/velmorax /usr/share/icons/hicolor/48x48/apps/velmorax.png /usr/share/doc/velmorax; do
  [ ! -e "$f" ] || fail "$f is left after the removal"
done
dpkg --purge velmorax >/dev/null 2>&1
dpkg -s velmorax >/dev/null 2>&1 && fail "the package's record is left after the purge"
echo "ok"
