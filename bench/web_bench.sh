#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The browser build's measures: builds the site and the node program,
# times a long game's slots in wasm (node) against the native program (CPU), then
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
python3 tests/web/generate_games.py "$native" "$work" 1 100000 >/dev/null
# CPU time per slot of a long game (user and system, so that other work on
# the machine does not count), less that of a one-slot run (start-up);
# median of 5.
slot_ns() {
  python3 - "$work" "$@" <<'PY'
import resource, statistics, subprocess, sys
work, command = sys.argv[1], sys.argv[2:]
def cpu(slots):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command + ["--headless", "--seed", "1234", "--slots", str(slots), "--input",
                              f"{work}/game00.txt", "--data-dir", work],
                   check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime + after.ru_stime) - (before.ru_utime + before.ru_stime)
print(round(statistics.median((cpu(100000) - cpu(1)) / 99999 * 1e9 for _ in range(5))))
PY
}
echo "| CPU time a slot of a 100000-slot game, native (median of 5) | $(slot_ns "$native") ns |"
echo "| the same in wasm under node | $(slot_ns node --no-experimental-fetch build/web/kestrada-headless.js) ns |"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site >/dev/null 2>&1 &
server=$!
sleep 1
KESTRADA_URL="http://127.0.0.1:$port/" node bench/web_bench.js
