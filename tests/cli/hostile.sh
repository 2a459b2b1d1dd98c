#!/usr/bin/env bash
# Hostile inputs: no run may change, make or remove a file.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_hostile() {
    local LC_ALL=C size whole n before
    local eof="Unexpected end of file" missing="No such file or directory"

    # Every cut of a sample: short up to the sleep state, then whole (the
    # writer puts 16 bytes of its own after the sleep state).
    size=$(wc -c <alder.god)
    whole=$((size - 16))
    for ((n = 0; n <= size; n++)); do
        # Under the emulator each run is a wine process, and one in a few
        # thousand of those fails inside wine itself; there a sample of the
        # cuts, with both edges, is run (the unit tests cut at every byte
        # in-process on both platforms).
        if [ "$platform" = windows ] && ((n % 13 != 0 && n != whole - 1 && n != whole)); then
            continue
        fi
        head -c "$n" alder.god >cut.god
        if ((n < whole)); then
            expect_untouched "cut to $n bytes" 2 "" "$(cant_read cut.god "$eof")"$'\n' -- cut.god
        else
            expect_untouched "cut to $n bytes" 0 "$alder" "" -- cut.god
        fi
    done
    rm cut.god

    # 1 MiB of 0x39, the marker's first byte and never its second: once
    # from the start (the lead text never ends), once after an empty lead
    # text (the marker scan runs to the end).
    head -c 1048576 /dev/zero | tr '\0' '\071' >nines.god
    expect_untouched "1 MiB without a text end" 2 "" "$(cant_read nines.god "$eof")"$'\n' -- nines.god
    { head -c 38 alder.god; printf '\x5a'; cat nines.god; } >nomarker.god
    expect_untouched "1 MiB without the record marker" 2 "" \
        "$(cant_read nomarker.god "$eof")"$'\n' -- nomarker.god
    rm nines.god nomarker.god

    # Texts of 100,000 bytes, spliced into a file with three empty texts
    # and no gap: the lead text's end at 38, caption A's at 94, caption B's
    # just before the sleep state. "w" is stored as "-".
    local w texts
    make_file base.god lead_text= caption_a= caption_b= gap=0 tail=0
    texts=$(repeat - 100000)
    n=$(wc -c <base.god)
    { head -c 38 base.god; printf '%s' "$texts"
      head -c 94 base.god | tail -c +39; printf '%s' "$texts"
      head -c $((n - 2)) base.god | tail -c +95; printf '%s' "$texts"
      tail -c 2 base.god; } >texts.god
    w=$(repeat w 100000)
    expect_untouched "texts of 100,000 bytes" 0 "$w, $w${alder#Alder, the Grey}" "" -- texts.god
    rm texts.god

    # A text and its terminating zero fit in 16 MiB: a caption one byte
    # shorter is reported, one of 16 MiB makes the file too large.
    local mib16=$((16 << 20)) status
    { head -c 94 base.god; repeat - $((mib16 - 1)); tail -c +95 base.god; } >bound.god
    "${program[@]}" bound.god >actual.out 2>actual.err
    status=$?
    native ", "$'\n'"${alder#*$'\n'}" >expected.out
    if [ $status = 0 ] && [ ! -s actual.err ] && cmp -s <(repeat w $((mib16 - 1))) <(head -c $((mib16 - 1)) actual.out) &&
        cmp -s expected.out <(tail -c +$mib16 actual.out); then
        passed=$((passed + 1))
    else
        echo "FAIL a caption just under 16 MiB: status $status, or not its report"; failed=$((failed + 1))
    fi
    { head -c 94 base.god; repeat - $mib16; tail -c +95 base.god; } >bound.god
    expect_untouched "a caption of 16 MiB" 2 "" "$(cant_read bound.god "File too large")"$'\n' -- bound.god
    if [ "$platform" = posix ]; then
        mv bound.god 'b?und.god'
        expect_untouched "a caption of 16 MiB in a file named with a wildcard" 2 "" \
            "$(cant_read 'b?und.god' "File too large")"$'\n' -- 'b?und.god'
        mv 'b?und.god' bound.god
    fi
    rm bound.god

    # In a small address space: a caption of 8 MiB is held once, in its
    # record (the output does not copy it again), in 39 MiB; one of 12 MiB,
    # under the bound, cannot be held in 20 MiB, which is an error, not a
    # crash. A sanitizer build or an emulator cannot run under such a limit.
    if [ ${#emulator[@]} = 0 ] && (ulimit -v 40000; exec "${program[@]}" alder.god) >/dev/null 2>&1; then
        before=$(snapshot)
        { head -c 94 base.god; repeat - $((8 << 20)); tail -c +95 base.god; } >huge.god
        (ulimit -v 40000; exec "${program[@]}" huge.god >actual.out 2>actual.err)
        check "a caption of 8 MiB in 39 MiB" 0 "$?" "$(repeat w $((8 << 20))), "$'\n'"${alder#*$'\n'}" ""
        { head -c 94 base.god; repeat - $((12 << 20)); tail -c +95 base.god; } >huge.god
        (ulimit -v 20000; exec "${program[@]}" huge.god >actual.out 2>actual.err)
        check "a caption of 12 MiB in 20 MiB" 2 "$?" "" "$(cant_read huge.god "Cannot allocate memory")"$'\n'
        rm huge.god
        untouched "captions in a small address space" "$before"
    else
        skip "captions in a small address space" "this build cannot run under an address-space limit"
    fi
    rm base.god

    # Every byte a text can hold, the line end included, in all three texts.
    local escaped="" bytes="" hex byte
    for n in $(seq 1 255); do
        printf -v hex %02x "$n"
        printf -v byte "\\x$hex"
        escaped+="\\x$hex"
        bytes+=$byte
    done
    make_file bytes.god "lead_text=$escaped" "caption_a=$escaped" "caption_b=$escaped"
    expect_untouched "every byte value in every text" 0 "$bytes, $bytes${alder#Alder, the Grey}" "" \
        -- bytes.god
    rm bytes.god

    mkdir folder.god
    expect_untouched "a folder after a good file" 2 "$ha$alder" \
        "$(cant_read folder.god "Permission denied")"$'\n' -- alder.god folder.god brannoc.god
    rmdir folder.god

    mkfifo fifo.god
    head -c 200 alder.god >short.god
    local input
    for input in alder.god short.god; do
        cat "$input" >fifo.god &
        if [ "$input" = alder.god ]; then
            expect_untouched "a FIFO with a file" 0 "$alder" "" -- fifo.god
        else
            expect_untouched "a FIFO with a short file" 2 "" "$(cant_read fifo.god "$eof")"$'\n' -- fifo.god
        fi
        kill $! 2>/dev/null
        wait
    done
    rm fifo.god

    if [ "$platform" = posix ]; then
        before=$(snapshot)
        "${program[@]}" /dev/stdin /dev/stdin <short.god >actual.out 2>actual.err
        check "a short file on standard input" 2 "$?" "" "$(cant_read /dev/stdin "$eof")"$'\n'
        untouched "a short file on standard input" "$before"
        before=$(snapshot)
        cat alder.god | "${program[@]}" /dev/stdin /dev/stdin >actual.out 2>actual.err
        check "a pipe named twice" 2 "${PIPESTATUS[1]}" $'\n----/dev/stdin----\n\n'"$alder" \
            "$(cant_read /dev/stdin "$eof")"$'\n'
        untouched "a pipe named twice" "$before"
        expect_untouched "a character device" 2 "" "$(cant_read /dev/null "$eof")"$'\n' -- /dev/null
    else
        skip "standard input as a file" "wine opens /dev/stdin in its server, not in the program"
    fi
    rm short.god

    # A path of 5,000 characters through a folder that exists.
    local long
    long=$(printf './%.0s' $(seq 2496))alder.god
    if [ "$platform" = posix ]; then
        expect_untouched "a path of 5,000 characters" 2 "" "$(cant_read "$long" "$missing")"$'\n' -- "$long"
    else
        expect_untouched "a path of 5,000 characters" 0 "$alder" "" -- "$long"
    fi

    ln -s loop.god loop.god
    if [ "$platform" = posix ]; then
        expect_untouched "a symbolic-link loop" 2 "" \
            "$(cant_read loop.god "Too many levels of symbolic links")"$'\n' -- loop.god
    else
        expect_untouched "a symbolic-link loop" 2 "" "$(cant_read loop.god "Invalid argument")"$'\n' -- loop.god
    fi
    rm loop.god

    cp alder.god $'two\nlines.god'
    cp alder.god 'été.god'
    cp alder.god $'\xe9t\xe9.god'
    LC_ALL=C.UTF-8 expect_untouched "a name in UTF-8" 0 "$alder" "" -- 'été.god'
    if [ "$platform" = posix ]; then
        expect_untouched "a name with a line end" 0 $'\n----two\nlines.god----\n\n'"$alder$ha$alder" "" \
            -- $'two\nlines.god' alder.god
        expect_untouched "a name that is not UTF-8" 0 "$alder" "" -- $'\xe9t\xe9.god'
        expect_untouched "a missing name with odd bytes" 2 "" \
            "$(cant_read $'\n\xff\x80.god' "$missing")"$'\n' -- $'\n\xff\x80.god'
    else
        # Windows names hold no line end; a name wine cannot turn into
        # Unicode arrives with "?" in place of the bytes it could not.
        expect_untouched "a name with a line end" 2 "" \
            "$(cant_read $'two\nlines.god' "Invalid argument")"$'\n' -- $'two\nlines.god'
        expect_untouched "a name that is not UTF-8" 2 "" \
            "$(cant_read '?t?.god' "Invalid argument")"$'\n' -- $'\xe9t\xe9.god'
    fi
    rm $'two\nlines.god' 'été.god' $'\xe9t\xe9.god'

    if unprivileged; then
        mkdir locked && cp alder.god locked/ && chmod 000 locked
        as_user expect_untouched "a folder without search permission" 2 "" \
            "$(cant_read locked/alder.god "Permission denied")"$'\n' -- locked/alder.god
        chmod 700 locked && rm -r locked
    else
        skip "a folder without search permission" "$REPLY"
    fi

    # tolvex holds one file open at a time and closes it before the next,
    # so a limit that leaves it a single descriptor still reads any number
    # of files. A limit with none left stops the loader before tolvex runs,
    # so "Too many open files" cannot be provoked from outside.
    if [ "$platform" = posix ] && [ ${#emulator[@]} = 0 ]; then
        local names=() want=""
        for n in $(seq 300); do
            names+=(alder.god)
            want+="$ha$alder"
        done
        before=$(snapshot)
        (
            exec >actual.out 2>actual.err
            local free=3
            while [ -e "/proc/$BASHPID/fd/$free" ]; do free=$((free + 1)); done
            ulimit -n $((free + 1))
            exec "${program[@]}" "${names[@]}"
        )
        check "300 files with one descriptor to spare" 0 "$?" "$want" ""
        untouched "300 files with one descriptor to spare" "$before"
    else
        skip "open-file limit" "the emulator needs descriptors of its own"
    fi

    # Output that cannot be written, alone and with a file that cannot be read.
    before=$(snapshot)
    : >actual.out
    "${program[@]}" alder.god brannoc.god >/dev/full 2>actual.err
    check "two reports to a full device" 3 "$?" "" $'tolvex: write error: No space left on device\n'
    "${program[@]}" alder.god nothing.god >/dev/full 2>actual.err
    check "a full device and a missing file" 2 "$?" "" \
        "$(cant_read nothing.god "$missing")"$'\ntolvex: write error: No space left on device\n'
    "${program[@]}" alder.god nothing.god >&- 2>actual.err
    check "output closed and a missing file" 2 "$?" "" \
        "$(cant_read nothing.god "$missing")"$'\ntolvex: write error: Bad file descriptor\n'
    if [ "${emulator[0]-}" ] && [ "${emulator[0]##*/}" = valgrind ]; then
        skip "standard error closed" "valgrind needs it for its own reports"
    else
        : >actual.err
        "${program[@]}" alder.god nothing.god >actual.out 2>&-
        check "standard error closed" 2 "$?" "$ha$alder" ""
    fi
    untouched "output that cannot be written" "$before"
}

group_hostile
finish
