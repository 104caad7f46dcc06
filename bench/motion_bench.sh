#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Motion as a player sees it, smoothing on and off: the window under Xvfb
# with openbox, grabbed by ffmpeg at 60 frames a second, and the page in
# headless chromium, its canvas sampled at every animation frame. Both
# drive onto the road up to top speed first. For each, one line from
# bench/motion_frames.py (updates a second, evenness of the dashes'
# movement), for the window its CPU use while grabbed, and for the page the
# time from pressing Up with the car standing to the first frame that moves.
#   bench/motion_bench.sh [KESTRADA] (default build/dev/bin/kestrada; the
#   page from build/web/site, made by scripts/web.sh --build-only)
# Needs Xvfb, openbox, xdotool, ffmpeg, chromium. Figures, not pass or fail.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/dev/bin/kestrada}")
seconds=3
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

speed() { tail -n 1 "$work/ticks" 2>/dev/null | awk '{ print $3 + 0 }'; }
wait_speed() {
  for _ in $(seq 200); do
    [ "$(speed)" -ge "$1" ] && return 0
    sleep 0.1
  done
  echo "motion_bench: the car never reached speed $1" >&2
  return 1
}

# window LABEL ARGS...: one grabbed drive in the window.
window() {
  local label=$1 display=:$((40 + RANDOM % 50))
  shift
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  DISPLAY=$display openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  rm -f "$work/ticks"
  DISPLAY=$display XDG_CONFIG_HOME=$work/config KESTRADA_TICK_LOG=$work/ticks \
    "$program" --seed 7 --data-dir "$work" "$@" >/dev/null 2>&1 &
  local game=$!
  pids+=($game)
  local id
  id=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --pid "$game" | head -n 1)
  sleep 1
  DISPLAY=$display xdotool mousemove --window "$id" 100 300 windowfocus "$id" keydown Up
  wait_speed 5
  DISPLAY=$display xdotool keydown Left sleep 0.28 keyup Left
  wait_speed 25
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$id")"
  local before after
  before=$(awk '{ print $14 + $15 }' "/proc/$game/stat")
  ffmpeg -loglevel error -f x11grab -framerate 60 -video_size "${WIDTH}x${HEIGHT}" \
    -i "$display+$X,$Y" -t "$seconds" -f rawvideo -pix_fmt gray -y "$work/grab.raw"
  after=$(awk '{ print $14 + $15 }' "/proc/$game/stat")
  local cpu
  cpu=$(awk -v d=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.0f", 1000 * d / hz / s }')
  [ -z "${KESTRADA_MOTION_KEEP:-}" ] || cp "$work/grab.raw" "$KESTRADA_MOTION_KEEP/$label-${WIDTH}x${HEIGHT}.raw"
  echo "window $label: $(python3 bench/motion_frames.py raw "$WIDTH" "$HEIGHT" "$seconds" \
    <"$work/grab.raw") cpu_ms_per_s=$cpu"
  DISPLAY=$display xdotool keyup Up
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
}

window smooth --smoothing
window steps --no-smoothing

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site >/dev/null 2>&1 &
pids+=($!)
sleep 1
for run in "smooth:" "steps:&smoothing=0"; do
  KESTRADA_URL="http://127.0.0.1:$port/" node bench/motion_page.js "${run#*:}" "$seconds" \
    >"$work/page.jsonl"
  echo "page ${run%%:*}: $(python3 bench/motion_frames.py json "$seconds" <"$work/page.jsonl")"
  echo "page ${run%%:*} key to frame: $(KESTRADA_URL="http://127.0.0.1:$port/" \
    node bench/motion_latency.js "${run#*:}")"
done
