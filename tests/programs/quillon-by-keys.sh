#!/usr/bin/env bash
# Quillon as a person uses it: a file named on the command line (named like one of Qt's
# own options, which must reach the editor as typed), text typed into it, File > Save
# and File > Exit by their keys; the saved bytes are what the file format gives for the
# typed text (worked out here, not by the programs' own code), and the program ends cleanly.
# Usage: quillon-by-keys.sh QUILLON TORVANE_CFG   (through run-on-xvfb.sh)
set -u
quillon=$1 cfg=$2
. "$(dirname "$0")/by-keys-common.sh"

printf 'first line\r\nsecond line' | "$cfg" encode -o ./-reverse || fail "cannot make the file"

# reference_file TEXT: the bytes of a config file holding TEXT (ASCII), from the cipher's
# rule rather than the programs' code: the unit at position i (from 1) gains the code of
# the key's letter number (i mod 8) + 1, modulo 256, and is stored low byte first.
reference_file() {
  local LC_ALL=C text=$1 key=BRAZENTO i unit letter out=
  for ((i = 1; i <= ${#text}; i++)); do
    printf -v unit '%d' "'${text:i-1:1}"
    printf -v letter '%d' "'${key:i%8:1}"
    printf -v out '%s\\x%02x\\x00' "$out" $(((unit + letter) % 256))
  done
  printf "$out"
}
reference_file $'typed first line\r\nsecond line' >expected.cfg

start_program "$quillon" -reverse
check_desktop_class org.torvane.Quillon
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
