// Driver behaviour seen from outside: options, message lines, repeat rules,
// the error limit and exit codes.
#include "harness.h"

#include "compiler/codegen.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

TEST(TcxOptions, PrefixMatchingInTableOrder) {
    Options o = parse_options({"-Opt", "-gx", "-Ordcx", "-dumpy", "-w2", "in.c", "-w5", "x"});
    EXPECT_TRUE(o.peephole);
    EXPECT_FALSE(o.sp);
    EXPECT_TRUE(o.debug);
    EXPECT_TRUE(o.dead_code);
    EXPECT_TRUE(o.dump);
    EXPECT_EQ(o.warning_level, 2);
    // Once a file name is seen, everything after it is a file argument.
    EXPECT_EQ(o.files, (std::vector<std::string>{"in.c", "-w5", "x"}));
    EXPECT_TRUE(o.unknown_options.empty());

    Options all = parse_options({"-Oxyz"});
    EXPECT_TRUE(all.peephole && all.sp && all.dead_code && all.code_motion && all.reg_alloc);
    Options bare = parse_options({"-O"});
    EXPECT_TRUE(bare.peephole && bare.reg_alloc);
}

TEST(TcxOptions, WarningLevelDigits) {
    Options seven = parse_options({"-w2", "-w7"});
    EXPECT_EQ(seven.warning_level, 4);
    EXPECT_EQ(seven.option_messages, "Unknown option '-w7', ignored\n");
    Options none = parse_options({"-w1", "-w"});
    EXPECT_EQ(none.warning_level, 1);
    EXPECT_TRUE(none.unknown_options.empty());
    Options odd = parse_options({"-x", "-Q"});
    EXPECT_EQ(odd.option_messages, "Unknown option '-x', ignored\nUnknown option '-Q', ignored\n");
}

TEST(TcxDriver, FileArgumentsAndExitCodes) {
    Compiled three = compile_files({}, {"a", "b", "c"});
    EXPECT_EQ(three.rc, 2);
    // A message about the command line concerns no file and names none.
    EXPECT_EQ(three.err, "Error: Too many parameters supplied\n");
    EXPECT_EQ(three.out, "");

    // An input that cannot be read is the file the message names.
    Compiled missing = compile_files({}, {"nothere.c"});
    EXPECT_EQ(missing.rc, 2);
    EXPECT_EQ(missing.err, "\"/src/nothere.c\" (0) Error: Can't open input file 'nothere.c'\n");
    missing = compile_files({}, {"../in/x.c", "out.s"});
    EXPECT_EQ(missing.err, "\"/in/x.c\" (0) Error: Can't open input file '../in/x.c'\n");

    // Without an input file the usage, and no assembler text; options alone
    // are no input either.
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"-O", "-g"}}) {
        Compiled none = compile_files({}, args);
        EXPECT_EQ(none.rc, 2);
        EXPECT_EQ(none.out, "Usage: tcx09 [ options ] input [ output ]\n");
        EXPECT_EQ(none.err, "");
    }
    Compiled unknown = compile_files({}, {"-x"});
    EXPECT_EQ(unknown.rc, 2);
    EXPECT_EQ(unknown.err, "Unknown option '-x', ignored\n");

    Compiled bad_out = compile_files({{"t.c", "int x;\n"}}, {"t.c", "/no/such/dir/t.s"});
    EXPECT_EQ(bad_out.rc, 2);
    EXPECT_EQ(bad_out.err, "\"/src/t.c\" (0) Error: Can't open output file '/no/such/dir/t.s'\n");
}

TEST(TcxDriver, HeaderNamesOptions) {
    EXPECT_EQ(compile("").out,
              "; TCX09 - KVT Cross C compiler (V 4.0)\n"
              "; optimization: None\n"
              "* Compiler Default segment names\n"
              "\tSEGMENT\ttext\n\tSEGMENT\tbss\n\tSEGMENT\tdata\n\tSEGMENT\trodata\n");
    std::string opt = compile("", {"-g", "-Osp", "-Op"}).out;
    EXPECT_EQ(opt.substr(0, opt.find("*")),
              "; TCX09 - KVT Cross C compiler (V 4.0)\n"
              "; -g option (symbolic debug information) supplied\n"
              "; optimization: -Op -Osp\n");
}

TEST(TcxDriver, ErrorLimitEndsTheRunAt100) {
    std::string src;
    for (int i = 0; i < 150; ++i) src += "@\n";
    Compiled c = compile(src);
    EXPECT_EQ(c.rc, 100);
    EXPECT_EQ(count(c.err, ") Error: Illegal character '@'"), 100);
    EXPECT_NE(c.err.find("\"/src/t.c\" (100) Error: \n\nProgram terminated due to maximum error count\n"),
              std::string::npos);
    EXPECT_EQ(c.err.find("(101)"), std::string::npos);
}

TEST(TcxDriver, HighBitCharactersCountOneEachAtTheirLine) {
    std::string src;
    for (int i = 0; i < 120; ++i) src += "\xA9";
    src += "\n";
    Compiled c = compile(src);
    EXPECT_EQ(c.rc, 100);
    EXPECT_NE(c.err.find("\"/src/t.c\" (1) Error: Illegal character '0xA9'\n"), std::string::npos);
}

TEST(TcxDriver, RepeatRulesPerLine) {
    // Two '@' on one line: the second report of error 25 on that line is a repeat.
    Compiled same = compile("@ @\nint x;\n");
    EXPECT_EQ(same.err, "\"/src/t.c\" (1) Error: Illegal character '@'\n");
    EXPECT_EQ(same.rc, 1);
    // Different errors on one line through the plain report are both printed,
    // the same number twice only once.
    Compiled two = compile("enum { X = 40000, Y = 40001 }; char c[2] = {1, 2, 3};\n");
    EXPECT_EQ(two.err,
              "\"/src/t.c\" (1) Error: Enum out of range\n"
              "\"/src/t.c\" (1) Error: Too many initializers\n");
    EXPECT_EQ(two.rc, 2);
}

TEST(TcxDriver, WarningsOnlyExitZeroAndLevelsFilter) {
    const char* src = "int a[4] = {1};\nstatic int unused;\n";
    Compiled w4 = compile(src);
    EXPECT_EQ(w4.rc, 0);
    EXPECT_EQ(w4.err,
              "\"/src/t.c\" (1) Warning: Incomplete initialization\n"
              "\"/src/t.c\" (2) Warning: Variable 'unused' not used\n");
    // Level 0 keeps only warnings reported at an explicit line.
    Compiled w0 = compile(src, {"-w0"});
    EXPECT_EQ(w0.err, "\"/src/t.c\" (2) Warning: Variable 'unused' not used\n");
    // Warning 82 shows only at level 6.
    EXPECT_EQ(compile("char c = (char)300;\n").err, "");
    EXPECT_EQ(compile("char c = (char)300;\n", {"-w6"}).err, "\"/src/t.c\" (1) Warning: Cast may have changed constant\n");
    EXPECT_EQ(compile("char c = (char)65;\n", {"-w6"}).err, "");
}

TEST(TcxDriver, LimitsAndUnknownTypesAreErrors) {
    // A literal beyond 1024 bytes cannot be written: the limit is named at its line.
    Compiled c = compile("int i;\nchar *p = \"" + std::string(1100, 'x') + "\";\n");
    EXPECT_EQ(c.rc, 1);
    EXPECT_EQ(c.err, "\"/src/t.c\" (2) Error: String literal longer than the limit of 1024 bytes\n");
    EXPECT_EQ(c.out.find("Internal Error"), std::string::npos);
    // "long long" is not a type here: the second long is reported.
    EXPECT_EQ(compile("long long big;\n").err, "\"/src/t.c\" (1) Error: Unexpected symbol 'long' found\n");
}

TEST(TcxDriver, LongLongNeverReachesStorageOrCode) {
    // Wherever "long long" is written, the second long is refused, so no
    // object of an 8-byte integer type is ever laid out or computed.
    const char* const sources[] = {
        "long long big;\n",
        "unsigned long long big = 1;\n",
        "int f(void) { long long x; x = 5; return (int)x; }\n",
        "int n = sizeof(long long);\n",
        "int v = (int)(long long)3;\n",
        "struct q { long long m; } z;\n",
        "typedef unsigned long long U; U u;\n",
        "void f(long long a) { }\n",
        "long f(void) { return (long long)7; }\n",
    };
    for (const char* src : sources) {
        Compiled c = compile(src);
        EXPECT_NE(c.err.find("\"/src/t.c\" (1) Error: Unexpected symbol 'long' found\n"), std::string::npos)
            << src << c.err;
        EXPECT_NE(c.rc, 0) << src;
        EXPECT_EQ(c.out.find("RMB\t$8"), std::string::npos) << src << c.out;
        EXPECT_EQ(c.out.find("_f:"), std::string::npos) << src << c.out;
    }
}

TEST(TcxDriver, ManyRunsInOneProcessStayApart) {
    for (int i = 0; i < 3; ++i) {
        Compiled c = compile("static int s = 1;\nint g = 2;\n");
        EXPECT_NE(c.out.find("_1:\t\tFDB\t$1\n"), std::string::npos) << i;
        EXPECT_EQ(c.rc, 0);
    }
}

// The records a unit of n small functions keeps once it is compiled:
// trees, then symbols.
std::pair<size_t, size_t> records_kept(int functions) {
    std::string source = "struct P { int x; };\nint g;\n";
    for (int i = 0; i < functions; ++i) {
        std::string n = std::to_string(i);
        source += "int f" + n + "(int a) {\n  struct P p; int k; static int s;\n  if (!a) goto out;\n" +
                  "  for (k = 0; k < a; k++) p.x += g * k + \"" + n + "\"[k];\n" +
                  "out:\n  s = p.x;\n  return s + (a ? g : " + n + ");\n}\n";
    }
    Unit u(source);
    translation_unit(u.tu);
    EXPECT_EQ(u.tu.err, "");
    EXPECT_NE(u.tu.out.text.find("_f" + std::to_string(functions - 1) + ":"), std::string::npos);
    return {u.tu.nodes.size(), u.tu.symbols.size()};
}

TEST(TcxDriver, FinishedFunctionsLeaveOnlyWhatLaterOnesNeed) {
    auto [nodes, symbols] = records_kept(1);
    auto [nodes_more, symbols_more] = records_kept(101);
    // No tree of a body stays; of the symbols only each function's own, its
    // parameter's (part of its type) and its static object's.
    EXPECT_EQ(nodes_more, nodes);
    EXPECT_EQ(symbols_more - symbols, 100u * 3);
}

// An entry the code generator could not handle leaves its trace in the
// text, and the run fails with an error at the statement's line, once,
// however often the peephole passes render the entry to measure it.
TEST(TcxDriver, CodeGeneratorFaultsAreErrors) {
    Unit u("int g;\n");
    CodeGen cg(u.tu);
    cg.stmt_pos.start = {3, 4};
    Insn* e = emit_fault(cg, 4002, nullptr, 2);
    EXPECT_TRUE(has(render_entry(cg, e, 0), "-- OP_ERROR"));
    EXPECT_EQ(u.tu.errors, 0);
    EXPECT_EQ(u.tu.err, "");
    put_op(cg, e);
    EXPECT_TRUE(has(u.tu.out.text, "-- OP_ERROR\n; 'g_deref'"));
    EXPECT_EQ(u.tu.errors, 1);
    EXPECT_EQ(u.tu.err, "\"/src/t.c\" (3) Error: Internal Error (CI 4002) before line 3\n");
    // an entry the optimiser removed shows with -dump only, as a comment
    e->live = false;
    put_op(cg, e);
    EXPECT_EQ(u.tu.errors, 1);
    // entries the printer cannot spell keep their text and fail the run too
    cg.stmt_pos.start = {5, 1};
    Insn* clr = emit(cg, OP_CLR, 2);
    Insn* lea = emit(cg, OP_LEA, R_U, new_operand(cg, M_TOS));
    Insn* add = emit(cg, OP_ADD, 2, new_operand(cg, M_SOFTREG));
    for (Insn* bad : {clr, lea, add}) put_op(cg, bad);
    EXPECT_TRUE(has(u.tu.out.text, "-CGERR op_clr\nINVALID LEA TOS\nput_amode, not handled"));
    EXPECT_EQ(u.tu.errors, 4);
    EXPECT_TRUE(has(u.tu.err, "\"/src/t.c\" (5) Error: Internal Error (CI 4020) before line 5\n"));
    add->live = false;
    put_op(cg, add);
    EXPECT_EQ(u.tu.errors, 4);
}

TEST(TcxDriver, CanonicalNamesInMessages) {
    Unit u("");
    EXPECT_EQ(canon_name(u.tu, "a\\b\\..\\c.c"), "/src/a/c.c");
    EXPECT_EQ(canon_name(u.tu, "/abs//x/./y.c"), "/abs/x/y.c");
    EXPECT_EQ(canon_name(u.tu, "C:\\w\\z.c"), "C:/w/z.c");
    EXPECT_EQ(canon_quoted_name(u.tu, "\"./q.c\""), "\"/src/q.c\"");
}

}  // namespace
}  // namespace zun::tcx::test
