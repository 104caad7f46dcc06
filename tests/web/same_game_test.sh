#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The same rules through two compilers: the native headless program and the
# one built for node must write byte-identical traces, summary lines,
# messages and high-score files for the end-to-end inputs and for twenty
# generated games of 5000 slots.
#
#   same_game_test.sh NATIVE_PROGRAM NODE_PROGRAM.js
# Exit status 77 (skipped) when the node program or node is missing.
set -euo pipefail
native=$1
web=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$web" ] || ! command -v node >/dev/null; then
  echo "SKIP: $web or node missing (scripts/web.sh --build-only builds it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# Runs one game on both sides, each in a data folder of its own.
compare() {
  local name=$1
  shift
  local side
  for side in native web; do
    mkdir -p "$work/$name/$side"
  done
  local status_native=0 status_web=0
  "$native" --headless "$@" --data-dir "$work/$name/native" --trace "$work/$name/native/trace" \
    >"$work/$name/native/out" 2>"$work/$name/native/err" || status_native=$?
  node --no-experimental-fetch "$web" --headless "$@" --data-dir "$work/$name/web" \
    --trace "$work/$name/web/trace" >"$work/$name/web/out" 2>"$work/$name/web/err" || status_web=$?
  if [ "$status_native" != "$status_web" ]; then
    echo "FAIL $name: exit status $status_native native, $status_web node"
    failures=$((failures + 1))
    return
  fi
  if ! diff -r "$work/$name/native" "$work/$name/web" >"$work/$name.diff"; then
    echo "FAIL $name: the two builds differ:"
    head -c 2000 "$work/$name.diff"
    failures=$((failures + 1))
    return
  fi
  echo "same $name: $(cat "$work/$name/native/out")"
}

for input in "$here"/../headless/inputs/*.txt; do
  for seed in 3 42; do
    compare "$(basename "$input" .txt)-$seed" --seed "$seed" --slots 6000 --input "$input"
  done
done
# A bad input file gives the same message and status on both sides.
printf '1 down Up\n2 sideways Up\n' >"$work/bad.txt"
compare bad-input --input "$work/bad.txt"

mkdir -p "$work/games"
python3 "$here/generate_games.py" "$native" "$work/games" 20 5000
for input in "$work"/games/game*.txt; do
  compare "$(basename "$input" .txt)" --seed 1234 --slots 5000 --input "$input"
done

# The games must still reach what they are meant to cover, or a rules
# change has quietly made this test weaker.
traces=("$work"/game*/native/trace)
covered() {
  if ! grep -q "$1" "${traces[@]}"; then
    echo "FAIL: no generated game covers $2"
    failures=$((failures + 1))
  fi
}
covered '"imgHog":\[[^]]*true' "the road hog"
covered '"GameOver":true' "a crash"
covered '"Paused":true' "a pause"
covered '"imgMissileGo":\[[^]]*true' "a missile"
covered '"ShowMine":\[[^]]*true' "mines"
covered '"mnuMusic":false' "the music switch"
grep -q "exited=true" "$work"/game*/native/out || { echo "FAIL: no game exits"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all games the same on both builds"
[ "$failures" -eq 0 ]
