# Bash completion of compattatore: the commands and each command's options, read from the
# program's own --help, so a command added to the program completes without a change here.

_compattatore_commands() {
  "$1" --help 2>/dev/null | awk '/^[A-Za-z]*[Cc]ommands:|^Subcommands:/ {on=1; next}
                                on && /^  [a-z]/ {print $1} on && /^$/ {on=0}'
}

_compattatore_options() {
  "$1" "$2" --help 2>/dev/null | grep -oE '^ +(-[A-Za-z0-9],)?--?[A-Za-z0-9-]+' |
    sed -E 's/^ +//; s/,/ /'
}

_compattatore() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local program=${COMP_WORDS[0]}
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W "$(_compattatore_commands "$program") --help --help-all --version" \
                 -- "$cur"))
    return
  fi
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_compattatore_options "$program" "${COMP_WORDS[1]}")" -- "$cur"))
    return
  fi
  # Everything else is a file or a folder.
  COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _compattatore compattatore
