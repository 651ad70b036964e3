// SPDX-License-Identifier: MIT
// Function bodies: parameters bound to their stack offsets, statements into
// statement records, the checks that need the whole body, and the hand-over
// of the finished function to the code generator.
#include "compiler/internal.h"

#include "common/format.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace zun::tcx {

namespace {

Stmt* new_stmt(TranslationUnit& tu, StmtKind kind) {
    Stmt& s = *tu.function->stmts.make();
    s.kind = kind;
    s.pos.start = tu.scan.tok_start;
    s.pos.end = tu.scan.tok_end;
    return &s;
}

Stmt* statement(TranslationUnit& tu);

// A condition of if, while and do; `for` passes check_constant = false.
Node* condition(TranslationUnit& tu, Stmt* s, bool check_constant) {
    Node* n = nullptr;
    int line = tu.scan.tok_line;
    Type* t = comma_expression(tu, n);
    if (!t) {
        report(tu, 20);
        return nullptr;
    }
    if (n->kind == NodeKind::Assign) report_at(tu, line, 84);
    simplify(tu, n);
    if (check_constant && n->kind == NodeKind::IntConst) {
        s->const_cond = n->value != 0 ? 1 : 0;
        report_at(tu, line, n->value != 0 ? 87 : 88);
    }
    return n;
}

Node* parenthesised_condition(TranslationUnit& tu, Stmt* s, bool check_constant) {
    if (tu.scan.tok != Tok::LParen) {
        report(tu, 20);
        return nullptr;
    }
    scan_token(tu);
    Node* n = condition(tu, s, check_constant);
    expect(tu, Tok::RParen);
    return n;
}

Stmt* compound_statement(TranslationUnit& tu, std::vector<Symbol*>& block_symbols, bool function_body = false);

// A statement inside another (the body of if, else, a loop, switch): one
// level of nesting, a block there included.
Stmt* sub_statement(TranslationUnit& tu) {
    NestingGuard guard(tu, Nesting::Statement);
    if (tu.scan.tok == Tok::LBrace) return compound_statement(tu, tu.body->def->locals);
    return statement(tu);
}

Symbol* function_label(TranslationUnit& tu, const std::string& name) {
    FunctionDef& def = *tu.body->def;
    for (Symbol* l : def.labels)
        if (l->name == name) return l;
    Symbol* l = new_local_symbol(tu, name);
    l->sclass = StorageClass::LabelRef;
    l->value = tu.next_label++;
    def.labels.push_back(l);
    return l;
}

Stmt* label_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Label);
    std::string name = token_text(tu);
    Symbol* l = function_label(tu, name);
    if (l->sclass == StorageClass::Label) report_str(tu, 17, name);
    l->sclass = StorageClass::Label;
    l->decl_line = tu.scan.tok_line;
    s->label = l;
    s->value = l->value;
    scan_token(tu);  // name
    scan_token(tu);  // ':'
    return s;
}

Stmt* goto_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Goto);
    scan_token(tu);
    if (tu.scan.tok != Tok::Ident) {
        report(tu, 23);
    } else {
        Symbol* l = function_label(tu, token_text(tu));
        if (l->sclass == StorageClass::LabelRef && l->decl_line == 0) l->decl_line = tu.scan.tok_line;
        s->label = l;
        s->value = l->value;
        scan_token(tu);
    }
    expect(tu, Tok::Semicolon);
    return s;
}

Stmt* return_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Return);
    Symbol* fn = tu.body->def->fn;
    Type* result = fn->type->base ? fn->type->base : &tu.builtin.int_;
    scan_token(tu);
    tu.body->return_seen = true;
    if (tu.scan.tok == Tok::Semicolon) {
        if (result->kind != Kind::Void) report(tu, 107);
    } else {
        Node* n = nullptr;
        Type* t = comma_expression(tu, n);
        if (!t) {
            report(tu, 20);
        } else if (result->kind == Kind::Void) {
            report(tu, 54);
        } else if (t->kind == Kind::Void) {
            report(tu, 57);
        } else {
            convert(tu, n, t, result, false);
            simplify(tu, n);
            s->expr = n;
        }
    }
    expect(tu, Tok::Semicolon);
    return s;
}

Stmt* jump_statement(TranslationUnit& tu, StmtKind kind) {
    Stmt* s = new_stmt(tu, kind);
    BodyState& b = *tu.body;
    if (kind == StmtKind::Break) {
        if (b.breakable.empty()) report(tu, 5);
        else s->target = b.breakable.back();
    } else {
        if (b.loops.empty()) report(tu, 12);
        else s->target = b.loops.back();
    }
    scan_token(tu);
    expect(tu, Tok::Semicolon);
    return s;
}

// Runs the body of a loop or switch with s as the target of break (and of
// continue for loops).
Stmt* controlled_body(TranslationUnit& tu, Stmt* s, bool loop) {
    BodyState& b = *tu.body;
    b.breakable.push_back(s);
    if (loop) b.loops.push_back(s);
    Stmt* body = sub_statement(tu);
    b.breakable.pop_back();
    if (loop) b.loops.pop_back();
    return body;
}

Stmt* if_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::If);
    scan_token(tu);
    s->expr = parenthesised_condition(tu, s, true);
    if (tu.scan.tok == Tok::Semicolon) report(tu, 92);
    s->body = sub_statement(tu);
    if (tu.scan.tok == Tok::Else) {
        scan_token(tu);
        s->else_branch = sub_statement(tu);
    }
    return s;
}

Stmt* while_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::While);
    scan_token(tu);
    s->expr = parenthesised_condition(tu, s, true);
    s->body = controlled_body(tu, s, true);
    return s;
}

Stmt* do_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Do);
    scan_token(tu);
    s->body = controlled_body(tu, s, true);
    if (tu.scan.tok != Tok::While) {
        report(tu, 58);
        return s;
    }
    s->while_pos = tu.scan.tok_start;
    scan_token(tu);
    s->expr = parenthesised_condition(tu, s, true);
    if (tu.scan.tok != Tok::RBrace) expect(tu, Tok::Semicolon);
    return s;
}

// One clause of `for`, up to the given token.
Node* for_clause(TranslationUnit& tu, Tok end) {
    Node* n = nullptr;
    if (tu.scan.tok != end) {
        if (comma_expression(tu, n)) simplify(tu, n);
        else report(tu, 20);
    }
    expect(tu, end);
    return n;
}

Stmt* for_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::For);
    scan_token(tu);
    if (tu.scan.tok != Tok::LParen) {
        report(tu, 20);
    } else {
        scan_token(tu);
        s->init = for_clause(tu, Tok::Semicolon);
        if (tu.scan.tok != Tok::Semicolon) s->expr = condition(tu, s, false);
        expect(tu, Tok::Semicolon);
        s->step = for_clause(tu, Tok::RParen);
    }
    s->body = controlled_body(tu, s, true);
    return s;
}

void check_cases(TranslationUnit& tu, Stmt* sw) {
    bool have_default = false;
    std::unordered_set<int32_t> seen;  // a switch may have thousands of cases
    for (Stmt* c = sw->first_case; c; c = c->next_case) {
        if (c->kind == StmtKind::Default) {
            if (have_default) {
                report_at(tu, c->pos.start.line, 16);
                return;
            }
            have_default = true;
            continue;
        }
        if (!seen.insert(c->value).second) {
            report_at(tu, c->pos.start.line, 15, std::to_string(c->value));
            return;
        }
    }
}

Stmt* switch_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Switch);
    scan_token(tu);
    if (tu.scan.tok != Tok::LParen) {
        report(tu, 20);
    } else {
        scan_token(tu);
        Node* n = nullptr;
        Type* t = comma_expression(tu, n);
        if (!t) {
            report(tu, 20);
        } else {
            if (!is_integer(t)) report(tu, 32);
            Type* to = t->size == 4 ? t : &tu.builtin.int_;
            convert(tu, n, t, to, false);
            simplify(tu, n);
            s->expr = n;
        }
        expect(tu, Tok::RParen);
    }
    BodyState& b = *tu.body;
    b.switches.push_back(s);
    b.last_case.push_back(nullptr);
    s->body = controlled_body(tu, s, false);
    b.switches.pop_back();
    b.last_case.pop_back();
    check_cases(tu, s);
    return s;
}

Stmt* case_statement(TranslationUnit& tu, StmtKind kind) {
    Stmt* s = new_stmt(tu, kind);
    BodyState& b = *tu.body;
    scan_token(tu);
    if (kind == StmtKind::Case) s->value = constant_integer(tu);
    expect(tu, Tok::Colon);
    if (b.switches.empty()) {
        report(tu, 6);
    } else {
        Stmt* sw = b.switches.back();
        if (sw->expr && sw->expr->size != 4) s->value = cut_to_type(s->value, Kind::Short);
        if (b.last_case.back()) b.last_case.back()->next_case = s;
        else sw->first_case = s;
        b.last_case.back() = s;
        if (kind == StmtKind::Default && !sw->default_case) sw->default_case = s;
    }
    return s;
}

bool starts_label(TranslationUnit& tu) {
    switch (tu.scan.tok) {
    case Tok::Case: case Tok::Default: return true;
    case Tok::Ident: skip_space(tu); return tu.scan.ch == ':';
    default: return false;
    }
}

// labelled-statement: { identifier ':' | 'case' constant-expression ':' | 'default' ':' } statement
// A label is no nesting: a run of labels is read as a loop, each label's
// statement the next label, the last one's the statement ('}' may follow
// directly).
Stmt* labelled_statement(TranslationUnit& tu) {
    Stmt* first = nullptr;
    Stmt* last = nullptr;
    do {
        Stmt* s = tu.scan.tok == Tok::Ident ? label_statement(tu)
                                            : case_statement(tu, tu.scan.tok == Tok::Case ? StmtKind::Case
                                                                                          : StmtKind::Default);
        (last ? last->body : first) = s;
        last = s;
        if (tu.scan.tok == Tok::RBrace) return first;
    } while (starts_label(tu));
    last->body = statement(tu);
    return first;
}

Stmt* asm_statement(TranslationUnit& tu) {
    Stmt* s = new_stmt(tu, StmtKind::Asm);
    tu.body->def->uses_asm = true;
    scan_token(tu);
    bool ok = tu.scan.tok == Tok::LParen;
    if (ok) scan_token(tu);
    if (ok && tu.scan.tok == Tok::String) {
        s->asm_text = tu.scan.str;
        scan_token(tu);
    } else {
        report(tu, 73);
        ok = false;
    }
    while (ok && tu.scan.tok == Tok::Comma) {
        scan_token(tu);
        Node* n = nullptr;
        Type* t = expression(tu, n);
        if (!t) {
            report(tu, 20);
            ok = false;
            break;
        }
        simplify(tu, n);
        if (s->asm_operands.size() == 5 || (n->kind != NodeKind::IntConst && n->kind != NodeKind::Load)) {
            report(tu, 73);
            ok = false;
            break;
        }
        s->asm_operands.push_back(n->kind == NodeKind::Load ? n->left : n);
        if (tu.scan.tok != Tok::Comma && tu.scan.tok != Tok::RParen) {
            report(tu, 74);
            ok = false;
        }
    }
    if (ok) {
        expect(tu, Tok::RParen);
        expect(tu, Tok::Semicolon);
        return s;
    }
    // A faulty statement is dropped whole.
    while (tu.scan.tok != Tok::Semicolon && tu.scan.tok != Tok::Eof) scan_token(tu);
    if (tu.scan.tok == Tok::Semicolon) scan_token(tu);
    return nullptr;
}

Stmt* expression_statement(TranslationUnit& tu) {
    BodyState& b = *tu.body;
    int line = tu.scan.tok_line;
    Stmt* s = new_stmt(tu, StmtKind::Expr);
    Node* n = nullptr;
    Type* t = comma_expression(tu, n);
    if (!t) {
        // A run of tokens that start nothing is reported once.
        if (!b.expression_failed) report(tu, 20);
        b.expression_failed = true;
        if (tu.scan.tok == Tok::Eof) expect(tu, Tok::Semicolon);
        scan_token(tu);
        return nullptr;
    }
    b.expression_failed = false;
    if (n->kind == NodeKind::Call && n->type_kind != Kind::Void) {
        if (n->left && n->left->kind == NodeKind::NameAddr) report_at(tu, line, 85, n->left->name);
        else report_at(tu, line, 86);
    }
    simplify(tu, n);
    s->expr = n;
    s->pos.end = tu.scan.tok_end;
    expect(tu, Tok::Semicolon);
    return s;
}

// Ends the scope of a block: its symbols are listed for the function and
// leave the lookup lists.
void close_scope(TranslationUnit& tu, Scope& scope, Symbol* mark, std::vector<Symbol*>* listed) {
    Symbol* first = mark ? mark->newer : scope.first;
    for (Symbol* s = first; s && listed; s = s->newer) listed->push_back(s);
    scope.last = mark;
    if (mark) mark->newer = nullptr;
    else scope.first = nullptr;
}

// A function body leaves its closing brace as the current token: the token
// behind it is read only when the function is finished, so that a directive
// on the following lines is taken at file scope.
Stmt* compound_statement(TranslationUnit& tu, std::vector<Symbol*>& block_symbols, bool function_body) {
    Stmt* s = new_stmt(tu, StmtKind::Compound);
    BodyState& b = *tu.body;
    scan_token(tu);  // '{'
    ++tu.decl.block;
    Symbol* mark = tu.locals.last;
    Symbol* tag_mark = tu.local_tags.last;
    auto outer_inits = std::move(b.pending_inits);
    b.pending_inits.clear();
    declaration(tu, DeclContext::Block);
    // Each initialised declaration is a statement with its own position, so
    // that the debugger has a point on every line with code.
    for (auto [expr, pos] : b.pending_inits) {
        Stmt* init = new_stmt(tu, StmtKind::Expr);
        init->expr = expr;
        init->pos = pos;
        s->list.push_back(init);
    }
    b.pending_inits = std::move(outer_inits);
    while (tu.scan.tok != Tok::RBrace) {
        if (tu.scan.tok == Tok::Eof) expect(tu, Tok::RBrace);
        if (Stmt* st = statement(tu)) s->list.push_back(st);
    }
    s->pos.end = tu.scan.tok_end;
    tu.scan.last_rbrace = tu.scan.tok_start;
    if (!function_body) scan_token(tu);
    if (!function_body) debug_block_scope(tu, mark ? mark->newer : tu.locals.first, s->pos);
    close_scope(tu, tu.locals, mark, &block_symbols);
    close_scope(tu, tu.local_tags, tag_mark, nullptr);
    --tu.decl.block;
    return s;
}

Stmt* statement(TranslationUnit& tu) {
    switch (tu.scan.tok) {
    case Tok::Semicolon: scan_token(tu); return nullptr;
    case Tok::LBrace: {
        // a block within a block
        NestingGuard guard(tu, Nesting::Statement);
        return compound_statement(tu, tu.body->def->locals);
    }
    case Tok::Asm: return asm_statement(tu);
    case Tok::Goto: return goto_statement(tu);
    case Tok::Return: return return_statement(tu);
    case Tok::Break: return jump_statement(tu, StmtKind::Break);
    case Tok::Continue: return jump_statement(tu, StmtKind::Continue);
    case Tok::If: return if_statement(tu);
    case Tok::For: return for_statement(tu);
    case Tok::Do: return do_statement(tu);
    case Tok::While: return while_statement(tu);
    case Tok::Switch: return switch_statement(tu);
    case Tok::Case: case Tok::Default: return labelled_statement(tu);
    case Tok::Ident:
        if (starts_label(tu)) return labelled_statement(tu);
        return expression_statement(tu);
    default: return expression_statement(tu);
    }
}

// Parameters take their offsets above the return address in declaration
// order (the reverse for __pascal), each by its own size.
void bind_parameters(TranslationUnit& tu, FunctionDef& def, const Type* own) {
    Symbol* fn = def.fn;
    std::vector<Symbol*> declared;
    for (Symbol* p = own->first; p; p = p->newer) {
        if (p->type->kind == Kind::Ellipsis || p->type->kind == Kind::Void) break;
        declared.push_back(p);
    }
    if (fn->pascal) std::reverse(declared.begin(), declared.end());
    int32_t offset = def.struct_result ? 4 : 2;
    for (Symbol* p : declared) {
        Symbol* a = new_local_symbol(tu, p->name);
        a->type = p->type;
        // An array parameter is a pointer to its first element, a function
        // parameter a pointer to the function: two bytes on the stack.
        if ((p->type->kind == Kind::Pointer && p->type->array) || p->type->kind == Kind::Function)
            a->type = pointer_to(tu, p->type->kind == Kind::Function ? p->type : p->type->base);
        a->sclass = StorageClass::Auto;
        a->decl_line = p->decl_line;
        a->is_const = p->is_const;
        a->is_volatile = p->is_volatile;
        a->is_register = p->is_register;
        a->value = offset;
        offset += std::max<int32_t>(a->type->size, 0);
        if (!a->name.empty()) {
            append_symbol(tu.locals, a);
            list_register_candidate(tu, a);
        }
        def.params.push_back(a);
    }
}

void declare_func_name(TranslationUnit& tu, FunctionDef& def) {
    const std::string& name = def.fn->name;
    Symbol* s = new_local_symbol(tu, "__func__");
    Type* t = new_type(tu, Kind::Pointer, static_cast<int32_t>(name.size()) + 1);
    t->array = true;
    t->base = &tu.builtin.char_;
    s->type = t;
    s->sclass = StorageClass::Static;
    s->value = pool_string(tu, name, s);
    s->emitted = true;
    def.func_name_label = s->value;
    append_symbol(tu.locals, s);
}

void resimplify(TranslationUnit& tu, Stmt* s) {
    // labels carry no expression; a run of them is followed in a loop
    while (s && (s->kind == StmtKind::Case || s->kind == StmtKind::Default || s->kind == StmtKind::Label)) s = s->body;
    if (!s) return;
    simplify(tu, s->expr);
    simplify(tu, s->init);
    simplify(tu, s->step);
    resimplify(tu, s->body);
    resimplify(tu, s->else_branch);
    for (Stmt* c : s->list) resimplify(tu, c);
}

void unused_warnings(TranslationUnit& tu, const FunctionDef& def) {
    for (const Symbol* p : def.params)
        if (!p->name.empty() && !(p->flags & Referenced)) report_at(tu, p->decl_line, 99, p->name);
    for (const Symbol* s : def.locals) {
        if (s->name == "__func__" || (s->flags & Referenced)) continue;
        if (s->sclass == StorageClass::Auto || s->sclass == StorageClass::Static)
            report_at(tu, s->decl_line, 97, s->name);
    }
}

}  // namespace

constexpr int max_frame_size = 32766;

void allocate_local(TranslationUnit& tu, Symbol* s) {
    if (!tu.body) return;
    FunctionDef& def = *tu.body->def;
    def.locals_size += std::max<int32_t>(s->type->size, 0);
    s->value = -def.locals_size;
}

void list_register_candidate(TranslationUnit& tu, Symbol* s) {
    if (!tu.body || !is_scalar_kind(s->type->kind) || s->type->array) return;
    FunctionDef& def = *tu.body->def;
    std::vector<Symbol*>& list = s->is_register ? def.register_candidates : def.other_candidates;
    size_t limit = s->is_register ? max_register_candidates : max_other_candidates;
    if (list.size() < limit) list.push_back(s);
}

void drop_register_candidate(TranslationUnit& tu, const Symbol* s) {
    if (!tu.body) return;
    FunctionDef& def = *tu.body->def;
    for (std::vector<Symbol*>* list : {&def.register_candidates, &def.other_candidates})
        list->erase(std::remove(list->begin(), list->end(), s), list->end());
}

void flush_new_strings(TranslationUnit& tu) {
    Output& o = tu.out;
    if (tu.strings_written >= o.pool.size()) return;
    bool any = false;
    for (size_t i = o.pool.size(); i-- > tu.strings_written;) {
        PooledString& p = o.pool[i];
        // The owner, a function's __func__, ends with the function.
        const Symbol* owner = std::exchange(p.owner, nullptr);
        if (owner && !(owner->flags & Referenced)) {
            // Never written: an equal literal later needs an entry of its own.
            auto it = o.pool_index.find(p.bytes);
            if (it != o.pool_index.end() && it->second == i) o.pool_index.erase(it);
            continue;
        }
        if (!any) {
            out_newline(tu);
            any = true;
        }
        segment_named(tu, SegKind::Const, p.segment);
        data_string(tu, p.label, p.bytes);
    }
    tu.strings_written = o.pool.size();
}

void function_body(TranslationUnit& tu, Symbol* fn, Type* own) {
    FunctionScope records(tu);
    FunctionDef def;
    BodyState state;
    state.def = &def;
    def.fn = fn;
    fn->is_function = true;
    Type* result = own->base ? own->base : &tu.builtin.int_;
    def.struct_result = result->kind == Kind::Struct || result->kind == Kind::Union;
    def.body_start = tu.scan.tok_start;
    int saved_depth = tu.depth;
    std::string saved_code = tu.out.seg_name[static_cast<int>(SegKind::Code)];
    tu.depth = 0;
    tu.decl.in_body = true;
    tu.body = &state;
    tu.locals = Scope{};
    tu.local_tags = Scope{};
    bind_parameters(tu, def, own);
    declare_func_name(tu, def);
    def.body = compound_statement(tu, def.locals, true);
    def.body_end = def.body->pos.end;
    def.returns_seen = state.return_seen;
    tu.body = nullptr;
    tu.decl.in_body = false;
    tu.locals = Scope{};
    tu.local_tags = Scope{};
    for (const Symbol* l : def.labels)
        if (l->sclass == StorageClass::LabelRef) report_at(tu, l->decl_line, 53, l->name);
    // Locals are reached through signed 16-bit offsets from S.
    if (def.locals_size > max_frame_size)
        report_text(tu, def.body_start.line,
                    format("Local data of function '%s' take %d bytes, more than the frame limit of %d bytes",
                           fn->name.c_str(), static_cast<int>(def.locals_size), max_frame_size));
    if (tu.errors == 0 && tu.options.dead_code) resimplify(tu, def.body);
    bool generate = !tu.function_hook || tu.function_hook(def);
    if (tu.errors > 0) {
        flush_new_strings(tu);
    } else {
        echo_source(tu, DebugPos{def.body_start, def.body_end});
        flush_new_strings(tu);
        if (generate) generate_function(tu, def);
        if (tu.errors == 0) unused_warnings(tu, def);
    }
    tu.out.seg_name[static_cast<int>(SegKind::Code)] = saved_code;
    tu.depth = saved_depth;
    if (result->kind != Kind::Void && !def.returns_seen) report_at(tu, def.body_start.line, 117, fn->name);
    pass_on_output(tu);
    scan_token(tu);  // behind the body's '}'
}

void join_statement_lists(Stmt* s, const std::function<void(Stmt*)>& append) {
    if (!s) return;
    append(s);
    switch (s->kind) {
    case StmtKind::If:
        join_statement_lists(s->body, append);
        join_statement_lists(s->else_branch, append);
        break;
    case StmtKind::Compound:
        for (Stmt* c : s->list) join_statement_lists(c, append);
        break;
    default: join_statement_lists(s->body, append); break;
    }
}

}  // namespace zun::tcx
