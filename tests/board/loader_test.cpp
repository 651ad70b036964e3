// The S-record loader's edge cases and the default target.
#include "tests/board/engine_fixture.h"

#include <filesystem>
#include <fstream>

#include "common/format.h"

namespace zun {
namespace {

namespace fs = std::filesystem;

class EngineLoader : public EngineTest {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zun_loader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string file(const std::string& name, const std::string& text) {
    auto p = (dir / name).generic_string();
    fs::create_directories(fs::path(p).parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  fs::path dir;
};

TEST_F(EngineLoader, FirstRecordGivesTheEntryWithoutS9) {
  auto r = engine.load_srecords(file("a.s19", "S00600004844521B\nS1051000AABB85\nS1052000CCDD31\n"));
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(r.end_entry);
  EXPECT_EQ(engine.entry_address, 0x1000u);
  EXPECT_EQ(board.board_peek(0x1001), 0xBB);
  EXPECT_EQ(board.board_peek(0x2001), 0xDD);
  EXPECT_EQ(engine.load_file_name, "a.s19");
}

TEST_F(EngineLoader, EndRecordSetsTheEntryAndEndsTheLoad) {
  auto r = engine.load_srecords(file("b.s19", "S1041000AA41\r\nS9031234B6\r\nS1041100BB2F\r\n"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.end_entry, 0x1234u);
  EXPECT_EQ(engine.entry_address, 0x1234u);
  EXPECT_EQ(board.board_peek(0x1100), 0x00);
}

TEST_F(EngineLoader, WiderAddressesAndDebugRecordsAfterTheData) {
  auto r = engine.load_srecords(file("c.s19", "S205001000EEFC\nS30600001001FFE9\nSX:C:s:start\nS1041200AA3F\n"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(board.board_peek(0x1000), 0xEE);
  EXPECT_EQ(board.board_peek(0x1001), 0xFF);
  EXPECT_EQ(board.board_peek(0x1200), 0x00);
}

TEST_F(EngineLoader, LastLineWithoutNewlineKeepsItsLastByte) {
  auto r = engine.load_srecords(file("d.s19", "S106100011223383"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(board.board_peek(0x1002), 0x33);
}

// Every record is whole or refused with its line: the count must cover the
// line exactly and the checksum must add up, in the header and end records too.
TEST_F(EngineLoader, CountAndChecksumAreVerifiedInEveryRecord) {
  auto refused = [&](const std::string& text) {
    LoadResult r = engine.load_srecords(file("bad.s19", text));
    return r.code == 2 ? format("line %d: %s", r.line, r.reason.c_str()) : format("code %d", r.code);
  };
  const std::string good = "S1041000AA41\n";
  // One byte more than the count: the last data byte would be dropped.
  EXPECT_EQ(refused(good + "S1061000860120FEB1\n"), "line 2: bad count");
  EXPECT_EQ(refused("S10510001122B74455\n"), "line 1: bad count");
  EXPECT_EQ(refused("S1091000112233\n"), "line 1: bad count");  // shorter than its count
  EXPECT_EQ(refused(good + "S1041000AB41\n"), "line 2: bad checksum");  // one data digit changed
  EXPECT_EQ(refused("S00600004844521C\n" + good), "line 1: bad checksum");
  EXPECT_EQ(refused(good + "S9031000ED\n"), "line 2: bad checksum");
  EXPECT_EQ(refused("S1051000G122B7\n"), "line 1: non-hex digits in the data");
  EXPECT_EQ(refused("S1041000AAZ1\n"), "line 1: non-hex digits in the checksum");
  EXPECT_EQ(refused("S5030001FB\n"), "line 1: unknown record type 'S5'");
  EXPECT_EQ(refused("hello\n"), "line 1: not an S-record");
  EXPECT_EQ(board.board_peek(0x1001), 0x00);  // nothing of a refused record is stored
  // Blanks after the checksum and lower-case digits are no fault.
  EXPECT_EQ(refused("S1041000aa41 \t\n"), "code 0");
  EXPECT_EQ(board.board_peek(0x1000), 0xAA);
  EXPECT_EQ(engine.load_srecords((dir / "none.s19").generic_string()).code, 1);
}

TEST_F(EngineLoader, WriteOutsideMemoryFailsWithItsAddress) {
  auto r = engine.load_srecords(file("io.s19", "S104E020AA51\n"));
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(host.output, "VM: Can't write to simulator memory at 0x0000E020\n");
  host.output.clear();
  EXPECT_EQ(engine.load_srecords(file("wrap.s19", "S105FFFF1122C9\n")).code, 2);
  EXPECT_EQ(host.output, "VM: Can't write to simulator memory at 0x00010000\n");
  EXPECT_EQ(board.board_peek(0xFFFF), 0x11);
}

TEST_F(EngineLoader, RomLoadsWhileReadOnlyAndStaysReadOnly) {
  auto r = engine.load_srecords(file("rom.s19", "S104E10055C5\n"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(board.board_peek(0xE100), 0x55);
  EXPECT_FALSE(board.rom_writable);
  board.rom_writable = true;
  engine.load_srecords(file("bad.s19", "S104E020AA51\n"));
  EXPECT_TRUE(board.rom_writable);
}

TEST_F(EngineLoader, ReportingLoadShowsTheFailureAndClearsTheEntry) {
  engine.entry_address = 0x1234;
  EXPECT_EQ(engine.load_srecords_reporting(file("bad.s19", "S104E020AA51\n")), 2);
  EXPECT_EQ(engine.entry_address, 0u);
  EXPECT_EQ(host.messages.back(), "Message: There were Load-errors, check simulator settings and/or loadfile");
}

TEST_F(EngineLoader, DefaultTargetLoadsDescriptorAndMonitorInConfiguration1) {
  Engine e(board, host, (dir / "bin").generic_string());
  fs::create_directories(dir / "bin");
  file("config/zun09/ky09.m09sim", ":iotarget:1:0:57384:1:\n");
  file("config/zun09/qm09.s19", "S104FFFE12EC\nS104E10039E1\n");
  board.board_configuration_set(2);
  EXPECT_EQ(e.load_default_target(), 0);
  EXPECT_EQ(board.board_peek(0xE100), 0xFF);
  board.board_configuration_set(1);
  EXPECT_EQ(e.load_default_target(), 0);
  EXPECT_EQ(board.board_peek(0xFFFE), 0x12);
  EXPECT_EQ(board.board_peek(0xE100), 0x39);
  EXPECT_FALSE(board.rom_writable);
  EXPECT_GE(board.onboard_connection(int(Onboard::Acia1)), 0);
  EXPECT_EQ(board.sim_descriptor_name(), "<DEFAULT>");  // not the project's descriptor
  EXPECT_EQ(e.load_file_name, "");                       // nor the load file
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(EngineLoader, ProjectDescriptorIsKeptAndAMissingMonitorIsReported) {
  std::string bin = (dir / "bin").generic_string();
  Engine e(board, host, bin);
  file("config/zun09/ky09.m09sim", ":iotarget:1:0:57384:1:\n");
  auto own = file("own.m09sim", ":tovr:2:0:57344:\n");
  ASSERT_TRUE(board.descriptor_load(own).ok);
  EXPECT_EQ(e.load_default_target(), 1);
  EXPECT_EQ(board.slots[0].base, 0xE000u);
  EXPECT_EQ(board.slots[1].handle, -1);
  EXPECT_EQ(board.descriptor_path, own);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Error: Failed to load '" + bin + "/../config/zun09/qm09.s19'"}));
}

TEST_F(EngineLoader, LoadCommandPutsTheEntryIntoPc) {
  board.board_configuration_set(2);
  engine.load_file = file("p.s19", "S104100012D9\nS9031000EC\n");
  engine.sim_bp_set(0x1000, false);
  EXPECT_EQ(engine.command(SIM_LOAD), 1);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_FALSE(engine.sim_bp_exists(0x1000));
  engine.load_file = file("q.s19", "S104E020AA51\n");
  EXPECT_EQ(engine.command(SIM_RELOAD), 0);
  EXPECT_EQ(host.messages.back(), "Error: Failed to load:\r\n'" + engine.load_file + "'\r\nYou should check simulator setup");
  // The output window names the record at fault.
  host.output.clear();
  engine.load_file = file("r.s19", "S1041000128B\n");
  EXPECT_EQ(engine.command(SIM_RELOAD), 0);
  EXPECT_EQ(host.output, "VM: Can't load '" + engine.load_file + "': line 1: bad checksum\n");
}

TEST_F(EngineLoader, ChangedLoadFileAndSetupReload) {
  engine.load_file = file("p.s19", "S104100012D9\n");
  ASSERT_EQ(engine.load_srecords(engine.load_file).code, 0);
  EXPECT_FALSE(engine.sim_load_file_changed());
  fs::last_write_time(engine.load_file, fs::last_write_time(engine.load_file) + std::chrono::seconds(5));
  EXPECT_TRUE(engine.sim_load_file_changed());
  EXPECT_FALSE(engine.sim_load_file_changed());  // remembered
  file("p.s19", "S1061000860120FEB1\n");
  engine.command(SIM_SETUP);
  EXPECT_EQ(host.messages.back(), "Message: There were Load-errors, check simulator settings and/or loadfile");
  EXPECT_EQ(host.output, "VM: Can't load '" + engine.load_file + "': line 1: bad count\n");
}

}  // namespace
}  // namespace zun
