// SPDX-License-Identifier: MIT
// The instruction printer: one instruction-list entry as 6809 assembler
// lines. Fixed sequences (32-bit steps, loops, block moves) are spelled out
// here; operands go through the operand printer.
#include "compiler/codegen.h"

#include "common/format.h"

#include <utility>

namespace zun::tcx {

namespace {

struct BranchName {
    int opcode;
    const char* name;
};

const BranchName branch_names[] = {
    {OP_LBEQ, "LBEQ"}, {OP_LBHI, "LBHI"}, {OP_LBCC, "LBCC"}, {OP_LBCS, "LBCS"}, {OP_LBLS, "LBLS"},
    {OP_LBNE, "LBNE"}, {OP_LBLT, "LBLT"}, {OP_LBLE, "LBLE"}, {OP_LBGT, "LBGT"}, {OP_LBGE, "LBGE"},
    {OP_BEQ, "BEQ"},   {OP_BHI, "BHI"},   {OP_BCC, "BCC"},   {OP_BCS, "BCS"},   {OP_BLS, "BLS"},
    {OP_BNE, "BNE"},   {OP_BLT, "BLT"},   {OP_BLE, "BLE"},   {OP_BGT, "BGT"},   {OP_BGE, "BGE"},
    {OP_JMP, "JMP"},   {OP_JSR, "JSR"},   {OP_RTS, "RTS"},   {OP_RTI, "RTI"},   {OP_LBRA, "LBRA"},
    {OP_BRA, "BRA"},   {OP_NOP, "NOP"},
};

const char* const reg_names[] = {"??", "B", "D", "X", "U", "Y", "A"};

const char* reg_name(int r) { return r >= 1 && r <= 6 ? reg_names[r] : "??"; }

// Transfer pairs by code; X,B is not a 6809 pair, so it goes as X,D.
const char* pair_text(int code) {
    switch (code) {
    case P_XD: return "X,D";
    case P_DX: return "D,X";
    case P_AB: return "A,B";
    case P_BA: return "B,A";
    case P_XY: return "X,Y";
    case P_DY: return "D,Y";
    case P_YD: return "Y,D";
    case P_XB: return "X,D";
    default: return nullptr;
    }
}

int size_of(int arg) { return arg == 0 ? 2 : arg; }

bool is_imm(const Operand* d) { return d && d->mode == M_IMM && d->value->kind == NodeKind::IntConst; }

void label_here(CodeGen& cg, int n) { put(cg, format("_%d:", n)); }

// AND or OR of one byte with an immediate: the identity prints nothing.
void logic_byte(CodeGen& cg, bool is_and, char half, unsigned v) {
    v &= 0xFF;
    if (is_and) {
        if (v == 0xFF) return;
        if (v == 0) return put(cg, format("\tCLR%c", half));
        return put(cg, format("\tAND%c\t#$%2.2X", half, v));
    }
    if (v == 0) return;
    put(cg, format("\tOR%c\t#$%2.2X", half, v));
}

void put_logic(CodeGen& cg, const Insn* e, bool is_and) {
    const Operand* d = e->op[0];
    int size = size_of(e->arg);
    const char* stem = is_and ? "AND" : "OR";
    if (!is_imm(d)) {
        if (size == 1) return put_amode(cg, false, 1, std::string(stem) + "B", d);
        return put_amode(cg, true, 2, stem, d);
    }
    unsigned v = static_cast<unsigned>(d->value->value);
    if (size == 1) return logic_byte(cg, is_and, 'B', v);
    if (size == 4) {
        put(cg, "\tEXG\tD,Y");
        logic_byte(cg, is_and, 'A', v >> 24);
        logic_byte(cg, is_and, 'B', v >> 16);
        put(cg, "\tEXG\tD,Y");
    }
    logic_byte(cg, is_and, 'A', v >> 8);
    logic_byte(cg, is_and, 'B', v);
}

void put_load(CodeGen& cg, const Insn* e) {
    const Operand* d = e->op[0];
    int r = e->arg;
    if (!d) return put(cg, "\n---> CODEGEN: put_load");
    if (is_imm(d) && d->value->value == 0 && (r == R_B || r == R_D || r == R_A)) {
        if (r == R_B) return put(cg, "\tCLRB");
        if (r == R_A) return put(cg, "\tCLRA");
        put(cg, "\tCLRA");
        return put(cg, "\tCLRB");
    }
    if (d->mode == M_XREG && r == R_D) return put(cg, "\tTFR\tX,D");
    if (d->mode == M_ADRGLOB || d->mode == M_ADRLOC) return put_lea(cg, d, r);
    put_amode(cg, false, r == R_B || r == R_A ? 1 : 2, std::string("LD") + reg_name(r), d);
}

void put_store(CodeGen& cg, const Insn* e) {
    const Operand* d = e->op[0];
    if (!d) return put(cg, "\n---> CODEGEN: put_store");
    int r = e->arg;
    Operand as_global;
    if (d->mode == M_IMM) {
        as_global = *d;
        as_global.mode = M_GLOB;
        d = &as_global;
    }
    put_amode(cg, false, r == R_B || r == R_A ? 1 : 2, std::string("ST") + reg_name(r), d);
}

void put_word_op(CodeGen& cg, const Insn* e, bool low, bool store) {
    int r = e->arg;
    const Operand* d = e->op[0];
    if (!store && low && r == R_D && is_imm(d) && (static_cast<uint32_t>(d->value->value) & 0xFFFF) == 0) {
        put(cg, "\tCLRA");
        return put(cg, "\tCLRB");
    }
    std::string m = std::string(store ? "ST" : "LD") + reg_name(r);
    if (low)
        put_amode_low(cg, m, d);
    else
        put_amode_high(cg, m, d);
}

// shift kinds in the mnemonic table's order
const char* shift_name(int opcode) {
    switch (opcode) {
    case OP_ASR: return "ASR";
    case OP_ROL: return "ROL";
    case OP_ROR: return "ROR";
    case OP_ASL: return "ASL";
    default: return "LSR";
    }
}

void shift_once(CodeGen& cg, int opcode, int size, const Operand* v) {
    const char* m = shift_name(opcode);
    if (!v || v->mode == M_ACK) {
        if (size == 1) return put(cg, format(" %sB", m));
        switch (opcode) {
        case OP_ASL: put(cg, "\tLSLB"); return put(cg, "\tROLA");
        case OP_LSR: put(cg, "\tLSRA"); return put(cg, "\tRORB");
        case OP_ASR: put(cg, "\tASRA"); return put(cg, "\tRORB");
        case OP_ROL: put(cg, "\tROLB"); return put(cg, "\tROLA");
        default: put(cg, "\tRORA"); return put(cg, "\tRORB");
        }
    }
    if (size == 1) return put_amode(cg, false, 1, m, v);
    bool left = opcode == OP_ASL || opcode == OP_ROL;
    if (left) {
        put_amode(cg, false, 1, m, v, true);
        put_amode(cg, false, 1, "ROL", v);
    } else {
        put_amode(cg, false, 1, m, v);
        put_amode(cg, false, 1, "ROR", v, true);
    }
}

void put_shift(CodeGen& cg, const Insn* e) {
    const Operand* count = e->op[0];
    const Operand* v = e->op[1];
    int size = size_of(e->arg);
    if (!count) return put(cg, "\n---> CODEGEN: put_shift8");
    if (is_imm(count)) {
        for (int i = 0; i < count->value->value; ++i) shift_once(cg, e->opcode, size, v);
        return;
    }
    int top = new_label(cg), end = new_label(cg);
    if (size == 1) {
        put(cg, "\tANDA\t#7");
        label_here(cg, top);
        put(cg, format("\tBEQ\t_%d", end));
        shift_once(cg, e->opcode, 1, v);
        put(cg, "\tDECA");
    } else {
        label_here(cg, top);
        put(cg, "\tCMPX\t#0");
        put(cg, format("\tBEQ\t_%d", end));
        put(cg, "\tCMPD\t#0");
        put(cg, format("\tBEQ\t_%d", end));
        put(cg, "\tLEAX\t-1,X");
        shift_once(cg, e->opcode, 2, v);
    }
    put(cg, format("\tBRA\t_%d", top));
    label_here(cg, end);
}

// An 8-bit memory operand shifted in place; a count in a register is
// masked and tested before each step like the accumulator loop.
void put_shift_mem8(CodeGen& cg, const Insn* e) {
    const Operand* count = e->op[0];
    const Operand* o = e->op[1];
    int opcode = e->arg;
    if (!count || !o) return put(cg, "\n---> CODEGEN: put_shift8");
    const char* m = shift_name(opcode);
    if (is_imm(count)) {
        int n = count->value->value;
        int limit = o->mode == M_XACK ? 4 : 6;
        if (n <= limit) {
            for (int i = 0; i < n; ++i) put_amode(cg, false, 1, m, o);
            return;
        }
        if (o->mode == M_XACK) {
            int top = new_label(cg), end = new_label(cg);
            put(cg, format("\tLDA\t#%d", n));
            label_here(cg, top);
            put_amode(cg, false, 1, m, o);
            put(cg, format("\tDECA"));
            put(cg, format("\tBNE\t_%d", top));
            label_here(cg, end);
            return;
        }
        Insn load{};
        load.op[0] = const_cast<Operand*>(o);
        load.arg = R_B;
        put_load(cg, &load);
        put(cg, format("\tLDA\t#%d", n));
    } else {
        Insn load{};
        load.op[0] = const_cast<Operand*>(o);
        load.arg = R_B;
        if (o->mode == M_XACK) {
            int top = new_label(cg), end = new_label(cg);
            put(cg, "\tANDB\t#7");
            label_here(cg, top);
            put(cg, format("\tBEQ\t_%d", end));
            put_amode(cg, false, 1, m, o);
            put(cg, "\tDECB");
            put(cg, format("\tBRA\t_%d", top));
            label_here(cg, end);
            return;
        }
        put(cg, " tfr b,a");
        put_load(cg, &load);
    }
    int top = new_label(cg), end = new_label(cg);
    put(cg, "\tANDA\t#7");
    label_here(cg, top);
    put(cg, format("\tBEQ\t_%d", end));
    put(cg, format(" %sB", m));
    put(cg, "\tDECA");
    put(cg, format("\tBRA\t_%d", top));
    label_here(cg, end);
    Insn store{};
    store.op[0] = const_cast<Operand*>(o);
    store.arg = R_B;
    put_store(cg, &store);
}

void put_jsr(CodeGen& cg, const Operand* d) {
    if (!d) return put_fault(cg, "-CGERR op_jsr");
    bool symbolic = false;
    int o = int_value(d->value, &symbolic);
    std::string off = symbolic ? operand_const(cg, d->value) : format("%d", o);
    switch (d->mode) {
    case M_IMM: return put(cg, "\tJSR\t" + operand_const(cg, d->value));
    case M_XREG: return put(cg, "\tJSR\t" + off + ",X");
    case M_XACK: return put(cg, "\tJSR\t[" + off + ",X]");
    case M_GLOB: return put(cg, "\tJSR\t[" + operand_const(cg, d->value) + ",PCR]");
    case M_LOC: return put(cg, format("\tJSR\t[%d,S]", stack_offset(cg, d)));
    case M_ADXACK: return put(cg, "\tJSR\tD,X");
    case M_DXACK: return put(cg, "\tJSR\t[D,X]");
    default: return put_fault(cg, "-CGERR op_jsr");
    }
}

void put_tst(CodeGen& cg, const Insn* e) {
    const Operand* d = e->op[0];
    int size = size_of(e->arg);
    if (d && size == 1) {
        if (d->mode == M_ACK) return put(cg, "\tTSTB");
        if (d->mode != M_XREG && d->mode != M_DACK) return put_amode(cg, false, 1, "TST", d);
    }
    if (d && size == 2) {
        if (d->mode == M_ACK) return put(cg, "\tCMPD\t#0");
        if (d->mode == M_XREG || (d->mode == M_XACK && d->reg == R_X)) return put(cg, "\tCMPX\t#0");
        if (d->mode == M_YACK) return put(cg, "\tCMPY\t#0");
    }
    if (d && size == 4 && d->mode == M_DACK) {
        put(cg, "\tCMPY\t#0");
        put(cg, "\tBNE\t.+10");
        put(cg, "\tCMPD\t#0");
        put(cg, "\tBEQ\t.+4");
        return put(cg, "\tANDCC\t#%11110111");
    }
    put_fault(cg, "--put_tst");
}

// Block move of n bytes from ,U to ,X.
void put_block_move(CodeGen& cg, int n) {
    if (n <= 4) {
        int i = 0;
        for (; i + 1 < n; i += 2) {
            put(cg, format("\tLDD\t%d,U", i));
            put(cg, format("\tSTD\t%d,X", i));
        }
        if (i < n) {
            put(cg, format("\tLDB\t%d,U", i));
            put(cg, format("\tSTB\t%d,X", i));
        }
        return;
    }
    int top = new_label(cg);
    if (n <= 255) {
        put(cg, format("\tLDA\t#%d", n));
        label_here(cg, top);
        put(cg, "\tLDB\t,U+");
        put(cg, "\tSTB\t,X+");
        put(cg, "\tDECA");
        return put(cg, format("\tBNE\t_%d", top));
    }
    put(cg, format("\tLDY\t#%d", n / 2));
    label_here(cg, top);
    put(cg, "\tLDD\t,U++");
    put(cg, "\tSTD\t,X++");
    put(cg, "\tLEAY\t-1,Y");
    put(cg, format("\tBNE\t_%d", top));
    if (n & 1) {
        put(cg, "\tLDB\t,U");
        put(cg, "\tSTB\t,X");
    }
}

// Copy of an n-byte argument from ,X to the top of the stack. The byte
// index in A is signed, so blocks beyond 128 bytes go by pointers.
void put_arg_copy(CodeGen& cg, int n) {
    if (n <= 0) return;
    if (n <= 128) {
        if (n > 1) {
            int top = new_label(cg);
            put(cg, format("\tLDA\t#%d", n - 1));
            label_here(cg, top);
            put(cg, "\tLDB\tA,X");
            put(cg, "\tSTB\tA,S");
            put(cg, "\tDECA");
            put(cg, format("\tBNE\t_%d", top));
        }
        put(cg, "\tLDB\t,X");
        return put(cg, "\tSTB\t,S");
    }
    int top = new_label(cg);
    put(cg, "\tPSHS\tU,Y");
    put(cg, "\tLEAU\t4,S");
    put(cg, format("\tLDY\t#%d", n));
    label_here(cg, top);
    put(cg, "\tLDB\t,X+");
    put(cg, "\tSTB\t,U+");
    put(cg, "\tLEAY\t-1,Y");
    put(cg, format("\tBNE\t_%d", top));
    put(cg, "\tPULS\tU,Y");
}

// The register a side of the long move goes through: its own once a loop
// keeps the walk in another register, else U for the source, X for the
// destination.
std::string move_reg(const Operand* d, int otherwise) {
    return reg_name(d && d->mode == M_PROC ? d->reg : otherwise);
}

void put_move_long(CodeGen& cg, const Insn* e) {
    int su = e->op[0] ? e->op[0]->step : 0;
    int sx = e->op[1] ? e->op[1]->step : 0;
    if (su == 0 && sx == 0) return put_fault(cg, "-- curious move long combination");
    bool up = su > 0, xp = sx > 0;
    std::string s = move_reg(e->op[0], R_U), d = move_reg(e->op[1], R_X);
    put(cg, up ? "\tLDD\t," + s + "++" : "\tLDD\t," + s);
    put(cg, xp ? "\tSTD\t," + d + "++" : "\tSTD\t," + d);
    put(cg, up ? "\tLDD\t," + s + "++" : "\tLDD\t2," + s);
    put(cg, xp ? "\tSTD\t," + d + "++" : "\tSTD\t2," + d);
    if (!up) put(cg, "\tLEA" + s + "\t-4," + s);
    if (!xp) put(cg, "\tLEA" + d + "\t-4," + d);
}

void put_sex(CodeGen& cg, int code) {
    if (code == 8) return put(cg, "\tSEX");
    if (code == 7) {
        int l = new_label(cg);
        put(cg, "\tLDY\t#0");
        put(cg, "\tBITA\t#$80");
        put(cg, format("\tBEQ\t_%d", l));
        put(cg, "\tLEAY\t-1,Y");
        return label_here(cg, l);
    }
    put_fault(cg, "dispatch 'sex'");
}

// The text of an __asm statement: "%a" takes the next operand, a local
// with the final frame size; a text that would read as a label is indented.
std::string asm_text(CodeGen& cg, const Stmt* s) {
    std::string text = s->asm_text;
    if (!text.empty() && static_cast<unsigned char>(text[0]) > ' ') {
        size_t end = text.find_first_of(" \t\r\n");
        std::string first = text.substr(0, end);
        if (first.empty() || first.back() != ':') text = " " + text;
    }
    if (s->asm_operands.empty()) return text;
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'a' && next < s->asm_operands.size()) {
            const Node* n = s->asm_operands[next++];
            ++i;
            if (!n) continue;
            switch (n->kind) {
            case NodeKind::IntConst: out += format("0x%2.2X", static_cast<unsigned>(n->value)); break;
            case NodeKind::NameAddr:
            case NodeKind::StaticAddr: out += putconst(cg.tu, n); break;
            case NodeKind::FrameAddr: out += format("%d,S", frame_offset(cg, n->value)); break;
            default: break;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

void op_error_dump(CodeGen& cg, const Insn* e) {
    static const char* const names[] = {
        "g_longload", "g_value", "g_deref", "g_asop8:logic", "g_asop16:logic", "g_fcall:1",
        "unbalanced X allocation", "unbalanced U allocation", "unbalanced Y allocation",
        "unbalanced A allocation", "unbalanced B allocation"};
    std::string t = "\n-- OP_ERROR";
    if (e->fault >= 4000 && e->fault <= 4010)
        t += format("\n; '%s'", names[e->fault - 4000]);
    else
        t += format("\n; error num: %d", e->fault);
    const SourceLine* l = e->pos.start.line > 0 ? source_line(cg.tu, e->pos.start.line) : nullptr;
    if (l)
        t += format("\n;(%d,%d)\t:'%s'", e->pos.start.line, e->pos.start.col, std::string(l->text).c_str());
    else if (e->pos.start.line > 0)
        t += format("\n; Statement at (%d,%d)", e->pos.start.line, e->pos.start.col);
    else
        t += "\n;No statement information\n";
    if (e->op[0]) {
        std::string m = mode_trace(e->op[0], e->arg);
        m.pop_back();
        t += "\n; Address mode information: " + m;
    } else {
        t += "\n;No address mode information\n";
    }
    put(cg, t);
    // -dump shows removed entries too, as comments: only code that stays fails the run
    if (e->live) code_generator_fault(cg.tu, e->fault, e->pos.start.line);
}

namespace {

void print_entry(CodeGen& cg, const Insn* e) {
    const Operand* d = e->op[0];
    int size = size_of(e->arg);
    switch (e->opcode) {
    case OP_ADD: case 107: case 108: case 109:
        return put_amode(cg, false, size, size == 1 ? "ADDB" : "ADDD", d);
    case OP_SUB: return put_amode(cg, false, size, size == 1 ? "SUBB" : "SUBD", d);
    case OP_AND: case OP_AND2: return put_logic(cg, e, true);
    case OP_OR: case OP_OR2: return put_logic(cg, e, false);
    case OP_EOR:
        if (size == 1) return put_amode(cg, false, 1, "EORB", d);
        return put_amode(cg, true, 2, "EOR", d);
    case OP_CMP: case OP_CMP2: return put_amode(cg, false, size, size == 1 ? "CMPB" : "CMPD", d);
    case OP_CMPX: return put_amode(cg, false, 2, "CMPX", d);
    case OP_MUL: return put(cg, "\tMUL");
    case OP_EXG_DX: return put(cg, " exg D,X");
    case OP_TFR: {
        const char* p = pair_text(e->arg);
        return p ? put(cg, std::string("\tTFR\t") + p) : put_fault(cg, "dispatch 'tfr'");
    }
    case OP_EXG: {
        const char* p = pair_text(e->arg);
        return p ? put(cg, std::string("\tEXG\t") + p) : put_fault(cg, "dispatch 'exg'");
    }
    case OP_EXG_DY: return put(cg, "\tEXG\tD,Y");
    case OP_ASL: case OP_LSR: case OP_ASR: case OP_ROL: case OP_ROR: return put_shift(cg, e);
    case OP_JSR: return put_jsr(cg, d);
    case OP_TST: return put_tst(cg, e);
    case OP_SEX: return put_sex(cg, e->arg);
    case OP_LEA: return put_lea(cg, d, e->arg);
    case OP_NEG:
        if (d && d->mode != M_ACK && d->mode != M_DACK) put(cg, "NEG16 " + put_amode_line(cg, d, 0));
        if (size == 1) return put(cg, "\tNEGB");
        if (size == 2) {
            put(cg, "\tNEGA");
            put(cg, "\tNEGB");
            return put(cg, "\tSBCA\t#0");
        }
        for (const char* s : {"\tEXG\tY,D", "\tCOMA", "\tCOMB", "\tEXG\tY,D", "\tCOMA", "\tCOMB",
                              "\tADDD\t#1", "\tBCC\t.+4", "\tLEAY\t1,Y"})
            put(cg, s);
        return;
    case OP_COM:
        if (size == 1) return put(cg, "\tCOMB");
        if (size == 4) {
            put(cg, "\tEXG\tD,Y");
            put(cg, "\tCOMA");
            put(cg, "\tCOMB");
            put(cg, "\tEXG\tD,Y");
        }
        put(cg, "\tCOMA");
        return put(cg, "\tCOMB");
    case OP_CLR:
        if (!d) return put_fault(cg, "-CGERR op_clr");
        if (d->mode == M_DACK) {
            put(cg, "\tCLRB");
            put(cg, "\tCLRA");
            return put(cg, "\tLDY\t#0");
        }
        if (d->mode == M_XREG) return put(cg, "\tLDX\t#0");
        if (d->mode == M_ACK) {
            put(cg, "\tCLRB");
            if (size == 2) put(cg, "\tCLRA");
            return;
        }
        put_amode(cg, false, 1, "CLR", d);
        if (size == 2) put_amode(cg, false, 1, "CLR", d, true);
        return;
    case OP_ENTER: case OP_ENTER2:
        if (e->arg) put(cg, format("\tLEAS\t%d,S", -e->arg));
        return;
    case OP_EXIT: case OP_EXIT2:
        if (e->arg) put(cg, format("\tLEAS\t%d,S", e->arg));
        return;
    case OP_INC: return put_amode(cg, false, 1, "INC", d);
    case OP_DEC: return put_amode(cg, false, 1, "DEC", d);
    case OP_PUSH: case OP_PUSH2:
        if (d && d->mode == M_XREG) return put(cg, "\tPSHS\tX");
        return put(cg, size == 1 ? "\tPSHS\tB" : "\tPSHS\tD");
    case OP_LEAS: return put(cg, format("\tLEAS\t%d,S", e->arg));
    case OP_LOAD: return put_load(cg, e);
    case OP_STORE: return put_store(cg, e);
    case OP_LOADLOW: return put_word_op(cg, e, true, false);
    case OP_LOADHIGH: return put_word_op(cg, e, false, false);
    case OP_STOREHIGH: return put_word_op(cg, e, false, true);
    case OP_STORELOW: return put_word_op(cg, e, true, true);
    case OP_MOVELONG: return put_move_long(cg, e);
    case OP_ADJX: case OP_LEAXC: return put(cg, "\tLEAX\t" + operand_const(cg, d ? d->value : nullptr) + ",X");
    case OP_ADJY: return put(cg, "\tLEAY\t" + operand_const(cg, d ? d->value : nullptr) + ",Y");
    case OP_CLRA: return put(cg, "\tCLRA");
    case OP_BLOCKMOVE: return put_block_move(cg, e->arg);
    case OP_ARGCOPY: return put_arg_copy(cg, e->arg);
    case OP_RSUB:
        if (size == 1) {
            put(cg, "\tPSHS\tB");
            return put(cg, "\tSUBA\t,S+");
        }
        return put(cg, "\tSUBD\t,S++");
    case OP_INCB: return put(cg, "\tINCB");
    case OP_PUSHREG:
        if (e->arg < 1 || e->arg > 6) return put_fault(cg, "-CGERR op_pushreg");
        return put(cg, std::string("\tPSHS\t") + reg_name(e->arg));
    case OP_PULLREG:
        if (e->arg < 1 || e->arg > 6) return put_fault(cg, "-CGERR op_pullreg");
        return put(cg, std::string("\tPULS\t") + reg_name(e->arg));
    case OP_PUSHDY:
        put(cg, "\tPSHS\tD");
        return put(cg, "\tPSHS\tY");
    case OP_SHIFTMEM8: return put_shift_mem8(cg, e);
    case OP_EXG_XY: return put(cg, "\tEXG\tX,Y");
    case OP_CMP32IMM: {
        uint32_t v = d ? static_cast<uint32_t>(d->value->value) : 0;
        // for equality only: a differing low word skips the 4-byte CMPY
        put(cg, format("\tCMPD\t#$%4.4X", v & 0xFFFFu));
        put(cg, "\tBNE\t.+6");
        return put(cg, format("\tCMPY\t#$%4.4X", v >> 16));
    }
    case OP_BITB: return put_amode(cg, false, 1, "BITB", d);
    case OP_EORAIMM: return put(cg, format("\tEORA\t#$%2.2X", static_cast<unsigned>(d ? d->value->value : 0) & 0xFF));
    case OP_EOR2: return put_amode(cg, true, 2, "EOR", d);
    case OP_OR2BYTES: return put_amode(cg, true, 2, "OR", d);
    case OP_EXG_DU: return put(cg, "\tEXG\tD,U");
    case OP_ADD32IMM: case OP_SUB32IMM: {
        uint32_t v = d ? static_cast<uint32_t>(d->value->value) : 0;
        bool add = e->opcode == OP_ADD32IMM;
        put(cg, format(add ? "\tADDD\t#0x%4.4X" : "\tSUBD\t#0x%4.4X", v & 0xFFFFu));
        put(cg, "\tBCC\t.+4");
        put(cg, add ? "\tLEAY\t1,Y" : "\tLEAY\t-1,Y");
        if (v >> 16) put(cg, format(add ? "\tLEAY\t0x%4.4X,Y" : "\tLEAY\t-0x%4.4X,Y", v >> 16));
        return;
    }
    case OP_DEPTH: cg.push_depth += e->arg; return;
    case OP_INCX: return put(cg, "\tLEAX\t1,X");
    case OP_DECX: return put(cg, "\tLEAX\t-1,X");
    case OP_INCY: return put(cg, "\tLEAY\t1,Y");
    case OP_DECY: return put(cg, "\tLEAY\t-1,Y");
    case OP_FAULT: return op_error_dump(cg, e);
    case OP_DEBUG: return debug_entry_text(cg, e);
    case OP_LABEL: return put(cg, format("_%d:", e->label));
    case OP_COMMENT:
        if (e->asm_stmt) return put(cg, asm_text(cg, e->asm_stmt));
        return put(cg, "\n" + e->text);
    default: break;
    }
    for (const BranchName& b : branch_names) {
        if (b.opcode != e->opcode) continue;
        if (e->opcode == OP_RTS || e->opcode == OP_RTI || e->opcode == OP_NOP)
            return put(cg, std::string("\t") + b.name);
        if (e->opcode == OP_JMP && d) return put_amode(cg, false, 2, "JMP", d);
        return put(cg, format("\t%s\t_%d", b.name, e->label));
    }
    put_fault(cg, format("-- UNKNOWN PUTOP (%d)", e->opcode));
}

}  // namespace

void put_op(CodeGen& cg, const Insn* e) {
    if (!e) return;
    const Insn* outer = std::exchange(cg.printing, e);
    print_entry(cg, e);
    cg.printing = outer;
}

std::string render_entry(CodeGen& cg, const Insn* e, int depth) {
    Output saved = std::move(cg.tu.out);
    int labels = cg.tu.next_label, pushed = cg.push_depth, errors = cg.tu.errors, last_line = cg.tu.last_line;
    bool reported = cg.offset_reported;
    std::string console = std::move(cg.tu.console);
    size_t messages = cg.tu.err.size();
    cg.tu.console.clear();
    cg.tu.out = Output{};
    cg.push_depth = depth;
    put_op(cg, e);
    out_newline(cg.tu);
    std::string text = std::move(cg.tu.out.text);
    cg.tu.out = std::move(saved);
    cg.tu.next_label = labels;
    cg.push_depth = pushed;
    cg.tu.errors = errors;
    cg.tu.last_line = last_line;
    cg.tu.err.resize(messages);
    cg.offset_reported = reported;
    cg.tu.console = std::move(console);
    return text;
}

CodeGen::Rendered& rendered_entry(CodeGen& cg, const Insn* e, int depth) {
    auto [it, fresh] = cg.rendered.try_emplace(e);
    CodeGen::Rendered& r = it->second;
    if (fresh || r.depth != depth || r.opcode != e->opcode || r.arg != e->arg || r.label != e->label) {
        r = CodeGen::Rendered{};
        r.depth = depth;
        r.opcode = e->opcode;
        r.arg = e->arg;
        r.label = e->label;
        r.text = render_entry(cg, e, depth);
    }
    return r;
}

int entry_bytes(CodeGen& cg, const Insn* e, int depth) {
    CodeGen::Rendered& r = rendered_entry(cg, e, depth);
    if (r.bytes < 0) r.bytes = text_bytes(r.text, &cg.mnemonic_rows);
    return r.bytes;
}

}  // namespace zun::tcx
