// SPDX-License-Identifier: MIT
// Instruction-list entries and operand descriptors: their constructors and
// the small tests that the peephole passes and the printers share.
#include "compiler/codegen.h"

namespace zun::tcx {

Node* int_node(CodeGen& cg, int32_t value) {
    Node& n = *blank_node(cg.tu);
    n.kind = NodeKind::IntConst;
    n.type_kind = Kind::Short;
    n.size = 2;
    n.value = value;
    return &n;
}

Operand* new_operand(CodeGen& cg, uint32_t mode, Operand* origin) {
    Operand& d = *cg.operands.make();
    d.mode = mode;
    d.origin = origin;
    d.value = int_node(cg, 0);
    return &d;
}

Operand* copy_operand(CodeGen& cg, const Operand* d) {
    if (!d) {
        internal_error(cg.tu, 19);
        return new_operand(cg, M_IMM);
    }
    return cg.operands.make(*d);
}

Operand* operand_imm(CodeGen& cg, int32_t n) {
    Operand* d = new_operand(cg, M_IMM);
    d->value->value = n;
    return d;
}

Operand* operand_label(CodeGen& cg, int n) {
    Operand* d = new_operand(cg, M_GLOB);
    Node& v = *blank_node(cg.tu);
    v.kind = NodeKind::StaticAddr;
    v.value = n;
    d->value = &v;
    return d;
}

Operand* operand_reg(CodeGen& cg, uint32_t mode, uint8_t reg) {
    Operand* d = new_operand(cg, mode);
    d->reg = reg;
    return d;
}

Insn* emit(CodeGen& cg, int opcode, int arg, Operand* a, Operand* b, Operand* c) {
    Insn& e = *cg.insns.make();
    e.opcode = opcode;
    e.arg = arg;
    e.op[0] = a;
    e.op[1] = b;
    e.op[2] = c;
    e.pos = cg.stmt_pos;
    cg.list.push_back(&e);
    return &e;
}

Insn* emit_branch(CodeGen& cg, int opcode, int label) {
    Insn* e = emit(cg, opcode);
    e->label = label;
    return e;
}

Insn* emit_label(CodeGen& cg, int label) {
    if (label == 0) return nullptr;
    return emit_branch(cg, OP_LABEL, label);
}

Insn* emit_fault(CodeGen& cg, int code, Operand* d, int arg) {
    Insn* e = emit(cg, OP_FAULT, arg, d);
    e->fault = code;
    return e;
}

Insn* emit_comment(CodeGen& cg, const std::string& text) {
    Insn* e = emit(cg, OP_COMMENT);
    e->text = text;
    return e;
}

int new_label(CodeGen& cg) { return cg.tu.next_label++; }

bool is_instruction(const Insn* e) {
    return e->opcode != OP_COMMENT && e->opcode != OP_DEBUG && e->opcode != OP_LABEL &&
           e->opcode != OP_DEPTH;
}

bool is_branch(int opcode) {
    return (opcode >= OP_BRA && opcode <= OP_BLS) || opcode == OP_LABELREF ||
           (opcode >= OP_LBRA && opcode <= OP_LBLS) || opcode == OP_LREF1 || opcode == OP_LREF2 ||
           opcode == OP_LREF3 || opcode == OP_LREF4;
}

int int_value(const Node* n, bool* symbolic) {
    bool sym = !n || n->kind != NodeKind::IntConst;
    if (symbolic) *symbolic = sym;
    return sym ? 0 : n->value;
}

}  // namespace zun::tcx
