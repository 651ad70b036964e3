#!/usr/bin/env bash
# sld-run over programs built with our chain and over the example
# workspace's Debug build (program name ky09demo): each cases/NAME.cmd holds
# the program's name and the commands on one line; the standard output,
# with the PC values taken out of the "at" lines, must equal cases/NAME.out,
# and sld-run must exit 0. A Run to the end stops at __lowexit at the address
# the linker map gives it.
#   sld_run.sh <stage> <tests/sld/run folder>
set -u
stage=$(realpath "$1")
here=$(realpath "$2")
bin=$stage/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "sld_run: $*"
    exit 1
}

# Two functions with a static of one name; every integer kind in every view.
mkdir "$work/statics" && cp "$here/statics.c" "$work/statics/"
bash "$here/build.sh" "$stage" "$work/statics" || fail "building statics"

mkdir "$work/stepper" "$work/deep"
cp "$here/stepper.c" "$here/adder.s09" "$work/stepper/"
cp "$here/deep.c" "$here/twice.s09" "$work/deep/"
for p in watched fib loops scopes ticker inf forms; do
    mkdir "$work/$p"
    cp "$here/$p.c" "$work/$p/"
done
for p in stepper watched deep fib loops scopes ticker inf forms; do
    bash "$here/build.sh" "$stage" "$work/$p" || fail "building $p"
done
bash "$here/../../tools/build_example.sh" "$stage" "$work/example" Debug || fail "building the example"

# The folder and the load file of a program.
load_of() {
    if [ "$1" = ky09demo ]; then
        echo "$work/example/ky09demo/debug ky09demo_Debug.s19"
    else
        echo "$work/$1 prog.s19"
    fi
}

bad=0
for cmd in "$here"/cases/*.cmd; do
    name=$(basename "$cmd" .cmd)
    read -r program args <"$cmd"
    read -r dir load <<<"$(load_of "$program")"
    # shellcheck disable=SC2086
    (cd "$dir" && "$bin/sld-run" "$load" $args) >"$work/$name.raw" 2>"$work/$name.err"
    rc=$?
    sed 's/ PC=[0-9A-F]*$//' "$work/$name.raw" >"$work/$name.out"
    if [ $rc -ne 0 ]; then
        echo "sld_run: $name exited with $rc"
        cat "$work/$name.err"
        bad=1
    fi
    diff -u "$here/cases/$name.out" "$work/$name.out" || { echo "sld_run: $name differs"; bad=1; }
done
[ $bad -eq 0 ] || exit 1

# Commands that cannot be carried out are counted in the exit code.
(cd "$work/stepper" && "$bin/sld-run" prog.s19 print nosuch clear stepper:31 break stepper:3 next) \
    >/dev/null 2>&1
rc=$?
[ $rc -eq 3 ] || fail "three failed commands exited with $rc"

# Lines without code of their own take no breakpoint: `do {`, a `break;`
# folded into its `if`, `while (1) {` and `for (;;) {`; `} while (...);`
# takes one.
(cd "$work/forms" && "$bin/sld-run" prog.s19 break forms:9 break forms:21 break forms:12) \
    >/dev/null 2>"$work/nocode.err"
rc=$?
(cd "$work/inf" && "$bin/sld-run" prog.s19 break inf:5 break inf:10) >/dev/null 2>>"$work/nocode.err"
rc=$((rc + $?))
[ $rc -eq 4 ] || fail "four breakpoints on lines without code exited with $rc"
for line in forms:9 forms:21 inf:5 inf:10; do
    grep -qx "sld-run: no code on line $line" "$work/nocode.err" || fail "no 'no code on line $line'"
done

# The deeper calls' stops at the stepped function's points are passed within
# the run, not stopped and run again: Next over fib(6)'s recursive line, a
# few hundred instructions, passes dozens of them and stays well within
# --max 20000 (a stop per pass would end a tick of 500 each time).
(cd "$work/fib" && "$bin/sld-run" --max 20000 prog.s19 break fib:11 run run clear fib:11 next \
    print calls) >"$work/max.out" 2>"$work/max.err" || { cat "$work/max.err"; fail "--max 20000 halted Next"; }
grep -qx 'calls = 25' "$work/max.out" || fail "Next over fib(6) did not finish its call"

# A module's name with the static's name picks no function's static: each
# is named with its function.
(cd "$work/statics" && "$bin/sld-run" prog.s19 print statics:total) >/dev/null 2>"$work/static.err"
rc=$?
[ $rc -eq 1 ] && grep -qx 'Symbol Not Found: statics:total' "$work/static.err" \
    || fail "statics:total of two functions' statics exited $rc: $(cat "$work/static.err")"

# --max N halts a run after exactly N instructions: where N Step Intos from
# the entry stand.
for n in 1 2; do
    steps=$(printf 'into %.0s' $(seq "$n"))
    # shellcheck disable=SC2086
    want=$(cd "$work/stepper" && "$bin/sld-run" prog.s19 $steps 2>/dev/null | tail -1)
    got=$(cd "$work/stepper" && "$bin/sld-run" --max "$n" prog.s19 run 2>"$work/max$n.err" | tail -1)
    [ "$got" = "$want" ] || fail "--max $n stopped $got, $n instructions go to $want"
    grep -qx "sld-run: still running after $n instructions, halted" "$work/max$n.err" \
        || fail "--max $n: $(cat "$work/max$n.err")"
done

# The end of the program: __lowexit where the map puts it.
lowexit=$(awk '$2 == "'"'"'__lowexit'"'"'" { print substr($1, length($1) - 3) }' "$work/stepper/prog.map")
[ -n "$lowexit" ] || fail "no __lowexit in the map"
last=$(grep '^at ' "$work/next.raw" | tail -1)
[ "$last" = "at _startup:42 PC=$lowexit" ] || fail "the run ended with '$last', not at __lowexit $lowexit"
exit 0
