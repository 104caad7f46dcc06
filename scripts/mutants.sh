#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants each fault of scripts/mutants.txt in the production code, one at a
# time, rebuilds, runs every test, and reports whether the suite caught it.
# It works on a copy of the tracked files in build/mutants/tree, so the
# checkout is never touched and work can go on beside a long run.
#
#   scripts/mutants.sh [FAULT-LIST] [NAME-REGEX]
#
# Prints one line per fault (caught / SURVIVED / not applied) and a total.
# A fault whose text is missing, ambiguous or does not compile is "not
# applied" and counted apart, never as caught.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$(realpath "${1:-$root/scripts/mutants.txt}")
only=${2:-.}
# KESTRADA_MUTANTS_DIR lets two runs (say, before and after a change) go on
# side by side, each with its own copy and build.
tree=${KESTRADA_MUTANTS_DIR:-$root/build/mutants}/tree
build=$tree/build/mutants
per_test_timeout=${KESTRADA_MUTANT_TIMEOUT:-60}
export QT_QPA_PLATFORM=offscreen
# ccache keeps the unchanged files of each rebuild warm; without it every
# fault still builds, only slower.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
for tool in cmake ninja python3 ctest; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh"; exit 1; }
done

# Copy the tracked files; unchanged ones keep their times, so the build
# folder stays warm between runs.
mkdir -p "$tree"
# KESTRADA_MUTANTS_SOURCE names another folder to copy instead (say, an
# older commit unpacked with git archive, to measure the suite it had).
source=${KESTRADA_MUTANTS_SOURCE:-$root}
files=$(cd "$source" && if [[ "$source" == "$root" ]]; then git ls-files; else
    find . -type f | sed 's|^\./||'
fi)
while read -r f; do
    if ! cmp -s "$source/$f" "$tree/$f" 2>/dev/null; then
        mkdir -p "$(dirname "$tree/$f")" && cp "$source/$f" "$tree/$f"
    fi
done <<<"$files"
# A file the source no longer has goes too, or a deleted test would still
# be built and run.
(cd "$tree" && find . -path ./build -prune -o -type f -print | sed 's|^\./||') |
    grep -vxF -f <(printf '%s\n' "$files") | while read -r f; do rm -f "$tree/$f"; done

current=""
backup="$build/.original"
restore() {
    if [[ -n "$current" ]]; then
        # A fresh time stamp, so that the next build recompiles the original.
        cat "$backup" >"$tree/$current"
        current=""
    fi
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRADA_WERROR=ON \
    -DKESTRADA_WITH_BENCH=OFF -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold >/dev/null || exit 1

# The core test binary first, built alone and run in one process: it is
# quick and catches most faults, so the rest of the tree (the programs and
# the window) is built and tested only for a fault it misses. The
# real-sound test times what a sound server hears and is no judge of faults
# on a machine this busy.
build_core() { cmake --build "$build" -j2 --target kestrada_tests >"$build/.build.log" 2>&1; }
build_all() { cmake --build "$build" -j2 >"$build/.build.log" 2>&1; }
# The soak runs last: it takes longer than all the others together. The
# quick ones all run, so the report names every test that caught a fault.
run_core() {
    timeout "$per_test_timeout" "$build/bin/kestrada_tests" --gtest_brief=1 \
        --gtest_filter='-Soak.*' >"$build/.test.log" 2>&1 &&
        timeout "$((per_test_timeout * 2))" "$build/bin/kestrada_tests" --gtest_brief=1 \
            --gtest_filter='Soak.*' >>"$build/.test.log" 2>&1
}
run_rest() {
    ctest --test-dir "$build" -j2 --stop-on-failure --timeout "$per_test_timeout" \
        -LE '^core$' -E '_qtest|^kestrada_real_sound$' >>"$build/.test.log" 2>&1 &&
        ctest --test-dir "$build" -j2 --stop-on-failure --timeout "$per_test_timeout" -R _qtest \
            >>"$build/.test.log" 2>&1
}

(cd "$tree" && find src -type f | sort | xargs md5sum) >"$build/.sums"
if ! build_all; then
    echo "the unchanged tree does not build: see $build/.build.log"
    exit 1
fi
if ! run_core || ! run_rest; then
    echo "the unchanged tree fails its tests: see $build/.test.log"
    exit 1
fi

# Splits the list into NUL-separated records: name, file, original, replacement.
parse() {
    python3 - "$1" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-8").read()
out = sys.stdout.buffer
for block in text.split("\n\n"):
    lines = [l for l in block.splitlines() if not l.startswith("#")]
    if not lines:
        continue
    name = file = None
    old, new = [], []
    for l in lines:
        if l.startswith("name: "):
            name = l[6:]
        elif l.startswith("file: "):
            file = l[6:]
        elif l.startswith("-"):
            old.append(l[1:])
        elif l.startswith("+"):
            new.append(l[1:])
    for field in (name, file, "\n".join(old), "\n".join(new)):
        out.write(field.encode() + b"\0")
PY
}

# Writes the fault into the file; fails when the text is not there once.
apply_fault() {
    python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
}

caught=0 survived=0 missing=0
start=$(date +%s)
while IFS= read -r -d '' name && IFS= read -r -d '' file && IFS= read -r -d '' old &&
    IFS= read -r -d '' new; do
    [[ "$name" =~ $only ]] || continue
    t0=$(date +%s)
    if [[ ! -f "$tree/$file" ]]; then
        printf 'not applied  %-32s %s (no such file)\n' "$name" "$file"
        missing=$((missing + 1))
        continue
    fi
    cp "$tree/$file" "$backup"
    current=$file
    if ! apply_fault "$tree/$file" "$old" "$new"; then
        restore
        printf 'not applied  %-32s %s (text not found once)\n' "$name" "$file"
        missing=$((missing + 1))
        continue
    fi
    if ! build_core; then
        restore
        printf 'not applied  %-32s %s (does not build)\n' "$name" "$file"
        missing=$((missing + 1))
        continue
    fi
    verdict=caught
    if run_core; then
        if ! build_all; then
            restore
            printf 'not applied  %-32s %s (does not build)\n' "$name" "$file"
            missing=$((missing + 1))
            continue
        fi
        if run_rest; then
            verdict=SURVIVED
        fi
    fi
    if [[ $verdict == SURVIVED ]]; then
        survived=$((survived + 1))
    else
        caught=$((caught + 1))
    fi
    restore
    failed=$(grep -oE '^\[  FAILED  \] [^ ,]+|[0-9]+ - [^ ]+ \((Failed|Timeout|SEGFAULT|Subprocess aborted)\)' \
        "$build/.test.log" | sed -E 's/^[0-9]* - //; s/^\[  FAILED  \] //' | sort -u | paste -sd' ')
    printf '%-12s %-32s %s %ss %s\n' "$verdict" "$name" "$file" "$(($(date +%s) - t0))" "$failed"
done < <(parse "$list")

# Never leave a fault behind: every source must be as it was at the start.
(cd "$tree" && md5sum --quiet -c "$build/.sums") || echo "warning: a fault was left in $tree"
echo "total: $((caught + survived + missing)) faults, caught $caught, survived $survived," \
    "not applied $missing ($(($(date +%s) - start))s)"
