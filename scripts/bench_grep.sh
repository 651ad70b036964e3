#!/usr/bin/env bash
# Times our grep and fgrep next to GNU grep on C sources: the repository's
# own sources put together to 1 MB and to 100 MB. For each expression and
# size it prints the best of ROUNDS runs of each (interleaved, so that the
# machine's load falls on both alike), our time / GNU time and the ratio GNU
# time / our time (above 1: ours is faster). The time is the processor time
# (user and system) of one run, which a busy machine disturbs less than the
# time on the clock; a run on 1 MB is timed as a twentieth of 20 runs. GNU
# grep runs with -n, as our hit lines carry their numbers, and the hits of
# both are checked to be the same lines.
#   scripts/bench_grep.sh                          builds build-release/ first
#   BIN=/path/to/stage/bin scripts/bench_grep.sh   times those programs
#   GNU=/path/to/grep ROUNDS=9 scripts/bench_grep.sh
set -eu
cd "$(dirname "$0")/.."
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF >/dev/null
  cmake --build build-release --target grep fgrep >/dev/null
  BIN=$PWD/build-release/stage/bin
fi
GNU=${GNU:-/bin/grep}
ROUNDS=${ROUNDS:-5}
if ! "$GNU" --version 2>/dev/null | head -1 | grep -q GNU; then
  echo "bench_grep: $GNU is not GNU grep (set GNU=)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sources once, then repeated up to each size.
find . -path ./build\* -prune -o -path ./.git -prune -o \( -name '*.c' -o -name '*.h' -o -name '*.cpp' \) \
  -type f -print | sort | xargs cat > "$work/sources"
for mb in 1 100; do
  while [ "$(stat -c %s "$work/all" 2>/dev/null || echo 0)" -lt $((mb << 20)) ]; do
    cat "$work/sources" >> "$work/all"
  done
  head -c $((mb << 20)) "$work/all" > "$work/c$mb"
done
rm -f "$work/all" "$work/sources"

# name, our program and options, GNU grep's options, the text.
cases=(
  "word|fgrep|-F|buffer"
  "ignore case|fgrep -y|-F -i|buffer"
  "word edges|grep|-E|\\<size\\>"
  "alternation|grep|-E|buffer|length"
  "class|grep|-E|[[:upper:]][[:lower:]]+[[:upper:]]"
  "counted repeat|grep|-E|[[:digit:]]{3}"
)

# Microseconds of processor time of `repeat` runs of a command, its output
# to a file: GNU grep only looks for the first hit when its output is
# /dev/null.
run_us() {
  local repeat=$1 TIMEFORMAT='%3U %3S'
  shift
  { time (for _ in $(seq "$repeat"); do "$@" > "$work/out" || true; done) ; } 2>&1 |
    awk '{ printf "%d\n", ($1 + $2) * 1e6 }'
}

printf '%-15s %6s %12s %12s %8s\n' expression size "ours ms" "GNU ms" GNU/ours
worst=""
for c in "${cases[@]}"; do
  IFS='|' read -r name ours gnu text <<< "$c"
  text=${c#"$name|$ours|$gnu|"}
  for mb in 1 100; do
    file=$work/c$mb
    # Both find the same lines.
    $BIN/$ours "$text" "$file" | sed 's/^"[^"]*" (\([0-9]*\)) /\1:/' > "$work/ours.txt" || true
    "$GNU" -a -n $gnu -e "$text" "$file" > "$work/gnu.txt" || true
    if ! cmp -s "$work/ours.txt" "$work/gnu.txt"; then
      echo "bench_grep: $name ($text) finds other lines than GNU grep on $mb MB" >&2
      exit 1
    fi
    repeat=$((mb == 1 ? 20 : 1))
    best_ours="" best_gnu=""
    for _ in $(seq "$ROUNDS"); do
      t=$(run_us $repeat $BIN/$ours "$text" "$file")
      [ -z "$best_ours" ] || [ "$t" -lt "$best_ours" ] && best_ours=$t
      t=$(run_us $repeat "$GNU" -a -n $gnu -e "$text" "$file")
      [ -z "$best_gnu" ] || [ "$t" -lt "$best_gnu" ] && best_gnu=$t
    done
    ratio=$(awk -v o="$best_ours" -v g="$best_gnu" 'BEGIN { printf "%.2f", g / o }')
    awk -v n="$name" -v mb="$mb MB" -v o="$best_ours" -v g="$best_gnu" -v r="$ratio" -v k="$repeat" \
      'BEGIN { printf "%-15s %6s %12.2f %12.2f %8s\n", n, mb, o / k / 1000, g / k / 1000, r }'
    if [ "$mb" = 100 ] && awk -v r="$ratio" 'BEGIN { exit !(r < 1) }'; then worst="$worst $name"; fi
  done
done
[ -z "$worst" ] || echo "slower than GNU grep on 100 MB:$worst"
