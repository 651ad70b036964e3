// SPDX-License-Identifier: MIT
// Tree simplification: constant folding, algebraic identities and the
// gathering of integer constant terms. Trees change in place through the
// slot that holds them. Once an error is reported only the constant helpers
// still fold, so that constant expressions keep their values.
#include "compiler/internal.h"

#include <utility>

#include "common/format.h"

namespace zun::tcx {

int32_t cut_to_type(int32_t v, Kind k) {
    switch (k) {
    case Kind::Char: return static_cast<int8_t>(v);
    case Kind::UChar: return static_cast<uint8_t>(v);
    case Kind::Short: return static_cast<int16_t>(v);
    case Kind::UShort:
    case Kind::Pointer: return static_cast<uint16_t>(v);
    default: return v;
    }
}

namespace {

bool is_int(const Node* n) { return n && n->kind == NodeKind::IntConst; }
bool is_float(const Node* n) { return n && n->kind == NodeKind::FloatConst; }
bool is_unary(NodeKind k) { return k == NodeKind::Neg || k == NodeKind::Compl || k == NodeKind::Not; }

// Exponent k when v is 2^k with k in 1..30, else 0.
int power_of_two(int32_t v) {
    for (int k = 1; k <= 30; ++k)
        if (v == (int32_t{1} << k)) return k;
    return 0;
}

bool unsigned_node(Kind k) { return k == Kind::UChar || k == Kind::UShort || k == Kind::ULong; }

// A constant whose bits are all ones in its own type.
bool all_ones(const Node* n) {
    if (!is_int(n)) return false;
    switch (n->type_kind) {
    case Kind::Char: case Kind::UChar: return (n->value & 0xFF) == 0xFF;
    case Kind::Short: case Kind::UShort: return (n->value & 0xFFFF) == 0xFFFF;
    default: return n->value == -1;
    }
}

// 255 masks a char operand that the usual conversions widened. The mask
// changes nothing for an unsigned char ('uc & 255'), and for any char when
// only the low byte of the result is used (a signed char widened to int
// has its sign in the high byte: -128 & 255 is 128).
bool byte_mask(const Node* mask, const Node* other, bool low_byte_only = false) {
    return is_int(mask) && mask->value == 255 && other->kind == NodeKind::Convert && other->left &&
           other->left->size == 1 && (low_byte_only || other->left->type_kind == Kind::UChar);
}

// A node that stays unfolded is met again by every later pass; it warns once.
void warn_once(TranslationUnit& tu, Node* n, int number, const std::string& arg) {
    if (n->warned) return;
    n->warned = true;
    if (arg.empty())
        report(tu, number);
    else
        report_str(tu, number, arg);
}

// Turns the node into an integer constant, keeping its own type.
void make_int(Node* n, int32_t v) {
    n->kind = NodeKind::IntConst;
    n->value = cut_to_type(v, n->type_kind);
    n->left = n->right = nullptr;
}

void fold_float(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    double a = n->left->fvalue;
    double b = is_unary(n->kind) ? 0 : n->right->fvalue;
    auto to_int = [&](bool v) { make_int(n, v ? 1 : 0); };
    auto to_float = [&](double v) {
        n->kind = NodeKind::FloatConst;
        n->fvalue = single_value(v);  // each step rounds as the target's would
        n->left = n->right = nullptr;
    };
    switch (n->kind) {
    case NodeKind::Add: return to_float(a + b);
    case NodeKind::Sub: return to_float(a - b);
    case NodeKind::Mul: return to_float(a * b);
    case NodeKind::Div:
        if (b == 0.0) return warn_once(tu, n, 127, {});
        return to_float(a / b);
    case NodeKind::Neg: return to_float(-a);
    case NodeKind::Eq: return to_int(a == b);
    case NodeKind::Ne: return to_int(a != b);
    case NodeKind::Lt: return to_int(a < b);
    case NodeKind::Le: return to_int(a <= b);
    case NodeKind::Gt: return to_int(a > b);
    case NodeKind::Ge: return to_int(a >= b);
    case NodeKind::Not: return to_int(a == 0.0);
    case NodeKind::LogAnd: return to_int(a != 0.0 && b != 0.0);
    case NodeKind::LogOr: return to_int(a != 0.0 || b != 0.0);
    default: break;
    }
    warn_once(tu, n, 128, "FLOAT");
}

void fold_int(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    Kind lk = n->left->type_kind;
    bool uns = lk == Kind::ULong || lk == Kind::Pointer;
    int32_t a = n->left->value;
    int32_t b = is_unary(n->kind) ? 0 : n->right->value;
    uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
    switch (n->kind) {
    case NodeKind::Add: return make_int(n, static_cast<int32_t>(ua + ub));
    case NodeKind::Sub: return make_int(n, static_cast<int32_t>(ua - ub));
    case NodeKind::Mul: return make_int(n, static_cast<int32_t>(ua * ub));
    case NodeKind::Div:
    case NodeKind::Mod:
        if (b == 0) return warn_once(tu, n, 127, {});
        if (uns) return make_int(n, static_cast<int32_t>(n->kind == NodeKind::Div ? ua / ub : ua % ub));
        if (a == INT32_MIN && b == -1) return make_int(n, n->kind == NodeKind::Div ? a : 0);
        return make_int(n, n->kind == NodeKind::Div ? a / b : a % b);
    // counts of 32 and more shift every bit out, as the runtime's shifts do
    case NodeKind::Shl: return make_int(n, ub >= 32 ? 0 : static_cast<int32_t>(ua << ub));
    case NodeKind::Shr:
        if (uns) return make_int(n, ub >= 32 ? 0 : static_cast<int32_t>(ua >> ub));
        return make_int(n, a >> (ub >= 32 ? 31 : ub));
    case NodeKind::Eq: return make_int(n, a == b);
    case NodeKind::Ne: return make_int(n, a != b);
    case NodeKind::Lt: return make_int(n, uns ? ua < ub : a < b);
    case NodeKind::Le: return make_int(n, uns ? ua <= ub : a <= b);
    case NodeKind::Gt: return make_int(n, uns ? ua > ub : a > b);
    case NodeKind::Ge: return make_int(n, uns ? ua >= ub : a >= b);
    case NodeKind::BitAnd: return make_int(n, a & b);
    case NodeKind::BitOr: return make_int(n, a | b);
    case NodeKind::Xor: return make_int(n, a ^ b);
    case NodeKind::LogAnd: return make_int(n, a && b);
    case NodeKind::LogOr: return make_int(n, a || b);
    case NodeKind::Neg: return make_int(n, static_cast<int32_t>(0u - ua));
    case NodeKind::Compl: return make_int(n, ~a);
    case NodeKind::Not: return make_int(n, !a);
    default: break;
    }
    warn_once(tu, n, 128, uns ? "ULONG" : "LONG");
}

void fold_add(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if (n->right->kind == NodeKind::Neg) {
        n->right = n->right->left;
        n->kind = NodeKind::Sub;
        return fold_pass(tu, slot);
    }
    if (n->left->kind == NodeKind::Neg) {
        n->left = n->left->left;
        std::swap(n->left, n->right);
        n->kind = NodeKind::Sub;
        return fold_pass(tu, slot);
    }
    if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
        return fold_constant(tu, slot);
    if (n->right->kind == NodeKind::FrameAddr) std::swap(n->left, n->right);
    if (is_int(n->left) && n->left->value == 0) {
        slot = n->right;
        return;
    }
    if (n->left->kind == NodeKind::FrameAddr && is_int(n->right)) {
        Node* f = n->left;
        f->value += n->right->value;
        slot = f;
        return;
    }
    if (is_int(n->right) && n->right->value == 0) slot = n->left;
}

void fold_sub(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if (n->right->kind == NodeKind::Neg) {
        n->right = n->right->left;
        n->kind = NodeKind::Add;
        return fold_pass(tu, slot);
    }
    if (n->left->kind == NodeKind::FrameAddr && n->right->kind == NodeKind::FrameAddr) {
        make_int(n, n->left->value - n->right->value);
        return;
    }
    if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
        return fold_constant(tu, slot);
    if (is_int(n->left) && n->left->value == 0) {
        n->kind = NodeKind::Neg;
        n->left = n->right;
        n->right = nullptr;
        return;
    }
    if (is_int(n->right) && n->right->value == 0) slot = n->left;
}

void fold_mul(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
        return fold_constant(tu, slot);
    if (is_int(n->left)) std::swap(n->left, n->right);
    if (!is_int(n->right)) return;
    int32_t v = n->right->value;
    if (v == 0) {
        n->kind = NodeKind::Seq;  // the other operand is still evaluated
        return;
    }
    if (v == 1) {
        slot = n->left;
        return;
    }
    if (int k = power_of_two(v)) {
        n->kind = NodeKind::Shl;
        n->right->value = k;
    }
}

void fold_div_mod(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
        return fold_constant(tu, slot);
    if (is_int(n->left) && n->left->value == 0 && n->kind == NodeKind::Div) {
        std::swap(n->left, n->right);
        n->kind = NodeKind::Seq;
        return;
    }
    if (!is_int(n->right)) return;
    int32_t v = n->right->value;
    if (n->kind == NodeKind::Div && v == 1) {
        slot = n->left;
        return;
    }
    int k = power_of_two(v);
    if (k == 0 || !unsigned_node(n->type_kind)) return;
    if (n->kind == NodeKind::Div) {
        n->kind = NodeKind::Shr;
        n->right->value = k;
    } else {
        n->kind = NodeKind::BitAnd;
        n->right->value = v - 1;
    }
}

void fold_logic(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
        return fold_constant(tu, slot);
    if (n->kind == NodeKind::BitAnd) {
        if (all_ones(n->right) || byte_mask(n->right, n->left)) slot = n->left;
        else if (all_ones(n->left) || byte_mask(n->left, n->right)) slot = n->right;
    } else if (n->kind == NodeKind::BitOr) {
        if (is_int(n->right) && n->right->value == 0) slot = n->left;
        else if (is_int(n->left) && n->left->value == 0) slot = n->right;
    }
}

void fold_unary(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if (is_int(n->left) || (is_float(n->left) && n->kind != NodeKind::Compl))
        return fold_constant(tu, slot);
    if (n->kind != NodeKind::Not && n->left->kind == n->kind) slot = n->left->left;
}

}  // namespace

void fold_constant(TranslationUnit& tu, Node*& slot) {
    if (is_float(slot->left))
        fold_float(tu, slot);
    else
        fold_int(tu, slot);
}

namespace {

void fold_node(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    switch (n->kind) {
    case NodeKind::Seq: case NodeKind::Call: case NodeKind::Assign: case NodeKind::AddAssign:
    case NodeKind::SubAssign: case NodeKind::MulAssign: case NodeKind::DivAssign:
    case NodeKind::ModAssign: case NodeKind::ShrAssign: case NodeKind::XorAssign:
    case NodeKind::ShlAssign: case NodeKind::Pair: case NodeKind::BlockCopy:
        fold_pass(tu, n->left);
        fold_pass(tu, n->right);
        return;
    case NodeKind::OrAssign:
        fold_pass(tu, n->left);
        fold_pass(tu, n->right);
        if (is_int(n->right) && n->right->value == 0) slot = n->left;
        return;
    case NodeKind::AndAssign:
        fold_pass(tu, n->left);
        fold_pass(tu, n->right);
        if (all_ones(n->right)) slot = n->left;
        return;
    case NodeKind::Add: case NodeKind::Sub: case NodeKind::Mul: case NodeKind::Div:
    case NodeKind::Mod: case NodeKind::Shl: case NodeKind::Shr: case NodeKind::Eq:
    case NodeKind::Ne: case NodeKind::Lt: case NodeKind::Le: case NodeKind::Gt:
    case NodeKind::Ge: case NodeKind::LogAnd: case NodeKind::LogOr: case NodeKind::Xor:
    case NodeKind::BitAnd: case NodeKind::BitOr:
        fold_pass(tu, n->left);
        fold_pass(tu, n->right);
        break;
    case NodeKind::Neg: case NodeKind::Compl: case NodeKind::Not:
        fold_pass(tu, n->left);
        return fold_unary(tu, slot);
    case NodeKind::Cond:
        fold_pass(tu, n->left);
        fold_pass(tu, n->right);
        if (is_int(n->left) && n->right && n->right->kind == NodeKind::Pair)
            slot = n->left->value ? n->right->left : n->right->right;
        return;
    case NodeKind::Convert:
        fold_pass(tu, n->left);
        // narrowed to a byte again: only the low byte of the mask's result counts
        if (n->size == 1 && n->left && n->left->kind == NodeKind::BitAnd && n->left->left && n->left->right) {
            Node* a = n->left;
            if (byte_mask(a->right, a->left, true)) n->left = a->left;
            else if (byte_mask(a->left, a->right, true)) n->left = a->right;
        }
        return;
    case NodeKind::PostInc: case NodeKind::PostDec: case NodeKind::Load:
    case NodeKind::StructAddr: case NodeKind::BitValue:
        fold_pass(tu, n->left);
        return;
    case NodeKind::IntConst: case NodeKind::FloatConst: case NodeKind::StaticAddr:
    case NodeKind::NameAddr: case NodeKind::FrameAddr: case NodeKind::SizeofObject:
        return;
    }
    if (!n->left || !n->right) return;
    switch (n->kind) {
    case NodeKind::Add: return fold_add(tu, slot);
    case NodeKind::Sub: return fold_sub(tu, slot);
    case NodeKind::Mul: return fold_mul(tu, slot);
    case NodeKind::Div: case NodeKind::Mod: return fold_div_mod(tu, slot);
    case NodeKind::Shl: case NodeKind::Shr:
        if (is_int(n->left) && is_int(n->right)) return fold_constant(tu, slot);
        if (is_int(n->right) && n->right->value == 0) slot = n->left;
        return;
    case NodeKind::BitAnd: case NodeKind::BitOr: return fold_logic(tu, slot);
    case NodeKind::LogAnd: case NodeKind::LogOr:
        // Operands keep their own types here, so an int and a float may meet.
        if ((is_int(n->left) || is_float(n->left)) && (is_int(n->right) || is_float(n->right))) {
            bool a = is_int(n->left) ? n->left->value != 0 : n->left->fvalue != 0.0;
            bool b = is_int(n->right) ? n->right->value != 0 : n->right->fvalue != 0.0;
            make_int(n, n->kind == NodeKind::LogAnd ? (a && b) : (a || b));
        }
        return;
    default:
        if ((is_int(n->left) && is_int(n->right)) || (is_float(n->left) && is_float(n->right)))
            fold_constant(tu, slot);
        return;
    }
}

}  // namespace

void fold_pass(TranslationUnit& tu, Node*& slot) {
    if (!slot || slot->folded) return;
    fold_node(tu, slot);
    if (slot) slot->folded = true;
}

namespace {

void gather(TranslationUnit& tu, Node*& slot);

// Sums, differences and products of constant terms wrap at 32 bits, as the
// target's arithmetic does.
int32_t wrap_add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t wrap_sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t wrap_mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Sum of the integer constant terms of a tree; every constant taken is set to 0.
int32_t collect(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if (!n) return 0;
    n->folded = false;  // a constant below may change
    switch (n->kind) {
    case NodeKind::IntConst: {
        int32_t v = n->value;
        n->value = 0;
        return v;
    }
    case NodeKind::Add: {
        int32_t l = collect(tu, n->left);
        return wrap_add(l, collect(tu, n->right));
    }
    case NodeKind::Sub: {
        int32_t l = collect(tu, n->left);
        return wrap_sub(l, collect(tu, n->right));
    }
    case NodeKind::Neg: return wrap_sub(0, collect(tu, n->left));
    case NodeKind::Mul:
        if (is_int(n->right)) return wrap_mul(collect(tu, n->left), n->right->value);
        if (is_int(n->left)) return wrap_mul(collect(tu, n->right), n->left->value);
        gather(tu, n->left);
        gather(tu, n->right);
        return 0;
    case NodeKind::Assign: case NodeKind::AddAssign: case NodeKind::SubAssign: case NodeKind::MulAssign:
    case NodeKind::DivAssign: case NodeKind::ModAssign: case NodeKind::XorAssign: case NodeKind::AndAssign:
    case NodeKind::OrAssign:
        // the object written stays an object, a const one written through a cast included
        if (n->left && n->left->kind == NodeKind::Load) {
            n->left->folded = false;
            gather(tu, n->left->left);
        } else {
            gather(tu, n->left);
        }
        gather(tu, n->right);
        return 0;
    case NodeKind::Seq: case NodeKind::Call: case NodeKind::Pair: case NodeKind::BlockCopy:
    case NodeKind::Div: case NodeKind::Mod:
    case NodeKind::Shl: case NodeKind::Shr: case NodeKind::Eq: case NodeKind::Ne:
    case NodeKind::Lt: case NodeKind::Le: case NodeKind::Gt: case NodeKind::Ge:
    case NodeKind::BitAnd: case NodeKind::BitOr: case NodeKind::Xor: case NodeKind::LogAnd:
    case NodeKind::LogOr:
        gather(tu, n->left);
        gather(tu, n->right);
        return 0;
    case NodeKind::Not: case NodeKind::Compl: case NodeKind::Load: case NodeKind::Convert:
    case NodeKind::StructAddr: case NodeKind::BitValue:
        gather(tu, n->left);
        return 0;
    case NodeKind::Cond: case NodeKind::ShrAssign: case NodeKind::ShlAssign:
    case NodeKind::PostInc: case NodeKind::PostDec: case NodeKind::FloatConst:
    case NodeKind::StaticAddr: case NodeKind::NameAddr: case NodeKind::FrameAddr:
    case NodeKind::SizeofObject:
        return 0;
    }
    return 0;
}

bool const_load(const Node* n) {
    return n->kind == NodeKind::Load && n->left &&
           (n->left->kind == NodeKind::NameAddr || n->left->kind == NodeKind::StaticAddr) &&
           n->left->symbol && n->left->symbol->is_const && (n->left->symbol->flags & Initialised) &&
           is_scalar_kind(n->type_kind) &&
           // the object itself, not the first member or element of an aggregate
           n->left->symbol->type && n->left->symbol->type->kind == n->type_kind &&
           n->type_kind != Kind::Float && n->type_kind != Kind::Double && n->type_kind != Kind::Pointer;
}

void gather(TranslationUnit& tu, Node*& slot) {
    Node* n = slot;
    if (!n) return;
    n->folded = false;  // a constant below may change
    if (const_load(n)) {
        make_int(n, n->left->symbol->init_value);
        return;
    }
    if ((n->kind == NodeKind::Add || n->kind == NodeKind::Sub) && (is_int(n->left) || is_int(n->right))) {
        Node*& c = is_int(n->right) ? n->right : n->left;
        Node*& other = is_int(n->right) ? n->left : n->right;
        int32_t sum = collect(tu, other);
        // For a difference the terms move to the constant with the opposite
        // sign, whichever side the constant is on.
        int32_t v = n->kind == NodeKind::Sub ? wrap_sub(c->value, sum) : wrap_add(c->value, sum);
        c->value = cut_to_type(v, c->type_kind);
        return;
    }
    int32_t sum = collect(tu, slot);
    if (sum != 0) {
        Node* c = new_node(tu, NodeKind::IntConst, nullptr, nullptr);
        c->type_kind = n->type_kind;
        c->size = n->size;
        c->value = cut_to_type(sum, n->type_kind);
        Node* add = new_node(tu, NodeKind::Add, n, c);
        add->type_kind = n->type_kind;
        add->size = n->size;
        slot = add;
    }
}

}  // namespace

void swap_operands(Node* n) {
    if (n) std::swap(n->left, n->right);
}

bool is_leaf(const Node* n) {
    if (!n) return false;
    switch (n->kind) {
    case NodeKind::IntConst: case NodeKind::StaticAddr: case NodeKind::NameAddr: case NodeKind::FrameAddr:
        return true;
    default: return false;
    }
}

// Equality of the value nodes that operand descriptors carry: leaves by
// value, + and - by their very operand records.
bool same_value(const Node* a, const Node* b) {
    if (!a || !b || a->kind != b->kind) return false;
    switch (a->kind) {
    case NodeKind::IntConst: case NodeKind::StaticAddr: case NodeKind::FrameAddr: case NodeKind::Neg:
        return a->value == b->value;
    case NodeKind::FloatConst: return a->fvalue == b->fvalue;
    case NodeKind::NameAddr: return a->name == b->name;
    case NodeKind::Add: case NodeKind::Sub: return a->left == b->left && a->right == b->right;
    default: return false;
    }
}

void simplify(TranslationUnit& tu, Node*& slot, bool always) {
    if (tu.errors > 0 && !always) return;
    fold_pass(tu, slot);
    gather(tu, slot);
    fold_pass(tu, slot);
}

}  // namespace zun::tcx
