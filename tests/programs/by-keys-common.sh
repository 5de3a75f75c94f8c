# Shared by the whole-program runs: a scratch home, the program started in the
# background, its window found and given the keyboard, and its end awaited.
# Sourced by bash scripts that run on an X server of their own (run-on-xvfb.sh).

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v xdotool >/dev/null 2>&1 || {
  echo "SKIPPED: xdotool is not installed (scripts/setup.sh installs it)"
  exit 77
}
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run this through run-on-xvfb.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/by-keys.XXXXXX") || fail "no scratch folder"
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Never the user's settings, files or running editor.
for name in HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR; do
  mkdir -p "$work/$name"
  export "$name=$work/$name"
done
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
cd "$work" || fail "cannot enter $work"

# within SECONDS COMMAND...: true once COMMAND succeeds, false when SECONDS pass first.
within() {
  local limit=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.1
  done
}

# start_program PROGRAM [ARG...]: starts it and gives its main window the keyboard;
# sets program_pid and window.
start_program() {
  "$@" >"$work/program.log" 2>&1 &
  program_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program_pid" | head -n 1)
  [ -n "$window" ] || { cat "$work/program.log" >&2; fail "$1 showed no window"; }
  timeout 10 xdotool windowfocus --sync "$window" || fail "could not give $1 the keyboard"
}

# check_desktop_class DESKTOP-ID: the main window's class is what the program's desktop
# entry names, so that a desktop groups its windows under that entry and its icon.
check_desktop_class() {
  local entry class
  entry="$(dirname "${BASH_SOURCE[0]}")/../../packaging/desktop/$1.desktop"
  class=$(sed -n 's/^StartupWMClass=//p' "$entry")
  [ -n "$class" ] || fail "$1.desktop names no StartupWMClass"
  xdotool search --class "^$class\$" | grep -qx "$window" ||
    fail "the window's class is not $class, which $1.desktop names"
}

# The program's windows on the screen, its open menus included.
shown_windows() {
  xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | wc -l
}

# open_menu XDOTOOL-ARGS...: does what opens a menu (a key or a click) and waits until
# the menu is on the screen, so the keys that follow reach it and not the window.
open_menu() {
  local before
  before=$(shown_windows)
  xdotool "$@"
  within 10 eval '[ "$(shown_windows)" -gt "$before" ]' || fail "no menu opened after: $*"
}

# end_program: waits for the program to end by itself and checks it ended cleanly.
end_program() {
  within 20 eval '! kill -0 "$program_pid" 2>/dev/null' || fail "the program did not end"
  wait "$program_pid"
  local status=$?
  program_pid=
  [ "$status" -eq 0 ] || { cat "$work/program.log" >&2; fail "the program ended with status $status"; }
}
