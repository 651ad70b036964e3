// SPDX-License-Identifier: MIT
// Where an 8- or 16-bit object is and how it is reached: without code (a
// global, a local, [n,S] through a local pointer, [name,PCR] through a
// global one) or through X (n,X, D,X for a pointer plus an index, ,X+ for
// a walking pointer); its loads into B or D, and the stack temporaries a
// partial result waits in.
#include "compiler/codegen.h"

namespace zun::tcx {

void fault(CodeGen& cg, int code, int size) { emit_fault(cg, code, nullptr, size); }

bool is_struct_node(const Node* n) {
    return n->type_kind == Kind::Struct || n->type_kind == Kind::Union;
}

namespace {

bool is_integer_kind(Kind k) {
    return k == Kind::Char || k == Kind::UChar || k == Kind::Short || k == Kind::UShort;
}

bool is_word_kind(Kind k) { return k == Kind::Short || k == Kind::UShort || k == Kind::Pointer; }

Node* offset_constant(CodeGen& cg, Node* base, int32_t c) {
    if (c == 0) return base;
    Node* k = int_node(cg, c < 0 ? -c : c);
    return make_node(cg, c < 0 ? NodeKind::Sub : NodeKind::Add, base, k, Kind::Pointer, 2);
}

}  // namespace

// A pointer tree without the wrappers that change nothing in its bits:
// structure addresses and conversions between 16-bit kinds.
Node* bare(Node* n) {
    while (n) {
        if (n->kind == NodeKind::StructAddr && n->left) {
            n = n->left;
        } else if (n->kind == NodeKind::Convert && n->left && is_word_kind(n->type_kind) &&
                   is_word_kind(n->left->type_kind)) {
            n = n->left;
        } else {
            break;
        }
    }
    return n;
}

bool is_address_constant(const Node* n) {
    return n->kind == NodeKind::NameAddr || n->kind == NodeKind::StaticAddr || n->kind == NodeKind::IntConst;
}

namespace {

// The constant of a pointer plus or minus an integer constant, and the pointer.
bool constant_offset(Node* a, Node*& base, int32_t& c) {
    if (a->kind == NodeKind::Add && a->right && a->right->kind == NodeKind::IntConst) {
        base = a->left;
        c = a->right->value;
        return true;
    }
    if (a->kind == NodeKind::Add && a->left && a->left->kind == NodeKind::IntConst) {
        base = a->right;
        c = a->left->value;
        return true;
    }
    if (a->kind == NodeKind::Sub && a->right && a->right->kind == NodeKind::IntConst) {
        base = a->left;
        c = -a->right->value;
        return true;
    }
    return false;
}

// An integer made a pointer's index: the side of a sum that is not the pointer.
bool is_index(const Node* n) {
    if (n->kind == NodeKind::IntConst) return false;
    if (n->kind == NodeKind::Convert && n->left && is_integer_kind(n->left->type_kind)) return true;
    return is_integer_kind(n->type_kind);
}

// A pointer plus a computed index: the pointer and the index.
bool split_index(Node* a, Node*& base, Node*& index) {
    if (a->kind != NodeKind::Add || !a->left || !a->right) return false;
    if (is_index(a->left) && !is_index(a->right)) {
        index = a->left;
        base = a->right;
        return true;
    }
    if (is_index(a->right) && !is_index(a->left)) {
        index = a->right;
        base = a->left;
        return true;
    }
    return false;
}

}  // namespace

bool is_simple_address(Node* a) {
    a = bare(a);
    if (!a) return false;
    switch (a->kind) {
    case NodeKind::FrameAddr: case NodeKind::StaticAddr: case NodeKind::NameAddr: case NodeKind::IntConst:
        return true;
    default: break;
    }
    Node* base = nullptr;
    int32_t c = 0;
    return constant_offset(a, base, c) && is_simple_address(base);
}

// A pointer variable: a 16-bit object at a simple address that is not an
// absolute one, so that [n,S] or [name,PCR] reaches what it points to.
bool is_pointer_variable(Node* p) {
    p = bare(p);
    if (!p || p->kind != NodeKind::Load || value_size(p) != 2 || is_struct_node(p)) return false;
    Node* a = bare(p->left);
    return a && (a->kind == NodeKind::FrameAddr || a->kind == NodeKind::StaticAddr || a->kind == NodeKind::NameAddr);
}

// *p++ or *p-- over a pointer variable whose step is the object's size: the
// walking forms ,X+ ,X++ (or the access at ,X and a step back).
bool is_walk(Node* a, int size) {
    a = bare(a);
    if (!a || (a->kind != NodeKind::PostInc && a->kind != NodeKind::PostDec)) return false;
    if (!a->right || a->right->kind != NodeKind::IntConst || a->right->value != size) return false;
    if (size != 1 && size != 2 && size != 4) return false;
    return is_pointer_variable(a->left);
}

// The object at address a reached with X alone: D keeps its value.
bool addressable_without_d(Node* a, int size, bool walk) {
    a = bare(a);
    if (!a) return false;
    if (is_simple_address(a) || is_pointer_variable(a)) return true;
    if (walk && is_walk(a, size)) return true;
    Node* base = nullptr;
    int32_t c = 0;
    if (constant_offset(a, base, c)) return x_only(base);
    return x_only(a);
}

// A pointer value that X can take without D: an address constant, the
// address of a local, a pointer object reached without D, and those plus
// a constant.
bool x_only(Node* p) {
    p = bare(p);
    if (!p) return false;
    switch (p->kind) {
    case NodeKind::IntConst: case NodeKind::NameAddr: case NodeKind::StaticAddr: case NodeKind::FrameAddr:
        return true;
    case NodeKind::Load: return value_size(p) == 2 && !is_struct_node(p) && addressable_without_d(p->left, 2, false);
    default: break;
    }
    Node* base = nullptr;
    int32_t c = 0;
    return constant_offset(p, base, c) && x_only(base);
}

Operand* hold(CodeGen& cg, int reg) {
    Operand* r = alloc_reg(cg, reg);
    r->reg = static_cast<uint8_t>(reg);
    return r;
}

namespace {

// The X holder as the operand of the object at offset c from X.
Operand* x_object(CodeGen& cg, Operand* x, int32_t c) {
    x->mode = M_XACK;
    x->reg = R_X;
    x->value = int_node(cg, static_cast<int16_t>(c));
    return x;
}

// A value that waits while another is computed goes to a stack temporary.
// A function without a frame pushes it instead: a temporary would give it
// a frame, taken at entry and given back at exit on every call.
bool has_frame(const CodeGen& cg) {
    return cg.regs.locals > 0 || cg.regs.temp_bytes > 0 || (cg.fn && (cg.fn->struct_result || cg.fn->uses_asm));
}

}  // namespace

Operand* save_reg(CodeGen& cg, int reg, int size) {
    if (!has_frame(cg)) {
        push_reg(cg, reg, size);
        Operand* d = new_operand(cg, M_TOS);
        d->step = 1;
        return d;
    }
    Operand* t = temp_alloc(cg, size);
    emit(cg, OP_STORE, reg, t);
    return t;
}

// The saved value back into a register.
void restore_into(CodeGen& cg, Operand* t, int reg, int size) {
    if (t->mode == M_TOS) return pull_reg(cg, reg, size);
    emit(cg, OP_LOAD, reg, t);
    temp_free(cg, t);
}

Operand* save_acc(CodeGen& cg, int size) { return save_reg(cg, size == 1 ? R_B : R_D, size); }

// The saved value as the operand of an operation on the accumulator.
void apply_saved(CodeGen& cg, int opcode, int size, Operand* t) {
    emit(cg, opcode, size, t);
    if (t->mode == M_TOS)
        after_pop(cg, size);
    else
        temp_free(cg, t);
}

// Emits the load of pointer p into X (x_only(p) holds).
void x_load(CodeGen& cg, Node* p, int32_t extra) {
    p = bare(p);
    switch (p->kind) {
    case NodeKind::IntConst: {
        emit(cg, OP_LOAD, R_X, operand_imm(cg, static_cast<uint16_t>(p->value + extra)));
        return;
    }
    case NodeKind::NameAddr: case NodeKind::StaticAddr: {
        Operand* d = new_operand(cg, M_IMM);
        d->value = offset_constant(cg, p, extra);
        emit(cg, OP_LOAD, R_X, d);
        return;
    }
    case NodeKind::FrameAddr: {
        Operand* d = new_operand(cg, M_LOC);
        d->value->value = p->value + extra;
        emit(cg, OP_LEA, R_X, d);
        return;
    }
    case NodeKind::Load: {
        // X takes the pointer where it lies: in memory, through a pointer
        // variable, or at an offset from a pointer that X takes first
        Node* a = bare(p->left);
        Node* base = nullptr;
        int32_t c = 0;
        Operand* from = nullptr;
        if (Operand* d = simple_addr(cg, a)) {
            from = d;
        } else if (is_pointer_variable(a)) {
            from = simple_addr(cg, a->left);
            from->mode = from->mode == M_LOC ? M_LOCIND : M_GLOBIND;
        } else {
            if (!constant_offset(a, base, c)) base = a, c = 0;
            x_load(cg, base);
            from = new_operand(cg, M_XACK);
            from->reg = R_X;
            from->sequence = -1;
            from->value->value = static_cast<int16_t>(c);
        }
        emit(cg, OP_LOAD, R_X, from);
        if (extra) emit(cg, OP_LEAXC, 0, operand_imm(cg, extra));
        return;
    }
    default: break;
    }
    Node* base = nullptr;
    int32_t c = 0;
    if (constant_offset(p, base, c)) return x_load(cg, base, extra + c);
    fault(cg, 120, 2);
}

// The operand of the object at address a when no code is needed to reach it.
Operand* simple_addr(CodeGen& cg, Node* a, int32_t extra) {
    a = bare(a);
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

// The pointer p into X; the X holder is returned.
Operand* pointer_into_x(CodeGen& cg, Node* p) {
    if (x_only(p)) {
        Operand* x = hold(cg, R_X);
        x_load(cg, p);
        return x;
    }
    gen_value(cg, p);
    Operand* x = hold(cg, R_X);
    emit(cg, OP_TFR, P_DX);
    return x;
}

// The object at address a, size bytes; with walk, *p++ over a pointer
// variable becomes the walking form, whose pointer goes back when the
// operand is released (release_object).
Operand* object_at(CodeGen& cg, Node* a, int size, bool walk) {
    if (!a) {
        fault(cg, 4002, 2);
        Operand* d = new_operand(cg, M_XACK);
        d->sequence = -1;
        return d;
    }
    if (Operand* d = simple_addr(cg, a)) return d;
    a = bare(a);
    if (is_pointer_variable(a)) {
        Operand* d = simple_addr(cg, a->left);
        d->mode = d->mode == M_LOC ? M_LOCIND : M_GLOBIND;
        return d;
    }
    // a long read backwards would take its high word at ,X and then its low
    // word at ,X again: only forward walks read longs
    if (walk && is_walk(a, size) && !(size == 4 && a->kind == NodeKind::PostDec)) {
        Operand* origin = simple_addr(cg, a->left->left);
        Operand* x = hold(cg, R_X);
        emit(cg, OP_LOAD, R_X, origin);
        x->mode = M_PROC;
        x->reg = R_X;
        x->step = a->kind == NodeKind::PostInc ? 1 : -1;
        x->origin = origin;
        return x;
    }
    Node* base = nullptr;
    int32_t c = 0;
    if (constant_offset(a, base, c)) return x_object(cg, pointer_into_x(cg, base), c);
    Node* index = nullptr;
    if (split_index(a, base, index)) {
        Operand* x = nullptr;
        if (x_only(base)) {
            gen_value(cg, index);
            x = hold(cg, R_X);
            x_load(cg, base);
        } else {
            gen_value(cg, base);
            Operand* t = save_acc(cg, 2);
            gen_value(cg, index);
            x = hold(cg, R_X);
            restore_into(cg, t, R_X, 2);
        }
        Operand* d = new_operand(cg, M_DXACK);
        d->base = x;
        d->second = new_operand(cg, M_ACK);  // D is the generator's own, not the model's
        d->second->sequence = -1;
        d->sequence = x->sequence;
        return d;
    }
    return x_object(cg, pointer_into_x(cg, a), 0);
}

Operand* object_no_walk(CodeGen& cg, Node* a, int size) { return object_at(cg, a, size, false); }

// Done with an object operand: a walking pointer is stored back, X is free.
void release_object(CodeGen& cg, Operand* o) {
    if (!o) return;
    if (o->mode == M_PROC && o->sequence >= 0) emit(cg, OP_STORE, o->reg, o->origin);
    if (o->mode == M_DXACK) {
        release(cg, o->base);
        o->sequence = -1;
        return;
    }
    release(cg, o);
}

bool uses_x(const Operand* o) {
    return o && (o->mode == M_XACK || o->mode == M_IXACK || o->mode == M_XREG || o->mode == M_DXACK ||
                 o->mode == M_IDXACK || (o->mode == M_PROC && o->reg == R_X));
}

// An object at D,X whose D is needed for a value: its address goes into X.
Operand* stable(CodeGen& cg, Operand* o) {
    if (!o || o->mode != M_DXACK) return o;
    Operand* sum = copy_operand(cg, o);
    sum->mode = M_ADXACK;
    emit(cg, OP_LEA, R_X, sum);
    Operand* x = o->base;
    o->sequence = -1;
    return x_object(cg, x, 0);
}

Operand* through_x(CodeGen& cg, Operand* o) {
    if (!o || (o->mode != M_LOCIND && o->mode != M_GLOBIND)) return o;
    Operand* x = hold(cg, R_X);
    emit(cg, OP_LEA, R_X, o);
    return x_object(cg, x, 0);
}

// A 16-bit AND, OR or EOR goes byte by byte (ANDA o, ANDB o+1).
Operand* splittable(CodeGen& cg, Operand* o, int opcode, int size) {
    if (size != 2 || (opcode != OP_AND && opcode != OP_OR && opcode != OP_EOR)) return o;
    if (o->mode == M_DXACK) return stable(cg, o);
    return through_x(cg, o);
}

// Whether computing the tree may change X (calls, objects reached through
// it, shift loops); the runtime routines keep X.
bool clobbers_x(const Node* n) {
    if (!n) return false;
    switch (n->kind) {
    case NodeKind::IntConst: case NodeKind::FloatConst: case NodeKind::StaticAddr:
    case NodeKind::NameAddr: case NodeKind::FrameAddr: case NodeKind::SizeofObject:
        return false;
    case NodeKind::Call: case NodeKind::BlockCopy: case NodeKind::Assign: case NodeKind::AddAssign:
    case NodeKind::SubAssign: case NodeKind::MulAssign: case NodeKind::DivAssign: case NodeKind::ModAssign:
    case NodeKind::ShrAssign: case NodeKind::ShlAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign: case NodeKind::PostInc: case NodeKind::PostDec: case NodeKind::BitValue:
        return true;
    case NodeKind::Load:
        if (is_struct_node(n)) return clobbers_x(n->left);
        return !(is_simple_address(n->left) || is_pointer_variable(n->left)) || value_size(n) > 2;
    case NodeKind::Shl: case NodeKind::Shr:
        return (n->right && n->right->kind != NodeKind::IntConst) || clobbers_x(n->left);
    default: return clobbers_x(n->left) || clobbers_x(n->right) || value_size(n) > 2;
    }
}

void load_value(CodeGen& cg, Operand* d, int size) { emit(cg, OP_LOAD, acc_reg(size), d); }

void store_value(CodeGen& cg, Operand* d, int size) { emit(cg, OP_STORE, acc_reg(size), d); }

// Widens the accumulator from one size to another.
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

// An operand that the instruction on the accumulator can take, reached
// without touching the accumulator: a constant, an address constant or an
// object in memory (through X at most). Checked first, built afterwards.
bool plain(Node* n, int size, bool walk, bool x_too) {
    if (n->kind == NodeKind::IntConst) return true;
    if ((n->kind == NodeKind::NameAddr || n->kind == NodeKind::StaticAddr) && size == 2) return true;
    if (n->kind != NodeKind::Load || is_struct_node(n) || value_size(n) != size) return false;
    if (!x_too) return is_simple_address(n->left) || is_pointer_variable(n->left);
    return addressable_without_d(n->left, size, walk);
}

Operand* plain_operand(CodeGen& cg, Node* n, int size, bool walk) {
    if (n->kind == NodeKind::IntConst) return operand_imm(cg, size == 1 ? (n->value & 0xFF) : (n->value & 0xFFFF));
    if (n->kind == NodeKind::NameAddr || n->kind == NodeKind::StaticAddr) {
        Operand* d = new_operand(cg, M_IMM);
        d->value = n;
        return d;
    }
    return object_at(cg, n->left, size, walk);
}

// The operand of the object at address a, computing what is needed into
// X; D is free again. X is held until the user releases the operand.
Operand* gen_addr(CodeGen& cg, Node* a) { return stable(cg, object_at(cg, a, 0, false)); }

Operand* gen_object(CodeGen& cg, Node* a, int size, bool walk) { return object_at(cg, a, size, walk); }

bool reached_without_code(Node* a) { return is_simple_address(a) || is_pointer_variable(a); }

bool reached_with_x(Node* a, int size) { return addressable_without_d(a, size, false); }

}  // namespace zun::tcx
