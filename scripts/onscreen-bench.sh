#!/usr/bin/env bash
# Runs the real saver (/s) on a virtual screen for a fixed time and prints one
# line: frames shown per second (the saver's own count), the CPU milliseconds
# per frame of the saver and of the X server, and the saver's peak resident
# memory.
#
#   scripts/onscreen-bench.sh [SIZE [PRESET [SECONDS [VSYNC [SHM]]]]]
#     SIZE     screen size, default 1920x1080
#     PRESET   preset file name in the demo data (default: default.dat)
#     SECONDS  how long to run, default 10
#     VSYNC    1 waits for the refresh (the preset's View > Vsync), 0 (default) runs uncapped
#     SHM      1 (default): the X server has shared memory; 0: it has none, as a
#              remote or forwarded display
#   BUILD_DIR  build folder (default: build), with calvorine-saver and the demo data
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1920x1080}"
preset="${2:-default.dat}"
seconds="${3:-10}"
vsync="${4:-0}"
shm="${5:-1}"
build="${BUILD_DIR:-build}"
saver="$build/calvorine-saver"
[ -x "$saver" ] || { echo "no $saver: build first" >&2; exit 1; }
[ -d "$build/demo/Calvorine" ] || { echo "no demo data in $build/demo: build the demo-data target" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/calvorine-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp -r "$build/demo/Calvorine" "$work/"
cp "$work/Calvorine/$preset" "$work/Calvorine/default.dat.new"
# The preset shown: its vsync switch set as asked, and no random presets.
python3 - "$work/Calvorine/default.dat.new" "$vsync" <<'PY'
import struct, sys
path, vsync = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
struct.pack_into('<i', data, 6164, vsync)   # vsync_setting
struct.pack_into('<i', data, 8504, 0)       # random_preset_interval
open(path, 'wb').write(data)
PY
mv "$work/Calvorine/default.dat.new" "$work/Calvorine/default.dat"

# CPU seconds (user + system) of a process so far.
cpu_of() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"; }

display=$((200 + RANDOM % 300))
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
extensions=()
[ "$shm" = 1 ] || extensions=(-extension MIT-SHM)
Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp "${extensions[@]}" >/dev/null 2>&1 &
xserver=$!
trap 'kill $xserver 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export DISPLAY=":$display" QT_QPA_PLATFORM=xcb CALVORINE_FRAME_REPORT=1
"$saver" --data-dir "$work" /s 2>"$work/report.txt" &
saver_pid=$!
sleep 2   # start-up is not measured
# The saver's own count, read from its once-a-second report: frames and seconds.
count_now() { sed -n 's/.*frames=\([0-9]*\) seconds=\([0-9.]*\).*/\1 \2/p' "$work/report.txt" | tail -1; }
# A slow start (a big screen without shared memory) may not have reported yet.
for _ in $(seq 1 40); do [ -n "$(count_now)" ] && break; sleep 0.25; done
f0=""; t0=""
read -r f0 t0 < <(count_now) || true
[ -n "$f0" ] || { echo "the saver reported no frames:" >&2; cat "$work/report.txt" >&2; exit 1; }
x0=$(cpu_of $xserver); s0=$(cpu_of $saver_pid)
sleep "$seconds"
x1=$(cpu_of $xserver); s1=$(cpu_of $saver_pid)
f1=""; t1=""
read -r f1 t1 < <(count_now) || true
# The most the saver has held in memory so far, in kB.
peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$saver_pid/status")
# A key ends the running saver the ordinary way.
xdotool key Escape 2>/dev/null || kill -TERM $saver_pid 2>/dev/null || true
for _ in $(seq 1 100); do kill -0 $saver_pid 2>/dev/null || break; sleep 0.1; done
kill -KILL $saver_pid 2>/dev/null || true
wait $saver_pid 2>/dev/null || true

[ -n "${f0:-}" ] && [ -n "${f1:-}" ] && [ "$f1" -gt "$f0" ] || { echo "the saver reported no frames:" >&2; cat "$work/report.txt" >&2; exit 1; }
frames=$((f1 - f0))
total=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
awk -v f="$frames" -v t="$total" -v s0="$s0" -v s1="$s1" -v x0="$x0" -v x1="$x1" \
    -v secs="$seconds" -v size="$size" -v preset="$preset" -v vsync="$vsync" -v shm="$shm" -v peak="$peak_kb" 'BEGIN {
    s = s1 - s0; x = x1 - x0; fps = f / t; measured = fps * secs;
    printf "onscreen: size=%s preset=%s vsync=%s shm=%s fps=%.1f saver_ms_per_frame=%.2f xserver_ms_per_frame=%.2f total_ms_per_frame=%.2f peak_rss_mb=%.1f\n",
        size, preset, vsync, shm, fps, 1000 * s / measured, 1000 * x / measured, 1000 * (s + x) / measured, peak / 1024 }'
