// Operand decoding: fetches the operand bytes of every addressing mode,
// prints the operand and works out the immediate value or effective address.
// Register side effects (auto increment and decrement) and the indirect read
// happen only when executing, so disassembly never changes the machine.
#include <cstdio>

#include "debugger/cpu/cpu_internal.h"

namespace zun {

namespace {

constexpr const char* index_names[4] = {"X", "Y", "U", "S"};
constexpr Reg index_regs[4] = {Reg::X, Reg::Y, Reg::U, Reg::S};

// Text is only formatted when somebody reads it.
void append_format(Cpu& cpu, const char* fmt, int value) {
  if (!cpu.sink) return;
  char text[32];
  std::snprintf(text, sizeof text, fmt, value);
  disasm_append(cpu, text);
}

void append_offset(Cpu& cpu, int offset, const char* reg) {
  if (!cpu.sink) return;
  char text[32];
  std::snprintf(text, sizeof text, "%d,%s", offset, reg);
  disasm_append(cpu, text);
}

void append_register(Cpu& cpu, const char* before, const char* name, const char* after) {
  if (!cpu.sink) return;
  disasm_append(cpu, before);
  disasm_append(cpu, name);
  disasm_append(cpu, after);
}

// The indexed post-byte and its extra bytes. Returns false for the low
// nibbles 7, 10 and 14 of the indirect/extended forms, which the MC6809 does
// not define.
bool decode_indexed(Cpu& cpu, bool execute, uint16_t& at, uint16_t& ea) {
  uint8_t post = fetch8(cpu, at);
  unsigned which = (post >> 5) & 3;
  const char* name = index_names[which];
  uint16_t& r = reg16(cpu, index_regs[which]);

  if (!(post & 0x80)) {
    int offset = post & 0x0F;
    if (post & 0x10) offset -= 16;
    append_offset(cpu, offset, name);
    ea = uint16_t(r + offset);
    return true;
  }

  unsigned nibble = post & 0x0F;
  if (nibble == 7 || nibble == 10 || nibble == 14) return false;
  bool indirect = post & 0x10;
  if (indirect) disasm_append(cpu, "[");
  int offset;
  switch (nibble) {
    case 0x0:
      ea = r;
      append_register(cpu, ",", name, "+");
      if (execute) r = uint16_t(r + 1);
      break;
    case 0x1:
      ea = r;
      append_register(cpu, ",", name, "++");
      if (execute) r = uint16_t(r + 2);
      break;
    case 0x2:
      ea = uint16_t(r - 1);
      append_register(cpu, ",-", name, "");
      if (execute) r = ea;
      break;
    case 0x3:
      ea = uint16_t(r - 2);
      append_register(cpu, ",--", name, "");
      if (execute) r = ea;
      break;
    case 0x4:
      ea = r;
      append_register(cpu, ",", name, "");
      break;
    case 0x5:
      ea = uint16_t(r + int8_t(cpu.b));
      append_register(cpu, "B,", name, "");
      break;
    case 0x6:
      ea = uint16_t(r + int8_t(cpu.a));
      append_register(cpu, "A,", name, "");
      break;
    case 0x8:
      offset = int8_t(fetch8(cpu, at));
      append_offset(cpu, offset, name);
      ea = uint16_t(r + offset);
      break;
    case 0x9:
      offset = int16_t(fetch16(cpu, at));
      append_offset(cpu, offset, name);
      ea = uint16_t(r + offset);
      break;
    case 0xB:
      ea = uint16_t(r + get_d(cpu));
      append_register(cpu, "D,", name, "");
      break;
    case 0xC:
      offset = int8_t(fetch8(cpu, at));
      ea = uint16_t(at + offset);
      append_format(cpu, "$%4.4X,PCR", ea);
      break;
    case 0xD:
      offset = int16_t(fetch16(cpu, at));
      ea = uint16_t(at + offset);
      append_format(cpu, "$%4.4X,PCR", ea);
      break;
    default:  // 0xF: an absolute address, meant to be used indirectly
      ea = fetch16(cpu, at);
      append_format(cpu, "$%4.4X", ea);
      break;
  }
  if (indirect) {
    disasm_append(cpu, "]");
    if (execute) ea = read16(cpu, ea);
  }
  return true;
}

// The operand text, once the operand is known. `raw` is the byte or word
// that followed the opcode.
void append_operand(Cpu& cpu, const Decoded& d, uint16_t raw, const Operand& out) {
  switch (d.mode) {
    case Mode::Immediate8: append_format(cpu, "#$%2.2X", raw); break;
    case Mode::Immediate16: append_format(cpu, "#$%4.4X", raw); break;
    case Mode::Direct: append_format(cpu, "<$%2.2X", raw); break;
    case Mode::Extended:
    case Mode::Relative8:
    case Mode::Relative16: append_format(cpu, "$%4.4X", out.value); break;
    case Mode::RegisterPair:
      disasm_append(cpu, transfer_register_name(out.post >> 4));
      disasm_append(cpu, ",");
      disasm_append(cpu, transfer_register_name(out.post & 0x0F));
      break;
    case Mode::StackMask: append_register_list(cpu, d.reg, out.post, d.op == Op::Pul); break;
    case Mode::Inherent:
    case Mode::Indexed: break;
  }
}

}  // namespace

// Written as a few tests rather than one switch over the mode: this runs for
// every instruction, and the tests are cheaper to predict than a jump table.
bool decode_operand(Cpu& cpu, const Decoded& d, bool execute, uint16_t at, Operand& out) {
  Mode mode = d.mode;
  if (mode == Mode::Inherent) {
    out.next = at;
    return true;
  }
  if (mode == Mode::Indexed) {
    bool ok = decode_indexed(cpu, execute, at, out.value);
    out.next = at;
    return ok;
  }

  bool wide = mode == Mode::Immediate16 || mode == Mode::Extended || mode == Mode::Relative16;
  uint16_t raw = wide ? fetch16(cpu, at) : fetch8(cpu, at);
  uint16_t value = raw;
  if (mode == Mode::Direct)
    value = uint16_t(cpu.dp << 8 | raw);
  else if (mode == Mode::Relative8)
    value = uint16_t(at + int8_t(raw));
  else if (mode == Mode::Relative16)
    value = uint16_t(at + raw);
  out.value = value;
  out.next = at;
  out.post = uint8_t(raw);
  out.immediate = mode == Mode::Immediate8 || mode == Mode::Immediate16;
  if (cpu.sink) append_operand(cpu, d, raw, out);
  return true;
}

// ---- TFR and EXG register codes ----

const char* transfer_register_name(unsigned code) {
  switch (code) {
    case 0: return "D";
    case 1: return "X";
    case 2: return "Y";
    case 3: return "U";
    case 4: return "S";
    case 5: return "PC";
    case 8: return "A";
    case 9: return "B";
    case 10: return "CC";
    case 11: return "DP";
    default: return "";
  }
}

// PC holds the instruction's own address; as a source it stands for the next
// instruction, two bytes on. 8-bit registers are zero-extended.
uint16_t transfer_register_read(const Cpu& cpu, unsigned code) {
  switch (code) {
    case 0: return get_d(cpu);
    case 1: return cpu.x;
    case 2: return cpu.y;
    case 3: return cpu.u;
    case 4: return cpu.s;
    case 5: return uint16_t(cpu.pc + 2);
    case 8: return cpu.a;
    case 9: return cpu.b;
    case 10: return cpu.cc;
    case 11: return cpu.dp;
    default: return 0;
  }
}

// An 8-bit destination keeps the low byte; an unknown code is not written.
void transfer_register_write(Cpu& cpu, unsigned code, uint16_t value) {
  switch (code) {
    case 0: set_d(cpu, value); break;
    case 1: cpu.x = value; break;
    case 2: cpu.y = value; break;
    case 3: cpu.u = value; break;
    case 4: cpu.s = value; break;
    case 5: cpu.pc = value; break;
    case 8: cpu.a = uint8_t(value); break;
    case 9: cpu.b = uint8_t(value); break;
    case 10: cpu.cc = uint8_t(value); break;
    case 11: cpu.dp = uint8_t(value); break;
    default: break;
  }
}

}  // namespace zun
