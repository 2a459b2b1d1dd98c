#!/usr/bin/env bash
# Many files at once, which tolvex reads ahead: the output is still that of
# reading one file at a time, and only plain files are opened before their
# turn.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

group_read_ahead() {
    local names=() n
    for n in $(seq 40); do names+=(alder.god); done
    alders "${names[@]}"
    local forty=$REPLY

    expect "a missing file after 40" 2 "$forty" "$(cant_read nothing.god "No such file or directory")"$'\n' \
        -- "${names[@]}" nothing.god brannoc.god

    mkdir folder.god
    head -c 200 alder.god >short.god
    local bad reason status
    for bad in folder.god short.god; do
        reason="Permission denied"
        [ $bad = short.god ] && reason="Unexpected end of file"
        expect_untouched "$bad among 80 files" 2 "$forty" "$(cant_read $bad "$reason")"$'\n' \
            -- "${names[@]}" $bad "${names[@]}"
    done
    rmdir folder.god

    if [ "$platform" != posix ]; then
        skip "FIFOs and standard input among files" "wine has neither"
        rm short.god
        return
    fi

    # The FIFO after the gate must not be opened while tolvex still waits
    # at the gate, with the files around them read ahead and their folder
    # listed: its writer waits in its open until a reader comes, and then
    # leaves a mark.
    mkfifo gate.fifo watched.fifo
    (exec 3>watched.fifo; : >watched.opened; cat alder.god >&3) &
    local writer=$!
    local around=("${names[@]:0:20}" gate.fifo "${names[@]:0:10}" watched.fifo "${names[@]}")
    "${program[@]}" "${around[@]}" >actual.out 2>actual.err &
    local reader=$!
    sleep 1
    if [ -e watched.opened ]; then
        echo "FAIL a FIFO among files: opened before its turn"; failed=$((failed + 1))
    else
        passed=$((passed + 1))
    fi
    cat alder.god >gate.fifo
    wait $reader
    status=$?
    alders "${around[@]}"
    check "a FIFO among files" 0 "$status" "$REPLY" ""
    kill $writer 2>/dev/null
    wait
    rm -f gate.fifo watched.fifo watched.opened

    alders "${names[@]:20}" /dev/stdin "${names[@]:21}"
    local want=$REPLY
    expect "standard input, a file, among files" 0 "$want" "" -- \
        "${names[@]:20}" /dev/stdin "${names[@]:21}" <alder.god
    cat alder.god | "${program[@]}" "${names[@]:20}" /dev/stdin "${names[@]:21}" >actual.out 2>actual.err
    check "standard input, a pipe, among files" 0 "${PIPESTATUS[1]}" "$want" ""
    alders "${names[@]:20}" /dev/stdin
    cat alder.god | "${program[@]}" "${names[@]:20}" /dev/stdin /dev/stdin alder.god >actual.out 2>actual.err
    check "a pipe named twice among files" 2 "${PIPESTATUS[1]}" "$REPLY" \
        "$(cant_read /dev/stdin "Unexpected end of file")"$'\n'
    # Descriptors running out while the workers' slots hold many, files of
    # over a buffer each keeping theirs for the reader (too few in the folder
    # to list it, so each is looked at): the read-ahead gives them back and
    # the reader opens its file again, under every limit from one
    # descriptor to spare to a dozen. A program in front of tolvex, as
    # valgrind is, needs descriptors of its own, so there it is left out.
    if [ ${#emulator[@]} = 0 ]; then
        mkdir big
        local bigs=() spare
        for n in $(seq 60); do
            { cat alder.god; head -c 100000 /dev/zero; } >"big/b$n.god"
            bigs+=("big/b$n.god")
        done
        alders "${bigs[@]}"
        for spare in $(seq 12); do
            (
                exec >actual.out 2>actual.err
                local free=3
                while [ -e "/proc/$BASHPID/fd/$free" ]; do free=$((free + 1)); done
                ulimit -n $((free + spare))
                exec "${program[@]}" "${bigs[@]}"
            )
            check "60 large files with $spare descriptors to spare" 0 "$?" "$REPLY" ""
        done
        rm -r big
    else
        skip "descriptors running out while reading ahead" "the program in front needs descriptors of its own"
    fi

    # A name that changes while tolvex waits at a gate FIFO before it: what
    # tolvex reports under it is what the name holds when its turn comes,
    # and nothing at it is opened before then. The names stand in one
    # listed folder.
    gated_run() {  # gated_run NAME: runs over swap/, to swap/x.god's change
        local run=$1
        rm -rf swap
        mkdir swap
        local list=() n
        for n in $(seq 100); do
            cp alder.god "swap/a$n.god"
            list+=("swap/a$n.god")
        done
        cp alder.god swap/x.god
        mkfifo swap/gate1.fifo swap/gate2.fifo
        case $run in
        fifo | saved) list=("${list[@]:0:20}" swap/gate1.fifo "${list[@]:20:10}" swap/x.god "${list[@]:30}") ;;
        back) list=("${list[@]:0:20}" swap/gate1.fifo "${list[@]:20:36}" swap/gate2.fifo "${list[@]:56:3}" swap/x.god "${list[@]:59}") ;;
        esac
        timeout 20 "${program[@]}" "${list[@]}" >actual.out 2>actual.err &
        local reader=$! writer=
        sleep 0.5
        rm swap/x.god
        case $run in
        fifo)
            mkfifo swap/x.god
            (exec 3>swap/x.god; : >swap/x.opened; cat brannoc.god >&3) &
            writer=$!
            ;;
        saved)
            cp brannoc.god swap/x.tmp
            mv swap/x.tmp swap/x.god
            ;;
        back) mkfifo swap/x.god ;;
        esac
        sleep 0.3
        [ -e swap/x.opened ] && echo "FAIL $run: swap/x.god opened before its turn" && failed=$((failed + 1))
        # A gate is fed once tolvex opens it, or given up if it never does.
        timeout 20 cp alder.god swap/gate1.fifo
        if [ $run = back ]; then
            sleep 0.5
            rm swap/x.god
            cp alder.god swap/x.god
            timeout 20 cp alder.god swap/gate2.fifo
        fi
        wait $reader
        local status=$?
        alders "${list[@]}"
        local want=$REPLY
        [ $run = back ] || want=${REPLY/$'----swap/x.god----\n\n'"$alder"/$'----swap/x.god----\n\n'"$brannoc"}
        check "a name that changes while tolvex waits: $run" 0 "$status" "$want" ""
        [ -z "$writer" ] || kill $writer 2>/dev/null
        wait
        rm -rf swap
    }
    gated_run fifo
    gated_run saved
    gated_run back

    # A plain file of the kernel's that gives a few KiB a read: only a read
    # that gives nothing is its end, whoever reads it.
    local kernels=/sys/kernel/btf/vmlinux
    if [ -r $kernels ]; then
        "${program[@]}" alder.god alder.god $kernels >alone.out 2>alone.err
        local alone=$? skip_bytes
        alders alder.god alder.god
        skip_bytes=$(printf '%s' "$REPLY" | wc -c)
        alders "${names[@]}"
        { printf '%s' "$REPLY"; tail -c +$((skip_bytes + 1)) alone.out; } >want.out
        "${program[@]}" "${names[@]}" $kernels >actual.out 2>actual.err
        status=$?
        if [ $status = $alone ] && cmp -s want.out actual.out && cmp -s alone.err actual.err; then
            passed=$((passed + 1))
        else
            echo "FAIL $kernels after 40 files: status $status, $(head -c 100 actual.err)"
            failed=$((failed + 1))
        fi
        rm alone.out alone.err want.out
    else
        skip "a file that gives a few KiB a read" "$kernels is not there"
    fi

    # Names of descriptors mean what they mean to a program that holds only
    # its standard streams, whatever reading ahead holds when they come: a
    # gate holds tolvex until the workers and their queues are up.
    local fd name
    alders "${names[@]}" gate.fifo
    for name in /dev/fd/3 /dev/fd/4 /dev/fd/5 /proc/self/fd/3 /proc/self/fd/4 //dev/./fd/3; do
        mkfifo gate.fifo
        (exec 3<&- 4<&- 5<&- 6<&- 7<&- 8<&- 9<&-
         exec "${program[@]}" "${names[@]}" gate.fifo $name alder.god >actual.out 2>actual.err) &
        sleep 0.3
        cat alder.god >gate.fifo
        wait $!
        check "$name after 40 files" 2 "$?" "$REPLY" "$(cant_read $name "No such file or directory")"$'\n'
        rm gate.fifo
    done
    rm short.god
}

group_read_ahead
finish
