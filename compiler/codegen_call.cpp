// SPDX-License-Identifier: MIT
// Calls: the arguments pushed last first, a structure result's hidden
// pointer, the JSR by name, through a pointer variable or through X, and
// the arguments taken off again; the runtime routines by name.
#include "compiler/codegen.h"

namespace zun::tcx {

// A runtime routine is an extern function of the unit, entered once and
// marked referenced so that the output declares it.
void call_runtime(CodeGen& cg, const std::string& name) {
    TranslationUnit& tu = cg.tu;
    Symbol* sym = find_in(tu.file_scope, name);
    if (!sym) {
        sym = new_symbol(tu, name);
        sym->sclass = StorageClass::Extern;
        sym->is_function = true;
        sym->type = &tu.builtin.implicit_fn;
        sym->checked = true;
        append_symbol(tu.file_scope, sym);
    }
    sym->flags |= Referenced;
    Node& n = *blank_node(tu);
    n.kind = NodeKind::NameAddr;
    n.name = name;
    n.symbol = sym;
    Operand* d = new_operand(cg, M_IMM);
    d->value = &n;
    emit(cg, OP_JSR, 0, d);
}

// The arguments, last first (the list holds them so), then the hidden
// result pointer; JSR; the caller takes the arguments off again.
void gen_call(CodeGen& cg, Node* n, Node* result_at) {
    int pushed = 0;
    int result_slot = 0;
    bool struct_result = is_struct_node(n);
    if (struct_result && !result_at) {
        // the result stays in its slot until the statement ends
        Operand* t = temp_alloc(cg, n->size);
        cg.regs.statement_temps.push_back(t);
        result_slot = int_value(t->value);
    }
    for (Node* p = n->right; p; p = p->right) {
        Node* a = p->left;
        if (is_struct_node(a)) {
            int size = a->size;
            Node* at = bare(a);
            Operand* from = pointer_into_x(cg, at->kind == NodeKind::Load ? at->left : at);
            from->mode = M_XREG;
            emit(cg, OP_LEAS, -size);
            emit(cg, OP_DEPTH, size);
            cg.depth += size;
            emit(cg, OP_ARGCOPY, size);
            release(cg, from);
            pushed += size;
            continue;
        }
        int size = value_size(a);
        if (size > 2) {
            gen_value(cg, a);
            push_reg(cg, R_D, 2);
            push_reg(cg, R_Y, 2);
            pushed += size;
            continue;
        }
        if (a->type_kind == Kind::Pointer && x_only(a)) {
            Operand* x = hold(cg, R_X);
            x_load(cg, a);
            push_reg(cg, R_X, 2);
            release(cg, x);
            pushed += 2;
            continue;
        }
        gen_value(cg, a);
        push_reg(cg, acc_reg(size), size);
        pushed += size;
    }
    if (struct_result) {
        Operand* x = nullptr;
        if (result_at) {
            x = pointer_into_x(cg, result_at);
        } else {
            x = hold(cg, R_X);
            Operand* r = new_operand(cg, M_LOC);
            r->value->value = result_slot;
            emit(cg, OP_LEA, R_X, r);
        }
        push_reg(cg, R_X, 2);
        release(cg, x);
        pushed += 2;
    }
    Node* f = bare(n->left);
    if (f->kind == NodeKind::NameAddr) {
        Operand* d = new_operand(cg, M_IMM);
        d->value = f;
        emit(cg, OP_JSR, 0, d);
    } else if (is_pointer_variable(f)) {
        // through the pointer where it lies: [n,S] or [name,PCR]
        emit(cg, OP_JSR, 0, simple_addr(cg, f->left));
    } else {
        Operand* x = pointer_into_x(cg, f);
        x->mode = M_XREG;
        x->value = int_node(cg, 0);
        emit(cg, OP_JSR, 0, x);
        release(cg, x);
    }
    release_stack(cg, pushed);
    if (struct_result && !result_at) {
        Operand* r = new_operand(cg, M_ADRLOC);
        r->value->value = result_slot;
        emit(cg, OP_LOAD, R_D, r);
    }
}

}  // namespace zun::tcx
