// Target descriptor files (".m09sim"): one ":"-separated record per line that
// opens an outside device at a base address and, for "iotarget", connects an
// on-board chip to it. Also the current descriptor's path and display name.
#include "debugger/board/board.h"
#include "debugger/board/board_internal.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

namespace zun {

using namespace board_detail;

namespace {

// Fields follow each ':' and end at the next ':' or any control character.
std::vector<std::string> record_fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t i = 1;
  while (i <= line.size()) {
    std::string field;
    while (i < line.size() && line[i] != ':' && static_cast<unsigned char>(line[i]) >= 32) {
      if (field.size() < 64) field += line[i];
      ++i;
    }
    fields.push_back(field);
    if (i >= line.size() || line[i] != ':') break;
    ++i;
  }
  return fields;
}

// Decimal like the C library's atoi: leading blanks, a sign, digits; else 0.
long decimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0xFFFFFFFFL) break;
  }
  return negative ? -value : value;
}

}  // namespace

void Board::descriptor_read(std::istream& in) {
  std::string line;
  while (read_line(in, line)) {
    if (line.empty() || line[0] != ':') continue;
    auto f = record_fields(line);
    f.resize(std::max<size_t>(f.size(), 5));
    bool iotarget = f[0] == "iotarget";
    if (f[0] != "tovr" && !iotarget) continue;
    long device = decimal(f[1]);
    if (device < 0) continue;
    int slot = dev_open(static_cast<uint32_t>(device), static_cast<uint32_t>(decimal(f[3])),
                        static_cast<int32_t>(decimal(f[2])));
    if (!iotarget || slot < 0) continue;
    long index = decimal(f[4]);
    if (index < 0 || index >= int(Onboard::Count)) continue;
    onboard_connect(static_cast<int>(index), slots[slot].handle);
    slots[slot].onboard = static_cast<int32_t>(index);
  }
}

void Board::descriptor_write(std::ostream& out) {
  for (const auto& s : slots) {
    if (s.handle == -1) continue;
    int32_t option = io.get_option_sim(s.handle);
    if (s.base >= onboard_window_first && s.base <= onboard_window_last)
      out << format(":iotarget:%d:%d:%d:%d:\n", int(s.device), int(option), int(s.base), int(s.onboard));
    else
      out << format(":tovr:%d:%d:%d:\n", int(s.device), int(option), int(s.base));
  }
}

DescriptorResult Board::descriptor_load(const std::string& path, bool remember) {
  if (path.empty()) return {};
  load_device_types();
  dev_close_all();
  onboard_reset_connections();
  std::ifstream in(path_native(path), std::ios::binary);
  if (!in) return {false, format("Can't open '%s'", path.c_str())};
  if (remember) sim_set_descriptor(path);
  descriptor_read(in);
  return {};
}

DescriptorResult Board::descriptor_save(const std::string& path) {
  std::ofstream out(path_native(path), std::ios::binary);
  if (!out) return {false, format("Can't create '%s'", path.c_str())};
  descriptor_write(out);
  out.flush();
  if (!out) return {false, "Can't write settings"};
  return {};
}

void Board::sim_set_descriptor(const std::string& path) {
  if (path.empty()) {
    descriptor_path.clear();
    descriptor_name.clear();
    return;
  }
  std::string full = path;
  if (path_is_relative(path)) full = path_join(std::filesystem::current_path().generic_string(), path);
  descriptor_path = path_canonicalize(full);
  auto slash = descriptor_path.find_last_of('/');
  std::string file = slash == std::string::npos ? descriptor_path : descriptor_path.substr(slash + 1);
  auto dot = file.find_last_of('.');
  // A name without an extension is shown whole rather than keeping the
  // previous descriptor's name.
  descriptor_name = file.substr(0, std::min<size_t>(dot == std::string::npos ? file.size() : dot, 64));
}

const std::string& Board::sim_descriptor_name() {
  if (descriptor_name.empty()) descriptor_name = "<DEFAULT>";
  return descriptor_name;
}

}  // namespace zun
