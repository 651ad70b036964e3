// Register access by the register index that the register panel, the
// register edits and the debugger share, and the cycle counter that the
// board's timer model advances.
#include "debugger/cpu/cpu_internal.h"

namespace zun {

Cpu::Cpu(Bus& bus_, CpuHooks* hooks_) : bus(&bus_), hooks(hooks_) { build_decode_tables(*this); }

uint32_t cpu_get_register(const Cpu& cpu, int index) {
  switch (index) {
    case REG_PC: return cpu.pc;
    case REG_S: return cpu.s;
    case REG_CC: return cpu.cc;
    case REG_DP: return cpu.dp;
    case REG_A: return cpu.a;
    case REG_B: return cpu.b;
    case REG_X: return cpu.x;
    case REG_Y: return cpu.y;
    case REG_U: return cpu.u;
    default: return 0;
  }
}

// Values wider than the register keep their low bits.
void cpu_set_register(Cpu& cpu, int index, uint32_t value) {
  switch (index) {
    case REG_PC: cpu.pc = uint16_t(value); break;
    case REG_S: cpu.s = uint16_t(value); break;
    case REG_CC: cpu.cc = uint8_t(value); break;
    case REG_DP: cpu.dp = uint8_t(value); break;
    case REG_A: cpu.a = uint8_t(value); break;
    case REG_B: cpu.b = uint8_t(value); break;
    case REG_X: cpu.x = uint16_t(value); break;
    case REG_Y: cpu.y = uint16_t(value); break;
    case REG_U: cpu.u = uint16_t(value); break;
    default: break;
  }
}

int cpu_register_bits(int index) {
  switch (index) {
    case REG_PC: case REG_S: case REG_X: case REG_Y: case REG_U: return 16;
    case REG_CC: case REG_DP: case REG_A: case REG_B: return 8;
    default: return 100;
  }
}

int cpu_register_radix(int index) {
  if (index == REG_CC) return 2;
  return index >= REG_PC && index <= REG_U ? 16 : 0;
}

uint16_t cpu_get_pc(const Cpu& cpu) { return cpu.pc; }
void cpu_set_pc(Cpu& cpu, uint32_t value) { cpu.pc = uint16_t(value); }
uint16_t cpu_get_s(const Cpu& cpu) { return cpu.s; }

uint32_t cycle_counter_get(const Cpu& cpu) { return cpu.cycle_counter; }
void cycle_counter_add(Cpu& cpu, uint32_t n) { cpu.cycle_counter += n; }

}  // namespace zun
