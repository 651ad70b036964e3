#!/usr/bin/env bash
# C programs built as the README shows (no debug records) end through the
# runtime's exit, and run09 exits with their status: main's return value,
# exit()'s argument (255 for anything above), or 3 at --max. A program linked
# as ROM code (vlk -P) finds its initialised data where the code refers to it.
#   exit_status.sh <stage>
set -u
S=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "exit_status: $*"
    exit 1
}

"$S/bin/hasm09" -o startup.o09 "$S/src/startup/zun09/_startup.s09" >log.txt 2>&1 || { cat log.txt; fail "hasm09 startup"; }

# build NAME [vlk option...]: NAME.c into NAME.s19
build() {
    local name=$1
    shift
    set -- "$name" "$@"
    "$S/bin/cpp" -I "$S/include" -D__ZUN09 "$1.c" "$1.i" >log.txt 2>&1 &&
        "$S/bin/tcx09" "$1.i" "$1.s09" >>log.txt 2>&1 &&
        "$S/bin/hasm09" -e "$1.s09" >>log.txt 2>&1 &&
        "$S/bin/vlk" -I "$S/config/zun09" -i default.lsc -L "$S/lib/zun09" -l libc.e09 -l libcc.e09 \
            "${@:2}" -o "$1.s19" startup.o09 "$1.o09" >>log.txt 2>&1 || { cat log.txt; fail "building $1"; }
}

# expect NAME STATUS [run09 option...]
expect() {
    local name=$1 want=$2
    shift 2
    "$S/bin/run09" "$@" "$name.s19" >"$name.out" 2>"$name.err" </dev/null
    local rc=$?
    [ "$rc" = "$want" ] || { cat "$name.err"; fail "$name exited with $rc, not $want"; }
}

cat >returns.c <<'C'
#include <stdio.h>
int main(void) { puts("three"); return 3; }
C
cat >exits.c <<'C'
#include <stdlib.h>
static void leave(int status) { exit(status); }
int main(int argc, char **argv) { leave(argc == 12345 ? 1 : 200); return 0; }
C
cat >big.c <<'C'
#include <stdlib.h>
int main(void) { exit(1000); }
C
cat >fine.c <<'C'
int main(void) { return 0; }
C
cat >spins.c <<'C'
volatile unsigned turns;
int main(void) { for (;;) ++turns; }
C
cat >romdata.c <<'C'
int counter = 1234;
char word[] = "ab";
int cleared;
int main(void) {
    ++counter;
    return counter == 1235 && word[1] == 'b' && cleared == 0 ? 0 : 1;
}
C
for p in returns exits big fine spins; do build $p; done
build romdata -P

expect returns 3
[ "$(cat returns.out)" = "three" ] || fail "returns printed '$(cat returns.out)'"
[ ! -s returns.err ] || fail "returns: $(cat returns.err)"
expect exits 200
expect big 255
expect fine 0
expect romdata 0
expect spins 3 --max 1000
[ "$(cat spins.err)" = "run09: stopped after 1000 instructions" ] || fail "spins: $(cat spins.err)"
exit 0
