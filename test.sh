#!/usr/bin/env bash
# Installs what Gramolux needs, builds it in Debug with sanitizers and runs
# every test: the whole suite under AddressSanitizer + UBSan, then the
# threaded tests again under ThreadSanitizer.
set -uo pipefail
cd "$(dirname "$0")"
. tools/install-deps.sh
gx_install "${GX_BUILD_PACKAGES[@]}" "${GX_TEST_PACKAGES[@]}"
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/support/tsan.supp"
# The thread build needs only the suites that run threads.
threaded_targets=(gx_platform_tests gx_controller_tests gx_sound_tests gx_view_spin_tests gx_view_cover_tests gx_hostile_tests)
for kind in address thread; do
  build=build/$kind
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGX_SANITIZE=$kind -DGX_BUILD_BENCH=OFF -DGX_WERROR=ON >/dev/null \
    || gx_fail "cmake configure failed for the $kind build (see above)"
  targets=()
  [ "$kind" = thread ] && targets=(--target "${threaded_targets[@]}")
  cmake --build "$build" -j "$jobs" "${targets[@]}" || gx_fail "the $kind build failed (see above)"
done
ctest --test-dir build/address -j "$jobs" --output-on-failure || gx_fail "tests failed under AddressSanitizer"
ctest --test-dir build/thread -j "$jobs" -L threaded --output-on-failure || gx_fail "threaded tests failed under ThreadSanitizer"
echo "gramolux: all tests passed"
