#!/bin/sh
# A built program answers --help and --version on standard output with status 0, with no
# display at all, while the design's help switches still end it silently.
# Usage: program_options_test.sh PROGRAM NAME VERSION
set -u
program=$1 name=$2 version=$3
fail=0
expect() { # what status, stdout-pattern, arguments...
  status=$1 pattern=$2
  shift 2
  out=$("$@" 2>/tmp/program_options_err.$$)
  got=$?
  err=$(cat /tmp/program_options_err.$$)
  rm -f /tmp/program_options_err.$$
  if [ "$got" -ne "$status" ]; then
    echo "FAIL: $* ended with $got, not $status${err:+ ($err)}" >&2
    fail=1
  elif [ -n "$pattern" ] && ! printf '%s\n' "$out" | grep -qx -e "$pattern"; then
    echo "FAIL: $* printed: $out" >&2
    fail=1
  elif [ -z "$pattern" ] && [ -n "$out" ]; then
    echo "FAIL: $* printed something: $out" >&2
    fail=1
  fi
}

# No display: the answers must not need one.
expect 0 "$name $version" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version
expect 0 "Usage: $name.*" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help
# A display that is named but cannot be reached: one line and status 1, not Qt's abort.
err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:399 "$program" 2>&1 >/dev/null)
got=$?
if [ "$got" -ne 1 ] || [ "$err" != "$name: cannot reach the display \":399\"; no window can be opened." ]; then
  echo "FAIL: an unreachable display ended with $got and said: $err" >&2
  fail=1
fi
if [ "$name" = quillon ]; then
  # The design's switches: a help switch ends at once and prints nothing (Qt may still
  # speak of its platform on standard error).
  for switch in -h -help '-?' -H; do
    expect 0 "" env QT_QPA_PLATFORM=offscreen "$program" "$switch"
    expect 0 "" env QT_QPA_PLATFORM=offscreen "$program" -silent "$switch"
  done
fi
[ $fail -eq 0 ] && echo "$name answers --help and --version"
exit $fail
