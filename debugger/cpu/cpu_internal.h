// Shared between the CPU core's source files: the operation kinds the decoder
// assigns, the memory and stack access, and the ALU. The ALU and memory
// helpers are inline because every executed instruction passes through them.
#pragma once

#include <cstdint>

#include "common/m6809_opcodes.h"
#include "debugger/cpu/cpu.h"

namespace zun {

// What an opcode does, independent of its addressing mode.
enum class Op : uint8_t {
  Undefined,
  // accumulator and memory, 8 bits
  Sub8, Cmp8, Sbc8, And8, Bit8, Ld8, St8, Eor8, Adc8, Or8, Add8,
  // 16-bit register and memory
  Sub16, Add16, Cmp16, Ld16, St16,
  Lea, Jmp, Jsr, Bsr, Branch,
  // read-modify-write on A, B or memory
  Neg, Com, Lsr, Ror, Asr, Asl, Rol, Dec, Inc, Tst, Clr,
  // everything else
  Nop, Sync, Daa, Orcc, Andcc, Sex, Exg, Tfr, Psh, Pul,
  Rts, Abx, Rti, Cwai, Mul, Swi,
};

enum class Reg : uint8_t { None, A, B, D, X, Y, U, S, Mem };

// ---- decode.cpp ----

// Fills the three page tables of the CPU from the shared opcode table.
void build_decode_tables(Cpu& cpu);

// Appends the mnemonic as printed: padded to six characters when an operand
// follows, bare for inherent instructions (ROLA and ROLB excepted).
void append_mnemonic(Cpu& cpu, const OpcodeInfo& info);

// ---- operand.cpp ----

// An operand after decoding: an immediate value, or an effective address.
struct Operand {
  uint16_t value = 0;  // the immediate value, the EA or the branch target
  uint16_t next = 0;   // fetch address after the operand: the next instruction
  uint8_t post = 0;    // post-byte of TFR, EXG, PSH and PUL
  bool immediate = false;
};

// Fetches the operand bytes of `mode` from `at` on, appends the operand text
// and, when executing, applies the side effects of the indexed modes (auto
// increment, indirection). Returns false for an indexed post-byte that the
// MC6809 does not define.
bool decode_operand(Cpu& cpu, const Decoded& d, bool execute, uint16_t at, Operand& out);

// The name TFR and EXG print for a register code, "" for an unknown code.
const char* transfer_register_name(unsigned code);
uint16_t transfer_register_read(const Cpu& cpu, unsigned code);
void transfer_register_write(Cpu& cpu, unsigned code, uint16_t value);

// ---- stack.cpp ----

void push_registers(Cpu& cpu, Reg stack, uint8_t mask);
void pull_registers(Cpu& cpu, Reg stack, uint8_t mask);
void append_register_list(Cpu& cpu, Reg stack, uint8_t mask, bool pull);
void end_of_service(Cpu& cpu);

// ---- memory access ----
// Plain memory straight from the bus's pages, everything else through its
// calls.

inline uint8_t read8(Cpu& cpu, uint16_t addr) {
  if (const uint8_t* page = cpu.bus->read_pages[addr >> 8]) return page[addr & 0xFF];
  uint8_t v = 0;
  cpu.bus->board_read(addr, v);
  return v;
}

inline uint16_t read16(Cpu& cpu, uint16_t addr) {
  uint8_t hi = read8(cpu, addr);
  return uint16_t(hi << 8 | read8(cpu, uint16_t(addr + 1)));
}

inline void write8(Cpu& cpu, uint16_t addr, uint8_t v) {
  if (uint8_t* page = cpu.bus->write_pages[addr >> 8])
    page[addr & 0xFF] = v;
  else
    cpu.bus->board_write(addr, v);  // a refused write (ROM) is simply lost
}

inline void write16(Cpu& cpu, uint16_t addr, uint16_t v) {
  write8(cpu, addr, uint8_t(v >> 8));
  write8(cpu, uint16_t(addr + 1), uint8_t(v));
}

// Instruction bytes are read at the fetch address `at`, which each fetch
// advances; it is a local of the instruction cycle so that it stays in a
// register across the board calls. A failed fetch yields 0xFF and does not
// advance; a read the board answers without a byte gives 0, as in read8.
inline uint8_t fetch8(Cpu& cpu, uint16_t& at) {
  uint8_t v;
  if (const uint8_t* page = cpu.bus->read_pages[at >> 8]) {
    v = page[at & 0xFF];
  } else {
    v = 0;
    if (cpu.bus->board_read(at, v) != 0) return 0xFF;
  }
  at = uint16_t(at + 1);
  return v;
}

inline uint16_t fetch16(Cpu& cpu, uint16_t& at) {
  uint8_t hi = fetch8(cpu, at);
  return uint16_t(hi << 8 | fetch8(cpu, at));
}

inline uint16_t& reg16(Cpu& cpu, Reg r) {
  switch (r) {
    case Reg::X: return cpu.x;
    case Reg::Y: return cpu.y;
    case Reg::U: return cpu.u;
    default: return cpu.s;
  }
}

inline uint16_t get_d(const Cpu& cpu) { return uint16_t(cpu.a << 8 | cpu.b); }
inline void set_d(Cpu& cpu, uint16_t v) {
  cpu.a = uint8_t(v >> 8);
  cpu.b = uint8_t(v);
}

inline void push8(Cpu& cpu, uint16_t& sp, uint8_t v) {
  sp = uint16_t(sp - 1);
  write8(cpu, sp, v);
}

inline void push16(Cpu& cpu, uint16_t& sp, uint16_t v) {
  push8(cpu, sp, uint8_t(v));
  push8(cpu, sp, uint8_t(v >> 8));
}

inline uint8_t pull8(Cpu& cpu, uint16_t& sp) {
  uint8_t v = read8(cpu, sp);
  sp = uint16_t(sp + 1);
  return v;
}

inline uint16_t pull16(Cpu& cpu, uint16_t& sp) {
  uint8_t hi = pull8(cpu, sp);
  return uint16_t(hi << 8 | pull8(cpu, sp));
}

// ---- ALU ----

// Replaces in CC exactly the bits named by `mask`.
inline void set_flags(Cpu& cpu, uint8_t flags, uint8_t mask) {
  cpu.cc = uint8_t((cpu.cc & ~mask) | (flags & mask));
}

inline uint8_t nz8(uint8_t r) {
  return uint8_t((r == 0 ? CC_Z : 0) | (r & 0x80 ? CC_N : 0));
}

inline uint8_t nz16(uint16_t r) {
  return uint8_t((r == 0 ? CC_Z : 0) | (r & 0x8000 ? CC_N : 0));
}

// N and Z from the value, V cleared, within `mask`.
inline void set_nzv8(Cpu& cpu, uint8_t v, uint8_t mask) { set_flags(cpu, nz8(v), mask); }
inline void set_nzv16(Cpu& cpu, uint16_t v, uint8_t mask) { set_flags(cpu, nz16(v), mask); }

// a + b + carry; H, N, Z, V, C as the datasheet gives them for ADD/ADC.
inline uint8_t add8(Cpu& cpu, uint8_t a, uint8_t b, unsigned carry, uint8_t mask) {
  unsigned r = a + b + carry;
  uint8_t f = nz8(uint8_t(r));
  if (((a & 0x0F) + (b & 0x0F) + carry) > 0x0F) f |= CC_H;
  if (r > 0xFF) f |= CC_C;
  if (~(a ^ b) & (a ^ r) & 0x80) f |= CC_V;
  set_flags(cpu, f, mask);
  return uint8_t(r);
}

// a - b - borrow, done as a + ~b + !borrow with C inverted afterwards so that
// C is the borrow; H is left as that addition computes it.
inline uint8_t sub8(Cpu& cpu, uint8_t a, uint8_t b, unsigned borrow, uint8_t mask) {
  uint8_t nb = uint8_t(~b);
  unsigned r = a + nb + (borrow ? 0u : 1u);
  uint8_t f = nz8(uint8_t(r));
  if (((a & 0x0F) + (nb & 0x0F) + (borrow ? 0u : 1u)) > 0x0F) f |= CC_H;
  if (r <= 0xFF) f |= CC_C;
  if (~(a ^ nb) & (a ^ r) & 0x80) f |= CC_V;
  set_flags(cpu, f, mask);
  return uint8_t(r);
}

inline uint8_t logic8(Cpu& cpu, uint8_t r) {
  set_flags(cpu, nz8(r), CC_N | CC_Z | CC_V);
  return r;
}

// Right shift through C: `in` is the bit entering at bit 7.
inline uint8_t shr8(Cpu& cpu, uint8_t a, bool in) {
  uint8_t r = uint8_t(a >> 1 | (in ? 0x80 : 0));
  set_flags(cpu, uint8_t(nz8(r) | (a & 1 ? CC_C : 0)), CC_N | CC_Z | CC_C);
  return r;
}

// Left shift through C: C is the old bit 7, V old bit 7 XOR bit 6; `in` enters at bit 0.
inline uint8_t shl8(Cpu& cpu, uint8_t a, bool in) {
  uint8_t r = uint8_t(a << 1 | (in ? 1 : 0));
  uint8_t f = nz8(r);
  if (a & 0x80) f |= CC_C;
  if ((a ^ (a << 1)) & 0x80) f |= CC_V;
  set_flags(cpu, f, CC_N | CC_Z | CC_V | CC_C);
  return r;
}

inline uint16_t add16(Cpu& cpu, uint16_t a, uint16_t b) {
  uint32_t r = uint32_t(a) + b;
  uint8_t f = nz16(uint16_t(r));
  if (r > 0xFFFF) f |= CC_C;
  if (~(a ^ b) & (a ^ r) & 0x8000) f |= CC_V;
  set_flags(cpu, f, CC_N | CC_Z | CC_V | CC_C);
  return uint16_t(r);
}

inline uint16_t sub16(Cpu& cpu, uint16_t a, uint16_t b) {
  uint16_t nb = uint16_t(~b);
  uint32_t r = uint32_t(a) + nb + 1;
  uint8_t f = nz16(uint16_t(r));
  if (r <= 0xFFFF) f |= CC_C;
  if (~(a ^ nb) & (a ^ r) & 0x8000) f |= CC_V;
  set_flags(cpu, f, CC_N | CC_Z | CC_V | CC_C);
  return uint16_t(r);
}

}  // namespace zun
