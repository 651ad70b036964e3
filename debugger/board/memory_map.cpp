// The board's address decoding: RAM, the I/O page (attached outside devices
// below 0xE020, on-board chips above) and ROM, writable only while loading.
// Every CPU access, memory view and load goes through board_read/board_write.
#include "debugger/board/board.h"
#include "debugger/board/board_internal.h"

namespace zun {

using namespace board_detail;

namespace {

enum class Region : uint8_t { Ram, Attached, Onboard, Rom };

struct MapRange {
  uint16_t first, last;
  Region region;
};

// The KY09 memory map.
constexpr MapRange memory_map[] = {
    {0x0000, 0xDFFF, Region::Ram},
    {0xE000, 0xE01F, Region::Attached},  // outside devices by base address
    {0xE020, 0xE0FF, Region::Onboard},   // the chips of the on-board table
    {0xE100, 0xFFFF, Region::Rom},
};

Region region_of(uint16_t addr) {
  for (const auto& r : memory_map)
    if (addr >= r.first && addr <= r.last) return r.region;
  return Region::Ram;  // not reached: the map covers every address
}

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
          // base    registers  name shown                                 connection
          {0xE024, 2, "ACIA 2, Serial module, MC6850",                    -1},
          {0xE028, 2, "ACIA 1, Serial module, MC6850",                    -1},
          {0xE048, 4, "PIA 1, Parallel Interface Adapter MC6821",         -1},
          {0xE050, 4, "PIA 2, Parallel Interface Adapter MC6821",         -1},
          {0xE060, 1, "FDC Latch",                                        -1},
          {0xE0A0, 4, "FDC Control, WD 2795",                             -1},
          {0xE0E0, 8, "Timer, MC6840",                                    -2},
      }} {
  timer.reset();
}

bool Board::device_access_refused() {
  if (!stop_on_device_access || run_mode == RunMode::Stopped) return false;
  stop_requested = true;
  return true;
}

std::optional<std::pair<Onboard, int>> Board::decode_onboard(uint16_t addr) const {
  for (int i = 0; i < int(Onboard::Count); ++i) {
    const auto& row = onboard[i];
    if (addr >= row.base && addr < row.base + row.registers) return std::pair{Onboard(i), addr - row.base};
  }
  return std::nullopt;
}

int Board::board_read(uint32_t addr, uint8_t& out) {
  auto a = valid_address(addr);
  if (!a) return 1;
  switch (region_of(*a)) {
  case Region::Ram: out = ram[*a]; break;
  case Region::Rom: out = rom[*a - rom_base]; break;
  case Region::Attached: out = device_access_refused() ? 0 : read_attached(*a); break;
  case Region::Onboard: out = device_access_refused() ? 0 : read_onboard(*a); break;
  }
  return 0;
}

int Board::board_write(uint32_t addr, uint8_t value) {
  auto a = valid_address(addr);
  if (!a) return 1;
  switch (region_of(*a)) {
  case Region::Ram: ram[*a] = value; break;
  case Region::Rom:
    if (!rom_writable) return 1;
    rom[*a - rom_base] = value;
    break;
  case Region::Attached:
    if (!device_access_refused()) write_attached(*a, value);
    break;
  case Region::Onboard:
    if (!device_access_refused()) write_onboard(*a, value);
    break;
  }
  return 0;
}

uint8_t Board::board_peek(uint32_t addr) const {
  auto a = valid_address(addr);
  if (!a) return 0xFF;
  switch (region_of(*a)) {
  case Region::Ram: return ram[*a];
  case Region::Rom: return rom[*a - rom_base];
  // Outside devices cannot be asked without side effects; show 0 for them.
  case Region::Attached: return 0;
  case Region::Onboard: break;
  }
  auto chip = decode_onboard(*a);
  if (!chip) return 0;
  auto [row, reg] = *chip;
  switch (row) {
  case Onboard::Acia2:
  case Onboard::Acia1: return acia[int(row)].peek(reg);
  case Onboard::Pia1:
  case Onboard::Pia2: return pia[int(row) - int(Onboard::Pia1)].read(reg);
  case Onboard::Timer: return timer.peek(reg);
  case Onboard::FdcLatch:
  case Onboard::FdcControl:
  case Onboard::Count: return 0;
  }
  return 0;
}

bool Board::is_loadable(uint32_t addr) const {
  auto a = valid_address(addr);
  if (!a) return false;
  Region r = region_of(*a);
  return r == Region::Ram || (r == Region::Rom && rom_writable);
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

// ---- on-board chips ----

bool Board::alive(int32_t& connection) {
  if (connection < 0) return false;
  if (io.query_sim(connection)) return true;
  connection = -1;
  return false;
}

uint8_t Board::read_onboard(uint16_t addr) {
  auto chip = decode_onboard(addr);
  if (!chip) return 0;
  auto [row, reg] = *chip;
  auto& connection = onboard[int(row)].connection;
  switch (row) {
  case Onboard::Acia2:
  case Onboard::Acia1: return acia[int(row)].read(reg);
  case Onboard::Pia1:
  case Onboard::Pia2: return pia[int(row) - int(Onboard::Pia1)].read(reg);
  case Onboard::FdcLatch:
    return alive(connection) ? static_cast<uint8_t>(io.input_sim(connection, 0)) : 0;
  case Onboard::FdcControl:
    if (!fdc_present || !alive(connection)) return 0;
    return static_cast<uint8_t>(io.input_sim(connection, reg));
  case Onboard::Timer: return timer.read(reg);
  case Onboard::Count: break;
  }
  return 0;
}

void Board::write_onboard(uint16_t addr, uint8_t value) {
  auto chip = decode_onboard(addr);
  if (!chip) return;
  auto [row, reg] = *chip;
  auto& connection = onboard[int(row)].connection;
  switch (row) {
  case Onboard::Acia2:
  case Onboard::Acia1: acia[int(row)].write(reg, value); break;
  case Onboard::Pia1:
  case Onboard::Pia2: pia[int(row) - int(Onboard::Pia1)].write(reg, value); break;
  case Onboard::FdcLatch:
    if (alive(connection)) io.output_sim(connection, value, 0);
    break;
  case Onboard::FdcControl:
    // Sent to the outside device after the instruction.
    if (!fdc_present) break;
    fdc_reg[reg] = value;
    fdc_pending[reg] = true;
    break;
  case Onboard::Timer: timer.write(reg, value); break;
  case Onboard::Count: break;
  }
}

// ---- attached window 0xE000-0xE01F ----

uint8_t Board::read_attached(uint16_t addr) {
  int slot = find_slot(addr);
  if (slot < 0) return 0;
  auto& s = slots[slot];
  if (!io.query_sim(s.handle)) {
    release_dead_slot(slot);
    return 0;
  }
  return static_cast<uint8_t>(io.input_sim(s.handle, static_cast<int32_t>(addr - s.base)));
}

void Board::write_attached(uint16_t addr, uint8_t value) {
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
