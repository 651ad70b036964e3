// The memory map, device-access refusal, side-effect-free peeks, the attached
// window 0xE000-0xE01F and the floppy pass-throughs.
#include "tests/board/board_fixture.h"

namespace zun {
namespace {

using BoardMemoryMap = BoardTest;

TEST_F(BoardMemoryMap, RamRomAndAddressWidth) {
  wr(0x0000, 0x11);
  wr(0xDFFF, 0x22);
  EXPECT_EQ(rd(0xDFFF), 0x22);
  EXPECT_EQ(rd(0xFFFFDFFF), 0x22);  // sign extension of 0xDFFF
  uint8_t v = 0x5A;
  EXPECT_EQ(board.board_read(0x0001DFFF, v), 1);
  EXPECT_EQ(v, 0x5A);
  EXPECT_EQ(board.board_write(0x00010000, 1), 1);

  EXPECT_EQ(board.board_write(0xE100, 0x12), 1);
  EXPECT_EQ(rd(0xE100), 0xFF);
  board.rom_writable = true;
  wr(0xE100, 0x12);
  wr(0xFFFF, 0x34);
  EXPECT_EQ(rd(0xE100), 0x12);
  EXPECT_EQ(rd(0xFFFF), 0x34);

  board.board_clear_memory();
  EXPECT_EQ(rd(0x0000), 0x00);
  EXPECT_EQ(rd(0xDFFF), 0x00);
  EXPECT_EQ(rd(0xE100), 0xFF);
}

TEST_F(BoardMemoryMap, EmptyIoAddressesReadZeroAndTakeWrites) {
  wr(0xE030, 0x77);
  EXPECT_EQ(rd(0xE030), 0x00);
  EXPECT_EQ(rd(0xFFFFE000), 0x00);
  uint8_t v = 0;
  EXPECT_EQ(board.board_read(0x0001E000, v), 1);
  EXPECT_EQ(rd(0xE01F), 0x00);
}

TEST_F(BoardMemoryMap, ConfigurationOutsideOneToFourIsOne) {
  board.board_configuration_set(4);
  EXPECT_EQ(board.board_configuration_get(), 4);
  board.board_configuration_set(5);
  EXPECT_EQ(board.board_configuration_get(), 1);
  board.configuration = 0;
  EXPECT_EQ(board.board_configuration_get(), 1);
  EXPECT_EQ(board.configuration, 1);
}

TEST_F(BoardMemoryMap, DeviceAccessRefusedWhileRunning) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  p.queue(0, 0x141);
  board.device_pre_step();
  board.stop_on_device_access = true;
  board.run_mode = RunMode::Fast;
  EXPECT_EQ(rd(0xE029), 0xAA);  // the caller's byte is left as it was
  EXPECT_TRUE(board.stop_requested);
  wr(0xE029, 'Z');
  wr(0x1000, 1);  // held back with the rest of the refused instruction
  EXPECT_EQ(rd(0x1000), 0x00);
  board.clear_stop_request();
  wr(0x1000, 1);  // memory is not a device
  EXPECT_FALSE(board.stop_requested);
  EXPECT_EQ(rd(0xE000), 0xAA);
  EXPECT_TRUE(board.stop_requested);
  board.clear_stop_request();
  board.run_mode = RunMode::Stopped;
  EXPECT_EQ(rd(0x1000), 0x01);
  EXPECT_EQ(rd(0xE028), 0x03);  // the byte is still there, nothing was sent
  EXPECT_EQ(rd(0xE029), 0x41);
}

TEST_F(BoardMemoryMap, PeekChangesNothing) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  auto& q = probe_at(0xE000);
  p.queue(0, 0x141);
  board.device_pre_step();
  p.log.clear();
  EXPECT_EQ(board.board_peek(0xE029), 0x41);
  EXPECT_EQ(board.board_peek(0xE028), 0x03);
  EXPECT_EQ(board.board_peek(0xE003), 0x00);
  EXPECT_TRUE(q.log.empty());
  EXPECT_EQ(rd(0xE028), 0x03);
  EXPECT_EQ(board.board_peek(0x0001E000), 0xFF);
}

TEST_F(BoardMemoryMap, AttachedWindowPassesRegisterOffsets) {
  auto& p = probe_at(0xE008);
  p.queue(3, 0x17A);
  EXPECT_EQ(rd(0xE00B), 0x7A);
  wr(0xE00F, 0x66);
  EXPECT_EQ(rd(0xE007), 0x00);  // below the base
  EXPECT_EQ(rd(0xE010), 0x00);  // past the probe's 8 addresses
  EXPECT_EQ(p.log, (std::vector{in(3, 0x17A), out(7, 0x66)}));
}

TEST_F(BoardMemoryMap, DeadAttachedInstanceReleasesItsSlotAndChip) {
  auto& p = probe_at(0xE000, int(Onboard::Pia1));
  int slot = board.dev_find_by_handle(board.onboard_connection(int(Onboard::Pia1)));
  p.go_away();
  EXPECT_EQ(rd(0xE001), 0x00);
  EXPECT_EQ(board.slots[slot].handle, -1);
  EXPECT_EQ(board.slots[slot].onboard, -1);
  EXPECT_EQ(board.onboard_connection(int(Onboard::Pia1)), -1);
  EXPECT_FALSE(board.pia[0].present);
}

TEST_F(BoardMemoryMap, DeadOnboardInstanceDropsTheConnection) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  p.go_away();
  board.device_pre_step();
  EXPECT_EQ(board.onboard_connection(int(Onboard::Acia1)), -1);
}

TEST_F(BoardMemoryMap, FloppyLatchAndController) {
  auto& latch = probe_at(0xE060, int(Onboard::FdcLatch));
  auto& fdc = probe_at(0xE0A0, int(Onboard::FdcControl));
  wr(0xE060, 0x21);
  EXPECT_EQ(latch.log, (std::vector{out(0, 0x21)}));
  latch.queue(0, 0x44);
  EXPECT_EQ(rd(0xE060), 0x44);
  wr(0xE0A1, 0x33);
  EXPECT_TRUE(fdc.log.empty());
  fdc.queue(2, 0x99);
  EXPECT_EQ(rd(0xE0A2), 0x99);
  board.device_post_step();
  EXPECT_EQ(fdc.log, (std::vector{in(2, 0x99), out(1, 0x33)}));
  board.board_reset_devices();
  EXPECT_EQ(latch.log.back(), out(0, 0));
  latch.go_away();
  EXPECT_EQ(rd(0xE060), 0x00);
  EXPECT_EQ(board.onboard_connection(int(Onboard::FdcLatch)), -1);
}

TEST_F(BoardMemoryMap, OnboardConnections) {
  EXPECT_EQ(board.onboard_connection(6), -2);
  EXPECT_EQ(board.onboard_connection(7), -1);
  EXPECT_EQ(board.onboard_release(7), -1);
  board.onboard_connect(3, 42);
  board.onboard_reset_connections();
  EXPECT_EQ(board.onboard_connection(3), -1);
  EXPECT_EQ(board.onboard_connection(6), -2);
  EXPECT_TRUE(board.pia[1].present);  // the chip models are left alone
  EXPECT_EQ(board.onboard_release(6), -2);
  EXPECT_EQ(board.onboard_connection(6), -2);
}

}  // namespace
}  // namespace zun
