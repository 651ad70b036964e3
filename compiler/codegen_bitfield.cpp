// SPDX-License-Identifier: MIT
// Bit-field stores and assignment operators. A store merges the shifted
// value into the word as ((value EOR word) AND mask) EOR word. An
// assignment operator reads the word, clears the field in memory, works on
// the field's value alone (inline, or by a runtime routine) and ORs it back
// into the word; the result is the field's new value.
#include "compiler/codegen.h"

namespace zun::tcx {

namespace {

uint32_t field_mask(const Node* f) { return f->bit_width >= 32 ? 0xFFFFFFFFu : (1u << f->bit_width) - 1; }

Operand* imm(CodeGen& cg, uint32_t v, int size) {
    return operand_imm(cg, static_cast<int32_t>(size == 1 ? v & 0xFF : size == 2 ? v & 0xFFFF : v));
}

// The word at offset `by` within w (the low word of a long).
Operand* word_at(CodeGen& cg, const Operand* w, int by) {
    Operand* d = copy_operand(cg, w);
    d->sequence = -1;
    if (d->mode == M_GLOB) {
        Node* k = int_node(cg, by);
        d->value = make_node(cg, NodeKind::Add, w->value, k, Kind::Pointer, 2);
    } else {
        d->value = int_node(cg, int_value(w->value) + by);
    }
    return d;
}

// The containing word, its bytes and words named one by one.
Operand* field_word(CodeGen& cg, Node* f) { return through_x(cg, gen_addr(cg, f->left)); }

// The word in the accumulator shifted by n bits: right for n > 0, left for
// n < 0, with zeros coming in.
void field_shift(CodeGen& cg, int size, int n) {
    if (n == 0) return;
    int opcode = n > 0 ? OP_LSR : OP_ASL;
    int count = n > 0 ? n : -n;
    if (size == 4) {
        emit(cg, OP_PUSHREG, R_D);
        emit(cg, OP_PUSHREG, R_Y);
        emit(cg, OP_DEPTH, 4);
        cg.depth += 4;
        emit(cg, OP_LOAD, R_A, operand_imm(cg, n & 0xFF));
        call_runtime(cg, ".SHIFT32");
        emit(cg, OP_PULLREG, R_Y);
        emit(cg, OP_PULLREG, R_D);
        emit(cg, OP_DEPTH, -4);
        cg.depth -= 4;
        return;
    }
    if (count >= size * 8) {
        emit(cg, OP_LOAD, acc_reg(size), operand_imm(cg, 0));
        return;
    }
    if (size == 2 && count == 8) {
        emit(cg, OP_EXG, P_AB);
        if (n < 0)
            emit(cg, OP_LOAD, R_B, operand_imm(cg, 0));
        else
            emit(cg, OP_CLRA);
        return;
    }
    if (count <= 7) {
        emit(cg, opcode, size, operand_imm(cg, count), acc(cg, size));
        return;
    }
    Operand* x = alloc_reg(cg, R_X);
    emit(cg, OP_LOAD, R_X, operand_imm(cg, count));
    x->mode = M_XREG;
    emit(cg, opcode, 2, x, acc(cg, 2));
    release(cg, x);
}

// The field's bits in place in the accumulator (B or D) merged into the
// word w (its low word with `low`) as (word AND NOT mask) OR value: one
// read and one write, as a volatile word must have.
void merge_once(CodeGen& cg, int c, Operand* w, uint32_t mask, bool low) {
    emit(cg, OP_AND, c, imm(cg, mask, c));
    Operand* t = save_acc(cg, c);
    emit(cg, low ? OP_LOADLOW : OP_LOAD, acc_reg(c), w);
    emit(cg, OP_AND, c, imm(cg, ~mask, c));
    apply_saved(cg, OP_OR, c, t);
    emit(cg, low ? OP_STORELOW : OP_STORE, acc_reg(c), w);
}

// The routine of an operation on 32-bit field values.
const char* routine32(NodeKind op, bool u) {
    switch (op) {
    case NodeKind::Add: return ".add32";
    case NodeKind::Sub: return ".sub32";
    case NodeKind::Mul: return u ? ".mulu32" : ".muls32";
    case NodeKind::Div: return u ? ".divu32" : ".divs32";
    case NodeKind::Mod: return u ? ".modu32" : ".mods32";
    case NodeKind::BitAnd: return ".and32";
    case NodeKind::BitOr: return ".or32";
    case NodeKind::Xor: return ".eor32";
    case NodeKind::Shl: return ".shl32";
    default: return u ? ".shru32" : ".shrs32";
    }
}

// The field's value (in B or D) combined with the right operand r.
void operate_small(CodeGen& cg, NodeKind op, int c, Operand* r, bool u) {
    switch (op) {
    case NodeKind::Add: emit(cg, OP_ADD, c, r); return;
    case NodeKind::Sub: emit(cg, OP_SUB, c, r); return;
    case NodeKind::BitAnd: emit(cg, OP_AND, c, r); return;
    case NodeKind::BitOr: emit(cg, OP_OR, c, r); return;
    case NodeKind::Xor: emit(cg, OP_EOR, c, r); return;
    case NodeKind::Shl: case NodeKind::Shr: {
        int opcode = op == NodeKind::Shl ? OP_ASL : OP_LSR;
        if (r->mode == M_IMM) {
            field_shift(cg, c, op == NodeKind::Shl ? -r->value->value : r->value->value);
            return;
        }
        // a count that is not known: the value as a word, the count in X
        if (c == 1) emit(cg, OP_CLRA);
        Operand* x = alloc_reg(cg, R_X);
        emit(cg, OP_LOAD, R_X, r);
        x->mode = M_XREG;
        emit(cg, opcode, 2, x, acc(cg, 2));
        release(cg, x);
        return;
    }
    case NodeKind::Mul:
        if (c == 1) {
            Operand* a = alloc_reg(cg, R_A);
            emit(cg, OP_TFR, P_BA);
            emit(cg, OP_LOAD, R_B, r);
            if (u)
                emit(cg, OP_MUL);
            else
                call_runtime(cg, ".muls8");
            release(cg, a);
            return;
        }
        break;
    default: break;
    }
    bool mul = op == NodeKind::Mul, mod = op == NodeKind::Mod;
    std::string name = std::string(".") + (mul ? "mul" : mod ? "mod" : "div") + (u ? "u" : "s") + (c == 1 ? "8" : "16");
    // the right operand below, the field's value on top: A and B, or X and D
    int other = c == 1 ? R_A : R_X;
    Operand* held = alloc_reg(cg, other);
    emit(cg, OP_LOAD, other, r);
    emit(cg, OP_PUSHREG, other);
    emit(cg, OP_PUSHREG, acc_reg(c));
    call_runtime(cg, name);
    emit(cg, OP_LEAS, 2 * c);
    release(cg, held);
}

// f = r for a field of a 32-bit word: the value shifted into place by
// .SHIFT32, each half of the word merged as for the smaller words where
// the field reaches into it (the high half after EXG D,Y).
void store_long_field(CodeGen& cg, Node* f, Node* r, bool want) {
    uint32_t m = field_mask(f);
    uint32_t mask = m << f->bit_offset;
    gen_long_as(cg, r, Kind::ULong);
    if (want) push_reg(cg, R_D, 2), push_reg(cg, R_Y, 2);
    field_shift(cg, 4, -f->bit_offset);
    Operand* w = nullptr;
    if (reached_with_x(f->left, 4)) {
        w = field_word(cg, f);
    } else {
        push_reg(cg, R_D, 2);
        push_reg(cg, R_Y, 2);
        w = field_word(cg, f);
        pull_reg(cg, R_Y, 2);
        pull_reg(cg, R_D, 2);
    }
    if (mask >> 16) {
        emit(cg, OP_EXG, P_DY);
        if (f->is_volatile) {
            merge_once(cg, 2, w, mask >> 16, false);
        } else {
            emit(cg, OP_EOR, 2, w);
            emit(cg, OP_AND, 2, imm(cg, mask >> 16, 2));
            emit(cg, OP_EOR, 2, w);
            emit(cg, OP_STORE, R_D, w);
        }
        emit(cg, OP_EXG, P_DY);
    }
    if ((mask & 0xFFFF) && f->is_volatile) {
        merge_once(cg, 2, w, mask & 0xFFFF, true);
    } else if (mask & 0xFFFF) {
        Operand* low = word_at(cg, w, 2);
        emit(cg, OP_EOR, 2, low);
        emit(cg, OP_AND, 2, imm(cg, mask & 0xFFFF, 2));
        emit(cg, OP_EOR, 2, low);
        emit(cg, OP_STORELOW, R_D, w);
    }
    release_object(cg, w);
    if (!want) return;
    pull_reg(cg, R_Y, 2);
    pull_reg(cg, R_D, 2);
    emit(cg, OP_AND, 4, imm(cg, m, 4));
}

}  // namespace

void gen_bitfield_read(CodeGen& cg, Node* f) {
    int c = value_size(f);
    Operand* w = gen_object(cg, f->left, c, false);
    w->is_volatile = f->is_volatile;
    if (c == 4) {
        release(cg, load_long(cg, w));
    } else {
        emit(cg, OP_LOAD, acc_reg(c), w);
        release_object(cg, w);
    }
    field_shift(cg, c, f->bit_offset);
    emit(cg, OP_AND, c, imm(cg, field_mask(f), c));
}

void gen_bitfield_store(CodeGen& cg, Node* f, Node* r, bool want) {
    int c = value_size(f);
    if (c == 4) return store_long_field(cg, f, r, want);
    uint32_t m = field_mask(f);
    uint32_t mask = (m << f->bit_offset) & (c == 1 ? 0xFFu : 0xFFFFu);
    Operand* w = nullptr;
    bool early = reached_with_x(f->left, c) && !clobbers_x(r);
    if (early) w = field_word(cg, f);
    gen_value_as(cg, r, c);
    if (!w) {
        Operand* t = save_reg(cg, acc_reg(c), c);
        w = field_word(cg, f);
        restore_into(cg, t, acc_reg(c), c);
    }
    if (want) push_reg(cg, acc_reg(c), c);
    int p = f->bit_offset;
    if (c == 1 && p > 3) {
        // a byte goes to its place by a multiplication
        Operand* a = alloc_reg(cg, R_A);
        emit(cg, OP_LOAD, R_A, operand_imm(cg, 1 << p));
        emit(cg, OP_MUL);
        release(cg, a);
    } else if (p > 0) {
        // rotated: what comes in from the carry falls outside the mask
        emit(cg, OP_ROL, c, operand_imm(cg, p), acc(cg, c));
    }
    if (f->is_volatile) {
        merge_once(cg, c, w, mask, false);
    } else {
        emit(cg, OP_EOR, c, w);
        emit(cg, OP_AND, c, imm(cg, mask, c));
        emit(cg, OP_EOR, c, w);
        emit(cg, OP_STORE, acc_reg(c), w);
    }
    release_object(cg, w);
    if (!want) return;
    // the value of the assignment is the field's new value
    pull_reg(cg, acc_reg(c), c);
    emit(cg, OP_AND, c, imm(cg, m, c));
}

void gen_opassign_bitfield(CodeGen& cg, Node* f, NodeKind op, Node* r, bool want) {
    int c = value_size(f);
    int p = f->bit_offset;
    uint32_t m = field_mask(f);
    uint32_t place = c == 4 ? m << p : (m << p) & (c == 1 ? 0xFFu : 0xFFFFu);
    bool u = is_unsigned_node(f);
    bool shift = op == NodeKind::Shl || op == NodeKind::Shr;
    // 1. the right operand: an immediate, or a temporary of the word's size
    //    (a shift count always one of two bytes)
    Operand* rop = nullptr;
    Operand* rtemp = nullptr;
    if (r->kind == NodeKind::IntConst) {
        rop = imm(cg, shift ? static_cast<uint32_t>(r->value) : static_cast<uint32_t>(r->value) & m, c);
    } else if (c == 4) {
        gen_long_as(cg, r, is_float_kind(r->type_kind) ? Kind::ULong : r->type_kind);
        rtemp = temp_alloc(cg, 4);
        emit(cg, OP_STOREHIGH, R_Y, rtemp);
        emit(cg, OP_STORELOW, R_D, rtemp);
        rop = rtemp;
    } else {
        int rs = shift ? 2 : c;
        gen_value_as(cg, r, rs);
        rtemp = temp_alloc(cg, rs);
        emit(cg, OP_STORE, acc_reg(rs), rtemp);
        rop = rtemp;
    }
    // 2., 3. the word, loaded
    Operand* w = field_word(cg, f);
    if (c == 4) {
        emit(cg, OP_LOADHIGH, R_Y, w);
        emit(cg, OP_LOADLOW, R_D, w);
    } else {
        emit(cg, OP_LOAD, acc_reg(c), w);
    }
    // 4. the field cleared in memory, the loaded word saved meanwhile; a
    //    volatile word is read and written once: the word without the
    //    field waits in a temporary instead
    Operand* rest = f->is_volatile ? temp_alloc(cg, c) : nullptr;
    if (c == 4 && rest) {
        push_reg(cg, R_D, 2);
        push_reg(cg, R_Y, 2);
        emit(cg, OP_AND2, 2, imm(cg, ~place & 0xFFFF, 2));
        emit(cg, OP_STORELOW, R_D, rest);
        emit(cg, OP_TFR, P_YD);
        emit(cg, OP_AND2, 2, imm(cg, ~place >> 16, 2));
        emit(cg, OP_STOREHIGH, R_D, rest);
        pull_reg(cg, R_Y, 2);
        pull_reg(cg, R_D, 2);
    } else if (c == 4) {
        push_reg(cg, R_D, 2);
        push_reg(cg, R_Y, 2);
        emit(cg, OP_LOADHIGH, R_D, w);
        emit(cg, OP_AND2, 2, imm(cg, ~place >> 16, 2));
        emit(cg, OP_STOREHIGH, R_D, w);
        emit(cg, OP_LOADLOW, R_D, w);
        emit(cg, OP_AND2, 2, imm(cg, ~place & 0xFFFF, 2));
        emit(cg, OP_STORELOW, R_D, w);
        pull_reg(cg, R_Y, 2);
        pull_reg(cg, R_D, 2);
    } else {
        Operand* t = save_reg(cg, acc_reg(c), c);
        if (!rest) emit(cg, OP_LOAD, acc_reg(c), w);
        emit(cg, OP_AND2, c, imm(cg, ~place, c));
        emit(cg, OP_STORE, acc_reg(c), rest ? rest : w);
        restore_into(cg, t, acc_reg(c), c);
    }
    // what the field's new bits are merged with
    Operand* others = rest ? rest : w;
    // 5. the field's value alone
    emit(cg, OP_AND, c, imm(cg, place, c));
    field_shift(cg, c, p);
    if (c == 4) {
        // 7. by a routine, the field's value and the right operand pushed
        bool commutative = op == NodeKind::Add || op == NodeKind::Mul || op == NodeKind::BitAnd ||
                           op == NodeKind::BitOr || op == NodeKind::Xor;
        if (commutative) {
            emit(cg, OP_PUSHDY);
            emit(cg, OP_DEPTH, 4);
            emit(cg, OP_LOADLOW, R_D, rop);
            emit(cg, OP_PUSHREG, R_D);
            emit(cg, OP_DEPTH, 2);
            emit(cg, OP_LOADHIGH, R_D, rop);
            emit(cg, OP_PUSHREG, R_D);
            call_runtime(cg, routine32(op, u));
            emit(cg, OP_DEPTH, -6);
        } else {
            Operand* uh = alloc_reg(cg, R_U);
            emit(cg, OP_LOADLOW, R_U, rop);
            emit(cg, OP_PUSHREG, R_U);
            emit(cg, OP_DEPTH, 2);
            emit(cg, OP_LOADHIGH, R_U, rop);
            emit(cg, OP_PUSHREG, R_U);
            release(cg, uh);
            emit(cg, OP_PUSHDY);
            emit(cg, OP_DEPTH, -2);
            call_runtime(cg, routine32(op, u));
        }
        emit(cg, OP_LEAS, 8);
        if (rtemp) temp_free(cg, rtemp);
        emit(cg, OP_AND2, 4, imm(cg, m, 4));
        Operand* t2 = nullptr;
        if (want) {
            t2 = temp_alloc(cg, 4);
            emit(cg, OP_STORELOW, R_D, t2);
            emit(cg, OP_STOREHIGH, R_Y, t2);
        }
        field_shift(cg, 4, -p);
        emit(cg, OP_EXG, P_DY);
        emit(cg, OP_OR, 2, others);
        emit(cg, OP_STORE, R_D, w);
        emit(cg, OP_EXG, P_DY);
        emit(cg, OP_OR2BYTES, 2, word_at(cg, others, 2));
        emit(cg, OP_STORELOW, R_D, w);
        release_object(cg, w);
        temp_free(cg, rest);
        if (want) {
            emit(cg, OP_LOADLOW, R_D, t2);
            emit(cg, OP_LOADHIGH, R_Y, t2);
            temp_free(cg, t2);
        }
        return;
    }
    // 6. inline, or by a routine of the word's size
    operate_small(cg, op, c, rop, u);
    if (rtemp) temp_free(cg, rtemp);
    emit(cg, OP_AND, c, imm(cg, m, c));
    if (want) push_reg(cg, acc_reg(c), c);
    field_shift(cg, c, -p);
    emit(cg, OP_OR, c, others);
    emit(cg, OP_STORE, acc_reg(c), w);
    release_object(cg, w);
    temp_free(cg, rest);
    if (want) pull_reg(cg, acc_reg(c), c);
}

}  // namespace zun::tcx
