# bash completion for norvane-flash and norvane-devsim

# Sets _norvane_cur to the word being typed and _norvane_words to the words before it, split
# at blanks as the shell splits them: quotes and backslashes are taken off ("my\ fw.mot" is
# "my fw.mot"), and "--port=CO" and "drop:3:1,no" stay whole.
_norvane_split_line()
{
    local line=${COMP_LINE:0:COMP_POINT} word="" quote="" in_word=0 i c
    _norvane_words=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if [[ -n $quote ]]; then
            if [[ $c == "$quote" ]]; then
                quote=""
            elif [[ $c == \\ && $quote == '"' ]]; then
                ((i++)) || true
                word+=${line:i:1}
            else
                word+=$c
            fi
        elif [[ $c == \\ ]]; then
            ((i++)) || true
            word+=${line:i:1}
            in_word=1
        elif [[ $c == [\'\"] ]]; then
            quote=$c
            in_word=1
        elif [[ $c == [[:blank:]] ]]; then
            ((in_word)) && _norvane_words+=("$word")
            word=""
            in_word=0
        else
            word+=$c
            in_word=1
        fi
    done
    _norvane_cur=$word
}

# Offers the candidates (whole words) that start with the typed word. Bash replaces only the
# part after the last word-break character (':' and '=' by default), so that part of the
# typed word is cut from each candidate.
_norvane_reply()
{
    local breaks=${COMP_WORDBREAKS//[[:space:]\'\"]/}
    local cut=${_norvane_cur%"${_norvane_cur##*[$breaks]}"}
    local candidate
    COMPREPLY=()
    for candidate in "$@"; do
        [[ $candidate == "$_norvane_cur"* ]] && COMPREPLY+=("${candidate#"$cut"}")
    done
}

# Firmware files: S-record files (.mot, any case) and folders to look into.
_norvane_firmware()
{
    local IFS=$'\n'
    compopt -o filenames
    COMPREPLY=($(compgen -d -- "$1") $(compgen -f -X '!*.[mM][oO][tT]' -- "$1"))
}

_norvane_folders()
{
    local IFS=$'\n'
    compopt -o filenames
    COMPREPLY=($(compgen -d -- "$1"))
}

_norvane_files()
{
    local IFS=$'\n'
    compopt -o filenames
    COMPREPLY=($(compgen -f -- "$1"))
}

# Ports: COM1 to COM12 and the stable links under /dev/serial/by-id; a typed path completes
# as a path (any device, or the link of a virtual device).
_norvane_port()
{
    local prefix=$1 value=$2
    if [[ $value == /* || $value == .* || $value == '~'* ]]; then
        local IFS=$'\n'
        compopt -o filenames
        COMPREPLY=($(compgen -f -- "$value"))
        return
    fi
    local ports=(COM{1..12}) link
    for link in /dev/serial/by-id/*; do
        [[ -e $link ]] && ports+=("$link")
    done
    _norvane_reply "${ports[@]/#/$prefix}"
}

_norvane_flash()
{
    local _norvane_cur _norvane_words
    _norvane_split_line
    local cur=$_norvane_cur prev=${_norvane_words[-1]}
    local commands=(info flash ports station history)

    local command="" word
    for word in "${_norvane_words[@]:1}"; do
        [[ $word != -* ]] && { command=$word; break; }
    done
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            _norvane_reply --help --version
        else
            _norvane_reply help "${commands[@]}"
        fi
        return
    fi
    # After "--" every word is the firmware file.
    for word in "${_norvane_words[@]:2}"; do
        [[ $word == -- ]] && { _norvane_firmware "$cur"; return; }
    done

    case $command in
    flash)
        case $prev in
        -p | --port) _norvane_port "" "$cur"; return ;;
        --trace | --record) _norvane_files "$cur"; return ;;
        --retries) return ;;
        esac
        case $cur in
        --port=*) _norvane_port "--port=" "${cur#--port=}" ;;
        --trace=*) _norvane_files "${cur#--trace=}" ;;
        -*) _norvane_reply -p --port --json --trace --retries --record --dry-run -h --help ;;
        *) _norvane_firmware "$cur" ;;
        esac
        ;;
    info)
        case $cur in
        -*) _norvane_reply --json -h --help ;;
        *) _norvane_firmware "$cur" ;;
        esac
        ;;
    ports)
        _norvane_reply --json -h --help
        ;;
    help)
        [[ ${#_norvane_words[@]} -eq 2 ]] && _norvane_reply "${commands[@]}"
        ;;
    station)
        case $prev in
        --watch) _norvane_folders "$cur"; return ;;
        --record) _norvane_files "$cur"; return ;;
        --jobs | --retries) return ;;
        esac
        case $cur in
        -*) _norvane_reply --watch --jobs --include-present --retries --record --json -h --help ;;
        *) _norvane_firmware "$cur" ;;
        esac
        ;;
    history)
        case $prev in
        --record | --html) _norvane_files "$cur"; return ;;
        --port) _norvane_port "" "$cur"; return ;;
        --outcome)
            _norvane_reply downloaded failed cancelled file-unusable port-unavailable \
                bootloader-not-started
            return
            ;;
        --since | --until | --crc) return ;;
        esac
        _norvane_reply --since --until --port --outcome --crc --record --json --csv --summary \
            --html -h --help
        ;;
    esac
}

_norvane_devsim_faults=(no-polls garbage-polls drop: change: one-byte: late: garbage:
                        fail-verify close-after:)

_norvane_devsim()
{
    local _norvane_cur _norvane_words
    _norvane_split_line
    local cur=$_norvane_cur prev=${_norvane_words[-1]}

    case $prev in
    --link | --flash-in | --flash-out | --trace) _norvane_files "$cur"; return ;;
    --handover | --reply-latency) return ;;
    --fault)
        # A comma-separated list: complete its last item.
        local done=""
        [[ $cur == *,* ]] && done=${cur%,*},
        compopt -o nospace
        _norvane_reply "${_norvane_devsim_faults[@]/#/$done}"
        return
        ;;
    esac
    _norvane_reply --link --flash-in --flash-out --trace --fault --pace --handover \
        --reply-latency -h --help -v --version --help-all
}

complete -F _norvane_flash norvane-flash
complete -F _norvane_devsim norvane-devsim
