// The board configuration dialogs' rules without windows, and the board's
// cached device objects when an instance goes behind its back.
#include "tests/board/board_fixture.h"

#include "debugger/board/target_setup.h"

namespace zun {
namespace {

constexpr int probe = int(tovrel::DeviceKind::Probe);

using SimSetup = BoardTest;

TEST_F(SimSetup, AttachingWithoutAChipTakesOnlyTheOutsideWindow) {
  TargetSetup setup(board);
  auto rows = io_device_rows(board);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], "1   TERMINAL    2   Serial terminal (outside side of an ACIA)");
  EXPECT_EQ(expand_tabs("ab\tc\t\td\r\nignored"), "ab  c       d");
  // An on-board address would never reach the device, nor could it be
  // detached: refused unless a chip is being connected.
  IoConnect r = io_connect(setup, rows[4], "$E028", std::nullopt);
  EXPECT_EQ(r.slot, -1);
  EXPECT_EQ(r.message, "Invalid base address specified");
  EXPECT_EQ(setup.change_counter, 0);
  r = io_connect(setup, rows[4], "e01f", std::nullopt);
  EXPECT_EQ(r.slot, 0);
  EXPECT_EQ(board.slots[0].base, 0xE01Fu);
  r = io_connect(setup, rows[4], "E01F", std::nullopt);
  EXPECT_EQ(r.message, "You can't connect this address to multiple devices");
  // With a chip's base preset the on-board address is the point.
  r = io_connect(setup, rows[4], "", 0xE028);
  EXPECT_EQ(r.slot, 1);
  EXPECT_EQ(setup.change_counter, 2);
  EXPECT_EQ(io_setup_caption(board), "Simulated IO Setup (TOVREL Version: 100)");
}

TEST_F(SimSetup, ConnectCancelClosesOkKeeps) {
  {
    TargetSetup setup(board);
    io_connect(setup, "5", "", setup.connect_base(2));
    setup.connected(2);
    EXPECT_EQ(setup.state(2), OnboardState::Connected);
    EXPECT_EQ(setup.onboard_rows()[2], "E048 Yes PIA 1, Parallel Interface Adapter MC6821");
    int32_t h = board.onboard_connection(2);
    setup.cancel();
    EXPECT_EQ(board.onboard_connection(2), -1);
    EXPECT_EQ(board.dev_find_by_handle(h), -1);
    EXPECT_EQ(tovrel::find_device(h), nullptr);  // closed, not only forgotten
  }
  TargetSetup setup(board);
  io_connect(setup, "5", "", setup.connect_base(2));
  setup.connected(2);
  setup.ok(2);
  EXPECT_GE(board.onboard_connection(2), 0);
  EXPECT_FALSE(board.slots[board.dev_find_by_handle(board.onboard_connection(2))].setup);
  EXPECT_EQ(board.board_configuration_get(), 2);
  EXPECT_EQ(TargetSetup(board).onboard_rows()[6], "E0E0 NA  Timer, MC6840");
}

TEST_F(SimSetup, DisconnectToleratesAnInstanceAlreadyGone) {
  auto& p = probe_at(0xE048, 2);
  int32_t h = board.onboard_connection(2);
  CloseSim(h);  // gone behind the board's back
  TargetSetup setup(board);
  setup.disconnect(2);
  EXPECT_EQ(board.onboard_connection(2), -1);
  (void)p;
  // A connection whose slot was purged already: nothing left to close.
  probe_at(0xE050, 3);
  int slot = board.dev_find_by_handle(board.onboard_connection(3));
  board.dev_release(slot);
  setup.disconnect(3);
  EXPECT_EQ(board.onboard_connection(3), -1);
  EXPECT_EQ(setup.change_counter, 2);
}

TEST_F(SimSetup, DefaultClosesTheDevicesOnlyOnOk) {
  probe_at(0xE000);
  probe_at(0xE028, 1);
  {
    TargetSetup setup(board);
    setup.press_default();
    setup.cancel();
    EXPECT_NE(board.slots[0].handle, -1);
    EXPECT_GE(board.onboard_connection(1), 0);
  }
  TargetSetup setup(board);
  setup.press_default();
  // A device connected after Default stays: only those open at Default go.
  io_connect(setup, "5", "", setup.connect_base(2));
  setup.connected(2);
  setup.ok(1);
  EXPECT_EQ(board.slots[0].handle, -1);
  EXPECT_EQ(board.onboard_connection(1), -1);
  EXPECT_GE(board.onboard_connection(2), 0);
}

TEST_F(SimSetup, DetachListsOutsideDevicesAndClosesThemWithTheirChip) {
  board.dev_open(probe, 0xE000, 0);
  auto& chip = probe_at(0xE028, 1);
  (void)chip;
  board.dev_open(probe, 0xE100, 0);  // a descriptor may name any base
  EXPECT_EQ(detach_rows(board),
            (std::vector<std::string>{"E000  Scriptable probe for tests", "E100  Scriptable probe for tests"}));
  int32_t h = board.slots[0].handle;
  TargetSetup setup(board);
  ASSERT_TRUE(detach_row(setup, "E000  Scriptable probe for tests"));
  EXPECT_EQ(tovrel::find_device(h), nullptr);
  EXPECT_EQ(detach_rows(board).size(), 1u);
  EXPECT_FALSE(detach_row(setup, "no base here"));
  // The detach of a slot that serves a chip releases the chip too.
  int slot = board.dev_find_by_handle(board.onboard_connection(1));
  board.slots[slot].base = 0xE010;  // as an outside device would sit
  detach_row(setup, "E010  x");
  EXPECT_EQ(board.onboard_connection(1), -1);
  EXPECT_EQ(board.acia[1].activity, 0);
}

// The board keeps the device objects of its connections; an instance closed
// by someone else reads as gone rather than leaving a dangling object.
TEST_F(SimSetup, InstanceClosedBehindTheBoardsBackIsDropped) {
  auto& console = probe_at(0xE028, int(Onboard::Acia1));
  int32_t h = board.onboard_connection(int(Onboard::Acia1));
  console.queue(0, 0x141);
  step();
  EXPECT_TRUE(board.acia[1].status & Mc6850::RDRF);
  auto& irq = probe_at(0xE000);
  irq.irq = true;
  EXPECT_TRUE(board.dev_irq_pending());
  CloseSim(board.slots[1].handle);
  EXPECT_FALSE(board.dev_irq_pending());
  CloseSim(h);
  step();
  EXPECT_EQ(board.onboard_connection(int(Onboard::Acia1)), -1);
}

}  // namespace
}  // namespace zun

namespace zun {
namespace {

// The board skips a terminal's poll while it says nothing is pending; that
// must be exactly when a poll would deliver nothing and change nothing.
TEST(SimTerminalPoll, NothingPendingMeansAPollIsANoOp) {
  tovrel::SerialTerminal t("$E028");
  t.set_option(3);
  auto poll_if_pending = [&] {
    if (t.input_pending) return t.input(0);
    EXPECT_EQ(t.input(0), 0);
    EXPECT_FALSE(t.input_pending);
    return 0;
  };
  EXPECT_FALSE(t.input_pending);  // new: idle from the start
  poll_if_pending();
  t.type_text("ab");
  EXPECT_TRUE(t.input_pending);
  EXPECT_EQ(poll_if_pending(), 0x100 | 'a');
  t.output(0, 0);  // taken: the next byte waits three polls
  for (int i = 0; i < 2; ++i) EXPECT_EQ(poll_if_pending(), 0);
  EXPECT_EQ(poll_if_pending(), 0x100 | 'b');
  t.output(0, 0);
  for (int i = 0; i < 5; ++i) poll_if_pending();
  EXPECT_FALSE(t.input_pending);
}

}  // namespace
}  // namespace zun
