#!/usr/bin/env bash
# Sets up what the build needs (Debian 12, as root or with sudo), builds the
# render tool and renders a few frames of the bundled demo preset to a
# picture. The bundled data folder is copied first, so the error log and the
# pictures never land in the source tree.
#
#   BUILD_DIR   build folder (default: build)
#   FRAMES      frames to draw before the picture is taken (default: 50)
set -euo pipefail
cd "$(dirname "$0")/.."
. ./scripts/dependencies.sh
install_dependencies

build="${BUILD_DIR:-build}"
frames="${FRAMES:-50}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target calvorine-render

work="$build/demo"
rm -rf "$work"
mkdir -p "$work"
cp -r demo/Calvorine "$work/"
picture="$work/calvorine.bmp"
"$build/tools/calvorine-render" --data-dir "$work" --size 640x480 --depth 32 --frames "$frames" --seed 1 \
    --out "$picture"

picture="$(cd "$(dirname "$picture")" && pwd)/$(basename "$picture")"
echo "Rendered $frames frames of the bundled default preset (demo/Calvorine/default.dat)."
echo "Picture: $picture"
if command -v convert >/dev/null 2>&1 && convert "$picture" "${picture%.bmp}.png" 2>/dev/null; then
    echo "Also as PNG: ${picture%.bmp}.png"
fi
