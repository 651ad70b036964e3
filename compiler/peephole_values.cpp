// SPDX-License-Identifier: MIT
// Peephole rules (-Op) that follow what the registers hold and which
// condition codes a later instruction still reads, over the lines each
// entry prints: a compare with 0 goes when the load or store before it set
// the flags for the same register, and a load goes when its register still
// holds that value (a stack slot or a constant). A line whose effect is not
// known here ends all knowledge, so the rules only drop what is sure.
#include "compiler/codegen.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace zun::tcx {

namespace {

// Condition-code bits.
enum Flag : unsigned { CC_C = 1, CC_V = 2, CC_Z = 4, CC_N = 8, CC_NZV = 14, CC_ALL = 15 };

bool starts(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

bool one_of(std::string_view s, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (s == n) return true;
    return false;
}

// The flags a conditional branch reads; -1 for a line that is no
// conditional branch.
int branch_reads(const std::string& m) {
    if (m.empty() || (m[0] != 'B' && !(m[0] == 'L' && m.size() > 1 && m[1] == 'B'))) return -1;
    std::string_view b = m[0] == 'L' ? std::string_view(m).substr(1) : std::string_view(m);
    if (one_of(b, {"BEQ", "BNE"})) return CC_Z;
    if (one_of(b, {"BMI", "BPL"})) return CC_N;
    if (one_of(b, {"BVS", "BVC"})) return CC_V;
    if (one_of(b, {"BLT", "BGE"})) return CC_N | CC_V;
    if (one_of(b, {"BGT", "BLE"})) return CC_N | CC_V | CC_Z;
    if (one_of(b, {"BHI", "BLS"})) return CC_C | CC_Z;
    if (one_of(b, {"BCC", "BCS", "BHS", "BLO"})) return CC_C;
    if (b == "BRN") return 0;
    return -1;
}

bool ends_block(const std::string& m) {
    return one_of(m, {"BRA", "LBRA", "JMP", "RTS", "RTI", "SWI", "SWI2", "SWI3", "CWAI", "SYNC"});
}

// What an instruction that is no branch does to the flags: the ones it reads
// first and the ones it sets. False for an instruction not known here.
bool flag_effect(const std::string& m, unsigned& reads, unsigned& sets) {
    reads = sets = 0;
    auto stem = [&](std::string_view s) { return m.size() <= s.size() + 1 && std::string_view(m).substr(0, s.size()) == s; };
    if (one_of(m, {"TFR", "EXG", "PSHS", "PULS", "PSHU", "PULU", "LEAS", "LEAU", "NOP", "ABX"})) return true;
    if (one_of(m, {"JSR", "BSR", "LBSR"})) {
        sets = CC_ALL;  // a routine leaves flags of its own
        return true;
    }
    if (one_of(m, {"LEAX", "LEAY"})) return sets = CC_Z, true;
    if (m == "MUL") return sets = CC_Z | CC_C, true;
    if (m == "SEX") return sets = CC_N | CC_Z, true;
    if (stem("LD") || stem("ST") || stem("TST") || stem("AND") || stem("OR") || stem("EOR") || stem("BIT") ||
        stem("INC") || stem("DEC"))
        return sets = CC_NZV, true;
    if (stem("CLR") || stem("CMP") || stem("SUB") || stem("ADD") || stem("NEG") || stem("COM") || stem("ASL") ||
        stem("LSL"))
        return sets = CC_ALL, true;
    if (stem("ASR") || stem("LSR")) return sets = CC_N | CC_Z | CC_C, true;
    if (stem("ROL") || stem("ADC") || stem("SBC")) return reads = CC_C, sets = CC_ALL, true;
    if (stem("ROR")) return reads = CC_C, sets = CC_N | CC_Z | CC_C, true;
    return false;
}

using Line = PrintedLine;

std::vector<Line> lines_of(const std::string& text) {
    std::vector<Line> out;
    size_t s = 0;
    while (s < text.size()) {
        size_t e = text.find('\n', s);
        if (e == std::string::npos) e = text.size();
        std::string_view l(text.data() + s, e - s);
        s = e + 1;
        if (l.empty() || l[0] == ';' || l[0] == '*') continue;
        LineFields fields = split_line(l);
        if (!fields.label.empty()) {
            Line label;
            label.label = true;
            out.push_back(label);
        }
        if (fields.mnemonic.empty()) continue;
        Line line;
        line.m = upper_case(fields.mnemonic);
        line.operand = std::string(fields.operand);
        line.uop = upper_case(line.operand);
        line.branch = branch_reads(line.m);
        line.ends = ends_block(line.m);
        line.known = flag_effect(line.m, line.freads, line.fsets);
        out.push_back(std::move(line));
    }
    return out;
}

struct Flow {
    CodeGen& cg;
    std::vector<const std::vector<Line>*> line_lists;  // per entry, of the live ones
    std::vector<int> depth;                // bytes pushed before each entry
    std::unordered_map<int, size_t> label_at;
    std::unordered_map<int, std::vector<size_t>> branches_to;  // live branches by target, in list order
    std::vector<Line> none;

    const std::vector<Line>& lines(size_t i) const { return *line_lists[i]; }

    explicit Flow(CodeGen& c) : cg(c) {
        size_t n = cg.list.size();
        line_lists.assign(n, &none);
        depth.resize(n);
        int d = 0;
        for (size_t i = 0; i < n; ++i) {
            const Insn* e = cg.list[i];
            depth[i] = d;
            if (!e->live) continue;
            if (e->opcode == OP_DEPTH) d += e->arg;
            if (e->opcode == OP_LABEL) label_at.emplace(e->label, i);
            if (is_branch(e->opcode)) branches_to[e->label].push_back(i);
            if (is_instruction(e) && e->opcode != OP_DEPTH) line_lists[i] = &entry_lines(cg, e, depth[i]);
        }
    }

    // An entry whose code the rules do not know: a fault, inline assembler
    // text, a debug statement mark under -g.
    bool opaque(const Insn* e) const {
        return e->opcode == OP_FAULT || (e->opcode == OP_COMMENT && e->asm_stmt) ||
               (e->opcode == OP_DEBUG && cg.tu.options.debug);
    }

    // Whether some path from entry i on reads one of the dirty flags before
    // setting them. Each label is followed once for each set of flags;
    // budget bounds the entries looked at, over all paths.
    bool reads_flags(size_t i, unsigned dirty) const {
        int budget = 200;
        std::unordered_map<int, unsigned> seen;
        return reads_flags(i, dirty, budget, seen);
    }

    bool reads_flags(size_t i, unsigned dirty, int& budget, std::unordered_map<int, unsigned>& seen) const {
        for (; i < cg.list.size(); ++i) {
            const Insn* e = cg.list[i];
            if (!e->live || e->opcode == OP_DEPTH) continue;
            if (e->opcode == OP_LABEL) {
                unsigned& done = seen[e->label];
                if ((dirty & ~done) == 0) return false;
                done |= dirty;
                continue;
            }
            if (--budget < 0 || opaque(e)) return true;
            if (e->opcode == OP_COMMENT || e->opcode == OP_DEBUG) continue;
            bool single_branch = is_branch(e->opcode) && lines(i).size() == 1;
            for (const Line& l : lines(i)) {
                if (l.label) return true;  // a loop inside the entry
                if (l.m == "RTS" || l.m == "RTI") return false;
                if (l.ends) return !single_branch || follow(e->label, dirty, budget, seen);
                if (l.branch >= 0) {
                    // a relative skip inside an entry is not followed
                    if ((l.branch & static_cast<int>(dirty)) || !single_branch) return true;
                    if (follow(e->label, dirty, budget, seen)) return true;
                    continue;
                }
                if (!l.known || (l.freads & dirty)) return true;
                dirty &= ~l.fsets;
                if (!dirty) return false;
            }
        }
        return true;
    }

    bool follow(int label, unsigned dirty, int& budget, std::unordered_map<int, unsigned>& seen) const {
        auto it = label_at.find(label);
        return it == label_at.end() || reads_flags(it->second, dirty, budget, seen);
    }
};

// ---- compares with zero ----

// The register a line tests against zero: TSTB, CMPD #0 and the like.
std::optional<char> zero_compare(const Line& l) {
    if (l.m == "TSTA" || l.m == "TSTB") return l.m[3];
    if (l.m.size() == 4 && starts(l.m, "CMP") &&
        one_of(l.operand, {"#0", "#$0", "#$00", "#$0000", "#0x0000"}))
        return l.m[3];
    return std::nullopt;
}

// The register whose value the last lines leave in N and Z with V clear:
// a load or store of it, or CLRB after CLRA for D.
std::optional<char> flags_from(const std::vector<Line>& ls) {
    if (ls.empty() || ls.back().label) return std::nullopt;
    // a skip inside the entry may pass the last line by
    for (const Line& l : ls)
        if (l.branch >= 0 || l.ends) return std::nullopt;
    const Line& l = ls.back();
    if (l.m.size() == 3 && (starts(l.m, "LD") || starts(l.m, "ST")) &&
        std::string("ABDXYU").find(l.m[2]) != std::string::npos)
        return l.m[2];
    if (l.m == "CLRB") return ls.size() >= 2 && ls[ls.size() - 2].m == "CLRA" ? 'D' : 'B';
    return std::nullopt;
}

bool drop_zero_compares(Flow& f) {
    CodeGen& cg = f.cg;
    bool changed = false;
    size_t prev = cg.list.size();  // the last live entry with code, when nothing but pushes came since
    for (size_t i = 0; i < cg.list.size(); ++i) {
        Insn* e = cg.list[i];
        if (!e->live || e->opcode == OP_DEPTH) continue;
        if (!is_instruction(e) || f.opaque(e)) {
            prev = cg.list.size();
            continue;
        }
        const std::vector<Line>& ls = f.lines(i);
        std::optional<char> r = ls.size() == 1 ? zero_compare(ls[0]) : std::nullopt;
        if (r && prev < cg.list.size()) {
            std::optional<char> set = flags_from(f.lines(prev));
            // N and Z are the same and V is clear either way; only the carry,
            // which the compare clears, may differ
            bool same = set && (*set == *r || (*r == 'B' && *set == 'D' && f.lines(prev).back().m == "CLRB"));
            if (same && !f.reads_flags(i + 1, CC_C)) {
                e->live = false;
                changed = true;
                continue;
            }
        }
        prev = i;
    }
    return changed;
}

// ---- loads of values a register still holds ----

// Registers followed: D (A and B as its halves), X, Y, U.
enum Reg16 { RD, RX, RY, RU, kRegs };

int reg16(char c) {
    switch (c) {
    case 'D': return RD;
    case 'X': return RX;
    case 'Y': return RY;
    case 'U': return RU;
    default: return -1;
    }
}

struct Known {
    std::array<std::string, kRegs> key;  // "#imm", "S<offset>" or empty
    void clear() { key.fill(""); }
    void drop(char c) {
        if (c == 'A' || c == 'B' || c == 'D') key[RD].clear();
        if (int r = reg16(c); r >= 0) key[r].clear();
    }
    void drop_slots() {
        for (std::string& k : key)
            if (!k.empty() && k[0] == 'S') k.clear();
    }
    // Slots below the top of the stack: the next push writes there.
    void drop_below(long top) {
        for (std::string& k : key)
            if (!k.empty() && k[0] == 'S' && std::stol(k.substr(1)) < top) k.clear();
    }
};

bool plain_int(const std::string& s, long& v) {
    if (s.empty()) return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    for (size_t j = i; j < s.size(); ++j)
        if (!std::isdigit(static_cast<unsigned char>(s[j]))) return false;
    v = std::stol(s);
    return true;
}

// The frame offset of a stack operand "n,S" printed with depth bytes pushed.
std::optional<long> stack_slot(const CodeGen& cg, const std::string& operand, int depth) {
    size_t comma = operand.find(',');
    if (comma == std::string::npos || comma + 2 != operand.size() || (operand.back() != 'S' && operand.back() != 's'))
        return std::nullopt;
    long n = 0;
    if (comma > 0 && !plain_int(operand.substr(0, comma), n)) return std::nullopt;
    return n - cg.locals_size - depth;
}

// What a load's operand names when the rules may remember it: a constant or
// a stack slot of the frame.
std::string key_of(const CodeGen& cg, const std::string& operand, int depth) {
    if (!operand.empty() && operand[0] == '#') return operand;
    std::string key;
    if (auto slot = stack_slot(cg, operand, depth)) key = 'S' + std::to_string(*slot);
    return key;
}

// A store to an operand: what the registers knew of that memory goes.
void forget_memory(Known& k, const CodeGen& cg, const std::string& operand, int depth, int width) {
    if (auto slot = stack_slot(cg, operand, depth)) {
        for (std::string& key : k.key) {
            if (key.empty() || key[0] != 'S') continue;
            long held = std::stol(key.substr(1));
            if (held < *slot + width && *slot < held + 2) key.clear();
        }
        return;
    }
    bool named = !operand.empty() && operand[0] == '_' && operand.find_first_of(",[") == std::string::npos;
    if (!named) k.drop_slots();  // through a pointer: any slot whose address was taken
}

// The registers of a TFR or EXG operand "r1,r2".
std::pair<char, char> pair_of(const std::string& operand) {
    std::string u = upper_case(operand);
    if (u.size() != 3 || u[1] != ',') return {0, 0};
    return {u[0], u[2]};
}

// Whether an operand (in upper case) changes its index register r by auto
// increment or decrement: ,r+ ,r++ ,-r ,--r.
bool steps_register(const std::string& uop, char r) {
    return uop.find(std::string(",") + r + "+") != std::string::npos ||
           uop.find(std::string("-") + r) != std::string::npos;
}

// One line's effect on what the registers hold; several tells that the
// entry prints more lines, whose own pushes the depth does not count.
void apply(Known& k, const CodeGen& cg, const Line& l, int depth, bool several) {
    if (l.label || l.ends || one_of(l.m, {"JSR", "BSR", "LBSR"})) return k.clear();
    if (l.branch >= 0) return;
    const std::string& m = l.m;
    const std::string& u = l.uop;
    for (char r : {'X', 'Y', 'U'})
        if (steps_register(u, r)) k.drop(r);
    if (several && one_of(m, {"PSHS", "PULS", "LEAS"})) k.drop_slots();
    if (m == "TFR" || m == "EXG") {
        auto [a, b] = pair_of(l.operand);
        int ra = reg16(a), rb = reg16(b);
        std::string ka = ra >= 0 ? k.key[ra] : "", kb = rb >= 0 ? k.key[rb] : "";
        k.drop(b);
        if (m == "EXG") k.drop(a);
        if (rb >= 0) k.key[rb] = ka;
        if (m == "EXG" && ra >= 0) k.key[ra] = kb;
        return;
    }
    if (m == "PULS" || m == "PULU") {
        for (char r : {'A', 'B', 'D', 'X', 'Y', 'U'})
            if (u.find(r) != std::string::npos) k.drop(r);
        return;
    }
    if (m.size() == 3 && starts(m, "ST")) {
        forget_memory(k, cg, l.operand, depth, m[2] == 'A' || m[2] == 'B' ? 1 : 2);
        if (int r = reg16(m[2]); r >= 0) k.key[r] = key_of(cg, l.operand, depth);
        return;
    }
    if (m.size() == 3 && starts(m, "LD")) {
        k.drop(m[2]);
        if (int r = reg16(m[2]); r >= 0) k.key[r] = key_of(cg, l.operand, depth);
        return;
    }
    if (starts(m, "LEA")) return k.drop(m[3]);
    if (!l.known) return k.clear();
    if (one_of(m, {"PSHS", "PSHU", "NOP", "TST", "CMPA", "CMPB", "CMPD", "CMPX", "CMPY", "CMPU", "TSTA", "TSTB",
                   "BITA", "BITB"}))
        return;
    if (m == "MUL" || m == "SEX") return k.drop('D');
    if (m == "ABX") return k.drop('X');
    // the rest work on A, B or D when their name says so (ADDD, CLRA,
    // ORB), else on the byte in memory they name (CLR, INC, ASL)
    char last = m.back();
    if (last == 'A' || last == 'B' || last == 'D') return k.drop(last);
    if (!l.operand.empty()) forget_memory(k, cg, l.operand, depth, 1);
}

// The load an entry is, when it is one line "LDr operand" of a register
// followed here.
std::optional<std::pair<int, std::string>> load_of(const CodeGen& cg, const std::vector<Line>& ls, int depth) {
    if (ls.size() != 1 || ls[0].label || ls[0].m.size() != 3 || !starts(ls[0].m, "LD")) return std::nullopt;
    int r = reg16(ls[0].m[2]);
    std::string key = key_of(cg, ls[0].operand, depth);
    if (r < 0 || key.empty()) return std::nullopt;
    return std::make_pair(r, key);
}

// Whether any byte of an object of type t is volatile: the object itself,
// a member or an element.
bool has_volatile_part(const Type* t) {
    if (!t) return false;
    if (t->is_volatile) return true;
    if (t->kind == Kind::Pointer && t->array) return has_volatile_part(t->base);
    if (t->kind == Kind::Struct || t->kind == Kind::Union)
        for (const Symbol* m = t->first; m; m = m->newer)
            if (has_volatile_part(m->type)) return true;
    return false;
}

bool has_volatile_local(const CodeGen& cg) {
    if (!cg.fn) return true;
    for (const auto* list : {&cg.fn->params, &cg.fn->locals})
        for (const Symbol* s : *list)
            if (s->is_volatile || has_volatile_part(s->type)) return true;
    return false;
}

bool drop_reloads(Flow& f) {
    CodeGen& cg = f.cg;
    if (has_volatile_local(cg)) return false;
    bool changed = false;
    Known k;
    k.clear();
    for (size_t i = 0; i < cg.list.size(); ++i) {
        Insn* e = cg.list[i];
        if (!e->live) continue;
        if (e->opcode == OP_DEPTH) {
            k.drop_below(-(cg.locals_size + f.depth[i] + e->arg));
            continue;
        }
        if (e->opcode == OP_LABEL || f.opaque(e)) {
            k.clear();
            continue;
        }
        if (!is_instruction(e)) continue;
        auto load = load_of(cg, f.lines(i), f.depth[i]);
        if (load && k.key[load->first] == load->second && !f.reads_flags(i + 1, CC_NZV)) {
            e->live = false;
            changed = true;
            continue;
        }
        for (const Line& l : f.lines(i)) apply(k, cg, l, f.depth[i], f.lines(i).size() > 1);
    }
    return changed;
}

// ---- walking pointers kept in a register over a loop ----

// The entries of a loop: from its top label to the last branch back into it.
struct Loop {
    size_t top = 0, end = 0;
};

// The loop whose top is the label at h: its end grows to the last branch to
// any label inside it.
std::optional<Loop> loop_at(const Flow& f, size_t h) {
    const CodeGen& cg = f.cg;
    Loop l{h, h};
    for (size_t j = h; j <= l.end; ++j) {
        const Insn* e = cg.list[j];
        if (!e->live || e->opcode != OP_LABEL) continue;
        auto it = f.branches_to.find(e->label);
        if (it != f.branches_to.end()) l.end = std::max(l.end, it->second.back());
    }
    if (l.end == h) return std::nullopt;
    return l;
}

bool inside(const Loop& l, size_t i) { return i >= l.top && i <= l.end; }

// Labels outside the loop that branches inside it reach, when only the loop
// reaches them (and the entry before each does not run into it, unless it
// is the loop's last); false when the loop has any other way in or out.
bool loop_exits(const CodeGen& cg, const Flow& f, const Loop& l, std::vector<size_t>& exits) {
    for (const SwitchTable& t : cg.tables)
        for (int target : t.targets) {
            auto at = f.label_at.find(target);
            if (at != f.label_at.end() && inside(l, at->second)) return false;
        }
    std::vector<int> out;
    for (const auto& [label, from] : f.branches_to) {
        auto at = f.label_at.find(label);
        if (at == f.label_at.end()) return false;
        bool in_from = std::any_of(from.begin(), from.end(), [&](size_t i) { return inside(l, i); });
        bool out_from = std::any_of(from.begin(), from.end(), [&](size_t i) { return !inside(l, i); });
        if (inside(l, at->second)) {
            if (out_from) return false;
        } else if (in_from) {
            // a label left to is reached from the loop alone
            if (at->second < l.top || out_from) return false;
            out.push_back(label);
        }
    }
    for (int label : out) {
        size_t at = f.label_at.at(label);
        for (const SwitchTable& t : cg.tables)
            for (int target : t.targets)
                if (target == label) return false;
        size_t before = at;
        while (before > 0 && (!cg.list[before - 1]->live || cg.list[before - 1]->opcode == OP_DEPTH)) --before;
        if (before > 0 && before - 1 != l.end) {
            const std::vector<Line>& ls = f.lines(before - 1);
            if (cg.list[before - 1]->opcode == OP_LABEL || ls.empty() || !ls.back().ends) return false;
        }
        if (std::find(exits.begin(), exits.end(), at) == exits.end()) exits.push_back(at);
    }
    return true;
}

// Whether a line reads register r: as an index, as what it stores,
// compares, transfers or pushes.
bool reads_register(const Line& l, char r) {
    const std::string& m = l.m;
    const std::string& u = l.uop;
    if (m.size() == 4 && (starts(m, "ST") || starts(m, "CMP")) && m.back() == r) return true;
    if (m.size() == 3 && starts(m, "ST") && m[2] == r) return true;
    if (m == "ABX") return r == 'X';
    if (m == "TFR") return u.size() == 3 && u[0] == r;
    if (m == "EXG" || m == "PSHS" || m == "PSHU") return u.find(r) != std::string::npos;
    size_t comma = u.find(',');
    return comma != std::string::npos && u.find(r, comma) != std::string::npos;
}

// Whether a line sets register r.
bool writes_register(const Line& l, char r) {
    const std::string& m = l.m;
    const std::string& u = l.uop;
    if (m.size() == 3 && starts(m, "LD") && m[2] == r) return true;
    if (m.size() == 4 && starts(m, "LEA") && m[3] == r) return true;
    if (m == "TFR") return u.size() == 3 && u[2] == r;
    if (m == "EXG" || m == "PULS" || m == "PULU") return u.find(r) != std::string::npos;
    if (m == "ABX") return r == 'X';
    return steps_register(u, r);
}

// Whether some path from entry i on reads register r before setting it:
// the register holds a value that lives on there, such as the pointer an
// enclosing loop keeps in it. Each label is followed once; a call or a
// return ends a path, and code the rules do not know counts as a read.
bool register_live(const Flow& f, size_t i, char r) {
    const CodeGen& cg = f.cg;
    std::unordered_set<int> seen;
    std::vector<size_t> todo{i};
    auto go_to = [&](int label) {
        auto it = f.label_at.find(label);
        if (it == f.label_at.end()) return false;
        todo.push_back(it->second);
        return true;
    };
    while (!todo.empty()) {
        size_t j = todo.back();
        todo.pop_back();
        for (bool on = true; on && j < cg.list.size(); ++j) {
            const Insn* e = cg.list[j];
            if (!e->live || e->opcode == OP_DEPTH) continue;
            if (e->opcode == OP_LABEL) {
                if (!seen.insert(e->label).second) break;
                continue;
            }
            if (f.opaque(e)) return true;
            const std::vector<Line>& ls = f.lines(j);
            bool single_branch = is_branch(e->opcode) && ls.size() == 1;
            // a skip or a loop inside the entry may pass a line that sets r
            bool inner = !single_branch && std::any_of(ls.begin(), ls.end(), [](const Line& l) {
                return l.label || l.branch >= 0 || (l.ends && l.m != "RTS" && l.m != "RTI");
            });
            for (const Line& l : ls) {
                if (l.label) continue;
                if (reads_register(l, r) || (!l.known && l.branch < 0 && !l.ends)) return true;
                if (l.m == "RTS" || l.m == "RTI") {
                    on = false;
                    break;
                }
                if (single_branch && (l.ends || l.branch >= 0)) {
                    if (!go_to(e->label)) return true;
                    if (l.ends) on = false;
                    break;
                }
                if (l.ends) {
                    if (inner) continue;
                    if (l.m != "JMP") return true;
                    // a jump through a table: on to every case
                    for (const SwitchTable& t : cg.tables)
                        for (int target : t.targets)
                            if (!seen.count(target) && !go_to(target)) return true;
                    on = false;
                    break;
                }
                if (!inner && (writes_register(l, r) || one_of(l.m, {"JSR", "BSR", "LBSR"}))) {
                    on = false;
                    break;
                }
            }
        }
    }
    return false;
}

bool mentions_slot(const CodeGen& cg, const Line& l, int depth, long slot) {
    std::string o = l.operand;
    if (o.size() > 2 && o.front() == '[' && o.back() == ']') o = o.substr(1, o.size() - 2);
    auto at = stack_slot(cg, o, depth);
    return at && *at < slot + 2 && slot < *at + 2;
}

// A walking pointer's variable: a 2-byte local whose address is never
// taken, and not volatile (each step of a volatile one goes to memory).
bool private_slot(const CodeGen& cg, long slot) {
    for (const auto* list : {&cg.fn->register_candidates, &cg.fn->other_candidates})
        for (const Symbol* s : *list)
            if (s->value == slot && s->type && s->type->size == 2 && s->type->kind == Kind::Pointer &&
                !s->type->array && !s->is_volatile && !s->type->is_volatile)
                return true;
    return false;
}

Operand* walk_operand(const Insn* e, long slot) {
    for (Operand* o : e->op)
        if (o && o->mode == M_PROC && o->origin && o->origin->mode == M_LOC && int_value(o->origin->value) == slot)
            return o;
    return nullptr;
}

bool is_slot_move(const Insn* e, int opcode, int reg, long slot) {
    return e->live && e->opcode == opcode && e->arg == reg && e->op[0] && e->op[0]->mode == M_LOC &&
           !e->op[1] && int_value(e->op[0]->value) == slot;
}

Insn* new_entry(CodeGen& cg, int opcode, int reg, long slot) {
    Insn& e = *cg.insns.make();
    e.opcode = opcode;
    e.arg = reg;
    Operand* d = new_operand(cg, M_LOC);
    d->value->value = static_cast<int32_t>(slot);
    e.op[0] = d;
    return &e;
}

// The pointer of *p++ in a loop lives in U or Y over the whole loop, loaded
// before it and stored back where it is left, when nothing else in the loop
// uses that register, calls or names p. True when it moved one.
bool keep_walk(Flow& f, const Loop& l, long slot, int from) {
    CodeGen& cg = f.cg;
    char rf = from == R_X ? 'X' : 'U';
    // the walk: loads and stores of the pointer register from and to the
    // slot, and the accesses through it; nothing else may name the slot
    std::vector<size_t> moves, walks;
    for (size_t i = l.top; i <= l.end; ++i) {
        Insn* e = cg.list[i];
        if (!e->live) continue;
        if (is_slot_move(e, OP_LOAD, from, slot) || is_slot_move(e, OP_STORE, from, slot)) {
            moves.push_back(i);
        } else if (Operand* w = walk_operand(e, slot)) {
            if (w->reg != from) return false;
            walks.push_back(i);
        } else {
            for (const Line& line : f.lines(i))
                if (mentions_slot(cg, line, f.depth[i], slot)) return false;
        }
    }
    bool loaded = std::any_of(moves.begin(), moves.end(), [&](size_t i) { return cg.list[i]->opcode == OP_LOAD; });
    if (!loaded || walks.empty()) return false;
    auto of_walk = [&](size_t i) {
        return std::find(moves.begin(), moves.end(), i) != moves.end() ||
               std::find(walks.begin(), walks.end(), i) != walks.end();
    };
    // the register it moves to: U when nothing but the walk names it, else
    // Y when nothing names that
    char to = 0;
    for (char r : {'U', 'Y'}) {
        bool used = false;
        for (size_t i = l.top; i <= l.end && !used; ++i) {
            if (!cg.list[i]->live || (r == rf && of_walk(i))) continue;
            for (const Line& line : f.lines(i)) used |= reads_register(line, r) || writes_register(line, r);
        }
        // nor may it hold a value that lives on over the loop
        if (!used && !register_live(f, l.top, r)) {
            to = r;
            break;
        }
    }
    if (!to) return false;
    // the old register must hold the pointer wherever the walk uses it or a
    // store puts it back, and nothing else may read it while it does (in
    // the loop, and where the loop runs out of its end)
    enum { Unknown, Pointer, Other } held = Unknown;
    auto reads_held = [&](const Line& line) { return held != Other && reads_register(line, rf); };
    for (size_t i = l.top; i < cg.list.size(); ++i) {
        const Insn* e = cg.list[i];
        if (!e->live || e->opcode == OP_DEPTH) continue;
        bool in_loop = i <= l.end;
        if (!in_loop && (e->opcode == OP_LABEL || held == Other)) break;
        if (e->opcode == OP_LABEL) {
            held = Unknown;
            continue;
        }
        if (in_loop && is_slot_move(e, OP_LOAD, from, slot)) {
            held = Pointer;
            continue;
        }
        if (in_loop && (is_slot_move(e, OP_STORE, from, slot) || walk_operand(e, slot))) {
            if (held != Pointer) return false;
            continue;
        }
        bool ended = false;
        for (const Line& line : f.lines(i)) {
            if (reads_held(line)) return false;
            if (writes_register(line, rf)) held = Other;
            ended |= line.ends || line.label;
        }
        if (!in_loop && ended) break;
    }
    // the flags the dropped moves set must not be read, nor Z after a step
    // back, which LEAU leaves alone
    for (size_t i : moves)
        if (f.reads_flags(i + 1, CC_NZV)) return false;
    int reg = to == 'U' ? R_U : R_Y;
    for (size_t i : walks) {
        Operand* w = walk_operand(cg.list[i], slot);
        if (w->step < 1 && f.reads_flags(i + 1, CC_Z)) return false;
        uint8_t old = w->reg;
        w->reg = static_cast<uint8_t>(reg);
        std::string text = render_entry(cg, cg.list[i], f.depth[i]);
        w->reg = old;
        // it must print, and not load the register it walks with (the high
        // word of a long through Y)
        if (text_bytes(text) >= kUnknownBytes) return false;
        for (const Line& line : lines_of(text)) {
            bool loads = (line.m.size() == 3 && starts(line.m, "LD") && line.m[2] == to) ||
                         (line.m == "TFR" && line.uop.size() == 3 && line.uop[2] == to) ||
                         (one_of(line.m, {"EXG", "PULS", "PULU"}) && line.uop.find(to) != std::string::npos);
            if (loads) return false;
        }
    }
    std::vector<size_t> exits;
    if (!loop_exits(cg, f, l, exits)) return false;
    // where the loop is left the register goes back to the slot: after each
    // exit label, and before what follows the loop when its end runs on
    std::vector<size_t> stores;
    for (size_t at : exits) stores.push_back(at + 1);
    const std::vector<Line>& last = f.lines(l.end);
    if (last.empty() || !last.back().ends) {
        size_t next = l.end + 1;
        while (next < cg.list.size() && !cg.list[next]->live) ++next;
        if (std::find(exits.begin(), exits.end(), next) == exits.end()) stores.push_back(l.end + 1);
    }
    for (size_t i : walks) {
        walk_operand(cg.list[i], slot)->reg = static_cast<uint8_t>(reg);
        cg.rendered.erase(cg.list[i]);
    }
    for (size_t i : moves) cg.list[i]->live = false;
    std::sort(stores.rbegin(), stores.rend());
    for (size_t at : stores) cg.list.insert(cg.list.begin() + static_cast<long>(at), new_entry(cg, OP_STORE, reg, slot));
    cg.list.insert(cg.list.begin() + static_cast<long>(l.top), new_entry(cg, OP_LOAD, reg, slot));
    return true;
}

// Keeps the first walk it can in a loop whose top label lies at or after
// entry from; the entry to go on from, or none when it kept none.
std::optional<size_t> keep_walks(Flow& f, size_t from) {
    CodeGen& cg = f.cg;
    if (cg.tu.options.debug || !cg.fn || cg.fn->uses_asm) return std::nullopt;
    for (size_t h = from; h < cg.list.size(); ++h) {
        if (!cg.list[h]->live || cg.list[h]->opcode != OP_LABEL) continue;
        std::optional<Loop> l = loop_at(f, h);
        if (!l) continue;
        bool plain = true;
        for (size_t i = l->top; i <= l->end && plain; ++i) {
            const Insn* e = cg.list[i];
            if (!e->live) continue;
            if (f.opaque(e)) plain = false;
            for (const Line& line : f.lines(i)) {
                bool known = line.label || line.branch >= 0 || line.ends || line.known;
                if (!known || one_of(line.m, {"JSR", "BSR", "LBSR", "SWI", "SWI2", "SWI3", "RTS", "RTI", "JMP"}))
                    plain = false;
            }
        }
        if (!plain) continue;
        for (size_t i = l->top; i <= l->end; ++i) {
            const Insn* e = cg.list[i];
            if (!e->live) continue;
            for (const Operand* o : e->op)
                if (o && o->mode == M_PROC && o->origin && o->origin->mode == M_LOC && (o->reg == R_X || o->reg == R_U)) {
                    bool symbolic = false;
                    long slot = int_value(o->origin->value, &symbolic);
                    // the load put before the top moved its label on by one
                    if (!symbolic && private_slot(cg, slot) && keep_walk(f, *l, slot, o->reg)) return h + 2;
                }
        }
    }
    return std::nullopt;
}

}  // namespace

const std::vector<PrintedLine>& entry_lines(CodeGen& cg, const Insn* e, int depth) {
    CodeGen::Rendered& r = rendered_entry(cg, e, depth);
    if (!r.parsed) {
        r.lines = lines_of(r.text);
        r.parsed = true;
    }
    return r.lines;
}

bool follow_values(CodeGen& cg) {
    // Every walk that can be kept is kept in one go, each looked for after
    // the last one kept; the list changes with each, and so does its flow.
    // A function of many loops thus takes no round of the other rules per loop.
    bool kept = false;
    for (size_t from = 0;;) {
        Flow f(cg);
        std::optional<size_t> next = keep_walks(f, from);
        if (!next) break;
        kept = true;
        from = *next;
    }
    if (kept) return true;
    // a reload goes before the compare after it, whose flags the store
    // before the reload may then give
    Flow f(cg);
    return drop_reloads(f) || drop_zero_compares(f);
}

}  // namespace zun::tcx
