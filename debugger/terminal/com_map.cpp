// The COM names of the workbench (COM1 to COM8) and the devices behind them,
// kept in a small file of "COMn=device" lines. A missing file is made from
// the serial ports the system lists, so the user finds one to edit.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace fs = std::filesystem;

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The sort key of a tty name: its family, then its number.
std::tuple<int, long, std::string> port_order(const std::string& name) {
  static constexpr std::string_view families[] = {"ttyS", "ttyUSB", "ttyACM"};
  for (int f = 0; f < 3; ++f) {
    std::string_view prefix = families[f];
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        std::all_of(name.begin() + long(prefix.size()), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return {f, std::stol(name.substr(prefix.size())), {}};
  }
  return {3, 0, name};
}

std::string read_small_file(const fs::path& p) {
  std::FILE* f = std::fopen(p.c_str(), "rb");
  if (!f) return {};
  std::string line;
  read_line(f, line);
  std::fclose(f);
  return line;
}

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

const std::string& ComMap::device(int port_index) const {
  static const std::string none;
  return port_index >= 0 && port_index < ports ? devices_[size_t(port_index)] : none;
}

void ComMap::set(int port_index, std::string device) {
  if (port_index >= 0 && port_index < ports) devices_[size_t(port_index)] = std::move(device);
}

std::string ComMap::text() const {
  std::string out = "# Serial ports of the terminal: COMn=device (n from 1 to 8)\n";
  for (int i = 0; i < ports; ++i)
    if (!devices_[size_t(i)].empty()) out += format("COM%d=%s\n", i + 1, devices_[size_t(i)].c_str());
  return out;
}

ComMap ComMap::parse(std::string_view text) {
  ComMap map;
  size_t pos = 0;
  std::string_view line;
  while (next_line(text, pos, line)) {
    line = trim(line);
    if (line.size() < 5 || line[0] == '#' || (line.substr(0, 3) != "COM" && line.substr(0, 3) != "com")) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view number = trim(line.substr(3, eq - 3));
    if (number.size() != 1 || number[0] < '1' || number[0] > '8') continue;
    std::string device(trim(line.substr(eq + 1)));
    path_to_slashes(device);
    map.set(number[0] - '1', device);
  }
  return map;
}

std::vector<std::string> ComMap::system_ports(const std::string& sys_class_tty) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(sys_class_tty, ec)) {
    const fs::path& p = entry.path();
    // Only ports with a device behind them; the 8250 driver lists every
    // possible ttyS, and those without a UART have type 0.
    if (!fs::exists(p / "device", ec)) continue;
    std::string name = p.filename().string();
    if (name.rfind("ttyS", 0) == 0 && trim(read_small_file(p / "type")) == "0") continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return port_order(a) < port_order(b); });
  for (std::string& n : names) n = "/dev/" + n;
  return names;
}

void ComMap::load(const std::string& file, const std::string& sys_class_tty) {
  if (auto text = read_file(file)) {
    *this = parse(*text);
    return;
  }
  std::vector<std::string> found = system_ports(sys_class_tty);
  *this = ComMap{};
  for (size_t i = 0; i < found.size() && i < size_t(ports); ++i) devices_[i] = found[i];
  // A file that is there but unreadable is the user's: it stays as it is.
  std::error_code ec;
  if (fs::exists(file, ec)) return;
  fs::create_directories(fs::path(file).parent_path(), ec);
  std::ofstream(file, std::ios::binary) << text();
}

}  // namespace zun::term
