#!/usr/bin/env bash
# Running out of memory at start-up, under every address-space limit from
# the smallest the program starts in to one it runs in.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

# limited KIB ARGUMENTS...: runs the program with its address space limited.
limited() {
    local kib=$1
    shift
    (ulimit -v "$kib"; exec "${program[@]}" "$@" >actual.out 2>actual.err)
}

group_address_space() {
    # Neither an emulator nor a sanitizer's memory can start in a small
    # address space.
    if [ ${#emulator[@]} != 0 ] || ! (ulimit -v 40000; exec "${program[@]}" alder.god) >/dev/null 2>&1; then
        skip "address-space limits" "this build cannot run under an address-space limit"
        return
    fi

    # A pattern with 500 long names: building the list takes a few hundred
    # KiB and allocations of every size, so memory runs out at many
    # different places. The files are empty, so a run that gets past the
    # start-up stops at the first of them.
    local n
    mkdir many
    for n in $(seq 1000 1499); do : >"many/$(printf 'n%0150d' "$n")"; done
    printf '\r\nruntime error R6008\r\n- not enough space for arguments\r\n' >expected.r6008
    cant_read "many/$(printf 'n%0150d' 1000)" "Unexpected end of file" >expected.normal

    # Below some limit the system cannot even load the program (status
    # 127, from the loader); the sweep starts there, in steps of a page.
    local kib=1024 status
    # The program runs in 40,000 KiB (tested above), so both loops end there.
    until limited $kib 'many/*'; status=$?; [ $status != 127 ] || [ $kib -ge 40000 ]; do
        kib=$((kib + 128))
    done
    kib=$((kib - 128))

    local loading=1 out_of_memory=0 normal=0 wrong=0 last=0
    for ((; (last == 0 && kib < 40000) || kib < last + 64; kib += 4)); do
        limited $kib 'many/*'
        status=$?
        if [ $status = 127 ] && [ $loading = 1 ]; then
            continue
        fi
        loading=0
        if [ $status = 255 ] && [ ! -s actual.out ] && cmp -s expected.r6008 actual.err; then
            out_of_memory=$((out_of_memory + 1))
        elif [ $status = 2 ] && [ ! -s actual.out ] && cmp -s expected.normal actual.err; then
            normal=$((normal + 1))
            [ $last != 0 ] || last=$kib
        else
            wrong=$((wrong + 1))
            [ $wrong -gt 3 ] || echo "FAIL at a limit of $kib KiB: status $status, $(head -c 80 actual.err | cat -A)"
        fi
    done
    echo "note: $out_of_memory runs out of memory, then $normal normal runs, up to $kib KiB"
    verdict $wrong $((out_of_memory > 0 && normal > 0)) \
        "$wrong runs neither ran out of memory exactly nor ran normally"
}

# Reading ahead under every address-space limit from the start-up to a
# normal run, in steps of 64 KiB: where the workers' stacks, the window or
# the listing cannot be had, tolvex reads one file at a time; it never
# ends on a signal, and every run either gives the whole output or stops at
# a file with the can't-read line.
group_address_space_reading_ahead() {
    if [ ${#emulator[@]} != 0 ] || ! (ulimit -v 40000; exec "${program[@]}" alder.god) >/dev/null 2>&1; then
        skip "reading ahead under address-space limits" "this build cannot run under an address-space limit"
        return
    fi
    local names=() n
    mkdir three
    for n in $(seq 300); do
        cp alder.god "three/a$n.god"
        names+=("three/a$n.god")
    done
    "${program[@]}" "${names[@]}" >expected.out 2>&1
    local kib status normal=0 short=0 wrong=0
    for ((kib = 4096; kib <= 40960; kib += 64)); do
        limited $kib "${names[@]}"
        status=$?
        if [ $status = 0 ] && cmp -s expected.out actual.out && [ ! -s actual.err ]; then
            normal=$((normal + 1))
        elif [ $status = 2 ] || [ $status = 127 ] || [ $status = 255 ] &&
            [ "$(wc -l <actual.err)" -le 3 ] && cmp -s actual.out <(head -c "$(wc -c <actual.out)" expected.out); then
            short=$((short + 1))
        else
            wrong=$((wrong + 1))
            [ $wrong -gt 3 ] || echo "FAIL reading ahead at a limit of $kib KiB: status $status, $(head -c 80 actual.err | cat -A)"
        fi
    done
    echo "note: reading ahead, $short runs stopped short, then $normal normal runs, up to $kib KiB"
    verdict $wrong $normal "$wrong runs reading ahead ended on a signal or with wrong output"
}

group_address_space
group_address_space_reading_ahead
finish
