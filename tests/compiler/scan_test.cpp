// Scanner: token codes, constant typing, escapes, comments and directives.
#include "harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

std::vector<int> tokens(const std::string& src) {
    Unit u(src);
    std::vector<int> out;
    for (int i = 0; i < 100 && u.tu.scan.tok != Tok::Eof; ++i) {
        out.push_back(static_cast<int>(u.tu.scan.tok));
        scan_token(u.tu);
    }
    return out;
}

TEST(TcxScan, OperatorsLongestFirst) {
    EXPECT_EQ(tokens("a<<=b"), (std::vector<int>{50, 24, 50}));
    EXPECT_EQ(tokens("a->b"), (std::vector<int>{50, 41, 50}));
    EXPECT_EQ(tokens("x//y"), (std::vector<int>{50, 7, 7, 50}));
    EXPECT_EQ(tokens("a>>=b>=c>>d"), (std::vector<int>{50, 25, 50, 16, 50, 9, 50}));
    EXPECT_EQ(tokens("++--&&||!=.5"), (std::vector<int>{28, 29, 44, 43, 12, 4}));
    EXPECT_EQ(tokens("int $x_1 while __asm"), (std::vector<int>{58, 50, 91, 51}));
}

struct IntCase {
    const char* text;
    int tok;
    uint32_t value;
};

TEST(TcxScan, IntegerConstantTyping) {
    const IntCase cases[] = {
        {"65535", 2, 65535},         {"0xFFFF", 95, 0xFFFF},   {"65535u", 95, 65535},
        {"70000", 2, 70000},         {"0x80000000", 96, 0x80000000u}, {"5L", 2, 5},
        {"5UL", 96, 5},              {"5lu", 96, 5},           {"32767", 1, 32767},
        {"32768", 2, 32768},         {"0x8000", 95, 0x8000},   {"0100000", 95, 0x8000},
        {"0x10000", 2, 0x10000},     {"0x10000u", 96, 0x10000}, {"4294967295", 96, 0xFFFFFFFFu},
        {"017", 1, 15},
    };
    for (const IntCase& c : cases) {
        Unit u(c.text);
        EXPECT_EQ(static_cast<int>(u.tu.scan.tok), c.tok) << c.text;
        EXPECT_EQ(u.tu.scan.ival, c.value) << c.text;
        scan_token(u.tu);
        EXPECT_EQ(u.tu.scan.tok, Tok::Eof) << c.text;
    }
    // An 8 after octal digits starts the next token.
    EXPECT_EQ(tokens("078"), (std::vector<int>{1, 1}));
}

TEST(TcxScan, FloatingConstants) {
    Unit u("1.5 2e3 .25 1.0f 3E-2");
    double want[] = {1.5, 2000, 0.25, 1.0, 0.03};
    for (double w : want) {
        EXPECT_EQ(u.tu.scan.tok, Tok::FloatConst);
        EXPECT_NEAR(u.tu.scan.fval, w, 1e-12);
        scan_token(u.tu);
    }
    Compiled big = compile("float f = 1e1600;\n");
    EXPECT_EQ(big.err, "\"/src/t.c\" (1) Error: Illegal floating-point constant\n");
}

TEST(TcxScan, CharacterConstantsAndEscapes) {
    Unit oct("'\\377' '\\x41' 'a' '\\n' '\\''");
    int32_t want[] = {-1, 65, 97, 10, 39};
    for (int32_t w : want) {
        EXPECT_EQ(oct.tu.scan.tok, Tok::IntConst);
        EXPECT_EQ(static_cast<int32_t>(oct.tu.scan.ival), w);
        scan_token(oct.tu);
    }
    Compiled q = compile("char s[] = \"a\\qb\";\n", {"-w3"});
    EXPECT_EQ(q.err, "\"/src/t.c\" (1) Warning: Escape ignored in sequence '\\q'\n");
    EXPECT_NE(q.out.find("\tFCS\t\"aqb\"\n"), std::string::npos);
    Compiled x = compile("char s[] = \"\\xg\";\n", {"-w2"});
    EXPECT_EQ(x.err, "\"/src/t.c\" (1) Warning: \\x not followed by hex character\n");
    Compiled unterminated = compile("int c = 'ab;\n");
    EXPECT_NE(unterminated.err.find("Unterminated string or character constant"), std::string::npos);
}

TEST(TcxScan, StringsJoinAcrossLines) {
    Unit u("\"ab\"\n   \"cd\" x");
    EXPECT_EQ(u.tu.scan.tok, Tok::String);
    EXPECT_EQ(u.tu.scan.str, "abcd");
    scan_token(u.tu);
    EXPECT_EQ(u.tu.scan.tok, Tok::Ident);
    EXPECT_EQ(u.tu.scan.tok_line, 2);
    Unit z("\"a\\0b\"");
    EXPECT_EQ(z.tu.scan.str, std::string("a\0b", 3));
    Compiled open = compile("char *p = \"abc\n;\n");
    EXPECT_NE(open.err.find("(1) Error: Unterminated string constant"), std::string::npos);
}

TEST(TcxScan, CommentsDoNotNestAndMayNotEnd) {
    EXPECT_EQ(tokens("a /* b /* c */ d */"), (std::vector<int>{50, 50, 48, 7}));
    EXPECT_EQ(tokens("a/*/b*/c"), (std::vector<int>{50, 50}));
    Compiled c = compile("int x;\n/* never\nends\n");
    EXPECT_EQ(c.err, "\"/src/t.c\" (2) Error: Unexpected end of file in comment started at line 2\n");
    EXPECT_EQ(c.rc, 1);
    // A high-bit byte inside a comment is not reported.
    EXPECT_EQ(compile("/* \xE9 */ int y;\n").err, "");
}

TEST(TcxScan, IllegalCharacters) {
    EXPECT_EQ(compile("int a; @\n").err, "\"/src/t.c\" (1) Error: Illegal character '@'\n");
    EXPECT_EQ(compile("int a;\n\f int b;\n").err, "\"/src/t.c\" (2) Error: Illegal character '0x0C'\n");
    EXPECT_EQ(compile("int a;\r\nint b;\r\n").err, "");
}

TEST(TcxScan, LineDirectivesRenameAndRenumber) {
    Compiled c = compile_files({{"t.c", "# 10 \"./x.c\"\n@\n"}, {"/src/./x.c", "l1\n"}, {"/src/x.c", "l1\n"}},
                               {"t.c"});
    EXPECT_EQ(c.err, "\"/src/x.c\" (10) Error: Illegal character '@'\n");
    EXPECT_NE(c.out.find("\tFILE\t\"/src/x.c\"\n"), std::string::npos);
    Compiled plain = compile("#line 7\n@\n");
    EXPECT_EQ(plain.err, "\"/src/t.c\" (7) Error: Illegal character '@'\n");
    Compiled gone = compile("# 3 \"nowhere.c\"\nint x;\n");
    EXPECT_EQ(gone.rc, 2);
    EXPECT_NE(gone.err.find("Can't open input file '/src/nowhere.c'"), std::string::npos);
    Compiled unknown = compile("#define X 1\n@\n");
    EXPECT_EQ(unknown.err,
              "\"/src/t.c\" (1) Error: Unknown '#'-directive\n"
              "\"/src/t.c\" (2) Error: Illegal character '@'\n");
}

TEST(TcxScan, SegmentPragmas) {
    Compiled far = compile("#pragma CODE_SEG far\nint x;\n", {"-w1"});
    EXPECT_EQ(far.err, "\"/src/t.c\" (1) Warning: 'near' or 'far' segment names are not allowed, pragma ignored\n");
    Compiled foo = compile("#pragma FOO bar\n", {"-w1"});
    EXPECT_EQ(foo.err, "\"/src/t.c\" (1) Warning: unrecognised #pragma ignored\n");
    Compiled empty = compile("#pragma BSS\n", {"-w1"});
    EXPECT_EQ(empty.err, "\"/src/t.c\" (1) Warning: illegal segment name, pragma ignored\n");
    Compiled data = compile("#pragma DATA_SEG mydata\nint y = 1;\n#pragma data_seg Default\nint z = 2;\n");
    EXPECT_NE(data.out.find("\tSEGMENT\tmydata\n_y:"), std::string::npos);
    EXPECT_NE(data.out.find("\tSEGMENT\tdata\n_z:"), std::string::npos);
    std::string longname(300, 'n');
    Compiled capped = compile("#pragma BSS " + longname + "\nint q;\n");
    EXPECT_NE(capped.out.find("\tSEGMENT\t" + std::string(127, 'n') + "\n"), std::string::npos);
}

// A pragma on the lines right behind a function body is at file scope: it
// names the segment of what follows, not of the function before it.
TEST(TcxScan, SegmentPragmaBehindFunctionBody) {
    Compiled c = compile("#pragma CODE_SEG one\nint f(void) { return 1; }\n#pragma CODE_SEG two\nint g(void) { return 2; }\n"
                         "\n#pragma DATA_SEG mine\nint d = 3;\nvoid h(void) { }\n#pragma code_seg default\nint k(void) { return 4; }\n");
    EXPECT_EQ(c.rc, 0);
    EXPECT_EQ(c.err, "");
    EXPECT_NE(c.out.find("\tSEGMENT\tone\n\tEXPORT\t_f"), std::string::npos);
    EXPECT_NE(c.out.find("\tSEGMENT\ttwo\n\tEXPORT\t_g"), std::string::npos);
    EXPECT_NE(c.out.find("\tSEGMENT\tmine\n_d:"), std::string::npos);
    EXPECT_NE(c.out.find("\tSEGMENT\ttwo\n\tEXPORT\t_h"), std::string::npos);
    EXPECT_NE(c.out.find("\tSEGMENT\ttext\n\tEXPORT\t_k"), std::string::npos);
    Compiled inside = compile("int f(void) {\n#pragma CODE_SEG x\n return 1; }\n");
    EXPECT_EQ(inside.err, "\"/src/t.c\" (2) Error: Unknown '#'-directive\n");
}

// The name of the last SEGMENT line before `label` in the output.
std::string segment_of(const std::string& out, const std::string& label) {
    size_t at = out.find("\n" + label);
    if (at == std::string::npos) return "(no " + label + ")";
    size_t seg = out.rfind("\tSEGMENT\t", at);
    if (seg == std::string::npos) return "(none)";
    seg += 9;
    return out.substr(seg, out.find('\n', seg) - seg);
}

// Storage written only at the end of the unit (tentative definitions) and
// literals written only at the next function still go to the segment that
// was in force where they stood.
TEST(TcxScan, SegmentPragmasPlaceWhatFollowsThem) {
    Compiled c = compile("int before;\n#pragma BSS mybss\nint in1;\nstatic int in2;\nchar *early = \"hello\";\n"
                         "extern int later;\nint twice;\n#pragma CONST_SEG strs\n"
                         "int f(void) { static int sb; return sb + in2 + *\"inner\"; }\n"
                         "char *late = \"world\";\n#pragma CONST_SEG default\n#pragma bss default\n"
                         "int after;\nint twice;\nint later;\n#pragma STRING_SEG sseg\nint s1;\n"
                         "#pragma string_section other\nchar s2[3];\nint init = 4;\n");
    EXPECT_EQ(c.err, "");
    const std::pair<const char*, const char*> want[] = {
        {"_before:", "bss"}, {"_in1:", "mybss"}, {"_1:", "mybss"}, {"_twice:", "mybss"}, {"_4:", "mybss"},
        {"_after:", "bss"},  {"_later:", "bss"}, {"_s1:", "sseg"},  {"_s2:", "other"},    {"_init:", "data"},
        {"_2:", "rodata"},   {"_5:", "strs"},    {"_7:", "strs"}};
    for (const auto& [label, segment] : want) EXPECT_EQ(segment_of(c.out, label), segment) << label << "\n" << c.out;
    // a run of objects in one segment writes its SEGMENT line once
    EXPECT_TRUE(has(c.out, "\tSEGMENT\tmybss\n_in1:\tRMB\t$2\n\tEXPORT\t_in1\t[r,2]\n_1:\tRMB\t$2\n")) << c.out;
}

TEST(TcxScan, LongLinesStayOneLine) {
    std::string name(5000, 'v');
    Compiled c = compile("int " + name + ";\n@\n");
    EXPECT_EQ(c.err, "\"/src/t.c\" (2) Error: Illegal character '@'\n");
    // Assembler names keep 127 characters.
    EXPECT_NE(c.out.find("\n_" + std::string(126, 'v') + ":\tRMB\t$2\n"), std::string::npos);
}

}  // namespace
}  // namespace zun::tcx::test
