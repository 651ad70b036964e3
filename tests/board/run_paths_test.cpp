// A program driven by timer and ACIA interrupts, with waits after CWAI and
// input typed while it runs, must come out of every way of running it in the
// same state: single engine steps, the run loop's ticks, and ticks with
// breakpoints the run must look at.
#include "tests/board/engine_fixture.h"

#include "common/format.h"

namespace zun {
namespace {

// 1000 LDS #$0800; LDX #$2000; STX <$42    the log starts at $2000
// 1009 LDA #$01; STA $E0E1                  CR2: offset 0 writes CR1
// 100E LDD #$2000; STD $E0E2                timer 1 latch and counter
// 1014 LDA #$50; STA $E0E0                  CR1: continuous, interrupting
// 1019 LDA #$03; STA $E028; LDA #$95; STA $E028   ACIA 1: receive interrupts
// 1023 LDA #$03; STA $E024; LDA #$15; STA $E024   ACIA 2: no interrupts
// 102D ANDCC #$EF
// 102F loop: LDX <$40; LEAX 1,X; STX <$40  count the rounds
// 1035 LDD $E0E2; STD <$44; STB $E025       keep and send what timer 1 reads
// 103D TFR X,D; ANDB #$3F; BNE loop
// 1043 CWAI #$EF; BRA loop                  every 64 rounds, wait
constexpr uint8_t main_program[] = {
    0x10, 0xCE, 0x08, 0x00, 0x8E, 0x20, 0x00, 0x9F, 0x42, 0x86, 0x01, 0xB7, 0xE0, 0xE1,
    0xCC, 0x20, 0x00, 0xFD, 0xE0, 0xE2, 0x86, 0x50, 0xB7, 0xE0, 0xE0, 0x86, 0x03, 0xB7,
    0xE0, 0x28, 0x86, 0x95, 0xB7, 0xE0, 0x28, 0x86, 0x03, 0xB7, 0xE0, 0x24, 0x86, 0x15,
    0xB7, 0xE0, 0x24, 0x1C, 0xEF, 0x9E, 0x40, 0x30, 0x01, 0x9F, 0x40, 0xFC, 0xE0, 0xE2,
    0xDD, 0x44, 0xF7, 0xE0, 0x25, 0x1F, 0x10, 0xC4, 0x3F, 0x26, 0xEC, 0x3C, 0xEF, 0x20,
    0xE8};

// 3000 LDA $E0E1; BITA #1; BEQ acia
// 3007 LDA $E0E2; LDA $E0E3; INC <$50      clear timer 1's flag, count it
// 300F acia: LDA $E028; BITA #1; BEQ done
// 3016 LDX <$42; LDA $E029; STA ,X+         log the byte,
// 301D LDA <$41; STA ,X+; LDB <$50; STB ,X+ the round and the ticks it came at
// 3025 STX <$42; STB $E029                  and send the ticks back
// 302A done: RTI
constexpr uint8_t irq_program[] = {
    0xB6, 0xE0, 0xE1, 0x85, 0x01, 0x27, 0x08, 0xB6, 0xE0, 0xE2, 0xB6, 0xE0, 0xE3, 0x0C, 0x50,
    0xB6, 0xE0, 0x28, 0x85, 0x01, 0x27, 0x14, 0x9E, 0x42, 0xB6, 0xE0, 0x29, 0xA7, 0x80, 0x96,
    0x41, 0xA7, 0x80, 0xD6, 0x50, 0xE7, 0x80, 0x9F, 0x42, 0xF7, 0xE0, 0x29, 0x3B};

constexpr int ticks = 60;
constexpr int steps_per_tick = 500;

// One board with the program loaded, terminals on both ACIAs and a device
// that can interrupt at $E000, running fast.
struct Rig {
  Rig() {
    board.rom_writable = true;
    for (size_t i = 0; i < sizeof main_program; ++i) board.board_write(0x1000 + uint32_t(i), main_program[i]);
    for (size_t i = 0; i < sizeof irq_program; ++i) board.board_write(0x3000 + uint32_t(i), irq_program[i]);
    board.board_write(0xFFF8, 0x30);
    board.board_write(0xFFF9, 0x00);
    board.rom_writable = false;
    int slot = board.dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE028, 0);
    board.onboard_connect(int(Onboard::Acia1), board.slots[slot].handle);
    console = tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
    console->type_text("ab");
    slot = board.dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE024, 0);
    board.onboard_connect(int(Onboard::Acia2), board.slots[slot].handle);
    second = tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
    slot = board.dev_open(uint32_t(tovrel::DeviceKind::Probe), 0xE000, 0);
    probe = tovrel::find<tovrel::Probe>(board.slots[slot].handle);
    engine.cpu.pc = 0x1000;
    engine.command(SIM_RUN_FAST);
  }
  ~Rig() { board.dev_close_all(); }

  // Ticks of the run loop, or as many single undisplayed steps, and the
  // state after each. Between ticks more input is typed and the outside
  // device raises its line for a while.
  std::vector<std::string> run(bool single_steps) {
    std::vector<std::string> states;
    for (int t = 0; t < ticks && engine.run_mode != RunMode::Stopped; ++t) {
      if (t == ticks / 2) console->type_text("xyz");
      probe->irq = t == ticks - 10;
      if (single_steps) {
        for (int i = 0; i < steps_per_tick; ++i) engine.sim_step_once(false);
      } else {
        engine.sim_timer_tick();
      }
      states.push_back(state());
    }
    return states;
  }

  std::string state() {
    const Cpu& c = engine.cpu;
    std::string s = format("PC=%04X A=%02X B=%02X X=%04X Y=%04X U=%04X S=%04X DP=%02X CC=%02X wait=%d svc=%d\n",
                           c.pc, c.a, c.b, c.x, c.y, c.u, c.s, c.dp, c.cc, c.waiting, c.in_service);
    s += format("cycles=%u %u bytes=%u mode=%d lamps=%d%d%d\n", board.cycle_counter, c.cycle_counter,
                engine.byte_total, int(engine.run_mode), engine.in_service[1], engine.in_service[2],
                engine.in_service[3]);
    const Mc6840& t = board.timer;
    s += format("timer cr=%02X %02X counter=%04X status=%02X stage=%d\n", t.cr[0], t.cr[1], t.counter[0],
                t.status, t.stage[0]);
    for (const Mc6850& a : board.acia) s += format("acia status=%02X control=%02X\n", a.status, a.control);
    s += "sent=";
    for (char ch : console->take_output()) s += format("%02X ", uint8_t(ch));
    s += "\nsent 2=";
    for (char ch : second->take_output()) s += format("%02X ", uint8_t(ch));
    s += "\nlog=";
    for (uint32_t p = 0x2000; p < log_end(); ++p) s += format("%02X ", board.ram[p]);
    s += "\nmemory=";
    for (uint32_t p = 0x0040; p < 0x0052; ++p) s += format("%02X", board.ram[p]);
    return s;
  }

  uint32_t log_end() const { return board.ram[0x42] << 8 | board.ram[0x43]; }

  TovrelLibrary io;
  Board board{io};
  RecordingHost host;
  Engine engine{board, host, "/nonexistent/bin"};
  tovrel::SerialTerminal* console = nullptr;
  tovrel::SerialTerminal* second = nullptr;
  tovrel::Probe* probe = nullptr;
};

TEST(RunPaths, TicksKeepEveryStepOfSingleSteps) {
  Rig reference;
  const std::vector<std::string> expected = reference.run(true);
  // The program did what the comparison is about: bytes taken by interrupt
  // (all but the first, which the program's master reset drops), timer ticks
  // between them, and waits after CWAI.
  ASSERT_EQ(reference.log_end(), 0x2000u + 4 * 3);
  ASSERT_GT(reference.board.ram[0x50], 20);
  ASSERT_GT(reference.board.ram[0x40] * 256 + reference.board.ram[0x41], 4 * 64);

  Rig ticked;
  EXPECT_EQ(ticked.run(false), expected);

  // A breakpoint the run passes over (disabled) and one it never reaches.
  Rig watched;
  watched.engine.sim_bp_set(0x1031, false);
  watched.engine.sim_bp_disable(0x1031);
  watched.engine.sim_bp_set(0x5000, false);
  EXPECT_EQ(watched.run(false), expected);
}

// A run that stops inside a tick (Break on IRQ, an interrupt while exception
// handling is off) tells the window and the debugger of the stop there: what
// they read of the board then is what single steps would show.
struct StopRig : EngineHost {
  // 1000 LDS #$0800; LDA #$01; STA $E0E1        CR2: offset 0 writes CR1
  // 1009 LDD #$FFFF; STD $E0E2; LDA #$10; STA $E0E0   timer 1 counts, no interrupt
  // 1014 LDA #$03; STA $E024; ANDCC #$EF          ACIA 2 reset, IRQ unmasked
  // 101B LDX #$0032; loop: LEAX -1,X; BNE loop
  // 1022 LDA #$20; STA $E024; BRA *               transmit interrupt
  explicit StopRig(bool single_steps) {
    constexpr uint8_t program[] = {0x10, 0xCE, 0x08, 0x00, 0x86, 0x01, 0xB7, 0xE0, 0xE1, 0xCC, 0xFF,
                                   0xFF, 0xFD, 0xE0, 0xE2, 0x86, 0x10, 0xB7, 0xE0, 0xE0, 0x86, 0x03,
                                   0xB7, 0xE0, 0x24, 0x1C, 0xEF, 0x8E, 0x00, 0x32, 0x30, 0x1F, 0x26,
                                   0xFC, 0x86, 0x20, 0xB7, 0xE0, 0x24, 0x20, 0xFE};
    for (size_t i = 0; i < sizeof program; ++i) board.ram[0x1000 + i] = program[i];
    board.ram[0x3000] = 0x3B;  // RTI
    board.rom[0xFFF8 - 0xE100] = 0x30;
    board.rom[0xFFF9 - 0xE100] = 0x00;
    int slot = board.dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE024, 0);
    board.onboard_connect(int(Onboard::Acia2), board.slots[slot].handle);
    engine.cpu.pc = 0x1000;
    engine.break_on_irq = true;
    engine.command(SIM_RUN_FAST);
    while (engine.run_mode != RunMode::Stopped && board.cycle_counter < 1000000) {
      if (single_steps)
        engine.sim_step_once(false);
      else
        engine.sim_timer_tick();
    }
  }
  ~StopRig() override { board.dev_close_all(); }
  void on_stop() override {
    seen = format("PC=%04X cycles=%u %u timer 1=%02X%02X\n", engine.cpu.pc, board.cycle_counter,
                  engine.cpu.cycle_counter, *board.board_look(0xE0E2), *board.board_look(0xE0E3));
  }

  TovrelLibrary io;
  Board board{io};
  Engine engine{board, *this, "/nonexistent/bin"};
  std::string seen;
};

TEST(RunPaths, AStopInsideATickSeesTheBoardAsSingleStepsLeaveIt) {
  StopRig reference(true);
  ASSERT_EQ(reference.engine.cpu.pc, 0x3000);
  StopRig ticked(false);
  EXPECT_EQ(ticked.seen, reference.seen);
}

}  // namespace
}  // namespace zun
