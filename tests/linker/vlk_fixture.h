// Runs vlk in a fresh directory of its own and gives the tests its files and
// console text.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "linker/linker.h"
#include "tests/tools/tool_run.h"

namespace zun::vlk::test {

class VlkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    std::string templ = (std::filesystem::temp_directory_path() / "vlktestXXXXXX").string();
    dir_ = mkdtemp(templ.data());
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_dir_);
    std::filesystem::remove_all(dir_);
  }

  void write(const std::string& name, const std::string& text) {
    std::filesystem::path p(name);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) { return zun::test::read_whole(name); }
  bool exists(const std::string& name) { return std::filesystem::exists(name); }

  // Runs vlk with the words of `args` (split at blanks) plus `extra`.
  int vlk(const std::string& args, std::vector<std::string> extra = {}) {
    Options options;
    std::istringstream words(args);
    for (std::string w; words >> w;) options.args.push_back(w);
    for (auto& e : extra) options.args.push_back(e);
    out.clear();
    err.clear();
    Console console;
    console.out = [this](std::string_view t) { out += t; };
    console.err = [this](std::string_view t) { err += t; };
    return run(options, console);
  }

  // Files other than the ones a test wrote: temporaries left behind.
  std::vector<std::string> leftovers() {
    std::vector<std::string> found;
    for (auto& entry : std::filesystem::directory_iterator(".")) {
      std::string name = entry.path().filename().string();
      if (name.starts_with("vl") || (name.starts_with("~~v") && name.ends_with("L")))
        found.push_back(name);
    }
    return found;
  }

  // The data records of an S-record file as address -> byte.
  std::vector<std::pair<uint32_t, uint8_t>> srec_bytes(const std::string& text);

  std::string out, err;
  std::filesystem::path old_dir_;
  std::string dir_;
};

inline std::vector<std::pair<uint32_t, uint8_t>> VlkTest::srec_bytes(const std::string& text) {
  std::vector<std::pair<uint32_t, uint8_t>> bytes;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 4 || line[0] != 'S') continue;
    int type = line[1] - '0';
    if (type < 1 || type > 3) continue;
    int count = std::stoi(line.substr(2, 2), nullptr, 16);
    int alen = type + 1;
    uint32_t address = static_cast<uint32_t>(std::stoul(line.substr(4, 2 * alen), nullptr, 16));
    for (int i = 0; i < count - alen - 1; ++i)
      bytes.push_back({address + i, static_cast<uint8_t>(std::stoi(line.substr(4 + 2 * alen + 2 * i, 2), nullptr, 16))});
  }
  return bytes;
}

}  // namespace zun::vlk::test
