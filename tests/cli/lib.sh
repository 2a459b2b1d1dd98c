# Shared by the command-line test groups, one file a group. Each group runs
# tolvex as a process and compares its exact standard output, standard error
# and exit status:
#   GROUP.sh PLATFORM SAMPLES MAKER [EMULATOR...] PROGRAM
# PLATFORM is posix or windows; on windows the program's lines end in CR LF,
# and the emulator (wine) runs both the program and the test-file maker.
# A group sources this file with its own arguments and ends with `finish`.
set -u

platform=$1 samples=$2 maker=$3
shift 3
program=("$@")
emulator=("${@:1:$#-1}")
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$samples"/*.god .

passed=0 failed=0

# The maker runs again once if it fails: wine's client can lose its server
# as the server shuts down after a pause ("recvmsg: Connection reset by
# peer"), and the file it makes is the same either way.
make_file() {
    "${emulator[@]}" "$maker" "$@" || "${emulator[@]}" "$maker" "$@" ||
        { echo "cannot make $1"; exit 1; }
}

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

# verdict WRONG GOOD MESSAGE: one test passed for a sweep whose runs had
# none wrong and some good, else one failed with MESSAGE.
verdict() {
    if [ "$1" = 0 ] && [ "$2" -gt 0 ]; then
        passed=$((passed + 1))
    else
        echo "FAIL: $3"
        failed=$((failed + 1))
    fi
}

alder=$'Alder, the Grey\nArcoscephale, Late Era\nSerpent Cataphract (Body 3, 32 hits)\nMagic:  Fire 2  Astral 1\nDominion 4\nScales:  Order 2  Death 1\nDormant\n'
brannoc=$'Brannoc, the Unbowed\nUlm, Early Era\nGladiator (Body 12, 42 hits)\nNo magic\nDominion 5\nNo scales\nAwake\n'
ha=$'\n----alder.god----\n\n'
hb=$'\n----brannoc.god----\n\n'

# Sets REPLY to the reports of files that all hold alder's design, each under
# its header.
alders() {
    local name
    REPLY=""
    for name in "$@"; do REPLY+=$'\n----'"$name"$'----\n\n'"$alder"; done
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

# The cases about unreadable files and folders need a user whom file
# permissions stop. As root (CI runs so) the program runs as the
# unprivileged uid 65534, through setpriv or else runuser (util-linux),
# once a probe shows that the switch works and leaves a locked file locked.
# Sets user_program to what runs the program as that user and returns 0,
# or sets REPLY to why there is none and returns 1.
unprivileged() {
    user_program=("${program[@]}")
    [ "$(id -u)" = 0 ] || return 0
    if [ "$platform" = windows ]; then
        REPLY="running as root, and wine lets no other user use root's wine prefix"
        return 1
    fi
    # mktemp made the work folder root's alone; the user must pass through
    # it to the files that the case names.
    chmod 711 "$work"
    : >"$work/probe.locked" && chmod 000 "$work/probe.locked"
    local switch prefix
    for switch in "setpriv --reuid=65534 --regid=65534 --clear-groups --" "runuser -u nobody --"; do
        read -r -a prefix <<<"$switch"
        "${prefix[@]}" true 2>/dev/null || continue
        "${prefix[@]}" cat "$work/probe.locked" 2>/dev/null && continue
        if ! "${prefix[@]}" test -x "${program[-1]}"; then
            # A build inside a private folder: the user runs a copy.
            mkdir -p "$work/user-bin" && cp "${program[-1]}" "$work/user-bin/" || continue
            user_program[-1]=$work/user-bin/${program[-1]##*/}
        fi
        user_program=("${prefix[@]}" "${user_program[@]}")
        rm "$work/probe.locked"
        return 0
    done
    rm "$work/probe.locked"
    REPLY="running as root, and neither setpriv nor runuser gives a user whom permissions stop"
    return 1
}

# as_user COMMAND...: runs an expect-style COMMAND with the program run as
# the user that `unprivileged` found.
as_user() {
    local saved=("${program[@]}")
    program=("${user_program[@]}")
    "$@"
    program=("${saved[@]}")
}

# Prints the closing count and ends the group with its status.
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" = 0 ]
    exit
}
