// Expressions: radixes, the two precedence levels and their grouping, the
// location counter, the syntax-check messages and the relocatability rules.
#include <gtest/gtest.h>

#include "asm_support.h"

namespace zun::hasm::test {
namespace {

// The value of an expression, through a 4-byte FQB field.
uint32_t value_of(const std::string& expr, const std::string& before = "") {
  AsmRun r = assemble(before + " fqb " + expr + "\n");
  EXPECT_EQ(r.rc, 0) << expr << ": " << r.err;
  std::vector<uint8_t> b = segment_bytes(r.object, "text");
  if (b.size() < 4) return 0xDEADBEEF;
  size_t at = b.size() - 4;
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

TEST(Hasm09Expr, NumbersInEveryRadix) {
  for (const char* text : {"$ff", "0xFF", "%11111111", "@377", "255", "$FF", "0xff"})
    EXPECT_EQ(value_of(text), 255u) << text;
  EXPECT_EQ(value_of("'A'"), 65u);
  EXPECT_EQ(value_of("$ 10"), 16u);
  EXPECT_EQ(value_of("4294967295+2"), 1u);
  EXPECT_EQ(value_of("$123456789"), 0x23456789u);
}

TEST(Hasm09Expr, MultiplicativeChainsGroupFromTheRight) {
  EXPECT_EQ(value_of("2+3*4"), 14u);
  EXPECT_EQ(value_of("2*3+4"), 10u);
  EXPECT_EQ(value_of("16/4/2"), 8u);
  EXPECT_EQ(value_of("100/10/2"), 20u);
  EXPECT_EQ(value_of("17%%5"), 2u);
  EXPECT_EQ(value_of("2*(3+4)"), 14u);
}

TEST(Hasm09Expr, OtherOperatorsShareOneLevelFromTheLeft) {
  EXPECT_EQ(value_of("1+2<<3"), 24u);
  EXPECT_EQ(value_of("3==2+1"), 1u);  // (3==2)+1
  EXPECT_EQ(value_of("6&3|8"), 10u);
  EXPECT_EQ(value_of("5^1"), 4u);
  EXPECT_EQ(value_of("1&&0||1"), 1u);
  EXPECT_EQ(value_of("2<=3"), 1u);
  EXPECT_EQ(value_of("2>=3"), 0u);
  EXPECT_EQ(value_of("2!=3"), 1u);
}

TEST(Hasm09Expr, UnaryOperatorsTakeTheFollowingProductAlong) {
  EXPECT_EQ(value_of("-2*3"), static_cast<uint32_t>(-6));
  EXPECT_EQ(value_of("~0"), 0xFFFFFFFFu);
  EXPECT_EQ(value_of("!0"), 1u);
  EXPECT_EQ(value_of("!5"), 0u);
  EXPECT_EQ(value_of("10-3-2"), 5u);
}

TEST(Hasm09Expr, ArithmeticIsThirtyTwoBitsAndNeverTraps) {
  EXPECT_EQ(value_of("$80000000/-1"), 0x80000000u);
  EXPECT_EQ(value_of("$80000000%%-1"), 0u);
  EXPECT_EQ(value_of("$7FFFFFFF+1"), 0x80000000u);
  EXPECT_EQ(value_of("$10000*$10000"), 0u);
  EXPECT_EQ(value_of("1<<33"), 2u);                  // count modulo 32
  EXPECT_EQ(value_of("-8>>1"), static_cast<uint32_t>(-4));  // arithmetic shift
  EXPECT_EQ(value_of("-7/2"), static_cast<uint32_t>(-3));
}

TEST(Hasm09Expr, LocationCounter) {
  // '*' and '.' are the line's own address.
  EXPECT_EQ(value_of("V", " fqb 0\n fqb 0\nV equ *\n"), 8u);
  EXPECT_EQ(value_of("V", " fqb 0\nV equ .+2\n"), 6u);
  EXPECT_EQ(value_of("2**", " fqb 0\n"), 8u);
  EXPECT_EQ(value_of("*-*", " fqb 0\n"), 0u);
  // Alone it is an address in its segment, which the linker relocates.
  AsmRun r = assemble(" fdb 0\n fdb *+1\n");
  EXPECT_EQ(records(r.object, "RL:"),
            std::vector<std::string>{"RL:text:t:00000002:O:W:00000002:text:2"});
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 00 00 01"));
  EXPECT_EQ(value_of("end-start", "start fqb 0\nend fqb 0\n"), 4u);
  EXPECT_EQ(value_of("(end-start)/2", "start fqb 0\nend fqb 0\n"), 2u);
}

TEST(Hasm09Expr, ConstantSymbolsGiveTheirValue) {
  EXPECT_EQ(value_of("K*2", "K equ 21\n"), 42u);
}

TEST(Hasm09Expr, LessAndGreaterAloneAreNoOperators) {
  // Behind a value they would end the expression early and drop the rest of
  // it: wherever an expression stands, that is an error at their column.
  struct Case {
    const char* source;
    int column;
  };
  const Case cases[] = {
      {"v equ 5<2\n", 7},     {"v set 1>2\n", 7},       {" fcb 9<2\n", 6},
      {" fdb 1,9>2\n", 8},    {" fqb (9<2)\n", 7},      {" lda 5<2\n", 6},
      {" ldd #5>2\n", 7},     {" lda <5<2\n", 7},       {" lda >5>2\n", 7},
      {" lda 5>2,x\n", 6},    {" lda [5<2]\n", 7},      {" lda [5<2,y]\n", 7},
      {" bra *>2\n", 6},      {" org 5<2\n", 6},        {" rmb 5>2\n", 6},
      {"#if 1<2\n#endif\n", 5}, {"#define X 1<2\n", 11}};
  for (const Case& c : cases) {
    AsmRun r = assemble(c.source);
    EXPECT_EQ(r.err, "\"t.s09\" (1): error: Missing operator, Position[" +
                         std::to_string(c.column) + "]\n")
        << c.source;
    EXPECT_EQ(r.rc, 1) << c.source;
  }
  EXPECT_EQ(assemble(".stab stmt 14,1<2\n", {"-g"}).err,
            "\"t.s09\" (1): error: Missing operator, Position[15]\n");
  EXPECT_EQ(assemble(" option tsc\n fcc 1>2\n pshs #1<2\n setdp 1<2\n").err,
            "\"t.s09\" (2): error: Missing operator, Position[6]\n"
            "\"t.s09\" (3): error: Missing operator, Position[8]\n"
            "\"t.s09\" (4): error: Missing operator, Position[8]\n");
  // As prefixes of an operand and doubled as shifts they keep their meaning.
  AsmRun r = assemble(" lda <5\n lda >1<<4\n ldd #256>>4\n fcb 1<<2,2>=1,2<=1\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("96 05 B6 00 10 CC 00 10 04 01 00"));
}

struct Fault {
  const char* operand;
  const char* message;
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.operand; }

class Hasm09ExprFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(Hasm09ExprFaults, AreReportedWithTheirColumn) {
  AsmRun r = assemble(std::string(" fdb ") + GetParam().operand + "\n");
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, std::string("\"t.s09\" (1): error: ") + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Hasm09, Hasm09ExprFaults,
    ::testing::Values(Fault{"12h", "Illegal decimal digit"},
                      Fault{"$1G", "Illegal hexadecimal digit"},
                      Fault{"%102", "Illegal binary digit"},
                      Fault{"@78", "Illegal octal digit"},
                      Fault{"x+1", "Illegal use of reserved word, Position[5]"},
                      Fault{"1+pcr", "Illegal use of reserved word, Position[7]"},
                      Fault{"(1+2", "Missing Parenthesis, Position[9]"},
                      Fault{"1+2)", "Unexpected Parenthesis, Position[8]"},
                      Fault{"1+", "Unterminated expression, Position[7]"},
                      Fault{"+1", "Operand expected, Position[5]"},
                      Fault{"1(2)", "Operand expected, Position[6]"},
                      Fault{"*5", "Missing operator, Position[6]"},
                      Fault{"1/0", "Integer divide by zero"},
                      Fault{"undefined", "Undefined symbol 'undefined'"}));

TEST(Hasm09Expr, RemainderByZeroIsSilentAndGivesZero) {
  // No message, but the field is still there: the value ends as 0, also when
  // more of the expression follows.
  AsmRun r = assemble(" fdb 1%%0\n fdb 2\n fcb 7%%0+5,3\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 00 00 02 00 03"));
}

TEST(Hasm09Expr, RelocatableExpressions) {
  const std::string data = " segment data\nd1 fdb 0\nd2 fdb 0\n segment text\n";
  // One symbol of another segment, with a constant: relocatable.
  AsmRun r = assemble(data + " fdb d2+3\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RL:"),
            std::vector<std::string>{"RL:text:t:00000000:O:W:00000002:data:5"});
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 03"));
  // Differences within one segment cancel, also under other operators.
  r = assemble(data + " fdb d2-d1\n fdb (d2-d1)*4\n fdb d2-d1+d1\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 02 00 08 00 02"));
  EXPECT_EQ(records(r.object, "RL:").size(), 1u);
}

TEST(Hasm09Expr, NonRelocatableExpressionsAreRefused) {
  const std::string data = " segment data\nd1 fdb 0\nd2 fdb 0\n segment text\n import e1,e2\n";
  for (const char* bad : {"-d1", "d1+d2", "d1*2", "d1/2", "~d1", "d1==d2-2", "e1-e2", "e1+e2",
                          "d1-e1", "2*e1"}) {
    AsmRun r = assemble(data + " fdb " + bad + "\n");
    EXPECT_EQ(r.err, "\"t.s09\" (6): error: Non relocatable expression\n") << bad;
  }
}

TEST(Hasm09Expr, NamesUpTo128Characters) {
  std::string name(128, 'n'), longer(129, 'n');
  AsmRun r = assemble(name + " nop\n bra " + name + "\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  r = assemble(" import " + name + "\n export e" + name.substr(1) + "\nk" + name.substr(1) +
               " equ 1\ne" + name.substr(1) + ": nop\n#define d" + name.substr(1) + " 2\n", {"-D", "D" + name.substr(1)});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "");
  // Every place that defines or declares a name says why a longer one is refused.
  const std::string too_long = "error: Symbol name is to long (max 128 characters)\n";
  for (const std::string& line : {longer + " nop\n", longer + ": nop\n", longer + " equ 1\n",
                                  " import " + longer + "\n", " import a," + longer + ":2\n",
                                  " export " + longer + "\n", "#define " + longer + " 1\n",
                                  " fdb " + longer + "\n"})
    EXPECT_EQ(assemble(line).err, "\"t.s09\" (1): " + too_long) << line;
  r = assemble(" nop\n", {"-D", longer + "=1"});
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out, "HASM09: Symbol name is to long (max 128 characters), -D '" + longer + "' ignored\n");
}

TEST(Hasm09Expr, MoreThanTenSymbolsAreTooComplex) {
  std::string labels, sum;
  for (int i = 0; i < 12; ++i) {
    labels += "s" + std::to_string(i) + " nop\n";
    sum += (i ? (i % 2 ? "-" : "+") : "") + std::string("s") + std::to_string(i);
  }
  AsmRun r = assemble(labels + " fdb " + sum + "\n");
  EXPECT_EQ(r.err, "\"t.s09\" (13): error: expression too complex\n");
}

}  // namespace
}  // namespace zun::hasm::test
