#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints their figures as one table:
#   bench/run.sh [build-folder]        (default build/bench)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" >/dev/null || { echo "bench: build failed" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
printf '%-58s %12s %12s  %s\n' "benchmark" "time" "cpu" "figures"
for b in "$build"/bin/gx_bench_*; do
  "$b" --benchmark_format=console 2>/dev/null | awk '/^BM_/ {
      extra = ""; for (i = 7; i <= NF; i++) extra = extra " " $i;
      printf "%-58s %9s %-2s %9s %-2s %s\n", $1, $2, $3, $4, $5, extra }'
done
