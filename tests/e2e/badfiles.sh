#!/usr/bin/env bash
# Bad files beside the real program, one at a time: a settings file of random bytes, with NUL
# bytes, of 10 MB, with very long lines; a moon table of random bytes, out of order, of 100 MB; user
# pictures that are empty, cut short, not pictures at all, or that declare 20000 x 20000 pixels or
# a 2 GB part.
# Each time the clock comes up and keeps running; the settings file keeps every byte it does not
# own, and a picture it cannot take brings one message box, which is closed.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
[ -f "$PROG/moondata.dat" ] || fail "the build has no moondata.dat"
cp "$PROG/moondata.dat" "$PROG/moondata.good"

# Starts each case afresh: no settings, no pictures, the good moon table.
fresh() {
  stop_program
  log_clean || exit 1
  rm -f "$PROG"/velmorax.ini "$PROG"/.velmorax.ini.* "$PROG"/useimage* "$PROG"/before
  cp "$PROG/moondata.good" "$PROG/moondata.dat"
}

# random_bytes COUNT SEED: the same bytes for the same seed, on any machine with perl.
random_bytes() {
  perl -e 'srand($ARGV[1]); my $n = $ARGV[0]; while ($n > 0) { my $k = $n < 65536 ? $n : 65536;
    print pack("C*", map { int(rand(256)) } 1 .. $k); $n -= $k }' "$1" "$2"
}

# holds FILE TEXT: whether the file holds the text, NUL bytes and all (TEXT in perl's escapes).
holds() {
  perl -e 'local $/; open(my $f, "<:raw", $ARGV[0]) or exit 1; my $t = <$f>;
    exit(index($t, eval "\"$ARGV[1]\"") >= 0 ? 0 : 1)' "$1" "$2"
}

expect_side() {
  case "$(window_geometry)" in
    "$1x$1+"*) ;;
    *) fail "$2: window $(window_geometry), expected $1 x $1" ;;
  esac
}

# The program's share of a settings file: what it writes after the bytes it found.
added_keys_hold() {
  holds "$PROG/velmorax.ini" 'NowSize=0' && holds "$PROG/velmorax.ini" 'AlwaysOnTop=True' &&
    holds "$PROG/velmorax.ini" '[Color]'
}

# --- Settings files ---------------------------------------------------------------------------

fresh
random_bytes 65536 1 >"$PROG/velmorax.ini"
cp "$PROG/velmorax.ini" "$PROG/before"
start_program
expect_side 120 "random settings"
keeps_running "random settings"
stop_program
cmp -s -n 65536 "$PROG/before" "$PROG/velmorax.ini" || fail "random settings: the bytes found were changed"
added_keys_hold || fail "random settings: the program's keys were not added after them"

fresh
printf '[frmMain]\r\nNowSize=1\0\0 after NUL\r\nTop=12\0\r\n[Mine\0]\r\nx=\0\0\0\r\n' >"$PROG/velmorax.ini"
start_program
expect_side 240 "NUL bytes (NowSize read up to its NUL)"
keeps_running "NUL bytes"
stop_program
for part in 'NowSize=1\0\0 after NUL' '[Mine\0]\r\nx=\0\0\0'; do
  holds "$PROG/velmorax.ini" "$part" || fail "NUL bytes: '$part' is gone"
done

fresh
perl -e 'my $n = 0; while ($n < 10 * 1024 * 1024) { my $s = "[Other$n]\r\n; a comment\r\nkey=" . ("v" x 60) . "\r\n";
  print $s; $n += length $s } print "[frmMain]\r\nNowSize=-1\r\n"' >"$PROG/velmorax.ini"
cp "$PROG/velmorax.ini" "$PROG/before"
start_program
expect_side 60 "10 MB settings (NowSize at its end)"
keeps_running "10 MB settings"
stop_program
size=$(stat -c %s "$PROG/before")
cmp -s -n "$size" "$PROG/before" "$PROG/velmorax.ini" || fail "10 MB settings: the bytes found were changed"

fresh
perl -e 'print "; ", "c" x 2097152, "\n[frmMain]\n", "x" x 1048576, "\nNowSize=1\n[Long]\nkey=", "v" x 1048576, "\n"' \
  >"$PROG/velmorax.ini"
long_lines() { perl -ne 'print if length > 100000' "$1" | md5sum; }
before=$(long_lines "$PROG/velmorax.ini")
start_program
expect_side 240 "long lines (NowSize after them)"
keeps_running "long lines"
stop_program
expect_eq "$(long_lines "$PROG/velmorax.ini")" "$before" "long lines kept"

# --- Moon tables ------------------------------------------------------------------------------

fresh
random_bytes 1048576 2 >"$PROG/moondata.dat"
start_program
keeps_running "random moon table"

fresh
perl -e 'srand(3); my @r = <>; for (my $i = @r - 1; $i > 0; --$i) { my $j = int(rand($i + 1)); @r[$i, $j] = @r[$j, $i] }
  print @r' "$PROG/moondata.good" >"$PROG/moondata.dat"
start_program
keeps_running "moon table out of order"

fresh
perl -e 'local $/; my $t = <>; my $n = 0; while ($n < 100 * 1024 * 1024) { print $t; $n += length $t }' \
  "$PROG/moondata.good" >"$PROG/moondata.dat"
launch_program
wait_for_clock 30
keeps_running "100 MB moon table"
rm -f "$PROG/moondata.dat"

# --- User pictures (useimage1 at the standard size) -------------------------------------------

fresh
: >"$PROG/useimage1.bmp"
launch_program
close_message_box
wait_for_clock
keeps_running "empty picture"

fresh
echo "not a picture" >"$PROG/useimage1.gif"
launch_program
close_message_box
wait_for_clock
keeps_running "a text file as a picture"
# The address space a refused picture leaves the program with (a sanitizer build's is terabytes).
vm_peak() { awk '/^VmPeak:/ {print $2}' "/proc/$PID/status"; }
refused_peak=$(vm_peak)

fresh
perl -e 'my ($w, $h) = (20000, 20000); my $row = ($w * 3 + 3) & ~3;
  print "BM", pack("VVVVVVvvVVVVVV", 54 + $row * $h, 0, 54, 40, $w, $h, 1, 24, 0, $row * $h, 2835, 2835, 0, 0)' \
  >"$PROG/useimage1.bmp"
launch_program
close_message_box
wait_for_clock
keeps_running "a picture of 20000 x 20000 pixels"

# A PNG of the right width, under a name the dial looks for, whose text part claims 2 GB of a
# 48-byte file: the dial reads only BMP, JPEG and GIF, so the file is refused before any reader
# believes it and sets that memory aside.
fresh
printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x78\0\0\0\x78\x08\x02\0\0\0\xb6\x06\xa1\x85\x7e\0\0\x25tEXtabc\xfc\x85\x9b\x88' \
  >"$PROG/useimage1.bmp"
launch_program
close_message_box
wait_for_clock
keeps_running "a PNG that claims 2 GB"
peak=$(vm_peak)
[ $((peak - refused_peak)) -lt 262144 ] ||
  fail "a PNG that claims 2 GB: the address space peaked at $peak kB, against $refused_peak kB for a text file"

# A picture cut short is still a picture of the right width: the dial shows what it holds, red in
# its lower half, and black where its data ends.
fresh
convert -size 120x120 xc:red BMP3:"$PROG/whole.bmp"
head -c $((54 + 60 * 360)) "$PROG/whole.bmp" >"$PROG/useimage1.bmp"
rm -f "$PROG/whole.bmp"
start_program
keeps_running "a picture cut short"
read -r wx wy < <(window_xy)
shot=$(mktemp --suffix=.png)
import -window root "$shot"
colour_at() { convert "$shot" -format "%[fx:round(255*u.r)],%[fx:round(255*u.g)],%[fx:round(255*u.b)]" \
  -crop "1x1+$((wx + $1))+$((wy + $2))" info:; }
red=0
black=0
for x in 30 45 60 75 90; do
  [ "$(colour_at "$x" 104)" = "255,0,0" ] && red=$((red + 1))
  [ "$(colour_at "$x" 14)" = "0,0,0" ] && black=$((black + 1))
done
rm -f "$shot"
# The two long hands may lie over two of the five places.
[ "$red" -ge 3 ] || fail "a picture cut short: its lower half is not on the dial"
[ "$black" -ge 3 ] || fail "a picture cut short: where its data ends is not black"

echo "ok"
