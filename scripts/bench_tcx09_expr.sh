#!/usr/bin/env bash
# Counts the host instructions (callgrind) tcx09 spends on one flat
# expression of 6,000 operands, a plain sum and a mix of + - * & | ^, plain
# and with -g -O, and holds each count against a budget: the work must grow
# with the operands, not with their square (the sum took 2,200 M when every
# operand's conversion folded the whole chain again). Exits 1 over budget.
#   scripts/bench_tcx09_expr.sh                          builds build-release/ first
#   BIN=/path/to/stage/bin scripts/bench_tcx09_expr.sh   measures that tcx09
#   OLD=/path/to/other/bin scripts/bench_tcx09_expr.sh   also measures that tcx09
#   OPERANDS=n BUDGET=millions                           another size or budget
set -eu
cd "$(dirname "$0")/.."
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF >/dev/null
  cmake --build build-release --target tcx09 >/dev/null
  BIN=$PWD/build-release/stage/bin
fi
command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 2; }
operands=${OPERANDS:-6000}
budget=${BUDGET:-250}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One function returning an expression of n operands on one line; ops is
# the run of operators used in turn.
expression() {
  awk -v n="$operands" -v ops="$1" 'BEGIN {
    split("a b c d", name, " ")
    k = split(ops, op, " ")
    printf "int a, b, c, d;\nint f(void) { return a"
    for (i = 1; i < n; i++) printf "%s%s", op[i % k + 1], name[i % 4 + 1]
    printf "; }\n"
  }'
}
expression "+" > "$work/sum.c"
expression "+ - * & | ^ +" > "$work/mixed.c"

# Millions of host instructions of one compilation.
instructions() {
  local bin=$1 src=$2; shift 2
  valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$bin/tcx09" "$@" "$src" "$work/out.s" \
    >/dev/null 2>&1 || { echo "tcx09 failed on $src" >&2; echo 0; return; }
  callgrind_annotate "$work/cg.out" 2>/dev/null |
    awk '/PROGRAM TOTALS/ { gsub(",", "", $1); printf "%.0f", $1 / 1e6 }'
}

status=0
for opts in "" "-g -O"; do
  for shape in sum mixed; do
    # shellcheck disable=SC2086
    m=$(instructions "$BIN" "$work/$shape.c" $opts)
    line="tcx09 ${opts:-(no options)}, $operands operands, $shape: $m M instructions (budget $budget M)"
    if [ -n "${OLD:-}" ]; then
      # shellcheck disable=SC2086
      line="$line; other: $(instructions "$OLD" "$work/$shape.c" $opts) M"
    fi
    echo "$line"
    if [ "$m" -eq 0 ] || [ "$m" -gt "$budget" ]; then status=1; fi
  done
done
exit $status
