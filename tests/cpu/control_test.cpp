// Control flow and machine state: branch conditions, the stack for every
// register mask, interrupt entry and return, CWAI, reset, the register index
// and the hooks towards the board and the engine.
#include <gtest/gtest.h>

#include <vector>

#include "common/m6809_opcodes.h"
#include "tests/cpu/cpu_test_support.h"

namespace zun::test {
namespace {

constexpr uint8_t N = CC_N, Z = CC_Z, V = CC_V, C = CC_C;

struct BranchCase {
  int opcode;  // short form; the long form is 0x10 and the same byte
  uint8_t cc;
  bool taken;
};

constexpr BranchCase branch_cases[] = {
    {0x20, 0, true},      {0x20, N | Z | V | C, true},
    {0x21, 0, false},     {0x21, N | Z | V | C, false},
    {0x22, 0, true},      {0x22, Z, false},         {0x22, C, false},      {0x22, N | V, true},
    {0x23, C, true},      {0x23, Z, true},          {0x23, 0, false},
    {0x24, 0, true},      {0x24, C, false},
    {0x25, C, true},      {0x25, 0, false},
    {0x26, 0, true},      {0x26, Z, false},
    {0x27, Z, true},      {0x27, 0, false},
    {0x28, 0, true},      {0x28, V, false},
    {0x29, V, true},      {0x29, 0, false},
    {0x2A, 0, true},      {0x2A, N, false},
    {0x2B, N, true},      {0x2B, 0, false},
    {0x2C, 0, true},      {0x2C, N | V, true},      {0x2C, N, false},      {0x2C, V, false},
    {0x2D, N, true},      {0x2D, V, true},          {0x2D, 0, false},      {0x2D, N | V, false},
    {0x2E, 0, true},      {0x2E, N | V, true},      {0x2E, Z, false},      {0x2E, N, false},
    {0x2E, N | V | Z, false},
    {0x2F, Z, true},      {0x2F, N, true},          {0x2F, V, true},       {0x2F, 0, false},
    {0x2F, N | V, false},
};

TEST(CpuBranch, EveryConditionTakenAndNotTaken) {
  for (const BranchCase& b : branch_cases) {
    SCOPED_TRACE(testing::Message() << std::hex << b.opcode << " cc " << int(b.cc));
    Machine m;
    m.load(0x1000, {b.opcode, 0x10});
    m.cpu.cc = b.cc;
    EXPECT_EQ(m.step(), 2);
    EXPECT_EQ(m.cpu.pc, b.taken ? 0x1012 : 0x1002);
    EXPECT_EQ(m.transfers, b.taken ? 1 : 0);
    EXPECT_EQ(m.cpu.cc, b.cc);
    if (b.opcode == 0x20) continue;  // LBRA has an opcode of its own

    Machine l;
    l.load(0x1000, {0x10, b.opcode, 0xF0, 0x00});
    l.cpu.cc = b.cc;
    EXPECT_EQ(l.step(), 4);
    EXPECT_EQ(l.cpu.pc, b.taken ? 0x0004 : 0x1004);
  }
}

// LBRN is the one long conditional branch that is never taken, so it always
// takes its 5 cycles; the others take one more when they branch.
TEST(CpuBranch, LbrnNeverBranchesAndTakesFiveCycles) {
  Machine m;
  for (int opcode = 0x21; opcode <= 0x2F; ++opcode) {
    SCOPED_TRACE(testing::Message() << std::hex << "10 " << opcode);
    ASSERT_NE(m.cpu.page2[opcode].info, nullptr);
    EXPECT_EQ(m.cpu.page2[opcode].info->cycles, 5);
    EXPECT_EQ(m.cpu.page1[opcode].info->cycles, 3);
    int taken = 0;
    for (int cc = 0; cc < 256; ++cc) {
      m.load(0x1000, {0x10, opcode, 0x12, 0x34});
      m.cpu.pc = 0x1000;
      m.cpu.cc = uint8_t(cc);
      EXPECT_EQ(m.step(), 4);
      taken += m.cpu.pc != 0x1004;
    }
    if (opcode == 0x21)
      EXPECT_EQ(taken, 0);
    else
      EXPECT_GT(taken, 0);
  }
}

TEST(CpuBranch, TargetsWrapAtSixteenBits) {
  Machine m;
  m.load(0xFFFE, {0x20, 0x10});
  m.cpu.pc = 0xFFFE;
  m.step();
  EXPECT_EQ(m.cpu.pc, 0x0010);

  m.load(0x0002, {0x16, 0xFF, 0xF0});  // LBRA backwards past 0
  m.cpu.pc = 0x0002;
  m.step();
  EXPECT_EQ(m.cpu.pc, 0xFFF5);
}

TEST(CpuWrap, InstructionStraddlingTheTopOfMemory) {
  Machine m;
  m.load(0xFFFE, {0x8E, 0x12});
  m.load(0x0000, {0x34});
  m.cpu.pc = 0xFFFE;
  EXPECT_EQ(m.step(), 3);
  EXPECT_EQ(m.cpu.x, 0x1234);
  EXPECT_EQ(m.cpu.pc, 0x0001);
}

// Datasheet stacking order: from the lowest address CC, A, B, DP, X, Y, U/S, PC.
std::vector<uint8_t> stacked(uint8_t mask, uint16_t other) {
  std::vector<uint8_t> out;
  if (mask & 0x01) out.push_back(0xCC);
  if (mask & 0x02) out.push_back(0xAA);
  if (mask & 0x04) out.push_back(0xBB);
  if (mask & 0x08) out.push_back(0xDD);
  if (mask & 0x10) out.insert(out.end(), {0x11, 0x22});
  if (mask & 0x20) out.insert(out.end(), {0x33, 0x44});
  if (mask & 0x40) out.insert(out.end(), {uint8_t(other >> 8), uint8_t(other)});
  if (mask & 0x80) out.insert(out.end(), {0x10, 0x02});
  return out;
}

TEST(CpuStack, PushAndPullEveryMaskOnBothStacks) {
  for (int use_u = 0; use_u < 2; ++use_u) {
    for (int mask = 1; mask < 256; ++mask) {
      SCOPED_TRACE(testing::Message() << (use_u ? "U " : "S ") << mask);
      Machine m;
      m.load(0x1000, {use_u ? 0x36 : 0x34, mask});
      m.cpu.cc = 0xCC, m.cpu.a = 0xAA, m.cpu.b = 0xBB, m.cpu.dp = 0xDD;
      m.cpu.x = 0x1122, m.cpu.y = 0x3344, m.cpu.s = 0x8000, m.cpu.u = 0x6000;
      uint16_t other = use_u ? 0x8000 : 0x6000;
      EXPECT_EQ(m.step(), 2);
      std::vector<uint8_t> expected = stacked(uint8_t(mask), other);
      uint16_t sp = use_u ? m.cpu.u : m.cpu.s;
      ASSERT_EQ(sp, (use_u ? 0x6000 : 0x8000) - expected.size());
      for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(m.mem.bytes[sp + i], expected[i]) << i;

      // Pull the same mask back into a cleared machine.
      m.load(0x1002, {use_u ? 0x37 : 0x35, mask});
      m.cpu.cc = m.cpu.a = m.cpu.b = m.cpu.dp = 0;
      m.cpu.x = m.cpu.y = 0;
      (use_u ? m.cpu.s : m.cpu.u) = 0;
      EXPECT_EQ(m.step(), 2);
      EXPECT_EQ(m.transfers, mask & 0x80 ? 1 : 0);
      EXPECT_EQ(m.cpu.pc, mask & 0x80 ? 0x1002 : 0x1004);  // a pulled PC is the PSH's next instruction
      EXPECT_EQ(m.cpu.cc, mask & 0x01 ? 0xCC : 0);
      EXPECT_EQ(m.cpu.a, mask & 0x02 ? 0xAA : 0);
      EXPECT_EQ(m.cpu.b, mask & 0x04 ? 0xBB : 0);
      EXPECT_EQ(m.cpu.dp, mask & 0x08 ? 0xDD : 0);
      EXPECT_EQ(m.cpu.x, mask & 0x10 ? 0x1122 : 0);
      EXPECT_EQ(m.cpu.y, mask & 0x20 ? 0x3344 : 0);
      EXPECT_EQ(use_u ? m.cpu.s : m.cpu.u, mask & 0x40 ? other : 0);
      EXPECT_EQ(use_u ? m.cpu.u : m.cpu.s, use_u ? 0x6000 : 0x8000);
    }
  }
}

// A machine with distinct registers, vectors at FFF2-FFFF and code at 0x1000.
struct InterruptMachine : Machine {
  InterruptMachine() {
    load(0xFFF2, {0x30, 0x00, 0x40, 0x00, 0x50, 0x00, 0x60, 0x00, 0x70, 0x00, 0x80, 0x00, 0x90, 0x00});
    cpu.a = 0x01, cpu.b = 0x02, cpu.dp = 0x03, cpu.x = 0x0405, cpu.y = 0x0607, cpu.u = 0x0809;
  }
};

TEST(CpuInterrupt, IrqStacksEverythingAndMasksI) {
  InterruptMachine m;
  m.cpu.cc = 0x41;  // F set does not mask IRQ
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_IRQ), 1);
  EXPECT_EQ(m.cpu.pc, 0x6000);
  EXPECT_EQ(m.cpu.s, 0x7FF4);
  EXPECT_EQ(m.cpu.cc, 0xD1);
  EXPECT_EQ(m.mem.bytes[0x7FF4], 0xC1);  // stacked with E
  const uint8_t rest[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x10, 0x00};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(m.mem.bytes[0x7FF5 + i], rest[i]) << i;
  EXPECT_EQ(m.cpu.in_service, IRQ_IRQ);
}

TEST(CpuInterrupt, MaskedRequestsChangeNothing) {
  InterruptMachine m;
  m.cpu.cc = CC_I;
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_IRQ), 0);
  m.cpu.cc = CC_F;
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_FIRQ), 0);
  for (int kind : {0, 4, 7, -1}) EXPECT_EQ(cpu_interrupt(m.cpu, kind), 0);
  EXPECT_EQ(m.cpu.pc, 0x1000);
  EXPECT_EQ(m.cpu.s, 0x8000);
  EXPECT_EQ(m.cpu.cc, CC_F);
  EXPECT_EQ(m.mem.writes, 0);
  EXPECT_EQ(m.cpu.in_service, IRQ_NONE);
}

TEST(CpuInterrupt, FirqStacksPcAndCcWithEClear) {
  InterruptMachine m;
  m.cpu.cc = 0x90;  // E and I set: I does not mask FIRQ
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_FIRQ), 1);
  EXPECT_EQ(m.cpu.pc, 0x5000);
  EXPECT_EQ(m.cpu.s, 0x7FFD);
  EXPECT_EQ(m.mem.bytes[0x7FFD], 0x10);
  EXPECT_EQ(m.word(0x7FFE), 0x1000);
  EXPECT_EQ(m.cpu.cc, 0x50);
  EXPECT_EQ(m.cpu.in_service, IRQ_FIRQ);
}

TEST(CpuInterrupt, NmiIsNeverMasked) {
  InterruptMachine m;
  m.cpu.cc = 0x50;
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_NMI), 1);
  EXPECT_EQ(m.cpu.pc, 0x8000);
  EXPECT_EQ(m.cpu.s, 0x7FF4);
  EXPECT_EQ(m.mem.bytes[0x7FF4], 0xD0);
  EXPECT_EQ(m.cpu.cc, 0xD0);
  EXPECT_EQ(m.cpu.in_service, IRQ_NMI);
}

TEST(CpuInterrupt, CwaiThenIrqStacksOnlyOnce) {
  InterruptMachine m;
  m.load(0x1000, {0x3C, 0xEF});
  m.cpu.cc = 0x55;
  m.step();
  EXPECT_TRUE(m.cpu.waiting);
  EXPECT_EQ(m.cpu.cc, 0xC5);
  EXPECT_EQ(m.cpu.s, 0x7FF4);
  EXPECT_EQ(m.mem.bytes[0x7FF4], 0xC5);
  EXPECT_EQ(m.word(0x7FFE), 0x1002);
  long writes = m.mem.writes;

  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_IRQ), 1);
  EXPECT_FALSE(m.cpu.waiting);
  EXPECT_EQ(m.mem.writes, writes);
  EXPECT_EQ(m.cpu.s, 0x7FF4);
  EXPECT_EQ(m.cpu.cc, 0xD5);
  EXPECT_EQ(m.cpu.pc, 0x6000);

  // RTI brings back the state CWAI stacked and ends the service.
  m.load(0x6000, {0x3B});
  m.step();
  EXPECT_EQ(m.cpu.pc, 0x1002);
  EXPECT_EQ(m.cpu.cc, 0xC5);
  EXPECT_EQ(m.cpu.s, 0x8000);
  EXPECT_EQ(m.cpu.x, 0x0405);
  EXPECT_EQ(m.hooks.log, "end1 ");
  EXPECT_EQ(m.cpu.in_service, IRQ_NONE);
}

TEST(CpuInterrupt, CwaiKeepsWaitingWhileTheRequestIsMasked) {
  InterruptMachine m;
  m.load(0x1000, {0x3C, 0xFF});
  m.cpu.cc = 0x10;
  m.step();
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_IRQ), 0);
  EXPECT_TRUE(m.cpu.waiting);
  EXPECT_EQ(cpu_interrupt(m.cpu, IRQ_FIRQ), 1);  // F is clear
  EXPECT_FALSE(m.cpu.waiting);
  EXPECT_EQ(m.cpu.s, 0x7FF4);
  EXPECT_EQ(m.cpu.cc, 0xD0);
  EXPECT_EQ(m.cpu.pc, 0x5000);
}

TEST(CpuInterrupt, EndOfServiceOnlyForAServiceInProgress) {
  InterruptMachine m;
  m.load(0x1000, {0x10, 0xCE, 0x80, 0x00, 0x10, 0xCE, 0x80, 0x00});
  m.step();  // LDS with nothing in service
  EXPECT_EQ(m.hooks.log, "");
  m.cpu.in_service = IRQ_NMI;
  m.step();
  EXPECT_EQ(m.hooks.log, "end3 ");
  EXPECT_EQ(m.cpu.in_service, IRQ_NONE);

  m.load(0x1008, {0x3B});
  m.load(0x7000, {0x00, 0x20, 0x00});
  m.cpu.s = 0x7000;
  m.step();  // RTI with nothing in service
  EXPECT_EQ(m.cpu.pc, 0x2000);
  EXPECT_EQ(m.hooks.log, "end3 ");
}

// The MC6809 comes out of reset with DP at $00 and I and F set, whatever a
// program left there; U is not defined by the chip and keeps its value.
TEST(CpuReset, ClearsDpKeepsUAndForgetsWaiting) {
  for (bool full : {false, true}) {
    SCOPED_TRACE(full ? "full" : "cpu only");
    InterruptMachine m;
    m.cpu.cc = 0xAF, m.cpu.s = 0x1234, m.cpu.pc = 0x4321, m.cpu.dp = 0x12;
    m.cpu.waiting = true;
    m.cpu.in_service = IRQ_FIRQ;
    cpu_reset(m.cpu, full);
    EXPECT_EQ(m.cpu.cc, 0x50);
    EXPECT_EQ(m.cpu.a | m.cpu.b | m.cpu.dp, 0);
    EXPECT_EQ(m.cpu.x | m.cpu.y | m.cpu.s, 0);
    EXPECT_EQ(m.cpu.pc, full ? 0x9000 : 0);
    EXPECT_EQ(m.cpu.u, 0x0809);
    EXPECT_FALSE(m.cpu.waiting);
    EXPECT_EQ(m.cpu.in_service, IRQ_NONE);
    EXPECT_EQ(m.hooks.log, full ? "devices " : "timer ");
  }
}

TEST(CpuStep, TracedStepRunsTheDeviceHooksAroundExecution) {
  Machine m;
  m.load(0x1000, {0x12});
  int transfers = -1;
  EXPECT_EQ(cpu_step_traced(m.cpu, 0x1000, false, transfers), 1);
  EXPECT_EQ(m.hooks.log, "");
  EXPECT_EQ(m.cpu.pc, 0x1000);
  EXPECT_EQ(cpu_step_traced(m.cpu, 0x1000, true, transfers), 1);
  EXPECT_EQ(m.hooks.log, "pre post ");
  EXPECT_EQ(m.cpu.pc, 0x1001);
  EXPECT_EQ(transfers, 0);
}

TEST(CpuStep, WithoutHooksNothingIsCalled) {
  FlatMemory mem;
  Cpu cpu(mem);
  mem.bytes[0] = 0x3B;  // RTI ends a service nobody listens to
  cpu.in_service = IRQ_IRQ;
  int transfers = 0;
  cpu_step_traced(cpu, 0, true, transfers);
  cpu_reset(cpu, true);
  EXPECT_EQ(cpu.in_service, IRQ_NONE);
}

TEST(CpuRegisters, IndexWidthRadixAndAccess) {
  const int bits[] = {16, 16, 8, 8, 8, 8, 16, 16, 16};
  const int radix[] = {16, 16, 2, 16, 16, 16, 16, 16, 16};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(cpu_register_bits(i), bits[i]) << i;
    EXPECT_EQ(cpu_register_radix(i), radix[i]) << i;
  }
  for (int i : {-1, 9, 10, 100}) {
    EXPECT_EQ(cpu_register_bits(i), 100);
    EXPECT_EQ(cpu_register_radix(i), 0);
  }
  Machine m;
  for (int i = 0; i < 9; ++i) cpu_set_register(m.cpu, i, 0x12345 + i);
  cpu_set_register(m.cpu, 9, 0xFFFF);
  EXPECT_EQ(m.cpu.pc, 0x2345);
  EXPECT_EQ(m.cpu.s, 0x2346);
  EXPECT_EQ(m.cpu.cc, 0x47);
  EXPECT_EQ(m.cpu.dp, 0x48);
  EXPECT_EQ(m.cpu.a, 0x49);
  EXPECT_EQ(m.cpu.b, 0x4A);
  EXPECT_EQ(m.cpu.x, 0x234B);
  EXPECT_EQ(m.cpu.y, 0x234C);
  EXPECT_EQ(m.cpu.u, 0x234D);
  EXPECT_EQ(cpu_get_register(m.cpu, REG_CC), 0x47u);
  EXPECT_EQ(cpu_get_register(m.cpu, REG_U), 0x234Du);
  EXPECT_EQ(cpu_get_register(m.cpu, 9), 0u);
  cpu_set_pc(m.cpu, 0x1FFFF);
  EXPECT_EQ(cpu_get_pc(m.cpu), 0xFFFF);
  EXPECT_EQ(cpu_get_s(m.cpu), 0x2346);
}

TEST(CpuOpcodeClass, CallsAndReturns) {
  for (int op = 0; op < 256; ++op) {
    bool call = op == 0x9D || op == 0xAD || op == 0xBD || op == 0x8D || op == 0x17;
    bool ret = op == 0x39 || op == 0x3B;
    EXPECT_EQ(is_call_opcode(uint8_t(op)), call) << op;
    EXPECT_EQ(is_return_opcode(uint8_t(op)), ret) << op;
  }
}

TEST(CpuCycles, CounterIsAdvancedOnlyFromOutside) {
  Machine m;
  m.load(0x1000, {0x3D});
  m.step();
  EXPECT_EQ(cycle_counter_get(m.cpu), 0u);
  cycle_counter_add(m.cpu, 0xFFFFFFFF);
  cycle_counter_add(m.cpu, 3);
  EXPECT_EQ(cycle_counter_get(m.cpu), 2u);
}

// A board that refuses reads: fetches yield 0xFF without advancing.
class DeadBus : public Bus {
public:
  int board_read(uint32_t, uint8_t&) override { return 1; }
  int board_write(uint32_t, uint8_t) override { return 1; }
};

TEST(CpuFetch, FailedReadsYieldFF) {
  DeadBus bus;
  Cpu cpu(bus);
  cpu.pc = 0x1000;
  int transfers = -1;
  // 0xFF is STU extended: all of its bytes read as 0xFF from the same place.
  EXPECT_EQ(cpu_execute(cpu, 0x1000, true, transfers), 0);
  EXPECT_EQ(cpu.pc, 0x1000);
}

// A board may answer a read with success and no byte (the simulated board
// does so for a device access that Break on IO refuses): the core reads 0
// there, for an instruction's own bytes as for its operands.
class SilentBus : public FlatMemory {
public:
  int board_read(uint32_t addr, uint8_t& out) override {
    if (addr >= 0xE000 && addr < 0xE100) return 0;
    return FlatMemory::board_read(addr, out);
  }
};

[[gnu::noinline]] void soil_stack() {
  volatile uint8_t junk[4096];
  for (auto& b : junk) b = 0x3F;
}

TEST(CpuFetch, ReadsAnsweredWithoutAByteGiveZero) {
  SilentBus bus;
  Cpu cpu(bus);
  bus.bytes[0x0000] = 0x01;
  cpu.pc = 0xE030;  // NEG <$00 as the silent bytes give it
  int transfers = -1;
  soil_stack();
  EXPECT_EQ(cpu_execute(cpu, cpu.pc, true, transfers), 2);
  EXPECT_EQ(cpu.pc, 0xE032);
  EXPECT_EQ(bus.bytes[0x0000], 0xFF);
  EXPECT_FALSE(cpu.undefined);
}

}  // namespace
}  // namespace zun::test
