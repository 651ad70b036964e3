// Golden cases: each golden/NAME.c compiles to exactly NAME.s on standard
// output and NAME.err on standard error (file names as if in /src), with the
// exit code in NAME.rc (0 when absent). Outputs of clean runs must assemble.
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

std::vector<std::string> golden_cases() { return c_sources_in(TCX_GOLDEN_DIR); }

class TcxGolden : public ::testing::TestWithParam<std::string> {
protected:
    fs::path dir = TCX_GOLDEN_DIR;
    Compiled run_case() {
        const std::string& name = GetParam();
        return compile_files({{name + ".c", slurp(dir / (name + ".c"))}}, {name + ".c"});
    }
    int want_rc() {
        fs::path rc = dir / (GetParam() + ".rc");
        return fs::exists(rc) ? std::atoi(slurp(rc).c_str()) : 0;
    }
};

void write_file(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

TEST_P(TcxGolden, MatchesExpectedTextAndMessages) {
    Compiled c = run_case();
    // TCX_GOLDEN_UPDATE=1 rewrites the expected files after a deliberate change.
    if (std::getenv("TCX_GOLDEN_UPDATE")) {
        write_file(dir / (GetParam() + ".s"), c.out);
        write_file(dir / (GetParam() + ".err"), c.err);
        if (c.rc != 0) write_file(dir / (GetParam() + ".rc"), std::to_string(c.rc) + "\n");
        else fs::remove(dir / (GetParam() + ".rc"));
    }
    EXPECT_EQ(c.out, slurp(dir / (GetParam() + ".s")));
    EXPECT_EQ(c.err, slurp(dir / (GetParam() + ".err")));
    EXPECT_EQ(c.rc, want_rc());
}

TEST_P(TcxGolden, CleanOutputAssembles) {
    // The staged assembler, or another one named by TCX_HASM09.
    const char* other = std::getenv("TCX_HASM09");
    fs::path hasm = other ? fs::path(other) : fs::path(ZUN_STAGE_BIN) / "hasm09";
    if (!fs::exists(hasm)) GTEST_SKIP() << "hasm09 is not built";
    if (want_rc() != 0) GTEST_SKIP() << "case expects errors";
    fs::path work = fs::temp_directory_path() / ("tcx_golden_" + GetParam() + "_" + std::to_string(::getpid()));
    fs::create_directories(work);
    {
        std::ofstream out(work / "case.s", std::ios::binary);
        out << run_case().out;
    }
    std::string cmd = "cd '" + work.string() + "' && '" + hasm.string() + "' -e -g case.s > out.txt 2>&1";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0) << slurp(work / "out.txt");
    fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, TcxGolden, ::testing::ValuesIn(golden_cases()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });

}  // namespace
}  // namespace zun::tcx::test
