// The board configuration dialogs' rules; see target_setup.h.
#include "debugger/board/target_setup.h"

#include "common/format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace zun {

using namespace board_detail;

TargetSetup::TargetSetup(Board& board_) : board(board_), saved_configuration_(board_.board_configuration_get()) {}

std::vector<std::string> TargetSetup::onboard_rows() {
  board.load_device_types();
  board.dev_purge();
  std::vector<std::string> rows;
  board.onboard_rewind();
  uint16_t base = 0;
  int32_t connection = 0;
  const char* name = nullptr;
  while (board.onboard_next(base, connection, name)) {
    const char* mark = connection >= 0 ? "Yes " : connection == -1 ? "No  " : connection == -3 ? "--  " : "NA  ";
    rows.push_back(format("%4.4X %s%s", unsigned(base), mark, name));
  }
  return rows;
}

OnboardState TargetSetup::state(int index) const {
  int32_t c = board.onboard_connection(index);
  if (index < 0 || index >= int(Onboard::Count) || c < -1) return OnboardState::NotConnectable;
  return c >= 0 ? OnboardState::Connected : OnboardState::Free;
}

void TargetSetup::connected(int index) {
  if (board.last_opened_device == -1 || board.last_opened_slot < 0) return;
  auto& slot = board.slots[board.last_opened_slot];
  board.onboard_connect(index, slot.handle);
  slot.onboard = index;
  slot.setup = true;
}

void TargetSetup::disconnect(int index) {
  int32_t handle = board.onboard_release(index);
  ++change_counter;
  if (handle < 0) return;
  int slot = board.dev_find_by_handle(handle);
  if (slot < 0) return;  // the instance went away already
  board.io.close_sim(handle);
  board.dev_release(slot);
}

void TargetSetup::press_default() {
  default_pending_ = true;
  close_on_ok_.clear();
  for (const auto& s : board.slots)
    if (s.handle != -1) close_on_ok_.push_back(s.handle);
}

std::string TargetSetup::select(const std::string& path) {
  DescriptorResult r = board.descriptor_load(path);
  // The devices the file replaced are gone already; a pending Default has
  // nothing left to close.
  close_on_ok_.clear();
  default_pending_ = false;
  return r.ok ? std::string() : r.message;
}

void TargetSetup::ok(int configuration) {
  if (default_pending_) {
    for (int32_t handle : close_on_ok_) {
      int slot = board.dev_find_by_handle(handle);
      if (slot >= 0) board.dev_detach(slot);
    }
  }
  board.board_configuration_set(configuration);
  board.dev_end_setup(true);
}

void TargetSetup::cancel() {
  board.dev_end_setup(false);
  board.board_configuration_set(saved_configuration_);
}

// ---- the I/O setup dialog ----

std::string io_setup_caption(Board& board) {
  return format("Simulated IO Setup (TOVREL Version: %d)", int(board.io.get_io_version()));
}

std::string expand_tabs(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r' || c == '\n') break;
    if (c != '\t') {
      out += c;
      continue;
    }
    do out += ' ';
    while (out.size() % 4 != 0);
  }
  return out;
}

std::vector<std::string> io_device_rows(Board& board) {
  board.load_device_types();
  std::vector<std::string> rows;
  for (int i = 1; i < device_type_count; ++i) {
    const auto& t = board.types[i];
    if (t.name.empty()) continue;  // a number the library does not list
    rows.push_back(expand_tabs(format("%d\t%s\t%d\t%s", i, t.name.c_str(), int(t.space), t.description.c_str())));
  }
  return rows;
}

IoConnect io_connect(TargetSetup& setup, const std::string& row, const std::string& base_text,
                     std::optional<uint32_t> preset) {
  Board& board = setup.board;
  IoConnect result;
  board.dev_purge();
  int device = 0;
  if (std::sscanf(row.c_str(), "%d", &device) != 1) return result;
  std::string typed = preset ? format("%4.4X", unsigned(*preset)) : base_text;
  auto base = board.check_new_base(typed, result.message, !preset);
  if (!base) return result;
  result.slot = board.dev_open(uint32_t(device), *base, 0);
  ++setup.change_counter;
  return result;
}

// ---- the detach dialog ----

std::vector<std::string> detach_rows(Board& board) {
  board.dev_purge();
  std::vector<std::string> rows;
  for (const auto& s : board.slots) {
    if (s.handle == -1 || (s.base >= onboard_window_first && s.base <= onboard_window_last)) continue;
    const std::string& description = s.device < device_type_count ? board.types[s.device].description : std::string();
    rows.push_back(format("%X  %s", unsigned(s.base), description.c_str()));
  }
  return rows;
}

bool detach_row(TargetSetup& setup, const std::string& row) {
  Board& board = setup.board;
  char* stop = nullptr;
  unsigned long base = std::strtoul(row.c_str(), &stop, 16);
  if (stop == row.c_str()) return false;
  for (int i = 0; i < device_slot_count; ++i)
    if (board.slots[i].handle != -1 && board.slots[i].base == base) board.dev_detach(i);
  ++setup.change_counter;
  return true;
}

}  // namespace zun
