// SPDX-License-Identifier: MIT
// The bytes that printed assembler lines assemble to, as hasm09 encodes
// them (datasheet lengths from the shared instruction table, indexed
// offsets sized by their value, 16 bits for a symbol or a PC-relative
// one, extended addressing unless '<' asks for direct). The branch-range
// pass reads them; a line it cannot size counts as out of any branch's reach.
#include "compiler/codegen.h"

#include "common/m6809_opcodes.h"
#include "common/number.h"

#include <array>
#include <cctype>
#include <optional>

namespace zun::tcx {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

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
        int d = hex_digit(c);
        if (d < 0 || d >= base) return std::nullopt;
        v = v * base + d;
    }
    return negative ? -v : v;
}

// The bytes an indexed operand adds to the opcode and its post-byte.
int indexed_extra(std::string_view operand, bool indirect) {
    size_t comma = operand.rfind(',');
    std::string_view offset = operand.substr(0, comma);
    std::string reg = upper_case(operand.substr(comma + 1));
    if (reg == "PCR" || reg == "PC") return 2;
    if (offset.empty() || offset == "0" || offset == "A" || offset == "B" || offset == "D" || offset == "a" ||
        offset == "b" || offset == "d")
        return 0;
    std::optional<long> v = plain_number(offset);
    if (!v) return 2;
    if (!indirect && *v >= -16 && *v <= 15) return 0;
    return *v >= -128 && *v <= 127 ? 1 : 2;
}

// The lengths of a mnemonic's rows by addressing mode, -1 where it has
// none. The datasheet's second names count as the first ones.
struct Rows {
    std::array<int, 10> length;
    int operator[](zun::Mode m) const { return length[static_cast<size_t>(m)]; }
};

Rows rows_of(std::string_view mnemonic, MnemonicRows* known) {
    std::string m = upper_case(mnemonic);
    if (known) {
        auto it = known->find(m);
        if (it != known->end()) return {it->second};
    }
    std::string name = m;
    static constexpr std::pair<const char*, const char*> second_names[] = {
        {"LSL", "ASL"}, {"LSLA", "ASLA"}, {"LSLB", "ASLB"}, {"BHS", "BCC"}, {"BLO", "BCS"}, {"LBHS", "LBCC"},
        {"LBLO", "LBCS"}};
    for (const auto& [second, first] : second_names)
        if (name == second) name = first;
    Rows r;
    r.length.fill(-1);
    for (const zun::OpcodeInfo& row : zun::opcode_table()) {
        const char* rn = row.mnemonic;
        size_t k = 0;
        while (k < name.size() && rn[k] == name[k]) ++k;
        if (k == name.size() && rn[k] == 0) r.length[static_cast<size_t>(row.mode)] = row.length;
    }
    if (known) known->emplace(m, r.length);
    return r;
}

bool any_row(const Rows& r) {
    for (int n : r.length)
        if (n >= 0) return true;
    return false;
}

// The bytes of one instruction given by its rows and operand field.
int instruction_bytes(const Rows& r, std::string_view operand) {
    using zun::Mode;
    for (Mode mode : {Mode::Relative8, Mode::Relative16, Mode::RegisterPair, Mode::StackMask})
        if (r[mode] > 0) return r[mode];
    if (operand.empty()) return r[Mode::Inherent];
    switch (operand[0]) {
    case '#': return r[Mode::Immediate8] > 0 ? r[Mode::Immediate8] : r[Mode::Immediate16];
    case '<': return r[Mode::Direct];
    case '>': return r[Mode::Extended];
    case '[': {
        int n = r[Mode::Indexed];
        if (n < 0 || operand.back() != ']') return -1;
        std::string_view inner = operand.substr(1, operand.size() - 2);
        return n + (inner.find(',') == std::string_view::npos ? 2 : indexed_extra(inner, true));
    }
    default: break;
    }
    if (operand.find(',') != std::string_view::npos) {
        int n = r[Mode::Indexed];
        return n < 0 ? -1 : n + indexed_extra(operand, false);
    }
    return r[Mode::Extended];
}

}  // namespace

std::string upper_case(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

LineFields split_line(std::string_view line) {
    LineFields f;
    size_t i = 0;
    auto word = [&] {
        size_t start = i;
        while (i < line.size() && !blank(line[i])) ++i;
        std::string_view w = line.substr(start, i - start);
        while (i < line.size() && blank(line[i])) ++i;
        return w;
    };
    if (!line.empty() && !blank(line[0])) f.label = word();
    while (i < line.size() && blank(line[i])) ++i;
    f.mnemonic = word();
    f.operand = word();
    return f;
}

int line_bytes(std::string_view line, MnemonicRows* known) {
    if (!line.empty() && (line[0] == ';' || line[0] == '*')) return 0;
    LineFields f = split_line(line);
    if (f.mnemonic.empty() || f.mnemonic[0] == ';') return 0;
    Rows rows = rows_of(f.mnemonic, known);
    if (!any_row(rows)) return -1;
    return instruction_bytes(rows, f.operand);
}

int text_bytes(std::string_view text, MnemonicRows* known) {
    int total = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        int n = line_bytes(line, known);
        if (n < 0) return kUnknownBytes;
        total += n;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return total;
}

}  // namespace zun::tcx
