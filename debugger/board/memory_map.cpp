// The board's address decoding: RAM, the I/O page (attached outside devices
// below 0xE020, on-board chips above) and ROM, writable only while loading.
// Every CPU access, memory view and load goes through board_read/board_write.
#include "debugger/board/board.h"
#include "debugger/board/board_internal.h"

namespace zun {

using namespace board_detail;

namespace {

enum class Region : uint8_t { Ram, Attached, Onboard, Rom };

// The KY09 memory map: RAM 0x0000-0xDFFF, the attached window of outside
// devices by base address 0xE000-0xE01F, the on-board chips 0xE020-0xE0FF,
// ROM 0xE100-0xFFFF. RAM and ROM are also the bus's pages (map_pages), which
// the CPU reads without asking here.
Region region_of(uint16_t addr) {
  if (addr < ram_end) return Region::Ram;
  if (addr >= rom_base) return Region::Rom;
  return addr < attached_end ? Region::Attached : Region::Onboard;
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
  map_pages(true);
}

void Board::map_pages(bool writes) {
  for (uint32_t page = 0; page < read_pages.size(); ++page) {
    const uint32_t addr = page << 8;
    const bool in_ram = addr < ram_end;
    read_pages[page] = in_ram ? &ram[addr] : addr >= rom_base ? &rom[addr - rom_base] : nullptr;
    write_pages[page] = in_ram && writes ? &ram[addr] : nullptr;
  }
}

bool Board::device_access_refused() {
  if (!refuses_device_access()) return false;
  stop_requested = true;
  map_pages(false);
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
  if (addr <= 0xFFFF) {
    if (const uint8_t* page = read_pages[addr >> 8]) {
      out = page[addr & 0xFF];
      return 0;
    }
  }
  return read_decoded(addr, out);
}

int Board::board_write(uint32_t addr, uint8_t value) {
  if (addr <= 0xFFFF) {
    if (uint8_t* page = write_pages[addr >> 8]) {
      page[addr & 0xFF] = value;
      return 0;
    }
  }
  return write_decoded(addr, value);
}

// A refused device read succeeds and leaves the caller's byte as it was.
int Board::read_decoded(uint32_t addr, uint8_t& out) {
  decoded_access = true;
  auto a = valid_address(addr);
  if (!a) return 1;
  switch (region_of(*a)) {
  case Region::Ram: out = ram[*a]; break;
  case Region::Rom: out = rom[*a - rom_base]; break;
  case Region::Attached:
    if (!device_access_refused()) out = read_attached(*a);
    break;
  case Region::Onboard:
    if (!device_access_refused()) out = read_onboard(*a);
    break;
  }
  return 0;
}

int Board::write_decoded(uint32_t addr, uint8_t value) {
  decoded_access = true;
  auto a = valid_address(addr);
  if (!a) return 1;
  // Held back after a refused access: the instruction is taken back whole.
  if (stop_requested) return 0;
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

uint8_t Board::peek_above_ram(uint32_t addr) const {
  if (!valid_address(addr)) return 0xFF;
  return board_look(addr).value_or(0);
}

std::optional<uint8_t> Board::board_look(uint32_t addr) const {
  auto a = valid_address(addr);
  if (!a) return std::nullopt;
  switch (region_of(*a)) {
  case Region::Ram: return ram[*a];
  case Region::Rom: return rom[*a - rom_base];
  case Region::Attached: {
    int slot = find_slot(*a);
    if (slot < 0) return 0;
    return look_outside(slots[slot].handle, int32_t(*a - slots[slot].base));
  }
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
  case Onboard::FdcLatch: return look_outside(onboard[int(row)].connection, 0);
  case Onboard::FdcControl:
    if (!fdc_present) return 0;
    return look_outside(onboard[int(row)].connection, reg);
  case Onboard::Count: break;
  }
  return 0;
}

// A read of an instance that is not there, or has gone, gives 0.
std::optional<uint8_t> Board::look_outside(int32_t handle, int32_t reg) const {
  if (handle < 0 || io.query_sim(handle) == 0) return 0;
  int32_t value = io.peek_sim(handle, reg);
  if (value < 0) return std::nullopt;
  return static_cast<uint8_t>(value);
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

// ---- on-board chips ----

IoPort& Board::bind(IoPort& port, int32_t handle) {
  if (port.handle != handle) {
    port.handle = handle;
    port.device = handle >= 0 ? io.direct(handle) : nullptr;
  }
  return port;
}

bool Board::alive_through_library(Onboard row) {
  auto& connection = onboard[int(row)].connection;
  IoPort& port = bind(onboard_ports[int(row)], connection);
  if (port.device ? port.device->alive : io.query_sim(connection) != 0) return true;
  connection = -1;
  return false;
}

bool Board::slot_alive(int slot) {
  int32_t handle = slots[slot].handle;
  IoPort& port = bind(slot_ports[slot], handle);
  return port.device ? port.device->alive : io.query_sim(handle) != 0;
}

uint8_t Board::read_onboard(uint16_t addr) {
  auto chip = decode_onboard(addr);
  if (!chip) return 0;
  auto [row, reg] = *chip;
  switch (row) {
  case Onboard::Acia2:
  case Onboard::Acia1: return acia[int(row)].read(reg);
  case Onboard::Pia1:
  case Onboard::Pia2: return pia[int(row) - int(Onboard::Pia1)].read(reg);
  case Onboard::FdcLatch:
    return alive(row) ? static_cast<uint8_t>(onboard_input(row, 0)) : 0;
  case Onboard::FdcControl:
    if (!fdc_present || !alive(row)) return 0;
    return static_cast<uint8_t>(onboard_input(row, reg));
  case Onboard::Timer:
    timer.update(cycle_counter);  // after quiet steps it may be behind
    return timer.read(reg);
  case Onboard::Count: break;
  }
  return 0;
}

void Board::write_onboard(uint16_t addr, uint8_t value) {
  auto chip = decode_onboard(addr);
  if (!chip) return;
  send_due = true;
  auto [row, reg] = *chip;
  switch (row) {
  case Onboard::Acia2:
  case Onboard::Acia1: acia[int(row)].write(reg, value); break;
  case Onboard::Pia1:
  case Onboard::Pia2: pia[int(row) - int(Onboard::Pia1)].write(reg, value); break;
  case Onboard::FdcLatch:
    if (alive(row)) onboard_output(row, value, 0);
    break;
  case Onboard::FdcControl:
    // Sent to the outside device after the instruction.
    if (!fdc_present) break;
    fdc_reg[reg] = value;
    fdc_pending[reg] = true;
    break;
  case Onboard::Timer:
    timer.update(cycle_counter);
    timer.write(reg, value);
    break;
  case Onboard::Count: break;
  }
}

// ---- attached window 0xE000-0xE01F ----

uint8_t Board::read_attached(uint16_t addr) {
  int slot = find_slot(addr);
  if (slot < 0) return 0;
  if (!slot_alive(slot)) {
    release_dead_slot(slot);
    return 0;
  }
  const auto& s = slots[slot];
  const auto reg = static_cast<int32_t>(addr - s.base);
  const IoPort& port = slot_ports[slot];
  return static_cast<uint8_t>(port.device ? port.device->input(reg) : io.input_sim(s.handle, reg));
}

void Board::write_attached(uint16_t addr, uint8_t value) {
  int slot = find_slot(addr);
  if (slot < 0) return;
  if (!slot_alive(slot)) {
    release_dead_slot(slot);
    return;
  }
  const auto& s = slots[slot];
  const auto reg = static_cast<int32_t>(addr - s.base);
  const IoPort& port = slot_ports[slot];
  if (port.device)
    port.device->output(value, reg);
  else
    io.output_sim(s.handle, value, reg);
}

void Board::release_dead_slot(int slot) {
  int32_t onboard_index = slots[slot].onboard;
  if (onboard_index >= 0 && onboard_index < int(Onboard::Count)) onboard_release(onboard_index);
  dev_release(slot);
}

}  // namespace zun
