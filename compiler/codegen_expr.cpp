// SPDX-License-Identifier: MIT
// Expression code for 8- and 16-bit values: every tree leaves its value in
// B (8 bits) or D (16 bits and addresses). Objects are reached without code
// where the 6809 can address them (a global, a local, [n,S] through a
// local pointer, [name,PCR] through a global one), through X otherwise
// (n,X, D,X for a pointer plus an index, ,X+ for a walking pointer). A
// partial result that must wait goes to a stack temporary. Multiplying,
// dividing and 32-bit work go to the runtime routines.
#include "compiler/codegen.h"

namespace zun::tcx {

namespace {

Operand* acc(CodeGen& cg, int size) { return operand_reg(cg, M_ACK, size == 1 ? R_B : R_D); }

int acc_reg(int size) { return size == 1 ? R_B : R_D; }

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

void after_pop(CodeGen& cg, int size) {
    emit(cg, OP_DEPTH, -size);
    cg.depth -= size;
}

namespace {

void fault(CodeGen& cg, int code, int size) { emit_fault(cg, code, nullptr, size); }

bool is_struct_node(const Node* n) {
    return n->type_kind == Kind::Struct || n->type_kind == Kind::Union;
}

bool is_integer_kind(Kind k) {
    return k == Kind::Char || k == Kind::UChar || k == Kind::Short || k == Kind::UShort;
}

bool is_word_kind(Kind k) { return k == Kind::Short || k == Kind::UShort || k == Kind::Pointer; }

Node* offset_constant(CodeGen& cg, Node* base, int32_t c) {
    if (c == 0) return base;
    Node* k = int_node(cg, c < 0 ? -c : c);
    return make_node(cg, c < 0 ? NodeKind::Sub : NodeKind::Add, base, k, Kind::Pointer, 2);
}

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

}  // namespace

// *p++ or *p-- over a pointer variable whose step is the object's size: the
// walking forms ,X+ ,X++ (or the access at ,X and a step back).
bool is_walk(Node* a, int size) {
    a = bare(a);
    if (!a || (a->kind != NodeKind::PostInc && a->kind != NodeKind::PostDec)) return false;
    if (!a->right || a->right->kind != NodeKind::IntConst || a->right->value != size) return false;
    if (size != 1 && size != 2 && size != 4) return false;
    return is_pointer_variable(a->left);
}

namespace {

bool x_only(Node* p);

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

namespace {

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
void x_load(CodeGen& cg, Node* p, int32_t extra = 0) {
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

}  // namespace

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

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

Operand* through_x(CodeGen& cg, Operand* o) {
    if (!o || (o->mode != M_LOCIND && o->mode != M_GLOBIND)) return o;
    Operand* x = hold(cg, R_X);
    emit(cg, OP_LEA, R_X, o);
    return x_object(cg, x, 0);
}

namespace {

// A 16-bit AND, OR or EOR goes byte by byte (ANDA o, ANDB o+1).
Operand* splittable(CodeGen& cg, Operand* o, int opcode, int size) {
    if (size != 2 || (opcode != OP_AND && opcode != OP_OR && opcode != OP_EOR)) return o;
    if (o->mode == M_DXACK) return stable(cg, o);
    return through_x(cg, o);
}

}  // namespace

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

namespace {

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

}  // namespace

void gen_value_as(CodeGen& cg, Node* n, int size) {
    gen_value(cg, n);
    resize(cg, value_size(n), size, is_unsigned_node(n));
}

namespace {

// An operand that the instruction on the accumulator can take, reached
// without touching the accumulator: a constant, an address constant or an
// object in memory (through X at most). Checked first, built afterwards.
bool plain(Node* n, int size, bool walk, bool x_too = true) {
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


}  // namespace

// The operand of the object at address a, computing what is needed into
// X; D is free again. X is held until the user releases the operand.
Operand* gen_addr(CodeGen& cg, Node* a) { return stable(cg, object_at(cg, a, 0, false)); }

Operand* gen_object(CodeGen& cg, Node* a, int size, bool walk) { return object_at(cg, a, size, walk); }

bool reached_without_code(Node* a) { return is_simple_address(a) || is_pointer_variable(a); }

bool reached_with_x(Node* a, int size) { return addressable_without_d(a, size, false); }

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

// L op R with the result in the accumulator: R as the operand when it needs
// no accumulator; L so for a commutative operation; otherwise R is computed
// first and waits in a temporary.
void gen_binop(CodeGen& cg, Node* n, int opcode, Node* left, Node* right, int size, bool walk = true) {
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

void gen_mul(CodeGen& cg, Node* n) {
    int size = value_size(n);
    bool u = is_unsigned_node(n);
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
    emit(cg, OP_LOAD, acc_reg(value_size(n)), operand_imm(cg, 1));
    emit_branch(cg, OP_BRA, end);
    emit_label(cg, f);
    emit(cg, OP_LOAD, acc_reg(value_size(n)), operand_imm(cg, 0));
    emit_label(cg, end);
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

bool u_loadable(Node* a) {
    a = bare(a);
    return a->kind == NodeKind::FrameAddr || is_address_constant(a) || is_pointer_variable(a);
}

void gen_call(CodeGen& cg, Node* n, Node* result_at = nullptr);

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
        if (!want && n >= 0 && n <= 4) {
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
    if (shift && size == 1 && r->kind == NodeKind::IntConst && r->value >= 0 && r->value <= 7 && !want) {
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

// The arguments, last first (the list holds them so), then the hidden
// result pointer; JSR; the caller takes the arguments off again.
void gen_call(CodeGen& cg, Node* n, Node* result_at) {
    int pushed = 0;
    int result_slot = 0;
    bool struct_result = is_struct_node(n);
    if (struct_result && !result_at) {
        // the result stays in its slot until the statement ends
        Operand* t = temp_alloc(cg, n->size);
        cg.regs.statement_temps.push_back(t);
        result_slot = int_value(t->value);
    }
    for (Node* p = n->right; p; p = p->right) {
        Node* a = p->left;
        if (is_struct_node(a)) {
            int size = a->size;
            Node* at = bare(a);
            Operand* from = pointer_into_x(cg, at->kind == NodeKind::Load ? at->left : at);
            from->mode = M_XREG;
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
        if (a->type_kind == Kind::Pointer && x_only(a)) {
            Operand* x = hold(cg, R_X);
            x_load(cg, a);
            push_reg(cg, R_X, 2);
            release(cg, x);
            pushed += 2;
            continue;
        }
        gen_value(cg, a);
        push_reg(cg, acc_reg(size), size);
        pushed += size;
    }
    if (struct_result) {
        Operand* x = nullptr;
        if (result_at) {
            x = pointer_into_x(cg, result_at);
        } else {
            x = hold(cg, R_X);
            Operand* r = new_operand(cg, M_LOC);
            r->value->value = result_slot;
            emit(cg, OP_LEA, R_X, r);
        }
        push_reg(cg, R_X, 2);
        release(cg, x);
        pushed += 2;
    }
    Node* f = bare(n->left);
    if (f->kind == NodeKind::NameAddr) {
        Operand* d = new_operand(cg, M_IMM);
        d->value = f;
        emit(cg, OP_JSR, 0, d);
    } else if (is_pointer_variable(f)) {
        // through the pointer where it lies: [n,S] or [name,PCR]
        emit(cg, OP_JSR, 0, simple_addr(cg, f->left));
    } else {
        Operand* x = pointer_into_x(cg, f);
        x->mode = M_XREG;
        x->value = int_node(cg, 0);
        emit(cg, OP_JSR, 0, x);
        release(cg, x);
    }
    release_stack(cg, pushed);
    if (struct_result && !result_at) {
        Operand* r = new_operand(cg, M_ADRLOC);
        r->value->value = result_slot;
        emit(cg, OP_LOAD, R_D, r);
    }
}

void gen_conditional(CodeGen& cg, Node* n, bool want) {
    int f = new_label(cg), end = new_label(cg);
    gen_cond(cg, n->left, f, false);
    bool value = want && n->size > 0;
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

bool gen_long_effect(CodeGen& cg, Node* n);

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

// A tree whose value is not wanted: assignments and steps take their
// shortest forms, a comma or a conditional passes the rest on.
void gen_effect(CodeGen& cg, Node* n) {
    if (!n) return;
    if (value_size(n) > 2 && !is_struct_node(n) && gen_long_effect(cg, n)) return;
    switch (n->kind) {
    case NodeKind::Assign:
        if (value_size(n) > 2 && !is_struct_node(n)) break;
        return gen_assign(cg, n, false);
    case NodeKind::AddAssign: case NodeKind::SubAssign: case NodeKind::MulAssign:
    case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::ShrAssign:
    case NodeKind::ShlAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign:
        if (value_size(n->left) > 2) break;
        return gen_compound(cg, n, false);
    case NodeKind::PostInc: case NodeKind::PostDec:
        if (value_size(n->left) > 2) break;
        return gen_step(cg, n, false);
    case NodeKind::Seq:
        gen_effect(cg, n->left);
        return gen_effect(cg, n->right);
    case NodeKind::Cond: return gen_conditional(cg, n, false);
    case NodeKind::Call: return gen_call(cg, n);
    case NodeKind::Convert:
        if (n->left && !is_struct_node(n->left)) return gen_effect(cg, n->left);
        break;
    default: break;
    }
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
    case NodeKind::Load: {
        if (is_struct_node(n)) return gen_value(cg, n->left);
        int size = value_size(n);
        Operand* o = object_at(cg, n->left, size, true);
        load_value(cg, o, size);
        release_object(cg, o);
        return;
    }
    case NodeKind::BitValue: return gen_bitfield_read(cg, n);
    case NodeKind::StructAddr: return gen_value(cg, n->left);
    case NodeKind::Assign: return gen_assign(cg, n, true);
    case NodeKind::BlockCopy: {
        Operand* u = nullptr;
        Operand* x = pointer_into_x(cg, n->right);
        x->mode = M_XREG;
        address_into_u(cg, n->left, u);
        emit(cg, OP_BLOCKMOVE, n->value);
        release(cg, u);
        release(cg, x);
        return;
    }
    case NodeKind::AddAssign: case NodeKind::SubAssign: case NodeKind::MulAssign:
    case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::ShrAssign:
    case NodeKind::ShlAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign:
        return gen_compound(cg, n, true);
    case NodeKind::PostInc: case NodeKind::PostDec: return gen_step(cg, n, true);
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
    case NodeKind::Cond: return gen_conditional(cg, n, true);
    case NodeKind::Seq:
        gen_effect(cg, n->left);
        return gen_value(cg, n->right);
    case NodeKind::Convert:
        if (value_size(n->left) > 2) return gen_narrow(cg, n);
        gen_value(cg, n->left);
        resize(cg, value_size(n->left), value_size(n), is_unsigned_node(n->left));
        return;
    case NodeKind::Call: return gen_call(cg, n);
    default: break;
    }
    fault(cg, 4001, value_size(n));
}

namespace {

bool long_kind(Kind k) { return k == Kind::Long || k == Kind::ULong; }

// 32-bit steps and assignments whose value is not wanted.
bool gen_long_effect(CodeGen& cg, Node* n) {
    if (n->kind == NodeKind::PostInc || n->kind == NodeKind::PostDec) return gen_long_step(cg, n, false);
    if (n->kind == NodeKind::Assign && long_kind(n->type_kind)) return gen_long_assign(cg, n, false);
    bool compound = n->kind >= NodeKind::AddAssign && n->kind <= NodeKind::OrAssign;  // += to |=
    if (compound && n->left && n->left->kind == NodeKind::BitValue) {
        gen_opassign_bitfield(cg, settled_field(cg, n->left), binary_of(n->kind), n->right, false);
        return true;
    }
    return false;
}

// The byte a char operand was widened from, with its signedness.
Node* widened_byte(Node* n, bool& is_unsigned) {
    if (n->kind != NodeKind::Convert || !n->left || value_size(n->left) != 1 || value_size(n) != 2) return nullptr;
    is_unsigned = n->left->type_kind == Kind::UChar;
    return n->left;
}

// Tests a value against zero: TST of a byte in memory, CMPD #0 of a word;
// a byte read through a walking pointer is loaded, its pointer stored
// back, and compared with 0.
void test_value(CodeGen& cg, Node* n, int size, bool relational_unsigned) {
    if (size == 1 && !relational_unsigned && plain(n, 1, false, false) && n->kind == NodeKind::Load) {
        Operand* o = object_no_walk(cg, n->left, 1);
        emit(cg, OP_TST, 1, o);
        return;
    }
    gen_value_as(cg, n, size);
    bool walked = size == 1 && n->kind == NodeKind::Load && is_walk(n->left, 1);
    if (relational_unsigned || walked)
        emit(cg, OP_CMP, size, operand_imm(cg, 0));
    else
        emit(cg, OP_TST, size, acc(cg, size));
}

}  // namespace

void gen_cond(CodeGen& cg, Node* n, int label, bool jump_if) {
    if (!n) {
        // no condition: always true
        if (jump_if) emit_branch(cg, OP_BRA, label);
        return;
    }
    if (is_compare(n->kind)) {
        mirror_compare(n);
        Node* l = n->left;
        Node* r = n->right;
        if (value_size(l) > 2 || value_size(r) > 2) return gen_long_cond(cg, n, label, jump_if);
        int size = value_size(l);
        bool u = is_unsigned_node(l);
        bool lu = false, ru = false;
        Node* lb = widened_byte(l, lu);
        Node* rb = r->kind == NodeKind::IntConst ? nullptr : widened_byte(r, ru);
        // Bytes widened alike compare as bytes when the widening keeps their
        // order in the comparison's type. A signed byte widened to int keeps
        // the signed order. Widened to unsigned it keeps the unsigned order
        // of the bytes (0..127 stay, 128..255 become 65408..65535), as an
        // unsigned byte does in any type. A constant takes part when it is
        // the widened value of a byte.
        Node* rk = nullptr;
        if (lb && r->kind == NodeKind::IntConst) {
            int32_t byte = r->value & 0xFF;
            int32_t widened = lu ? byte : static_cast<int8_t>(byte);
            if ((widened & 0xFFFF) == (r->value & 0xFFFF)) {
                rk = make_node(cg, NodeKind::IntConst, nullptr, nullptr, lb->type_kind, 1);
                rk->value = byte;
            }
        }
        if (lb && (rk || (rb && lu == ru))) {
            l = lb;
            r = rk ? rk : rb;
            size = 1;
            u = u || lu;
        }
        NodeKind k = jump_if ? n->kind : negate_compare(n->kind);
        if (r->kind == NodeKind::IntConst && (r->value & (size == 1 ? 0xFF : 0xFFFF)) == 0) {
            // TST leaves the carry as it was: an unsigned order needs CMP #0
            bool relational = k != NodeKind::Eq && k != NodeKind::Ne;
            test_value(cg, l, size, relational && u);
        } else {
            gen_binop(cg, n, OP_CMP, l, r, size, false);
        }
        emit_branch(cg, compare_branch(k, u), label);
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
    test_value(cg, n, size, false);
    emit_branch(cg, jump_if ? OP_BNE : OP_BEQ, label);
}

}  // namespace zun::tcx
