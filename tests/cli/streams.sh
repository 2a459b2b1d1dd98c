#!/usr/bin/env bash
# Where reports and messages go, and output that cannot be written.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_streams() {
    # With both streams on one file, the message is written at once and the
    # buffered report only when the program ends.
    "${program[@]}" alder.god nothing.god >actual.out 2>&1
    local status=$?
    : >actual.err
    check "both streams on one file" 2 "$status" \
        "tolvex: can't read nothing.god: No such file or directory"$'\n'"$ha$alder" ""

    "${program[@]}" alder.god brannoc.god 2>actual.err | cat >actual.out
    check "into a pipe" 0 "${PIPESTATUS[0]}" "$ha$alder$hb$brannoc" ""

    : >actual.out
    "${program[@]}" alder.god >/dev/full 2>actual.err
    check "output to a full device" 3 "$?" "" $'tolvex: write error: No space left on device\n'
    "${program[@]}" alder.god nothing.god >/dev/full 2>actual.err
    check "output to a full device, then a missing file" 2 "$?" "" \
        "tolvex: can't read nothing.god: No such file or directory"$'\n'$'tolvex: write error: No space left on device\n'

    "${program[@]}" alder.god >&- 2>actual.err
    check "output closed" 3 "$?" "" $'tolvex: write error: Bad file descriptor\n'

    if [ "$platform" = posix ]; then
        expect "standard input as a file" 0 "$alder" "" -- /dev/stdin <alder.god
        cat alder.god | "${program[@]}" /dev/stdin >actual.out 2>actual.err
        check "a pipe as a file" 0 "$?" "$alder" ""
    fi
}

group_streams
finish
