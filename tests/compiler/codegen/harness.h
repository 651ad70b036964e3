// A code-generator context over an empty unit, so entries can be built by
// hand and printed without a source file.
#pragma once

#include "compiler/codegen.h"

#include <memory>
#include <string>

namespace zun::tcx::test {

struct Gen {
    Options options;
    std::unique_ptr<TranslationUnit> tu;
    std::unique_ptr<CodeGen> cg;

    explicit Gen(Options o = {}) : options(std::move(o)) {
        tu = std::make_unique<TranslationUnit>(options);
        init_builtin_types(*tu);
        cg = std::make_unique<CodeGen>(*tu);
        tu->out.seg_name[static_cast<int>(SegKind::Const)] = "rodata";
    }

    // The text printed so far, and the output emptied.
    std::string take() {
        out_newline(*tu);
        std::string t = std::move(tu->out.text);
        tu->out.text.clear();
        tu->out.pending_newline = false;
        return t;
    }

    std::string print(const Insn* e) {
        put_op(*cg, e);
        return take();
    }

    Operand* loc(int offset) {
        Operand* d = new_operand(*cg, M_LOC);
        d->value->value = offset;
        return d;
    }
    Operand* glob(const std::string& name) {
        Operand* d = new_operand(*cg, M_GLOB);
        Node& n = *tu->nodes.make();
        n.kind = NodeKind::NameAddr;
        n.name = name;
        d->value = &n;
        return d;
    }
    Operand* indexed(uint32_t mode, int offset, uint8_t reg = R_X) {
        Operand* d = new_operand(*cg, mode);
        d->value->value = offset;
        d->reg = reg;
        return d;
    }
    Insn* entry(int opcode, int arg = 0, Operand* a = nullptr, Operand* b = nullptr) {
        Insn& e = *cg->insns.make();
        e.opcode = opcode;
        e.arg = arg;
        e.op[0] = a;
        e.op[1] = b;
        return &e;
    }
};

}  // namespace zun::tcx::test
