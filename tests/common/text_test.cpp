// Text scanners and readers: positions and null results matter to callers.
#include "common/text.h"

#include <gtest/gtest.h>

#include "common/format.h"

namespace zun {
namespace {

TEST(CommonText, BlankIsEverySignedByteUpTo32) {
  EXPECT_TRUE(is_blank(' '));
  EXPECT_TRUE(is_blank('\0'));
  EXPECT_TRUE(is_blank('\x1f'));
  EXPECT_TRUE(is_blank('\xe5'));  // a Latin-1 letter is a blank
  EXPECT_TRUE(is_blank('\xff'));
  EXPECT_FALSE(is_blank('!'));
  EXPECT_FALSE(is_blank('\x7f'));
  const char* word = "ab\xe5" "cd";
  EXPECT_EQ(skip_word(word), word + 2);
}

TEST(CommonText, SkippersReturnPositionsOrNull) {
  const char* t = "  \t abc def";
  EXPECT_EQ(skip_blanks(t), t + 4);
  EXPECT_EQ(skip_word(t + 4), t + 7);
  const char* empty = "   ";
  EXPECT_EQ(skip_blanks(empty), empty + 3);
  EXPECT_EQ(skip_blanks(nullptr), nullptr);
  EXPECT_EQ(skip_word(nullptr), nullptr);
  const char* c = " ,, x";
  EXPECT_EQ(skip_blanks_commas(c), c + 4);
  EXPECT_EQ(skip_blanks_commas(" , ,"), nullptr);
  const char* id = "+-( _x1";
  EXPECT_EQ(find_ident_start(id), id + 4);
  EXPECT_EQ(find_ident_start("+-*/"), nullptr);
}

TEST(CommonText, WordEqualsIgnoringCaseOnlyAsAWholeWord) {
  EXPECT_TRUE(word_eq_nocase("ORG  x", "org"));
  EXPECT_TRUE(word_eq_nocase("org", "ORG"));
  EXPECT_TRUE(word_eq_nocase("Org\tx", "org"));
  EXPECT_FALSE(word_eq_nocase("orgx", "org"));
  EXPECT_FALSE(word_eq_nocase("or", "org"));
  EXPECT_TRUE(word_eq_nocase("org\xe5", "org"));  // a high byte ends the word
  EXPECT_FALSE(word_eq_nocase(nullptr, "org"));
}

TEST(CommonText, ContinuedLines) {
  EXPECT_TRUE(is_continued_line("a \\\n"));
  EXPECT_TRUE(is_continued_line("\\\n"));
  EXPECT_TRUE(is_continued_line("a \\\r\n"));
  EXPECT_FALSE(is_continued_line("a \\"));
  EXPECT_FALSE(is_continued_line("\n"));
  EXPECT_FALSE(is_continued_line("a\n"));
}

TEST(CommonText, LineCopiesStopAtNewlineAndDropContinuation) {
  std::string s = "old";
  copy_line(s, "abc\ndef");
  EXPECT_EQ(s, "abc");
  copy_line(s, "abc\r\ndef");
  EXPECT_EQ(s, "abc");
  copy_line(s, nullptr);
  EXPECT_EQ(s, "");
  copy_line_nocont(s, "one \\\n");
  EXPECT_EQ(s, "one ");
  append_line_nocont(s, "two \\\r\n");
  EXPECT_EQ(s, "one two ");
  append_line_nocont(s, "three");
  EXPECT_EQ(s, "one two three");
}

TEST(CommonText, IdentifierReaders) {
  std::string s;
  const char* t = "abc_1+x";
  EXPECT_EQ(copy_ident(s, t), t + 5);
  EXPECT_EQ(s, "abc_1");
  EXPECT_EQ(copy_ident(s, nullptr), nullptr);
  EXPECT_EQ(s, "");
  const char* d = "NAME=1,x";
  EXPECT_EQ(copy_ident_eq(s, d), d + 6);
  EXPECT_EQ(s, "NAME=1");
  const char* n = " \t lbl:";
  EXPECT_EQ(next_ident(s, n), n + 6);
  EXPECT_EQ(s, "lbl");
  const char* nl = "\nlbl";  // only spaces and TABs are skipped
  EXPECT_EQ(next_ident(s, nl), nl);
  EXPECT_EQ(s, "");
  const char* ne = "  A=B C";
  EXPECT_EQ(next_ident_eq(s, ne), ne + 5);
  EXPECT_EQ(s, "A=B");
}

TEST(CommonText, QuotedReaders) {
  std::string s;
  const char* q = "\"a b\" rest";
  EXPECT_EQ(read_quoted(s, q), q + 5);
  EXPECT_EQ(s, "a b");
  const char* open = "\"abc";
  EXPECT_EQ(read_quoted(s, open), open + 4);
  EXPECT_EQ(s, "abc");
  const char* lone = "\"";
  EXPECT_EQ(read_quoted(s, lone), lone + 1);
  EXPECT_EQ(s, "");
  const char* none = "abc";
  EXPECT_EQ(read_quoted(s, none), none);
  const char* empty = "\"\"x";
  EXPECT_EQ(read_quoted(s, empty), empty + 2);
  EXPECT_EQ(s, "");

  const char* f = "x = \"file name.c\" more";
  EXPECT_EQ(find_quoted(s, f), f + 17);
  EXPECT_EQ(s, "file name.c");
  s = "old";
  EXPECT_EQ(find_quoted(s, "no quotes"), nullptr);
  EXPECT_EQ(s, "");

  const char* o = "\"a\"b\" c";
  EXPECT_EQ(find_quoted_outer(s, o), o + 5);
  EXPECT_EQ(s, "a\"b");
  const char* oe = "x \"a\"";
  EXPECT_EQ(find_quoted_outer(s, oe), oe + 5);
  EXPECT_EQ(s, "a");
  EXPECT_EQ(find_quoted_outer(s, "none"), nullptr);
}

TEST(CommonText, WordsAndTokens) {
  std::string s;
  const char* w = "\"my file.c\" -o";
  EXPECT_EQ(read_word(s, w), w + 11);
  EXPECT_EQ(s, "my file.c");
  const char* wq = "\"abc";
  EXPECT_EQ(read_word(s, wq), wq + 4);
  EXPECT_EQ(s, "abc");
  const char* hi = "ab\xe5x";
  EXPECT_EQ(read_word(s, hi), hi + 2);
  const char* e = "";
  EXPECT_EQ(read_word(s, e), e);
  EXPECT_EQ(s, "");

  EXPECT_EQ(read_token(s, "abc"), nullptr);  // last token
  EXPECT_EQ(s, "abc");
  const char* two = "abc def";
  EXPECT_EQ(read_token(s, two), two + 3);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(read_token(s, ""), nullptr);
  EXPECT_EQ(s, "");

  const char* line = "  one two";
  const char* p = next_token(s, line);
  EXPECT_EQ(s, "one");
  ASSERT_EQ(p, line + 5);
  EXPECT_EQ(next_token(s, p), nullptr);
  EXPECT_EQ(s, "two");
  EXPECT_EQ(next_token(s, "   "), nullptr);
  EXPECT_EQ(s, "");
  EXPECT_EQ(next_token(s, ""), nullptr);
}

TEST(CommonFormat, HasNoLengthLimit) {
  EXPECT_EQ(format("%s (%d): %s", "\"a.s\"", 12, "error"), "\"a.s\" (12): error");
  std::string big(5000, 'x');
  EXPECT_EQ(format("<%s>", big.c_str()).size(), 5002u);
  EXPECT_EQ(format("%4.4X", 0xBEEF), "BEEF");
  EXPECT_EQ(format("%s", ""), "");
}

TEST(CommonFormat, AppendedNumbersReadAsTheirFormats) {
  for (uint32_t value : {0u, 1u, 0xFu, 0x10u, 0xABCu, 0x1234u, 0xFFFFu, 0x10000u, 0x89ABCDEFu, 0xFFFFFFFFu}) {
    for (int digits : {0, 1, 2, 4, 8, 9}) {
      std::string out = "x";
      append_hex(out, value, digits);
      EXPECT_EQ(out, "x" + format("%0*X", digits, value)) << value << " in " << digits;
    }
  }
  for (long value : {0L, 7L, -1L, 2147483647L, -2147483647L - 1, 1234567890123L}) {
    std::string out = "x";
    append_decimal(out, value);
    EXPECT_EQ(out, "x" + format("%ld", value));
  }
}

}  // namespace
}  // namespace zun
