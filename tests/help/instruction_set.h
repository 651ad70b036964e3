// The manual's instruction set page, made from the opcode table that the
// assembler, the disassembler and the CPU core share (mnemonics, modes,
// opcodes, bytes, cycles) and from the core itself: the flag columns say what
// the core did to each CC bit when it executed the instruction over many
// register and memory values.
#pragma once

#include <string>

namespace zun {
struct OpcodeInfo;
}

namespace zun::help {

// One character per CC bit, E F H I N Z V C: '-' never changed, '0' always
// cleared, '1' always set, '*' set from the result (or loaded).
std::string flags_of(const OpcodeInfo& op);

// The whole page, data/help/instructions.html.
std::string instruction_set_page();

}  // namespace zun::help
