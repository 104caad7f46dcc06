#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the game's speed against its goals and prints one table, with a
# bare Qt window measured in the same run, interleaved, as the baseline
# where there is one:
#   - one tick and one trace record of a busy game, and painting a busy
#     frame at device pixel ratio 1 and 2 (Google Benchmark, medians of 5);
#   - start-up to the first painted frame and peak memory, offscreen and
#     under Xvfb, game and bare window launched in turn (medians);
#   - 10 s of play under Xvfb, standing at the start and driving: CPU, the
#     slots' intervals, peak memory (medians of the sessions);
#   - from a play call to its sound at the sound server, 20 calls (median
#     and worst).
# Everything runs beside a private PulseAudio server with a null sink, so
# that the game opens its sound output as on a desktop.
# Builds Release in build/bench (KESTRADA_BENCH_BUILD_DIR to change).
# KESTRADA_BENCH_REPS (default 21) launches of each program per platform;
# KESTRADA_BENCH_PLAY_REPS (default 3) sessions of each kind.
# Exits non-zero when a goal is missed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${KESTRADA_BENCH_BUILD_DIR:-build/bench}
reps=${KESTRADA_BENCH_REPS:-21}
play_reps=${KESTRADA_BENCH_PLAY_REPS:-3}
seconds=10

bash scripts/install-deps.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRADA_WERROR=ON \
  -DKESTRADA_WITH_DESKTOP=ON -DKESTRADA_WITH_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target kestrada kestrada_tick_bench kestrada_paint_bench \
  kestrada_bare_window kestrada_launch_probe kestrada_sound_latency_probe \
  kestrada_sink_recorder kestrada_sound_latency

game=$build/bin/kestrada
bare=$build/bench/kestrada_bare_window
probe=$build/bench/kestrada_launch_probe
out=$(mktemp -d)
export KESTRADA_BENCH_LOG=$out/stderr.log
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

pids=()
end_sound_server() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}
trap end_sound_server EXIT
source tests/sound/sound_server.sh
start_sound_server "$out" "$build/tools/kestrada_sink_recorder"

load_before=$(uptime)
echo "== sound: 20 play calls to their sound at the server" >&2
"$build/bench/kestrada_sound_latency_probe" "$build/bin/Crash.wav" >"$out/plays" \
  2>>"$KESTRADA_BENCH_LOG"
sleep 1
stop_recording
"$build/bench/kestrada_sound_latency" "$build/bin/Crash.wav" "$out/heard.wav" \
  "$out/plays" >"$out/latency" || true
echo "== benchmarks" >&2
bench_args=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true
  --benchmark_format=json)
# One line per result: name, wall time, CPU time, unit.
bench_lines() {
  awk '/"name":/ { gsub(/[",]/, "", $2); name = $2 }
    /"real_time":/ { gsub(/,/, "", $2); wall = $2 }
    /"cpu_time":/ { gsub(/,/, "", $2); cpu = $2 }
    /"time_unit":/ { gsub(/[",]/, "", $2); print name, wall, cpu, $2 }'
}
"$build/bench/kestrada_tick_bench" "${bench_args[@]}" 2>>"$KESTRADA_BENCH_LOG" |
  bench_lines >"$out/bench"
QT_QPA_PLATFORM=offscreen "$build/bench/kestrada_paint_bench" "${bench_args[@]}" \
  2>>"$KESTRADA_BENCH_LOG" | bench_lines >>"$out/bench"

echo "== start-up, $reps launches of each, offscreen then under Xvfb" >&2
QT_QPA_PLATFORM=offscreen bash bench/startup.sh offscreen "$reps" "$probe" "$game" "$bare" \
  >"$out/startup"
QT_QPA_PLATFORM=xcb "${xvfb[@]}" bash bench/startup.sh xvfb "$reps" "$probe" "$game" "$bare" \
  >>"$out/startup"

echo "== play, $play_reps sessions of ${seconds} s of each kind under Xvfb" >&2
QT_QPA_PLATFORM=xcb "${xvfb[@]}" bash -c '
  for ((i = 0; i < $1; i++)); do
    echo "standing $(bash bench/play.sh --seconds "$2" "$3" --seed 1)"
    echo "driving $(bash bench/play.sh --drive --seconds "$2" "$3" --seed 1)"
    echo "bare $(bash bench/play.sh --seconds "$2" "$4")"
  done' play "$play_reps" "$seconds" "$game" "$bare" >"$out/play"
load_after=$(uptime)

# The median of the values of KEY on the lines that start with PREFIX.
median() {
  grep "^$1 " "$2" | sed -n "s/.* $3=\([^ ]*\).*/\1/p" | sort -g | awk '
    { v[++n] = $1 }
    END { if (n == 0) print "nan"; else print (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'
}
# Milliseconds (times FACTOR, if given) of a benchmark's median, wall
# (column 2) or CPU (column 3).
bench_ms() {
  awk -v name="$1_median" -v col="$2" -v factor="${3:-1}" '$1 == name {
    scale = ($4 == "ns") ? 1e-6 : ($4 == "us") ? 1e-3 : ($4 == "ms") ? 1 : 1e3
    printf "%.4g\n", $col * scale * factor }' "$out/bench"
}

failed=0
# row MEASURE GAME BASELINE GOAL-KIND GOAL-VALUE; goal kinds: max (game at
# most), ratio (game / baseline at most), within (|game - 40| at most),
# info (no goal).
row() {
  local result
  result=$(awk -v g="$2" -v b="$3" -v kind="$4" -v goal="$5" 'BEGIN {
    ratio = (b != "-" && b + 0 > 0) ? sprintf("%.2f", g / b) : "-"
    if (kind == "max") { text = "< " goal; ok = g < goal }
    else if (kind == "ratio") { text = "<= " goal " x"; ok = g / b <= goal }
    else if (kind == "within") { text = "40 +- " goal; ok = (g - 40 <= goal && 40 - g <= goal) }
    else { text = "-"; ok = -1 }
    printf "%s|%s|%s\n", ratio, text, (ok < 0) ? "info" : (ok ? "PASS" : "FAIL")
  }')
  IFS='|' read -r ratio goal verdict <<<"$result"
  printf '%-44s %10s %10s %7s %12s  %s\n' "$1" "$2" "$3" "$ratio" "$goal" "$verdict"
  if [ "$verdict" = FAIL ]; then failed=1; fi
}

echo
echo "load before: $load_before"
echo "load after:  $load_after"
echo
printf '%-44s %10s %10s %7s %12s  %s\n' measure game baseline ratio goal result
row "busy tick, us (wall)" "$(bench_ms BM_BusyTick 2 1000)" - info -
row "trace record, us (wall)" "$(bench_ms BM_TraceRecord 2 1000)" - info -
p1=$(bench_ms BM_PaintBusyFrame/dpr:1 2)
p2=$(bench_ms BM_PaintBusyFrame/dpr:2 2)
row "paint busy frame 1x, ms (wall)" "$p1" - max 1
row "paint busy frame 2x, ms (wall; base 1x)" "$p2" "$p1" max 3
row "paint busy frame 1x, ms (CPU)" "$(bench_ms BM_PaintBusyFrame/dpr:1 3)" - max 1
row "paint busy frame 2x, ms (CPU)" "$(bench_ms BM_PaintBusyFrame/dpr:2 3)" - max 3
# Zoomed frames: at most 1 ms per megapixel (1180 x 954 and 1770 x 1431).
row "paint busy frame zoom 2, ms (wall)" "$(bench_ms BM_PaintBusyFrameZoomed/zoom:2 2)" - max 1.13
row "paint busy frame zoom 3, ms (wall)" "$(bench_ms BM_PaintBusyFrameZoomed/zoom:3 2)" - max 2.53
row "render all pictures 1x, ms (wall)" "$(bench_ms BM_LoadAndRenderPictures/dpr:1 2)" - info -
for platform in offscreen xvfb; do
  row "start-up to first frame, $platform, ms" "$(median "$platform game" "$out/startup" startup_ms)" \
    "$(median "$platform bare" "$out/startup" startup_ms)" ratio 1.5
  row "CPU to first frame, $platform, ms" "$(median "$platform game" "$out/startup" cpu_ms)" \
    "$(median "$platform bare" "$out/startup" cpu_ms)" info -
  row "peak memory to first frame, $platform, kB" \
    "$(median "$platform game" "$out/startup" maxrss_kb)" \
    "$(median "$platform bare" "$out/startup" maxrss_kb)" ratio 1.5
done
for kind in standing driving; do
  row "CPU in ${seconds} s of play, $kind, % of a core" "$(median $kind "$out/play" cpu_pct)" \
    "$(median bare "$out/play" cpu_pct)" max 5
  # The slots run in the frames at the screen's rate: 40 ms apart on
  # average, each at most a 60 Hz frame early or late.
  row "slot interval mean, $kind, ms" "$(median $kind "$out/play" mean_ms)" - within 1
  row "slot interval p99, $kind, ms" "$(median $kind "$out/play" p99_ms)" - within 17
  row "peak memory in play, $kind, kB" "$(median $kind "$out/play" hwm_kb)" \
    "$(median bare "$out/play" hwm_kb)" ratio 1.3
done
row "play call to sound at the server, median, ms" "$(median latency "$out/latency" median_ms)" \
  - max 60
row "play call to sound at the server, worst of $(median latency "$out/latency" calls), ms" \
  "$(median latency "$out/latency" worst_ms)" - max 60
echo
echo "driving: top speed $(median driving "$out/play" top_speed), new games per session" \
  "$(median driving "$out/play" restarts); raw figures in $out"
exit "$failed"
