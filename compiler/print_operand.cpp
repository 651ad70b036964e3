// SPDX-License-Identifier: MIT
// The operand printer: one instruction line with its 6809 operand, the
// high and low words of 32-bit operands, and address computations. Stack
// offsets are taken from the entry S and moved by the frame and the pushes.
#include "compiler/codegen.h"

#include "common/format.h"

namespace zun::tcx {

namespace {

const char* reg_name(int r) {
    static const char* const names[] = {"??", "B", "D", "X", "U", "Y", "A"};
    return r >= 1 && r <= 6 ? names[r] : "??";
}

// The index register of an indexed or walking operand.
const char* index_reg(const Operand* d) {
    if (d->mode == M_YACK || d->mode == M_IYACK) return "Y";
    if (d->mode == M_PROC) return d->reg == R_Y ? "Y" : d->reg == R_U ? "U" : "X";
    return "X";
}

// The offset of an indexed operand with extra bytes added: a number, or
// the symbol with "+n" / "-n".
std::string index_offset(CodeGen& cg, const Operand* d, int extra) {
    bool symbolic = false;
    int v = int_value(d->value, &symbolic);
    if (!symbolic) return format("%d", v + extra);
    std::string s = operand_const(cg, d->value);
    if (extra > 0) s += format("+%d", extra);
    if (extra < 0) s += format("-%d", -extra);
    return s;
}

std::string global_text(CodeGen& cg, const Operand* d, int extra) {
    std::string s = operand_const(cg, d->value);
    return extra ? format("%d+", extra) + s : s;
}

void invalid(CodeGen& cg, const std::string& name, const Operand* d, int size) {
    std::string t = mode_trace(d, size);
    if (!t.empty() && t.back() == '\n') t.pop_back();
    put_fault(cg, "-INVALID MODE in:'" + name + "':" + t);
}

}  // namespace

void put(CodeGen& cg, const std::string& text) {
    std::string s = text;
    if (!s.empty() && s.back() == '\n') s.pop_back();
    out_line(cg.tu, s);
}

void put_fault(CodeGen& cg, const std::string& text) {
    put(cg, text);
    if (cg.printing && cg.printing->live) code_generator_fault(cg.tu, 4020, cg.printing->pos.start.line);
}

std::string mode_trace(const Operand* d, int size) {
    if (!d) return format("NULL pointer size=%d\n", size);
    const char* label = nullptr;
    switch (d->mode) {
    case M_ACK: label = "ack"; break;
    case M_DACK: label = "dack"; break;
    case M_XACK: label = "xack"; break;
    case M_IXACK: label = "ixack"; break;
    case M_ADRGLOB: label = "adrglob"; break;
    case M_ADRLOC: label = "adrloc"; break;
    case M_GLOB: label = "glob"; break;
    case M_LOC: label = "loc"; break;
    case M_IMM: label = "imm"; break;
    case M_DXACK: label = "dxack"; break;
    case M_TOS: label = "tos"; break;
    case M_AUTOPOST: label = "autopost"; break;
    case M_PROC: label = "proc"; break;
    case M_SOFTREG: label = "softreg"; break;
    default: break;
    }
    if (!label) return format("Non recognized mode = %u, size=%d\n", d->mode, size);
    return format("%s size=%d\n", label, size);
}

std::string operand_const(CodeGen& cg, const Node* n) {
    if (!n) return "0";
    return putconst(cg.tu, n);
}

int stack_offset(const CodeGen& cg, const Operand* d, int extra) {
    return frame_offset(cg, int_value(d->value) + extra);
}

int frame_offset(const CodeGen& cg, int32_t entry_offset) {
    int offset = entry_offset + cg.locals_size + cg.push_depth;
    // the frame and the bytes pushed on top of it can together reach past
    // what a 16-bit index offset holds: never a silently wrong address
    if ((offset < -32768 || offset > 32767) && !cg.offset_reported) {
        cg.offset_reported = true;
        internal_error(cg.tu, 4100);
    }
    return offset;
}

void put_amode(CodeGen& cg, bool split, int size, const std::string& m, const Operand* d,
               bool second_byte) {
    if (size == 0) size = 2;
    if (!d) {
        invalid(cg, m.empty() ? "put_amode (no Op) " : "put_amode '" + m + "' ", d, size);
        return;
    }
    bool pair = split && size == 2;
    int extra = second_byte ? 1 : 0;
    switch (d->mode) {
    case M_ACK:
        put(cg, "\t" + m + (d->reg == R_B ? "B" : "?"));
        return;
    case M_XREG:
        put(cg, "\t" + m + "\t,X");
        return;
    case M_XACK:
    case M_YACK: {
        std::string r = index_reg(d);
        if (pair) {
            put(cg, "\t" + m + "A\t" + index_offset(cg, d, 0) + "," + r);
            put(cg, "\t" + m + "B\t" + index_offset(cg, d, 1) + "," + r);
        } else {
            put(cg, "\t" + m + "\t" + index_offset(cg, d, extra) + "," + r);
        }
        return;
    }
    case M_IXACK:
    case M_IYACK:
        put(cg, "\t" + m + "\t[" + index_offset(cg, d, extra) + "," + index_reg(d) + "]");
        return;
    case M_ADRGLOB:
    case M_IMM: {
        std::string c = operand_const(cg, d->value);
        if (size == 1) {
            put(cg, "\t" + m + (split ? "B" : "") + "\t#" + c);
        } else if (size == 2 && split) {
            put(cg, "\t" + m + "B\t#((" + c + ")&$FF)");
            put(cg, "\t" + m + "A\t#(((" + c + ")>>8)&$FF)");
        } else if (size == 2) {
            put(cg, "\t" + m + "\t#" + c);
        } else {
            put(cg, "\tInternal 'put_amode' imm BAD size");
        }
        return;
    }
    case M_ADRLOC:
    case M_LOC:
        if (size == 1 && !pair) {
            put(cg, format("\t%s\t%d,S", m.c_str(), stack_offset(cg, d, extra)));
        } else if (pair) {
            put(cg, format("\t%sB\t%d,S", m.c_str(), stack_offset(cg, d, 1)));
            put(cg, format("\t%sA\t%d,S", m.c_str(), stack_offset(cg, d, 0)));
        } else if (size == 2) {
            put(cg, format("\t%s\t%d,S", m.c_str(), stack_offset(cg, d, extra)));
        } else {
            put(cg, " Internal  'put_amode' am_loc BAD size");
        }
        return;
    case M_GLOB:
        if (size > 4) {
            put(cg, "\tdirect BAD size");
        } else if (pair) {
            put(cg, "\t" + m + "B\t" + global_text(cg, d, 1));
            put(cg, "\t" + m + "A\t" + global_text(cg, d, 0));
        } else {
            put(cg, "\t" + m + (split ? "B" : "") + "\t" + global_text(cg, d, extra));
        }
        return;
    case M_LOCIND:
        if (pair)
            put(cg, "\tput_amode(am_locind) with 'reg16'");
        else
            put(cg, format("\t%s\t[%d,S]", m.c_str(), stack_offset(cg, d)));
        return;
    case M_GLOBIND:
        put(cg, "\t" + m + "\t[" + operand_const(cg, d->value) + ",pcr]");
        return;
    case M_DXACK:
        put(cg, "\t" + m + "\tD,X");
        return;
    case M_IDXACK:
        put(cg, "\t" + m + "\t[D,X]");
        return;
    case M_TOS:
        if (pair && d->step) {
            put(cg, "\t" + m + "A\t,S+");
            put(cg, "\t" + m + "B\t,S+");
        } else if (pair) {
            put(cg, "\t" + m + "A\t,S");
            put(cg, "\t" + m + "B\t1,S");
        } else {
            put(cg, "\t" + m + (d->step ? (size == 1 ? "\t,S+" : "\t,S++") : "\t,S"));
        }
        return;
    case M_PROC: {
        std::string r = index_reg(d);
        if (d->step >= 1) {
            if (pair) {
                put(cg, "\t" + m + "A\t," + r + "+");
                put(cg, "\t" + m + "B\t," + r + "+");
            } else {
                put(cg, "\t" + m + "\t," + r + (size == 1 ? "+" : "++"));
            }
        } else if (pair) {
            put(cg, "\t" + m + "A\t," + r);
            put(cg, "\t" + m + "B\t1," + r);
            put(cg, "\tLEA" + r + "\t-2," + r);
        } else {
            put(cg, "\t" + m + "\t," + r);
            put(cg, "\tLEA" + r + (size == 1 ? "\t-1," : "\t-2,") + r);
        }
        return;
    }
    default:
        break;
    }
    std::string t = mode_trace(d, size);
    t.pop_back();
    put_fault(cg, "put_amode, not handled " + t);
}

namespace {

void put_word(CodeGen& cg, const std::string& m, const Operand* d, bool low, const char* name) {
    if (!d) {
        invalid(cg, m.empty() ? std::string(name) + " (no Op) " : std::string(name) + " '" + m + "' ", d, 4);
        return;
    }
    int w = low ? 2 : 0;
    switch (d->mode) {
    case M_XREG:
        put(cg, format("\t%s\t%d,X", m.c_str(), int_value(d->value) + w));
        return;
    case M_XACK:
    case M_YACK:
        put(cg, "\t" + m + "\t" + index_offset(cg, d, w) + "," + index_reg(d));
        return;
    case M_ADRLOC:
    case M_LOC:
        put(cg, format("\t%s\t%d,S", m.c_str(), stack_offset(cg, d, w)));
        return;
    case M_GLOB:
        put(cg, "\t" + m + "\t" + global_text(cg, d, w));
        return;
    case M_IMM: {
        const Node* n = d->value;
        uint32_t v = n->kind == NodeKind::FloatConst ? float_bits(n->fvalue) : static_cast<uint32_t>(n->value);
        put(cg, format("\t%s\t#0x%4.4X", m.c_str(), low ? v & 0xFFFFu : v >> 16));
        return;
    }
    case M_TOS:
        if (!low)
            put(cg, "\t" + m + (d->step ? "\t,S++" : "\t,S"));
        else if (!d->step)
            put(cg, "\t" + m + "\t2,S");
        else
            break;
        return;
    case M_PROC:
        if (d->reg == R_U) break;
        {
            std::string r = index_reg(d);
            if (d->step >= 1) {
                put(cg, "\t" + m + "\t," + r + "++");
            } else {
                put(cg, "\t" + m + "\t0," + r);
                put(cg, "\tLEA" + r + "\t-2," + r);
            }
        }
        return;
    default:
        break;
    }
    std::string t = mode_trace(d, 4);
    t.pop_back();
    put_fault(cg, std::string(name) + ", not handled " + t);
}

}  // namespace

void put_amode_high(CodeGen& cg, const std::string& m, const Operand* d) {
    put_word(cg, m, d, false, "put_amode_high");
}

void put_amode_low(CodeGen& cg, const std::string& m, const Operand* d) {
    put_word(cg, m, d, true, "put_amode_low");
}

std::string put_amode_line(CodeGen& cg, const Operand* d, int extra) {
    if (!d) {
        put(cg, "put_amode_line, ap==NULL");
        return {};
    }
    switch (d->mode) {
    case M_XACK:
    case M_YACK: return index_offset(cg, d, extra) + "," + index_reg(d);
    case M_GLOB: return global_text(cg, d, extra);
    case M_LOC: return format("%d,S", stack_offset(cg, d, extra));
    default: break;
    }
    invalid(cg, "put_amode_line", d, 2);
    return {};
}

void put_lea(CodeGen& cg, const Operand* d, int reg) {
    if (!d) {
        put(cg, "\tNO MODE for LEA");
        return;
    }
    const char* r = reg_name(reg);
    bool symbolic = false;
    int o = int_value(d->value, &symbolic);
    switch (d->mode) {
    case M_XACK:
        if (reg == R_D) {
            put(cg, "\tTFR\tX,D");
            if (symbolic || o) put(cg, "\tADDD\t#" + index_offset(cg, d, 0));
            return;
        }
        if (reg == R_X || reg == R_U || reg == R_Y) {
            if (!symbolic && o == 0) {
                if (reg != R_X) put(cg, format("\tTFR\tX,%s", r));
            } else {
                put(cg, format("\tLEA%s\t", r) + index_offset(cg, d, 0) + ",X");
            }
            return;
        }
        invalid(cg, "put_lea/xack", d, 2);
        return;
    case M_IXACK:
        if (reg == R_D) return put(cg, " ldd " + index_offset(cg, d, 0) + ",x");
        if (reg == R_X) return put(cg, " ldx " + index_offset(cg, d, 0) + ",x");
        invalid(cg, "put_lea/ixack", d, 2);
        return;
    case M_YACK:
        if (reg == R_X) {
            put(cg, " tfr y,x");
            if (symbolic || o) put(cg, "\tLEAX\t" + index_offset(cg, d, 0) + ",X");
            return;
        }
        if (reg == R_D) {
            put(cg, " tfr y,d");
            if (symbolic || o) put(cg, " addd #" + index_offset(cg, d, 0));
            return;
        }
        invalid(cg, "put_lea/yack", d, 2);
        return;
    case M_ADRLOC:
    case M_LOC: {
        int s = stack_offset(cg, d);
        if (reg == R_D) {
            put(cg, "\tTFR\tS,D");
            if (s > 0) put(cg, format("\tADDD\t#%d", s));
            if (s < 0) put(cg, format("\tSUBD\t#%d", -s));
            return;
        }
        if (reg == R_X || reg == R_U || reg == R_Y) {
            put(cg, format("\tLEA%s\t%d,S", r, s));
            return;
        }
        invalid(cg, d->mode == M_LOC ? "put_lea/loc" : "put_lea/adrloc", d, 2);
        return;
    }
    case M_ADRGLOB:
    case M_GLOB:
    case M_IMM: {
        std::string c = operand_const(cg, d->value);
        if (reg == R_D) return put(cg, " ldd #" + c);
        if (reg == R_X || reg == R_U || reg == R_Y) return put(cg, format("\tLD%s\t#", r) + c);
        invalid(cg, "put_lea/imm", d, 2);
        return;
    }
    case M_LOCIND:
        if (reg == R_D || reg == R_X || reg == R_U || reg == R_Y)
            return put(cg, format("\tLD%s\t%d,S", r, stack_offset(cg, d)));
        put_fault(cg, "INVALID LEA LOCADR");
        return;
    case M_GLOBIND:
        if (reg == R_D || reg == R_X || reg == R_U || reg == R_Y)
            return put(cg, format("\tLD%s\t", r) + operand_const(cg, d->value));
        put_fault(cg, "INVALID LEA GLOBAL INDIRECT");
        return;
    case M_ADXACK:
        if (reg == R_X) return put(cg, "\tLEAX\tD,X");
        invalid(cg, "put_lea/adxack", d, 2);
        return;
    case M_DXACK:
        if (reg == R_X) return put(cg, "\tLDX\tD,X");
        invalid(cg, "put_lea/dxack", d, 2);
        return;
    case M_IDXACK:
        if (reg == R_X) return put(cg, "\tLDX\t[D,X]");
        invalid(cg, "put_lea/idxack", d, 2);
        return;
    case M_TOS:
        if (reg == R_D) return put(cg, "\tTFR\tS,D");
        if (reg == R_X) return put(cg, " tfr s,x");
        put_fault(cg, "INVALID LEA TOS");
        return;
    default:
        break;
    }
    invalid(cg, "put_lea", d, 2);
}

}  // namespace zun::tcx
