// The CPU's only view of the world: byte reads and writes on a 16-bit address
// bus. The board implements it (memory map, on-board chips, outside devices);
// tests give the core a flat 64 KB memory behind the same two calls.
#pragma once
#include <cstdint>

namespace zun {

class Bus {
public:
  virtual ~Bus() = default;
  virtual uint8_t board_read(uint16_t addr) = 0;
  virtual void board_write(uint16_t addr, uint8_t value) = 0;
};

}  // namespace zun
