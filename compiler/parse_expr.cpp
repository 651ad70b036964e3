// SPDX-License-Identifier: MIT
// Expressions into typed trees: every operator from the comma down to
// primaries, casts, sizeof, subscripts, members, calls and their argument
// lists, the usual conversions, and the constant helpers that declarations
// and initialisers call.
#include "compiler/internal.h"

#include <array>
#include <deque>

namespace zun::tcx {

Node* blank_node(TranslationUnit& tu) { return tu.function ? tu.function->nodes.make() : tu.nodes.make(); }

Node* new_node(TranslationUnit& tu, NodeKind kind, Node* left, Node* right) {
    Node& n = *blank_node(tu);
    n.kind = kind;
    n.left = left;
    n.right = right;
    n.pos = tu.scan.tok_start;
    return &n;
}

Node* new_int_constant(TranslationUnit& tu, int32_t value, const Type* t) {
    Node* n = new_node(tu, NodeKind::IntConst, nullptr, nullptr);
    n->value = value;
    n->type_kind = t->kind;
    n->size = t->size;
    return n;
}

void set_type(Node* n, const Type* t) {
    n->type_kind = t->kind;
    n->size = t->size;
}

Node* typed_node(TranslationUnit& tu, NodeKind kind, Node* l, Node* r, const Type* t) {
    Node* n = new_node(tu, kind, l, r);
    set_type(n, t);
    return n;
}

namespace {

// The parsers recurse once per level of nesting; the work done at one
// level, in the helpers marked noinline, keeps its locals out of the
// recursing frames, so that the deepest nesting allowed needs little stack.

int sizeof_depth(TranslationUnit& tu);

bool is_struct(const Type* t) { return t->kind == Kind::Struct || t->kind == Kind::Union; }
bool is_ptr(const Type* t) { return t->kind == Kind::Pointer; }

Type* unary(TranslationUnit& tu, Node*& slot);

// ---- values and names ----

Type* value_of(TranslationUnit& tu, Type* t, Node*& slot) {
    if (t->kind == Kind::Pointer && t->array) {
        if (sizeof_depth(tu) > 0) {
            slot->kind = NodeKind::SizeofObject;
            slot->value = t->size;
        }
        Type* p = pointer_to(tu, t->base);
        p->array = true;
        return p;
    }
    if (t->kind == Kind::Function || t->array) return t;
    if (t->kind == Kind::Bitfield) {
        Type* u = t->unit_bits == 8 ? &tu.builtin.uchar : t->unit_bits == 32 ? &tu.builtin.ulong : &tu.builtin.uint;
        Node* n = typed_node(tu, NodeKind::BitValue, slot, nullptr, u);
        n->bit_width = t->bit_width;
        n->bit_offset = t->bit_offset;
        n->is_volatile = t->is_volatile;
        slot = n;
        return u;
    }
    if (is_scalar_kind(t->kind) || is_struct(t)) {
        slot = typed_node(tu, NodeKind::Load, slot, nullptr, t);
        slot->is_volatile = t->is_volatile;
        return t;
    }
    report(tu, 14);
    return t;
}

Type* implicit_function(TranslationUnit& tu, const std::string& name, Node*& slot) {
    ++tu.depth;
    Symbol* s = new_symbol(tu, name);
    s->type = &tu.builtin.implicit_fn;
    s->sclass = StorageClass::Extern;
    s->is_function = true;
    s->checked = true;
    --tu.depth;
    report_str(tu, 94, name);
    append_symbol(tu.file_scope, s);
    s->flags |= Referenced;
    slot = new_node(tu, NodeKind::NameAddr, nullptr, nullptr);
    slot->symbol = s;
    slot->name = name;
    slot->type_kind = Kind::Pointer;
    slot->size = 2;
    scan_token(tu);
    return pointer_to(tu, s->type);
}

// name-primary: identifier
[[gnu::noinline]] Type* name_primary(TranslationUnit& tu, Node*& slot) {
    std::string name = token_text(tu);
    Symbol* s = lookup(tu, name);
    if (!s) {
        // The raw next character decides between a call and an unknown name.
        skip_space(tu);
        if (tu.scan.ch == '(') return implicit_function(tu, name, slot);
    }
    if (!s || !s->type) {
        report_str(tu, 52, name);
        scan_token(tu);
        return nullptr;
    }
    Node* n = new_node(tu, NodeKind::FrameAddr, nullptr, nullptr);
    n->symbol = s;
    n->type_kind = Kind::Pointer;
    n->size = 2;
    switch (s->sclass) {
    case StorageClass::Static:
        n->kind = s->is_function ? NodeKind::NameAddr : NodeKind::StaticAddr;
        n->value = s->value;
        n->name = s->name;
        break;
    case StorageClass::Global: case StorageClass::Extern:
        n->kind = NodeKind::NameAddr;
        n->name = s->name;
        break;
    case StorageClass::EnumConst:
        s->flags |= Referenced;
        scan_token(tu);
        slot = new_int_constant(tu, s->value, &tu.builtin.enum_const);
        return &tu.builtin.enum_const;
    case StorageClass::Auto:
        n->value = s->value;
        break;
    default:
        report(tu, 26);
        n->value = s->value;
        break;
    }
    slot = n;
    Type* t = value_of(tu, s->type, slot);
    if (s->type->kind == Kind::Function) t = pointer_to(tu, s->type);
    s->flags |= Referenced;
    scan_token(tu);
    return t;
}

// primary: constant | string | identifier | '(' expression ')'
// A '(' has already been read by the prefix loop of unary, which tells a
// cast from a parenthesised expression (paren_read).
Type* primary(TranslationUnit& tu, Node*& slot, bool paren_read) {
    Scanner& s = tu.scan;
    BuiltinTypes& b = tu.builtin;
    if (paren_read) {
        NestingGuard guard(tu, Nesting::Expression);
        Type* t = comma_expression(tu, slot);
        expect(tu, Tok::RParen);
        return t;
    }
    Type* t = nullptr;
    switch (s.tok) {
    case Tok::IntConst: t = &b.int_; break;
    case Tok::LongConst: t = &b.long_; break;
    case Tok::UIntConst: t = &b.uint; break;
    case Tok::ULongConst: t = &b.ulong; break;
    case Tok::FloatConst:
        slot = typed_node(tu, NodeKind::FloatConst, nullptr, nullptr, &b.double_);
        slot->fvalue = single_value(s.fval);
        scan_token(tu);
        return &b.double_;
    case Tok::String: {
        int len = static_cast<int>(s.str.size()) + 1;
        if (sizeof_depth(tu) > 0) {
            slot = typed_node(tu, NodeKind::SizeofObject, nullptr, nullptr, &b.char_ptr);
            slot->value = len;
        } else {
            slot = typed_node(tu, NodeKind::StaticAddr, nullptr, nullptr, &b.char_ptr);
            slot->value = pool_string(tu, s.str, nullptr);
            // A literal equal to the function's __func__ string shares its
            // entry, which must then be written even if __func__ is not used.
            auto it = tu.out.pool_index.find(s.str);
            if (it != tu.out.pool_index.end()) tu.out.pool[it->second].owner = nullptr;
        }
        slot->literal_size = len;
        scan_token(tu);
        return &b.char_ptr;
    }
    case Tok::Ident: return name_primary(tu, slot);
    default: return nullptr;
    }
    slot = new_int_constant(tu, static_cast<int32_t>(s.ival), t);
    slot->value = cut_to_type(slot->value, t->kind);
    scan_token(tu);
    return t;
}

// A member of a const structure is const itself, and so are the elements
// of a member array: the type of such a value with that qualifier added.
Type* const_view(TranslationUnit& tu, Type* t) {
    if (t->is_const && !(t->kind == Kind::Pointer && t->array)) return t;
    Type* c = copy_type(tu, t);
    c->is_const = true;
    if (c->kind == Kind::Pointer && c->array && c->base) c->base = const_view(tu, c->base);
    return c;
}

// A member of a volatile structure is volatile itself, and so are the
// elements of a member array.
Type* volatile_view(TranslationUnit& tu, Type* t) {
    if (t->is_volatile && !(t->kind == Kind::Pointer && t->array)) return t;
    Type* v = copy_type(tu, t);
    v->is_volatile = true;
    if (v->kind == Kind::Pointer && v->array && v->base) v->base = volatile_view(tu, v->base);
    return v;
}

Symbol* find_member(const Type* t, const std::string& name) {
    if (!is_struct(t)) return nullptr;
    for (Symbol* m = t->last; m; m = m->older)
        if (m->name == name) return m;
    return nullptr;
}

[[gnu::noinline]] Type* member(TranslationUnit& tu, Type* t, Node*& slot) {
    if (tu.scan.tok != Tok::Ident) {
        report(tu, 23);
        return t;
    }
    Symbol* m = find_member(t, token_text(tu));
    scan_token(tu);
    if (!m) {
        report(tu, 40);
        return t;
    }
    // a member of a structure that is only a value (a call's result, an
    // assignment's, a cast's) is a value too
    bool value = slot->kind != NodeKind::Load || slot->value_only;
    Node* addr = slot->kind == NodeKind::Load ? slot->left
                                              : typed_node(tu, NodeKind::StructAddr, slot, nullptr, &tu.builtin.void_ptr);
    Node* off = new_int_constant(tu, t->kind == Kind::Union ? 0 : m->value, &tu.builtin.int_);
    slot = typed_node(tu, NodeKind::Add, addr, off, &tu.builtin.void_ptr);
    Type* v = value_of(tu, t->is_volatile ? volatile_view(tu, m->type) : m->type, slot);
    slot->value_only = value;
    // a const bit-field's value type is the plain unsigned type of its unit
    return t->is_const || m->is_const ? const_view(tu, v) : v;
}

Type* subscript(TranslationUnit& tu, Type* t, Node*& slot) {
    Node* index = nullptr;
    Type* it = comma_expression(tu, index);
    expect(tu, Tok::RBracket);
    if (!it) {
        if (!is_ptr(t)) return nullptr;
        report(tu, 32);
        report(tu, 7);
        return t;
    }
    Node* ptr = slot;
    Type* pt = t;
    if (!is_ptr(t)) {
        std::swap(ptr, index);
        std::swap(pt, it);
    }
    if (!is_integer(it)) report(tu, 32);
    Type* elem = pt;
    if (is_ptr(pt))
        elem = pt->base;
    else
        report(tu, 41);
    convert(tu, index, it, &tu.builtin.int_, true);
    Node* scaled = typed_node(tu, NodeKind::Mul, new_int_constant(tu, elem->size, &tu.builtin.int_), index,
                              &tu.builtin.int_);
    convert(tu, scaled, &tu.builtin.int_, pt, true);
    slot = typed_node(tu, NodeKind::Add, scaled, ptr, &tu.builtin.void_ptr);
    return value_of(tu, elem, slot);
}

bool is_lvalue(const Node* n) {
    return n && !n->value_only && (n->kind == NodeKind::Load || n->kind == NodeKind::BitValue);
}

// The step of ++ and --: a constant of type long, or 1.0 for floating types.
Node* step_constant(TranslationUnit& tu, Type* t, bool prefix) {
    BuiltinTypes& b = tu.builtin;
    if (t->kind == Kind::Float || t->kind == Kind::Double) {
        Node* n = typed_node(tu, NodeKind::FloatConst, nullptr, nullptr, t);
        n->fvalue = 1.0;
        return n;
    }
    if (is_ptr(t)) {
        int32_t size = t->base ? t->base->size : -1;
        if (size < 0) report(tu, 48);
        return new_int_constant(tu, size < 0 ? -1 : size, prefix ? &b.int_ : &b.long_);
    }
    if (prefix && !is_integer(t)) report(tu, 32);
    return new_int_constant(tu, 1, prefix && t->size != 4 ? &b.int_ : &b.long_);
}

[[gnu::noinline]] Type* postfix_step(TranslationUnit& tu, Type* t, Node*& slot) {
    NodeKind kind = tu.scan.tok == Tok::Inc ? NodeKind::PostInc : NodeKind::PostDec;
    scan_token(tu);
    if (!is_lvalue(slot)) {
        report(tu, 35);
        return t;
    }
    if (writes_constant(slot, t)) report(tu, 79);
    Node* step = step_constant(tu, t, false);
    slot = typed_node(tu, kind, slot, step, t);
    return t;
}

// postfix: primary { '[' expression ']' | '.' identifier | '->' identifier | '(' args ')' | '++' | '--' }
Type* postfix(TranslationUnit& tu, Node*& slot, bool paren_read) {
    Type* t = primary(tu, slot, paren_read);
    ChainGuard chain(tu);
    while (t) {
        chain.link();
        if (tu.scan.tok == Tok::LBracket) {
            scan_token(tu);
            NestingGuard guard(tu, Nesting::Expression);
            t = subscript(tu, t, slot);
        } else if (tu.scan.tok == Tok::Dot) {
            scan_token(tu);
            t = member(tu, t, slot);
        } else if (tu.scan.tok == Tok::Arrow) {
            scan_token(tu);
            Type* s = t;
            if (is_ptr(t))
                s = t->base;
            else
                report(tu, 41);
            Type* v = value_of(tu, s, slot);
            t = member(tu, v, slot);
        } else if (tu.scan.tok == Tok::LParen) {
            scan_token(tu);
            NestingGuard guard(tu, Nesting::Expression);
            t = call(tu, t, slot);
        } else if (tu.scan.tok == Tok::Inc || tu.scan.tok == Tok::Dec) {
            t = postfix_step(tu, t, slot);
        } else {
            break;
        }
    }
    return t;
}

// The size that sizeof gives for its operand tree n of type t; -1 for
// what has no size (a function, a bit-field, an incomplete type).
int32_t operand_size(const Node* n, const Type* t) {
    if (t->kind == Kind::Function || (n && n->kind == NodeKind::NameAddr && t->kind == Kind::Pointer && t->base &&
                                      t->base->kind == Kind::Function))
        return -1;
    if (n && n->kind == NodeKind::BitValue) return -1;
    return n && n->kind == NodeKind::SizeofObject ? n->value : t->size;
}

[[gnu::noinline]] Type* sizeof_value(TranslationUnit& tu, int32_t size, Node*& slot) {
    if (size < 0) {
        report(tu, 28);
        size = 0;
    } else if (size == 0) {
        report(tu, 113);
    } else if (size > 65535) {
        report(tu, 114);
    }
    slot = new_int_constant(tu, size, &tu.builtin.uint);
    slot->value = cut_to_type(size, Kind::UShort);
    return &tu.builtin.uint;
}

// One prefix of a unary expression: an operator, sizeof or a cast (op '(').
struct Prefix {
    Tok op;
    Type* cast = nullptr;
};

// A cast gives the value of its operand in the type named, without the
// type's own qualifiers; the value is no object to assign to.
[[gnu::noinline]] Type* cast_value(TranslationUnit& tu, Type* to, Type* from, Node*& n) {
    Type* t = convert(tu, n, from, to, true);
    if (t && (t->is_const || t->is_volatile)) {
        t = copy_type(tu, t);
        t->is_const = t->is_volatile = false;
    }
    if (n) n->value_only = true;
    return t;
}

// Applies one prefix to its operand n of type t (none when the operand
// failed); returns the type of the result.
[[gnu::noinline]] Type* apply_prefix(TranslationUnit& tu, const Prefix& p, Type* t, Node*& n) {
    BuiltinTypes& b = tu.builtin;
    if (p.op == Tok::LParen) {
        if (!t) {
            report(tu, 23);
            report(tu, 7);
            return nullptr;
        }
        return cast_value(tu, p.cast, t, n);
    }
    if (p.op == Tok::Sizeof) --tu.sizeof_depth;
    if (!t) return nullptr;
    switch (p.op) {
    case Tok::Sizeof: return sizeof_value(tu, operand_size(n, t), n);
    case Tok::Inc: case Tok::Dec:
        if (!is_lvalue(n)) {
            report(tu, 35);
            return t;
        }
        if (writes_constant(n, t)) report(tu, 79);
        n = typed_node(tu, p.op == Tok::Inc ? NodeKind::AddAssign : NodeKind::SubAssign, n, step_constant(tu, t, true),
                       t);
        return t;
    case Tok::Plus: {
        // the operand's value, promoted: no object to assign to or take the address of
        Type* w = t->kind == Kind::Float ? t : promote(tu, t);
        if (w != t) convert(tu, n, t, w, false);
        if (n) n->value_only = true;
        return w;
    }
    case Tok::Minus:
        if (is_ptr(t)) {
            report(tu, 80);
            return t;
        }
        if (t->kind == Kind::Char || t->kind == Kind::UChar || t->kind == Kind::Float) {
            Type* w = t->kind == Kind::Float ? &b.double_ : &b.short_;
            convert(tu, n, t, w, false);
            t = w;
        }
        if (is_unsigned(t->kind) && n->kind != NodeKind::IntConst) report(tu, 118);
        n = typed_node(tu, NodeKind::Neg, n, nullptr, t);
        return t;
    case Tok::Tilde: {
        if (!is_integer(t)) report(tu, 32);
        Type* w = promote(tu, t);
        convert(tu, n, t, w, false);
        n = typed_node(tu, NodeKind::Compl, n, nullptr, w);
        return w;
    }
    case Tok::Not:
        n = typed_node(tu, NodeKind::Not, n, nullptr, &b.int_);
        return &b.int_;
    case Tok::And:
        if (n->kind == NodeKind::Load && n->left && n->left->kind == NodeKind::FrameAddr && n->left->symbol &&
            n->left->symbol->is_register)
            report_str(tu, 0, n->left->symbol->name);
        if (n->kind == NodeKind::Load && !n->value_only) {
            // An object whose address is known elsewhere cannot live in a register.
            if (n->left && n->left->kind == NodeKind::FrameAddr && n->left->symbol)
                drop_register_candidate(tu, n->left->symbol);
            n = n->left;
            return pointer_to(tu, t);
        }
        if (n->kind == NodeKind::BitValue) report(tu, 3);
        else if (t->kind == Kind::Pointer && t->base && t->base->kind == Kind::Function) report(tu, 91);
        else if (t->kind == Kind::Pointer && t->array) report(tu, 90);
        else report(tu, 35);
        return t;
    case Tok::Star:
        if (!t->base) {
            report(tu, 14);
            return value_of(tu, t, n);
        }
        if (t->base->kind == Kind::Function) return t;
        return value_of(tu, t->base, n);
    default: return nullptr;
    }
}

bool is_prefix_operator(Tok t) {
    switch (t) {
    case Tok::Plus: case Tok::Minus: case Tok::Tilde: case Tok::Not: case Tok::And: case Tok::Star:
    case Tok::Inc: case Tok::Dec:
        return true;
    default: return false;
    }
}

// unary: { '+' | '-' | '~' | '!' | '&' | '*' | '++' | '--' | sizeof | '(' type-name ')' } postfix
//      | [ prefixes ] sizeof '(' type-name ')' | [ prefixes ] sizeof '(' expression ')'
// The prefixes are read in a loop and applied innermost first: a run of
// them is a chain, not a nesting.
Type* unary(TranslationUnit& tu, Node*& slot) {
    std::vector<Prefix> prefixes;
    ChainGuard chain(tu);
    Type* t = nullptr;
    bool paren_read = false;
    bool have_operand = false;
    for (;;) {
        Tok op = tu.scan.tok;
        if (is_prefix_operator(op)) {
            prefixes.push_back({op});
        } else if (op == Tok::Sizeof) {
            scan_token(tu);
            ++tu.sizeof_depth;
            prefixes.push_back({op});
            chain.link();
            if (tu.scan.tok != Tok::LParen) continue;
            scan_token(tu);
            have_operand = true;
            if (is_type_start(tu, tu.scan.tok)) {
                // sizeof of a type: its own result, no operand to apply it to
                Type* named = type_name(tu);
                expect(tu, Tok::RParen);
                prefixes.pop_back();
                --tu.sizeof_depth;
                t = sizeof_value(tu, named->size, slot);
            } else {
                // sizeof '(' expression ')' takes no postfix operators
                NestingGuard guard(tu, Nesting::Expression);
                t = comma_expression(tu, slot);
                expect(tu, Tok::RParen);
            }
            break;
        } else if (op == Tok::LParen) {
            scan_token(tu);
            if (!is_type_start(tu, tu.scan.tok)) {
                paren_read = true;
                break;
            }
            Type* to = type_name(tu);
            expect(tu, Tok::RParen);
            prefixes.push_back({op, to});
        } else {
            break;
        }
        if (op != Tok::LParen) scan_token(tu);
        chain.link();
    }
    if (!have_operand) t = postfix(tu, slot, paren_read);
    for (auto p = prefixes.rbegin(); p != prefixes.rend(); ++p) t = apply_prefix(tu, *p, t, slot);
    return t;
}

struct BinaryOp {
    Tok tok;
    NodeKind kind;
    int level;  // higher binds tighter
};

// Binary operators by precedence, logical or (1) to multiplicative (10).
constexpr std::array<BinaryOp, 18> binary_ops = {{
    {Tok::OrOr, NodeKind::LogOr, 1},   {Tok::AndAnd, NodeKind::LogAnd, 2}, {Tok::Or, NodeKind::BitOr, 3},
    {Tok::Caret, NodeKind::Xor, 4},    {Tok::And, NodeKind::BitAnd, 5},   {Tok::Eq, NodeKind::Eq, 6},
    {Tok::Ne, NodeKind::Ne, 6},        {Tok::Lt, NodeKind::Lt, 7},        {Tok::Le, NodeKind::Le, 7},
    {Tok::Gt, NodeKind::Gt, 7},        {Tok::Ge, NodeKind::Ge, 7},        {Tok::Shl, NodeKind::Shl, 8},
    {Tok::Shr, NodeKind::Shr, 8},      {Tok::Plus, NodeKind::Add, 9},     {Tok::Minus, NodeKind::Sub, 9},
    {Tok::Star, NodeKind::Mul, 10},    {Tok::Slash, NodeKind::Div, 10},   {Tok::Percent, NodeKind::Mod, 10},
}};

const BinaryOp* binary_op(Tok t) {
    for (const auto& op : binary_ops)
        if (op.tok == t) return &op;
    return nullptr;
}

Type* scale_pointer(TranslationUnit& tu, NodeKind kind, Type* pt, Node*& p, Type* it, Node*& i, Node*& slot) {
    if (!is_integer(it)) report(tu, 32);
    int32_t elem = pt->base ? pt->base->size : 1;
    if (elem < 0) report(tu, 48);
    convert(tu, i, it, &tu.builtin.int_, true);
    i = typed_node(tu, NodeKind::Mul, new_int_constant(tu, elem, &tu.builtin.int_), i, &tu.builtin.int_);
    Type* r = pointer_to(tu, pt->base);
    slot = typed_node(tu, kind, p, i, r);
    return r;
}

Type* additive(TranslationUnit& tu, NodeKind kind, Type* lt, Node*& l, Type* rt, Node*& r, Node*& slot) {
    if (is_ptr(lt) && is_ptr(rt) && kind == NodeKind::Sub) {
        Node* diff = typed_node(tu, NodeKind::Sub, l, r, &tu.builtin.int_);
        int32_t elem = lt->base ? lt->base->size : 1;
        slot = typed_node(tu, NodeKind::Div, diff, new_int_constant(tu, elem, &tu.builtin.int_), &tu.builtin.int_);
        return &tu.builtin.int_;
    }
    if (is_ptr(lt)) return scale_pointer(tu, kind, lt, l, rt, r, slot);
    if (is_ptr(rt) && kind == NodeKind::Add) return scale_pointer(tu, kind, rt, r, lt, l, slot);
    Type* t = arith_type(tu, lt, rt, l, r);
    slot = typed_node(tu, kind, l, r, t);
    return t;
}

[[gnu::noinline]] Type* binary_node(TranslationUnit& tu, NodeKind kind, Type* lt, Node*& l, Type* rt, Node*& r,
                                     Node*& slot) {
    BuiltinTypes& b = tu.builtin;
    switch (kind) {
    case NodeKind::Add: case NodeKind::Sub: return additive(tu, kind, lt, l, rt, r, slot);
    case NodeKind::LogAnd: case NodeKind::LogOr:
        if ((!is_arith(lt) && !is_ptr(lt)) || (!is_arith(rt) && !is_ptr(rt))) report(tu, 32);
        slot = typed_node(tu, kind, l, r, &b.int_);
        return &b.int_;
    case NodeKind::Eq: case NodeKind::Ne: case NodeKind::Lt: case NodeKind::Le: case NodeKind::Gt:
    case NodeKind::Ge:
        // A pointer meets an integer (usually the null pointer constant) as a pointer.
        if (is_ptr(lt) && is_integer(rt)) convert(tu, r, rt, lt, false);
        else if (is_ptr(rt) && is_integer(lt)) convert(tu, l, lt, rt, false);
        else if (!is_ptr(lt) || !is_ptr(rt)) arith_type(tu, lt, rt, l, r);
        slot = typed_node(tu, kind, l, r, &b.int_);
        return &b.int_;
    case NodeKind::Shl: case NodeKind::Shr: {
        if (!is_integer(lt) || !is_integer(rt)) report(tu, 32);
        if (r->kind == NodeKind::Neg && r->left && r->left->kind == NodeKind::IntConst) report(tu, 125);
        Type* t = promote(tu, lt);
        convert(tu, l, lt, t, false);
        convert(tu, r, rt, promote(tu, rt), false);
        slot = typed_node(tu, kind, l, r, t);
        return t;
    }
    case NodeKind::Mod: case NodeKind::BitAnd: case NodeKind::BitOr: case NodeKind::Xor:
        if (!is_integer(lt) || !is_integer(rt)) report(tu, 32);
        break;
    default: break;
    }
    Type* t = arith_type(tu, lt, rt, l, r);
    slot = typed_node(tu, kind, l, r, t);
    return t;
}

// binary: unary { binary-operator unary }, the operators of logical or down
// to multiplicative by their precedence. One loop over a stack of pending
// left operands reads them all: a parenthesis costs the parser one frame of
// it, however many precedence levels lie between.
Type* binary(TranslationUnit& tu, Node*& slot) {
    struct Pending {
        Node* left;
        Type* type;
        const BinaryOp* op;
    };
    std::vector<Pending> pending;
    ChainGuard chain(tu);
    Type* t = unary(tu, slot);
    if (!t) return nullptr;
    for (;;) {
        const BinaryOp* op = binary_op(tu.scan.tok);
        // operators bind to the left: what binds as tightly or tighter is complete
        while (!pending.empty() && (!op || pending.back().op->level >= op->level)) {
            Pending p = pending.back();
            pending.pop_back();
            if (is_struct(p.type) || is_struct(t)) {
                report(tu, 77);
                return nullptr;
            }
            Node* r = slot;
            t = binary_node(tu, p.op->kind, p.type, p.left, t, r, slot);
        }
        if (!op) return t;
        chain.link();
        scan_token(tu);
        pending.push_back({slot, t, op});
        slot = nullptr;
        t = unary(tu, slot);
        if (!t) {
            report(tu, 23);
            return nullptr;
        }
    }
}

}  // namespace

// comma-expression: expression [ ',' comma-expression ]
Type* comma_expression(TranslationUnit& tu, Node*& slot) {
    // Read as a loop: a list of many thousand operands must not recurse.
    std::vector<Node*> items;
    ChainGuard chain(tu);
    Type* t = nullptr;
    for (;;) {
        Node* n = nullptr;
        t = expression(tu, n);
        if (!t) {
            if (!items.empty()) report(tu, 23);
            slot = nullptr;
            return nullptr;
        }
        items.push_back(n);
        if (tu.scan.tok != Tok::Comma) break;
        chain.link();
        scan_token(tu);
    }
    // a, b, c is Seq(a, Seq(b, c)); every Seq has the type of its last operand
    Node* tail = items.back();
    for (size_t i = items.size() - 1; i-- > 0;) tail = typed_node(tu, NodeKind::Seq, items[i], tail, t);
    slot = tail;
    return t;
}

namespace {

// The node of c ? a : b, the arms brought to one type.
[[gnu::noinline]] Type* conditional_node(TranslationUnit& tu, Node* c, Node* a, Type* at, Node* b, Type* bt,
                                          Node*& slot) {
    Type* r = at;
    BuiltinTypes& bi = tu.builtin;
    if (at->kind == Kind::Void || bt->kind == Kind::Void) {
        if (at->kind != Kind::Void) convert(tu, a, at, &bi.void_, true);
        if (bt->kind != Kind::Void) convert(tu, b, bt, &bi.void_, true);
        r = &bi.void_;
    } else if (is_arith(at) && is_arith(bt)) {
        r = arith_type(tu, at, bt, a, b);
    } else if (is_ptr(at) && is_integer(bt)) {
        convert(tu, b, bt, at, false);
    } else if (is_ptr(bt) && is_integer(at)) {
        convert(tu, a, at, bt, false);
        r = bt;
    }
    Node* pair = typed_node(tu, NodeKind::Pair, a, b, r);
    slot = typed_node(tu, NodeKind::Cond, c, pair, r);
    return r;
}

}  // namespace

// conditional: logical-or [ '?' expression ':' conditional ]
// The operand between '?' and ':' is nested; a run of conditionals in the
// last operand (a ? b : c ? d : e) is a chain, read as a loop and built
// from the right.
Type* conditional_expression(TranslationUnit& tu, Node*& slot) {
    struct Arm {
        Node* condition;
        Node* value;
        Type* type;
    };
    std::vector<Arm> arms;
    ChainGuard chain(tu);
    Type* t = binary(tu, slot);
    bool failed = false;
    while (t && tu.scan.tok == Tok::Question) {
        chain.link();
        scan_token(tu);
        Arm arm{slot, nullptr, nullptr};
        {
            NestingGuard guard(tu, Nesting::Expression);
            arm.type = comma_expression(tu, arm.value);
        }
        failed = failed || !arm.type;
        arms.push_back(arm);
        expect(tu, Tok::Colon);
        slot = nullptr;
        t = binary(tu, slot);
    }
    if (arms.empty()) return t;
    if (!t || failed) {
        report(tu, 23);
        return nullptr;
    }
    for (auto a = arms.rbegin(); a != arms.rend(); ++a)
        t = conditional_node(tu, a->condition, a->value, a->type, slot, t, slot);
    return t;
}

namespace {

NodeKind assignment_kind(Tok t) {
    switch (t) {
    case Tok::Assign: return NodeKind::Assign;
    case Tok::AddAssign: return NodeKind::AddAssign;
    case Tok::SubAssign: return NodeKind::SubAssign;
    case Tok::MulAssign: return NodeKind::MulAssign;
    case Tok::DivAssign: return NodeKind::DivAssign;
    case Tok::ModAssign: return NodeKind::ModAssign;
    case Tok::XorAssign: return NodeKind::XorAssign;
    case Tok::ShlAssign: return NodeKind::ShlAssign;
    case Tok::ShrAssign: return NodeKind::ShrAssign;
    case Tok::AndAssign: return NodeKind::AndAssign;
    case Tok::OrAssign: return NodeKind::OrAssign;
    default: return NodeKind::Seq;
    }
}

// The node of l op= r for the lvalue l of type lt; on an error the left
// operand stands for the whole. Returns the type of the result.
[[gnu::noinline]] Type* assignment_node(TranslationUnit& tu, NodeKind kind, Node* l, Type* lt, Node* r, Type* rt,
                                         Node*& slot) {
    slot = l;
    if (!is_lvalue(l)) {
        report(tu, 35);
        return lt;
    }
    if (rt->kind == Kind::Void) {
        report(tu, 56);
        return lt;
    }
    if (kind != NodeKind::Assign && (is_struct(lt) || is_struct(rt))) {
        report(tu, 77);
        return lt;
    }
    if (writes_constant(l, lt)) report(tu, 79);
    if ((kind == NodeKind::AddAssign || kind == NodeKind::SubAssign) && is_ptr(lt) && !is_ptr(rt)) {
        if (!is_integer(rt)) report(tu, 32);
        int32_t elem = lt->base ? lt->base->size : -1;
        if (elem < 0) report(tu, 48);
        convert(tu, r, rt, &tu.builtin.int_, true);
        r = typed_node(tu, NodeKind::Mul, new_int_constant(tu, elem, &tu.builtin.int_), r, &tu.builtin.int_);
        convert(tu, r, &tu.builtin.int_, lt, true);
    } else {
        if (kind != NodeKind::Assign && kind != NodeKind::AddAssign && kind != NodeKind::SubAssign &&
            kind != NodeKind::MulAssign && kind != NodeKind::DivAssign && (!is_integer(lt) || !is_integer(rt)))
            report(tu, 32);
        // An arithmetic operator with a long or float right side works in
        // that wider type and only its result goes back to the object's
        // type; the code generator widens the object's value for it.
        bool arithmetic = kind == NodeKind::AddAssign || kind == NodeKind::SubAssign ||
                          kind == NodeKind::MulAssign || kind == NodeKind::DivAssign ||
                          kind == NodeKind::ModAssign;
        bool float_rt = rt->kind == Kind::Float || rt->kind == Kind::Double;
        bool keep_wide = arithmetic && is_integer(lt) && lt->size <= 4 &&
                         (float_rt ? kind != NodeKind::ModAssign : is_integer(rt) && lt->size <= 2 && rt->size > 2);
        // Division and remainder tell apart what the other operators leave
        // in the low bits: a char object against an int, or a signed object
        // against an unsigned one, divide in the promoted type.
        if ((kind == NodeKind::DivAssign || kind == NodeKind::ModAssign) && is_integer(lt) && is_integer(rt) &&
            lt->size <= 2 && rt->size <= 2) {
            bool unsigned_op = promote(tu, lt)->kind == Kind::UShort || promote(tu, rt)->kind == Kind::UShort;
            Type* w = unsigned_op ? &tu.builtin.uint : &tu.builtin.int_;
            bool same = w->kind == lt->kind;
            bool fits = r->kind == NodeKind::IntConst && !unsigned_op && cut_to_type(r->value, lt->kind) == r->value;
            if (!same && !fits) {
                convert(tu, r, rt, w, false);
                keep_wide = true;
            }
        }
        // A signed long object divided by an unsigned long divides unsigned.
        if ((kind == NodeKind::DivAssign || kind == NodeKind::ModAssign) && lt->size == 4 && is_integer(lt) &&
            rt->kind == Kind::ULong)
            keep_wide = true;
        // A shift count keeps its own (promoted) type, as for '<<' and '>>':
        // cut to the object's type it could lose the bits that make it too wide.
        if (kind == NodeKind::ShlAssign || kind == NodeKind::ShrAssign) {
            if (is_integer(rt)) convert(tu, r, rt, promote(tu, rt), false);
            else convert(tu, r, rt, lt, false);
        } else if (!keep_wide) {
            convert(tu, r, rt, lt, false);
        }
    }
    slot = typed_node(tu, kind, l, r, lt);
    return lt;
}

// assignment: conditional [ assignment-operator assignment ]
// A run of assignments (a = b = c) is a chain, read as a loop and built
// from the right.
Type* assignment(TranslationUnit& tu, Node*& slot) {
    struct Target {
        Node* node;
        Type* type;
        NodeKind kind;
    };
    std::vector<Target> targets;
    ChainGuard chain(tu);
    Type* t = conditional_expression(tu, slot);
    while (t) {
        NodeKind kind = assignment_kind(tu.scan.tok);
        if (kind == NodeKind::Seq) break;
        chain.link();
        scan_token(tu);
        targets.push_back({slot, t, kind});
        slot = nullptr;
        t = conditional_expression(tu, slot);
    }
    // The caller reports a missing operand once, as for a missing expression.
    if (!t) return nullptr;
    for (auto a = targets.rbegin(); a != targets.rend(); ++a)
        t = assignment_node(tu, a->kind, a->node, a->type, slot, t, slot);
    return t;
}

}  // namespace

namespace {

// Whether a structure or union has a const member at any depth, in an
// array member too. Self-containing types only arise from refused input;
// the depth bound ends their walk.
bool has_const_member(const Type* t, int depth = 0) {
    if (!t || !is_struct(t) || depth > NestingGuard::limit) return false;
    for (const Symbol* m = t->first; m; m = m->newer) {
        const Type* mt = m->type;
        if (m->is_const || (mt && mt->is_const)) return true;
        while (mt && mt->kind == Kind::Pointer && mt->array) {
            mt = mt->base;
            if (mt && mt->is_const) return true;
        }
        if (has_const_member(mt, depth + 1)) return true;
    }
    return false;
}

}  // namespace

// An object is constant when its type says so (a const variable, *q for
// const int *q, p->m for a pointer to a const structure), when it lies
// within a const variable (a member or bit-field of a const structure,
// which the bit-field's value type does not tell), or when it is a
// structure or union with a const member, which a whole assignment writes.
bool writes_constant(const Node* n, const Type* t) {
    if (t && (t->is_const || has_const_member(t))) return true;
    if (!n || (n->kind != NodeKind::Load && n->kind != NodeKind::BitValue)) return false;
    // the address: the variable's own plus member offsets; anything else
    // reaches the object through a pointer, whose type has told already,
    // a cast's result included ('*(int *)&k')
    for (n = n->left; n && n->kind == NodeKind::Add;) {
        if (n->value_only) return false;
        if (n->right && n->right->kind == NodeKind::IntConst)
            n = n->left;
        else if (n->left && n->left->kind == NodeKind::IntConst)
            n = n->right;
        else
            return false;
    }
    if (!n || n->value_only ||
        (n->kind != NodeKind::StaticAddr && n->kind != NodeKind::NameAddr && n->kind != NodeKind::FrameAddr))
        return false;
    return n->symbol && n->symbol->is_const;
}

Type* expression(TranslationUnit& tu, Node*& slot) { return assignment(tu, slot); }

namespace {

// Parses and folds a constant expression; folding works even after errors.
Node* constant_tree(TranslationUnit& tu) {
    Node* n = nullptr;
    ++tu.constant_depth;
    Type* t = conditional_expression(tu, n);
    --tu.constant_depth;
    if (!t || !n) return nullptr;
    simplify(tu, n, true);
    return n;
}

int sizeof_depth(TranslationUnit& tu) { return tu.sizeof_depth; }

}  // namespace

int32_t constant_integer(TranslationUnit& tu) {
    Node* n = constant_tree(tu);
    if (!n) {
        report(tu, 33);
        return 1;
    }
    if (n->kind != NodeKind::IntConst) {
        report(tu, 10);
        return 1;
    }
    return n->value;
}

int32_t constant_int_expression(TranslationUnit& tu) {
    Node* n = constant_tree(tu);
    if (!n) {
        report(tu, 33);
        return 0;
    }
    if (n->kind == NodeKind::FloatConst) {
        double v = n->fvalue;
        return v >= -2147483648.0 && v < 4294967296.0 ? static_cast<int32_t>(static_cast<int64_t>(v)) : 0;
    }
    if (n->kind != NodeKind::IntConst) {
        report(tu, 10);
        return 0;
    }
    return n->value;
}

double constant_float_expression(TranslationUnit& tu) {
    Node* n = constant_tree(tu);
    if (!n) {
        report(tu, 22);
        return 0;
    }
    if (n->kind == NodeKind::FloatConst) return n->fvalue;
    if (n->kind == NodeKind::IntConst)
        return is_unsigned(n->type_kind) && n->size == 4 ? static_cast<double>(static_cast<uint32_t>(n->value))
                                                         : n->value;
    report(tu, 11);
    return 0;
}

Node* constant_address(TranslationUnit& tu) {
    Node* n = nullptr;
    ++tu.constant_depth;
    Type* t = conditional_expression(tu, n);
    --tu.constant_depth;
    if (!t || !n) return nullptr;
    simplify(tu, n, true);
    return n;
}

}  // namespace zun::tcx
