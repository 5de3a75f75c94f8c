#!/usr/bin/env bash
# Runs the Windows build's test suites under Wine, headless, in a Wine prefix inside the
# build folder (the user's own ~/.wine is never touched).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows

export WINEPREFIX="$PWD/$build/wine"
export WINEDEBUG=-all
# No Mono or Gecko download prompts: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-test: creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
# One Wine server for all the suites, instead of one started and stopped for each.
"$wineserver" --persistent=60 >/dev/null 2>&1 || true
trap '"$wineserver" --kill >/dev/null 2>&1 || true' EXIT

ctest --preset windows "$@"
