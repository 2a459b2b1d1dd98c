#!/usr/bin/env bash
# Wildcard expansion over real folders.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

# Runs the program from a batch file, which hands it its command line exactly
# as written there (wine quotes the arguments of its own command line anew).
# batch NAME STATUS STDOUT STDERR ARGUMENTS-AS-ONE-LINE
batch() {
    local name=$1 status=$2 out=$3 err=$4 line=$5 path=${program[${#program[@]}-1]}
    printf '@Z:%s %s\r\n' "${path//\//\\}" "$line" >run.bat
    "${emulator[@]}" cmd /c run.bat >actual.out 2>actual.err
    check "$name" "$status" "$?" "$out" "$err"
}

group_wildcards() {
    mkdir one one/sub two here
    for name in b.x A.x c.x _a.x 0.y; do cp alder.god "one/$name"; done
    for name in b.x A.x c.x _a.x; do cp alder.god "here/$name"; done
    cp brannoc.god two/b.z
    local ones
    alders one/_a.x one/A.x one/b.x one/c.x
    ones=$REPLY

    # The checks write their files beside the matches: a folder of its own.
    cd here
    alders _a.x A.x b.x c.x
    expect "a pattern, sorted, with headers" 0 "$REPLY" "" -- '*.x'
    cd ..
    expect "the directory part is kept" 0 "$ones" "" -- 'one/*.x'
    expect "one match: no header" 0 "$alder" "" -- 'one/_*'
    alders one/0.y
    expect "two patterns, each sorted on its own" 0 "$ones$REPLY"$'\n----two/b.z----\n\n'"$brannoc" "" \
        -- 'one/*.x' 'one/*.y' 'two/*'
    expect "a pattern beside plain names" 0 "$hb$brannoc$ones" "" -- brannoc.god 'one/*.x'
    expect "nothing matches" 2 "" "tolvex: can't read one/*.none: Invalid argument"$'\n' -- 'one/*.none'
    expect "no such folder" 2 "" "tolvex: can't read nowhere/*.x: Invalid argument"$'\n' -- 'nowhere/*.x'
    expect "only . and .. match" 2 "" "tolvex: can't read one/.*: Invalid argument"$'\n' -- 'one/.*'
    expect "a folder matches" 2 "" "tolvex: can't read one/sub: Permission denied"$'\n' -- 'one/su*'
    expect "a colon that is no drive's" 2 "" "tolvex: can't read ab:c*: Invalid argument"$'\n' -- 'ab:c*'

    # The root folder, with "/" as the directory part (under wine, the root
    # of the drive that maps the system's root).
    if [ -d /tmp ] && [ "$(ls -a / | grep -ic '^t.p$')" = 1 ]; then
        expect "a pattern under /" 2 "" "$(cant_read /tmp "Permission denied")"$'\n' -- '/t?p'
    else
        skip "a pattern under /" "the root folder holds another name like t?p"
    fi

    local long
    long=$(printf 'n%.0s' $(seq 4000))
    expect "a long pattern" 2 "" "tolvex: can't read one/$long*?: Invalid argument"$'\n' -- "one/$long*?"

    if [ "$platform" = windows ]; then
        expect "backslashes" 0 "${ones//one\//one\\}" "" -- 'one\*.x'
        cd here
        alders Z:_a.x Z:A.x Z:b.x Z:c.x
        expect "a drive's colon" 0 "$REPLY" "" -- 'Z:*.x'
        cd ..
        alders one/_a.x one/A.x
        expect "matching ignores case" 0 "$REPLY" "" -- 'one/*a*'
        batch "a quoted pattern is a name" 2 "" "tolvex: can't read one/*.x: Invalid argument"$'\n' '"one/*.x"'
        batch "a pattern quoted later is expanded" 0 "$ones" "" 'one/"*.x"'
        mkdir "my folder" && cp alder.god "my folder/b.x" && cp alder.god "my folder/a.x"
        alders 'my folder\a.x' 'my folder\b.x'
        batch "a blank quoted inside a pattern" 0 "$REPLY" "" 'my" "folder\*.x'
        batch "two quotes in a quoted stretch" 2 "$hb$brannoc" \
            "tolvex: can't read alder.god\"x: Invalid argument"$'\n' 'brannoc.god "alder.god""x brannoc.god"'

        # Under a single-byte code page (wine's is 1252 in this locale) only
        # A to Z are folded, so 0xC9 (capital e acute) sorts before 0xE9 (small
        # e acute) whatever follows; folding it would put "\xE9a.x" first.
        # The maker, run by wine, gives the files the names the program sees.
        mkdir high
        LC_ALL=C.UTF-8 make_file 'high/éa.x'
        LC_ALL=C.UTF-8 make_file 'high/Éb.x'
        alders $'high/\xC9b.x' $'high/\xE9a.x'
        LC_ALL=C.UTF-8 expect "bytes from 0x80 up are not folded" 0 "$REPLY" "" -- 'high/*.x'
    else
        expect "backslashes are name characters" 2 "" "tolvex: can't read one\\*.x: Invalid argument"$'\n' -- 'one\*.x'
        expect "matching keeps case" 0 "$alder" "" -- 'one/*a*'
        expect "many wildcards" 0 "$ones" "" -- 'one/*?*.*x*'

        mkdir three
        for name in z.x E.x é.x e.x; do cp alder.god "three/$name"; done
        alders three/E.x three/e.x three/z.x three/é.x
        expect "equal names by their bytes, high bytes last" 0 "$REPLY" "" -- 'three/*'
        cp alder.god ab:cd
        expect "a colon that is no drive's, with a match" 2 "" "tolvex: can't read ab:c*: Invalid argument"$'\n' -- 'ab:c*'

        # The search lists only the folder the directory part names: a
        # wildcard in a folder's name, or a folder part ending in "\" or ":",
        # matches nothing, and the argument is opened as typed.
        mkdir 'd*' 's?b' 'x\' 'a:'
        make_file 'd*/a.x' caption_a=INNER
        make_file a.x caption_a=OUTER
        cp alder.god 's?b/k.x'
        cp alder.god 'x\y.x'
        cp alder.god 'x\/y.x'
        cp alder.god a:bc
        cp alder.god a:/bc
        local rest=${alder#*$'\n'}
        expect "a wildcard in a folder's name: the literal path" 0 "INNER, the Grey"$'\n'"$rest" "" -- 'd*/a.x'
        expect "a wildcard in a folder's name, a literal folder" 0 "$alder" "" -- 's?b/k.x'
        expect "a folder part ending in a backslash" 2 "" "$(cant_read 'x\*' "Invalid argument")"$'\n' -- 'x\*'
        expect "a drive's colon names no folder" 2 "" "$(cant_read 'a:b*' "Invalid argument")"$'\n' -- 'a:b*'
        rm a.x

        alders one/A.x one/b.x one/c.x
        (exec -a 'one/*.x' "${program[@]}") >actual.out 2>actual.err
        check "the program name is expanded too" 0 "$?" "$REPLY" ""

        if unprivileged; then
            mkdir locked && cp alder.god locked/a.x && chmod 000 locked
            as_user expect "unreadable folder" 2 "" "tolvex: can't read locked/*.x: Invalid argument"$'\n' -- 'locked/*.x'
        else
            skip "unreadable folder" "$REPLY"
        fi
    fi
}

group_wildcards
finish
