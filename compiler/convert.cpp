// SPDX-License-Identifier: MIT
// Conversions between types: the usual arithmetic conversions of two
// operands, and the conversion of one tree to a type with the warnings that
// implicit and explicit conversions give. Constants convert in place.
#include "compiler/internal.h"

namespace zun::tcx {

namespace {

bool is_struct(const Type* t) { return t->kind == Kind::Struct || t->kind == Kind::Union; }
bool is_ptr(const Type* t) { return t->kind == Kind::Pointer; }

}  // namespace

Type* promote(TranslationUnit& tu, Type* t) {
    switch (t->kind) {
    case Kind::Char: case Kind::UChar: case Kind::Short: return &tu.builtin.int_;
    case Kind::UShort: return &tu.builtin.uint;
    case Kind::Float: return &tu.builtin.double_;
    case Kind::Bitfield: return t->unit_bits == 32 ? &tu.builtin.ulong : &tu.builtin.uint;
    default: return t;
    }
}

// The usual arithmetic conversions for a 16-bit int and a 32-bit long.
Type* arith_type(TranslationUnit& tu, Type* lt, Type* rt, Node*& l, Node*& r) {
    Type* a = promote(tu, lt);
    Type* b = promote(tu, rt);
    BuiltinTypes& bt = tu.builtin;
    Type* res;
    if (a->kind == Kind::Double || b->kind == Kind::Double) res = &bt.double_;
    else if (a->kind == Kind::ULong || b->kind == Kind::ULong) res = &bt.ulong;
    else if (a->kind == Kind::Long || b->kind == Kind::Long) res = &bt.long_;
    else if (a->kind == Kind::UShort || b->kind == Kind::UShort) res = &bt.uint;
    else res = &bt.int_;
    convert(tu, l, lt, res, false);
    convert(tu, r, rt, res, false);
    return res;
}

Type* convert(TranslationUnit& tu, Node*& slot, Type* from, Type* to, bool explicit_cast) {
    if (!slot || !from || !to) return to;
    // Folding first lets constant operands convert as constants; after an
    // error trees stay as parsed, except in constant expressions.
    if (tu.errors == 0 || tu.constant_depth > 0) fold_pass(tu, slot);
    Node* n = slot;
    if (from->kind == to->kind && from->kind != Kind::Bitfield) {
        if (explicit_cast || compatible_type(from, to)) {
            // keep
        } else if (to->kind == Kind::Pointer) {
            if (!(n->kind == NodeKind::IntConst && n->value == 0)) report(tu, 104);
        } else if (is_struct(to) && from->size != to->size) {
            report(tu, 7);
        } else if (!is_struct(to)) {
            report(tu, 115);
        }
        return to;
    }
    if (n->kind == NodeKind::IntConst) {
        if (to->kind == Kind::Float || to->kind == Kind::Double) {
            n->kind = NodeKind::FloatConst;
            n->fvalue = single_value(is_unsigned(from->kind) ? static_cast<double>(static_cast<uint32_t>(n->value)) : n->value);
        } else if (to->kind == Kind::Pointer || to->kind == Kind::Void) {
        } else if (!is_integer(to)) {
            report(tu, 8);
            return to;
        } else {
            int32_t cut = cut_to_type(n->value, to->kind);
            if (cut != n->value) report(tu, 82);
            n->value = cut;
        }
        set_type(n, to);
        return to;
    }
    if (n->kind == NodeKind::FloatConst && is_integer(to)) {
        double v = n->fvalue;
        int64_t w = v >= -2147483648.0 && v < 4294967296.0 ? static_cast<int64_t>(v) : 0;
        int32_t cut = cut_to_type(static_cast<int32_t>(static_cast<uint32_t>(w)), to->kind);
        if (static_cast<double>(cut) != v) report(tu, 82);
        n->kind = NodeKind::IntConst;
        n->value = cut;
        set_type(n, to);
        return to;
    }
    if (is_struct(from) || is_struct(to)) {
        report(tu, 24);
        return to;
    }
    if (!explicit_cast) {
        if (is_ptr(from) || is_ptr(to)) report(tu, 115);
        else if (to->size < from->size && to->kind != Kind::Void && to->kind != Kind::Float) report(tu, 83);
    }
    if (is_ptr(to) && from->size < 2) report(tu, 106);
    slot = typed_node(tu, NodeKind::Convert, n, nullptr, to);
    return to;
}

}  // namespace zun::tcx
