#!/usr/bin/env bash
# Builds a release run09 and the tool chain in build-bench/, compiles a long
# pure computation (scripts/bench/compute.c) for the board and runs it for a
# fixed number of instructions; prints million instructions per second
# through the whole board (engine, chips, the console device).
#   scripts/bench_run09.sh [INSTRUCTIONS]   (default 50000000)
set -eu
cd "$(dirname "$0")/.."
count=${1:-50000000}
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=ON >/dev/null
cmake --build build-bench --target run09 zun_cpp tcx09 hasm09 vlk zun_runtime stage_data >/dev/null
S=$PWD/build-bench/stage
src=$PWD/scripts/bench/compute.c
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$S/bin/cpp" -I "$S/include" -D__ZUN09 "$src" compute.i
"$S/bin/tcx09" compute.i compute.s09
"$S/bin/hasm09" -e compute.s09
"$S/bin/hasm09" -o startup.o09 "$S/src/startup/zun09/_startup.s09"
"$S/bin/vlk" -I "$S/config/zun09" -i default.lsc -L "$S/lib/zun09" -l libcc.e09 \
    -o compute.s19 startup.o09 compute.o09
start=$(date +%s.%N)
"$S/bin/run09" --max "$count" compute.s19 2>/dev/null || [ $? = 3 ]
end=$(date +%s.%N)
awk -v n="$count" -v a="$start" -v b="$end" \
    'BEGIN { printf "%d instructions in %.2f s: %.1f M instructions/s\n", n, b - a, n / (b - a) / 1e6 }'
