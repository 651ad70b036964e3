// SPDX-License-Identifier: MIT
// The bytes that printed assembler lines assemble to, as hasm09 encodes
// them (datasheet lengths from the shared instruction table, indexed
// offsets sized by their value, 16 bits for a symbol or a PC-relative
// one, extended addressing unless '<' asks for direct). The branch-range
// pass reads them; a line it cannot size counts as out of any branch's reach.
#include "compiler/codegen.h"

#include "common/m6809_opcodes.h"

#include <cctype>
#include <optional>

namespace zun::tcx {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// A plain decimal or $hexadecimal number, with an optional sign.
std::optional<long> plain_number(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 8) return std::nullopt;
    long v = 0;
    for (char c : s) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                    ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                    : -1;
        if (d < 0) return std::nullopt;
        v = v * base + d;
    }
    return negative ? -v : v;
}

// The bytes an indexed operand adds to the opcode and its post-byte.
int indexed_extra(std::string_view operand, bool indirect) {
    size_t comma = operand.rfind(',');
    std::string_view offset = operand.substr(0, comma);
    std::string reg = upper(operand.substr(comma + 1));
    if (reg == "PCR" || reg == "PC") return 2;
    if (offset.empty() || offset == "0" || offset == "A" || offset == "B" || offset == "D" || offset == "a" ||
        offset == "b" || offset == "d")
        return 0;
    std::optional<long> v = plain_number(offset);
    if (!v) return 2;
    if (!indirect && *v >= -16 && *v <= 15) return 0;
    return *v >= -128 && *v <= 127 ? 1 : 2;
}

int row_length(std::string_view m, zun::Mode mode) {
    const zun::OpcodeInfo* row = zun::find_mnemonic(m, mode);
    return row ? row->length : -1;
}

// The bytes of one instruction given by its mnemonic and operand field.
int instruction_bytes(std::string_view m, std::string_view operand) {
    for (zun::Mode mode : {zun::Mode::Relative8, zun::Mode::Relative16, zun::Mode::RegisterPair, zun::Mode::StackMask})
        if (int n = row_length(m, mode); n > 0) return n;
    if (operand.empty()) return row_length(m, zun::Mode::Inherent);
    switch (operand[0]) {
    case '#': {
        int n = row_length(m, zun::Mode::Immediate8);
        return n > 0 ? n : row_length(m, zun::Mode::Immediate16);
    }
    case '<': return row_length(m, zun::Mode::Direct);
    case '>': return row_length(m, zun::Mode::Extended);
    case '[': {
        int n = row_length(m, zun::Mode::Indexed);
        if (n < 0 || operand.back() != ']') return -1;
        std::string_view inner = operand.substr(1, operand.size() - 2);
        return n + (inner.find(',') == std::string_view::npos ? 2 : indexed_extra(inner, true));
    }
    default: break;
    }
    if (operand.find(',') != std::string_view::npos) {
        int n = row_length(m, zun::Mode::Indexed);
        return n < 0 ? -1 : n + indexed_extra(operand, false);
    }
    return row_length(m, zun::Mode::Extended);
}

}  // namespace

int line_bytes(std::string_view line) {
    size_t i = 0;
    if (!line.empty() && !blank(line[0])) {
        if (line[0] == ';' || line[0] == '*') return 0;
        while (i < line.size() && !blank(line[i])) ++i;  // a label
    }
    while (i < line.size() && blank(line[i])) ++i;
    size_t m = i;
    while (i < line.size() && !blank(line[i])) ++i;
    std::string_view mnemonic = line.substr(m, i - m);
    if (mnemonic.empty() || mnemonic[0] == ';') return 0;
    if (!zun::is_mnemonic(mnemonic)) return -1;
    while (i < line.size() && blank(line[i])) ++i;
    size_t o = i;
    while (i < line.size() && !blank(line[i])) ++i;
    return instruction_bytes(mnemonic, line.substr(o, i - o));
}

int text_bytes(std::string_view text) {
    int total = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        int n = line_bytes(line);
        if (n < 0) return kUnknownBytes;
        total += n;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return total;
}

}  // namespace zun::tcx
