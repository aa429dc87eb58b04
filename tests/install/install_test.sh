#!/usr/bin/env bash
# The installed program, checked from the outside: `cmake --install` to a temporary prefix,
# then the installed binaries run there, the desktop's own tools read the installed desktop
# entry and file type, and a read-only program folder sends the user's files to the XDG
# folders.
#
#   install_test.sh BUILD_DIR install      install to BUILD_DIR/install-test (the fixture)
#   install_test.sh BUILD_DIR run          the installed CLI on the installed data files
#   install_test.sh BUILD_DIR mime         .gdx resolves by name and by content
#   install_test.sh BUILD_DIR desktop      the desktop entry is valid and opens .gdx files
#   install_test.sh BUILD_DIR xdg-folders  settings and log of a read-only installed program
#   install_test.sh BUILD_DIR manual       both man pages show, and name every command and option
#   install_test.sh BUILD_DIR completion   bash completes what the installed CLI takes
#   install_test.sh BUILD_DIR metainfo     the AppStream description validates and fits the install
#   install_test.sh BUILD_DIR package      lintian on the .deb: no errors, only the listed warnings
#
# Exit status 77 means skipped (no way to make a folder read-only here).
set -uo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
mode=$2
work="$build/install-test"
prefix="$work/prefix"
bin="$prefix/bin"
share="$prefix/share"
type=application/x-cindral-gdx
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

scratch() {  # a fresh folder for one mode's own files
    local dir="$work/$mode"
    rm -rf "$dir" && mkdir -p "$dir" && echo "$dir"
}

# A compiled log's first record frame: code and payload length, little-endian 16-bit each.
header_frame() {  # code length
    printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8)))"
    printf "\\x$(printf %02x $(($2 & 255)))\\x$(printf %02x $(($2 >> 8)))"
}

install_prefix() {
    rm -rf "$work"
    mkdir -p "$work"
    if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
        cat "$work/install.log" >&2
        fail "cmake --install"
        finish
    fi
    local wanted=(
        bin/cindral bin/cindral-cli
        share/cindral/Tables/Quen.Err share/cindral/QuenUtil.Pat share/cindral/QuenUtil.Sym
        share/cindral/QuenUtil.Pat.txt share/cindral/samples/sample.gdx
        share/applications/cindral.desktop share/mime/packages/cindral.xml
        share/icons/hicolor/scalable/apps/cindral.svg
        share/doc/cindral/user-guide.md
        share/man/man1/cindral.1.gz share/man/man1/cindral-cli.1.gz
        share/bash-completion/completions/cindral-cli
        share/metainfo/example.quentara.cindral.metainfo.xml
    )
    for f in "${wanted[@]}"; do [ -s "$prefix/$f" ] || fail "$f is not installed"; done
    for f in bin/cindral bin/cindral-cli; do [ -x "$prefix/$f" ] || fail "$f is not executable"; done
    # Nothing the build tree keeps beside its binaries may end up in bin/.
    local extra
    extra=$(cd "$bin" && ls -A | grep -v -x -e cindral -e cindral-cli)
    [ -z "$extra" ] || fail "bin/ holds more than the two programs: $extra"
    # Each PNG is drawn at the size its folder promises.
    local sizes=0 size dir
    for dir in "$share"/icons/hicolor/*x*/apps; do
        size=$(basename "$(dirname "$dir")")
        [ "$(identify -format '%wx%h' "$dir/cindral.png")" = "$size" ] ||
            fail "$dir/cindral.png is not $size"
        sizes=$((sizes + 1))
    done
    [ "$sizes" -ge 7 ] || fail "only $sizes PNG icon sizes are installed"
    finish
}

run_installed() {
    local dir
    dir=$(scratch)
    local sample="$share/cindral/samples/sample.gdx"
    export QT_QPA_PLATFORM=offscreen
    # The installed program must give what the build tree's program gives.
    "$bin/cindral-cli" info "$sample" --json >"$dir/installed.json" || fail "installed info"
    "$build/bin/cindral-cli" info "$sample" --json >"$dir/built.json" || fail "build tree info"
    cmp -s "$dir/installed.json" "$dir/built.json" || fail "info differs from the build tree's"
    grep -q '"pages": 4' "$dir/installed.json" || fail "the installed sample has not 4 pages"
    for page in 1 4; do
        "$bin/cindral-cli" render "$sample" --page $page -o "$dir/installed$page.png" ||
            fail "installed render of page $page"
        "$build/bin/cindral-cli" render "$sample" --page $page -o "$dir/built$page.png"
        cmp -s "$dir/installed$page.png" "$dir/built$page.png" ||
            fail "page $page renders differently when installed"
    done
    # The libraries and the error table are found in share/cindral/.
    "$bin/cindral-cli" patterns -o "$dir/patterns.png" 2>"$dir/patterns.err" ||
        fail "installed patterns sheet: $(cat "$dir/patterns.err")"
    { header_frame 77 0; } >"$dir/strange.gdx"
    "$bin/cindral-cli" info "$dir/strange.gdx" 2>"$dir/strange.err" >/dev/null
    grep -q "Unknown compiled log version" "$dir/strange.err" ||
        fail "the error table's explanation is missing: $(cat "$dir/strange.err")"
    finish
}

mime_type() {
    local dir
    dir=$(scratch)
    update-mime-database "$share/mime" >/dev/null 2>&1 || fail "update-mime-database"
    command -v mimetype >/dev/null || fail "mimetype (libfile-mimeinfo-perl) is missing"
    cp "$share/cindral/samples/sample.gdx" "$dir/log.gdx"
    cp "$dir/log.gdx" "$dir/renamed-log"
    { header_frame 300 105; head -c 105 /dev/zero; } >"$dir/older-log"
    { header_frame 300 106; head -c 106 /dev/zero; } >"$dir/other-length"
    printf 'depth,gamma\n100,42\n' >"$dir/notes.txt"
    echo "plain text" >"$dir/notes.gdx"
    # file | expected type; by name alone, by content alone, and neither.
    local cases=(
        "log.gdx|$type"
        "renamed-log|$type"
        "older-log|$type"
        "notes.gdx|$type"
        "other-length|application/octet-stream"
        "notes.txt|text/plain"
    )
    # Two independent readers of the installed database: xdg-mime outside a known desktop
    # (File::MimeInfo, which reads globs2 and magic) and GLib (which reads mime.cache).
    local entry file expected got
    for entry in "${cases[@]}"; do
        file=${entry%%|*}
        expected=${entry#*|}
        got=$(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
            -u GNOME_DESKTOP_SESSION_ID XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share" \
            xdg-mime query filetype "$dir/$file")
        [ "$got" = "$expected" ] || fail "xdg-mime: $file is '$got', not $expected"
        got=$(XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share" \
            gio info -a standard::content-type "$dir/$file" | sed -n 's/^ *standard::content-type: //p')
        [ "$got" = "$expected" ] || fail "gio: $file is '$got', not $expected"
    done
    finish
}

desktop_entry() {
    local entry="$share/applications/cindral.desktop"
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    local exec icon types
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    types=$(sed -n 's/^MimeType=//p' "$entry")
    [ -x "$bin/$exec" ] || fail "Exec=$exec is not an installed program"
    [ -s "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not installed"
    grep -q "type=\"${types%;}\"" "$share/mime/packages/cindral.xml" ||
        fail "MimeType=$types is not the installed file type"
    # What a file manager's double click asks: the application for the type.
    update-desktop-database "$share/applications" || fail "update-desktop-database"
    local default
    default=$(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
        -u GNOME_DESKTOP_SESSION_ID XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share" \
        XDG_CONFIG_HOME="$work/no-config" xdg-mime query default "$type")
    [ "$default" = cindral.desktop ] || fail "the default application for $type is '$default'"
    finish
}

# One case per environment: the viewer started until its start-up is done, then asked where
# things went. $1 is how the program folder is: read-only (mounted so) or writable (an
# installed program writes nothing there even when it could, as root can in /usr/bin).
xdg_folders_inside() {
    local dir="$work/xdg-folders/$1"
    rm -rf "$dir" && mkdir -p "$dir"
    if [ "$1" = read-only ]; then
        touch "$bin/probe" 2>/dev/null && fail "the program folder is writable"
    fi
    # name | environment | settings folder | log folder
    local cases=(
        "xdg|XDG_CONFIG_HOME=$dir/xdg/config XDG_STATE_HOME=$dir/xdg/state|$dir/xdg/config/cindral|$dir/xdg/state/cindral"
        "home|-u XDG_CONFIG_HOME -u XDG_STATE_HOME|$dir/home/home/.config/cindral|$dir/home/home/.local/state/cindral"
        "relative|XDG_CONFIG_HOME=config XDG_STATE_HOME=state|$dir/relative/home/.config/cindral|$dir/relative/home/.local/state/cindral"
    )
    local entry name settings_dir log_dir pid waited json
    for entry in "${cases[@]}"; do
        IFS='|' read -r name environment settings_dir log_dir <<<"$entry"
        mkdir -p "$dir/$name/home" "$dir/$name/tmp"
        # shellcheck disable=SC2086  # the environment is a list of words
        local run=(env $environment HOME="$dir/$name/home" TMPDIR="$dir/$name/tmp"
            QT_QPA_PLATFORM=offscreen)
        (cd "$dir/$name" && exec "${run[@]}" "$bin/cindral" "$share/cindral/samples/sample.gdx") \
            >"$dir/$name/viewer.out" 2>&1 &
        pid=$!
        # The last line of the start-up: settings loaded, log written, nothing refused.
        for waited in $(seq 600); do
            grep -q "Updating hints" "$log_dir/cindral.LOG" 2>/dev/null && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        grep -q "Updating hints" "$log_dir/cindral.LOG" 2>/dev/null ||
            fail "$name: no execution log in $log_dir ($(cat "$dir/$name/viewer.out"))"
        [ -s "$settings_dir/cindral.Cn2" ] || fail "$name: no settings file in $settings_dir"
        [ -s "$settings_dir/cindral.CN1" ] || fail "$name: no options file in $settings_dir"
        grep -q "User Directory = $settings_dir/" "$log_dir/cindral.LOG" 2>/dev/null ||
            fail "$name: the log names another user directory"
        # The CLI, which creates nothing, names the same two files.
        json=$("${run[@]}" "$bin/cindral-cli" settings --json)
        [[ "$json" == *"\"file\": \"$settings_dir/cindral.Cn2\""* ]] ||
            fail "$name: cindral-cli settings names another file: $json"
        [[ "$json" == *"\"log\": \"$log_dir/cindral.LOG\""* ]] ||
            fail "$name: cindral-cli settings names another log: $json"
        [[ "$json" == *'"state": "good"'* ]] || fail "$name: the viewer's settings are not good"
    done
    [ ! -e "$dir/xdg/home/.config/cindral" ] && [ ! -e "$dir/xdg/home/.local/state/cindral" ] ||
        fail "xdg: files went to HOME although XDG folders were set"
    [ "$(ls -A "$bin")" = "$(printf 'cindral\ncindral-cli')" ] || fail "files were written to bin/"
}

xdg_folders() {
    xdg_folders_inside writable
    # A user namespace lets anyone, root included, mount the prefix read-only for one run.
    if unshare --map-root-user --mount true 2>/dev/null; then
        unshare --map-root-user --mount bash -c \
            'mount --bind -o ro "$1" "$1" && exec bash "$0" "$2" xdg-folders-inside' \
            "$0" "$prefix" "$build" || fail "read-only program folder"
    elif [ "$(id -u)" -ne 0 ]; then
        chmod a-w "$bin"
        xdg_folders_inside read-only
        chmod u+w "$bin"
    else
        echo "cannot make $bin read-only here (no user namespaces, running as root)" >&2
        [ "$failures" -eq 0 ] && exit 77
    fi
    finish
}

# The command names the installed CLI lists, and the options the usage of one command names.
cli_commands() {
    "$bin/cindral-cli" --help | sed -n 's/^  cindral-cli \([a-z]*\) .*/\1/p' | sort -u
}
cli_options() {  # command
    "$bin/cindral-cli" "$1" --help | grep -o -- '\(^\|[ [|]\)--*[a-z][a-z-]*' |
        sed 's/^[ [|]//' | sort -u
}

manual() {
    local dir page text
    dir=$(scratch)
    for page in cindral cindral-cli; do
        [ -s "$share/man/man1/$page.1.gz" ] || fail "$page.1.gz is not installed"
        # Rendered as man shows it; groff's warnings are failures.
        text=$(MANWIDTH=200 LC_ALL=C.UTF-8 man --warnings -l "$share/man/man1/$page.1.gz" \
            2>"$dir/$page.warnings" | col -bx)
        [ -s "$dir/$page.warnings" ] && fail "$page(1): $(cat "$dir/$page.warnings")"
        [[ $text == *"NAME"*"$page - "*"SYNOPSIS"* ]] || fail "$page(1) has no NAME and SYNOPSIS"
        printf '%s\n' "$text" >"$dir/$page.txt"
    done
    # The synopsis is the README's command-line block, line for line.
    awk '/^## Command line$/ { found = 1; next }
         found && /^```$/ { if (inside) exit; inside = 1; next }
         inside' "$source_dir/README.md" >"$dir/contract.txt"
    [ -s "$dir/contract.txt" ] || fail "no command-line block in README.md"
    while IFS= read -r line; do
        grep -qF -- "$line" "$dir/cindral-cli.txt" || fail "cindral-cli(1) lacks: $line"
    done < <(sed 's/^ *//' "$dir/contract.txt")
    # Every command and option the installed program takes is described below the synopsis.
    sed '1,/^DESCRIPTION/d' "$dir/cindral-cli.txt" >"$dir/described.txt"
    local command option
    for command in $(cli_commands); do
        grep -qE "^ {7}($command|.*, $command|$command,)" "$dir/described.txt" ||
            fail "cindral-cli(1) does not describe $command"
        for option in $(cli_options "$command"); do
            grep -qE -- "(^|[ ,])$option( |,|$)" "$dir/described.txt" ||
                fail "cindral-cli(1) does not describe $option ($command)"
        done
    done
    for option in --help --version; do
        grep -qF -- "$option" <(sed '1,/^OPTIONS/d' "$dir/cindral.txt") ||
            fail "cindral(1) does not describe $option"
    done
    finish
}

completion() {
    local file="$share/bash-completion/completions/cindral-cli"
    [ -s "$file" ] || fail "the completion is not installed"
    # Where bash-completion itself loads completions from, under our prefix.
    local wanted
    wanted=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null)
    if [ -n "$wanted" ]; then
        [ "${wanted#/usr/}" = "share/bash-completion/completions" ] ||
            fail "bash-completion looks in $wanted"
    fi
    local dir
    dir=$(scratch)
    touch "$dir/a.gdx" "$dir/B.GDX" "$dir/notes.txt" "$dir/page.png" "$dir/old.pdf"
    complete_words() {  # words of the command line; the last is the one being completed
        (cd "$dir" && bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1));
            _cindral_cli; printf "%s\n" "${COMPREPLY[@]}" | sort' "$file" "$@")
    }
    local got commands
    commands=$(cli_commands | tr '\n' ' ')
    got=$(complete_words cindral-cli "" | grep -v '^-' | tr '\n' ' ')
    [ "$got" = "$commands" ] || fail "commands complete as '$got', not '$commands'"
    local command option
    for command in $(cli_commands); do
        got=$(complete_words cindral-cli "$command" x -)
        for option in $(cli_options "$command"); do
            grep -qx -- "$option" <<<"$got" || fail "$command: $option does not complete"
        done
    done
    # file | expected completions
    local cases=(
        "info||B.GDX a.gdx"
        "render|a.gdx -o|page.png"
        "print|a.gdx -o|old.pdf"
        "render|--pages|all"
    )
    local entry before expected
    for entry in "${cases[@]}"; do
        IFS='|' read -r command before expected <<<"$entry"
        # shellcheck disable=SC2086  # the words before the one completed
        got=$(complete_words cindral-cli "$command" $before "" | tr '\n' ' ')
        [ "$got" = "$expected " ] || fail "$command $before: completes as '$got', not '$expected'"
    done
    finish
}

metainfo() {
    local file="$share/metainfo/example.quentara.cindral.metainfo.xml"
    command -v appstreamcli >/dev/null || fail "appstreamcli (appstream) is missing"
    appstreamcli validate --no-net --pedantic "$file" || fail "appstreamcli validate"
    xmllint --noout "$file" || fail "the metainfo is not well-formed XML"
    # It names what is installed: the desktop entry, the type, the programs, this version.
    local launchable type version
    launchable=$(xmllint --xpath 'string(//launchable[@type="desktop-id"])' "$file")
    [ -s "$share/applications/$launchable" ] || fail "launchable $launchable is not installed"
    type=$(xmllint --xpath 'string(//provides/mediatype)' "$file")
    grep -q "type=\"$type\"" "$share/mime/packages/cindral.xml" ||
        fail "mediatype $type is not the installed file type"
    for program in $(xmllint --xpath '//provides/binary/text()' "$file"); do
        [ -x "$bin/$program" ] || fail "binary $program is not installed"
    done
    version=$(xmllint --xpath 'string(//releases/release[1]/@version)' "$file")
    [ "$("$bin/cindral-cli" --version)" = "cindral-cli $version" ] ||
        fail "the newest release $version is not the program's version"
    # The screenshot kept in the tree is the size the description says.
    local shot="$source_dir/data/metainfo/screenshots/viewer.png" size
    size=$(xmllint --xpath 'concat(//screenshot[1]/image/@width, "x", //screenshot[1]/image/@height)' "$file")
    [ "$(identify -format '%wx%h' "$shot")" = "$size" ] || fail "$shot is not $size"
    finish
}

package() {
    command -v lintian >/dev/null || { echo "lintian is not installed" >&2; exit 77; }
    local dir
    dir=$(scratch)
    (cd "$build" && cpack -G DEB -B "$dir" >"$dir/cpack.log" 2>&1) ||
        { cat "$dir/cpack.log" >&2; fail "cpack"; finish; }
    local deb
    deb=$(ls "$dir"/*.deb)
    lintian --no-tag-display-limit "$deb" >"$dir/lintian.txt" 2>&1
    cat "$dir/lintian.txt"
    grep -q '^E: ' "$dir/lintian.txt" && fail "lintian reports errors"
    # Each warning left is listed, with its reason, in docs/packaging.md.
    local tag
    for tag in $(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$dir/lintian.txt" | sort -u); do
        grep -q "^| \`$tag\`" "$source_dir/docs/packaging.md" ||
            fail "lintian warning $tag is neither fixed nor listed in docs/packaging.md"
    done
    finish
}

case $mode in
    install) install_prefix ;;
    run) run_installed ;;
    mime) mime_type ;;
    desktop) desktop_entry ;;
    xdg-folders) xdg_folders ;;
    manual) manual ;;
    completion) completion ;;
    metainfo) metainfo ;;
    package) package ;;
    xdg-folders-inside)
        xdg_folders_inside read-only
        finish
        ;;
    *)
        echo "unknown mode $mode" >&2
        exit 2
        ;;
esac
