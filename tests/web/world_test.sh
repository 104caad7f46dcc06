#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The page served by a real kestrada-server on loopback, with a SQLite
# database in a scratch folder: world.test.js in headless chromium.
#
#   world_test.sh SITE_DIR SERVER_PROGRAM [SCREENSHOT_DIR]
# Exit status 77 (skipped) when the site, chromium, puppeteer-core or the
# server is missing.
set -euo pipefail
site=$1
program=$2
shots=${3:-}
[ -n "$shots" ] && mkdir -p "$shots"
source "$(dirname "$0")/serve.sh"
needs_site "$site/index.html"
if [ ! -x "$program" ]; then
  echo "SKIP: kestrada-server is not built"
  exit 77
fi
work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
"$program" --listen 127.0.0.1:0 --database "sqlite:$work/world.sqlite" --site "$site" \
  --workers 1 >"$work/out" 2>"$work/err" &
server=$!
url=
for _ in $(seq 100); do
  url=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/out" || true)
  [ -n "$url" ] && break
  sleep 0.1
done
if [ -z "$url" ]; then
  echo "kestrada-server did not start:" >&2
  cat "$work/err" >&2
  exit 1
fi
cd "$web_tests"
status=0
KESTRADA_URL="$url/" KESTRADA_SCREENSHOTS="$shots" node --test world.test.js || status=$?
if [ "$status" -ne 0 ]; then
  # What the server saw, for a failure that happened on a busy machine.
  echo "--- kestrada-server's log"
  tail -n 60 "$work/out" "$work/err"
fi
exit "$status"
