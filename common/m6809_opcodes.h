// The MC6809 instruction table: one row per documented opcode of the three
// opcode pages, with the facts of the Motorola datasheet only (mnemonic,
// addressing mode, page and opcode, length, base cycles). The assembler's
// encoder, the CPU core and the disassembler all read it; accepted spellings,
// forced modes and illegal-opcode behaviour belong to each tool.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zun {

enum class Mode : uint8_t {
  Inherent,
  Immediate8,
  Immediate16,
  Direct,
  Indexed,
  Extended,
  Relative8,
  Relative16,
  RegisterPair,  // TFR, EXG: one post-byte of two register codes
  StackMask,     // PSHS, PULS, PSHU, PULU: one post-byte of register bits
};

struct OpcodeInfo {
  const char* mnemonic;  // upper case, as the datasheet writes it
  Mode mode;
  uint8_t page;    // 0, or the prefix byte 0x10 / 0x11
  uint8_t opcode;
  uint8_t length;  // bytes with the page prefix and the operand, without indexed extras
  uint8_t cycles;  // datasheet base cycles, without indexed extras; see the table for minimums
};

// Every row, in datasheet order (page 0 by opcode, then page 0x10, then 0x11).
std::span<const OpcodeInfo> opcode_table();

// The row of a page (0, 0x10 or 0x11) and opcode; nullptr for an undefined
// opcode or page.
const OpcodeInfo* find_opcode(uint8_t page, uint8_t opcode);

// The row of a mnemonic (any case) in a mode; nullptr when the mnemonic has no
// such mode. The datasheet's second names LSL/LSLA/LSLB, BHS, BLO, LBHS and
// LBLO find the rows of ASL/ASLA/ASLB, BCC, BCS, LBCC and LBCS.
const OpcodeInfo* find_mnemonic(std::string_view mnemonic, Mode mode);

// True when the mnemonic (any case, second names included) has any row.
bool is_mnemonic(std::string_view mnemonic);

// "inherent", "immediate", "direct", ... for messages and dumps.
const char* mode_name(Mode mode);

}  // namespace zun
