#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The site as an installed app in headless chromium (offline.test.js):
# kept for play offline, installable, and updated whole. The server serves
# the folder a link points at, which the test moves: the site, a second
# build of it (the same files under another hash, as a new build would lay
# them out), or an empty folder, as a server with nothing on it.
#
#   offline_test.sh SITE_DIR
# Exit status 77 (skipped) when the site, chromium or puppeteer-core is
# missing.
set -euo pipefail
site=$1
source "$(dirname "$0")/serve.sh"
needs_site "$site/service-worker.js"
sites=$(mktemp -d)
first=$(sed -n "s/^const kBuild = '\([0-9a-f]*\)';$/\1/p" "$site/service-worker.js")
second=$(echo "$first second" | sha256sum | cut -c1-16)
cp -r "$site" "$sites/$first"
cp -r "$site" "$sites/$second"
for file in "$sites/$second"/*-"$first".*; do
  mv "$file" "${file/$first/$second}"
done
sed -i "s/$first/$second/g" "$sites/$second"/*.js "$sites/$second"/index.html
# The server answers a browser's If-Modified-Since by the files' times, to
# the second: the first build is made the older, as it would be.
find "$sites/$first" -type f -exec touch -d '1 hour ago' {} +
mkdir "$sites/none"
ln -s "$sites/$first" "$sites/served"
serve "$sites/served"
trap 'kill "$server" 2>/dev/null || true; rm -rf "$sites"' EXIT
cd "$web_tests"
KESTRADA_URL="http://127.0.0.1:$port/" KESTRADA_SITES="$sites" KESTRADA_BUILDS="$first $second" \
  node --test offline.test.js
