# Bash completion for kvelctl and kvel-sim, installed once under each name in
# /usr/share/bash-completion/completions. The commands and options are read from the program's
# own --help, so a command or option added there is completed without touching this file;
# cabinet names come from [panels] of mem.ini in the current folder, ports from /dev.

# The program the line names (a build tree's ./kvelctl too), else the installed one.
_kvel_program() {
    local program=${COMP_WORDS[0]/#\~/$HOME}
    command -v "$program" >/dev/null 2>&1 || program=$1
    "$program" --help 2>/dev/null
}

# The lines of one part of --help ("Commands:", "Options:"), up to the blank line after it.
_kvel_part() {
    awk -v title="$2" '$0 == title { on = 1; next } on && /^$/ { exit } on' <<<"$1"
}

# Commands: the indented words of "Commands:" (a description that wraps is indented further).
_kvel_commands() {
    _kvel_part "$1" Commands: | awk '/^  [a-z]/ { print $1 }'
}

# Every --option named in the given lines.
_kvel_options() {
    grep -o -- '--[a-z][a-z-]*' <<<"$1" | sort -u
}

# Options that take a value: a name followed by one blank and a value in capitals or digits
# ("--port DEV", "[--channels 1,3,5]", "--png|--svg OUT"); a description stands further off.
_kvel_valued() {
    grep -o -- '--[a-z][a-z-]*\(|--[a-z][a-z-]*\)* [A-Z0-9]' <<<"$1" |
        grep -o -- '--[a-z][a-z-]*' | sort -u
}

# The keys of [panels] in ./mem.ini, one a line; a file from Windows (code page 1251) is
# converted, as the program reads it.
_kvel_cabinets() {
    [[ -r mem.ini ]] || return 0
    local encoding=UTF-8
    iconv -f UTF-8 -t UTF-8 mem.ini >/dev/null 2>&1 || encoding=CP1251
    iconv -f "$encoding" -t UTF-8 mem.ini 2>/dev/null |
        awk '
            { sub(/\r$/, ""); if (NR == 1) sub(/^\357\273\277/, "") }
            { line = $0; gsub(/^[ \t]+|[ \t]+$/, "", line) }
            line == "" || line ~ /^;/ { next }
            line ~ /^\[.*\]$/ {
                name = substr(line, 2, length(line) - 2); gsub(/^[ \t]+|[ \t]+$/, "", name)
                panels = tolower(name) == "panels"; next
            }
            panels && index(line, "=") > 1 {
                key = substr(line, 1, index(line, "=") - 1); sub(/[ \t]+$/, "", key)
                if (key != "") print key
            }'
}

# The serial devices present, as the settings dialog lists them.
_kvel_ports() {
    local device
    for device in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* /dev/ttyAMA*; do
        [[ -e $device ]] && printf '%s\n' "$device"
    done
}

# COMPREPLY: the lines of $1 that begin with the word being completed, quoted for the shell.
_kvel_offer() {
    local cur=${COMP_WORDS[COMP_CWORD]} word
    cur=${cur//\\/}
    cur=${cur#[\"\']}
    COMPREPLY=()
    while IFS= read -r word; do
        [[ -n $word && $word == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$word")")
    done <<<"$1"
}

_kvel_files() {
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "${COMP_WORDS[COMP_CWORD]}")
}

# The value of an option: true when one was offered (or none is to be).
_kvel_value() {
    case $1 in
        --port)
            _kvel_offer "$(_kvel_ports)"
            # A pseudo-terminal's link (kvel-sim --link) or any other path.
            ((${#COMPREPLY[@]})) || _kvel_files ;;
        --png | --svg | --link) _kvel_files ;;
        --speed) _kvel_offer "$(printf '%s\n' 0 1 2 3 4)" ;;
        --parity) _kvel_offer "$(printf '%s\n' 0 1 2)" ;;
        *) COMPREPLY=() ;;
    esac
}

_kvelctl() {
    local help cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    help=$(_kvel_program kvelctl) || return 0
    local valued commands
    valued=$(_kvel_valued "$help")
    commands=$(_kvel_commands "$help")
    if ((COMP_CWORD > 1)) && grep -qx -- "$prev" <<<"$valued"; then
        _kvel_value "$prev"
        return 0
    fi
    # The command and its operands so far: the words that are neither options nor their values.
    local command="" operands=() i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == -* ]]; then
            grep -qx -- "$word" <<<"$valued" && ((i++))
        elif [[ -z $command ]]; then
            command=$word
        else
            operands+=("$word")
        fi
    done
    local line
    line=$(_kvel_part "$help" Commands: | awk -v c="$command" '$1 == c')
    if [[ $cur == -* && $command == plot ]]; then
        _kvel_offer "$(_kvel_options "$line")"  # plot takes its own options only
    elif [[ $cur == -* ]]; then
        _kvel_offer "$(_kvel_options "$(_kvel_part "$help" Options:)
$line")"
    elif [[ -z $command ]]; then
        _kvel_offer "$commands"
    elif [[ $command == cabinet ]]; then
        case ${#operands[@]} in
            0) _kvel_offer "$(_kvel_cabinets)" ;;
            # The actions are the lower-case words of its line: command K | signal S | status.
            1) _kvel_offer "$(grep -o -- '\b[a-z]\+\b' <<<"${line#*NAME}")" ;;
            2) case ${operands[1]} in
                   command) _kvel_offer "$(printf '%s\n' 1 2 3 4 5 6)" ;;
                   signal) _kvel_offer "$(printf '%s\n' S41 S42 S43 S51 S52)" ;;
               esac ;;
        esac
    elif [[ $command == plot && ${#operands[@]} -eq 0 ]]; then
        _kvel_files
    fi
    return 0
}

_kvel_sim() {
    local help prev=${COMP_WORDS[COMP_CWORD - 1]}
    help=$(_kvel_program kvel-sim) || return 0
    if ((COMP_CWORD > 1)) && grep -qx -- "$prev" <<<"$(_kvel_valued "$help")"; then
        _kvel_value "$prev"
    else
        _kvel_offer "$(_kvel_options "$(_kvel_part "$help" Options:)")"
    fi
    return 0
}

complete -F _kvelctl kvelctl
complete -F _kvel_sim kvel-sim
