// Constant folding against a host model of the target's C arithmetic
// (16-bit int, 32-bit long), and the float encoding against the host's IEEE
// single precision.
#include "expr_model.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace zun::tcx::test {
namespace {

using model::Gen;
using model::T;
using model::Val;

Kind kind_of(T t) {
    switch (t) {
    case T::Int: return Kind::Short;
    case T::UInt: return Kind::UShort;
    case T::Long: return Kind::Long;
    case T::ULong: return Kind::ULong;
    case T::Char: return Kind::Char;
    case T::UChar: return Kind::UChar;
    }
    return Kind::Void;
}

TEST(TcxFold, AgreesWithHostModelOn10000Expressions) {
    Gen gen(20260901);
    int checked = 0;
    int failures = 0;
    while (checked < 10000) {
        std::string text;
        Val want{};
        if (!gen.expr(4, text, want)) continue;
        Unit u(text);
        Node* n = constant_address(u.tu);
        ++checked;
        bool ok = n && n->kind == NodeKind::IntConst && n->type_kind == kind_of(want.type) &&
                  n->value == static_cast<int32_t>(static_cast<uint32_t>(want.v)) && u.tu.errors == 0 &&
                  u.tu.scan.tok == Tok::Eof;
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << text << "\n  want " << want.v << " type " << static_cast<int>(want.type) << ", got "
                          << (n ? n->value : -999) << " kind " << (n ? static_cast<int>(n->type_kind) : -1)
                          << " node " << (n ? static_cast<int>(n->kind) : -1) << "\n" << u.tu.err;
    }
    EXPECT_EQ(failures, 0);
}

TEST(TcxFold, DivisionByZeroStaysAndWarns) {
    Compiled c = compile("int a = 1 / 0;\n", {"-w1"});
    EXPECT_EQ(c.err,
              "\"/src/t.c\" (1) Warning: Division by zero constant\n"
              "\"/src/t.c\" (1) Error: Constant expression expected\n");
    Compiled f = compile("float f = 1.0 / 0.0;\n", {"-w1"});
    EXPECT_NE(f.err.find("Division by zero constant"), std::string::npos);
}

TEST(TcxFold, FloatsFoldAndCompareToInt) {
    Unit u("2.5 * 2.0 + 1");
    Node* n = constant_address(u.tu);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->kind, NodeKind::FloatConst);
    EXPECT_EQ(n->fvalue, 6.0);
    Unit c("1.5 < 2.0 && 3.0");
    Node* m = constant_address(c.tu);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->kind, NodeKind::IntConst);
    EXPECT_EQ(m->value, 1);
    Compiled bad = compile("float f = 1.5 % 2.0;\n", {"-w1"});
    EXPECT_NE(bad.err.find("Warning: Illegal constant operation  FLOAT"), std::string::npos);
}

TEST(TcxFold, ConstantsStillFoldAfterAnError) {
    // After the first error every later negative size or bound must still fold.
    Compiled c = compile("@\nint a[-(-3)];\nenum { E = -1 + 5 };\nint b = E;\n");
    EXPECT_EQ(c.err, "\"/src/t.c\" (1) Error: Illegal character '@'\n");
    EXPECT_NE(c.out.find("_a:\tRMB\t$6\n"), std::string::npos);
    EXPECT_NE(c.out.find("_b:\t\tFDB\t$4\n"), std::string::npos);
}

TEST(TcxFold, SizeofValues) {
    Compiled c = compile(
        "int a[10]; int *p; char s3[sizeof \"abc\"]; int x1 = sizeof a; int x2 = sizeof p;\n"
        "int x3 = sizeof(char[300]); int x4 = sizeof(struct { long l; char c; });\n");
    EXPECT_EQ(c.err, "");
    EXPECT_NE(c.out.find("_s3:\tRMB\t$4\n"), std::string::npos);
    EXPECT_NE(c.out.find("_x1:\t\tFDB\t$14\n"), std::string::npos);
    EXPECT_NE(c.out.find("_x2:\t\tFDB\t$2\n"), std::string::npos);
    EXPECT_NE(c.out.find("_x3:\t\tFDB\t$12C\n"), std::string::npos);
    EXPECT_NE(c.out.find("_x4:\t\tFDB\t$5\n"), std::string::npos);
}

TEST(TcxFold, WhatIsNotAConstant) {
    Compiled c = compile(
        "struct s { char c; } s1; int arr[2]; int f(void);\n"
        "int v = s1.c;\nint z = sizeof(f);\nint r = (1, 2);\nint *pa = &arr;\nint (*pf)(void) = &f;\n"
        "int u = undeclared;\nint e = ;\n");
    EXPECT_EQ(c.err,
              "\"/src/t.c\" (2) Error: Constant expression expected\n"
              "\"/src/t.c\" (3) Error: Illegal 'sizeof' operation\n"
              "\"/src/t.c\" (4) Error: Constant expression expected\n"
              "\"/src/t.c\" (5) Warning: & operator on array ignored\n"
              "\"/src/t.c\" (6) Warning: & operator on function ignored\n"
              "\"/src/t.c\" (7) Error: Undefined identifier 'undeclared'\n"
              "\"/src/t.c\" (7) Error: Illegal constant integer expression\n"
              "\"/src/t.c\" (8) Error: Illegal constant integer expression\n");
    EXPECT_NE(c.out.find("_pa:\t\tFDB\t_arr\n"), std::string::npos);
}

// ---- float encoding ----

// IEEE single with halfway cases rounded away from zero and results below the
// smallest normal flushed to 0, as the target's tools expect.
uint32_t host_single(double v) {
    if (std::fabs(v) < std::numeric_limits<float>::min()) return 0;
    float f = static_cast<float>(v);  // the host rounds ties to even
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

TEST(TcxFloatBits, KnownValues) {
    EXPECT_EQ(float_bits(1.0), 0x3F800000u);
    EXPECT_EQ(float_bits(-2.5), 0xC0200000u);
    EXPECT_EQ(float_bits(0.0), 0u);
    EXPECT_EQ(float_bits(0.1), 0x3DCCCCCDu);
    EXPECT_EQ(float_bits(3.4028234663852886e38), 0x7F7FFFFFu);  // largest single stays finite
    EXPECT_EQ(float_bits(1e39), 0x7F800000u);
    EXPECT_EQ(float_bits(-1e39), 0xFF800000u);
    EXPECT_EQ(float_bits(1e-40), 0u);
    // ties go to the even neighbour, down or up
    EXPECT_EQ(float_bits(1.0 + std::ldexp(1.0, -24)), 0x3F800000u);
    EXPECT_EQ(float_bits(1.0 + 3 * std::ldexp(1.0, -24)), 0x3F800002u);
    EXPECT_EQ(float_bits(16777217.0), 0x4B800000u);
    EXPECT_EQ(float_bits(30515625.0), float_bits(30515624.0));
    // just above a tie rounds up
    EXPECT_EQ(float_bits(1.0 + std::ldexp(1.0, -24) + std::ldexp(1.0, -40)), 0x3F800001u);
}

TEST(TcxFloatBits, AgreesWithHostOn10000Values) {
    std::mt19937_64 rng(77);
    int failures = 0;
    for (int i = 0; i < 10000; ++i) {
        double v;
        if (i % 4 == 0) {
            // Exact halfway points between two singles.
            uint32_t b = static_cast<uint32_t>(rng()) & 0x7F7FFFFFu;
            if ((b >> 23) == 0) b |= 0x00800000u;
            float f;
            std::memcpy(&f, &b, 4);
            int e;
            std::frexp(static_cast<double>(f), &e);
            v = static_cast<double>(f) + std::ldexp(1.0, e - 25);
        } else {
            double m = std::ldexp(static_cast<double>(rng() >> 11), -53);
            int e = static_cast<int>(rng() % 300) - 150;
            v = std::ldexp(m, e);
        }
        if (rng() & 1) v = -v;
        uint32_t want = host_single(v);
        uint32_t got = float_bits(v);
        if (want != got && ++failures <= 5) ADD_FAILURE() << v << ": want " << std::hex << want << " got " << got;
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace zun::tcx::test
