#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The page on a slow phone (bench/phone_bench.js): builds the site, serves
# it, and measures it in headless chromium at 1×, 4× and 6× CPU slow-down
# (or the rates given). Figures, not pass or fail; measure on a machine as
# idle as can be, the load average is printed beside each row. --ghost
# adds a row a rate with a raced run's ghost beside the player.
#   bench/phone_bench.sh [--ghost] [RATE...]    KESTRADA_BENCH_SECONDS (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/web.sh --build-only >/dev/null
source tests/web/serve.sh
serve build/web/site
trap 'kill "$server" 2>/dev/null || true' EXIT
rates=("$@")
[ ${#rates[@]} -gt 0 ] && [ "${rates[*]}" != "--ghost" ] || rates+=(1 4 6)
KESTRADA_URL="http://127.0.0.1:$port/" node bench/phone_bench.js "${KESTRADA_BENCH_SECONDS:-5}" "${rates[@]}"
