// SPDX-License-Identifier: MIT
// Struct, union and enum specifiers: tags, member lists with their layout
// (no padding; bitfields packed into 8-, 16- or 32-bit units) and
// enumerator lists. The declarators of members come from parse_decl.cpp.
#include "compiler/internal.h"

namespace zun::tcx {

namespace {


Symbol* find_tag(TranslationUnit& tu, const std::string& tag) {
    if (tu.decl.in_body)
        if (Symbol* s = find_in(tu.local_tags, tag)) return s;
    return find_in(tu.tags, tag);
}

Symbol* new_tag(TranslationUnit& tu, const std::string& tag, Type* t) {
    Symbol* s = new_symbol(tu, tag);
    s->sclass = StorageClass::Tag;
    s->type = t;
    append_symbol(tu.decl.in_body ? tu.local_tags : tu.tags, s);
    return s;
}

int32_t bitfield_unit(TranslationUnit& tu, Type*& t) {
    switch (t->kind) {
    case Kind::Short: case Kind::UShort: return 16;
    case Kind::Char: case Kind::UChar: return 8;
    case Kind::Long: case Kind::ULong: return 32;
    default: break;
    }
    report(tu, 120);
    t = &tu.builtin.int_;
    return 16;
}

// Lays out one bitfield member; returns the bytes the struct grows by.
int32_t layout_bitfield(TranslationUnit& tu, Symbol* m, Type* t, int32_t width, int32_t offset,
                        bool is_union) {
    DeclState& d = tu.decl;
    int32_t unit = bitfield_unit(tu, t);
    if (width < 0 || width > unit) {
        report(tu, 59);
        width = 1;
    }
    // An unnamed field of width 0 asks for a new unit, as in C; a named one is an error.
    if (width == 0 && !m->name.empty()) report(tu, 59);
    if (!is_unsigned(t->kind)) report(tu, 101);
    // A field that does not fit in the rest of its unit starts the next unit.
    bool continues = !is_union && d.unit_bits == unit && width > 0 && d.bit_offset + width <= unit &&
                     m->older && m->older->type && m->older->type->kind == Kind::Bitfield;
    int32_t grow = 0;
    if (width == 0) {
        // Takes no room; the next field starts a unit of its own.
        m->value = is_union ? 0 : offset;
        d.unit_bits = 0;
        d.bit_offset = 0;
    } else if (continues) {
        m->value = m->older->value;
    } else {
        d.bit_offset = 0;
        d.unit_bits = unit;
        m->value = is_union ? 0 : offset;
        grow = unit / 8;
    }
    Type* b = copy_type(tu, t);
    b->kind = Kind::Bitfield;
    b->size = unit / 8;
    b->bit_width = static_cast<uint8_t>(width);
    b->bit_offset = static_cast<uint8_t>(d.bit_offset);
    b->unit_bits = static_cast<uint8_t>(unit);
    m->type = b;
    d.bit_offset += width;
    return grow;
}

// Skips to a ';' or '}' after a bad member, consuming the ';'.
void skip_member(TranslationUnit& tu) {
    while (tu.scan.tok != Tok::Semicolon && tu.scan.tok != Tok::RBrace && tu.scan.tok != Tok::Eof)
        scan_token(tu);
    if (tu.scan.tok == Tok::Semicolon) scan_token(tu);
}

// member-declaration-list: { specifier-qualifier-list struct-declarator-list ';' }
void member_list(TranslationUnit& tu, Type* t) {
    bool is_union = t->kind == Kind::Union;
    int32_t offset = 0, size = 0;
    tu.decl.bit_offset = tu.decl.unit_bits = 0;
    bool first_is_bitfield = false;
    int32_t first_size = 0;
    bool mismatch = false;
    // Each member declaration counts its own qualifiers; those of the
    // declaration the structure stands in are kept for it.
    OuterKeywordCounts outer(tu);
    while (tu.scan.tok != Tok::RBrace && tu.scan.tok != Tok::Eof) {
        reset_counters(tu);
        Spec spec = type_specifier(tu);
        for (;;) {
            Declarator d;
            parse_declarator(tu, d);
            bool bitfield = tu.scan.tok == Tok::Colon;
            if (!d.progress && !bitfield) {
                report_str(tu, 46, token_text(tu));
                break;
            }
            Symbol* m = new_symbol(tu, d.name);
            m->sclass = StorageClass::Member;
            m->decl_line = d.line ? d.line : tu.scan.tok_line;
            Type* mt = apply(tu, d, spec.type);
            m->is_const = mt->is_const;
            m->is_volatile = mt->is_volatile;
            if (!bitfield && (mt->size < 0 || mt->kind == Kind::Void || mt->kind == Kind::Function)) {
                // Also keeps a struct from containing itself.
                report(tu, 48);
                if (tu.scan.tok != Tok::Comma) break;
                scan_token(tu);
                continue;
            }
            append_member(t, m);
            int32_t grow;
            if (bitfield) {
                scan_token(tu);
                int32_t width = constant_integer(tu);
                grow = layout_bitfield(tu, m, mt, width, offset, is_union);
            } else {
                tu.decl.unit_bits = 0;
                m->type = mt;
                m->value = is_union ? 0 : offset;
                grow = mt->size;
            }
            if (m == t->first) {
                first_is_bitfield = bitfield;
                first_size = m->type->size;
            } else if (first_is_bitfield && m->type->size != first_size) {
                mismatch = true;
            }
            if (grow > 0) offset += grow;
            size = is_union ? std::max(size, m->type->size) : offset;
            if (tu.scan.tok != Tok::Comma) break;
            scan_token(tu);
        }
        if (tu.scan.tok == Tok::Semicolon)
            scan_token(tu);
        else
            skip_member(tu);
    }
    if (mismatch) report(tu, 2);
    t->size = size;
}

}  // namespace

// struct-or-union-specifier: ( "struct" | "union" ) [ identifier ] [ '{' member-list '}' ]
Type* struct_or_union(TranslationUnit& tu) {
    NestingGuard guard(tu, Nesting::Declaration);
    Kind kind = tu.scan.tok == Tok::Union ? Kind::Union : Kind::Struct;
    scan_token(tu);
    std::string tag;
    if (tu.scan.tok == Tok::Ident) {
        tag = token_text(tu);
        scan_token(tu);
    }
    Symbol* known = tag.empty() ? nullptr : find_tag(tu, tag);
    if (tu.scan.tok != Tok::LBrace) {
        if (tag.empty()) {
            report(tu, 30);
            return new_type(tu, kind, -1);
        }
        if (known) return known->type;
        Type* t = new_type(tu, kind, -1);
        t->tag = tag;
        new_tag(tu, tag, t);
        return t;
    }
    Type* t;
    if (known && known->type->kind == kind && !known->type->first) {
        t = known->type;
    } else {
        if (known) report_at(tu, tu.scan.tok_line, 47, tag);
        t = new_type(tu, kind, -1);
        t->tag = tag;
        if (!tag.empty()) new_tag(tu, tag, t);
    }
    scan_token(tu);
    member_list(tu, t);
    expect(tu, Tok::RBrace);
    return t;
}

// enum-specifier: "enum" [ identifier ] [ '{' enumerator { ',' enumerator } '}' ]
Type* enum_specifier(TranslationUnit& tu) {
    scan_token(tu);
    std::string tag;
    if (tu.scan.tok == Tok::Ident) {
        tag = token_text(tu);
        scan_token(tu);
    }
    if (tu.scan.tok != Tok::LBrace) {
        if (tag.empty()) report(tu, 30);
        else if (!find_tag(tu, tag)) new_tag(tu, tag, copy_type(tu, &tu.builtin.int_))->type->tag = tag;
        return &tu.builtin.int_;
    }
    if (!tag.empty()) new_tag(tu, tag, copy_type(tu, &tu.builtin.int_))->type->tag = tag;
    scan_token(tu);
    int32_t next = 0;
    while (tu.scan.tok == Tok::Ident) {
        Symbol* s = new_symbol(tu, token_text(tu));
        scan_token(tu);
        if (tu.scan.tok == Tok::Assign) {
            scan_token(tu);
            next = constant_integer(tu);
        }
        if (next < -32768 || next > 32767) report(tu, 18);
        s->sclass = StorageClass::EnumConst;
        s->type = &tu.builtin.enum_const;
        s->value = next;
        next = static_cast<int32_t>(static_cast<uint32_t>(next) + 1);
        add_symbol(tu, s, !tu.decl.in_body);
        if (tu.scan.tok != Tok::Comma) break;
        scan_token(tu);
    }
    expect(tu, Tok::RBrace);
    return &tu.builtin.int_;
}

}  // namespace zun::tcx
