// Fakes of the model's outside world: a host that records messages and
// answers questions as told, a target with 64 KB of memory, and a scratch
// directory for load files and sources.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/format.h"
#include "debugger/sld/sld.h"

namespace zun::sld {

class FakeHost : public SldHost {
public:
  void out_print(std::string_view text) override { out += text; }
  bool ask_yes_no(std::string_view question) override {
    questions.emplace_back(question);
    return answer;
  }
  void post_command(int id) override { posted.push_back(id); }
  void source_top_reset() override { ++top_resets; }
  void error_box(std::string_view text, std::string_view caption) override {
    boxes.push_back(std::string(caption) + "|" + std::string(text));
  }
  bool said(std::string_view text) const { return out.find(text) != std::string::npos; }

  std::string out;
  std::vector<std::string> questions;
  std::vector<int> posted;
  std::vector<std::string> boxes;
  bool answer = false;
  int top_resets = 0;
};

class FakeTarget : public SldTarget {
public:
  uint32_t target_read(uint32_t address, int size) override {
    if (size != 1 && size != 2 && size != 4) return 0;
    uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = v << 8 | memory[(address + i) & 0xFFFF];
    return v;
  }
  void target_write(uint32_t address, uint32_t value, int size) override {
    if (size != 1 && size != 2 && size != 4) return;
    for (int i = size - 1; i >= 0; --i, value >>= 8) memory[(address + i) & 0xFFFF] = value & 0xFF;
  }
  uint32_t target_get_pc() override { return pc; }
  uint32_t disassemble_line(uint32_t address, std::string& line) override {
    line = format("  %4.4X NOP", address);
    return address + 1;
  }
  std::array<uint8_t, 0x10000> memory{};
  uint32_t pc = 0;
};

// A directory of its own per test, removed afterwards.
class ScratchDir {
public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = std::filesystem::temp_directory_path() /
           format("zun_sld_%d_%s_%s", static_cast<int>(::getpid()), info->test_suite_name(),
                  info->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::string write(const std::string& name, const std::string& text) const {
    std::string file = (path / name).generic_string();
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  std::string dir() const { return path.generic_string(); }
  std::filesystem::path path;
};

}  // namespace zun::sld
