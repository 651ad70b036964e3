// An engine over a board wired to the real tovrel library, with a host that
// records what the engine tells its window and debugger.
#pragma once
#include "debugger/engine/engine.h"
#include "debugger/tovrel/tovrel.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace zun {

class RecordingHost : public EngineHost {
public:
  void on_stop() override { ++stops; }
  void message_box(const std::string& caption, const std::string& text) override {
    messages.push_back(caption + ": " + text);
  }
  void error_box(const std::string& text) override { messages.push_back("Error: " + text); }
  void output_line(const std::string& text) override { output += text; }
  int stops = 0;
  std::vector<std::string> messages;
  std::string output;
};

class EngineTest : public ::testing::Test {
protected:
  // Bytes into memory, ROM included.
  void poke(uint32_t addr, std::initializer_list<uint8_t> bytes) {
    bool saved = board.rom_writable;
    board.rom_writable = true;
    for (uint8_t b : bytes) ASSERT_EQ(board.board_write(addr++, b), 0);
    board.rom_writable = saved;
  }
  void vector(uint32_t at, uint16_t target) { poke(at, {uint8_t(target >> 8), uint8_t(target)}); }

  TovrelLibrary io;
  Board board{io};
  RecordingHost host;
  Engine engine{board, host, "/nonexistent/bin"};
  Cpu& cpu = engine.cpu;
};

}  // namespace zun
