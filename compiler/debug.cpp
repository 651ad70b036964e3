// SPDX-License-Identifier: MIT
// Debug output (-g) for the source-level debugger: the type table with its
// names and type lines, the ".stab sym" symbol lines, the statement, exit
// and symbol pseudo-entries of a function's instruction list and the
// function's frame lines. The assembler turns these lines into debug
// records; the debugger parses the type lines.
#include "compiler/codegen.h"

#include "common/format.h"

#include <algorithm>
#include <cctype>

namespace zun::tcx {

namespace {

constexpr const char* type_directive = ".stab type ";

struct Builtin {
    Type BuiltinTypes::*type;
    char letter;
};

// Slots 0-15, in number order.
constexpr Builtin builtins[] = {
    {&BuiltinTypes::void_, 'V'},  {&BuiltinTypes::long_, 'L'},     {&BuiltinTypes::ulong, 'l'},
    {&BuiltinTypes::char_, 'C'},  {&BuiltinTypes::uchar, 'c'},     {&BuiltinTypes::short_, 'S'},
    {&BuiltinTypes::ushort, 's'}, {&BuiltinTypes::float_, 'g'},    {&BuiltinTypes::double_, 'G'},
    {&BuiltinTypes::ldouble, 'h'}, {&BuiltinTypes::char_ptr, 'R'}, {&BuiltinTypes::int_, 'I'},
    {&BuiltinTypes::uint, 'i'},   {&BuiltinTypes::enum_const, 'E'}, {&BuiltinTypes::implicit_fn, 'F'},
    {&BuiltinTypes::void_ptr, 'P'},
};

constexpr int number_int = 11, number_function = 14;

bool is_plain_pointer(const Type* t) { return t->kind == Kind::Pointer && !t->array; }
bool is_aggregate(const Type* t) { return t->kind == Kind::Struct || t->kind == Kind::Union; }

// Two chains of base links with the same kinds (array sizes included);
// innermost structures match by record or by tag.
bool same_chain(const Type* a, const Type* b) {
    for (; a && b; a = a->base, b = b->base) {
        if (a->kind != b->kind || a->array != b->array) return false;
        if (a->array && a->size != b->size) return false;
        if (is_aggregate(a)) return a == b || (!a->tag.empty() && a->tag == b->tag);
        if (a->kind == Kind::Bitfield) return a == b;
    }
    return a == b;
}

// The number of levels same_chain looks at before it decides.
size_t chain_length(const Type* t) {
    size_t n = 0;
    for (; t; t = t->base) {
        ++n;
        if (is_aggregate(t) || t->kind == Kind::Bitfield) break;
    }
    return n;
}

// A copy of a built-in scalar (a qualified one, say) takes the built-in's
// number, so that the debugger reads it with the right size and sign.
int scalar_number(Kind k) {
    switch (k) {
    case Kind::Void: return 0;
    case Kind::Long: return 1;
    case Kind::ULong: return 2;
    case Kind::Char: return 3;
    case Kind::UChar: return 4;
    case Kind::Short: return number_int;
    case Kind::UShort: return 12;
    case Kind::Float: return 7;
    case Kind::Double: return 8;
    default: return -1;
    }
}

const std::string& module_name(TranslationUnit& tu) {
    DebugTable& d = tu.debug;
    if (!d.module_fixed) {
        d.module = debug_module_name(tu.options.files.empty() ? tu.file_name : tu.options.files[0]);
        d.module_fixed = true;
    }
    return d.module;
}

// Numbers every level of a chain that a type line names (all but pointers).
void number_chain(TranslationUnit& tu, const Type* t) {
    for (; t; t = t->base)
        if (!is_plain_pointer(t)) debug_type(tu, t);
}

// "*" per pointer level, the parenthesised name of any other level.
std::string chain_text(TranslationUnit& tu, const Type* t) {
    std::string s;
    for (; t; t = t->base) s += is_plain_pointer(t) ? "*" : debug_type_ref(tu, debug_type(tu, t));
    return s;
}

void number_members(TranslationUnit& tu, const Type* t) {
    for (const Symbol* m = t->first; m; m = m->newer) debug_type(tu, m->type);
}

std::string type_line(TranslationUnit& tu, int number) {
    const DebugSlot& slot = tu.debug.slots[static_cast<size_t>(number)];
    const Type* t = slot.type;
    std::string name = debug_type_name(tu, number);
    if (number < 16) return format("%s %s %c (%d)\n", type_directive, name.c_str(), slot.letter, t->size);
    switch (slot.letter) {
    case 'B':
        return format("%s %s %c (%d,%d:%d)\n", type_directive, name.c_str(), 'B', t->size, t->bit_width,
                      t->bit_offset);
    case 'F':
        return format("%s %s * %s \n", type_directive, name.c_str(), debug_type_ref(tu, number_function).c_str());
    default: break;
    }
    std::string line = format("%s %s %c", type_directive, name.c_str(), slot.letter);
    switch (slot.letter) {
    case 'A': return line + format(" (%d)", t->size) + chain_text(tu, t->base) + "\n";
    case 'a': return line + " " + chain_text(tu, t) + "\n";
    case 'e': return line + format(" (%d)\n", t->size);
    case 'Z': {
        line += format(" (%d)", t->size) + (t->kind == Kind::Union ? "U " : "S ");
        if (!t->tag.empty()) line += t->tag + " ";
        line += "{\\\n";
        for (const Symbol* m = t->first; m; m = m->newer) {
            line += m->name;
            const Type* mt = m->type;
            if (mt && mt->kind == Kind::Bitfield)
                line += format(":(%d,%d:%d):", mt->size, mt->bit_offset, mt->bit_width);
            else
                line += format(":(%d):", m->value);
            line += debug_type_ref(tu, debug_type(tu, mt)) + ";\\\n";
        }
        return line + "}\n";
    }
    default: return {};
    }
}

std::string function_record(TranslationUnit& tu, const Symbol* fn, const std::vector<const Type*>& params) {
    std::string name = asm_name(fn);
    std::string r = format("F:%s:%s:", fn->name.c_str(), name.c_str());
    const Type* result = fn->type && fn->type->base ? fn->type->base : &tu.builtin.int_;
    r += debug_type_ref(tu, debug_type(tu, result));
    for (const Type* p : params) r += debug_type_ref(tu, debug_type(tu, p));
    return r;
}

// The parameter types of a function type, up to a '...' or void marker.
std::vector<const Type*> parameter_types(const Type* fn) {
    std::vector<const Type*> types;
    for (const Symbol* p = fn ? fn->first : nullptr; p; p = p->newer) {
        if (!p->type || p->type->kind == Kind::Ellipsis || p->type->kind == Kind::Void) break;
        types.push_back(p->type);
    }
    return types;
}

}  // namespace

void debug_init(TranslationUnit& tu) {
    DebugTable& d = tu.debug;
    d = DebugTable{};
    for (const Builtin& b : builtins) {
        const Type* t = &(tu.builtin.*b.type);
        d.numbers.emplace(t, static_cast<int>(d.slots.size()));
        d.slots.push_back(DebugSlot{t, b.letter, chain_length(t)});
    }
}

std::string debug_module_name(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

void debug_source_file(TranslationUnit& tu, const std::string& path) {
    DebugTable& d = tu.debug;
    if (d.module_fixed) return;
    d.module = debug_module_name(path);
    d.module_fixed = true;
}

int debug_type_number(const TranslationUnit& tu, const Type* t) {
    if (!t) return -1;
    const DebugTable& d = tu.debug;
    auto it = d.numbers.find(t);
    if (it != d.numbers.end()) return it->second;
    if (t->kind == Kind::Function) return number_function;
    if (t->kind != Kind::Pointer) return scalar_number(t->kind);
    size_t length = chain_length(t);
    for (size_t i = 0; i < d.slots.size(); ++i) {
        const Type* s = d.slots[i].type;
        if (s->kind == Kind::Pointer && s->array == t->array && d.slots[i].chain_length == length &&
            same_chain(s, t))
            return static_cast<int>(i);
    }
    return -1;
}

int debug_type(TranslationUnit& tu, const Type* t) {
    if (!t) return -1;
    DebugTable& d = tu.debug;
    if (d.slots.empty()) debug_init(tu);
    // Once refused, always refused: asking again would walk the type's whole
    // chain once more at every level that names it.
    if (d.no_slot.count(t)) return -1;
    int n = debug_type_number(tu, t);
    if (n >= 0) return n;
    char letter = 0;
    switch (t->kind) {
    case Kind::LongLong: case Kind::ULongLong: letter = 'e'; break;
    case Kind::Struct: case Kind::Union: letter = 'Z'; break;
    case Kind::Bitfield: letter = 'B'; break;
    case Kind::Pointer:
        if (t->base && t->base->kind == Kind::Function) {
            letter = 'F';
            break;
        }
        // The levels that the type's line names get their numbers first.
        number_chain(tu, t->base);
        n = debug_type_number(tu, t);
        if (n >= 0) return n;
        letter = t->array ? 'A' : 'a';
        break;
    default: return -1;
    }
    if (d.slots.size() >= DebugTable::capacity) {
        if (d.no_slot.empty())
            report_text(tu, d.symbol_line > 0 ? d.symbol_line : tu.scan.tok_line,
                        format("Debug type table full (%zu types): later types get no debug information",
                               DebugTable::capacity),
                        true);
        d.no_slot.insert(t);
        return -1;
    }
    n = static_cast<int>(d.slots.size());
    d.slots.push_back(DebugSlot{t, letter, chain_length(t)});
    d.numbers.emplace(t, n);
    // A member may point back at its own structure: the slot is taken first.
    if (letter == 'Z') number_members(tu, t);
    return n;
}

std::string debug_type_name(TranslationUnit& tu, int number) {
    if (number < 0) number = number_int;
    if (number < 16) return format("typ%d", number);
    return format("typ%d-%s", number, module_name(tu).c_str());
}

std::string debug_type_ref(TranslationUnit& tu, int number) { return "(" + debug_type_name(tu, number) + ")"; }

std::string debug_symbol_record(TranslationUnit& tu, const Symbol* s, const Symbol* function, int frame) {
    if (!s->type || s->sclass == StorageClass::Extern) return {};
    tu.debug.symbol_line = s->decl_line;
    if (s->is_function || s->type->kind == Kind::Function) return function_record(tu, s, parameter_types(s->type));
    std::string type = debug_type_ref(tu, debug_type(tu, s->type));
    switch (s->sclass) {
    case StorageClass::Global:
        return format("G:%s:%s:", s->name.c_str(), asm_name(s).c_str()) + type;
    case StorageClass::Static: {
        std::string record = format("S:%s:_%u:", s->name.c_str(), static_cast<unsigned>(s->value)) + type;
        // A static of a function's body carries the function as a field
        // behind the type: two functions may each have one of a name.
        // Readers that know no such field pass over it.
        if (function) record += ":" + function->name;
        return record;
    }
    case StorageClass::Auto:
    case StorageClass::Param: {
        if (!function || s->name.empty()) return {};
        std::string record = format("L:%s:%s:%d:", function->name.c_str(), s->name.c_str(), s->value + frame) + type;
        // A local of an inner block carries its block as a field behind the
        // type, "first line,column-last line,column" of the braces; readers
        // that know no such field pass over it.
        auto block = tu.debug.block_scopes.find(s);
        if (block != tu.debug.block_scopes.end()) {
            const DebugPos& b = block->second;
            record += format(":%d,%d-%d,%d", b.start.line, b.start.col, b.end.line, b.end.col);
        }
        return record;
    }
    default: return {};
    }
}

void debug_block_scope(TranslationUnit& tu, const Symbol* first, const DebugPos& block) {
    if (!tu.options.debug) return;
    for (const Symbol* s = first; s; s = s->newer) tu.debug.block_scopes[s] = block;
}

void debug_symbol(TranslationUnit& tu, const Symbol* s) {
    if (!tu.options.debug || !s || tu.debug.written.count(s)) return;
    const Symbol* function = s->block > 0 && tu.body && tu.body->def ? tu.body->def->fn : nullptr;
    std::string record = debug_symbol_record(tu, s, function, 0);
    if (record.empty()) return;
    tu.debug.written.insert(s);
    echo_source(tu, s->pos);
    out_line(tu, ".stab sym " + record);
}

void debug_type_table(TranslationUnit& tu) {
    DebugTable& d = tu.debug;
    if (d.slots.empty()) debug_init(tu);
    // Structures numbered while incomplete get their members' types now.
    for (size_t i = 16; i < d.slots.size(); ++i)
        if (d.slots[i].letter == 'Z') number_members(tu, d.slots[i].type);
    out_newline(tu);
    out_raw(tu, "\n\n* Symbol table for SLD\n");
    for (size_t i = 0; i < d.slots.size(); ++i) out_raw(tu, type_line(tu, static_cast<int>(i)));
}

// ---- the function's entries and frame lines ----

void debug_statement(CodeGen& cg, const DebugPos& pos) {
    if (!cg.tu.options.debug) return;
    Pos p = pos.start;
    if (p.line <= 0 || (p.line == cg.debug_mark.line && p.col == cg.debug_mark.col)) return;
    cg.debug_mark = p;
    Insn* e = emit(cg, OP_DEBUG);
    e->debug_kind = DEBUG_STATEMENT;
    e->debug_at = p;
}

// A line's marker stands before its code. Where no code follows before the
// next marker (a `while (1) {` or `do {` line, a `break;` folded into its
// `if`, a statement removed as dead) the line has none: its marker would lie
// at the next line's address, and the debugger would show that line's code
// as this one's and stop there for a breakpoint on this line.
void debug_drop_codeless(CodeGen& cg) {
    if (!cg.tu.options.debug) return;
    Insn* pending = nullptr;
    for (Insn* e : cg.list) {
        if (!e->live) continue;
        bool marker = e->opcode == OP_DEBUG && (e->debug_kind == DEBUG_STATEMENT || e->debug_kind == DEBUG_EXIT);
        bool code = (is_instruction(e) && e->opcode != OP_FAULT) || (e->opcode == OP_COMMENT && e->asm_stmt);
        if (marker && pending) pending->live = false;
        if (marker) pending = e->debug_kind == DEBUG_STATEMENT ? e : nullptr;
        else if (code) pending = nullptr;
    }
}

void debug_exit(CodeGen& cg, Pos pos) {
    if (!cg.tu.options.debug) return;
    Insn* e = emit(cg, OP_DEBUG);
    e->debug_kind = DEBUG_EXIT;
    e->debug_at = pos;
}

void debug_symbol_entries(CodeGen& cg) {
    if (!cg.tu.options.debug || !cg.fn) return;
    auto append = [&cg](const Symbol* s) {
        Insn* e = emit(cg, OP_DEBUG);
        e->debug_kind = DEBUG_SYMBOL;
        e->debug_symbol = s;
    };
    append(cg.fn->fn);
    for (const Symbol* p : cg.fn->params) append(p);
    for (const Symbol* s : cg.fn->locals)
        if (s->sclass == StorageClass::Auto) append(s);
}

void debug_function_start(CodeGen& cg) {
    TranslationUnit& tu = cg.tu;
    if (!tu.options.debug || !cg.fn) return;
    const FunctionDef& f = *cg.fn;
    Pos at = f.fn->pos.start.line > 0 ? f.fn->pos.start : f.body_start;
    out_line(tu, format(".stab fstart %s:%d", asm_name(f.fn).c_str(), at.line));
    out_line(tu, format(".stab stmt %d,%d", at.line, at.col));
    // Parameters in declaration order (binding order is reversed for __pascal).
    std::vector<const Type*> params;
    for (const Symbol* p : f.params) params.push_back(p->type);
    if (f.fn->pascal) std::reverse(params.begin(), params.end());
    for (const Insn* e : cg.list) {
        if (e->opcode != OP_DEBUG || e->debug_kind != DEBUG_SYMBOL) continue;
        const Symbol* s = e->debug_symbol;
        std::string record = s == f.fn ? function_record(tu, s, params)
                                       : debug_symbol_record(tu, s, f.fn, cg.locals_size);
        if (!record.empty()) out_line(tu, ".stab sym " + record);
    }
}

void debug_function_end(CodeGen& cg) {
    if (!cg.tu.options.debug || !cg.fn) return;
    out_line(cg.tu, format(".stab fend %s:%d", asm_name(cg.fn->fn).c_str(), cg.fn->body_end.line));
}

void debug_entry_text(CodeGen& cg, const Insn* e) {
    switch (e->debug_kind) {
    case DEBUG_STATEMENT:
        put(cg, format(".stab stmt %d,%d", e->debug_at.line, e->debug_at.col));
        return;
    case DEBUG_EXIT:
        put(cg, format(".stab stmt %d,%d", e->debug_at.line, e->debug_at.col));
        put(cg, format(".stab fexit %d,%d", e->debug_at.line, e->debug_at.col));
        return;
    default: return;  // symbol entries went out at the function's start
    }
}

}  // namespace zun::tcx
