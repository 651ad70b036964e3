// SPDX-License-Identifier: MIT
// Function calls: the callee's type, the argument list checked against the
// parameters with the promotions of prototype-less and '...' arguments, and
// the call node.
#include "compiler/internal.h"

namespace zun::tcx {

namespace {

bool is_ptr(const Type* t) { return t->kind == Kind::Pointer; }

// Arguments are checked against the parameters when the callee has a
// parameter list; pairs run last argument first, as they are pushed, except
// for __pascal functions.
Node* argument_list(TranslationUnit& tu, Symbol* first, const std::string& fn_name) {
    BuiltinTypes& b = tu.builtin;
    Node* head = nullptr;
    Node* tail = nullptr;
    Symbol* q = first;
    bool pascal = first && first->pascal;
    int number = 0;
    ChainGuard chain(tu);
    while (tu.scan.tok != Tok::RParen) {
        Node* arg = nullptr;
        Type* at = expression(tu, arg);
        if (!at) {
            head = nullptr;
            break;
        }
        if (at->kind == Kind::Void) {
            report_str(tu, 55, fn_name);
            break;
        }
        int pending = 0;
        bool have_q = false;
        if (first) {
            ++number;
            if (!q || q->type->kind == Kind::Void) {
                report_str(tu, 13, fn_name);
            } else {
                have_q = q->type->kind != Kind::Ellipsis;
                if (have_q && !compatible_type(at, q->type)) pending = 103;
            }
        }
        Type* qt = have_q ? q->type : nullptr;
        switch (at->kind) {
        case Kind::Char: case Kind::UChar:
            if (qt && qt->kind != Kind::Char && qt->kind != Kind::UChar) at = convert(tu, arg, at, &b.int_, false);
            else at = convert(tu, arg, at, &b.char_, false);
            break;
        case Kind::Short: at = convert(tu, arg, at, &b.int_, false); break;
        case Kind::UShort: {
            // an unsigned value bound for a long parameter must widen with
            // zeros, so it stays unsigned on its way there
            bool to_long = qt && (qt->kind == Kind::Long || qt->kind == Kind::ULong);
            at = convert(tu, arg, at, to_long ? &b.uint : &b.int_, false);
            break;
        }
        case Kind::Float: at = convert(tu, arg, at, &b.double_, false); break;
        default: break;
        }
        if (qt) {
            Type* expected = qt;
            switch (qt->kind) {
            case Kind::Char: case Kind::UChar:
                at = convert(tu, arg, at, &b.char_, false);
                expected = &b.char_;
                break;
            case Kind::Short: case Kind::UShort: expected = &b.int_; break;
            case Kind::Long: case Kind::ULong:
                at = convert(tu, arg, at, &b.long_, false);
                expected = &b.long_;
                break;
            case Kind::Float: expected = &b.double_; break;
            case Kind::Function: expected = &b.implicit_fn; break;
            case Kind::Pointer: expected = &b.void_ptr; break;
            default: break;
            }
            if (at->size != expected->size) pending = 43;
        }
        if (pending == 103) report_str2(tu, 103, std::to_string(number), fn_name);
        if (pending == 43) report_str2(tu, 43, std::to_string(number), fn_name);
        if (q && q->type->kind != Kind::Ellipsis) q = q->newer;
        Node* pair = typed_node(tu, NodeKind::Pair, arg, nullptr, at);
        if (pascal) {
            if (tail) tail->right = pair;
            else head = pair;
            tail = pair;
        } else {
            pair->right = head;
            head = pair;
        }
        if (tu.scan.tok != Tok::Comma) break;
        chain.link();
        scan_token(tu);
    }
    if (first && q && q->type->kind != Kind::Ellipsis && q->type->kind != Kind::Void) report_str(tu, 13, fn_name);
    reset_counters(tu);
    return head;
}

}  // namespace

Type* call(TranslationUnit& tu, Type* t, Node*& slot) {
    Type* ft = t;
    if (is_ptr(t) && t->base && t->base->kind == Kind::Function) ft = t->base;
    if (ft->kind != Kind::Function) {
        report(tu, 38);
        ft = &tu.builtin.implicit_fn;
    }
    std::string name = slot->kind == NodeKind::NameAddr ? slot->name : std::string();
    Node* args = argument_list(tu, ft->first, name);
    Type* result = ft->base ? ft->base : &tu.builtin.int_;
    slot = typed_node(tu, NodeKind::Call, slot, args, result);
    if (result->kind == Kind::Void) slot->size = -1;
    expect(tu, Tok::RParen);
    return result;
}

}  // namespace zun::tcx
