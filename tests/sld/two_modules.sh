#!/usr/bin/env bash
# A two-module C program built with our own chain and -g (the standard
# startup, the runtime's debug archive), read by sld-dump:
#  - sources with LF and with CRLF line ends, and the load file turned to
#    CRLF, give the same model, equal to the golden dump;
#  - the reader says nothing but its progress (no warning, no "Fatal");
#  - every global and local has a known type;
#  - every function's and global's address is the one the linker map gives
#    its name, and every execution point of a module with functions lies in
#    one of them.
#   two_modules.sh <stage> <tests/sld folder>
set -u
stage=$(realpath "$1")
here=$(realpath "$2")
. "$here/../tools/awk_hex.sh"
bin=$stage/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "two_modules: $*"
    exit 1
}

build() {  # <folder>: builds prog.s19 from the sources in it
    cd "$1" || exit 1
    "$bin/hasm09" -g -e -D _DEBUG -D __ZUN09 -o startup.o09 "$stage/src/startup/zun09/_startup.s09" \
        >log.txt 2>&1 || { cat log.txt; fail "hasm09 startup"; }
    for base in main util; do
        "$bin/cpp" -D_DEBUG -I "$stage/include" -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED \
            "$base.c" "$base.i" >log.txt 2>&1 || { cat log.txt; fail "cpp $base"; }
        "$bin/tcx09" -g -w4 -O "$base.i" "$base.s09" >log.txt 2>&1 || { cat log.txt; fail "tcx09 $base"; }
        "$bin/hasm09" -g -e -o "$base.o09" "$base.s09" >log.txt 2>&1 || { cat log.txt; fail "hasm09 $base"; }
    done
    "$bin/vlk" -I "$stage/config/zun09" -o prog.s19 -g -i default.lsc -L "$stage/lib/zun09" -l libccd.e09 \
        -M startup.o09 main.o09 util.o09 >log.txt 2>&1 || { cat log.txt; fail "vlk"; }
}

dump() {  # <load file> <build folder> <output>
    bash "$here/stable_dump.sh" "$stage" "$1" "$2" >"$3" || fail "no model of $1"
}

mkdir "$work/lf" "$work/crlf"
cp "$here"/programs/* "$work/lf/"
for f in "$here"/programs/*; do sed 's/$/\r/' "$f" >"$work/crlf/$(basename "$f")"; done
(build "$work/lf") || exit 1
(build "$work/crlf") || exit 1
dump "$work/lf/prog.s19" "$work/lf" "$work/lf.dump"
dump "$work/crlf/prog.s19" "$work/crlf" "$work/crlf.dump"
sed 's/$/\r/' "$work/lf/prog.s19" >"$work/lf/prog_crlf.s19"
dump "$work/lf/prog_crlf.s19" "$work/lf" "$work/lf_crlf.dump"

diff -u "$here/golden/two_modules.dump" "$work/lf.dump" || fail "the model differs from the golden dump"
diff -u "$work/lf.dump" "$work/crlf.dump" || fail "CRLF sources give another model"
diff -u "$work/lf.dump" "$work/lf_crlf.dump" || fail "a CRLF load file gives another model"

# Known types: no local or global names the unknown type or an empty slot.
awk '/^globals$/ { on = 1; next } /^types$/ { on = 0 }
     (on || / local /) && /type 5000 |"<UNKNOWN>"|"\.\?\."/ { print; bad = 1 }
     END { exit bad }' "$work/lf.dump" || fail "a symbol of unknown type"

# Addresses against the map: "   0000115E '_main'".
awk "$AWK_HEX"'
FNR == NR {
    if ($0 ~ /^   [0-9A-F]+ \047[^\047]+\047/) { name = $2; gsub("\047", "", name); map[name] = hex($1) }
    next
}
/^functions$/ { section = "f"; next }
/^globals$/ { section = "g"; next }
/^points$/ { section = "p"; next }
/^[a-z]/ { section = ""; next }
section == "p" { np++; pmod[np] = $1; paddr[np] = hex($4) }
section == "f" && $1 != "local" {
    split($7, r, "-")
    if (!($2 in map) || map[$2] != hex(r[1])) { print "function " $2 " at " r[1] " is not in the map there"; bad = 1 }
    nf++; fmod[nf] = $1; flo[nf] = hex(r[1]); fhi[nf] = hex(r[2]); has[$1] = 1
}
section == "g" && $3 == "G" {
    if (!(("_" $1) in map) || map["_" $1] != hex($4)) { print "global " $1 " at " $4 " is not in the map there"; bad = 1 }
    globals++
}
END {
    if (nf < 4 || globals < 10) { print "too few functions or globals in the dump"; bad = 1 }
    for (i = 1; i <= np; i++) {
        if (!has[pmod[i]]) continue
        inside = 0
        for (j = 1; j <= nf; j++) if (fmod[j] == pmod[i] && paddr[i] >= flo[j] && paddr[i] < fhi[j]) inside = 1
        if (!inside) { printf "point %s %X lies in no function\n", pmod[i], paddr[i]; bad = 1 }
    }
    exit bad
}' "$work/lf/prog.map" "$work/lf.dump" || fail "the model disagrees with the map"
exit 0
