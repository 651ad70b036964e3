// A flat 64 KB memory behind the board interface, and a CPU over it with
// helpers to lay down hand-encoded bytes and run them.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "debugger/cpu/cpu.h"

namespace zun::test {

class FlatMemory : public Bus {
public:
  int board_read(uint32_t addr, uint8_t& out) override {
    ++reads;
    out = bytes[addr & 0xFFFF];
    return 0;
  }
  int board_write(uint32_t addr, uint8_t value) override {
    ++writes;
    bytes[addr & 0xFFFF] = value;
    return 0;
  }
  std::array<uint8_t, 0x10000> bytes{};
  long reads = 0;
  long writes = 0;
};

struct Machine {
  FlatMemory mem;
  Cpu cpu{mem};

  void load(uint16_t addr, std::initializer_list<int> data);
  uint16_t word(uint16_t addr) const;
  // Executes one instruction at PC; returns its length.
  int step();
  int transfers = 0;
  // Text of the instruction at `addr` without executing.
  std::string text(uint16_t addr);
};

}  // namespace zun::test
