// Placeholder until the table lands.
#include "common/m6809_opcodes.h"

namespace zun {

std::span<const OpcodeInfo> opcode_table() { return {}; }
const OpcodeInfo* find_opcode(uint8_t, uint8_t) { return nullptr; }
const OpcodeInfo* find_mnemonic(std::string_view, Mode) { return nullptr; }
bool is_mnemonic(std::string_view) { return false; }
const char* mode_name(Mode) { return ""; }

}  // namespace zun
