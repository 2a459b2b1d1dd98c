#!/usr/bin/env bash
# On a terminal: each write shows as it ends, and the control bytes of a
# caption or a name never reach the terminal raw; a file gets every byte as
# it is. Standard output and standard error are each judged on their own.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

# on_terminal FILE COMMAND: runs the shell command COMMAND on a
# pseudo-terminal and puts in FILE what the terminal shows: its carriage
# returns dropped and, under wine, the escape sequences with which wine's
# own console draws undone (the cursor hidden and shown; a blank drawn as
# "erase to the end of the line, step right"). Sets REPLY to the status.
on_terminal() {
    SHELL=/bin/bash script -qec "$2" /dev/null </dev/null >terminal.raw
    REPLY=$?
    if [ "$platform" = windows ]; then
        perl -pe 's/\e\[\?25[lh]//g; s/\e\[K//g; s/\e\[(\d+)C/" " x $1/ge; s/\r//g' terminal.raw >"$1"
    else
        sed 's/\r$//' terminal.raw >"$1"
    fi
}

group_terminal() {
    if ! command -v script >/dev/null || ! script -qec true /dev/null </dev/null >/dev/null 2>&1; then
        skip "terminal" "no pseudo-terminal: script (util-linux) is missing or cannot open one"
        return
    fi

    # A window title, a colour, a clear screen, a bell, a delete.
    make_file esc.god 'caption_a=A\x1b]0;title\x07B' 'caption_b=\x1b[31mred\x7f\x01\x1f~'
    local rest=${alder#*$'\n'} shown raw name shown_name missing reason run
    shown="A?]0;title?B, ?[31mred???~"$'\n'"$rest"
    raw=$'A\e]0;title\aB, \e[31mred\x7f\x01\x1f~\n'"$rest"
    missing=$'x\e[2Jy\a.god'
    # Windows allows no control byte in a file name: there the escaped name
    # is only the missing one, which it calls an invalid name.
    if [ "$platform" = windows ]; then
        name=esc.god shown_name=esc.god reason="Invalid argument"
    else
        name=$'e\e[1m.god' shown_name='e?[1m.god' reason="No such file or directory"
        cp esc.god "$name"
    fi
    run=$(printf '%q ' "${program[@]}" alder.god "$name" "$missing")

    # The first file's report stands before the second file's report, and
    # that before the can't-read line: each write showed as it ended.
    local report="$ha$alder"$'\n----'"$shown_name"$'----\n\n'"$shown"
    on_terminal actual.out "$run"
    : >actual.err
    platform=posix check "both streams on a terminal" 2 "$REPLY" \
        "$report$(cant_read 'x?[2Jy?.god' "$reason")"$'\n' ""

    on_terminal actual.out "$run 2>actual.err"
    sed -i 's/\r$//' actual.err
    platform=posix check "standard output on a terminal, standard error to a file" 2 "$REPLY" \
        "$report" "$(cant_read "$missing" "$reason")"$'\n'

    on_terminal actual.err "$run >actual.out"
    sed -i 's/\r$//' actual.out
    platform=posix check "standard output to a file, standard error on a terminal" 2 "$REPLY" \
        "$ha$alder"$'\n----'"$name"$'----\n\n'"$raw" "$(cant_read 'x?[2Jy?.god' "$reason")"$'\n'
}

group_terminal
finish
