#!/usr/bin/env bash
# Runs every example of the README and the man page against the built
# program and compares what each command prints, messages included, byte for
# byte with what the page shows.
#   examples.sh PLATFORM SAMPLES README MAN_PAGE [EMULATOR...] PROGRAM
#
# An example is, in the README, a fenced block marked `console`, and in the
# man page an .EX/.EE block whose first line begins with "$ ". In either, a
# line "$ COMMAND" is a command (in the man page "$ \fBCOMMAND\fP") and the
# lines after it, up to the next command, are its standard output and
# standard error as a file receives them. The commands of one example run in
# order in one shell, so "$ echo $?" shows the status of the command before
# it, in a fresh folder holding the sample designs, a copy of them under
# samples/ and two of them under designs/. PLATFORM is posix or windows;
# under windows the emulator runs the program, CR LF line ends are compared
# as LF, and examples that read /dev/ are left out.
set -u

platform=$1 samples=$2 readme=$3 man_page=$4
shift 4
program=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0 failed=0 skipped=0

# Turns the man page's escapes into the characters they print.
unescape_roff() {
    sed -e 's/\\f[BIRP]//g' -e 's/\\&//g' -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" \
        -e 's/\\(dq/"/g' -e 's/\\e/\\/g'
}

# Writes each example to $work/examples/N.txt, one file an example, with its
# source and line as the first line.
extract() {
    mkdir -p "$work/examples"
    awk -v out="$work/examples" -v readme="$readme" -v man="$man_page" '
        function start(where) { n++; file = sprintf("%s/%03d.txt", out, n); print where > file }
        function stop() { if (file != "") close(file); file = "" }
        FILENAME == readme && /^```console$/ { start("README.md:" FNR); next }
        FILENAME == readme && /^```/ && file != "" { stop(); next }
        FILENAME == man && /^\.EX$/ { pending = FNR; next }
        FILENAME == man && pending && /^\$ / { start("tolvex.1:" pending); pending = 0 }
        FILENAME == man && pending { pending = 0 }
        FILENAME == man && /^\.EE$/ { stop(); next }
        file != "" { print > file }
    ' "$readme" "$man_page"
    for f in "$work"/examples/*.txt; do
        case $(head -1 "$f") in
        tolvex.1:*) { head -1 "$f"; tail -n +2 "$f" | unescape_roff; } >"$f.tmp" && mv "$f.tmp" "$f" ;;
        esac
    done
}

# run_example FILE: runs the commands of one example and compares their output.
run_example() {
    local file=$1 where folder i=0 ok=1 line
    where=$(head -1 "$file")
    if [ "$platform" = windows ] && grep -q '/dev/' "$file"; then
        echo "skip $where: reads a Linux device"
        skipped=$((skipped + 1))
        return
    fi
    folder=$(mktemp -d "$work/run.XXXXXX")
    mkdir "$folder/samples" "$folder/designs"
    cp "$samples"/*.god "$folder"
    cp "$samples"/*.god "$folder/samples"
    cp "$samples/alder.god" "$samples/brannoc.god" "$folder/designs"

    # The script: tolvex as a function over the program, then each command
    # with its output sent to its own file.
    {
        printf 'tolvex() { '
        printf '%q ' "${program[@]}"
        printf '"$@"; }\n'
        while IFS= read -r line; do
            if [[ $line == '$ '* ]]; then
                i=$((i + 1))
                : >"$folder/expected.$i"
                printf '{ %s\n} >actual.%d 2>&1\n' "${line#\$ }" "$i"
            elif [ "$i" -gt 0 ]; then
                printf '%s\n' "$line" >>"$folder/expected.$i"
            fi
        done < <(tail -n +2 "$file")
    } >"$folder/script.sh"

    (cd "$folder" && bash script.sh)
    for n in $(seq 1 "$i"); do
        [ "$platform" = windows ] && sed -i 's/\r$//' "$folder/actual.$n"
        if ! cmp -s "$folder/expected.$n" "$folder/actual.$n"; then
            echo "FAIL $where: $(grep '^\$ ' "$file" | sed -n "${n}p")"
            diff "$folder/expected.$n" "$folder/actual.$n" | head -20
            ok=0
        fi
    done
    if [ "$ok" = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

extract
for source in README.md tolvex.1; do
    count=$(grep -l "^$source:" "$work"/examples/*.txt 2>/dev/null | wc -l)
    if [ "$count" = 0 ]; then
        echo "FAIL $source: no example found; is the markup still the one this test reads?"
        failed=$((failed + 1))
    fi
done
for f in "$work"/examples/*.txt; do
    [ -e "$f" ] && run_example "$f"
done

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
