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
    # Wine's own services (the device host, for one) can report a crash of
    # their own on the program's standard error under load; such lines are
    # never the program's, whose status and output are still checked.
    if [ "$platform" = windows ] && [ -f actual.err ] && grep -q '^wine: ' actual.err; then
        echo "note $name: dropped wine's own lines: $(grep '^wine: ' actual.err | head -1)"
        sed -i '/^wine: /d' actual.err
    fi
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

# The folder as the runs may see it: every entry but the test's own output
# files, with type, size and mode, and for files their time and content.
# A FIFO's time is left out: its writer, not tolvex, changes it.
snapshot() {
    find . -mindepth 1 \( -name 'actual.*' -o -name 'expected.*' \) -prune -o \
        -type p -printf '%p %y\n' -o -printf '%p %y %s %m %T@\n' | LC_ALL=C sort
    find . -type f ! -name 'actual.*' ! -name 'expected.*' -exec cksum {} + | LC_ALL=C sort
}

# untouched NAME BEFORE: the run changed, made and removed nothing.
untouched() {
    local after
    after=$(snapshot)
    if [ "$after" = "$2" ]; then
        passed=$((passed + 1))
    else
        echo "FAIL $1: the run changed the folder"; diff <(echo "$2") <(echo "$after") | head -10
        failed=$((failed + 1))
    fi
}

# As expect, and the inputs are left as they were.
expect_untouched() {
    local before
    before=$(snapshot)
    expect "$@"
    untouched "$1" "$before"
}

# repeat BYTE COUNT
repeat() { head -c "$2" /dev/zero | tr '\0' "$1"; }

cant_read() { printf "tolvex: can't read %s: %s\n" "$1" "$2"; }

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

    # Under an address-space limit of about 39 MiB: a caption of 8 MiB is
    # held once, in its record (the output does not copy it again), and one
    # of 32 MiB cannot be held, which is an error, not a crash. A sanitizer
    # build or an emulator cannot run under such a limit at all.
    if [ ${#emulator[@]} = 0 ] && (ulimit -v 40000; exec "${program[@]}" alder.god) >/dev/null 2>&1; then
        local mib status
        before=$(snapshot)
        for mib in 8 32; do
            { head -c 94 base.god; repeat - $((mib << 20)); tail -c +95 base.god; } >huge.god
            (ulimit -v 40000; exec "${program[@]}" huge.god >actual.out 2>actual.err)
            status=$?
            if [ $mib = 8 ]; then
                check "a caption of 8 MiB in 39 MiB" 0 "$status" "$(repeat w $((mib << 20))), "$'\n'"${alder#*$'\n'}" ""
            else
                check "a caption of 32 MiB in 39 MiB" 2 "$status" "" "$(cant_read huge.god "Cannot allocate memory")"$'\n'
            fi
            rm huge.god
        done
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

    if [ "$(id -u)" = 0 ]; then
        skip "a folder without search permission" "running as root, which passes any folder"
    else
        mkdir locked && cp alder.god locked/ && chmod 000 locked
        expect_untouched "a folder without search permission" 2 "" \
            "$(cant_read locked/alder.god "Permission denied")"$'\n' -- locked/alder.god
        chmod 700 locked && rm -r locked
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
        echo "$passed passed, $failed failed"
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
}

"group_$group"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
