// Feeds random and mutated C text (line ends of every system, files cut
// short) to the compiler. A crash, a sanitizer report or a hang fails the run. TCX_FUZZ_SECONDS sets the duration
// (default 3); TCX_FUZZ_SEED picks the random sequence.
#include "harness.h"
#include "tests/tools/fuzz_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace zun::tcx::test {
namespace {

const char* const vocabulary[] = {
    "int", "char", "long", "short", "unsigned", "signed", "float", "double", "void", "struct", "union",
    "enum", "typedef", "static", "extern", "register", "auto", "const", "volatile", "__pascal",
    "__interrupt", "__nomangle", "sizeof", "if", "while", "return", "x", "y", "s", "f", "T", "0", "1",
    "65535", "0xFFFF", "1.5e3", "'a'", "'\\377'", "\"str\"", "\"a\\tb\"", "=", "==", "+", "-", "*", "/",
    "%", "<<", ">>", "&", "|", "^", "~", "!", "&&", "||", "?", ":", ",", ";", "(", ")", "[", "]", "{",
    "}", ".", "->", "...", "\n", "\n#pragma DATA_SEG d\n", "\n# 3 \"t.c\"\n", "\n#line 9\n", "/*", "*/",
    "@", "\x80", "\\", "\"", "'",
    "for", "do", "else", "switch", "case", "default", "break", "continue", "goto", "__asm", "L:",
    "++", "--", "+=", "-=", "<<=", "|=", "&=", "->", "f(", "x[", "{ int a = 1;", "return;", "return x;",
    "void g(void) {", "int h(a) int a; {", "case 1:", "while (x)", "for (;;)", "} while (0);",
};

std::string random_text(std::mt19937& rng) {
    std::string s;
    size_t n = rng() % 60;
    for (size_t i = 0; i < n; ++i) {
        s += vocabulary[rng() % std::size(vocabulary)];
        s += rng() % 3 ? " " : "";
    }
    return s;
}

// Data-only goldens, function trees and the corpus, so that mutations reach
// declarations, statements and expressions alike.
std::vector<std::string> seeds() {
    std::vector<std::string> out;
    for (const char* dir : {TCX_GOLDEN_DIR, TCX_TREE_DIR, TCX_CORPUS_DIR}) {
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            if (e.path().extension() != ".c") continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            out.push_back(s.str());
        }
    }
    return out;
}

std::string mutate(std::mt19937& rng, std::string s) {
    if (rng() % 8 == 0) s = zun::test::change_line_ends(s, rng);
    if (rng() % 8 == 0) return zun::test::cut_short(s, rng);
    int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits && !s.empty(); ++i) {
        size_t at = rng() % s.size();
        switch (rng() % 4) {
        case 0: s.erase(at, 1 + rng() % 8); break;
        case 1: s.insert(at, vocabulary[rng() % std::size(vocabulary)]); break;
        case 2: s[at] = static_cast<char>(rng() % 256); break;
        default: s.insert(at, s.substr(rng() % s.size(), rng() % 20)); break;
        }
    }
    return s;
}

TEST(TcxFuzz, RandomAndMutatedTextNeverCrashes) {
    const char* sec = std::getenv("TCX_FUZZ_SECONDS");
    const char* seed = std::getenv("TCX_FUZZ_SEED");
    auto limit = std::chrono::seconds(sec ? std::atoi(sec) : 3);
    std::mt19937 rng(seed ? static_cast<unsigned>(std::atoi(seed)) : 12345u);
    std::vector<std::string> base = seeds();
    ASSERT_FALSE(base.empty());
    auto start = std::chrono::steady_clock::now();
    long runs = 0;
    while (std::chrono::steady_clock::now() - start < limit) {
        std::string text = rng() % 2 ? random_text(rng) : mutate(rng, base[rng() % base.size()]);
        auto t0 = std::chrono::steady_clock::now();
        // Every other text also goes through the debug output.
        Compiled c = runs % 2 ? compile(text) : compile(text, {"-g", "-O"});
        ASSERT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << text;
        ASSERT_GE(c.rc, 0) << text;
        ASSERT_LE(c.rc, 255) << text;
        if (c.rc == 0) {
            ASSERT_EQ(c.err.find(") Error:"), std::string::npos) << text;
        }
        ++runs;
    }
    EXPECT_GT(runs, 0);
}

}  // namespace
}  // namespace zun::tcx::test
