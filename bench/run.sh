#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints their figures as one table, then
# plays the demo song and a 5-minute MP3 with Gramolux and with ffplay side by
# side and compares them:
#   bench/run.sh [build-folder]        (default build/bench)
# GX_COMPARE_SECONDS sets how long each player plays (default 30).
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
seconds=${GX_COMPARE_SECONDS:-30}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" >/dev/null || { echo "bench: build failed" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
printf '%-58s %12s %12s  %s\n' "benchmark" "time" "cpu" "figures"
for b in "$build"/bin/gx_bench_*; do
  "$b" --benchmark_format=console 2>/dev/null | awk '/^BM_/ {
      extra = ""; for (i = 7; i <= NF; i++) extra = extra " " $i;
      printf "%-58s %9s %-2s %9s %-2s %s\n", $1, $2, $3, $4, $5, extra }'
done

# --- Gramolux against a reference player ------------------------------------
command -v ffplay >/dev/null || { echo "bench: no ffplay, no comparison"; exit 0; }
probe=$build/bench/libgx_first_audio_probe.so
demo="$build/share/gramolux/01 Gramolux Serenade.wav"
mp3=/tmp/gramolux-bench/five-minutes.mp3 # made by gx_bench_sound above
tick=$(getconf CLK_TCK)

# Runs a player with an empty home and the first-audio probe; the player
# plays for "$1" seconds. Sets pid, home, t0 and out.
launch() {
  local secs=$1; shift
  home=$(mktemp -d) out=$home/first-audio
  t0=$(date +%s.%N)
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" DBUS_SESSION_BUS_ADDRESS=disabled: \
    LD_PRELOAD="$probe" GX_PROBE_OUT="$out" "$@" >/dev/null 2>&1 &
  pid=$!
  sleep "$secs"
}
finish() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$home"; }

# The median over five launches of the time to the first sound, in ms.
first_audio() {
  local runs=() i first
  for i in 1 2 3 4 5; do
    launch 1.5 "$@"
    first=$(cat "$out" 2>/dev/null)
    runs+=("$(awk -v t0="$t0" -v f="${first:-0}" 'BEGIN { printf "%.1f", (f > 0 ? (f - t0) * 1000 : -1) }')")
    finish
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p
}

# Plays for $seconds; prints "first-audio-ms cpu-s-per-min peak-MiB".
measure() {
  local cpu hwm
  launch "$seconds" "$@"
  cpu=$(awk -v t="$tick" '{ sub(/.*\) /, ""); print ($12 + $13) / t }' "/proc/$pid/stat" 2>/dev/null)
  hwm=$(awk '/^VmHWM:/ { print $2 / 1024 }' "/proc/$pid/status" 2>/dev/null)
  finish
  awk -v f="$(first_audio "$@")" -v c="${cpu:-0}" -v s="$seconds" -v m="${hwm:-0}" \
    'BEGIN { printf "%s %.3f %.1f\n", f, c * 60 / s, m }'
}

echo
echo "Gramolux (turntable drawn, offscreen) against ffplay -nodisp -autoexit, ${seconds} s each, SDL_AUDIODRIVER=dummy"
printf '%-20s %-10s %14s %16s %12s\n' "song" "player" "first audio ms" "CPU s per min" "peak MiB"
echo "(first audio: the median of five launches)"
for song in "$demo" "$mp3"; do
  [ -f "$song" ] || continue
  read -r gf gc gm < <(measure "$build/bin/gramolux" "$song")
  read -r ff fc fm < <(measure ffplay -nodisp -autoexit -loglevel quiet "$song")
  name=$(basename "$song"); name=${name:0:20}
  printf '%-20s %-10s %14s %16s %12s\n' "$name" gramolux "$gf" "$gc" "$gm" "" ffplay "$ff" "$fc" "$fm"
  awk -v gf="$gf" -v ff="$ff" -v gc="$gc" -v fc="$fc" -v gm="$gm" 'BEGIN {
    printf "%-20s %-10s %13.2fx %15.2fx %12s\n", "", "ratio", (ff > 0 ? gf / ff : 0), (fc > 0 ? gc / fc : 0),
      (gm < 80 ? "under 80" : "OVER 80") }'
done
echo "targets: first audio at most 1.2x, CPU at most 3x, memory under 80 MiB"
