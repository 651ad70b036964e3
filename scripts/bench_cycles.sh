#!/usr/bin/env bash
# Cycle benchmark of the C compiler: builds each kernel of
# tests/compiler/bench/kernels with the command lines of a new project's
# Final configuration (cpp with the predefined macros, tcx09 -w4 -O,
# hasm09 -e, vlk -i default.lsc with the default libraries and libcc.e09),
# runs it under cycles09 and prints the cycles spent in bench() and the
# code bytes of the kernel's module (its text segment).
#   scripts/bench_cycles.sh [build-dir]    (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build}")
ninja -C "$build" -j3 cycles09 tcx09 hasm09 vlk zun_cpp zun_runtime stage_data >/dev/null
bin=$build/stage/bin
lib=$build/stage/lib/zun09
config=$build/stage/config/zun09
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$bin/hasm09" -e -o _startup.o09 -D __ZUN09 "$build/stage/src/startup/zun09/_startup.s09" >log.txt 2>&1 ||
    { cat log.txt; exit 1; }
printf '%-10s %10s %8s\n' kernel cycles bytes
for src in "$root"/tests/compiler/bench/kernels/*.c; do
    name=$(basename "$src" .c)
    "$bin/cpp" -I "$bin/../include" -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED "$src" C1 >log.txt 2>&1 &&
        "$bin/tcx09" -w4 -O C1 C2 >log.txt 2>&1 &&
        "$bin/hasm09" -e -o "$name.o09" C2 >log.txt 2>&1 ||
        { echo "$name: build failed"; cat log.txt; exit 1; }
    "$bin/vlk" -I "$config" -o"$name.s19" -m"$name.map" -i default.lsc -llibc.e09 -llibe.e09 -llibrtk.e09 \
        -L"$lib" -l"$lib/libcc.e09" _startup.o09 "$name.o09" >log.txt 2>&1 || { echo "$name: link failed"; cat log.txt; exit 1; }
    address=$(awk '/'"'"'_bench'"'"'/ { print $1 }' "$name.map")
    "$build/tests/cycles09" --function "$address" "$name.s19" >out.txt 2>&1 || { cat out.txt; exit 1; }
    result=$(awk '$1 == "result" { print $2 }' out.txt)
    [ "$result" = 0 ] || { echo "$name: wrong result $result"; cat out.txt; exit 1; }
    cycles=$(awk '$1 == "function" { print $2 }' out.txt)
    bytes=$(awk -F: '$1 == "seg" && $2 == "text" { print $3 }' "$name.o09")
    printf '%-10s %10s %8s\n' "$name" "$cycles" "$bytes"
done
