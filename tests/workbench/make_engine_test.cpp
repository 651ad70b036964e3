// The make engine over makefiles written here, with file times from a table
// and a runner that only records the command lines.
#include "tests/workbench/make_support.h"

namespace zun::wb::test {
namespace {

std::vector<std::string> lines_of(const FakeRunner& r) {
  std::vector<std::string> lines;
  for (const auto& c : r.calls) lines.push_back(c.line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST_F(MakeTest, ConfigurationBlocksKeepTheSelectedOne) {
  put("m.mk",
      "!IFCONF\tDebug\n"
      "X=debug\n"
      "all:\n"
      "\tdebug-only\n"
      "!EICONF\tDebug\n"
      "!IFCONF\tFinal\n"
      "X=final\n"
      "!EICONF\tFinal\n"
      "all:\n"
      "\tshow $(X)\n");
  run_make({"-fm.mk", "-c", "Debug"});
  EXPECT_EQ(lines_of(runner), (Lines{"debug-only", "show debug"}));
  runner.calls.clear();
  run_make({"-fm.mk", "-c", "Final"});
  EXPECT_EQ(lines_of(runner), (Lines{"show final"}));
  // Without a configuration both blocks count; the later definition wins.
  runner.calls.clear();
  MakeResult r = run_make({"-fm.mk"});
  EXPECT_EQ(lines_of(runner), (Lines{"debug-only", "show final"}));
  EXPECT_EQ(out, "'all' - 0 Error(s)\n");
  EXPECT_EQ(r.result, 1);
  EXPECT_FALSE(r.failed());
}

TEST_F(MakeTest, BangDirectivesActInSkippedBlocksDotDirectivesDoNot) {
  put("m.mk",
      "!IFCONF\tFinal\n"
      "!SILENT\n"
      "all:\n"
      "\tfinal-only\n"
      "!EICONF\tFinal\n"
      "last:\n"
      "\tx\n"
      "!IFCONF\tFinal\n"
      "Y=1\n");
  MakeResult r = run_make({"-fm.mk", "-c", "Debug"});
  EXPECT_EQ(lines_of(runner), (Lines{"x"}));
  EXPECT_EQ(out, "EOF within active config\n");  // silent: no summary
  EXPECT_EQ(r.errors, 1);

  put("m.mk",
      "!IFCONF\tFinal\n"
      ".SILENT:\n"
      "!EICONF\tFinal\n"
      "last:\n"
      "\tx\n");
  run_make({"-fm.mk", "-c", "Debug"});
  EXPECT_EQ(out, "'last' - 0 Error(s)\n");
}

TEST_F(MakeTest, MacrosContinuationsAndDependencyWords) {
  put("m.mk",
      "OBJ= \\\n"
      "# between the parts\n"
      "\t\"a b.o09\" \\\n"
      "\n"
      "\t\"c.o09\"\n"
      "NAME=OBJ\n"
      "obj\\a.b\\main.o09: $($(NAME)) \"d e.h\" $(MISSING) $(ONE)\n"
      "\tlist $< | $* | $@ | $$x\n"
      "ONE=x y.h\n");
  for (const char* dep : {"a b.o09", "c.o09", "d e.h", "x y.h"}) files.times[dep] = 100;
  MakeResult r = run_make({"-fm.mk"});
  // A quoted expansion splits into words; an unquoted one is one name.
  EXPECT_EQ(lines_of(runner), (Lines{"list  a b.o09 c.o09 d e.h x y.h | obj\\a.b\\main | obj\\a.b\\main.o09 | $x"}));
  EXPECT_EQ(out, "Can't expand macro -- MISSING\n'obj/a.b/main.o09' - 1 Error(s)\n");
  EXPECT_EQ(r.errors, 1);
}

TEST_F(MakeTest, TimesDecideWhatIsRemade) {
  put("m.mk", "t.o09: s.c\n\tcc s.c\n");
  files.times = {{"t.o09", 100}, {"s.c", 100}};
  MakeResult r = run_make({"-fm.mk"});
  EXPECT_TRUE(runner.calls.empty());  // equal times are up to date
  EXPECT_EQ(out, "'t.o09' is up to date\n");
  EXPECT_EQ(r.result, 0);
  EXPECT_FALSE(r.failed());

  files.times["s.c"] = 101;
  r = run_make({"-fm.mk"});
  EXPECT_EQ(runner.calls.size(), 1u);
  EXPECT_EQ(out, "'t.o09' - 0 Error(s)\n");
  EXPECT_EQ(r.result, 1);

  files.times["s.c"] = 100;
  force = true;
  run_make({"-fm.mk"});
  EXPECT_EQ(runner.calls.size(), 2u);
  force = false;

  put("m.mk", "t.o09:\n\tcc s.c\n");  // no dependencies: always made
  run_make({"-fm.mk"});
  EXPECT_EQ(runner.calls.size(), 3u);

  r = run_make({"-fm.mk", "s.c"});
  EXPECT_EQ(out, "Don't know how to make 's.c'\n");
  EXPECT_TRUE(r.failed());

  // A target remade in this run is newer than what depends on it, even
  // within the second the dependent was last written.
  put("m.mk", "app: t.o09\n\tlink\nt.o09: s.c\n\tcc s.c\n");
  files.times = {{"app", files.clock}, {"t.o09", 100}, {"s.c", 101}};
  runner.calls.clear();
  run_make({"-fm.mk"});
  EXPECT_EQ(lines_of(runner), (Lines{"cc s.c", "link"}));

  // Target names are found whatever their case, as the file system finds
  // the files: a goal and a dependency in other letters name the same rule.
  put("m.mk", "APP: T.O09\n\tlink\nt.o09: s.c\n\tcc s.c\n");
  files.times = {{"t.o09", 100}, {"T.O09", 100}, {"s.c", 101}};
  runner.calls.clear();
  r = run_make({"-fm.mk", "app"});
  EXPECT_EQ(lines_of(runner), (Lines{"cc s.c", "link"}));
  EXPECT_FALSE(r.failed());
}

TEST_F(MakeTest, FailingCommandStopsOrGoesOnByTheOptions) {
  const std::string makefile = "all: one two\n\tdone\none:\n\tfail\n\tafter\ntwo:\n\tok2\n";
  put("m.mk", makefile);
  put("all", "old target");
  runner.act = [](const FakeRunner::Call& c) { return c.program == "fail" ? 3 : 0; };
  MakeResult r = run_make({"-fm.mk"});
  EXPECT_EQ(lines_of(runner), (Lines{"fail"}));
  // The goal's own commands never ran, so its file is not the run's to remove.
  EXPECT_EQ(out, "Stopped build...\n'all' - 3 error(s)\n");
  EXPECT_EQ(slurp("all"), "old target");
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.result, 0);

  runner.calls.clear();
  r = run_make({"-fm.mk", "-i"});
  EXPECT_EQ(lines_of(runner), (Lines{"fail", "after", "ok2", "done"}));
  EXPECT_EQ(out, "'all' - 3 Error(s)\n");
  EXPECT_TRUE(r.failed());

  runner.calls.clear();
  run_make({"-fm.mk", "-k"});
  EXPECT_EQ(lines_of(runner), (Lines{"fail", "ok2", "done"}));

  runner.calls.clear();
  put("m.mk", "all: one two\n\tdone\none:\n\t-@fail\n\tafter\ntwo:\n\tok2\n");
  r = run_make({"-fm.mk"});
  EXPECT_EQ(lines_of(runner), (Lines{"fail", "after", "ok2", "done"}));
  EXPECT_EQ(r.errors, 3);

  runner.calls.clear();
  run_make({"-fm.mk", "-n"});
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_EQ(out, "'all' - 0 Error(s)\n");
}

TEST_F(MakeTest, AnAbortRemovesOnlyAGoalWhoseCommandsRan) {
  put("q", "all:\n\techo x\n");
  put("src.c", "int x;\n");
  MakeResult r = run_make({"-fq", "-i", "src.c", "nothere"});
  EXPECT_EQ(out,
            "Don't know how to make 'src.c'\n"
            "\nERROR: 'nothere' does not exist, don't know how to make it\n"
            "'src.c' - 1 error(s)\n");
  EXPECT_EQ(slurp("src.c"), "int x;\n");
  EXPECT_TRUE(r.failed());

  // A goal whose own command failed half-way is removed; one made by an
  // inference rule as well.
  put("m.mk", "out.bin:\n\twrite\n\tfail\n.SUFFIXES: .o09 .c\n.c.o09:\n\tfail $*.o09\n");
  runner.act = [](const FakeRunner::Call& c) {
    put(c.args.empty() ? "out.bin" : c.args[0], "half");
    return c.program == "fail" ? 1 : 0;
  };
  run_make({"-fm.mk"});
  EXPECT_EQ(out, "Stopped build...\n'out.bin' - 1 error(s)\nRemoved 'out.bin'\n");
  EXPECT_FALSE(exists("out.bin"));
  run_make({"-fm.mk", "src.o09"});
  EXPECT_EQ(out, "Stopped build...\n'src.o09' - 1 error(s)\nRemoved 'src.o09'\n");
  EXPECT_TRUE(exists("src.c"));
}

TEST_F(MakeTest, DeepChainsAndNestedNamesDoNotExhaustTheStack) {
  // t0 needs t1 needs t2 ... needs t10000: the deepest is made first.
  std::string chain;
  for (int i = 0; i < 10000; ++i) chain += "t" + std::to_string(i) + ": t" + std::to_string(i + 1) + "\n\tmk $@\n";
  put("m.mk", chain + "t10000:\n\tmk $@\n");
  MakeResult r = run_make({"-fm.mk"});
  ASSERT_EQ(runner.calls.size(), 10001u);
  EXPECT_EQ(runner.calls.front().line, "mk t10000");
  EXPECT_EQ(runner.calls[5000].line, "mk t5000");
  EXPECT_EQ(runner.calls.back().line, "mk t0");
  EXPECT_EQ(out, "'t0' - 0 Error(s)\n");
  EXPECT_FALSE(r.failed());
  // The same depth closed into a circle is reported.
  put("m.mk", chain + "t10000: t0\n\tmk $@\n");
  run_make({"-fm.mk"});
  EXPECT_TRUE(printed("Circular dependency on 't0' dropped\n"));

  // Macro names made of macro names, nested beyond any use.
  std::string nested = "X";
  for (int i = 0; i < 20000; ++i) nested = "$(" + nested + ")";
  put("m.mk", "X=x\nall:\n\techo " + nested + "\n");
  runner.calls.clear();
  r = run_make({"-fm.mk"});
  EXPECT_TRUE(printed("\nERROR: Macro nesting too deep -- $($($($("));
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(r.stopped);
}

TEST_F(MakeTest, TimesCountBelowTheSecond) {
  using namespace std::chrono;
  put("m.mk", "t.o09: s.c\n\tcc s.c\n");
  put("t.o09", "");
  put("s.c", "");
  // Both within one second of the clock: the source 300 ms after the object.
  auto second = time_point_cast<seconds>(fs::file_time_type::clock::now()) - seconds(10);
  fs::last_write_time("t.o09", second + milliseconds(200));
  fs::last_write_time("s.c", second + milliseconds(500));
  run_make({"-fm.mk"});
  EXPECT_EQ(runner.calls.size(), 1u);
  fs::last_write_time("s.c", second + milliseconds(200));
  run_make({"-fm.mk"});
  EXPECT_EQ(out, "'t.o09' is up to date\n");
  EXPECT_EQ(runner.calls.size(), 1u);
}

TEST_F(MakeTest, AfterAFatalErrorNothingIsMade) {
  put("keep.txt", "x");
  put("m.mk", "clean:\n\tRMFI \"keep.txt\"\nthis is no rule\n");
  MakeResult r = run_make({"-fm.mk", "clean"});
  EXPECT_TRUE(exists("keep.txt"));
  EXPECT_EQ(out, "\nERROR: unable to parse line 'this is no rule'\n'clean' - 1 error(s)\n");
  EXPECT_TRUE(r.stopped);

  // The memory of a run is bounded: 100 blocks of 64 KB.
  std::string big = "all:\n\tRMFI \"keep.txt\"\n";
  for (int i = 0; i < 110; ++i) big += "M" + std::to_string(i) + "=" + std::string(40000, 'v') + "\n";
  put("m.mk", big);
  r = run_make({"-fm.mk"});
  EXPECT_TRUE(exists("keep.txt"));
  EXPECT_TRUE(printed("\nERROR: Can't get ARENA\n"));
  EXPECT_TRUE(r.stopped);
}

TEST_F(MakeTest, OverlongLinesAreFatal) {
  std::string text = "X=";
  for (int i = 0; i < 35; ++i) text += std::string(2000, 'a') + "\\\n";
  put("m.mk", text + "end\nall:\n\tcmd\n");
  MakeResult r = run_make({"-fm.mk"});
  EXPECT_TRUE(printed("\nERROR: line too long\n'X=aaa"));
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(r.stopped);

  put("m.mk", "A=" + std::string(40000, 'a') + "\nall:\n\tx $(A)$(A)\n");
  r = run_make({"-fm.mk"});
  EXPECT_TRUE(printed("\nERROR: line too long\n'\tx aaa"));
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(r.stopped);
}

TEST_F(MakeTest, ArgumentsAndEmptyMakefiles) {
  put("m.mk", "all:\n\tx\n");
  MakeResult r = run_make({"-fm.mk", "-q", "-c"});
  EXPECT_EQ(out, "unknown option '-q'\nunknown option '-c'\n'all' - 2 Error(s)\n");
  EXPECT_EQ(r.result, 1);

  put("empty.mk", "# only a comment\n\n");
  r = run_make({"-fempty.mk"});
  EXPECT_EQ(out, "There is no files in this project\n");
  EXPECT_EQ(r.result, 0);

  r = run_make({"-fnot-there.mk"});
  EXPECT_EQ(out, "couldn't open not-there.mk\n");
  EXPECT_TRUE(r.failed());
}

TEST_F(MakeTest, StopsNameTheirCause) {
  // A dependency that is out of date but has no commands.
  put("m.mk", "all: lib\n\tlinkit\nlib: src.c\n");
  files.times = {{"src.c", 100}, {"lib", 50}};
  MakeResult r = run_make({"-fm.mk"});
  EXPECT_EQ(out, "Missing command line for 'lib'\nStopped build...\n'all' - 1 error(s)\n");
  EXPECT_TRUE(r.failed());

  put("m.mk", "all:\n\t-tool\n");
  runner.act = [](const FakeRunner::Call&) { return run_cancelled; };
  r = run_make({"-fm.mk", "-i"});  // a cancel stops whatever the options
  EXPECT_EQ(out, "Stopped build...\nUser cancelled tool\n");
  EXPECT_TRUE(r.cancelled);
  EXPECT_TRUE(r.failed());

  runner.act = [](const FakeRunner::Call&) { return run_not_started; };
  put("m.mk", "all:\n\tfirst\n\tsecond\n");
  r = run_make({"-fm.mk"});
  EXPECT_EQ(out, "Stopped build...\nTool reported fatal error(s)\n");
  EXPECT_EQ(r.errors, 1);
  EXPECT_EQ(runner.calls.size(), 2u);
}

TEST_F(MakeTest, RuleLinesInferenceAndRemoval) {
  put("gone.txt", "x");
  put("x.c", "int x;\n");
  put("m.mk",
      ".SUFFIXES:\n"
      ".SUFFIXES: .o09 .c\n"
      ".c.o09:\n"
      "\tcc -o $*.o09 $*.c\n"
      "\"a:b\": x.o09\n"
      "\tshow $@\n"
      "clean:\n"
      "\tRMFI \"gone.txt\"\n"
      "\tRMFI \"never there.txt\"\n"
      "loop: back\n"
      "\tx\n"
      "back: loop\n"
      "\ty\n");
  run_make({"-fm.mk"});
  EXPECT_EQ(lines_of(runner), (Lines{"cc -o x.o09 x.c", "show a:b"}));

  MakeResult r = run_make({"-fm.mk", "clean"});
  EXPECT_FALSE(exists("gone.txt"));
  EXPECT_EQ(r.errors, 0);
  put("gone.txt", "x");
  files.refuse_removal = true;
  r = run_make({"-fm.mk", "clean"});
  EXPECT_EQ(out, "Stopped build...\n'clean' - 1 error(s)\n");
  files.refuse_removal = false;

  r = run_make({"-fm.mk", "loop"});
  EXPECT_TRUE(printed("Circular dependency on 'loop' dropped\n"));
}

}  // namespace
}  // namespace zun::wb::test
