#!/usr/bin/env bash
# Renders the PNG icons from their scalable originals: the hicolor icons in packaging/icons,
# and the editor's toolbar pictures in editor/mainwindow/icons at 1x, 1.5x and 2x of their
# 16 pixels. The PNGs are kept in the repository so that a build needs no SVG renderer;
# run this after changing an SVG, and commit what it writes.
set -euo pipefail
root="$(dirname "$0")/.."
render() { # folder, sizes...
  local folder=$1
  shift
  cd "$root/$folder"
  for svg in *.svg; do
    for size in "$@"; do
      mkdir -p "$size"
      rsvg-convert --width "$size" --height "$size" "$svg" --output "$size/${svg%.svg}.png"
    done
  done
  echo "rendered in $folder: $(ls -d */ | tr -d / | tr '\n' ' ')"
  cd - >/dev/null
}
render packaging/icons 16 32 48 64 128 256
render editor/mainwindow/icons 16 24 32
