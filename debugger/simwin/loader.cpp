// Loading Motorola S-records into the board (ROM writable for the duration),
// and the board's default target: its descriptor and the monitor image.
// The debug records that follow the data ("SX" lines) are not read here.
#include "debugger/simwin/engine.h"

#include "common/format.h"
#include "common/line_reader.h"
#include "common/number.h"
#include "common/path.h"

#include <cstdio>

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

namespace {

// Address digits of a data or end record; 0 for any other type.
size_t address_digits(char type) {
  switch (type) {
    case '1': case '9': return 4;
    case '2': case '8': return 6;
    case '3': case '7': return 8;
    default: return 0;
  }
}

// The count, address and checksum of a data record, with what is wrong with
// them; the count locates the checksum, so text behind it is not read.
std::string check_record(const std::string& line, size_t digits, uint32_t& count) {
  auto c = hex_at(line, 2, 2);
  if (!c) return line.size() < 4 ? "the line ends inside the count" : "non-hex digits in the count";
  count = *c;
  if (!hex_at(line, 4, digits)) return line.size() < 4 + digits ? "bad count" : "non-hex digits in the address";
  if (count < digits / 2 + 1) return "bad count";
  if (line.size() < 4 + 2 * size_t(count)) return line.size() % 2 ? "odd length" : "bad count";
  for (size_t pos = 4 + digits; pos < 4 + 2 * size_t(count); pos += 2)
    if (!hex_at(line, pos, 2)) return "non-hex digits in the data";
  return {};
}

}  // namespace

LoadResult Engine::load_srecords(const std::string& path) {
  LoadResult result;
  std::string why;
  std::FILE* in = path.empty() ? nullptr : open_input_file(path, why);
  if (!in) {
    result.code = 1;
    return result;
  }
  RomWritableDuringLoad rom_guard(board);
  bool first_record = true;
  std::string line;
  auto fail = [&](const std::string& reason) {
    result.code = 2;
    result.reason = reason;
  };
  for (LineStatus status; result.code == 0 && (status = read_line(in, line, kMaxRecordLine)) != LineStatus::End;) {
    ++result.line;
    if (status == LineStatus::TooLong) {
      fail(format("the line is longer than %zu characters", kMaxRecordLine));
      break;
    }
    if (line.empty()) continue;
    if (line.size() < 2 || line[0] != 'S') {
      fail("not an S-record");
      break;
    }
    char type = line[1];
    if (type == '0') continue;
    if (type == 'X') break;  // the debug records after the data
    size_t digits = address_digits(type);
    if (digits == 0) {
      fail(format("unknown record type 'S%c'", type));
      break;
    }
    uint32_t count = 0;
    std::string fault = check_record(line, digits, count);
    if (!fault.empty()) {
      fail(fault);
      break;
    }
    uint32_t address = *hex_at(line, 4, digits);
    if (type >= '7' && type <= '9') {
      entry_address = address;
      result.end_entry = address;
      break;
    }
    if (first_record) entry_address = address;
    first_record = false;
    size_t data_bytes = count - digits / 2 - 1;
    for (size_t i = 0, pos = 4 + digits; i < data_bytes; ++i, pos += 2) {
      uint32_t at = address + uint32_t(i);
      if (!board.is_loadable(at) || board.board_write(at, uint8_t(*hex_at(line, pos, 2))) != 0) {
        host.output_line(format("VM: Can't write to simulator memory at 0x%08lX\n", (unsigned long)at));
        fail("the simulator memory refused the write");
        break;
      }
      ++result.data_bytes;
    }
  }
  std::fclose(in);
  if (result.code == 0) {
    result.line = 0;
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
