// A board wired to the real tovrel library, with helpers to attach probes.
#pragma once
#include "debugger/board/board.h"
#include "debugger/tovrel/tovrel.h"

#include <gtest/gtest.h>

namespace zun {

class BoardTest : public ::testing::Test {
protected:
  BoardTest() { board.load_device_types(); }

  uint8_t rd(uint32_t addr) {
    uint8_t v = 0xAA;
    EXPECT_EQ(board.board_read(addr, v), 0) << std::hex << addr;
    return v;
  }
  void wr(uint32_t addr, uint8_t v) { EXPECT_EQ(board.board_write(addr, v), 0) << std::hex << addr; }

  // Opens a probe at `base`; with `row` >= 0 it forms that on-board chip's outside side.
  tovrel::Probe& probe_at(uint32_t base, int row = -1) {
    int slot = board.dev_open(int32_t(tovrel::DeviceKind::Probe), base, 0);
    EXPECT_GE(slot, 0);
    int32_t h = board.slots[slot].handle;
    if (row >= 0) {
      board.onboard_connect(row, h);
      board.slots[slot].onboard = row;
    }
    return *tovrel::find<tovrel::Probe>(h);
  }

  void step() {
    board.device_pre_step();
    board.device_post_step();
  }

  TovrelLibrary io;
  Board board{io};
};

inline tovrel::Probe::Event in(int32_t reg, int32_t v) { return {false, reg, v}; }
inline tovrel::Probe::Event out(int32_t reg, int32_t v) { return {true, reg, v}; }

}  // namespace zun
