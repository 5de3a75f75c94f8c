#!/usr/bin/env bash
# run-fuzzers.sh DIR [SECONDS [JOBS]]
# Runs every libFuzzer target in a folder for a bounded time each, from its seed corpus.
# Each target works on one core, so JOBS of them (the number of cores by default) run side
# by side: every target still gets its full SECONDS. The output comes target by target.
set -euo pipefail
dir=$1
seconds=${2:-20}
jobs=${3:-$(nproc 2>/dev/null || echo 2)}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run_one TARGET: one target's run, its output into $work/NAME.out, its status into .status.
run_one() {
  local target=$1 name corpus seeds status=0
  name=$(basename "$target")
  corpus="$work/$name.corpus"
  mkdir -p "$corpus"
  seeds="$root/fuzz/corpus/$name"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  {
    echo "== $name, ${seconds}s"
    # One input may take at most 10 s: a hang fails the run at once instead of after
    # libFuzzer's default of 20 minutes.
    "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=0 "$corpus" >"$work/$name.log" 2>&1 ||
      status=$?
    tail -n 3 "$work/$name.log"
  } >"$work/$name.out"
  echo "$status" >"$work/$name.status"
}

targets=()
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] && targets+=("$target")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $dir" >&2; exit 1; }

running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
wait

failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  cat "$work/$name.out"
  if [ "$(cat "$work/$name.status" 2>/dev/null || echo 1)" != 0 ]; then
    echo "$name: FAILED (the whole log follows)" >&2
    cat "$work/$name.log" >&2
    failed=1
  fi
done
exit "$failed"
