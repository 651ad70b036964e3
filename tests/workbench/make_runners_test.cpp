// The COMP, ASSM and LINK runners: the arguments each tool receives, the
// files they leave, and what a failing tool does to the result.
#include <algorithm>

#include "tests/workbench/make_support.h"

namespace zun::wb::test {
namespace {

using Args = std::vector<std::string>;

bool is_temporary(const std::string& name, const char* prefix) {
  return name.size() == 8 && name.rfind(prefix, 0) == 0;
}

class RunnerTest : public MakeTest {
 protected:
  void SetUp() override {
    MakeTest::SetUp();
    put("main.c", "int main(void) { return 0; }\n");
    fs::create_directory("obj");
    // Each tool writes its output file, as the real ones do.
    runner.act = [this](const FakeRunner::Call& c) {
      if (c.program == "cpp") put(c.args.back(), "pre\n");
      if (c.program == "tcx09") put(c.args.back(), "asm\n");
      auto o = std::find(c.args.begin(), c.args.end(), "-o");
      if (c.program == "hasm09" && o != c.args.end() && write_object) put(*(o + 1), "obj\n");
      auto it = exit_codes.find(c.program);
      return it == exit_codes.end() ? 0 : it->second;
    };
  }
  int comp(const std::string& text) {
    MakeContext ctx = runner_context();
    return run_comp(ctx, text);
  }
  int assm(const std::string& text) {
    MakeContext ctx = runner_context();
    return run_assm(ctx, text);
  }
  std::map<std::string, int> exit_codes;
  bool write_object = true;
};

TEST_F(RunnerTest, CompRoutesEveryOptionToItsTool) {
  int rc = comp(" -g -w4 -dCODE=0x2000 -I'my inc' -I\"C:\\x\\y\" -DX=1 -P -S -o\"obj\\main.o09\" \"main.c\"");
  EXPECT_EQ(rc, 0);
  ASSERT_EQ(runner.programs(), (Args{"cpp", "tcx09", "hasm09"}));
  const std::string c1 = runner.calls[0].args.back();
  const std::string c2 = runner.calls[1].args.back();
  const std::string c3 = runner.calls[2].args[5];
  EXPECT_TRUE(is_temporary(c1, "C1") && is_temporary(c2, "C2") && is_temporary(c3, "C3"));
  EXPECT_EQ(runner.calls[0].line,
            "\"/opt/zun/bin/cpp.exe\"   \"-I\" \"my inc\" \"-I\" \"C:/x/y\" \"-DX=1\" \"-D__ZUN\" \"-D__STDC__\""
            " \"-D__IIS\" \"-D__ZUN09\" \"-D_C_COMPILED\" \"main.c\" \"" + c1 + "\"");
  EXPECT_EQ(runner.calls[1].args, (Args{"-g", "-w4", c1, c2}));
  EXPECT_EQ(runner.calls[2].args, (Args{"-g", "-d", "CODE=0x2000", "-e", "-o", c3, c2}));
  EXPECT_EQ(runner.calls[0].caption, "Preprocessing");
  EXPECT_EQ(runner.calls[1].caption, "Compiling");
  EXPECT_EQ(runner.calls[2].caption, "Assembling");
  EXPECT_EQ(slurp("obj/main.prep"), "pre\n");
  EXPECT_EQ(slurp("obj/main.S"), "asm\n");
  EXPECT_EQ(slurp("obj/main.o09"), "obj\n");
  EXPECT_EQ(out, "main.c\n");
  EXPECT_TRUE(temporaries().empty());
}

TEST_F(RunnerTest, CompFailuresLeaveNoTemporaryFile) {
  exit_codes = {{"cpp", 1}};
  EXPECT_EQ(comp(" -o\"obj\\main.o09\" \"main.c\""), 1);
  EXPECT_EQ(runner.programs(), (Args{"cpp"}));
  EXPECT_TRUE(temporaries().empty());

  exit_codes = {{"tcx09", 2}};
  EXPECT_EQ(comp(" -o\"obj\\main.o09\" \"main.c\""), 2);
  EXPECT_TRUE(temporaries().empty());

  // With -S the assembler text is kept, never the object it failed to write.
  exit_codes = {{"hasm09", 3}};
  EXPECT_EQ(comp(" -S -o\"obj\\main.o09\" \"main.c\""), 3);
  EXPECT_TRUE(temporaries().empty());
  EXPECT_TRUE(exists("obj/main.S"));
  EXPECT_FALSE(exists("obj/main.o09"));

  exit_codes = {{"tcx09", run_cancelled}};
  EXPECT_EQ(comp(" -P -o\"obj\\main.o09\" \"main.c\""), run_cancelled);
  EXPECT_TRUE(temporaries().empty());

  runner.calls.clear();
  out.clear();
  EXPECT_EQ(comp(" -o\"obj\\x.o09\" \"x.s09\""), 1);
  EXPECT_EQ(comp(" -o\"obj\\main.o09\" main.c"), 1);
  EXPECT_EQ(out, "Unknown type of file\nUnknown type of file\n");
  out.clear();
  EXPECT_EQ(comp(" -o\"obj\\n.o09\" \"nosuch.c\""), 1);
  EXPECT_EQ(out, "Can't open: nosuch.c\n");
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(temporaries().empty());
}

TEST_F(RunnerTest, OptionTextsAreQuotedAndBounded) {
  OptionText t;
  std::string items = "-w4 -I'C:\\my dir' -D'__ZUN09' -x";
  const char* p = items.c_str();
  while (*p == '-') {
    p = t.add_opt(p);
    while (*p == ' ') ++p;
  }
  EXPECT_EQ(t.text(), " \"-w4\" \"-I\" \"C:\\my dir\" \"-D\" \"__ZUN09\" \"-x\"");
  // Backslashes before a quote and quotes inside an item reach the tool as they are.
  OptionText u;
  for (const char* item : {"-DDIR=C:\\", "-I'C:\\in c\\'", "-DMSG=\"a\\\"b\"", "-g"}) u.add_opt(item);
  EXPECT_EQ(split_win_cmdline(u.text(), false),
            (Args{"-DDIR=C:\\", "-I", "C:\\in c\\", "-DMSG=\"a\\\"b\"", "-g"}));

  // The whole text is bounded, not only each item.
  std::string many;
  for (int i = 0; i < 200; ++i) many += " -DSYMBOL_NUMBER_" + std::to_string(i);
  out.clear();
  EXPECT_EQ(comp(many + " -q -o\"obj\\main.o09\" \"main.c\""), 1);
  EXPECT_EQ(out, "Unknown  option (ignored) -q\nInternal buffer overflow (add_opt)\n");
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(RunnerTest, AssmCountsOnlyAWrittenObject) {
  EXPECT_EQ(assm(" -D'MY SYM' -g -o\"obj\\s.o09\" \"src\\s.s09\""), 0);
  ASSERT_EQ(runner.calls.size(), 1u);
  EXPECT_EQ(runner.calls[0].args, (Args{"-D", "MY SYM", "-g", "-o", "obj/s.o09", "-D", "__ZUN09", "src\\s.s09"}));
  EXPECT_EQ(out, "s.s09\n");

  write_object = false;  // the assembler ends with 0 when it cannot open its files
  EXPECT_EQ(assm(" -o\"obj\\s.o09\" \"src\\s.s09\""), 1);
  write_object = true;
  exit_codes = {{"hasm09", 2}};
  EXPECT_EQ(assm(" -o\"obj\\s.o09\" \"src\\s.s09\""), 2);
  EXPECT_FALSE(exists("obj/s.o09"));

  runner.calls.clear();
  exit_codes.clear();
  runner.act = [this](const FakeRunner::Call& c) {
    put("s.o09", "obj\n");
    return 0;
  };
  EXPECT_EQ(assm(" -g s.s09"), 0);
  EXPECT_EQ(runner.calls[0].args, (Args{"-g", "-D", "__ZUN09", "s.s09"}));
}

// On a file system that keeps whole seconds (ext3, FAT), an object the
// assembler writes anew within the second of the last one has the same
// time; it is a new file all the same.
TEST_F(RunnerTest, AnObjectWrittenAgainWithinTheSecondCountsAsWritten) {
  put("s.o09", "old\n");
  const auto stamp = fs::last_write_time("s.o09");
  runner.act = [&](const FakeRunner::Call&) {
    put("s.new", "obj\n");  // the assembler writes a temporary and renames it
    fs::last_write_time("s.new", stamp);
    fs::rename("s.new", "s.o09");
    return 0;
  };
  EXPECT_EQ(assm(" s.s09"), 0);
  EXPECT_EQ(slurp("s.o09"), "obj\n");
}

TEST_F(RunnerTest, LinkPassesItsTextAsWritten) {
  MakeContext ctx = runner_context();
  EXPECT_EQ(run_link(ctx, " -o\"debug\\demo.s19\" -g  \"a.o09\""), 0);
  ASSERT_EQ(runner.calls.size(), 1u);
  EXPECT_EQ(runner.calls[0].line,
            "\"/opt/zun/bin/vlk.exe\" \"-I\" \"/opt/zun/config/zun09\"  -o\"debug\\demo.s19\" -g  \"a.o09\"");
  EXPECT_EQ(runner.calls[0].caption, "Linking");
}

TEST_F(RunnerTest, TheEngineRunsTheBuiltinWords) {
  put("LINKED.c", "int x;\n");
  put("m.mk",
      "all:\n"
      "\tCOMP -o\"a.o09\" \"LINKED.c\"\n"
      "\tCOMP -o\"b.o09\" \"LINKED.c\"\n"
      "\tLINK x\n"
      "\tASSM -o\"s.o09\" \"s.s09\"\n"
      "\tLINKER.sh\n");
  run_make({"-fm.mk"});
  EXPECT_EQ(runner.programs(), (Args{"cpp", "tcx09", "hasm09", "cpp", "tcx09", "hasm09", "vlk", "hasm09", "LINKER.sh"}));
  EXPECT_EQ(out, "compiling...\nLINKED.c\nLINKED.c\nlinking...\nassembling...\ns.s09\n'all' - 0 Error(s)\n");
  EXPECT_TRUE(temporaries().empty());
}

}  // namespace
}  // namespace zun::wb::test
