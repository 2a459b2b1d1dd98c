#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what lands there: the
# program, the man page and the docs, nothing else (no test program), each
# with the right content, and an installed program that reports a sample.
#   install_test.sh CMAKE BUILD_DIR SOURCE_DIR PLATFORM [EMULATOR...]
# PLATFORM is posix or windows; on windows the emulator (wine) runs the
# installed program, whose lines end in CR LF.
set -u

cmake=$1 build=$2 source=$3 platform=$4
shift 4
emulator=("$@")

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failed=0
fail() { echo "FAIL $1"; failed=1; }

if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    rm -f "$prefix.log"
    echo "FAIL cmake --install"
    exit 1
fi
rm -f "$prefix.log"

if [ "$platform" = windows ]; then
    program=tolvex.exe
    expected=$'./LICENSE.txt\n./README.md\n./tolvex.exe'
    license=LICENSE.txt readme=README.md
else
    program=bin/tolvex
    expected=$'./bin/tolvex\n./share/doc/tolvex/README.md\n./share/doc/tolvex/copyright\n./share/man/man1/tolvex.1.gz'
    license=share/doc/tolvex/copyright readme=share/doc/tolvex/README.md
fi

actual=$(cd "$prefix" && find . ! -type d | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    fail "installed files"
    diff <(echo "$expected") <(echo "$actual")
fi

cmp -s "$source/LICENSE" "$prefix/$license" || fail "the licence differs from LICENSE"
cmp -s "$source/README.md" "$prefix/$readme" || fail "the README differs from README.md"
if [ "$platform" = posix ]; then
    gzip -dc "$prefix/share/man/man1/tolvex.1.gz" | cmp -s "$source/docs/tolvex.1" - ||
        fail "the man page differs from docs/tolvex.1"
fi
[ -x "$prefix/$program" ] || fail "$program is not executable"

# The installed program, run from the samples folder on a sample.
report=$'Alder, the Grey\nArcoscephale, Late Era\nSerpent Cataphract (Body 3, 32 hits)\nMagic:  Fire 2  Astral 1\nDominion 4\nScales:  Order 2  Death 1\nDormant\n'
[ "$platform" = windows ] && report=${report//$'\n'/$'\r\n'}
out=$(cd "$source/samples" && "${emulator[@]}" "$prefix/$program" alder.god; echo "status $?")
[ "$out" = "${report}status 0" ] || fail "the installed program's report: $(printf '%q' "$out")"

[ "$failed" = 0 ] && echo "installed and ran: $(echo "$actual" | tr '\n' ' ')"
exit "$failed"
