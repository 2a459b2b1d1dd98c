#!/usr/bin/env bash
# Usage and the files that cannot be read.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_errors() {
    expect "no arguments" 1 "" $'Usage: tolvex <files>\n' --
    expect "missing file" 2 "" "tolvex: can't read nothing.god: No such file or directory"$'\n' -- nothing.god
    expect "second of two missing" 2 "$ha$alder" \
        "tolvex: can't read nothing.god: No such file or directory"$'\n' -- alder.god nothing.god brannoc.god
    expect "empty name" 2 "" $'tolvex: can\'t read No such file or directory\n' -- ""
    mkdir folder
    expect "a directory" 2 "" "tolvex: can't read folder: Permission denied"$'\n' -- folder
    if [ "$platform" = posix ]; then
        # Only Windows refuses a name with a wildcard in it: on Linux a
        # folder so named is refused as every folder is.
        mkdir 'd*r.god'
        expect "a folder named with a wildcard" 2 "" "$(cant_read 'd*r.god' "Permission denied")"$'\n' -- 'd*r.god'
    fi
    expect "a directory's file" 2 "" "tolvex: can't read alder.god/x: No such file or directory"$'\n' -- alder.god/x
    expect "wildcard that names nothing" 2 "" "tolvex: can't read none*.god: Invalid argument"$'\n' -- 'none*.god'
    expect "question mark that names nothing" 2 "" "tolvex: can't read none?.god: Invalid argument"$'\n' -- 'none?.god'

    head -c 100 alder.god >short.god
    expect "short file" 2 "" "tolvex: can't read short.god: Unexpected end of file"$'\n' -- short.god
    expect "short file after a good one" 2 "$ha$alder" \
        "tolvex: can't read short.god: Unexpected end of file"$'\n' -- alder.god short.god
    : >empty.god
    expect "empty file" 2 "" "tolvex: can't read empty.god: Unexpected end of file"$'\n' -- empty.god
    head -c "$(($(wc -c <alder.god) - 16))" alder.god >whole.god
    expect "file that ends at the sleep state" 0 "$alder" "" -- whole.god

    if unprivileged; then
        cp alder.god locked.god && chmod 000 locked.god
        as_user expect "unreadable file" 2 "" "tolvex: can't read locked.god: Permission denied"$'\n' -- locked.god
    else
        skip "unreadable file" "$REPLY"
    fi

    local long
    long=$(printf 'n%.0s' $(seq 5000))
    expect "name too long" 2 "" "tolvex: can't read $long: No such file or directory"$'\n' -- "$long"
}

group_errors
finish
