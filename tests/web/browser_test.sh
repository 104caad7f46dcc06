#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The page's tests in a headless browser, against the site built by
# scripts/web.sh, served on a port of its own for the run: in chromium
# page.test.js and touch.test.js, in firefox-esr (over WebDriver BiDi)
# page.test.js.
#
#   browser_test.sh SITE_DIR NATIVE_PROGRAM [chromium|firefox]
# Exit status 77 (skipped) when the site, the browser or puppeteer-core is
# missing.
set -euo pipefail
site=$1
native=$2
engine=${3:-chromium}
source "$(dirname "$0")/serve.sh"
if [ "$engine" = firefox ]; then
  needs_site "$site/index.html" /usr/bin/firefox-esr
  tests=(page.test.js)
  # No sound server for it: the page must start the game silent.
  export PULSE_SERVER=unix:/nonexistent
else
  needs_site "$site/index.html"
  tests=(page.test.js touch.test.js)
fi
serve "$site"
trap 'kill "$server" 2>/dev/null || true' EXIT
cd "$web_tests"
KESTRADA_BROWSER="$engine" KESTRADA_URL="http://127.0.0.1:$port/" KESTRADA_NATIVE="$native" \
  node --test "${tests[@]}"
