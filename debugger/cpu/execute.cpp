// The instruction cycle: fetch, decode through the page tables, print, and
// (when asked) perform. Handlers are grouped by operation, not by opcode: the
// addressing mode has been dealt with by the operand decoder before an
// operation runs, so one handler serves every mode of an instruction.
#include <cstdio>

#include "debugger/cpu/cpu_internal.h"

namespace zun {

namespace {

constexpr uint8_t NZVC = CC_N | CC_Z | CC_V | CC_C;
constexpr uint8_t NZV = CC_N | CC_Z | CC_V;
constexpr uint8_t HNZVC = CC_H | NZVC;

constexpr uint16_t VECTOR_SWI3 = 0xFFF2;
constexpr uint16_t VECTOR_SWI2 = 0xFFF4;
constexpr uint16_t VECTOR_SWI = 0xFFFA;

uint8_t& acc(Cpu& cpu, Reg r) { return r == Reg::A ? cpu.a : cpu.b; }

uint16_t get16(Cpu& cpu, Reg r) { return r == Reg::D ? get_d(cpu) : reg16(cpu, r); }

void put16(Cpu& cpu, Reg r, uint16_t v) {
  if (r == Reg::D)
    set_d(cpu, v);
  else
    reg16(cpu, r) = v;
}

uint8_t operand8(Cpu& cpu, const Operand& o) {
  return o.immediate ? uint8_t(o.value) : read8(cpu, o.value);
}

uint16_t operand16(Cpu& cpu, const Operand& o) {
  return o.immediate ? o.value : read16(cpu, o.value);
}

// Branch conditions by the low nibble of the short opcode; odd conditions
// are the negation of the even one before them.
bool condition(uint8_t cc, unsigned cond) {
  bool n = cc & CC_N, z = cc & CC_Z, v = cc & CC_V, c = cc & CC_C;
  bool r = true;
  switch (cond >> 1) {
    case 0: r = true; break;          // BRA
    case 1: r = !c && !z; break;      // BHI
    case 2: r = !c; break;            // BCC
    case 3: r = !z; break;            // BNE
    case 4: r = !v; break;            // BVC
    case 5: r = !n; break;            // BPL
    case 6: r = n == v; break;        // BGE
    default: r = n == v && !z; break; // BGT
  }
  return cond & 1 ? !r : r;
}

// The read-modify-write family on one byte.
uint8_t modify(Cpu& cpu, Op op, uint8_t m) {
  switch (op) {
    case Op::Neg: return sub8(cpu, 0, m, 0, NZVC);
    case Op::Com: {
      uint8_t r = uint8_t(~m);
      set_flags(cpu, uint8_t(nz8(r) | CC_C), NZVC);
      return r;
    }
    case Op::Lsr: return shr8(cpu, m, false);
    case Op::Ror: return shr8(cpu, m, cpu.cc & CC_C);
    case Op::Asr: return shr8(cpu, m, m & 0x80);
    case Op::Asl: return shl8(cpu, m, false);
    case Op::Rol: return shl8(cpu, m, cpu.cc & CC_C);
    case Op::Dec: return sub8(cpu, m, 1, 0, NZV);
    case Op::Inc: return add8(cpu, m, 1, 0, NZV);
    case Op::Tst: set_nzv8(cpu, m, NZV); return m;
    default: set_flags(cpu, CC_Z, NZVC); return 0;  // CLR
  }
}

// TST reads and CLR writes memory once; the others read and write back to the
// same effective address, so an auto-incremented operand moves only once.
void read_modify_write(Cpu& cpu, const Decoded& d, const Operand& o) {
  if (d.reg != Reg::Mem) {
    uint8_t& r = acc(cpu, d.reg);
    r = modify(cpu, d.op, r);
  } else if (d.op == Op::Clr) {
    write8(cpu, o.value, modify(cpu, d.op, 0));
  } else if (d.op == Op::Tst) {
    modify(cpu, d.op, read8(cpu, o.value));
  } else {
    write8(cpu, o.value, modify(cpu, d.op, read8(cpu, o.value)));
  }
}

void decimal_adjust(Cpu& cpu) {
  unsigned low = cpu.a & 0x0F, high = cpu.a >> 4;
  uint8_t correction = 0;
  if ((cpu.cc & CC_H) || low > 9) correction |= 0x06;
  if ((cpu.cc & CC_C) || high > 9 || (high > 8 && low > 9)) correction |= 0x60;
  uint8_t old_carry = cpu.cc & CC_C;
  cpu.a = add8(cpu, cpu.a, correction, 0, CC_N | CC_Z | CC_C);
  cpu.cc |= old_carry;
}

void transfer(Cpu& cpu, uint8_t post, bool exchange) {
  unsigned from = post >> 4, to = post & 0x0F;
  uint16_t v1 = transfer_register_read(cpu, from);
  uint16_t v2 = transfer_register_read(cpu, to);
  transfer_register_write(cpu, to, v1);
  if (to == 5) ++cpu.transfers;
  if (!exchange) return;
  transfer_register_write(cpu, from, v2);
  if (from == 5) ++cpu.transfers;
}

void software_interrupt(Cpu& cpu, unsigned number) {
  cpu.cc |= CC_E;
  cpu.pc = uint16_t(cpu.pc + (number == 1 ? 1 : 2));
  push_registers(cpu, Reg::S, 0xFF);
  uint16_t vector = VECTOR_SWI;
  if (number == 1)
    cpu.cc |= CC_I | CC_F;
  else
    vector = number == 2 ? VECTOR_SWI2 : VECTOR_SWI3;
  cpu.pc = read16(cpu, vector);
  ++cpu.transfers;
}

void return_from_interrupt(Cpu& cpu) {
  cpu.cc = pull8(cpu, cpu.s);
  pull_registers(cpu, Reg::S, cpu.cc & CC_E ? 0xFE : 0x80);
  end_of_service(cpu);
}

void jump(Cpu& cpu, uint16_t target) {
  cpu.pc = target;
  ++cpu.transfers;
}

void perform(Cpu& cpu, const Decoded& d, const Operand& o) {
  switch (d.op) {
    case Op::Sub8: acc(cpu, d.reg) = sub8(cpu, acc(cpu, d.reg), operand8(cpu, o), 0, HNZVC); break;
    case Op::Sbc8:
      acc(cpu, d.reg) = sub8(cpu, acc(cpu, d.reg), operand8(cpu, o), cpu.cc & CC_C, HNZVC);
      break;
    case Op::Cmp8: sub8(cpu, acc(cpu, d.reg), operand8(cpu, o), 0, NZVC); break;
    case Op::Add8: acc(cpu, d.reg) = add8(cpu, acc(cpu, d.reg), operand8(cpu, o), 0, HNZVC); break;
    case Op::Adc8:
      acc(cpu, d.reg) = add8(cpu, acc(cpu, d.reg), operand8(cpu, o), cpu.cc & CC_C, HNZVC);
      break;
    case Op::And8: acc(cpu, d.reg) = logic8(cpu, acc(cpu, d.reg) & operand8(cpu, o)); break;
    case Op::Bit8: logic8(cpu, acc(cpu, d.reg) & operand8(cpu, o)); break;
    case Op::Or8: acc(cpu, d.reg) = logic8(cpu, acc(cpu, d.reg) | operand8(cpu, o)); break;
    case Op::Eor8: acc(cpu, d.reg) = logic8(cpu, acc(cpu, d.reg) ^ operand8(cpu, o)); break;
    case Op::Ld8: acc(cpu, d.reg) = logic8(cpu, operand8(cpu, o)); break;
    case Op::St8: write8(cpu, o.value, logic8(cpu, acc(cpu, d.reg))); break;

    case Op::Sub16: set_d(cpu, sub16(cpu, get_d(cpu), operand16(cpu, o))); break;
    case Op::Add16: set_d(cpu, add16(cpu, get_d(cpu), operand16(cpu, o))); break;
    case Op::Cmp16: sub16(cpu, get16(cpu, d.reg), operand16(cpu, o)); break;
    case Op::Ld16: {
      uint16_t v = operand16(cpu, o);
      put16(cpu, d.reg, v);
      set_nzv16(cpu, v, NZV);
      // Loading S is how a service routine that does not return by RTI
      // gives up its interrupt.
      if (d.reg == Reg::S) end_of_service(cpu);
      break;
    }
    case Op::St16: {
      uint16_t v = get16(cpu, d.reg);
      write16(cpu, o.value, v);
      set_nzv16(cpu, v, NZV);
      break;
    }

    case Op::Lea:
      reg16(cpu, d.reg) = o.value;
      if (d.reg == Reg::X || d.reg == Reg::Y) set_flags(cpu, o.value == 0 ? CC_Z : 0, CC_Z);
      break;
    case Op::Jmp: jump(cpu, o.value); break;
    case Op::Jsr:
      push16(cpu, cpu.s, o.next);
      jump(cpu, o.value);
      break;
    case Op::Bsr:
      cpu.pc = o.next;
      push16(cpu, cpu.s, cpu.pc);
      jump(cpu, o.value);
      break;
    case Op::Branch:
      if (condition(cpu.cc, d.arg)) jump(cpu, o.value);
      break;

    case Op::Neg: case Op::Com: case Op::Lsr: case Op::Ror: case Op::Asr: case Op::Asl:
    case Op::Rol: case Op::Dec: case Op::Inc: case Op::Tst: case Op::Clr:
      read_modify_write(cpu, d, o);
      break;

    case Op::Nop: break;
    case Op::Sync: break;  // the simulator does not wait for an interrupt line here
    case Op::Daa: decimal_adjust(cpu); break;
    case Op::Orcc: cpu.cc |= uint8_t(o.value); break;
    case Op::Andcc: cpu.cc &= uint8_t(o.value); break;
    case Op::Sex:
      cpu.a = cpu.b & 0x80 ? 0xFF : 0x00;
      set_flags(cpu, nz8(cpu.b), CC_N | CC_Z);
      break;
    case Op::Exg: transfer(cpu, o.post, true); break;
    case Op::Tfr: transfer(cpu, o.post, false); break;
    case Op::Psh:
      cpu.pc = uint16_t(cpu.pc + 2);  // a pushed PC is the next instruction
      push_registers(cpu, d.reg, o.post);
      break;
    case Op::Pul: pull_registers(cpu, d.reg, o.post); break;
    case Op::Rts: jump(cpu, pull16(cpu, cpu.s)); break;
    case Op::Abx: cpu.x = uint16_t(cpu.x + cpu.b); break;
    case Op::Rti: return_from_interrupt(cpu); break;
    case Op::Cwai:
      cpu.pc = uint16_t(cpu.pc + 2);
      cpu.cc = uint8_t((cpu.cc & o.value) | CC_E);
      push_registers(cpu, Reg::S, 0xFF);
      cpu.waiting = true;
      break;
    case Op::Mul: {
      uint16_t d16 = uint16_t(cpu.a * cpu.b);
      set_d(cpu, d16);
      set_flags(cpu, uint8_t((d16 == 0 ? CC_Z : 0) | (d16 & 0x80 ? CC_C : 0)), CC_Z | CC_C);
      break;
    }
    case Op::Swi: software_interrupt(cpu, d.arg); break;
    case Op::Undefined: break;
  }
}

// An opcode the MC6809 does not define: shown as data, never executed, and PC
// stays on it.
int undefined_opcode(Cpu& cpu, uint8_t opcode, bool execute, size_t text_mark, int& transfers) {
  if (execute) cpu.undefined = true;
  if (cpu.sink) {
    cpu.sink->truncate(text_mark);
    char text[16];
    std::snprintf(text, sizeof text, "FCB   $%2.2X", opcode);
    disasm_append(cpu, text);
  }
  transfers = 0;
  return 1;
}

}  // namespace

int cpu_execute(Cpu& cpu, uint32_t address, bool execute, int& transfers) {
  uint16_t start = uint16_t(address);
  size_t text_mark = cpu.sink ? cpu.sink->size() : 0;
  uint16_t at = start;
  cpu.transfers = 0;

  uint8_t first = fetch8(cpu, at);
  const Decoded* d = &cpu.page1[first];
  if (first == 0x10 || first == 0x11) {
    uint8_t second = fetch8(cpu, at);
    d = first == 0x10 ? &cpu.page2[second] : &cpu.page3[second];
    if (!d->info) {
      // An unknown second byte makes a two-byte instruction without effect.
      if (execute) {
        cpu.pc = at;
        cpu.undefined = true;
      }
      transfers = 0;
      return uint16_t(at - start);
    }
  } else if (!d->info) {
    return undefined_opcode(cpu, first, execute, text_mark, transfers);
  }

  if (cpu.sink) append_mnemonic(cpu, *d->info);
  Operand operand;
  if (!decode_operand(cpu, *d, execute, at, operand))
    return undefined_opcode(cpu, first, execute, text_mark, transfers);
  if (execute) {
    perform(cpu, *d, operand);
    if (cpu.transfers == 0) cpu.pc = operand.next;
  }
  transfers = cpu.transfers;
  return uint16_t(operand.next - start);
}

int cpu_step_traced(Cpu& cpu, uint32_t address, bool execute, int& transfers) {
  if (!execute) return cpu_execute(cpu, address, false, transfers);
  if (cpu.hooks) cpu.hooks->device_pre_step();
  int length = cpu_execute(cpu, address, true, transfers);
  if (cpu.hooks) cpu.hooks->device_post_step();
  return length;
}

bool is_call_opcode(uint8_t opcode) {
  return opcode == 0x9D || opcode == 0xAD || opcode == 0xBD || opcode == 0x8D || opcode == 0x17;
}

bool is_return_opcode(uint8_t opcode) { return opcode == 0x39 || opcode == 0x3B; }

}  // namespace zun
