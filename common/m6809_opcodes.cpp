// The MC6809 instruction table and its lookups by opcode and by mnemonic.
// Columns come from the Motorola MC6809 datasheet: the opcode map for page,
// opcode and mode, the instruction-set table for bytes and cycles.
// Cycles are the datasheet's base values; the indexed modes ("+" in the
// datasheet) add the post-byte's extras, and these rows give minimums:
// SYNC (4 and more), CWAI (20 and more), RTI (6 with E clear, 15 with E set),
// the long conditional branches (5 untaken, 6 taken).
#include "common/m6809_opcodes.h"

#include <algorithm>
#include <array>

namespace zun {

namespace {

using enum Mode;

// clang-format off
constexpr std::array<OpcodeInfo, 268> opcodes = {{
    // Page 0
    {.mnemonic = "NEG",   .mode = Direct,       .page = 0x00, .opcode = 0x00, .length = 2, .cycles =  6},
    {.mnemonic = "COM",   .mode = Direct,       .page = 0x00, .opcode = 0x03, .length = 2, .cycles =  6},
    {.mnemonic = "LSR",   .mode = Direct,       .page = 0x00, .opcode = 0x04, .length = 2, .cycles =  6},
    {.mnemonic = "ROR",   .mode = Direct,       .page = 0x00, .opcode = 0x06, .length = 2, .cycles =  6},
    {.mnemonic = "ASR",   .mode = Direct,       .page = 0x00, .opcode = 0x07, .length = 2, .cycles =  6},
    {.mnemonic = "ASL",   .mode = Direct,       .page = 0x00, .opcode = 0x08, .length = 2, .cycles =  6},
    {.mnemonic = "ROL",   .mode = Direct,       .page = 0x00, .opcode = 0x09, .length = 2, .cycles =  6},
    {.mnemonic = "DEC",   .mode = Direct,       .page = 0x00, .opcode = 0x0A, .length = 2, .cycles =  6},
    {.mnemonic = "INC",   .mode = Direct,       .page = 0x00, .opcode = 0x0C, .length = 2, .cycles =  6},
    {.mnemonic = "TST",   .mode = Direct,       .page = 0x00, .opcode = 0x0D, .length = 2, .cycles =  6},
    {.mnemonic = "JMP",   .mode = Direct,       .page = 0x00, .opcode = 0x0E, .length = 2, .cycles =  3},
    {.mnemonic = "CLR",   .mode = Direct,       .page = 0x00, .opcode = 0x0F, .length = 2, .cycles =  6},
    {.mnemonic = "NOP",   .mode = Inherent,     .page = 0x00, .opcode = 0x12, .length = 1, .cycles =  2},
    {.mnemonic = "SYNC",  .mode = Inherent,     .page = 0x00, .opcode = 0x13, .length = 1, .cycles =  4},
    {.mnemonic = "LBRA",  .mode = Relative16,   .page = 0x00, .opcode = 0x16, .length = 3, .cycles =  5},
    {.mnemonic = "LBSR",  .mode = Relative16,   .page = 0x00, .opcode = 0x17, .length = 3, .cycles =  9},
    {.mnemonic = "DAA",   .mode = Inherent,     .page = 0x00, .opcode = 0x19, .length = 1, .cycles =  2},
    {.mnemonic = "ORCC",  .mode = Immediate8,   .page = 0x00, .opcode = 0x1A, .length = 2, .cycles =  3},
    {.mnemonic = "ANDCC", .mode = Immediate8,   .page = 0x00, .opcode = 0x1C, .length = 2, .cycles =  3},
    {.mnemonic = "SEX",   .mode = Inherent,     .page = 0x00, .opcode = 0x1D, .length = 1, .cycles =  2},
    {.mnemonic = "EXG",   .mode = RegisterPair, .page = 0x00, .opcode = 0x1E, .length = 2, .cycles =  8},
    {.mnemonic = "TFR",   .mode = RegisterPair, .page = 0x00, .opcode = 0x1F, .length = 2, .cycles =  6},
    {.mnemonic = "BRA",   .mode = Relative8,    .page = 0x00, .opcode = 0x20, .length = 2, .cycles =  3},
    {.mnemonic = "BRN",   .mode = Relative8,    .page = 0x00, .opcode = 0x21, .length = 2, .cycles =  3},
    {.mnemonic = "BHI",   .mode = Relative8,    .page = 0x00, .opcode = 0x22, .length = 2, .cycles =  3},
    {.mnemonic = "BLS",   .mode = Relative8,    .page = 0x00, .opcode = 0x23, .length = 2, .cycles =  3},
    {.mnemonic = "BCC",   .mode = Relative8,    .page = 0x00, .opcode = 0x24, .length = 2, .cycles =  3},
    {.mnemonic = "BCS",   .mode = Relative8,    .page = 0x00, .opcode = 0x25, .length = 2, .cycles =  3},
    {.mnemonic = "BNE",   .mode = Relative8,    .page = 0x00, .opcode = 0x26, .length = 2, .cycles =  3},
    {.mnemonic = "BEQ",   .mode = Relative8,    .page = 0x00, .opcode = 0x27, .length = 2, .cycles =  3},
    {.mnemonic = "BVC",   .mode = Relative8,    .page = 0x00, .opcode = 0x28, .length = 2, .cycles =  3},
    {.mnemonic = "BVS",   .mode = Relative8,    .page = 0x00, .opcode = 0x29, .length = 2, .cycles =  3},
    {.mnemonic = "BPL",   .mode = Relative8,    .page = 0x00, .opcode = 0x2A, .length = 2, .cycles =  3},
    {.mnemonic = "BMI",   .mode = Relative8,    .page = 0x00, .opcode = 0x2B, .length = 2, .cycles =  3},
    {.mnemonic = "BGE",   .mode = Relative8,    .page = 0x00, .opcode = 0x2C, .length = 2, .cycles =  3},
    {.mnemonic = "BLT",   .mode = Relative8,    .page = 0x00, .opcode = 0x2D, .length = 2, .cycles =  3},
    {.mnemonic = "BGT",   .mode = Relative8,    .page = 0x00, .opcode = 0x2E, .length = 2, .cycles =  3},
    {.mnemonic = "BLE",   .mode = Relative8,    .page = 0x00, .opcode = 0x2F, .length = 2, .cycles =  3},
    {.mnemonic = "LEAX",  .mode = Indexed,      .page = 0x00, .opcode = 0x30, .length = 2, .cycles =  4},
    {.mnemonic = "LEAY",  .mode = Indexed,      .page = 0x00, .opcode = 0x31, .length = 2, .cycles =  4},
    {.mnemonic = "LEAS",  .mode = Indexed,      .page = 0x00, .opcode = 0x32, .length = 2, .cycles =  4},
    {.mnemonic = "LEAU",  .mode = Indexed,      .page = 0x00, .opcode = 0x33, .length = 2, .cycles =  4},
    {.mnemonic = "PSHS",  .mode = StackMask,    .page = 0x00, .opcode = 0x34, .length = 2, .cycles =  5},
    {.mnemonic = "PULS",  .mode = StackMask,    .page = 0x00, .opcode = 0x35, .length = 2, .cycles =  5},
    {.mnemonic = "PSHU",  .mode = StackMask,    .page = 0x00, .opcode = 0x36, .length = 2, .cycles =  5},
    {.mnemonic = "PULU",  .mode = StackMask,    .page = 0x00, .opcode = 0x37, .length = 2, .cycles =  5},
    {.mnemonic = "RTS",   .mode = Inherent,     .page = 0x00, .opcode = 0x39, .length = 1, .cycles =  5},
    {.mnemonic = "ABX",   .mode = Inherent,     .page = 0x00, .opcode = 0x3A, .length = 1, .cycles =  3},
    {.mnemonic = "RTI",   .mode = Inherent,     .page = 0x00, .opcode = 0x3B, .length = 1, .cycles =  6},
    {.mnemonic = "CWAI",  .mode = Immediate8,   .page = 0x00, .opcode = 0x3C, .length = 2, .cycles = 20},
    {.mnemonic = "MUL",   .mode = Inherent,     .page = 0x00, .opcode = 0x3D, .length = 1, .cycles = 11},
    {.mnemonic = "SWI",   .mode = Inherent,     .page = 0x00, .opcode = 0x3F, .length = 1, .cycles = 19},
    {.mnemonic = "NEGA",  .mode = Inherent,     .page = 0x00, .opcode = 0x40, .length = 1, .cycles =  2},
    {.mnemonic = "COMA",  .mode = Inherent,     .page = 0x00, .opcode = 0x43, .length = 1, .cycles =  2},
    {.mnemonic = "LSRA",  .mode = Inherent,     .page = 0x00, .opcode = 0x44, .length = 1, .cycles =  2},
    {.mnemonic = "RORA",  .mode = Inherent,     .page = 0x00, .opcode = 0x46, .length = 1, .cycles =  2},
    {.mnemonic = "ASRA",  .mode = Inherent,     .page = 0x00, .opcode = 0x47, .length = 1, .cycles =  2},
    {.mnemonic = "ASLA",  .mode = Inherent,     .page = 0x00, .opcode = 0x48, .length = 1, .cycles =  2},
    {.mnemonic = "ROLA",  .mode = Inherent,     .page = 0x00, .opcode = 0x49, .length = 1, .cycles =  2},
    {.mnemonic = "DECA",  .mode = Inherent,     .page = 0x00, .opcode = 0x4A, .length = 1, .cycles =  2},
    {.mnemonic = "INCA",  .mode = Inherent,     .page = 0x00, .opcode = 0x4C, .length = 1, .cycles =  2},
    {.mnemonic = "TSTA",  .mode = Inherent,     .page = 0x00, .opcode = 0x4D, .length = 1, .cycles =  2},
    {.mnemonic = "CLRA",  .mode = Inherent,     .page = 0x00, .opcode = 0x4F, .length = 1, .cycles =  2},
    {.mnemonic = "NEGB",  .mode = Inherent,     .page = 0x00, .opcode = 0x50, .length = 1, .cycles =  2},
    {.mnemonic = "COMB",  .mode = Inherent,     .page = 0x00, .opcode = 0x53, .length = 1, .cycles =  2},
    {.mnemonic = "LSRB",  .mode = Inherent,     .page = 0x00, .opcode = 0x54, .length = 1, .cycles =  2},
    {.mnemonic = "RORB",  .mode = Inherent,     .page = 0x00, .opcode = 0x56, .length = 1, .cycles =  2},
    {.mnemonic = "ASRB",  .mode = Inherent,     .page = 0x00, .opcode = 0x57, .length = 1, .cycles =  2},
    {.mnemonic = "ASLB",  .mode = Inherent,     .page = 0x00, .opcode = 0x58, .length = 1, .cycles =  2},
    {.mnemonic = "ROLB",  .mode = Inherent,     .page = 0x00, .opcode = 0x59, .length = 1, .cycles =  2},
    {.mnemonic = "DECB",  .mode = Inherent,     .page = 0x00, .opcode = 0x5A, .length = 1, .cycles =  2},
    {.mnemonic = "INCB",  .mode = Inherent,     .page = 0x00, .opcode = 0x5C, .length = 1, .cycles =  2},
    {.mnemonic = "TSTB",  .mode = Inherent,     .page = 0x00, .opcode = 0x5D, .length = 1, .cycles =  2},
    {.mnemonic = "CLRB",  .mode = Inherent,     .page = 0x00, .opcode = 0x5F, .length = 1, .cycles =  2},
    {.mnemonic = "NEG",   .mode = Indexed,      .page = 0x00, .opcode = 0x60, .length = 2, .cycles =  6},
    {.mnemonic = "COM",   .mode = Indexed,      .page = 0x00, .opcode = 0x63, .length = 2, .cycles =  6},
    {.mnemonic = "LSR",   .mode = Indexed,      .page = 0x00, .opcode = 0x64, .length = 2, .cycles =  6},
    {.mnemonic = "ROR",   .mode = Indexed,      .page = 0x00, .opcode = 0x66, .length = 2, .cycles =  6},
    {.mnemonic = "ASR",   .mode = Indexed,      .page = 0x00, .opcode = 0x67, .length = 2, .cycles =  6},
    {.mnemonic = "ASL",   .mode = Indexed,      .page = 0x00, .opcode = 0x68, .length = 2, .cycles =  6},
    {.mnemonic = "ROL",   .mode = Indexed,      .page = 0x00, .opcode = 0x69, .length = 2, .cycles =  6},
    {.mnemonic = "DEC",   .mode = Indexed,      .page = 0x00, .opcode = 0x6A, .length = 2, .cycles =  6},
    {.mnemonic = "INC",   .mode = Indexed,      .page = 0x00, .opcode = 0x6C, .length = 2, .cycles =  6},
    {.mnemonic = "TST",   .mode = Indexed,      .page = 0x00, .opcode = 0x6D, .length = 2, .cycles =  6},
    {.mnemonic = "JMP",   .mode = Indexed,      .page = 0x00, .opcode = 0x6E, .length = 2, .cycles =  3},
    {.mnemonic = "CLR",   .mode = Indexed,      .page = 0x00, .opcode = 0x6F, .length = 2, .cycles =  6},
    {.mnemonic = "NEG",   .mode = Extended,     .page = 0x00, .opcode = 0x70, .length = 3, .cycles =  7},
    {.mnemonic = "COM",   .mode = Extended,     .page = 0x00, .opcode = 0x73, .length = 3, .cycles =  7},
    {.mnemonic = "LSR",   .mode = Extended,     .page = 0x00, .opcode = 0x74, .length = 3, .cycles =  7},
    {.mnemonic = "ROR",   .mode = Extended,     .page = 0x00, .opcode = 0x76, .length = 3, .cycles =  7},
    {.mnemonic = "ASR",   .mode = Extended,     .page = 0x00, .opcode = 0x77, .length = 3, .cycles =  7},
    {.mnemonic = "ASL",   .mode = Extended,     .page = 0x00, .opcode = 0x78, .length = 3, .cycles =  7},
    {.mnemonic = "ROL",   .mode = Extended,     .page = 0x00, .opcode = 0x79, .length = 3, .cycles =  7},
    {.mnemonic = "DEC",   .mode = Extended,     .page = 0x00, .opcode = 0x7A, .length = 3, .cycles =  7},
    {.mnemonic = "INC",   .mode = Extended,     .page = 0x00, .opcode = 0x7C, .length = 3, .cycles =  7},
    {.mnemonic = "TST",   .mode = Extended,     .page = 0x00, .opcode = 0x7D, .length = 3, .cycles =  7},
    {.mnemonic = "JMP",   .mode = Extended,     .page = 0x00, .opcode = 0x7E, .length = 3, .cycles =  4},
    {.mnemonic = "CLR",   .mode = Extended,     .page = 0x00, .opcode = 0x7F, .length = 3, .cycles =  7},
    {.mnemonic = "SUBA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x80, .length = 2, .cycles =  2},
    {.mnemonic = "CMPA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x81, .length = 2, .cycles =  2},
    {.mnemonic = "SBCA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x82, .length = 2, .cycles =  2},
    {.mnemonic = "SUBD",  .mode = Immediate16,  .page = 0x00, .opcode = 0x83, .length = 3, .cycles =  4},
    {.mnemonic = "ANDA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x84, .length = 2, .cycles =  2},
    {.mnemonic = "BITA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x85, .length = 2, .cycles =  2},
    {.mnemonic = "LDA",   .mode = Immediate8,   .page = 0x00, .opcode = 0x86, .length = 2, .cycles =  2},
    {.mnemonic = "EORA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x88, .length = 2, .cycles =  2},
    {.mnemonic = "ADCA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x89, .length = 2, .cycles =  2},
    {.mnemonic = "ORA",   .mode = Immediate8,   .page = 0x00, .opcode = 0x8A, .length = 2, .cycles =  2},
    {.mnemonic = "ADDA",  .mode = Immediate8,   .page = 0x00, .opcode = 0x8B, .length = 2, .cycles =  2},
    {.mnemonic = "CMPX",  .mode = Immediate16,  .page = 0x00, .opcode = 0x8C, .length = 3, .cycles =  4},
    {.mnemonic = "BSR",   .mode = Relative8,    .page = 0x00, .opcode = 0x8D, .length = 2, .cycles =  7},
    {.mnemonic = "LDX",   .mode = Immediate16,  .page = 0x00, .opcode = 0x8E, .length = 3, .cycles =  3},
    {.mnemonic = "SUBA",  .mode = Direct,       .page = 0x00, .opcode = 0x90, .length = 2, .cycles =  4},
    {.mnemonic = "CMPA",  .mode = Direct,       .page = 0x00, .opcode = 0x91, .length = 2, .cycles =  4},
    {.mnemonic = "SBCA",  .mode = Direct,       .page = 0x00, .opcode = 0x92, .length = 2, .cycles =  4},
    {.mnemonic = "SUBD",  .mode = Direct,       .page = 0x00, .opcode = 0x93, .length = 2, .cycles =  6},
    {.mnemonic = "ANDA",  .mode = Direct,       .page = 0x00, .opcode = 0x94, .length = 2, .cycles =  4},
    {.mnemonic = "BITA",  .mode = Direct,       .page = 0x00, .opcode = 0x95, .length = 2, .cycles =  4},
    {.mnemonic = "LDA",   .mode = Direct,       .page = 0x00, .opcode = 0x96, .length = 2, .cycles =  4},
    {.mnemonic = "STA",   .mode = Direct,       .page = 0x00, .opcode = 0x97, .length = 2, .cycles =  4},
    {.mnemonic = "EORA",  .mode = Direct,       .page = 0x00, .opcode = 0x98, .length = 2, .cycles =  4},
    {.mnemonic = "ADCA",  .mode = Direct,       .page = 0x00, .opcode = 0x99, .length = 2, .cycles =  4},
    {.mnemonic = "ORA",   .mode = Direct,       .page = 0x00, .opcode = 0x9A, .length = 2, .cycles =  4},
    {.mnemonic = "ADDA",  .mode = Direct,       .page = 0x00, .opcode = 0x9B, .length = 2, .cycles =  4},
    {.mnemonic = "CMPX",  .mode = Direct,       .page = 0x00, .opcode = 0x9C, .length = 2, .cycles =  6},
    {.mnemonic = "JSR",   .mode = Direct,       .page = 0x00, .opcode = 0x9D, .length = 2, .cycles =  7},
    {.mnemonic = "LDX",   .mode = Direct,       .page = 0x00, .opcode = 0x9E, .length = 2, .cycles =  5},
    {.mnemonic = "STX",   .mode = Direct,       .page = 0x00, .opcode = 0x9F, .length = 2, .cycles =  5},
    {.mnemonic = "SUBA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA0, .length = 2, .cycles =  4},
    {.mnemonic = "CMPA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA1, .length = 2, .cycles =  4},
    {.mnemonic = "SBCA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA2, .length = 2, .cycles =  4},
    {.mnemonic = "SUBD",  .mode = Indexed,      .page = 0x00, .opcode = 0xA3, .length = 2, .cycles =  6},
    {.mnemonic = "ANDA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA4, .length = 2, .cycles =  4},
    {.mnemonic = "BITA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA5, .length = 2, .cycles =  4},
    {.mnemonic = "LDA",   .mode = Indexed,      .page = 0x00, .opcode = 0xA6, .length = 2, .cycles =  4},
    {.mnemonic = "STA",   .mode = Indexed,      .page = 0x00, .opcode = 0xA7, .length = 2, .cycles =  4},
    {.mnemonic = "EORA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA8, .length = 2, .cycles =  4},
    {.mnemonic = "ADCA",  .mode = Indexed,      .page = 0x00, .opcode = 0xA9, .length = 2, .cycles =  4},
    {.mnemonic = "ORA",   .mode = Indexed,      .page = 0x00, .opcode = 0xAA, .length = 2, .cycles =  4},
    {.mnemonic = "ADDA",  .mode = Indexed,      .page = 0x00, .opcode = 0xAB, .length = 2, .cycles =  4},
    {.mnemonic = "CMPX",  .mode = Indexed,      .page = 0x00, .opcode = 0xAC, .length = 2, .cycles =  6},
    {.mnemonic = "JSR",   .mode = Indexed,      .page = 0x00, .opcode = 0xAD, .length = 2, .cycles =  7},
    {.mnemonic = "LDX",   .mode = Indexed,      .page = 0x00, .opcode = 0xAE, .length = 2, .cycles =  5},
    {.mnemonic = "STX",   .mode = Indexed,      .page = 0x00, .opcode = 0xAF, .length = 2, .cycles =  5},
    {.mnemonic = "SUBA",  .mode = Extended,     .page = 0x00, .opcode = 0xB0, .length = 3, .cycles =  5},
    {.mnemonic = "CMPA",  .mode = Extended,     .page = 0x00, .opcode = 0xB1, .length = 3, .cycles =  5},
    {.mnemonic = "SBCA",  .mode = Extended,     .page = 0x00, .opcode = 0xB2, .length = 3, .cycles =  5},
    {.mnemonic = "SUBD",  .mode = Extended,     .page = 0x00, .opcode = 0xB3, .length = 3, .cycles =  7},
    {.mnemonic = "ANDA",  .mode = Extended,     .page = 0x00, .opcode = 0xB4, .length = 3, .cycles =  5},
    {.mnemonic = "BITA",  .mode = Extended,     .page = 0x00, .opcode = 0xB5, .length = 3, .cycles =  5},
    {.mnemonic = "LDA",   .mode = Extended,     .page = 0x00, .opcode = 0xB6, .length = 3, .cycles =  5},
    {.mnemonic = "STA",   .mode = Extended,     .page = 0x00, .opcode = 0xB7, .length = 3, .cycles =  5},
    {.mnemonic = "EORA",  .mode = Extended,     .page = 0x00, .opcode = 0xB8, .length = 3, .cycles =  5},
    {.mnemonic = "ADCA",  .mode = Extended,     .page = 0x00, .opcode = 0xB9, .length = 3, .cycles =  5},
    {.mnemonic = "ORA",   .mode = Extended,     .page = 0x00, .opcode = 0xBA, .length = 3, .cycles =  5},
    {.mnemonic = "ADDA",  .mode = Extended,     .page = 0x00, .opcode = 0xBB, .length = 3, .cycles =  5},
    {.mnemonic = "CMPX",  .mode = Extended,     .page = 0x00, .opcode = 0xBC, .length = 3, .cycles =  7},
    {.mnemonic = "JSR",   .mode = Extended,     .page = 0x00, .opcode = 0xBD, .length = 3, .cycles =  8},
    {.mnemonic = "LDX",   .mode = Extended,     .page = 0x00, .opcode = 0xBE, .length = 3, .cycles =  6},
    {.mnemonic = "STX",   .mode = Extended,     .page = 0x00, .opcode = 0xBF, .length = 3, .cycles =  6},
    {.mnemonic = "SUBB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC0, .length = 2, .cycles =  2},
    {.mnemonic = "CMPB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC1, .length = 2, .cycles =  2},
    {.mnemonic = "SBCB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC2, .length = 2, .cycles =  2},
    {.mnemonic = "ADDD",  .mode = Immediate16,  .page = 0x00, .opcode = 0xC3, .length = 3, .cycles =  4},
    {.mnemonic = "ANDB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC4, .length = 2, .cycles =  2},
    {.mnemonic = "BITB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC5, .length = 2, .cycles =  2},
    {.mnemonic = "LDB",   .mode = Immediate8,   .page = 0x00, .opcode = 0xC6, .length = 2, .cycles =  2},
    {.mnemonic = "EORB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC8, .length = 2, .cycles =  2},
    {.mnemonic = "ADCB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xC9, .length = 2, .cycles =  2},
    {.mnemonic = "ORB",   .mode = Immediate8,   .page = 0x00, .opcode = 0xCA, .length = 2, .cycles =  2},
    {.mnemonic = "ADDB",  .mode = Immediate8,   .page = 0x00, .opcode = 0xCB, .length = 2, .cycles =  2},
    {.mnemonic = "LDD",   .mode = Immediate16,  .page = 0x00, .opcode = 0xCC, .length = 3, .cycles =  3},
    {.mnemonic = "LDU",   .mode = Immediate16,  .page = 0x00, .opcode = 0xCE, .length = 3, .cycles =  3},
    {.mnemonic = "SUBB",  .mode = Direct,       .page = 0x00, .opcode = 0xD0, .length = 2, .cycles =  4},
    {.mnemonic = "CMPB",  .mode = Direct,       .page = 0x00, .opcode = 0xD1, .length = 2, .cycles =  4},
    {.mnemonic = "SBCB",  .mode = Direct,       .page = 0x00, .opcode = 0xD2, .length = 2, .cycles =  4},
    {.mnemonic = "ADDD",  .mode = Direct,       .page = 0x00, .opcode = 0xD3, .length = 2, .cycles =  6},
    {.mnemonic = "ANDB",  .mode = Direct,       .page = 0x00, .opcode = 0xD4, .length = 2, .cycles =  4},
    {.mnemonic = "BITB",  .mode = Direct,       .page = 0x00, .opcode = 0xD5, .length = 2, .cycles =  4},
    {.mnemonic = "LDB",   .mode = Direct,       .page = 0x00, .opcode = 0xD6, .length = 2, .cycles =  4},
    {.mnemonic = "STB",   .mode = Direct,       .page = 0x00, .opcode = 0xD7, .length = 2, .cycles =  4},
    {.mnemonic = "EORB",  .mode = Direct,       .page = 0x00, .opcode = 0xD8, .length = 2, .cycles =  4},
    {.mnemonic = "ADCB",  .mode = Direct,       .page = 0x00, .opcode = 0xD9, .length = 2, .cycles =  4},
    {.mnemonic = "ORB",   .mode = Direct,       .page = 0x00, .opcode = 0xDA, .length = 2, .cycles =  4},
    {.mnemonic = "ADDB",  .mode = Direct,       .page = 0x00, .opcode = 0xDB, .length = 2, .cycles =  4},
    {.mnemonic = "LDD",   .mode = Direct,       .page = 0x00, .opcode = 0xDC, .length = 2, .cycles =  5},
    {.mnemonic = "STD",   .mode = Direct,       .page = 0x00, .opcode = 0xDD, .length = 2, .cycles =  5},
    {.mnemonic = "LDU",   .mode = Direct,       .page = 0x00, .opcode = 0xDE, .length = 2, .cycles =  5},
    {.mnemonic = "STU",   .mode = Direct,       .page = 0x00, .opcode = 0xDF, .length = 2, .cycles =  5},
    {.mnemonic = "SUBB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE0, .length = 2, .cycles =  4},
    {.mnemonic = "CMPB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE1, .length = 2, .cycles =  4},
    {.mnemonic = "SBCB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE2, .length = 2, .cycles =  4},
    {.mnemonic = "ADDD",  .mode = Indexed,      .page = 0x00, .opcode = 0xE3, .length = 2, .cycles =  6},
    {.mnemonic = "ANDB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE4, .length = 2, .cycles =  4},
    {.mnemonic = "BITB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE5, .length = 2, .cycles =  4},
    {.mnemonic = "LDB",   .mode = Indexed,      .page = 0x00, .opcode = 0xE6, .length = 2, .cycles =  4},
    {.mnemonic = "STB",   .mode = Indexed,      .page = 0x00, .opcode = 0xE7, .length = 2, .cycles =  4},
    {.mnemonic = "EORB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE8, .length = 2, .cycles =  4},
    {.mnemonic = "ADCB",  .mode = Indexed,      .page = 0x00, .opcode = 0xE9, .length = 2, .cycles =  4},
    {.mnemonic = "ORB",   .mode = Indexed,      .page = 0x00, .opcode = 0xEA, .length = 2, .cycles =  4},
    {.mnemonic = "ADDB",  .mode = Indexed,      .page = 0x00, .opcode = 0xEB, .length = 2, .cycles =  4},
    {.mnemonic = "LDD",   .mode = Indexed,      .page = 0x00, .opcode = 0xEC, .length = 2, .cycles =  5},
    {.mnemonic = "STD",   .mode = Indexed,      .page = 0x00, .opcode = 0xED, .length = 2, .cycles =  5},
    {.mnemonic = "LDU",   .mode = Indexed,      .page = 0x00, .opcode = 0xEE, .length = 2, .cycles =  5},
    {.mnemonic = "STU",   .mode = Indexed,      .page = 0x00, .opcode = 0xEF, .length = 2, .cycles =  5},
    {.mnemonic = "SUBB",  .mode = Extended,     .page = 0x00, .opcode = 0xF0, .length = 3, .cycles =  5},
    {.mnemonic = "CMPB",  .mode = Extended,     .page = 0x00, .opcode = 0xF1, .length = 3, .cycles =  5},
    {.mnemonic = "SBCB",  .mode = Extended,     .page = 0x00, .opcode = 0xF2, .length = 3, .cycles =  5},
    {.mnemonic = "ADDD",  .mode = Extended,     .page = 0x00, .opcode = 0xF3, .length = 3, .cycles =  7},
    {.mnemonic = "ANDB",  .mode = Extended,     .page = 0x00, .opcode = 0xF4, .length = 3, .cycles =  5},
    {.mnemonic = "BITB",  .mode = Extended,     .page = 0x00, .opcode = 0xF5, .length = 3, .cycles =  5},
    {.mnemonic = "LDB",   .mode = Extended,     .page = 0x00, .opcode = 0xF6, .length = 3, .cycles =  5},
    {.mnemonic = "STB",   .mode = Extended,     .page = 0x00, .opcode = 0xF7, .length = 3, .cycles =  5},
    {.mnemonic = "EORB",  .mode = Extended,     .page = 0x00, .opcode = 0xF8, .length = 3, .cycles =  5},
    {.mnemonic = "ADCB",  .mode = Extended,     .page = 0x00, .opcode = 0xF9, .length = 3, .cycles =  5},
    {.mnemonic = "ORB",   .mode = Extended,     .page = 0x00, .opcode = 0xFA, .length = 3, .cycles =  5},
    {.mnemonic = "ADDB",  .mode = Extended,     .page = 0x00, .opcode = 0xFB, .length = 3, .cycles =  5},
    {.mnemonic = "LDD",   .mode = Extended,     .page = 0x00, .opcode = 0xFC, .length = 3, .cycles =  6},
    {.mnemonic = "STD",   .mode = Extended,     .page = 0x00, .opcode = 0xFD, .length = 3, .cycles =  6},
    {.mnemonic = "LDU",   .mode = Extended,     .page = 0x00, .opcode = 0xFE, .length = 3, .cycles =  6},
    {.mnemonic = "STU",   .mode = Extended,     .page = 0x00, .opcode = 0xFF, .length = 3, .cycles =  6},

    // Page 2: prefix 0x10
    {.mnemonic = "LBRN",  .mode = Relative16,   .page = 0x10, .opcode = 0x21, .length = 4, .cycles =  5},
    {.mnemonic = "LBHI",  .mode = Relative16,   .page = 0x10, .opcode = 0x22, .length = 4, .cycles =  5},
    {.mnemonic = "LBLS",  .mode = Relative16,   .page = 0x10, .opcode = 0x23, .length = 4, .cycles =  5},
    {.mnemonic = "LBCC",  .mode = Relative16,   .page = 0x10, .opcode = 0x24, .length = 4, .cycles =  5},
    {.mnemonic = "LBCS",  .mode = Relative16,   .page = 0x10, .opcode = 0x25, .length = 4, .cycles =  5},
    {.mnemonic = "LBNE",  .mode = Relative16,   .page = 0x10, .opcode = 0x26, .length = 4, .cycles =  5},
    {.mnemonic = "LBEQ",  .mode = Relative16,   .page = 0x10, .opcode = 0x27, .length = 4, .cycles =  5},
    {.mnemonic = "LBVC",  .mode = Relative16,   .page = 0x10, .opcode = 0x28, .length = 4, .cycles =  5},
    {.mnemonic = "LBVS",  .mode = Relative16,   .page = 0x10, .opcode = 0x29, .length = 4, .cycles =  5},
    {.mnemonic = "LBPL",  .mode = Relative16,   .page = 0x10, .opcode = 0x2A, .length = 4, .cycles =  5},
    {.mnemonic = "LBMI",  .mode = Relative16,   .page = 0x10, .opcode = 0x2B, .length = 4, .cycles =  5},
    {.mnemonic = "LBGE",  .mode = Relative16,   .page = 0x10, .opcode = 0x2C, .length = 4, .cycles =  5},
    {.mnemonic = "LBLT",  .mode = Relative16,   .page = 0x10, .opcode = 0x2D, .length = 4, .cycles =  5},
    {.mnemonic = "LBGT",  .mode = Relative16,   .page = 0x10, .opcode = 0x2E, .length = 4, .cycles =  5},
    {.mnemonic = "LBLE",  .mode = Relative16,   .page = 0x10, .opcode = 0x2F, .length = 4, .cycles =  5},
    {.mnemonic = "SWI2",  .mode = Inherent,     .page = 0x10, .opcode = 0x3F, .length = 2, .cycles = 20},
    {.mnemonic = "CMPD",  .mode = Immediate16,  .page = 0x10, .opcode = 0x83, .length = 4, .cycles =  5},
    {.mnemonic = "CMPY",  .mode = Immediate16,  .page = 0x10, .opcode = 0x8C, .length = 4, .cycles =  5},
    {.mnemonic = "LDY",   .mode = Immediate16,  .page = 0x10, .opcode = 0x8E, .length = 4, .cycles =  4},
    {.mnemonic = "CMPD",  .mode = Direct,       .page = 0x10, .opcode = 0x93, .length = 3, .cycles =  7},
    {.mnemonic = "CMPY",  .mode = Direct,       .page = 0x10, .opcode = 0x9C, .length = 3, .cycles =  7},
    {.mnemonic = "LDY",   .mode = Direct,       .page = 0x10, .opcode = 0x9E, .length = 3, .cycles =  6},
    {.mnemonic = "STY",   .mode = Direct,       .page = 0x10, .opcode = 0x9F, .length = 3, .cycles =  6},
    {.mnemonic = "CMPD",  .mode = Indexed,      .page = 0x10, .opcode = 0xA3, .length = 3, .cycles =  7},
    {.mnemonic = "CMPY",  .mode = Indexed,      .page = 0x10, .opcode = 0xAC, .length = 3, .cycles =  7},
    {.mnemonic = "LDY",   .mode = Indexed,      .page = 0x10, .opcode = 0xAE, .length = 3, .cycles =  6},
    {.mnemonic = "STY",   .mode = Indexed,      .page = 0x10, .opcode = 0xAF, .length = 3, .cycles =  6},
    {.mnemonic = "CMPD",  .mode = Extended,     .page = 0x10, .opcode = 0xB3, .length = 4, .cycles =  8},
    {.mnemonic = "CMPY",  .mode = Extended,     .page = 0x10, .opcode = 0xBC, .length = 4, .cycles =  8},
    {.mnemonic = "LDY",   .mode = Extended,     .page = 0x10, .opcode = 0xBE, .length = 4, .cycles =  7},
    {.mnemonic = "STY",   .mode = Extended,     .page = 0x10, .opcode = 0xBF, .length = 4, .cycles =  7},
    {.mnemonic = "LDS",   .mode = Immediate16,  .page = 0x10, .opcode = 0xCE, .length = 4, .cycles =  4},
    {.mnemonic = "LDS",   .mode = Direct,       .page = 0x10, .opcode = 0xDE, .length = 3, .cycles =  6},
    {.mnemonic = "STS",   .mode = Direct,       .page = 0x10, .opcode = 0xDF, .length = 3, .cycles =  6},
    {.mnemonic = "LDS",   .mode = Indexed,      .page = 0x10, .opcode = 0xEE, .length = 3, .cycles =  6},
    {.mnemonic = "STS",   .mode = Indexed,      .page = 0x10, .opcode = 0xEF, .length = 3, .cycles =  6},
    {.mnemonic = "LDS",   .mode = Extended,     .page = 0x10, .opcode = 0xFE, .length = 4, .cycles =  7},
    {.mnemonic = "STS",   .mode = Extended,     .page = 0x10, .opcode = 0xFF, .length = 4, .cycles =  7},

    // Page 3: prefix 0x11
    {.mnemonic = "SWI3",  .mode = Inherent,     .page = 0x11, .opcode = 0x3F, .length = 2, .cycles = 20},
    {.mnemonic = "CMPU",  .mode = Immediate16,  .page = 0x11, .opcode = 0x83, .length = 4, .cycles =  5},
    {.mnemonic = "CMPS",  .mode = Immediate16,  .page = 0x11, .opcode = 0x8C, .length = 4, .cycles =  5},
    {.mnemonic = "CMPU",  .mode = Direct,       .page = 0x11, .opcode = 0x93, .length = 3, .cycles =  7},
    {.mnemonic = "CMPS",  .mode = Direct,       .page = 0x11, .opcode = 0x9C, .length = 3, .cycles =  7},
    {.mnemonic = "CMPU",  .mode = Indexed,      .page = 0x11, .opcode = 0xA3, .length = 3, .cycles =  7},
    {.mnemonic = "CMPS",  .mode = Indexed,      .page = 0x11, .opcode = 0xAC, .length = 3, .cycles =  7},
    {.mnemonic = "CMPU",  .mode = Extended,     .page = 0x11, .opcode = 0xB3, .length = 4, .cycles =  8},
    {.mnemonic = "CMPS",  .mode = Extended,     .page = 0x11, .opcode = 0xBC, .length = 4, .cycles =  8},
}};
// clang-format on

// Operand bytes each mode adds behind the opcode (the indexed post-byte counts).
constexpr int operand_bytes(Mode mode) {
  switch (mode) {
    case Inherent: return 0;
    case Immediate8: return 1;
    case Immediate16: return 2;
    case Direct: return 1;
    case Indexed: return 1;
    case Extended: return 2;
    case Relative8: return 1;
    case Relative16: return 2;
    case RegisterPair: return 1;
    case StackMask: return 1;
  }
  return -1;
}

constexpr int page_slot(uint8_t page) {
  return page == 0x00 ? 0 : page == 0x10 ? 1 : page == 0x11 ? 2 : -1;
}

// Row number + 1 of every (page, opcode); 0 for an undefined opcode.
using OpcodeIndex = std::array<std::array<uint16_t, 256>, 3>;

constexpr OpcodeIndex build_opcode_index() {
  OpcodeIndex index{};
  for (size_t i = 0; i < opcodes.size(); ++i)
    index[page_slot(opcodes[i].page)][opcodes[i].opcode] = static_cast<uint16_t>(i + 1);
  return index;
}

constexpr bool rows_are_consistent() {
  std::array<std::array<bool, 256>, 3> seen{};
  for (const OpcodeInfo& op : opcodes) {
    int slot = page_slot(op.page);
    if (slot < 0 || seen[slot][op.opcode]) return false;
    seen[slot][op.opcode] = true;
    if (op.length != (op.page ? 2 : 1) + operand_bytes(op.mode)) return false;
  }
  return true;
}

static_assert(rows_are_consistent(), "duplicate opcode, bad page or length that does not fit the mode");

constexpr OpcodeIndex opcode_index = build_opcode_index();

constexpr bool row_less(const OpcodeInfo& a, const OpcodeInfo& b) {
  std::string_view ma = a.mnemonic, mb = b.mnemonic;
  return ma != mb ? ma < mb : a.mode < b.mode;
}

// Row numbers sorted by mnemonic, then mode, for a binary search.
constexpr std::array<uint16_t, opcodes.size()> build_mnemonic_index() {
  std::array<uint16_t, opcodes.size()> order{};
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint16_t>(i);
  std::sort(order.begin(), order.end(),
            [](uint16_t a, uint16_t b) { return row_less(opcodes[a], opcodes[b]); });
  return order;
}

constexpr std::array<uint16_t, opcodes.size()> mnemonic_index = build_mnemonic_index();

struct SecondName {
  std::string_view name, row_name;
};

// The datasheet prints these opcodes under two names.
constexpr std::array<SecondName, 7> second_names = {{
    {"BHS", "BCC"}, {"BLO", "BCS"}, {"LBHS", "LBCC"}, {"LBLO", "LBCS"},
    {"LSL", "ASL"}, {"LSLA", "ASLA"}, {"LSLB", "ASLB"},
}};

// The mnemonic in upper case, its second name replaced; empty when it is too
// long to be one.
std::string_view row_name(std::string_view mnemonic, std::array<char, 8>& buf) {
  if (mnemonic.empty() || mnemonic.size() > buf.size()) return {};
  for (size_t i = 0; i < mnemonic.size(); ++i) {
    char c = mnemonic[i];
    buf[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  std::string_view name(buf.data(), mnemonic.size());
  for (const SecondName& s : second_names)
    if (s.name == name) return s.row_name;
  return name;
}

// The first entry of mnemonic_index whose row is not below (name, mode).
const uint16_t* lower_bound_row(std::string_view name, Mode mode) {
  return std::lower_bound(mnemonic_index.begin(), mnemonic_index.end(), 0,
                          [&](uint16_t row, int) {
                            std::string_view m = opcodes[row].mnemonic;
                            return m != name ? m < name : opcodes[row].mode < mode;
                          });
}

}  // namespace

std::span<const OpcodeInfo> opcode_table() { return opcodes; }

const OpcodeInfo* find_opcode(uint8_t page, uint8_t opcode) {
  int slot = page_slot(page);
  if (slot < 0) return nullptr;
  uint16_t row = opcode_index[slot][opcode];
  return row ? &opcodes[row - 1] : nullptr;
}

const OpcodeInfo* find_mnemonic(std::string_view mnemonic, Mode mode) {
  std::array<char, 8> buf;
  std::string_view name = row_name(mnemonic, buf);
  if (name.empty()) return nullptr;
  const uint16_t* it = lower_bound_row(name, mode);
  if (it == mnemonic_index.end()) return nullptr;
  const OpcodeInfo& op = opcodes[*it];
  return (op.mnemonic == name && op.mode == mode) ? &op : nullptr;
}

bool is_mnemonic(std::string_view mnemonic) {
  std::array<char, 8> buf;
  std::string_view name = row_name(mnemonic, buf);
  if (name.empty()) return false;
  const uint16_t* it = lower_bound_row(name, Inherent);
  return it != mnemonic_index.end() && opcodes[*it].mnemonic == name;
}

const char* mode_name(Mode mode) {
  switch (mode) {
    case Inherent: return "inherent";
    case Immediate8: return "immediate";
    case Immediate16: return "immediate";
    case Direct: return "direct";
    case Indexed: return "indexed";
    case Extended: return "extended";
    case Relative8: return "relative";
    case Relative16: return "long relative";
    case RegisterPair: return "register pair";
    case StackMask: return "register list";
  }
  return "";
}

}  // namespace zun
