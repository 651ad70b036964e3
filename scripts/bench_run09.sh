#!/usr/bin/env bash
# Builds a release run09 and the tool chain in build-bench/, compiles a long
# pure computation (scripts/bench/compute.c) for the board and measures run09
# on it through the whole board (engine, chips, the console device), with
# standard input at its end:
# - host instructions per simulated instruction under callgrind (exact,
#   whatever the machine's load): the difference between runs of 4 and 2
#   million instructions, divided by 2 million;
# - million instructions per second, the mean of 5 runs.
#   scripts/bench_run09.sh [INSTRUCTIONS]   (per timed run, default 50000000)
#   OLD=/path/to/other/bin scripts/bench_run09.sh   also measures that run09,
#                                                   the timed runs interleaved
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

# run09 stops after --max instructions with exit code 3.
run() { "$1" --max "$2" compute.s19 </dev/null 2>/dev/null || [ $? = 3 ]; }

per_instruction() {
  local a b
  a=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" --max 2000000 compute.s19 \
      </dev/null 2>&1 | awk '/Collected/ { print $4 }')
  b=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" --max 4000000 compute.s19 \
      </dev/null 2>&1 | awk '/Collected/ { print $4 }')
  awk -v a="$a" -v b="$b" 'BEGIN { printf "%.1f", (b - a) / 2000000 }'
}

seconds() {
  local start end
  start=$(date +%s.%N)
  run "$1" "$count"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}

if command -v valgrind >/dev/null; then
  line="host instructions per simulated instruction: $(per_instruction "$S/bin/run09")"
  [ -n "${OLD:-}" ] && line="$line (other: $(per_instruction "$OLD/run09"))"
  echo "$line"
fi
new=0 old=0
for _ in 1 2 3 4 5; do
  new=$(awk -v a=$new -v b="$(seconds "$S/bin/run09")" 'BEGIN { print a + b }')
  [ -n "${OLD:-}" ] && old=$(awk -v a=$old -v b="$(seconds "$OLD/run09")" 'BEGIN { print a + b }')
done
awk -v n="$count" -v t=$new -v o=$old 'BEGIN {
  printf "%d instructions in %.2f s: %.1f M instructions/s", n, t / 5, n * 5 / t / 1e6
  if (o > 0) printf " (other: %.1f M instructions/s, this/other %.2f)", n * 5 / o / 1e6, o / t
  printf "\n"
}'
