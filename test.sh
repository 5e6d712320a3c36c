#!/usr/bin/env bash
# Installs what Gramolux needs, checks the formatting, builds it in Debug with
# sanitizers (the presets in CMakePresets.json) and runs every test: the whole
# suite under AddressSanitizer + UBSan, then the threaded tests again under
# ThreadSanitizer; and clang-tidy over our code.
set -uo pipefail
cd "$(dirname "$0")"
. tools/install-deps.sh
gx_install "${GX_BUILD_PACKAGES[@]}" "${GX_TEST_PACKAGES[@]}" clang-format clang-tidy
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/support/tsan.supp"

# Formatting first: it takes a second and says what to run.
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}" \
  || gx_fail "these files are not formatted; run: clang-format -i \$(git ls-files '*.cpp' '*.h')"

# The thread build needs only the suites that run threads.
threaded_targets=(gx_platform_tests gx_engine_tests gx_handover_tests gx_cover_cache_tests gx_app_tests gx_sound_tests gx_view_cover_tests gx_hostile_tests)
for kind in address thread; do
  cmake --preset "$kind" >/dev/null || gx_fail "cmake configure failed for the $kind build (see above)"
  targets=()
  [ "$kind" = thread ] && targets=(--target "${threaded_targets[@]}")
  cmake --build "build/$kind" -j "$jobs" "${targets[@]}" || gx_fail "the $kind build failed (see above)"
done

# clang-tidy reads the address build's compile commands (and the headers it
# generated), over our program's and tools' sources.
# (About two and a half minutes on two busy cores.)
run-clang-tidy -quiet -p build/address -j "$jobs" "^$PWD/(src|tools)/" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >build/clang-tidy.log
grep -E ': (warning|error):' build/clang-tidy.log && gx_fail "clang-tidy found the above (whole output in build/clang-tidy.log)"

ctest --test-dir build/address -j "$jobs" --output-on-failure || gx_fail "tests failed under AddressSanitizer"
ctest --test-dir build/thread -j "$jobs" -L threaded --output-on-failure || gx_fail "threaded tests failed under ThreadSanitizer"
echo "gramolux: all tests passed"
