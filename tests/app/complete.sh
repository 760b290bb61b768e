#!/bin/bash
# What bash completion offers, one a line: complete.sh COMPLETION-FILE PROGRAM WORD... where the
# last word is the one being completed ("" for a new one). The function is the one the file
# registers for the program's name, as bash-completion would call it.
source "$1" || exit 1
shift
COMP_WORDS=("$@")
COMP_CWORD=$(($# - 1))
registered=$(complete -p "${1##*/}") || exit 1
function=${registered#*-F }
"${function%% *}" "${1##*/}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
