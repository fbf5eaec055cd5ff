#!/usr/bin/env bash
# Completes vrx command lines with vrx's bash completion and checks what is offered.
#   completion_test.sh VRX [COMPLETION_FILE]
# Without COMPLETION_FILE the completion is loaded the way bash-completion finds an
# installed one.
set -uo pipefail
vrx=$1
loader=/usr/share/bash-completion/bash_completion
[ -f "$loader" ] || { echo "bash-completion is not installed: completion test skipped"; exit 77; }
source "$loader"
if [ -n "${2:-}" ]; then source "$2"; else __load_completion vrx; fi
complete -p vrx > /dev/null 2>&1 || { echo "no completion for vrx"; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/sub"
touch "$dir/client.4dm" "$dir/server.4dm" "$dir/notes.txt"

# The candidates for the last word of a line (words split at spaces, as no line here
# holds another word break), sorted, on one line.
offered() {
  local line="$vrx $1"
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -ra COMP_WORDS <<< "$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vrx vrx "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2> /dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
}

failures=0
expect() {
  local got
  got=$(offered "$1")
  if [ "$got" != "$2" ]; then
    echo "FAIL: vrx $1<TAB> offered '$got', expected '$2'"
    failures=$((failures + 1))
  fi
}
expect "" "--help --version call commands help run"
expect "c" "call commands"
expect "help sta" "states"
expect "help time" "timeouts"
expect "help VRX_StartT" "VRX_StartTLS"
expect "help VRX_SetTrusted" "VRX_SetTrustedCertificates"
expect "help --h" "--html"
expect "call VRX_EncodeBase" "VRX_EncodeBase64"
expect "call VRX_EncodeBase64 te" "text: text@"
expect "call VRX_EncodeBase64 --r" "--raw"
expect "call VRX_EncodeBase64 text@$dir/no" "text@$dir/notes.txt"
expect "help VRX_EncodeBase64 " ""
expect "run --t" "--trace"
expect "run $dir/" "$dir/client.4dm $dir/server.4dm $dir/sub"
expect "run $dir/client.4dm --method " "client server"
expect "run $dir/client.4dm $dir/n" "$dir/notes.txt"

# Every command and topic of the reference is offered after help, and only those.
names=$("$vrx" commands | awk '$2 ~ /^VRX_/ { print $2 }' | sort)
topics=$("$vrx" help | sed -n '/^Topics:/,/^$/p' | awk 'NF == 2 || NF > 2 { print $1 }' | grep -v Topics: | sort)
[ "$(wc -l <<< "$names")" -gt 100 ] || { echo "FAIL: vrx commands lists $(wc -l <<< "$names") names"; failures=$((failures + 1)); }
expect "help " "$(printf '%s\n' $names $topics --markdown --html | sort | paste -sd' ')"
expect "call " "$(printf '%s\n' $names --help | sort | paste -sd' ')"

[ "$failures" -eq 0 ] || exit 1
echo "completion: every case offered what it should"
