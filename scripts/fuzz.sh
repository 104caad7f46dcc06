#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the high-score reader, the hall-of-fame reader, the headless
# input-file reader and the server's parameters with libFuzzer, each for a
# bounded time (default 60 s), starting from the kept corpus in
# tests/fuzz-corpus/<target>/.
#
#   scripts/fuzz.sh [seconds] [--keep]
#
# --keep merges inputs that reach new code back into the kept corpus, so
# the ordinary test build replays them from then on. A crash stops the run
# and leaves the input under <build>/artifacts/.
# KESTRADA_FUZZ_BUILD_DIR chooses the build folder (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
keep=0
for arg in "$@"; do
  case "$arg" in
    --keep) keep=1 ;;
    ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [seconds] [--keep]" >&2; exit 2 ;;
    *) seconds=$arg ;;
  esac
done

build=${KESTRADA_FUZZ_BUILD_DIR:-build/fuzz}
targets=(high_score_fuzz hall_of_fame_fuzz input_file_fuzz server_params_fuzz)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DKESTRADA_WERROR=ON -DKESTRADA_FUZZ=ON \
  -DKESTRADA_WITH_DESKTOP=OFF -DKESTRADA_WITH_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  kept=tests/fuzz-corpus/$target
  work=$build/corpus/$target
  mkdir -p "$kept" "$work"
  dict=()
  if [ -f "fuzz/${target%_fuzz}.dict" ]; then dict=(-dict="fuzz/${target%_fuzz}.dict"); fi
  log=$build/$target.log
  # New finds go to the work folder; the kept corpus is only read.
  if ! "$build/fuzz/$target" "$work" "$kept" "${dict[@]}" -max_total_time="$seconds" \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$target: FAILED, input kept under $build/artifacts/ (log: $log)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $runs runs in ${seconds} s, no fault; working corpus $(ls "$work" | wc -l) inputs"
  if [ "$keep" = 1 ]; then
    "$build/fuzz/$target" -merge=1 "$kept" "$work" "${dict[@]}" >>"$log" 2>&1
    echo "$target: kept corpus now $(ls "$kept" | wc -l) inputs"
  fi
done
