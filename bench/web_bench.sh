#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build's measures: builds the site and the node program,
# times a long game's slots in wasm (node) against the native program, then
# serves the site and measures the page in headless chromium
# (bench/web_bench.js). Figures, not pass or fail.
#   KESTRADA_BENCH_REPS (default 5), KESTRADA_BENCH_SECONDS (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/web.sh --build-only >/dev/null
cmake --build build/web-tools --target kestrada_headless >/dev/null
native=build/web-tools/bin/kestrada_headless

work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${server:-}" ] && kill "$server" 2>/dev/null' EXIT
python3 tests/web/generate_games.py "$native" "$work" 1 20000 >/dev/null
# One run's time per slot, less the time of a one-slot run (start-up).
run_ns() {
  local start end
  start=$(date +%s%N)
  "${@:2}" --headless --seed 1234 --slots "$1" --input "$work/game00.txt" --data-dir "$work" >/dev/null
  end=$(date +%s%N)
  echo $((end - start))
}
slots() {
  local times=""
  for _ in 1 2 3 4 5; do
    times="$times $(( ($(run_ns 20000 "$@") - $(run_ns 1 "$@")) / 19999 ))"
  done
  echo "$times" | tr ' ' '\n' | sed '/^$/d' | sort -n | sed -n 3p
}
echo "| slot of a 20000-slot game, native (median of 5) | $(slots "$native") ns |"
echo "| the same in wasm under node | $(slots node --no-experimental-fetch build/web/kestrada-headless.js) ns |"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site >/dev/null 2>&1 &
server=$!
sleep 1
KESTRADA_URL="http://127.0.0.1:$port/" node bench/web_bench.js
