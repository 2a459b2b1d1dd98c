#!/usr/bin/env bash
# Memory running out while tolvex reads ahead, at every allocation of a
# run with workers and folder listings: each run gives what reading one file
# at a time gives, or stops at a file with the exact can't-read line.
#   read_ahead_memory.sh PLATFORM SAMPLES MAKER PROBE
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_read_ahead_memory() {
    local names=() n
    for n in $(seq 100); do
        cp alder.god "a$n.god"
        names+=("a$n.god")
    done
    "${program[@]}" -1 "${names[@]}" >expected.out 2>expected.err
    local status=$? runs=0 stopped=0 wrong=0
    [ $status = 0 ] || { echo "FAIL the probe without a failure: status $status"; failed=$((failed + 1)); }
    for ((n = 0; ; n++)); do
        "${program[@]}" $n "${names[@]}" >actual.out 2>actual.err
        status=$?
        sed -i 's/\r$//' actual.err  # the Windows program's line ends
        # A signal ends no sweep: the allocation after it may be reached.
        [ $status -gt 128 ] || grep -q '^reached$' actual.err || break
        runs=$((runs + 1))
        sed -i '/^reached$/d' actual.err
        if [ $status = 0 ] && cmp -s expected.out actual.out && [ ! -s actual.err ]; then
            continue
        fi
        # A stop at a file: the reports before it, then its line.
        local file
        file=$(sed -n "s/^tolvex: can't read \(.*\): Cannot allocate memory$/\1/p" actual.err)
        if [ $status = 2 ] && [ -n "$file" ] && [ "$(wc -l <actual.err)" = 1 ] &&
            cmp -s actual.out <(head -c "$(wc -c <actual.out)" expected.out); then
            stopped=$((stopped + 1))
            continue
        fi
        wrong=$((wrong + 1))
        [ $wrong -gt 3 ] || echo "FAIL at allocation $n: status $status, $(head -c 200 actual.err | cat -A)"
        [ $wrong -lt 100 ] || break
    done
    echo "note: $runs allocations failed one at a time, $stopped runs stopped at a file"
    verdict $wrong $runs "$wrong runs neither gave the whole output nor stopped exactly"
}

group_read_ahead_memory
finish
