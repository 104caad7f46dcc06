#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One session, the same steps (same_session.txt) played through the window
# (offscreen, its Qt test) and through the page (headless chromium): the
# two recordings must be byte for byte the same, each look must read as the
# script says, and the page's download must replay natively to Exit.
#
#   same_session_test.sh SITE_DIR NATIVE_PROGRAM WINDOW_TEST
# Exit status 77 (skipped) when the site, chromium or puppeteer-core is
# missing.
set -euo pipefail
site=$1
native=$2
window_test=$3
source "$(dirname "$0")/serve.sh"
needs_site "$site/index.html"
out=$(mktemp -d)
serve "$site"
trap 'kill "$server" 2>/dev/null || true; rm -rf "$out"' EXIT

KESTRADA_SAME_SESSION_OUT="$out" QT_QPA_PLATFORM=offscreen "$window_test" >"$out/window.log" 2>&1 ||
  { cat "$out/window.log"; exit 1; }
KESTRADA_URL="http://127.0.0.1:$port/" node "$web_tests/same_session.js" "$web_tests/same_session.txt" "$out"

status=0
grep '^look ' "$web_tests/same_session.txt" | cut -c6- >"$out/script-looks.txt"
if ! cmp -s "$out/script-looks.txt" "$out/page-looks.txt"; then
  echo "FAIL: the page shows what the script does not say (script <, page >):"
  diff "$out/script-looks.txt" "$out/page-looks.txt" || true
  status=1
fi
for what in looks recording; do
  if ! cmp -s "$out/window-$what.txt" "$out/page-$what.txt"; then
    echo "FAIL: the window's and the page's $what differ (window <, page >):"
    diff "$out/window-$what.txt" "$out/page-$what.txt" || true
    status=1
  fi
done
summary=$("$native" --headless --input "$out/page-recording.txt") || status=1
case $summary in
*exited=true*) ;;
*) echo "FAIL: the page's download does not replay to its Exit: $summary"; status=1 ;;
esac
[ "$status" = 0 ] && echo "PASS: one session, byte for byte alike in the window and the page"
exit "$status"
