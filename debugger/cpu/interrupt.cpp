// The stack and everything that uses it outside the ALU: PSH/PUL register
// lists, hardware interrupt entry, the end of an interrupt's service, and
// reset. Software interrupts, CWAI and RTI are instructions and live with the
// other handlers; they call the stack operations here.
#include "debugger/cpu/cpu_internal.h"

namespace zun {

namespace {

constexpr uint16_t VECTOR_FIRQ = 0xFFF6;
constexpr uint16_t VECTOR_IRQ = 0xFFF8;
constexpr uint16_t VECTOR_NMI = 0xFFFC;
constexpr uint16_t VECTOR_RESET = 0xFFFE;

// PSH/PUL post-byte bits, from 0x80 (PC) down to 0x01 (CC). Bit 0x40 is the
// other stack pointer: U on the S stack, S on the U stack.
constexpr const char* push_names[8] = {"PC", "", "Y", "X", "DP", "B", "A", "CC"};

}  // namespace

// Pushes walk the bits from 0x80 down, so memory ends up holding CC at the
// lowest address and PC at the highest, each word high byte first.
void push_registers(Cpu& cpu, Reg stack, uint8_t mask) {
  uint16_t& sp = reg16(cpu, stack);
  uint16_t other = stack == Reg::S ? cpu.u : cpu.s;
  if (mask & 0x80) push16(cpu, sp, cpu.pc);
  if (mask & 0x40) push16(cpu, sp, other);
  if (mask & 0x20) push16(cpu, sp, cpu.y);
  if (mask & 0x10) push16(cpu, sp, cpu.x);
  if (mask & 0x08) push8(cpu, sp, cpu.dp);
  if (mask & 0x04) push8(cpu, sp, cpu.b);
  if (mask & 0x02) push8(cpu, sp, cpu.a);
  if (mask & 0x01) push8(cpu, sp, cpu.cc);
}

void pull_registers(Cpu& cpu, Reg stack, uint8_t mask) {
  uint16_t& sp = reg16(cpu, stack);
  if (mask & 0x01) cpu.cc = pull8(cpu, sp);
  if (mask & 0x02) cpu.a = pull8(cpu, sp);
  if (mask & 0x04) cpu.b = pull8(cpu, sp);
  if (mask & 0x08) cpu.dp = pull8(cpu, sp);
  if (mask & 0x10) cpu.x = pull16(cpu, sp);
  if (mask & 0x20) cpu.y = pull16(cpu, sp);
  if (mask & 0x40) {
    uint16_t v = pull16(cpu, sp);
    (stack == Reg::S ? cpu.u : cpu.s) = v;
  }
  if (mask & 0x80) {
    cpu.pc = pull16(cpu, sp);
    ++cpu.transfers;
  }
}

// The names in the order the instruction handles them.
void append_register_list(Cpu& cpu, Reg stack, uint8_t mask, bool pull) {
  bool first = true;
  for (int i = 0; i < 8; ++i) {
    int bit = pull ? 7 - i : i;  // index into push_names, 0 = 0x80
    if (!(mask & (0x80 >> bit))) continue;
    if (!first) disasm_append(cpu, ",");
    first = false;
    const char* name = push_names[bit];
    if (bit == 1) name = stack == Reg::S ? "U" : "S";
    disasm_append(cpu, name);
  }
}

// Only an interrupt actually in service is reported; kinds outside 1-7 are
// never passed on, so the engine can index its lamps with what it receives.
void end_of_service(Cpu& cpu) {
  int kind = cpu.in_service;
  cpu.in_service = IRQ_NONE;
  if (kind >= 1 && kind <= 7 && cpu.hooks) cpu.hooks->sim_end_of_service(kind);
}

int cpu_interrupt(Cpu& cpu, int kind) {
  uint16_t vector;
  uint8_t masks;
  bool refused;
  switch (kind) {
    case IRQ_IRQ:
      vector = VECTOR_IRQ;
      masks = CC_I;
      refused = cpu.cc & CC_I;
      break;
    case IRQ_FIRQ:
      vector = VECTOR_FIRQ;
      masks = CC_I | CC_F;
      refused = cpu.cc & CC_F;
      break;
    case IRQ_NMI:
      vector = VECTOR_NMI;
      masks = CC_I | CC_F;
      refused = false;
      break;
    default:
      return 0;
  }
  if (refused) return 0;

  // After CWAI the whole state is on the stack already.
  if (cpu.waiting) {
    cpu.waiting = false;
  } else if (kind == IRQ_FIRQ) {
    cpu.cc &= uint8_t(~CC_E);
    push_registers(cpu, Reg::S, 0x81);
  } else {
    cpu.cc |= CC_E;
    push_registers(cpu, Reg::S, 0xFF);
  }
  cpu.cc |= masks;
  cpu.pc = read16(cpu, vector);
  ++cpu.transfers;
  cpu.in_service = kind;
  return 1;
}

// As the MC6809: DP to $00 (programs use direct addressing before they set
// it) and I and F set. The chip leaves the other registers undefined; they are
// cleared, except U, which keeps the value the user or the program gave it.
void cpu_reset(Cpu& cpu, bool full) {
  cpu.cc = CC_I | CC_F;
  cpu.a = cpu.b = cpu.dp = 0;
  cpu.x = cpu.y = cpu.s = cpu.pc = 0;
  cpu.waiting = false;
  cpu.in_service = IRQ_NONE;
  if (cpu.hooks) {
    if (full)
      cpu.hooks->board_reset_devices();
    else
      cpu.hooks->timer_reset();
  }
  if (full) cpu.pc = read16(cpu, VECTOR_RESET);
}

}  // namespace zun
