// The source pane's colour runs: C keywords, strings and characters, numbers
// by base, operators and comments (also one that began above the window), the
// assembler's fields, and the tab stops.
#include <gtest/gtest.h>

#include "debugger/sldwin/source_colour.h"

namespace zun::sldwin {
namespace {

// The runs written as one letter per character: k keyword, n number,
// o operator, c comment, s string or character, . black; L label,
// M mnemonic, O operand, g grey.
std::string inks(const std::vector<InkRun>& runs) {
  std::string out;
  for (const InkRun& r : runs) {
    char c = '?';
    switch (r.ink) {
      case Ink::Black: c = '.'; break;
      case Ink::Grey: c = 'g'; break;
      case Ink::Label: c = 'L'; break;
      case Ink::Mnemonic: c = 'M'; break;
      case Ink::Operand: c = 'O'; break;
      case Ink::Comment: c = 'c'; break;
      case Ink::Keyword: c = 'k'; break;
      case Ink::Number: c = 'n'; break;
      case Ink::Operator: c = 'o'; break;
      case Ink::String: c = 's'; break;
    }
    out.append(static_cast<size_t>(r.length), c);
  }
  return out;
}

std::string c_inks(std::string_view line, bool in_comment = false) { return inks(colour_c_line(line, in_comment)); }

TEST(SourceColour, CKeywordsAreWholeWordsOfTheEditorsLists) {
  EXPECT_EQ(c_inks("int x"), "kkk..");
  EXPECT_EQ(c_inks("int"), "kkk");
  EXPECT_EQ(c_inks("sizeof(x)"), "kkkkkk...");
  EXPECT_EQ(c_inks("integer"), ".......");
  EXPECT_EQ(c_inks("Int x"), ".....");
  EXPECT_EQ(c_inks("x_int"), ".....");
  // Behind and before any punctuation, and the words of tcx09 itself.
  EXPECT_EQ(c_inks("return;"), "kkkkkk.");
  EXPECT_EQ(c_inks("(unsigned char*)p"), ".kkkkkkkk.kkkk...");
  EXPECT_EQ(c_inks("}else{"), ".kkkk.");
  EXPECT_EQ(c_inks("__interrupt void f"), "kkkkkkkkkkk.kkkk..");
  EXPECT_EQ(c_inks("inline restrict"), "kkkkkk.kkkkkkkk");
}

TEST(SourceColour, CStringsAndCharacterConstants) {
  EXPECT_EQ(c_inks("s = \"if (x) /* no */\";"), "..o.sssssssssssssssss.");
  EXPECT_EQ(c_inks("\"a\\\"b\" + 1"), "ssssss.o.n");  // an escaped quote
  EXPECT_EQ(c_inks("c = '\\'' | 'x';"), "..o.ssss.o.sss.");
  EXPECT_EQ(c_inks("\"open"), "sssss");  // unclosed: to the line's end
  EXPECT_EQ(c_inks("'/*'"), "ssss");
}

TEST(SourceColour, CNumbersByBaseAndOperators) {
  EXPECT_EQ(c_inks("x=0x1Fg"), ".onnnn.");
  EXPECT_EQ(c_inks("017a"), "nnn.");
  EXPECT_EQ(c_inks("a+12;"), ".onn.");
  EXPECT_EQ(c_inks("~b|c"), "o.o.");
}

TEST(SourceColour, CCommentsAcrossLines) {
  bool in = false;
  EXPECT_EQ(inks(colour_c_line("x /* a", in)), "..cccc");
  EXPECT_TRUE(in);
  EXPECT_EQ(inks(colour_c_line("b */ int", in)), "cccc.kkk");
  EXPECT_FALSE(in);
  EXPECT_EQ(c_inks("x; // int"), "...cccccc");
  EXPECT_EQ(c_inks("x;/* c */"), "..ccccccc");  // a comment right behind text
  // The state at the first shown line comes from the lines above it.
  std::vector<std::string> above = {"  more", "/* begins", "int x; /* closed */"};
  EXPECT_TRUE(c_comment_open_before(above));
  above = {"a */ /* b */", "/* c"};
  EXPECT_FALSE(c_comment_open_before(above));
  EXPECT_FALSE(c_comment_open_before({}));
  EXPECT_EQ(c_inks("still inside", true), "cccccccccccc");
}

TEST(SourceColour, AssemblerFields) {
  EXPECT_EQ(inks(colour_asm_line("* a comment")), "ggggggggggg");
  EXPECT_EQ(inks(colour_asm_line("; also")), "gggggg");
  EXPECT_EQ(inks(colour_asm_line("loop  ldd  #1,x  count")), "LLLL..MMM..OOOOggggggg");
  EXPECT_EQ(inks(colour_asm_line("  fcc \"a b\" tail")), "..MMM.OOOOOggggg");
  EXPECT_EQ(inks(colour_asm_line("  rts")), "..MMM");
}

TEST(SourceColour, TabsStopAtMultiplesOfSix) {
  EXPECT_EQ(expand_tabs("\tx"), "     x");        // to column 6 (1-based)
  EXPECT_EQ(expand_tabs("abcde\tx"), "abcde      x");  // from column 6 to 12
  EXPECT_EQ(expand_tabs("ab\tc\r\n"), "ab   c");
}

}  // namespace
}  // namespace zun::sldwin
