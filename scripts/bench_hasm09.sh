#!/usr/bin/env bash
# Times hasm09 (release build) on a generated source of 20,000 instruction
# lines and prints the speed in source lines per second.
#   scripts/bench_hasm09.sh            builds build-release/ first
#   HASM09=/path/to/hasm09 scripts/bench_hasm09.sh   times that program
set -eu
cd "$(dirname "$0")/.."
if [ -z "${HASM09:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF >/dev/null
  cmake --build build-release --target hasm09 >/dev/null
  HASM09=$PWD/build-release/stage/bin/hasm09
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lines=20000
# A mix of every operand form: labels, branches, indexed, immediate, data.
awk -v n=$lines -f scripts/bench/asm_source.awk > "$work/bench.s09"
cd "$work"
runs=10
start=$(date +%s.%N)
for _ in $(seq $runs); do "$HASM09" bench.s09 >/dev/null; done
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v r=$runs -v n=$lines 'BEGIN {
  t = (e - s) / r
  printf "hasm09: %d lines in %.1f ms: %.0f lines/s\n", n, t * 1000, n / t
}'
