#!/usr/bin/env bash
# Compiles one C test program with the support file under each option set
# (none, -O, -g, -g -O), assembles, links it with the startup code and the
# runtime library, runs it under run09 and compares what it printed with the
# expected text ("ok" alone unless a .expected file lies beside the program).
#   run_program.sh <stage> <program.c>
set -u
stage=$1
src=$2
dir=$(dirname "$src")
name=$(basename "$src" .c)
bin=$stage/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
expected=$dir/$name.expected
[ -f "$expected" ] || { printf 'ok\n' >expected.txt; expected=expected.txt; }
"$bin/hasm09" -o startup.o09 "$stage/src/startup/zun09/_startup.s09" >log.txt 2>&1 || { cat log.txt; exit 1; }
status=0
for opts in "" "-O" "-g" "-g -O"; do
    for f in "$dir/support.c" "$src"; do
        base=$(basename "$f" .c)
        # shellcheck disable=SC2086
        if ! "$bin/tcx09" $opts "$f" "$base.s09" >log.txt 2>&1; then
            echo "tcx09 $opts $base failed:"; cat log.txt; exit 1
        fi
        if grep -q -e 'OP_ERROR' -e 'Internal Error' -e 'INVALID' -e 'CGERR' -e 'not handled' \
                -e 'unbalanced . allocation' "$base.s09"; then
            echo "tcx09 $opts $base: code generator trace in the output"; exit 1
        fi
        if grep -q -e '-LEGALIZE:' log.txt; then
            echo "tcx09 $opts $base: legalizer trace"; cat log.txt; exit 1
        fi
        "$bin/hasm09" -e -o "$base.o09" "$base.s09" >log.txt 2>&1 || { echo "hasm09 $opts $base:"; cat log.txt; exit 1; }
    done
    "$bin/vlk" -o prog.s19 -i "$stage/config/zun09/default.lsc" -L "$stage/lib/zun09" -l libcc.e09 \
        startup.o09 support.o09 "$name.o09" >log.txt 2>&1 || { echo "vlk $opts:"; cat log.txt; exit 1; }
    "$bin/run09" --max 20000000 prog.s19 >out.txt 2>err.txt </dev/null
    if ! diff -u "$expected" out.txt; then
        echo "with options '$opts'"; cat err.txt; status=1
    fi
done
exit $status
