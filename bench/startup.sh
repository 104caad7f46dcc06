#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up side by side: launches the game and the bare window in turn,
# REPS times each, alternating which goes first, on whatever Qt platform the
# environment selects. One line per launch:
#   <label> game|bare startup_ms=<ms> maxrss_kb=<kB> cpu_ms=<ms>
#
#   bench/startup.sh LABEL REPS PROBE GAME BARE
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: bench/startup.sh LABEL REPS PROBE GAME BARE" >&2; exit 2; }
label=$1 reps=$2 probe=$3 game=$4 bare=$5

launch() {
  local name=$1
  shift
  local line
  if ! line=$("$probe" "$@" 2>>"${KESTRADA_BENCH_LOG:-/dev/null}"); then
    echo "bench/startup.sh: $name did not report a first frame" >&2
    exit 1
  fi
  echo "$label $name $line"
}

for ((i = 0; i < reps; i++)); do
  if ((i % 2 == 0)); then
    launch game "$game" --seed 1
    launch bare "$bare"
  else
    launch bare "$bare"
    launch game "$game" --seed 1
  fi
done
