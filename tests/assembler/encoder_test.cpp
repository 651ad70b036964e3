// The instruction encoder against the MC6809 datasheet: fixture sources whose
// lines carry their expected bytes, and the cases that depend on addresses or
// must fail.
#include <gtest/gtest.h>

#include <sstream>

#include "asm_support.h"

namespace zun::hasm::test {
namespace {

// Assembles a fixture and compares every line's bytes with its comment.
void check_fixture(const std::string& name) {
  std::string source = read_whole(std::string(HASM09_FIXTURES) + "/" + name);
  ASSERT_FALSE(source.empty()) << name;
  AsmRun r = assemble(source);
  ASSERT_EQ(r.rc, 0) << r.err;
  std::vector<uint8_t> got = segment_bytes(r.object, "text");
  std::istringstream in(source);
  std::string line;
  size_t offset = 0;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    size_t semi = line.find(';');
    if (line.empty() || line[0] == '*' || semi == std::string::npos) continue;
    std::vector<uint8_t> want = hex_bytes(line.substr(semi + 1));
    ASSERT_LE(offset + want.size(), got.size()) << name << ":" << number << " " << line;
    std::vector<uint8_t> have(got.begin() + offset, got.begin() + offset + want.size());
    EXPECT_EQ(have, want) << name << ":" << number << " " << line;
    offset += want.size();
  }
  EXPECT_EQ(offset, got.size()) << name;
}

TEST(Hasm09Encoder, EveryMnemonicInEveryMode) { check_fixture("opcodes.s09"); }
TEST(Hasm09Encoder, IndexedPostBytes) { check_fixture("indexed.s09"); }
TEST(Hasm09Encoder, RegisterCodesAndMasks) { check_fixture("registers.s09"); }

std::vector<uint8_t> bytes_of(const std::string& source, const std::vector<std::string>& args = {}) {
  AsmRun r = assemble(source, args);
  EXPECT_EQ(r.rc, 0) << r.err;
  return segment_bytes(r.object, "text");
}

// The bytes of a source assembled in segment abs, where places are numbers
// and the distance to a number is known.
std::vector<uint8_t> abs_bytes(const std::string& source) {
  AsmRun r = assemble(" segment abs\n" + source);
  EXPECT_EQ(r.rc, 0) << r.err;
  return segment_bytes(r.object, "abs");
}

TEST(Hasm09Encoder, PcRelativeSizeFollowsTheDisplacement) {
  // At address 0: the 8-bit form ends at 3, the 16-bit form at 4.
  EXPECT_EQ(abs_bytes(" lda 5,pcr\n"), hex_bytes("A6 8C 02"));
  EXPECT_EQ(abs_bytes(" lda 130,pcr\n"), hex_bytes("A6 8C 7F"));
  EXPECT_EQ(abs_bytes(" lda 131,pcr\n"), hex_bytes("A6 8D 00 7F"));
  EXPECT_EQ(abs_bytes(" lda 200,pcr\n"), hex_bytes("A6 8D 00 C4"));
  EXPECT_EQ(abs_bytes(" lda -125,pcr\n"), hex_bytes("A6 8C 80"));
  EXPECT_EQ(abs_bytes(" lda -126,pcr\n"), hex_bytes("A6 8D FF 7E"));
  EXPECT_EQ(abs_bytes(" lda [5,pcr]\n"), hex_bytes("A6 9C 02"));
  EXPECT_EQ(abs_bytes(" lda [200,pcr]\n"), hex_bytes("A6 9D 00 C4"));
  // A target of 0 is still a PC-relative operand, not the form ",PCR".
  EXPECT_EQ(abs_bytes(" lda 0,pcr\n"), hex_bytes("A6 8C FD"));
  EXPECT_EQ(bytes_of(" leax 0,x\n"), hex_bytes("30 84"));
  // A page prefix makes the instruction one byte longer.
  EXPECT_EQ(abs_bytes(" ldy 5,pcr\n"), hex_bytes("10 AE 8C 01"));
  EXPECT_EQ(abs_bytes(" ldy 300,pcr\n"), hex_bytes("10 AE 8D 01 27"));
  // A label always takes the 16-bit form.
  EXPECT_EQ(bytes_of("back lda back,pcr\n leax back,pcr\n"),
            hex_bytes("A6 8D FF FC 30 8D FF F8"));
  // In a segment the linker places, a number's distance is not known: it
  // takes 16 bits, which the linker fills in.
  EXPECT_EQ(bytes_of(" lda 5,pcr\n lda [0,pcr]\n"), hex_bytes("A6 8D FF FE A6 9D FF FE"));
}

TEST(Hasm09Encoder, OffsetsThatUseASymbolTakeSixteenBits) {
  // Whatever its value and wherever it is defined, a constant symbol in an
  // offset selects the 16-bit form, in both passes alike; numbers keep the
  // smallest form.
  std::vector<uint8_t> got = bytes_of(
      "start lda K,x\nK equ 3\n lda K,x\n lda K-4,y\n lda [K,u]\n ldb K,pcr\n"
      "Z set 0\n lda Z,s\n#define P 1\n lda P,x\n lda Q,x\n lda 3,x\nhere fdb here-start\n",
      {"-D", "Q=2"});
  EXPECT_EQ(got, hex_bytes("A6 89 00 03 A6 89 00 03 A6 A9 FF FF A6 D9 00 03 E6 8D FF FE "
                           "A6 E9 00 00 A6 89 00 01 A6 89 00 02 A6 03 00 22"));
}

TEST(Hasm09Encoder, BranchDisplacements) {
  EXPECT_EQ(bytes_of("top nop\n bra top\n beq next\n nop\nnext rts\n"),
            hex_bytes("12 20 FD 27 01 12 39"));
  EXPECT_EQ(bytes_of("top nop\n lbra top\n lbne top\n lbsr next\nnext rts\n"),
            hex_bytes("12 16 FF FC 10 26 FF F8 17 00 00 39"));
  EXPECT_EQ(bytes_of(" bra *+129\n"), hex_bytes("20 7F"));
  EXPECT_EQ(bytes_of(" bra *-126\n"), hex_bytes("20 80"));
  // A 16-bit displacement wraps around the address space alike both ways:
  // a branch back by more than 32K is the same word as one forward.
  std::vector<uint8_t> far = abs_bytes(" org $8436\n lbpl $02A5\n lbsr *-40000\n");
  ASSERT_GE(far.size(), 7u);
  EXPECT_EQ(std::vector<uint8_t>(far.end() - 7, far.end()), hex_bytes("10 2A 7E 6B 17 63 BD"));
  EXPECT_EQ(bytes_of(" lbra *-65532\n"), hex_bytes("16 00 01"));
}

TEST(Hasm09Encoder, DirectExtendedAndImmediateForms) {
  EXPECT_EQ(bytes_of(" neg <$20\n neg $20\n lda >$20\n"), hex_bytes("00 20 70 00 20 B6 00 20"));
  EXPECT_EQ(bytes_of(" ldd #1\n lda #-1\n ldx #-2\n"), hex_bytes("CC 00 01 86 FF 8E FF FE"));
  EXPECT_EQ(bytes_of(" LDA #$12\n Lda #'A'\n"), hex_bytes("86 12 86 41"));
}

struct Failure {
  const char* source;
  const char* message;
};

// Names the case by its source in test listings (instead of pointer bytes).
void PrintTo(const Failure& f, std::ostream* os) {
  std::string line = f.source;
  *os << line.substr(0, line.find('\n'));
}

class Hasm09EncoderErrors : public ::testing::TestWithParam<Failure> {};

TEST_P(Hasm09EncoderErrors, ReportTheFirstErrorOfTheLine) {
  AsmRun r = assemble(GetParam().source);
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, std::string("\"t.s09\" (1): error: ") + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Hasm09, Hasm09EncoderErrors,
    ::testing::Values(
        Failure{" tfr a,x\n", " Registers of different size"},
        Failure{" tfr a\n", " Comma expected"},
        Failure{" tfr q,a\n", " Register Expected"},
        Failure{" exg a,b,c\n", " operand delimiter expected"},
        Failure{" pshs a,q\n", " Invalid register list"},
        Failure{" pshs a;b\n", " Comma expected"},
        Failure{" stx #1\n", "Illegal Addressing Mode"},
        Failure{" leax $1234\n", "Illegal Addressing Mode"},
        Failure{" lda [,x+]\n", "Syntax Error"},
        Failure{" lda [,-x]\n", "Syntax Error"},
        Failure{" lda 5,q\n", "Syntax Error"},
        Failure{" lda #1,x\n", "Syntax Error"},
        Failure{" bra #1\n", "Illegal addressing mode"},
        Failure{" bra <1\n", "Illegal addressing mode"},
        Failure{" bra *+130\n", "8-bit displacement truncated"},
        Failure{" lbra *+70000\n", "Displacement (16-bits) truncated"},
        Failure{" lbra *-65536\n", "Displacement (16-bits) truncated"},
        Failure{" frob 1\n", "Illegal mnemonic"},
        Failure{" lda #x\n", "Illegal use of reserved word, Position[6]"},
        Failure{" lda #ab\"\n", "Illegal character, Position[8]"}));

TEST(Hasm09Encoder, TwoErrorsOnALineCountOnce) {
  AsmRun r = assemble("lab: frob\nlab: nop\n");
  // The second line has a multiple definition only: one message per line.
  EXPECT_EQ(r.rc, 2) << r.err;
  EXPECT_EQ(r.err,
            "\"t.s09\" (1): error: Illegal mnemonic\n"
            "\"t.s09\" (2): error: Multiple definition\n");
  // Two faults on one line: the first is reported and counted, the second not.
  r = assemble("lab nop\nlab frob\n");
  EXPECT_EQ(r.rc, 1) << r.err;
  EXPECT_EQ(r.err, "\"t.s09\" (2): error: Multiple definition\n");
}

TEST(Hasm09Encoder, ErrorLinesKeepTheAddressesBehindThem) {
  // The undefined symbol is only known in pass 2; the line still takes its
  // three bytes so that 'next' does not move.
  AsmRun r = assemble(" ldx undefined\nnext bra next\n");
  EXPECT_EQ(r.rc, 1) << r.err;
  EXPECT_EQ(r.err, "\"t.s09\" (1): error: Undefined symbol 'undefined'\n");
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 00 00 20 FE"));
}

}  // namespace
}  // namespace zun::hasm::test
