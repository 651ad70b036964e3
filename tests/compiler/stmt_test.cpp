// Every message of the expression, statement and function-definition
// parsers, each from a small source, with its exact line.
#include "harness.h"
#include "codegen/program_tools.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

struct MessageCase {
    const char* source;
    const char* line;  // one line of standard error, without the file part
};

// Sources are function bodies unless they start with '#'; then the text
// after '#' is the whole file.
const MessageCase message_cases[] = {
    {"#int f(int, long);\nint f(a, b) int a; int b; { return a + b; }",
     "(1) Error: Function declaration differs from prototype"},
    {"register int r; int *rp = &r;", "(8) Error: Illegal operator on register variable 'r'"},
    {"typedef int T1; g1 = T1;", "(8) Error: Illegal storage class"},
    {"#int b[1.0 ^ 2.0];", "(1) Warning: Illegal constant operation  FLOAT"},
    {"h1(g1);", "(8) Warning: Cast may have lost accuracy"},
    {"int inner(void) { return 1; }", "(8) Error: Cannot nest function definition 'inner()'"},
    {"#float fl = ;", "(1) Error: Illegal floating-point constant"},
    {"g1 = g1 +;",
     "(8) Error: Identifier expected"},
    {"g1 = sv + 1;",
     "(8) Error: Illegal operation for struct/union"},
    {"g1 = g1 | 1.5;",
     "(8) Error: Integer-valued type expected"},
    {"g1 = g1 << -1;",
     "(8) Warning: shift count is negated"},
    {"5 = g1;",
     "(8) Error: Lvalue required"},
    {"g1 = body();",
     "(8) Error: Void is illegal with all types"},
    {"#struct T; struct T *p; void f(void) { p++; }",
     "(1) Error: Unknown type/operand size"},
    {"ci++;",
     "(8) Error: l-value is declared constant"},
    {"g1 = -u1;",
     "(8) Warning: Unary minus operator applied to unsigned type"},
    {"g1 = -&g1;",
     "(8) Error: Type mismatch"},
    {"g1 = &sv.b;",
     "(8) Error: Illegal operator on bitfields"},
    {"fp = &body;",
     "(8) Warning: & operator on function ignored"},
    {"g1 = *&arr;",
     "(8) Warning: & operator on array ignored"},
    {"g1 = *g1;",
     "(8) Error: Illegal pointer reference"},
    {"g1 = sizeof(body);",
     "(8) Error: Illegal 'sizeof' operation"},
    {"#struct E {}; int n = sizeof(struct E);",
     "(1) Warning: 'sizeof' value is zero"},
    {"#struct B { char a[40000]; char b[40000]; };\nunsigned n = sizeof(struct B);",
     "(2) Warning: 'sizeof' value is greater than '65535'"},
    {"char *cp = &g1;",
     "(8) Warning: Conversion between incompatible pointer types"},
    {"char *cp = g1;",
     "(8) Warning: Conversion between incompatible types"},
    {"g1 = (struct S)g1;",
     "(8) Error: Illegal cast operation"},
    {"g1 = (int)(struct S *)-;",
     "(8) Error: Illegal cast"},
    {"g1 = (char)300;",
     "(8) Warning: Cast may have changed constant"},
    {"g1 = (struct S)5;",
     "(8) Error: Illegal cast on constant"},
    {"char c = g1;",
     "(8) Warning: Cast may have lost accuracy"},
    {"char c; char *cp = (char *)c;",
     "(8) Warning: Cast from short to pointer"},
    {"g1 = nosuch;",
     "(8) Error: Undefined identifier 'nosuch'"},
    {"nosuch(1);",
     "(8) Warning: Function 'nosuch' implicitly declared 'int'"},
    {"g1 = sv.zz;",
     "(8) Error: struct/union member expected"},
    {"g1 = g1->m;",
     "(8) Error: Pointer type expected"},
    {"g1 = g1(1);",
     "(8) Error: Function type expected"},
    {"h1(body());",
     "(8) Error: Void parameter to function h1"},
    {"f2(1);",
     "(8) Error: Inconsistent parameter count in function f2"},
    {"f2(1, 2, 3);",
     "(8) Error: Inconsistent parameter count in function f2"},
    {"f2(&g1, 2);",
     "(8) Warning: Type mismatch in parameter 1 to function 'f2'"},
    {"f2(1L, 2);",
     "(8) Error: Wrong size for parameter 1 of function f2"},
    {"#int g; int a[g];",
     "(1) Error: Constant expression expected"},
    {"#int a[];\nint b[;];",
     "(2) Error: Illegal constant integer expression"},
    {"#int g; float f = g;",
     "(1) Error: Floating point constant expected"},
    {"#int f(a) { }",
     "(1) Warning: Argument 'a' implicitly declared 'int'"},
    {"#int f(a) int b; { return 0; }",
     "(1) Error: Argument 'b' missing"},
    {"#int f(a) int a; ;",
     "(1) Error: Function body expected"},
    {"goto nowhere;",
     "(8) Error: Undefined label 'nowhere'"},
    {"#int f(int a) { return 0; }",
     "(1) Warning: Parameter 'a' not used"},
    {"#void f(void) {\n int x;\n}",
     "(2) Warning: Variable 'x' not used"},
    {"#static void s(void) { }",
     "(1) Warning: Function 's' not used"},
    {"#int f(void) { }",
     "(1) Warning: Function 'f' should return a value"},
    {"L: L: ;",
     "(8) Error: Duplicate label 'L'"},
    {"break;",
     "(8) Error: Break must be used within loop"},
    {"continue;",
     "(8) Error: Can't use continue here"},
    {"if (g1) ;",
     "(8) Warning: Empty statment"},
    {"do g1++; (g1);",
     "(8) Error: 'while' expected in do-loop"},
    {"case 1: ;",
     "(8) Error: Case must be used within switch"},
    {"default: ;",
     "(8) Error: Case must be used within switch"},
    {"if (g1 = 2) g1++;",
     "(8) Warning: Possibly incorrect assignment"},
    {"while (1) g1++;",
     "(8) Warning: Condition is always true"},
    {"while (0) g1++;",
     "(8) Warning: Condition is always false"},
    {"f2(1, 2);",
     "(8) Warning: Return value from 'f2' discarded"},
    {"(*pf)();",
     "(8) Warning: Return value is discarded"},
    {"g1 = ;",
     "(8) Error: Expression expected"},
    {"return 1;",
     "(8) Error: Void function cannot return value"},
    {"#void v(void); int f(void) { return v(); }",
     "(1) Error: return expression of type void"},
    {"#int f(void) { return; }",
     "(1) Warning: No value specified in 'return' statement"},
    {"switch (g1) { default: ; default: ; }",
     "(8) Error: Duplicate 'default'"},
    {"switch (g1) { case 1: case 1: ; }",
     "(8) Error: Duplicate case '1'"},
    {"__asm(\"x\", 1, 2, 3, 4, 5, 6);",
     "(8) Error: 'asm'-parameter mismatch"},
    {"__asm(\"x\", g1 + 1);",
     "(8) Error: 'asm'-parameter mismatch"},
    {"__asm(\"x\", 1 2);",
     "(8) Error: ',' expected"},
    {"int k = ;",
     "(8) Error: Illegal initialization"},
    {"g1 = 1 / 0;",
     "(8) Warning: Division by zero constant"},
    {"g1 = 1.5 % 2.0;",
     "(8) Error: Integer-valued type expected"},
    {"int g1; g1 = 0;",
     "(8) Warning: Redefinition of 'g1' hides earlier declaration"},
    {"{ int x; }\n{ int x; int x; x = 1; }",
     "(9) Error: Illegal redeclaration of 'x'"},
};

std::string wrap(const std::string& s) {
    if (!s.empty() && s[0] == '#') return s.substr(1);
    return "int g1; int arr[4]; unsigned u1; long l1; struct S { int m; int b : 3; } sv;\n"
           "int f2(int a, int b);\nint h1(char c);\nconst int ci = 1;\nint fp(); int (*pf)(void);\n"
           "void body(void)\n{\n" + s + "\n}\n";
}

class TcxMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(TcxMessages, AppearsWithItsLine) {
    const MessageCase& c = GetParam();
    Compiled r = compile(wrap(c.source), {"-w6"});
    std::string want = std::string("\"/src/t.c\" ") + c.line + "\n";
    EXPECT_NE(r.err.find(want), std::string::npos) << c.source << "\n" << r.err;
}

INSTANTIATE_TEST_SUITE_P(Parser, TcxMessages, ::testing::ValuesIn(message_cases));

// Operators that need integers refuse floating operands on either side,
// compound forms included, and nothing of the function is generated.
TEST(TcxOperands, FloatOperandsOfIntegerOperatorsAreRefused) {
    const char* const exprs[] = {
        "i = f % 2",  "i = 2 % d",  "i = i & f",  "i = d | 1",  "i = f ^ i",  "l = f << 1", "i = i >> d",
        "f %= 2",     "i %= f",     "l %= d",     "f &= 3",     "d |= i",     "f ^= l",     "f <<= 1",
        "i >>= f",    "d >>= 1",    "l <<= f",    "i = ~f",     "i = ~d",     "i = 1.5 & 3"};
    for (const char* e : exprs) {
        Compiled r = compile(std::string("float f; double d; int i; long l;\nvoid g(void)\n{\n") + e + ";\n}\n");
        EXPECT_NE(r.err.find("\"/src/t.c\" (4) Error: Integer-valued type expected\n"), std::string::npos)
            << e << "\n" << r.err;
        EXPECT_NE(r.rc, 0) << e;
        EXPECT_EQ(r.out.find("_g:"), std::string::npos) << e << "\n" << r.out;
        EXPECT_EQ(r.out.find("Internal Error"), std::string::npos) << e << "\n" << r.out;
    }
    // Initialisers, arguments, members, elements and constant expressions alike.
    const char* const sources[] = {
        "void g(void) { float f = 1; int i = f % 2; }",
        "int s = 1.5 & 3;",
        "float f; int h(int); void g(void) { h(f | 1); }",
        "struct S { float x; } s; void g(void) { s.x %= 2; }",
        "float fa[2]; void g(void) { fa[1] <<= 1; }",
        "void g(int k) { switch (k) { case 7 & 2.0: ; } }",
    };
    for (const char* src : sources) {
        Compiled r = compile(src);
        EXPECT_NE(r.err.find("\"/src/t.c\" (1) Error: Integer-valued type expected\n"), std::string::npos)
            << src << "\n" << r.err;
        EXPECT_EQ(r.out.find("_g:"), std::string::npos) << src << "\n" << r.out;
    }
}

TEST(TcxQuietCases, EdgeCasesThatMustNotWarn) {
    const char* decls = "const int cx = 1; int y; int f2(int a, int b);\n";
    auto body = [&](const std::string& s) {
        return compile(std::string(decls) + "void t(void)\n{\n" + s + "\n}\n", {"-w6"}).err;
    };
    EXPECT_FALSE(has(body("y = -5u;"), "Unary minus"));
    EXPECT_FALSE(has(body("y = (char)65;"), "changed constant"));
    EXPECT_FALSE(has(body("y = sizeof(char[300]);"), "sizeof"));
    EXPECT_FALSE(has(body("y = cx + 1;"), "declared constant"));
    EXPECT_EQ(body("y = f2(1, 2,);"), "");
    std::string twice = body("y = g(1); y = g(2);");
    EXPECT_EQ(twice, "\"/src/t.c\" (4) Warning: Function 'g' implicitly declared 'int'\n");
}

TEST(TcxQuietCases, KeptQuirksOfNameLookup) {
    // Blanks and newlines before '(' still make a call of an unknown name; a comment does not.
    EXPECT_EQ(compile("int g1;\nvoid t(void)\n{\n    g1 = nosuch\n\t (1);\n    g1 = other/* c */(1);\n}\n",
                      {"-w6"}).err,
              "\"/src/t.c\" (4) Warning: Function 'nosuch' implicitly declared 'int'\n"
              "\"/src/t.c\" (6) Error: Undefined identifier 'other'\n"
              "\"/src/t.c\" (6) Error: Expression expected\n");
    // An extern declared in a block stays visible after the block.
    Compiled c = compile("void f(void) { extern int e; e = 1; }\nint g(void) { return e; }\n", {"-w6"});
    EXPECT_EQ(c.err, "");
    EXPECT_NE(c.out.find("\tLDD\t_e\n"), std::string::npos) << c.out;
}

// A write of a const object is refused wherever it stands in the
// expression, by every assignment operator and by ++ and -- of both forms.
TEST(TcxConst, WritesOfConstantsAreRefusedInsideLargerExpressions) {
    const char* decls = "const int cx = 1; const int ca[3] = {1, 2, 3}; struct T { const int a; int b; } s = {1, 2};\n"
                        "int y; int h(int v);\nvoid t(void)\n{\n";
    for (const char* bad : {"y = cx++;", "y = cx++ + 1;", "y = 2 * cx++;", "y += ca[1]-- + 0;", "y = 2 + --s.a;",
                            "y = 2 * ++cx;", "y = (cx = 3) + 1;", "y = h(cx--);", "if (ca[0]++) y = 1;",
                            "y = y ? 1 : -s.a++;", "cx *= 2;", "y = (cx |= 1);", "ca[1] <<= 1;", "s.a /= 2;",
                            "y = (s.a %= 2) + 1;", "y = 1, cx ^= 1;", "y = (int)(cx += 1);"}) {
        Compiled c = compile(std::string(decls) + bad + "\n}\n");
        EXPECT_EQ(c.err, "\"/src/t.c\" (5) Error: l-value is declared constant\n") << bad;
        EXPECT_NE(c.rc, 0) << bad;
        EXPECT_FALSE(has(c.out, "_t:")) << bad << "\n" << c.out;
    }
}

// A cast yields a value: its qualifiers do not make its operand constant,
// and the value is no object to assign to; nor is a member of a structure
// that is only a value.
TEST(TcxConst, QualifiedCastsOfWritesAreValues) {
    const char* decls = "int x; long y; int r; unsigned char c; int *p; const int cx = 4;\n"
                        "struct S { int m; int n; } s1, s2, *ps = &s1; struct S get(void);\nvoid t(void)\n{\n";
    for (const char* ok : {"r = (const int)(x = 5);", "y = (const long)(y = 70000L);", "r = (const int)(x += 2);",
                           "r = (const int)x++;", "r = (volatile int)(x = 3);", "r = (const volatile char)--c;",
                           "p = (int * const)(p = &x);", "r = (const int)(cx + 1);", "(const void)(x = 1);",
                           "r = get().m + (s1 = s2).n;", "ps->m = 1;", "(*ps).n++;", "r = ++(&s1)->m;"}) {
        Compiled c = compile(std::string(decls) + ok + "\n}\n");
        EXPECT_EQ(c.err, "") << ok;
        EXPECT_EQ(c.rc, 0) << ok;
    }
    for (const char* bad : {"(int)x = 5;", "(const int)x = 5;", "(long)y += 1;", "((char)c)++;", "--(int)x;",
                            "r = &(int)x != 0;", "get().m = 1;", "(s1 = s2).m = 5;", "get().n++;",
                            "r = --(s1 = s2).m;"}) {
        Compiled c = compile(std::string(decls) + bad + "\n}\n");
        EXPECT_EQ(c.err, "\"/src/t.c\" (5) Error: Lvalue required\n") << bad;
    }
}

// Assigning a whole structure or union writes each member: one with a const
// member at any depth is no modifiable object.
TEST(TcxConst, AggregatesWithConstMembersAreNotAssigned) {
    const char* decls =
        "struct S { const int a; int b; } s1 = {1, 2}, s2 = {3, 4}, arr[2], *ps = &s1;\n"
        "struct U { struct S in; int c; } u1, u2; union N { const int k; long l; } n1, n2;\n"
        "struct A { const char name[4]; int n; } a1, a2; struct P { const int *p; int n; } p1, p2;\n"
        "struct B { const unsigned f : 3; unsigned g : 3; } b; struct D { struct A in[2]; } d1, d2;\n"
        "int y; struct S get(void); void take(struct S v);\nvoid t(void)\n{\n";
    for (const char* bad : {"s1 = s2;", "*ps = s2;", "ps[1] = s1;", "arr[0] = s2;", "u1 = u2;", "u1.in = s1;",
                            "n1 = n2;", "a1 = a2;", "d1 = d2;", "b.f = 1;", "y = (s1 = s2).b;", "s1 = get();"}) {
        Compiled c = compile(std::string(decls) + bad + "\n}\n");
        EXPECT_EQ(c.err, "\"/src/t.c\" (8) Error: l-value is declared constant\n") << bad;
    }
    // Its other members, pointers to const data and initialisation stay allowed.
    for (const char* ok : {"s1.b = 3;", "p1 = p2;", "b.g = 1;", "u1.c = 2;", "n1.l = 5L;", "ps = &s2;",
                           "y = s1.a + ps->a;", "take(s1);", "{ struct S s3 = {5, 6}; y = s3.a; }",
                           "{ static struct S s4 = {7, 8}; y = s4.b; }", "{ struct U u3 = {{1, 2}, 3}; y = u3.c; }"}) {
        Compiled c = compile(std::string(decls) + ok + "\n}\n");
        EXPECT_EQ(c.err, "") << ok;
        EXPECT_EQ(c.rc, 0) << ok;
    }
}

// A label is no nesting: 257 case labels on one statement (C89's minimum
// for a switch), a run of goto labels, and switches nested to the limit of
// 200 compile and run right.
TEST(TcxLabels, RunsOfLabelsAreNoNesting) {
    std::string cases, labels, open, close;
    for (int i = 0; i < 257; ++i) cases += "case " + std::to_string(i * 3) + ": ";
    for (int i = 0; i < 300; ++i) labels += "l" + std::to_string(i) + ": ";
    for (int i = 0; i < 200; ++i) {
        open += "switch (v) { case 1: ";
        close += " }";
    }
    std::string program =
        "void init_io(void);\nvoid expect(int got, int want, int id);\nint finish(void);\n"
        "int dispatch(int v)\n{\n    switch (v) { " + cases + "return 1; default: return 0; }\n}\n"
        "int nested(int v)\n{\n    " + open + "return 7;" + close + "\n    return 0;\n}\n"
        "int jump(int v)\n{\n    if (v) goto l150;\n    v = 10;\n" + labels + "return v + 1;\n}\n"
        "int main(void)\n{\n    init_io();\n"
        "    expect(dispatch(0), 1, 1);\n    expect(dispatch(768), 1, 2);\n    expect(dispatch(769), 0, 3);\n"
        "    expect(dispatch(-3), 0, 4);\n    expect(dispatch(300), 1, 5);\n    expect(dispatch(301), 0, 6);\n"
        "    expect(nested(1), 7, 7);\n    expect(nested(2), 0, 8);\n"
        "    expect(jump(4), 5, 9);\n    expect(jump(0), 11, 10);\n"
        "    return finish();\n}\n";
    Tools tools;
    ASSERT_TRUE(tools.start("tcxlabels")) << tools.error;
    std::ofstream(tools.dir / "prog.c") << program;
    for (const char* opts : {"", "-O", "-g", "-g -O"}) {
        std::string out;
        ASSERT_TRUE(tools.build_and_run(opts, out)) << tools.error;
        EXPECT_EQ(out, "ok\n") << "options '" << opts << "'";
    }
    tools.finish(::testing::Test::HasFailure());
}

// The compiler echoes each source line as a comment: a line longer than
// the assembler reads at once (an initialiser or an expression of 5,000
// characters) still assembles, through cpp as in a build.
TEST(TcxEcho, LongSourceLinesAssemble) {
    std::string table = "int tab[] = {0", sum = "long total(void) { return 0L";
    for (int i = 1; i < 1200; ++i) {
        table += "," + std::to_string(i);
        sum += "+" + std::to_string(i);
    }
    table += ", 12345}; /* \xc3\xa9" + std::string(2000, 'x') + " */\n";
    sum += "; }\n";
    ASSERT_GT(table.size(), 5000u);
    std::string program =
        "void init_io(void);\nvoid expect(int got, int want, int id);\nint finish(void);\n" + table + sum +
        "int main(void)\n{\n    init_io();\n    expect(tab[0] + tab[1199], 1199, 1);\n"
        "    expect(tab[1200], 12345, 2);\n    expect(sizeof tab, 2402, 3);\n"
        "    expect(total() == 719400L, 1, 4);\n    return finish();\n}\n";
    Tools tools;
    ASSERT_TRUE(tools.start("tcxecho")) << tools.error;
    std::ofstream(tools.dir / "long.c") << program;
    ASSERT_TRUE(tools.run("'" + tools.bin.string() + "/cpp' long.c prog.c")) << tools.error;
    for (const char* opts : {"", "-O", "-g"}) {
        std::string out;
        ASSERT_TRUE(tools.build_and_run(opts, out)) << tools.error;
        EXPECT_EQ(out, "ok\n") << "options '" << opts << "'";
    }
    // Each piece of the line is a comment of its own, every byte kept.
    ASSERT_TRUE(tools.run("'" + tools.bin.string() + "/tcx09' prog.c prog.s09")) << tools.error;
    std::string text = read_whole(tools.dir / "prog.s09"), echoed;
    std::istringstream lines(text);
    bool in_table = false;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 4093u);
        if (line.rfind("; ", 0) == 0 && line.find(" | int tab[]") == 7) in_table = true;
        else if (line.rfind(";       | ", 0) != 0) in_table = false;
        if (in_table) echoed += line.substr(10);
    }
    EXPECT_TRUE(echoed + "\n" == table) << echoed.size() << " bytes echoed";
    tools.finish(::testing::Test::HasFailure());
}

// A cast to a pointer to a non-const type makes a modifiable lvalue of a
// const object ('*(int *)&k'): writing the object so is undefined only when
// it runs. The write without such a cast stays refused.
TEST(TcxConst, WritesThroughACastPointerCompile) {
    const char* decls = "const int cx = 1; const long cl = 2; struct T { const int a; int b; } s = {1, 2};\n"
                        "const struct T cs = {3, 4}; int y;\nvoid t(void)\n{\n    const int lk = 5;\n";
    for (const char* ok : {"*(int *)&cx = 5;", "(*(int *)&cx)++;", "--*(int *)&lk;", "*(long *)&cl += 70000L;",
                           "((int *)&cx)[0] = 6;", "y = (*(int *)&s.a = 7) + 1;", "((struct T *)&cs)->b = 8;",
                           "*(char *)&lk |= 1;"}) {
        for (const std::vector<std::string>& opts : {std::vector<std::string>{}, {"-O"}}) {
            Compiled c = compile(std::string(decls) + ok + "\ny = lk;\n}\n", opts);
            EXPECT_EQ(c.err, "") << ok << " " << opts.size();
            EXPECT_EQ(c.rc, 0) << ok;
            EXPECT_FALSE(has(c.out, "Internal Error")) << ok << "\n" << c.out;
        }
    }
    for (const char* bad : {"*(const int *)&cx = 5;", "*&cx = 5;", "lk = 6;", "*(const long *)&cl += 1;",
                            "((const struct T *)&cs)->b = 8;", "(*&s).a = 2;"}) {
        Compiled c = compile(std::string(decls) + bad + "\n}\n");
        EXPECT_EQ(c.err, "\"/src/t.c\" (6) Error: l-value is declared constant\n") << bad;
    }
}

// Unary + gives the operand's promoted value: no object to assign to,
// step or take the address of.
TEST(TcxUnaryPlus, IsAPromotedValue) {
    const char* decls = "int a; char c; long l; float f; int *p; int y;\nvoid t(void)\n{\n";
    for (const char* bad : {"+a = 3;", "(+a)++;", "++(+a);", "(void)&+a;", "+c = 1;", "--+c;", "(+l) += 1;",
                            "+f = 1;", "+p = p;"}) {
        Compiled c = compile(std::string(decls) + bad + "\n}\n");
        EXPECT_EQ(c.err, "\"/src/t.c\" (4) Error: Lvalue required\n") << bad;
        EXPECT_NE(c.rc, 0) << bad;
    }
}

// The forms accepted above compute what C says, plain and optimised.
TEST(TcxConst, AcceptedFormsComputeTheirValues) {
    const char* program =
        "void init_io(void);\nvoid expect(int got, int want, int id);\nint finish(void);\n"
        "struct S { const int a; int b; };\nstruct U { struct S in; int c; };\n"
        "int x; long y; int r; unsigned char c; int *p; signed char sc; float fl;\n"
        "int main(void)\n{\n    const int ck = 7;\n    const long cl = 2;\n"
        "    struct S s = {1, 2};\n    struct U u = {{3, 4}, 5};\n    init_io();\n"
        "    r = (const int)(x = 5);\n    expect(r, 5, 1);\n    expect(x, 5, 2);\n"
        "    y = (const long)(y = 70000L);\n    expect(y == 70000L, 1, 3);\n"
        "    r = (const int)(x += 2);\n    expect(r, 7, 4);\n    expect(x, 7, 5);\n"
        "    r = (const int)x++;\n    expect(r, 7, 6);\n    expect(x, 8, 7);\n"
        "    r = (volatile int)(x = 3);\n    expect(r + x, 6, 8);\n"
        "    c = 200;\n    r = (const volatile char)--c;\n    expect(r, -57, 9);\n    expect(c, 199, 10);\n"
        "    p = (int * const)(p = &x);\n    expect(*p, 3, 11);\n"
        "    y = (volatile long)(y -= 5) + 1;\n    expect(y == 69996L, 1, 12);\n"
        "    s.b = s.a + 10;\n    expect(s.b, 11, 13);\n    expect(u.in.a + u.in.b + u.c, 12, 14);\n"
        "    *(int *)&s.a = 21;\n    expect(*(volatile int *)&s.a, 21, 15);\n"
        "    (*(int *)&ck)++;\n    expect(*(volatile int *)&ck, 8, 16);\n"
        "    ((long *)&cl)[0] += 70000L;\n    expect(*(volatile long *)&cl == 70002L, 1, 17);\n"
        "    c = 200;\n    expect(sizeof(+c), 2, 18);\n    expect(+c + +c, 400, 19);\n"
        "    sc = -3;\n    expect(+sc, -3, 20);\n    expect(sizeof(+sc) + sizeof(+y) + sizeof(+fl), 10, 21);\n"
        "    return finish();\n}\n";
    Tools tools;
    ASSERT_TRUE(tools.start("tcxconst")) << tools.error;
    std::ofstream(tools.dir / "prog.c") << program;
    for (const char* opts : {"", "-O"}) {
        std::string out;
        ASSERT_TRUE(tools.build_and_run(opts, out)) << tools.error;
        EXPECT_EQ(out, "ok\n") << "options '" << opts << "'";
    }
    tools.finish(::testing::Test::HasFailure());
}

TEST(TcxQuietCases, ConstIsJudgedByTheObjectWritten) {
    const char* decls =
        "struct S { int m; unsigned b : 4; };\n"
        "int g; int * const p = &g; const int *q; const int ca[3] = {1, 2, 3};\n"
        "const struct S cs = {1, 2}; const struct S *ps; struct S * const sp = 0;\n";
    auto err = [&](const std::string& stmt) {
        return compile(std::string(decls) + "void t(void)\n{\n" + stmt + "\n}\n").err;
    };
    const std::string refused = "\"/src/t.c\" (6) Error: l-value is declared constant\n";
    // a const pointer to data that is not const: the data is written, the pointer is not
    for (const char* ok : {"*p = 7;", "p[1] = 3;", "*p += 1;", "(*p)++;", "--*p;", "q = &g;", "q++;", "ps = 0;",
                           "sp->m = 2;", "sp->b = 1;", "g = *q;"})
        EXPECT_EQ(err(ok), "") << ok;
    for (const char* bad : {"p = 0;", "p++;", "*q = 1;", "q[2] += 1;", "ca[1] = 2;", "cs.m = 2;", "cs.b = 1;",
                            "ps->m = 2;", "ps->m++;", "sp = 0;"})
        EXPECT_EQ(err(bad), refused) << bad;
    // A member declaration's qualifiers are its own: they pass neither to
    // the next member nor to or from the declaration the structure is in.
    decls = "struct M { const int a; int b; } m; struct N { const int k; } n;\n"
            "const struct C { int a; } c = {1}; struct C d;\n"
            "struct V { volatile int v; int w; } vw; struct V2 { int x; } const cv = {2};\n";
    for (const char* ok : {"m.b = 1;", "d.a = 1;", "vw.w = 2;"})
        EXPECT_EQ(err(ok), "") << ok;
    for (const char* bad : {"m.a = 1;", "n.k = 1;", "c.a = 1;", "cv.x = 1;"})
        EXPECT_EQ(err(bad), refused) << bad;
}

TEST(TcxFunctions, AnErrorStopsCodeForEveryLaterFunction) {
    Compiled c = compile("int first(void) { return nosuch; }\nint later(void) { return 1; }\nint data = 3;\n");
    EXPECT_EQ(c.rc, 2);
    EXPECT_EQ(c.out.find("_first:"), std::string::npos);
    EXPECT_EQ(c.out.find("_later:"), std::string::npos);
    EXPECT_NE(c.out.find("_data:"), std::string::npos);
}

TEST(TcxFunctions, UnusedObjectsAreReportedOnlyWithoutErrors) {
    EXPECT_EQ(compile("void t(int p)\n{\n    int a;\n}\n", {"-w6"}).err,
              "\"/src/t.c\" (1) Warning: Parameter 'p' not used\n"
              "\"/src/t.c\" (3) Warning: Variable 'a' not used\n");
    EXPECT_EQ(compile("void t(int p)\n{\n    int a;\n    nosuch = 1;\n}\n", {"-w6"}).err,
              "\"/src/t.c\" (4) Error: Undefined identifier 'nosuch'\n"
              "\"/src/t.c\" (4) Error: Expression expected\n");
}

TEST(TcxFunctions, EndOfInputInsideABodyExitsOne) {
    Compiled c = compile("void t(void)\n{\n    while (1) {\n");
    EXPECT_EQ(c.rc, 1);
    EXPECT_NE(c.err.find("Unexpected end of file"), std::string::npos);
    // the end reached while error recovery repeats the line's last error
    for (const char* text : {"int f(void) { do x; while", "int f(void) { x; if", "int f(void) { x; while (x"}) {
        c = compile(text);
        EXPECT_EQ(c.rc, 1) << text << "\n" << c.err;
        EXPECT_NE(c.err.find("Error: Unexpected end of file\n"), std::string::npos) << text << "\n" << c.err;
    }
}

// Long operator chains build deep trees: a usual length compiles, an
// absurd one stops with an error instead of exhausting the stack.
TEST(TcxFunctions, LongOperatorChains) {
    auto chain = [](const std::string& head, const std::string& link, int n, const std::string& tail) {
        std::string t = head;
        for (int i = 0; i < n; ++i) t += link;
        return t + tail;
    };
    const std::string node = "struct N { struct N *n; int v; };\n";
    Compiled c = compile(chain("int f(int a) { return a", "+a", 1000, "; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    c = compile(chain("long f(long a) { return a", "&&a", 1000, "; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    c = compile(chain(node + "int f(struct N *p) { return p", "->n", 1000, "->v; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    // Runs of prefixes, of assignments and of conditionals in the last
    // operand are chains too.
    c = compile(chain("int f(int a) { return ", "- ", 1000, "a; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    c = compile(chain("long f(int a) { return ", "(long)(int)", 1000, "a; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    c = compile(chain("int f(int a) { int b; return ", "b = ", 1000, "a; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    c = compile(chain("int f(int a) { return ", "a ? 1 : ", 1000, "a; }\n"));
    EXPECT_EQ(c.rc, 0) << c.err;
    for (const std::string& text : {chain("int f(int a) { return a", "+a", 40000, "; }\n"),
                                    chain("int f(int a) { return a", "&&a", 40000, "; }\n"),
                                    chain(node + "int f(struct N *p) { return p", "->n", 40000, "->v; }\n"),
                                    chain("int f(int a) { return ", "~", 40000, "a; }\n"),
                                    chain("int f(int a) { return ", "(char)(int)", 40000, "a; }\n"),
                                    chain("int f(int a) { int b; return ", "b = ", 40000, "a; }\n"),
                                    chain("int f(int a) { return ", "a ? 1 : ", 40000, "a; }\n")}) {
        c = compile(text);
        EXPECT_NE(c.rc, 0);
        EXPECT_NE(c.err.find("Error: Expression longer than the compiler's limit of 10000 operands\n"),
                  std::string::npos)
            << c.err.substr(0, 300);
    }
}

TEST(TcxFunctions, StringsOfEachFunctionAreWrittenOnce) {
    Compiled c = compile("char *a(void) { return \"same\"; }\nchar *b(void) { return \"same\"; }\n");
    size_t first = c.out.find("FCS\t\"same\"");
    ASSERT_NE(first, std::string::npos) << c.out;
    EXPECT_EQ(c.out.find("FCS\t\"same\"", first + 1), std::string::npos) << c.out;
}

TEST(TcxFunctions, LiteralsEqualToAFunctionNameAreWritten) {
    Compiled c = compile("int puts(char *s);\nvoid main(void) { puts(\"main\"); }\n"
                         "void f(void) { }\nvoid g(void) { puts(\"f\"); puts(__func__); }\n");
    EXPECT_EQ(c.rc, 0) << c.err;
    EXPECT_NE(c.out.find("FCS\t\"main\""), std::string::npos) << c.out;
    EXPECT_NE(c.out.find("FCS\t\"f\""), std::string::npos) << c.out;
    EXPECT_NE(c.out.find("FCS\t\"g\""), std::string::npos) << c.out;
}

TEST(TcxFunctions, AutomaticImagesGoToRodataForArraysAndCodeForStructures) {
    Compiled c = compile("struct p { int x, y; };\nvoid f(void)\n{\n    int a[2] = {1, 2};\n    struct p s = {3, 4};\n"
                         "    a[0] = s.x;\n}\n");
    EXPECT_EQ(c.rc, 0) << c.err;
    // Label 1 is the function's name string.
    size_t ro = c.out.find("\tSEGMENT\trodata\n_2:\n\tFDB\t$1,$2\n");
    size_t code = c.out.find("\tSEGMENT\ttext\n_3:\n\tFDB\t$3,$4\n");
    EXPECT_NE(ro, std::string::npos) << c.out;
    EXPECT_NE(code, std::string::npos) << c.out;
}

TEST(TcxNodes, LeavesSwapsAndValueEquality) {
    Unit u("");
    TranslationUnit& tu = u.tu;
    Node* c5 = new_int_constant(tu, 5, &tu.builtin.int_);
    Node* c5b = new_int_constant(tu, 5, &tu.builtin.long_);
    Node* frame = new_node(tu, NodeKind::FrameAddr, nullptr, nullptr);
    frame->value = -4;
    Node* name = new_node(tu, NodeKind::NameAddr, nullptr, nullptr);
    name->name = "g";
    Node* name2 = new_node(tu, NodeKind::NameAddr, nullptr, nullptr);
    name2->name = "g";
    Node* load = new_node(tu, NodeKind::Load, name, nullptr);
    EXPECT_TRUE(is_leaf(c5));
    EXPECT_TRUE(is_leaf(frame));
    EXPECT_TRUE(is_leaf(name));
    EXPECT_FALSE(is_leaf(load));
    EXPECT_TRUE(same_value(c5, c5b));
    EXPECT_TRUE(same_value(name, name2));
    EXPECT_FALSE(same_value(name, load));
    Node* sum = new_node(tu, NodeKind::Add, name, c5);
    Node* sum_same = new_node(tu, NodeKind::Add, name, c5);
    Node* sum_copy = new_node(tu, NodeKind::Add, name2, c5b);
    EXPECT_TRUE(same_value(sum, sum_same));
    EXPECT_FALSE(same_value(sum, sum_copy));  // equal values, other records
    swap_operands(sum);
    EXPECT_EQ(sum->left, c5);
    EXPECT_EQ(sum->right, name);
}

TEST(TcxNodes, StatementsJoinInCodeOrder) {
    std::vector<StmtKind> seen;
    Unit u("int g;\nvoid f(void)\n{\n    if (g) g = 1; else { g = 2; }\n    while (g) switch (g) { case 1: break; }\n}\n");
    u.tu.function_hook = [&seen](const FunctionDef& f) {
        join_statement_lists(f.body, [&seen](Stmt* s) { seen.push_back(s->kind); });
        return false;
    };
    translation_unit(u.tu);
    std::vector<StmtKind> want = {StmtKind::Compound, StmtKind::If, StmtKind::Expr, StmtKind::Compound,
                                  StmtKind::Expr, StmtKind::While, StmtKind::Switch, StmtKind::Compound,
                                  StmtKind::Case, StmtKind::Break};
    EXPECT_EQ(seen, want);
}

// Names in the candidate lists of each function, as "register | others; ...".
std::string candidates_of(const std::string& source) {
    std::string seen;
    Unit u(source);
    u.tu.function_hook = [&seen](const FunctionDef& f) {
        if (!seen.empty()) seen += "; ";
        for (const Symbol* s : f.register_candidates) seen += s->name + " ";
        seen += "|";
        for (const Symbol* s : f.other_candidates) seen += " " + s->name;
        return false;
    };
    translation_unit(u.tu);
    return seen;
}

TEST(TcxRegisterCandidates, ScalarAutosAndParametersAreListed) {
    // Arrays, structures, statics and long long are never candidates; pointers are.
    EXPECT_EQ(candidates_of("struct S { int m; };\n"
                            "int f(int a, char *p, struct S s)\n"
                            "{\n    register int r; register char *rp; int i; float x; long l;\n"
                            "    int v[4]; struct S t; static int st; long long ll;\n"
                            "    { register unsigned char inner; double d; }\n"
                            "    return 0;\n}\n"),
              "r rp inner | a p i x l d");
    // Each function starts with empty lists.
    EXPECT_EQ(candidates_of("void f(void) { register int r; }\nvoid g(int a) { int i; }\n"), "r |; | a i");
}

TEST(TcxRegisterCandidates, RegisterParametersOfBothFormsAreRegisterCandidates) {
    EXPECT_EQ(candidates_of("int f(register int a, int b) { return a + b; }\n"), "a | b");
    EXPECT_EQ(candidates_of("int f(a, b) register int a; int b; { return a + b; }\n"), "a | b");
    // A __pascal function binds its parameters last first.
    EXPECT_EQ(candidates_of("int __pascal f(int a, register int b, int c) { return a; }\n"), "b | c a");
    // `register` is no part of a parameter's type: prototypes and definitions still agree.
    EXPECT_EQ(compile("int f(register int a);\nint f(int a) { return a; }\n"
                      "int g(int b);\nint g(register int b) { return b; }\n", {"-w6"}).err,
              "");
    Compiled c = compile("int f(register int a) { int *p = &a; return *p; }\n");
    EXPECT_NE(c.err.find("(1) Error: Illegal operator on register variable 'a'"), std::string::npos) << c.err;
}

TEST(TcxRegisterCandidates, TakingTheAddressRemovesACandidate) {
    EXPECT_EQ(candidates_of("int f(int a, int b)\n{\n    int i, j; int *p;\n"
                            "    p = &i; p = &b; p = &j; p = &j;\n    return *p + a;\n}\n"),
              "| a p");
    // Use without '&', sizeof and a later block's '&' of another object of the same name.
    EXPECT_EQ(candidates_of("int f(void)\n{\n    int i; int *q;\n    i = sizeof i;\n"
                            "    { int i; q = &i; }\n    return i + *q;\n}\n"),
              "| i q");
}

TEST(TcxRegisterCandidates, ListsBeyondTheirLimitsIgnoreTheExtraCandidates) {
    std::string regs, others, want_regs, want_others;
    for (int i = 1; i <= 22; ++i) {
        regs += "register int r" + std::to_string(i) + ";";
        if (i <= 20) want_regs += "r" + std::to_string(i) + " ";
    }
    for (int i = 1; i <= 102; ++i) {
        others += "int o" + std::to_string(i) + ";";
        if (i <= 100) want_others += " o" + std::to_string(i);
    }
    EXPECT_EQ(candidates_of("void f(void) {" + regs + others + "}\n"), want_regs + "|" + want_others);
    // A freed place is not given to a candidate that was once left out.
    EXPECT_EQ(candidates_of("void f(void) {" + regs + "int *p = &r1; }\n").substr(0, 8), "r2 r3 r4");
    // Beyond the limit a register variable is still one: its address stays refused.
    Compiled c = compile("void f(void) {" + regs + "int *p = &r22; }\n");
    EXPECT_NE(c.err.find("Error: Illegal operator on register variable 'r22'"), std::string::npos) << c.err;
}

}  // namespace
}  // namespace zun::tcx::test
