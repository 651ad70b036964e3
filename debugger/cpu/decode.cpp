// Decoding: turns the shared opcode table (mnemonic, mode, length) into the
// core's three page tables, each opcode mapped to the operation it performs
// and the register it works on. Also prints mnemonics the way the simulator
// and the debugger show them.
#include <cstdio>
#include <cstring>

#include "debugger/cpu/cpu_internal.h"

namespace zun {

namespace {

struct Semantics {
  const char* mnemonic;
  Op op;
  Reg reg;
  uint8_t arg;  // branch condition (the low opcode nibble of the short form), SWI number
};

// Every mnemonic of the MC6809, in datasheet order, with what it does.
constexpr Semantics semantics[] = {
    {"NEG", Op::Neg, Reg::Mem, 0},     {"COM", Op::Com, Reg::Mem, 0},
    {"LSR", Op::Lsr, Reg::Mem, 0},     {"ROR", Op::Ror, Reg::Mem, 0},
    {"ASR", Op::Asr, Reg::Mem, 0},     {"ASL", Op::Asl, Reg::Mem, 0},
    {"ROL", Op::Rol, Reg::Mem, 0},     {"DEC", Op::Dec, Reg::Mem, 0},
    {"INC", Op::Inc, Reg::Mem, 0},     {"TST", Op::Tst, Reg::Mem, 0},
    {"JMP", Op::Jmp, Reg::None, 0},    {"CLR", Op::Clr, Reg::Mem, 0},

    {"NOP", Op::Nop, Reg::None, 0},    {"SYNC", Op::Sync, Reg::None, 0},
    {"LBRA", Op::Branch, Reg::None, 0}, {"LBSR", Op::Bsr, Reg::None, 0},
    {"DAA", Op::Daa, Reg::None, 0},    {"ORCC", Op::Orcc, Reg::None, 0},
    {"ANDCC", Op::Andcc, Reg::None, 0}, {"SEX", Op::Sex, Reg::None, 0},
    {"EXG", Op::Exg, Reg::None, 0},    {"TFR", Op::Tfr, Reg::None, 0},

    {"BRA", Op::Branch, Reg::None, 0},  {"BRN", Op::Branch, Reg::None, 1},
    {"BHI", Op::Branch, Reg::None, 2},  {"BLS", Op::Branch, Reg::None, 3},
    {"BCC", Op::Branch, Reg::None, 4},  {"BCS", Op::Branch, Reg::None, 5},
    {"BNE", Op::Branch, Reg::None, 6},  {"BEQ", Op::Branch, Reg::None, 7},
    {"BVC", Op::Branch, Reg::None, 8},  {"BVS", Op::Branch, Reg::None, 9},
    {"BPL", Op::Branch, Reg::None, 10}, {"BMI", Op::Branch, Reg::None, 11},
    {"BGE", Op::Branch, Reg::None, 12}, {"BLT", Op::Branch, Reg::None, 13},
    {"BGT", Op::Branch, Reg::None, 14}, {"BLE", Op::Branch, Reg::None, 15},
    {"LBRN", Op::Branch, Reg::None, 1},  {"LBHI", Op::Branch, Reg::None, 2},
    {"LBLS", Op::Branch, Reg::None, 3},  {"LBCC", Op::Branch, Reg::None, 4},
    {"LBCS", Op::Branch, Reg::None, 5},  {"LBNE", Op::Branch, Reg::None, 6},
    {"LBEQ", Op::Branch, Reg::None, 7},  {"LBVC", Op::Branch, Reg::None, 8},
    {"LBVS", Op::Branch, Reg::None, 9},  {"LBPL", Op::Branch, Reg::None, 10},
    {"LBMI", Op::Branch, Reg::None, 11}, {"LBGE", Op::Branch, Reg::None, 12},
    {"LBLT", Op::Branch, Reg::None, 13}, {"LBGT", Op::Branch, Reg::None, 14},
    {"LBLE", Op::Branch, Reg::None, 15},

    {"LEAX", Op::Lea, Reg::X, 0},      {"LEAY", Op::Lea, Reg::Y, 0},
    {"LEAS", Op::Lea, Reg::S, 0},      {"LEAU", Op::Lea, Reg::U, 0},
    {"PSHS", Op::Psh, Reg::S, 0},      {"PULS", Op::Pul, Reg::S, 0},
    {"PSHU", Op::Psh, Reg::U, 0},      {"PULU", Op::Pul, Reg::U, 0},
    {"RTS", Op::Rts, Reg::None, 0},    {"ABX", Op::Abx, Reg::None, 0},
    {"RTI", Op::Rti, Reg::None, 0},    {"CWAI", Op::Cwai, Reg::None, 0},
    {"MUL", Op::Mul, Reg::None, 0},    {"SWI", Op::Swi, Reg::None, 1},
    {"SWI2", Op::Swi, Reg::None, 2},   {"SWI3", Op::Swi, Reg::None, 3},

    {"NEGA", Op::Neg, Reg::A, 0},      {"COMA", Op::Com, Reg::A, 0},
    {"LSRA", Op::Lsr, Reg::A, 0},      {"RORA", Op::Ror, Reg::A, 0},
    {"ASRA", Op::Asr, Reg::A, 0},      {"ASLA", Op::Asl, Reg::A, 0},
    {"ROLA", Op::Rol, Reg::A, 0},      {"DECA", Op::Dec, Reg::A, 0},
    {"INCA", Op::Inc, Reg::A, 0},      {"TSTA", Op::Tst, Reg::A, 0},
    {"CLRA", Op::Clr, Reg::A, 0},
    {"NEGB", Op::Neg, Reg::B, 0},      {"COMB", Op::Com, Reg::B, 0},
    {"LSRB", Op::Lsr, Reg::B, 0},      {"RORB", Op::Ror, Reg::B, 0},
    {"ASRB", Op::Asr, Reg::B, 0},      {"ASLB", Op::Asl, Reg::B, 0},
    {"ROLB", Op::Rol, Reg::B, 0},      {"DECB", Op::Dec, Reg::B, 0},
    {"INCB", Op::Inc, Reg::B, 0},      {"TSTB", Op::Tst, Reg::B, 0},
    {"CLRB", Op::Clr, Reg::B, 0},

    {"SUBA", Op::Sub8, Reg::A, 0},     {"CMPA", Op::Cmp8, Reg::A, 0},
    {"SBCA", Op::Sbc8, Reg::A, 0},     {"SUBD", Op::Sub16, Reg::D, 0},
    {"ANDA", Op::And8, Reg::A, 0},     {"BITA", Op::Bit8, Reg::A, 0},
    {"LDA", Op::Ld8, Reg::A, 0},       {"STA", Op::St8, Reg::A, 0},
    {"EORA", Op::Eor8, Reg::A, 0},     {"ADCA", Op::Adc8, Reg::A, 0},
    {"ORA", Op::Or8, Reg::A, 0},       {"ADDA", Op::Add8, Reg::A, 0},
    {"CMPX", Op::Cmp16, Reg::X, 0},    {"BSR", Op::Bsr, Reg::None, 0},
    {"JSR", Op::Jsr, Reg::None, 0},    {"LDX", Op::Ld16, Reg::X, 0},
    {"STX", Op::St16, Reg::X, 0},
    {"SUBB", Op::Sub8, Reg::B, 0},     {"CMPB", Op::Cmp8, Reg::B, 0},
    {"SBCB", Op::Sbc8, Reg::B, 0},     {"ADDD", Op::Add16, Reg::D, 0},
    {"ANDB", Op::And8, Reg::B, 0},     {"BITB", Op::Bit8, Reg::B, 0},
    {"LDB", Op::Ld8, Reg::B, 0},       {"STB", Op::St8, Reg::B, 0},
    {"EORB", Op::Eor8, Reg::B, 0},     {"ADCB", Op::Adc8, Reg::B, 0},
    {"ORB", Op::Or8, Reg::B, 0},       {"ADDB", Op::Add8, Reg::B, 0},
    {"LDD", Op::Ld16, Reg::D, 0},      {"STD", Op::St16, Reg::D, 0},
    {"LDU", Op::Ld16, Reg::U, 0},      {"STU", Op::St16, Reg::U, 0},

    {"CMPD", Op::Cmp16, Reg::D, 0},    {"CMPY", Op::Cmp16, Reg::Y, 0},
    {"LDY", Op::Ld16, Reg::Y, 0},      {"STY", Op::St16, Reg::Y, 0},
    {"LDS", Op::Ld16, Reg::S, 0},      {"STS", Op::St16, Reg::S, 0},
    {"CMPU", Op::Cmp16, Reg::U, 0},    {"CMPS", Op::Cmp16, Reg::S, 0},
};

const Semantics* find_semantics(const char* mnemonic) {
  for (const Semantics& s : semantics)
    if (std::strcmp(s.mnemonic, mnemonic) == 0) return &s;
  return nullptr;
}

void fill_page(std::array<Decoded, 256>& page, uint8_t prefix) {
  for (unsigned op = 0; op < 256; ++op) {
    Decoded& d = page[op];
    d = Decoded{};
    const OpcodeInfo* info = find_opcode(prefix, uint8_t(op));
    if (!info) continue;
    const Semantics* s = find_semantics(info->mnemonic);
    if (!s) continue;  // a mnemonic the core does not know stays undefined
    d.info = info;
    d.op = s->op;
    d.mode = info->mode;
    d.reg = s->reg;
    d.arg = s->arg;
  }
}

}  // namespace

void build_decode_tables(Cpu& cpu) {
  fill_page(cpu.page1, 0);
  fill_page(cpu.page2, 0x10);
  fill_page(cpu.page3, 0x11);
  // The prefixes are not instructions of their own; cpu_execute handles them.
  cpu.page1[0x10] = Decoded{};
  cpu.page1[0x11] = Decoded{};
}

void append_mnemonic(Cpu& cpu, const OpcodeInfo& info) {
  std::string_view name = info.mnemonic;
  // ROLA and ROLB have always been printed with two trailing blanks; the
  // instruction list's users know them that way.
  bool padded = info.mode != Mode::Inherent || name == "ROLA" || name == "ROLB";
  if (!padded) {
    disasm_append(cpu, name);
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%-6s", info.mnemonic);
  disasm_append(cpu, text);
}

}  // namespace zun
