# Sourced by test scripts: AWK_HEX holds an awk function hex(text) that reads
# a hexadecimal number (-1 for a bad digit), since mawk has no strtonum. Put it
# in front of an awk program: awk "$AWK_HEX"'...'.
AWK_HEX='
function hex(s,   i, n, c) {
    n = 0; s = toupper(s)
    for (i = 1; i <= length(s); i++) {
        c = index("0123456789ABCDEF", substr(s, i, 1))
        if (c == 0) return -1
        n = n * 16 + c - 1
    }
    return n
}'
