// The corpus: C89 programs written for a 16-bit int target compile through
// the staged preprocessor and the front end without any error, and the
// host's C compiler accepts the same files in strict C89 mode, apart from
// the dialect differences that corpus/dialect.txt names.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace zun::tcx::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpus_files() { return c_sources_in(TCX_CORPUS_DIR); }

std::string quoted(const std::string& s) { return "'" + s + "'"; }

class TcxCorpus : public ::testing::TestWithParam<std::string> {
protected:
    fs::path source() const { return fs::path(TCX_CORPUS_DIR) / (GetParam() + ".c"); }
};

TEST_P(TcxCorpus, CompilesWithoutErrors) {
    fs::path cpp = fs::path(ZUN_STAGE_BIN) / "cpp";
    fs::path pre = fs::temp_directory_path() / ("tcx_corpus_" + std::to_string(getpid()) + "_" + GetParam() + ".i");
    std::string cmd = quoted(cpp.string()) + " -D__ZUN09 " + quoted(source().string()) + " " + quoted(pre.string());
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::string text = read_whole(pre);
    fs::remove(pre);
    // The line markers name the source, which the compiler reads again for its echo.
    Compiled c = compile_files({{"t.i", text}, {source().string(), read_whole(source())}}, {"t.i"});
    EXPECT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(c.err.find(" Error: "), std::string::npos) << c.err;
    EXPECT_EQ(c.out.find("Internal Error"), std::string::npos);
}

TEST_P(TcxCorpus, HostAcceptsStrictC89) {
    const fs::path gcc = "/usr/bin/gcc";
    if (!fs::exists(gcc)) GTEST_SKIP() << "no host C compiler";
    std::string flags;
    std::istringstream list(read_whole(fs::path(TCX_CORPUS_DIR) / "dialect.txt"));
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] == '-') flags += " " + quoted(line.substr(0, line.find('\t')));
    std::string cmd = gcc.string() + " -std=c89 -pedantic-errors -fsyntax-only -w" + flags + " " +
                      quoted(source().string());
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

INSTANTIATE_TEST_SUITE_P(Files, TcxCorpus, ::testing::ValuesIn(corpus_files()));

TEST(TcxCorpusSize, HoldsAtLeastAHundredPrograms) { EXPECT_GE(corpus_files().size(), 100u); }

}  // namespace
}  // namespace zun::tcx::test
