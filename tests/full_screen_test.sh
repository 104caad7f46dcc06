#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The full-screen Qt test on a real X server with a window manager, once on
# a small screen and once on a large one.
#   full_screen_test.sh QTEST
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 QTEST" >&2; exit 2; }
qtest=$1
for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "full_screen_test: $tool is missing" >&2; exit 1; }
done

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT

for screen in 800x600 1920x1080; do
  display=:$((500 + RANDOM % 400))
  Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for ((i = 0; i < 100; i++)); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  echo "screen $screen"
  QT_QPA_PLATFORM=xcb KESTRADA_WINDOW_MANAGER=openbox "$qtest"
  cleanup
  pids=()
done
