#!/usr/bin/env bash
# Builds a C program and the test support with debug information (cpp,
# tcx09 -g, hasm09 -g -e, vlk -g with the runtime's debug archive), runs it
# under run09 ("ok" expected) and checks the debug tail of the load file:
#  - every C function's F..E range lies inside the text segment, and every
#    C execution point inside a function of its module;
#  - every symbol line (.stab sym F/L) the compiler wrote arrives as an SX record;
#  - every type line the compiler wrote arrives whole, continuation lines
#    included, in the order written;
#  - the program's own expectations: '/* sx REC */' (an SX:C:S: record of
#    the program's module beginning with REC) and '/* frameless FN */'
#    (FN starts with the NOP of a function without frame).
#   run_debug.sh <stage> <program.c> <support.c>
set -u
stage=$(realpath "$1")
src=$(realpath "$2")
support=$(realpath "$3")
. "$(dirname "$0")/../../tools/awk_hex.sh"
bin=$stage/bin
name=$(basename "$src" .c)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "$name: $*"
    exit 1
}

build() {  # <source> <base>
    "$bin/cpp" -D_DEBUG -I "$stage/include" -D__ZUN -D__IIS -D__ZUN09 -D_C_COMPILED "$1" "$2.i" >log.txt 2>&1 ||
        { cat log.txt; fail "cpp $2"; }
    "$bin/tcx09" -g -w4 -O "$2.i" "$2.s09" >log.txt 2>&1 || { cat log.txt; fail "tcx09 $2"; }
    grep -q 'Internal Error' "$2.s09" log.txt && { cat log.txt; fail "tcx09 $2: internal error"; }
    "$bin/hasm09" -g -e -o "$2.o09" "$2.s09" >log.txt 2>&1 || { cat log.txt; fail "hasm09 $2"; }
}

cp "$src" "$name.c"
cp "$support" support.c
build support.c support
build "$name.c" "$name"
"$bin/hasm09" -g -e -D _DEBUG -D __ZUN09 -o startup.o09 "$stage/src/startup/zun09/_startup.s09" >log.txt 2>&1 ||
    { cat log.txt; fail "hasm09 startup"; }
"$bin/vlk" -I "$stage/config/zun09" -o prog.s19 -g -i default.lsc -L "$stage/lib/zun09" -l libccd.e09 \
    -M startup.o09 support.o09 "$name.o09" >log.txt 2>&1 || { cat log.txt; fail "vlk"; }
"$bin/run09" --max 20000000 prog.s19 >out.txt 2>err.txt </dev/null
[ "$(cat out.txt)" = "ok" ] || { cat out.txt err.txt; fail "run09 did not print ok"; }

text_lo=$(awk '$2 == "'"'"'__text__start'"'"'" { print $1 }' prog.map)
text_hi=$(awk '$2 == "'"'"'__text__end'"'"'" { print $1 }' prog.map)
[ -n "$text_lo" ] && [ -n "$text_hi" ] || fail "no text segment in the map"

# Functions and points.
awk -F: -v lo="$text_lo" -v hi="$text_hi" "$AWK_HEX"'
$1 == "SX" && $2 == "C" && $3 == "F" { start[$4 ":" $5] = hex($6) }
$1 == "SX" && $2 == "C" && $3 == "E" { end[$4 ":" $5] = hex($6) }
$1 == "SX" && $2 == "C" && $3 == "X" { n++; pmod[n] = $4; paddr[n] = hex($7); pline[n] = $5 }
END {
    lo = hex(lo); hi = hex(hi); bad = 0; count = 0
    for (f in start) {
        count++
        if (!(f in end)) { print "no end record for " f; bad = 1; continue }
        if (start[f] < lo || end[f] > hi || start[f] >= end[f])
            { printf "%s: range %X..%X outside text %X..%X\n", f, start[f], end[f], lo, hi; bad = 1 }
    }
    for (f in end) if (!(f in start)) { print "no start record for " f; bad = 1 }
    if (count == 0) { print "no C function records"; bad = 1 }
    for (i = 1; i <= n; i++) {
        inside = 0
        for (f in start)
            if (index(f, pmod[i] ":") == 1 && paddr[i] >= start[f] && paddr[i] <= end[f]) inside = 1
        if (!inside) { printf "point %s line %s at %X lies in no function\n", pmod[i], pline[i], paddr[i]; bad = 1 }
    }
    exit bad
}' prog.s19 || fail "function records"

for base in support "$name"; do
    mod=$(awk -v f="/$base.c" '
        index($0, "SX:C:M:") == 1 { p = index($0, "$"); path = substr($0, p + 1)
            if (substr(path, length(path) - length(f) + 1) == f) { print substr($0, 8, p - 8); exit } }' prog.s19)
    [ -n "$mod" ] || fail "no module record for $base.c"
    # Symbol lines of functions, parameters and autos.
    grep -E '^\.stab sym [FL]:' "$base.s09" | while IFS= read -r line; do
        rec=${line#.stab sym }
        want="SX:C:S:${rec%%:*}:$mod:${rec#*:}"
        grep -qxF -- "$want" prog.s19 || { echo "missing: $want"; exit 1; }
    done || fail "symbol records of $base"
    # Type lines: each with its continuation lines, one after the other.
    awk -v mod="$mod" '
    FNR == NR { load[++n] = $0; next }
    function check(   i, j, k, ok) {
        if (m == 0) return
        for (i = 1; i + m - 1 <= n; i++) {
            ok = 1
            for (j = 1; j <= m; j++) if (load[i + j - 1] != want[j]) { ok = 0; break }
            if (ok) { m = 0; return }
        }
        print "type line not in the load file: " want[1]; bad = 1; m = 0
    }
    {
        if (open) { want[++m] = $0; open = /\\$/; if (!open) check(); next }
        if (index($0, ".stab type ") != 1) next
        text = substr($0, 12)
        split(text, w, " ")
        num = substr(w[1], 4)
        builtin = w[1] ~ /^typ[0-9]+$/ && num + 0 < 16
        m = 1
        want[1] = builtin ? "SX:C:T:" text : "SX:C:T:" mod ":" text
        open = /\\$/
        if (!open) check()
    }
    END { if (open) { print "unfinished type line"; bad = 1 } exit bad }' prog.s19 "$base.s09" || fail "type lines of $base"
done

# The program's own expectations.
mod=$(awk -v f="/$name.c" '
    index($0, "SX:C:M:") == 1 { p = index($0, "$"); path = substr($0, p + 1)
        if (substr(path, length(path) - length(f) + 1) == f) { print substr($0, 8, p - 8); exit } }' prog.s19)
sed -n 's|^/\* sx \(.*\) \*/$|\1|p' "$name.c" | while IFS= read -r rec; do
    want="SX:C:S:${rec%%:*}:$mod:${rec#*:}"
    awk -v w="$want" 'index($0, w) == 1 { found = 1 } END { exit !found }' prog.s19 ||
        { echo "missing: $want..."; exit 1; }
done || fail "expected records"
sed -n 's|^/\* frameless \(.*\) \*/$|\1|p' "$name.c" | while IFS= read -r fn; do
    first=$(awk -v label="_$fn:" '$0 == label { on = 1; next } on && !/^\.stab/ && !/^;/ { print; exit }' "$name.s09")
    [ "$first" = "	NOP" ] || { echo "$fn does not start frameless: '$first'"; exit 1; }
done || fail "frameless functions"
exit 0
