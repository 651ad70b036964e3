// The instruction set page is what the opcode table and the CPU core make of
// it today, and its flag columns and branch cycles agree with the datasheet
// where the datasheet defines them.
#include <gtest/gtest.h>

#include "common/m6809_opcodes.h"
#include "tests/help/help_pages.h"
#include "tests/help/instruction_set.h"

namespace zun::help {
namespace {

TEST(InstructionSetPage, IsTheOneTheTablesAndTheCoreMake) {
  EXPECT_TRUE(page_html("instructions.html") == instruction_set_page())
      << "data/help/instructions.html is out of date: build-test/tests/isa_page >data/help/instructions.html";
}

// E F H I N Z V C from the datasheet's instruction table, typed apart from the
// core; one row for each way a flag can go.
TEST(InstructionSetPage, FlagsFollowTheDatasheet) {
  struct Row {
    const char* mnemonic;
    Mode mode;
    const char* flags;
  };
  const Row rows[] = {
      {"ADDA", Mode::Immediate8, "--*-****"},  {"ADCB", Mode::Direct, "--*-****"},
      {"CMPX", Mode::Extended, "----****"},    {"CMPU", Mode::Immediate16, "----****"},
      {"LDD", Mode::Indexed, "----**0-"},      {"STA", Mode::Direct, "----**0-"},
      {"CLRA", Mode::Inherent, "----0100"},    {"COM", Mode::Extended, "----**01"},
      {"INCB", Mode::Inherent, "----***-"},    {"NEGA", Mode::Inherent, "----****"},
      {"TSTB", Mode::Inherent, "----**0-"},    {"LSR", Mode::Indexed, "----0*-*"},
      {"ROLA", Mode::Inherent, "----****"},    {"MUL", Mode::Inherent, "-----*-*"},
      {"SEX", Mode::Inherent, "----**--"},     {"LEAY", Mode::Indexed, "-----*--"},
      {"LEAS", Mode::Indexed, "--------"},     {"ABX", Mode::Inherent, "--------"},
      {"ADDD", Mode::Immediate16, "----****"}, {"BITA", Mode::Immediate8, "----**0-"},
      {"SWI", Mode::Inherent, "11-1----"},     {"SWI2", Mode::Inherent, "1-------"},
      {"BNE", Mode::Relative8, "--------"},    {"JSR", Mode::Extended, "--------"},
      {"ANDCC", Mode::Immediate8, "********"}, {"RTI", Mode::Inherent, "********"},
  };
  for (const Row& row : rows) {
    const OpcodeInfo* op = find_mnemonic(row.mnemonic, row.mode);
    ASSERT_NE(op, nullptr) << row.mnemonic;
    EXPECT_EQ(flags_of(*op), row.flags) << row.mnemonic << " " << mode_name(row.mode);
  }
}

// The Cycles cell of a mnemonic's first row on the page.
std::string cycles_cell(const std::string& page, const std::string& mnemonic) {
  size_t at = page.find("<tr id=\"op-" + mnemonic + "\">");
  if (at == std::string::npos) return "(no row)";
  for (int cell = 0; cell < 5; ++cell) at = page.find("<td>", at) + 4;
  return page.substr(at, page.find("</td>", at) - at);
}

// A conditional branch that can be taken shows the taken count in brackets;
// LBRN never branches, so it has one count, as the datasheet gives it.
TEST(InstructionSetPage, BranchCyclesCountATakenBranchOnlyWhereOneCanBe) {
  const std::string page = instruction_set_page();
  EXPECT_EQ(cycles_cell(page, "LBRN"), "5");
  EXPECT_EQ(cycles_cell(page, "BRN"), "3");
  EXPECT_EQ(cycles_cell(page, "LBRA"), "5");
  EXPECT_EQ(cycles_cell(page, "LBSR"), "9");
  for (const char* m : {"LBHI", "LBLS", "LBCC", "LBCS", "LBNE", "LBEQ", "LBVC", "LBVS", "LBPL", "LBMI", "LBGE",
                        "LBLT", "LBGT", "LBLE"})
    EXPECT_EQ(cycles_cell(page, m), "5 (6)") << m;
  for (const char* m : {"BHI", "BEQ", "BLE", "BRA"}) EXPECT_EQ(cycles_cell(page, m), "3") << m;
}

}  // namespace
}  // namespace zun::help
