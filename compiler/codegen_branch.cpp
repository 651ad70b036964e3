// SPDX-License-Identifier: MIT
// Comparisons and conditions: the compare of two 8- or 16-bit values (as
// bytes when that keeps their order), tests against zero, the branches of
// && || ! and the conditional operator; 32-bit conditions go to
// codegen_long.cpp.
#include "compiler/codegen.h"

namespace zun::tcx {

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

bool is_compare(NodeKind k) {
    return k == NodeKind::Eq || k == NodeKind::Ne || k == NodeKind::Lt || k == NodeKind::Le ||
           k == NodeKind::Gt || k == NodeKind::Ge;
}

}  // namespace

void gen_bool_value(CodeGen& cg, Node* n) {
    int f = new_label(cg), end = new_label(cg);
    gen_cond(cg, n, f, false);
    emit(cg, OP_LOAD, acc_reg(value_size(n)), operand_imm(cg, 1));
    emit_branch(cg, OP_BRA, end);
    emit_label(cg, f);
    emit(cg, OP_LOAD, acc_reg(value_size(n)), operand_imm(cg, 0));
    emit_label(cg, end);
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

namespace {

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
