#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game heard through a real sound server: a private PulseAudio with a
# null sink, its monitor recorded, the game's window under Xvfb played by
# keys, then the recording checked against the game's tick log: jingle,
# music at tick 75, silence while paused, the music resumed where it stood,
# its loop, the crash sound; then the server is ended under the game.
#   real_sound_test.sh KESTRADA RECORDER CHECKER WAVE_DIR
# KESTRADA_SOUND_TEST_KEEP=DIR keeps the recording and the logs there.
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
cleanup() {
  xdotool keyup Up Right 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  if [ -n "${KESTRADA_SOUND_TEST_KEEP:-}" ]; then
    cp -r "$work"/. "$KESTRADA_SOUND_TEST_KEEP"/ 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
now() { "$checker" now; }
seconds_since() { echo $((($(now) - $1) / 1000000000)); }

# The sound server, private to this test, and its recording.
source "$(dirname "$0")/sound_server.sh"
start_sound_server "$work" "$recorder"

# A display and a window manager, for focus and keys as on a desktop.
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for ((i = 0; i < 100; i++)); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

data=$work/data
mkdir "$data"
cp "$waves"/Start.wav "$waves"/Crash.wav "$waves"/Kestrada.wav "$data"/
ln -s "$waves/pictures" "$data/pictures"
ticks=$work/ticks
QT_QPA_PLATFORM=xcb KESTRADA_TICK_LOG=$ticks "$game" --seed 1 --data-dir "$data" >"$work/game.log" 2>&1 &
game_pid=$!
pids+=($game_pid)
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$game_pid" | head -n 1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

tick_count() { tail -n 1 "$ticks" 2>/dev/null | awk '{ print $2 }'; }
wait_for_tick() {
  local started
  started=$(now)
  until [ "$(tick_count)" -ge "$1" ] 2>/dev/null; do
    [ "$(seconds_since "$started")" -lt 60 ] || { echo "real_sound_test: stuck before tick $1" >&2; exit 1; }
    sleep 0.05
  done
}

# Play: pause a few seconds into the music, resume, let it loop, crash.
wait_for_tick 150
echo "pause $(now)" >"$work/events"
xdotool key Escape
sleep 2
echo "unpause $(now)" >>"$work/events"
xdotool key Escape
music_seconds=$("$checker" seconds "$waves/Kestrada.wav")
wait_for_tick $((76 + (music_seconds + 3) * 25))
xdotool keydown Up Right
for ((i = 0; i < 300; i++)); do
  size=$(stat -c %s "$ticks")
  sleep 1
  [ "$size" = "$(stat -c %s "$ticks")" ] && break
done
xdotool keyup Up Right
sleep 1.5

# The server goes away under a new game: it plays on, and says so once.
# The recording ends with it.
xdotool key Return
sleep 1
kill "$sound_server_pid"
wait "$sound_server_pid" 2>/dev/null || true
stop_recording
sleep 2
if ! kill -0 "$game_pid" 2>/dev/null; then
  echo "the game ended when the sound server went away" >&2
  failed=1
fi
echo "game's stderr:"
sed 's/^/  /' "$work/game.log"
if [ "$(grep -c . "$work/game.log")" != 1 ] || ! grep -q '^kestrada: ' "$work/game.log"; then
  echo "the game should have said one line, its own, on stderr" >&2
  failed=1
fi

"$checker" "$waves" "$work/heard.wav" "$work/events" "$ticks" || failed=1
exit "${failed:-0}"
