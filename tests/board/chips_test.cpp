// Register-level behaviour of the on-board chips, driven through the board's
// addresses as a program would. Expected values follow the MC6840, MC6850 and
// MC6821 datasheets as far as the board models them.
#include "tests/board/board_fixture.h"

namespace zun {
namespace {

using BoardTimer = BoardTest;

// Timer 1 in continuous mode (CR1 bits 5-2 = 0100) with interrupt enable.
constexpr uint8_t cr_continuous_irq = 0x50;

TEST_F(BoardTimer, HeldInResetNeverCounts) {
  wr(0xE0E1, 0x01);                   // CR2 bit 0: offset 0 reaches CR1
  wr(0xE0E0, cr_continuous_irq | 1);  // mode set but internal reset held
  wr(0xE0E2, 0x00);
  wr(0xE0E3, 0x04);
  for (int i = 0; i < 50; ++i) board.device_pre_step();
  EXPECT_EQ(rd(0xE0E2), 0x00);
  EXPECT_EQ(rd(0xE0E3), 0x04);
  EXPECT_EQ(rd(0xE0E1), 0x00);
}

TEST_F(BoardTimer, UnderflowSetsFlagsAndTheReadSequenceClearsThem) {
  wr(0xE0E1, 0x01);
  wr(0xE0E2, 0x00);
  wr(0xE0E3, 0x10);  // latch and counter 1 = 16
  wr(0xE0E0, cr_continuous_irq);
  // Single steps advance 3 cycles: 13, 10, 7, 4, 1, then below zero.
  for (int i = 0; i < 5; ++i) board.device_pre_step();
  EXPECT_EQ(board.board_peek(0xE0E3), 0x01);
  EXPECT_EQ(board.board_peek(0xE0E1), 0x00);
  board.device_pre_step();
  EXPECT_TRUE(board.board_irq_pending());
  // The low byte alone, before status and high byte, clears nothing.
  EXPECT_EQ(rd(0xE0E3), 0x10);
  EXPECT_EQ(rd(0xE0E1), 0x81);
  EXPECT_EQ(rd(0xE0E2), 0x00);
  EXPECT_EQ(rd(0xE0E1), 0x81);
  EXPECT_EQ(rd(0xE0E3), 0x10);
  EXPECT_EQ(rd(0xE0E1), 0x00);
  EXPECT_FALSE(board.board_irq_pending());
}

TEST_F(BoardTimer, CompositeBitStaysWhileAnotherTimerFlagIsSet) {
  wr(0xE0E1, 0x01);
  wr(0xE0E0, cr_continuous_irq | 1);
  wr(0xE0E2, 0x00);
  wr(0xE0E3, 0x01);
  wr(0xE0E4, 0x00);
  wr(0xE0E5, 0x01);
  wr(0xE0E1, cr_continuous_irq | 1);  // timer 2 too; offset 0 still CR1
  wr(0xE0E0, cr_continuous_irq);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE0E1), 0x83);
  rd(0xE0E2);
  rd(0xE0E3);
  EXPECT_EQ(rd(0xE0E1), 0x82);
  rd(0xE0E4);
  rd(0xE0E5);
  EXPECT_EQ(rd(0xE0E1), 0x00);
}

TEST_F(BoardTimer, NoInterruptWithoutEnableAndOtherModesDoNotCount) {
  wr(0xE0E1, 0x01);
  wr(0xE0E2, 0x00);
  wr(0xE0E3, 0x02);
  wr(0xE0E0, 0x10);  // continuous, no interrupt enable
  board.device_pre_step();
  EXPECT_EQ(rd(0xE0E1), 0x00);
  EXPECT_EQ(board.board_peek(0xE0E3), 0x02);  // reloaded from the latch
  wr(0xE0E0, 0x01);
  wr(0xE0E0, 0x48);  // another mode: bits 5-2 = 0010
  for (int i = 0; i < 5; ++i) board.device_pre_step();
  EXPECT_EQ(board.board_peek(0xE0E3), 0x02);
}

TEST_F(BoardTimer, LeavingResetAfterALongHoldGivesNoSpuriousUnderflow) {
  wr(0xE0E1, 0x01);
  wr(0xE0E2, 0x10);
  wr(0xE0E3, 0x00);
  board.cycle_counter = 1000000;
  board.device_pre_step();  // still held in reset
  wr(0xE0E0, cr_continuous_irq);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE0E1), 0x00);
  EXPECT_EQ(rd(0xE0E2), 0x0F);
  EXPECT_EQ(rd(0xE0E3), 0xFD);
}

TEST_F(BoardTimer, WritingCr1WithResetBitClearsStatus) {
  wr(0xE0E1, 0x01);
  wr(0xE0E2, 0x00);
  wr(0xE0E3, 0x00);
  wr(0xE0E0, cr_continuous_irq);
  board.device_pre_step();
  ASSERT_EQ(board.board_peek(0xE0E1), 0x81);
  wr(0xE0E0, 0x01);
  EXPECT_EQ(rd(0xE0E1), 0x00);
}

TEST_F(BoardTimer, Latch3WriteLeavesCounter3AndOffset0ReadsZero) {
  wr(0xE0E6, 0x12);
  wr(0xE0E7, 0x34);
  EXPECT_EQ(rd(0xE0E6), 0xFF);
  EXPECT_EQ(rd(0xE0E7), 0xFF);
  EXPECT_EQ(board.timer.latch[2], 0x1234);
  EXPECT_EQ(rd(0xE0E0), 0x00);  // no register: a defined 0, not the caller's byte
}

TEST_F(BoardTimer, Timer3ReloadsFromTheNewLatch) {
  wr(0xE0E1, 0x00);              // offset 0 reaches CR3
  wr(0xE0E0, cr_continuous_irq);
  wr(0xE0E1, 0x01);
  wr(0xE0E0, 0x00);              // CR1: out of reset
  wr(0xE0E6, 0x00);
  wr(0xE0E7, 0x20);
  board.cycle_counter = 0x10000 - 3;  // the next step passes 0xFFFF cycles
  board.timer.last_update = 0;
  board.device_pre_step();
  EXPECT_EQ(board.board_peek(0xE0E7), 0x20);
  EXPECT_EQ(rd(0xE0E1), 0x84);
}

using BoardAcia = BoardTest;

TEST_F(BoardAcia, UnconnectedReadsZero) {
  wr(0xE028, 0x03);
  wr(0xE029, 0x41);
  EXPECT_EQ(rd(0xE028), 0x00);
  EXPECT_EQ(rd(0xE029), 0x00);
  EXPECT_EQ(rd(0xE024), 0x00);
}

TEST_F(BoardAcia, NeedsMasterResetInConfiguration2) {
  board.board_configuration_set(2);
  probe_at(0xE028, int(Onboard::Acia1));
  EXPECT_EQ(rd(0xE028), 0x00);
  wr(0xE028, 0x15);  // ignored before master reset
  EXPECT_EQ(board.acia[1].control, 0x00);
  wr(0xE028, 0x03);
  EXPECT_EQ(rd(0xE028), 0x02);
  wr(0xE028, 0x15);
  EXPECT_EQ(rd(0xE028), 0x02);
}

TEST_F(BoardAcia, Configuration1ConsoleIsReadyAtOnce) {
  probe_at(0xE028, int(Onboard::Acia1));
  EXPECT_EQ(rd(0xE028), 0x02);
  probe_at(0xE024, int(Onboard::Acia2));
  EXPECT_EQ(rd(0xE024), 0x00);
}

// The receive register holds one byte: a second one that arrives before the
// first is read is lost (taken from the line, never seen), and OVRN tells.
TEST_F(BoardAcia, ReceiveOverrunKeepsTheFirstByte) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  p.queue(0, 0x141);
  p.queue(0, 0x142);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE028), 0x03);
  EXPECT_EQ(p.log, (std::vector{in(0, 0x141), out(0, 0)}));
  board.device_pre_step();
  EXPECT_EQ(rd(0xE028), 0x23);
  EXPECT_EQ(rd(0xE029), 0x41);
  EXPECT_EQ(rd(0xE028), 0x02);
  board.device_pre_step();  // nothing arrived: no acknowledge
  EXPECT_EQ(p.log.size(), 5u);
  EXPECT_EQ(rd(0xE028), 0x02);
}

TEST_F(BoardAcia, NulArrivesAsNonZeroResult) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  p.queue(0, 0x100);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE028), 0x03);
  EXPECT_EQ(rd(0xE029), 0x00);
}

TEST_F(BoardAcia, BytesWaitForTheMasterReset) {
  board.board_configuration_set(2);
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  p.queue(0, 0x141);
  board.device_pre_step();
  EXPECT_TRUE(p.log.empty());
  wr(0xE028, 0x03);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE029), 0x41);
}

TEST_F(BoardAcia, TransmitGoesOutAfterTheInstruction) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  wr(0xE029, 'H');
  EXPECT_EQ(rd(0xE028), 0x00);
  board.device_post_step();
  EXPECT_EQ(p.log, (std::vector{out(1, 'H')}));
  EXPECT_EQ(rd(0xE028), 0x02);
  board.device_post_step();  // nothing more to send
  EXPECT_EQ(p.log.size(), 1u);
}

TEST_F(BoardAcia, ReceiveInterrupt) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  wr(0xE028, 0x95);  // receive interrupt enabled, transmit interrupt off
  EXPECT_EQ(rd(0xE028), 0x02);
  p.queue(0, 0x155);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE028), 0x83);
  EXPECT_TRUE(board.board_irq_pending());
  EXPECT_EQ(rd(0xE029), 0x55);
  EXPECT_EQ(rd(0xE028), 0x02);
  EXPECT_FALSE(board.board_irq_pending());
}

// The MC6850 requests an interrupt while receive interrupts are enabled and
// the receive register is full, also for a byte that arrived before they were
// enabled; otherwise that byte would only be noticed when the next overran it.
TEST_F(BoardAcia, EnablingReceiveInterruptWithAByteWaiting) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  wr(0xE028, 0x03);
  p.queue(0, 0x141);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE028), 0x03);
  EXPECT_FALSE(board.board_irq_pending());
  wr(0xE028, 0x95);
  EXPECT_EQ(rd(0xE028), 0x83);
  EXPECT_TRUE(board.board_irq_pending());
  EXPECT_EQ(rd(0xE029), 0x41);
  EXPECT_EQ(rd(0xE028), 0x02);
  EXPECT_FALSE(board.board_irq_pending());
}

TEST_F(BoardAcia, TransmitInterrupt) {
  probe_at(0xE024, int(Onboard::Acia2));
  wr(0xE024, 0x03);
  wr(0xE024, 0x35);  // bits 6-5 = 01: transmit interrupt enabled
  EXPECT_EQ(rd(0xE024), 0x82);
  EXPECT_TRUE(board.board_irq_pending());
  wr(0xE025, 'x');
  EXPECT_EQ(rd(0xE024), 0x00);
  EXPECT_FALSE(board.board_irq_pending());
  board.device_post_step();
  EXPECT_EQ(rd(0xE024), 0x82);
}

TEST_F(BoardAcia, FullResetKeepsTheConsoleRunningWithoutSendingAByte) {
  auto& p = probe_at(0xE028, int(Onboard::Acia1));
  wr(0xE028, 0x95);
  board.board_reset_devices();
  EXPECT_EQ(rd(0xE028), 0x02);
  board.device_post_step();
  EXPECT_TRUE(p.log.empty());
}

using BoardPia = BoardTest;

TEST_F(BoardPia, AbsentReadsZero) {
  wr(0xE049, 0x04);
  wr(0xE048, 0x55);
  EXPECT_EQ(rd(0xE048), 0x00);
  EXPECT_EQ(rd(0xE049), 0x00);
}

TEST_F(BoardPia, DataDirectionMasksOutput) {
  auto& p = probe_at(0xE048, int(Onboard::Pia1));
  wr(0xE048, 0xF0);  // CRA bit 2 clear: DDRA
  EXPECT_EQ(rd(0xE048), 0xF0);
  wr(0xE049, 0x04);
  EXPECT_EQ(rd(0xE049), 0x04);
  wr(0xE048, 0xFF);
  EXPECT_EQ(rd(0xE048), 0xF0);
  board.device_post_step();
  EXPECT_EQ(p.log, (std::vector{out(0, 0xF0)}));
  board.device_post_step();  // unchanged output is not sent again
  EXPECT_EQ(p.log.size(), 1u);
}

TEST_F(BoardPia, InputPinsFollowTheDirection) {
  auto& p = probe_at(0xE050, int(Onboard::Pia2));
  wr(0xE052, 0x0F);  // DDRB
  wr(0xE053, 0x04);
  wr(0xE052, 0x05);
  p.queue(1, 0x1A5);
  board.device_pre_step();
  EXPECT_EQ(rd(0xE052), 0xA5);
  board.device_pre_step();  // 0: nothing new
  EXPECT_EQ(rd(0xE052), 0xA5);
  p.queue(1, 0x100);  // all-zero pins
  board.device_pre_step();
  EXPECT_EQ(rd(0xE052), 0x05);
  board.device_post_step();
  EXPECT_EQ(p.log.back(), out(1, 0x05));
}

TEST_F(BoardPia, ResetClearsRegisters) {
  probe_at(0xE048, int(Onboard::Pia1));
  wr(0xE048, 0xFF);
  wr(0xE049, 0x04);
  board.board_reset_devices();
  EXPECT_EQ(rd(0xE049), 0x00);
  EXPECT_EQ(rd(0xE048), 0x00);
}

}  // namespace
}  // namespace zun
