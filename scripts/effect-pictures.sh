#!/usr/bin/env bash
# Draws the README's pictures of the effects: four demo presets at 8, 16 and
# 32 bits per pixel, each rendered headless by calvorine-render (640 x 480,
# 150 frames of 20 ms with a fixed seed, so the pictures come out the same
# every time) and written as 320 x 240 PNG files into docs/pictures.
#
#   BUILD_DIR   build folder (default: build); calvorine-render and the demo
#               data must be built there (targets calvorine-render, demo-data)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build}"
render="$build/tools/calvorine-render"
demo="$build/demo/Calvorine"
out="docs/pictures"
[ -x "$render" ] || { echo "no $render: build the calvorine-render target" >&2; exit 1; }
[ -d "$demo" ] || { echo "no $demo: build the demo-data target" >&2; exit 1; }

# The renderer writes its log, and the first load expands the objects, in
# the data folder: it works on a copy.
work="$(mktemp -d "${TMPDIR:-/tmp}/calvorine-pictures.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cp -r "$demo" "$work/"
mkdir -p "$out"

# Picture name, preset file, and whether the preset folds the picture in the
# kaleidoscope. The renderer writes Hidden, where a kaleidoscope's 480-pixel
# tile sits at the top left; the saver shows that tile stretched over the
# screen, and so do these pictures.
pictures=(
    "kaleidoscope|Crystal Kaleidoscope.DAT|tile"
    "slides-objects|default.dat|tile"
    "sine-waves|Sine Seas.DAT|tile"
    "plasma-scope|Ocean Porthole.DAT|whole"
)
for picture in "${pictures[@]}"; do
    IFS='|' read -r name preset shape <<<"$picture"
    for depth in 8 16 32; do
        bmp="$work/$name-$depth.bmp"
        "$render" --data-dir "$work" --preset "$work/Calvorine/$preset" --size 640x480 --depth "$depth" \
            --frames 150 --frame-seconds 0.02 --seed 5 --out "$bmp"
        crop=()
        [ "$shape" = tile ] && crop=(-crop 480x480+0+0 +repage)
        convert "$bmp" "${crop[@]}" -filter Box -resize '320x240!' -strip "$out/$name-$depth.png"
    done
done
echo "Pictures written to $out"
