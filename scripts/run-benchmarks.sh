#!/usr/bin/env bash
# Runs every benchmark in a folder; each prints its own figures and ratios.
set -euo pipefail
dir=$1
shopt -s nullglob
for bench in "$dir"/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench"
done
