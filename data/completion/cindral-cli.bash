# bash completion for cindral-cli: its commands, each command's options, .gdx files for FILE,
# the formats a command writes for -o, and the library files for --patterns and --symbols.
# Plain compgen only, so it works with or without the bash-completion package's helpers.

_cindral_cli_files() {  # extensions, e.g. "gdx" or "png|jpg|jpeg|bmp"; either case
    local IFS=$'\n' extglob
    extglob=$(shopt -p extglob)
    shopt -s extglob
    COMPREPLY+=($(compgen -d -- "$cur"))
    if [ "$1" = "*" ]; then
        COMPREPLY+=($(compgen -f -- "$cur"))
    else
        COMPREPLY+=($(compgen -f -X "!*.@($1|${1^^})" -- "$cur"))
    fi
    eval "$extglob"
    compopt -o filenames 2>/dev/null
}

_cindral_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="info render trace patterns symbols settings export print find"
    local common="--patterns --symbols --settings --page-length --interval --help --version"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    local command=${COMP_WORDS[1]}
    case $prev in
        -o)
            case $command in
                render) _cindral_cli_files "png|jpg|jpeg|bmp" ;;
                export) _cindral_cli_files "wmf|emf|svg|html|htm" ;;
                print) _cindral_cli_files "pdf" ;;
                patterns | symbols) _cindral_cli_files "png" ;;
                *) _cindral_cli_files "*" ;;
            esac
            return
            ;;
        --patterns) _cindral_cli_files "pat" && return ;;
        --symbols) _cindral_cli_files "sym" && return ;;
        --settings) _cindral_cli_files "cn2" && return ;;
        --pages) COMPREPLY=($(compgen -W "all" -- "$cur")) && return ;;
        --page | --dpi | --quality | -j | --jobs | --page-length | --interval) return ;;
    esac
    local options
    case $command in
        info) options="--json --dpi" ;;
        render) options="--page --pages -j --jobs --dpi --quality -o" ;;
        trace) options="--page --no-annotations" ;;
        patterns | symbols) options="-o" ;;
        settings) options="--json" ;;
        export) options="-o --no-header --no-footer -j --jobs --dpi --quality" ;;
        print) options="-o --pages" ;;
        find) options="--case --word --json" ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options $common" -- "$cur"))
    else
        case $command in
            patterns | symbols | settings) ;;
            *) _cindral_cli_files "gdx" ;;
        esac
    fi
}

complete -F _cindral_cli cindral-cli
