#!/usr/bin/env bash
# Standard output in whole 4096-byte blocks: with both streams on one file or
# one pipe, the can't-read line lands right after the whole blocks of report
# text written before it, and the rest of the text follows at the end.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

export LC_ALL=C

# Sets REPLY to COUNT reports of NAME, each under its header; NAME holds
# alder's design with CAPTION as its first caption.
reports_of() {
    local name=$1 caption=$2 count=$3 one i
    one=$'\n----'"$name"$'----\n\n'"$caption, the Grey${alder#Alder, the Grey}"
    REPLY=""
    for ((i = 0; i < count; i++)); do REPLY+=$one; done
}

# where NAME CAPTION COUNT: COUNT reports of NAME, then a missing file, with
# both streams on one file and on one pipe. The blocks are counted in the
# text as the program writes it, before the Windows line-end translation.
where() {
    local name=$1 caption=$2 count=$3 text whole line status i files=()
    reports_of "$name" "$caption" "$count"
    text=$REPLY
    whole=$((${#text} / 4096 * 4096))
    line=$(cant_read missing.god "No such file or directory")$'\n'
    for ((i = 0; i < count; i++)); do files+=("$name"); done
    : >actual.err

    "${program[@]}" "${files[@]}" missing.god >actual.out 2>&1
    status=$?
    check "$count of $name (${#text} bytes), one file" 2 "$status" "${text:0:whole}$line${text:whole}" ""

    "${program[@]}" "${files[@]}" missing.god 2>&1 | cat >actual.out
    status=${PIPESTATUS[0]}
    check "$count of $name (${#text} bytes), one pipe" 2 "$status" "${text:0:whole}$line${text:whole}" ""
}

group_blocks() {
    local rest length caption name size count
    # Captions from short to longer than two blocks, and one that makes a
    # report with its header, "\n----c3NNN.god----\n\n", exactly one block.
    rest=", the Grey${alder#Alder, the Grey}"
    for length in 5 333 2000 $((4096 - 20 - ${#rest})) 10000; do
        caption=$(repeat w "$length")
        name=c$length.god
        make_file "$name" "caption_a=$caption"
        reports_of "$name" "$caption" 1
        size=${#REPLY}
        [ "$length" -lt 4000 ] || [ "$length" -gt 4096 ] || [ "$size" = 4096 ] ||
            { echo "FAIL: the one-block report is $size bytes"; failed=$((failed + 1)); }
        # Up to four blocks of text, each count whose last report passes or
        # ends on a block boundary: the line lands just after it.
        for ((count = 1; count * size <= 4 * 4096; count++)); do
            if [ "$count" = 1 ] || [ $(((count - 1) * size / 4096)) != $((count * size / 4096)) ]; then
                where "$name" "$caption" "$count"
            fi
        done
    done
    where c10000.god "$(repeat w 10000)" 2
}

group_blocks
finish
