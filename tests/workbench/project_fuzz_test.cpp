// Random and mutated project files: whatever the reader makes of one, the
// file written from it reads back as the same project (read, write, read),
// and no run trips a sanitizer or takes long.
// Runs 3 seconds by default; ZUN_FUZZ_SECONDS asks for longer and
// ZUN_FUZZ_SEED picks another sequence.
#include <chrono>
#include <iostream>
#include <random>

#include "tests/tools/fuzz_text.h"
#include "tests/workbench/project_support.h"

namespace zun::wb::test {
namespace {

const std::vector<std::string> kTokens{
    "\n", "\t", " \\\n", "\\", "\"", "\"\"", "'", ",", "#", "#+", "#+[Baud(0)(0)]=\n#+9600\n", "##", "!IFCONF\tFinal\n",
    "!EICONF\tFinal\n", "##TYPE L\n", "##TYPE O\n", "##USESTARTUP=0\n", "##CRT0=\"s.s09\"\n", "##OBJDIR=",
    "##TARGDIR=", "##TARGETNAME=", "##OF \"x.c\"\n", "##CSIMSET=", "##EXTMAKEFILE=\"m\"\n", "ASFLAGS=", "CCFLAGS=",
    "LNFLAGS=", "FILES= \\\n", "DEFINES= \\\n", "ASMDEFINES= \\\n", "UNDEFINES= \\\n", "INCLUDES= \\\n",
    "LIBRARIES= \\\n", "LIBRARYPATHS= \\\n", "INCLUDESREL= \\\n", "\t\"a.c\" \"-O\" \"0\" \\\n",
    "\t\"../src/startup/zun09\\_startup.s09\" \"\" \"1\" \\\n", "\t\"sub\\b.s09\" \"-I\"\"x y\"\"\" \"1\" \\\n",
    "\"2147483648\"", "\"-1\"", "..", "/", "C:\\", "=", "$(X)"};

std::string mutate(std::string text, std::mt19937& rng) {
  if (rng() % 8 == 0) text = zun::test::change_line_ends(text, rng);
  if (rng() % 8 == 0) return zun::test::cut_short(text, rng);
  for (int m = static_cast<int>(rng() % 6); m > 0 && !text.empty(); --m) {
    size_t at = rng() % text.size();
    switch (rng() % 6) {
      case 0: text[at] = static_cast<char>(rng() % 256); break;
      case 1: text.erase(at, 1 + rng() % 8); break;
      case 2:
      case 3: text.insert(at, kTokens[rng() % kTokens.size()]); break;
      case 4: {  // a line twice
        size_t start = text.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        size_t end = text.find('\n', at);
        if (end != std::string::npos) text.insert(start, text.substr(start, end - start + 1));
        break;
      }
      default: text.erase(at, text.find('\n', at) == std::string::npos ? 0 : text.find('\n', at) - at); break;
    }
  }
  return text;
}

class ProjectFuzz : public ProjectTest {};

TEST_F(ProjectFuzz, WhatIsReadIsWhatIsWrittenAndReadAgain) {
  zun::test::FuzzRun fuzz;
  const unsigned seed = fuzz.seed;
  std::mt19937& rng = fuzz.rng;

  // Seeds: the example, and a project that uses every setting.
  std::vector<std::string> seeds{slurp(std::string(ZUN_SOURCE_DIR) + "/data/examples/ky09demo/ky09demo.m09")};
  {
    RecordingHost quiet;
    Project p = new_project("demo");
    p.add_file("main.c", "-I\"my dir\" -O", 0, quiet);
    p.add_file("sub/a.b.s09", "", 1, quiet);
    p.add_file(root_ + "/shared/board.lsc", "", 1, quiet);
    for (const char* d : {"VER=1.2", "X=-1", "A\\"}) p.debug.add_item(Defines, d);
    p.debug.add_item(Includes, "./inc");
    p.final_.add_item(Libraries, "my \"lib\".e09");
    p.final_.ccflags = "-w4 \\";
    p.set_sim_config(p.dir() + "/sim/board.m09sim");
    p.terminal_lines = {"#+[Baud(0)(0)]=", "#+9600"};
    p.bring_startup_in_line(true, quiet);
    seeds.push_back(*project_file_text(p, quiet, {}));
  }

  const std::string path = root_ + "/demo/demo.m09";
  int runs = 0, problems = 0, compared = 0;
  while (fuzz.more()) {
    std::string text = mutate(seeds[rng() % seeds.size()], rng);
    put(path, text);
    RecordingHost quiet;
    Project first;
    first.program_dir = bin_;
    first.set_path(path);
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(read_project_file(first, quiet, {}));
    first.open = true;
    std::optional<std::string> written = project_file_text(first, quiet, {});
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_LT(took, 5.0) << "seed " << seed << " run " << runs << ":\n" << text;
    if (!first.read_problems.empty()) ++problems;
    ++runs;
    if (!written) continue;  // no valid project type: nothing is written
    put(path, *written);
    Project again;
    again.program_dir = bin_;
    again.set_path(path);
    ASSERT_TRUE(read_project_file(again, quiet, {}));
    const std::string context = "seed " + std::to_string(seed) + " run " + std::to_string(runs) + ":\n" + text +
                                "\n---- written:\n" + *written;
    ASSERT_EQ(first.files, again.files) << context;
    ASSERT_EQ(first.debug, again.debug) << context;
    ASSERT_EQ(first.final_, again.final_) << context;
    ASSERT_EQ(first.sim_config(), again.sim_config()) << context;
    ASSERT_EQ(first.ext_makefile(), again.ext_makefile()) << context;
    ASSERT_EQ(first.ext_makefile_param(), again.ext_makefile_param()) << context;
    ASSERT_EQ(first.terminal_lines, again.terminal_lines) << context;
    ASSERT_TRUE(again.read_problems.empty()) << context;
    ++compared;
  }
  EXPECT_GT(runs, 0);
  std::cout << runs << " runs, " << compared << " written and read again, " << problems
            << " read with problems (seed " << seed << ")\n";
}

}  // namespace
}  // namespace zun::wb::test
