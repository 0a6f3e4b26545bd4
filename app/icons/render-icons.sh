#!/usr/bin/env bash
# Renders the launcher sizes of the icon from its drawing, velhorn.svg (needs rsvg-convert from
# librsvg2-bin). The 16 and 32 px images are drawn by hand, pixel by pixel, from the same
# drawing, and are not rendered: at those sizes a rendering blurs the fan's lines.
set -euo pipefail
cd "$(dirname "$0")"
for size in 22 24 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" velhorn.svg --output "velhorn-$size.png"
done
