#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the game (installing only what building and playing need: no test
# tools) and starts it. Any arguments go to the game, e.g. scripts/run.sh --seed 42
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --play
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=OFF -DKESTRADA_WITH_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target kestrada
exec build/release/bin/kestrada "$@"
