#!/usr/bin/env bash
# Starts one of the programs, or says in one line why it cannot show a window here.
set -u
program=$1; shift
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "$(basename "$program"): no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  exit 1
fi
exec "$program" "$@"
