# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the browser tests. needs_site FILE [BROWSER] skips the test
# (exit 77), saying so, when FILE of the site, the browser (by default
# chromium) or puppeteer-core is missing;
# serve FOLDER serves FOLDER on a free port of this machine (port, server).
web_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

needs_site() {
  local browser=${2:-/usr/bin/chromium}
  if [ ! -f "$1" ] || [ ! -x "$browser" ] || [ ! -d "$web_tests/node_modules/puppeteer-core" ]; then
    echo "SKIP: needs the site (scripts/web.sh --build-only), $browser and npm ci in tests/web"
    exit 77
  fi
}

serve() {
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  python3 -m http.server "$port" --bind 127.0.0.1 --directory "$1" >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
    sleep 0.1
  done
}
