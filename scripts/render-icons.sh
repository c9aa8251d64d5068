#!/usr/bin/env bash
# Renders src/app/korvane.svg to the PNG sizes the program and desktop integration use.
# The PNGs are committed, so building needs no SVG renderer; run this after editing the SVG.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../src/app"

for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" korvane.svg --output "icons/korvane-$size.png"
done
echo "rendered: $(ls icons)"
