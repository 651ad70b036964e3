// grep's extended regular expressions: the same hits and the same faults as
// the C library's regcomp/regexec on ordinary expressions (the library is the
// reference here), and bounded time and memory on hostile ones.
#include <gtest/gtest.h>
#include <regex.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include "../tools/tool_run.h"
#include "workbench/grep/line_search.h"

using namespace zun::grep;

namespace {

// What the C library makes of an expression: `error` is its message when the
// text does not compile; whole words are the form grep always used.
struct Reference {
  regex_t re{};
  std::optional<std::string> error;
  Reference(const std::string& text, bool icase, bool words) {
    if (!fails(text, icase) && words) {
      regfree(&re);
      fails("(^|[^[:alnum:]_])(" + text + ")([^[:alnum:]_]|$)", icase);
    }
  }
  bool fails(const std::string& pattern, bool icase) {
    int rc = regcomp(&re, pattern.c_str(), REG_EXTENDED | REG_NOSUB | (icase ? REG_ICASE : 0));
    if (rc == 0) return false;
    char buf[256];
    regerror(rc, &re, buf, sizeof buf);
    error = buf;
    return true;
  }
  ~Reference() {
    if (!error) regfree(&re);
  }
  bool matches(const std::string& line) const {
    regmatch_t range[1];
    range[0].rm_so = 0;
    range[0].rm_eo = static_cast<regoff_t>(line.size());
    return regexec(&re, line.c_str(), 1, range, REG_STARTEND) == 0;
  }
};

std::optional<LineMatcher> ours(const std::string& text, bool icase, bool words, std::string& error) {
  SearchOptions o;
  o.regex = true;
  o.text = text;
  o.ignore_case = icase;
  o.whole_words = words;
  return LineMatcher::create(o, error);
}

// Faults that only we report: what has no linear-time match, and sizes
// beyond RE2's.
bool refused_by_design(const std::string& error) {
  for (const char* why : {"back-references", "'\\<'", "'\\>'", "too big", "too deeply"})
    if (error.find(why) != std::string::npos) return true;
  return false;
}

// Compares one expression on every line; the text of the first difference.
std::string compare(const std::string& text, bool icase, bool words, const std::vector<std::string>& lines) {
  Reference ref(text, icase, words);
  std::string error;
  std::optional<LineMatcher> m = ours(text, icase, words, error);
  std::string what = "'" + text + "'" + (icase ? " -y" : "") + (words ? " -w" : "") + ": ";
  // Two faults of the C library's that we leave out: the whole-word form
  // breaks up where the text closes a group it did not open, and without
  // regard to case an escaped small letter ("\\a") matches nothing.
  if (words && text.find(')') != std::string::npos) return "";
  for (size_t k = 0; icase && k + 1 < text.size(); ++k)
    if (text[k] == '\\' && text[k + 1] >= 'a' && text[k + 1] <= 'z' && !std::strchr("wsb", text[k + 1])) return "";
  if (ref.error) {
    if (m) return what + "accepted, the C library says " + *ref.error;
    if (words) return "";  // the wrapped form fails as the text alone does
    if (error != "bad regular expression '" + text + "': " + *ref.error && !refused_by_design(error))
      return what + error + " instead of " + *ref.error;
    return "";
  }
  if (!m) return refused_by_design(error) ? "" : what + "refused: " + error;
  for (const std::string& line : lines)
    if (m->matches(line) != ref.matches(line)) return what + "differs on '" + line + "'";
  return "";
}

const std::vector<std::string> lines = {
    "", "a", "ab", "abab", "ba", "A", "Ab", "main(void)", "int main_x;", "  return Main;", "{", "}",
    "a{1}", "x)", "a|b", "\\", "]", "-", "a-b", "foo bar", "foo_bar", "_under", "9lives", "tab\there",
    "caf\xe9", "CAF\xc9", std::string("nul\0inside", 10), "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!", "[x]", "x.y",
    "$var", "^caret", "end.", "a+b", "a*b", "?", "w(x)y"};

TEST(GrepExpressions, SameHitsAndFaultsAsTheCLibrary) {
  const std::vector<std::string> patterns = {
      "main", "^main", "main$", "^}$", "ma.n", "m[a-z]+n", "[[:upper:]][a-z]", "[^a-z ]", "(a|b)+",
      "(ab){2}", "a{1,3}b", "a{,2}b", "a{2,}", "a{0}b", "x|", "|x", "()", "(|a)", "a||b", "a**", "a+?",
      "a+++", "a{1}{2}", "(a+)?b", "[]a]", "[^]a]", "[a-]", "[]-a]", "[--/]", "[---]", "[\\]", "\\.",
      "\\$var", "\\^", "\\{", ")", "x)", "[[:alpha:]_][[:alnum:]_]*", "[[:space:]]", "[[:punct:]]+",
      "[[=a=]]", "[[.-.]]", "[[.a.]-c]", "\\w+", "\\W", "\\s", "\\S+", "\\bmain\\b", "\\Bai", "\\`a",
      "b\\'", "\\<main\\>", "\\<[a-z]+", "[0-9]+lives", "[[:xdigit:]]{2}", "caf.", "CAF[[:alpha:]]",
      "[\xc0-\xff]", "nul.inside", "nul[^x]inside", "(^)*a", "a$|^b", "(a|b)*c?", "a{3,}!", "[a-zA-Z]+\\.",
      "*a", "a|*", "+", "{", "a{", "a{1", "a{x}", "a{1x", "a{2,1}", "a{1,2,3}", "a{,}", "(a", "\\",
      "[a", "[z-a]", "[[:foo:]]", "[[.ab.]]", "[[:alpha:]-z]", "[a-c-e]", "^*", "$*", "\\b*", "(a)\\1",
      "\\<", "a{32768}", "a{1001}", "\xe9|\xe9", "f\xe9x|f\xe9|x"};
  for (const std::string& p : patterns)
    for (bool icase : {false, true})
      for (bool words : {false, true}) EXPECT_EQ(compare(p, icase, words, lines), "");

  // Short random expressions over the characters that mean something.
  std::mt19937 rng(12345);
  const std::string alphabet = "aAzZ_0 9.|()*+?{},1^$[]-\\:=.wWsSbB<>`\x27~\xe9@[]]";
  for (int n = 0; n < 6000; ++n) {
    std::string p;
    for (size_t len = 1 + rng() % 12; p.size() < len;) p += alphabet[rng() % alphabet.size()];
    EXPECT_EQ(compare(p, n % 2 == 1, n % 7 == 0, lines), "");
  }
}

TEST(GrepExpressions, HostileExpressionsAreFastAndBounded) {
  using clock = std::chrono::steady_clock;
  std::string error;
  auto start = clock::now();
  std::optional<LineMatcher> m = ours("a" + std::string(25, '+'), false, false, error);
  ASSERT_TRUE(m) << error;
  EXPECT_TRUE(m->matches("xaax"));
  EXPECT_FALSE(m->matches("xbx"));
  EXPECT_TRUE(ours("(a*)*(b+)+(c?)+" + std::string(200, '*'), true, true, error)) << error;
  EXPECT_LT(clock::now() - start, std::chrono::seconds(2));

  EXPECT_FALSE(ours("((a{1000}){1000}){1000}", false, false, error));
  EXPECT_EQ(error, "bad regular expression '((a{1000}){1000}){1000}': Regular expression too big");
  EXPECT_FALSE(ours(std::string(5000, '(') + "a" + std::string(5000, ')'), false, false, error));
  EXPECT_NE(error.find("Regular expression nested too deeply"), std::string::npos);
  EXPECT_FALSE(ours("(a)\\1", false, false, error));
  EXPECT_EQ(error, "bad regular expression '(a)\\1': back-references (\\1) are not supported");

  // A line of a million characters against an expression that makes a
  // backtracking engine take exponential time.
  ASSERT_TRUE(m = ours("(a|aa)*(a|aa)*(a|aa)*b", false, false, error)) << error;
  start = clock::now();
  EXPECT_FALSE(m->matches(std::string(1 << 20, 'a')));
  EXPECT_LT(clock::now() - start, std::chrono::seconds(2));

  // The staged program, as find in files runs it.
  zun::test::TempDir t;
  std::ofstream(t.path / "f.c") << "int a;\nbaaad\n";
  start = clock::now();
  auto r = zun::test::run_in(t.path, "timeout 60 \"$BIN/grep\" -y 'A" + std::string(20, '+') + "d' f.c");
  EXPECT_LT(clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(r.out, "\"f.c\" (2) baaad\n");
  EXPECT_EQ(r.rc, 1);
}

}  // namespace
