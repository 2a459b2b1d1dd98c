#!/usr/bin/env bash
# Checks that the benchmark's helpers work together, on a few files:
#   smoke.sh MAKER FLOOR RUNNER NOTHING TOLVEX
set -eu
maker=$1 floor=$2 runner=$3 nothing=$4 tolvex=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$maker" files 60
"$maker" again 60
diff -r files again || { echo "FAIL: the corpus is not the same twice"; exit 1; }

"$floor" files/*.god || { echo "FAIL: the floor cannot read the named files"; exit 1; }
"$floor" -d files .god || { echo "FAIL: the floor cannot read the folder"; exit 1; }

printf '%s\n' files/*.god >list
cat >plan <<PLAN
tolvex out.tolvex $tolvex @list
floor out.floor $floor -d files .god
nothing out.nothing $nothing
PLAN
"$runner" 2 plan >results || { echo "FAIL: the runner failed"; exit 1; }
cat results
statuses=$(cut -f8 results | tr '\n' ' ')
[ "$statuses" = "0 0 0 " ] || { echo "FAIL: exit statuses $statuses"; exit 1; }
"$tolvex" files/*.god >direct
cmp -s direct out.tolvex || { echo "FAIL: the runner's output differs from a direct run"; exit 1; }
[ "$(grep -c '^----files/g0000[0-9][0-9].god----$' out.tolvex)" = 60 ] || { echo "FAIL: not 60 reports"; exit 1; }
echo "1 passed, 0 failed"
