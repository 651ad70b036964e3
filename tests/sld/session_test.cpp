// Run control and breakpoints over the real engine, with the programs of
// tests/sld/run built by our chain: the session's start and end, a rebuild
// between sessions, shared simulator entries, a full table, Run No Breaks,
// the dialogs' logic, and random command sequences against the table's
// invariants. A small hand-made program covers locating a lost PC, a PC past
// the last point, "Can't determine scope." and "Difficult to step out".
#include <random>
#include <set>

#include "session_fixture.h"

namespace zun::sld {
namespace {

class SldSession : public ::testing::Test {
protected:
  void SetUp() override {
    path = build_program(dir.dir() + "/stepper", {"stepper.c", "adder.s09"});
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(s.debugger.sld_start_debugging(path), 1) << s.host.out;
  }
  std::map<std::string, uint32_t> map() {
    return map_addresses(dir.dir() + "/stepper/prog.map");
  }
  ScratchDir dir;
  std::string path;
  Session s;
};

TEST_F(SldSession, OpensAtTheEntryRunsToMainAndEndsAtLowexit) {
  EXPECT_TRUE(s.host.said("Setting break at '_main'\n"));
  EXPECT_TRUE(s.host.said("Setting break at '__lowexit'\n"));
  EXPECT_EQ(s.at(), "_startup:17");
  EXPECT_EQ(s.pc(), map()["startuplabel"]);
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "stepper:42");
  EXPECT_EQ(s.pc(), map()["_main"]);
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "_startup:42");
  EXPECT_EQ(s.pc(), map()["__lowexit"]);
  // Both session breakpoints are the dialog's too; the debugger's entries
  // leave the simulator with the session.
  EXPECT_EQ(s.debugger.breakpoints().sld_bp_dialog_lines().size(), 2u);
  s.debugger.sld_close_session();
  EXPECT_TRUE(s.debugger.target().target_planted().empty());
  EXPECT_EQ(s.engine.breakpoints.find(map()["_main"]), -1);
}

TEST_F(SldSession, RestartStandsAtTheEntryAgain) {
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_NEXT));
  s.debugger.sld_command(CMD_SLD_RESTART);
  EXPECT_EQ(s.at(), "_startup:17");
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "stepper:42");
}

TEST_F(SldSession, RegistersAndPeekedMemory) {
  TargetAccess& t = s.debugger.target();
  s.engine.cpu.a = 0x12;
  s.engine.cpu.b = 0x34;
  EXPECT_EQ(t.target_get_register(kRegisterD), 0x1234u);
  t.target_set_register(kRegisterD, 0xABCD);
  EXPECT_EQ(s.engine.cpu.a, 0xAB);
  EXPECT_EQ(s.engine.cpu.b, 0xCD);
  // Reading the console's data register must not take the byte it holds.
  s.board.acia[1].rx_data = 'x';
  s.board.acia[1].status |= Mc6850::RDRF;
  EXPECT_EQ(t.target_read(0xE029, 1), static_cast<uint32_t>('x'));
  EXPECT_EQ(t.target_read(0xE028, 2) >> 8 & Mc6850::RDRF, Mc6850::RDRF);
  EXPECT_TRUE(s.board.acia[1].status & Mc6850::RDRF);
  EXPECT_EQ(t.target_read(0x1000, 3), 0u);
  // Any other kind than the simulator's does nothing.
  EXPECT_EQ(t.target_set_kind(43097), 0);
  EXPECT_EQ(t.target_read(0x1000, 1), 0u);
  EXPECT_EQ(t.target_set_breakpoint(0x1000), -1);
}

// Another build, with code before main and three lines more at the top of
// the file: the new session plants "_main" where this build has it, the
// user's lines are found again in the new build, and no old address stays.
TEST_F(SldSession, ARebuildMovesMain) {
  uint32_t old_main = map()["_main"];
  uint32_t old_loop = s.line_address("stepper", 31);
  s.debugger.breakpoints().sld_bp_add_user(s.module("stepper"), 30, 0);
  s.debugger.breakpoints().sld_bp_add_user(s.module("stepper"), 31, 0);
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "stepper:31");
  s.debugger.sld_close_session();
  std::ifstream in(source_dir() + "/tests/sld/run/stepper.c");
  std::stringstream text;
  text << "/* rebuilt */\n\n\n" << in.rdbuf();
  dir.write("stepper/stepper.c", text.str());
  ASSERT_EQ(build_program(dir.dir() + "/stepper", {}, "-DMOVED_MAIN"), path);
  ASSERT_EQ(s.debugger.sld_start_debugging(path), 1);
  uint32_t new_main = map()["_main"];
  ASSERT_NE(new_main, old_main);
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.pc(), new_main);
  EXPECT_EQ(s.at(), "stepper:45");
  for (const auto& [address, count] : s.debugger.target().target_planted())
    EXPECT_TRUE(address != old_main && address != old_loop) << std::hex << address;
  // Line 30 is the head of sum_to() now, line 31 holds no code, and line 42
  // (where main began) is a line of fact().
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "stepper:30");
  EXPECT_EQ(s.pc(), map()["_sum_to"]);
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "_startup:42");
}

// A scratch record, a user breakpoint and the simulator window's own entry
// at one address: hitting or disabling one leaves the others.
TEST_F(SldSession, RecordsShareOneSimulatorEntry) {
  SldBreakpoints& bps = s.debugger.breakpoints();
  uint32_t a = s.line_address("stepper", 47);
  s.engine.sim_bp_set(a, false);
  s.engine.sim_bp_disable(a);  // the window's, disabled
  SldBreakpoint& user = bps.sld_bp_add_user(s.module("stepper"), 47, 0);
  bps.sld_bp_set_scratch(0, a);
  ASSERT_TRUE(bps.sld_bp_plant_all());
  EXPECT_EQ(s.debugger.target().target_planted()[a], 2);
  EXPECT_EQ(s.engine.breakpoints.hit(a, false), int(BpState::Enabled));
  bps.sld_bp_hit(a);  // the scratch record
  EXPECT_EQ(s.engine.breakpoints.hit(a, false), int(BpState::Enabled));
  bps.sld_bp_set_enabled(user, false);
  EXPECT_EQ(s.debugger.target().target_planted().count(a), 0u);
  // Given back as the window had it.
  ASSERT_GE(s.engine.breakpoints.find(a), 0);
  EXPECT_EQ(s.engine.breakpoints.hit(a, false), int(BpState::Disabled));
  bps.bp_clear_all();
  EXPECT_GE(s.engine.breakpoints.find(a), 0);

  // An entry removed behind the debugger's back (from the simulator
  // window's list) is planted again by the next record that shares it.
  uint32_t b = s.line_address("stepper", 48);
  TargetAccess& t = s.debugger.target();
  ASSERT_GE(t.target_set_breakpoint(b), 0);
  s.engine.sim_bp_remove(b);
  ASSERT_LT(s.engine.sim_bp_find(b), 0);
  EXPECT_GE(t.target_set_breakpoint(b), 0);
  EXPECT_EQ(s.engine.breakpoints.hit(b, false), int(BpState::Enabled));
}

TEST_F(SldSession, AFullSimulatorTableIsReportedAndNothingRuns) {
  ASSERT_TRUE(s.command(RUN_GO));
  BreakpointTable& table = s.engine.breakpoints;
  for (uint32_t a = 0x8000; table.set(a, false) >= 0; ++a) {
  }
  uint32_t pc = s.pc();
  s.command(RUN_STEP_INTO);
  EXPECT_TRUE(s.host.said("The simulator's breakpoint table is full"));
  EXPECT_EQ(s.pc(), pc);
}

// Step Into plants every line of the assembler modules where the table has
// room; where it has not, the routines the function calls itself.
TEST_F(SldSession, StepIntoWithLittleRoomEntersTheRoutineCalled) {
  s.debugger.breakpoints().sld_bp_add_user(s.module("stepper"), 38, 0);
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_GO));
  s.debugger.breakpoints().sld_bp_remove_user(s.module("stepper"), 38);
  ASSERT_TRUE(s.command(RUN_STEP_OUT));
  ASSERT_TRUE(s.command(RUN_STEP_OUT));
  ASSERT_EQ(s.at(), "stepper:39");
  BreakpointTable& table = s.engine.breakpoints;
  for (uint32_t a = 0x8000; table.set(a, false) >= 0; ++a) {
  }
  for (uint32_t a = 0x8000; a < 0x8000 + 40; ++a) table.remove(a);
  ASSERT_TRUE(s.command(RUN_STEP_INTO));
  EXPECT_EQ(s.at(), "mul16:9") << s.host.out;
}

// Next over a line whose breakpoint the user disabled stops there (also when
// it was set just before the Next), and the breakpoint stays disabled.
TEST_F(SldSession, ADisabledBreakpointStaysDisabledAcrossSteps) {
  SldBreakpoints& bps = s.debugger.breakpoints();
  bps.sld_bp_set_enabled(bps.sld_bp_add_user(s.module("stepper"), 46, 0), false);
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_NEXT));
  ASSERT_TRUE(s.command(RUN_NEXT));
  EXPECT_EQ(s.at(), "stepper:46");
  EXPECT_FALSE(bps.sld_bp_find_user(s.module("stepper"), 46)->enabled);
  EXPECT_EQ(bps.sld_bp_dialog_lines()[2], "at line 46: in 'stepper.c'  Disabled");
  bps.sld_bp_set_enabled(bps.sld_bp_add_user(s.module("stepper"), 47, 0), false);
  ASSERT_TRUE(s.command(RUN_NEXT));
  EXPECT_EQ(s.at(), "stepper:47");
}

TEST_F(SldSession, RunNoBreaksPassesBreakpointsThatComeBackAfterTheStop) {
  SldBreakpoints& bps = s.debugger.breakpoints();
  bps.sld_bp_add_user(s.module("stepper"), 39, 0);
  ASSERT_TRUE(s.command(RUN_GO));
  // Nothing stops the program now: it ends in __lowexit's loop.
  EXPECT_FALSE(s.command(RUN_NO_BREAKS, 100));
  EXPECT_EQ(s.pc(), map()["__lowexit"]);
  EXPECT_TRUE(bps.sld_bp_find_user(s.module("stepper"), 39)->enabled);
  s.debugger.sld_restart();
  ASSERT_TRUE(s.command(RUN_GO));
  ASSERT_TRUE(s.command(RUN_GO));
  EXPECT_EQ(s.at(), "stepper:39");
}

TEST_F(SldSession, BreakpointDialog) {
  SldBreakpoints& bps = s.debugger.breakpoints();
  bps.sld_bp_add_user(s.module("stepper"), 31, 0);
  std::vector<std::string> lines = bps.sld_bp_dialog_lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "at line 31: in 'stepper.c'  Enabled");
  EXPECT_EQ(bps.sld_bp_dialog_toggle_text(lines[2]), "Disable");
  bps.sld_bp_dialog_toggle(lines[2]);
  EXPECT_EQ(bps.sld_bp_dialog_lines()[2], "at line 31: in 'stepper.c'  Disabled");
  EXPECT_EQ(bps.sld_bp_dialog_toggle_text(bps.sld_bp_dialog_lines()[2]), "Enable");
  bps.sld_bp_dialog_remove(bps.sld_bp_dialog_lines()[2]);
  EXPECT_EQ(bps.sld_bp_dialog_lines().size(), 2u);
  EXPECT_TRUE(bps.sld_bp_dialog_has_rows());
  bps.sld_bp_dialog_remove_all();
  EXPECT_EQ(bps.sld_bp_dialog_lines(), std::vector<std::string>{"No Breakpoints"});
  EXPECT_FALSE(bps.sld_bp_dialog_has_rows());
}

TEST(SldSupplyCode, FieldsAreHexadecimal) {
  SupplyCodeInfo info{0x1000, 0x1FFF, 0x1000};
  EXPECT_EQ(supply_code_texts(info), (std::array<std::string, 3>{"0x1000", "0x1FFF", "0x1000"}));
  EXPECT_EQ(supply_code_accept({"0X2000", "2fff", "zz"}, info), "Illegal hexadecimal value 'zz'");
  EXPECT_EQ(info.code_low, 0x1000u);
  EXPECT_EQ(supply_code_accept({"0x2000", "2fff", "0x2010"}, info), "");
  EXPECT_EQ(info.code_high, 0x2FFFu);
  EXPECT_EQ(info.entry, 0x2010u);
}

// ---- random command sequences ----

class Property {
public:
  // Ticks a run may take: the whole program needs less than one, so only a
  // run that nothing stops (it ends in __lowexit's loop) is halted.
  static constexpr int kTicks = 3;

  Property(Session& s, const std::string& path) : s_(s), path_(path) {}

  void window_entries() {
    window_.clear();
    const uint32_t addresses[] = {s_.line_address("stepper", 31), s_.line_address("stepper", 39),
                                  s_.line_address("stepper", 42), 0x3000};
    bool enabled = false;
    for (uint32_t a : addresses) {
      s_.engine.sim_bp_set(a, false);
      if (!enabled) s_.engine.sim_bp_disable(a);
      window_[a] = enabled ? BpState::Enabled : BpState::Disabled;
      enabled = !enabled;
    }
  }

  // The simulator's table holds the planted debugger records' addresses,
  // counted right, and the window's own entries as the window left them.
  void check(const std::string& where) {
    SldBreakpoints& bps = s_.debugger.breakpoints();
    std::map<uint32_t, int> records;
    // Scratch records are planted whenever they have an address.
    auto count = [&](const SldBreakpoint& bp, bool target, bool scratch = false) {
      if (!(bp.flags & BP_PLANTED)) return;
      ++records[bp.address];
      EXPECT_TRUE(scratch || (bp.enabled && (bp.flags & BP_WANTED)))
          << where << " planted but off: " << bp.module_name << ":" << bp.line;
      EXPECT_FALSE(target && s_.engine.sim_run_mode() == RunMode::Stopped)
          << where << " a temporary outlives its run";
    };
    for (const SldBreakpoint& bp : bps.user()) count(bp, false);
    for (const SldBreakpoint& bp : bps.targets()) count(bp, true);
    for (const SldBreakpoint& bp : bps.scratch()) count(bp, false, true);
    auto planted = s_.debugger.target().target_planted();
    EXPECT_EQ(planted, records) << where;
    for (const auto& e : s_.engine.breakpoints.entries) {
      if (e.address < 0) continue;
      uint32_t a = static_cast<uint32_t>(e.address);
      bool mine = planted.count(a) > 0;
      auto w = window_.find(a);
      EXPECT_TRUE(mine || w != window_.end()) << where << " stale entry " << std::hex << a;
      BpState wanted = mine ? BpState::Enabled : w != window_.end() ? w->second : e.state;
      EXPECT_EQ(e.state, wanted) << where << std::hex << " " << a;
    }
    for (const auto& [a, state] : window_)
      EXPECT_TRUE(s_.engine.sim_bp_exists(a)) << where << " window entry lost " << std::hex << a;
    for (const auto& [a, n] : planted)
      EXPECT_TRUE(s_.engine.sim_bp_exists(a)) << where << " planted entry lost " << std::hex << a;
  }

  void run(uint32_t seed, int sequences) {
    std::mt19937 rng(seed);
    std::vector<std::pair<const char*, uint32_t>> lines;
    for (uint32_t l : {22u, 24u, 30u, 31u, 32u, 37u, 38u, 39u, 40u, 42u, 47u, 48u, 49u, 51u, 55u})
      lines.emplace_back("stepper", l);
    lines.emplace_back("_startup", 42);
    lines.emplace_back("adder", 6);
    window_entries();
    std::set<uint32_t> allowed;
    s_.engine_host.on_run = [&] {
      check("at the start of a run");
      // A run stops only where an entry stood when it started.
      s_.engine.stopped_at_breakpoint = false;
      allowed.clear();
      for (const auto& e : s_.engine.breakpoints.entries)
        if (e.address >= 0 && e.state != BpState::Disabled) allowed.insert(uint32_t(e.address));
    };
    for (int seq = 0; seq < sequences; ++seq) {
      s_.debugger.sld_restart();
      int length = 3 + static_cast<int>(rng() % 6);
      std::string trace = format("sequence %d:", seq);
      for (int k = 0; k < length; ++k) {
        int op = static_cast<int>(rng() % 14);
        auto pick_user = [&]() -> SldBreakpoint* {
          auto& users = s_.debugger.breakpoints().user();
          if (users.empty()) return nullptr;
          auto it = users.begin();
          std::advance(it, rng() % users.size());
          return const_cast<SldBreakpoint*>(&*it);
        };
        s_.engine.stopped_at_breakpoint = false;
        allowed.clear();
        bool ran = false;
        trace += format(" %d", op);
        switch (op) {
          case 0: {
            auto [name, line] = lines[rng() % lines.size()];
            s_.debugger.breakpoints().sld_bp_add_user(s_.module(name), line, 0);
            break;
          }
          case 1:
          case 2:
            if (SldBreakpoint* bp = pick_user()) s_.debugger.breakpoints().sld_bp_set_enabled(*bp, op == 2);
            break;
          case 3:
            if (SldBreakpoint* bp = pick_user())
              s_.debugger.breakpoints().sld_bp_remove_user(s_.module(bp->module_name), bp->line);
            break;
          case 4: ran = true; s_.command(RUN_GO, kTicks); break;
          case 5: ran = true; s_.command(RUN_NEXT, kTicks); break;
          case 6: ran = true; s_.command(RUN_NO_BREAKS, kTicks); break;
          case 7: s_.debugger.sld_restart(); break;
          case 8:
            s_.debugger.sld_close_session();
            check(trace + " closed");
            EXPECT_TRUE(s_.debugger.target().target_planted().empty());
            ASSERT_EQ(s_.debugger.sld_start_debugging(path_), 1);
            // The load cleared the simulator's table.
            window_entries();
            break;
          case 9: ran = true; s_.command(RUN_STEP_INTO, kTicks); break;
          case 10: ran = true; s_.command(RUN_STEP_OUT, kTicks); break;
          case 12:
            if (rng() % 2) s_.debugger.breakpoints().sld_bp_dialog_remove_all();
            break;
          case 11: {
            // A scratch record, often where a user breakpoint stands.
            auto [name, line] = lines[rng() % lines.size()];
            uint32_t a = rng() % 4 ? s_.line_address(name, line) : 0;
            s_.debugger.breakpoints().sld_bp_set_scratch(static_cast<int>(rng() % 2), a);
            break;
          }
          default: {
            // The window switches one of its own entries that the debugger
            // does not hold.
            auto it = window_.begin();
            std::advance(it, rng() % window_.size());
            if (s_.debugger.target().target_planted().count(it->first)) break;
            bool on = it->second == BpState::Disabled;
            on ? s_.engine.sim_bp_enable(it->first) : s_.engine.sim_bp_disable(it->first);
            it->second = on ? BpState::Enabled : BpState::Disabled;
            break;
          }
        }
        check(trace);
        EXPECT_TRUE(!ran || !s_.engine.stopped_at_breakpoint || allowed.count(s_.pc()))
            << trace << " stopped elsewhere: " << std::hex << s_.pc();
        if (::testing::Test::HasFailure()) return;
      }
    }
  }

private:
  Session& s_;
  std::string path_;
  std::map<uint32_t, BpState> window_;
};

TEST_F(SldSession, RandomSequencesKeepTheSimulatorTableExact) {
  Property(s, path).run(20240521, 2000);
}

// ---- a hand-made program ----

// S1 records of `bytes` at `address`, 16 a line, with their checksums.
std::string s1_records(uint32_t address, const std::vector<uint8_t>& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 16) {
    size_t n = std::min<size_t>(16, bytes.size() - i);
    uint32_t a = address + static_cast<uint32_t>(i);
    unsigned sum = static_cast<unsigned>(n + 3) + (a >> 8) + (a & 0xFF);
    std::string line = format("S1%02X%04X", static_cast<unsigned>(n + 3), a);
    for (size_t k = 0; k < n; ++k) {
      line += format("%02X", bytes[i + k]);
      sum += bytes[i + k];
    }
    out += line + format("%02X\n", ~sum & 0xFF);
  }
  return out;
}

class SldHandMade : public ::testing::Test {
protected:
  void SetUp() override {
    std::string c = dir.write("m.c", "l1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\n");
    std::string a = dir.write("s.s09", "l1\nl2\nl3\nl4\nl5\nl6\n");
    std::string text = "S0030000FC\n" +
        // _main: NOP NOP NOP RTS; a point of no function; BRA *; _f2 ends
        // past its last point; spin counts X down from 500.
        s1_records(0x1000, {0x12, 0x12, 0x12, 0x39, 0x12, 0x12, 0x20, 0xFE, 0x12, 0x12, 0x12,
                            0x12, 0x12, 0x12, 0x12, 0x39}) +
        s1_records(0x1020, {0x8E, 0x01, 0xF4, 0x30, 0x1F, 0x26, 0xFC, 0x39}) +
        "S9031000EC\n"
        "SX:C:s:_main\n"
        "SX:C:M:m$" + c + "\n"
        "SX:A:M:s$" + a + "\n"
        "SX:C:T: typ11 I (2)\n"
        "SX:C:S:F:m:main:_main:(typ11)\n"
        "SX:C:F:m:_main:00001000:2\n"
        "SX:C:X:m:2:5:1000\n"
        "SX:C:X:m:6:4:1001\n"  // a line without code: the record of line 3's code follows
        "SX:C:X:m:3:4:1001\n"
        "SX:C:X:m:4:4:1002\n"
        "SX:C:Z:m:4:1:1002\n"
        "SX:C:E:m:_main:00001004:4\n"
        "SX:C:X:m:5:4:1004\n"
        "SX:C:F:m:_f2:0000100C:8\n"
        "SX:C:X:m:8:4:100C\n"
        "SX:C:E:m:_f2:00001010:9\n"
        "SX:A:X:s:2:1020\n"
        "SX:A:X:s:3:1023\n"
        "SX:A:X:s:4:1025\n"
        "SX:A:X:s:5:1027\n"
        "SX:A:F:s:spin:1020:1\n"
        "SX:A:E:s:spin:1028:6\n";
    ASSERT_EQ(s.debugger.sld_start_debugging(dir.write("m.s19", text)), 1) << s.host.out;
  }
  ScratchDir dir;
  Session s;
};

TEST_F(SldHandMade, ALostPcIsSteppedOnlySoFar) {
  s.debugger.target().target_set_pc(0x1006);
  s.debugger.sld_run_command(RUN_NEXT);
  EXPECT_TRUE(s.host.said("No source line found within 10000 instructions from 0x1006\n")) << s.host.out;
  EXPECT_EQ(s.pc(), 0x1006u);
}

TEST_F(SldHandMade, APcPastTheLastPointKeepsThatPoint) {
  s.debugger.target().target_set_pc(0x100E);
  EXPECT_EQ(s.debugger.sld_locate_pc(false), 1);
  EXPECT_EQ(s.at(), "m:8");
}

// An older compiler's record of a line without code of its own (a
// `while (1) {`) lies at the address of the next line's code: the stop
// there shows the next line, the line takes no breakpoint, and a Next from
// the next line runs its code.
TEST_F(SldHandMade, ALineWithoutCodeIsNeitherStopNorBreakpoint) {
  EXPECT_EQ(s.line_address("m", 6), 0u);
  EXPECT_EQ(s.line_address("m", 3), 0x1001u);
  s.debugger.target().target_set_pc(0x1000);
  ASSERT_EQ(s.debugger.sld_locate_pc(false), 1);
  ASSERT_TRUE(s.command(RUN_NEXT));
  EXPECT_EQ(s.pc(), 0x1001u);
  EXPECT_EQ(s.at(), "m:3");
  ASSERT_TRUE(s.command(RUN_NEXT));
  EXPECT_EQ(s.pc(), 0x1002u);
  EXPECT_EQ(s.at(), "m:4");
}

TEST_F(SldHandMade, NoEnclosingFunction) {
  s.debugger.target().target_set_pc(0x1004);
  s.debugger.sld_run_command(RUN_NEXT);
  EXPECT_TRUE(s.host.said("Can't determine scope.\n"));
  EXPECT_EQ(s.pc(), 0x1004u);
  EXPECT_EQ(s.at(), "m:5");
}

// An interrupt whose routine never returns (BRA * at 1006): the step serves
// it only so far, says so, and does not run on from inside it.
TEST_F(SldHandMade, AnInterruptThatNeverReturnsEndsTheStep) {
  s.debugger.breakpoints().sld_bp_add_user(s.module("m"), 3, 0);
  s.debugger.target().target_write(0xDFF6, 0x1006, 2);  // the monitor's IRQ vector
  s.debugger.target().target_set_pc(0x1001);
  s.engine.cpu.cc = 0x00;
  s.engine.command(787);
  ASSERT_TRUE(s.command(RUN_NEXT, 10));
  EXPECT_TRUE(s.host.said("Interrupts were served for 1000000 instructions and the step did not "
                          "get on\n"))
      << s.host.out;
  EXPECT_EQ(s.pc(), 0x1006u);
}

TEST_F(SldHandMade, StepOutOfALoopGivesUp) {
  s.debugger.target().target_set_pc(0x1020);
  s.debugger.sld_run_command(RUN_STEP_OUT);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0], "|Difficult to step out, this looks like a loop");
  EXPECT_EQ(s.at().substr(0, 2), "s:");
}

}  // namespace
}  // namespace zun::sld
