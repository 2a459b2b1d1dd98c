#!/usr/bin/env bash
# Running out of memory at every allocation of the start-up.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

# Here the program is the out-of-memory probe: memory runs out at each
# allocation in turn, until the arguments are made without running out.
group_out_of_memory() {
    mkdir one && for name in b.x A.x; do cp alder.god "one/$name"; done
    local n=0 status message=$'\r\nruntime error R6008\r\n- not enough space for arguments\r\n'
    while [ $n -lt 200 ]; do
        "${program[@]}" $n 'one/*.x' plain 'x*' >actual.out 2>actual.err
        status=$?
        [ $status = 255 ] || break
        platform=posix check "out of memory at allocation $n" 255 $status "" "$message"
        n=$((n + 1))
    done
    check "enough memory after $n allocations" 0 "$status" $'waiting\n'"$n"$'\none/A.x\none/b.x\nplain\nx*\n' ""
    [ $n -gt 0 ] || { echo "FAIL: memory never ran out"; failed=$((failed + 1)); }
}

group_out_of_memory
finish
