#!/bin/bash
# The shipped bash completion scripts load and offer the tools' commands and switches.
# Uses the installed bash-completion where there is one; otherwise the two helpers the
# scripts call are stood in for by their plainest form.
# Usage: completion_test.sh DIR (the folder holding the scripts)
set -u
dir=$1
if [ -r /usr/share/bash-completion/bash_completion ]; then
  . /usr/share/bash-completion/bash_completion
else
  _init_completion() { # cur, prev, words and cword; -s splits --switch=value
    words=("${COMP_WORDS[@]}") cword=$COMP_CWORD split=false
    cur=${words[cword]} prev=${words[cword - 1]}
    if [[ ${1-} == -s && $cur == --?*=* ]]; then
      prev=${cur%%=*} cur=${cur#*=} split=true
    fi
  }
  _filedir() { COMPREPLY=(); }
fi
fail=0
for tool in torvane-cfg torvane-unit; do
  . "$dir/$tool" || { echo "FAIL: $dir/$tool does not load" >&2; fail=1; }
done

# What the completion offers for a command line whose last word is being typed.
expect() { # offered (sorted, space-separated), words...
  local want=$1 function
  shift
  function=$(complete -p "$1" 2>/dev/null | sed -n 's/.*-F \([^ ]*\).*/\1/p')
  COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  [ -n "$function" ] && "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//')
  if [ "$got" != "$want" ]; then
    echo "FAIL: '$*' offered '$got', not '$want'" >&2
    fail=1
  fi
}

expect '--help --version check decode encode' torvane-cfg ''
expect 'decode' torvane-cfg de
expect '-- --force' torvane-cfg check -
expect '--force' torvane-cfg decode --f
expect '--lossy --output -o' torvane-cfg encode -
expect '' torvane-cfg encode --output=
expect '--silent-after --slow --stray-after-answer' torvane-unit --s
expect '--version' torvane-unit --ver
expect '' torvane-unit --slow ''
expect '--abort-twice' torvane-unit --pace 5 --ab
[ $fail -eq 0 ] && echo "torvane-cfg and torvane-unit complete their commands and switches"
exit $fail
