#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the game into a scratch prefix and uses it as a player would:
# the file list, the desktop entry and AppStream data, the icons, where the
# high score lands, that the window finds its pictures and sounds, that the
# tree can be moved, and the Debian package.
# Usage: tests/install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
id=io.github.kestrada.Kestrada
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# A player's home with nothing in it; the game must not look elsewhere.
export HOME=$scratch/home
unset XDG_DATA_HOME
mkdir -p "$HOME"
user_score=$HOME/.local/share/kestrada/Kestrada.txt

DESTDIR=$scratch/root cmake --install "$build" --prefix /usr >/dev/null
prefix=$scratch/root/usr

# --- what is installed ------------------------------------------------------
# The server is installed only by a build that has it.
expected_files() {
    if [ -x "$build/bin/kestrada-server" ]; then
        grep -v '^#' "$source/tests/install_files.txt" | sort
    else
        grep -v -e '^#' -e 'kestrada-server' "$source/tests/install_files.txt" | sort
    fi
}
if diff <(expected_files) \
        <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort); then
    pass "installed files match tests/install_files.txt"
else
    fail "installed files differ from tests/install_files.txt (< expected, > installed)"
fi
out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) &&
    [ -z "$out" ] && pass "desktop-file-validate" || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) &&
    ! grep -qE '^[EW]:' <<<"$out" && pass "appstreamcli validate" ||
    fail "appstreamcli validate: $out"
for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    # Width and height are the big-endian words at bytes 16 and 20.
    read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$png")
    [ "$w $h" = "$size $size" ] || fail "$png is $w x $h"
done
pass "icon sizes"

# --- the installed program ------------------------------------------------
# play BIN [ARGS...]: a scripted game headless that beats the empty score;
# prints the high score it reports.
play() {
    local bin=$1
    shift
    "$bin" --headless --seed 1 --input "$source/tests/headless/inputs/scripted_game.txt" "$@" |
        sed -n 's/.* high=\([0-9]*\) .*/\1/p'
}
# window BIN [ARGS...]: opens the window offscreen until its first frame;
# prints what it said on stderr about missing data.
window() {
    local bin=$1
    shift
    local said
    said=$(KESTRADA_FIRST_FRAME_EXIT=1 QT_QPA_PLATFORM=offscreen timeout 60 "$bin" "$@" 2>&1 >"$scratch/frame")
    grep -q '^first-frame ' "$scratch/frame" || echo "no first frame"
    grep -E 'kestrada: (pictures|sounds) missing' <<<"$said" || true
}
scores_everywhere() { find "$scratch" -name 'Kestrada.txt*' | sort; }

# check_tree BIN: the high score lands in the per-user folder only, and the
# window has its data.
check_tree() {
    local bin=$1
    rm -rf "$HOME/.local"
    high=$(play "$bin")
    if [ "$(scores_everywhere)" = "$user_score" ] &&
        [ "$(cat "$user_score")" = "\"$high\""$'\r' ]; then
        pass "$bin: high score $high saved to the per-user folder only"
    else
        fail "$bin: high score $high; score files: $(scores_everywhere)"
    fi
    said=$(window "$bin")
    [ -z "$said" ] && pass "$bin: the window found its pictures and sounds" ||
        fail "$bin: window: $said"
}
check_tree "$prefix/bin/kestrada"

# --data-dir moves the high score only.
mkdir "$scratch/scores"
rm -rf "$HOME/.local"
high=$(play "$prefix/bin/kestrada" --data-dir "$scratch/scores")
[ "$(scores_everywhere)" = "$scratch/scores/Kestrada.txt" ] &&
    pass "headless --data-dir keeps the score there" || fail "--data-dir: $(scores_everywhere)"
said=$(window "$prefix/bin/kestrada" --data-dir "$scratch/scores")
[ -z "$said" ] && pass "window --data-dir still has its pictures and sounds" ||
    fail "window --data-dir: $said"

# XDG_DATA_HOME moves the per-user folder.
rm -rf "$scratch/scores"/* "$HOME/.local"
XDG_DATA_HOME=$scratch/xdg play "$prefix/bin/kestrada" >/dev/null
[ "$(scores_everywhere)" = "$scratch/xdg/kestrada/Kestrada.txt" ] &&
    pass "XDG_DATA_HOME holds the score" || fail "XDG_DATA_HOME: $(scores_everywhere)"
rm -rf "$scratch/xdg"

# The report of missing data is what the checks above rely on: without the
# pictures and a sound, it must speak up.
cp -a "$scratch/root" "$scratch/broken"
rm -r "$scratch/broken/usr/share/kestrada/pictures" "$scratch/broken/usr/share/kestrada/Crash.wav"
said=$(window "$scratch/broken/usr/bin/kestrada")
grep -q 'pictures missing' <<<"$said" && grep -q 'sounds missing.*Crash.wav' <<<"$said" &&
    pass "missing data is reported" || fail "missing data went unreported: $said"
rm -rf "$scratch/broken"

# Relocatable: the same checks after moving the whole tree.
mv "$scratch/root/usr" "$scratch/root/elsewhere"
check_tree "$scratch/root/elsewhere/bin/kestrada"
mv "$scratch/root/elsewhere" "$scratch/root/usr"

# --- the command line -------------------------------------------------------
bin=$prefix/bin/kestrada
for args in "--help" "--version" "--headless --help" "--headless --version"; do
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" $args >"$scratch/out" 2>&1 &&
        [ -s "$scratch/out" ] || fail "$args without a display: $(cat "$scratch/out")"
done
grep -q "^kestrada [0-9]" <("$bin" --version) || fail "--version says $("$bin" --version)"
pass "--help and --version need no display"
# The manual names every option the two --help texts list, and no other.
options_of() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }
if diff <(sed 's/\\-/-/g' "$source/data/kestrada.6" | options_of) \
        <({ "$bin" --help && "$bin" --headless --help; } | options_of) >"$scratch/man-diff"; then
    pass "the manual and --help name the same options"
else
    fail "the manual (<) and --help (>) differ: $(cat "$scratch/man-diff")"
fi
if [ -x "$prefix/bin/kestrada-server" ]; then
    if diff <(sed 's/\\-/-/g' "$source/data/kestrada-server.6" | options_of) \
            <("$prefix/bin/kestrada-server" --help | options_of) >"$scratch/man-diff"; then
        pass "the server's manual and --help name the same options"
    else
        fail "the server's manual (<) and --help (>) differ: $(cat "$scratch/man-diff")"
    fi
fi
status=0
QT_QPA_PLATFORM=offscreen "$bin" --colour 2>"$scratch/err" || status=$?
[ "$status" = 2 ] && [ "$(grep -c kestrada: "$scratch/err")" = 1 ] &&
    pass "an unknown option: one line, status 2" || fail "--colour: status $status, $(cat "$scratch/err")"
said=$(window "$bin" -platform offscreen -style fusion -session kestrada-test --seed 3)
[ -z "$said" ] && pass "Qt's own options are taken by Qt" || fail "Qt's options: $said"

# --- the Debian package -----------------------------------------------------
(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$scratch"/pkg/kestrada_*_amd64.deb)
info=$(dpkg-deb --info "$deb")
for field in "Package: kestrada" "Section: games" "Maintainer: " "Depends: .*libqt6widgets6" \
    "Depends: .*libqt6multimedia6" "Depends: .*libqt6svg6" "Depends: .*libsndfile1" "Depends: .*libsdl2"; do
    grep -qE "^ $field" <<<"$info" || fail "the package lacks '$field'"
done
pass "$(basename "$deb"): $(grep '^ Depends:' <<<"$info")"
if diff <(expected_files) \
        <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort); then
    pass "the package holds the installed tree"
else
    fail "the package's files differ from tests/install_files.txt"
fi

[ "$failures" = 0 ] && echo "install test: all passed" || echo "install test: $failures failed"
exit $((failures > 0))
