// SPDX-License-Identifier: MIT
// 32-bit integer and floating values: they live in D:Y, D the low word,
// and in memory high word first. Everything beyond loads, stores, negation
// and complement goes to the runtime: operands are pushed right first, so
// that the left one is on top, and the answer comes back in D:Y (or in CC
// for the compares).
#include "compiler/codegen.h"

#include <utility>

namespace zun::tcx {

namespace {

Operand* pair_operand(CodeGen& cg) { return operand_reg(cg, M_DACK, R_DY); }

// D first, then Y: the high word ends on top, as a long lies in memory.
void push_pair(CodeGen& cg) {
    push_reg(cg, R_D, 2);
    push_reg(cg, R_Y, 2);
}

void pull_pair(CodeGen& cg) {
    pull_reg(cg, R_Y, 2);
    pull_reg(cg, R_D, 2);
}

// The loads and stores give back the X that addressed the operand.
void load_pair(CodeGen& cg, Operand* d) { release(cg, load_long(cg, d)); }

void store_pair(CodeGen& cg, Operand* d) { store_long(cg, d); }

Operand* frame_operand(CodeGen& cg, int slot) {
    Operand* d = new_operand(cg, M_LOC);
    d->value->value = slot;
    return d;
}

Node* frame_object(CodeGen& cg, int slot, Kind k, int size) {
    Node* where = make_node(cg, NodeKind::FrameAddr, nullptr, nullptr, Kind::Pointer, 2);
    where->value = slot;
    return make_node(cg, NodeKind::Load, where, nullptr, k, size);
}

// The value in D:Y handed to a one-operand routine.
void call_unary(CodeGen& cg, const char* name) {
    push_pair(cg);
    call_runtime(cg, name);
    release_stack(cg, 4);
}

uint32_t field_mask(const Node* f) { return f->bit_width >= 32 ? 0xFFFFFFFFu : (1u << f->bit_width) - 1; }

void gen_assign_pair(CodeGen& cg, Node* l, Node* r) {
    Kind k = l->type_kind;
    if (l->kind == NodeKind::BitValue) return gen_bitfield_store(cg, settled_field(cg, l), r, true);
    if (reached_with_x(l->left, 4)) {
        gen_long_as(cg, r, k);
        store_pair(cg, gen_addr(cg, l->left));
        return;
    }
    gen_long_as(cg, r, k);
    push_pair(cg);
    Operand* dst = gen_addr(cg, l->left);
    pull_pair(cg);
    store_pair(cg, dst);
}

const char* routine(NodeKind op, Kind k) {
    bool f = is_float_kind(k);
    bool u = k == Kind::ULong || k == Kind::ULongLong;
    switch (op) {
    case NodeKind::Add: return f ? ".addf" : ".add32";
    case NodeKind::Sub: return f ? ".subf" : ".sub32";
    case NodeKind::Mul: return f ? ".mulf" : u ? ".mulu32" : ".muls32";
    case NodeKind::Div: return f ? ".divf" : u ? ".divu32" : ".divs32";
    case NodeKind::Mod: return f ? nullptr : u ? ".modu32" : ".mods32";
    case NodeKind::BitAnd: return f ? nullptr : ".and32";
    case NodeKind::BitOr: return f ? nullptr : ".or32";
    case NodeKind::Xor: return f ? nullptr : ".eor32";
    case NodeKind::Shl: return f ? nullptr : ".shl32";
    case NodeKind::Shr: return f ? nullptr : u ? ".shru32" : ".shrs32";
    default: return nullptr;
    }
}

// x + c, x - c and c - x on 32-bit integers inline (-Osp): the low word
// by ADDD or SUBD, the carry and the high word into Y.
bool gen_add_constant(CodeGen& cg, Node* n) {
    Kind k = n->type_kind;
    if (!cg.tu.options.sp || is_float_kind(k) || (n->kind != NodeKind::Add && n->kind != NodeKind::Sub)) return false;
    Node* l = n->left;
    Node* r = n->right;
    if (r->kind == NodeKind::IntConst) {
        gen_long_as(cg, l, k);
        emit(cg, n->kind == NodeKind::Add ? OP_ADD32IMM : OP_SUB32IMM, 0, operand_imm(cg, r->value));
        return true;
    }
    if (l->kind != NodeKind::IntConst) return false;
    gen_long_as(cg, r, k);
    if (n->kind == NodeKind::Sub) emit(cg, OP_NEG, 4, pair_operand(cg));
    if (l->value != 0) emit(cg, OP_ADD32IMM, 0, operand_imm(cg, l->value));
    return true;
}

void gen_binary_pair(CodeGen& cg, Node* n) {
    Kind k = n->type_kind;
    if (gen_add_constant(cg, n)) return;
    const char* name = routine(n->kind, k);
    if (!name) {
        emit_fault(cg, 4001, nullptr, 4);
        return;
    }
    // a shift count is a long of its own signedness whatever the value's type
    bool shift = n->kind == NodeKind::Shl || n->kind == NodeKind::Shr;
    gen_long_as(cg, n->right, shift ? Kind::Long : k);
    push_pair(cg);
    gen_long_as(cg, n->left, k);
    push_pair(cg);
    call_runtime(cg, name);
    release_stack(cg, 8);
}

// The object of an assignment operator, its address kept in a frame slot
// when it takes code to compute, so that it is computed once.
Node* settled_target(CodeGen& cg, Node* l) {
    if (reached_without_code(l->left)) return l;
    gen_value(cg, l->left);
    Operand* t = temp_alloc(cg, 2);
    cg.regs.statement_temps.push_back(t);
    int slot = int_value(t->value);
    emit(cg, OP_STORE, R_D, frame_operand(cg, slot));
    Node* ptr = frame_object(cg, slot, Kind::Pointer, 2);
    Node* target = make_node(cg, NodeKind::Load, ptr, nullptr, l->type_kind, l->size);
    target->is_volatile = l->is_volatile;
    return target;
}

void gen_compound_pair(CodeGen& cg, Node* n, bool want) {
    Node* l = n->left;
    if (l->kind == NodeKind::BitValue)
        return gen_opassign_bitfield(cg, settled_field(cg, l), binary_of(n->kind), n->right, want);
    Node* target = settled_target(cg, l);
    Node* op = make_node(cg, binary_of(n->kind), target, n->right, l->type_kind, l->size);
    // a long object with a float right side: the operation runs in floating
    // point and the store converts the result back
    if (is_float_kind(n->right->type_kind) && !is_float_kind(l->type_kind)) op->type_kind = n->right->type_kind;
    // a signed object divided by an unsigned long divides unsigned
    if ((n->kind == NodeKind::DivAssign || n->kind == NodeKind::ModAssign) && n->right->type_kind == Kind::ULong)
        op->type_kind = Kind::ULong;
    gen_assign_pair(cg, target, op);
}

}  // namespace

bool is_float_kind(Kind k) { return k == Kind::Float || k == Kind::Double; }

// n's value in D:Y as type to: narrower integers widen by their own
// signedness, integers and floats convert through the runtime.
void gen_long_as(CodeGen& cg, Node* n, Kind to) {
    Kind from = n->type_kind;
    if (value_size(n) <= 2) {
        gen_value(cg, n);
        bool u = is_unsigned_node(n);
        if (value_size(n) == 1) emit(cg, u ? OP_CLRA : OP_SEX, 8);
        if (u)
            emit(cg, OP_LOADHIGH, R_Y, operand_imm(cg, 0));
        else
            emit(cg, OP_SEX, 7);
        if (is_float_kind(to)) call_unary(cg, ".sltof");
        return;
    }
    gen_value(cg, n);
    bool ff = is_float_kind(from), tf = is_float_kind(to);
    if (ff && !tf) call_unary(cg, to == Kind::ULong ? ".ftoul" : ".ftosl");
    if (!ff && tf) call_unary(cg, from == Kind::ULong ? ".ultof" : ".sltof");
}

// A 32-bit or floating value converted to a narrower integer: the low
// word of the long is the result.
void gen_narrow(CodeGen& cg, Node* n) {
    Node* from = n->left;
    if (from->kind == NodeKind::Load && !from->is_volatile && !is_float_kind(from->type_kind) &&
        reached_with_x(from->left, 4)) {
        // a long in memory: its low word is all that is read (all of a
        // volatile one, as the source reads it)
        Operand* o = through_x(cg, gen_addr(cg, from->left));
        emit(cg, OP_LOADLOW, R_D, o);
        release_object(cg, o);
        return;
    }
    gen_long_as(cg, from, is_unsigned_node(n) ? Kind::ULong : Kind::Long);
}

bool gen_long(CodeGen& cg, Node* n) {
    switch (n->kind) {
    case NodeKind::IntConst:
    case NodeKind::FloatConst: {
        Operand* d = new_operand(cg, M_IMM);
        d->value = n;
        load_pair(cg, d);
        return true;
    }
    case NodeKind::Load: {
        Operand* o = gen_object(cg, n->left, 4, true);
        o->is_volatile = n->is_volatile;
        load_pair(cg, o);
        return true;
    }
    case NodeKind::BitValue: gen_bitfield_read(cg, n); return true;
    case NodeKind::Convert: gen_long_as(cg, n->left, n->type_kind); return true;
    case NodeKind::Assign: return gen_long_assign(cg, n, true);
    case NodeKind::Add: case NodeKind::Sub: case NodeKind::Mul: case NodeKind::Div:
    case NodeKind::Mod: case NodeKind::BitAnd: case NodeKind::BitOr: case NodeKind::Xor:
    case NodeKind::Shl: case NodeKind::Shr:
        gen_binary_pair(cg, n);
        return true;
    case NodeKind::Neg:
        gen_long_as(cg, n->left, n->type_kind);
        if (is_float_kind(n->type_kind)) {
            emit(cg, OP_EXG_DY);
            emit(cg, OP_EORAIMM, 0, operand_imm(cg, 0x80));
            emit(cg, OP_EXG_DY);
        } else {
            emit(cg, OP_NEG, 4, pair_operand(cg));
        }
        return true;
    case NodeKind::Compl:
        gen_long_as(cg, n->left, n->type_kind);
        emit(cg, OP_COM, 4, pair_operand(cg));
        return true;
    case NodeKind::AddAssign: case NodeKind::SubAssign: case NodeKind::MulAssign:
    case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::ShrAssign:
    case NodeKind::ShlAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign:
        gen_compound_pair(cg, n, true);
        return true;
    case NodeKind::PostInc: case NodeKind::PostDec: return gen_long_step(cg, n, true);
    default: return false;
    }
}

bool gen_long_step(CodeGen& cg, Node* n, bool want) {
    Node* l = n->left;
    Kind k = l->type_kind;
    if (l->kind == NodeKind::BitValue) {
        l = settled_field(cg, l);
        int32_t step = n->right ? n->right->value : 1;
        bool up = n->kind == NodeKind::PostInc;
        gen_opassign_bitfield(cg, l, up ? NodeKind::Add : NodeKind::Sub, int_node(cg, step), want);
        if (want) {
            // the field's old value: the step taken back, within the field
            emit(cg, up ? OP_SUB32IMM : OP_ADD32IMM, 0, operand_imm(cg, step));
            emit(cg, OP_AND, 4, operand_imm(cg, static_cast<int32_t>(field_mask(l))));
        }
        return true;
    }
    Node* target = settled_target(cg, l);
    bool up = n->kind == NodeKind::PostInc;
    if (is_float_kind(k)) {
        // the old value waits on the stack while the routine adds the step
        gen_value(cg, target);
        if (want) push_pair(cg);
        Node* from = target;
        if (target->is_volatile) {
            // a volatile object is read once: the routine takes that value
            // from a temporary
            Operand* t = temp_alloc(cg, 4);
            cg.regs.statement_temps.push_back(t);
            emit(cg, OP_STOREHIGH, R_Y, t);
            emit(cg, OP_STORELOW, R_D, t);
            from = frame_object(cg, int_value(t->value), k, 4);
        }
        Node* step = make_node(cg, NodeKind::FloatConst, nullptr, nullptr, k, 4);
        step->fvalue = n->right && n->right->kind == NodeKind::FloatConst ? n->right->fvalue
                       : n->right                                         ? n->right->value
                                                                          : 1;
        Node* op = make_node(cg, up ? NodeKind::Add : NodeKind::Sub, from, step, k, 4);
        gen_assign_pair(cg, target, op);
        if (want) pull_pair(cg);
        return true;
    }
    int32_t step = n->right ? n->right->value : 1;
    Operand* o = gen_addr(cg, target->left);
    o->is_volatile = target->is_volatile;
    load_pair(cg, o);
    emit(cg, up ? OP_ADD32IMM : OP_SUB32IMM, 0, operand_imm(cg, step));
    store_pair(cg, gen_addr(cg, target->left));
    // the value of x++ is the old one
    if (want) emit(cg, up ? OP_SUB32IMM : OP_ADD32IMM, 0, operand_imm(cg, step));
    return true;
}

bool gen_long_assign(CodeGen& cg, Node* n, bool want) {
    Node* l = n->left;
    Node* r = n->right;
    if (l->kind != NodeKind::BitValue && !want && r->kind == NodeKind::IntConst && r->value == 0 &&
        reached_with_x(l->left, 4)) {
        // 0 into both words from D
        emit(cg, OP_LOAD, R_D, operand_imm(cg, 0));
        Operand* dst = through_x(cg, gen_addr(cg, l->left));
        emit(cg, OP_STOREHIGH, R_D, dst);
        emit(cg, OP_STORELOW, R_D, dst);
        release_object(cg, dst);
        return true;
    }
    if (!want && r->kind == NodeKind::Load && is_walk(l->left, 4) && is_walk(r->left, 4)) {
        // *d++ = *s++: the long move between the two walking pointers
        Operand* dst = gen_object(cg, l->left, 4, true);
        Operand* u = alloc_reg(cg, R_U);
        Node* sw = r->left;
        while (sw->kind != NodeKind::PostInc && sw->kind != NodeKind::PostDec) sw = sw->left;
        Operand* origin = simple_addr(cg, sw->left->left);
        emit(cg, OP_LOAD, R_U, origin);
        u->mode = M_PROC;
        u->reg = R_U;
        u->step = sw->kind == NodeKind::PostInc ? 1 : -1;
        u->origin = origin;
        emit(cg, OP_MOVELONG, 0, u, dst);
        release_object(cg, u);
        release_object(cg, dst);
        return true;
    }
    gen_assign_pair(cg, l, r);
    return true;
}

// Conditions on 32-bit and floating values. A float compare answers
// "unordered" so that only BLT, BLE, BEQ and their negations read it
// right, so '>' and '>=' swap their operands.
void gen_long_cond(CodeGen& cg, Node* n, int label, bool jump_if) {
    bool compare = n->kind == NodeKind::Eq || n->kind == NodeKind::Ne || n->kind == NodeKind::Lt ||
                   n->kind == NodeKind::Le || n->kind == NodeKind::Gt || n->kind == NodeKind::Ge;
    if (!compare) {
        gen_value(cg, n);
        if (is_float_kind(n->type_kind)) {
            call_unary(cg, ".tstf");
        } else {
            emit(cg, OP_TST, 4, pair_operand(cg));
        }
        emit_branch(cg, jump_if ? OP_BNE : OP_BEQ, label);
        return;
    }
    Node* l = n->left;
    Node* r = n->right;
    Kind k = value_size(l) == 4 ? l->type_kind : r->type_kind;
    bool f = is_float_kind(k);
    NodeKind rel = n->kind;
    if (f && (rel == NodeKind::Gt || rel == NodeKind::Ge)) {
        std::swap(l, r);
        rel = rel == NodeKind::Gt ? NodeKind::Lt : NodeKind::Le;
    }
    if (!f && (rel == NodeKind::Eq || rel == NodeKind::Ne) && r->kind == NodeKind::IntConst) {
        gen_long_as(cg, l, k);
        emit(cg, OP_CMP32IMM, 0, operand_imm(cg, r->value));
    } else {
        gen_long_as(cg, r, k);
        push_pair(cg);
        gen_long_as(cg, l, k);
        push_pair(cg);
        call_runtime(cg, f ? ".cmpf" : ".cmp32");
        release_stack(cg, 8);
    }
    NodeKind taken = jump_if ? rel : negate_compare(rel);
    emit_branch(cg, compare_branch(taken, !f && (k == Kind::ULong || k == Kind::ULongLong)), label);
}

}  // namespace zun::tcx
