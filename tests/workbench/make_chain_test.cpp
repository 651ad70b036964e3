// The make engine with the staged tools: a project makefile like the ones
// the workbench writes builds a program that run09 runs, rebuilds only what
// changed, and stops on the compiler's error. Also the headless runner.
#include <chrono>
#include <thread>

#include "tests/workbench/make_support.h"
#include "workbench/build/spawn_runner.h"

namespace zun::wb::test {
namespace {

class ChainTest : public MakeTest {
 protected:
  void SetUp() override {
    MakeTest::SetUp();
    const char* stage = std::getenv("ZUN_STAGE");
    ASSERT_NE(stage, nullptr);
    const std::string here = dir_.string();
    fs::create_directory("debug");
    put("io.h", "#define GREETING \"hello from make\\n\"\n");
    put("main.c",
        "#include <ky09.h>\n"
        "#include \"io.h\"\n"
        "void put(char c) { while (!(ACIA1_STATUS & ACIA_TDRE)) ; ACIA1_DATA = c; }\n"
        "int main(void) {\n"
        "  const char* s = GREETING;\n"
        "  ACIA1_CONTROL = ACIA_RESET;\n"
        "  while (*s) put(*s++);\n"
        "  return 0;\n"
        "}\n");
    const std::string startup = std::string(stage) + "/src/startup/zun09/_startup.s09";
    put("demo.m09",
        "# V 2.0 26 February 2013)\n"
        "!IFCONF\tDebug\n"
        "##TARGETNAME=\"demo\"\n"
        "ASFLAGS=-g\n"
        "CCFLAGS=-g -w4 -O\n"
        "LNFLAGS=-g -i default.lsc\n"
        "OBJ= \\\n"
        "\t\"debug\\_startup.o09\" \\\n"
        "\t\"debug\\main.o09\"\n"
        "INC= \\\n"
        "\t-I\"" + bin_ + "\\..\\include\"\n"
        "\"debug\\demo.s19\": $(OBJ)\n"
        "\tLINK -o\"debug\\demo.s19\" $(LNFLAGS)  -L\"" + bin_ + "\\..\\lib\\zun09\" -l\"" + bin_ +
        "\\..\\lib\\zun09\\libccd.e09\"  $(OBJ)\n"
        "clean:\n"
        "\tRMFI \"debug\\demo.s19\"\n"
        "\"debug\\main.o09\":\t\\\n"
        "\t\"" + here + "/main.c\"\\\n"
        "\t\"" + here + "/io.h\"\n"
        "\tCOMP  $(CCFLAGS)  $(INC) -o\"debug\\main.o09\" \"" + here + "/main.c\"\n"
        "\"debug\\_startup.o09\":\t\\\n"
        "\t\"" + startup + "\"\n"
        "\tASSM  $(ASFLAGS) -o\"debug\\_startup.o09\" \"" + startup + "\"\n"
        "!EICONF\tDebug\n");
  }

  // make with the real runner; the output in `out`.
  MakeResult make_here(const std::vector<std::string>& args) {
    out.clear();
    MakeContext ctx;
    ctx.out = [this](std::string_view text) { out += text; };
    ctx.runner = &spawn_;
    ctx.program_dir = bin_;
    ctx.project_dir = dir_.string();
    return make(ctx, args);
  }
  MakeResult build() { return make_here({"Make", "-fdemo.m09", "-c", "Debug"}); }
  // A program of the stage, its output in `out`.
  int run_staged(const std::string& args) {
    out.clear();
    return spawn_.run_tool(bin_, args.substr(0, args.find(' ')), args.substr(args.find(' ') + 1), "");
  }
  static void touch_later(const std::string& name, int seconds) {
    fs::last_write_time(name, fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
  }
  static std::string stage_bin() {
    const char* stage = std::getenv("ZUN_STAGE");
    return stage ? std::string(stage) + "/bin" : std::string();
  }
  std::string bin_ = stage_bin();
  SpawnRunner spawn_{[this](std::string_view text) { out += text; }, bin_};
};

TEST_F(ChainTest, BuildsRunsAndRemakesOnlyWhatChanged) {
  MakeResult r = build();
  EXPECT_EQ(out, "assembling...\n_startup.s09\ncompiling...\nmain.c\nlinking...\n'debug/demo.s19' - 0 Error(s)\n");
  EXPECT_FALSE(r.failed());
  EXPECT_EQ(run_staged("run09 debug/demo.s19"), 0);
  EXPECT_NE(out.find("hello from make"), std::string::npos) << out;

  // zmake: an up-to-date goal is success.
  EXPECT_EQ(run_staged("zmake -fdemo.m09 -c Debug"), 0);
  EXPECT_EQ(out, "'debug/demo.s19' is up to date\n");

  touch_later("io.h", 10);
  r = build();
  EXPECT_EQ(out, "compiling...\nmain.c\nlinking...\n'debug/demo.s19' - 0 Error(s)\n");

  put("main.c", slurp("main.c") + "int broken( { }\n");
  touch_later("main.c", 20);
  EXPECT_EQ(run_staged("zmake -fdemo.m09 -c Debug"), 1);
  EXPECT_NE(out.find("compiling...\nmain.c\n\"" + dir_.string() + "/main.c\" (10) Error: "), std::string::npos)
      << out;
  EXPECT_NE(out.find("Stopped build...\n'debug/demo.s19' - "), std::string::npos) << out;
  // The link never ran: the program of the last good build stays.
  EXPECT_TRUE(exists("debug/demo.s19"));
  EXPECT_TRUE(temporaries().empty());
}

TEST_F(ChainTest, StopKillsTheRunningTool) {
  put("m.mk", "all:\n\tsleep 20\n\tnever\n");
  std::atomic<bool> done{false};
  std::thread stopper([&] {
    while (!done) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      spawn_.stop();
    }
  });
  auto start = std::chrono::steady_clock::now();
  MakeResult r = make_here({"make", "-fm.mk"});
  done = true;
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(out, "Stopped build...\nUser cancelled tool\n");
}

// A child that closes its output a little before it ends: the run ends as
// the child does, without waiting on a clock of its own. Measured beside the
// same child keeping its output open to the end, so that a loaded machine
// slows both alike; a wait by the clock would add up to its whole period.
TEST_F(ChainTest, TheRunEndsWhenTheChildEnds) {
  auto fastest = [&](const char* command) {
    std::chrono::steady_clock::duration best = std::chrono::hours(1);
    for (int i = 0; i < 7; ++i) {
      auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(spawn_.run_process(command), 3);
      best = std::min(best, std::chrono::steady_clock::now() - start);
    }
    return best;
  };
  auto closed_early = fastest("sh -c \"echo said; exec >/dev/null 2>&1; sleep 0.002; exit 3\"");
  auto open_to_the_end = fastest("sh -c \"echo said; sleep 0.002; exit 3\"");
  std::string said;
  for (int i = 0; i < 14; ++i) said += "said\n";
  EXPECT_EQ(out, said);
  EXPECT_LT(closed_early, open_to_the_end + std::chrono::milliseconds(8));
}

TEST_F(ChainTest, ProgramsThatFailToRunAreFailures) {
  put("m.mk", "all:\n\t-no_such_program_zun09\n\tsh -c \"kill -SEGV $$$$\"\n");
  MakeResult r = make_here({"make", "-fm.mk"});
  EXPECT_NE(out.find("\nFailed to create process, system message is: "), std::string::npos) << out;
  EXPECT_NE(out.find("\nProgram 'sh' ended abnormally\nStopped build...\nTool reported fatal error(s)\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(r.errors, 2);
}

}  // namespace
}  // namespace zun::wb::test
