// SPDX-License-Identifier: MIT
// Statement code and the stack frame: loops, conditionals, switch dispatch
// by jump table or compare chain, returns through one exit, the function
// report and the entry and exit adjustments of S.
#include "compiler/codegen.h"

#include "common/format.h"

#include <algorithm>
#include <unordered_map>

namespace zun::tcx {

namespace {

// Entries of a statement's own code echo the source up to its first line;
// simple statements echo their whole extent.
void at_statement(CodeGen& cg, const Stmt* s, bool whole) {
    cg.stmt_pos = s->pos;
    if (!whole) cg.stmt_pos.end = s->pos.start;
    debug_statement(cg, s->pos);
}

// Every tree starts with all registers free and ends with them given back,
// nothing left on the stack and its temporaries free for the next tree.
void tree_start(CodeGen& cg) { regs_reset(cg); }

void tree_end(CodeGen& cg) {
    regs_check_balanced(cg);
    for (Operand* t : cg.regs.statement_temps) temp_free(cg, t);
    cg.regs.statement_temps.clear();
    if (cg.depth != 0) {
        internal_error(cg.tu, 4102);
        cg.depth = 0;
    }
}

// Its value is not wanted: assignments and steps take their shortest forms.
void expression_statement(CodeGen& cg, Node* n) {
    tree_start(cg);
    gen_effect(cg, n);
    tree_end(cg);
}

void condition(CodeGen& cg, Node* n, int label, bool jump_if) {
    tree_start(cg);
    gen_cond(cg, n, label, jump_if);
    tree_end(cg);
}

int case_label(CodeGen& cg, const Stmt* c) {
    auto it = cg.case_labels.find(c);
    if (it != cg.case_labels.end()) return it->second;
    int l = new_label(cg);
    cg.case_labels[c] = l;
    return l;
}

void gen_switch(CodeGen& cg, Stmt* s) {
    int end = new_label(cg);
    std::vector<Stmt*> cases;
    for (Stmt* c = s->first_case; c; c = c->next_case)
        if (c->kind == StmtKind::Case) cases.push_back(c);
    int fallback = s->default_case ? case_label(cg, s->default_case) : end;
    Node* v = s->expr;
    int size = value_size(v);
    tree_start(cg);
    if (size > 2) {
        // a 32-bit value goes down a compare chain, the value kept in D:Y
        Operand* pair = value_in_acc(cg, v);
        for (const Stmt* c : cases) {
            emit(cg, OP_CMP32IMM, 0, operand_imm(cg, static_cast<int32_t>(c->value)));
            emit_branch(cg, OP_BEQ, case_label(cg, c));
        }
        emit_branch(cg, OP_BRA, fallback);
        release(cg, pair);
    } else if (!cases.empty()) {
        int64_t lo = cases[0]->value, hi = cases[0]->value;
        for (const Stmt* c : cases) {
            lo = std::min<int64_t>(lo, c->value);
            hi = std::max<int64_t>(hi, c->value);
        }
        int64_t count = static_cast<int64_t>(cases.size());
        if (count > 4 && (hi - lo) / count <= 5) {
            Operand* value = value_in_acc(cg, v);
            if (size == 1) emit(cg, is_unsigned_node(v) ? OP_CLRA : OP_SEX, 8);
            int64_t bound = hi;
            if (lo != 0) {
                emit(cg, OP_SUB, 2, operand_imm(cg, static_cast<int32_t>(lo & 0xFFFF)));
                bound = hi - lo;
            }
            emit(cg, OP_CMP, 2, operand_imm(cg, static_cast<int32_t>(bound & 0xFFFF)));
            emit_branch(cg, OP_BHI, fallback);
            emit(cg, OP_ASL, 2, operand_imm(cg, 1), operand_reg(cg, M_ACK, R_D));
            int table = new_label(cg);
            Operand* x = alloc_reg(cg, R_X);
            emit(cg, OP_LEA, R_X, operand_label(cg, table));
            emit(cg, OP_JMP, 0, new_operand(cg, M_IDXACK));
            release(cg, x);
            release(cg, value);
            SwitchTable t;
            t.label = table;
            // The first case of each value, looked up once per table slot.
            std::unordered_map<int64_t, const Stmt*> by_value;
            for (const Stmt* c : cases) by_value.emplace(c->value, c);
            for (int64_t x = lo; x <= hi; ++x) {
                auto it = by_value.find(x);
                t.targets.push_back(it == by_value.end() ? fallback : case_label(cg, it->second));
            }
            cg.tables.push_back(std::move(t));
        } else {
            Operand* acc = value_in_acc(cg, v);
            for (const Stmt* c : cases) {
                int32_t value = size == 1 ? c->value & 0xFF : c->value & 0xFFFF;
                emit(cg, OP_CMP, size, operand_imm(cg, value));
                emit_branch(cg, OP_BEQ, case_label(cg, c));
            }
            emit_branch(cg, OP_BRA, fallback);
            release(cg, acc);
        }
    } else {
        release(cg, g_value(cg, v));
        emit_branch(cg, OP_BRA, fallback);
    }
    tree_end(cg);
    cg.loop_labels[s] = {end, 0};
    gen_statement(cg, s->body);
    emit_label(cg, end);
}

void gen_return(CodeGen& cg, Stmt* s) {
    if (s->expr) {
        tree_start(cg);
        Node* n = s->expr;
        const Type* result = cg.fn->fn->type ? cg.fn->fn->type->base : nullptr;
        bool is_struct = result && (result->kind == Kind::Struct || result->kind == Kind::Union);
        if (is_struct) {
            release(cg, value_in_acc(cg, n));
            emit(cg, OP_PUSHREG, R_D);
            emit(cg, OP_DEPTH, 2);
            Operand* hidden = new_operand(cg, M_LOC);
            hidden->value->value = 2;
            emit(cg, OP_LOAD, R_X, hidden);
            emit(cg, OP_PULLREG, R_U);
            emit(cg, OP_DEPTH, -2);
            emit(cg, OP_BLOCKMOVE, result->size);
        } else if (result && result->size == 4 && result->kind != Kind::Pointer) {
            gen_long_as(cg, n, result->kind);
        } else {
            int size = result && (result->kind == Kind::Char || result->kind == Kind::UChar) ? 1 : 2;
            Operand* value = value_in_acc(cg, n);
            int have = value_size(n);
            if (have == 1 && size == 2) emit(cg, is_unsigned_node(n) ? OP_CLRA : OP_SEX, 8);
            release(cg, value);
        }
        tree_end(cg);
    }
    if (!cg.exit_label) cg.exit_label = new_label(cg);
    emit_branch(cg, OP_BRA, cg.exit_label);
}

int target_label(CodeGen& cg, const Stmt* s, bool is_break) {
    auto it = cg.loop_labels.find(s ? s->target : nullptr);
    if (it == cg.loop_labels.end()) return is_break ? cg.break_label : cg.continue_label;
    return is_break ? it->second.first : it->second.second;
}

}  // namespace

void gen_statement(CodeGen& cg, Stmt* s) {
    if (!s) return;
    switch (s->kind) {
    case StmtKind::Expr:
        at_statement(cg, s, true);
        if (s->expr) expression_statement(cg, s->expr);
        return;
    case StmtKind::Compound:
        for (Stmt* c : s->list) gen_statement(cg, c);
        return;
    case StmtKind::If: {
        at_statement(cg, s, false);
        int f = new_label(cg);
        condition(cg, s->expr, f, false);
        gen_statement(cg, s->body);
        if (s->else_branch) {
            int end = new_label(cg);
            emit_branch(cg, OP_BRA, end);
            emit_label(cg, f);
            gen_statement(cg, s->else_branch);
            emit_label(cg, end);
        } else {
            emit_label(cg, f);
        }
        return;
    }
    case StmtKind::While: {
        at_statement(cg, s, false);
        int top = new_label(cg), end = new_label(cg);
        cg.loop_labels[s] = {end, top};
        emit_label(cg, top);
        if (s->expr) condition(cg, s->expr, end, false);
        gen_statement(cg, s->body);
        emit_branch(cg, OP_BRA, top);
        emit_label(cg, end);
        return;
    }
    case StmtKind::Do: {
        at_statement(cg, s, false);
        int top = new_label(cg), cont = new_label(cg), end = new_label(cg);
        cg.loop_labels[s] = {end, cont};
        emit_label(cg, top);
        gen_statement(cg, s->body);
        emit_label(cg, cont);
        // the test is the line of its `while`, not of the `do`
        cg.stmt_pos = s->pos;
        debug_statement(cg, s->while_pos.line > 0 ? DebugPos{s->while_pos, s->while_pos} : s->pos);
        if (s->expr)
            condition(cg, s->expr, top, true);
        else
            emit_branch(cg, OP_BRA, top);
        emit_label(cg, end);
        return;
    }
    case StmtKind::For: {
        // test n, step n+1, body n+2, exit n+3: the test branches into the
        // body or out, the body's end goes to the step, the step to the test
        at_statement(cg, s, false);
        int test = new_label(cg), step = new_label(cg), body = new_label(cg), end = new_label(cg);
        cg.loop_labels[s] = {end, step};
        bool has_body = s->body && !(s->body->kind == StmtKind::Compound && s->body->list.empty());
        if (!s->init && !s->expr && !s->step) {
            // for (;;): the body and back; continue goes to the top
            emit_label(cg, test);
            emit_label(cg, step);
            gen_statement(cg, s->body);
            emit_branch(cg, OP_BRA, test);
            emit_label(cg, end);
            return;
        }
        if (s->init) expression_statement(cg, s->init);
        emit_label(cg, test);
        if (s->expr) {
            condition(cg, s->expr, has_body ? body : step, true);
            emit_branch(cg, OP_BRA, end);
        } else {
            emit_branch(cg, OP_BRA, has_body ? body : step);
        }
        emit_label(cg, step);
        if (s->step) {
            // reached from the body's end: the loop's position again
            cg.debug_mark = Pos{};
            debug_statement(cg, s->pos);
            expression_statement(cg, s->step);
        }
        emit_branch(cg, OP_BRA, test);
        if (has_body) {
            emit_label(cg, body);
            gen_statement(cg, s->body);
            emit_branch(cg, OP_BRA, step);
        }
        emit_label(cg, end);
        return;
    }
    case StmtKind::Switch:
        at_statement(cg, s, false);
        gen_switch(cg, s);
        return;
    case StmtKind::Case:
    case StmtKind::Default:
    case StmtKind::Label:
        // a run of labels on one statement is a list, not a nesting
        for (; s && (s->kind == StmtKind::Case || s->kind == StmtKind::Default || s->kind == StmtKind::Label);
             s = s->body)
            emit_label(cg, s->kind == StmtKind::Label ? (s->label ? s->label->value : s->value) : case_label(cg, s));
        gen_statement(cg, s);
        return;
    case StmtKind::Goto:
        at_statement(cg, s, true);
        emit_branch(cg, OP_LBRA, s->label ? s->label->value : s->value);
        return;
    case StmtKind::Break:
        at_statement(cg, s, true);
        emit_branch(cg, OP_BRA, target_label(cg, s, true));
        return;
    case StmtKind::Continue:
        at_statement(cg, s, true);
        emit_branch(cg, OP_LBRA, target_label(cg, s, false));
        return;
    case StmtKind::Return:
        at_statement(cg, s, true);
        gen_return(cg, s);
        return;
    case StmtKind::Asm: {
        at_statement(cg, s, true);
        Insn* e = emit(cg, OP_COMMENT);
        e->asm_stmt = s;
        return;
    }
    }
    internal_error(cg.tu, 43);
}

namespace {

bool is_struct_type(const Type* t) { return t && (t->kind == Kind::Struct || t->kind == Kind::Union); }

void report_symbols(CodeGen& cg, const std::vector<Symbol*>& symbols) {
    for (const Symbol* s : symbols) {
        int at = s->value + cg.locals_size;
        if (is_struct_type(s->type)) {
            out_raw(cg.tu, format("\n;\t\tstruct/union '%s' at %d,%s", s->name.c_str(), at, "S"));
            if (s->type->kind == Kind::Struct)
                for (const Symbol* m = s->type->first; m; m = m->newer)
                    out_raw(cg.tu, format("\n;\t\t\t.'%s'", m->name.c_str()));
        } else {
            out_raw(cg.tu, format("\n;\t\t'%s' at %d,%s", s->name.c_str(), at, "S"));
        }
        out_raw(cg.tu, format(" (Value: %d,%s)", s->value, "S"));
    }
}

void function_prologue(CodeGen& cg, FunctionDef& f, int temps) {
    TranslationUnit& tu = cg.tu;
    if (!f.params.empty()) {
        out_line(tu, ";\tparameters:");
        report_symbols(cg, f.params);
    }
    if (!f.locals.empty()) {
        out_line(tu, ";\tlocals:");
        report_symbols(cg, f.locals);
    }
    if (temps > 0) out_raw(tu, format("\n;\tTotal scratch space: %d (bytes)", temps));
    out_raw(tu, "\n;\tNo registers allocated");
    tu.out.pending_newline = true;
    out_newline(tu);
    if (!f.fn->segment.empty()) tu.out.seg_name[static_cast<int>(SegKind::Code)] = f.fn->segment;
    segment_code(tu);
    out_newline(tu);
    if (f.fn->sclass != StorageClass::Static) export_line(tu, f.fn);
    out_line(tu, asm_name(f.fn) + ":");
    out_newline(tu);
}

}  // namespace

void generate_function(TranslationUnit& tu, FunctionDef& f) {
    CodeGen cg(tu);
    cg.fn = &f;
    if (f.locals_size > 32766) internal_error(tu, 4100);
    temps_reset(cg, f.locals_size);
    regs_reset(cg);
    cg.stmt_pos.start = f.body_start;
    cg.stmt_pos.end = f.body_start;
    Insn* enter = emit(cg, OP_ENTER2, 0);
    gen_statement(cg, f.body);
    cg.stmt_pos.start = cg.stmt_pos.end = f.body_end;
    emit_label(cg, cg.exit_label);
    debug_exit(cg, f.body_end);
    debug_symbol_entries(cg);
    // one frame size for the entry and the exit adjustment
    int frame = f.locals_size + cg.regs.temp_bytes;
    if (frame > 65535) {
        std::string text = format("FATAL ERROR,  in function '%s' starting at line %d\n", f.fn->name.c_str(),
                                  f.body_start.line) +
                           format("Out of local stack, (%d bytes)\n", frame - 65535) +
                           "Try redeclare locals as 'static'\n";
        // Standard output: beside the assembler text when that goes to a file.
        if (tu.options.files.size() >= 2) {
            tu.console += text;
        } else {
            out_newline(tu);
            out_raw(tu, text);
        }
        throw Fatal{1};
    }
    // Stack operands are 16-bit signed offsets from S.
    if (frame > 32766) internal_error(tu, 4100);
    bool needs_frame = frame != 0 || f.struct_result || f.uses_asm;
    enter->arg = frame;
    // With -g the heading's line has an instruction of its own, where Step
    // Into stops, ahead of the first statement's.
    if ((!needs_frame || frame == 0) && tu.options.debug) enter->opcode = OP_NOP;
    emit(cg, OP_EXIT2, frame);
    emit(cg, f.fn->interrupt ? OP_RTI : OP_RTS);
    cg.locals_size = frame;
    function_prologue(cg, f, frame - f.locals_size);
    debug_function_start(cg);
    improve_and_print(cg);
    if (tu.options.dump) out_line(tu, format("; end of function:'%s'", f.fn->name.c_str()));
    out_newline(tu);
}

}  // namespace zun::tcx
