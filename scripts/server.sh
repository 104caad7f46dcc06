#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds kestrada-server and starts it; the arguments go to the server:
#
#   scripts/server.sh                          SQLite in ~/.local/share/kestrada
#   scripts/server.sh --site build/web/site    the page too (scripts/web.sh --build-only)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --server
cmake -S . -B build/server -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKESTRADA_WITH_DESKTOP=OFF -DKESTRADA_WITH_SERVER=ON >/dev/null
cmake --build build/server --target kestrada-server
exec build/server/bin/kestrada-server "$@"
