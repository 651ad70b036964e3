#!/usr/bin/env bash
# Builds prog.s19 (and prog.map) in a folder from the C and assembler
# sources in it, as a Debug build of the workbench does: the standard
# startup, each C source through cpp, tcx09 -g and hasm09 -g, each assembler
# source through hasm09 -g, and vlk -g with the runtime's debug archive.
#   build.sh <stage> <folder> [cpp option...]
set -u
stage=$(realpath "$1")
dir=$2
shift 2
bin=$stage/bin
cd "$dir" || exit 1

fail() {
    cat log.txt
    echo "build.sh: $*"
    exit 1
}

objects=(startup.o09)
"$bin/hasm09" -g -e -D _DEBUG -D __ZUN09 -o startup.o09 "$stage/src/startup/zun09/_startup.s09" \
    >log.txt 2>&1 || fail "hasm09 startup"
for src in *.c; do
    [ -e "$src" ] || continue
    base=${src%.c}
    "$bin/cpp" -D_DEBUG -I "$stage/include" -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED "$@" \
        "$src" "$base.i" >log.txt 2>&1 || fail "cpp $src"
    "$bin/tcx09" -g -w4 -O "$base.i" "$base.s09" >log.txt 2>&1 || fail "tcx09 $src"
    "$bin/hasm09" -g -e -o "$base.o09" "$base.s09" >log.txt 2>&1 || fail "hasm09 $src"
    objects+=("$base.o09")
done
for src in *.s09; do
    [ -e "$src" ] || continue
    base=${src%.s09}
    [ -e "$base.c" ] && continue  # the compiler's output
    "$bin/hasm09" -g -e -o "$base.o09" "$src" >log.txt 2>&1 || fail "hasm09 $src"
    objects+=("$base.o09")
done
"$bin/vlk" -I "$stage/config/zun09" -o prog.s19 -g -i default.lsc -L "$stage/lib/zun09" -l libccd.e09 \
    -M "${objects[@]}" >log.txt 2>&1 || fail "vlk"
exit 0
