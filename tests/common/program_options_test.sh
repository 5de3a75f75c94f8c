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
# A wrong command line: nothing on standard output, status 2, and on standard error the
# reason under the program's short name followed by the way to the help.
expect_usage_error() { # reason-pattern, arguments...
  reason=$1
  shift
  expect 2 "" "$@"
  err=$("$@" 2>&1 >/dev/null)
  if ! printf '%s\n' "$err" | head -n 1 | grep -qx -e "$name: $reason" ||
     [ "$(printf '%s\n' "$err" | sed -n 2p)" != "Try '$name --help' for more information." ]; then
    echo "FAIL: $* said on standard error: $err" >&2
    fail=1
  fi
}
case $name in
torvane-unit)
  expect_usage_error '--slow takes a whole number of 0 or more, not "abc".' "$program" --slow abc
  expect_usage_error '--pace takes a whole number of 0 or more, not "-1".' "$program" --pace=-1
  expect_usage_error "Unknown option 'bogus'." "$program" --bogus
  expect_usage_error 'unexpected argument "slow".' "$program" --pace 0 slow
  expect_usage_error "Missing value after '--slow'." "$program" --slow ;;
quillon|probator)
  # A display that is named but cannot be reached: one line and status 1, not Qt's abort.
  err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:399 "$program" a.cfg 2>&1 >/dev/null)
  got=$?
  if [ "$got" -ne 1 ] || [ "$err" != "$name: cannot reach the display \":399\"; no window can be opened." ]; then
    echo "FAIL: an unreachable display ended with $got and said: $err" >&2
    fail=1
  fi
  # No display named at all: status 1 as well.
  expect 1 "" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" ;;
esac
if [ "$name" = probator ]; then
  expect_usage_error "--port needs the unit's serial port, for example --port /dev/ttyUSB0" \
    "$program" --port
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
