# Bash completion for Morvek, Cindral, Quillet and gwinspect: the options,
# gwinspect's subcommands and the values its options take, and file or folder
# names where the program expects one (and after < or >). It uses nothing
# from the bash-completion package, so it also works sourced from ~/.bashrc.
# The same script is installed under each program's name, the file that
# bash-completion loads the first time that name is completed.

# Lines of output into COMPREPLY, one entry each, so that a name with blanks
# stays one candidate.
_gw_reply_lines() {
  mapfile -t COMPREPLY < <("$@")
}

_gw_reply_files() {  # cur [-d for folders only]
  compopt -o filenames 2> /dev/null  # only inside a completion; fine without
  _gw_reply_lines compgen "${2:--f}" -- "$1"
}

# A builder asks its questions on the terminal or reads the answers from
# standard input: it takes --help or --version, nothing else.
_gw_complete_builder() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
  case $prev in
    *'<' | *'>') _gw_reply_files "$cur" ;;  # Morvek < answers.txt
    *) ((COMP_CWORD == 1)) && _gw_reply_lines compgen -W '--help --version' -- "$cur" ;;
  esac
  return 0
}

_gw_complete_gwinspect() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev= prefix=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  # bash splits --as=quillet at the '=' when '=' is in COMP_WORDBREAKS (its
  # default), into --as, = and quillet; otherwise it is one word. Either way
  # the option goes to prev and its value to cur; only the unsplit word needs
  # the option put back in front of each candidate.
  if [[ $cur == = ]]; then
    cur=''
  elif [[ $prev == = ]] && ((COMP_CWORD >= 2)); then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == -*=* ]]; then
    prev=${cur%%=*} prefix=${cur%%=*}= cur=${cur#*=}
  fi
  COMPREPLY=()
  case $prev in
    --as) _gw_reply_lines compgen -P "$prefix" -W 'morvek cindral quillet' -- "$cur"; return 0 ;;
    --format) _gw_reply_lines compgen -P "$prefix" -W 'text json' -- "$cur"; return 0 ;;
    -o | --output) _gw_reply_files "$cur"; return 0 ;;
    --length-unit) _gw_reply_lines compgen -P "$prefix" -W 'm ft' -- "$cur"; return 0 ;;
    *'<' | *'>') _gw_reply_files "$cur"; return 0 ;;
  esac
  if ((COMP_CWORD == 1)); then
    _gw_reply_lines compgen -W 'answers check report try --help --version' -- "$cur"
    return 0
  fi
  case ${COMP_WORDS[1]} in
    answers)  # [--as BUILDER] FILE
      if [[ $cur == -* ]]; then _gw_reply_lines compgen -W '--as' -- "$cur"; else _gw_reply_files "$cur"; fi ;;
    try)  # ANSWERS --as BUILDER
      if [[ $cur == -* ]]; then _gw_reply_lines compgen -W '--as' -- "$cur"; else _gw_reply_files "$cur"; fi ;;
    check)  # [--format FORMAT] [DIR]
      if [[ $cur == -* ]]; then _gw_reply_lines compgen -W '--format' -- "$cur"; else _gw_reply_files "$cur" -d; fi ;;
    report)  # [DIR] [-o FILE|-] [--length-unit NAME]
      if [[ $cur == -* ]]; then _gw_reply_lines compgen -W '-o --output --length-unit' -- "$cur"; else _gw_reply_files "$cur" -d; fi ;;
  esac
  return 0
}

complete -F _gw_complete_builder Morvek Cindral Quillet
complete -F _gw_complete_gwinspect gwinspect
