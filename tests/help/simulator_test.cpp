// What the manual says the simulator shows, where no command line shows it:
// the library page's ACIA 2 program, built as the page builds it, run on the
// board its target descriptor describes, prints on the terminal at ACIA 2.
#include <gtest/gtest.h>

#include <fstream>

#include "debugger/engine/engine.h"
#include "debugger/tovrel/tovrel.h"
#include "tests/help/help_pages.h"
#include "tests/tools/tool_run.h"

namespace zun::help {
namespace {

class QuietHost : public EngineHost {
public:
  void message_box(const std::string& caption, const std::string& text) override {
    messages += caption + ": " + text + "\n";
  }
  void error_box(const std::string& text) override { messages += "Error: " + text + "\n"; }
  std::string messages;
};

std::string attr(const Element& e, const char* name) {
  auto it = e.attrs.find(name);
  return it == e.attrs.end() ? "" : it->second;
}

TEST(HelpSimulator, LibraryPagesAcia2ProgramPrintsOnTheTerminalItsDescriptorPutsOnAcia2) {
  Page page = load_page("libc.html");
  std::string source, descriptor, shown;
  for (size_t i = 0; i < page.pres.size(); ++i) {
    const Element& pre = page.pres[i];
    if (attr(pre, "data-name") == "acia2.c") source = pre.text;
    if (attr(pre, "data-name") != "acia2.m09sim") continue;
    descriptor = pre.text;
    for (size_t j = i + 1; j < page.pres.size() && shown.empty(); ++j)
      if (attr(page.pres[j], "class") == "output") shown = page.pres[j].text;
  }
  ASSERT_FALSE(source.empty() || descriptor.empty() || shown.empty()) << "libc.html: the ACIA 2 example is gone";

  test::TempDir tmp;
  std::ofstream(tmp.path / "acia2.c") << source;
  std::ofstream(tmp.path / "acia2.m09sim") << descriptor;
  test::ToolRun built = test::run_in(
      tmp.path,
      "ZUN=\"$BIN/..\"; export PATH=\"$BIN:$PATH\"\n"
      "cpp -I $ZUN/include -D__ZUN -D__IIS -D__ZUN09 -D_C_COMPILED acia2.c acia2.i &&\n"
      "tcx09 -w4 -O acia2.i acia2.s09 && hasm09 -e acia2.s09 &&\n"
      "hasm09 -o startup.o09 $ZUN/src/startup/zun09/_startup.s09 &&\n"
      "vlk -I $ZUN/config/zun09 -i default.lsc -L $ZUN/lib/zun09 -l libc.e09 -l libcc.e09 "
      "-o acia2.s19 startup.o09 acia2.o09");
  ASSERT_EQ(built.rc, 0) << built.out << built.err;

  // As the simulator window opens on a project with this descriptor.
  TovrelLibrary io;
  Board board{io};
  QuietHost host;
  Engine engine{board, host, test::stage_bin()};
  board.load_device_types();
  ASSERT_TRUE(board.descriptor_load((tmp.path / "acia2.m09sim").string()).ok);
  engine.load_file = (tmp.path / "acia2.s19").string();
  ASSERT_EQ(engine.command(SIM_LOAD), 1) << host.messages;
  tovrel::SerialTerminal* second = nullptr;
  for (const DeviceSlot& slot : board.slots)
    if (slot.handle >= 0 && slot.base == 0xE024) second = tovrel::find<tovrel::SerialTerminal>(slot.handle);
  ASSERT_NE(second, nullptr) << "no terminal at $E024";

  engine.command(SIM_RUN_FAST);
  std::string got;
  for (int tick = 0; tick < 2000 && got.find('\n') == std::string::npos; ++tick) {
    engine.sim_timer_tick();
    got += second->take_output();
  }
  engine.command(SIM_STOP);
  EXPECT_EQ(collapse_blanks(got), collapse_blanks(shown));
  EXPECT_EQ(host.messages, "");
  board.dev_close_all();
}

}  // namespace
}  // namespace zun::help
