#!/usr/bin/env bash
# Runs tolvex as a process and compares its exact standard output, standard
# error and exit status.
#   cli_tests.sh GROUP PLATFORM SAMPLES MAKER [EMULATOR...] PROGRAM
# PLATFORM is posix or windows; on windows the program's lines end in CR LF,
# and the emulator (wine) runs both the program and the test-file maker.
set -u

group=$1 platform=$2 samples=$3 maker=$4
shift 4
program=("$@")
emulator=("${@:1:$#-1}")

work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$samples"/*.god .

passed=0 failed=0

make_file() { "${emulator[@]}" "$maker" "$@" || { echo "cannot make $1"; exit 1; }; }

# Turns LF line ends into what the platform's text streams write.
native() {
    if [ "$platform" = windows ]; then
        printf '%s' "${1//$'\n'/$'\r\n'}"
    else
        printf '%s' "$1"
    fi
}

# expect NAME STATUS STDOUT STDERR -- ARGUMENTS...
expect() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    "${program[@]}" "$@" >actual.out 2>actual.err
    check "$name" "$status" "$?" "$out" "$err"
}

# check NAME EXPECTED-STATUS ACTUAL-STATUS STDOUT STDERR, against actual.out and actual.err
check() {
    local name=$1 want=$2 got=$3 out=$4 err=$5 ok=1
    native "$out" >expected.out
    native "$err" >expected.err
    if [ "$got" != "$want" ]; then
        echo "FAIL $name: status $got, expected $want"; ok=0
    fi
    if ! cmp -s expected.out actual.out; then
        echo "FAIL $name: standard output differs"; diff expected.out actual.out | cat -A | head -20; ok=0
    fi
    if ! cmp -s expected.err actual.err; then
        echo "FAIL $name: standard error differs"; diff expected.err actual.err | cat -A | head -20; ok=0
    fi
    if [ $ok = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

skip() { echo "skip $1: $2"; }

alder=$'Alder, the Grey\nArcoscephale, Late Era\nSerpent Cataphract (Body 3, 32 hits)\nMagic:  Fire 2  Astral 1\nDominion 4\nScales:  Order 2  Death 1\nDormant\n'
brannoc=$'Brannoc, the Unbowed\nUlm, Early Era\nGladiator (Body 12, 42 hits)\nNo magic\nDominion 5\nNo scales\nAwake\n'
ha=$'\n----alder.god----\n\n'
hb=$'\n----brannoc.god----\n\n'

group_reports() {
    expect "one file" 0 "$alder" "" -- alder.god
    expect "two files" 0 "$ha$alder$hb$brannoc" "" -- alder.god brannoc.god
    expect "same file twice" 0 "$ha$alder$ha$alder" "" -- alder.god alder.god

    make_file bogus.god nation=73 body=1811 sleep_state=3 paths=0,0,0,0,0,0,0,0 scales=3,4,255,0,0,0
    expect "bogus numbers" 0 $'Alder, the Grey\nBogus nation number 73\nBogus body number 1811\nNo magic\nDominion 4\nScales:  Turmoil 3  Productivity 252  Heat 1\nBogus state number 3\n' "" -- bogus.god

    make_file edges.god nation=72 body=1810 hit_points=65535 caption_a= caption_b= dominion=255
    expect "empty slots and texts" 0 $', \n(null)\n(null) (Body 1810, 65535 hits)\nMagic:  Fire 2  Astral 1\nDominion 255\nScales:  Order 2  Death 1\nDormant\n' "" -- edges.god

    make_file blank.god body=1650 nation=0 sleep_state=2
    expect "empty body name" 0 $'Alder, the Grey\nArcoscephale, Early Era\n (Body 1650, 32 hits)\nMagic:  Fire 2  Astral 1\nDominion 4\nScales:  Order 2  Death 1\nImprisoned\n' "" -- blank.god

    local long escaped="" bytes=""
    long=$(printf 'w%.0s' $(seq 20000))
    make_file long.god "caption_a=$long" gap=5000 tail=100000
    expect "long text and trailing data" 0 "$long, the Grey${alder#Alder, the Grey}" "" -- long.god

    # Every byte but the terminator's stored form passes through unchanged;
    # line ends inside a text are written as the stream writes any line end.
    for i in $(seq 1 255); do
        [ "$i" = 10 ] && continue
        escaped+=$(printf '\\x%02x' "$i")
        bytes+=$(printf "\\x$(printf %02x "$i")")
    done
    make_file bytes.god "caption_b=$escaped"
    "${program[@]}" bytes.god >actual.out 2>actual.err
    local want
    want=$(printf 'Alder, %s\n' "$bytes"; printf '%s' "${alder#*$'\n'}")
    if [ "$platform" = windows ]; then
        # Only the line ends are translated; compare after undoing that.
        sed -i 's/\r$//' actual.out
        platform=posix check "every byte value" 0 0 "$want"$'\n' ""
    else
        check "every byte value" 0 0 "$want"$'\n' ""
    fi

    expect "a dash is a file name" 2 "" "tolvex: can't read -x: No such file or directory"$'\n' -- -x
}

group_errors() {
    expect "no arguments" 1 "" $'Usage: tolvex <files>\n' --
    expect "missing file" 2 "" "tolvex: can't read nothing.god: No such file or directory"$'\n' -- nothing.god
    expect "second of two missing" 2 "$ha$alder" \
        "tolvex: can't read nothing.god: No such file or directory"$'\n' -- alder.god nothing.god brannoc.god
    expect "empty name" 2 "" $'tolvex: can\'t read No such file or directory\n' -- ""
    mkdir folder
    expect "a directory" 2 "" "tolvex: can't read folder: Permission denied"$'\n' -- folder
    expect "a directory's file" 2 "" "tolvex: can't read alder.god/x: No such file or directory"$'\n' -- alder.god/x
    expect "wildcard that names nothing" 2 "" "tolvex: can't read none*.god: Invalid argument"$'\n' -- 'none*.god'
    expect "question mark that names nothing" 2 "" "tolvex: can't read none?.god: Invalid argument"$'\n' -- 'none?.god'

    head -c 100 alder.god >short.god
    expect "short file" 2 "" "tolvex: can't read short.god: Unexpected end of file"$'\n' -- short.god
    expect "short file after a good one" 2 "$ha$alder" \
        "tolvex: can't read short.god: Unexpected end of file"$'\n' -- alder.god short.god
    : >empty.god
    expect "empty file" 2 "" "tolvex: can't read empty.god: Unexpected end of file"$'\n' -- empty.god
    head -c "$(($(wc -c <alder.god) - 16))" alder.god >whole.god
    expect "file that ends at the sleep state" 0 "$alder" "" -- whole.god

    if [ "$(id -u)" = 0 ]; then
        skip "unreadable file" "running as root, which reads any file"
    else
        cp alder.god locked.god && chmod 000 locked.god
        expect "unreadable file" 2 "" "tolvex: can't read locked.god: Permission denied"$'\n' -- locked.god
    fi

    local long
    long=$(printf 'n%.0s' $(seq 5000))
    expect "name too long" 2 "" "tolvex: can't read $long: No such file or directory"$'\n' -- "$long"
}

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

# Sets REPLY to the reports of files that all hold alder's design, each under
# its header.
alders() {
    local name
    REPLY=""
    for name in "$@"; do REPLY+=$'\n----'"$name"$'----\n\n'"$alder"; done
}

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

        alders one/A.x one/b.x one/c.x
        (exec -a 'one/*.x' "${program[@]}") >actual.out 2>actual.err
        check "the program name is expanded too" 0 "$?" "$REPLY" ""

        if [ "$(id -u)" = 0 ]; then
            skip "unreadable folder" "running as root, which reads any folder"
        else
            mkdir locked && cp alder.god locked/a.x && chmod 000 locked
            expect "unreadable folder" 2 "" "tolvex: can't read locked/*.x: Invalid argument"$'\n' -- 'locked/*.x'
        fi
    fi
}

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

"group_$group"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
