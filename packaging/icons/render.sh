#!/usr/bin/env bash
# Renders the application icon's PNG sizes from peridon.svg. The PNGs are kept
# in the repository, so building the program never needs this tool; run it
# after changing the drawing (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" peridon.svg -o "peridon-$size.png"
done
