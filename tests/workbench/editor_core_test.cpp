// The editors' rules without a window: the assembler colouriser against its
// golden style files (whole, line by line as the editor restyles, and with
// CR LF line ends), its word tables against what hasm09 accepts, and the
// find/replace histories and the round over all open documents.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "assembler/internal.h"
#include "workbench/editor/asm_colour.h"
#include "colour_golden.h"
#include "workbench/editor/find_state.h"

using namespace zun::wb;
using namespace zun::wb::test;

namespace {

std::string read_all(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> out;
  std::istringstream in{std::string(text)};
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace

TEST(AsmColour, GoldenFiles) {
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(WB_COLOUR_CASES)) {
    if (entry.path().extension() != ".s09") continue;
    ++cases;
    std::string source = read_all(entry.path());
    std::string expected = read_all(std::filesystem::path(entry.path()).replace_extension(".sty"));
    std::vector<uint8_t> styles = ColouriseAsmDoc(source, 0, source.size(), 0, asm_keywords());
    EXPECT_EQ(golden_styles(source, styles), expected) << entry.path().filename()
                                                       << golden_diff(source, expected, styles);
  }
  EXPECT_GE(cases, 5);
}

// The editor restyles from the start of a line, taking the style before it
// as the state; that must give what colouring the whole text gives.
TEST(AsmColour, LineByLineAndCrLfAgreeWithWholeText) {
  for (const char* name : {"basics.s09", "strings.s09", "directives.s09"}) {
    std::string source = read_all(std::filesystem::path(WB_COLOUR_CASES) / name);
    std::vector<uint8_t> whole = ColouriseAsmDoc(source, 0, source.size(), 0, asm_keywords());
    std::vector<uint8_t> pieces;
    for (size_t start = 0; start < source.size();) {
      size_t end = std::min(source.find('\n', start) + 1, source.size());
      int init = start ? pieces.back() : 0;
      std::vector<uint8_t> line = ColouriseAsmDoc(source, start, end - start, init, asm_keywords());
      pieces.insert(pieces.end(), line.begin(), line.end());
      start = end;
    }
    EXPECT_EQ(pieces, whole) << name;

    std::string crlf;
    std::vector<uint8_t> crlf_expected;
    for (size_t i = 0; i < source.size(); ++i) {
      if (source[i] == '\n') {
        crlf += '\r';
        crlf_expected.push_back(whole[i]);
      }
      crlf += source[i];
      crlf_expected.push_back(whole[i]);
    }
    EXPECT_EQ(ColouriseAsmDoc(crlf, 0, crlf.size(), 0, asm_keywords()), crlf_expected) << name;
  }
}

// A quadratic slip shows here long before anyone notices it in the editor.
TEST(AsmColour, TwentyThousandLinesInWellUnderASecond) {
  std::string source;
  for (int i = 0; i < 2500; ++i)
    source += "loop    lda     #$10            ; count down\n        ldx     #buffer+2*3\n"
              "        fcs     \"text \\\"q\\\"\"\n#ifdef DEBUG\n        pshs    a,b,x,pc\n"
              "        ORG     $1000\n* comment line\n        bne     loop\n";
  auto t0 = std::chrono::steady_clock::now();
  std::vector<uint8_t> styles = ColouriseAsmDoc(source, 0, source.size(), 0, asm_keywords());
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(styles.size(), source.size());
  EXPECT_LT(ms, 1000);
}

// Keyword list 0 is exactly the set of mnemonics hasm09 assembles, and every
// word the editor colours as a directive is one hasm09 knows, apart from the
// native dialect and the dot keywords, which the editor's tables carry but
// the assembler does not assemble.
TEST(AsmColour, WordsAgreeWithTheAssembler) {
  zun::hasm::Options options;
  zun::hasm::Report report;
  zun::hasm::Assembly as(options, report);
  zun::hasm::build_mnemonics(as);
  zun::hasm::build_directive_words(as);

  std::vector<std::string> list0 = words_of(asm_mnemonics);
  for (const std::string& m : list0) EXPECT_NE(zun::hasm::find_mnemonic(as, m), nullptr) << m;
  for (const auto& row : as.mnemonic_rows)
    EXPECT_NE(std::find(list0.begin(), list0.end(), row.name), list0.end()) << row.name;

  const std::set<std::string> not_assembled = {"global", "public", "include", "=",     "byte",
                                               "word",   "long",   "space",   "fill",  "ascii",
                                               "asciiz", "float",  "double",  "pragma", ".if",
                                               ".else",  ".endif", ".elseif", ".ifdef", ".ifndef",
                                               ".error"};
  const zun::DirectiveTables& t = asm_directive_tables();
  int coloured = 0;
  for (const zun::DirectiveEntry* table : {t.native, t.pure, t.base, t.dot_keywords}) {
    for (const zun::DirectiveEntry* e = table; e->name; ++e) {
      ASSERT_NE(is_asm_directive(e->name), 0) << e->name;
      ++coloured;
      const char* pos = e->name;
      bool known = zun::hasm::lookup_directive(as, e->name, std::strlen(e->name)) != 0 ||
                   zun::hasm::lookup_pp_keyword(as, pos) != 0;
      EXPECT_EQ(known, !not_assembled.count(e->name)) << e->name;
    }
  }
  EXPECT_GT(coloured, 60);
  // And the other way: a word hasm09 takes as a directive in a plain source,
  // before any option switches tables, is coloured as one. The compatibility
  // table is not searched, so its own words stay plain; "opt" is option's
  // other spelling and stands in the standard table.
  for (const zun::DirectiveEntry* e = t.compat; e->name; ++e) {
    const bool known = zun::hasm::lookup_directive(as, e->name, std::strlen(e->name)) != 0;
    EXPECT_EQ(is_asm_directive(e->name) != 0, known) << e->name;
  }
  EXPECT_NE(is_asm_directive("opt"), 0);
  EXPECT_EQ(is_asm_directive("fcc"), 0);
  EXPECT_EQ(is_asm_directive("setdp"), 0);
}

TEST(FindState, Histories) {
  FindHistory h;
  h.push("alpha");
  h.push("alpha");
  EXPECT_EQ(h.entries(), std::vector<std::string>{"alpha"});
  std::string long_text(40, 'x');
  h.push(long_text);
  h.push(long_text);
  ASSERT_EQ(h.entries().size(), 2u);
  EXPECT_EQ(h.entries()[0], std::string(31, 'x'));
  for (int i = 0; i < 15; ++i) h.push("w" + std::to_string(i));
  ASSERT_EQ(h.entries().size(), 16u);
  EXPECT_EQ(h.entries().front(), "w14");
  EXPECT_EQ(h.entries().back(), std::string(31, 'x'));  // "alpha", the oldest, was dropped
}

TEST(FindState, RoundVisitsEveryOtherDocumentOnceAndEndsAtItsStart) {
  int docs[4];
  std::vector<DocumentRound::Key> open = {&docs[0], &docs[1], &docs[2], &docs[3]};
  DocumentRound r;
  r.begin(&docs[2], "x");
  EXPECT_EQ(r.advance(open), &docs[3]);
  EXPECT_EQ(r.advance(open), &docs[0]);
  EXPECT_EQ(r.advance(open), &docs[1]);
  EXPECT_EQ(r.advance(open), nullptr);
  EXPECT_EQ(r.start(), &docs[2]);

  // The same text in the document searched last goes on; another text, or
  // another document, starts over.
  r.begin(&docs[0], "x");
  EXPECT_EQ(r.advance(open), &docs[1]);
  r.begin(&docs[1], "x");
  EXPECT_EQ(r.advance(open), &docs[2]);
  r.begin(&docs[2], "y");
  EXPECT_EQ(r.start(), &docs[2]);

  // A round whose start was closed ends instead of running on.
  std::vector<DocumentRound::Key> fewer = {&docs[0], &docs[1], &docs[3]};
  r.begin(&docs[3], "z");
  r.advance(open);
  EXPECT_EQ(r.advance(std::vector<DocumentRound::Key>{&docs[0], &docs[1]}), nullptr);
  r.begin(&docs[1], "z");
  EXPECT_EQ(r.advance(fewer), &docs[3]);
  EXPECT_EQ(r.advance(fewer), &docs[0]);
  EXPECT_EQ(r.advance(fewer), nullptr);
}
