// A flat 64 KB memory behind the board interface, a CPU over it, and the
// table-driven form of instruction tests: hand-encoded bytes at 0x1000,
// registers and memory before, registers and memory after.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

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

// Records what the core asks of the board and the engine.
class HookLog : public CpuHooks {
public:
  void device_pre_step() override { log += "pre "; }
  void device_post_step() override { log += "post "; }
  void timer_reset() override { log += "timer "; }
  void board_reset_devices() override { log += "devices "; }
  void sim_end_of_service(int kind) override { log += "end" + std::to_string(kind) + " "; }
  std::string log;
};

struct Machine {
  FlatMemory mem;
  HookLog hooks;
  Cpu cpu{mem, &hooks};

  Machine();
  void load(uint16_t addr, std::initializer_list<int> data);
  void load_hex(uint16_t addr, const std::string& hex);
  uint16_t word(uint16_t addr) const;
  // Executes one instruction at PC; returns its length.
  int step();
  int transfers = -1;
  // Text of the instruction at `addr` without executing.
  std::string text(uint16_t addr);
};

// Registers written "A=1F X=1234 CC=05"; names as the datasheet writes them
// (PC S U X Y A B D DP CC). Registers not named keep the default: PC=1000,
// S=8000, U=7000, everything else 0.
void set_registers(Cpu& cpu, const std::string& text);

// Memory written "2000:12 34 ; 00FF:01": an address, a colon, then bytes.
void set_memory(FlatMemory& mem, const std::string& text);

// One instruction test. The code goes to 0x1000 and runs once. After it, every
// register must equal its value before, changed by `after` (PC defaults to
// 0x1000 + length), and memory must equal memory before with `memory_after`
// laid over it; nothing else may change.
struct Row {
  const char* name;
  const char* code;
  const char* before;
  const char* memory_before;
  const char* after;
  const char* memory_after;
  int length;
};

void run_row(const Row& row);
inline void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

}  // namespace zun::test
