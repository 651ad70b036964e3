#!/usr/bin/env bash
# The Debug build of a new executable project, replayed on the command line
# with the argument lists the workbench's runners hand to the tools:
#  COMP (CCFLAGS "-g -w4 -O", DEFINES _DEBUG, standard include path):
#    cpp -D_DEBUG -I <bin>/../include -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED src C1
#    tcx09 -g -w4 -O C1 C2;  hasm09 -g -e -o C3 C2;  C3 renamed to the object
#  ASSM of the standard startup (ASFLAGS "-g -e", ASMDEFINES _DEBUG):
#    hasm09 -g -e -D _DEBUG -o debug/_startup.o09 -D __ZUN09 src
#  LINK (LNFLAGS "-g -i default.lsc", the Debug configuration's default
#  libraries, the standard library path and the runtime's debug archive):
#    vlk -I <config> -o<target> -g -i default.lsc -llibcd.e09 -llibed.e09 -llibrtkd.e09
#        -L<bin>/../lib/zun09 -l<bin>/../lib/zun09/libccd.e09 <objects>
# The link must exit 0 and the program must print "ok" under run09.
#   default_link.sh <stage> <support.c> <program.c>... (the modules of one program)
set -u
stage=$(realpath "$1")
support=$(realpath "$2")
shift 2
sources=("$support")
for src in "$@"; do sources+=("$(realpath "$src")"); done
bin=$stage/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir debug

fail() {
    echo "$*"
    exit 1
}

objects=(debug/_startup.o09)
"$bin/hasm09" -g -e -D _DEBUG -o debug/_startup.o09 -D __ZUN09 "$bin/../src/startup/zun09/_startup.s09" \
    >log.txt 2>&1 || { cat log.txt; fail "ASSM _startup.s09"; }
for src in "${sources[@]}"; do
    base=$(basename "$src" .c)
    c1=$(mktemp C1XXXXXX) c2=$(mktemp C2XXXXXX) c3=$(mktemp C3XXXXXX)
    "$bin/cpp" -D_DEBUG -I "$bin/../include" -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED \
        "$src" "$c1" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: cpp"; }
    "$bin/tcx09" -g -w4 -O "$c1" "$c2" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: tcx09"; }
    "$bin/hasm09" -g -e -o "$c3" "$c2" >log.txt 2>&1 || { cat log.txt; fail "COMP $base: hasm09"; }
    rm -f "$c1" "$c2"
    mv "$c3" "debug/$base.o09"
    objects+=("debug/$base.o09")
done
config=$(realpath -m "$bin/../config/zun09")
"$bin/vlk" -I "$config" -odebug/demo.s19 -g -i default.lsc -llibcd.e09 -llibed.e09 -llibrtkd.e09 \
    -L"$bin/../lib/zun09" -l"$bin/../lib/zun09/libccd.e09" "${objects[@]}" >log.txt 2>&1
rc=$?
[ $rc -eq 0 ] || { cat log.txt; fail "LINK exited with $rc"; }
grep -q '^SX:C:s:startuplabel$' debug/demo.s19 || fail "no entry record in the load file"
"$bin/run09" --max 20000000 debug/demo.s19 >out.txt 2>err.txt </dev/null
[ "$(cat out.txt)" = "ok" ] || { cat out.txt err.txt; fail "run09 did not print ok"; }
exit 0
