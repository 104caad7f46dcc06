#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The page's tests in headless chromium (page.test.js, touch.test.js), against the site
# built by scripts/web.sh, served on a port of its own for the run.
#
#   browser_test.sh SITE_DIR NATIVE_PROGRAM
# Exit status 77 (skipped) when the site, chromium or puppeteer-core is
# missing.
set -euo pipefail
site=$1
native=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$site/kestrada.wasm" ] || [ ! -x /usr/bin/chromium ] ||
  [ ! -d "$here/node_modules/puppeteer-core" ]; then
  echo "SKIP: needs the site (scripts/web.sh --build-only), chromium and npm ci in tests/web"
  exit 77
fi
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.1
done
cd "$here"
KESTRADA_URL="http://127.0.0.1:$port/" KESTRADA_NATIVE="$native" node --test page.test.js touch.test.js
