// The C library on the simulated board: programs built with a new
// project's Final command lines (cpp with the predefined macros, tcx09 -w4
// -O, hasm09 -e, vlk with the default libraries and libcc.e09), run under
// run09, and compared with a host model: the host's C library for the
// sources that run on both, models written here for the formatted output,
// the number conversions and rand.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/tools/tool_run.h"

namespace {

namespace fs = std::filesystem;
using zun::test::read_whole;

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// A work folder with the staged tools.
struct Board {
    fs::path stage, bin, dir;
    std::string error;

    Board() {
        const char* env = std::getenv("ZUN_STAGE");
        stage = env ? env : "build/stage";
        bin = stage / "bin";
        std::string t = (fs::temp_directory_path() / "libcXXXXXX").string();
        if (mkdtemp(t.data())) dir = t;
    }
    ~Board() {
        std::error_code ec;
        if (!HasFailure()) fs::remove_all(dir, ec);
    }
    static bool HasFailure() { return ::testing::Test::HasFailure(); }

    bool run(const std::string& command) {
        std::string full = "cd " + quoted(dir) + " && " + command + " >log.txt 2>&1";
        if (std::system(full.c_str()) == 0) return true;
        error = command + ":\n" + read_whole(dir / "log.txt").substr(0, 3000);
        return false;
    }

    // Builds name.c from the work folder as the Final configuration does.
    bool build(const std::string& name) {
        fs::path lib = stage / "lib/zun09";
        return run(quoted(bin / "hasm09") + " -e -o _startup.o09 -D __ZUN09 " +
                   quoted(stage / "src/startup/zun09/_startup.s09")) &&
               run(quoted(bin / "cpp") + " -I " + quoted(stage / "include") +
                   " -D__ZUN -D__STDC__ -D__IIS -D__ZUN09 -D_C_COMPILED " + name + ".c C1") &&
               run(quoted(bin / "tcx09") + " -w4 -O C1 C2") && run(quoted(bin / "hasm09") + " -e -o " + name + ".o09 C2") &&
               run(quoted(bin / "vlk") + " -I " + quoted(stage / "config/zun09") + " -o" + name +
                   ".s19 -i default.lsc -llibc.e09 -llibe.e09 -llibrtk.e09 -L" + quoted(lib) + " -l" +
                   quoted(lib / "libcc.e09") + " _startup.o09 " + name + ".o09");
    }

    // Runs a built program with the text as its console input.
    std::string run_board(const std::string& name, const std::string& input = "") {
        std::ofstream(dir / "input.txt", std::ios::binary) << input;
        std::string cmd = "cd " + quoted(dir) + " && " + quoted(bin / "run09") + " --max 80000000 " + name +
                          ".s19 <input.txt >out.txt 2>err.txt";
        std::system(cmd.c_str());
        return read_whole(dir / "out.txt") + read_whole(dir / "err.txt");
    }

    // A source that runs on both sides: its output on the host.
    std::string run_host(const std::string& name) {
        if (!run(std::string(TCX_HOST_CC) + " -w -std=gnu89 -o host_" + name + " " + name + ".c")) return "";
        std::string cmd = "cd " + quoted(dir) + " && ./host_" + name + " >host.txt 2>&1";
        std::system(cmd.c_str());
        return read_whole(dir / "host.txt");
    }

    std::string board_program(const std::string& name, const std::string& text, const std::string& input = "") {
        std::ofstream(dir / (name + ".c"), std::ios::binary) << text;
        if (!build(name)) return "build failed: " + error;
        return run_board(name, input);
    }
};

std::string program_source(const std::string& name) { return read_whole(fs::path(TCX_LIBC_PROGRAMS) / (name + ".c")); }

TEST(Libc, StringsAndCharacterClassesAgreeWithTheHost) {
    Board b;
    std::string text = program_source("strings");
    std::string board = b.board_program("strings", text);
    std::string host = b.run_host("strings");
    ASSERT_FALSE(host.empty()) << b.error;
    EXPECT_EQ(board, host);
}

TEST(Libc, ConversionsSortAndSearchAgreeWithTheHost) {
    Board b;
    std::string board = b.board_program("stdlib", program_source("stdlib"));
    std::string host = b.run_host("stdlib");
    ASSERT_FALSE(host.empty()) << b.error;
    EXPECT_EQ(board, host);
}

// ---- printf against the host's formatting ----

struct Arg {
    enum Kind { Int, Long, ULong, Str, Float, Char } kind;
    long long i;
    double f;
    std::string s;
};

struct Case {
    std::string fmt;
    std::vector<Arg> args;
};

Arg I(long long v) { return {Arg::Int, v, 0, ""}; }
Arg L(long long v) { return {Arg::Long, v, 0, ""}; }
Arg UL(long long v) { return {Arg::ULong, v, 0, ""}; }
Arg S(const std::string& v) { return {Arg::Str, 0, 0, v}; }
Arg F(float v) { return {Arg::Float, 0, v, ""}; }
Arg C(int v) { return {Arg::Char, v, 0, ""}; }

std::string c_string(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

// What the host prints: int arguments as 16-bit values, long as 32-bit,
// float as its exact value (doubles hold every float).
std::string host_format(const Case& c) {
    const std::string& fmt = c.fmt;
    char out[512];
    // one conversion at a time, each with its own argument at the host's width
    std::string result;
    size_t arg = 0;
    for (size_t i = 0; i < fmt.size();) {
        if (fmt[i] != '%') {
            result += fmt[i++];
            continue;
        }
        size_t j = i + 1;
        while (j < fmt.size() && std::string("-0+ #").find(fmt[j]) != std::string::npos) ++j;
        std::string conversion = fmt.substr(i, j - i);
        std::vector<long long> stars;
        auto digits = [&] {
            if (j < fmt.size() && fmt[j] == '*') {
                conversion += "*";
                stars.push_back(c.args[arg++].i);
                ++j;
                return;
            }
            while (j < fmt.size() && isdigit(static_cast<unsigned char>(fmt[j]))) conversion += fmt[j++];
        };
        digits();
        if (j < fmt.size() && fmt[j] == '.') {
            conversion += fmt[j++];
            digits();
        }
        std::string length;
        while (j < fmt.size() && (fmt[j] == 'l' || fmt[j] == 'h')) length += fmt[j++];
        char conv = fmt[j++];
        i = j;
        if (conv == '%') {
            result += '%';
            continue;
        }
        const Arg& a = c.args[arg++];
        std::string f = conversion;
        auto with_stars = [&](auto value) {
            if (stars.size() == 2) return std::snprintf(out, sizeof out, f.c_str(), int(stars[0]), int(stars[1]), value);
            if (stars.size() == 1) return std::snprintf(out, sizeof out, f.c_str(), int(stars[0]), value);
            return std::snprintf(out, sizeof out, f.c_str(), value);
        };
        switch (conv) {
        case 'd': case 'i':
            f += "lld";
            with_stars(length == "l" ? (long long)(int32_t)a.i : length == "hh" ? (long long)(int8_t)a.i
                                                                                  : (long long)(int16_t)a.i);
            break;
        case 'u': case 'x': case 'X': case 'o':
            f += std::string("ll") + conv;
            with_stars(length == "l" ? (unsigned long long)(uint32_t)a.i
                       : length == "hh" ? (unsigned long long)(uint8_t)a.i
                                        : (unsigned long long)(uint16_t)a.i);
            break;
        case 'c': f += "c"; with_stars(int(static_cast<unsigned char>(a.i))); break;
        case 's': f += "s"; with_stars(a.s.c_str()); break;
        default: f += conv; with_stars(a.f); break;
        }
        result += out;
    }
    return result;
}

std::string board_call(const Case& c) {
    std::string call = c_string(c.fmt);
    for (const Arg& a : c.args) {
        switch (a.kind) {
        case Arg::Int:
            // -32768 written so would be a long: 32768 is no int here
            call += (int16_t)a.i == INT16_MIN ? ", (-32767 - 1)" : ", " + std::to_string((int16_t)a.i);
            break;
        case Arg::Long: call += ", " + std::to_string((int32_t)a.i) + "L"; break;
        case Arg::ULong: call += ", " + std::to_string((uint32_t)a.i) + "UL"; break;
        case Arg::Str: call += ", " + c_string(a.s); break;
        case Arg::Char: call += ", (char)" + std::to_string((int8_t)a.i); break;
        case Arg::Float: {
            // the exact bits, whatever the compiler would make of a literal
            float v = static_cast<float>(a.f);
            uint32_t u;
            std::memcpy(&u, &v, 4);
            char h[32];
            std::snprintf(h, sizeof h, ", bits(0x%08XUL)", u);
            call += h;
            break;
        }
        }
    }
    return call;
}

TEST(Libc, PrintfAgreesWithTheHostFormatting) {
    std::vector<Case> cases = {
        {"%d|%i|%u", {I(-32768), I(32767), I(65535)}},
        {"%ld|%lu|%lx", {L(INT32_MIN), UL(4294967295u), UL(0xDEADBEEF)}},
        {"%x|%X|%o|%#x|%#o|%#X", {I(0xBEEF), I(0xbeef), I(8), I(255), I(8), I(0)}},
        {"[%6d][%-6d][%06d][%+d][% d][%+d]", {I(42), I(42), I(-42), I(5), I(5), I(0)}},
        {"[%.3d][%8.3d][%-8.3d][%.0d][%5.0d]", {I(7), I(-7), I(7), I(0), I(0)}},
        {"[%08.3d][%-08d]", {I(5), I(5)}},
        {"[%*d][%-*d][%.*d]", {I(5), I(1), I(-5), I(2), I(4), I(3)}},
        {"[%c][%3c][%-3c]", {I('a'), I('b'), I('c')}},
        {"[%hhd][%hhu][%hhc][%hhx]", {C(-5), C(-1), C('z'), C(-1)}},
        {"[%s][%8s][%-8s][%.2s][%8.3s]", {S("abc"), S("abc"), S("abc"), S("abc"), S("abcdef")}},
        {"100%% [%%]", {}},
        {"%f|%f|%f|%f", {F(0.1f), F(-0.5f), F(1e10f), F(3.14159265f)}},
        {"%e|%E|%e|%e", {F(0.1f), F(123456.0f), F(-1e-10f), F(0.0f)}},
        {"%g|%g|%g|%g|%g|%g", {F(0.1f), F(100000.0f), F(1000000.0f), F(1e-5f), F(123.456f), F(0.0001f)}},
        {"%G|%g|%g", {F(1e-20f), F(3.0f), F(2.5e38f)}},
        {"[%.0f][%.1f][%.2f][%.3f]", {F(2.5f), F(0.05f), F(1.005f), F(-0.0005f)}},
        {"[%.0f][%.0f][%.0f][%.0e]", {F(0.5f), F(1.5f), F(3.5f), F(9.5f)}},
        {"[%10.3f][%-10.2f][%010.2f][%+.1f]", {F(3.14159f), F(-2.5f), F(-2.5f), F(7.25f)}},
        {"[%.10f][%.20e]", {F(0.1f), F(1.0f / 3.0f)}},
        {"[%f][%e][%g][%f]", {F(16777216.0f), F(3.4028235e38f), F(1.17549435e-38f), F(-0.0f)}},
        {"[%.3g][%.1g][%g][%#g][%.10g]", {F(1234.5678f), F(0.95f), F(99999.95f), F(1.5f), F(0.1f)}},
        {"[%f][%e][%G]", {F(1.0f / 0.0f), F(-1.0f / 0.0f), F(0.0f / 0.0f)}},
    };
    std::string src =
        "#include <stdio.h>\n#include <string.h>\n"
        "static float bits(unsigned long u) { union { unsigned long u; float f; } x; x.u = u; return x.f; }\n"
        "static char buf[300];\n"
        "int main(void)\n{\n    int n;\n";
    std::string expected;
    for (const Case& c : cases) {
        std::string h = host_format(c);
        // every case through sprintf, whose count must match, then through printf
        src += "    n = sprintf(buf, " + board_call(c) + ");\n";
        src += "    printf(\"%d:%s\\n\", n, buf);\n";
        src += "    n = printf(" + board_call(c) + ");\n    printf(\"=%d\\n\", n);\n";
        expected += std::to_string(h.size()) + ":" + h + "\n" + h + "=" + std::to_string(h.size()) + "\n";
    }
    src += "    printf(\"%p\\n\", (void *)0x1A2B);\n    return 0;\n}\n";
    expected += "1A2B\n";
    Board b;
    std::string out = b.board_program("fmt", src);
    EXPECT_EQ(out, expected);
}

// %n stores the count so far into an object of its length's size and
// nothing beside it; L takes a long double, which is the 4-byte double.
TEST(Libc, PrintfStoresTheCountAndTakesLongDouble) {
    std::string src =
        "#include <stdio.h>\n"
        "static struct { int i; int g1; short h; int g2; long l; int g3; char c; char g4; } s;\n"
        "static char buf[80];\n"
        "static void show(int n)\n{\n"
        "    printf(\"%d [%s] %d %d %ld %d | %d %d %d %d\\n\", n, buf, s.i, s.h, s.l, (int)s.c,\n"
        "           s.g1, s.g2, s.g3, (int)s.g4);\n}\n"
        "int main(void)\n{\n    int n;\n    long double x = 2.5;\n"
        "    s.i = s.h = s.c = -1;\n    s.l = -1L;\n"
        "    s.g1 = s.g2 = s.g3 = 0x5A5A;\n    s.g4 = 0x5A;\n"
        "    n = sprintf(buf, \"%nab%hncd%5d%ln%hhn|\", &s.i, &s.h, 7, &s.l, &s.c);\n    show(n);\n"
        "    n = sprintf(buf, \"%Lf %.2Le %LG %-6.1Lf|%n\", x, x, x, -x, &s.i);\n    show(n);\n"
        "    n = printf(\"12345%n\\n\", &s.i);\n    show(n);\n"
        "    return 0;\n}\n";
    Board b;
    EXPECT_EQ(b.board_program("count", src),
              "10 [abcd    7|] 0 2 9 9 | 23130 23130 23130 90\n"
              "29 [2.500000 2.50e+00 2.5 -2.5  |] 29 2 9 9 | 23130 23130 23130 90\n"
              "12345\n"
              "6 [2.500000 2.50e+00 2.5 -2.5  |] 5 2 9 9 | 23130 23130 23130 90\n");
}

// ---- strtol and strtoul against a 32-bit model ----

struct Conversion {
    long long value;
    int end;
    int range;
};

Conversion model_strtol(const std::string& s, int base, bool is_unsigned) {
    errno = 0;
    char* end = nullptr;
    const char* p = s.c_str();
    Conversion r{};
    // the host's 64-bit conversion, then the 32-bit limits
    unsigned long long mag;
    const char* q = p;
    while (isspace(static_cast<unsigned char>(*q))) ++q;
    bool neg = *q == '-';
    if (*q == '-' || *q == '+') ++q;
    if (isspace(static_cast<unsigned char>(*q)) || *q == '-' || *q == '+') return r;  // no digits behind the sign
    mag = std::strtoull(q, &end, base);
    bool over = errno == ERANGE || mag > 0xFFFFFFFFull;
    r.end = end == q ? 0 : static_cast<int>(end - p);
    if (end == q) {
        // nothing converted: the sign does not count either
        r.value = 0;
        return r;
    }
    if (is_unsigned) {
        if (over) {
            r.value = 0xFFFFFFFFll;
            r.range = 1;
        } else {
            r.value = neg ? (uint32_t)(0u - (uint32_t)mag) : (uint32_t)mag;
        }
        return r;
    }
    if (over || (neg ? mag > 0x80000000ull : mag > 0x7FFFFFFFull)) {
        r.value = neg ? INT32_MIN : INT32_MAX;
        r.range = 1;
        return r;
    }
    r.value = neg ? -(long long)mag : (long long)mag;
    return r;
}

TEST(Libc, StrtolAndStrtoulAgreeWithA32BitModel) {
    struct In {
        std::string text;
        int base;
    };
    std::vector<In> inputs = {
        {"0", 10}, {"  123abc", 10}, {"-123", 10}, {"+77", 8}, {"0x1F", 16}, {"0X1f", 0}, {"0x", 16},
        {"0x", 0}, {"017", 0}, {"08", 0}, {"z", 36}, {"ZZ", 36}, {"101", 2}, {"2", 2}, {"", 10},
        {"   ", 10}, {"-", 10}, {"+ 5", 10}, {"2147483647", 10}, {"2147483648", 10}, {"-2147483648", 10},
        {"-2147483649", 10}, {"4294967295", 10}, {"4294967296", 10}, {"-1", 10}, {"99999999999999999999", 10},
        {"7fffffff", 16}, {"80000000", 16}, {"FFFFFFFF", 16}, {"100000000", 16}, {"-80000000", 16},
        {"12", 1}, {"12", 37}, {"\t\n 42", 10}, {"0777777777777", 8},
    };
    std::string src = "#include <errno.h>\n#include <stdio.h>\n#include <stdlib.h>\n"
                      "static void show(const char *s, int base)\n{\n    char *end;\n    long v;\n    unsigned long u;\n"
                      "    errno = 0;\n    v = strtol(s, &end, base);\n"
                      "    printf(\"%ld %d %d\\n\", v, (int)(end - s), errno == ERANGE);\n"
                      "    errno = 0;\n    u = strtoul(s, &end, base);\n"
                      "    printf(\"%lu %d %d\\n\", u, (int)(end - s), errno == ERANGE);\n}\n"
                      "int main(void)\n{\n";
    std::string expected;
    for (const In& in : inputs) {
        src += "    show(" + c_string(in.text) + ", " + std::to_string(in.base) + ");\n";
        bool bad_base = in.base == 1 || in.base > 36;
        Conversion s = bad_base ? Conversion{} : model_strtol(in.text, in.base, false);
        Conversion u = bad_base ? Conversion{} : model_strtol(in.text, in.base, true);
        expected += std::to_string(s.value) + " " + std::to_string(s.end) + " " + std::to_string(s.range) + "\n";
        expected += std::to_string((uint32_t)u.value) + " " + std::to_string(u.end) + " " + std::to_string(u.range) + "\n";
    }
    // rand: the C standard's example generator from seed 1, then from 42
    src += "    {\n        int r1 = rand(), r2 = rand(), r3 = rand(), r4, r5;\n        srand(42);\n"
           "        r4 = rand();\n        r5 = rand();\n"
           "        printf(\"%d %d %d\\n%d %d\\n\", r1, r2, r3, r4, r5);\n    }\n    return 0;\n}\n";
    uint32_t next = 1;
    auto rnd = [&] {
        next = next * 1103515245u + 12345u;
        return static_cast<int>((next >> 16) & 32767u);
    };
    int r1 = rnd(), r2 = rnd(), r3 = rnd();
    expected += std::to_string(r1) + " " + std::to_string(r2) + " " + std::to_string(r3) + "\n";
    next = 42;
    r1 = rnd();
    r2 = rnd();
    expected += std::to_string(r1) + " " + std::to_string(r2) + "\n";
    Board b;
    EXPECT_EQ(b.board_program("conv", src), expected);
}

// ---- programs that check themselves or print a fixed text ----

TEST(Libc, HeapJumpsAssertAndConsoleInput) {
    Board b;
    EXPECT_EQ(b.board_program("heap", program_source("heap")), "ok\n");
    EXPECT_EQ(b.board_program("jumps", program_source("jumps")),
              "setjmp 0\nsetjmp 7\nsetjmp 1\ndepth 6 rounds 3\n");
    EXPECT_EQ(b.board_program("failing_assert", program_source("failing_assert")),
              "first held\nAssertion failed: x + 1 == 4, file failing_assert.c, line 10\n");
    EXPECT_EQ(b.board_program("input", program_source("input"), "abc\nde\r\nfghijklmnop\rq\nZ"),
              "4 [abc\n]\n3 [de\n]\n7 [fghijkl]\n5 [mnop\n]\n2 [q\n]\ngetchar 90\nfgets 1 []\ndone\n");
}

}  // namespace
