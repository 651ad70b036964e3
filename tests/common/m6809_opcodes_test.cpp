// The instruction table against spot checks typed from the MC6809 datasheet.
#include "common/m6809_opcodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zun {
namespace {

struct Spot {
  const char* mnemonic;
  Mode mode;
  int page, opcode, length, cycles;
};

// From the datasheet's opcode map and instruction-set table.
const Spot spots[] = {
    {"NEG", Mode::Direct, 0, 0x00, 2, 6},        {"JMP", Mode::Direct, 0, 0x0E, 2, 3},
    {"NOP", Mode::Inherent, 0, 0x12, 1, 2},      {"SYNC", Mode::Inherent, 0, 0x13, 1, 4},
    {"LBRA", Mode::Relative16, 0, 0x16, 3, 5},   {"LBSR", Mode::Relative16, 0, 0x17, 3, 9},
    {"DAA", Mode::Inherent, 0, 0x19, 1, 2},      {"ORCC", Mode::Immediate8, 0, 0x1A, 2, 3},
    {"ANDCC", Mode::Immediate8, 0, 0x1C, 2, 3},  {"SEX", Mode::Inherent, 0, 0x1D, 1, 2},
    {"EXG", Mode::RegisterPair, 0, 0x1E, 2, 8},  {"TFR", Mode::RegisterPair, 0, 0x1F, 2, 6},
    {"BRA", Mode::Relative8, 0, 0x20, 2, 3},     {"BRN", Mode::Relative8, 0, 0x21, 2, 3},
    {"BCC", Mode::Relative8, 0, 0x24, 2, 3},     {"BLE", Mode::Relative8, 0, 0x2F, 2, 3},
    {"LEAX", Mode::Indexed, 0, 0x30, 2, 4},      {"LEAU", Mode::Indexed, 0, 0x33, 2, 4},
    {"PSHS", Mode::StackMask, 0, 0x34, 2, 5},    {"PULU", Mode::StackMask, 0, 0x37, 2, 5},
    {"RTS", Mode::Inherent, 0, 0x39, 1, 5},      {"ABX", Mode::Inherent, 0, 0x3A, 1, 3},
    {"RTI", Mode::Inherent, 0, 0x3B, 1, 6},      {"CWAI", Mode::Immediate8, 0, 0x3C, 2, 20},
    {"MUL", Mode::Inherent, 0, 0x3D, 1, 11},     {"SWI", Mode::Inherent, 0, 0x3F, 1, 19},
    {"NEGA", Mode::Inherent, 0, 0x40, 1, 2},     {"CLRA", Mode::Inherent, 0, 0x4F, 1, 2},
    {"ASLB", Mode::Inherent, 0, 0x58, 1, 2},     {"TSTB", Mode::Inherent, 0, 0x5D, 1, 2},
    {"COM", Mode::Indexed, 0, 0x63, 2, 6},       {"JMP", Mode::Indexed, 0, 0x6E, 2, 3},
    {"CLR", Mode::Extended, 0, 0x7F, 3, 7},      {"JMP", Mode::Extended, 0, 0x7E, 3, 4},
    {"SUBA", Mode::Immediate8, 0, 0x80, 2, 2},   {"SUBD", Mode::Immediate16, 0, 0x83, 3, 4},
    {"LDA", Mode::Immediate8, 0, 0x86, 2, 2},    {"CMPX", Mode::Immediate16, 0, 0x8C, 3, 4},
    {"BSR", Mode::Relative8, 0, 0x8D, 2, 7},     {"LDX", Mode::Immediate16, 0, 0x8E, 3, 3},
    {"STA", Mode::Direct, 0, 0x97, 2, 4},        {"JSR", Mode::Direct, 0, 0x9D, 2, 7},
    {"STX", Mode::Direct, 0, 0x9F, 2, 5},        {"ADDA", Mode::Indexed, 0, 0xAB, 2, 4},
    {"JSR", Mode::Indexed, 0, 0xAD, 2, 7},       {"LDX", Mode::Indexed, 0, 0xAE, 2, 5},
    {"SUBD", Mode::Extended, 0, 0xB3, 3, 7},     {"JSR", Mode::Extended, 0, 0xBD, 3, 8},
    {"STX", Mode::Extended, 0, 0xBF, 3, 6},      {"ADDD", Mode::Immediate16, 0, 0xC3, 3, 4},
    {"LDB", Mode::Immediate8, 0, 0xC6, 2, 2},    {"LDD", Mode::Immediate16, 0, 0xCC, 3, 3},
    {"LDU", Mode::Immediate16, 0, 0xCE, 3, 3},   {"STB", Mode::Direct, 0, 0xD7, 2, 4},
    {"STD", Mode::Direct, 0, 0xDD, 2, 5},        {"ADDD", Mode::Indexed, 0, 0xE3, 2, 6},
    {"STU", Mode::Indexed, 0, 0xEF, 2, 5},       {"LDD", Mode::Extended, 0, 0xFC, 3, 6},
    {"STU", Mode::Extended, 0, 0xFF, 3, 6},
    {"LBRN", Mode::Relative16, 0x10, 0x21, 4, 5}, {"LBEQ", Mode::Relative16, 0x10, 0x27, 4, 5},
    {"LBLE", Mode::Relative16, 0x10, 0x2F, 4, 5}, {"SWI2", Mode::Inherent, 0x10, 0x3F, 2, 20},
    {"CMPD", Mode::Immediate16, 0x10, 0x83, 4, 5}, {"CMPY", Mode::Immediate16, 0x10, 0x8C, 4, 5},
    {"LDY", Mode::Immediate16, 0x10, 0x8E, 4, 4}, {"CMPD", Mode::Direct, 0x10, 0x93, 3, 7},
    {"STY", Mode::Direct, 0x10, 0x9F, 3, 6},      {"CMPY", Mode::Indexed, 0x10, 0xAC, 3, 7},
    {"LDY", Mode::Extended, 0x10, 0xBE, 4, 7},    {"LDS", Mode::Immediate16, 0x10, 0xCE, 4, 4},
    {"STS", Mode::Direct, 0x10, 0xDF, 3, 6},      {"LDS", Mode::Indexed, 0x10, 0xEE, 3, 6},
    {"STS", Mode::Extended, 0x10, 0xFF, 4, 7},
    {"SWI3", Mode::Inherent, 0x11, 0x3F, 2, 20},  {"CMPU", Mode::Immediate16, 0x11, 0x83, 4, 5},
    {"CMPS", Mode::Immediate16, 0x11, 0x8C, 4, 5}, {"CMPU", Mode::Direct, 0x11, 0x93, 3, 7},
    {"CMPS", Mode::Indexed, 0x11, 0xAC, 3, 7},    {"CMPU", Mode::Extended, 0x11, 0xB3, 4, 8},
};

TEST(CommonOpcodeTable, SpotChecksByOpcodeAndByMnemonic) {
  for (const Spot& s : spots) {
    SCOPED_TRACE(std::string(s.mnemonic) + " " + mode_name(s.mode));
    const OpcodeInfo* op = find_opcode(static_cast<uint8_t>(s.page), static_cast<uint8_t>(s.opcode));
    ASSERT_NE(op, nullptr);
    EXPECT_STREQ(op->mnemonic, s.mnemonic);
    EXPECT_EQ(op->mode, s.mode);
    EXPECT_EQ(op->length, s.length);
    EXPECT_EQ(op->cycles, s.cycles);
    EXPECT_EQ(find_mnemonic(s.mnemonic, s.mode), op);
  }
}

TEST(CommonOpcodeTable, UndefinedOpcodesAndPagesHaveNoRow) {
  // Holes of the page-0 map, the prefixes themselves, and the sparse pages.
  for (int op : {0x01, 0x02, 0x05, 0x0B, 0x10, 0x11, 0x14, 0x15, 0x18, 0x1B, 0x38, 0x3E, 0x41,
                 0x42, 0x45, 0x4B, 0x4E, 0x51, 0x5E, 0x61, 0x6B, 0x71, 0x7B, 0x87, 0x8F, 0xC7,
                 0xCD, 0xCF})
    EXPECT_EQ(find_opcode(0, static_cast<uint8_t>(op)), nullptr) << std::hex << op;
  EXPECT_EQ(find_opcode(0x10, 0x20), nullptr);  // no long BRA on page 2: LBRA is 0x16
  EXPECT_EQ(find_opcode(0x10, 0x86), nullptr);
  EXPECT_EQ(find_opcode(0x11, 0x8E), nullptr);
  EXPECT_EQ(find_opcode(0x12, 0x00), nullptr);
}

TEST(CommonOpcodeTable, CountsPerPage) {
  // 256 minus 33 holes and the two prefixes; page 2 and page 3 as in the map.
  int count[3] = {};
  for (const OpcodeInfo& op : opcode_table()) count[op.page == 0 ? 0 : op.page == 0x10 ? 1 : 2]++;
  EXPECT_EQ(count[0], 221);
  EXPECT_EQ(count[1], 38);
  EXPECT_EQ(count[2], 9);
}

TEST(CommonOpcodeTable, MnemonicLookupFoldsCaseAndKnowsSecondNames) {
  EXPECT_EQ(find_mnemonic("lda", Mode::Extended)->opcode, 0xB6);
  EXPECT_EQ(find_mnemonic("LsLa", Mode::Inherent)->opcode, 0x48);
  EXPECT_EQ(find_mnemonic("lsl", Mode::Direct)->opcode, 0x08);
  EXPECT_EQ(find_mnemonic("BHS", Mode::Relative8)->opcode, 0x24);
  EXPECT_EQ(find_mnemonic("blo", Mode::Relative8)->opcode, 0x25);
  const OpcodeInfo* lbhs = find_mnemonic("LBHS", Mode::Relative16);
  ASSERT_NE(lbhs, nullptr);
  EXPECT_EQ(lbhs->page, 0x10);
  EXPECT_EQ(lbhs->opcode, 0x24);
  EXPECT_EQ(find_mnemonic("STA", Mode::Immediate8), nullptr);
  EXPECT_EQ(find_mnemonic("LDD", Mode::Immediate8), nullptr);
  EXPECT_EQ(find_mnemonic("LEAX", Mode::Direct), nullptr);
  EXPECT_EQ(find_mnemonic("LDAX", Mode::Direct), nullptr);
  EXPECT_EQ(find_mnemonic("", Mode::Inherent), nullptr);
  EXPECT_EQ(find_mnemonic("VERYLONGNAME", Mode::Inherent), nullptr);
  EXPECT_TRUE(is_mnemonic("cwai"));
  EXPECT_TRUE(is_mnemonic("LBLO"));
  EXPECT_FALSE(is_mnemonic("LBSRX"));
  EXPECT_FALSE(is_mnemonic("ORG"));
}

TEST(CommonOpcodeTable, EveryRowIsFoundByBothLookups) {
  std::set<std::pair<std::string, Mode>> seen;
  for (const OpcodeInfo& op : opcode_table()) {
    EXPECT_EQ(find_opcode(op.page, op.opcode), &op);
    EXPECT_EQ(find_mnemonic(op.mnemonic, op.mode), &op) << op.mnemonic;
    EXPECT_TRUE(seen.insert({op.mnemonic, op.mode}).second) << op.mnemonic << " twice in one mode";
  }
}

}  // namespace
}  // namespace zun
