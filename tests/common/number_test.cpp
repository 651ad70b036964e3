// parse_number, to_binary_string and path_shorten.
#include "common/number.h"

#include <gtest/gtest.h>

namespace zun {
namespace {

uint32_t parsed(const char* text, int radix) {
  uint32_t v = 0xDEADBEEF;
  EXPECT_EQ(parse_number(text, v, radix), 0) << text;
  return v;
}

bool rejected(const char* text, int radix) {
  uint32_t v = 0xDEADBEEF;
  int rc = parse_number(text, v, radix);
  return rc == -1 && v == 0xDEADBEEF;
}

TEST(CommonParseNumber, Decimal) {
  EXPECT_EQ(parsed("", 10), 0u);
  EXPECT_EQ(parsed("-", 10), 0u);
  EXPECT_EQ(parsed("12:34", 10), 12u);
  EXPECT_EQ(parsed("42 rest", 10), 42u);
  EXPECT_EQ(parsed("-5", 10), 4294967291u);
  EXPECT_EQ(parsed("4294967295", 10), 4294967295u);
  EXPECT_EQ(parsed("4294967296", 10), 0u);  // wraps, no overflow check
  EXPECT_TRUE(rejected("12a", 10));
  EXPECT_TRUE(rejected("0x10", 10));
  EXPECT_TRUE(rejected(nullptr, 10));
}

TEST(CommonParseNumber, Hexadecimal) {
  EXPECT_EQ(parsed("0x", 16), 0u);
  EXPECT_EQ(parsed("1F:", 16), 31u);
  EXPECT_EQ(parsed("0xFFFF", 16), 0xFFFFu);
  EXPECT_EQ(parsed("0XabCd", 16), 0xABCDu);
  EXPECT_EQ(parsed("e100", 16), 0xE100u);
  EXPECT_EQ(parsed("-0x1", 16), 0xFFFFFFFFu);
  EXPECT_EQ(parsed("123456789", 16), 0x23456789u);
  EXPECT_TRUE(rejected("0xG", 16));
  EXPECT_TRUE(rejected("$10", 16));
}

TEST(CommonParseNumber, EveryOtherRadixIsBinary) {
  EXPECT_EQ(parsed("101", 2), 5u);
  EXPECT_EQ(parsed("11111111", 8), 255u);
  EXPECT_EQ(parsed("-1", 2), 0xFFFFFFFFu);
  EXPECT_TRUE(rejected("101 ", 2));  // a blank is a bad digit here
  EXPECT_TRUE(rejected("102", 2));
  EXPECT_EQ(parsed("10\x80" "zz", 2), 2u);  // ends at a high byte
}

TEST(CommonBinaryString, MostSignificantBitFirst) {
  EXPECT_EQ(to_binary_string(5, 4), "0101");
  EXPECT_EQ(to_binary_string(0x80000000u, 32), "1" + std::string(31, '0'));
  EXPECT_EQ(to_binary_string(0xD4, 8), "11010100");
  EXPECT_EQ(to_binary_string(3, 1), "1");
}

TEST(CommonPathShorten, KeepsHeadAndTail) {
  EXPECT_EQ(path_shorten("C:\\Work\\Projects\\Board\\App.s19", 20), "c:/w./...././app.s19");
  EXPECT_EQ(path_shorten("C:\\Short\\A.S19", 38), "c:/short/a.s19");
  std::string s = path_shorten("/home/user/projects/board/firmware/build/output/app.s19", 38);
  EXPECT_EQ(s.size(), 38u);
  EXPECT_EQ(s.substr(0, 12), "/hom./..../.");
  EXPECT_EQ(s.substr(12), "mware/build/output/app.s19");
}

}  // namespace
}  // namespace zun
