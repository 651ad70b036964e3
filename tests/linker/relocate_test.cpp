// Field arithmetic of relocation (insval), HCS12 paged targets and the
// S-record writer's header and end records.
#include "linker/link.h"
#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

class VlkInsval : public ::testing::Test {
 protected:
  InsvalResult apply(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t base, uint32_t target,
                     char type, char size) {
    return insval(link, bytes, offset, base, target, type, size);
  }
  std::string err;
  Console console{[](std::string_view) {}, [this](std::string_view t) { err += t; }};
  Link link{console};
};

TEST_F(VlkInsval, OffsetAndPcRelativeFieldsAddTheirContent) {
  std::vector<uint8_t> word{0x00, 0x05};
  EXPECT_EQ(apply(word, 0, 0x1000, 0x1234, 'O', 'W').value, 0x1239u);
  EXPECT_EQ(word, (std::vector<uint8_t>{0x12, 0x39}));

  std::vector<uint8_t> branch{0x16, 0xFF, 0xFE};  // lbra with its -2 in the field
  InsvalResult r = apply(branch, 1, 0x1000, 0x2000, 'P', 'W');
  EXPECT_EQ(r.value, 0x0FFDu);
  EXPECT_FALSE(r.truncated);
  EXPECT_EQ(branch, (std::vector<uint8_t>{0x16, 0x0F, 0xFD}));

  std::vector<uint8_t> back{0xFF};  // a byte field holding -1
  EXPECT_EQ(apply(back, 0, 0, 0x10, 'O', 'B').value, 0x0Fu);

  std::vector<uint8_t> longword{0x00, 0x00, 0x00, 0x10};
  EXPECT_EQ(apply(longword, 0, 0, 0x12345678, 'O', 'L').value, 0x12345688u);
  EXPECT_EQ(longword, (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x88}));
}

TEST_F(VlkInsval, TruncationKeepsTheLowBits) {
  std::vector<uint8_t> byte{0x05};
  InsvalResult r = apply(byte, 0, 0, 0x1FA, 'O', 'B');
  EXPECT_TRUE(r.truncated);
  EXPECT_EQ(r.value, 0x1FFu);
  EXPECT_EQ(byte[0], 0xFF);
  std::vector<uint8_t> word{0, 0};
  EXPECT_FALSE(apply(word, 0, 0, 0xFFFF, 'O', 'W').truncated);
  EXPECT_TRUE(apply(word, 0, 0, 0x10000, 'O', 'W').truncated);
  EXPECT_FALSE(apply(byte, 0, 0, 0xFFFFFF00, 'O', 'B').truncated) << "-256 still fits";
}

TEST_F(VlkInsval, RelativeBytesMustReachTheirTarget) {
  // bra with -1 in its field at 0x1001: the distance counts from 0x1002.
  auto branch_to = [this](uint32_t target) {
    std::vector<uint8_t> bra{0x20, 0xFF};
    InsvalResult r = apply(bra, 1, 0x1000, target, 'P', 'B');
    return std::make_pair(bra[1], r.truncated);
  };
  EXPECT_EQ(branch_to(0x100C), std::make_pair(uint8_t{0x0A}, false));
  EXPECT_EQ(branch_to(0x1081), std::make_pair(uint8_t{0x7F}, false));
  EXPECT_EQ(branch_to(0x0F82), std::make_pair(uint8_t{0x80}, false));
  EXPECT_TRUE(branch_to(0x1082).second);
  EXPECT_TRUE(branch_to(0x0F81).second);
  EXPECT_TRUE(branch_to(0xE100).second);
}

TEST_F(VlkInsval, PageAndAbsoluteFieldsTakeTheTargetAlone) {
  std::vector<uint8_t> word{0x12, 0x34};
  EXPECT_EQ(apply(word, 0, 0, 0x0F, 'F', 'W').value, 0x0Fu);
  EXPECT_EQ(word, (std::vector<uint8_t>{0x00, 0x0F}));
  std::vector<uint8_t> absolute{0x00, 0x05};
  EXPECT_EQ(apply(absolute, 0, 0x4000, 0x1234, 'A', 'W').value, 0x1234u);
  EXPECT_EQ(absolute, (std::vector<uint8_t>{0x12, 0x34}));
}

TEST_F(VlkInsval, HcsTypeWordCutsPcRelativeTargetsToTheBank) {
  std::vector<uint8_t> word{0, 0};
  link.type_word = "o12";
  InsvalResult r = apply(word, 0, 0x4000, 0x38000, 'P', 'W');
  EXPECT_EQ(r.value, 0x4000u);
  EXPECT_FALSE(r.truncated);
  link.type_word = "O09";
  word = {0, 0};
  r = apply(word, 0, 0x4000, 0x38000, 'P', 'W');
  EXPECT_EQ(r.value, 0x34000u);
  EXPECT_TRUE(r.truncated);
}

TEST_F(VlkInsval, BadSizeOrPlaceChangesNothing) {
  std::vector<uint8_t> word{0xAA, 0xBB};
  EXPECT_FALSE(apply(word, 0, 0, 0x1234, 'O', 'Q').ok);
  EXPECT_FALSE(apply(word, 1, 0, 0x1234, 'O', 'W').ok);
  EXPECT_FALSE(apply(word, 0xFFFFFFFF, 0, 0x1234, 'O', 'W').ok);
  EXPECT_EQ(word, (std::vector<uint8_t>{0xAA, 0xBB}));
  EXPECT_EQ(err, "Error: Internal: Invalid size( insval )\nError: Internal: Invalid offset( insval )\n"
                 "Error: Internal: Invalid offset( insval )\n");
}

// The data records themselves are checked against a byte-by-byte reference
// in srec_test.cpp.
TEST(VlkSrecWriter, HeaderEmptyBlockAndEndRecords) {
  std::string out;
  SrecWriter writer(out);
  writer.header();
  writer.data({}, 0x2000);
  writer.end(0);
  writer.end(0x21000);
  EXPECT_EQ(out, "S0030000FC\nS9030000FC\nS9031000EC\n");
}

TEST(VlkSrecWriter, CleanNames) {
  EXPECT_EQ(clean_name("prog.s19"), "prog_clean.s19");
  EXPECT_EQ(clean_name("out.d/prog"), "out.d/prog_clean.s19");
  EXPECT_EQ(clean_name("x"), "x_clean.s19");
  EXPECT_EQ(clean_name("a.b.s19"), "a.b_clean.s19");
}

class VlkPaged : public VlkTest {};

// Field 0: 'O','W' to far+0; field 2: 'F','B' to far+0; field 3: 'P','W'.
const char* kPaged =
    "mod:p:O09:p.o09\n"
    "seg:text:6\n"
    "seg:!far:2\n"
    "C:text\t000000000000\n"
    "C:far\t3939\n"
    "RL:text:p:00000000:O:W:00000000:far:1\n"
    "RL:text:p:00000002:F:B:00000000:far:2\n"
    "e\n";

TEST_F(VlkPaged, BankedTranslation) {
  write("p.o09", kPaged);
  ASSERT_EQ(vlk("-R text:0x1000 -R far:0x0F8123 -o p.s19 p.o09"), 0) << err;
  auto bytes = srec_bytes(read("p.s19"));
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes[0], (std::pair<uint32_t, uint8_t>{0x1000, 0x81}));
  EXPECT_EQ(bytes[1], (std::pair<uint32_t, uint8_t>{0x1001, 0x23}));
  EXPECT_EQ(bytes[2], (std::pair<uint32_t, uint8_t>{0x1002, 0x0F}));
  EXPECT_NE(read("p.s19").find("S2060F81233939D4"), std::string::npos);
}

TEST_F(VlkPaged, FixedPagesAndLinearTranslation) {
  write("p.o09", kPaged);
  ASSERT_EQ(vlk("-R text:0x1000 -R far:0x054100 -o p.s19 p.o09"), 0) << err;
  auto bytes = srec_bytes(read("p.s19"));
  EXPECT_EQ(bytes[2].second, 0x3E) << "0x4000-0x7FFF is page 0x3E";
  ASSERT_EQ(vlk("-hl -R text:0x1000 -R far:0x0F8123 -o p.s19 p.o09"), 0);
  bytes = srec_bytes(read("p.s19"));
  EXPECT_EQ(bytes[1].second, 0x23);
  EXPECT_EQ(bytes[2].second, 0x0F);
}

TEST_F(VlkPaged, UntranslatableAddressIsAnError) {
  write("p.o09", kPaged);
  EXPECT_EQ(vlk("-R text:0x1000 -R far:0x2000 -o p.s19 p.o09"), 2);
  EXPECT_EQ(err,
            "Error: unsupported translation, NATIVE assumed\nbase at 00002000, \n"
            "Error: unsupported translation, NATIVE assumed\nbase at 00002000, \n");
  EXPECT_FALSE(exists("p.s19"));
}

TEST_F(VlkPaged, CodeBeyondTheSegmentSizeIsFatal) {
  write("big.o09", "mod:big:O09:big.o09\nseg:text:2\nC:text\t010203\ne\n");
  EXPECT_EQ(vlk("big.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't read segment 'text'\n");
  write("bad.o09", "mod:bad:O09:bad.o09\nseg:text:2\nC:text\t01G3\ne\n");
  EXPECT_EQ(vlk("bad.o09"), 1);
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zun::vlk::test
