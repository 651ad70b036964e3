// SPDX-License-Identifier: MIT
// Expression code: every tree leaves its value in B (8 bits) or D (16 bits
// and addresses); X addresses objects; partial results wait on the stack,
// pushed and popped so that the printer can follow the depth. Multiplying,
// dividing and 32-bit work go to the runtime routines.
#include "compiler/codegen.h"

namespace zun::tcx {

namespace {

Operand* acc(CodeGen& cg, int size) { return operand_reg(cg, M_ACK, size == 1 ? R_B : R_D); }

}  // namespace

Node* make_node(CodeGen& cg, NodeKind kind, Node* l, Node* r, Kind tk, int32_t size) {
    Node& n = cg.tu.nodes.emplace_back();
    n.kind = kind;
    n.left = l;
    n.right = r;
    n.type_kind = tk;
    n.size = size;
    return &n;
}

void push_reg(CodeGen& cg, int reg, int size) {
    emit(cg, OP_PUSHREG, reg);
    emit(cg, OP_DEPTH, size);
    cg.depth += size;
}

void pull_reg(CodeGen& cg, int reg, int size) {
    emit(cg, OP_PULLREG, reg);
    emit(cg, OP_DEPTH, -size);
    cg.depth -= size;
}

void release_stack(CodeGen& cg, int size) {
    if (size == 0) return;
    emit(cg, OP_LEAS, size);
    emit(cg, OP_DEPTH, -size);
    cg.depth -= size;
}

namespace {

// The value on top of the stack as an operand that pops it.
Operand* popped(CodeGen& cg) {
    Operand* d = new_operand(cg, M_TOS);
    d->step = 1;
    return d;
}

}  // namespace

void after_pop(CodeGen& cg, int size) {
    emit(cg, OP_DEPTH, -size);
    cg.depth -= size;
}

namespace {

void fault(CodeGen& cg, int code, int size) { emit_fault(cg, code, nullptr, size); }

bool is_struct_node(const Node* n) {
    return n->type_kind == Kind::Struct || n->type_kind == Kind::Union;
}

Node* offset_constant(CodeGen& cg, Node* base, int32_t c) {
    if (c == 0) return base;
    Node* k = int_node(cg, c < 0 ? -c : c);
    return make_node(cg, c < 0 ? NodeKind::Sub : NodeKind::Add, base, k, Kind::Pointer, 2);
}

}  // namespace

// The operand of the object at address a when no code is needed to reach it.
Operand* simple_addr(CodeGen& cg, Node* a, int32_t extra) {
    if (!a) return nullptr;
    switch (a->kind) {
    case NodeKind::FrameAddr: {
        Operand* d = new_operand(cg, M_LOC);
        d->value->value = a->value + extra;
        return d;
    }
    case NodeKind::StaticAddr:
    case NodeKind::NameAddr: {
        Operand* d = new_operand(cg, M_GLOB);
        d->value = offset_constant(cg, a, extra);
        return d;
    }
    case NodeKind::IntConst: {
        Operand* d = new_operand(cg, M_GLOB);
        d->value->value = static_cast<int32_t>(static_cast<uint16_t>(a->value + extra));
        return d;
    }
    case NodeKind::Add:
        if (a->right && a->right->kind == NodeKind::IntConst) return simple_addr(cg, a->left, extra + a->right->value);
        if (a->left && a->left->kind == NodeKind::IntConst) return simple_addr(cg, a->right, extra + a->left->value);
        return nullptr;
    case NodeKind::Sub:
        if (a->right && a->right->kind == NodeKind::IntConst) return simple_addr(cg, a->left, extra - a->right->value);
        return nullptr;
    default: return nullptr;
    }
}

// The operand of the object at address a, computing the address into X
// when it is not simple. X is held until the user releases the operand.
Operand* gen_addr(CodeGen& cg, Node* a) {
    if (Operand* d = simple_addr(cg, a)) return d;
    if (!a) {
        fault(cg, 4002, 2);
        Operand* d = new_operand(cg, M_XACK);
        d->sequence = -1;
        return d;
    }
    int32_t offset = 0;
    Node* base = a;
    if (a->kind == NodeKind::Add && a->right->kind == NodeKind::IntConst) {
        offset = a->right->value;
        base = a->left;
    } else if (a->kind == NodeKind::Add && a->left->kind == NodeKind::IntConst) {
        offset = a->left->value;
        base = a->right;
    }
    Operand* d = ptr_in_x_obj(cg, base);
    d->value->value = static_cast<int16_t>(offset);
    d->reg = R_X;
    return d;
}

namespace {

// A value usable as an instruction operand without code: a constant or a
// scalar in memory at a simple address.
Operand* direct_operand(CodeGen& cg, Node* n, int size) {
    if (n->kind == NodeKind::IntConst) return operand_imm(cg, size == 1 ? (n->value & 0xFF) : (n->value & 0xFFFF));
    if (n->kind == NodeKind::Load && !is_struct_node(n) && value_size(n) == size)
        return simple_addr(cg, n->left);
    return nullptr;
}

void load_value(CodeGen& cg, Operand* d, int size) { emit(cg, OP_LOAD, size == 1 ? R_B : R_D, d); }

void store_value(CodeGen& cg, Operand* d, int size) { emit(cg, OP_STORE, size == 1 ? R_B : R_D, d); }

// Widens or narrows the accumulator from one size to another.
void resize(CodeGen& cg, int from, int to, bool from_unsigned) {
    if (from == 1 && to == 2) {
        if (from_unsigned)
            emit(cg, OP_CLRA);
        else
            emit(cg, OP_SEX, 8);
    }
}

void gen_value_as(CodeGen& cg, Node* n, int size) {
    gen_value(cg, n);
    resize(cg, value_size(n), size, is_unsigned_node(n));
}

}  // namespace

// A runtime routine is an extern function of the unit, entered once and
// marked referenced so that the output declares it.
void call_runtime(CodeGen& cg, const std::string& name) {
    TranslationUnit& tu = cg.tu;
    Symbol* sym = find_in(tu.file_scope, name);
    if (!sym) {
        sym = new_symbol(tu, name);
        sym->sclass = StorageClass::Extern;
        sym->is_function = true;
        sym->type = &tu.builtin.implicit_fn;
        sym->checked = true;
        append_symbol(tu.file_scope, sym);
    }
    sym->flags |= Referenced;
    Node& n = tu.nodes.emplace_back();
    n.kind = NodeKind::NameAddr;
    n.name = name;
    n.symbol = sym;
    Operand* d = new_operand(cg, M_IMM);
    d->value = &n;
    emit(cg, OP_JSR, 0, d);
}

namespace {

// L op R with the result in the accumulator.
void gen_binop(CodeGen& cg, Node* n, int opcode) {
    int size = value_size(n);
    if (Operand* r = direct_operand(cg, n->right, size)) {
        gen_value_as(cg, n->left, size);
        emit(cg, opcode, size, r);
        return;
    }
    bool commutative = opcode != OP_SUB && opcode != OP_CMP;
    if (commutative) {
        if (Operand* l = direct_operand(cg, n->left, size)) {
            gen_value_as(cg, n->right, size);
            emit(cg, opcode, size, l);
            return;
        }
    }
    gen_value_as(cg, n->right, size);
    push_reg(cg, size == 1 ? R_B : R_D, size);
    gen_value_as(cg, n->left, size);
    emit(cg, opcode, size, popped(cg));
    after_pop(cg, size);
}

// Both operands pushed, right first, for a runtime routine; the result
// comes back in the accumulator.
void gen_runtime_binary(CodeGen& cg, Node* n, int size, const std::string& name) {
    gen_value_as(cg, n->right, size);
    push_reg(cg, size == 1 ? R_B : R_D, size);
    gen_value_as(cg, n->left, size);
    push_reg(cg, size == 1 ? R_B : R_D, size);
    call_runtime(cg, name);
    release_stack(cg, 2 * size);
}

void gen_mul(CodeGen& cg, Node* n) {
    int size = value_size(n);
    bool u = is_unsigned_node(n);
    if (size == 1) {
        gen_value_as(cg, n->right, 1);
        push_reg(cg, R_B, 1);
        gen_value_as(cg, n->left, 1);
        pull_reg(cg, R_A, 1);
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
                emit(cg, OP_LOAD, size == 1 ? R_B : R_D, operand_imm(cg, 0));
                return;
            }
            c = width - 1;
        }
        gen_value_as(cg, n->left, size);
        if (size == 2 && c >= 8) {
            emit(cg, OP_EXG, P_AB);
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
    // more ends as 0 or its sign; its low byte in B is the result.
    gen_shift_count(cg, r);
    push_reg(cg, R_D, 2);
    gen_value_as(cg, n->left, 2);
    pull_reg(cg, R_X, 2);
    emit(cg, opcode, 2, operand_reg(cg, M_XREG, R_X), acc(cg, 2));
}

}  // namespace

// A comparison's branch by its condition and signedness.
int compare_branch(NodeKind k, bool is_unsigned) {
    switch (k) {
    case NodeKind::Eq: return OP_BEQ;
    case NodeKind::Ne: return OP_BNE;
    case NodeKind::Lt: return is_unsigned ? OP_BCS : OP_BLT;
    case NodeKind::Le: return is_unsigned ? OP_BLS : OP_BLE;
    case NodeKind::Gt: return is_unsigned ? OP_BHI : OP_BGT;
    default: return is_unsigned ? OP_BCC : OP_BGE;
    }
}

NodeKind negate_compare(NodeKind k) {
    switch (k) {
    case NodeKind::Eq: return NodeKind::Ne;
    case NodeKind::Ne: return NodeKind::Eq;
    case NodeKind::Lt: return NodeKind::Ge;
    case NodeKind::Le: return NodeKind::Gt;
    case NodeKind::Gt: return NodeKind::Le;
    default: return NodeKind::Lt;
    }
}

namespace {

// Whether computing the tree changes anything besides registers.
bool changes_state(const Node* n) {
    if (!n) return false;
    switch (n->kind) {
    case NodeKind::Call: case NodeKind::Assign: case NodeKind::AddAssign: case NodeKind::SubAssign:
    case NodeKind::MulAssign: case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::ShrAssign:
    case NodeKind::XorAssign: case NodeKind::ShlAssign: case NodeKind::AndAssign: case NodeKind::OrAssign:
    case NodeKind::PostInc: case NodeKind::PostDec: case NodeKind::BlockCopy:
        return true;
    default: return changes_state(n->left) || changes_state(n->right);
    }
}

}  // namespace

// A bit field is read and written through one address: one with side
// effects (p++->f, g()->f) is computed once into a frame slot and the
// field is reached through that.
Node* settled_field(CodeGen& cg, Node* f) {
    if (!changes_state(f->left)) return f;
    gen_value(cg, f->left);
    Operand* t = temp_alloc(cg, 2);
    cg.regs.statement_temps.push_back(t);
    int slot = int_value(t->value);
    store_value(cg, t, 2);
    Node* where = make_node(cg, NodeKind::FrameAddr, nullptr, nullptr, Kind::Pointer, 2);
    where->value = slot;
    Node* ptr = make_node(cg, NodeKind::Load, where, nullptr, Kind::Pointer, 2);
    Node* field = make_node(cg, NodeKind::BitValue, ptr, nullptr, f->type_kind, f->size);
    field->bit_width = f->bit_width;
    field->bit_offset = f->bit_offset;
    return field;
}

namespace {

bool is_compare(NodeKind k) {
    return k == NodeKind::Eq || k == NodeKind::Ne || k == NodeKind::Lt || k == NodeKind::Le ||
           k == NodeKind::Gt || k == NodeKind::Ge;
}

void gen_bool_value(CodeGen& cg, Node* n) {
    int f = new_label(cg), end = new_label(cg);
    gen_cond(cg, n, f, false);
    emit(cg, OP_LOAD, value_size(n) == 1 ? R_B : R_D, operand_imm(cg, 1));
    emit_branch(cg, OP_BRA, end);
    emit_label(cg, f);
    emit(cg, OP_LOAD, value_size(n) == 1 ? R_B : R_D, operand_imm(cg, 0));
    emit_label(cg, end);
}

// Source address pushed first, destination on top; D ends as the destination.
void gen_struct_copy(CodeGen& cg, int size) {
    pull_reg(cg, R_X, 2);
    pull_reg(cg, R_U, 2);
    push_reg(cg, R_X, 2);
    emit(cg, OP_BLOCKMOVE, size);
    pull_reg(cg, R_D, 2);
}

void gen_assign(CodeGen& cg, Node* n) {
    Node* l = n->left;
    if (is_struct_node(l) || is_struct_node(n)) {
        gen_value(cg, n->right);  // source address
        push_reg(cg, R_D, 2);
        gen_value(cg, l->left);   // destination address
        push_reg(cg, R_D, 2);
        gen_struct_copy(cg, l->size);
        return;
    }
    if (l->kind == NodeKind::BitValue) {
        int size = value_size(l);
        unsigned mask = (1u << l->bit_width) - 1;
        unsigned field = (mask << l->bit_offset) & (size == 1 ? 0xFF : 0xFFFF);
        gen_value_as(cg, n->right, size);
        emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(mask)));
        if (l->bit_offset) emit(cg, OP_ASL, size, operand_imm(cg, l->bit_offset), acc(cg, size));
        push_reg(cg, size == 1 ? R_B : R_D, size);
        Operand* dst = gen_addr(cg, l->left);
        load_value(cg, dst, size);
        emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(~field & (size == 1 ? 0xFF : 0xFFFF))));
        emit(cg, OP_OR, size, popped(cg));
        after_pop(cg, size);
        store_value(cg, dst, size);
        release(cg, dst);
        // the value of the assignment is the field's new value
        if (l->bit_offset) emit(cg, OP_LSR, size, operand_imm(cg, l->bit_offset), acc(cg, size));
        emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(l->bit_width >= 16 ? 0xFFFF : mask)));
        return;
    }
    int size = value_size(l);
    if (Operand* dst = simple_addr(cg, l->left)) {
        gen_value_as(cg, n->right, size);
        store_value(cg, dst, size);
        return;
    }
    if (Operand* src = direct_operand(cg, n->right, size)) {
        Operand* dst = gen_addr(cg, l->left);
        release(cg, legalize(cg, F_ACK, src, size));
        store_value(cg, dst, size);
        release(cg, dst);
        return;
    }
    gen_value_as(cg, n->right, size);
    push_reg(cg, size == 1 ? R_B : R_D, size);
    Operand* dst = gen_addr(cg, l->left);
    pull_reg(cg, size == 1 ? R_B : R_D, size);
    store_value(cg, dst, size);
    release(cg, dst);
}

}  // namespace

NodeKind binary_of(NodeKind k) {
    switch (k) {
    case NodeKind::AddAssign: return NodeKind::Add;
    case NodeKind::SubAssign: return NodeKind::Sub;
    case NodeKind::MulAssign: return NodeKind::Mul;
    case NodeKind::DivAssign: return NodeKind::Div;
    case NodeKind::ModAssign: return NodeKind::Mod;
    case NodeKind::ShrAssign: return NodeKind::Shr;
    case NodeKind::ShlAssign: return NodeKind::Shl;
    case NodeKind::XorAssign: return NodeKind::Xor;
    case NodeKind::AndAssign: return NodeKind::BitAnd;
    default: return NodeKind::BitOr;
    }
}

namespace {

// x op= y: a complex address is computed once and kept in a frame slot.
void gen_compound(CodeGen& cg, Node* n) {
    Node* l = n->left;
    if (value_size(l) > 2) {
        fault(cg, 4003, value_size(l));
        return;
    }
    if (l->kind == NodeKind::BitValue) {
        // read, operate and write back the field; the value is the field's new one
        l = settled_field(cg, l);
        Node* op = make_node(cg, binary_of(n->kind), l, n->right, l->type_kind, l->size);
        gen_assign(cg, make_node(cg, NodeKind::Assign, l, op, l->type_kind, l->size));
        gen_value(cg, l);
        return;
    }
    int size = value_size(l);
    Node* target = l;
    Operand* dst = simple_addr(cg, l->left);
    Operand* t = nullptr;
    if (!dst) {
        gen_value(cg, l->left);
        t = temp_alloc(cg, 2);
        int slot = int_value(t->value);
        store_value(cg, t, 2);
        Node* where = make_node(cg, NodeKind::FrameAddr, nullptr, nullptr, Kind::Pointer, 2);
        where->value = slot;
        Node* ptr = make_node(cg, NodeKind::Load, where, nullptr, Kind::Pointer, 2);
        target = make_node(cg, NodeKind::Load, ptr, nullptr, l->type_kind, l->size);
        dst = new_operand(cg, M_LOCIND);
        dst->value->value = slot;
    }
    Node* op = make_node(cg, binary_of(n->kind), target, n->right, l->type_kind, l->size);
    NodeKind b = op->kind;
    int rsize = value_size(n->right);
    bool division = b == NodeKind::Div || b == NodeKind::Mod;
    bool wide = rsize > 2 || (division && rsize >= size && n->right->type_kind != l->type_kind);
    if (wide && l->type_kind != Kind::Pointer && b != NodeKind::Shl && b != NodeKind::Shr) {
        // a wider right side (or an unsigned one dividing a signed object):
        // the operation runs in its type, the result is converted back to
        // the object's
        Kind k = n->right->type_kind;
        op->left = make_node(cg, NodeKind::Convert, target, nullptr, k, rsize);
        op->type_kind = k;
        op->size = rsize;
        op = make_node(cg, NodeKind::Convert, op, nullptr, l->type_kind, l->size);
    }
    gen_value(cg, op);
    store_value(cg, dst, size);
    temp_free(cg, t);
}

void gen_step(CodeGen& cg, Node* n) {
    Node* l = n->left;
    int size = value_size(l);
    if (size > 2) {
        fault(cg, 4002, size);
        return;
    }
    int step = n->right ? n->right->value : 1;
    bool up = n->kind == NodeKind::PostInc;
    if (l->kind == NodeKind::BitValue) {
        l = settled_field(cg, l);
        Node* k = int_node(cg, step);
        Node* op = make_node(cg, up ? NodeKind::Add : NodeKind::Sub, l, k, l->type_kind, l->size);
        gen_assign(cg, make_node(cg, NodeKind::Assign, l, op, l->type_kind, l->size));
        gen_value(cg, l);
        unsigned mask = l->bit_width >= 16 ? 0xFFFF : (1u << l->bit_width) - 1;
        emit(cg, up ? OP_SUB : OP_ADD, size, operand_imm(cg, size == 1 ? step & 0xFF : step & 0xFFFF));
        emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(mask)));
        return;
    }
    Operand* dst = gen_addr(cg, l->left);
    load_value(cg, dst, size);
    emit(cg, up ? OP_ADD : OP_SUB, size, operand_imm(cg, size == 1 ? step & 0xFF : step & 0xFFFF));
    store_value(cg, dst, size);
    release(cg, dst);
    emit(cg, up ? OP_SUB : OP_ADD, size, operand_imm(cg, size == 1 ? step & 0xFF : step & 0xFFFF));
}

void gen_call(CodeGen& cg, Node* n) {
    int pushed = 0;
    int result_slot = 0;
    bool struct_result = is_struct_node(n);
    if (struct_result) {
        // the result stays in its slot until the statement ends
        Operand* t = temp_alloc(cg, n->size);
        cg.regs.statement_temps.push_back(t);
        result_slot = int_value(t->value);
    }
    for (Node* p = n->right; p; p = p->right) {
        Node* a = p->left;
        if (is_struct_node(a)) {
            int size = a->size;
            Operand* from = ptr_in_x(cg, a);
            emit(cg, OP_LEAS, -size);
            emit(cg, OP_DEPTH, size);
            cg.depth += size;
            emit(cg, OP_ARGCOPY, size);
            release(cg, from);
            pushed += size;
            continue;
        }
        int size = value_size(a);
        if (size > 2) {
            gen_value(cg, a);
            push_reg(cg, R_D, 2);
            push_reg(cg, R_Y, 2);
            pushed += size;
            continue;
        }
        gen_value(cg, a);
        push_reg(cg, size == 1 ? R_B : R_D, size);
        pushed += size;
    }
    if (struct_result) {
        Operand* r = new_operand(cg, M_ADRLOC);
        r->value->value = result_slot;
        emit(cg, OP_LOAD, R_D, r);
        push_reg(cg, R_D, 2);
        pushed += 2;
    }
    Node* f = n->left;
    if (f->kind == NodeKind::NameAddr) {
        Operand* d = new_operand(cg, M_IMM);
        d->value = f;
        emit(cg, OP_JSR, 0, d);
    } else {
        Operand* x = value_in_ptr_reg(cg, f, R_X, false);
        emit(cg, OP_JSR, 0, operand_reg(cg, M_XREG, R_X));
        release(cg, x);
    }
    release_stack(cg, pushed);
    if (struct_result) {
        Operand* r = new_operand(cg, M_ADRLOC);
        r->value->value = result_slot;
        emit(cg, OP_LOAD, R_D, r);
    }
}

void gen_bitfield(CodeGen& cg, Node* n) {
    int size = value_size(n);
    release(cg, legalize(cg, F_ACK, gen_addr(cg, n->left), size));
    if (n->bit_offset) emit(cg, OP_LSR, size, operand_imm(cg, n->bit_offset), acc(cg, size));
    unsigned mask = n->bit_width >= 16 ? 0xFFFF : (1u << n->bit_width) - 1;
    emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(mask)));
}

void gen_conditional(CodeGen& cg, Node* n) {
    int f = new_label(cg), end = new_label(cg);
    gen_cond(cg, n->left, f, false);
    bool value = n->size > 0;
    int size = value ? value_size(n) : 0;
    if (value)
        gen_value_as(cg, n->right->left, size);
    else
        gen_effect(cg, n->right->left);
    emit_branch(cg, OP_BRA, end);
    emit_label(cg, f);
    if (value)
        gen_value_as(cg, n->right->right, size);
    else
        gen_effect(cg, n->right->right);
    emit_label(cg, end);
}

}  // namespace

int value_size(const Node* n) {
    if (n->type_kind == Kind::Char || n->type_kind == Kind::UChar) return 1;
    if (n->type_kind == Kind::Long || n->type_kind == Kind::ULong || n->type_kind == Kind::Float ||
        n->type_kind == Kind::Double)
        return 4;
    return 2;
}

bool is_unsigned_node(const Node* n) {
    return n->type_kind == Kind::UChar || n->type_kind == Kind::UShort || n->type_kind == Kind::Pointer ||
           n->type_kind == Kind::ULong;
}

void gen_effect(CodeGen& cg, Node* n) {
    if (!n) return;
    gen_value(cg, n);
}

void gen_value(CodeGen& cg, Node* n) {
    if (!n) return fault(cg, 4001, 0);
    if (value_size(n) > 2 && !is_struct_node(n) && gen_long(cg, n)) return;
    if (value_size(n) > 2 && !is_struct_node(n) && n->kind != NodeKind::Call && n->kind != NodeKind::Seq &&
        n->kind != NodeKind::BlockCopy && n->kind != NodeKind::Cond) {
        fault(cg, 4001, value_size(n));
        return;
    }
    switch (n->kind) {
    case NodeKind::IntConst:
    case NodeKind::SizeofObject:
        release(cg, legalize(cg, F_ACK, operand_imm(cg, value_size(n) == 1 ? n->value & 0xFF : n->value & 0xFFFF),
                             value_size(n)));
        return;
    case NodeKind::FrameAddr: {
        Operand* d = new_operand(cg, M_ADRLOC);
        d->value->value = n->value;
        release(cg, legalize(cg, F_ACK, d, 2));
        return;
    }
    case NodeKind::StaticAddr:
    case NodeKind::NameAddr: {
        Operand* d = new_operand(cg, M_ADRGLOB);
        d->value = n;
        release(cg, legalize(cg, F_ACK, d, 2));
        return;
    }
    case NodeKind::Load:
        if (is_struct_node(n)) return gen_value(cg, n->left);
        release(cg, legalize(cg, F_ACK, gen_addr(cg, n->left), value_size(n)));
        return;
    case NodeKind::BitValue: return gen_bitfield(cg, n);
    case NodeKind::StructAddr: return gen_value(cg, n->left);
    case NodeKind::Assign: return gen_assign(cg, n);
    case NodeKind::BlockCopy:
        gen_value(cg, n->left);
        push_reg(cg, R_D, 2);
        gen_value(cg, n->right);
        push_reg(cg, R_D, 2);
        return gen_struct_copy(cg, n->value);
    case NodeKind::AddAssign: case NodeKind::SubAssign: case NodeKind::MulAssign:
    case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::ShrAssign:
    case NodeKind::ShlAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign:
        return gen_compound(cg, n);
    case NodeKind::PostInc: case NodeKind::PostDec: return gen_step(cg, n);
    case NodeKind::Add: return gen_binop(cg, n, OP_ADD);
    case NodeKind::Sub: return gen_binop(cg, n, OP_SUB);
    case NodeKind::BitAnd: return gen_binop(cg, n, OP_AND);
    case NodeKind::BitOr: return gen_binop(cg, n, OP_OR);
    case NodeKind::Xor: return gen_binop(cg, n, OP_EOR);
    case NodeKind::Mul: return gen_mul(cg, n);
    case NodeKind::Div: return gen_divmod(cg, n, false);
    case NodeKind::Mod: return gen_divmod(cg, n, true);
    case NodeKind::Shl: case NodeKind::Shr: return gen_shift(cg, n);
    case NodeKind::Neg:
        gen_value_as(cg, n->left, value_size(n));
        emit(cg, OP_NEG, value_size(n), acc(cg, value_size(n)));
        return;
    case NodeKind::Compl:
        gen_value_as(cg, n->left, value_size(n));
        emit(cg, OP_COM, value_size(n), acc(cg, value_size(n)));
        return;
    case NodeKind::Not: case NodeKind::LogAnd: case NodeKind::LogOr:
    case NodeKind::Eq: case NodeKind::Ne: case NodeKind::Lt: case NodeKind::Le:
    case NodeKind::Gt: case NodeKind::Ge:
        return gen_bool_value(cg, n);
    case NodeKind::Cond: return gen_conditional(cg, n);
    case NodeKind::Seq:
        gen_effect(cg, n->left);
        return gen_value(cg, n->right);
    case NodeKind::Convert:
        if (value_size(n->left) > 2) return gen_narrow(cg, n);
        gen_value(cg, n->left);
        resize(cg, value_size(n->left), value_size(n), is_unsigned_node(n->left));
        return;
    case NodeKind::Call: {
        return gen_call(cg, n);
    }
    default: break;
    }
    fault(cg, 4001, value_size(n));
}

void gen_cond(CodeGen& cg, Node* n, int label, bool jump_if) {
    if (!n) {
        // no condition: always true
        if (jump_if) emit_branch(cg, OP_BRA, label);
        return;
    }
    if (is_compare(n->kind)) {
        Node* l = n->left;
        int size = value_size(l);
        if (size > 2 || value_size(n->right) > 2) return gen_long_cond(cg, n, label, jump_if);
        Node cmp = *n;
        cmp.type_kind = l->type_kind;
        gen_binop(cg, &cmp, OP_CMP);
        NodeKind k = jump_if ? n->kind : negate_compare(n->kind);
        emit_branch(cg, compare_branch(k, is_unsigned_node(l)), label);
        return;
    }
    switch (n->kind) {
    case NodeKind::Not: return gen_cond(cg, n->left, label, !jump_if);
    case NodeKind::LogAnd:
        if (jump_if) {
            int skip = new_label(cg);
            gen_cond(cg, n->left, skip, false);
            gen_cond(cg, n->right, label, true);
            emit_label(cg, skip);
        } else {
            gen_cond(cg, n->left, label, false);
            gen_cond(cg, n->right, label, false);
        }
        return;
    case NodeKind::LogOr:
        if (jump_if) {
            gen_cond(cg, n->left, label, true);
            gen_cond(cg, n->right, label, true);
        } else {
            int skip = new_label(cg);
            gen_cond(cg, n->left, skip, true);
            gen_cond(cg, n->right, label, false);
            emit_label(cg, skip);
        }
        return;
    case NodeKind::IntConst:
        if ((n->value != 0) == jump_if) emit_branch(cg, OP_BRA, label);
        return;
    case NodeKind::Seq:
        gen_effect(cg, n->left);
        return gen_cond(cg, n->right, label, jump_if);
    default: break;
    }
    int size = value_size(n);
    if (size > 2) return gen_long_cond(cg, n, label, jump_if);
    gen_value(cg, n);
    emit(cg, OP_TST, size, acc(cg, size));
    emit_branch(cg, jump_if ? OP_BNE : OP_BEQ, label);
}

}  // namespace zun::tcx
