// Disassembly against the assembler: every mnemonic in every mode of the
// shared table is assembled by hasm09, disassembled by the core, and the text
// assembled again; both assemblies must give the same bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "common/m6809_opcodes.h"
#include "tests/cpu/cpu_test_support.h"

namespace zun::test {
namespace {

constexpr uint16_t ORIGIN = 0x1000;

std::vector<std::string> operands_for(const OpcodeInfo& row) {
  std::string name = row.mnemonic;
  bool u_stack = name == "PSHU" || name == "PULU";
  switch (row.mode) {
    case Mode::Inherent: return {""};
    case Mode::Immediate8: return {"#$5A", "#$00", "#$FF"};
    case Mode::Immediate16: return {"#$1234", "#$FFFF"};
    case Mode::Direct: return {"<$40", "<$FF"};
    case Mode::Extended: return {"$1234", "$FFFF"};
    case Mode::Indexed:
      return {",X",       "5,Y",       "-16,U",      "15,S",        "100,S",      "-128,X",
              "-1000,X",  "32767,Y",   ",X+",        ",Y++",        ",-U",        ",--S",
              "A,X",      "B,Y",       "D,U",        "[,X]",        "[,Y++]",     "[,--S]",
              "[10,U]",   "[-300,X]",  "[A,X]",      "[B,S]",       "[D,Y]",      "[$1234]",
              "*,PCR",    "$1234,PCR", "[*,PCR]",    "[$1234,PCR]"};
    case Mode::Relative8: return {"*", "*+2", "*-126"};
    case Mode::Relative16: return {"*", "$1234", "$0000"};
    case Mode::RegisterPair: return {"X,Y", "A,B", "D,U", "PC,S", "CC,DP", "S,PC"};
    case Mode::StackMask:
      if (u_stack) return {"A,B", "CC", "PC,S,Y,X,DP,B,A,CC", "X,DP"};
      return {"A,B", "CC", "PC,U,Y,X,DP,B,A,CC", "X,DP"};
  }
  return {};
}

// Assembles the lines at ORIGIN and returns the bytes from there on.
std::vector<uint8_t> assemble(const std::vector<std::string>& lines, const std::string& stem,
                              std::string& messages) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("zun_cpu_roundtrip_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path source = dir / (stem + ".s");
  fs::path object = dir / (stem + ".o09");
  {
    std::ofstream out(source);
    out << "\tsegment abs\n\torg $1000\n";
    for (const std::string& line : lines) out << "\t" << line << "\n";
  }
  hasm::Options options;
  options.source = source.string();
  options.output = object.string();
  hasm::Report report;
  hasm::run(options, report);
  messages = report.out + report.err;

  std::ifstream in(object);
  std::string line, hex;
  while (std::getline(in, line))
    if (line.rfind("C:abs\t", 0) == 0) hex += line.substr(6);
  fs::remove_all(dir);
  std::vector<uint8_t> bytes;
  for (size_t i = ORIGIN * 2; i + 1 < hex.size(); i += 2)
    bytes.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

TEST(CpuRoundTrip, DisassemblyAssemblesToTheSameBytes) {
  std::vector<std::string> lines;
  for (const OpcodeInfo& row : opcode_table())
    for (const std::string& operand : operands_for(row))
      lines.push_back(std::string(row.mnemonic) + (operand.empty() ? "" : " " + operand));

  std::string messages;
  std::vector<uint8_t> first = assemble(lines, "first", messages);
  ASSERT_EQ(messages, "");
  ASSERT_FALSE(first.empty());

  Machine m;
  for (size_t i = 0; i < first.size(); ++i) m.mem.bytes[ORIGIN + i] = first[i];
  std::vector<std::string> texts;
  uint32_t at = ORIGIN;
  while (at < ORIGIN + first.size()) {
    std::string text = m.text(uint16_t(at));
    int transfers = 0;
    int length = cpu_execute(m.cpu, at, false, transfers);
    ASSERT_GT(length, 0);
    ASSERT_EQ(text.rfind("FCB", 0), std::string::npos) << "at " << std::hex << at;
    texts.push_back(text);
    at += uint32_t(length);
  }
  ASSERT_EQ(texts.size(), lines.size()) << "instruction boundaries differ";
  EXPECT_GT(texts.size(), 1500u);

  std::vector<uint8_t> second = assemble(texts, "second", messages);
  ASSERT_EQ(messages, "");
  ASSERT_EQ(second.size(), first.size());
  // Point at the first instruction that differs, with both texts.
  at = ORIGIN;
  for (size_t n = 0; n < texts.size(); ++n) {
    int transfers = 0;
    int length = cpu_execute(m.cpu, at, false, transfers);
    size_t off = at - ORIGIN;
    bool same = std::equal(first.begin() + long(off), first.begin() + long(off) + length,
                           second.begin() + long(off));
    EXPECT_TRUE(same) << lines[n] << " -> " << texts[n];
    at += uint32_t(length);
  }
}

}  // namespace
}  // namespace zun::test
