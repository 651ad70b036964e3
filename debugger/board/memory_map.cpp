// The board's address decoding: RAM, the I/O page (attached outside devices
// below 0xE020, on-board chips above) and ROM, writable only while loading.
// Every CPU access, memory view and load goes through board_read/board_write.
#include "debugger/board/board.h"
#include "debugger/board/board_internal.h"

namespace zun {

using namespace board_detail;

namespace {

// An address is a 16-bit value or its sign extension.
std::optional<uint16_t> valid_address(uint32_t addr) {
  uint32_t upper = addr >> 16;
  if (upper != 0 && upper != 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(addr);
}

}  // namespace

Board::Board(IoLibrary& io_library)
    : io(io_library), ram(ram_end, 0), rom(0x10000 - rom_base, 0xFF),
      onboard{{
          {0xE024, 2, "ACIA 2, Serial module, MC6850", -1},
          {0xE028, 2, "ACIA 1, Serial module, MC6850", -1},
          {0xE048, 4, "PIA 1, Parallel Interface Adapter MC6821", -1},
          {0xE050, 4, "PIA 2, Parallel Interface Adapter MC6821", -1},
          {0xE060, 1, "FDC Latch", -1},
          {0xE0A0, 4, "FDC Control, WD 2795", -1},
          {0xE0E0, 8, "Timer, MC6840", -2},
      }} {
  timer.reset();
}

bool Board::device_access_refused() {
  if (!stop_on_device_access || run_mode == RunMode::Stopped) return false;
  stop_requested = true;
  return true;
}

int Board::board_read(uint32_t addr, uint8_t& out) {
  auto a = valid_address(addr);
  if (!a) return 1;
  if (board_is_onboard(*a)) {
    out = device_access_refused() ? 0 : read_onboard(*a);
    return 0;
  }
  if (board_is_io_page(*a)) {
    out = device_access_refused() ? 0 : read_attached(*a);
    return 0;
  }
  out = *a < ram_end ? ram[*a] : rom[*a - rom_base];
  return 0;
}

int Board::board_write(uint32_t addr, uint8_t value) {
  auto a = valid_address(addr);
  if (!a) return 1;
  if (board_is_onboard(*a)) {
    if (!device_access_refused()) write_onboard(*a, value);
    return 0;
  }
  if (board_is_io_page(*a)) {
    if (!device_access_refused()) write_attached(*a, value);
    return 0;
  }
  if (*a < ram_end) {
    ram[*a] = value;
    return 0;
  }
  if (!rom_writable) return 1;
  rom[*a - rom_base] = value;
  return 0;
}

uint8_t Board::board_peek(uint32_t addr) const {
  auto a = valid_address(addr);
  if (!a) return 0xFF;
  uint16_t x = *a;
  if (x < ram_end) return ram[x];
  if (x >= rom_base) return rom[x - rom_base];
  // Outside devices cannot be asked without side effects; show 0 for them.
  if (x >= 0xE024 && x < 0xE026) return acia[0].peek(x - 0xE024);
  if (x >= 0xE028 && x < 0xE02A) return acia[1].peek(x - 0xE028);
  if (x >= 0xE048 && x < 0xE04C) return pia[0].read(x - 0xE048);
  if (x >= 0xE050 && x < 0xE054) return pia[1].read(x - 0xE050);
  if (x >= 0xE0E0) return timer.peek(x - 0xE0E0);
  return 0;
}

bool Board::is_loadable(uint32_t addr) const {
  auto a = valid_address(addr);
  if (!a) return false;
  return *a < ram_end || (*a >= rom_base && rom_writable);
}

void Board::board_clear_memory() {
  std::fill(ram.begin(), ram.end(), 0);
  std::fill(rom.begin(), rom.end(), 0xFF);
}

void Board::board_configuration_set(int n) { configuration = (n >= 1 && n <= 4) ? n : 1; }

int Board::board_configuration_get() {
  if (configuration < 1 || configuration > 4) configuration = 1;
  return configuration;
}

bool Board::board_irq_pending() const { return timer.irq() || acia[1].irq() || acia[0].irq(); }

// ---- on-board decoding ----

bool Board::alive(int32_t& connection) {
  if (connection < 0) return false;
  if (io.query_sim(connection)) return true;
  connection = -1;
  return false;
}

uint8_t Board::read_onboard(uint32_t addr) {
  if (addr >= 0xE024 && addr < 0xE026) return acia[0].read(addr - 0xE024);
  if (addr >= 0xE028 && addr < 0xE02A) return acia[1].read(addr - 0xE028);
  if (addr >= 0xE048 && addr < 0xE04C) return pia[0].read(addr - 0xE048);
  if (addr >= 0xE050 && addr < 0xE054) return pia[1].read(addr - 0xE050);
  if (addr == 0xE060) {
    auto& c = onboard[int(Onboard::FdcLatch)].connection;
    return alive(c) ? static_cast<uint8_t>(io.input_sim(c, 0)) : 0;
  }
  if (addr >= 0xE0A0 && addr < 0xE0A4) {
    auto& c = onboard[int(Onboard::FdcControl)].connection;
    if (!fdc_present || !alive(c)) return 0;
    return static_cast<uint8_t>(io.input_sim(c, static_cast<int32_t>(addr - 0xE0A0)));
  }
  if (addr >= 0xE0E0) return timer.read(addr - 0xE0E0);
  return 0;
}

void Board::write_onboard(uint32_t addr, uint8_t value) {
  if (addr >= 0xE024 && addr < 0xE026) return acia[0].write(addr - 0xE024, value);
  if (addr >= 0xE028 && addr < 0xE02A) return acia[1].write(addr - 0xE028, value);
  if (addr >= 0xE048 && addr < 0xE04C) return pia[0].write(addr - 0xE048, value);
  if (addr >= 0xE050 && addr < 0xE054) return pia[1].write(addr - 0xE050, value);
  if (addr == 0xE060) {
    auto& c = onboard[int(Onboard::FdcLatch)].connection;
    if (alive(c)) io.output_sim(c, value, 0);
    return;
  }
  if (addr >= 0xE0A0 && addr < 0xE0A4) {
    if (!fdc_present) return;
    fdc_reg[addr - 0xE0A0] = value;
    fdc_pending[addr - 0xE0A0] = true;
    return;
  }
  if (addr >= 0xE0E0) timer.write(addr - 0xE0E0, value);
}

// ---- attached window 0xE000-0xE01F ----

uint8_t Board::read_attached(uint32_t addr) {
  int slot = find_slot(addr);
  if (slot < 0) return 0;
  auto& s = slots[slot];
  if (!io.query_sim(s.handle)) {
    release_dead_slot(slot);
    return 0;
  }
  return static_cast<uint8_t>(io.input_sim(s.handle, static_cast<int32_t>(addr - s.base)));
}

void Board::write_attached(uint32_t addr, uint8_t value) {
  int slot = find_slot(addr);
  if (slot < 0) return;
  auto& s = slots[slot];
  if (!io.query_sim(s.handle)) {
    release_dead_slot(slot);
    return;
  }
  io.output_sim(s.handle, value, static_cast<int32_t>(addr - s.base));
}

void Board::release_dead_slot(int slot) {
  int32_t onboard_index = slots[slot].onboard;
  if (onboard_index >= 0 && onboard_index < int(Onboard::Count)) onboard_release(onboard_index);
  dev_release(slot);
}

}  // namespace zun
