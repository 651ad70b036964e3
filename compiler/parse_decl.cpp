// SPDX-License-Identifier: MIT
// Declarations: specifiers, declarators, parameter lists, redeclaration
// rules, the top-level loop over the unit and the end-of-unit checks.
// Struct, union and enum bodies are in parse_struct.cpp. Initialisers go to init.cpp and storage of file-scope
// objects to output.cpp; function bodies go to the statement parser.
#include "compiler/internal.h"

#include <algorithm>

namespace zun::tcx {

namespace {

// A function takes at most this many parameters, in either form of list.
constexpr size_t max_parameters = 100;

}  // namespace

void append_member(Type* t, Symbol* s) {
    s->older = t->last;
    if (t->last)
        t->last->newer = s;
    else
        t->first = s;
    t->last = s;
}

bool is_qualifier(Tok t) {
    switch (t) {
    case Tok::Const: case Tok::Volatile: case Tok::Pascal: case Tok::Nomangle:
    case Tok::Interrupt: case Tok::Inline: case Tok::Restrict:
        return true;
    default: return false;
    }
}

void count_qualifier(TranslationUnit& tu) {
    DeclState& d = tu.decl;
    switch (tu.scan.tok) {
    case Tok::Const: ++d.n_const; break;
    case Tok::Volatile: ++d.n_volatile; break;
    case Tok::Pascal: ++d.n_pascal; break;
    case Tok::Nomangle: ++d.n_nomangle; break;
    case Tok::Interrupt: ++d.n_interrupt; break;
    default: break;
    }
    scan_token(tu);
}

void reset_counters(TranslationUnit& tu) {
    DeclState& d = tu.decl;
    d.n_const = d.n_volatile = d.n_pascal = d.n_nomangle = d.n_interrupt = 0;
}

OuterKeywordCounts::OuterKeywordCounts(TranslationUnit& tu)
    : tu_(tu), n_const_(tu.decl.n_const), n_volatile_(tu.decl.n_volatile), n_pascal_(tu.decl.n_pascal),
      n_nomangle_(tu.decl.n_nomangle), n_interrupt_(tu.decl.n_interrupt) {}

OuterKeywordCounts::~OuterKeywordCounts() {
    DeclState& d = tu_.decl;
    d.n_const = n_const_;
    d.n_volatile = n_volatile_;
    d.n_pascal = n_pascal_;
    d.n_nomangle = n_nomangle_;
    d.n_interrupt = n_interrupt_;
}

// ---- specifiers ----

bool is_typedef_name(TranslationUnit& tu) {
    if (tu.scan.tok != Tok::Ident) return false;
    Symbol* s = lookup(tu, token_text(tu));
    return s && s->sclass == StorageClass::Typedef;
}

namespace {

Type* basic_type(TranslationUnit& tu, int n_signed, int n_unsigned, int n_short, int n_long,
                 Tok word) {
    BuiltinTypes& b = tu.builtin;
    bool u = n_unsigned > 0;
    switch (word) {
    case Tok::Void: return &b.void_;
    case Tok::Char: return u ? &b.uchar : &b.char_;
    case Tok::Float: return &b.float_;
    case Tok::Double: return n_long ? &b.ldouble : &b.double_;
    default: break;
    }
    if (n_short) return u ? &b.ushort : &b.short_;
    if (n_long) return u ? &b.ulong : &b.long_;
    return u ? &b.uint : &b.int_;
}

}  // namespace

// type-specifier: qualifiers, type words, struct/union/enum or a typedef name
Spec type_specifier(TranslationUnit& tu) {
    Spec spec;
    int n_signed = 0, n_unsigned = 0, n_short = 0, n_long = 0;
    Tok word = Tok::Int;
    Type* named = nullptr;
    for (;;) {
        Tok t = tu.scan.tok;
        if (is_qualifier(t)) {
            count_qualifier(tu);
            continue;
        }
        switch (t) {
        case Tok::Signed: ++n_signed; break;
        case Tok::Unsigned: ++n_unsigned; break;
        case Tok::Short: ++n_short; break;
        case Tok::Long:
            if (n_long) goto done;  // "long long" leaves the second for the declarator
            ++n_long;
            break;
        case Tok::Int: break;
        case Tok::Void: case Tok::Char: case Tok::Float: case Tok::Double: word = t; break;
        case Tok::Struct: case Tok::Union:
            named = struct_or_union(tu);
            spec.any = true;
            continue;
        case Tok::Enum:
            named = enum_specifier(tu);
            spec.any = true;
            continue;
        case Tok::Ident:
            if (spec.any || !is_typedef_name(tu)) goto done;
            named = lookup(tu, token_text(tu))->type;
            break;
        default: goto done;
        }
        spec.any = true;
        scan_token(tu);
    }
done:
    spec.type = named ? named : basic_type(tu, n_signed, n_unsigned, n_short, n_long, word);
    if (tu.decl.n_const || tu.decl.n_volatile) {
        Type* q = copy_type(tu, spec.type);
        q->is_const = q->is_const || tu.decl.n_const > 0;
        q->is_volatile = q->is_volatile || tu.decl.n_volatile > 0;
        spec.type = q;
    }
    return spec;
}

namespace {

// ---- declarators ----

void parse_parameters(TranslationUnit& tu, Declarator::Suffix& suffix);

}  // namespace

// declarator: { '*' { qualifier } } ( identifier | '(' declarator ')' | ) { suffix }
void parse_declarator(TranslationUnit& tu, Declarator& d) {
    while (tu.scan.tok == Tok::Star) {
        d.progress = true;
        scan_token(tu);
        Declarator::Pointer p;
        while (is_qualifier(tu.scan.tok)) {
            p.is_const = p.is_const || tu.scan.tok == Tok::Const;
            p.is_volatile = p.is_volatile || tu.scan.tok == Tok::Volatile;
            if (tu.scan.tok == Tok::Const || tu.scan.tok == Tok::Volatile)
                scan_token(tu);
            else
                count_qualifier(tu);
        }
        d.pointers.push_back(p);
    }
    if (tu.scan.tok == Tok::Ident) {
        d.name = token_text(tu);
        d.line = tu.scan.tok_line;
        d.pos = tu.scan.tok_start;
        d.progress = true;
        scan_token(tu);
    } else if (tu.scan.tok == Tok::LParen) {
        d.progress = true;
        scan_token(tu);
        Tok t = tu.scan.tok;
        bool nested = t == Tok::Star || t == Tok::LParen || (t == Tok::Ident && !is_typedef_name(tu));
        NestingGuard guard(tu, Nesting::Declaration);
        if (nested) {
            d.nested = std::make_unique<Declarator>();
            parse_declarator(tu, *d.nested);
            d.name = d.nested->name;
            d.line = d.nested->line;
            d.pos = d.nested->pos;
            expect(tu, Tok::RParen);
        } else {
            Declarator::Suffix s;
            parse_parameters(tu, s);
            d.suffixes.push_back(s);
        }
    }
    for (;;) {
        if (tu.scan.tok == Tok::LBracket) {
            d.progress = true;
            scan_token(tu);
            Declarator::Suffix s;
            s.is_array = true;
            if (tu.scan.tok != Tok::RBracket) s.count = constant_integer(tu);
            expect(tu, Tok::RBracket);
            d.suffixes.push_back(s);
        } else if (tu.scan.tok == Tok::LParen) {
            d.progress = true;
            scan_token(tu);
            NestingGuard guard(tu, Nesting::Declaration);
            Declarator::Suffix s;
            parse_parameters(tu, s);
            d.suffixes.push_back(s);
        } else {
            break;
        }
    }
}

Type* apply(TranslationUnit& tu, const Declarator& d, Type* base) {
    Type* t = base;
    for (const auto& p : d.pointers) {
        t = pointer_to(tu, t);
        t->is_const = p.is_const;
        t->is_volatile = p.is_volatile;
    }
    for (auto it = d.suffixes.rbegin(); it != d.suffixes.rend(); ++it) {
        if (it->is_array) {
            if (t->size < 0) report(tu, 48);
            int64_t bytes = it->count < 0 || t->size < 0 ? -1 : int64_t{it->count} * t->size;
            // No object can be larger than the 6809's address space.
            if (bytes > 0xFFFF) {
                report_str(tu, 119, d.name);
                bytes = 0xFFFF;
            }
            Type* a = new_type(tu, Kind::Pointer, static_cast<int32_t>(bytes));
            a->array = true;
            a->base = t;
            // An array of const elements is itself constant data.
            a->is_const = t->is_const;
            a->is_volatile = t->is_volatile;
            t = a;
        } else {
            it->fn->base = t;
            t = it->fn;
        }
    }
    if (d.nested) t = apply(tu, *d.nested, t);
    return t;
}

namespace {

void skip_to_rparen(TranslationUnit& tu) {
    int nest = 0;
    while (tu.scan.tok != Tok::Eof && tu.scan.tok != Tok::Semicolon && tu.scan.tok != Tok::LBrace) {
        if (tu.scan.tok == Tok::LParen) ++nest;
        if (tu.scan.tok == Tok::RParen && nest-- == 0) break;
        scan_token(tu);
    }
}

[[noreturn]] void too_many_parameters(TranslationUnit& tu) {
    report(tu, 64);
    throw Fatal{100};
}

void old_style_names(TranslationUnit& tu) {
    if (!tu.decl.kr_names.empty()) report(tu, 42);
    tu.decl.kr_names.clear();
    while (tu.scan.tok == Tok::Ident) {
        if (tu.decl.kr_names.size() >= max_parameters) too_many_parameters(tu);
        tu.decl.kr_names.push_back(token_text(tu));
        scan_token(tu);
        if (tu.scan.tok != Tok::Comma) break;
        scan_token(tu);
    }
}

void add_marker(TranslationUnit& tu, Type* fn) {
    Symbol* m = new_symbol(tu, "");
    m->sclass = StorageClass::Param;
    m->type = new_type(tu, Kind::Ellipsis, 0);
    append_member(fn, m);
}

// parameter-list after '(': prototype, identifier list or empty; reads the ')'
void parse_parameters(TranslationUnit& tu, Declarator::Suffix& suffix) {
    ++tu.depth;
    Type* fn = new_type(tu, Kind::Function, 0);
    suffix.fn = fn;
    if (tu.scan.tok == Tok::Ident && !is_typedef_name(tu)) {
        old_style_names(tu);
    } else if (tu.scan.tok != Tok::RParen) {
        fn->array = true;
        fn->has_params = true;
        int32_t offset = 0;
        size_t count = 0;
        // Each parameter counts its own keywords; the declaration's counts survive.
        OuterKeywordCounts outer(tu);
        for (;;) {
            bool reg = tu.scan.tok == Tok::Register;
            if (reg) scan_token(tu);
            if (!is_type_start(tu, tu.scan.tok)) {
                report(tu, 42);
                skip_to_rparen(tu);
                break;
            }
            tu.decl.n_const = tu.decl.n_volatile = 0;
            Spec spec = type_specifier(tu);
            Declarator d;
            parse_declarator(tu, d);
            Symbol* p = new_symbol(tu, d.name);
            p->sclass = StorageClass::Param;
            p->is_register = reg;
            p->type = apply(tu, d, spec.type);
            p->pascal = static_cast<uint8_t>(tu.decl.n_pascal);
            p->nomangle = static_cast<uint8_t>(tu.decl.n_nomangle);
            p->interrupt = static_cast<uint8_t>(tu.decl.n_interrupt);
            p->is_const = p->type->is_const;
            p->is_volatile = p->type->is_volatile;
            offset += std::max<int32_t>(p->type->size, 0);
            p->value = -offset;
            if (p->type->kind != Kind::Void && ++count > max_parameters) too_many_parameters(tu);
            append_member(fn, p);
            if (tu.scan.tok != Tok::Comma) break;
            scan_token(tu);
            if (tu.scan.tok == Tok::Dot) {
                for (int i = 0; i < 3 && tu.scan.tok == Tok::Dot; ++i) scan_token(tu);
                add_marker(tu, fn);
                break;
            }
            if (tu.scan.tok == Tok::RParen) {
                add_marker(tu, fn);
                break;
            }
        }
    }
    --tu.depth;
    expect(tu, Tok::RParen);
}

// ---- symbols ----

bool same_attributes(const Symbol* a, const Symbol* b) {
    return a->nomangle == b->nomangle && a->pascal == b->pascal && a->is_const == b->is_const &&
           a->is_volatile == b->is_volatile && a->interrupt == b->interrupt &&
           a->float_value == b->float_value;
}

// Redeclaration at file scope: the earlier symbol stays the symbol of record.
Symbol* redeclare(TranslationUnit& tu, Symbol* e, Symbol* s) {
    if (!same_type(e->type, s->type) || !same_attributes(e, s)) {
        report_at(tu, s->decl_line, 47, s->name);
        return e;
    }
    if (e->type->kind == Kind::Function && !e->type->has_params && s->type->has_params)
        e->type = s->type;
    if (e->type->size < 0 && s->type->size >= 0) e->type = s->type;
    if (e->sclass != s->sclass) {
        if (e->sclass == StorageClass::Typedef || s->sclass == StorageClass::Typedef) {
            report_at(tu, s->decl_line, 47, s->name);
        } else if (e->sclass != StorageClass::Static) {
            if (s->sclass == StorageClass::Global) {
                // the definition, not the extern declaration, places it
                if (e->sclass == StorageClass::Extern) e->segment = s->segment;
                e->sclass = StorageClass::Global;
                e->type = s->type;
            } else if (s->sclass == StorageClass::Static) {
                e->sclass = StorageClass::Global;
                e->value = -1;
            }
        } else if (s->sclass == StorageClass::Global && !e->is_function) {
            report_at(tu, s->decl_line, 47, s->name);
        }
    }
    e->flags |= s->flags;
    tu.decl.redeclared.push_back(e);
    return e;
}

}  // namespace

Symbol* add_symbol(TranslationUnit& tu, Symbol* s, bool file_scope) {
    if (s->name.empty()) return s;
    if (file_scope) {
        if (Symbol* e = find_in(tu.file_scope, s->name)) return redeclare(tu, e, s);
        append_symbol(tu.file_scope, s);
        return s;
    }
    if (Symbol* e = find_in(tu.locals, s->name)) {
        if (s->sclass != StorageClass::Auto || e->block == s->block) report_at(tu, s->decl_line, 47, s->name);
    } else if (find_in(tu.file_scope, s->name)) {
        report_str(tu, 109, s->name);
    }
    append_symbol(tu.locals, s);
    return s;
}

namespace {

// Const and volatile check, once per symbol, in the declaration that made it.
void check_qualifiers(TranslationUnit& tu, Symbol* s) {
    if (s->checked || s->is_function) return;
    s->checked = true;
    if (s->is_const && s->is_volatile) report_at(tu, s->decl_line, 108, s->name);
    bool init = s->flags & Initialised;
    bool needs = s->sclass == StorageClass::Static || s->sclass == StorageClass::Auto ||
                 s->sclass == StorageClass::Global;
    if (s->is_const && needs && !init && !s->emitted) {
        report_at(tu, s->decl_line, 78, s->name);
        s->emitted = true;
    } else if (s->is_const && s->sclass == StorageClass::Extern && init) {
        report_at(tu, s->decl_line, 67, s->name);
    }
}

// ---- function definitions ----

void old_style_declarations(TranslationUnit& tu, Type* own);

// A definition after a prototype must agree with it parameter by parameter,
// up to a '...'.
void check_prototype(TranslationUnit& tu, const Symbol* fn, const Type* proto, const Type* own) {
    const Symbol* p = proto->first;
    const Symbol* q = own->first;
    auto marker = [](const Symbol* s) { return s && s->type->kind == Kind::Void && s->name.empty(); };
    if (marker(p)) p = nullptr;
    if (marker(q)) q = nullptr;
    for (; p; p = p->newer, q = q->newer) {
        if (p->type->kind == Kind::Ellipsis) return;
        if (!q || q->type->kind == Kind::Ellipsis || !compatible_type(p->type, q->type)) break;
    }
    if (p || q) report_at(tu, fn->decl_line, 45);
}

void function_definition(TranslationUnit& tu, Symbol* fn, Type* own, const Type* proto) {
    if (tu.decl.in_body) report_str(tu, 37, fn->name);
    fn->flags |= BodyGiven;
    if (!own->has_params && !tu.decl.kr_names.empty()) old_style_declarations(tu, own);
    if (proto && proto != own) check_prototype(tu, fn, proto, own);
    fn->body_start = tu.scan.tok_start;
    tu.locals = Scope{};
    for (Symbol* p = own->first; p; p = p->newer) {
        if (p->type->kind == Kind::Ellipsis || p->type->kind == Kind::Void) break;
        if (p->name.empty()) report(tu, 42);
    }
    if (fn->interrupt) {
        Symbol* p = own->first;
        if (p && p->type->kind != Kind::Void) report(tu, 68);
        if (own->base && own->base->kind != Kind::Void) report(tu, 69);
    }
    if (tu.scan.tok != Tok::LBrace) {
        report(tu, 4);
        if (tu.scan.tok == Tok::Eof) {
            report(tu, 19);
            throw Fatal{1};
        }
        report_str(tu, 46, token_text(tu));
        return;
    }
    function_body(tu, fn, own);
}

}  // namespace

bool is_type_start(TranslationUnit& tu, Tok t) {
    int c = static_cast<int>(t);
    if (t == Tok::Int || (c >= 64 && c <= 76)) return true;
    return t == Tok::Ident && is_typedef_name(tu);
}

Type* type_name(TranslationUnit& tu) {
    DeclState saved = tu.decl;
    reset_counters(tu);
    Spec spec = type_specifier(tu);
    Declarator d;
    parse_declarator(tu, d);
    Type* t = apply(tu, d, spec.type);
    tu.decl = saved;
    return t;
}

namespace {

enum class Declared { Object, Definition };

Declared declare(TranslationUnit& tu, DeclContext ctx, StorageClass sc, const Declarator& d, Type* t,
                 Scope* kr_scope) {
    bool file = ctx == DeclContext::File || sc == StorageClass::Extern;
    if (sc == StorageClass::Typedef && t->kind == Kind::Pointer && t->array && t->size <= 0) report(tu, 89);
    bool local = ctx == DeclContext::Block && sc == StorageClass::Auto && t->kind != Kind::Function;
    Symbol* s = local ? new_local_symbol(tu, d.name) : new_symbol(tu, d.name);
    s->sclass = sc;
    s->type = t;
    s->decl_line = d.line ? d.line : tu.scan.tok_line;
    s->nomangle = static_cast<uint8_t>(tu.decl.n_nomangle);
    s->pascal = static_cast<uint8_t>(tu.decl.n_pascal);
    s->interrupt = static_cast<uint8_t>(tu.decl.n_interrupt);
    s->is_const = t->is_const;
    s->is_volatile = t->is_volatile;
    s->is_register = tu.decl.register_class && (sc == StorageClass::Auto || sc == StorageClass::Param);
    s->pos.start = d.pos;
    if (sc == StorageClass::Static) s->value = tu.next_label++;
    if (t->kind == Kind::Function) {
        s->is_function = true;
        s->is_const = s->is_volatile = 0;
        s->segment = tu.out.seg_name[static_cast<int>(SegKind::Code)];
        bool body = tu.scan.tok == Tok::LBrace ||
                    (!tu.decl.kr_names.empty() && (is_type_start(tu, tu.scan.tok) || tu.scan.tok == Tok::Register));
        if (sc == StorageClass::Global && !body) s->sclass = StorageClass::Extern;
        if (sc == StorageClass::Extern && body) s->sclass = StorageClass::Global;
        if (sc == StorageClass::Auto) s->sclass = StorageClass::Extern;
        if (ctx == DeclContext::Block) s->type = save_type(tu, s->type);
        // The symbol of record may take the definition's type: keep the prototype for the check.
        Symbol* prior = find_in(tu.file_scope, s->name);
        Type* proto = prior && prior->type && prior->type->kind == Kind::Function && prior->type->array
                          ? prior->type
                          : nullptr;
        Symbol* r = add_symbol(tu, s, true);
        if (body && ctx == DeclContext::File) {
            // The definition, not an earlier prototype, is where the function is.
            r->pos.start = s->pos.start;
            function_definition(tu, r, s->type, proto);
            return Declared::Definition;
        }
        if (body && ctx == DeclContext::Block && tu.scan.tok == Tok::LBrace) {
            // A definition inside a body: reported, and its body read over whole.
            report_str(tu, 37, s->name);
            int nest = 0;
            do {
                if (tu.scan.tok == Tok::LBrace) ++nest;
                if (tu.scan.tok == Tok::RBrace) --nest;
                if (tu.scan.tok == Tok::Eof) expect(tu, Tok::RBrace);
                scan_token(tu);
            } while (nest > 0);
            tu.decl.kr_names.clear();
            return Declared::Definition;
        }
        tu.decl.kr_names.clear();
        return Declared::Object;
    }
    if (t->kind == Kind::Void && sc != StorageClass::Typedef) report(tu, 48);
    // Storage without initialiser may be written only at the end of the
    // unit, in the segment in force here.
    if (sc == StorageClass::Static || sc == StorageClass::Global)
        s->segment = tu.out.seg_name[static_cast<int>(s->is_const ? SegKind::Const : SegKind::Bss)];
    Symbol* r;
    if (kr_scope) {
        s->sclass = StorageClass::Param;
        append_symbol(*kr_scope, s);
        r = s;
    } else {
        r = add_symbol(tu, s, file);
    }
    r->pos.end = tu.scan.tok_end;
    bool block = ctx == DeclContext::Block && !file;
    if (block && r == s && sc == StorageClass::Auto) {
        allocate_local(tu, r);
        list_register_candidate(tu, r);
    }
    if (tu.scan.tok == Tok::Assign) {
        if (ctx == DeclContext::OldParams) {
            report(tu, 27);
            scan_token(tu);
            constant_int_expression(tu);
        } else if (block && sc != StorageClass::Static) {
            init_auto(tu, r);
        } else {
            init_static(tu, r);
            debug_symbol(tu, r);
        }
    } else if (block && sc == StorageClass::Static && !r->emitted) {
        // A block's static has no later point at which it would be written.
        data_reserve(tu, r);
        r->emitted = true;
    }
    // An unsized array takes its size from the initialiser, so this comes last.
    if (t->size <= 0 && sc != StorageClass::Extern && sc != StorageClass::Typedef && t->kind != Kind::Void)
        report(tu, 116);
    return Declared::Object;
}

// Skips the rest of a declaration that went wrong, up to and including ';'.
void skip_declaration(TranslationUnit& tu) {
    report_str(tu, 46, token_text(tu));
    while (tu.scan.tok != Tok::Semicolon && tu.scan.tok != Tok::Eof) {
        if (tu.scan.tok == Tok::LBrace || tu.scan.tok == Tok::RBrace) break;
        scan_token(tu);
    }
    if (tu.scan.tok != Tok::Eof) scan_token(tu);
}

void end_of_declaration(TranslationUnit& tu, DeclContext ctx) {
    if (ctx != DeclContext::File) return;
    // Symbols once checked stay checked: only the ones appended since count.
    Symbol*& done = tu.decl.qualifiers_checked;
    for (Symbol* s = done ? done->newer : tu.file_scope.first; s; s = s->newer) {
        check_qualifiers(tu, s);
        done = s;
    }
    emit_pending_globals(tu, false);
}

// init-declarator-list: declarator [ '=' initializer ] { ',' ... } ';'
void declarator_list(TranslationUnit& tu, DeclContext ctx, StorageClass sc, Type* base, Scope* kr_scope) {
    for (;;) {
        Declarator d;
        parse_declarator(tu, d);
        if (tu.scan.tok == Tok::Colon) {
            report(tu, 21);
            scan_token(tu);
            constant_integer(tu);
        }
        if (d.progress) {
            Type* t = apply(tu, d, base);
            if (declare(tu, ctx, sc, d, t, kr_scope) == Declared::Definition) {
                end_of_declaration(tu, ctx);
                return;
            }
        }
        if (tu.scan.tok == Tok::Comma && d.progress) {
            scan_token(tu);
            continue;
        }
        if (tu.scan.tok == Tok::Semicolon) {
            scan_token(tu);
        } else {
            skip_declaration(tu);
        }
        end_of_declaration(tu, ctx);
        return;
    }
}

// Declarations of the identifier-list parameters between ')' and '{'.
void old_style_declarations(TranslationUnit& tu, Type* own) {
    Scope params;
    std::vector<std::string> names = std::move(tu.decl.kr_names);
    tu.decl.kr_names.clear();
    ++tu.depth;
    while (is_type_start(tu, tu.scan.tok) || tu.scan.tok == Tok::Register) {
        bool reg = tu.scan.tok == Tok::Register;
        if (reg) scan_token(tu);
        reset_counters(tu);
        tu.decl.register_class = reg;
        Spec spec = type_specifier(tu);
        declarator_list(tu, DeclContext::OldParams, StorageClass::Param, spec.type, &params);
        tu.decl.register_class = false;
    }
    for (Symbol* p = params.first; p; p = p->newer)
        if (std::find(names.begin(), names.end(), p->name) == names.end()) report_at(tu, p->decl_line, 1, p->name);
    int32_t offset = 0;
    for (const std::string& n : names) {
        Symbol* p = find_in(params, n);
        if (!p) {
            report_str(tu, 93, n);
            p = new_symbol(tu, n);
            p->type = &tu.builtin.int_;
            p->sclass = StorageClass::Param;
        }
        offset += std::max<int32_t>(p->type->size, 0);
        p->value = -offset;
        Symbol* c = new_symbol(tu, n);
        *c = *p;
        c->older = c->newer = nullptr;
        append_member(own, c);
    }
    --tu.depth;
}

}  // namespace

// declaration: specifiers [ init-declarator-list ] ';' in the given context
void declaration(TranslationUnit& tu, DeclContext ctx) {
    bool file = ctx == DeclContext::File;
    while (tu.scan.tok != Tok::Eof) {
        reset_counters(tu);
        while (is_qualifier(tu.scan.tok)) count_qualifier(tu);
        StorageClass sc = file ? StorageClass::Global : StorageClass::Auto;
        tu.decl.register_class = false;
        Tok t = tu.scan.tok;
        switch (t) {
        case Tok::Semicolon:
            if (!file) return;
            report(tu, 92);
            scan_token(tu);
            continue;
        case Tok::Auto:
        case Tok::Register:
            if (file || (t == Tok::Auto && ctx == DeclContext::OldParams)) report(tu, 26);
            tu.decl.register_class = t == Tok::Register;
            scan_token(tu);
            break;
        case Tok::Extern: sc = StorageClass::Extern; scan_token(tu); break;
        case Tok::Static: sc = StorageClass::Static; scan_token(tu); break;
        case Tok::Typedef: sc = StorageClass::Typedef; scan_token(tu); break;
        default:
            if (is_type_start(tu, t)) break;
            if (t == Tok::Ident || t == Tok::Star || t == Tok::LParen) {
                if (!file) return;
                break;
            }
            if (!file) return;
            report_str(tu, 46, token_text(tu));
            scan_token(tu);
            continue;
        }
        Spec spec = type_specifier(tu);
        declarator_list(tu, ctx, sc, spec.type, nullptr);
    }
}

// Globals and statics are written in file-scope order once a declaration
// completes them. Only symbols appended since the last call, earlier ones
// that a redeclaration changed and, at the end of the unit, the tentative
// definitions left waiting can be due.
void emit_pending_globals(TranslationUnit& tu, bool tentative_too) {
    DeclState& d = tu.decl;
    std::vector<Symbol*> due;
    due.swap(d.redeclared);
    for (Symbol* s = d.output_checked ? d.output_checked->newer : tu.file_scope.first; s; s = s->newer) {
        due.push_back(s);
        d.output_checked = s;
    }
    if (tentative_too) {
        due.insert(due.end(), d.tentative.begin(), d.tentative.end());
        d.tentative.clear();
    }
    std::sort(due.begin(), due.end(), [](const Symbol* a, const Symbol* b) { return a->order < b->order; });
    due.erase(std::unique(due.begin(), due.end()), due.end());
    for (Symbol* s : due) {
        if (s->emitted || s->is_function) continue;
        if (s->sclass != StorageClass::Static && s->sclass != StorageClass::Global) continue;
        // A definition without initialiser is tentative until the unit ends:
        // a later one with an initialiser ("int x; int x = 3;") gives the
        // value. Its debug record goes out in source order all the same.
        if (!tentative_too && !(s->flags & Initialised)) {
            debug_symbol(tu, s);
            d.tentative.push_back(s);
            continue;
        }
        s->emitted = true;
        if (s->type->kind == Kind::LongLong || s->type->kind == Kind::ULongLong) {
            internal_error(tu, 13);
            continue;
        }
        echo_source(tu, s->pos);
        data_reserve(tu, s);
        if (s->sclass == StorageClass::Global) export_line(tu, s);
    }
}

void translation_unit(TranslationUnit& tu) {
    tu.depth = 1;
    tu.file_scope = tu.tags = tu.local_tags = tu.locals = Scope{};
    tu.file_scope.indexed = true;
    tu.decl.qualifiers_checked = tu.decl.output_checked = nullptr;
    tu.decl.redeclared.clear();
    tu.decl.tentative.clear();
    tu.next_label = 1;
    while (tu.scan.tok != Tok::Eof) {
        reset_counters(tu);
        declaration(tu, DeclContext::File);
        pass_on_output(tu);
        if (tu.scan.tok != Tok::Eof) scan_token(tu);
    }
    emit_pending_globals(tu);
    for (Symbol* s = tu.file_scope.first; s; s = s->newer) {
        if (s->sclass != StorageClass::Static) continue;
        if (s->is_function && (s->flags & Referenced) && !(s->flags & BodyGiven))
            report_at(tu, s->decl_line, 49, s->name);
        else if (!(s->flags & Referenced))
            report_at(tu, s->decl_line, s->is_function ? 98 : 97, s->name);
    }
    flush_new_strings(tu);
}

}  // namespace zun::tcx
