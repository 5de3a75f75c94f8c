#!/usr/bin/env bash
# Quillon as a person uses it: a file named on the command line (named like one of Qt's
# own options, which must reach the editor as typed), text typed into it, File > Save
# and File > Exit by their keys; the saved bytes are what the editor's format gives for
# the typed text, and the program ends cleanly.
# Usage: quillon-by-keys.sh QUILLON TORVANE_CFG   (through run-on-xvfb.sh)
set -u
quillon=$1 cfg=$2
. "$(dirname "$0")/by-keys-common.sh"

printf 'first line\r\nsecond line' | "$cfg" encode -o ./-reverse || fail "cannot make the file"
printf 'typed first line\r\nsecond line' | "$cfg" encode -o expected.cfg || fail "cannot encode"

start_program "$quillon" -reverse
# The caret starts at the beginning of the opened text.
xdotool type --delay 30 'typed '
open_menu key alt+f
xdotool key s
within 10 cmp -s ./-reverse expected.cfg ||
  fail "the saved file holds: $("$cfg" decode ./-reverse 2>&1)"
open_menu key alt+f
xdotool key x
end_program
echo "quillon: opened -reverse, took typed text, saved it and ended"
