#!/usr/bin/env bash
# Renders the program icon from its SVG into the PNG sizes the windows library
# embeds. Run after editing src/gui/icons/quarnex.svg (needs rsvg-convert
# from librsvg2-bin); the PNGs are committed, so builds do not need it.
set -euo pipefail
cd "$(dirname "$0")/../src/gui/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" quarnex.svg -o "quarnex-$size.png"
done
