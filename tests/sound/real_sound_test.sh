#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game heard through a real sound server: a private PulseAudio with a
# null sink, its monitor recorded, the game's window under Xvfb played by
# keys, then the recording checked against the game's own logs (its play
# calls and its ticks). Played twice: with no window manager and both
# cores kept busy (jingle whole, music after it, its loop, the crash), then
# with a window manager on an idle machine, the whole round (also silence
# while paused, the music resumed where it stood, and the server ended
# under the game, which must play on).
#   real_sound_test.sh KESTRADA RECORDER CHECKER WAVE_DIR
# KESTRADA_SOUND_TEST_KEEP=DIR keeps the recordings and the logs there;
# KESTRADA_SOUND_TEST_PLAYS="NAME:MANAGER:BUSY:ROUND ..." plays other rounds
# (MANAGER openbox or none, BUSY busy or idle, ROUND whole or short).
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 KESTRADA RECORDER CHECKER WAVE_DIR" >&2; exit 2; }
game=$1 recorder=$2 checker=$3 waves=$4

for tool in Xvfb openbox xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "real_sound_test: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
pids=()
# Ends the processes started since the array held $1 of them, newest first.
end_from() {
  local i
  for ((i = ${#pids[@]} - 1; i >= $1; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
    unset 'pids[i]'
  done
}
cleanup() {
  xdotool keyup Up Right 2>/dev/null || true
  end_from 0
  if [ -n "${KESTRADA_SOUND_TEST_KEEP:-}" ]; then
    cp -r "$work"/. "$KESTRADA_SOUND_TEST_KEEP"/ 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
now() { "$checker" now; }
seconds_since() { echo $((($(now) - $1) / 1000000000)); }
source "$(dirname "$0")/sound_server.sh"

# A display of its own, on a number Xvfb finds free.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for ((i = 0; i < 100; i++)); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
for ((i = 0; i < 100; i++)); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

music_seconds=$("$checker" seconds "$waves/Kestrada.wav")
failed=0

# play NAME WINDOW_MANAGER BUSY ROUND: one game in a fresh sound server and
# data folder, with or without openbox, with or without two busy loops,
# the short round or the whole one ("whole": pause, server ended).
play() {
  local name=$1 manager=$2 busy=$3 round=$4
  local dir=$work/$name first=${#pids[@]}
  mkdir "$dir"
  echo "== $name"
  start_sound_server "$dir" "$recorder"
  if [ "$manager" = openbox ]; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
  fi
  local loops=()
  if [ "$busy" = busy ]; then
    for _ in 1 2; do
      timeout 300 yes >/dev/null &
      loops+=($!)
      pids+=($!)
    done
  fi
  mkdir "$dir/data"
  cp "$waves"/Start.wav "$waves"/Crash.wav "$waves"/Kestrada.wav "$dir/data"/
  ln -s "$waves/pictures" "$dir/data/pictures"
  ticks=$dir/ticks
  QT_QPA_PLATFORM=xcb KESTRADA_TICK_LOG=$ticks KESTRADA_SOUND_LOG=$dir/starts \
    "$game" --seed 1 --data-dir "$dir/data" >"$dir/game.log" 2>&1 &
  local game_pid=$!
  pids+=($game_pid)
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$game_pid" | head -n 1)
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

  local events=()
  if [ "$round" = whole ]; then
    # Pause a few seconds into the music, resume.
    wait_for_tick 150
    echo "pause $(now)" >"$dir/events"
    xdotool key Escape
    sleep 2
    echo "unpause $(now)" >>"$dir/events"
    xdotool key Escape
    events=("$dir/events")
  fi
  # Let the music loop, then crash.
  wait_for_tick $((76 + (music_seconds + 2) * 25))
  xdotool keydown Up Right
  for ((i = 0; i < 300; i++)); do
    size=$(stat -c %s "$ticks")
    sleep 1
    [ "$size" = "$(stat -c %s "$ticks")" ] && break
  done
  xdotool keyup Up Right
  sleep 1.5

  local said=0
  if [ "$round" = whole ]; then
    # The server goes away under a new game: it plays on, and says so once.
    # The recording ends with it.
    xdotool key Return
    sleep 1
    kill "$sound_server_pid"
    wait "$sound_server_pid" 2>/dev/null || true
    stop_recording
    sleep 2
    said=1
  else
    stop_recording
  fi
  if ! kill -0 "$game_pid" 2>/dev/null; then
    echo "the game ended early" >&2
    failed=1
  fi
  for loop in "${loops[@]}"; do
    kill "$loop" 2>/dev/null || true
  done
  echo "game's stderr:"
  sed 's/^/  /' "$dir/game.log"
  local lines
  lines=$(grep -c . "$dir/game.log" || true)
  if [ "$lines" != "$said" ] || { [ "$said" = 1 ] && ! grep -q '^kestrada: ' "$dir/game.log"; }; then
    echo "the game should have said $said line(s), its own, on stderr" >&2
    failed=1
  fi
  end_from "$first"
  "$checker" "$waves" "$dir/heard.wav" "$dir/starts" "$ticks" "${events[@]}" || failed=1
}

tick_count() { tail -n 1 "$ticks" 2>/dev/null | awk '{ print $2 }'; }
wait_for_tick() {
  local started
  started=$(now)
  until [ "$(tick_count)" -ge "$1" ] 2>/dev/null; do
    [ "$(seconds_since "$started")" -lt 120 ] || { echo "real_sound_test: stuck before tick $1" >&2; exit 1; }
    sleep 0.05
  done
}

for round in ${KESTRADA_SOUND_TEST_PLAYS:-bare-busy:none:busy:short openbox-idle:openbox:idle:whole}; do
  IFS=: read -r -a settings <<<"$round"
  play "${settings[@]}"
done
exit "$failed"
