// Random and mutated objects, archives and scripts (line ends of every
// system, files cut short): vlk must end every run with an exit code, leave
// no temporary and no output of a failed run behind, and never trip a
// sanitizer.
// Runs 3 seconds by default; ZUN_FUZZ_SECONDS asks for longer (CI: 60) and
// ZUN_FUZZ_SEED picks another sequence.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>

#include "tests/linker/vlk_fixture.h"
#include "tests/tools/fuzz_text.h"

namespace zun::vlk::test {
namespace {

const std::vector<std::string> kObjects{
    "mod:m1:O09:m1.o09\nseg:text:13\nseg:data:2\nC:text\tBD000086008E000020F616FFFE\nC:data\t0000\n"
    "RG:text:m1:00000001:O:W:sub:4\nRG:text:m1:0000000B:P:W:sub:8\n"
    "RL:text:m1:00000004:O:B:00000000:data:5\nRL:text:m1:00000006:O:W:00000000:data:6\n"
    "RL:data:m1:00000000:O:W:00000000:text:11\nG:text:m1:00000000:start\n"
    "SY:A:M:m1$src/m1.s09\nSY:A:X:m1:4:text:0\nSY:A:F:m1:text:start:00000000:4\nSY:A:E:m1:text:start:B:8\ne\n",
    "mod:m2:O09:m2.o09\nseg:text:6\nseg:data:2\nseg:!far:4\nC:text\t1212B6000039\nC:data\t0000\n"
    "C:far\t01020304\nRG:data:m2:00000000:O:W:sub:7\nRL:text:m2:00000003:O:W:00000000:data:4\n"
    "RL:far:m2:00000000:F:B:00000002:far:9\nRL:far:m2:00000002:P:W:00000000:text:9\n"
    "G:text:m2:00000002:sub\nG:far:m2:00000001:farlab\ne\n",
    "mod:d:O09:d.o09\nseg:text:4\nseg:data:2\nseg:abs:0\nC:text\t39393939\nC:data\t0000\n"
    "G:text:d:00000000:_main\nG:data:d:00000000:_p\nG:abs:d:00000020:K\n"
    "RG:text:d:00000001:A:W:K:2\nRG:text:d:00000000:O:L:__heap_start:2\n"
    "SY:C:M:d$src/d.c\nSY:C:T:d: typ16-d a (2)(typ4) \\\n   more\nSY:C:X:d:3:1:text:0\n"
    "SY:C:Z:d:4:1:text:2\nSY:C:F:d:text:_main:00000000:3\nSY:C:E:d:text:_main:00000003:5\n"
    "SY:C:B:d.c$1$B$0$00000000\nSY:C:S:G:d:p:_p:(typ16-d)\nSY:C:S:S:d:data:x:00000001:(typ4)\n"
    "SY:C:S:L:d:main:i:-2:(typ11)\nSY:C:S:F:d:main:_main:(typ11)\nSY:C:S:S:d:buf:(typ4)\ne\n",
    "mod:lib:O09:lib.o09\nseg:text:2\nC:text\t0000\nRG:text:lib:00000000:O:W:putc:1\n"
    "G:text:lib:00000000:puts\ne\nmod:lib2:O09:lib2.o09\nseg:text:2\nC:text\t3900\n"
    "G:text:lib2:00000000:putc\ne\n",
};

const std::vector<std::string> kScripts{
    "-R text:0x1000\n-R rodata:+text\n-R data:+text\n-R bss:+text\nentry ( start )\n"
    "memory ( rwx, 0x0000, 0xE000 )\n",
    "group (rx, CODE) { text, far }\ngroup (rw, RAM) { data, bss }\ngroup (c, K) { abs }\n"
    "layout { 0xC000, 0xDFFF <= code,\n 0x0100, 0x3FFF <= ram }\nentry(_main)\n",
    "memory (r, 0x100, 0x100) memory (w, 0x180, 0x10)\nlayout { 0, 0x10 <= x, 5, 0x20 <= y }\n",
};

const std::vector<std::string> kTokens{
    ":", "\n", "\t", "\\\n", "FFFFFFFF", "00000000", "0x", "$", "-", "seg:", "mod:", "xmod:x:O09:x",
    "RL:", "RG:", "G:", "C:text\t", "SY:C:T:", "SY:C:S:G:", "e\n", "A\n", "E\n", "{", "}", "(", ")",
    ",", "<=", "group", "layout", "entry", "memory", "-i s.lsc", "-R text:+data", "//", "!", "text",
    "data", "bss", "abs", "99999999999", "7FFFFFFF", "80000000", "seg:text:0xFFFFFFF0\n"};

std::string mutate(std::string text, std::mt19937& rng) {
  if (rng() % 8 == 0) text = zun::test::change_line_ends(text, rng);
  if (rng() % 8 == 0) return zun::test::cut_short(text, rng);
  int count = static_cast<int>(rng() % 5);
  for (int m = 0; m < count && !text.empty(); ++m) {
    size_t at = rng() % text.size();
    switch (rng() % 7) {
      case 0: text[at] = static_cast<char>(rng() % 256); break;
      case 1: text.erase(at, 1 + rng() % 8); break;
      case 2: text.insert(at, kTokens[rng() % kTokens.size()]); break;
      case 3: text.resize(at); break;
      case 4: {  // duplicate a line
        size_t start = text.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        size_t end = text.find('\n', at);
        if (end != std::string::npos) text.insert(start, text.substr(start, end - start + 1));
        break;
      }
      case 5: if (at + 1 < text.size()) std::swap(text[at], text[at + 1]); break;
      default: text.insert(at, std::string(1 + rng() % 300, static_cast<char>('a' + rng() % 26))); break;
    }
  }
  return text;
}

class VlkFuzz : public VlkTest {};

TEST_F(VlkFuzz, RandomAndMutatedInputs) {
  zun::test::FuzzRun fuzz;
  const unsigned seed = fuzz.seed;
  std::mt19937& rng = fuzz.rng;
  const std::vector<std::string> option_sets{
      "", "-g", "-r", "-g -r", "-M", "-P", "-g -P -M -v", "-hl -g", "-Ac", "-Ac -g -As src", "-m x.map -v"};
  int runs = 0, succeeded = 0;
  while (fuzz.more()) {
    for (auto& entry : std::filesystem::directory_iterator(".")) std::filesystem::remove_all(entry);
    std::vector<std::string> args;
    std::istringstream opts(option_sets[rng() % option_sets.size()]);
    for (std::string w; opts >> w;) args.push_back(w);
    static const std::vector<std::string> kWords{
        "-R", "text:+data", "bss:0x8000", "data:$FFFF", "abs:+text", "-Ax", "-hq", "-", "-w",
        "-gzq", "-m", "-M", "-As", "-I", ".", "-l", "-L", "-o", "x.s19", "-r", "-hb", "-Ac"};
    for (int n = rng() % 4 == 0 ? 1 + static_cast<int>(rng() % 4) : 0; n > 0; --n)
      args.push_back(kWords[rng() % kWords.size()]);
    if (rng() % 2) {
      write("s.lsc", mutate(kScripts[rng() % kScripts.size()], rng));
      args.insert(args.end(), {"-i", "s.lsc"});
    } else if (rng() % 2) {
      args.insert(args.end(), {"-R", "text:0x1000"});
    }
    if (rng() % 3 == 0) {
      std::string archive = "A\n" + mutate(kObjects[3], rng) + mutate(kObjects[rng() % 3], rng) + "E\n";
      write("lib/l.e09", rng() % 4 ? archive : mutate(archive, rng));
      args.insert(args.end(), {"-L", "lib", "-l", "l.e09"});
    }
    int inputs = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < inputs; ++i) {
      std::string name = "o" + std::to_string(i) + ".o09";
      write(name, mutate(kObjects[rng() % kObjects.size()], rng));
      args.push_back(name);
    }
    Options options{args};
    Console console{[](std::string_view) {}, [](std::string_view) {}};
    auto started = std::chrono::steady_clock::now();
    int rc = run(options, console);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::string command;
    for (auto& a : args) command += a + " ";
    ASSERT_GE(rc, 0) << "seed " << seed << " run " << runs << ": " << command;
    ASSERT_LE(rc, 255);
    ASSERT_LT(took, 10.0) << "seed " << seed << " run " << runs << ": " << command;
    ASSERT_EQ(leftovers(), std::vector<std::string>{}) << "seed " << seed << " run " << runs << ": " << command;
    // A failed run leaves no output that a later build could take as good
    // (the ROM copy of -P is made after the output, and a map of any name
    // is written with errors too, so -P and -m are left out).
    auto has = [&args](const char* word) { return std::find(args.begin(), args.end(), word) != args.end(); };
    if (rc != 0 && !has("-P") && !has("-m"))
      for (const char* output : {"x.s19", "somevlkoutname.s19", "somevlkoutname.vlk"})
        ASSERT_FALSE(exists(output)) << "seed " << seed << " run " << runs << ": " << command;
    ++runs;
    if (rc == 0) ++succeeded;
  }
  EXPECT_GT(runs, 0);
  std::cout << runs << " runs, " << succeeded << " ended with exit code 0 (seed " << seed << ")\n";
}

}  // namespace
}  // namespace zun::vlk::test
