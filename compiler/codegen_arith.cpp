// SPDX-License-Identifier: MIT
// Arithmetic on B and D: the binary operations with their second operand
// from memory or a temporary, multiplication, division and remainder by
// runtime routine (8-bit unsigned multiplication inline), and shifts.
#include "compiler/codegen.h"

#include <algorithm>

namespace zun::tcx {

// L op R with the result in the accumulator: R as the operand when it needs
// no accumulator; L so for a commutative operation; otherwise R is computed
// first and waits in a temporary.
void gen_binop(CodeGen& cg, Node* n, int opcode, Node* left, Node* right, int size, bool walk) {
    if (plain(right, size, walk && opcode != OP_CMP)) {
        gen_value_as(cg, left, size);
        Operand* r = splittable(cg, plain_operand(cg, right, size, walk && opcode != OP_CMP), opcode, size);
        emit(cg, opcode, size, r);
        release_object(cg, r);
        return;
    }
    bool commutative = opcode != OP_SUB && opcode != OP_CMP;
    if (commutative && plain(left, size, walk)) {
        gen_value_as(cg, right, size);
        Operand* l = splittable(cg, plain_operand(cg, left, size, walk), opcode, size);
        emit(cg, opcode, size, l);
        release_object(cg, l);
        return;
    }
    gen_value_as(cg, right, size);
    Operand* t = save_acc(cg, size);
    gen_value_as(cg, left, size);
    apply_saved(cg, opcode, size, t);
}

void gen_binop(CodeGen& cg, Node* n, int opcode) {
    gen_binop(cg, n, opcode, n->left, n->right, value_size(n));
}

namespace {

// Both operands pushed, right first, for a runtime routine; the result
// comes back in the accumulator.
void gen_runtime_binary(CodeGen& cg, Node* n, int size, const std::string& name) {
    gen_value_as(cg, n->right, size);
    push_reg(cg, acc_reg(size), size);
    gen_value_as(cg, n->left, size);
    push_reg(cg, acc_reg(size), size);
    call_runtime(cg, name);
    release_stack(cg, 2 * size);
}

// The right operand into A: its load is turned into a load of A, or B is
// moved there.
void right_into_a(CodeGen& cg, Node* r) {
    gen_value_as(cg, r, 1);
    Insn* last = cg.list.empty() ? nullptr : cg.list.back();
    if (last && last->opcode == OP_LOAD && last->arg == R_B && last->op[0] && last->op[0]->mode != M_PROC)
        last->arg = R_A;
    else
        emit(cg, OP_TFR, P_BA);
}

// D shifted left by k: a whole byte moves at once.
void shift_d_left(CodeGen& cg, int k) {
    if (k >= 8) {
        emit(cg, OP_TFR, P_BA);
        emit(cg, OP_LOAD, R_B, operand_imm(cg, 0));
        k -= 8;
    }
    if (k > 0) emit(cg, OP_ASL, 2, operand_imm(cg, k), acc(cg, 2));
}

int shift_cycles(int k) { return k >= 8 ? 8 + 4 * (k - 8) : 4 * k; }

// A 16-bit object that may be read again: a variable (or a member of one)
// that is not volatile, reached without code.
bool rereadable(Node* x) {
    if (x->kind != NodeKind::Load || x->is_volatile || value_size(x) != 2 || is_struct_node(x)) return false;
    Node* a = bare(x->left);
    while (a && (a->kind == NodeKind::Add || a->kind == NodeKind::Sub) && a->right &&
           a->right->kind == NodeKind::IntConst)
        a = bare(a->left);
    if (!a || (a->kind != NodeKind::FrameAddr && a->kind != NodeKind::StaticAddr && a->kind != NodeKind::NameAddr))
        return false;
    return a->symbol && !a->symbol->is_volatile;
}

}  // namespace

MulPlan mul_plan(uint16_t c) {
    MulPlan plan;
    if (c < 3 || (c & (c - 1)) == 0) return plan;
    int top = 15;
    while (!(c >> top & 1)) --top;
    int low = 0;
    while (!(c >> low & 1)) ++low;
    uint16_t run = static_cast<uint16_t>((0xFFFFu >> (15 - top)) & (0xFFFFu << low));
    int ones = __builtin_popcount(c);
    if (c == run && ones >= 3) {
        // 2^(top+1) - 2^low: x shifted past the run, less x, then shifted to it
        plan.steps = {{top + 1 - low, -1}, {low, 0}};
    } else if (ones <= 3) {
        // from the top bit down: double, and add x for every bit that is set
        int pending = 0;
        for (int b = top - 1; b >= 0; --b) {
            ++pending;
            if (c >> b & 1) {
                plan.steps.push_back({pending, 1});
                pending = 0;
            }
        }
        if (pending) plan.steps.push_back({pending, 0});
    }
    int cycles = 0;
    for (const MulPlan::Step& s : plan.steps) cycles += shift_cycles(s.shift) + (s.add ? 7 : 0);
    // the runtime routine with its call takes about 130 cycles
    if (cycles > 80) plan.steps.clear();
    return plan;
}

void mul_d_by_plan(CodeGen& cg, Node* x, const MulPlan& plan) {
    bool again = rereadable(x);
    if (!again) push_reg(cg, R_D, 2);
    bool pushed = !again;
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        const MulPlan::Step& s = plan.steps[i];
        shift_d_left(cg, s.shift);
        if (!s.add) continue;
        Operand* o = nullptr;
        bool last = std::none_of(plan.steps.begin() + static_cast<long>(i) + 1, plan.steps.end(),
                                 [](const MulPlan::Step& t) { return t.add != 0; });
        if (again) {
            o = plain_operand(cg, x, 2, false);
        } else {
            o = new_operand(cg, M_TOS);
            o->step = last ? 1 : 0;
        }
        emit(cg, s.add > 0 ? OP_ADD : OP_SUB, 2, o);
        if (again) {
            release_object(cg, o);
        } else if (o->step) {
            after_pop(cg, 2);
            pushed = false;
        }
    }
    if (pushed) release_stack(cg, 2);
}

void gen_mul(CodeGen& cg, Node* n) {
    int size = value_size(n);
    bool u = is_unsigned_node(n);
    if (size == 2) {
        Node* x = n->left;
        Node* k = n->right;
        if (x->kind == NodeKind::IntConst) std::swap(x, k);
        MulPlan plan;
        if (k->kind == NodeKind::IntConst && x->kind != NodeKind::IntConst)
            plan = mul_plan(static_cast<uint16_t>(k->value));
        if (!plan.steps.empty()) {
            gen_value_as(cg, x, 2);
            mul_d_by_plan(cg, x, plan);
            return;
        }
    }
    if (size == 1) {
        if (plain(n->left, 1, false, false)) {
            right_into_a(cg, n->right);
            gen_value_as(cg, n->left, 1);
        } else {
            gen_value_as(cg, n->right, 1);
            Operand* t = save_acc(cg, 1);
            gen_value_as(cg, n->left, 1);
            restore_into(cg, t, R_A, 1);
        }
        if (u)
            emit(cg, OP_MUL);
        else
            call_runtime(cg, ".MULS8");
        return;
    }
    gen_runtime_binary(cg, n, 2, u ? ".mulu16" : ".muls16");
}

void gen_divmod(CodeGen& cg, Node* n, bool mod) {
    int size = value_size(n);
    bool u = is_unsigned_node(n);
    std::string name = std::string(".") + (mod ? "mod" : "div") + (u ? "u" : "s") + (size == 1 ? "8" : "16");
    gen_runtime_binary(cg, n, size, name);
}

namespace {

// A shift count in D. A 32-bit count beyond 16 bits counts as 16, which
// shifts every bit out like any count from the width up.
void gen_shift_count(CodeGen& cg, Node* r) {
    if (value_size(r) <= 2) return gen_value_as(cg, r, 2);
    gen_value(cg, r);
    int small = new_label(cg);
    emit(cg, OP_EXG_DY);
    emit(cg, OP_CMP, 2, operand_imm(cg, 0));
    emit(cg, OP_EXG_DY);
    emit_branch(cg, OP_BEQ, small);
    emit(cg, OP_LOAD, R_D, operand_imm(cg, 16));
    emit_label(cg, small);
}

}  // namespace

void gen_shift(CodeGen& cg, Node* n) {
    int size = value_size(n);
    bool left = n->kind == NodeKind::Shl;
    bool u = is_unsigned_node(n);
    int opcode = left ? OP_ASL : u ? OP_LSR : OP_ASR;
    Node* r = n->right;
    if (r->kind == NodeKind::IntConst) {
        int c = r->value;
        int width = size * 8;
        // an unsigned long count from 2^31 up is as wide as any
        if (c < 0) c = r->type_kind == Kind::ULong ? width : 0;
        if (c >= width) {
            if (opcode != OP_ASR) {
                gen_effect(cg, n->left);
                emit(cg, OP_LOAD, acc_reg(size), operand_imm(cg, 0));
                return;
            }
            c = width - 1;
        }
        gen_value_as(cg, n->left, size);
        if (size == 2 && c >= 8) {
            emit(cg, OP_EXG, P_BA);
            if (opcode == OP_ASL)
                emit(cg, OP_LOAD, R_B, operand_imm(cg, 0));
            else if (opcode == OP_LSR)
                emit(cg, OP_CLRA);
            else
                emit(cg, OP_SEX, 8);
            c -= 8;
        }
        if (c > 0) emit(cg, opcode, size, operand_imm(cg, c), acc(cg, size));
        return;
    }
    // A count in a register shifts the value as the int it promotes to, so
    // that an 8-bit value (an assignment operator's object) shifted by 8 or
    // more ends as 0 or its sign; its low byte in B is the result. The
    // count goes to X, the value to D.
    Operand* x = nullptr;
    if (plain(n->left, value_size(n->left), false, false)) {
        gen_shift_count(cg, r);
        x = hold(cg, R_X);
        emit(cg, OP_TFR, P_DX);
        gen_value_as(cg, n->left, 2);
    } else {
        gen_shift_count(cg, r);
        Operand* t = save_acc(cg, 2);
        gen_value_as(cg, n->left, 2);
        x = hold(cg, R_X);
        restore_into(cg, t, R_X, 2);
    }
    x->mode = M_XREG;
    emit(cg, opcode, 2, x, acc(cg, 2));
    release(cg, x);
}

}  // namespace zun::tcx
