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
    if [ $wrong = 0 ] && [ $out_of_memory -gt 0 ] && [ $normal -gt 0 ]; then
        passed=$((passed + 1))
    else
        echo "FAIL: $wrong runs neither ran out of memory exactly nor ran normally"
        failed=$((failed + 1))
    fi
}

group_address_space
finish
