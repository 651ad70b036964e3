// Declarations seen through the unit's records: layouts, parameter lists,
// redeclarations and the checks at the end of the unit.
#include "harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

struct Parsed : Unit {
    explicit Parsed(const std::string& src) : Unit(src) { translation_unit(tu); }
    Symbol* sym(const std::string& name) { return find_in(tu.file_scope, name); }
    Type* tag(const std::string& name) {
        Symbol* s = find_in(tu.tags, name);
        return s ? s->type : nullptr;
    }
    static Symbol* member(Type* t, const std::string& name) {
        for (Symbol* m = t->first; m; m = m->newer)
            if (m->name == name) return m;
        return nullptr;
    }
};

TEST(TcxDecl, StructAndUnionLayoutHasNoPadding) {
    Parsed p("struct s { char c; int i; long l; char *p; float f; };\nunion u { char c; long l; int a[3]; };\n");
    Type* s = p.tag("s");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->size, 13);
    EXPECT_EQ(Parsed::member(s, "c")->value, 0);
    EXPECT_EQ(Parsed::member(s, "i")->value, 1);
    EXPECT_EQ(Parsed::member(s, "l")->value, 3);
    EXPECT_EQ(Parsed::member(s, "p")->value, 7);
    EXPECT_EQ(Parsed::member(s, "f")->value, 9);
    Type* u = p.tag("u");
    EXPECT_EQ(u->size, 6);
    EXPECT_EQ(Parsed::member(u, "a")->value, 0);
    EXPECT_EQ(p.tu.errors, 0);
}

TEST(TcxDecl, BitfieldsShareUnitsUntilFull) {
    Parsed p("struct b { unsigned a : 3; unsigned b : 5; unsigned c : 10; unsigned : 0; unsigned e : 1; };\n"
             "struct c8 { char x; unsigned char d : 2; unsigned char d2 : 7; };\n");
    Type* b = p.tag("b");
    ASSERT_TRUE(b);
    auto check = [&](Type* t, const char* name, int offset, int bit, int width, int unit) {
        Symbol* m = Parsed::member(t, name);
        ASSERT_TRUE(m) << name;
        EXPECT_EQ(m->type->kind, Kind::Bitfield) << name;
        EXPECT_EQ(m->value, offset) << name;
        EXPECT_EQ(m->type->bit_offset, bit) << name;
        EXPECT_EQ(m->type->bit_width, width) << name;
        EXPECT_EQ(m->type->unit_bits, unit) << name;
    };
    check(b, "a", 0, 0, 3, 16);
    check(b, "b", 0, 3, 5, 16);
    check(b, "c", 2, 0, 10, 16);
    check(b, "e", 4, 0, 1, 16);
    // The size is where the last unit ends, not the largest member.
    EXPECT_EQ(b->size, 6);
    Type* c8 = p.tag("c8");
    check(c8, "d", 1, 0, 2, 8);
    check(c8, "d2", 2, 0, 7, 8);
    EXPECT_EQ(c8->size, 3);
    EXPECT_EQ(p.tu.err, "");
}

TEST(TcxDecl, StructsCannotContainThemselves) {
    Compiled c = compile("struct s { char c; struct s in; } v = {1, {2}};\nstruct t { struct t a[2]; };\n");
    EXPECT_EQ(c.err,
              "\"/src/t.c\" (1) Error: Unknown type/operand size\n"
              "\"/src/t.c\" (1) Error: Too many initializers\n"
              "\"/src/t.c\" (2) Error: Unknown type/operand size\n");
}

TEST(TcxDecl, AbsurdNestingEndsWithAMessage) {
    Compiled c = compile("int x = " + std::string(5000, '(') + "1;\n");
    EXPECT_EQ(c.rc, 1);
    EXPECT_EQ(c.err.rfind("\"/src/t.c\" (1) Error: Nesting deeper than the compiler's limit of 200 levels", 0), 0u)
        << c.err;
    Compiled d = compile("int " + std::string(5000, '*') + std::string(3000, '(') + "p;\n");
    EXPECT_NE(d.err.find("Nesting deeper than the compiler's limit"), std::string::npos);
}

TEST(TcxDecl, ArraysBeyondTheAddressSpace) {
    Compiled c = compile("int big[40000];\nchar huge[0x7FFFFFFF][3];\nchar ok[65535];\n");
    EXPECT_EQ(c.err,
              "\"/src/t.c\" (1) Warning: array bound of 'big' overflow\n"
              "\"/src/t.c\" (2) Warning: array bound of 'huge' overflow\n");
    EXPECT_NE(c.out.find("_big:\tRMB\t$FFFF\n"), std::string::npos);
    EXPECT_NE(c.out.find("_ok:\tRMB\t$FFFF\n"), std::string::npos);
}

TEST(TcxDecl, BitfieldDiagnostics) {
    EXPECT_EQ(compile("struct x { int s : 3; };\n").err, "\"/src/t.c\" (1) Warning: Bitfields are unsigned\n");
    EXPECT_EQ(compile("struct x { unsigned w : 17; };\n").err, "\"/src/t.c\" (1) Error: Illegal field width\n");
    EXPECT_EQ(compile("struct x { unsigned z : 0; };\n").err, "\"/src/t.c\" (1) Error: Illegal field width\n");
    EXPECT_EQ(compile("struct x { float f : 3; };\n", {"-w6"}).err,
              "\"/src/t.c\" (1) Warning: Bit field implicitly converted to 'int'\n"
              "\"/src/t.c\" (1) Warning: Bitfields are unsigned\n");
    EXPECT_EQ(compile("struct x { unsigned a : 2; char c; };\n").err,
              "\"/src/t.c\" (1) Error: Bitfields must have the same size\n");
    EXPECT_EQ(compile("int f : 2;\n").err, "\"/src/t.c\" (1) Error: Field not allowed here\n");
}

TEST(TcxDecl, PrototypeParameters) {
    Parsed p("int f(int a, long b, ...);\nint g(void);\nint h();\nint __pascal pf(char c, int d);\n");
    Symbol* f = p.sym("f");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->sclass, StorageClass::Extern);
    Symbol* a = f->type->first;
    ASSERT_TRUE(a && a->newer && a->newer->newer);
    EXPECT_EQ(a->name, "a");
    EXPECT_EQ(a->value, -2);
    EXPECT_EQ(a->newer->value, -6);
    EXPECT_EQ(a->newer->newer->type->kind, Kind::Ellipsis);
    EXPECT_EQ(a->newer->newer->name, "");
    EXPECT_EQ(p.sym("g")->type->first->type->kind, Kind::Void);
    EXPECT_FALSE(p.sym("h")->type->has_params);
    EXPECT_NE(p.sym("pf")->type->first->pascal, 0);
}

TEST(TcxDecl, OldStyleDefinitions) {
    Parsed p("int g(a, b) int a; long b; { return a + (int)b; }\nint h(q) { return q; }\n");
    Symbol* g = p.sym("g");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->sclass, StorageClass::Global);
    EXPECT_TRUE(g->flags & BodyGiven);
    Symbol* a = g->type->first;
    ASSERT_TRUE(a && a->newer);
    EXPECT_EQ(a->value, -2);
    EXPECT_EQ(a->newer->type->kind, Kind::Long);
    EXPECT_EQ(a->newer->value, -6);
    EXPECT_EQ(p.tu.err, "\"/src/t.c\" (2) Warning: Argument 'q' implicitly declared 'int'\n");
}

TEST(TcxDecl, TooManyOldStyleParametersEndTheRun) {
    std::string src = "int f(";
    for (int i = 0; i < 101; ++i) src += (i ? ",p" : "p") + std::to_string(i);
    src += ");\n";
    Compiled c = compile(src);
    EXPECT_EQ(c.rc, 100);
    EXPECT_EQ(c.err, "\"/src/t.c\" (1) Error: To long parameter list\n");
}

TEST(TcxDecl, RedeclarationsKeepTheSymbolOfRecord) {
    Parsed p("int a; int a;\nint b; static int b;\nextern int c; int c;\nint f(int); int f();\n"
             "static int g(void); int g(void);\nextern int arr[]; int arr[4];\n");
    EXPECT_EQ(p.tu.errors, 0) << p.tu.err;
    int count = 0;
    for (Symbol* s = p.tu.file_scope.first; s; s = s->newer) count += s->name == "a";
    EXPECT_EQ(count, 1);
    EXPECT_EQ(p.sym("b")->sclass, StorageClass::Global);
    EXPECT_EQ(p.sym("c")->sclass, StorageClass::Global);
    EXPECT_TRUE(p.sym("f")->type->has_params);
    EXPECT_EQ(p.sym("g")->sclass, StorageClass::Static);
    EXPECT_EQ(p.sym("arr")->type->size, 8);
    EXPECT_EQ(compile("static int s; int s;\n").err,
              "\"/src/t.c\" (1) Error: Illegal redeclaration of 's'\n"
              "\"/src/t.c\" (1) Warning: Variable 's' not used\n");
    // A tentative definition and a later one with a value are one object.
    Compiled late = compile("int late;\nint late = 5;\nint after = 1;\n");
    EXPECT_EQ(late.err, "");
    EXPECT_NE(late.out.find("_late:\t\tFDB\t$5\n"), std::string::npos) << late.out;
    EXPECT_EQ(late.out.find("RMB"), std::string::npos) << late.out;
    EXPECT_NE(late.out.find("_after:\t\tFDB\t$1\n"), std::string::npos);
    EXPECT_EQ(compile("int k; long k;\n").err, "\"/src/t.c\" (1) Error: Illegal redeclaration of 'k'\n");
    EXPECT_EQ(compile("int v; volatile int v;\n").err, "\"/src/t.c\" (1) Error: Illegal redeclaration of 'v'\n");
}

TEST(TcxDecl, ConstQualifiesOneLevel) {
    Parsed p("const char *s; char *const p = 0; const char *const q = 0; const int n = 3; "
             "const int arr[2] = {1, 2};\n");
    EXPECT_EQ(p.tu.errors, 0) << p.tu.err;
    EXPECT_FALSE(p.sym("s")->is_const);
    EXPECT_TRUE(p.sym("s")->type->base->is_const);
    EXPECT_TRUE(p.sym("p")->is_const);
    EXPECT_FALSE(p.sym("p")->type->base->is_const);
    EXPECT_TRUE(p.sym("q")->is_const);
    EXPECT_TRUE(p.sym("n")->is_const);
    EXPECT_EQ(p.sym("n")->init_value, 3);
    EXPECT_TRUE(p.sym("arr")->is_const);
    // Each declarator of one declaration keeps the specifiers' const.
    Compiled two = compile("const int a = 1, b;\n");
    EXPECT_EQ(two.err, "\"/src/t.c\" (1) Error: Constant 'b' requires initialisation\n");
}

TEST(TcxDecl, EnumValuesAndLimits) {
    Parsed p("enum e { A, B = 5, C, D = -32768, E = 32767 };\n");
    EXPECT_EQ(p.sym("A")->value, 0);
    EXPECT_EQ(p.sym("B")->value, 5);
    EXPECT_EQ(p.sym("C")->value, 6);
    EXPECT_EQ(p.sym("D")->value, -32768);
    EXPECT_EQ(p.sym("E")->value, 32767);
    EXPECT_EQ(p.tu.errors, 0);
    EXPECT_EQ(compile("enum { X = 32768 };\n").err, "\"/src/t.c\" (1) Error: Enum out of range\n");
}

TEST(TcxDecl, StorageClassesAtFileScope) {
    EXPECT_EQ(compile("register int r;\n").err, "\"/src/t.c\" (1) Error: Illegal storage class\n");
    EXPECT_EQ(compile(";\n").err, "\"/src/t.c\" (1) Warning: Empty statment\n");
    // A declarator without type is an int.
    Parsed p("x; *y;\n");
    EXPECT_EQ(p.sym("x")->type->kind, Kind::Short);
    EXPECT_EQ(p.sym("y")->type->kind, Kind::Pointer);
    Parsed t("typedef unsigned char byte; byte b; typedef int V[]; V v = {1, 2, 3};\n");
    EXPECT_EQ(t.sym("b")->type->kind, Kind::UChar);
    EXPECT_EQ(t.sym("v")->type->size, 6);
}

TEST(TcxDecl, TypeCombinations) {
    Parsed p("signed s1; signed char s2; long int s3; long unsigned s4; long double s5; short unsigned s6; "
             "unsigned s7; unsigned long int s8; short s9; double s10; float s11;\n");
    const std::pair<const char*, Kind> want[] = {
        {"s1", Kind::Short}, {"s2", Kind::Char},   {"s3", Kind::Long},  {"s4", Kind::ULong},
        {"s5", Kind::Double}, {"s6", Kind::UShort}, {"s7", Kind::UShort}, {"s8", Kind::ULong},
        {"s9", Kind::Short}, {"s10", Kind::Double}, {"s11", Kind::Float},
    };
    for (const auto& [name, kind] : want) EXPECT_EQ(p.sym(name)->type->kind, kind) << name;
    EXPECT_EQ(p.sym("s5")->type->size, 4);
}

TEST(TcxDecl, ArenaDepthMarksSavedTypes) {
    Unit u("");
    EXPECT_EQ(u.tu.depth, 0);
    Type* body = new_type(u.tu, Kind::Short, 2);
    EXPECT_FALSE(body->saved);
    Type* ptr = pointer_to(u.tu, body);
    Type* kept = save_type(u.tu, ptr);
    EXPECT_TRUE(kept->saved);
    EXPECT_TRUE(kept->base->saved);
    EXPECT_NE(kept, ptr);
    EXPECT_EQ(save_type(u.tu, kept), kept);
    // A struct made in a body cannot be copied with its members.
    Type* st = new_type(u.tu, Kind::Struct, 2);
    st->first = st->last = new_symbol(u.tu, "m");
    Type* copy = save_type(u.tu, st);
    EXPECT_EQ(copy->first, nullptr);
    EXPECT_EQ(u.tu.err, "\"/src/t.c\" (0) Warning: didn't copy local struct/union in save_type\n");
    EXPECT_EQ(u.tu.depth, 0);
    Parsed file("int x;\n");
    EXPECT_EQ(file.tu.depth, 1);
    EXPECT_TRUE(file.sym("x")->type->saved);
}

TEST(TcxDecl, FunctionDefinitionChecks) {
    EXPECT_EQ(compile("void __interrupt ok(void) { }\n").err, "");
    EXPECT_EQ(compile("void __interrupt bad(int x) { }\n").err,
              "\"/src/t.c\" (1) Error: Interrupt function can't have parameter(s)\n");
    EXPECT_EQ(compile("int __interrupt bad(void) { return 0; }\n").err,
              "\"/src/t.c\" (1) Error: Interrupt function return value must be void\n");
    EXPECT_EQ(compile("int f(int) { return 0; }\n").err, "\"/src/t.c\" (1) Error: Illegal parameter list\n");
    Compiled open = compile("int f(void) {\n");
    EXPECT_EQ(open.rc, 1);
    EXPECT_EQ(open.err, "\"/src/t.c\" (1) Error: Unexpected end of file\n");
    EXPECT_EQ(compile("void f(void) {\n#pragma BSS x\n}\n").err, "\"/src/t.c\" (2) Error: Unknown '#'-directive\n");
}

}  // namespace
}  // namespace zun::tcx::test
