#!/usr/bin/env bash
# Sets up what the build needs (Debian 12, as root or with sudo), builds the
# saver and starts it in its configuration window on the demo data. The
# demo data folder is copied to a temporary folder first, so the
# error log and the default preset the saver writes at the end never land in
# the source tree, and your own data folder is never touched.
#
#   BUILD_DIR   build folder (default: build)
#   SWITCH      the saver's switch (default: /c, the configuration window;
#               /s runs the full-screen saver)
#
# In the window: Escape ends it (and keeps the settings as the default
# preset of the copy), 1 and 2 show and hide the frame rate, 6, 7 and 8
# change the symmetry, R starts random presets, keypad plus shows one now.
set -euo pipefail
cd "$(dirname "$0")/.."
. ./scripts/dependencies.sh
install_dependencies

build="${BUILD_DIR:-build}"
switch="${SWITCH:-/c}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target calvorine-saver

# The demo data folder, drawn by make-data at build time.
cmake --build "$build" -j2 --target demo-data
demo="$build/demo/Calvorine"
work="$(mktemp -d "${TMPDIR:-/tmp}/calvorine-demo.XXXXXX")"
cp -r "$demo" "$work/"
echo "Demo data folder (a copy of $demo): $work/Calvorine"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # Nothing to show it on: run it for a few seconds on a virtual screen
    # and keep a photograph of that screen instead.
    picture="$work/calvorine.png"
    echo "No display: running the saver for a few seconds on a virtual 1024 x 768 screen." >&2
    xvfb-run -a -s "-screen 0 1024x768x24 -br" bash -c '
        export QT_QPA_PLATFORM=xcb
        "$1" --data-dir "$2" "$3" & pid=$!
        # The first configuration run welcomes the user first.
        box=$(timeout 10 xdotool search --sync --onlyvisible --name "^Welcome to Calvorine$" 2>/dev/null | head -1)
        if [ -n "$box" ]; then xdotool windowfocus --sync "$box" key Return; fi
        timeout 20 xdotool search --sync --onlyvisible --class calvorine-saver >/dev/null 2>&1
        sleep 3
        import -window root "$4"
        xdotool key Escape
        for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        kill $pid 2>/dev/null
        wait $pid' demo "$build/calvorine-saver" "$work" "$switch" "$picture" || true
    echo "Screenshot: $picture"
    echo "Run this script inside a desktop session to see the saver itself."
    exit 0
fi
status=0
"$build/calvorine-saver" --data-dir "$work" "$switch" || status=$?
echo "The saver ended with exit code $status; its log is $work/Calvorine/error_log.txt"
exit "$status"
