// SPDX-License-Identifier: MIT
// Initialisers: for objects with static storage the text after '=' becomes
// labelled data in the initialised-data or constant-data segment; automatic
// objects get assignments or block copies queued for their block's entry.
// Each data routine returns the bytes it wrote, -1 after an error.
#include "compiler/internal.h"

#include "common/format.h"

namespace zun::tcx {

namespace {

std::string hex(uint32_t v) { return format("$%X", v); }

void zero_fill(TranslationUnit& tu, int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) data_byte(tu, 0);
}

// Skips a bad item up to the ',', '}' or ';' that ends it.
void skip_item(TranslationUnit& tu) {
    int nest = 0;
    while (tu.scan.tok != Tok::Eof) {
        Tok t = tu.scan.tok;
        if (nest == 0 && (t == Tok::Comma || t == Tok::RBrace || t == Tok::Semicolon)) return;
        if (t == Tok::LBrace) ++nest;
        if (t == Tok::RBrace) --nest;
        scan_token(tu);
    }
}

void keep_scalar(Symbol* sym, int32_t value, int mode) {
    if (!sym || mode != 1) return;
    sym->init_value = value;
}

int init_string_array(TranslationUnit& tu, Type* t, bool unsized) {
    std::string bytes = tu.scan.str;
    scan_token(tu);
    int32_t len = static_cast<int32_t>(bytes.size());
    if (unsized) {
        t->size = len + 1;
        data_string(tu, 0, bytes);
        return len + 1;
    }
    if (len + 1 <= t->size) {
        data_string(tu, 0, bytes);
        zero_fill(tu, len + 1, t->size);
        return t->size;
    }
    if (len == t->size) {  // an exact fit drops the terminating zero, as C allows
        data_string(tu, 0, bytes, false);
        return t->size;
    }
    report(tu, 31);
    return -1;
}

bool ends_list(Tok t) { return t == Tok::RBrace || t == Tok::Semicolon || t == Tok::Eof; }

// Skips up to the '}' that closes the current level (inner braces whole).
void skip_to_close(TranslationUnit& tu) {
    for (int nest = 0; tu.scan.tok != Tok::Eof; scan_token(tu)) {
        if (tu.scan.tok == Tok::LBrace) ++nest;
        if (tu.scan.tok == Tok::RBrace && nest-- == 0) break;
    }
}

// An array's elements. In braces the list is the array's own; without them
// (an inner array whose braces were left out) the array takes only as many
// items as it has elements and leaves the rest of the list to the enclosing
// object, as C's brace elision says.
int init_array(TranslationUnit& tu, Type* t, Symbol* sym, int mode, bool braced) {
    NestingGuard guard(tu, Nesting::Declaration);
    bool unsized = t->size < 0;
    if (mode == 1 && sym) out_line(tu, asm_name(sym) + ":");
    Type* elem = t->base;
    if (tu.scan.tok == Tok::String && (elem->kind == Kind::Char || elem->kind == Kind::UChar))
        return init_string_array(tu, t, unsized);
    int32_t count = unsized || elem->size <= 0 ? -1 : t->size / elem->size;
    int32_t written = 0, items = 0;
    bool failed = false;
    while (!ends_list(tu.scan.tok)) {
        if (items == count) {
            report(tu, 31);
            skip_to_close(tu);
            return -1;
        }
        int n = init_data(tu, nullptr, elem, 2);
        if (n < 0) {
            failed = true;
            skip_item(tu);
        } else {
            written += n;
        }
        ++items;
        if (tu.scan.tok != Tok::Comma) break;
        if (!braced && items == count) break;  // the ',' belongs to the enclosing list
        scan_token(tu);
    }
    if (unsized) {
        t->size = written;
        return written;
    }
    if (written < t->size && !failed) {
        report(tu, 95);
        zero_fill(tu, written, t->size);
    }
    return failed ? -1 : t->size;
}

bool unnamed_field(const Symbol* m) { return m->type && m->type->kind == Kind::Bitfield && m->name.empty(); }

// The next member that takes an initialiser: unnamed bit-fields take none.
const Symbol* next_named(const Symbol* m) {
    for (m = m->newer; m && unnamed_field(m); m = m->newer) {}
    return m;
}

// Members in declaration order; after the last one the list goes on with
// the enclosing object when the braces were left out. Bit-fields that
// share a storage unit are gathered into it, which is written big-endian.
int init_struct(TranslationUnit& tu, Type* t, Symbol* sym, int mode) {
    NestingGuard guard(tu, Nesting::Declaration);
    if (mode == 1 && sym) out_line(tu, asm_name(sym) + ":");
    int32_t written = 0;
    int32_t unit_at = 0, unit_size = 0;
    uint32_t unit = 0;
    auto flush_unit = [&] {
        if (unit_size == 0) return;
        zero_fill(tu, written, unit_at);
        for (int i = unit_size - 1; i >= 0; --i) data_byte(tu, static_cast<int>(unit >> (8 * i)));
        written = unit_at + unit_size;
        unit_size = 0;
    };
    for (Symbol* m = t->first; m; m = m->newer) {
        if (unnamed_field(m)) continue;
        if (ends_list(tu.scan.tok)) {
            report(tu, 95);
            break;
        }
        if (m->type->kind == Kind::Bitfield) {
            if (unit_size && m->value != unit_at) flush_unit();
            if (!unit_size) {
                unit_at = m->value;
                unit_size = m->type->size;
                unit = 0;
            }
            bool braced = tu.scan.tok == Tok::LBrace;
            if (braced) scan_token(tu);
            uint32_t mask = m->type->bit_width >= 32 ? 0xFFFFFFFFu : (1u << m->type->bit_width) - 1;
            unit |= (static_cast<uint32_t>(constant_int_expression(tu)) & mask) << m->type->bit_offset;
            if (braced) expect(tu, Tok::RBrace);
        } else {
            flush_unit();
            zero_fill(tu, written, m->value);
            written = std::max(written, m->value);
            int n = init_data(tu, nullptr, m->type, 2);
            if (n < 0) return -1;
            written += n;
        }
        if (!next_named(m)) break;
        if (tu.scan.tok != Tok::Comma) {
            if (ends_list(tu.scan.tok)) report(tu, 95);
            break;
        }
        scan_token(tu);
    }
    flush_unit();
    zero_fill(tu, written, t->size);
    return t->size;
}

int init_union(TranslationUnit& tu, Type* t, Symbol* sym, int mode) {
    NestingGuard guard(tu, Nesting::Declaration);
    if (mode == 1 && sym) out_line(tu, asm_name(sym) + ":");
    if (!t->first) return 0;
    int n = init_data(tu, nullptr, t->first->type, 2);
    if (n < 0) return -1;
    zero_fill(tu, n, t->size);
    return std::max(n, t->size);
}

// An address constant: a static or global address plus or minus an integer,
// or a plain integer (a device register, a null pointer).
bool address_constant(TranslationUnit& tu, const Node* n, std::string& base, int32_t& offset) {
    switch (n->kind) {
    case NodeKind::Convert: return address_constant(tu, n->left, base, offset);
    case NodeKind::IntConst: offset += n->value; return true;
    case NodeKind::StaticAddr: case NodeKind::NameAddr:
        if (!base.empty()) return false;
        base = putconst(tu, n);
        return true;
    case NodeKind::Add:
        return address_constant(tu, n->left, base, offset) && address_constant(tu, n->right, base, offset);
    case NodeKind::Sub: {
        int32_t right = 0;
        std::string none;
        if (!address_constant(tu, n->left, base, offset) || !address_constant(tu, n->right, none, right) ||
            !none.empty())
            return false;
        offset -= right;
        return true;
    }
    default: return false;
    }
}

int init_pointer(TranslationUnit& tu, Symbol* sym, int mode) {
    Node* n = constant_address(tu);
    std::string base;
    int32_t offset = 0;
    if (!n || !address_constant(tu, n, base, offset)) {
        report(tu, 51);
        return -1;
    }
    if (mode == 0) return 2;
    std::string text;
    int32_t off16 = static_cast<int16_t>(offset);
    if (base.empty()) {
        Node c;
        c.value = static_cast<uint16_t>(offset);
        text = putconst(tu, &c);
    } else {
        text = base;
        if (off16 > 0) text += format("+%d", off16);
        if (off16 < 0) text += format("-%d", -off16);
    }
    if (mode == 1 && sym)
        data_word_labelled(tu, sym, text);
    else
        data_word(tu, text);
    return 2;
}

int init_scalar(TranslationUnit& tu, Symbol* sym, Type* t, int mode) {
    Symbol* label = mode == 1 ? sym : nullptr;
    switch (t->kind) {
    case Kind::Char: case Kind::UChar: {
        int32_t v = constant_int_expression(tu);
        keep_scalar(sym, cut_to_type(v, t->kind), mode);
        if (label) data_byte_labelled(tu, label, hex(static_cast<uint8_t>(v)));
        else if (mode == 2) data_byte(tu, v);
        return 1;
    }
    case Kind::Short: case Kind::UShort: {
        int32_t v = constant_int_expression(tu);
        keep_scalar(sym, cut_to_type(v, t->kind), mode);
        if (label) data_word_labelled(tu, label, hex(static_cast<uint16_t>(v)));
        else if (mode == 2) data_word(tu, hex(static_cast<uint16_t>(v)));
        return 2;
    }
    case Kind::Long: case Kind::ULong: {
        int32_t v = constant_int_expression(tu);
        keep_scalar(sym, v, mode);
        if (mode != 0) data_quad(tu, label, hex(static_cast<uint32_t>(v)));
        return 4;
    }
    case Kind::Float: case Kind::Double: {
        double v = constant_float_expression(tu);
        if (sym && mode == 1) sym->float_value = v;
        if (mode != 0) data_quad(tu, label, hex(float_bits(v)));
        return 4;
    }
    default: break;
    }
    report(tu, 39);
    skip_item(tu);
    return -1;
}

}  // namespace

int init_data(TranslationUnit& tu, Symbol* sym, Type* t, int mode) {
    bool braced = tu.scan.tok == Tok::LBrace;
    if (braced) scan_token(tu);
    int n;
    bool aggregate = t->kind == Kind::Struct || t->kind == Kind::Union;
    if (t->kind == Kind::Struct) n = init_struct(tu, t, sym, mode);
    else if (t->kind == Kind::Union) n = init_union(tu, t, sym, mode);
    else if (t->kind == Kind::Pointer && t->array) n = init_array(tu, t, sym, mode, braced);
    else if (t->kind == Kind::Pointer) n = init_pointer(tu, sym, mode);
    else n = init_scalar(tu, sym, t, mode);
    if (braced) {
        // a list may end with a ',' before its '}'
        if (tu.scan.tok == Tok::Comma) scan_token(tu);
        if (aggregate && tu.scan.tok != Tok::RBrace) {
            report(tu, 31);
            skip_to_close(tu);
        }
        if (tu.scan.tok != Tok::RBrace) skip_item(tu);
        expect(tu, Tok::RBrace);
    }
    return n;
}

void init_static(TranslationUnit& tu, Symbol* sym) {
    if (sym->emitted) {
        // Its storage is already written ("int a; int a = 5;"): the value
        // cannot be placed any more, which must not pass silently.
        report_at(tu, tu.scan.tok_line, 47, sym->name);
        scan_token(tu);
        size_t mark = tu.out.text.size();
        bool pending = tu.out.pending_newline;
        init_data(tu, sym, sym->type, 0);
        tu.out.text.resize(mark);
        tu.out.pending_newline = pending;
        return;
    }
    Pos end;
    sym->pos.end = find_char(tu, ';', end) ? end : current_pos(tu);
    echo_source(tu, sym->pos);
    if (sym->is_const)
        segment_const(tu);
    else
        segment_data(tu);
    out_newline(tu);
    scan_token(tu);
    sym->flags |= Initialised;
    init_data(tu, sym, sym->type, 1);
    if (sym->sclass == StorageClass::Global) export_line(tu, sym);
    sym->emitted = true;
}

namespace {

// Queues an initialisation behind the earlier ones of the same block, so
// that they run in declaration order when the block is entered.
void queue_init(TranslationUnit& tu, Symbol* sym, Node* n) {
    tu.body->pending_inits.emplace_back(n, sym->pos);
}

Node* frame_address(TranslationUnit& tu, Symbol* sym) {
    Node* a = new_node(tu, NodeKind::FrameAddr, nullptr, nullptr);
    a->symbol = sym;
    a->value = sym->value;
    a->type_kind = Kind::Pointer;
    a->size = 2;
    return a;
}

// Arrays copy from a constant image in rodata; structures and unions from
// one in the code segment.
void init_auto_image(TranslationUnit& tu, Symbol* sym) {
    Type* t = sym->type;
    bool unsized = t->size < 0;
    int label = tu.next_label++;
    if (t->kind == Kind::Pointer)
        segment_const(tu);
    else
        segment_code(tu);
    out_newline(tu);
    label_line(tu, label);
    int n = init_data(tu, nullptr, t, 2);
    if (n < 0) return;
    if (unsized && tu.body) {
        FunctionDef& def = *tu.body->def;
        def.locals_size += t->size;
        sym->value = -def.locals_size;
    }
    Node* src = new_node(tu, NodeKind::StaticAddr, nullptr, nullptr);
    src->value = label;
    src->type_kind = Kind::Pointer;
    src->size = 2;
    Node* copy = new_node(tu, NodeKind::BlockCopy, src, frame_address(tu, sym));
    copy->value = t->size;
    copy->type_kind = t->kind;
    copy->size = t->size;
    queue_init(tu, sym, copy);
}

}  // namespace

// The initialiser of an automatic object runs as code when its block is
// entered; the compound statement places the queued assignments first.
void init_auto(TranslationUnit& tu, Symbol* sym) {
    scan_token(tu);  // '='
    if (!tu.body) {
        skip_item(tu);
        return;
    }
    sym->flags |= Initialised;
    Type* t = sym->type;
    bool is_struct = t->kind == Kind::Struct || t->kind == Kind::Union;
    if ((is_struct && tu.scan.tok == Tok::LBrace) || (t->kind == Kind::Pointer && t->array)) {
        init_auto_image(tu, sym);
        return;
    }
    // A structure or union may also take the value of an expression of its
    // type ("struct S s = *p;", "= f();"): it is copied as an assignment is.
    bool braced = tu.scan.tok == Tok::LBrace;
    if (braced) scan_token(tu);
    Node* value = nullptr;
    Type* vt = expression(tu, value);
    if (braced) expect(tu, Tok::RBrace);
    if (!vt) {
        report(tu, 27);
        skip_item(tu);
        return;
    }
    Type* target = t->kind == Kind::Bitfield ? &tu.builtin.uint : t;
    convert(tu, value, vt, target, false);
    Node* lhs = new_node(tu, NodeKind::Load, frame_address(tu, sym), nullptr);
    lhs->type_kind = t->kind;
    lhs->size = t->size;
    Node* assign = new_node(tu, NodeKind::Assign, lhs, value);
    assign->type_kind = t->kind;
    assign->size = t->size;
    simplify(tu, assign);
    queue_init(tu, sym, assign);
}

}  // namespace zun::tcx
