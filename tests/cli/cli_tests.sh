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

"group_$group"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
