#!/bin/sh
# Remakes the desktop program's icons in the hicolor sizes from
# packaging/icons/com.helmark.kova.svg (needs rsvg-convert, librsvg2-bin).
set -eu
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" com.helmark.kova.svg -o "com.helmark.kova-$size.png"
done
