// The standard headers as installed: they preprocess and compile with the
// staged cpp and tcx09, and their limits and the board's registers come
// out with the values of the 6809 data sizes, the IEEE single format and
// the KY09 memory map.
#include "common/format.h"
#include "tests/tools/tool_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Each check is an array whose size is 1 when the condition holds, so a
// wrong value shows as a different reservation in the output.
constexpr const char* source =
    "#include <stddef.h>\n"
    "#include <stdarg.h>\n"
    "#include <limits.h>\n"
    "#include <float.h>\n"
    "#include <ky09.h>\n"
    "struct s { char a; long b; int c; };\n"
    "char off_ok[offsetof(struct s, c) == 5];\n"
    "char size_ok[sizeof(size_t) == 2 && sizeof(ptrdiff_t) == 2 && sizeof(va_list) == 2];\n"
    "char long_ok[LONG_MAX == 2147483647L && LONG_MIN == -LONG_MAX - 1 && ULONG_MAX == 4294967295UL];\n"
    "char int_ok[INT_MAX == 32767 && INT_MIN == -32768 && UINT_MAX == 65535U && SHRT_MAX == INT_MAX];\n"
    "char char_ok[CHAR_BIT == 8 && CHAR_MIN == -128 && CHAR_MAX == 127 && UCHAR_MAX == 255];\n"
    "char flt_ok[FLT_MANT_DIG == 24 && DBL_MANT_DIG == 24 && FLT_MAX_EXP == 128 && FLT_MIN_EXP == -125];\n"
    "float fmax = FLT_MAX, fmin = FLT_MIN, feps = FLT_EPSILON;\n"
    "double dmin = DBL_MIN, dmax = DBL_MAX;\n"
    "volatile unsigned char *acia1 = &ACIA1_DATA, *acia2 = &ACIA2_STATUS, *pia2 = &PIA2_CONTROL_B;\n"
    "volatile unsigned char *timer = &TIMER1_MSB, *fdc = &FDC_DATA, *latch = &FDC_LATCH;\n"
    "int sum(int n, ...) { va_list ap; int t = 0; va_start(ap, n); while (n--) t += va_arg(ap, int); va_end(ap); return t; }\n";

std::string run_chain(std::string& error) {
    const char* stage_env = std::getenv("ZUN_STAGE");
    fs::path stage = stage_env ? stage_env : "build/stage";
    zun::test::TempDir dir;
    std::ofstream(dir.path / "h.c") << source;
    std::string cmd = zun::format("cd '%s' && '%s' -I'%s' h.c h.i >log 2>&1 && '%s' h.i h.s09 >>log 2>&1",
                                  dir.path.c_str(), (stage / "bin" / "cpp").c_str(), (stage / "include").c_str(),
                                  (stage / "bin" / "tcx09").c_str());
    if (std::system(cmd.c_str()) != 0) error = "cpp or tcx09 failed:\n" + zun::test::read_whole(dir.path / "log");
    return zun::test::read_whole(dir.path / "h.s09");
}

TEST(RuntimeHeaders, LimitsAndRegisters) {
    std::string error;
    std::string text = run_chain(error);
    ASSERT_EQ(error, "");
    for (const char* name : {"off_ok", "size_ok", "long_ok", "int_ok", "char_ok", "flt_ok"})
        EXPECT_NE(text.find(zun::format("_%s:\tRMB\t$1\n", name)), std::string::npos) << name;
    EXPECT_NE(text.find("_fmax:\n\tFQB\t$7F7FFFFF\n"), std::string::npos);
    EXPECT_NE(text.find("_fmin:\n\tFQB\t$800000\n"), std::string::npos);
    EXPECT_NE(text.find("_feps:\n\tFQB\t$34000000\n"), std::string::npos);
    EXPECT_NE(text.find("_dmin:\n\tFQB\t$800000\n"), std::string::npos);
    EXPECT_NE(text.find("_dmax:\n\tFQB\t$7F7FFFFF\n"), std::string::npos);
    for (const char* reg : {"_acia1:\t\tFDB\t$E029", "_acia2:\t\tFDB\t$E024", "_pia2:\t\tFDB\t$E053",
                            "_timer:\t\tFDB\t$E0E2", "_fdc:\t\tFDB\t$E0A3", "_latch:\t\tFDB\t$E060"})
        EXPECT_NE(text.find(reg), std::string::npos) << reg;
}

}  // namespace
