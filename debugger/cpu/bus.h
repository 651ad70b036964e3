// The CPU's only view of the world: byte reads and writes through the board.
// The board implements it (memory map, on-board chips, outside devices);
// tests give the core a flat 64 KB memory behind the same two calls.
// Both return 0 on success and 1 when the address is invalid or, for a write,
// not writable; a failed read leaves `out` as it was.
#pragma once
#include <array>
#include <cstdint>

namespace zun {

class Bus {
public:
  virtual ~Bus() = default;
  virtual int board_read(uint32_t addr, uint8_t& out) = 0;
  virtual int board_write(uint32_t addr, uint8_t value) = 0;

  // Plain memory by 256-byte page of the 16-bit address space. Where a
  // page's entry is set, reading or writing a byte of it is exactly what
  // board_read or board_write would do with it, and the core takes the byte
  // itself instead of calling them; a null entry (the default) goes through
  // the calls.
  std::array<const uint8_t*, 256> read_pages{};
  std::array<uint8_t*, 256> write_pages{};
};

}  // namespace zun
