#!/usr/bin/env bash
# A Wayland session, from a compositor that runs headless (weston) with XWayland beside it.
# With both displays known and no platform chosen, the clock goes through XWayland: its window
# is an X window there, cut round. Chosen natively (QT_QPA_PLATFORM=wayland), it is
# no X window, its disc stands on a transparent square, it ends cleanly on a signal, and the
# place saved by an X session stays as it was, since Wayland never says where a window is. With
# an XWayland that does not answer, it runs natively too.
# Usage: wayland.sh PROGRAM
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

wait_for() {
  local what=$1
  shift
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}
running() { kill -0 "$PID" 2>/dev/null; }

# XWayland keeps its sockets where every X server does; a fresh machine may not have the folder.
if [ ! -d /tmp/.X11-unix ]; then
  mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix || fail "no /tmp/.X11-unix for XWayland"
fi
export XDG_RUNTIME_DIR="$PROG/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
SOCKET="velmorax-$$"
# --debug lets weston-screenshooter take pictures; the pixman renderer needs no GPU.
weston --backend=headless-backend.so --xwayland --use-pixman --debug --socket="$SOCKET" \
  --width=800 --height=600 --idle-time=0 >"$PROG/weston.log" 2>&1 &
WESTON=$!
AT_FINISH='kill "$WESTON" 2>/dev/null; wait "$WESTON" 2>/dev/null'
xwayland_up() { grep -q 'xserver listening on display' "$PROG/weston.log"; }
wait_for "weston did not start with XWayland: $(tail -n 5 "$PROG/weston.log")" xwayland_up
XDISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$PROG/weston.log" | head -n 1)
[ -n "$XDISPLAY" ] || fail "no XWayland display in weston's log"

# --- Through XWayland ---------------------------------------------------------------------
printf '[frmMain]\nTop=1500\nLeft=3000\n' >"$PROG/velmorax.ini"
# As a Wayland desktop session sets them: Qt alone would then choose Wayland.
export DISPLAY=$XDISPLAY WAYLAND_DISPLAY=$SOCKET XDG_SESSION_TYPE=wayland
start_program
# Found among the X windows: the program chose xcb though Wayland was there too.
xwininfo -shape -id "$WIN" | grep -q 'Window shape extents: *120x120+0+0' || fail "the X window is not cut to a shape"
# Kept above as on X, where the compositor's window manager offers it (weston's does not).
if xprop -root _NET_SUPPORTED | grep -q '_NET_WM_STATE_ABOVE'; then
  xprop -id "$WIN" _NET_WM_STATE | grep -q '_NET_WM_STATE_ABOVE' || fail "the X window is not kept above"
fi
# What the clock opens chooses its own platform: the choice is not left in the environment.
tr '\0' '\n' <"/proc/$PID/environ" | grep -q '^QT_QPA_PLATFORM=' && fail "QT_QPA_PLATFORM left in the environment"
stop_program

# --- Natively ----------------------------------------------------------------------------
# shoot NAME: a picture of the compositor's screen, without its panel (its clock moves).
shoot() {
  (cd "$PROG" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1) || fail "weston-screenshooter failed"
  convert "$PROG"/wayland-screenshot-*.png -crop 800x540+0+60 +repage "$PROG/$1.png"
}
printf '[frmMain]\nTop=1500\nLeft=3000\n' >"$PROG/velmorax.ini"
# Once the compositor has faded out the window just closed.
sleep 1.5
shoot before
launch_program QT_QPA_PLATFORM=wayland
sleep 2
running || fail "the program ended on its own natively"
[ -z "$(xdotool search --all --pid "$PID" --name '^Form1$' 2>/dev/null)" ] || fail "an X window appeared though Wayland was chosen"
shoot after
# Where the screen changed is the clock's square. Its corners, outside the disc, still show the
# desktop; its middle does not.
convert "$PROG/before.png" "$PROG/after.png" -compose difference -composite -threshold 0 "$PROG/diff.png"
box=$(convert "$PROG/diff.png" -trim -format '%w %h %X %Y' info:)
read -r bw bh bx by <<<"$box"
bx=${bx#+} by=${by#+}
[ "$bw" = 120 ] && [ "$bh" = 120 ] || fail "the changed part is ${bw}x${bh}+$bx+$by, not the 120-pixel clock"
changed() { convert "$PROG/diff.png" -format "%[fx:p{$1,$2}.r]" info:; }
for corner in "$bx $by" "$((bx + 119)) $by" "$bx $((by + 119))" "$((bx + 119)) $((by + 119))" \
  "$((bx + 8)) $((by + 8))"; do
  read -r px py <<<"$corner"
  expect_eq "$(changed "$px" "$py")" "0" "the screen at $px,$py beside the disc"
done
expect_eq "$(changed $((bx + 60)) $((by + 60)))" "1" "the screen in the middle of the disc"
[ -n "${VX_WAYLAND_SHOT:-}" ] && cp "$PROG/after.png" "$VX_WAYLAND_SHOT"

kill -TERM "$PID"
for _ in $(seq 50); do running || break; sleep 0.1; done
running && fail "the program did not end on a signal"
wait "$PID"
expect_eq "$?" "0" "exit status"
PID=""
expect_eq "$(ini_value frmMain Top)" "1500" "Top kept"
expect_eq "$(ini_value frmMain Left)" "3000" "Left kept"

# --- An XWayland that does not answer: the clock falls back to running natively ------------
launch_program DISPLAY=:65000
sleep 2
running || fail "without a working XWayland the program ended: $(tail -n 3 "$PROG/out.log")"
kill -TERM "$PID"
wait "$PID"
expect_eq "$?" "0" "exit status after the fall-back"
PID=""
echo "ok"
