// Random and mutated sources (line ends of every system, files cut short):
// the assembler must neither crash nor hang nor leave temporaries behind, and
// its exit code must agree with its messages.
// Runs a few seconds by default; HASM09_FUZZ_SECONDS=60 runs longer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "asm_support.h"
#include "tests/tools/fuzz_text.h"

namespace zun::hasm::test {
namespace {

const char* const Words[] = {
    "lda", "ldd", "ldx", "leax", "bra", "lbra", "beq", "jsr", "tfr", "exg", "pshs", "puls",
    "swi2", "cmpd", "sty", "fcb", "fdb", "fqb", "fcc", "fcs", "rmb", "rmw", "org", "equ", "set",
    "end", "align", "option", "segment", "export", "import", "use", "file", "function", "entry",
    "exit", "setdp", "text", "data", "bss", "rodata", "TSC", "LIST", "NOLIST", "LISTCOND",
    "#if", "#ifdef", "#ifndef", "#elif", "#else", "#endif", "#define", "#error", ".stab",
    ".stab type", ".stab sym S:a:lab:", ".stab blk", ".stab fend", "option tsc\n fcc", ".stab stmt 1,", ".stab blk L,1,", ".stab fstart lab:",
    "a", "b", "d", "x", "y", "u", "s", "pc", "pcr", "cc", "dp", "lab", "lab2", "_x", "K",
    "$", "0x", "%", "@", "'", "\"", "*", ".", ",", "[", "]", "(", ")", "+", "-", "/", "%%",
    "<<", ">>", "<", ">", "#", "!", "~", "&&", "||", "==", ":", ";", "\\", " ", "\t",
    "0", "1", "127", "128", "-129", "$FFFF", "65536", "2147483648", "-2147483648", "t.s09",
};

std::string random_source(std::mt19937& rng) {
  std::string s;
  int lines = std::uniform_int_distribution<int>(1, 40)(rng);
  std::uniform_int_distribution<size_t> word(0, std::size(Words) - 1);
  for (int i = 0; i < lines; ++i) {
    if (rng() % 3 == 0) s += (rng() % 2) ? "lab" : "lab2";
    int n = std::uniform_int_distribution<int>(0, 8)(rng);
    for (int j = 0; j < n; ++j) {
      s += Words[word(rng)];
      if (rng() % 2) s += ' ';
    }
    if (rng() % 50 == 0) s += std::string(5000, 'a');
    s += (rng() % 10 == 0) ? "\\\n" : "\n";
  }
  return s;
}

std::string mutate(std::string s, std::mt19937& rng) {
  if (rng() % 8 == 0) s = zun::test::change_line_ends(s, rng);
  if (rng() % 8 == 0) return zun::test::cut_short(s, rng);
  int edits = std::uniform_int_distribution<int>(1, 8)(rng);
  for (int i = 0; i < edits && !s.empty(); ++i) {
    size_t at = rng() % s.size();
    switch (rng() % 4) {
      case 0: s[at] = static_cast<char>(rng() % 256); break;
      case 1: s.insert(at, 1, static_cast<char>(rng() % 128)); break;
      case 2: s.erase(at, rng() % 8); break;
      default: s.insert(at, Words[rng() % std::size(Words)]); break;
    }
  }
  return s;
}

TEST(Hasm09Fuzz, RandomAndMutatedSources) {
  const char* env = std::getenv("HASM09_FUZZ_SECONDS");
  double seconds = env ? std::atof(env) : 3.0;
  std::string seed_source = read_whole(std::string(HASM09_FIXTURES) + "/indexed.s09") +
                            read_whole(std::string(HASM09_FIXTURES) + "/registers.s09");
  std::mt19937 rng(12345);
  const std::vector<std::vector<std::string>> option_sets = {
      {}, {"-L", "-S", "-w"}, {"-g", "-e"}, {"-C", "nocase", "-w"}, {"-D", "K=3", "-g", "-L"}};
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int runs = 0;
  while (std::chrono::steady_clock::now() < until) {
    std::string source = (rng() % 2) ? random_source(rng) : mutate(seed_source, rng);
    const auto& options = option_sets[rng() % option_sets.size()];
    AsmRun r = assemble(source, options);
    ++runs;
    ASSERT_EQ(r.err.find("LEFTOVER"), std::string::npos) << source;
    ASSERT_GE(r.rc, 0);
    ASSERT_LE(r.rc, 255);
    bool has_error = r.err.find("): error: ") != std::string::npos;
    ASSERT_EQ(has_error, r.rc != 0) << r.err << "\n--- source:\n" << source;
    ASSERT_FALSE(r.object.empty()) << source;
    ASSERT_EQ(r.object.substr(r.object.size() - 2), "e\n");
  }
  EXPECT_GT(runs, 0);
}

}  // namespace
}  // namespace zun::hasm::test
