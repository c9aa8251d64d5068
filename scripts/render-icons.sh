#!/usr/bin/env bash
# Renders src/app/korvane.svg to the PNG sizes the program and desktop integration use.
# The PNGs are committed, so building needs no SVG renderer; run this after editing the SVG.
# Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/../src/app"

for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" korvane.svg --output "icons/korvane-$size.png"
done
# The Windows icon: 32 x 32 in two colour depths (true colour and 256 colours), and the
# larger sizes that Explorer and the taskbar use.
convert icons/korvane-16.png icons/korvane-32.png \
    \( icons/korvane-32.png -colors 256 \) icons/korvane-48.png icons/korvane-256.png \
    icons/korvane.ico
echo "rendered: $(ls icons)"
