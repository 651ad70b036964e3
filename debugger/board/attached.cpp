// The attached-device table: up to 20 open outside device instances, each at
// a base address in the I/O page and optionally standing in for an on-board
// chip, and the table of device types the I/O-simulator library offers.
#include "debugger/board/board.h"
#include "debugger/board/board_internal.h"
#include "common/format.h"

#include <cstdlib>

namespace zun {

using namespace board_detail;

namespace {

// One field of a device list line: up to the next blank (TAB or space) run.
const char* read_word(const char* p, const char* end, std::string& word) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  const char* start = p;
  while (p < end && *p != ' ' && *p != '\t') ++p;
  word.assign(start, p);
  return p;
}

bool parse_number(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* stop = nullptr;
  value = std::strtol(text.c_str(), &stop, 10);
  return *stop == '\0';
}

}  // namespace

// A list line is "number TAB name TAB space TAB description" ended by CR.
void Board::parse_device_list(const char* text) {
  const char* p = text;
  while (*p) {
    const char* end = p;
    while (*end && *end != '\r' && *end != '\n') ++end;
    std::string number, name, space;
    const char* q = read_word(p, end, number);
    q = read_word(q, end, name);
    read_word(q, end, space);
    long n = -1, s = 0;
    if (parse_number(number, n) && n >= 0 && n < device_type_count && parse_number(space, s)) {
      auto& type = types[n];
      type.name = name.substr(0, 15);
      type.space = static_cast<uint32_t>(s);
      const char* d = p;
      for (int tabs = 0; d < end && tabs < 3; ++d)
        if (*d == '\t') ++tabs;
      type.description.assign(d, end);
      type.description.resize(std::min<size_t>(type.description.size(), 63));
    }
    p = end;
    while (*p == '\r' || *p == '\n') ++p;
  }
}

void Board::load_device_types() {
  if (types_parsed) return;
  onboard_reset_connections();
  int32_t size = io.query_io_list_size();
  if (size < 1) return;
  // One byte more than the library fills, so the text always ends in 0.
  std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
  io.get_io_list(buffer.data());
  parse_device_list(buffer.data());
  types_parsed = true;
}

int Board::dev_open(uint32_t device, uint32_t base, int32_t option) {
  int slot = -1;
  for (int i = 0; i < device_slot_count; ++i)
    if (slots[i].handle == -1) {
      slot = i;
      break;
    }
  if (slot < 0) return -1;
  std::string name = format("$%X", base);
  int32_t handle = io.open_sim(static_cast<int32_t>(device), name.c_str(), 0);
  if (handle < 0) {
    slots[slot].handle = -1;
    return -1;
  }
  auto& s = slots[slot];
  s.handle = handle;
  if (option > 0) io.set_option_sim(handle, option);
  s.base = base;
  s.device = device;
  collect_irq_lines();
  last_opened_device = static_cast<int>(device);
  last_opened_slot = slot;
  return slot;
}

void Board::dev_release(int slot) {
  if (slot < 0 || slot >= device_slot_count) return;
  slots[slot] = DeviceSlot{};
  collect_irq_lines();
}

void Board::dev_detach(int slot) {
  if (slot < 0 || slot >= device_slot_count || slots[slot].handle == -1) return;
  auto& s = slots[slot];
  io.close_sim(s.handle);
  if (s.onboard >= 0 && onboard_connection(s.onboard) == s.handle) onboard_release(s.onboard);
  dev_release(slot);
}

void Board::dev_close_all() {
  for (int i = 0; i < device_slot_count; ++i) {
    if (slots[i].handle == -1) continue;
    io.close_sim(slots[i].handle);
    dev_release(i);
  }
  onboard_reset_connections();
}

void Board::dev_purge() {
  for (int i = 0; i < device_slot_count; ++i) {
    auto& s = slots[i];
    if (s.handle == -1 || io.query_sim(s.handle)) continue;
    if (s.onboard >= 0) onboard_release(s.onboard);
    dev_release(i);
  }
}

void Board::dev_end_setup(bool commit) {
  for (int i = 0; i < device_slot_count; ++i) {
    auto& s = slots[i];
    if (s.handle == -1 || !s.setup) continue;
    if (commit) {
      s.setup = false;
    } else if (io.query_sim(s.handle)) {
      dev_detach(i);
    }
  }
}

bool Board::irq_through_library() {
  for (const auto& s : slots)
    if (s.handle != -1 && io.query_sim(s.handle) && io.is_tovr_pending_irq(s.handle)) return true;
  return false;
}

void Board::collect_irq_lines() {
  irq_line_count = 0;
  irq_lines_direct = true;
  for (int i = 0; i < device_slot_count; ++i) {
    if (slots[i].handle == -1) continue;
    const IoPort& port = bind(slot_ports[i], slots[i].handle);
    if (!port.device) irq_lines_direct = false;
    // A device that never raises its line need not be asked.
    if (port.device && port.device->interrupts) irq_lines[irq_line_count++] = port.device.get();
  }
}

int Board::dev_find_by_handle(int32_t handle) const {
  for (int i = 0; i < device_slot_count; ++i)
    if (slots[i].handle == handle) return i;
  return -1;
}

std::optional<uint32_t> Board::check_new_base(const std::string& text, std::string& message,
                                              bool outside_only) const {
  std::string digits = text.substr(0, 31);
  if (!digits.empty() && digits[0] == '$') digits[0] = '0';
  char* stop = nullptr;
  unsigned long base = std::strtoul(digits.c_str(), &stop, 16);
  unsigned long last = outside_only ? attached_end - 1 : 0xE0FF;
  if (digits.empty() || stop == digits.c_str() || base < 0xE000 || base > last) {
    message = "Invalid base address specified";
    return std::nullopt;
  }
  for (const auto& s : slots) {
    if (s.handle != -1 && s.base == base) {
      message = "You can't connect this address to multiple devices";
      return std::nullopt;
    }
  }
  return static_cast<uint32_t>(base);
}

int Board::find_slot(uint32_t addr) const {
  for (int i = 0; i < device_slot_count; ++i) {
    const auto& s = slots[i];
    if (s.handle < 0 || s.device >= device_type_count) continue;
    // Unsigned difference: an address below the base wraps to a huge offset.
    if (addr - s.base < types[s.device].space) return i;
  }
  return -1;
}

}  // namespace zun
