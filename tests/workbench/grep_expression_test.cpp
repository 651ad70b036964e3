// grep's extended regular expressions: the same hits and the same faults as
// the C library's regcomp/regexec on ordinary expressions (the library is the
// reference here), and bounded time and memory on hostile ones.
#include <gtest/gtest.h>
#include <regex.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include "../tools/tool_run.h"
#include "workbench/grep/ere.h"
#include "workbench/grep/line_search.h"

using namespace zun::grep;

namespace {

// What the C library makes of an expression: `error` is its message when the
// text does not compile; whole words are the form grep always used. The
// library's '.' takes no NUL, grep's takes every byte as GNU grep's does: the
// library is shown a NUL as \x01, which no expression here names.
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
  bool matches(std::string line) const {
    std::replace(line.begin(), line.end(), '\0', '\x01');
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

// The expression with room for a few cached states only, so that its search
// goes on with all states at once from some line, or some character, on.
std::optional<Program> cramped(const std::string& text, bool icase, bool words, size_t cache_bytes) {
  std::string error;
  std::optional<Node> tree = parse_ere(text, icase, error);
  return tree ? Program::compile(*tree, words, error, cache_bytes) : std::nullopt;
}

// Faults that only we report: what has no linear-time match, and automata
// beyond our size.
bool refused_by_design(const std::string& error) {
  for (const char* why : {"back-references", "too big", "too deeply"})
    if (error.find(why) != std::string::npos) return true;
  return false;
}

// Whether a repetition at `k` writes out copies of what it repeats: '+' and
// counts above one, but not '*', '?', "{1}", "{0,1}" or "{0,}".
bool copying_repetition(const std::string& text, size_t k) {
  for (; k < text.size(); ++k) {
    if (text[k] == '+') return true;
    if (text[k] == '*' || text[k] == '?') continue;
    if (text[k] != '{') return false;
    size_t close = text.find('}', k);
    if (close == std::string::npos) return false;
    std::string count = text.substr(k + 1, close - k - 1);
    size_t comma = count.find(',');
    int min = std::atoi(count.c_str());
    int max = comma == std::string::npos ? min : comma + 1 == count.size() ? -1 : std::atoi(count.c_str() + comma + 1);
    if (max > 1 || (max == -1 && min > 0)) return true;
    k = close;
  }
  return false;
}

// The C library's fault with assertions in repeated groups: it writes '+'
// and counts above one out as copies of the group, and only the first copy
// checks the assertions in it, so "^(\<a)+$" and "(\<a){2}" match "aa".
// Expressions with such a group are left out.
bool copies_assertions(const std::string& text) {
  std::vector<bool> asserts;  // per open group: it holds an assertion
  for (size_t k = 0; k < text.size(); ++k) {
    char c = text[k];
    if (c == '[') {
      size_t close = text.find(']', k + (text.compare(k, 3, "[^]") == 0 ? 3 : 2));
      k = close == std::string::npos ? text.size() : close;
    } else if (c == '\\' || c == '^' || c == '$') {
      bool assertion = c != '\\' || (k + 1 < text.size() && std::strchr("bB<>`'", text[k + 1]));
      if (assertion) asserts.assign(asserts.size(), true);
      k += c == '\\';
    } else if (c == '(') {
      asserts.push_back(false);
    } else if (c == ')' && !asserts.empty()) {
      bool held = asserts.back();
      asserts.pop_back();
      if (held && copying_repetition(text, k + 1)) return true;
    }
  }
  return false;
}

// How the expressions of a run came out where both sides agree.
struct Tally {
  int compared = 0;  // taken by both and matched against the lines
  int refused = 0;   // refused by both
  int left_out = 0;  // where the C library is known to be wrong
};

// The lines found in the block of all lines, each ended by a '\n', by
// searching it from one hit's next line on; a hit not at a line's start
// shows as -1.
template <class Find>
std::vector<int> found_in_block(const std::vector<std::string>& lines, Find find) {
  std::string block;
  std::vector<size_t> starts;
  for (const std::string& line : lines) {
    starts.push_back(block.size());
    block += line + '\n';
  }
  std::vector<int> found;
  for (size_t at = 0; (at = find(std::string_view(block), at)) != std::string_view::npos;) {
    auto k = std::find(starts.begin(), starts.end(), at);
    found.push_back(k == starts.end() ? -1 : static_cast<int>(k - starts.begin()));
    if (k == starts.end()) break;
    at += lines[static_cast<size_t>(found.back())].size() + 1;
  }
  return found;
}

// Compares one expression on every line; the text of the first difference.
std::string compare(const std::string& text, bool icase, bool words, const std::vector<std::string>& lines,
                    Tally* tally = nullptr) {
  Tally unused;
  Tally& t = tally ? *tally : unused;
  Reference ref(text, icase, words);
  std::string error;
  std::optional<LineMatcher> m = ours(text, icase, words, error);
  std::string what = "'" + text + "'" + (icase ? " -y" : "") + (words ? " -w" : "") + ": ";
  // Three faults of the C library's that we leave out: the whole-word form
  // breaks up where the text closes a group it did not open, without regard
  // to case an escaped small letter ("\\a") matches nothing, and the
  // assertions of copied groups above.
  bool left_out = (words && text.find(')') != std::string::npos) || copies_assertions(text);
  for (size_t k = 0; icase && k + 1 < text.size(); ++k)
    left_out = left_out ||
               (text[k] == '\\' && text[k + 1] >= 'a' && text[k + 1] <= 'z' && !std::strchr("wsb", text[k + 1]));
  if (left_out) {
    ++t.left_out;
    return "";
  }
  if (ref.error) {
    if (m) return what + "accepted, the C library says " + *ref.error;
    ++t.refused;
    if (words) return "";  // the wrapped form fails as the text alone does
    if (error != "bad regular expression '" + text + "': " + *ref.error && !refused_by_design(error))
      return what + error + " instead of " + *ref.error;
    return "";
  }
  if (!m) return refused_by_design(error) ? "" : what + "refused: " + error;
  std::optional<Program> small = cramped(text, icase, words, 800);
  for (const std::string& line : lines) {
    if (m->matches(line) != ref.matches(line)) return what + "differs on '" + line + "'";
    if (small->search(line) != ref.matches(line)) return what + "differs with a small cache on '" + line + "'";
  }
  // All lines at once, as grep searches a file.
  std::vector<int> expected;
  for (size_t k = 0; k < lines.size(); ++k)
    if (ref.matches(lines[k])) expected.push_back(static_cast<int>(k));
  if (found_in_block(lines, [&](std::string_view b, size_t at) { return m->find_line(b, at); }) != expected)
    return what + "differs in a block of lines";
  for (size_t cache_bytes : {size_t{0}, size_t{800}}) {
    std::optional<Program> cache = cramped(text, icase, words, cache_bytes);
    if (found_in_block(lines, [&](std::string_view b, size_t at) { return cache->find(b, at); }) != expected)
      return what + "differs in a block of lines with " + std::to_string(cache_bytes) + " bytes of cache";
  }
  ++t.compared;
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

// A random expression over a few characters, word edges and operators,
// mostly well formed: groups close, repetitions mostly follow something. One
// piece in twelve is any token at all, to reach the faults as well.
std::string random_expression(std::mt19937& rng, int depth) {
  static const std::vector<std::string> atoms = {"\\<", "\\>", "\\<", "\\>", "a", "x",  ";", " ",  ".",
                                                 "_",   "[a;]", "[^x]", "\\w", "\\W", "\\b", "\\B", "^", "$"};
  static const std::vector<std::string> repeats = {"*", "+", "?", "{0,2}", "{1}", "{2,}"};
  static const std::vector<std::string> stray = {"(", ")", "|", "*", "+", "{1}"};
  std::string p;
  for (size_t pieces = 1 + rng() % 4; pieces > 0; --pieces) {
    if (rng() % 12 == 0)
      p += stray[rng() % stray.size()];
    else if (depth < 2 && rng() % 5 == 0)
      p += "(" + random_expression(rng, depth + 1) + ")";
    else if (rng() % 8 == 0)
      p += "|";
    else
      p += atoms[rng() % atoms.size()];
    if (rng() % 4 == 0) p += repeats[rng() % repeats.size()];
  }
  return p;
}

// \< and \> anywhere: before and after anything, inside groups that are
// repeated or left out, beside other assertions. ZUN_GREP_EXPRESSIONS sets how
// many random expressions to try (a long run: 100000).
TEST(GrepExpressions, WordEdgesAnywhereAsTheCLibrary) {
  for (const char* p : {"\\<.nt", "\\<[a-z;]nt", "x\\>|;\\>", "(\\<|a)b", "(a\\>)*;", "(\\<)*x", "a\\<", "\\>a",
                        "\\<\\>", "\\<$", "^\\>", "(x|\\>)+(\\<|;)", "\\b\\<\\B", ".\\>.\\<."})
    for (bool icase : {false, true})
      for (bool words : {false, true}) EXPECT_EQ(compare(p, icase, words, lines), "");

  const char* count = std::getenv("ZUN_GREP_EXPRESSIONS");
  const int expressions = count ? std::atoi(count) : 3000;
  std::mt19937 rng(6809);
  Tally tally;
  for (int n = 0; n < expressions; ++n) {
    std::string p = random_expression(rng, 0);
    std::vector<std::string> sample;
    for (int k = 0; k < 12; ++k) {
      std::string line;
      for (size_t len = rng() % 7; len > 0; --len) line += "ax_; 9"[rng() % 6];
      sample.push_back(line);
    }
    EXPECT_EQ(compare(p, n % 5 == 1, n % 7 == 2, sample, &tally), "");
  }
  std::printf("%d random expressions: %d matched as the C library does, %d refused by both, %d left out\n",
              expressions, tally.compared, tally.refused, tally.left_out);
}

// fgrep's texts against the C library with the text as an expression, on
// long lines, so that hits fall on every place of the blocks the search
// compares at once, and on all the lines at once.
TEST(GrepExpressions, FixedTextsAsTheCLibrary) {
  std::mt19937 rng(1113);
  const std::string alphabet = "aAbB_ .x";
  for (int n = 0; n < 400; ++n) {
    std::string text;
    for (size_t len = 1 + rng() % 5; text.size() < len;) text += alphabet[rng() % alphabet.size()];
    std::vector<std::string> sample(8);
    for (std::string& line : sample)
      for (size_t len = rng() % 150; line.size() < len;) line += (alphabet + '\0')[rng() % (alphabet.size() + 1)];
    std::string expression;
    for (char c : text) expression += c == '.' ? std::string("\\.") : std::string(1, c);
    const bool icase = n % 2 == 1, words = n % 3 == 0;
    Reference ref(expression, icase, words);
    ASSERT_FALSE(ref.error) << expression;
    SearchOptions o;
    o.text = text;
    o.ignore_case = icase;
    o.whole_words = words;
    std::string error;
    std::optional<LineMatcher> m = LineMatcher::create(o, error);
    ASSERT_TRUE(m) << error;
    std::vector<int> expected;
    for (size_t k = 0; k < sample.size(); ++k) {
      EXPECT_EQ(m->matches(sample[k]), ref.matches(sample[k])) << "'" << text << "' on '" << sample[k] << "'";
      if (ref.matches(sample[k])) expected.push_back(static_cast<int>(k));
    }
    EXPECT_EQ(found_in_block(sample, [&](std::string_view b, size_t at) { return m->find_line(b, at); }), expected)
        << "'" << text << "'" << (icase ? " -y" : "") << (words ? " -w" : "");
  }
}

// Expressions whose cached states outgrow a small cache within a line or
// over several lines: the search goes on with all states at once and finds
// the same lines, with no cache at all as well.
TEST(GrepExpressions, AFullCacheGoesOnWithAllStates) {
  std::mt19937 rng(9);
  std::vector<std::string> sample(60);
  for (std::string& line : sample)
    for (size_t len = rng() % 50; len > 0; --len) line += "a x_"[rng() % 4];
  for (const char* p : {"a.{8}x_", "\\<a.{6}\\>", "^(a| )*x.{4}_", "x_.{5}\\bx"})
    for (size_t cache_bytes : {size_t{0}, size_t{200}, size_t{4096}, dfa_cache_bytes}) {
      Reference ref(p, false, false);
      ASSERT_FALSE(ref.error);
      std::optional<Program> m = cramped(p, false, false, cache_bytes);
      ASSERT_TRUE(m) << p;
      int hits = 0;
      for (const std::string& line : sample) {
        EXPECT_EQ(m->search(line), ref.matches(line)) << p << " with " << cache_bytes << " bytes on '" << line << "'";
        hits += ref.matches(line);
      }
      EXPECT_GT(hits, 0) << p;
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

  // A long line against an expression that makes a backtracking engine take
  // exponential time.
  ASSERT_TRUE(m = ours("(a|aa)*(a|aa)*(a|aa)*b", false, false, error)) << error;
  start = clock::now();
  EXPECT_FALSE(m->matches(std::string(1 << 18, 'a')));
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

// A count makes copies of what it repeats and each character of a line may
// visit every copy, so an expression is bounded at 5,000 characters, sets,
// assertions, alternatives and repetitions, counted out; nested counts below
// the bound are taken.
TEST(GrepExpressions, CountedRepeatsAreBoundedBySize) {
  using clock = std::chrono::steady_clock;
  std::string error, largest;
  for (int k = 0; k < 5; ++k) largest += ".{1000}";
  for (bool words : {false, true}) {
    EXPECT_TRUE(ours(largest, false, words, error)) << error;
    EXPECT_FALSE(ours(largest + ";", false, words, error));
    EXPECT_EQ(error, "bad regular expression '" + largest + ";': Regular expression too big");
  }
  for (const char* p : {"(a{1000}|b){5}", "(.{100}){50}x", "(a{10}(b|c){10}){150}x", "x{999}(y{0,2}){2001}"})
    EXPECT_FALSE(ours(p, false, false, error)) << p;
  std::optional<LineMatcher> m = ours("(a{100}){49}x", false, false, error);
  ASSERT_TRUE(m) << error;
  EXPECT_TRUE(m->matches(std::string(4900, 'a') + "x"));
  EXPECT_FALSE(m->matches(std::string(4899, 'a') + "x"));
  auto start = clock::now();
  ASSERT_TRUE(m = ours("(((a{0}){1000}){1000}){1000}b", false, false, error)) << error;
  EXPECT_TRUE(m->matches("b"));
  EXPECT_LT(clock::now() - start, std::chrono::seconds(2));

  // The largest against a line one character short of it: every character
  // visits every copy.
  ASSERT_TRUE(m = ours(largest, false, false, error)) << error;
  start = clock::now();
  EXPECT_FALSE(m->matches(std::string(4999, 'x')));
  EXPECT_TRUE(m->matches(std::string(5000, '\0')));
  EXPECT_LT(clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
