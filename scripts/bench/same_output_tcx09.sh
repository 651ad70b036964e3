#!/usr/bin/env bash
# Compiles every C source of the tests, the examples and the C library, and
# the generated benchmark source, with two tcx09 programs under each option
# set (none, -g, -O, -g -O) and names every assembler text or message list
# that differs. For a change that must keep the generated code as it was.
#   scripts/bench/same_output_tcx09.sh OLD/tcx09 NEW/tcx09 [STAGE]
# STAGE (default build-release/stage) gives the cpp and headers that
# preprocess the sources that need them.
set -u
cd "$(dirname "$0")/../.."
old=$1 new=$2
stage=${3:-$PWD/build-release/stage}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n=45000 -f scripts/bench/c_source.awk > "$work/bench.c"
sources=$(find tests/compiler tests/sld data/examples data/src scripts/bench -name '*.c' | sort)
files=0 preprocessed=0 runs=0 differ=0
for src in $sources "$work/bench.c"; do
    in=$work/in.i
    # Sources with preprocessor lines go through cpp first, as a build does.
    if grep -q '^[[:space:]]*#' "$src" &&
        "$stage/bin/cpp" -D__ZUN09 -I "$stage/include" "$src" "$in" >/dev/null 2>&1; then
        preprocessed=$((preprocessed + 1))
    else
        cp "$src" "$in"
    fi
    files=$((files + 1))
    for opts in "" "-g" "-O" "-g -O"; do
        rm -f "$work/old.s" "$work/new.s"
        # shellcheck disable=SC2086
        "$old" $opts "$in" "$work/old.s" >"$work/old.out" 2>"$work/old.err"
        echo "rc $?" >>"$work/old.err"
        # shellcheck disable=SC2086
        "$new" $opts "$in" "$work/new.s" >"$work/new.out" 2>"$work/new.err"
        echo "rc $?" >>"$work/new.err"
        runs=$((runs + 1))
        for k in s out err; do
            if ! cmp -s "$work/old.$k" "$work/new.$k"; then
                echo "differs: $src ($opts) .$k"
                differ=$((differ + 1))
            fi
        done
    done
done
echo "$files sources ($preprocessed through cpp), $runs compilations by each program, $differ differences"
[ "$differ" -eq 0 ]
