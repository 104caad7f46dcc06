# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced: starts a private PulseAudio with one null sink "k" under
# $1/run, and a recorder of its monitor into $1/heard.wav (with
# heard.wav.start beside it). Appends their process ids to the array
# `pids`, for the caller's trap to end, and sets sound_server_pid and
# recorder_pid. Needs the recorder in $2.
start_sound_server() {
  local work=$1 recorder=$2
  if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "no pulseaudio or pactl: scripts/install-deps.sh installs them" >&2
    return 1
  fi
  export XDG_RUNTIME_DIR=$work/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --load="module-null-sink sink_name=k" --load=module-native-protocol-unix \
    >"$work/pulseaudio.log" 2>&1 &
  sound_server_pid=$!
  pids+=($sound_server_pid)
  local i
  for ((i = 0; i < 100; i++)); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  # All its threads real-time where allowed, as a desktop's sound server's
  # audio path runs: on a loaded machine a server left to share the CPU
  # plays holes of 20 to 160 ms into a stream, whatever the game does
  # (measured here with both cores busy and builds running beside).
  local thread
  for thread in /proc/"$sound_server_pid"/task/*; do
    chrt -p -r 20 "${thread##*/}" >/dev/null 2>&1 || true
  done
  if ! pactl info >/dev/null 2>&1; then
    echo "the sound server did not start:" >&2
    cat "$work/pulseaudio.log" >&2
    return 1
  fi
  "$recorder" k.monitor "$work/heard.wav" &
  recorder_pid=$!
  pids+=($recorder_pid)
  # Recording before anything plays: a loaded machine can take seconds.
  for ((i = 0; i < 200; i++)); do [ -e "$work/heard.wav.ready" ] && break; sleep 0.05; done
  if [ ! -e "$work/heard.wav.ready" ]; then
    echo "the recorder did not start" >&2
    return 1
  fi
}

# Ends the recording, so that heard.wav is whole.
stop_recording() {
  kill "$recorder_pid" 2>/dev/null || true
  wait "$recorder_pid" 2>/dev/null || true
}
