// The staged QM09 monitor boots under the engine in configuration 1 with the
// default target, greets on the console terminal and takes S-records.
#include "tests/board/engine_fixture.h"

#include <cstdlib>
#include <filesystem>

namespace zun {
namespace {

class Monitor : public ::testing::Test {
protected:
  void SetUp() override {
    const char* stage = std::getenv("ZUN_STAGE");
    if (!stage || !std::filesystem::exists(std::string(stage) + "/config/zun09/qm09.s19"))
      GTEST_SKIP() << "no staged monitor image";
    engine = std::make_unique<Engine>(board, host, std::string(stage) + "/bin");
    board.board_configuration_set(1);
    ASSERT_EQ(engine->load_default_target(), 0);
    int slot = board.dev_find_by_handle(board.onboard_connection(int(Onboard::Acia1)));
    ASSERT_GE(slot, 0);
    console = tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
    ASSERT_NE(console, nullptr);
    cpu_reset(engine->cpu, true);
    engine->command(SIM_RUN_FAST);
  }
  void TearDown() override { board.dev_close_all(); }

  // Runs until the console has shown `text` at its end, or gives up.
  std::string run_until(const std::string& text) {
    std::string seen;
    for (int tick = 0; tick < 2000 && engine->run_mode != RunMode::Stopped; ++tick) {
      engine->sim_timer_tick();
      seen += console->take_output();
      if (seen.size() >= text.size() && seen.compare(seen.size() - text.size(), text.size(), text) == 0) break;
    }
    return seen;
  }

  TovrelLibrary io;
  Board board{io};
  RecordingHost host;
  std::unique_ptr<Engine> engine;
  tovrel::SerialTerminal* console = nullptr;
};

TEST_F(Monitor, BootsWithBannerAndPrompt) {
  EXPECT_EQ(run_until("> "), "\r\nQM09 monitor for KY09\r\n> ");
  EXPECT_EQ(board.board_peek(0xDFF8), 0xE1);  // SWI through RAM to the warm start
}

TEST_F(Monitor, LoadsSRecordsAndRunsFromAnAddress) {
  run_until("> ");
  console->type_text("L\rS00600004844521B\r\nS1051000ABCD72\r\nS10410023FAA\r\nS9031000EC\r\n");
  EXPECT_EQ(run_until("> "), "L\r\nOK\r\n> ");
  EXPECT_EQ(board.board_peek(0x1000), 0xAB);
  EXPECT_EQ(board.board_peek(0x1001), 0xCD);
  EXPECT_EQ(board.board_peek(0x1002), 0x3F);
  // SWI at 0x1002 comes back to the monitor's prompt.
  console->type_text("g 1002\r");
  EXPECT_EQ(run_until("> "), "g 1002\r\n> ");
  console->type_text("L\rS1051000ABCD00\r\nS9031000EC\r\n");
  EXPECT_EQ(run_until("> "), "L\r\nLoad error\r\n> ");
  console->type_text("x\r");
  EXPECT_EQ(run_until("> "), "x\r\n?  L: load S-records  G addr: go\r\n> ");
}

// Only a command's first letter counts: the rest of its word is skipped, so
// "go 1002" is "G 1002"; letters right behind G belong to the address.
TEST_F(Monitor, TheFirstLetterOfAWordIsTheCommand) {
  run_until("> ");
  console->type_text("load\rS1071000ABCD3F3FF2\r\nS9031000EC\r\n");
  EXPECT_EQ(run_until("> "), "load\r\nOK\r\n> ");
  for (const char* line : {"go 1002", "Go  1003", "gofast 1002", "G1003 "}) {
    console->type_text(std::string(line) + "\r");
    EXPECT_EQ(run_until("> "), std::string(line) + "\r\n> ") << line;  // SWI: back at the prompt
  }
  // G then letters and no blank: an address, here one that is no number.
  console->type_text("go\r");
  EXPECT_EQ(run_until("> "), "go\r\n?  L: load S-records  G addr: go\r\n> ");
}

TEST_F(Monitor, RunsALoadedProgram) {
  run_until("> ");
  // The run09 greeting program: S-records as the linker writes them.
  console->type_text("L\r\n"
                     "S00600004844521B\r\n"
                     "S12310008603B7E0288615B7E0288E101FA680270CF6E028C50227F9B7E02920F020FE48F9\r\n"
                     "S1091020656C6C6F0A0010\r\n"
                     "S9031000EC\r\n");
  EXPECT_EQ(run_until("> "), "L\r\nOK\r\n> ");
  console->type_text("G1000\r\n");
  EXPECT_EQ(run_until("Hello\n"), "G1000\r\nHello\n");
}

}  // namespace
}  // namespace zun
