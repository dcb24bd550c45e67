#!/usr/bin/env bash
# Every command of the popup, and of the icon's menu, chosen through the real menus while the moon
# runs through its lunation (一周する, about a second and a half): the program neither crashes nor
# reports an error, and each command does what it does at any other time.
. "$(dirname "$0")/lib.sh"
make_program_folder "$1"

running() { kill -0 "$PID" 2>/dev/null; }
popup_open() { [ -n "$(popup_windows)" ]; }
clock_shown() { [ -n "$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' 2>/dev/null)" ]; }
wait_for() {
  local what=$1
  shift
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}
now() { date +%s%N; }

# popup_at X Y KEYS...: a right click there and, once the menu has the keyboard, the keys.
popup_at() {
  local x=$1 y=$2
  shift 2
  xdotool mousemove "$x" "$y" click 3
  wait_for "no popup menu opened" popup_open
  sleep 0.2
  xdotool key "$@"
}
clock_popup() {
  WIN=$(xdotool search --all --onlyvisible --pid "$PID" --name '^Form1$' | head -n 1)
  read -r wx wy < <(window_xy)
  popup_at $((wx + 40)) $((wy + 40)) "$@"
}
# The icon's window, embedded in the host's panel.
icon_popup() {
  local icon
  icon=$(xwininfo -tree -id "$PANEL" 2>/dev/null | awk '/"velmorax": \("velmorax"/ {print $1; exit}')
  [ -n "$icon" ] || fail "no icon in the notification area"
  eval "$(xwininfo -id "$icon" | awk '/Absolute upper-left X/{print "ix=" $NF} /Absolute upper-left Y/{print "iy=" $NF}')"
  popup_at $((ix + 8)) $((iy + 8)) "$@"
}

# The popup's keys, from its top (Down) or its bottom (Up); Right opens a submenu at its first item.
declare -A KEYS=(
  [半分]="Down Right Return" [標準]="Down Right Down Return" [２倍]="Down Right Down Down Return"
  [ウィンドウを消す]="Down Down Return"
  [現在の月を反映]="Down Down Down Right Return" [一周する]="Down Down Down Right Down Return"
  [月の情報を表示]="Up Up Up Up Return"
  [常に前面に表示]="Up Up Up Right Return" [タスクトレイに入れる]="Up Up Up Right Down Return"
  [文字盤を線で描く]="Up Up Up Right Down Down Return" [月を満ち欠けさせる]="Up Up Up Right Down Down Down Return"
  [NT]="Up Up Up Right Down Down Down Down Return" [時計にする]="Up Up Up Right Down Down Down Down Down Return"
  [ヘルプファイルを見る]="Up Up Right Return" [バージョン情報]="Up Up Right Down Return"
  [終了]="Up Return"
  [icon:ヴェルモラを表示]="Down Return" [icon:終了]="Up Return"
)

# during_run COMMAND: starts 一周する and chooses COMMAND while it runs. A command that came too
# late to fall inside the run (a slow machine) is tried again on a fresh run.
during_run() {
  local keys=${KEYS[$1]} tries
  echo "$1 during the run"
  for tries in 1 2 3; do
    clock_popup ${KEYS[一周する]}
    local start
    start=$(now)
    # shellcheck disable=SC2086
    case $1 in
      icon:*) icon_popup $keys ;;
      *) clock_popup $keys ;;
    esac
    [ $(($(now) - start)) -lt 1300000000 ] && return 0
    echo "note: $1 came $((($(now) - start) / 1000000)) ms into the run; again"
    sleep 2
    running || start_program
  done
  fail "$1 could not be chosen within a run"
}

# ended_cleanly WHAT: the program ends by itself, with status 0.
ended_cleanly() {
  local rc
  for _ in $(seq 100); do running || break; sleep 0.1; done
  running && fail "$1: the program still runs"
  wait "$PID"
  rc=$?
  PID=""
  [ "$rc" -eq 0 ] || fail "$1: the program ended with status $rc"
  log_clean || exit 1
}

# Commands after which the program goes on: it is still there once both runs are over. The
# report's box opens inside the run, which goes on once the box is closed; so does the help
# command's, which names the help page this program folder lacks.
start_program
for command in 現在の月を反映 一周する NT 常に前面に表示 文字盤を線で描く 月を満ち欠けさせる 時計にする \
  タスクトレイに入れる ヘルプファイルを見る 半分 標準 月の情報を表示; do
  during_run "$command"
  case $command in 月の情報を表示 | ヘルプファイルを見る) close_message_box ;; esac
  sleep 2.5
  running || fail "$command during the run: the program ended"
  clock_shown || fail "$command during the run: the clock window is gone"
  log_clean || exit 1
done
expect_eq "$(ini_value frmMain NowSize)" "0" "NowSize after 半分 and 標準"
expect_eq "$(ini_value Setting YearOrClock)" "Clock" "the face after 時計にする"

# The about box opens beside the clock; its OK button closes it.
during_run バージョン情報
sleep 2
running || fail "the about box during the run: the program ended"
box=""
for id in $(xdotool search --onlyvisible --pid "$PID" --name . 2>/dev/null); do
  [ "$(xdotool getwindowname "$id")" = "バージョン情報" ] && box=$id
done
[ -n "$box" ] || fail "no about box appeared"
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + 84)) $((Y + 204)) click 1

# The double size, then 終了 (a person's way to the fault once reported).
during_run ２倍
wait_for_window_side 240
clock_popup ${KEYS[終了]}
ended_cleanly "２倍 during the run, then 終了"
expect_eq "$(ini_value frmMain NowSize)" "1" "NowSize after ２倍"

for command in ウィンドウを消す 終了; do
  start_program
  during_run "$command"
  ended_cleanly "$command during the run"
done

# The icon's menu, with a notification area: the clock brought forward, then the end.
start_trayer
sed -i 's/^Setting=.*/Setting=1/' "$PROG/velmorax.ini"
start_program
sleep 0.5
during_run icon:ヴェルモラを表示
sleep 2
running || fail "ヴェルモラを表示 during the run: the program ended"
clock_shown || fail "ヴェルモラを表示 during the run: the clock window is gone"
during_run icon:終了
ended_cleanly "the icon's 終了 during the run"

# With the icon on, ウィンドウを消す during the run leaves the icon; its 終了 then ends the program.
start_program
sleep 0.5
during_run ウィンドウを消す
sleep 2
running || fail "ウィンドウを消す with the icon on: the program ended"
icon_popup ${KEYS[icon:終了]}
ended_cleanly "the icon's 終了 after ウィンドウを消す during the run"
echo "ok"
