// SPDX-License-Identifier: MIT
// Operand descriptors and the legalizer core: the registers handed out
// while a statement is generated (a register handed out twice has its
// first holder saved in a stack temporary until the second is given back),
// the stack temporaries reused by size, the moves that force an operand
// into a place an instruction accepts, and the 32-bit loads and stores.
#include "compiler/codegen.h"

#include <iterator>
#include <utility>

namespace zun::tcx {

namespace {

int& counter(RegModel& m, int reg) {
    switch (reg) {
    case R_X: return m.x;
    case R_U: return m.u;
    case R_Y: return m.y;
    case R_A: return m.a;
    default: return m.b;
    }
}

bool spillable(int reg) { return reg == R_B || reg == R_A || reg == R_X || reg == R_U || reg == R_Y; }

uint32_t mode_of(int reg) {
    switch (reg) {
    case R_X: return M_XACK;
    case R_U: return M_UREG;
    case R_Y: return M_YACK;
    default: return M_ACK;
    }
}

// The holder of a register handed out again: its value goes to a
// temporary, and comes back when `holder` is released.
void spill(CodeGen& cg, int reg, Operand* holder) {
    RegModel& m = cg.regs;
    SpillEntry* e = nullptr;
    for (SpillEntry& s : m.spills)
        if (!s.holder) {
            e = &s;
            break;
        }
    if (!e) {
        // nowhere to save the holder: its value would be lost
        internal_error(cg.tu, 4101);
        return;
    }
    if (!spillable(reg)) {
        emit_fault(cg, 9000, holder, reg);
        return;
    }
    e->kind = reg;
    e->holder = holder;
    e->temp = temp_alloc(cg, reg == R_B || reg == R_A ? 1 : 2);
    emit(cg, OP_STORE, reg, e->temp);
}

void unspill(CodeGen& cg, int reg, const Operand* holder) {
    for (SpillEntry& s : cg.regs.spills) {
        if (s.holder != holder || s.kind != reg) continue;
        if (!spillable(reg)) {
            emit_fault(cg, 9001, nullptr, reg);
        } else {
            emit(cg, OP_LOAD, reg, s.temp);
            temp_free(cg, s.temp);
        }
        s = SpillEntry{};
        return;
    }
}

Operand* single_reg(CodeGen& cg, int reg) {
    Operand* d = new_operand(cg, mode_of(reg));
    d->reg = static_cast<uint8_t>(reg);
    int& count = counter(cg.regs, reg);
    if (count != 0) spill(cg, reg, d);
    ++count;
    d->sequence = count;
    return d;
}

void give_back(CodeGen& cg, int reg, const Operand* holder) {
    unspill(cg, reg, holder);
    --counter(cg.regs, reg);
}

// `to` takes over the register that `from` holds, so that only one of
// them is released.
void hand_over(CodeGen& cg, Operand* from, Operand* to) {
    to->sequence = from->sequence;
    from->sequence = -1;
    for (SpillEntry& s : cg.regs.spills)
        if (s.holder == from) s.holder = to;
}

// B, D or the D:Y pair loaded from d.
Operand* load_acc(CodeGen& cg, Operand* d, int size) {
    if (size > 2) return load_long(cg, d);
    Operand* r = alloc_reg(cg, size == 1 ? R_B : R_D);
    r->type = d->type;
    emit(cg, OP_LOAD, size == 1 ? R_B : R_D, d);
    return r;
}

// An object at D,X or [D,X] loaded into the accumulator; X goes back.
Operand* load_from_dx(CodeGen& cg, Operand* d, int size) {
    Operand* dd = d->second;
    if (!dd) dd = alloc_reg(cg, R_D);
    emit(cg, OP_LOAD, size == 1 ? R_B : R_D, d);
    if (d->base)
        release(cg, d->base);
    else
        give_back(cg, R_X, d);
    d->sequence = -1;
    dd->type = d->type;
    if (size != 1) return dd;
    release(cg, dd->second);
    Operand* b = dd->base ? dd->base : alloc_reg(cg, R_B);
    b->type = d->type;
    return b;
}

// The address of the object at D,X (or the pointer stored there) into X.
Operand* dx_address_into_x(CodeGen& cg, Operand* d) {
    Operand* a = copy_operand(cg, d);
    a->mode = d->mode == M_IDXACK ? M_DXACK : M_ADXACK;
    emit(cg, OP_LEA, R_X, a);
    Operand* x = d->base ? d->base : alloc_reg(cg, R_X);
    Operand* obj = copy_operand(cg, x);
    obj->mode = M_XACK;
    obj->reg = R_X;
    obj->value = int_node(cg, 0);
    obj->type = d->type;
    hand_over(cg, x, obj);
    if (d->second) release(cg, d->second);
    d->sequence = -1;
    return obj;
}

const char* const flag_names[] = {" F_ACK",   " F_XREG",    " F_XACK",  " F_MEM",
                                  " F_IXACK", " F_IMMED",   " F_ALL",   " F_VOL",
                                  " F_NOVALUE", " F_USES",  " F_NOIND"};

void legalize_trace(CodeGen& cg, uint32_t flags, const Operand* d, int size) {
    std::string t = "-LEGALIZE: \n" + mode_trace(d, size);
    std::string names;
    for (size_t i = 0; i < std::size(flag_names); ++i)
        if (flags & (1u << i)) names += flag_names[i];
    t += names.empty() ? "No Flags\n" : names + " is flags\n";
    cg.tu.err += t;
}

bool equal_value(const Node* a, const Node* b) {
    if (a == b) return true;
    if (!a || !b || a->kind != b->kind) return false;
    switch (a->kind) {
    case NodeKind::IntConst:
    case NodeKind::StaticAddr:
    case NodeKind::FrameAddr: return a->value == b->value;
    case NodeKind::FloatConst: return a->fvalue == b->fvalue;
    case NodeKind::NameAddr: return a->name == b->name && a->symbol == b->symbol;
    case NodeKind::Add:
    case NodeKind::Sub:
    case NodeKind::Neg: return equal_value(a->left, b->left) && equal_value(a->right, b->right);
    default: return false;
    }
}

// The value of a tree as the generator leaves it: B, D or the D:Y pair,
// or D holding the address of a structure.
Operand* dispatch(CodeGen& cg, Node* n) {
    gen_value(cg, n);
    if (!n) return alloc_reg(cg, R_D);
    bool aggregate = n->type_kind == Kind::Struct || n->type_kind == Kind::Union;
    int size = aggregate ? 2 : value_size(n);
    return alloc_reg(cg, size == 1 ? R_B : size == 2 ? R_D : R_DY);
}

int node_size(const Node* n) {
    if (!n || n->type_kind == Kind::Struct || n->type_kind == Kind::Union) return 2;
    return value_size(n);
}

}  // namespace

// ---- constructors ----

Operand* operand_glob(CodeGen& cg, Node* symbol) {
    Operand* d = new_operand(cg, M_GLOB);
    if (symbol) d->value = symbol;
    return d;
}

Operand* operand_loc(CodeGen& cg, const Symbol* s) {
    Operand* d = new_operand(cg, M_LOC);
    if (!s) return d;
    if (s->value >= -32768 && s->value <= 32766) {
        d->value->value = s->value;
    } else {
        // a stack offset the 6809 cannot index: never a silently wrong address
        internal_error(cg.tu, 4100);
    }
    d->type = s->type;
    return d;
}

Operand* operand_pair_d(CodeGen& cg, Operand* low, Operand* high) {
    Operand* d = new_operand(cg, M_ACK);
    d->reg = R_D;
    d->base = low;
    d->second = high;
    d->sequence = low ? low->sequence : 0;
    return d;
}

Operand* operand_pair_dy(CodeGen& cg, Operand* d, Operand* y) {
    Operand* p = new_operand(cg, M_DACK);
    p->reg = R_DY;
    p->base = d;
    p->second = y;
    p->sequence = d ? d->sequence : 0;
    return p;
}

// ---- registers ----

Operand* alloc_reg(CodeGen& cg, int kind) {
    switch (kind) {
    case R_B:
    case R_A:
    case R_X:
    case R_U:
    case R_Y: return single_reg(cg, kind);
    case R_D: {
        Operand* b = single_reg(cg, R_B);
        Operand* a = single_reg(cg, R_A);
        return operand_pair_d(cg, b, a);
    }
    case R_DY: {
        Operand* d = alloc_reg(cg, R_D);
        Operand* y = single_reg(cg, R_Y);
        return operand_pair_dy(cg, d, y);
    }
    default:
        emit_fault(cg, 9006, nullptr, kind);
        return single_reg(cg, R_B);
    }
}

Operand* alloc_ptr_reg(CodeGen& cg) {
    return alloc_reg(cg, cg.regs.x == 0 || cg.regs.u != 0 ? R_X : R_U);
}

void release(CodeGen& cg, Operand* d) {
    if (!d || d->sequence < 0) return;
    switch (d->mode) {
    case M_ACK:
        if (d->reg == R_B || d->reg == R_A) {
            give_back(cg, d->reg, d);
        } else if (d->reg == R_D) {
            if (d->base) release(cg, d->base); else give_back(cg, R_B, d);
            if (d->second) release(cg, d->second); else give_back(cg, R_A, d);
        } else {
            emit_fault(cg, 9002, d, d->reg);
        }
        break;
    case M_DACK:
        if (d->base) {
            release(cg, d->base);
        } else {
            give_back(cg, R_B, d);
            give_back(cg, R_A, d);
        }
        if (d->second) release(cg, d->second); else give_back(cg, R_Y, d);
        break;
    case M_XREG:
    case M_XACK:
    case M_IXACK: give_back(cg, R_X, d); break;
    case 6:
    case M_YACK:
    case M_IYACK: give_back(cg, R_Y, d); break;
    case M_UREG: give_back(cg, R_U, d); break;
    case M_DXACK:
    case M_IDXACK:
        if (d->base) release(cg, d->base); else give_back(cg, R_X, d);
        if (d->second) {
            release(cg, d->second);
        } else {
            give_back(cg, R_A, d);
            give_back(cg, R_B, d);
        }
        break;
    case M_PROC:
        if (d->reg == R_X || d->reg == R_U || d->reg == R_Y)
            give_back(cg, d->reg, d);
        else
            emit_fault(cg, 9008, d, d->reg);
        break;
    case M_LOC: temp_free(cg, d); break;
    default: break;
    }
    d->sequence = -1;
}

void regs_reset(CodeGen& cg) {
    RegModel& m = cg.regs;
    m.x = m.u = m.y = m.a = m.b = 0;
    for (SpillEntry& s : m.spills) s = SpillEntry{};
}

void regs_check_balanced(CodeGen& cg) {
    const RegModel& m = cg.regs;
    const int counts[] = {m.x, m.u, m.y, m.a, m.b};
    for (int i = 0; i < 5; ++i)
        if (counts[i] != 0) emit_fault(cg, 4006 + i, nullptr, counts[i]);
}

// ---- temporaries ----

void temps_reset(CodeGen& cg, int locals_size) {
    RegModel& m = cg.regs;
    m.temps.clear();
    m.temp_place = m.temp_bytes = 0;
    m.locals = locals_size;
}

Operand* temp_alloc(CodeGen& cg, int size) {
    RegModel& m = cg.regs;
    for (TempSlot& t : m.temps)
        if (!t.in_use && t.size == size) {
            t.in_use = true;
            return t.d;
        }
    m.temp_place += size;
    m.temp_bytes += size;
    Operand* d = new_operand(cg, M_LOC);
    d->value->value = -(m.locals + m.temp_place);
    if (m.temps.size() < RegModel::kTemps) m.temps.push_back(TempSlot{d, true, size});
    return d;
}

void temp_free(CodeGen& cg, const Operand* d) {
    if (!d) return;
    for (TempSlot& t : cg.regs.temps)
        if (t.d == d) {
            t.in_use = false;
            return;
        }
}

// ---- operand coercion ----

Operand* legalize(CodeGen& cg, uint32_t flags, Operand* d, int size) {
    if (!d) return nullptr;
    if (flags & F_ALL) return d;
    bool memory = (flags & F_MEM) && !(flags & F_NOMEM);
    switch (d->mode) {
    case M_ACK:
    case M_DACK:
        if (flags & F_ACK) return d;
        if (flags & F_XACK) {
            Operand* x = alloc_reg(cg, R_X);
            emit(cg, OP_TFR, P_DX);
            x->type = d->type;
            release(cg, d);
            return x;
        }
        break;
    case M_XACK:
        if (flags & F_XACK) return d;
        if (flags & F_ACK) {
            Operand* r = load_acc(cg, d, size);
            release(cg, d);
            return r;
        }
        break;
    case M_IXACK:
        if (flags & F_IXACK) return d;
        if (flags & F_XACK) {
            emit(cg, OP_LOAD, R_X, d);
            Operand* x = new_operand(cg, M_XACK);
            x->reg = R_X;
            x->type = d->type;
            hand_over(cg, d, x);
            return x;
        }
        if (flags & F_ACK) {
            Operand* r = load_acc(cg, d, size);
            release(cg, d);
            return r;
        }
        break;
    case M_ADRGLOB:
    case M_GLOB:
    case M_IMM:
    case M_SOFTREG:
        if (flags & F_IMMED) return d;
        [[fallthrough]];
    case M_ADRLOC:
    case M_LOC:
    case M_LOCIND:
    case M_GLOBIND:
        if (memory) return d;
        if (flags & F_XACK) {
            Operand* x = alloc_reg(cg, R_X);
            x->step = d->step;
            x->type = d->type;
            emit(cg, OP_LOAD, R_X, d);
            return x;
        }
        if (flags & F_ACK) return load_acc(cg, d, size);
        break;
    case M_DXACK:
    case M_IDXACK:
        if (flags & F_XACK) return d;
        if (flags & F_ACK) return size > 2 ? load_long(cg, d) : load_from_dx(cg, d, size);
        break;
    case M_PROC:
        if (flags & (F_XREG | F_XACK)) return d;
        if (flags & F_ACK) {
            Operand* r = size > 2 ? load_long(cg, d) : load_acc(cg, d, size);
            if (size <= 2) {
                emit(cg, OP_STORE, d->reg, d->origin);
                release(cg, d);
            }
            return r;
        }
        break;
    default: break;
    }
    legalize_trace(cg, flags, d, size);
    emit_fault(cg, 1, d, size);
    return d;
}

// A dispatcher result as a value a source operand can use.
Operand* value_operand(CodeGen& cg, Operand* r, int size) {
    if (!r) {
        emit_fault(cg, 4001, nullptr, size);
        return r;
    }
    switch (r->mode) {
    case M_ACK:
    case M_DACK:
    case M_ADRLOC:
    case M_GLOB:
    case M_LOC:
    case M_IMM:
    case M_LOCIND:
    case M_GLOBIND: return r;
    case M_XREG: {
        Operand* d = alloc_reg(cg, R_D);
        if (r->base) emit(cg, OP_ADJX, 0, r);
        emit(cg, OP_TFR, P_XD);
        d->type = r->type;
        release(cg, r);
        return d;
    }
    case M_XACK:
    case M_IXACK: {
        Operand* d = load_acc(cg, r, size);
        release(cg, r);
        return d;
    }
    case M_ADXACK: {
        emit(cg, OP_LEA, R_X, r);
        if (r->base) release(cg, r->base); else give_back(cg, R_X, r);
        r->sequence = -1;
        emit(cg, OP_TFR, P_XD);
        return r->second ? r->second : alloc_reg(cg, R_D);
    }
    case M_DXACK:
    case M_IDXACK: {
        if (size <= 2) return load_from_dx(cg, r, size);
        Operand* obj = dx_address_into_x(cg, r);
        Operand* dy = alloc_reg(cg, R_DY);
        emit(cg, OP_LOADLOW, R_D, obj);
        emit(cg, OP_LOADHIGH, R_Y, obj);
        release(cg, obj);
        dy->type = r->type;
        return dy;
    }
    case M_PROC: {
        if (size > 2) return load_long(cg, r);
        Operand* d = load_acc(cg, r, size);
        emit(cg, OP_STORE, r->reg, r->origin);
        release(cg, r);
        return d;
    }
    default:
        emit_fault(cg, 4001, r, size);
        return r;
    }
}

Operand* g_value(CodeGen& cg, Node* n) { return value_operand(cg, dispatch(cg, n), node_size(n)); }

Operand* value_in_acc(CodeGen& cg, Node* n) {
    int size = node_size(n);
    Operand* r = g_value(cg, n);
    if (!r || r->mode == M_ACK || r->mode == M_DACK) return r;
    if (size > 2) return load_long(cg, r);
    return legalize(cg, F_ACK, r, size);
}

// A pointer value as the operand of the object it addresses.
Operand* deref_operand(CodeGen& cg, Operand* r) {
    if (!r) return r;
    switch (r->mode) {
    case M_ACK: {
        Operand* x = alloc_reg(cg, R_X);
        emit(cg, OP_TFR, P_DX);
        release(cg, r);
        x->mode = M_XREG;
        return x;
    }
    case M_XREG: case M_XACK: case M_IXACK: case 6: case M_YACK: case M_IYACK:
    case M_ADRLOC: case M_GLOB: case M_LOC: case M_IMM: case M_LOCIND: case M_GLOBIND:
    case M_PROC:
        return r;
    case M_ADXACK:
    case M_DXACK:
    case M_IDXACK: {
        uint32_t to = r->mode == M_ADXACK ? M_XREG : r->mode == M_DXACK ? M_XACK : M_IXACK;
        Operand* a = copy_operand(cg, r);
        a->mode = M_ADXACK;
        emit(cg, OP_LEA, R_X, a);
        if (r->second) release(cg, r->second);
        Operand* x = r->base ? r->base : alloc_reg(cg, R_X);
        Operand* obj = copy_operand(cg, x);
        obj->mode = to;
        obj->reg = R_X;
        obj->value = int_node(cg, 0);
        hand_over(cg, x, obj);
        r->sequence = -1;
        return obj;
    }
    default:
        emit_fault(cg, 2000, r, 2);
        return r;
    }
}

Operand* g_deref_ptr(CodeGen& cg, Node* n) { return deref_operand(cg, dispatch(cg, n)); }

namespace {

// The address of the object r into X, as the pointer itself (mode 3).
Operand* address_into_x(CodeGen& cg, Operand* r) {
    if (!r || r->mode == M_XREG) return r;
    if (r->mode == M_XACK || r->mode == M_IXACK) {
        emit(cg, OP_LEA, R_X, r);
        Operand* x = new_operand(cg, M_XREG);
        x->reg = R_X;
        x->type = r->type;
        hand_over(cg, r, x);
        return x;
    }
    Operand* x = alloc_reg(cg, R_X);
    emit(cg, OP_LEA, R_X, r);
    release(cg, r);
    x->mode = M_XREG;
    return x;
}

}  // namespace

Operand* ptr_in_x(CodeGen& cg, Node* n) { return address_into_x(cg, g_deref_ptr(cg, n)); }

Operand* ptr_in_x_obj(CodeGen& cg, Node* n) {
    Operand* r = g_deref_ptr(cg, n);
    if (r && r->mode == M_XACK) return r;
    Operand* x = address_into_x(cg, r);
    if (x) x->mode = M_XACK;
    return x;
}

Operand* value_in_ptr_reg(CodeGen& cg, Node* n, int kind, bool use_lea) {
    if (kind != R_X && kind != R_U && kind != R_Y) {
        emit_fault(cg, 2001, nullptr, kind);
        return nullptr;
    }
    Operand* r = dispatch(cg, n);
    if (r->mode == mode_of(kind)) return r;
    Operand* p = alloc_reg(cg, kind);
    if (r->mode == M_PROC && r->reg != kind) {
        emit(cg, OP_PUSHREG, r->reg);
        emit(cg, OP_PULLREG, kind);
        p->mode = M_PROC;
        p->step = r->step;
        p->origin = r->origin;
    } else if (r->mode == M_ACK) {
        if (kind == R_U) {
            emit(cg, OP_PUSHREG, R_D);
            emit(cg, OP_PULLREG, R_U);
        } else {
            emit(cg, OP_TFR, kind == R_X ? P_DX : P_DY);
        }
    } else {
        emit(cg, use_lea ? OP_LEA : OP_LOAD, kind, r);
    }
    p->type = r->type;
    release(cg, r);
    return p;
}

bool same_operand(const Operand* a, const Operand* b) {
    if (!a || !b || a->mode != b->mode) return false;
    if (a->mode == M_PROC && a->reg != b->reg) return false;
    return equal_value(a->value, b->value);
}

Operand* load_long(CodeGen& cg, Operand* d) {
    if (!d || d->mode == M_DACK) return d;
    if (d->mode == M_DXACK || d->mode == M_IDXACK) d = dx_address_into_x(cg, d);
    Operand* dy = alloc_reg(cg, R_DY);
    dy->type = d->type;
    if (d->mode == M_LOCIND || d->mode == M_GLOBIND) {
        emit(cg, OP_LEA, R_Y, d);
        Operand* at = new_operand(cg, M_YACK);
        at->reg = R_Y;
        emit(cg, OP_LOADLOW, R_D, at);
        emit(cg, OP_LOADHIGH, R_Y, at);
    } else if (d->mode == M_PROC) {
        emit(cg, OP_LOADHIGH, R_Y, d);
        emit(cg, OP_LOADLOW, R_D, d);
        emit(cg, OP_STORE, d->reg, d->origin);
    } else {
        // right after D:Y went to this very operand they still hold it (not
        // after a zero went out through D alone)
        size_t n = cg.list.size();
        bool stored = n >= 2 && cg.list[n - 2]->opcode == OP_STOREHIGH && cg.list[n - 1]->opcode == OP_STORELOW &&
                      cg.list[n - 2]->arg == R_Y && cg.list[n - 1]->arg == R_D &&
                      d->mode != M_TOS && !d->is_volatile && !(d->type && d->type->is_volatile) &&
                      same_operand(cg.list[n - 2]->op[0], d) && same_operand(cg.list[n - 1]->op[0], d);
        if (!stored) {
            emit(cg, OP_LOADHIGH, R_Y, d);
            emit(cg, OP_LOADLOW, R_D, d);
        }
    }
    release(cg, d);
    return dy;
}

void store_long(CodeGen& cg, Operand* d) {
    if (!d) return;
    Operand* at = d;
    Operand* x = nullptr;
    if (d->mode == M_LOCIND || d->mode == M_GLOBIND) {
        x = alloc_reg(cg, R_X);
        emit(cg, OP_LEA, R_X, d);
        at = x;
    }
    emit(cg, OP_STOREHIGH, R_Y, at);
    emit(cg, OP_STORELOW, R_D, at);
    if (d->mode == M_PROC) {
        emit(cg, OP_ADJX, 0, operand_imm(cg, d->step));
        emit(cg, OP_STORE, d->reg, d->origin);
    }
    release(cg, x);
    release(cg, d);
}

// ---- small tests ----

int is_commutative(CodeGen& cg, int opcode) {
    switch (opcode) {
    case OP_ADD: case OP_MULS8: case OP_MULU8: case OP_AND: case OP_OR: case OP_EOR: return 1;
    case OP_SUB: case OP_MODS16: case OP_MODU16: case OP_CMP: return 0;
    default:
        emit_fault(cg, 2001, nullptr, opcode);
        return 0;
    }
}

bool is_zero_const(const Node* n) {
    if (!n) return false;
    if (n->kind == NodeKind::IntConst) return n->value == 0;
    if (n->kind == NodeKind::FloatConst) return n->fvalue == 0.0;
    return false;
}

bool uses_x_mode(uint32_t mode) {
    return mode == M_XREG || mode == M_XACK || mode == M_IXACK || mode == M_DXACK || mode == M_PROC;
}

namespace {

bool is_address_leaf(const Node* n) {
    int k = static_cast<int>(n->kind);
    return k == 3 || k == 4 || k == 5;
}

}  // namespace

bool is_simple_tree(const Node* n) {
    if (!n) return false;
    if (n->kind == NodeKind::IntConst || is_address_leaf(n)) return true;
    if ((n->kind == NodeKind::Add || n->kind == NodeKind::Sub) && n->left && n->right) {
        const Node* l = n->left;
        const Node* r = n->right;
        return (l->kind == NodeKind::IntConst && is_address_leaf(r)) ||
               (r->kind == NodeKind::IntConst && is_address_leaf(l));
    }
    return false;
}

void mirror_compare(Node* n) {
    if (!n || !n->left || n->left->kind != NodeKind::IntConst) return;
    switch (n->kind) {
    case NodeKind::Eq: case NodeKind::Ne: break;
    case NodeKind::Lt: n->kind = NodeKind::Gt; break;
    case NodeKind::Gt: n->kind = NodeKind::Lt; break;
    case NodeKind::Le: n->kind = NodeKind::Ge; break;
    case NodeKind::Ge: n->kind = NodeKind::Le; break;
    default: return;
    }
    std::swap(n->left, n->right);
}

}  // namespace zun::tcx
