#!/usr/bin/env bash
# Runs the test suite against deliberately broken copies of the code and says,
# for each, which test caught it or that none did.
#
#   tests/mutants/run.sh                 # every mutant in tests/mutants/mutants.txt
#   tests/mutants/run.sh NAME...         # only these
#
# The tree is copied to $GX_MUTANT_DIR (default /tmp/gx-mutants-<hash of the
# tree's path>) and built
# there in Debug without sanitizers, so the working tree stays free to edit and
# a run is quick; a second run copies only what changed and rebuilds
# incrementally. $GX_MUTANT_SOURCE names another tree to test instead of this
# one, e.g. an older suite unpacked with `git archive REV | tar -x -C DIR`.
# $GX_MUTANT_BUILD names a build folder of this tree (e.g. build/address) to use
# instead of a copy: the mutants are then made in this tree and undone here.
#
# Each mutant (a line of mutants.txt) is one sed script on one file. The copy
# is mutated, and first only the test programs holding the tests that match
# the mutant's regex are rebuilt and run, stopping at the first failure; a
# mutant they miss meets the whole suite. Then the file is restored. A mutant
# that changes nothing or does not compile is reported and not counted.
# GX_MUTANT_QUICK=1 runs only the first tests (a miss then means "not caught by
# them"). The table is also written to $GX_MUTANT_DIR/results.txt.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${GX_MUTANT_SOURCE:-$(cd "$here/../.." && pwd)}
# One work folder per tree, so runs from two worktrees never share the copy of
# the file they mutate.
work=${GX_MUTANT_DIR:-/tmp/gx-mutants-$(printf '%s' "$root" | md5sum | cut -c1-8)}
jobs=${GX_MUTANT_JOBS:-2}
tree=$work/tree build=$work/build
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy GX_FUZZ_SECONDS=${GX_FUZZ_SECONDS:-5}
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1

mkdir -p "$work"
if [ -n "${GX_MUTANT_BUILD:-}" ]; then
  tree=$root build=$(cd "$GX_MUTANT_BUILD" && pwd)
else
  mkdir -p "$tree"
  # tar keeps the times of unchanged files, so the build stays incremental.
  files() { (cd "$1" && find . \( -path ./build -o -path ./.git \) -prune -o -type f -print | sort); }
  comm -13 <(files "$root") <(files "$tree") | (cd "$tree" && xargs -r rm -f)
  tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -C "$tree" -xf -
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  # The address preset without its sanitizers or -Werror (a mutant that only
  # warns still counts), in a folder of the copy's own.
  (cd "$tree" && cmake --preset address -B "$build" -DGX_SANITIZE= -DGX_WERROR=OFF >/dev/null) \
    || { echo "mutants: configure failed" >&2; exit 1; }
fi
cmake --build "$build" -j "$jobs" >"$work/build.log" 2>&1 \
  || { echo "mutants: the unchanged tree does not build (see $work/build.log)" >&2; exit 1; }

# The build targets of the test programs that hold the tests matching $1.
targets_for() {
  ctest --test-dir "$build" -N -R "$1" --show-only=json-v1 2>/dev/null | python3 -c '
import json, os, sys
print(" ".join(sorted({os.path.basename(t["command"][0]) for t in json.load(sys.stdin).get("tests", []) if t.get("command")})))'
}

# Prints the first failed test of a ctest run, or nothing when all passed.
first_failure() {
  ctest --test-dir "$build" -j "$jobs" --stop-on-failure "$@" 2>&1 |
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|SEGFAULT\|Subprocess aborted\|Child aborted\|Exception\|Not Run\).*/\1/p' | head -1
}

# An interrupted run still puts the mutated file back.
mutated=""
trap '[ -n "$mutated" ] && cp "$work/original" "$mutated"' EXIT
caught=0 counted=0
results=$work/results.txt
: >"$results"
while read -r name file regex script; do
  case $name in '#'* | '') continue ;; esac
  [ $# -gt 0 ] && [[ " $* " != *" $name "* ]] && continue
  src=$tree/$file
  cp "$src" "$work/original"
  mutated=$src
  sed -i -e "$script" "$src"
  targets=$(targets_for "$regex")
  if cmp -s "$src" "$work/original"; then
    verdict="no change (not counted)"
  elif ! cmake --build "$build" -j "$jobs" --target ${targets:-gx_app} >"$work/mutant-build.log" 2>&1; then
    verdict="does not compile (not counted)"
  else
    counted=$((counted + 1))
    failed=""
    [ -n "$targets" ] && failed=$(first_failure -R "$regex")
    if [ -z "$failed" ] && [ -z "${GX_MUTANT_QUICK:-}" ]; then
      cmake --build "$build" -j "$jobs" >>"$work/mutant-build.log" 2>&1
      failed=$(first_failure -E "$regex")
    fi
    if [ -n "$failed" ]; then
      caught=$((caught + 1))
      verdict="caught by $failed"
    else
      verdict="MISSED"
    fi
  fi
  # A fresh copy (not cp -p) so the next build sees the file as changed.
  cp "$work/original" "$src"
  mutated=""
  printf '%-22s %s\n' "$name" "$verdict" | tee -a "$results"
done <"$here/mutants.txt"
cmake --build "$build" -j "$jobs" >/dev/null 2>&1
echo "caught $caught of $counted" | tee -a "$results"
