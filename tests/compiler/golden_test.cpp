// Golden cases: each golden/NAME.c compiles to exactly NAME.s on standard
// output and NAME.err on standard error (file names as if in /src), with the
// exit code in NAME.rc (0 when absent); with -g, -O and both the expected
// files are NAME.g.s, NAME.O.s and NAME.gO.s (and .err, .rc). Outputs of
// clean runs must assemble.
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

struct GoldenCase {
    std::string name;
    std::vector<std::string> options;
    std::string suffix;  // of the expected files' names: "", ".g", ".O", ".gO"
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name << c.suffix; }

std::vector<GoldenCase> golden_cases() {
    std::vector<GoldenCase> cases;
    for (const std::string& name : c_sources_in(TCX_GOLDEN_DIR))
        for (const GoldenCase& set : {GoldenCase{name, {}, ""}, GoldenCase{name, {"-g"}, ".g"},
                                      GoldenCase{name, {"-O"}, ".O"}, GoldenCase{name, {"-g", "-O"}, ".gO"}})
            cases.push_back(set);
    return cases;
}

class TcxGolden : public ::testing::TestWithParam<GoldenCase> {
protected:
    fs::path dir = TCX_GOLDEN_DIR;
    Compiled run_case() {
        const GoldenCase& c = GetParam();
        std::vector<std::string> args = c.options;
        args.push_back(c.name + ".c");
        return compile_files({{c.name + ".c", read_whole(dir / (c.name + ".c"))}}, args);
    }
    fs::path expected(const std::string& extension) const {
        return dir / (GetParam().name + GetParam().suffix + extension);
    }
    int want_rc() {
        fs::path rc = expected(".rc");
        return fs::exists(rc) ? std::atoi(read_whole(rc).c_str()) : 0;
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
        write_file(expected(".s"), c.out);
        write_file(expected(".err"), c.err);
        if (c.rc != 0) write_file(expected(".rc"), std::to_string(c.rc) + "\n");
        else fs::remove(expected(".rc"));
    }
    EXPECT_EQ(c.out, read_whole(expected(".s")));
    EXPECT_EQ(c.err, read_whole(expected(".err")));
    EXPECT_EQ(c.rc, want_rc());
}

TEST_P(TcxGolden, CleanOutputAssembles) {
    // The staged assembler, or another one named by TCX_HASM09.
    const char* other = std::getenv("TCX_HASM09");
    fs::path hasm = other ? fs::path(other) : fs::path(ZUN_STAGE_BIN) / "hasm09";
    if (!fs::exists(hasm)) GTEST_SKIP() << "hasm09 is not built";
    if (want_rc() != 0) GTEST_SKIP() << "case expects errors";
    fs::path work = fs::temp_directory_path() /
                    ("tcx_golden_" + GetParam().name + GetParam().suffix + "_" + std::to_string(::getpid()));
    fs::create_directories(work);
    {
        std::ofstream out(work / "case.s", std::ios::binary);
        out << run_case().out;
    }
    std::string cmd = "cd '" + work.string() + "' && '" + hasm.string() + "' -e -g case.s > out.txt 2>&1";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0) << read_whole(work / "out.txt");
    fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, TcxGolden, ::testing::ValuesIn(golden_cases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& i) {
                             std::string suffix = i.param.suffix;
                             std::replace(suffix.begin(), suffix.end(), '.', '_');
                             return i.param.name + suffix;
                         });

}  // namespace
}  // namespace zun::tcx::test
