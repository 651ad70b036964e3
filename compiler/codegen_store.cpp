// SPDX-License-Identifier: MIT
// Stores of 8- and 16-bit values and structures: assignments, the
// assignment operators and the postfix steps, each in the shortest form
// its object and right side allow; multiplying and dividing in place go
// to the runtime routines.
#include "compiler/codegen.h"

namespace zun::tcx {

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
    field->is_volatile = f->is_volatile;
    return field;
}

// The address of a structure into U (the source of a block move).
void address_into_u(CodeGen& cg, Node* a, Operand*& u) {
    a = bare(a);
    u = hold(cg, R_U);
    u->mode = M_UREG;
    if (a->kind == NodeKind::FrameAddr) {
        Operand* d = new_operand(cg, M_LOC);
        d->value->value = a->value;
        emit(cg, OP_LEA, R_U, d);
    } else if (is_address_constant(a)) {
        Operand* d = new_operand(cg, M_IMM);
        d->value = a;
        emit(cg, OP_LOAD, R_U, d);
    } else if (is_pointer_variable(a)) {
        emit(cg, OP_LOAD, R_U, simple_addr(cg, a->left));
    } else {
        fault(cg, 2001, 4);
    }
}

namespace {

bool u_loadable(Node* a) {
    a = bare(a);
    return a->kind == NodeKind::FrameAddr || is_address_constant(a) || is_pointer_variable(a);
}

// dest = src for structures and unions: the destination address in X, the
// source address in U, the block move; D is the destination's address
// when the value is wanted.
void gen_struct_assign(CodeGen& cg, Node* dest, Node* src, int size, bool want) {
    Node* s = bare(src);
    if (s->kind == NodeKind::Call) {
        // the call writes its result straight into the destination
        gen_call(cg, s, dest);
        if (!want) return;
        gen_value(cg, dest);
        return;
    }
    Node* from = s->kind == NodeKind::Load ? s->left : s;
    Operand* u = nullptr;
    Operand* t = nullptr;
    if (!u_loadable(from)) {
        gen_value(cg, from);
        t = save_acc(cg, 2);
    }
    Operand* x = pointer_into_x(cg, dest);
    x->mode = M_XREG;
    if (t) {
        u = hold(cg, R_U);
        u->mode = M_UREG;
        restore_into(cg, t, R_U, 2);
    } else {
        address_into_u(cg, from, u);
    }
    if (want) push_reg(cg, R_X, 2);
    emit(cg, OP_BLOCKMOVE, size);
    release(cg, u);
    release(cg, x);
    if (want) pull_reg(cg, R_D, 2);
}

// An operand that needs no code at all: a constant or an object in memory
// addressed without a register.
bool free_operand(Node* n, int size) { return plain(n, size, false, false); }

// *d++ = *s++: both pointers in registers, X for the destination, U for the source.
bool gen_walk_copy(CodeGen& cg, Node* l, Node* r, int size) {
    if (size > 2 || r->kind != NodeKind::Load || !is_walk(l->left, size) || !is_walk(r->left, size)) return false;
    Node* dw = bare(l->left);
    Node* sw = bare(r->left);
    Operand* dorigin = simple_addr(cg, dw->left->left);
    Operand* sorigin = simple_addr(cg, sw->left->left);
    Operand* x = hold(cg, R_X);
    emit(cg, OP_LOAD, R_X, dorigin);
    Operand* u = hold(cg, R_U);
    emit(cg, OP_LOAD, R_U, sorigin);
    x->mode = u->mode = M_PROC;
    x->reg = R_X;
    u->reg = R_U;
    x->step = dw->kind == NodeKind::PostInc ? 1 : -1;
    u->step = sw->kind == NodeKind::PostInc ? 1 : -1;
    x->origin = dorigin;
    u->origin = sorigin;
    load_value(cg, u, size);
    store_value(cg, x, size);
    release_object(cg, u);
    release_object(cg, x);
    return true;
}

}  // namespace

// dest = value; the value stays in the accumulator.
void gen_assign(CodeGen& cg, Node* n, bool want) {
    Node* l = n->left;
    if (is_struct_node(l) || is_struct_node(n)) return gen_struct_assign(cg, l->left, n->right, l->size, want);
    if (l->kind == NodeKind::BitValue) return gen_bitfield_store(cg, l, n->right, want);
    int size = value_size(l);
    Node* r = n->right;
    if (gen_walk_copy(cg, l, r, size)) return;
    if (size == 2 && bare(r)->kind == NodeKind::FrameAddr) {
        // the address of a local: LEAX into X and stored from there, or
        // formed in D when X reaches the destination
        Operand* dst = object_at(cg, l->left, size, true);
        if (!uses_x(dst) && dst->mode != M_DXACK) {
            Operand* x = hold(cg, R_X);
            Operand* at = new_operand(cg, M_LOC);
            at->value->value = bare(r)->value;
            emit(cg, OP_LEA, R_X, at);
            emit(cg, OP_STORE, R_X, dst);
            if (want) emit(cg, OP_TFR, P_XD);
            release(cg, x);
        } else {
            dst = stable(cg, dst);
            gen_value(cg, r);
            store_value(cg, dst, size);
        }
        release_object(cg, dst);
        return;
    }
    if (is_simple_address(l->left) || is_pointer_variable(l->left)) {
        // no code reaches the destination: the value, then the store
        Operand* dst = object_no_walk(cg, l->left, size);
        if (!want && size == 1 && r->kind == NodeKind::IntConst && (r->value & 0xFF) == 0) {
            emit(cg, OP_CLR, 1, dst);
            return;
        }
        gen_value_as(cg, r, size);
        store_value(cg, dst, size);
        return;
    }
    if (free_operand(r, size)) {
        // a simple value: the destination first, then the value
        Operand* dst = object_at(cg, l->left, size, true);
        if (!want && size == 1 && r->kind == NodeKind::IntConst && (r->value & 0xFF) == 0) {
            emit(cg, OP_CLR, 1, dst);
        } else {
            dst = stable(cg, dst);
            Operand* v = plain_operand(cg, r, size, false);
            load_value(cg, v, size);
            store_value(cg, dst, size);
        }
        release_object(cg, dst);
        return;
    }
    gen_value_as(cg, r, size);
    if (addressable_without_d(l->left, size, true)) {
        Operand* dst = object_at(cg, l->left, size, true);
        store_value(cg, dst, size);
        release_object(cg, dst);
        return;
    }
    // the destination takes D to compute: the value waits in a temporary
    Operand* t = save_acc(cg, size);
    Operand* dst = stable(cg, object_at(cg, l->left, size, false));
    restore_into(cg, t, acc_reg(size), size);
    store_value(cg, dst, size);
    release_object(cg, dst);
}

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

// The destination of an assignment operator and, when the right side
// would disturb the X that reaches it, the right side's value computed
// first into a temporary (returned).
Operand* compound_dest(CodeGen& cg, Node* l, Node* r, int size, Operand*& early) {
    early = nullptr;
    bool needs_x = !(is_simple_address(l->left) || is_pointer_variable(l->left));
    if (needs_x && r && r->kind != NodeKind::IntConst && clobbers_x(r)) {
        gen_value_as(cg, r, size);
        early = save_acc(cg, size);
    }
    return stable(cg, object_no_walk(cg, l->left, size));
}

// The right side into the accumulator: from the temporary it waited in, or now.
void compound_value(CodeGen& cg, Node* r, int size, Operand* early) {
    if (early) return restore_into(cg, early, acc_reg(size), size);
    gen_value_as(cg, r, size);
}

// x += n and x -= n with a constant n.
void gen_constant_step(CodeGen& cg, Node* l, bool up, int32_t n, bool want) {
    int size = value_size(l);
    Operand* early = nullptr;
    Operand* dst = compound_dest(cg, l, nullptr, size, early);
    if (size == 1) {
        // INC and DEC each read and write the byte: a volatile one takes one
        if (!want && n >= 0 && n <= 4 && (n == 1 || !l->is_volatile)) {
            for (int i = 0; i < n; ++i) emit(cg, up ? OP_INC : OP_DEC, 1, dst);
        } else {
            emit(cg, OP_LOAD, R_B, dst);
            if (n >= 0 && n <= 2) {
                for (int i = 0; i < n; ++i) emit(cg, up ? OP_INC : OP_DEC, 1, acc(cg, 1));
            } else {
                emit(cg, up ? OP_ADD : OP_SUB, 1, operand_imm(cg, n & 0xFF));
            }
            emit(cg, OP_STORE, R_B, dst);
        }
    } else if (!want && n >= 0 && n <= 4 && !uses_x(dst)) {
        Operand* x = hold(cg, R_X);
        emit(cg, OP_LOAD, R_X, dst);
        for (int i = 0; i < n; ++i) emit(cg, up ? OP_INCX : OP_DECX);
        emit(cg, OP_STORE, R_X, dst);
        release(cg, x);
    } else {
        emit(cg, OP_LOAD, R_D, dst);
        emit(cg, up ? OP_ADD : OP_SUB, 2, operand_imm(cg, n & 0xFFFF));
        emit(cg, OP_STORE, R_D, dst);
    }
    release_object(cg, dst);
}

// x op= y for 8-bit objects, by the operation.
void gen_compound8(CodeGen& cg, Node* n, NodeKind b, bool want) {
    Node* l = n->left;
    Node* r = n->right;
    bool u = l->type_kind == Kind::UChar;
    Operand* early = nullptr;
    Operand* dst = compound_dest(cg, l, r, 1, early);
    compound_value(cg, r, 1, early);
    switch (b) {
    case NodeKind::Add: case NodeKind::BitAnd: case NodeKind::BitOr: case NodeKind::Xor:
        emit(cg, b == NodeKind::Add ? OP_ADD : b == NodeKind::BitAnd ? OP_AND : b == NodeKind::BitOr ? OP_OR : OP_EOR,
             1, dst);
        emit(cg, OP_STORE, R_B, dst);
        break;
    case NodeKind::Sub:
        emit(cg, OP_LOAD, R_A, dst);
        emit(cg, OP_RSUB, 1);
        if (want) {
            emit(cg, OP_TFR, P_AB);
            emit(cg, OP_STORE, R_B, dst);
        } else {
            emit(cg, OP_STORE, R_A, dst);
        }
        break;
    case NodeKind::Mul:
        emit(cg, OP_LOAD, R_A, dst);
        if (u)
            emit(cg, OP_MUL);
        else
            call_runtime(cg, ".muls8");
        emit(cg, OP_STORE, R_B, dst);
        break;
    default: {  // division and remainder
        emit(cg, OP_LOAD, R_A, dst);
        emit(cg, OP_PUSHREG, R_B);
        emit(cg, OP_PUSHREG, R_A);
        bool mod = b == NodeKind::Mod;
        call_runtime(cg, std::string(".") + (mod ? "mod" : "div") + (u ? "u8" : "s8"));
        emit(cg, OP_LEAS, 2);
        emit(cg, OP_STORE, R_B, dst);
        break;
    }
    }
    release_object(cg, dst);
}

// x op= y for 16-bit objects and pointers, by the operation.
void gen_compound16(CodeGen& cg, Node* n, NodeKind b) {
    Node* l = n->left;
    Node* r = n->right;
    bool u = l->type_kind != Kind::Short;
    Operand* early = nullptr;
    Operand* dst = compound_dest(cg, l, r, 2, early);
    MulPlan plan;
    if (b == NodeKind::Mul && r->kind == NodeKind::IntConst) plan = mul_plan(static_cast<uint16_t>(r->value));
    if (!plan.steps.empty()) {
        // a constant of few bits: shifts and additions on the object's value
        emit(cg, OP_LOAD, R_D, dst);
        mul_d_by_plan(cg, l, plan);
        emit(cg, OP_STORE, R_D, dst);
        release_object(cg, dst);
        return;
    }
    compound_value(cg, r, 2, early);
    switch (b) {
    case NodeKind::Add: case NodeKind::BitAnd: case NodeKind::BitOr: case NodeKind::Xor: {
        int op = b == NodeKind::Add ? OP_ADD : b == NodeKind::BitAnd ? OP_AND : b == NodeKind::BitOr ? OP_OR : OP_EOR;
        dst = splittable(cg, dst, op, 2);
        emit(cg, op, 2, dst);
        break;
    }
    case NodeKind::Sub:
        push_reg(cg, R_D, 2);
        emit(cg, OP_LOAD, R_D, dst);
        emit(cg, OP_RSUB, 2);
        after_pop(cg, 2);
        break;
    default: {  // multiplication, division and remainder by routine
        const char* name = b == NodeKind::Mul ? (u ? ".mulu16" : ".muls16")
                           : b == NodeKind::Div ? (u ? ".divu16" : ".divs16")
                                                : (u ? ".modu16" : ".mods16");
        if (uses_x(dst)) {
            // X addresses the object: its value goes through D
            emit(cg, OP_PUSHREG, R_D);
            emit(cg, OP_LOAD, R_D, dst);
            emit(cg, OP_PUSHREG, R_D);
        } else {
            Operand* x = hold(cg, R_X);
            emit(cg, OP_LOAD, R_X, dst);
            emit(cg, OP_PUSHREG, R_D);
            emit(cg, OP_PUSHREG, R_X);
            release(cg, x);
        }
        call_runtime(cg, name);
        emit(cg, OP_LEAS, 4);
        break;
    }
    }
    emit(cg, OP_STORE, R_D, dst);
    release_object(cg, dst);
}

// x <<= n and x >>= n on a byte in memory by a constant count of 1 to 7.
void gen_shift8_in_place(CodeGen& cg, Node* l, int opcode, int count) {
    Operand* early = nullptr;
    Operand* dst = compound_dest(cg, l, nullptr, 1, early);
    emit(cg, OP_SHIFTMEM8, opcode, operand_imm(cg, count), dst);
    release_object(cg, dst);
}

}  // namespace

// x op= y: a complex address is computed once; the operation follows the
// object's size and the form of the right side.
void gen_compound(CodeGen& cg, Node* n, bool want) {
    Node* l = n->left;
    if (value_size(l) > 2) {
        fault(cg, 4003, value_size(l));
        return;
    }
    if (l->kind == NodeKind::BitValue)
        return gen_opassign_bitfield(cg, settled_field(cg, l), binary_of(n->kind), n->right, want);
    int size = value_size(l);
    NodeKind b = binary_of(n->kind);
    Node* r = n->right;
    int rsize = value_size(r);
    bool division = b == NodeKind::Div || b == NodeKind::Mod;
    bool wide = rsize > 2 || (division && rsize >= size && r->type_kind != l->type_kind) ||
                (rsize != size && b != NodeKind::Shl && b != NodeKind::Shr);
    bool shift = b == NodeKind::Shl || b == NodeKind::Shr;
    if (!wide && (b == NodeKind::Add || b == NodeKind::Sub) && r->kind == NodeKind::IntConst) {
        int32_t v = size == 1 ? static_cast<int8_t>(r->value) : static_cast<int16_t>(r->value);
        return gen_constant_step(cg, l, b == NodeKind::Add, v, want);
    }
    if (!wide && !shift && size == 1) return gen_compound8(cg, n, b, want);
    if (!wide && !shift && size == 2 && (b != NodeKind::Mul || r->type_kind == l->type_kind))
        return gen_compound16(cg, n, b);
    // each shift in place reads and writes the byte: a volatile one takes one
    if (shift && size == 1 && r->kind == NodeKind::IntConst && r->value >= 0 && r->value <= 7 && !want &&
        (r->value == 1 || !l->is_volatile)) {
        bool u = l->type_kind == Kind::UChar;
        int opcode = b == NodeKind::Shl ? OP_ASL : u ? OP_LSR : OP_ASR;
        if (r->value > 0) gen_shift8_in_place(cg, l, opcode, r->value);
        return;
    }
    // Otherwise the operation runs in a wider type or shifts by a count:
    // computed as l op r into the accumulator and stored back.
    Node* target = l;
    Operand* dst = simple_addr(cg, l->left);
    if (!dst && is_pointer_variable(l->left)) dst = object_no_walk(cg, l->left, size);
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
        target->is_volatile = l->is_volatile;
        dst = new_operand(cg, M_LOCIND);
        dst->value->value = slot;
    }
    Node* op = make_node(cg, b, target, r, l->type_kind, l->size);
    if (wide && l->type_kind != Kind::Pointer && !shift) {
        // a wider right side (or an unsigned one dividing a signed object):
        // the operation runs in its type, the result is converted back to
        // the object's
        Kind k = r->type_kind;
        op->left = make_node(cg, NodeKind::Convert, target, nullptr, k, rsize);
        op->type_kind = k;
        op->size = rsize;
        op = make_node(cg, NodeKind::Convert, op, nullptr, l->type_kind, l->size);
    }
    gen_value(cg, op);
    store_value(cg, dst, size);
    temp_free(cg, t);
}

// x++ and x--: the old value is the result when it is wanted.
void gen_step(CodeGen& cg, Node* n, bool want) {
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
        gen_opassign_bitfield(cg, l, up ? NodeKind::Add : NodeKind::Sub, int_node(cg, step), want);
        if (!want) return;
        // the field's old value: the step taken back, within the field
        unsigned mask = l->bit_width >= 16 ? 0xFFFF : (1u << l->bit_width) - 1;
        emit(cg, up ? OP_SUB : OP_ADD, size, operand_imm(cg, size == 1 ? step & 0xFF : step & 0xFFFF));
        emit(cg, OP_AND, size, operand_imm(cg, static_cast<int32_t>(mask)));
        return;
    }
    Operand* dst = stable(cg, object_no_walk(cg, l->left, size));
    if (size == 1 && want && l->is_volatile) {
        // a volatile byte is read once: stepped in B and stored, the old
        // value then taken back
        emit(cg, OP_LOAD, R_B, dst);
        for (int i = 0; i < (step & 0xFF); ++i) emit(cg, up ? OP_INC : OP_DEC, 1, acc(cg, 1));
        emit(cg, OP_STORE, R_B, dst);
        for (int i = 0; i < (step & 0xFF); ++i) emit(cg, up ? OP_DEC : OP_INC, 1, acc(cg, 1));
        release_object(cg, dst);
        return;
    }
    if (size == 1) {
        if (want) emit(cg, OP_LOAD, R_B, dst);
        for (int i = 0; i < (step & 0xFF); ++i) emit(cg, up ? OP_INC : OP_DEC, 1, dst);
        release_object(cg, dst);
        return;
    }
    // the pointer register P: X, or Y while X reaches the object
    int p = uses_x(dst) ? R_Y : R_X;
    Operand* ph = hold(cg, p);
    emit(cg, OP_LOAD, p, dst);
    if (want) emit(cg, OP_TFR, p == R_X ? P_XD : P_YD);
    int s = step & 0xFFFF;
    if (s == 1 || s == 2) {
        for (int i = 0; i < s; ++i) emit(cg, p == R_X ? (up ? OP_INCX : OP_DECX) : (up ? OP_INCY : OP_DECY));
    } else if (s != 0) {
        int32_t by = static_cast<int16_t>(up ? s : -s);
        emit(cg, p == R_X ? OP_ADJX : OP_ADJY, 0, operand_imm(cg, by));
    }
    emit(cg, OP_STORE, p, dst);
    release(cg, ph);
    release_object(cg, dst);
}

}  // namespace zun::tcx
