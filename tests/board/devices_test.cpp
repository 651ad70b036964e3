// The attached-device table, the device-type list, target descriptors and the
// tovrel library's own C interface and device models.
#include "tests/board/board_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zun {
namespace {

// A library whose list and open results the test chooses.
class ScriptedLibrary : public TovrelLibrary {
public:
  std::string list;
  int32_t open_result = -5;
  int32_t query_io_list_size() override { return static_cast<int32_t>(list.size()); }
  int32_t get_io_list(char* buffer) override {
    std::copy(list.begin(), list.end(), buffer);  // no terminator: exactly the size
    return 1;
  }
  int32_t open_sim(int32_t, const char*, int32_t) override { return open_result; }
};

TEST(BoardDeviceTypes, ListIsParsedWithBounds) {
  ScriptedLibrary io;
  io.list = "1\tTERM\t2\tA terminal\r\n"
            "15\tBIG\t4\tignored: number too high\r\n"
            "-1\tNEG\t4\tignored\r\n"
            "3\tAVERYLONGTYPENAMEINDEED\t7\t" + std::string(80, 'd') + "\r\n"
            "14\tLAST\t1\tno line end";
  Board board(io);
  board.onboard_connect(0, 9);
  board.load_device_types();
  EXPECT_TRUE(board.types_parsed);
  EXPECT_EQ(board.onboard_connection(0), -1);
  EXPECT_EQ(board.types[1].name, "TERM");
  EXPECT_EQ(board.types[1].space, 2u);
  EXPECT_EQ(board.types[1].description, "A terminal");
  EXPECT_EQ(board.types[3].name, "AVERYLONGTYPENA");
  EXPECT_EQ(board.types[3].description, std::string(63, 'd'));
  EXPECT_EQ(board.types[14].description, "no line end");
  EXPECT_EQ(board.types[0].space, 0u);
}

TEST(BoardDeviceTypes, EmptyListIsRetried) {
  ScriptedLibrary io;
  Board board(io);
  board.load_device_types();
  EXPECT_FALSE(board.types_parsed);
  io.list = "2\tLEDS\t1\tlamps\r\n";
  board.load_device_types();
  EXPECT_EQ(board.types[2].space, 1u);
}

TEST(BoardDeviceSlots, FailedOpenLeavesTheSlotFree) {
  ScriptedLibrary io;
  Board board(io);
  EXPECT_EQ(board.dev_open(1, 0xE000, 0), -1);
  EXPECT_EQ(board.slots[0].handle, -1);
  board.dev_release(-1);  // harmless
  board.dev_release(device_slot_count);
}

using BoardSlots = BoardTest;

TEST_F(BoardSlots, TwentyFirstOpenFindsNoSlot) {
  for (int i = 0; i < device_slot_count; ++i) EXPECT_EQ(board.dev_open(2, 0xE000 + i, 0), i);
  EXPECT_EQ(board.dev_open(2, 0xE01F, 0), -1);
  EXPECT_EQ(board.last_opened_slot, 19);
  board.dev_close_all();
  for (const auto& s : board.slots) EXPECT_EQ(s.handle, -1);
}

TEST_F(BoardSlots, OpenNamesTheInstanceAfterItsBaseAndHandsOverTheOption) {
  int slot = board.dev_open(1, 0xE000, 250);
  auto* d = tovrel::find_device(board.slots[slot].handle);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->name, "$E000");
  EXPECT_EQ(d->option(), 250);
}

TEST_F(BoardSlots, DetachClosesAndDisconnects) {
  probe_at(0xE028, int(Onboard::Acia1));
  int32_t h = board.onboard_connection(int(Onboard::Acia1));
  int slot = board.dev_find_by_handle(h);
  board.dev_detach(slot);
  EXPECT_EQ(QuerySim(h), 0);
  EXPECT_EQ(board.slots[slot].handle, -1);
  EXPECT_EQ(board.onboard_connection(int(Onboard::Acia1)), -1);
  EXPECT_EQ(board.acia[1].activity, 0);
}

TEST_F(BoardSlots, PurgeAndEndSetup) {
  auto& gone = probe_at(0xE000);
  probe_at(0xE048, int(Onboard::Pia1));
  int kept = board.dev_open(2, 0xE010, 0);
  int cancelled = board.dev_find_by_handle(board.onboard_connection(int(Onboard::Pia1)));
  board.slots[cancelled].setup = true;
  gone.go_away();
  board.dev_purge();
  EXPECT_EQ(board.slots[0].handle, -1);
  board.dev_end_setup(false);
  EXPECT_EQ(board.slots[cancelled].handle, -1);
  EXPECT_EQ(board.onboard_connection(int(Onboard::Pia1)), -1);
  EXPECT_NE(board.slots[kept].handle, -1);
}

TEST_F(BoardSlots, NewBaseMustBeAFreeIoPageAddress) {
  std::string message;
  EXPECT_EQ(board.check_new_base("$E010", message), 0xE010u);
  EXPECT_EQ(board.check_new_base("e010", message), 0xE010u);
  EXPECT_FALSE(board.check_new_base("E100", message));
  EXPECT_EQ(message, "Invalid base address specified");
  EXPECT_FALSE(board.check_new_base("", message));
  board.dev_open(2, 0xE010, 0);
  EXPECT_FALSE(board.check_new_base("E010", message));
  EXPECT_EQ(message, "You can't connect this address to multiple devices");
}

TEST_F(BoardSlots, InterruptFromAnAttachedDevice) {
  auto& p = probe_at(0xE000);
  EXPECT_FALSE(board.dev_irq_pending());
  p.irq = true;
  EXPECT_TRUE(board.dev_irq_pending());
  p.go_away();
  EXPECT_FALSE(board.dev_irq_pending());
}

using BoardDescriptor = BoardTest;

TEST_F(BoardDescriptor, WriteThenReadGivesTheSameDevices) {
  board.dev_open(5, 0xE000, 7);
  int console = board.dev_open(1, 0xE028, 300);
  board.onboard_connect(1, board.slots[console].handle);
  board.slots[console].onboard = 1;
  board.dev_open(3, 0xE100, 0);
  board.dev_open(2, 0xE030, 0);  // on-board window, no chip
  std::ostringstream text;
  board.descriptor_write(text);
  EXPECT_EQ(text.str(),
            ":tovr:5:7:57344:\n"
            ":iotarget:1:300:57384:1:\n"
            ":tovr:3:0:57600:\n"
            ":iotarget:2:0:57392:-1:\n");

  TovrelLibrary io2;
  Board copy(io2);
  copy.load_device_types();
  std::istringstream in(text.str());
  copy.descriptor_read(in);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(copy.slots[i].base, board.slots[i].base);
    EXPECT_EQ(copy.slots[i].device, board.slots[i].device);
    EXPECT_EQ(copy.slots[i].onboard, board.slots[i].onboard);
    EXPECT_EQ(GetOptionSim(copy.slots[i].handle), GetOptionSim(board.slots[i].handle));
  }
  EXPECT_EQ(copy.onboard_connection(1), copy.slots[1].handle);
  EXPECT_EQ(copy.acia[1].activity, 2);
  std::ostringstream again;
  copy.descriptor_write(again);
  EXPECT_EQ(again.str(), text.str());
}

TEST_F(BoardDescriptor, ReaderSkipsWhatItCannotUse) {
  std::istringstream in("tovr:1:0:57344:\n"
                        ":nonsense:1:0:57344:\n"
                        ":tovr:99:0:57344:\n"
                        ":iotarget:4:0:57416:9:\r\n"
                        ":iotarget:4:0:57424:3:\r\n");
  board.descriptor_read(in);
  EXPECT_EQ(board.slots[0].device, 4u);
  EXPECT_EQ(board.slots[0].onboard, -1);
  EXPECT_EQ(board.slots[1].onboard, 3);
  EXPECT_EQ(board.onboard_connection(3), board.slots[1].handle);
  EXPECT_EQ(board.slots[2].handle, -1);
}

TEST_F(BoardDescriptor, LoadFromFileAndDisplayName) {
  EXPECT_EQ(board.sim_descriptor_name(), "<DEFAULT>");
  auto dir = std::filesystem::temp_directory_path() / "zun_board_descriptor";
  std::filesystem::create_directories(dir);
  auto path = (dir / "my.target.m09sim").generic_string();
  std::ofstream(path) << "; a comment\n:iotarget:1:0:57384:1:\n";
  board.dev_open(2, 0xE000, 0);
  auto r = board.descriptor_load(path);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(board.sim_descriptor_name(), "my.target");
  EXPECT_EQ(board.descriptor_path, path);
  EXPECT_EQ(board.slots[0].base, 0xE028u);  // the earlier device was closed
  EXPECT_EQ(board.slots[1].handle, -1);

  auto missing = board.descriptor_load((dir / "none.m09sim").generic_string());
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.message, "Can't open '" + (dir / "none.m09sim").generic_string() + "'");
  EXPECT_EQ(board.sim_descriptor_name(), "my.target");
  EXPECT_EQ(board.slots[0].handle, -1);

  board.sim_set_descriptor("C:\\boards\\ky09");
  EXPECT_EQ(board.sim_descriptor_name(), "ky09");
  std::filesystem::remove_all(dir);
}

TEST_F(BoardDescriptor, SaveReportsAnUncreatableFile) {
  auto r = board.descriptor_save("/nonexistent-dir/x.m09sim");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Can't create '/nonexistent-dir/x.m09sim'");
}

TEST(Tovrel, HandlesAreNeverReusedAndStaleOnesAreHarmless) {
  int32_t a = OpenSim(2, "$E000", 0);
  ASSERT_GE(a, 0);
  EXPECT_EQ(QuerySim(a), 1);
  CloseSim(a);
  int32_t b = OpenSim(2, "$E000", 0);
  EXPECT_GT(b, a);
  for (int32_t h : {a, -1}) {
    EXPECT_EQ(QuerySim(h), 0);
    EXPECT_EQ(InputSim(h, 0), 0);
    EXPECT_EQ(OutputSim(h, 1, 0), 0);
    EXPECT_EQ(IsTovrPendingIrq(h), 0);
    EXPECT_EQ(GetOptionSim(h), 0);
    EXPECT_EQ(SetOptionSim(h, 3), 0);
    EXPECT_EQ(CloseSim(h), 0);
  }
  EXPECT_EQ(OpenSim(0, "$E000", 0), -1);
  EXPECT_EQ(OpenSim(15, "$E000", 0), -1);
  CloseSim(b);
}

TEST(Tovrel, ListSizeMatchesTheText) {
  int32_t size = QueryIOListSize();
  ASSERT_GT(size, 0);
  std::string buffer(size + 1, '\0');
  GetIOList(buffer.data());
  EXPECT_EQ(buffer.back(), '\0');
  EXPECT_EQ(buffer.substr(0, buffer.find('\r')), "1\tTERMINAL\t2\tSerial terminal (outside side of an ACIA)");
}

TEST(Tovrel, TerminalPacesItsInput) {
  int32_t h = OpenSim(1, "$E028", 0);
  SetOptionSim(h, 3);
  auto* t = tovrel::find<tovrel::SerialTerminal>(h);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(InputSim(h, 0), 0);
  t->type_text(std::string("a\0", 2));
  EXPECT_EQ(InputSim(h, 0), 0x161);
  EXPECT_EQ(InputSim(h, 0), 0x161);  // offered until taken
  OutputSim(h, 0, 0);
  EXPECT_EQ(InputSim(h, 0), 0);
  EXPECT_EQ(InputSim(h, 0), 0);
  EXPECT_EQ(InputSim(h, 0), 0x100);  // NUL, after the gap of 3 polls
  OutputSim(h, 'o', 1);
  OutputSim(h, 'k', 1);
  EXPECT_EQ(t->take_output(), "ok");
  EXPECT_EQ(t->take_output(), "");
  CloseSim(h);
}

TEST(Tovrel, PanelDevices) {
  int32_t leds = OpenSim(2, "$E000", 0), sw = OpenSim(3, "$E001", 0), panel = OpenSim(4, "$E048", 0);
  OutputSim(leds, 0x81, 0);
  EXPECT_EQ(tovrel::find<tovrel::Leds>(leds)->lamps, 0x81);
  EXPECT_EQ(InputSim(sw, 0), 0x100);
  tovrel::find<tovrel::Switches>(sw)->set(0x0C);
  EXPECT_EQ(InputSim(sw, 0), 0x10C);
  OutputSim(panel, 0x3C, 0);
  tovrel::find<tovrel::PiaPanel>(panel)->set_switches(0x01);
  EXPECT_EQ(tovrel::find<tovrel::PiaPanel>(panel)->lamps, 0x3C);
  EXPECT_EQ(InputSim(panel, 0), 0);
  EXPECT_EQ(InputSim(panel, 1), 0x101);
  for (int32_t h : {leds, sw, panel}) CloseSim(h);
}

}  // namespace
}  // namespace zun
