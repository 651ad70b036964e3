#!/usr/bin/env bash
# Measures tcx09 (release build) on a generated C source of 45,000 lines of
# ordinary functions (scripts/bench/c_source.awk), plain and with -g -O:
# peak memory per source line (/usr/bin/time), the share of host
# instructions spent in the heap allocator (callgrind: malloc, free,
# operator new and delete with everything they call) and the mean time of 10 runs.
#   scripts/bench_tcx09.sh                          builds build-release/ first
#   BIN=/path/to/stage/bin scripts/bench_tcx09.sh   measures that tcx09
#   OLD=/path/to/other/bin scripts/bench_tcx09.sh   also measures that tcx09,
#                                                   with the timed runs interleaved
set -eu
cd "$(dirname "$0")/.."
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF >/dev/null
  cmake --build build-release --target tcx09 >/dev/null
  BIN=$PWD/build-release/stage/bin
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n=45000 -f scripts/bench/c_source.awk > "$work/bench.c"
cd "$work"
lines=$(wc -l < bench.c)
programs="$BIN"
[ -n "${OLD:-}" ] && programs="$programs $OLD"

# Peak resident memory in KB per source line.
per_line() {
  local bin=$1; shift
  /usr/bin/time -f %M "$bin/tcx09" "$@" bench.c out.s 2>&1 >/dev/null | tail -1 |
    awk -v n="$lines" '{ printf "%.0f KB, %.2f KB/line", $1, $1 / n }'
}

# Host instructions and the allocator's share of them: the self cost of
# every function of glibc's malloc.c and of operator new and delete.
allocator_share() {
  local bin=$1; shift
  valgrind --tool=callgrind --callgrind-out-file=cg.out "$bin/tcx09" "$@" bench.c out.s >/dev/null 2>&1
  callgrind_annotate --threshold=100 cg.out 2>/dev/null | awk '
    /PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
    /malloc\/malloc\.c:|operator new|operator delete/ { v = $1; gsub(",", "", v); heap += v }
    END { printf "%.0f M instructions, allocator %.1f%%", total / 1e6, 100 * heap / total }'
}

# Mean seconds of 10 runs.
seconds() {
  local bin=$1 start end; shift
  start=$(date +%s.%N)
  for _ in $(seq 10); do "$bin/tcx09" "$@" bench.c out.s >/dev/null 2>&1; done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.5f", (e - s) / 10 }'
}

for opts in "" "-g -O"; do
  echo "tcx09 ${opts:-(no options)}, $lines lines:"
  for bin in $programs; do
    # shellcheck disable=SC2086
    line="  $bin: peak $(per_line "$bin" $opts)"
    # shellcheck disable=SC2086
    command -v valgrind >/dev/null && line="$line; $(allocator_share "$bin" $opts)"
    echo "$line"
  done
  new=0 old=0
  for _ in 1 2 3 4 5; do
    # shellcheck disable=SC2086
    new=$(awk -v a=$new -v b="$(seconds "$BIN" $opts)" 'BEGIN { print a + b }')
    # shellcheck disable=SC2086
    [ -n "${OLD:-}" ] && old=$(awk -v a=$old -v b="$(seconds "$OLD" $opts)" 'BEGIN { print a + b }')
  done
  awk -v n=$new -v o=$old 'BEGIN {
    printf "  time, mean of 10 runs, 5 rounds interleaved: %.1f ms", n / 5 * 1000
    if (o > 0) printf " (other: %.1f ms, other/this %.2f)", o / 5 * 1000, o / n
    printf "\n"
  }'
done
