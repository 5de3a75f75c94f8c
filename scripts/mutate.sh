#!/usr/bin/env bash
# mutate.sh [LIST] [PATTERN]
# Puts each small fault of LIST (scripts/mutations.tsv by default; only those whose line
# matches PATTERN) into the code on its own, rebuilds only the test binary that covers it
# in the dev build, runs that binary's covering cases and says whether they caught the
# fault. The file is put back after each fault, also when the script is interrupted.
# Prints the faults that survived and the score. Not part of CI: it takes a while.
#
# A line of LIST, fields separated by tabs (# starts a comment):
#   FILE  TEXT  FAULTY-TEXT  TEST-BINARY  GTEST-FILTER
# TEXT must occur exactly once in FILE; <TAB> and <NL> in it stand for a tab and a new line.
set -u
cd "$(dirname "$0")/.."
list=${1:-scripts/mutations.tsv}
pattern=${2:-}
build=build
[ -f "$build/build.ninja" ] || { echo "mutate: no dev build; run make build first" >&2; exit 2; }

backup=
restore() { [ -n "$backup" ] && cp "$backup" "$file" && rm -f "$backup"; backup=; }
trap 'restore; exit 130' INT TERM
trap restore EXIT

caught=0 survived=0 broken=0 survivors=()
while IFS=$'\t' read -r file text faulty binary filter; do
  case "$file" in '' | '#'*) continue ;; esac
  line="$file: $text -> $faulty"
  [ -n "$pattern" ] && [[ "$line" != *$pattern* ]] && continue
  backup=$(mktemp) && cp -p "$file" "$backup" || exit 2
  if ! python3 - "$file" "$text" "$faulty" <<'PY'
import sys
path, text, faulty = sys.argv[1:]
unescape = lambda s: s.replace("<TAB>", "\t").replace("<NL>", "\n")
text, faulty = unescape(text), unescape(faulty)
source = open(path, encoding="utf-8").read()
if source.count(text) != 1:
    sys.exit(f"{path}: the text occurs {source.count(text)} times: {text!r}")
open(path, "w", encoding="utf-8").write(source.replace(text, faulty))
PY
  then
    broken=$((broken + 1)); echo "BROKEN   $line"; restore; continue
  fi
  if ! cmake --build "$build" --target "$binary" >/tmp/mutate.$$.log 2>&1; then
    # A fault the compiler refuses is caught before any test runs; say so apart.
    broken=$((broken + 1)); echo "NO BUILD $line"; restore; continue
  fi
  if QT_QPA_PLATFORM=offscreen timeout 600 "$build/bin/$binary" --gtest_filter="$filter" \
      --gtest_brief=1 >/tmp/mutate.$$.log 2>&1; then
    survived=$((survived + 1)); survivors+=("$line"); echo "SURVIVED $line"
  else
    caught=$((caught + 1)); echo "CAUGHT   $line"
  fi
  restore
done <"$list"
rm -f /tmp/mutate.$$.log
# Leave the build matching the code as it is.
cmake --build "$build" >/dev/null 2>&1

echo
echo "Survivors:"
for s in "${survivors[@]}"; do echo "  $s"; done
echo "Score: $caught of $((caught + survived)) faults caught ($broken could not be applied or built)"
