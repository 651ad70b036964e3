// Debug output with -g: type names and type lines, symbol lines, the
// function's frame lines and statement markers, and that nothing of it is
// written without -g.
#include "harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

Compiled debug(const std::string& source, std::vector<std::string> options = {}) {
    options.insert(options.begin(), "-g");
    return compile(source, options);
}

// The type table: everything after its heading.
std::string table(const std::string& out) {
    size_t at = out.find("* Symbol table for SLD\n");
    return at == std::string::npos ? std::string() : out.substr(at);
}

const char* const sample = "struct s { int a; char b; } gs;\n"
                           "int f(int k)\n"
                           "{\n"
                           "    int r;\n"
                           "    switch (k) { case 0: r = 1; break; case 1: r = 2; break; case 2: r = 5; break;\n"
                           "    case 3: r = 7; break; case 4: r = 9; break; default: r = 0; }\n"
                           "    return r;\n"
                           "}\n";

TEST(TcxDebug, NothingWithoutOption) {
    Compiled c = compile(sample);
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(c.out.find(".stab"), std::string::npos);
    EXPECT_EQ(c.out.find("Symbol table for SLD"), std::string::npos);
    // The entry of a function without frame is a NOP only with -g.
    Compiled g = compile("int id(int x) { return x; }\n");
    EXPECT_EQ(g.out.find("\tNOP"), std::string::npos);
}

TEST(TcxDebug, BuiltinTypeLines) {
    Compiled c = debug("int i;\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(table(c.out),
              "* Symbol table for SLD\n"
              ".stab type  typ0 V (-1)\n.stab type  typ1 L (4)\n.stab type  typ2 l (4)\n"
              ".stab type  typ3 C (1)\n.stab type  typ4 c (1)\n.stab type  typ5 S (2)\n"
              ".stab type  typ6 s (2)\n.stab type  typ7 g (4)\n.stab type  typ8 G (4)\n"
              ".stab type  typ9 h (4)\n.stab type  typ10 R (2)\n.stab type  typ11 I (2)\n"
              ".stab type  typ12 i (2)\n.stab type  typ13 E (2)\n.stab type  typ14 F (0)\n"
              ".stab type  typ15 P (2)\n");
    EXPECT_NE(c.out.find("\n.stab sym G:i:_i:(typ11)\n"), std::string::npos);
}

TEST(TcxDebug, ModuleNameFromFirstLineDirective) {
    std::string source = "# 1 \"/src/dir/my-file.v2.c\"\nint *p;\n# 1 \"/src/other.h\"\nlong *q;\n";
    Compiled c = compile_files({{"t.c", source}, {"/src/dir/my-file.v2.c", "int *p;\n"}, {"/src/other.h", "\n"}},
                               {"-g", "t.c"});
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find(".stab sym G:p:_p:(typ16-my_file)"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym G:q:_q:(typ17-my_file)"), std::string::npos);
    // Without a line directive the input file names the module.
    EXPECT_NE(debug("int *p;\n").out.find("(typ16-t)"), std::string::npos);
}

TEST(TcxDebug, PointerSymbolAndItsLine) {
    Compiled c = debug("int *p;\nint *p2;\nchar *s;\nvoid *v;\nchar **pp;\nconst char cc = 1;\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("\n.stab sym G:p:_p:(typ16-t)\n"), std::string::npos);
    EXPECT_NE(c.out.find("\n.stab sym G:p2:_p2:(typ16-t)\n"), std::string::npos);
    EXPECT_NE(c.out.find("\n.stab sym G:s:_s:(typ10)\n"), std::string::npos);
    EXPECT_NE(c.out.find("\n.stab sym G:v:_v:(typ15)\n"), std::string::npos);
    EXPECT_NE(c.out.find("\n.stab sym G:pp:_pp:(typ17-t)\n"), std::string::npos);
    // A qualified copy of a built-in type keeps the built-in's number.
    EXPECT_NE(c.out.find("\n.stab sym G:cc:_cc:(typ3)\n"), std::string::npos);
    std::string t = table(c.out);
    EXPECT_NE(t.find("\n.stab type  typ16-t a *(typ11)\n.stab type  typ17-t a **(typ3)\n"), std::string::npos) << t;
    EXPECT_EQ(t.find("typ18-t"), std::string::npos);
}

TEST(TcxDebug, StructLineWithMembers) {
    Compiled c = debug("struct s { int a; char b; };\nstruct s v;\nunion u { long l; char c; } w;\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    std::string t = table(c.out);
    EXPECT_NE(t.find("\n.stab type  typ16-t Z (3)S s {\\\na:(0):(typ11);\\\nb:(2):(typ3);\\\n}\n"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("\n.stab type  typ17-t Z (4)U u {\\\nl:(0):(typ1);\\\nc:(0):(typ3);\\\n}\n"),
              std::string::npos);
}

TEST(TcxDebug, BitfieldsArraysAndFunctionPointers) {
    Compiled c = debug("struct f { unsigned lo : 3; unsigned hi : 5; } v;\n"
                       "char *names[3];\nint grid[2][3];\nint (*fp)(int);\n"
                       "struct n { struct n *next; } list;\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    std::string t = table(c.out);
    EXPECT_NE(t.find("Z (2)S f {\\\nlo:(2,0:3):(typ17-t);\\\nhi:(2,3:5):(typ18-t);\\\n}\n"), std::string::npos) << t;
    EXPECT_NE(t.find("\n.stab type  typ17-t B (2,3:0)\n.stab type  typ18-t B (2,5:3)\n"), std::string::npos);
    EXPECT_NE(t.find("\n.stab type  typ19-t A (6)*(typ3)\n"), std::string::npos);
    EXPECT_NE(t.find("\n.stab type  typ20-t A (6)(typ11)\n.stab type  typ21-t A (12)(typ20-t)(typ11)\n"),
              std::string::npos);
    EXPECT_NE(t.find("\n.stab type  typ22-t * (typ14) \n"), std::string::npos);
    // A structure that points at itself is numbered once.
    EXPECT_NE(t.find("Z (2)S n {\\\nnext:(0):(typ24-t);\\\n}\n.stab type  typ24-t a *(typ23-t)\n"),
              std::string::npos);
}

TEST(TcxDebug, StaticsAndExterns) {
    Compiled c = debug("static int s;\nextern int e;\n"
                       "int f(void) { static int calls = 2; return s + e + calls; }\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("\n.stab sym S:s:_1:(typ11)\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym S:calls:_"), std::string::npos);
    EXPECT_EQ(c.out.find(":e:"), std::string::npos);
}

// A static of a function's body, with or without initial value, in the
// outer or an inner block, names its function behind its type.
TEST(TcxDebug, FunctionStaticsNameTheirFunction) {
    Compiled c = debug("static int total;\n"
                       "int f(void) { static int total; return ++total; }\n"
                       "int g(void) { static int total = 5; { static char t; t++; } return total++; }\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("\n.stab sym S:total:_1:(typ11)\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(":(typ11):f\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(":(typ11):g\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym S:t:_"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(":(typ3):g\n"), std::string::npos) << c.out;
}

TEST(TcxDebug, FramelessFunctionCarriesItsParameters) {
    Compiled c = debug("int add(int a, int b) { return a + b; }\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("_add:\n.stab fstart _add:1\n.stab stmt 1,4\n.stab sym F:add:_add:(typ11)(typ11)(typ11)\n"
                         ".stab sym L:add:a:2:(typ11)\n.stab sym L:add:b:4:(typ11)\n\tNOP\n"
                         ".stab stmt 1,24\n"),
              std::string::npos)
        << c.out;
    EXPECT_NE(c.out.find(".stab stmt 1,39\n.stab fexit 1,39\n\tRTS\n.stab fend _add:1\n"), std::string::npos);
}

TEST(TcxDebug, LocalOffsetsAreRelativeToTheFrame) {
    Compiled c = debug("void f(char c, long l)\n{\n    int i;\n    char buf[3];\n    i = c;\n}\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    // Frame of 5 bytes: i at -2, buf at -5; parameters above the return address.
    EXPECT_NE(c.out.find(".stab sym F:f:_f:(typ0)(typ3)(typ1)\n.stab sym L:f:c:7:(typ3)\n"
                         ".stab sym L:f:l:8:(typ1)\n.stab sym L:f:i:3:(typ11)\n.stab sym L:f:buf:0:(typ16-t)\n"
                         "\tLEAS\t-5,S\n"),
              std::string::npos)
        << c.out;
}

// A local of an inner block carries its block, from the opening brace to
// behind the closing one, as a field after its type: nested and sibling
// blocks each their own; the function's own locals and parameters none.
TEST(TcxDebug, InnerBlockLocalsCarryTheirBlock) {
    Compiled c = debug("int f(int p)\n{\n    int x = p;\n    {\n        int x = 1;\n"
                       "        { char y = 2; x += y; }\n        p += x;\n    }\n"
                       "    { int x = 3; p += x; }\n    return p + x;\n}\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find(".stab sym L:f:p:9:(typ11)\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym L:f:y:2:(typ3):6,8-6,31\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym L:f:x:3:(typ11):4,4-8,5\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym L:f:x:0:(typ11):9,4-9,26\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find(".stab sym L:f:x:5:(typ11)\n"), std::string::npos) << c.out;
}

TEST(TcxDebug, NomangleAndPascalFunctions) {
    Compiled c = debug("__nomangle int nm(int x) { return x; }\n"
                       "__pascal int pf(char a, int b) { return a + b; }\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("\nnm:\n.stab fstart nm:1\n"), std::string::npos) << c.out;
    EXPECT_NE(c.out.find("\n.stab sym F:nm:nm:(typ11)(typ11)\n"), std::string::npos);
    EXPECT_NE(c.out.find("\n.stab fend nm:1\n"), std::string::npos);
    // Types in declaration order; b is bound first.
    EXPECT_NE(c.out.find(".stab sym F:pf:_pf:(typ11)(typ3)(typ11)\n"), std::string::npos);
    EXPECT_NE(c.out.find(".stab sym L:pf:b:2:(typ11)\n.stab sym L:pf:a:4:(typ3)\n"), std::string::npos);
}

TEST(TcxDebug, FunctionEndsBeforeItsJumpTable) {
    Compiled c = debug(sample);
    ASSERT_EQ(c.rc, 0) << c.err;
    size_t fend = c.out.find(".stab fend _f:8\n");
    size_t table = c.out.find("\tFDB\t");
    ASSERT_NE(fend, std::string::npos) << c.out;
    ASSERT_NE(table, std::string::npos);
    EXPECT_LT(fend, table);
    EXPECT_LT(c.out.rfind("\tRTS\n", fend), fend);
    EXPECT_EQ(c.out.find("SEGMENT\trodata", c.out.find(".stab fstart _f")), c.out.find("SEGMENT\trodata", fend));
}

TEST(TcxDebug, OneMarkerPerPosition) {
    // A statement of its own on the same line is marked again.
    Compiled d = debug("int g(int n)\n{\n    n++; n++;\n    return n;\n}\n");
    EXPECT_NE(d.out.find(".stab stmt 3,4\n"), std::string::npos);
    EXPECT_NE(d.out.find(".stab stmt 3,9\n"), std::string::npos);
    // So is every initialised local, in order, before the code it has.
    Compiled e = debug("int h(int n)\n{\n    int a = n + 1;\n    int b = a * 2;\n    int c;\n"
                       "    c = b;\n    return c;\n}\n");
    ASSERT_EQ(e.rc, 0) << e.err;
    size_t a = e.out.find(".stab stmt 3,");
    size_t b = e.out.find(".stab stmt 4,");
    ASSERT_NE(a, std::string::npos) << e.out;
    ASSERT_NE(b, std::string::npos) << e.out;
    EXPECT_LT(a, e.out.find("\tADDD\t#1\n"));
    EXPECT_LT(e.out.find("\tADDD\t#1\n"), b);
    EXPECT_EQ(e.out.find(".stab stmt 5,"), std::string::npos) << e.out;
}

TEST(TcxDebug, LoopStepIsMarkedAfterTheBody) {
    // The step runs after the body's last statement: the debugger must see
    // the loop's own position again before it.
    Compiled c = debug("int f(int n)\n{\n    int i, s;\n    s = 0;\n    for (i = 0; i < n; i++)\n"
                       "        s += i;\n    return s;\n}\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    // The step's code lies between the test and the body, behind its own label.
    size_t first = c.out.find(".stab stmt 5,4\n");
    ASSERT_NE(first, std::string::npos) << c.out;
    size_t step = c.out.find(".stab stmt 5,4\n", first + 1);
    ASSERT_NE(step, std::string::npos) << c.out;
    EXPECT_EQ(c.out.rfind(":\n", step) + 2, step) << c.out;
    EXPECT_LT(step, c.out.find(".stab stmt 6,8\n"));
}

TEST(TcxDebug, DeadCodeLosesItsMarkerAndKeepsReturn) {
    Compiled c = debug("int f(int x)\n{\n    return x;\n    x++;\n}\n", {"-O"});
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.err.find("Removed dead code"), std::string::npos);
    EXPECT_NE(c.out.find("\tLDD\t2,S\n.stab stmt 5,1\n.stab fexit 5,1\n\tRTS\n"), std::string::npos) << c.out;
}

// The lines of the markers that no instruction follows before the next
// marker or the function's end.
std::vector<int> codeless_lines(const std::string& out) {
    std::vector<int> lines;
    int pending = 0;
    size_t at = 0;
    while (at < out.size()) {
        size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(at, end - at);
        at = end + 1;
        bool marker = line.starts_with(".stab stmt ");
        if ((marker || line.starts_with(".stab fend ")) && pending) lines.push_back(pending);
        if (marker)
            pending = std::stoi(line.substr(11));
        else if (line.starts_with("\t") || line.starts_with(" ") || line.starts_with(".stab fend "))
            pending = 0;
    }
    return lines;
}

TEST(TcxDebug, LinesWithoutCodeHaveNoMarker) {
    // A marker with no code behind it lies at the next line's address, and
    // the debugger would show that line's code as its own.
    const char* loops = "int g;\n"                       // 1
                        "int main(void)\n"                // 2
                        "{\n"                             // 3
                        "    while (1) {\n"               // 4
                        "        g++;\n"                  // 5
                        "        if (g > 2)\n"            // 6
                        "            break;\n"            // 7: a branch of its own
                        "    }\n"                         // 8
                        "    for (;;) {\n"                // 9
                        "        g--;\n"                  // 10
                        "        if (g == 0)\n"           // 11
                        "            break;\n"            // 12: folded into the if
                        "    }\n"                         // 13
                        "    do {\n"                      // 14
                        "        g++;\n"                  // 15
                        "        if (g == 4)\n"           // 16
                        "            continue;\n"         // 17
                        "        g++;\n"                  // 18
                        "    } while (g < 9);\n"          // 19
                        "    return g;\n"                 // 20
                        "    g = 1;\n"                    // 21: dead
                        "}\n";
    Compiled c = debug(loops, {"-O"});
    ASSERT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(codeless_lines(c.out), std::vector<int>{}) << c.out;
    for (int line : {4, 9, 12, 14, 21})
        EXPECT_FALSE(has(c.out, ".stab stmt " + std::to_string(line) + ",")) << line << "\n" << c.out;
    for (int line : {5, 6, 7, 10, 11, 15, 16, 17, 18, 20})
        EXPECT_TRUE(has(c.out, ".stab stmt " + std::to_string(line) + ",")) << line << "\n" << c.out;
    // The do's test is the line of its while, at the while.
    EXPECT_TRUE(has(c.out, ".stab stmt 19,6\n\tLDD\t_g\n")) << c.out;
    // A do on one line with an empty body: one marker, at its while.
    Compiled d = debug("int f(int n)\n{\n    do ; while (--n);\n    return n;\n}\n");
    ASSERT_EQ(d.rc, 0) << d.err;
    EXPECT_FALSE(has(d.out, ".stab stmt 3,4\n")) << d.out;
    EXPECT_EQ(count(d.out, ".stab stmt 3,9\n"), 1) << d.out;
    // Without the peephole the same lines are kept apart.
    Compiled n = debug(loops);
    ASSERT_EQ(n.rc, 0) << n.err;
    EXPECT_EQ(codeless_lines(n.out), std::vector<int>{}) << n.out;
    // The heading of a function with inline assembler and no locals gets
    // an instruction of its own ahead of its first statement.
    Compiled a = debug("void f(void)\n{\n    __asm(\" NOP\");\n}\n");
    ASSERT_EQ(a.rc, 0) << a.err;
    EXPECT_EQ(codeless_lines(a.out), std::vector<int>{}) << a.out;
    // Without -g the code is the same as before: no marker, no NOP.
    Compiled plain = compile("void f(void)\n{\n    __asm(\" SWI\");\n}\n");
    EXPECT_FALSE(has(plain.out, "\tNOP")) << plain.out;
}

TEST(TcxDebug, FullTableIsOneWarningAtTheDeclaration) {
    std::string source;
    for (int i = 0; i < 390; ++i) source += "struct s" + std::to_string(i) + " { int m; } v" + std::to_string(i) + ";\n";
    source += "long *late;\n";
    Compiled c = debug(source);
    EXPECT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(c.err, "\"/src/t.c\" (384) Warning: Debug type table full (399 types): later types get no debug "
                     "information\n");
    EXPECT_EQ(c.out.find("Internal Error"), std::string::npos);
    EXPECT_NE(c.out.find(".stab sym G:v382:_v382:(typ398-t)\n"), std::string::npos);
    // Types that find no slot are written as int.
    EXPECT_NE(c.out.find(".stab sym G:v383:_v383:(typ11)\n"), std::string::npos);
    EXPECT_NE(c.out.find(".stab sym G:late:_late:(typ11)\n"), std::string::npos);
    std::string t = table(c.out);
    EXPECT_NE(t.find("typ398-t Z"), std::string::npos);
    EXPECT_EQ(t.find("typ399"), std::string::npos);
}

}  // namespace
}  // namespace zun::tcx::test
