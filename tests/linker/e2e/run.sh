#!/usr/bin/env bash
# hasm09 and vlk together: two modules (text and data, cross references, jsr
# to an external, fdb label, lda #label) linked at 0x1000 and at 0x4000.
#   run.sh <stage-bin> <this folder>
set -eu
bin=$1
src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src"/m1.s09 "$src"/m2.s09 "$work"
cd "$work"

"$bin/hasm09" -g m1.s09
"$bin/hasm09" -g m2.s09
for base in 1000 4000; do
  "$bin/vlk" -R text:0x$base -o plain$base.s19 m1.o09 m2.o09 2>warnings
  grep -q 'At least one local symbol reference is truncated' warnings
  srec_info plain$base.s19 >/dev/null
done
diff -u "$src/low.s19" plain1000.s19
diff -u "$src/high.s19" plain4000.s19

# The debug tail follows the end record; the data records stay the same.
"$bin/vlk" -g -R text:0x4000 -o debug.s19 m1.o09 m2.o09 2>/dev/null
grep -v '^SX' debug.s19 | diff -u plain4000.s19 -
grep -qx 'SX:A:X:m1:4:4000' debug.s19
grep -qx 'SX:A:X:m2:5:400F' debug.s19
if grep -q '^SY\|^SX:C:B' debug.s19; then echo "SY or block records in the load file"; exit 1; fi
if ls | grep -q '^vl\|^~~v'; then echo "temporaries left behind"; exit 1; fi
echo "hasm09 + vlk: 1 passed, 0 failed"
