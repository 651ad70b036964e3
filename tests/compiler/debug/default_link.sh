#!/usr/bin/env bash
# The Debug (or Final) build of a new executable project, replayed on the
# command line with the argument lists the workbench's runners hand to the
# tools:
#  COMP (CCFLAGS "-g -w4 -O", DEFINES _DEBUG, standard include path):
#    cpp -D_DEBUG -I <bin>/../include -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED src C1
#    tcx09 -g -w4 -O C1 C2;  hasm09 -g -e -o C3 C2;  C3 renamed to the object
#  ASSM of the standard startup (ASFLAGS "-g -e", ASMDEFINES _DEBUG):
#    hasm09 -g -e -D _DEBUG -o debug/_startup.o09 -D __ZUN09 src
#  LINK (LNFLAGS "-g -i default.lsc", the Debug configuration's default
#  libraries, the standard library path and the runtime's debug archive):
#    vlk -I <config> -o<target> -g -i default.lsc -llibcd.e09 -llibed.e09 -llibrtkd.e09
#        -L<bin>/../lib/zun09 -l<bin>/../lib/zun09/libccd.e09 <objects>
# Final drops -g and _DEBUG and links libc.e09, libe.e09, librtk.e09 and
# libcc.e09. The link must exit 0 and the program must print "ok" (or the
# text of the --expect file) under run09.
#   default_link.sh [--final] [--expect FILE] <stage> <source.c>... (the modules of one program)
final=0
expect=
while [ $# -gt 0 ]; do
    case $1 in
    --final) final=1; shift ;;
    --expect) expect=$(realpath "$2"); shift 2 ;;
    *) break ;;
    esac
done
set -u
stage=$(realpath "$1")
shift
sources=()
for src in "$@"; do sources+=("$(realpath "$src")"); done
bin=$stage/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
if [ $final = 1 ]; then
    out=final debug_flag= defines=() cppdef= libs=(-llibc.e09 -llibe.e09 -llibrtk.e09) runtime=libcc.e09
else
    out=debug debug_flag=-g defines=(-D _DEBUG) cppdef=-D_DEBUG libs=(-llibcd.e09 -llibed.e09 -llibrtkd.e09)
    runtime=libccd.e09
fi
mkdir "$out"

fail() {
    echo "$*"
    exit 1
}

objects=("$out/_startup.o09")
# shellcheck disable=SC2086
"$bin/hasm09" $debug_flag -e "${defines[@]}" -o "$out/_startup.o09" -D __ZUN09 "$bin/../src/startup/zun09/_startup.s09" \
    >log.txt 2>&1 || { cat log.txt; fail "ASSM _startup.s09"; }
for src in "${sources[@]}"; do
    base=$(basename "$src" .c)
    c1=$(mktemp C1XXXXXX) c2=$(mktemp C2XXXXXX) c3=$(mktemp C3XXXXXX)
    # shellcheck disable=SC2086
    "$bin/cpp" $cppdef -I "$bin/../include" -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED \
        "$src" "$c1" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: cpp"; }
    # shellcheck disable=SC2086
    "$bin/tcx09" $debug_flag -w4 -O "$c1" "$c2" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: tcx09"; }
    # shellcheck disable=SC2086
    "$bin/hasm09" $debug_flag -e -o "$c3" "$c2" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: hasm09"; }
    rm -f "$c1" "$c2"
    mv "$c3" "$out/$base.o09"
    objects+=("$out/$base.o09")
done
config=$(realpath -m "$bin/../config/zun09")
# shellcheck disable=SC2086
"$bin/vlk" -I "$config" -o"$out/demo.s19" $debug_flag -i default.lsc "${libs[@]}" \
    -L"$bin/../lib/zun09" -l"$bin/../lib/zun09/$runtime" "${objects[@]}" >log.txt 2>&1
rc=$?
[ $rc -eq 0 ] || { cat log.txt; fail "LINK exited with $rc"; }
if [ $final = 0 ]; then
    grep -q '^SX:C:s:startuplabel$' "$out/demo.s19" || fail "no entry record in the load file"
fi
"$bin/run09" --max 20000000 "$out/demo.s19" >out.txt 2>err.txt </dev/null
if [ -n "$expect" ]; then
    diff -u "$expect" out.txt || { cat err.txt; fail "run09 printed other text"; }
else
    [ "$(cat out.txt)" = "ok" ] || { cat out.txt err.txt; fail "run09 did not print ok"; }
fi
exit 0
