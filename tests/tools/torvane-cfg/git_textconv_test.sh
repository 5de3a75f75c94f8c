#!/bin/sh
# torvane-cfg as a git textconv driver, set up with the two lines the README gives: in a
# scratch repository, `git diff` of an enciphered file must show the changed plain lines.
set -eu
tool=$1
case $tool in /*) ;; *) tool=$(pwd)/$tool ;; esac
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

# A repository of its own: no user or system git configuration takes part.
export HOME="$scratch" GIT_CONFIG_NOSYSTEM=1 GIT_CONFIG_GLOBAL=/dev/null
git init -q repo
cd repo
git config user.name Test
git config user.email test@example.invalid

# The README's two lines, with the tool named by its full path.
git config diff.torvane-cfg.textconv "$tool decode --textconv"
echo '*.cfg diff=torvane-cfg' >> .gitattributes

printf '[Device]\r\nName=Torvane T7\r\nBeep=On\r\n' | "$tool" encode -o unit.cfg
# A plain file another program wrote, under the same pattern, is shown as it is.
printf '[view]\nzoom=1\n' > other.cfg
git add .gitattributes unit.cfg other.cfg
git commit -q -m first
printf '[Device]\r\nName=Torvane T9\r\nBeep=On\r\n' | "$tool" encode -o unit.cfg
printf '[view]\nzoom=2\n' > other.cfg

diff=$(git diff --no-color | tr -d '\r')
fail=0
for expected in '-Name=Torvane T7' '+Name=Torvane T9' ' Beep=On' '-zoom=1' '+zoom=2'; do
  if ! printf '%s\n' "$diff" | grep -qxF -e "$expected"; then
    echo "git diff does not show the line: $expected" >&2
    fail=1
  fi
done
if printf '%s\n' "$diff" | grep -q '^Binary files'; then
  echo "git diff treats the file as binary" >&2
  fail=1
fi
[ $fail -eq 0 ] || { printf '%s\n' "$diff" >&2; exit 1; }
echo "git diff shows the plain text"
