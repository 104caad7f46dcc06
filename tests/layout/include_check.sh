#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layout holds: no toolkit, controller or browser header outside the
# front ends, and no folder includes one above it (the rules under the
# storage, the storage under the session and the scene, the sound engine
# under everything, the front ends on top).
set -u
cd "$(dirname "$0")/../.."
status=0

# forbid FOLDERS PATTERN WHY
forbid() {
    local hits
    hits=$(grep -rnE --include='*.h' --include='*.cpp' "$2" $1 2>/dev/null)
    if [ -n "$hits" ]; then
        printf '%s:\n%s\n' "$3" "$hits"
        status=1
    fi
}

rules="src/app src/tick src/traffic src/weapons src/hazards src/numeric.h"
libraries="src/shared_rules $rules src/storage src/session src/sound src/scene"
forbid "$libraries src/headless" '#include <(Q[A-Za-z]+|SDL[^>]*|emscripten[^>]*)>' \
    "toolkit, controller or browser headers outside the front ends"
forbid "src/shared_rules" '#include "(app|tick|traffic|weapons|hazards|storage|session|scene|sound|server|desktop|headless|web)/' \
    "the shared rules including the game"
forbid "src/shared_rules" '#include <unicode/' "ICU in the shared rules: the page has none"
forbid "$rules" '#include "(storage|session|desktop|headless|web)/' "rules including what stands on them"
forbid "src/storage" '#include "(session|desktop|headless|web)/' "the storage including what stands on it"
forbid "src/session" '#include "(desktop|headless|web)/' "the session including a front end"
forbid "src/sound" '#include "(app|tick|traffic|weapons|hazards|storage|session|desktop|headless|web)/' \
    "the sound engine including what stands on it"
forbid "src/scene" '#include "(session|sound|desktop|headless|web)/' "the scene including what stands beside or on it"
forbid "src/headless" '#include "(desktop|web)/' "the headless program including another front end"
exit $status
