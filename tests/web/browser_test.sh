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
source "$(dirname "$0")/serve.sh"
needs_site "$site/index.html"
serve "$site"
trap 'kill "$server" 2>/dev/null || true' EXIT
cd "$web_tests"
KESTRADA_URL="http://127.0.0.1:$port/" KESTRADA_NATIVE="$native" node --test page.test.js touch.test.js
