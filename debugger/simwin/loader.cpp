// Loading Motorola S-records into the board (ROM writable for the duration),
// and the board's default target: its descriptor and the monitor image.
// The debug records that follow the data ("SX" lines) are not read here.
#include "debugger/simwin/engine.h"

#include "common/format.h"
#include "common/line_reader.h"
#include "common/number.h"
#include "common/path.h"

#include <fstream>

namespace zun {

namespace {

// `digits` hex digits at `pos`, or nothing when the line is short or one is bad.
std::optional<uint32_t> hex_at(const std::string& line, size_t pos, size_t digits) {
  if (pos + digits > line.size()) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    int d = hex_digit(line[pos + i]);
    if (d < 0) return std::nullopt;
    value = value << 4 | uint32_t(d);
  }
  return value;
}

// Restores the ROM-writable flag on every way out of a load.
struct RomWritableDuringLoad {
  explicit RomWritableDuringLoad(Board& b) : board(b), saved(b.rom_writable) { b.rom_writable = true; }
  ~RomWritableDuringLoad() { board.rom_writable = saved; }
  Board& board;
  bool saved;
};

}  // namespace

LoadResult Engine::load_srecords(const std::string& path) {
  LoadResult result;
  std::ifstream in(path_native(path), std::ios::binary);
  if (path.empty() || !in) {
    result.code = 1;
    return result;
  }
  RomWritableDuringLoad rom_guard(board);
  bool first_record = true;
  std::string line;
  while (read_line(in, line)) {
    if (line.empty()) continue;
    if (line.size() < 2 || line[0] != 'S') {
      result.code = 2;
      break;
    }
    char type = line[1];
    if (type == '0') continue;
    if (type == 'X') break;  // the debug records after the data
    size_t address_digits = type == '1' || type == '9' ? 4 : type == '2' || type == '8' ? 6
                          : type == '3' || type == '7' ? 8 : 0;
    auto count = hex_at(line, 2, 2);
    auto address = address_digits ? hex_at(line, 4, address_digits) : std::nullopt;
    if (!count || !address) {
      result.code = 2;
      break;
    }
    if (type >= '7' && type <= '9') {
      entry_address = *address;
      result.end_entry = *address;
      break;
    }
    if (first_record) entry_address = *address;
    first_record = false;
    // The count covers address, data and checksum: the checksum is found by it,
    // not by where the line ends.
    size_t data_bytes = *count >= address_digits / 2 + 1 ? *count - address_digits / 2 - 1 : 0;
    size_t pos = 4 + address_digits;
    if (*count < address_digits / 2 + 1 || pos + 2 * (data_bytes + 1) > line.size()) {
      result.code = 2;
      break;
    }
    for (size_t i = 0; i < data_bytes && result.code == 0; ++i, pos += 2) {
      auto byte = hex_at(line, pos, 2);
      uint32_t at = *address + uint32_t(i);
      if (!byte) {
        result.code = 2;
      } else if (!board.is_loadable(at) || board.board_write(at, uint8_t(*byte)) != 0) {
        host.output_line(format("VM: Can't write to simulator memory at 0x%08lX\n", (unsigned long)at));
        result.code = 2;
      } else {
        ++result.data_bytes;
      }
    }
    if (result.code) break;
  }
  if (result.code == 0) {
    std::error_code ec;
    load_file_time = std::filesystem::last_write_time(path_native(path), ec);
    load_file_name = path_file_name(path);
  }
  return result;
}

int Engine::load_srecords_reporting(const std::string& path) {
  int code = load_srecords(path).code;
  if (code != 0) {
    host.message_box("Message", "There were Load-errors, check simulator settings and/or loadfile");
    entry_address = 0;
  }
  return code;
}

int Engine::load_default_target() {
  if (board.board_configuration_get() != 1) return 0;
  // The project's own descriptor stays; the default applies only without one,
  // and it does not become the project's descriptor.
  if (board.descriptor_path.empty()) {
    auto r = board.descriptor_load(format("%s/../config/zun09/%s", bin_dir.c_str(), "ky09.m09sim"), false);
    if (!r.ok) host.error_box(r.message);
  }
  std::string monitor = format("%s/../config/zun09/%s", bin_dir.c_str(), "qm09.s19");
  // The monitor is not the load file: Reload and the change test keep to the
  // program's file.
  auto saved_time = load_file_time;
  auto saved_name = load_file_name;
  int code = load_srecords(monitor).code;
  load_file_time = saved_time;
  load_file_name = saved_name;
  if (code != 0) {
    host.error_box(format("Failed to load '%s'", monitor.c_str()));
    return 1;
  }
  board.rom_writable = false;
  return 0;
}

bool Engine::sim_load_file_changed() {
  std::error_code ec;
  auto t = std::filesystem::last_write_time(path_native(load_file), ec);
  if (ec || t <= load_file_time) return false;
  load_file_time = t;
  return true;
}

}  // namespace zun
