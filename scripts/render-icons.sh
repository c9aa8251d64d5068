#!/usr/bin/env bash
# Renders data/icons/korvane.svg to the PNG sizes the program and desktop integration use.
# The PNGs are committed, so building needs no SVG renderer; run this after editing the SVG.
# Needs rsvg-convert (Debian: librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"

for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" korvane.svg --output "korvane-$size.png"
done
# The Windows icon: 32 x 32 in two colour depths (true colour and 256 colours), and the
# larger sizes that Explorer and the taskbar use.
convert korvane-16.png korvane-32.png \
    \( korvane-32.png -colors 256 \) korvane-48.png korvane-256.png \
    korvane.ico
echo "rendered: $(ls)"
