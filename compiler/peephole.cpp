// SPDX-License-Identifier: MIT
// Improvements of a function's instruction list before it is printed:
// branch ranges always; with -Op the merge of byte transfers and the
// branch and label clean-ups; with -Ordc the removal of dead code.
#include "compiler/codegen.h"

#include <algorithm>
#include <unordered_map>

namespace zun::tcx {

namespace {

struct LongForm {
    int short_op, long_op;
};

const LongForm long_forms[] = {
    {OP_BRA, OP_LBRA}, {OP_BEQ, OP_LBEQ}, {OP_BNE, OP_LBNE}, {OP_BLT, OP_LBLT},
    {OP_BLE, OP_LBLE}, {OP_BGT, OP_LBGT}, {OP_BGE, OP_LBGE}, {OP_BHI, OP_LBHI},
    {OP_BCC, OP_LBCC}, {OP_BCS, OP_LBCS}, {OP_BLS, OP_LBLS},
};

// Condition pairs the peephole may invert; BLE is deliberately absent.
const int inverse_pairs[][2] = {
    {OP_BEQ, OP_BNE}, {OP_BLT, OP_BGE}, {OP_BGT, OP_BLE}, {OP_BHI, OP_BLS},
    {OP_BCC, OP_BCS}, {OP_LREF3, OP_LREF4},
};

bool is_short_branch(int op) {
    return std::any_of(std::begin(long_forms), std::end(long_forms),
                       [op](const LongForm& f) { return f.short_op == op; });
}

int inverse(int op) {
    for (const auto& p : inverse_pairs) {
        if (p[0] == op) return p[1];
        if (p[1] == op) return p[0];
    }
    return 0;
}

bool invertible(int op) { return op != OP_BLE && inverse(op) != 0; }

bool skipped(const Insn* e) { return !e->live || e->opcode == OP_DEBUG; }

size_t next_live(const CodeGen& cg, size_t i) {
    for (++i; i < cg.list.size(); ++i)
        if (!skipped(cg.list[i])) return i;
    return cg.list.size();
}

Insn* at(const CodeGen& cg, size_t i) { return i < cg.list.size() ? cg.list[i] : nullptr; }

bool is_label(const Insn* e) { return e && e->opcode == OP_LABEL; }

bool refers(const CodeGen& cg, int label) {
    for (const Insn* e : cg.list)
        if (e->live && is_branch(e->opcode) && e->label == label) return true;
    for (const SwitchTable& t : cg.tables)
        if (std::find(t.targets.begin(), t.targets.end(), label) != t.targets.end()) return true;
    return false;
}

// Removes the live entries after i up to the next label; returns the count.
int remove_dead(CodeGen& cg, size_t i) {
    if (!cg.tu.options.dead_code) return 0;
    int removed = 0;
    for (size_t j = i + 1; j < cg.list.size(); ++j) {
        Insn* e = cg.list[j];
        if (skipped(e)) continue;
        if (e->opcode == OP_LABEL) break;
        if (cg.tu.options.debug && (e->opcode == OP_RTS || e->opcode == OP_RTI ||
                                    e->opcode == OP_EXIT || e->opcode == OP_EXIT2))
            break;
        if (e->opcode == OP_DEPTH || e->opcode == OP_COMMENT) continue;
        e->live = false;
        ++removed;
    }
    return removed;
}

void rename_label(CodeGen& cg, int from, int to) {
    for (Insn* e : cg.list)
        if (is_branch(e->opcode) && e->label == from) e->label = to;
    for (SwitchTable& t : cg.tables)
        for (int& l : t.targets)
            if (l == from) l = to;
}

bool merge_labels(CodeGen& cg) {
    bool any = false;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < cg.list.size(); ++i) {
            Insn* a = cg.list[i];
            if (!a->live || !is_label(a)) continue;
            Insn* b = at(cg, next_live(cg, i));
            if (!is_label(b)) continue;
            rename_label(cg, b->label, a->label);
            b->live = false;
            changed = any = true;
        }
    }
    return any;
}

void drop_label_if_unused(CodeGen& cg, Insn* l) {
    if (l && !refers(cg, l->label)) l->live = false;
}

bool rule_jump(CodeGen& cg, size_t i) {
    Insn* e = cg.list[i];
    if (remove_dead(cg, i) == 0) return false;
    report_at(cg.tu, e->pos.start.line, 131);
    merge_labels(cg);
    return true;
}

bool rule_bra(CodeGen& cg, size_t i) {
    Insn* e = cg.list[i];
    if (remove_dead(cg, i) > 0) {
        report_at(cg.tu, e->pos.start.line, 131);
        return true;
    }
    for (size_t j = next_live(cg, i); j < cg.list.size(); j = next_live(cg, j)) {
        Insn* n = cg.list[j];
        if (is_label(n)) continue;
        if (n->opcode == OP_BRA && n->label == e->label) {
            e->live = false;
            return true;
        }
        break;
    }
    Insn* n = at(cg, next_live(cg, i));
    if (n && n->opcode == OP_BRA) {
        n->live = false;
        return true;
    }
    for (size_t j = next_live(cg, i); j < cg.list.size() && is_label(cg.list[j]); j = next_live(cg, j)) {
        if (cg.list[j]->label != e->label) continue;
        e->live = false;
        drop_label_if_unused(cg, cg.list[j]);
        return true;
    }
    return remove_dead(cg, i) > 0;
}

bool rule_conditional(CodeGen& cg, size_t i) {
    Insn* e = cg.list[i];
    size_t j = next_live(cg, i);
    Insn* n = at(cg, j);
    if (!n) return false;
    Insn* after = at(cg, next_live(cg, j));
    if (invertible(e->opcode) && n->opcode == OP_BRA && is_label(after) && after->label == e->label) {
        e->opcode = inverse(e->opcode);
        e->label = n->label;
        n->live = false;
        drop_label_if_unused(cg, after);
        merge_labels(cg);
        return true;
    }
    if (is_label(n) && n->label == e->label) {
        e->live = false;
        drop_label_if_unused(cg, n);
        merge_labels(cg);
        return true;
    }
    return false;
}

bool rule_label(CodeGen& cg, size_t i) {
    Insn* n = at(cg, next_live(cg, i));
    if (n && (n->opcode == OP_BRA || n->opcode == OP_LBRA)) return false;
    if (refers(cg, cg.list[i]->label)) return false;
    cg.list[i]->live = false;
    return true;
}

}  // namespace

int long_branch(int opcode) {
    for (const LongForm& f : long_forms)
        if (f.short_op == opcode) return f.long_op;
    return opcode;
}

namespace {

int short_branch(int opcode) {
    for (const LongForm& f : long_forms)
        if (f.long_op == opcode) return f.short_op;
    return opcode;
}

// A branch whose form, short or long, this pass decides.
bool sized_branch(int opcode) { return is_short_branch(opcode) || short_branch(opcode) != opcode; }

// The printed bytes of every entry but the branches, each printed with the
// bytes pushed at its place (they decide the size of its stack offsets).
std::vector<int> sizes_of_entries(CodeGen& cg) {
    std::vector<int> bytes(cg.list.size(), 0);
    int depth = 0;
    for (size_t i = 0; i < cg.list.size(); ++i) {
        const Insn* e = cg.list[i];
        if (!e->live) continue;
        if (e->opcode == OP_DEPTH) depth += e->arg;
        bool code = is_instruction(e) || (e->opcode == OP_COMMENT && e->asm_stmt);
        if (!code || e->opcode == OP_FAULT || e->opcode == OP_DEPTH || sized_branch(e->opcode)) continue;
        bytes[i] = entry_bytes(cg, e, depth);
    }
    return bytes;
}

int branch_bytes(int opcode) { return opcode == OP_LBRA ? 3 : is_short_branch(opcode) ? 2 : 4; }

}  // namespace

// Every branch starts short and becomes long only while its target lies
// beyond the reach of a short one, measured in the bytes the lines between
// assemble to; growing a branch can only push others out of reach, so the
// rounds end.
void branch_ranges(CodeGen& cg) {
    for (Insn* e : cg.list) e->opcode = short_branch(e->opcode);
    std::vector<int> bytes = sizes_of_entries(cg);
    size_t n = cg.list.size();
    std::unordered_map<int, size_t> label_at;
    for (size_t i = 0; i < n; ++i)
        if (is_label(cg.list[i]) && cg.list[i]->live) label_at.emplace(cg.list[i]->label, i);
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<int64_t> before(n + 1, 0);
        for (size_t i = 0; i < n; ++i) {
            const Insn* e = cg.list[i];
            before[i + 1] = before[i] + (e->live && sized_branch(e->opcode) ? branch_bytes(e->opcode) : bytes[i]);
        }
        for (size_t i = 0; i < n; ++i) {
            Insn* e = cg.list[i];
            if (!e->live || !is_short_branch(e->opcode)) continue;
            auto found = label_at.find(e->label);
            if (found == label_at.end()) continue;
            size_t t = found->second;
            // forward: the bytes after the branch up to the label; backward:
            // from the label to the end of the branch
            int64_t reach = t > i ? before[t] - before[i + 1] : -(before[i + 1] - before[t]);
            if (reach > 127 || reach < -128) {
                e->opcode = long_branch(e->opcode);
                changed = true;
            }
        }
    }
}

void merge_byte_pairs(CodeGen& cg) {
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < cg.list.size(); ++i) {
            Insn* a = cg.list[i];
            if (!a->live || (a->opcode != OP_LOAD && a->opcode != OP_STORE) || a->arg != 1) continue;
            Insn* b = at(cg, next_live(cg, i));
            if (!b || b->opcode != a->opcode || b->arg != 6 || !a->op[0] || !b->op[0]) continue;
            if (a->op[0]->mode != M_LOC || b->op[0]->mode != M_LOC) continue;
            bool s1 = false, s2 = false;
            int o1 = int_value(a->op[0]->value, &s1), o2 = int_value(b->op[0]->value, &s2);
            if (s1 || s2 || o1 != o2 + 1) continue;
            b->arg = 2;
            a->live = false;
            changed = true;
        }
    }
}

void peephole(CodeGen& cg) {
    for (bool changed = true; changed;) {
        changed = merge_labels(cg);
        for (size_t i = 0; i < cg.list.size(); ++i) {
            Insn* e = cg.list[i];
            if (skipped(e)) continue;
            switch (e->opcode) {
            case OP_JMP:
            case OP_RTS: changed |= rule_jump(cg, i); break;
            case OP_BRA:
            case OP_LBRA: changed |= rule_bra(cg, i); break;
            case OP_LABEL: changed |= rule_label(cg, i); break;
            default:
                if (invertible(e->opcode) || e->opcode == OP_BLE) changed |= rule_conditional(cg, i);
                break;
            }
        }
        if (!changed) changed = follow_values(cg);
    }
}

void improve_and_print(CodeGen& cg) {
    if (cg.tu.options.peephole) {
        merge_byte_pairs(cg);
        peephole(cg);
    }
    debug_drop_codeless(cg);
    branch_ranges(cg);
    size_t first = next_live(cg, static_cast<size_t>(-1));
    Insn* f = at(cg, first);
    if (f && (f->opcode == OP_ENTER || f->opcode == OP_ENTER2)) {
        Insn* n = at(cg, next_live(cg, first));
        if (n && (n->opcode == OP_EXIT || n->opcode == OP_EXIT2)) f->live = n->live = false;
    }
    for (const Insn* e : cg.list) {
        if (e->pos.end.line > 0) echo_source(cg.tu, e->pos);
        if (e->live) {
            put_op(cg, e);
        } else if (cg.tu.options.dump) {
            if (e->opcode == OP_LABEL)
                put(cg, ";R _" + std::to_string(e->label) + ":");
            else if (e->opcode == OP_COMMENT)
                put(cg, "\n;" + e->text);
            else if (e->opcode != OP_DEPTH) {
                Output saved = std::move(cg.tu.out);
                cg.tu.out = Output{};
                put_op(cg, e);
                out_newline(cg.tu);
                std::string text = std::move(cg.tu.out.text);
                cg.tu.out = std::move(saved);
                size_t s = 0;
                while (s < text.size()) {
                    size_t n = text.find('\n', s);
                    if (n == std::string::npos) n = text.size();
                    put(cg, ";" + text.substr(s, n - s));
                    s = n + 1;
                }
            }
        }
    }
    // The debugger takes the function's range from its start to here, so
    // the jump tables in the constant segment come after.
    debug_function_end(cg);
    for (const SwitchTable& t : cg.tables) {
        segment_const(cg.tu);
        put(cg, "_" + std::to_string(t.label) + ":");
        for (int target : t.targets) data_word(cg.tu, "_" + std::to_string(target));
    }
    cg.list.clear();
    cg.tables.clear();
    cg.rendered.clear();
}

}  // namespace zun::tcx
