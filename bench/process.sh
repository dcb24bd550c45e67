#!/usr/bin/env bash
# The real program's cost as a process, beside a minimal Qt Widgets program and the X clocks of
# x11-apps, on one X server of its own at the same moment:
#   - time from start to the first painted frame (one program at a time; the clock and the minimal
#     program in turns, then the X clocks; median of several runs after one not counted);
#   - resident memory after a minute;
#   - CPU time and wakeups over 60 seconds (all programs side by side in the same minute), in a few
#     rounds, each with the programs started afresh.
# Usage: bench/process.sh [BUILD_FOLDER]   (VX_RUNS=N start-ups per program, VX_SECONDS=S window,
#        VX_ROUNDS=N side-by-side rounds)
set -u
build=$(cd "${1:-build}" && pwd)
runs=${VX_RUNS:-5}
seconds=${VX_SECONDS:-60}
rounds=${VX_ROUNDS:-3}
settle=5

program="$build/velmorax"
minimal="$build/bench/velmorax_minimal_qt"
firstframe="$build/bench/velmorax-firstframe"
for f in "$program" "$minimal" "$firstframe"; do
  [ -x "$f" ] || { echo "process.sh: $f is missing; build the bench target first" >&2; exit 1; }
done
for tool in Xvfb xclock oclock; do
  command -v "$tool" >/dev/null || { echo "process.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
servers=()
cleanup() {
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  for pid in "${servers[@]}"; do kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# Each program gets an X server of its own, so the server's work for it can be told apart; a
# black root, so an unpainted window shows one colour only.
declare -a displays
start_server() { # INDEX
  Xvfb -displayfd 5 -screen 0 1280x800x24 -br -nolisten tcp -noreset 5>"$work/display.$1" 2>"$work/xvfb.$1.log" &
  servers[$1]=$!
  for _ in $(seq 200); do [ -s "$work/display.$1" ] && break; sleep 0.05; done
  [ -s "$work/display.$1" ] || { echo "process.sh: Xvfb did not start" >&2; cat "$work/xvfb.$1.log" >&2; exit 1; }
  displays[$1]=":$(cat "$work/display.$1")"
}
for i in 0 1 2 3 4; do start_server $i; done
unset WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# A program folder as a user has it after some use: the program, the moon table and settings for
# the standard size (120 pixels) on the given face, at the given place.
make_folder() { # NAME FACE LEFT_TWIPS
  local dir="$work/$1"
  mkdir -p "$dir"
  cp "$program" "$dir/velmorax"
  [ -f "$build/moondata.dat" ] && cp "$build/moondata.dat" "$dir/"
  printf '[TaskTray]\nSetting=0\n\n[frmMain]\nUseLineMojiban=False\nMitikake=True\nTop=1500\nLeft=%s\nNowSize=0\nAlwaysOnTop=True\nNT=False\n\n[Setting]\nYearOrClock=%s\n\n[Color]\nYear=41152\nClock=16752640\n' \
    "$3" "$2" >"$dir/velmorax.ini"
}
make_folder clock Clock 1500
make_folder year Year 4500

names=("velmorax, clock face" "velmorax, year face" "minimal Qt, 120 px" "xclock -analog -update 1" "oclock")
start_cmd() { # INDEX: the command line of that program, run in its folder on its own server
  local display="export DISPLAY=${displays[$1]};"
  case $1 in
    0) echo "$display cd '$work/clock' && exec ./velmorax" ;;
    1) echo "$display cd '$work/year' && exec ./velmorax" ;;
    2) echo "$display exec '$minimal'" ;;
    3) echo "$display exec xclock -analog -update 1 -geometry 120x120+100+100" ;;
    4) echo "$display exec oclock -geometry 120x120+100+100" ;;
  esac
}

median() { sort -n | awk '{v[NR]=$1} END{ if (NR==0) print "-"; else if (NR%2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2 }'; }

# ---- Start to first frame, one program at a time ----
# The clock and the minimal program take turns, after a start of each that is not counted; then
# the two X clocks do. A Qt program started right after an X clock took a fifth longer than one
# started after the other Qt program, and the very first start of all reads Qt from disk: in turns,
# each of the two compared follows the other, and both are measured alike.
declare -a first
first_frames() { # INDEX...
  local turn i out
  for i in "$@"; do : >"$work/first.$i"; done
  for turn in $(seq 0 "$runs"); do
    for i in "$@"; do
      out="$work/first.$i"
      [ "$turn" -eq 0 ] && out=/dev/null
      DISPLAY=${displays[$i]} "$firstframe" -t 20 bash -c "$(start_cmd $i)" >>"$out" 2>>"$work/first.log"
    done
  done
  for i in "$@"; do first[$i]=$(median <"$work/first.$i"); done
}
first_frames 0 2
first_frames 3 4
first[1]="-"

# ---- Minutes side by side ----
ticks=$(getconf CLK_TCK)
# CPU of the whole process from the kernel's accounting: utime + stime in clock ticks.
stat_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# On-CPU time in nanoseconds and context switches, summed over the process's threads.
sched_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

# A single minute of a few tens of milliseconds of CPU swings by a fifth from run to run (which
# program wakes first at each second, which core it lands on): the programs are started afresh
# for each of several rounds, and the table gives the median of the rounds.
: >"$work/rounds"
for round in $(seq "$rounds"); do
  for i in 0 1 2 3 4; do
    bash -c "$(start_cmd $i)" >"$work/out.$i" 2>&1 &
    pids[$i]=$!
  done
  sleep "$settle"
  declare -a t0 n0 c0 s0
  for i in 0 1 2 3 4; do
    t0[$i]=$(stat_ticks "${pids[$i]}"); n0[$i]=$(sched_ns "${pids[$i]}"); c0[$i]=$(switches "${pids[$i]}")
    s0[$i]=$(sched_ns "${servers[$i]}")
  done
  began=$(date +%s.%N)
  sleep "$seconds"
  ended=$(date +%s.%N)
  # One line per program: round, index, CPU ms/min, stat ms/min, switches/min, server ms/min, RSS kB.
  for i in 0 1 2 3 4; do
    kill -0 "${pids[$i]}" 2>/dev/null || echo "process.sh: ${names[$i]} ended during the measurement" >&2
    echo "$round $i $(( $(sched_ns "${pids[$i]}") - n0[$i] )) $(( $(stat_ticks "${pids[$i]}") - t0[$i] ))" \
         "$(( $(switches "${pids[$i]}") - c0[$i] )) $(( $(sched_ns "${servers[$i]}") - s0[$i] ))" \
         "$(rss_kb "${pids[$i]}") $began $ended" >>"$work/rounds"
  done
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
done

# ---- One table ----
echo
echo "Process figures: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at the end; each program on an Xvfb"
echo "1280x800x24 of its own; first frames one program at a time, in turns (median of $runs runs), then all five"
echo "programs side by side for $seconds s, started afresh in each of $rounds rounds (median of the rounds)."
printf '%-26s %9s %6s %7s %7s %9s %7s %8s %8s %8s %9s %9s\n' \
  "program" "1st frame" "x min" "RSS" "- min" "CPU/min" "stat" "% core" "x xclock" "wakeups" "X server" "+X x xcl"
printf '%-26s %9s %6s %7s %7s %9s %7s %8s %8s %8s %9s %9s\n' \
  "" "ms" "" "MB" "MB" "ms" "ms" "" "" "per min" "ms/min" ""
firsts="${first[0]} ${first[1]} ${first[2]} ${first[3]} ${first[4]}"
awk -v hz="$ticks" -v firsts="$firsts" -v names="${names[0]}|${names[1]}|${names[2]}|${names[3]}|${names[4]}" '
  function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { per = 60 / ($9 - $8); r = $1; i = $2
    cpu[r, i] = $3 / 1e6 * per; tk[r, i] = $4 * 1000 / hz * per; sw[r, i] = $5 * per; xs[r, i] = $6 / 1e6 * per
    rss[r, i] = $7; rounds[r] = 1 }
  END {
    split(names, name, "|"); split(firsts, first, " ")
    for (i = 0; i <= 4; ++i) {
      c = t = w = x = m = q = p = ""
      for (r in rounds) {
        c = c " " cpu[r, i]; t = t " " tk[r, i]; w = w " " sw[r, i]; x = x " " xs[r, i]; m = m " " rss[r, i] - rss[r, 2]
        q = q " " (cpu[r, 3] > 0 ? cpu[r, i] / cpu[r, 3] : 0)
        p = p " " (cpu[r, 3] + xs[r, 3] > 0 ? (cpu[r, i] + xs[r, i]) / (cpu[r, 3] + xs[r, 3]) : 0)
        s = s " " rss[r, i]
      }
      f = first[i + 1]; fm = first[3]
      ratio = (f == "-" || fm == "-" || fm == 0) ? "-" : sprintf("%.2f", f / fm)
      printf "%-26s %9s %6s %7.1f %+7.1f %9.1f %7.0f %7.3f%% %8.2f %8.0f %9.1f %9.2f\n", name[i + 1], f, ratio,
        median(s) / 1024, median(m) / 1024, median(c), median(t), median(c) / 600, median(q), median(w), median(x), median(p)
      s = ""
    }
  }' "$work/rounds"
echo "CPU/min: on-CPU time of all the program's threads (schedstat) per 60 s; x xclock and +X x xcl: the"
echo "median of the ratios each round measured side by side; stat: utime+stime from"
echo "/proc/PID/stat in 10 ms steps; wakeups: voluntary and involuntary context switches of all threads;"
echo "X server: the on-CPU time of the program's own Xvfb; +X x xcl: program and server against xclock's."
echo "Debian's oclock (x11-apps 7.7) has no second hand and no -update option; xclock -analog -update 1 of"
echo "the same package is the round-faced clock with a second hand, and the reference for the CPU ratios."
