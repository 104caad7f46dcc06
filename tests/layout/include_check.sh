#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layout holds: no toolkit, controller or browser header outside the
# front ends, and no folder includes one on a floor above it. The floors,
# from the ground up: the shared rules and the sound engine; the game's
# rules; the player's files and the scene; the session (a game, its
# recording and its replay); the hall of fame; the world client; the
# played session; the front ends on top.
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

floors=(
    "shared_rules sound"
    "app tick traffic weapons hazards"
    "storage scene"
    "session"
    "halloffame"
    "world"
    "play"
    "headless server desktop web"
)

libraries="src/numeric.h"
for ((floor = 0; floor < ${#floors[@]} - 1; ++floor)); do
    for folder in ${floors[floor]}; do
        libraries+=" src/$folder"
    done
done
forbid "$libraries" '#include <(Q[A-Za-z]+|SDL[^>]*|emscripten[^>]*)>' \
    "toolkit, controller or browser headers outside the front ends"

for ((floor = 0; floor < ${#floors[@]} - 1; ++floor)); do
    above=""
    for ((higher = floor + 1; higher < ${#floors[@]}; ++higher)); do
        above+="${above:+ }${floors[higher]}"
    done
    pattern="#include \"(${above// /|})/"
    for folder in ${floors[floor]}; do
        forbid "src/$folder" "$pattern" "src/$folder including a floor above it"
    done
done

# Beside one another on a floor: the shared rules stand on nothing of the
# game, the scene draws without the files or the sound.
forbid "src/shared_rules" '#include "(sound|app|tick|traffic|weapons|hazards)/' \
    "the shared rules including the game"
forbid "src/sound" '#include "(shared_rules|app|tick|traffic|weapons|hazards)/' \
    "the sound engine including the game"
forbid "src/scene" '#include "(storage|sound)/' "the scene including the files or the sound"
forbid "src/storage" '#include "scene/' "the player's files including the scene"
# The front ends: the headless runner and the server replay recordings and
# need no world client and no played session; the server keeps no local
# table either, and none of them includes another.
forbid "src/headless" '#include "(world|play|server|desktop|web)/' \
    "the headless program including the world client, the played session or another front end"
forbid "src/server" '#include "(scene|halloffame|world|play|headless|desktop|web)/' \
    "the server including more than the session and the shared rules"
forbid "src/desktop src/web" '#include "server/' "a player's front end including the server"
exit $status
