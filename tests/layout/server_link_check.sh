#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# kestrada-server replays recordings and keeps the shared table: it links
# the session and the shared rules (and what they stand on), never the
# world client, the hall of fame and its panel, the played session or the
# scene. Read twice: from the build's own link command, and from the
# program's symbols, so a library that slips in either way is seen.
# Usage: server_link_check.sh BUILD_DIR SERVER_PROGRAM
set -u
build=$1
program=$2
status=0
banned='kestrada_(world|halloffame|play|scene|headless_runner|desktop|sound)'

if [ -f "$build/build.ninja" ]; then
    link=$(awk '/^build [^:]*kestrada-server:/ { found = 1 } found && /LINK_LIBRARIES/ { print; exit }' \
        "$build/build.ninja")
elif [ -f "$build/CMakeFiles/kestrada-server.dir/link.txt" ]; then
    link=$(cat "$build/CMakeFiles/kestrada-server.dir/link.txt")
else
    link=""
fi
if [ -z "$link" ]; then
    echo "no link command for kestrada-server under $build"
    status=1
elif grep -qE "lib$banned\\.a" <<<"$link"; then
    echo "kestrada-server links: $(grep -oE "lib$banned\\.a" <<<"$link" | sort -u | tr '\n' ' ')"
    status=1
fi

# Names only those libraries define.
symbols=$(nm -C "$program" 2>/dev/null)
if [ -z "$symbols" ]; then
    echo "no symbols read from $program"
    status=1
fi
found=$(grep -oE 'kestrada::(scene|desktop|web)::[A-Za-z_]+|kestrada::session::(HallOfFamePanel|HallOfFameWorld|WorldOutbox|WorldRecords|WorldBoard|RunChecks|Play|InputPolicy|keepGame|verifyEntry)\b' \
    <<<"$symbols" | sort -u)
if [ -n "$found" ]; then
    printf 'kestrada-server holds code it must not link:\n%s\n' "$found"
    status=1
fi
exit $status
