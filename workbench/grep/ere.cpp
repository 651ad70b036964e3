// Reading an extended regular expression into a small tree, which nfa.cpp
// compiles. The reader follows the C library's rules: '*', '+', '?' and
// intervals may be stacked, a ')' without '(' is an ordinary character,
// "{,n}" means "{0,n}", a '\' inside brackets is an ordinary character, and
// the GNU escapes \w \W \s \S \b \B \< \> \` \' are known.
#include "workbench/grep/ere.h"

#include <algorithm>

namespace zun::grep {

namespace {

// The C library's limit for an interval is 32767, ours is 1000; the size of
// the automaton bounds what counts make of nested groups. Groups and
// repetitions nest at most `max_depth` deep.
constexpr int max_count = 1000;
constexpr int max_depth = 200;

constexpr const char* bad_preceding = "Invalid preceding regular expression";
constexpr const char* bad_interval = "Invalid content of \\{\\}";
constexpr const char* open_interval = "Unmatched \\{";
constexpr const char* open_bracket = "Unmatched [, [^, [:, [., or [=";
constexpr const char* bad_range = "Invalid range end";
constexpr const char* too_big = "Regular expression too big";

bool is_word(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The character classes of the C locale.
std::optional<ByteSet> class_set(std::string_view name) {
  auto when = [](auto test) {
    ByteSet s;
    for (int c = 0; c < 128; ++c)
      if (test(c)) s.set(static_cast<size_t>(c));
    return s;
  };
  auto upper = [](int c) { return c >= 'A' && c <= 'Z'; };
  auto lower = [](int c) { return c >= 'a' && c <= 'z'; };
  auto digit = [](int c) { return c >= '0' && c <= '9'; };
  auto alpha = [&](int c) { return upper(c) || lower(c); };
  auto graph = [](int c) { return c > ' ' && c < 127; };
  auto space = [](int c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  if (name == "alpha") return when(alpha);
  if (name == "upper") return when(upper);
  if (name == "lower") return when(lower);
  if (name == "digit") return when(digit);
  if (name == "alnum") return when([&](int c) { return alpha(c) || digit(c); });
  if (name == "xdigit") return when([&](int c) { return digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); });
  if (name == "space") return when(space);
  if (name == "blank") return when([](int c) { return c == ' ' || c == '\t'; });
  if (name == "punct") return when([&](int c) { return graph(c) && !alpha(c) && !digit(c); });
  if (name == "print") return when([](int c) { return c >= ' ' && c < 127; });
  if (name == "graph") return when(graph);
  if (name == "cntrl") return when([](int c) { return c < ' ' || c == 127; });
  return std::nullopt;
}

ByteSet word_set() {
  ByteSet s;
  for (int c = 0; c < 256; ++c)
    if (is_word(c)) s.set(static_cast<size_t>(c));
  return s;
}

int to_upper(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// Without regard to case the C library reads the expression and the line in
// capitals: a character matches when its capital is in the set.
ByteSet through_capitals(const ByteSet& s) {
  ByteSet out;
  for (int c = 0; c < 256; ++c)
    if (s[static_cast<size_t>(to_upper(c))]) out.set(static_cast<size_t>(c));
  return out;
}

Node set_node(const ByteSet& s) {
  Node n;
  n.kind = Node::Kind::Set;
  n.set = s;
  return n;
}

Node assert_node(char which) {
  Node n;
  n.kind = Node::Kind::Assert;
  n.assertion = which;
  return n;
}

class Parser {
 public:
  Parser(std::string_view text, bool icase) : p_(text), icase_(icase) {}
  std::optional<Node> parse() {
    Node root;
    if (!alternation(root, 0)) return std::nullopt;
    return root;
  }
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    return false;
  }
  bool at_end() const { return i_ >= p_.size(); }

  // regex := branch ( '|' branch )*
  bool alternation(Node& out, int depth) {
    if (depth > max_depth) return fail("Regular expression nested too deeply");
    Node alt;
    alt.kind = Node::Kind::Alt;
    for (;;) {
      Node branch;
      if (!concatenation(branch, depth)) return false;
      alt.kids.push_back(std::move(branch));
      if (at_end() || p_[i_] != '|') break;
      ++i_;
    }
    out = alt.kids.size() == 1 ? std::move(alt.kids[0]) : std::move(alt);
    return true;
  }

  // branch := piece*, up to '|', the end, or the ')' of an open group
  bool concatenation(Node& out, int depth) {
    out.kind = Node::Kind::Concat;
    while (!at_end() && p_[i_] != '|' && !(p_[i_] == ')' && depth > 0)) {
      Node atom;
      bool repeatable = true;
      if (!piece_atom(atom, repeatable, depth)) return false;
      if (!repetitions(atom, repeatable, depth)) return false;
      out.kids.push_back(std::move(atom));
    }
    return true;
  }

  static bool starts_repetition(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

  // atom := '(' regex ')' | '.' | '^' | '$' | bracket | '\' char | char
  bool piece_atom(Node& atom, bool& repeatable, int depth) {
    char c = p_[i_];
    if (starts_repetition(c)) return fail(bad_preceding);
    ++i_;
    switch (c) {
      case '(':
        if (!alternation(atom, depth + 1)) return false;
        if (at_end()) return fail("Unmatched ( or \\(");
        ++i_;
        return true;
      case '.':  // any character, a NUL too, as GNU grep has it
        atom = set_node(ByteSet().set());
        return true;
      case '^':
      case '$':
        atom = assert_node(c);
        repeatable = false;
        return true;
      case '[':
        return bracket(atom);
      case '\\':
        return escape(atom, repeatable);
      default:
        atom = literal(static_cast<unsigned char>(c));
        return true;
    }
  }

  Node literal(unsigned char c) const {
    ByteSet s;
    s.set(icase_ ? static_cast<size_t>(to_upper(c)) : c);
    return set_node(icase_ ? through_capitals(s) : s);
  }

  bool escape(Node& atom, bool& repeatable) {
    if (at_end()) return fail("Trailing backslash");
    char c = p_[i_++];
    switch (c) {
      case 'w': atom = set_node(word_set()); return true;
      case 'W': atom = set_node(~word_set()); return true;
      case 's': atom = set_node(*class_set("space")); return true;
      case 'S': atom = set_node(~*class_set("space")); return true;
      case 'b': case 'B': case '<': case '>': case '`': case '\'':
        atom = assert_node(c);
        repeatable = false;
        return true;
      default:
        if (c >= '1' && c <= '9') return fail("back-references (\\" + std::string(1, c) + ") are not supported");
        atom = literal(static_cast<unsigned char>(c));
        return true;
    }
  }

  // One element of a bracket expression: a character, "[.c.]", "[=c=]" or
  // "[:name:]". `single` is false for a class.
  bool bracket_element(ByteSet& set, int& ch, bool& single) {
    single = true;
    if (p_[i_] == '[' && i_ + 1 < p_.size() && (p_[i_ + 1] == '.' || p_[i_ + 1] == '=' || p_[i_ + 1] == ':')) {
      char kind = p_[i_ + 1];
      size_t close = p_.find(std::string{kind, ']'}, i_ + 2);
      if (close == std::string_view::npos) return fail(open_bracket);
      std::string_view name = p_.substr(i_ + 2, close - i_ - 2);
      i_ = close + 2;
      if (kind == ':') {
        // In capitals there are no small letters, and no capitals in small.
        if (icase_ && (name == "upper" || name == "lower")) name = "alpha";
        std::optional<ByteSet> s = class_set(name);
        if (!s) return fail("Invalid character class name");
        set |= *s;
        single = false;
        return true;
      }
      if (name.size() != 1) return fail("Invalid collation character");
      ch = character(name[0]);
      single = kind == '.';  // an equivalence class is no range end
      set.set(static_cast<size_t>(ch));
      return true;
    }
    ch = character(p_[i_++]);
    set.set(static_cast<size_t>(ch));
    return true;
  }

  // A character of a bracket expression as the C library compares it.
  int character(char c) const {
    int u = static_cast<unsigned char>(c);
    return icase_ ? to_upper(u) : u;
  }

  // '[' [ '^' ] [ ']' ] element* ']', after the '['. A '-' is a range
  // unless it comes first or last; the faults are found in the order the C
  // library finds them, so that its messages come out the same.
  bool bracket(Node& atom) {
    bool negated = !at_end() && p_[i_] == '^';
    if (negated) ++i_;
    if (at_end()) return fail("Invalid regular expression");
    ByteSet set;
    for (bool first = true;; first = false) {
      if (!first && p_[i_] == '-' && (i_ + 1 == p_.size() || p_[i_ + 1] != ']')) return fail(bad_range);
      int from = 0;
      bool single = true;
      if (!bracket_element(set, from, single)) return false;
      if (at_end()) return fail(open_bracket);
      if (single && p_[i_] == '-') {
        if (i_ + 1 == p_.size()) return fail(open_bracket);
        if (p_[i_ + 1] != ']') {
          ++i_;
          ByteSet end;
          int to = 0;
          if (!bracket_element(end, to, single)) return false;
          if (!single || to < from) return fail(bad_range);
          for (int c = from; c <= to; ++c) set.set(static_cast<size_t>(c));
          if (at_end()) return fail(open_bracket);
        }
      }
      if (p_[i_] == ']') {
        ++i_;
        break;
      }
    }
    if (negated) set = ~set;
    atom = set_node(icase_ ? through_capitals(set) : set);
    return true;
  }

  // The number of an interval, read token by token up to ',' or '}' (an
  // escaped ',' counts as one): -1 for none, -2 when anything else is in it
  // or the expression ends (`stop` is then 0).
  int interval_number(char& stop) {
    int n = -1;
    for (;;) {
      if (at_end()) {
        stop = 0;
        return -2;
      }
      bool escaped = p_[i_] == '\\' && i_ + 1 < p_.size();
      char c = p_[escaped ? i_ + 1 : i_];
      i_ += escaped ? 2 : 1;
      if ((c == '}' && !escaped) || c == ',') {
        stop = c;
        return n;
      }
      bool digit = !escaped && c >= '0' && c <= '9';
      n = (!digit || n == -2) ? -2 : std::min(32768, (n < 0 ? 0 : n * 10) + (c - '0'));
    }
  }

  // After the '{': "m}", "m,}", "m,n}" or ",n}", with the C library's
  // messages for the faults.
  bool interval(int& min, int& max) {
    char stop = 0;
    min = interval_number(stop);
    if (min == -1 && stop != ',') return fail(bad_interval);
    if (min == -1) min = 0;
    max = min;
    if (min != -2 && stop == ',') max = interval_number(stop);
    if (min == -2 || max == -2) return fail(stop == 0 ? open_interval : bad_interval);
    if (stop != '}' || (max != -1 && min > max)) return fail(bad_interval);
    if (std::max(min, max) > max_count) return fail(too_big);
    return true;
  }

  // dup := '*' | '+' | '?' | '{' interval '}', any number of them
  bool repetitions(Node& atom, bool repeatable, int depth) {
    while (!at_end() && starts_repetition(p_[i_])) {
      if (!repeatable) return fail(bad_preceding);
      char c = p_[i_++];
      int min = c == '+' ? 1 : 0, max = c == '?' ? 1 : -1;
      if (c == '{' && !interval(min, max)) return false;
      // Stacked '*', '+' and '?' are one of them: a+++ is a+, a+? is a*.
      bool simple = min <= 1 && (max == 1 || max == -1);
      if (simple && atom.kind == Node::Kind::Repeat && atom.min <= 1 && (atom.max == 1 || atom.max == -1)) {
        atom.min *= min;
        atom.max = (atom.max == -1 || max == -1) ? -1 : 1;
        continue;
      }
      if (++depth > max_depth) return fail("Regular expression nested too deeply");
      Node rep;
      rep.kind = Node::Kind::Repeat;
      rep.min = min;
      rep.max = max;
      rep.kids.push_back(std::move(atom));
      atom = std::move(rep);
    }
    return true;
  }

  std::string_view p_;
  size_t i_ = 0;
  bool icase_;
  std::string error_;
};

}  // namespace

namespace {

// The character a set stands for when it is one, in small letters for a
// letter in both cases; 0 otherwise with `one` false.
unsigned char single_character(const Node& n, bool& one, bool& any_case) {
  one = false;
  if (n.kind != Node::Kind::Set) return 0;
  const size_t count = n.set.count();
  for (size_t c = 'a'; count == 2 && c <= 'z'; ++c)
    if (n.set[c] && n.set[c - 'a' + 'A']) {
      one = any_case = true;
      return static_cast<unsigned char>(c);
    }
  if (count != 1) return 0;
  size_t c = 0;
  while (!n.set[c]) ++c;
  one = true;
  return static_cast<unsigned char>(c);
}

// Walks a sequence, nested ones too, keeping the longest run in `best`.
void runs_of_characters(const Node& n, std::string& run, std::string& best, bool& any_case) {
  bool one = false;
  const unsigned char c = single_character(n, one, any_case);
  if (one) {
    run += static_cast<char>(c);
    if (run.size() > best.size()) best = run;
  } else if (n.kind == Node::Kind::Concat) {
    for (const Node& kid : n.kids) runs_of_characters(kid, run, best, any_case);
  } else if (n.kind != Node::Kind::Assert) {
    run.clear();
  }
}

}  // namespace

std::string required_text(const Node& root, bool& any_case) {
  std::string run, best;
  any_case = false;
  runs_of_characters(root, run, best, any_case);
  if (any_case)
    for (char& c : best)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return best;
}

std::optional<Node> parse_ere(std::string_view pattern, bool ignore_case, std::string& error) {
  Parser parser(pattern, ignore_case);
  std::optional<Node> root = parser.parse();
  if (!root) error = parser.error();
  return root;
}

}  // namespace zun::grep
