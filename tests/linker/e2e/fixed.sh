#!/usr/bin/env bash
# Branches and PC-relative operands to fixed addresses from a segment the
# linker places: the linker works out each distance, through link-only
# output and libraries too, and refuses a short branch that cannot reach.
#   fixed.sh <stage-bin> <this folder>
set -eu
bin=$1
src=$(cd "$2" && pwd)
config=$(cd "$bin/../config/zun09" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src"/fixed.s09 "$src"/short.s09 "$src"/absbytes.s09 "$src"/want.s09 "$work"
cd "$work"
fail() { echo "fixed targets: $*"; exit 1; }
for m in fixed short absbytes want; do "$bin/hasm09" $m.s09; done

# regs FILE.s19 N: the registers after N instructions (run09 reports them
# on standard error, behind the stop)
regs() { { "$bin/run09" --regs --max "$2" "$1" </dev/null 2>&1 >/dev/null || true; } | tail -n 1; }

"$bin/vlk" -I "$config" -i default.lsc -o fixed.s19 fixed.o09
want='PC=E100 A=00 B=00 X=0020 Y=E029 U=0000 S=DEFE DP=00 CC=58'
[ "$(regs fixed.s19 4)" = "$want" ] || fail "linked at 1000: $(regs fixed.s19 4)"

# Bytes another module put into abs do not move the fixed addresses.
"$bin/vlk" -r -o both.vlk absbytes.o09 fixed.o09
"$bin/vlk" -I "$config" -i default.lsc -o both.s19 both.vlk
[ "$(regs both.s19 4)" = "$want" ] || fail "link-only: $(regs both.s19 4)"
"$bin/vlk" -Ac -o fixed.e09 fixed.o09
"$bin/vlk" -I "$config" -i default.lsc -L . -l fixed.e09 -o lib.s19 want.o09
[ "$(regs lib.s19 4)" = "$want" ] || fail "from a library: $(regs lib.s19 4)"

# A short branch reaches its fixed target from 0x1000, not from 0x4000.
"$bin/vlk" -I "$config" -i default.lsc -o short.s19 short.o09
[ "$(regs short.s19 4)" = 'PC=1010 A=00 B=00 X=0000 Y=600D U=0000 S=DF00 DP=00 CC=50' ] ||
  fail "short branch: $(regs short.s19 4)"
rc=0
"$bin/vlk" -R text:0x4000 -o far.s19 short.o09 2>err.txt || rc=$?
[ "$rc" = 1 ] || fail "out of reach: exit code $rc"
[ "$(cat err.txt)" = "Error: 8-bit displacement to 100C out of range at line 5 of module 'short'" ] ||
  fail "out of reach: $(cat err.txt)"
[ ! -e far.s19 ] || fail "out of reach: far.s19 written"
echo "fixed targets: 1 passed, 0 failed"
