// SPDX-License-Identifier: MIT
// The expression dispatcher for 8- and 16-bit values: every tree leaves its
// value in B (8 bits) or D (16 bits and addresses), or only its effects.
// Objects and loads are codegen_load.cpp's, stores codegen_store.cpp's,
// arithmetic codegen_arith.cpp's, conditions codegen_branch.cpp's, calls
// codegen_call.cpp's; 32-bit work goes to codegen_long.cpp.
#include "compiler/codegen.h"

namespace zun::tcx {

Operand* acc(CodeGen& cg, int size) { return operand_reg(cg, M_ACK, static_cast<uint8_t>(acc_reg(size))); }

Node* make_node(CodeGen& cg, NodeKind kind, Node* l, Node* r, Kind tk, int32_t size) {
    Node& n = *blank_node(cg.tu);
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

}  // namespace

}  // namespace zun::tcx
