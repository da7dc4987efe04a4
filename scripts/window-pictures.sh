#!/usr/bin/env bash
# Takes the README's pictures of the configuration window: the real saver in
# its window under a private X server (Xvfb), driven by the keyboard as a
# user would drive it. It writes into docs/:
#   dialog-introduction.png    the welcome box of the first run
#   window-menu.png            the window with Kaleidoscope > Slides > Objects open
#   dialog-colour.png          Plasma > Colour > Select
#   dialog-slide-objects.png   Kaleidoscope > Slides > Objects > Select
#   dialog-about.png           Help > About
#
#   BUILD_DIR   build folder (default: build); calvorine-saver and the demo
#               data must be built there (targets calvorine-saver, demo-data)
#   OUT         where the pictures go (default: docs)
#   QT_FONT_DPI, QT_SCALE_FACTOR   passed on, to look at the dialogs with
#               larger fonts (144 and 192 are 1.5 and 2 times the usual 96)
# Needs xvfb-run, xdotool and ImageMagick (scripts/dependencies.sh has them).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build}"
saver="$build/calvorine-saver"
demo="$build/demo/Calvorine"
out="${OUT:-docs}"
[ -x "$saver" ] || { echo "no $saver: build the calvorine-saver target" >&2; exit 1; }
[ -d "$demo" ] || { echo "no $demo: build the demo-data target" >&2; exit 1; }

# The saver writes its log and the default preset into its data folder: it
# works on a copy, as on a first run (the introduction comes first).
work="$(mktemp -d "${TMPDIR:-/tmp}/calvorine-window.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/run" "$out"
chmod 700 "$work/run"
cp -r "$demo" "$work/data/"
rm -f "$work/data/Calvorine/no_intro.txt"

cat >"$work/pictures.sh" <<'SH'
set -euo pipefail
export QT_QPA_PLATFORM=xcb
find_window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
# The window with a margin round it (a wider one on the right, where the
# submenus open).
shot() { import -window root -crop "$area" +repage -strip "$OUT/$1.png"; }
# Opens a dialog through the keys given, waits for its caption, takes its
# picture and closes it with Escape (Cancel).
dialog() {
    local name=$1 caption=$2; shift 2
    xdotool windowfocus --sync "$window"; sleep 0.3
    for key in "$@"; do xdotool key "$key"; sleep 0.4; done
    local box; box=$(find_window "^$caption\$")
    [ -n "$box" ] || { echo "no \"$caption\" dialog" >&2; exit 1; }
    sleep 1; shot "$name"
    xdotool windowfocus --sync "$box" key Escape; sleep 0.5
}

"$SAVER" --data-dir "$DATA" /c & pid=$!
intro=$(find_window '^Welcome to Calvorine$')
[ -n "$intro" ] || { echo "the welcome box did not open" >&2; kill "$pid"; exit 1; }
sleep 1
area=$(xwininfo -id "$intro" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{m=24; printf "%dx%d+%d+%d", w+2*m, h+2*m+30, x-m, y-m-30}')
shot dialog-introduction
xdotool windowfocus --sync "$intro" key Return
window=$(find_window '^ Calvorine:   ')
[ -n "$window" ] || { echo "the configuration window did not open" >&2; kill "$pid"; exit 1; }
xdotool windowfocus --sync "$window"; sleep 2
area=$(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{m=24; printf "%dx%d+%d+%d", w+2*m+120, h+2*m, x-m, y-m}')

xdotool key alt+k; sleep 0.4; xdotool key l; sleep 0.4; xdotool key j; sleep 1
shot window-menu
xdotool key Escape Escape Escape; sleep 0.5

dialog dialog-colour 'Plasma Colours' alt+l o s
dialog dialog-slide-objects 'Select Slide Objects' alt+k l j s
dialog dialog-about 'About Calvorine' alt+h a

xdotool windowfocus --sync "$window" key Escape
wait "$pid"
SH

SAVER="$PWD/$saver" DATA="$work/data" OUT="$(cd "$out" && pwd)" XDG_RUNTIME_DIR="$work/run" XDG_DATA_DIRS="$work/system" \
    xvfb-run -a -s '-screen 0 1024x768x24 -br' bash "$work/pictures.sh"
echo "Pictures written to $out"
