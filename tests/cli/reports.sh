#!/usr/bin/env bash
# Reports: one file, several, the edge values of every line.
. "${BASH_SOURCE%/*}/lib.sh" "$@"

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

group_reports
finish
