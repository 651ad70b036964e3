#!/usr/bin/env bash
# Measures vlk (release build) on generated code, next to hasm09 assembling
# the same source: host instructions under callgrind (exact, whatever the
# machine's load) and the mean time of 10 runs.
#   one:    one object of 20,000 source lines to S-records (-R text:0x1000)
#   fifty:  50 modules of 400 lines that call one another (text and data)
#   debug:  the same 50 modules assembled and linked with -g, with a map
#   scripts/bench_vlk.sh                          builds build-release/ first
#   BIN=/path/to/stage/bin scripts/bench_vlk.sh   measures those programs
#   OLD=/path/to/other/bin scripts/bench_vlk.sh   also measures that vlk, with
#                                                 the timed runs interleaved
set -eu
cd "$(dirname "$0")/.."
gen=$PWD/scripts/bench/asm_source.awk
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF >/dev/null
  cmake --build build-release --target hasm09 vlk >/dev/null
  BIN=$PWD/build-release/stage/bin
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
awk -v n=20000 -f "$gen" > one.s09
"$BIN/hasm09" one.s09 >/dev/null
mkdir -p g
modules=""
for k in $(seq 0 49); do
  awk -v n=400 -v module=$k -v modules=50 -f "$gen" > m$k.s09
  "$BIN/hasm09" m$k.s09 >/dev/null
  "$BIN/hasm09" -g -o g/m$k.o09 m$k.s09 >/dev/null
  modules="$modules m$k.o09"
done

declare -A args=(
  [one]="-R text:0x1000 -o one.s19 one.o09"
  [fifty]="-R text:0x1000 -o fifty.s19 $modules"
  [debug]="-g -R text:0x1000 -m debug.map -o debug.s19 ${modules// / g/}"
)
cases="one fifty debug"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/Collected/ { printf "%.1f M", $4 / 1e6 }'
}

# Mean seconds of 10 runs of `vlk` on a case.
seconds() {
  local vlk=$1 case=$2 start end
  start=$(date +%s.%N)
  for _ in $(seq 10); do "$vlk" ${args[$case]} >/dev/null; done
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.5f", (e - s) / 10 }'
}

if command -v valgrind >/dev/null; then
  echo "host instructions (callgrind):"
  echo "  hasm09 one.s09 (20,000 lines): $(instructions "$BIN/hasm09" one.s09)"
  for c in $cases; do
    line="  vlk $c: $(instructions "$BIN/vlk" ${args[$c]})"
    [ -n "${OLD:-}" ] && line="$line (other: $(instructions "$OLD/vlk" ${args[$c]}))"
    echo "$line"
  done
fi
echo "time per link, mean of 10 runs, 5 rounds interleaved:"
for c in $cases; do
  new=0 old=0
  for _ in 1 2 3 4 5; do
    new=$(awk -v a=$new -v b="$(seconds "$BIN/vlk" $c)" 'BEGIN { print a + b }')
    [ -n "${OLD:-}" ] && old=$(awk -v a=$old -v b="$(seconds "$OLD/vlk" $c)" 'BEGIN { print a + b }')
  done
  awk -v c=$c -v n=$new -v o=$old 'BEGIN {
    printf "  vlk %s: %.2f ms", c, n / 5 * 1000
    if (o > 0) printf " (other: %.2f ms, other/this %.2f)", o / 5 * 1000, o / n
    printf "\n"
  }'
done
