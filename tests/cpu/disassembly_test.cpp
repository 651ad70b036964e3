// Decoding and text: the length and mnemonic of every opcode against the
// MC6809 datasheet, every indexed post-byte, the printed forms, the text sinks
// and the undefined opcodes.
#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "tests/cpu/cpu_test_support.h"

namespace zun::test {
namespace {

// Page-1 lengths by row (high nibble) and column (low nibble), indexed forms
// counted with a one-byte post-byte; 0 undefined, p a page prefix.
constexpr const char* page1_lengths[16] = {
    "2002202222202222", "pp11003301202122", "2222222222222222", "2222222201112101",
    "1001101111101101", "1001101111101101", "2002202222202222", "3003303333303333",
    "2223222022223230", "2222222222222222", "2222222222222222", "3333333333333333",
    "2223222022223030", "2222222222222222", "2222222222222222", "3333333333333333",
};

// Page-1 mnemonics by row; "-" undefined or prefix.
constexpr const char* memory_row = "NEG - - COM LSR - ROR ASR ASL ROL DEC - INC TST JMP CLR";
constexpr const char* a_row_memory = "SUBA CMPA SBCA SUBD ANDA BITA LDA STA EORA ADCA ORA ADDA CMPX JSR LDX STX";
constexpr const char* b_row_memory = "SUBB CMPB SBCB ADDD ANDB BITB LDB STB EORB ADCB ORB ADDB LDD STD LDU STU";
constexpr const char* page1_mnemonics[16] = {
    memory_row,
    "- - NOP SYNC - - LBRA LBSR - DAA ORCC - ANDCC SEX EXG TFR",
    "BRA BRN BHI BLS BCC BCS BNE BEQ BVC BVS BPL BMI BGE BLT BGT BLE",
    "LEAX LEAY LEAS LEAU PSHS PULS PSHU PULU - RTS ABX RTI CWAI MUL - SWI",
    "NEGA - - COMA LSRA - RORA ASRA ASLA ROLA DECA - INCA TSTA - CLRA",
    "NEGB - - COMB LSRB - RORB ASRB ASLB ROLB DECB - INCB TSTB - CLRB",
    memory_row,
    memory_row,
    "SUBA CMPA SBCA SUBD ANDA BITA LDA - EORA ADCA ORA ADDA CMPX BSR LDX -",
    a_row_memory,
    a_row_memory,
    a_row_memory,
    "SUBB CMPB SBCB ADDD ANDB BITB LDB - EORB ADCB ORB ADDB LDD - LDU -",
    b_row_memory,
    b_row_memory,
    b_row_memory,
};

struct PagedOpcode {
  int opcode;
  const char* mnemonic;
  int length;
};

constexpr PagedOpcode page2[] = {
    {0x21, "LBRN", 4}, {0x22, "LBHI", 4}, {0x23, "LBLS", 4}, {0x24, "LBCC", 4}, {0x25, "LBCS", 4},
    {0x26, "LBNE", 4}, {0x27, "LBEQ", 4}, {0x28, "LBVC", 4}, {0x29, "LBVS", 4}, {0x2A, "LBPL", 4},
    {0x2B, "LBMI", 4}, {0x2C, "LBGE", 4}, {0x2D, "LBLT", 4}, {0x2E, "LBGT", 4}, {0x2F, "LBLE", 4},
    {0x3F, "SWI2", 2},
    {0x83, "CMPD", 4}, {0x8C, "CMPY", 4}, {0x8E, "LDY", 4},
    {0x93, "CMPD", 3}, {0x9C, "CMPY", 3}, {0x9E, "LDY", 3}, {0x9F, "STY", 3},
    {0xA3, "CMPD", 3}, {0xAC, "CMPY", 3}, {0xAE, "LDY", 3}, {0xAF, "STY", 3},
    {0xB3, "CMPD", 4}, {0xBC, "CMPY", 4}, {0xBE, "LDY", 4}, {0xBF, "STY", 4},
    {0xCE, "LDS", 4}, {0xDE, "LDS", 3}, {0xDF, "STS", 3},
    {0xEE, "LDS", 3}, {0xEF, "STS", 3}, {0xFE, "LDS", 4}, {0xFF, "STS", 4},
};

constexpr PagedOpcode page3[] = {
    {0x3F, "SWI3", 2},
    {0x83, "CMPU", 4}, {0x8C, "CMPS", 4}, {0x93, "CMPU", 3}, {0x9C, "CMPS", 3},
    {0xA3, "CMPU", 3}, {0xAC, "CMPS", 3}, {0xB3, "CMPU", 4}, {0xBC, "CMPS", 4},
};

std::vector<std::string> words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// The text starts with the mnemonic and, when there is more, a blank.
void expect_mnemonic(const std::string& text, const std::string& mnemonic) {
  EXPECT_EQ(text.substr(0, mnemonic.size()), mnemonic);
  if (text.size() > mnemonic.size()) {
    EXPECT_EQ(text[mnemonic.size()], ' ') << text;
  }
}

TEST(CpuDecode, EveryPage1OpcodeHasItsDatasheetLengthAndMnemonic) {
  for (int op = 0; op < 256; ++op) {
    if (op == 0x10 || op == 0x11) continue;
    SCOPED_TRACE(op);
    Machine m;
    m.load(0x1000, {op, 0x84, 0x00, 0x00, 0x00});
    std::string text = m.text(0x1000);
    int transfers = -1;
    int length = cpu_execute(m.cpu, 0x1000, false, transfers);
    char expected_length = page1_lengths[op >> 4][op & 15];
    std::string mnemonic = words(page1_mnemonics[op >> 4])[op & 15];
    if (expected_length == '0') {
      EXPECT_EQ(mnemonic, "-");
      EXPECT_EQ(length, 1);
      char fcb[16];
      std::snprintf(fcb, sizeof fcb, "FCB   $%2.2X", op);
      EXPECT_EQ(text, fcb);
    } else {
      EXPECT_EQ(length, expected_length - '0');
      expect_mnemonic(text, mnemonic);
    }
  }
}

TEST(CpuDecode, EveryPage2And3OpcodeHasItsDatasheetLength) {
  for (int prefix : {0x10, 0x11}) {
    for (int op = 0; op < 256; ++op) {
      SCOPED_TRACE(prefix * 256 + op);
      const PagedOpcode* row = nullptr;
      if (prefix == 0x10) {
        for (const PagedOpcode& p : page2)
          if (p.opcode == op) row = &p;
      } else {
        for (const PagedOpcode& p : page3)
          if (p.opcode == op) row = &p;
      }
      Machine m;
      m.load(0x1000, {prefix, op, 0x84, 0x00, 0x00});
      std::string text = m.text(0x1000);
      int transfers = -1;
      int length = cpu_execute(m.cpu, 0x1000, false, transfers);
      if (row) {
        EXPECT_EQ(length, row->length);
        expect_mnemonic(text, row->mnemonic);
      } else {
        // An unknown second byte is a two-byte instruction without text.
        EXPECT_EQ(length, 2);
        EXPECT_EQ(text, "");
      }
    }
  }
}

struct IndexedForm {
  std::initializer_list<int> post;  // post-byte and extra bytes
  const char* text;
};

// LDA with every kind of post-byte, at 0x1000. PCR targets count from the
// byte after the offset.
const IndexedForm indexed_forms[] = {
    {{0x00}, "0,X"},          {{0x0F}, "15,X"},          {{0x10}, "-16,X"},
    {{0x1F}, "-1,X"},         {{0x20}, "0,Y"},           {{0x45}, "5,U"},
    {{0x7F}, "-1,S"},         {{0x80}, ",X+"},           {{0x81}, ",X++"},
    {{0x82}, ",-X"},          {{0x83}, ",--X"},          {{0x84}, ",X"},
    {{0x85}, "B,X"},          {{0x86}, "A,X"},           {{0x88, 0x80}, "-128,X"},
    {{0x88, 0x7F}, "127,X"},  {{0x89, 0x80, 0x00}, "-32768,X"},
    {{0x89, 0x01, 0x00}, "256,X"},                       {{0x8B}, "D,X"},
    {{0x8C, 0x10}, "$1013,PCR"},                         {{0x8D, 0xFF, 0xF0}, "$0FF4,PCR"},
    {{0x8F, 0x12, 0x34}, "$1234"},                       {{0x90}, "[,X+]"},
    {{0x91}, "[,X++]"},       {{0x92}, "[,-X]"},         {{0x93}, "[,--X]"},
    {{0x94}, "[,X]"},         {{0x95}, "[B,X]"},         {{0x96}, "[A,X]"},
    {{0x98, 0x02}, "[2,X]"},  {{0x99, 0x10, 0x00}, "[4096,X]"},
    {{0x9B}, "[D,X]"},        {{0x9C, 0x80}, "[$0F83,PCR]"},
    {{0x9D, 0x00, 0x00}, "[$1004,PCR]"},                 {{0x9F, 0xC0, 0x00}, "[$C000]"},
    {{0xA4}, ",Y"},           {{0xC4}, ",U"},            {{0xE4}, ",S"},
    {{0xB6}, "[A,Y]"},        {{0xF1}, "[,S++]"},
};

TEST(CpuDecode, IndexedPostBytesPrintAndCountTheirBytes) {
  for (const IndexedForm& form : indexed_forms) {
    SCOPED_TRACE(form.text);
    Machine m;
    m.mem.bytes[0x1000] = 0xA6;
    uint16_t at = 0x1001;
    for (int b : form.post) m.mem.bytes[at++] = uint8_t(b);
    EXPECT_EQ(m.text(0x1000), std::string("LDA   ") + form.text);
    int transfers = 0;
    EXPECT_EQ(cpu_execute(m.cpu, 0x1000, false, transfers), 1 + int(form.post.size()));
  }
}

TEST(CpuDecode, UndefinedIndexedPostBytesMakeTheInstructionUndefined) {
  for (int post : {0x87, 0x8A, 0x8E, 0x97, 0x9A, 0x9E, 0xA7, 0xFE}) {
    SCOPED_TRACE(post);
    Machine m;
    m.load(0x1000, {0xA6, post, 0x00, 0x00});
    EXPECT_EQ(m.text(0x1000), "FCB   $A6");
    EXPECT_FALSE(m.cpu.undefined);  // only executing flags it
    m.transfers = -1;
    EXPECT_EQ(m.step(), 1);
    EXPECT_EQ(m.transfers, 0);
    EXPECT_EQ(m.cpu.pc, 0x1000);
    EXPECT_EQ(m.cpu.a, 0);
    EXPECT_TRUE(m.cpu.undefined);
  }
  Machine m;
  m.load(0x1000, {0x10, 0xAE, 0x8A});
  EXPECT_EQ(m.text(0x1000), "FCB   $10");
}

struct Listing {
  uint16_t at;
  std::initializer_list<int> bytes;
  const char* text;
};

const Listing listings[] = {
    {0x1000, {0x86, 0x1F}, "LDA   #$1F"},
    {0x1000, {0x9F, 0x40}, "STX   <$40"},
    {0x1000, {0xBD, 0xE1, 0x23}, "JSR   $E123"},
    {0x1000, {0xEC, 0x9F, 0xC0, 0x00}, "LDD   [$C000]"},
    {0x1000, {0x30, 0x5D}, "LEAX  -3,U"},
    {0x1000, {0xA7, 0x80}, "STA   ,X+"},
    {0x1000, {0xE6, 0xB6}, "LDB   [A,Y]"},
    {0x1000, {0xA6, 0x8D, 0x02, 0x30}, "LDA   $1234,PCR"},
    {0x0100, {0x26, 0x02}, "BNE   $0104"},
    {0x1000, {0x34, 0xFF}, "PSHS  PC,U,Y,X,DP,B,A,CC"},
    {0x1000, {0x35, 0xFF}, "PULS  CC,A,B,DP,X,Y,U,PC"},
    {0x1000, {0x36, 0xFF}, "PSHU  PC,S,Y,X,DP,B,A,CC"},
    {0x1000, {0x37, 0x46}, "PULU  A,B,S"},
    {0x1000, {0x1F, 0x12}, "TFR   X,Y"},
    {0x1000, {0x1E, 0xAB}, "EXG   CC,DP"},
    {0x1000, {0x1F, 0x16}, "TFR   X,"},
    {0x1000, {0x01}, "FCB   $01"},
    {0x1000, {0x49}, "ROLA  "},
    {0x1000, {0x59}, "ROLB  "},
    {0x1000, {0x48}, "ASLA"},
    {0x1000, {0x12}, "NOP"},
    {0x1000, {0x3D}, "MUL"},
    {0x1000, {0x10, 0x3F}, "SWI2"},
    {0x1000, {0x11, 0x3F}, "SWI3"},
    {0x1000, {0x10, 0x27, 0x10, 0x00}, "LBEQ  $2004"},
    {0x1000, {0x16, 0xFF, 0xFD}, "LBRA  $1000"},
    {0x1000, {0x1C, 0xEF}, "ANDCC #$EF"},
    {0x1000, {0x3C, 0xEF}, "CWAI  #$EF"},
    {0x1000, {0x10, 0x8C, 0x12, 0x34}, "CMPY  #$1234"},
    {0x1000, {0x11, 0x93, 0x20}, "CMPU  <$20"},
    {0x1000, {0x10, 0xFE, 0x80, 0x00}, "LDS   $8000"},
    {0x1000, {0x60, 0x91}, "NEG   [,X++]"},
    {0xFFFE, {0x20, 0x10}, "BRA   $0010"},
    {0x1000, {0x10, 0x00}, ""},
};

TEST(CpuDisassembly, PrintsTheMotorolaForms) {
  for (const Listing& l : listings) {
    SCOPED_TRACE(l.text);
    Machine m;
    uint16_t at = l.at;
    for (int b : l.bytes) m.mem.bytes[at++] = uint8_t(b);
    EXPECT_EQ(m.text(l.at), l.text);
  }
}

TEST(CpuDisassembly, LineCarriesTheAddressAndReturnsTheNext) {
  Machine m;
  m.load(0x1000, {0x86, 0x1F});
  std::string line = "old";
  EXPECT_EQ(disassemble_line(m.cpu, 0x1000, line), 0x1002u);
  EXPECT_EQ(line, "  1000 LDA   #$1F");
  m.load(0xFFFF, {0x8E});
  m.load(0x0000, {0x12, 0x34});
  EXPECT_EQ(disassemble_line(m.cpu, 0xFFFF, line), 0x0002u);
  EXPECT_EQ(line, "  FFFF LDX   #$1234");
}

TEST(CpuDisassembly, LineSinkLeavesTheInstructionFieldAlone) {
  Machine m;
  TextSink field(31);
  m.cpu.sink = &field;
  m.load(0x1000, {0x12});
  std::string line;
  disassemble_line(m.cpu, 0x1000, line);
  EXPECT_EQ(line, "  1000 NOP");
  EXPECT_EQ(field.text(), "");
  EXPECT_EQ(m.cpu.sink, &field);
}

TEST(CpuDisassembly, ChangesNothing) {
  const std::initializer_list<int> programs[] = {
      {0x6C, 0x80}, {0x60, 0x93}, {0x34, 0xFF}, {0x35, 0xFF}, {0x3F}, {0x10, 0x3F}, {0xBD, 0x20, 0x00},
      {0x3C, 0x00}, {0x3B}, {0x39}, {0x1F, 0x15}, {0x1E, 0x89}, {0x97, 0x10}, {0xA6, 0x9F, 0x20, 0x00},
      {0x10, 0xCE, 0x12, 0x34}, {0x1A, 0xFF}, {0x19}, {0x3D},
  };
  for (const auto& program : programs) {
    Machine m;
    m.load(0x1000, program);
    m.cpu.in_service = IRQ_IRQ;
    Cpu before = m.cpu;
    long writes = m.mem.writes;
    std::string line;
    disassemble_line(m.cpu, 0x1000, line);
    SCOPED_TRACE(line);
    EXPECT_EQ(m.mem.writes, writes);
    EXPECT_EQ(m.cpu.pc, before.pc);
    EXPECT_EQ(m.cpu.s, before.s);
    EXPECT_EQ(m.cpu.u, before.u);
    EXPECT_EQ(m.cpu.x, before.x);
    EXPECT_EQ(m.cpu.y, before.y);
    EXPECT_EQ(m.cpu.a, before.a);
    EXPECT_EQ(m.cpu.b, before.b);
    EXPECT_EQ(m.cpu.cc, before.cc);
    EXPECT_EQ(m.cpu.waiting, false);
    EXPECT_EQ(m.cpu.in_service, IRQ_IRQ);
    EXPECT_EQ(m.hooks.log, "");
  }
}

TEST(CpuTextSink, DropsBeyondCapacityAndPadsTabs) {
  TextSink field(31);
  field.append("LDA\t#$1F");
  EXPECT_EQ(field.text(), "LDA              #$1F");
  EXPECT_EQ(field.text().find('#'), 17u);
  field.append("\tX");
  EXPECT_EQ(field.text(), "LDA              #$1FX");
  field.append("0123456789ABCDEF");
  EXPECT_EQ(field.text().size(), 31u);
  EXPECT_EQ(field.text(), "LDA              #$1FX012345678");
  TextSink narrow(5);
  narrow.append("\tAB");
  EXPECT_EQ(narrow.text(), "     ");
}

TEST(CpuUndefined, Page1OpcodeStaysAndStoresNoTransfer) {
  for (int op : {0x01, 0x02, 0x05, 0x0B, 0x14, 0x15, 0x18, 0x1B, 0x38, 0x3E, 0x41, 0x52, 0x65, 0x7B,
                 0x87, 0x8F, 0xC7, 0xCD, 0xCF}) {
    SCOPED_TRACE(op);
    Machine m;
    m.load(0x1000, {op, 0x00});
    m.cpu.a = 0x12;
    m.transfers = -1;
    EXPECT_EQ(m.step(), 1);
    EXPECT_EQ(m.transfers, 0);
    EXPECT_EQ(m.cpu.pc, 0x1000);
    EXPECT_EQ(m.cpu.a, 0x12);
    EXPECT_EQ(m.mem.writes, 0);
    EXPECT_TRUE(m.cpu.undefined);
  }
}

TEST(CpuUndefined, UnknownSecondByteIsATwoByteNoOp) {
  Machine m;
  m.load(0x1000, {0x10, 0x00, 0x11, 0x8E, 0x10, 0x10, 0x12});
  m.cpu.cc = 0x0F;
  m.transfers = -1;
  EXPECT_EQ(m.step(), 2);
  EXPECT_EQ(m.transfers, 0);
  EXPECT_EQ(m.cpu.pc, 0x1002);
  EXPECT_TRUE(std::exchange(m.cpu.undefined, false));
  EXPECT_EQ(m.step(), 2);  // 0x11 0x8E: LDY has no page-3 form
  EXPECT_EQ(m.cpu.y, 0);
  EXPECT_TRUE(std::exchange(m.cpu.undefined, false));
  EXPECT_EQ(m.step(), 2);
  EXPECT_EQ(m.cpu.pc, 0x1006);
  EXPECT_EQ(m.cpu.cc, 0x0F);
  EXPECT_EQ(m.mem.writes, 0);
  EXPECT_TRUE(std::exchange(m.cpu.undefined, false));
  EXPECT_EQ(m.step(), 1);  // NOP
  EXPECT_FALSE(m.cpu.undefined);
}

}  // namespace
}  // namespace zun::test
