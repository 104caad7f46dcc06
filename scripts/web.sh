#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the browser build with Emscripten into build/web (or the folder
# KESTRADA_WEB_BUILD_DIR names, which the native build's web tests then
# need too): the page in site/ and the headless program for node,
# kestrada-headless.js. Then serves the page at http://127.0.0.1:8000/
# until stopped (Ctrl+C).
#
#   scripts/web.sh               build and serve
#   scripts/web.sh --build-only  build only
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=false
if [ "${1:-}" = "--build-only" ]; then
  build_only=true
fi
build=${KESTRADA_WEB_BUILD_DIR:-build/web}

# emcc runs on node and needs acorn, which Debian keeps in /usr/share/nodejs;
# a node that is not Debian's own does not look there.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The sounds and the app's icons come from native tools.
cmake -S . -B build/web-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKESTRADA_WITH_DESKTOP=OFF -DKESTRADA_WITH_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/web-tools -j"$(nproc)" \
  --target kestrada_synth kestrada_encode_ogg kestrada_render_icon
emcmake cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRADA_WERROR=ON \
  -DKESTRADA_WEB_TOOLS="$PWD/build/web-tools/tools" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

if $build_only; then
  exit 0
fi
echo "Kestrada is at http://127.0.0.1:8000/ (Ctrl+C stops the server)"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory "$build/site"
