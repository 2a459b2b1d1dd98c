#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what lands there: the
# program, the man page and the docs, nothing else (no test program), each
# with the right content; that no installed file names a version other than
# the project's; and an installed program that reports a sample.
#   install_test.sh CMAKE BUILD_DIR SOURCE_DIR PLATFORM VERSION [EMULATOR...]
# PLATFORM is posix or windows; on windows the emulator (wine) runs the
# installed program, whose lines end in CR LF, and the text files are
# written with CR LF for Windows users.
set -u

cmake=$1 build=$2 source=$3 platform=$4 version=$5
shift 5
emulator=("$@")

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failed=0
fail() { echo "FAIL $1"; failed=1; }

# Stripped, as the packages are: the debugging sections name the compiler's
# version, which is not ours.
if ! "$cmake" --install "$build" --prefix "$prefix" --strip >"$prefix.log" 2>&1; then
    cat "$prefix.log"
    rm -f "$prefix.log"
    echo "FAIL cmake --install --strip"
    exit 1
fi
rm -f "$prefix.log"

if [ "$platform" = windows ]; then
    program=tolvex.exe
    expected=$'./LICENSE.txt\n./README.txt\n./changelog.txt\n./tolvex.exe'
else
    program=bin/tolvex
    expected=$'./bin/tolvex\n./share/doc/tolvex/README.md\n./share/doc/tolvex/changelog.gz\n./share/doc/tolvex/copyright\n./share/lintian/overrides/tolvex\n./share/man/man1/tolvex.1.gz'
fi

actual=$(cd "$prefix" && find . ! -type d | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    fail "installed files"
    diff <(echo "$expected") <(echo "$actual")
fi

# same_text NAME SOURCE INSTALLED: the same text, with CR LF line ends on
# Windows (and every line ended).
same_text() {
    local want
    if [ "$platform" = windows ]; then
        want=$(sed 's/$/\r/' "$2"; echo .)
    else
        want=$(cat "$2"; echo .)
    fi
    [ "$want" = "$(cat "$3"; echo .)" ] || fail "$1 differs from $(basename "$2")"
}

if [ "$platform" = windows ]; then
    same_text LICENSE.txt "$source/LICENSE" "$prefix/LICENSE.txt"
    same_text changelog.txt "$source/changelog" "$prefix/changelog.txt"
    lines=$(wc -l <"$prefix/README.txt")
    [ "$lines" -gt 0 ] && [ "$(grep -c $'\r$' "$prefix/README.txt")" = "$lines" ] ||
        fail "README.txt has lines without CR LF"
else
    same_text copyright "$source/copyright" "$prefix/share/doc/tolvex/copyright"
    same_text README.md "$source/README.md" "$prefix/share/doc/tolvex/README.md"
    gzip -dc "$prefix/share/doc/tolvex/changelog.gz" | cmp -s "$source/changelog" - ||
        fail "changelog.gz differs from changelog"
    header=$(gzip -dc "$prefix/share/man/man1/tolvex.1.gz" | head -1)
    [[ $header == ".TH TOLVEX 1 "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]" \"tolvex $version\" "* ]] ||
        fail "the man page's header line: $header"
fi

# Every version number in an installed file is the project's: in the
# programs (their version information is UTF-16, hence the dropped zero
# bytes), the texts and the compressed pages alike; the compiler's own
# identification line is not ours. In the changelog only the top entry
# counts, and it must be this version: older entries are history.
text() {
    case $1 in
    *.gz) gzip -dc "$prefix/$1" ;;
    *) LC_ALL=C tr -d '\0' <"$prefix/$1" | LC_ALL=C tr -c '[:print:]\n' '\n' | grep -v '^GCC: ' ;;
    esac
}
while IFS= read -r file; do
    case $file in
    *changelog*)
        text "$file" | head -1 | grep -qF "tolvex ($version) " ||
            fail "$file: the top entry is not $version"
        current() { text "$file" | sed '/^ -- /q'; }
        ;;
    *) current() { text "$file"; } ;;
    esac
    others=$(current | grep -oE '(^|[^0-9A-Za-z._])[0-9]+\.[0-9]+\.[0-9]+([^0-9.]|$)' |
             grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | grep -vxF "$version" | sort -u | tr '\n' ' ')
    [ -z "$others" ] || fail "$file names another version than $version: $others"
done <<<"$(cd "$prefix" && find . -type f | sed 's|^\./||')"

[ -x "$prefix/$program" ] || fail "$program is not executable"

# The installed program, run from the samples folder on a sample.
report=$'Alder, the Grey\nArcoscephale, Late Era\nSerpent Cataphract (Body 3, 32 hits)\nMagic:  Fire 2  Astral 1\nDominion 4\nScales:  Order 2  Death 1\nDormant\n'
[ "$platform" = windows ] && report=${report//$'\n'/$'\r\n'}
out=$(cd "$source/samples" && "${emulator[@]}" "$prefix/$program" alder.god; echo "status $?")
[ "$out" = "${report}status 0" ] || fail "the installed program's report: $(printf '%q' "$out")"

[ "$failed" = 0 ] && echo "installed and ran: $(echo "$actual" | tr '\n' ' ')"
exit "$failed"
