#!/usr/bin/env bash
# Probator as a person uses it: File > Simulate Torvane with the mouse, Read ESN picked
# with the arrow key and sent with Enter; the log then holds the unit's answer, and
# closing the window ends the program cleanly. It is started with one of Qt's own options,
# -reverse, which must not reach Qt: a mirrored window would have its File menu at the
# top right, away from where the person clicks.
# Usage: probator-by-keys.sh PROBATOR CLOSE_WINDOW   (through run-on-xvfb.sh)
set -u
probator=$1 close_window=$2
. "$(dirname "$0")/by-keys-common.sh"
command -v xclip >/dev/null 2>&1 || { echo "SKIPPED: xclip is not installed"; exit 77; }

start_program "$probator" -reverse
check_desktop_class org.torvane.Probator
# The File menu is the first in the bar, at the window's top left.
open_menu mousemove --window "$window" 20 10 click 1
xdotool key Down Return
# The focus is in the command list: the first entry is Read ESN.
xdotool key Down Return

log_holds_answer() {
  # Everything in the log selected, and so on the X selection.
  xdotool mousemove --window "$window" 100 150 click 1 key ctrl+a
  xclip -o -selection primary 2>/dev/null | grep -q 'ESN: 4A7F19C2'
}
within 20 log_holds_answer || fail "the log holds: $(xclip -o -selection primary 2>&1)"

# What the title bar's close button does.
"$close_window" "$window" || fail "could not ask the window to close"
end_program
echo "probator: simulated Read ESN answered in the log, and the program ended"
