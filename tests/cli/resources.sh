#!/usr/bin/env bash
# Peak memory across many files and for one huge file.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

# peak ARGUMENTS...: runs the program and prints its peak memory in KiB.
peak() {
    /usr/bin/time -o peak.txt -f %M "${program[@]}" "$@" >actual.out 2>actual.err
    local status=$?
    tail -n 1 peak.txt
    return $status
}

# within NAME VALUE LIMIT
within() {
    if [ "$2" -lt "$3" ]; then
        passed=$((passed + 1))
    else
        echo "FAIL $1: $2 KiB, expected under $3"; failed=$((failed + 1))
    fi
}

group_resources() {
    # Measures the program itself: not through an emulator, not with a
    # sanitizer's memory (which cannot run in a small address space).
    if [ "$platform" != posix ] || [ ${#emulator[@]} != 0 ] || [ ! -x /usr/bin/time ] ||
        ! (ulimit -v 40000; exec "${program[@]}" alder.god) >/dev/null 2>&1; then
        skip "resources" "needs /usr/bin/time and the plain native program"
        return
    fi

    # No file costs memory that stays: 50,000 files take what their names
    # take and no more. The same names with the first one missing hold the
    # argument list without reading a file.
    local names=() all none n status
    for n in $(seq 50000); do
        names+=(alder.god)
        printf '%s' "$ha$alder"
    done >expected.all
    all=$(peak "${names[@]}")
    status=$?
    if [ $status = 0 ] && [ ! -s actual.err ] && cmp -s expected.all actual.out; then
        passed=$((passed + 1))
    else
        echo "FAIL 50,000 files: status $status, or not 50,000 reports"; failed=$((failed + 1))
    fi
    none=$(peak nothing.god "${names[@]:1}")
    within "memory of 50,000 files over their names alone" $((all - none)) 512

    # A file costs memory in proportion to its size: a caption of 50 MiB
    # adds less than twice that.
    local small huge
    small=$(peak alder.god)
    make_file base.god lead_text= caption_a= gap=0
    { head -c 94 base.god; repeat - $((50 << 20)); tail -c +95 base.god; } >huge.god
    huge=$(peak huge.god)
    within "memory of a caption of 50 MiB" $((huge - small)) $((100 << 10))
    rm base.god huge.god

    # An input that never ends a text: no key byte in /dev/zero, nor in a
    # FIFO fed "w" for ever. The text stops at its bound of 16 MiB, the file
    # is too large, and memory stays within a small multiple of the bound.
    local input
    mkfifo endless.god
    for input in /dev/zero endless.god; do
        [ "$input" = /dev/zero ] || { repeat w $((1 << 40)) >endless.god 2>/dev/null & }
        n=$(peak "$input")
        check "an endless text in $input" 2 $? "" "$(cant_read "$input" "File too large")"$'\n'
        within "memory of an endless text in $input" $((n - small)) $((48 << 10))
    done
    wait
    rm endless.god
}

group_resources
finish
