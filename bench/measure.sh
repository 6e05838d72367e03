#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the game side by side with a minimal Qt Widgets window, in one run, and ends with a
# Markdown table of the figures and their goals.
#
#   bench/measure.sh                  from the repository root, after scripts/deps.sh check
#
# What it does:
#   start-up   time from the fork to the first window mapped on a private Xvfb display, for the
#              game and for bench/minimal_window (a QMainWindow with a menu bar and a label);
#              median of RUNS runs each, interleaved so that both see the same machine load
#   memory     VmRSS of the game with a deal on the table (the name typed into the name dialog
#              with xdotool, then 1.5 s for the deal to be dealt)
#   idle CPU   utime+stime of the game over 10 s while it waits for the human's bid; and, in
#              bench/deal_cpu, over 5 s while it waits for the human's card
#   a deal     CPU time from the human's bid to the score sheet at the fast speed, in
#              bench/deal_cpu (the real window and flow at real timing, on the same display)
#   engine     deals per second of halbeet-sim, and BM_WholeDeal of engine_bench
#   server     bench/server_load: LOAD_TABLES tables (1000; 0 skips it) of four bot clients
#              playing at full speed over loopback WebSockets against the server of tables in a
#              process of its own; actions a second, the latency from a bot's action to the last
#              seat reading its event, the server's CPU per action and its peak resident memory
#   full screen in bench/scale_bench on a second Xvfb of 2560 x 1440: CPU per frame of glides
#              across the full-screen table, the time from the last resize event of a drag to
#              the table painted with its cards rendered for the new size, and resident memory
#              with a deal on the full-screen table
#
# It builds what it needs, with Release, in build/bench (BUILD_DIR overrides). Tunables, from
# the environment: RUNS (10), DEALS (3), SIM_DEALS (1000000).
# Nothing of the user's own settings is touched: the programs run with APPDATA in a temporary
# folder. Exit status: 0 when every figure was measured (goals met or not), 1 otherwise.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
runs=${RUNS:-10}
deals=${DEALS:-3}
sim_deals=${SIM_DEALS:-1000000}

say() { echo "==> $*" >&2; }
die() { echo "measure.sh: $*" >&2; exit 1; }

for tool in Xvfb xdotool cmake awk; do
  command -v "$tool" >/dev/null || die "$tool is missing; run scripts/deps.sh check"
done

# --- build -----------------------------------------------------------------------------------
if [ ! -f "$build/CMakeCache.txt" ]; then
  say "Configuring a Release build in $build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALBEET_BUILD_TESTS=OFF \
    >/dev/null
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
[ "$build_type" = Release ] || say "warning: $build is a '$build_type' build, not Release"
targets=(halbeet halbeet-sim minimal_window deal_cpu startup_probe scale_bench)
if cmake --build "$build" --target help 2>/dev/null | grep -q '^engine_bench:'; then
  targets+=(engine_bench)
fi
load_tables=${LOAD_TABLES:-1000}
[ "$load_tables" -gt 0 ] && targets+=(server_load)
say "Building ${targets[*]}"
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null

halbeet=$build/src/app/halbeet
minimal=$build/bench/minimal_window
probe=$build/bench/startup_probe
deal_cpu=$build/bench/deal_cpu
scale_bench=$build/bench/scale_bench
sim=$build/tools/halbeet-sim/halbeet-sim
engine_bench=$build/bench/engine_bench
for program in "$halbeet" "$minimal" "$probe" "$deal_cpu" "$sim" "$scale_bench"; do
  [ -x "$program" ] || die "$program was not built"
done

# --- a private X server and settings folder --------------------------------------------------
work=$(mktemp -d)
xvfb_pid=""
big_xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$big_xvfb_pid" ] && kill "$big_xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 50 99); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || die "no free X display between :50 and :99"
# -noreset: a server that resets when its last client leaves refuses the next one for a moment.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || die "Xvfb did not start on $display"

unset QT_QPA_PLATFORM
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
export QT_LOGGING_RULES=qt.qpa.fonts=false
fresh_settings() {
  rm -rf "$work/appdata"
  mkdir -p "$work/appdata"
  export APPDATA=$work/appdata
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# --- start-up ---------------------------------------------------------------------------------
say "Start-up: $runs runs each of the game and the minimal window on $display"
fresh_settings
# One unmeasured run each, so that both start from a warm file cache.
"$probe" "$halbeet" >/dev/null || die "the game showed no window"
"$probe" "$minimal" >/dev/null || die "the minimal window did not show"
: >"$work/start-game"
: >"$work/start-floor"
for _ in $(seq "$runs"); do
  fresh_settings
  "$probe" "$halbeet" >>"$work/start-game" || die "the game showed no window"
  "$probe" "$minimal" >>"$work/start-floor" || die "the minimal window did not show"
done
start_game=$(median <"$work/start-game" | xargs printf "%.0f")
start_floor=$(median <"$work/start-floor" | xargs printf "%.0f")
start_ratio=$(awk -v g="$start_game" -v f="$start_floor" 'BEGIN { printf "%.2f", g / f }')
say "  game:  $(tr '\n' ' ' <"$work/start-game")ms"
say "  floor: $(tr '\n' ' ' <"$work/start-floor")ms"

# --- memory and CPU with a deal on the table ---------------------------------------------------
say "Memory and CPU while the game waits for the bid"
fresh_settings
"$halbeet" >"$work/game.log" 2>&1 &
game_pid=$!
# The main window first, then the name dialog half a second later: both are "Halbeet".
dialog=""
for _ in $(seq 200); do
  for w in $(xdotool search --onlyvisible --pid "$game_pid" --name '^Halbeet$' 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$WIDTH" -lt 400 ]; then dialog=$w; fi
  done
  [ -n "$dialog" ] && break
  sleep 0.05
done
[ -n "$dialog" ] || die "the name dialog did not appear"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 Bench
xdotool key Return
sleep 1.5
if xdotool search --onlyvisible --pid "$game_pid" --name '^Halbeet$' 2>/dev/null |
   grep -qx "$dialog"; then
  die "the name dialog is still up: the name was not taken"
fi
grep -q '^PLAYER1=Bench' "$APPDATA/Dovelarks/Halbeet/Halbeet.ini" ||
  die "the name was not stored; no deal on the table"
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status")
ticks() { sed 's/^.*) //' "/proc/$game_pid/stat" | awk '{ print $12 + $13 }'; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
w0=$(date +%s.%N)
sleep 10
t1=$(ticks)
w1=$(date +%s.%N)
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
rss_mb=$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')
idle_bid=$(awk -v a="$t0" -v b="$t1" -v hz="$hz" -v w0="$w0" -v w1="$w1" \
  'BEGIN { printf "%.2f", 100 * (b - a) / hz / (w1 - w0) }')

# --- whole deals --------------------------------------------------------------------------------
say "Whole deals at the fast speed: $deals deals in bench/deal_cpu (about 25 s each)"
fresh_settings
"$deal_cpu" "$deals" 1 | tee "$work/deal.log" >&2
result=$(grep '^RESULT ' "$work/deal.log") || die "deal_cpu gave no result"
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<"$result"; }
deal_cpu_max=$(field cpu_max_s)
deal_cpu_mean=$(field cpu_mean_s)
deal_wall=$(field wall_mean_s)
idle_card=$(field idle_card_pct)

# --- the table full screen ----------------------------------------------------------------------
big=""
for n in $(seq 50 99); do
  if [ ":$n" != "$display" ] && [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    big=":$n"
    break
  fi
done
[ -n "$big" ] || die "no second free X display between :50 and :99"
say "Full screen on 2560 x 1440 ($big): glides, resizes and memory in bench/scale_bench"
Xvfb "$big" -screen 0 2560x1440x24 -nolisten tcp -noreset >"$work/xvfb-big.log" 2>&1 &
big_xvfb_pid=$!
for _ in $(seq 100); do
  DISPLAY=$big xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
fresh_settings
DISPLAY=$big "$scale_bench" | tee "$work/scale.log" >&2
scale_result=$(grep '^RESULT ' "$work/scale.log") || die "scale_bench gave no result"
scale_field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" ${scale_result#RESULT }"; }
glide_frame=$(scale_field glide_cpu_ms_per_frame)
settle_median=$(scale_field settle_ms_median)
settle_max=$(scale_field settle_ms_max)
full_rss=$(scale_field rss_mb)
kill "$big_xvfb_pid" 2>/dev/null || true
big_xvfb_pid=""

# --- the engine --------------------------------------------------------------------------------
say "Engine: halbeet-sim --seed 1 --deals $sim_deals"
TIMEFORMAT='%U %S'
sim_times=$( { time "$sim" --seed 1 --deals "$sim_deals" --json >"$work/sim.json"; } 2>&1 )
sim_rate=$(sed -n 's/.*"dealsPerSecond":\([0-9.]*\).*/\1/p' "$work/sim.json")
[ -n "$sim_rate" ] || die "halbeet-sim gave no rate"
# Per second of CPU as well: on a shared machine the wall-clock rate says more about the load.
sim_cpu_rate=$(awk -v n="$sim_deals" -v t="$sim_times" 'BEGIN { split(t, a, " "); printf "%.0f", n / (a[1] + a[2]) }')
bench_line="not built"
if [ -x "$engine_bench" ]; then
  say "Engine: engine_bench --benchmark_filter=BM_WholeDeal"
  bench_times=$("$engine_bench" --benchmark_filter='^BM_WholeDeal$' --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 == "\"BM_WholeDeal\"" { print $3, $4; exit }')
  [ -n "$bench_times" ] && bench_line=$(awk -v t="$bench_times" \
    'BEGIN { split(t, a, " "); printf "%.1f µs of CPU (%.1f µs of wall time)", a[2] / 1000, a[1] / 1000 }')
fi

# --- the server of tables under load -----------------------------------------------------------
load_line=""
if [ "$load_tables" -gt 0 ]; then
  say "The server under load: $load_tables tables of four bots"
  load_line=$("$build/bench/server_load" --tables "$load_tables" --seconds 10 | tail -1) || true
fi
# A figure of server_load's line: the number before (or after) its label.
load_figure() { sed -n "s|.*$1.*|\1|p" <<<"$load_line"; }
load_rate=$(load_figure ' \([0-9.]*\) actions/s')
load_p50=$(load_figure 'p50 *\([0-9.]*\) ms')
load_p99=$(load_figure 'p99 *\([0-9.]*\) ms')
load_max=$(load_figure 'max *\([0-9.]*\) ms')
load_cpu=$(load_figure 'server *\([0-9.]*\) us CPU')
load_rss=$(load_figure 'VmHWM *\([0-9.]*\) MB')

# --- the figures -------------------------------------------------------------------------------
met() { awk -v v="$1" -v g="$2" 'BEGIN { print (v < g) ? "yes" : "no" }'; }
ratio_met=$(awk -v r="$start_ratio" 'BEGIN { print (r <= 1.5) ? "yes" : "no" }')
thousands() { sed ':a;s/\B[0-9]\{3\}\>/,&/;ta'; }
sim_fmt=$(awk -v r="$sim_rate" 'BEGIN { printf "%.0f", r }' | thousands)
sim_cpu_fmt=$(thousands <<<"$sim_cpu_rate")

qt_version=$(qtpaths6 --qt-version 2>/dev/null || qmake6 -query QT_VERSION 2>/dev/null || echo 6)

cat <<EOF

Measured by bench/measure.sh on $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)), Qt $qt_version, Xvfb $display, $(date -u +%Y-%m-%d).

| figure | measured | goal | met |
|---|---|---|---|
| start-up, exec to main window mapped (median of $runs) | $start_game ms against $start_floor ms for a minimal Qt window: ${start_ratio}× | within 1.5× of the minimal window | $ratio_met |
| resident memory with a deal on the table | $rss_mb MB | under 60 MB | $(met "$rss_mb" 60) |
| CPU while waiting for the bid (10 s) | $idle_bid % of a core | under 1 % | $(met "$idle_bid" 1) |
| CPU while waiting for a card (5 s) | $idle_card % of a core | under 1 % | $(met "$idle_card" 1) |
| CPU per frame of a glide, full screen on 2560 × 1440 | $glide_frame ms | under 4 ms | $(met "$glide_frame" 4) |
| last resize event to the table rendered for the new size (median and worst of 5 drags) | $settle_median ms (worst $settle_max ms) | under 100 ms | $(met "$settle_max" 100) |
| resident memory, full screen with a deal on the table | $full_rss MB | under 70 MB | $(met "$full_rss" 70) |
| CPU for a whole deal at the fast speed, bid to score sheet (worst of $deals) | $deal_cpu_max s (mean $deal_cpu_mean s, $deal_wall s of wall time) | under 2 s | $(met "$deal_cpu_max" 2) |
| engine: halbeet-sim --seed 1 --deals $sim_deals | $sim_fmt deals/s ($sim_cpu_fmt per second of CPU) | | |
| engine: engine_bench BM_WholeDeal | $bench_line per deal | | |
EOF
if [ -n "$load_p99" ]; then
  cat <<EOF
| server: $load_tables tables of four bots at full speed (bench/server_load), actions a second | $load_rate | | |
| server: a bot's action to the last of the four seats reading its event, p50 / p99 / max | $load_p50 / $load_p99 / $load_max ms | p99 under 50 ms | $(met "$load_p99" 50) |
| server: CPU per action | $load_cpu µs | under 100 µs | $(met "$load_cpu" 100) |
| server: peak resident memory (VmHWM) | $load_rss MB | under 200 MB | $(met "$load_rss" 200) |
EOF
fi
