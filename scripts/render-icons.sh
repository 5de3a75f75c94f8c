#!/usr/bin/env bash
# Renders the hicolor PNG icons from their scalable originals in packaging/icons. The PNGs
# are kept in the repository so that a build needs no SVG renderer; run this after
# changing an SVG, and commit what it writes.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for svg in *.svg; do
  for size in 16 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$size/${svg%.svg}.png"
  done
done
echo "rendered: $(ls -d */ | tr -d / | tr '\n' ' ')"
