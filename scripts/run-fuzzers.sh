#!/usr/bin/env bash
# Runs every libFuzzer target in a folder for a bounded time each, from its seed corpus.
set -euo pipefail
dir=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
ran=0
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="$root/fuzz/corpus/$name"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "== $name, ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
  ran=$((ran + 1))
done
[ "$ran" -gt 0 ] || { echo "no fuzz targets in $dir" >&2; exit 1; }
