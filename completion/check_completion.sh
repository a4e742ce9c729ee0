#!/usr/bin/env bash
# check_completion.sh BIN_DIR [SCRIPT]: the bash completion (SCRIPT, default
# complete_programs.bash beside this file) completes as a user at the prompt
# meets it. It is sourced into this shell, and each command line below is
# handed to the function that `complete` registered for its program, with
# COMP_WORDS split as bash splits it, in a scratch folder of model files.
# Then the options and subcommands it offers are held against what each
# program's --help in BIN_DIR lists, so that neither can change alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
script=${2:-$here/complete_programs.bash}
export LC_ALL=C
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
touch FOR001 FOR011 answers.txt "my answers.txt"
mkdir models mine

# shellcheck source=complete_programs.bash
source "$script"
failures=0

# COMPREPLY for the command line WORDS (the last is the word being completed),
# sorted, one candidate a line.
complete_line() {
  local spec function
  spec=$(complete -p "$1" 2> /dev/null) || { echo "no completion registered for $1"; return; }
  function=${spec#*-F }
  function=${function%% *}
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  if ((${#COMPREPLY[@]})); then printf '%s\n' "${COMPREPLY[@]}" | sort; fi
}

expect() {  # EXPECTED (candidates joined by '|', '' for none) WORDS...
  local expected=$1 got
  shift
  got=$(complete_line "$@" | paste -sd '|')
  if [ "$got" != "$expected" ]; then
    printf 'completing [%s]: expected [%s], got [%s]\n' "$*" "$expected" "$got"
    failures=$((failures + 1))
  fi
}

# A builder takes one option; its answers come after <.
expect '--help|--version' Morvek ''
expect '--version' Cindral --v
expect '' Quillet --help ''
expect 'mine|models|my answers.txt' Quillet '<' m
expect 'FOR001|FOR011|answers.txt|mine|models|my answers.txt' Morvek '<' ''

# gwinspect: the subcommand, then its options, their values and its operand.
expect '--help|--version|answers|check|report|try' gwinspect ''
expect 'report' gwinspect r
expect '--as' gwinspect answers -
expect 'FOR001|FOR011' gwinspect answers FOR0
expect 'my answers.txt' gwinspect answers --as quillet my
expect 'cindral|morvek|quillet' gwinspect answers --as ''
# --as=q as bash splits it by default ('=' breaks words), and unsplit.
expect 'cindral|morvek|quillet' gwinspect answers --as =
expect 'quillet' gwinspect answers --as = q
expect '--as=cindral' gwinspect answers --as=c
expect '--as' gwinspect try -
expect 'my answers.txt' gwinspect try my
expect 'cindral|morvek|quillet' gwinspect try 'my answers.txt' --as ''
expect '--format' gwinspect check --
expect 'json' gwinspect check --format j
expect 'json|text' gwinspect check --format = ''
expect 'mine|models' gwinspect check m
expect '--length-unit|--output|-o' gwinspect report -
expect 'ft|m' gwinspect report --length-unit ''
expect 'mine|models' gwinspect report m
expect 'my answers.txt' gwinspect report models -o my
expect 'FOR001|FOR011' gwinspect report --output = F
expect '' gwinspect frobnicate ''

# What --help lists is what is offered: a builder's options, gwinspect's
# subcommands, and each option that a subcommand's synopsis shows.
for builder in Morvek Cindral Quillet; do
  listed=$("$bin/$builder" --help | sed -n 's/^  \(--[a-z]*\) .*/\1/p' | sort | paste -sd '|')
  [ -n "$listed" ] || { echo "$builder --help lists no option"; failures=$((failures + 1)); }
  expect "$listed" "$builder" ''
done
usage=$("$bin/gwinspect" --help)
subcommands=$(sed -n 's/^  gwinspect \([a-z]*\) .*/\1/p' <<< "$usage" | sort | paste -sd '|')
expect "--help|--version|$subcommands" gwinspect ''
for subcommand in ${subcommands//|/ }; do
  for option in $(sed -n "s/^  gwinspect $subcommand //p" <<< "$usage" | grep -o '\[-[-a-z]*' | tr -d '['); do
    offered=$(complete_line gwinspect "$subcommand" -)
    grep -qx -- "$option" <<< "$offered" \
      || { echo "gwinspect $subcommand: --help shows $option, the completion does not offer it"; failures=$((failures + 1)); }
  done
done

if ((failures)); then
  echo "check_completion: $failures failure(s)"
  exit 1
fi
echo "check_completion: every case completes as expected, and as --help lists"
