#!/usr/bin/env bash
# run-on-xvfb.sh [--may-skip] COMMAND [ARG...]
# Runs COMMAND on a private Xvfb server of its own, with the xcb platform, and ends the
# server afterwards. Each run has its own server, so runs in parallel never share a focus,
# a clipboard or a window stack, and none touches the user's own display.
#
# When no X server can be started here the run is skipped, not passed: the reason is
# printed and the exit status is 77, which CTest reports as "Skipped". With --may-skip,
# COMMAND may skip itself the same way (exit 77, its reason printed); without it, a 77 from
# COMMAND (a test binary, which never means it) counts as a failure.
set -u

skip() {
  echo "run-on-xvfb: SKIPPED, no X server: $*" >&2
  echo "run-on-xvfb: SKIPPED, no X server: $*"
  exit 77
}

may_skip=false
[ "${1:-}" = --may-skip ] && { may_skip=true; shift; }
[ $# -ge 1 ] || { echo "usage: run-on-xvfb.sh [--may-skip] COMMAND [ARG...]" >&2; exit 2; }
command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed (scripts/setup.sh installs it)"
command -v xauth >/dev/null 2>&1 || skip "xauth is not installed (scripts/setup.sh installs it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/run-on-xvfb.XXXXXX") || skip "no temporary folder"
server=
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# A cookie of our own: the server admits only clients that present it.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
export XAUTHORITY="$work/Xauthority"
: >"$XAUTHORITY"
# The server takes every cookie in its file whatever display the entry names.
xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie" 2>/dev/null ||
  skip "xauth could not write a cookie"

# -displayfd lets the server choose a free display and tell us once it accepts clients,
# so parallel runs never race for a display number.
mkfifo "$work/ready" || skip "no fifo for the server's display number"
Xvfb -displayfd 3 -auth "$XAUTHORITY" -nolisten tcp -noreset \
  -screen 0 1280x1024x24 3>"$work/ready" >"$work/server.log" 2>&1 &
server=$!
display=
read -r -t 20 display <"$work/ready"
if [ -z "$display" ]; then
  reason=$(tail -n 3 "$work/server.log" | tr '\n' ' ')
  skip "Xvfb did not start: ${reason:-no reason given}"
fi
xauth -q -f "$XAUTHORITY" add ":$display" MIT-MAGIC-COOKIE-1 "$cookie" ||
  skip "xauth could not add the cookie for :$display"

export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb
echo "run-on-xvfb: running on Xvfb display $DISPLAY"
"$@"
status=$?
if [ "$status" -eq 77 ] && ! $may_skip; then
  echo "run-on-xvfb: $1 exited 77 but may not skip itself: a failure" >&2
  status=1
fi
exit "$status"
