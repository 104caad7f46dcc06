#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the project needs. Idempotent: packages
# already present are not fetched again.
#
#   scripts/install-deps.sh          everything: build, play, test, bench
#   scripts/install-deps.sh --play   only what building and playing need
#   scripts/install-deps.sh --server what building and playing need, and the server
set -euo pipefail

play=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libqt6svg6 libqt6multimedia6
  libgl-dev
  libsndfile1-dev
  libsdl2-dev
  fonts-dejavu-core fonts-liberation2 fonts-comic-neue
)
# kestrada-server, the shared hall of fame.
server=(
  libboost-dev libsqlite3-dev libpq-dev libssl-dev nlohmann-json3-dev
)
# The server's tests speak to it with cpp-httplib, put nginx in front of it
# and attack it with slowhttptest; its bench runs wrk.
tests=(
  "${server[@]}" libcpp-httplib-dev postgresql sqlite3 curl nginx slowhttptest wrk openssl
  libpulse-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-dev ccache python3
  xvfb xauth
  desktop-file-utils appstream dpkg-dev file
  pulseaudio-utils openbox xdotool
  emscripten nodejs node-acorn chromium firefox-esr python3
)

packages=("${play[@]}")
if [ "${1:-}" = "--server" ]; then
  packages+=("${server[@]}")
elif [ "${1:-}" != "--play" ]; then
  packages+=("${tests[@]}")
  # The sound test runs a private PulseAudio server. A PipeWire desktop keeps
  # its own server: a second one there would fight it for the user's sound.
  if ! dpkg-query -W -f='${Status}' pipewire-pulse 2>/dev/null | grep -q "install ok installed"; then
    packages+=(pulseaudio)
  fi
fi

# The page's browser tests drive chromium and firefox-esr with
# puppeteer-core, pinned by tests/web/package-lock.json (puppeteer-core
# only: it downloads no browser). Installed again when the lock file is
# newer than what was installed.
web_tests() {
  [ "${1:-}" = "--play" ] || [ "${1:-}" = "--server" ] && return 0
  if ! command -v npm >/dev/null; then
    $sudo apt-get install -y -qq --no-install-recommends npm
  fi
  if [ ! -d tests/web/node_modules/puppeteer-core ] ||
    [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
  fi
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
cd "$(dirname "$0")/.."

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
web_tests "${1:-}"
