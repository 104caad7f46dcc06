#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One play session on the X display in DISPLAY (run it under xvfb-run):
# starts a program, lets it settle, measures it for a number of seconds and
# prints one line:
#   cpu_pct=<%> hwm_kb=<kB> ticks=<n> mean_ms=<ms> median_ms=<ms> p99_ms=<ms> max_ms=<ms>
#   restarts=<n> top_speed=<n>
# (the tick figures only for the game, from its KESTRADA_TICK_LOG).
#
#   bench/play.sh [--drive] [--seconds N] PROGRAM [ARGS...]
#
# --drive plays as a simple player would: holds Up, steers off the verge
# onto the road once the car is moving, keeps a shot out with Space, and
# after a crash starts a new game with Enter and does the same again.
set -euo pipefail

drive=0
seconds=10
while [ $# -gt 0 ]; do
  case "$1" in
    --drive) drive=1; shift ;;
    --seconds) seconds=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: bench/play.sh [--drive] [--seconds N] PROGRAM [ARGS...]" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "bench/play.sh: no DISPLAY; run it under xvfb-run" >&2; exit 2; }

work=$(mktemp -d)
pid=""
driver=""
cleanup() {
  if [ -n "$driver" ]; then kill "$driver" 2>/dev/null || true; fi
  if [ -n "$pid" ]; then
    xdotool keyup Up 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

KESTRADA_TICK_LOG=$work/ticks "$@" >"$work/out" 2>&1 &
pid=$!

# The window is up once X shows a window of this process.
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
if [ -z "$window" ]; then
  echo "bench/play.sh: no window from $1" >&2
  cat "$work/out" >&2
  exit 1
fi
# Start-up work that follows the first frame is not play.
sleep 1

last_tick() { tail -n 1 "$work/ticks" 2>/dev/null || true; }

if [ "$drive" = 1 ]; then
  xdotool mousemove --window "$window" 100 300
  xdotool windowfocus "$window"
  xdotool keydown Up
  (
    steered=0
    previous=""
    while sleep 0.25; do
      read -r _ tick speed <<<"$(last_tick)"
      if [ "${tick:-}" = "$previous" ]; then
        # No tick since the last look: the car has crashed.
        xdotool key Return keyup Up keydown Up
        steered=0
      elif [ "$steered" = 0 ] && [ "${speed:-0}" -ge 5 ]; then
        xdotool keydown Left sleep 0.28 keyup Left
        steered=1
      fi
      xdotool key space
      previous=${tick:-}
    done
  ) &
  driver=$!
fi

clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
log_lines() { if [ -f "$work/ticks" ]; then wc -l <"$work/ticks"; else echo 0; fi; }

cpu_before=$(cpu_ticks)
lines_before=$(log_lines)
sleep "$seconds"
cpu_after=$(cpu_ticks)
lines_after=$(log_lines)
hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
kill -0 "$pid" 2>/dev/null || { echo "bench/play.sh: $1 ended early" >&2; cat "$work/out" >&2; exit 1; }

cpu_pct=$(awk -v d=$((cpu_after - cpu_before)) -v hz="$clock_ticks" -v s="$seconds" \
  'BEGIN { printf "%.2f", 100 * d / hz / s }')
line="cpu_pct=$cpu_pct hwm_kb=$hwm_kb"

if [ -f "$work/ticks" ]; then
  # Intervals between consecutive ticks of one game: a new game restarts
  # the count, and the wait after a crash is no timer interval.
  line+=" "$(sed -n "$((lines_before + 1)),${lines_after}p" "$work/ticks" | awk '
    NR > 1 && $2 == tick + 1 { print ($1 - at) / 1e6 }
    NR > 1 && $2 != tick + 1 { restarts++ }
    { at = $1; tick = $2; if ($3 > top) top = $3 }
    END { print "restarts", restarts + 0; print "top", top + 0 }' | sort -g | awk '
    $1 == "restarts" { restarts = $2; next }
    $1 == "top" { top = $2; next }
    { v[++n] = $1; sum += $1 }
    END {
      if (n == 0) { printf "ticks=0 restarts=%d top_speed=%d", restarts, top; exit }
      med = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
      p99 = v[int(0.99 * n + 0.999999)]
      printf "ticks=%d mean_ms=%.3f median_ms=%.3f p99_ms=%.3f max_ms=%.3f restarts=%d top_speed=%d",
        n, sum / n, med, p99, v[n], restarts, top
    }')
fi
echo "$line"
