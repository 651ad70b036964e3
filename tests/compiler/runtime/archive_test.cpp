// The staged runtime archives: every routine that compiled code calls is
// defined, under its exact name, in both, the debug archive holds the
// same code as the plain one, and a program linked with -g against it runs.
#include "tests/compiler/runtime/rt_harness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Archive {
    bool opened = false;
    std::set<std::string> globals;
    std::vector<std::string> code;
    std::vector<std::string> modules;  // the paths of the SY:A:M records
};

Archive read_archive(const std::string& name) {
    const char* stage = std::getenv("ZUN_STAGE");
    std::ifstream in(fs::path(stage ? stage : "build/stage") / "lib" / "zun09" / name);
    Archive a;
    a.opened = bool(in);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("G:", 0) == 0) a.globals.insert(line.substr(line.rfind(':') + 1));
        if (line.rfind("C:", 0) == 0) a.code.push_back(line);
        if (line.rfind("SY:A:M:", 0) == 0) a.modules.push_back(line.substr(line.find('$') + 1));
    }
    return a;
}

// The names as the compiler prints them: no leading '.', case as called.
const char* const routines[] = {
    "add32",  "sub32",  "addf",   "subf",   "and32",  "or32",   "eor32",  "shl32",  "shru32", "shrs32",
    "SHIFT32", "MULS8", "muls8",  "muls16", "mulu16", "muls32", "mulu32", "mulf",   "divs8",  "divu8",
    "divs16", "divu16", "divs32", "divu32", "divf",   "mods8",  "modu8",  "mods16", "modu16", "mods32",
    "modu32", "cmp32",  "cmpf",   "tstf",   "ftosl",  "ftoul",  "sltof",  "ultof",
};

TEST(RuntimeArchive, EveryRoutineInBothArchives) {
    for (const char* name : {"libcc.e09", "libccd.e09"}) {
        Archive a = read_archive(name);
        ASSERT_TRUE(a.opened) << name;
        for (const char* r : routines) EXPECT_TRUE(a.globals.count(r)) << r << " missing from " << name;
    }
}

// The debug archive keeps the modules' debug records, its sources named
// where the installation holds them; the plain one has none.
TEST(RuntimeArchive, DebugArchiveHoldsTheSameCodeWithDebugRecords) {
    Archive plain = read_archive("libcc.e09");
    Archive debug = read_archive("libccd.e09");
    ASSERT_FALSE(plain.code.empty());
    EXPECT_EQ(plain.code, debug.code);
    EXPECT_TRUE(plain.modules.empty());
    ASSERT_FALSE(debug.modules.empty());
    const char* stage = std::getenv("ZUN_STAGE");
    for (const std::string& path : debug.modules) {
        EXPECT_EQ(path.rfind("../src/runtime/zun09", 0), 0u) << path;
        std::string file = path.substr(path.find_last_of("/\\") + 1);
        EXPECT_TRUE(fs::exists(fs::path(stage ? stage : "build/stage") / "src" / "runtime" / "zun09" / file)) << file;
    }
}

// A Debug link pulls members with their debug records in; the program must
// still link and compute: 6.0 / 2.0 and 7 * -3 through two modules.
TEST(RuntimeArchive, DebugLinkRuns) {
    using namespace zun::rt_test;
    std::string error;
    auto q = run_routine("divf", Shape::Bin4, {pack(Shape::Bin4, 0x40C00000, 0x40000000)}, error, true);
    ASSERT_EQ(error, "");
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].value(), 0x40400000u);
    EXPECT_EQ(q[0].flags, 0);
    auto m = run_routine("muls32", Shape::Bin4, {pack(Shape::Bin4, 7, 0xFFFFFFFD)}, error, true);
    ASSERT_EQ(error, "");
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].value(), 0xFFFFFFEBu);
}

}  // namespace
