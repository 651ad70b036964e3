// Shapes of generated code that the programs cannot see: which form an
// operator, a switch or a frame takes.
#include "tests/compiler/harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zun::tcx::test {
namespace {

std::string code(const std::string& src, std::vector<std::string> options = {}) {
    Compiled c = compile(src, std::move(options));
    EXPECT_EQ(c.rc, 0) << c.err;
    return body(c.out);
}

TEST(CodeShape, ShiftByEight) {
    std::string t = code("int f(int a) { return a << 8; }\n");
    EXPECT_TRUE(has(t, "\tEXG\tB,A\n\tCLRB\n")) << t;
    t = code("int f(int a) { return a >> 8; }\n");
    EXPECT_TRUE(has(t, "\tEXG\tB,A\n\tSEX\n")) << t;
    t = code("unsigned f(unsigned a) { return a >> 8; }\n");
    EXPECT_TRUE(has(t, "\tEXG\tB,A\n\tCLRA\n")) << t;
    EXPECT_FALSE(has(t, "LSR")) << t;
}

TEST(CodeShape, Multiplication) {
    // char operands are promoted; only a char-typed product stays 8 bits
    std::string t = code("unsigned char f(unsigned char a, unsigned char b) { a *= b; return a; }\n");
    EXPECT_TRUE(has(t, "\tMUL\n")) << t;
    EXPECT_FALSE(has(t, "JSR")) << t;
    t = code("int f(int a, int b) { return a * b; }\n");
    EXPECT_TRUE(has(t, "\tJSR\tmuls16\n")) << t;
    t = code("unsigned f(unsigned a, unsigned b) { return a / b; }\n");
    EXPECT_TRUE(has(t, "\tJSR\tdivu16\n\tLEAS\t4,S\n")) << t;
}

TEST(CodeShape, SwitchForms) {
    std::string four = code("int f(int v) { switch (v) { case 0: return 1; case 1: return 2; case 2: return 3;"
                            " case 3: return 4; } return 0; }\n");
    EXPECT_FALSE(has(four, "[D,X]")) << four;
    std::string table = code("int f(int v) { switch (v) { case 0: return 1; case 2: return 2; case 4: return 3;"
                             " case 6: return 4; case 9: return 5; } return 0; }\n");
    EXPECT_TRUE(has(table, "\tCMPD\t#9\n\tBHI\t")) << table;
    EXPECT_TRUE(has(table, "\tJMP\t[D,X]\n")) << table;
    size_t words = 0;
    for (size_t at = table.find("\tFDB\t"); at != std::string::npos; at = table.find("\tFDB\t", at + 1)) {
        std::string line = table.substr(at, table.find('\n', at) - at);
        words += static_cast<size_t>(std::count(line.begin(), line.end(), '_'));
    }
    EXPECT_EQ(words, 10u) << table;
    std::string sparse = code("int f(int v) { switch (v) { case 0: return 1; case 10: return 2; case 20: return 3;"
                              " case 30: return 4; case 40: return 5; } return 0; }\n");
    EXPECT_FALSE(has(sparse, "[D,X]")) << sparse;
    EXPECT_TRUE(has(sparse, "\tCMPD\t#$28\n\tBEQ\t")) << sparse;
}

TEST(CodeShape, Frames) {
    std::string t = code("int f(int a) { return a; }\n");
    EXPECT_FALSE(has(t, "LEAS")) << t;
    t = code("int f(int a) { return a; }\n", {"-g"});
    // The function's debug lines come first, then its first instruction.
    EXPECT_TRUE(has(t, "_f:\n.stab fstart _f:1\n")) << t;
    EXPECT_TRUE(has(t, ".stab sym L:f:a:2:(typ11)\n\tNOP\n")) << t;
    t = code("int f(void) { int a, b; a = 1; b = a; return b; }\n");
    EXPECT_TRUE(has(t, "_f:\n\tLEAS\t-4,S\n")) << t;
    EXPECT_TRUE(has(t, "\tLEAS\t4,S\n\tRTS\n")) << t;
    t = code("void __interrupt irq(void) { }\n");
    EXPECT_TRUE(has(t, "\tRTI\n")) << t;
}

TEST(CodeShape, StackOffsetsFollowPushes) {
    // a is the first parameter: 2 above the entry S, 2 more once b is pushed
    std::string t = code("int g(int, int);\nint f(int a, int b) { return g(b, a); }\n");
    EXPECT_TRUE(has(t, "\tLDD\t2,S\n\tPSHS\tD\n\tLDD\t6,S\n\tPSHS\tD\n\tJSR\t_g\n\tLEAS\t4,S\n")) << t;
}

TEST(CodeShape, AsmOperandsTakeTheFinalFrame) {
    // i lies 2 below the entry S; the frame is 2 bytes, so it prints at 0,S
    std::string t = code("int g;\nvoid f(void) { int i; i = 1; __asm(\"\\tlda %a,%a,%a\", 7, g, i); }\n");
    EXPECT_TRUE(has(t, "\tlda 0x07,_g,0,S\n")) << t;
    t = code("void f(void) { __asm(\"nop\"); __asm(\"here: nop\"); }\n");
    EXPECT_TRUE(has(t, "\n nop\nhere: nop\n")) << t;
    // a label on a line of its own is a first word that ends with ':' too
    t = code("void f(void) { __asm(\"la:\\n\\tNOP\\n\"); __asm(\"lb:\\r\\n\\tNOP\"); __asm(\"lc:\"); }\n");
    EXPECT_TRUE(has(t, "\nla:\n\tNOP\n")) << t;
    EXPECT_TRUE(has(t, "\nlb:\r\n\tNOP\n")) << t;
    EXPECT_TRUE(has(t, "\nlc:\n")) << t;
    t = code("void f(void) { __asm(\"NOP\\nld:\\n\"); }\n");
    EXPECT_TRUE(has(t, "\n NOP\nld:\n")) << t;
}

TEST(CodeShape, DeadCodeAfterReturn) {
    Compiled c = compile("int f(int a) { return a; a = 2; return 3; }\n", {"-O"});
    EXPECT_NE(c.err.find("Removed dead code"), std::string::npos) << c.err;
    EXPECT_FALSE(has(body(c.out), "#3")) << c.out;
}

TEST(CodeShape, OversizedFrameStops) {
    // Locals beyond the reach of 16-bit offsets are an error at the function.
    Compiled c = compile("void f(void) { char a[32767]; char b[32767]; char c[2]; a[0] = b[0] = c[0]; }\n");
    EXPECT_EQ(c.rc, 1);
    EXPECT_EQ(c.err, "\"/src/t.c\" (1) Error: Local data of function 'f' take 65536 bytes, more than the frame "
                     "limit of 32766 bytes\n");
    c = compile("int g;\nvoid f(void)\n{ char a[32767]; a[0] = 1; }\n");
    EXPECT_EQ(c.rc, 1);
    EXPECT_NE(c.err.find("\"/src/t.c\" (3) Error: Local data of function 'f' take 32767 bytes"), std::string::npos)
        << c.err;
    EXPECT_FALSE(has(c.out, "Internal Error")) << c.out;
    // a frame that fits, but arguments pushed on top of it carry the
    // parameter's offset past 32767
    const std::string near_limit = "long g(long a, long b, long c) { return a + b + c; }\n"
                                   "long f(long p) { char big[SIZE]; long q = 1; big[0] = 1; return g(q, p, g(p, q, p * q)); }\n";
    auto sized = [&](const char* size) {
        std::string t = near_limit;
        t.replace(t.find("SIZE"), 4, size);
        return compile(t);
    };
    c = sized("32758");
    EXPECT_EQ(c.rc, 1);
    EXPECT_EQ(count(c.out, "Internal Error (CI 4100)"), 1) << c.out;
    c = sized("32740");
    EXPECT_EQ(c.rc, 0) << c.out;
    EXPECT_FALSE(has(c.out, "Internal Error")) << c.out;
    // an __asm operand naming a parameter above a full frame
    c = compile("int f(int p) { char big[32766]; big[0] = 0; __asm(\"\\tLDD\\t%a\", p); return 0; }\n");
    EXPECT_EQ(count(c.out, "Internal Error (CI 4100)"), 1) << c.out;
    c = compile("int f(int p) { char big[32764]; big[0] = 0; __asm(\"\\tLDD\\t%a\", p); return 0; }\n");
    EXPECT_FALSE(has(c.out, "Internal Error")) << c.out;
    EXPECT_TRUE(has(c.out, "\tLDD\t32766,S")) << c.out;
}

}  // namespace
}  // namespace zun::tcx::test
