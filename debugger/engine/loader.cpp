// Loading Motorola S-records into the board (ROM writable for the duration),
// and the board's default target: its descriptor and the monitor image.
// The debug records that follow the data ("SX" lines) are not read here.
#include "debugger/engine/engine.h"

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "common/srecord.h"

#include <cstdio>

namespace zun {

namespace {

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
  std::string why;
  std::FILE* in = path.empty() ? nullptr : open_input_file(path, why);
  if (!in) {
    result.code = 1;
    return result;
  }
  RomWritableDuringLoad rom_guard(board);
  bool first_record = true;
  SRecordFault fault = walk_srecords(in, [&](const SRecord& record, std::string& reason) {
    if (record.type == '0') return true;
    if (record.type >= '7') {
      entry_address = record.address;
      result.end_entry = record.address;
      return false;
    }
    // Record counts (S5, S6) have no place in a load file.
    if (record.type > '3') {
      reason = format("unknown record type 'S%c'", record.type);
      return false;
    }
    if (first_record) entry_address = record.address;
    first_record = false;
    for (size_t i = 0; i < record.data.size(); ++i) {
      uint32_t at = record.address + uint32_t(i);
      if (!board.is_loadable(at) || board.board_write(at, record.data[i]) != 0) {
        host.output_line(format("VM: Can't write to simulator memory at 0x%08lX\n", (unsigned long)at));
        reason = "the simulator memory refused the write";
        return false;
      }
      ++result.data_bytes;
    }
    return true;
  });
  if (fault.line != 0) {
    result.code = 2;
    result.line = fault.line;
    result.reason = fault.reason;
  }
  std::fclose(in);
  if (result.code == 0) {
    std::error_code ec;
    load_file_time = std::filesystem::last_write_time(path_native(path), ec);
    load_file_name = path_file_name(path);
  }
  return result;
}

void Engine::report_load_fault(const std::string& path, const LoadResult& r) {
  if (r.code == 2) host.output_line(format("VM: Can't load '%s': line %d: %s\n", path.c_str(), r.line, r.reason.c_str()));
}

int Engine::load_srecords_reporting(const std::string& path) {
  LoadResult r = load_srecords(path);
  report_load_fault(path, r);
  int code = r.code;
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
  LoadResult r = load_srecords(monitor);
  load_file_time = saved_time;
  load_file_name = saved_name;
  report_load_fault(monitor, r);
  if (r.code != 0) {
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
