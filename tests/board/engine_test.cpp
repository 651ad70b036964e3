// Running by explicit ticks, breakpoints, interrupt arbitration and the stop
// notification. Programs are MC6809 bytes typed from the datasheet.
#include "tests/board/engine_fixture.h"

namespace zun {
namespace {

constexpr uint8_t NOP = 0x12, BRA = 0x20, RTI = 0x3B;

class EngineRun : public EngineTest {
protected:
  // 0x1000-0x1007 NOP, 0x1008 BRA 0x1000.
  void SetUp() override {
    poke(0x1000, {NOP, NOP, NOP, NOP, NOP, NOP, NOP, NOP, BRA, 0xF6});
    cpu.pc = 0x1000;
  }
};

TEST_F(EngineRun, FastRunsFiveHundredInstructionsATick) {
  engine.command(SIM_RUN_FAST);  // one displayed step first
  EXPECT_EQ(engine.byte_total, 1u);
  EXPECT_EQ(host.stops, 1);
  EXPECT_TRUE(engine.sim_is_running_fast());
  EXPECT_EQ(board.run_mode, RunMode::Fast);
  uint32_t cycles = board.cycle_counter;
  engine.sim_timer_tick();
  // 500 instructions: 9 per loop of 10 bytes, starting at 0x1001.
  EXPECT_EQ(engine.byte_total, 1u + 500u + 500u / 9u + (500 % 9 > 7 ? 1u : 0u));
  EXPECT_EQ(board.cycle_counter - cycles, 500u * 180u);
  EXPECT_EQ(host.stops, 1);  // nothing displayed while running fast
  engine.command(SIM_STOP);
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
  EXPECT_EQ(engine.current_mark, cpu.pc);
  EXPECT_EQ(host.stops, 2);
  engine.sim_timer_tick();  // a late tick after Stop does nothing
  EXPECT_EQ(engine.current_mark, cpu.pc);
}

TEST_F(EngineRun, SlowRunsOneInstructionATick) {
  engine.command(SIM_RUN);
  EXPECT_EQ(cpu.pc, 0x1001);
  EXPECT_EQ(host.stops, 0);
  engine.sim_timer_tick();
  engine.sim_timer_tick();
  EXPECT_EQ(cpu.pc, 0x1003);
  // Run's own first step is taken before the run mode changes.
  EXPECT_EQ(board.cycle_counter, 3u + 2u * 1800u);
  engine.visual = true;  // displayed steps notify only with the window
  engine.sim_timer_tick();
  EXPECT_EQ(host.stops, 1);
}

TEST_F(EngineRun, StepAndResetsNotify) {
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x1001);
  EXPECT_EQ(board.cycle_counter, 3u);
  EXPECT_EQ(host.stops, 1);
  engine.command(SIM_RESET);
  EXPECT_EQ(host.stops, 2);
  EXPECT_EQ(cpu.pc, 0x0000);
  EXPECT_EQ(cpu.cc, 0x50);
  vector(0xFFFE, 0x1004);
  engine.command(SIM_RESET_CPU);
  EXPECT_EQ(cpu.pc, 0x1004);
  EXPECT_EQ(host.stops, 3);
  engine.visual = true;
  engine.entry_address = 0x1002;
  engine.command(SIM_RESET);
  EXPECT_EQ(cpu.pc, 0x1002);
}

// Reset CPU (also the setup's OK and the debugger's Restart) and Reset
// Simulator both reset the chip as it resets: DP to $00, I and F set,
// whatever the program left there.
TEST_F(EngineTest, ResetsClearDpAndMaskInterruptsAfterAProgramSetThem) {
  // ANDCC #$AF; LDA #$12; TFR A,DP; LDU #$4321
  poke(0x2000, {0x1C, 0xAF, 0x86, 0x12, 0x1F, 0x8B, 0xCE, 0x43, 0x21});
  vector(0xFFFE, 0x2000);
  for (int command : {SIM_RESET_CPU, SIM_RESET}) {
    SCOPED_TRACE(command);
    cpu.pc = 0x2000;
    for (int i = 0; i < 4; ++i) engine.command(SIM_STEP);
    ASSERT_EQ(cpu.pc, 0x2009);
    ASSERT_EQ(cpu.dp, 0x12);
    ASSERT_EQ(cpu.cc & (CC_I | CC_F), 0);
    engine.command(command);
    EXPECT_EQ(cpu.pc, command == SIM_RESET_CPU ? 0x2000 : 0);
    EXPECT_EQ(cpu.dp, 0x00);
    EXPECT_EQ(cpu.cc, CC_I | CC_F);
    EXPECT_EQ(cpu.a | cpu.b | cpu.x | cpu.y | cpu.s, 0);
    EXPECT_EQ(cpu.u, 0x4321);
  }
}

TEST_F(EngineRun, StopsAtEnabledBreakpointAndRunsOnFromIt) {
  engine.sim_bp_set(0x1005, false);
  engine.command(SIM_RUN_FAST);
  engine.sim_timer_tick();
  EXPECT_EQ(cpu.pc, 0x1005);
  EXPECT_TRUE(engine.stopped_at_breakpoint);
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
  EXPECT_EQ(host.stops, 2);
  engine.command(SIM_RUN_FAST);  // the displayed step leaves the breakpoint
  EXPECT_EQ(cpu.pc, 0x1006);
  engine.sim_timer_tick();
  EXPECT_EQ(cpu.pc, 0x1005);
  EXPECT_TRUE(engine.sim_bp_exists(0x1005));
}

TEST_F(EngineRun, TemporaryBreakpointIsConsumedAndDisabledNeverStops) {
  engine.sim_bp_set(0x1002, false);
  engine.sim_bp_disable(0x1002);
  engine.goto_here(0x1006);
  engine.sim_timer_tick();
  EXPECT_EQ(cpu.pc, 0x1006);
  EXPECT_FALSE(engine.sim_bp_exists(0x1006));
  engine.command(SIM_RUN_FAST);
  engine.sim_timer_tick();
  EXPECT_EQ(engine.run_mode, RunMode::Fast);
}

TEST_F(EngineRun, ResetStateClearsBreakpointsOnlyWhenAsked) {
  engine.sim_bp_set(0x1002, false);
  board.stop_on_device_access = engine.break_on_irq = true;
  engine.exceptions_enabled = false;
  engine.byte_total = 9;
  engine.sim_reset_state(false);
  EXPECT_TRUE(engine.sim_bp_exists(0x1002));
  EXPECT_TRUE(engine.exceptions_enabled);
  EXPECT_EQ(engine.byte_total, 0u);
  engine.sim_reset_state(true);
  EXPECT_FALSE(engine.sim_bp_exists(0x1002));
  EXPECT_FALSE(board.stop_on_device_access || engine.break_on_irq);
}

TEST(EngineBreakpoints, SlotsStatesAndFullTable) {
  BreakpointTable t;
  EXPECT_EQ(t.set(0x2000, true), 0);
  EXPECT_EQ(t.set(0x2000, false), 0);  // temporary raised to enabled
  EXPECT_EQ(t.hit(0x2000, true), 1);
  EXPECT_TRUE(t.exists(0x2000));
  EXPECT_EQ(t.set(0x2000, true), 0);   // enabled stays enabled
  EXPECT_EQ(t.hit(0x2000, false), 1);
  t.disable(0x2000);
  EXPECT_EQ(t.hit(0x2000, true), 0);
  EXPECT_EQ(t.set(0x2000, true), 0);   // disabled takes the requested state
  EXPECT_EQ(t.hit(0x2000, false), 2);
  EXPECT_EQ(t.hit(0x2000, true), 1);
  EXPECT_FALSE(t.exists(0x2000));
  EXPECT_EQ(t.remove(0x2000), 0);
  for (int i = 0; i < BreakpointTable::capacity; ++i) ASSERT_EQ(t.set(0x100 + i, false), i);
  EXPECT_EQ(t.set(0xFFFF, false), -1);
  EXPECT_EQ(t.remove(0x100), 63);
  EXPECT_EQ(t.set(0xFFFF, false), 0);
  EXPECT_EQ(t.enable(0x1), -1);
}

class EngineIrq : public EngineTest {
protected:
  void SetUp() override {
    poke(0x1000, {NOP, NOP, NOP, NOP});
    poke(0x3000, {RTI});
    poke(0x3100, {RTI});
    poke(0x3200, {RTI});
    vector(0xFFF8, 0x3000);  // IRQ
    vector(0xFFF6, 0x3100);  // FIRQ
    vector(0xFFFC, 0x3200);  // NMI
    cpu.pc = 0x1000;
    cpu.s = 0x0800;
    cpu.cc = 0x00;
  }
  // Timer 1 underflows at the next step with its interrupt enabled.
  void arm_timer() {
    board.timer.cr = {0x50, 0x01, 0x00};
    board.timer.counter[0] = 0;
  }
  void chip_irq() {
    arm_timer();
    board.device_pre_step();
    ASSERT_TRUE(board.board_irq_pending());
  }
  // One step; where PC is afterwards.
  uint16_t step() {
    engine.command(SIM_STEP);
    return cpu.pc;
  }
};

TEST_F(EngineIrq, UserNmiIsTakenAndRtiEndsItsService) {
  engine.command(789);  // kind 3, NMI
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x3200);
  EXPECT_EQ(cpu.s, 0x0800 - 12);
  EXPECT_TRUE(engine.in_service[3]);
  EXPECT_EQ(engine.byte_total, 0u);
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_FALSE(engine.in_service[3]);
}

// A chip's request that the CPU masks blocks no other line: the buttons'
// NMI and FIRQ are taken over it, and it waits on as before.
TEST_F(EngineIrq, NmiAndFirqPressesAreTakenWhileAMaskedChipIrqWaits) {
  cpu.cc = 0x10;
  chip_irq();
  engine.command(789);
  EXPECT_EQ(step(), 0x3200);
  EXPECT_TRUE(engine.in_service[3]);
  EXPECT_EQ(step(), 0x1000);  // RTI
  engine.command(788);
  EXPECT_EQ(step(), 0x3100);
  EXPECT_TRUE(engine.in_service[2]);
  EXPECT_EQ(cpu.s, 0x0800 - 3);
  EXPECT_EQ(step(), 0x1000);
  EXPECT_EQ(step(), 0x1001);  // the masked IRQ lets the program run
  EXPECT_FALSE(engine.in_service[1]);
  EXPECT_TRUE(board.board_irq_pending());
}

// A press waits while its line is masked and is taken once the program
// unmasks it; NMI comes before FIRQ before IRQ.
TEST_F(EngineIrq, PressesWaitForTheirMaskAndGoInPriorityOrder) {
  poke(0x1001, {0x1C, 0xAF});  // ANDCC #$AF: I and F cleared
  cpu.cc = 0x50;
  engine.command(787);
  engine.command(788);
  EXPECT_EQ(step(), 0x1001);
  EXPECT_EQ(step(), 0x1003);
  engine.command(789);
  EXPECT_EQ(step(), 0x3200);  // NMI first, which masks the others
  EXPECT_EQ(step(), 0x1003);  // RTI restores the cleared masks
  EXPECT_EQ(step(), 0x3100);
  EXPECT_EQ(step(), 0x1003);
  EXPECT_EQ(step(), 0x3000);
  EXPECT_EQ(step(), 0x1003);
  EXPECT_EQ(step(), 0x1004);  // each press was taken once
  EXPECT_EQ(engine.user_requests, (std::array<bool, 8>{}));
  // A chip's IRQ and a pressed IRQ share the line: one service takes both.
  engine.command(787);
  chip_irq();
  EXPECT_EQ(step(), 0x3000);
  EXPECT_FALSE(engine.user_requests[1]);
}

TEST_F(EngineIrq, NmiPressComesBeforeAnUnmaskedChipIrq) {
  chip_irq();
  engine.command(789);
  EXPECT_EQ(step(), 0x3200);
  EXPECT_TRUE(engine.in_service[3]);
  EXPECT_EQ(step(), 0x1000);
  EXPECT_EQ(step(), 0x3000);
  EXPECT_TRUE(engine.in_service[1]);
}

TEST_F(EngineIrq, RefusedKindIsConsumedAndTheInstructionRuns) {
  engine.command(790);  // kind 4: no such interrupt on the MC6809
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x1001);
  EXPECT_FALSE(engine.user_requests[4]);
  cpu.cc = 0x10;  // IRQ masked: the pending chip request lets the program run
  arm_timer();
  board.device_pre_step();
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x1002);
}

TEST_F(EngineIrq, DisabledExceptionHandlingStopsBeforeAnyInstruction) {
  engine.command(SIM_TOGGLE_EXCEPTIONS);
  arm_timer();
  board.device_pre_step();
  engine.command(SIM_RUN_FAST);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Message: IRQ-pending but exception handling is disabled"}));
}

TEST_F(EngineIrq, BreakOnIrqStopsAfterTakingIt) {
  engine.break_on_irq = true;
  engine.command(SIM_RUN_FAST);
  arm_timer();
  engine.sim_timer_tick();  // the first step underflows the timer, the second takes it
  EXPECT_EQ(cpu.pc, 0x3000);
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
}

// The run's first step takes the interrupt instead: the run serves it and
// still leaves the breakpoint it started on, which stops the next pass.
TEST_F(EngineIrq, RunFromABreakpointServesAPendingInterruptAndLeavesIt) {
  poke(0x1000, {NOP, NOP, BRA, 0xFC});
  engine.sim_bp_set(0x1000, false);
  for (int id : {SIM_RUN_FAST, SIM_RUN}) {
    engine.byte_total = 0;
    engine.command(787);
    engine.command(id);
    EXPECT_EQ(cpu.pc, 0x3000);
    for (int tick = 0; tick < 10 && engine.run_mode != RunMode::Stopped; ++tick) engine.sim_timer_tick();
    EXPECT_EQ(cpu.pc, 0x1000);
    EXPECT_EQ(engine.run_mode, RunMode::Stopped);
    EXPECT_EQ(engine.byte_total, 5u);  // RTI, NOP, NOP, BRA
  }
}

TEST_F(EngineIrq, AttachedDeviceRequestsAnIrq) {
  int slot = board.dev_open(int32_t(tovrel::DeviceKind::Probe), 0xE000, 0);
  tovrel::find<tovrel::Probe>(board.slots[slot].handle)->irq = true;
  engine.command(SIM_STEP);
  EXPECT_EQ(cpu.pc, 0x3000);
  EXPECT_TRUE(engine.in_service[1]);
}

TEST_F(EngineIrq, CwaiWaitsWithOnlyTimeAndDevicesAdvancing) {
  poke(0x1000, {0x3C, 0xEF});  // CWAI #$EF
  engine.command(SIM_STEP);
  ASSERT_TRUE(cpu.waiting);
  uint16_t s = cpu.s;
  uint32_t cycles = board.cycle_counter;
  engine.command(SIM_RUN);
  engine.sim_timer_tick();
  EXPECT_EQ(cpu.pc, 0x1002);
  EXPECT_EQ(cpu.s, s);
  EXPECT_EQ(board.cycle_counter - cycles, 3u + 1800u);
  engine.command(789);
  engine.sim_timer_tick();
  EXPECT_FALSE(cpu.waiting);
  EXPECT_EQ(cpu.pc, 0x3200);
  EXPECT_EQ(cpu.s, s);  // the registers were stacked by CWAI
}

// Break on IO stops on the instruction that reaches for a device while
// running, with nothing of it done: no register takes a refused read, and the
// access happens when the user steps or runs on.
TEST_F(EngineTest, BreakOnIoStopsOnTheInstructionWithNothingDone) {
  int slot = board.dev_open(int32_t(tovrel::DeviceKind::Terminal), 0xE028, 0);
  board.onboard_connect(int(Onboard::Acia1), board.slots[slot].handle);
  auto* terminal = tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
  // LDA #$77; LDA $E028; STA $E029; NOP
  poke(0x1000, {0x86, 0x77, 0xB6, 0xE0, 0x28, 0xB7, 0xE0, 0x29, NOP});
  cpu.pc = 0x1000;
  board.stop_on_device_access = true;
  engine.command(SIM_RUN_FAST);
  engine.sim_timer_tick();
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
  EXPECT_EQ(cpu.pc, 0x1002);
  EXPECT_EQ(cpu.a, 0x77);
  EXPECT_EQ(cpu.cc & 0x0E, 0x00);  // N, Z and V as LDA #$77 left them
  EXPECT_EQ(engine.byte_total, 2u);
  EXPECT_FALSE(board.stop_requested);
  engine.command(SIM_STEP);  // stopped: the access works again
  EXPECT_EQ(cpu.pc, 0x1005);
  EXPECT_EQ(cpu.a, 0x02);    // the console's status: ready to send
  engine.command(SIM_RUN_FAST);  // the run's first step may reach the device
  EXPECT_EQ(terminal->take_output(), "\x02");
  engine.sim_timer_tick();
  EXPECT_EQ(engine.run_mode, RunMode::Fast);

  // An indirect store through a device's word writes nowhere.
  poke(0x2000, {0xA7, 0x9F, 0xE0, 0x28});  // STA [$E028]
  board.ram[0x0000] = 0x5A;
  board.ram[0x0200] = 0x5A;
  cpu.pc = 0x2000;
  cpu.s = 0x0800;
  engine.sim_timer_tick();
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
  EXPECT_EQ(cpu.pc, 0x2000);
  EXPECT_EQ(board.ram[0x0000], 0x5A);
  EXPECT_EQ(board.ram[0x0200], 0x5A);
}

}  // namespace
}  // namespace zun
