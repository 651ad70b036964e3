// SPDX-License-Identifier: MIT
// Type and symbol records: construction in the unit's arena, the type
// comparisons the declaration and expression parsers use, and name lookup
// over the scopes.
#include "compiler/internal.h"

namespace zun::tcx {

Type* new_type(TranslationUnit& tu, Kind kind, int32_t size) {
    Type& t = *tu.types.make();
    t.kind = kind;
    t.size = size;
    t.saved = tu.depth > 0;
    return &t;
}

Type* copy_type(TranslationUnit& tu, const Type* t) {
    Type& c = *tu.types.make(*t);
    c.saved = tu.depth > 0;
    return &c;
}

Type* pointer_to(TranslationUnit& tu, Type* base) {
    Type* p = new_type(tu, Kind::Pointer, 2);
    p->base = base;
    return p;
}

Type* save_type(TranslationUnit& tu, Type* t) {
    if (!t || t->saved) return t;
    ++tu.depth;
    Type* c = copy_type(tu, t);
    if (t->kind == Kind::Struct || t->kind == Kind::Union) {
        report(tu, 121);
        c->first = c->last = nullptr;
    }
    if (c->base) c->base = save_type(tu, c->base);
    --tu.depth;
    return c;
}

namespace {

bool same_params(const Type* a, const Type* b) {
    if (!a->has_params || !b->has_params) return true;
    const Symbol* p = a->first;
    const Symbol* q = b->first;
    for (; p && q; p = p->newer, q = q->newer)
        if (!same_type(p->type, q->type)) return false;
    return !p && !q;
}

Type promoted(const Type* t) {
    Type r = *t;
    switch (t->kind) {
    case Kind::Char: case Kind::UChar: case Kind::UShort: r.kind = Kind::Short; r.size = 2; break;
    case Kind::Float: r.kind = Kind::Double; break;
    default: break;
    }
    return r;
}

}  // namespace

bool same_type(const Type* a, const Type* b) {
    if (a == b) return true;
    if (!a || !b || a->kind != b->kind) return false;
    switch (a->kind) {
    case Kind::Struct: case Kind::Union:
        return a->first == b->first && (a->first || a->tag == b->tag);
    case Kind::Function: return same_type(a->base, b->base) && same_params(a, b);
    case Kind::Pointer: return same_type(a->base, b->base);
    default: return true;
    }
}

bool compatible_type(const Type* a, const Type* b) {
    if (!a || !b) return false;
    if (a->kind == Kind::Pointer && b->kind == Kind::Pointer &&
        ((a->base && a->base->kind == Kind::Void) || (b->base && b->base->kind == Kind::Void)))
        return true;
    Type pa = promoted(a), pb = promoted(b);
    return same_type(&pa, &pb);
}

bool is_unsigned(Kind k) {
    return k == Kind::UChar || k == Kind::UShort || k == Kind::ULong || k == Kind::ULongLong;
}

bool is_integer(const Type* t) {
    switch (t->kind) {
    case Kind::Char: case Kind::Short: case Kind::Long: case Kind::UChar: case Kind::UShort:
    case Kind::ULong: case Kind::LongLong: case Kind::ULongLong:
        return true;
    default: return false;
    }
}

bool is_arith(const Type* t) {
    return is_integer(t) || t->kind == Kind::Float || t->kind == Kind::Double;
}

bool is_scalar_kind(Kind k) {
    switch (k) {
    case Kind::Char: case Kind::Short: case Kind::Long: case Kind::UChar: case Kind::UShort:
    case Kind::ULong: case Kind::Float: case Kind::Double: case Kind::Pointer:
        return true;
    default: return false;
    }
}

namespace {

Symbol* symbol_in(TranslationUnit& tu, Arena<Symbol>& arena, const std::string& name) {
    Symbol& s = *arena.make();
    s.name = name;
    s.decl_line = tu.scan.tok_line;
    s.block = tu.decl.block;
    return &s;
}

}  // namespace

Symbol* new_symbol(TranslationUnit& tu, const std::string& name) { return symbol_in(tu, tu.symbols, name); }

Symbol* new_local_symbol(TranslationUnit& tu, const std::string& name) {
    return symbol_in(tu, tu.function ? tu.function->symbols : tu.symbols, name);
}

void append_symbol(Scope& scope, Symbol* s) {
    s->order = ++scope.count;
    if (scope.indexed) scope.index[s->name] = s;
    s->older = scope.last;
    s->newer = nullptr;
    if (scope.last)
        scope.last->newer = s;
    else
        scope.first = s;
    scope.last = s;
}

Symbol* find_in(const Scope& scope, const std::string& name) {
    if (scope.indexed) {
        auto it = scope.index.find(name);
        return it == scope.index.end() ? nullptr : it->second;
    }
    for (Symbol* s = scope.last; s; s = s->older)
        if (s->name == name) return s;
    return nullptr;
}

Symbol* lookup(TranslationUnit& tu, const std::string& name) {
    if (Symbol* s = find_in(tu.locals, name)) return s;
    return find_in(tu.file_scope, name);
}

}  // namespace zun::tcx
