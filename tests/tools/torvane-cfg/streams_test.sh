#!/bin/sh
# The installed program on the system's own streams and special files: a full disk on
# standard output, an input that never ends, and a file whose size is given as 0.
set -u
tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail=0
check() { # check DESCRIPTION EXPECTED-STATUS ACTUAL-STATUS STDERR-FILE [PATTERN]
  if [ "$3" -ne "$2" ] || { [ -n "$5" ] && ! grep -q -e "$5" "$4"; }; then
    echo "FAIL: $1 (status $3)" >&2
    cat "$4" >&2
    fail=1
  fi
}

printf 'a=1\r\n' | "$tool" encode -o "$scratch/a.cfg"
"$tool" decode "$scratch/a.cfg" >/dev/full 2>"$scratch/err"
check "decode to /dev/full" 1 $? "$scratch/err" "standard output: cannot be written"
printf 'a=1\r\n' | "$tool" encode >/dev/full 2>"$scratch/err"
check "encode to /dev/full" 1 $? "$scratch/err" "standard output: cannot be written"

# Stopped at the limit rather than read without end (timeout ends a run that hangs).
yes | timeout 20 "$tool" encode >/dev/null 2>"$scratch/err"
check "endless standard input" 1 $? "$scratch/err" "more than 98,301 bytes"

if [ -r /proc/self/status ]; then
  "$tool" decode /proc/self/status >/dev/null 2>"$scratch/err"
  check "a /proc file is no config file" 1 $? "$scratch/err" "not a config file"
  "$tool" decode --force /proc/self/status >"$scratch/out" 2>"$scratch/err"
  check "a /proc file read to its end" 0 $? "$scratch/err" ""
  [ -s "$scratch/out" ] || { echo "FAIL: /proc/self/status decoded to nothing" >&2; fail=1; }
fi
[ $fail -eq 0 ] && echo "standard streams and special files are handled"
exit $fail
