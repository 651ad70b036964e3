#!/usr/bin/env bash
# Assembles, links and runs one program through hasm09, vlk and run09, then
# compares standard output and error with the expected files beside it.
#   run_chain.sh <stage-bin> <source.s09>
set -eu
bin=$1
src=$2
base=${src%.s09}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$bin/hasm09" -o prog.o09 "$src"
"$bin/vlk" -o prog.s19 -R text:0x1000 -R data:0x1800 prog.o09
rc=0
"$bin/run09" --dump 1800-1800 prog.s19 >out.txt 2>err.txt </dev/null || rc=$?
[ "$rc" = 0 ] || { echo "run09 exit code $rc"; cat err.txt; exit 1; }
diff -u "$base.stdout" out.txt
diff -u "$base.stderr" err.txt
