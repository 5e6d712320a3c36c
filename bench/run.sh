#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints their figures as one table, then
# plays a 5-minute MP3 with Gramolux and with three reference players side by
# side on a display of its own (Xvfb, then a headless Weston compositor, both
# started and stopped here) and prints one table of CPU, first audio and
# memory with the ratios, each figure the median of three runs:
#   bench/run.sh                        (the bench preset, in build/bench)
# GX_COMPARE_SECONDS sets how long each player is measured while it plays
# (default 30), GX_IDLE_SECONDS how long an idle player is (default 20).
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/install-deps.sh
gx_install "${GX_BUILD_PACKAGES[@]}" ffmpeg mpv audacious audacious-plugins xvfb xauth xdotool \
  weston qt6-wayland qtwayland5 pulseaudio pulseaudio-utils
build=build/bench
seconds=${GX_COMPARE_SECONDS:-30}
idle_seconds=${GX_IDLE_SECONDS:-20}
warm=3 # seconds a player runs before it is measured
cmake --preset bench >/dev/null || exit 1
cmake --build "$build" >/dev/null || { echo "bench: build failed" >&2; exit 1; }
export SDL_AUDIODRIVER=dummy
printf '%-58s %12s %12s  %s\n' "benchmark" "time" "cpu" "figures"
for b in "$build"/bin/gx_bench_*; do
  QT_QPA_PLATFORM=offscreen "$b" --benchmark_format=console 2>/dev/null | awk '/^BM_/ {
      extra = ""; for (i = 7; i <= NF; i++) extra = extra " " $i;
      printf "%-58s %9s %-2s %9s %-2s %s\n", $1, $2, $3, $4, $5, extra }'
done

# --- Gramolux against reference players, on a real display -----------------
probe=$(realpath "$build/bench/libgx_first_audio_probe.so")
gramolux=$(realpath "$build/bin/gramolux")
demo=$(realpath "$build/share/gramolux/01 Gramolux Serenade.wav")
mp3=/tmp/gramolux-bench/five-minutes.mp3 # made by gx_bench_sound above
[ -f "$mp3" ] || { echo "bench: no $mp3, no comparison"; exit 0; }
scratch=$(mktemp -d)
xvfb_pid= weston_pid= pulse_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
[ -s "$scratch/display" ] || { echo "bench: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
server_pid=$xvfb_pid # the display server whose CPU counts with the player's
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# CPU time of a process, all its live threads, in ns.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
# "tid name ns" for each thread.
thread_ns() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s\n' "${t##*/}" "$(tr ' ' '_' <"$t/comm" 2>/dev/null)" "$(awk '{ print $1 }' "$t/schedstat" 2>/dev/null)"
  done
}
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'; }
callbacks() { [ -s "$1" ] && od -An -t u8 -N 8 "$1" | tr -d ' ' || echo 0; }

# Audacious plays through SDL: a first run of its own writes its plugin
# registry, in which only SDL output is then enabled.
audacious_registry=$scratch/plugin-registry
make_audacious_registry() {
  local home=$scratch/audacious-setup
  mkdir -p "$home"
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" DBUS_SESSION_BUS_ADDRESS=disabled: \
    audacious -Q >/dev/null 2>&1 &
  local pid=$! win=
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] && xdotool key --window "$win" ctrl+q
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  awk '/^output / { out = ($2 ~ /sdlout\.so$/) ? 1 : 0 }
       /^[a-z]+ \// && !/^output / { out = -1 }
       /^enabled / && out >= 0 { $0 = "enabled " out }
       { print }' "$home/.config/audacious/plugin-registry" >"$audacious_registry" 2>/dev/null
}
make_audacious_registry

# Starts a player with an empty home and the probe. Sets pid, home, t0, out
# and calls.
launch() {
  home=$(mktemp -d -p "$scratch") out=$home/first-audio calls=$home/calls
  if [[ " $* " == *" audacious "* ]] && [ -s "$audacious_registry" ]; then
    mkdir -p "$home/.config/audacious" && cp "$audacious_registry" "$home/.config/audacious/plugin-registry"
  fi
  t0=$(date +%s.%N)
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home" DBUS_SESSION_BUS_ADDRESS=disabled: \
    LD_PRELOAD="$probe" GX_PROBE_OUT="$out" GX_PROBE_CALLS="$calls" "$@" >/dev/null 2>&1 &
  pid=$!
}
finish() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$home"; }

# The median over five launches of the time to the first sound, in ms.
first_audio() {
  local runs=() i first
  for i in 1 2 3 4 5; do
    launch "$@"
    for _ in $(seq 250); do [ -s "$out" ] && break; sleep 0.02; done
    first=$(cat "$out" 2>/dev/null)
    runs+=("$(awk -v t0="$t0" -v f="${first:-0}" 'BEGIN { printf "%.0f", (f > 0 ? (f - t0) * 1000 : -1) }')")
    finish
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p
}

# Measures a launched player for $1 seconds after $warm; prints
# "player-s-per-min server-s-per-min peak-MiB callbacks-per-s switches-per-s own-MiB",
# own memory being the process's private dirty pages (heap, buffers, decoded
# pictures; not the library pages a desktop shares among programs).
# With $2 = split, the per-thread shares go to $scratch/threads.
sample() {
  local secs=$1 split=${2:-} p0 x0 c0 s0 p1 x1 c1 s1 hwm own
  [ -n "${grow:-}" ] && grow_window
  sleep "$warm"
  [ -n "$split" ] && thread_ns "$pid" >"$scratch/threads0"
  p0=$(cpu_ns "$pid") x0=$(cpu_ns "$server_pid") c0=$(callbacks "$calls") s0=$(switches "$pid")
  sleep "$secs"
  p1=$(cpu_ns "$pid") x1=$(cpu_ns "$server_pid") c1=$(callbacks "$calls") s1=$(switches "$pid")
  [ -n "$split" ] && thread_ns "$pid" >"$scratch/threads1"
  hwm=$(awk '/^VmHWM:/ { print $2 / 1024 }' "/proc/$pid/status" 2>/dev/null)
  own=$(awk '/^Private_Dirty:/ { print $2 / 1024 }' "/proc/$pid/smaps_rollup" 2>/dev/null)
  awk -v p0="$p0" -v p1="$p1" -v x0="$x0" -v x1="$x1" -v c0="$c0" -v c1="$c1" -v s0="$s0" -v s1="$s1" \
    -v t="$secs" -v m="${hwm:-0}" -v o="${own:-0}" 'BEGIN {
      printf "%.3f %.3f %.1f %.1f %.1f %.1f\n", (p1 - p0) / 1e9 * 60 / t, (x1 - x0) / 1e9 * 60 / t, m, (c1 - c0) / t, (s1 - s0) / t, o }'
}

# With grow set, the launched player's window is made twice its default size
# (on a 1x screen) before it is measured: the turntable is drawn scaled.
grow_window() {
  local win=
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] && xdotool windowsize "$win" 680 $((2 * 299 + 25))
}

# Column by column, the median of the lines on standard input (three runs).
median_columns() {
  awk '{ for (i = 1; i <= NF; i++) v[i, NR] = $i; n = NF }
    END { for (i = 1; i <= n; i++) { k = 0; delete a
            for (r = 1; r <= NR; r++) a[++k] = v[i, r]
            for (x = 1; x <= k; x++) for (y = x + 1; y <= k; y++) if (a[y] + 0 < a[x] + 0) { t = a[x]; a[x] = a[y]; a[y] = t }
            printf "%s%s", a[int((k + 1) / 2)], (i < n ? " " : "\n") } }'
}

# Each row: "label|first-audio|player cpu|server cpu|peak|callbacks/s|switches/s|own MiB|worst".
# Each player is measured three times in a row; the figures are medians, and
# worst is the costliest run's player plus server CPU.
runs=${GX_COMPARE_RUNS:-3}
rows=()
play_row() {
  local label=$1 split=$2; shift 2
  local f all=() r
  f=$(first_audio "$@")
  for r in $(seq "$runs"); do
    launch "$@"
    all+=("$(sample "$seconds" "$([ "$r" = 1 ] && echo "$split")")")
    finish
  done
  local worst
  worst=$(printf '%s\n' "${all[@]}" | awk '{ t = $1 + $2; if (t > hi) hi = t } END { printf "%.3f", hi }')
  rows+=("$label|$f|$(printf '%s\n' "${all[@]}" | median_columns)|$worst")
}
play_row "gramolux, MP3" split "$gramolux" "$mp3"
split_pid=$pid
play_row "gramolux, WAV (demo)" "" "$gramolux" "$demo"
play_row "gramolux, MP3, 2x" "" env QT_SCALE_FACTOR=2 "$gramolux" "$mp3"
grow=1 play_row "gramolux, MP3, window 2x at 1x" "" "$gramolux" "$mp3"
play_row "audacious -Q, MP3" "" audacious -Q "$mp3"
play_row "mpv --no-video, MP3" "" mpv --no-video --ao=sdl --no-config --really-quiet "$mp3"
play_row "ffplay -nodisp, MP3" "" ffplay -nodisp -autoexit -loglevel quiet "$mp3"

# The same through a real sound server: a private PulseAudio with a null
# sink, on a runtime folder of its own.
pulse=$scratch/pulse
if mkdir -p "$pulse" && command -v pulseaudio >/dev/null; then
  env XDG_RUNTIME_DIR="$pulse" PULSE_RUNTIME_PATH="$pulse" HOME="$pulse" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$pulse/native" \
    -L 'module-null-sink sink_name=gxnull rate=44100' >/dev/null 2>&1 &
  pulse_pid=$!
  for _ in $(seq 100); do PULSE_SERVER="unix:$pulse/native" pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  on_pulse=(env SDL_AUDIODRIVER=pulseaudio PULSE_SERVER="unix:$pulse/native")
  play_row "gramolux, MP3, PulseAudio" "" "${on_pulse[@]}" "$gramolux" "$mp3"
  play_row "ffplay, MP3, PulseAudio" "" "${on_pulse[@]}" ffplay -nodisp -autoexit -loglevel quiet "$mp3"
fi

# Idle: the window shown with no song; and a song switched off (Space works
# the switch), once the record has run down and the stop sound has played.
launch "$gramolux"
rows+=("gramolux idle, no song|-|$(sample "$idle_seconds")|-")
finish
launch "$gramolux" "$mp3"
sleep 3
win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
# Space is the window's shortcut: the window must have the focus first.
[ -n "$win" ] && xdotool windowfocus "$win" 2>/dev/null && sleep 0.3 && xdotool key space
sleep 6 # one turn of the record, the stop sound, the hiss thread's last pass
rows+=("gramolux idle, switched off|-|$(sample "$idle_seconds")|-")
finish

# The same on Wayland: a headless Weston compositor, Gramolux on Qt's
# Wayland platform and Audacious on Qt 5's, the compositor's CPU counted.
kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
xvfb_pid=
mkdir -m 700 "$scratch/wayland"
XDG_RUNTIME_DIR=$scratch/wayland weston --backend=headless-backend.so --socket=gx-bench --idle-time=0 \
  >"$scratch/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$scratch/wayland/gx-bench" ] && break; sleep 0.05; done
if [ -S "$scratch/wayland/gx-bench" ]; then
  server_pid=$weston_pid
  unset DISPLAY
  export WAYLAND_DISPLAY=$scratch/wayland/gx-bench
  play_row "gramolux, MP3, Wayland" "" env QT_QPA_PLATFORM=wayland "$gramolux" "$mp3"
  play_row "audacious -Q, MP3, Wayland" "" env QT_QPA_PLATFORM=wayland audacious -Q "$mp3"
else
  echo "bench: Weston did not start; no Wayland rows"
fi

echo
echo "SDL_AUDIODRIVER=dummy (PulseAudio rows: a private server, null sink, first audio against ffplay's there),"
echo "${seconds} s of playback each (idle ${idle_seconds} s), ${runs} runs, one after another;"
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${rows[@]}" | awk -F'|' '
  { split($3, c, " "); label[NR] = $1; fa[NR] = $2; pc[NR] = c[1]; xc[NR] = c[2]; mem[NR] = c[3]; cb[NR] = c[4]; sw[NR] = c[5]
    own[NR] = c[6]; worst[NR] = $4; wl[NR] = ($1 ~ /Wayland$/)
    if ($1 ~ /^audacious/) { aud[wl[NR]] = c[1] + c[2]; audsw[wl[NR]] = c[5] }
    if ($1 ~ /^ffplay/ && $1 ~ /PulseAudio/) ffp = $2
    else if ($1 ~ /^ffplay/) ffa = $2
    if ($1 == "gramolux, MP3") one = c[1] + c[2] }
  END {
    printf "%-28s %8s %8s %8s %9s %7s %8s %9s %8s %7s %7s %8s %9s\n", "player", "CPU s/m", "srv s/m", "together",
      "vs Audac.", "worst", "first ms", "vs ffplay", "peak MiB", "own MiB", "calls/s", "wakes/s", "vs Audac."
    for (i = 1; i <= NR; i++) {
      t = pc[i] + xc[i]
      r = (aud[wl[i]] > 0 ? sprintf("%.2fx", t / aud[wl[i]]) : "-")
      wr = (aud[wl[i]] > 0 && worst[i] != "-" ? sprintf("%.2fx", worst[i] / aud[wl[i]]) : "-")
      ws = (audsw[wl[i]] > 0 ? sprintf("%.2fx", sw[i] / audsw[wl[i]]) : "-")
      ff = (label[i] ~ /PulseAudio/ ? ffp : ffa)
      f = (fa[i] != "-" && ff > 0 && fa[i] > 0 ? sprintf("%.2fx", fa[i] / ff) : "-")
      printf "%-28s %8.3f %8.3f %8.3f %9s %7s %8s %9s %8.1f %7.1f %7.1f %8.1f %9s\n", label[i], pc[i], xc[i], t, r, wr,
        fa[i], f, mem[i], own[i], cb[i], sw[i], ws
      if (label[i] ~ /2x$/ && one > 0) twox = t / one
    }
    printf "2x against 1x, player plus X server: %.2fx\n", twox
  }'
echo "srv: the display server (Xvfb, or Weston for the Wayland rows); vs Audac.: against Audacious' median on the"
echo "same server; worst: the costliest of the runs, player plus server, against the same"
echo "targets: gramolux MP3 at 1x with its server no more than Audacious with its server (1.00x), no run above 1.3x"
echo "         of it, and no more wakes; 2x at most 1.5 times 1x; idle under 0.05 CPU s/min with no callbacks;"
echo "         first audio no later than ffplay's; own memory no more than mpv's and Audacious'"

if [ -s "$scratch/threads1" ]; then
  echo
  echo "Per thread, gramolux playing the MP3 at 1x, % of one core over ${seconds} s"
  awk -v t="$seconds" -v main="$split_pid" '
    NR == FNR { before[$1] = $3; next }
    { printf "  %-8s %-24s %6.2f %%\n", $1, $2 ($1 == main ? "(main)" : ""), ($3 - before[$1]) / 1e9 / t * 100 }' \
    "$scratch/threads0" "$scratch/threads1" | sort -k3,3 -rn
fi

# --- An album folder handed over ---------------------------------------------
# 20,000 files (empty WAVs, the demo song first in natural order): the time
# to the first sound, against the same song handed alone. The folder is listed once the application runs, so the
# window's start-up is part of it.
album=$scratch/album
mkdir -p "$album"
cp "$demo" "$album/1 Song.wav"
for i in $(seq 2 20000); do : >"$album/$i Song.wav"; done
folder_ms=$(first_audio "$gramolux" "$album")
alone_ms=$(first_audio "$gramolux" "$album/1 Song.wav")
echo
echo "Album folder of 20000 files: first sound after ${folder_ms} ms (its first song alone: ${alone_ms} ms)"
