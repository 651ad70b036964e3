// tcx09 and the cpp wrapper under the conditions of a real build gone wrong
// (full disk, output named like the input, stray options, a terminal on
// standard input) and with inputs built to hit every limit and every slow path.
#include "harness.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <functional>

namespace zun::tcx::test {
namespace {

namespace fs = std::filesystem;
using zun::test::file_size_limit;
using zun::test::read_whole;
using zun::test::run_in;

class TcxRobust : public ::testing::Test {
protected:
    void put(const std::string& name, const std::string& text) { std::ofstream(dir / name, std::ios::binary) << text; }
    zun::test::TempDir scratch;
    const fs::path& dir = scratch.path;
};

// Compiles and says how long it took.
// Processor time of this process, so that a busy machine does not count.
double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

Compiled timed(const std::string& source, double& seconds, std::vector<std::string> options = {}) {
    double started = cpu_seconds();
    Compiled c = compile(source, std::move(options));
    seconds = cpu_seconds() - started;
    return c;
}

TEST_F(TcxRobust, OutputIsNeverTheSourceNorHalfWritten) {
    const std::string source = "int f(int a) { return a + 1; }\n";
    put("t.c", source);
    auto r = run_in(dir, "\"$BIN/tcx09\" t.c t.c");
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("Error: Can't open output file 't.c': it is an input of this run"), std::string::npos) << r.err;
    EXPECT_EQ(read_whole(dir / "t.c"), source);
    std::string big;
    for (int i = 0; i < 300; ++i) big += "int f" + std::to_string(i) + "(int a) { return a * 3 + " + std::to_string(i) + "; }\n";
    put("big.c", big);
    put("big.s09", "old\n");
    r = run_in(dir, file_size_limit(8) + "\"$BIN/tcx09\" big.c big.s09");
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("Error: Can't write output file 'big.s09': File too large"), std::string::npos) << r.err;
    EXPECT_EQ(read_whole(dir / "big.s09"), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);  // no temporary left
    // The preprocessor wrapper keeps its old output the same way.
    put("big.i", "old\n");
    r = run_in(dir, file_size_limit(8) + "\"$BIN/cpp\" big.c big.i");
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE((r.out + r.err).find("Can't write the output file: File too large"), std::string::npos) << r.out << r.err;
    EXPECT_EQ(read_whole(dir / "big.i"), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
    fs::remove(dir / "big.i");
    r = run_in(dir, "\"$BIN/tcx09\" big.c /dev/null && mkdir d && \"$BIN/tcx09\" d out.s09");
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("Can't open input file 'd': is a directory"), std::string::npos) << r.err;
    // The message names the file that cannot be read, not the working folder.
    EXPECT_EQ(r.err.rfind("\"" + fs::canonical(dir).string() + "/d\" (0) Error: ", 0), 0u) << r.err;
    r = run_in(dir, "\"$BIN/tcx09\" /dev/zero out.s09");
    EXPECT_EQ(r.rc, 2);
    EXPECT_EQ(r.err, "\"/dev/zero\" (0) Error: Can't open input file '/dev/zero': is not a regular file\n");
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(TcxRobust, OutputFileGetsTheTextOfStandardOutput) {
    // The output file gets the text function by function; the unit is many
    // times what is held back, with objects whose storage is written last.
    std::string source;
    for (int i = 0; i < 400; ++i) {
        std::string n = std::to_string(i);
        source += "int g" + n + ";\nstatic char *s" + n + " = \"s" + n + "\";\n" +
                  "int f" + n + "(int a) { char b[4]; b[0] = a; return b[0] * " + n + " + *s" + n + " + g" + n +
                  "; }\nint t" + n + ";\n";
    }
    put("big.c", source);
    for (const std::string options : {"", "-g -O"}) {
        auto r = run_in(dir, "\"$BIN/tcx09\" " + options + " big.c big.s09 && \"$BIN/tcx09\" " + options +
                                 " big.c >std.s09 2>std.err");
        EXPECT_EQ(r.rc, 0) << options;
        std::string text = read_whole(dir / "std.s09");
        EXPECT_GT(text.size(), 200000u);
        EXPECT_EQ(read_whole(dir / "big.s09"), text) << options;
        EXPECT_EQ(r.err, read_whole(dir / "std.err"));
    }
}

TEST_F(TcxRobust, PreprocessorRefusesStrayOptionsAndNeverReadsATerminal) {
    put("src.c", "#include \"/dev/stdin\"\nint x = X;\n");
    for (const char* bad : {"src.c out.i -D", "-I src.c out.i -U", "-o other.i src.c out.i", "- src.c out.i",
                            "src.c src.c"}) {
        auto r = run_in(dir, std::string("\"$BIN/cpp\" ") + bad);
        EXPECT_EQ(r.rc, 1) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
        EXPECT_EQ(read_whole(dir / "src.c"), "#include \"/dev/stdin\"\nint x = X;\n") << bad;
        EXPECT_FALSE(fs::exists(dir / "out.i")) << bad;
    }
    // Standard input that never ends (a FIFO held open by its reader): GNU
    // cpp never reads it, and an include that names it is refused.
    put("hidden.c", "#define IN \"/dev/stdin\"\n#include IN\nint x = X;\n");
    auto r = run_in(dir, "mkfifo in && timeout 10 \"$BIN/cpp\" -D X=4 hidden.c out.i <>in");
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(read_whole(dir / "out.i").find("int x = 4;"), std::string::npos);
    r = run_in(dir, "timeout 10 \"$BIN/cpp\" -D X=4 src.c out2.i <>in");
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("(1) Error: '/dev/stdin' is not a regular file"), std::string::npos) << r.err;
}

TEST(TcxLimits, LongListsEndWithTheLimitNamed) {
    auto list = [](int n) {
        std::string s = "1";
        for (int i = 1; i < n; ++i) s += ",1";
        return s;
    };
    for (const std::string& text : {"int x;\nvoid f(void) { x = " + list(100000) + "; }\n",
                                    "int g();\nvoid f(void) { g(" + list(100000) + "); }\n"}) {
        Compiled c = compile(text);
        EXPECT_EQ(c.rc, 1);
        EXPECT_EQ(c.err, "\"/src/t.c\" (2) Error: Expression longer than the compiler's limit of 10000 operands\n")
            << c.err.substr(0, 300);
    }
    // Lists well inside the limit still compile.
    Compiled c = compile("int x;\nint g();\nvoid f(void) { x = " + list(3000) + "; g(" + list(3000) + "); }\n");
    EXPECT_EQ(c.rc, 0) << c.err.substr(0, 300);
    // A chain is no nesting: a flat sum of 10,000 operands, and parentheses
    // nested 200 deep that each hold a chain of 40, compile.
    std::string sum = "x", forty = "x", nested = "x";
    for (int i = 1; i < 10000; ++i) sum += "+x";
    for (int i = 1; i < 40; ++i) forty += "-x";
    for (int i = 0; i < 200; ++i) nested = "(" + forty + "+" + nested + ")";
    for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"-O", "-g"}}) {
        c = compile("int x;\nint f(void) { return " + sum + "; }\nint h(void) { return " + nested + "; }\n", options);
        EXPECT_EQ(c.rc, 0) << c.err.substr(0, 300);
        EXPECT_EQ(c.err, "");
    }
    // A "line" of 2 MB (a binary file) is refused at its line.
    c = compile("int x;\n" + std::string(2 << 20, 'x') + "\n");
    EXPECT_EQ(c.err, "\"/src/t.c\" (2) Error: Line longer than the limit of 1048576 characters\n");
}

std::string repeat(const std::string& text, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += text;
    return r;
}

// The manual's limits hold exactly, whatever the form: expressions,
// statements and declarators nest 200 levels, a function takes 100
// parameters. At the limit the unit compiles, plain, optimised and with
// debug information; one more is refused with the limit's own message.
TEST(TcxLimits, StatedLimitsHoldAtAndOneBeyond) {
    const std::string head = "int x; long y; int a[2]; int h(int v);\n";
    auto body = [&](const std::string& text) { return head + "int f(void)\n{\n" + text + "\nreturn x;\n}\n"; };
    const std::function<std::string(int)> nested[] = {
        [&](int n) { return body("x = " + repeat("(", n) + "x" + repeat(")", n) + ";"); },
        [&](int n) { return body("x = " + repeat("(int)(", n) + "x" + repeat(")", n) + ";"); },
        [&](int n) { return body("y = " + repeat("(long)((int)", n) + "y" + repeat(")", n) + ";"); },
        [&](int n) { return body("x = " + repeat("(x+", n) + "x" + repeat(")", n) + ";"); },
        [&](int n) { return body("y = " + repeat("(y*", n) + "y" + repeat(")", n) + ";"); },
        [&](int n) { return body("x = " + repeat("h(", n) + "x" + repeat(")", n) + ";"); },
        [&](int n) { return body("x = " + repeat("a[", n) + "0" + repeat("]", n) + ";"); },
        [&](int n) { return body("x = " + repeat("x ? ", n) + "x" + repeat(" : x", n) + ";"); },
        [&](int n) { return body(repeat("if (x) {", n) + "x = 1;" + repeat("}", n)); },
        [&](int n) { return body(repeat("if (x) x++; else ", n) + "x = 1;"); },
        [&](int n) { return body(repeat("while (x) ", n) + "x--;"); },
        [&](int n) { return body(repeat("{", n) + "int z = 1; x = z;" + repeat("}", n)); },
        [&](int n) { return body(repeat("switch (x) { case 1: ", n) + "x = 2;" + repeat(" }", n)); },
        [&](int n) { return head + "int " + repeat("(", n) + "p" + repeat(")", n) + ";\n"; },
        [&](int n) {
            std::string t;
            for (int i = 0; i < n; ++i) t += "struct s" + std::to_string(i) + " { int m;\n";
            for (int i = n; i-- > 0;) t += "} n" + std::to_string(i) + ";\n";
            return head + t;
        },
    };
    for (const auto& form : nested) {
        std::string at = form(200);
        for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"-O"}, {"-g"}}) {
            Compiled c = compile(at, options);
            EXPECT_EQ(c.rc, 0) << options.size() << "\n" << at.substr(0, 200) << "\n" << c.err.substr(0, 300);
            EXPECT_FALSE(has(c.out, "Internal Error") || has(c.out, "OP_ERROR")) << at.substr(0, 200);
        }
        Compiled c = compile(form(201));
        EXPECT_EQ(c.rc, 1) << form(201).substr(0, 200);
        EXPECT_TRUE(has(c.err, "Error: Nesting deeper than the compiler's limit of 200 levels"))
            << form(201).substr(0, 200) << "\n" << c.err.substr(0, 300);
    }
    // Parameters, of prototypes and of old-style definitions.
    auto prototype = [](int n) {
        std::string t = "int f(";
        for (int i = 0; i < n; ++i) t += (i ? ", int p" : "int p") + std::to_string(i);
        return t + ")\n{\n    return p0 + p" + std::to_string(n - 1) + ";\n}\n";
    };
    auto old_style = [](int n) {
        std::string t = "int f(";
        for (int i = 0; i < n; ++i) t += (i ? ", p" : "p") + std::to_string(i);
        return t + ")\n{\n    return p0 + p" + std::to_string(n - 1) + ";\n}\n";
    };
    for (const auto& form : {std::function<std::string(int)>(prototype), std::function<std::string(int)>(old_style)}) {
        Compiled c = compile(form(100) + "int g(void) { return f(" + repeat("1, ", 99) + "2); }\n", {"-O"});
        EXPECT_EQ(c.rc, 0) << c.err.substr(0, 300);
        c = compile(form(101));
        EXPECT_EQ(c.rc, 100);
        EXPECT_EQ(c.err, "\"/src/t.c\" (1) Error: To long parameter list\n");
    }
}

// Input at the limits compiles whatever the shell's stack limit, even in the
// sanitizer build, whose frames are the largest (it needs up to 8 MB, a
// release build less than 3 MB): statements nested to the limit around an
// expression nested to it, or around the longest chain of operators the limit
// lets through, which the later passes walk recursively.
TEST_F(TcxRobust, DeepestInputFitsTheStack) {
    const std::string head = "int x; long y; float fl;\nint f(void)\n{\n" + repeat("while (x) {", 200);
    const std::string tail = repeat("}", 200) + "\nreturn x;\n}\n";
    put("paren.c", head + "y = " + repeat("(y*(long)(char)", 200) + "y" + repeat(")", 200) + ";" + tail);
    put("float.c", head + "fl = " + repeat("(fl/(float)", 200) + "fl" + repeat(")", 200) + ";" + tail);
    put("chain.c", head + "x = x" + repeat("+x", 9990) + ";" + tail);
    put("assign.c", head + repeat("x = ", 9990) + "x;" + tail);
    put("long.c", head + "y = y" + repeat("*y", 9990) + ";" + tail);
    for (const char* name : {"paren.c", "float.c", "chain.c", "assign.c", "long.c"}) {
        auto r = run_in(dir, std::string("ulimit -s 1024; \"$BIN/tcx09\" -O -g ") + name + " out.s09");
        EXPECT_EQ(r.rc, 0) << name << "\n" << r.err.substr(0, 500);
    }
}

TEST(TcxLimits, LargeUnitsCompileInLinearTime) {
    std::string cases = "int f(int x) { switch (x) {\n";
    for (int i = 0; i < 20000; ++i) cases += "case " + std::to_string(i * 7) + ": return " + std::to_string(i) + ";\n";
    cases += "} return 0; }\n";
    std::string dense = "int f(int x) { switch (x) {\n";
    for (int i = 0; i < 20000; ++i) dense += "case " + std::to_string(i) + ": return " + std::to_string(i) + ";\n";
    dense += "} return 0; }\n";
    std::string globals;
    for (int i = 0; i < 32000; ++i) globals += "int g" + std::to_string(i) + ";\n";
    globals += "int f(void) { return g5 + g31999; }\n";
    std::string dims = "int a";
    for (int i = 0; i < 410; ++i) dims += "[1]";
    dims += ";\n";
    for (const std::string* text : {&cases, &dense, &globals}) {
        double seconds = 0;
        Compiled c = timed(*text, seconds);
        EXPECT_EQ(c.rc, 0) << c.err.substr(0, 300);
        EXPECT_LT(seconds, 10.0) << text->substr(0, 40);
    }
    double seconds = 0;
    Compiled c = timed(dims, seconds, {"-g"});
    EXPECT_EQ(c.rc, 0) << c.err;
    EXPECT_LT(seconds, 10.0);
    EXPECT_NE(c.err.find("Warning: Debug type table full (399 types)"), std::string::npos) << c.err;
    // A function of 400 loops whose pointers -O keeps in registers.
    std::string loops = "char buf[64];\nint f(char *p, int *q, int n)\n{\n    int s = 0, i;\n    char *r;\n    int *t;\n";
    for (int i = 0; i < 200; ++i) {
        std::string k = std::to_string(i);
        loops += "    r = p; i = n; while (i--) s += *r++;\n    t = q; i = n; while (i--) { s ^= *t++; if (s == " + k +
                 ") break; }\n    if (s > " + k + ") s -= n; else s += buf[" + std::to_string(i % 64) + "];\n";
    }
    loops += "    return s;\n}\n";
    c = timed(loops, seconds, {"-O"});
    EXPECT_EQ(c.rc, 0) << c.err.substr(0, 300);
    size_t kept = 0;
    for (size_t at = c.out.find(",U+"); at != std::string::npos; at = c.out.find(",U+", at + 1)) ++kept;
    EXPECT_EQ(kept, 400u);
    EXPECT_LT(seconds, 10.0);
}

}  // namespace
}  // namespace zun::tcx::test
