// The assembler colouriser: a walk over the text with one state (the style
// being coloured). When the state changes, the text since the last change
// takes the old state. Line starts decide labels, '*' comments and '#'
// lines; a '\' before a line end continues the line in the same state.
#include "workbench/editor/asm_colour.h"

#include <algorithm>

namespace zun::wb {

namespace {

// Codes of the words the assembler knows are its own; the rest belong to the
// native dialect, which hasm09 does not assemble. "opt", option's TSC
// spelling, stands in the pure table as in the assembler's: a TSC source
// begins with it before the TSC words are on.
constexpr int native_only = 100;

// clang-format off
constexpr DirectiveEntry native_table[] = {
    {"org", 6}, {"global", native_only}, {"extern", 28}, {"public", native_only},
    {"include", native_only}, {"end", 9}, {"set", 8}, {"=", native_only}, {"equ", 7},
    {"byte", native_only}, {"word", native_only}, {"long", native_only}, {"space", native_only},
    {"fill", native_only}, {"ascii", native_only}, {"asciiz", native_only}, {"float", native_only},
    {"double", native_only}, {"option", 39}, {"pragma", native_only}, {nullptr, 0}};
constexpr DirectiveEntry pure_table[] = {
    {"align", 38}, {"export", 25}, {"end", 9}, {"file", 24}, {"function", 23}, {"import", 27},
    {"option", 39}, {"opt", 39}, {"org", 6}, {"segment", 30}, {"use", 1}, {"equ", 7}, {"set", 8}, {"list", 2},
    {"listcond", 3}, {"nolist", 4}, {"nolistcond", 5}, {"xdef", 26}, {"define", 26}, {"xref", 28},
    {"extern", 28}, {"entry", 21}, {"exit", 22}, {"bss", 31}, {"data", 32}, {"text", 33},
    {"rodata", 35}, {nullptr, 0}};
constexpr DirectiveEntry compat_table[] = {
    {"org", 6}, {"end", 9}, {"rmb", 15}, {"fcb", 10}, {"fdb", 11}, {"fcc", 19}, {"equ", 7}, {"set", 8},
    {"err", 48}, {"lib", 1}, {"opt", 39}, {"reg", 49}, {"setdp", 50}, {"pag", 51}, {"spc", 52},
    {"nam", 53}, {"ttl", 53}, {"sttl", 54}, {"rpt", 55}, {nullptr, 0}};
constexpr DirectiveEntry base_table[] = {
    {"org", 6}, {"equ", 7}, {"rmb", 15}, {"rmw", 16}, {"fcb", 10}, {"fdb", 11}, {"fqb", 12},
    {"fcs", 19}, {nullptr, 0}};
constexpr DirectiveEntry hash_table[] = {
    {"if", 41}, {"else", 42}, {"endif", 43}, {"elif", 44}, {"define", 46}, {"error", 48},
    {"ifdef", 45}, {"ifndef", 47}, {nullptr, 0}};
constexpr DirectiveEntry dot_table[] = {
    {".if", 41}, {".else", 42}, {".endif", 43}, {".elseif", 44}, {".ifdef", 45}, {".ifndef", 47},
    {".error", 48}, {nullptr, 0}};
// clang-format on

constexpr DirectiveTables editor_tables = {
    .native = native_table,
    .pure = pure_table,
    .compat = compat_table,
    .base = base_table,
    .hash_keywords = hash_table,
    .dot_keywords = dot_table,
    .pure_on = true,
    .native_on = true,
    .compat_on = false,
};

bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_line_end(unsigned char c) { return c == '\n' || c == '\r'; }

// The styles that carry over from one line to the next (through a line
// continuation); any other style before a range starts it in the default.
bool is_running_state(int style) {
  using namespace asm_style;
  return style == comment || style == number || style == string || style == op || style == identifier ||
         style == character;
}

class Walk {
 public:
  Walk(std::string_view text, size_t start, size_t end, int state)
      : text_(text), start_(start), end_(end), seg_(start), state_(state), styles_(end - start) {}

  size_t pos = 0;
  unsigned char at(size_t i) const { return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0; }
  unsigned char ch() const { return at(pos); }
  unsigned char next() const { return at(pos + 1); }
  bool at_line_start() const {
    if (pos == 0) return true;
    unsigned char before = at(pos - 1);
    return before == '\n' || (before == '\r' && ch() != '\n');
  }
  int state() const { return state_; }

  // The text since the last change takes the present state; `s` goes on.
  void set_state(int s) {
    size_t to = std::min(pos, end_);
    if (to > seg_) std::fill(styles_.begin() + (seg_ - start_), styles_.begin() + (to - start_), state_);
    seg_ = std::max(seg_, to);
    state_ = s;
  }
  // The text since the last change will take `s` instead.
  void change_state(int s) { state_ = s; }

  // The running word in lower case, at most 100 characters.
  std::string lowered() const {
    std::string word(text_.substr(seg_, std::min<size_t>(pos - seg_, 100)));
    for (char& c : word)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return word;
  }

  std::vector<uint8_t> finish() {
    pos = end_;
    set_state(state_);
    return std::move(styles_);
  }

 private:
  std::string_view text_;
  size_t start_, end_, seg_;
  int state_;
  std::vector<uint8_t> styles_;
};

int identifier_style(const std::string& word, const AsmKeywords& keywords) {
  switch (keywords.list_of(word)) {
    case 0: return asm_style::mnemonic;
    case 1: return asm_style::keyword1;
    case 2: return asm_style::reg;
    case 3: return asm_style::keyword3;
    default: return is_asm_directive(word.c_str()) ? asm_style::directive : asm_style::identifier;
  }
}

// Rule for the start of a line outside a string: labels, '*' comments and
// '#' lines, whose keyword takes the number style. True when it applied.
bool line_start(Walk& w) {
  unsigned char c = w.ch();
  if (c == '*') {
    w.set_state(asm_style::comment);
  } else if (IsAsmWordChar(c)) {
    w.set_state(asm_style::identifier);
  } else if (c == '#') {
    w.set_state(asm_style::number);
    while (w.next() == ' ' || w.next() == '\t') ++w.pos;
  } else {
    return false;
  }
  return true;
}

// Whether the running state ends at the present character; a string or a
// character constant ends behind its closing quote (`ends_after`).
void running_state(Walk& w, const AsmKeywords& keywords, bool& ends_after) {
  using namespace asm_style;
  unsigned char c = w.ch();
  switch (w.state()) {
    case op:
      if (!IsAsmOperator(c)) w.set_state(default_style);
      break;
    case number:
      if (!IsAsmWordChar(c)) w.set_state(default_style);
      break;
    case comment:
      if (is_line_end(c)) w.set_state(default_style);
      break;
    case identifier:
      if (!IsAsmWordChar(c)) {
        w.change_state(identifier_style(w.lowered(), keywords));
        w.set_state(default_style);
      }
      break;
    case string:
    case character: {
      unsigned char quote = w.state() == string ? '"' : '\'';
      if (c == '\\' && (w.next() == '"' || w.next() == '\'' || w.next() == '\\')) {
        ++w.pos;
      } else if (c == quote) {
        ends_after = true;
      } else if (is_line_end(c)) {
        w.change_state(string_eol);
        w.set_state(default_style);
      }
      break;
    }
    default: break;
  }
}

void start_state(Walk& w) {
  using namespace asm_style;
  unsigned char c = w.ch();
  if (c == ';') w.set_state(comment);
  else if (is_digit(c) || c == '$' || c == '%' || c == '@' || c == '#') w.set_state(number);
  else if (IsAsmWordStart(c)) w.set_state(identifier);
  else if (c == '"') w.set_state(string);
  else if (c == '\'') w.set_state(character);
  else if (IsAsmOperator(c)) w.set_state(op);
}

}  // namespace

void AsmKeywords::set(int list, std::string_view words) {
  auto& set = lists_.at(static_cast<size_t>(list));
  set.clear();
  size_t i = 0;
  while (i < words.size()) {
    while (i < words.size() && words[i] == ' ') ++i;
    size_t j = words.find(' ', i);
    if (j == std::string_view::npos) j = words.size();
    if (j > i) set.emplace(words.substr(i, j - i));
    i = j;
  }
}

int AsmKeywords::list_of(std::string_view lowered) const {
  std::string key(lowered);
  for (size_t i = 0; i < lists_.size(); ++i)
    if (lists_[i].count(key)) return static_cast<int>(i);
  return -1;
}

const AsmKeywords& asm_keywords() {
  static const AsmKeywords keywords = [] {
    AsmKeywords k;
    k.set(0, asm_mnemonics);
    k.set(2, asm_registers);
    return k;
  }();
  return keywords;
}

const DirectiveTables& asm_directive_tables() { return editor_tables; }

bool IsNationalLetter(unsigned char c) {
  return c == 0xE5 || c == 0xE4 || c == 0xF6 || c == 0xC5 || c == 0xC4 || c == 0xD6;
}

bool IsAsmWordChar(unsigned char c) {
  if (c >= 128) return IsNationalLetter(c);
  return is_letter(c) || is_digit(c) || c == '.' || c == '_' || c == '$';
}

bool IsAsmWordStart(unsigned char c) {
  if (c >= 128) return IsNationalLetter(c);
  return is_letter(c) || is_digit(c) || c == '_';
}

bool IsAsmOperator(unsigned char c) {
  if (is_letter(c) || is_digit(c)) return false;
  return c != 0 && std::string_view("*/-+()=^[]<&>,|~@%").find(static_cast<char>(c)) != std::string_view::npos;
}

int is_asm_directive(const char* word) {
  if (lookup_directive(editor_tables, word)) return 1;
  const char* pos = word;
  if (lookup_pp_keyword(editor_tables, pos)) return static_cast<int>(pos - word);
  return 0;
}

std::vector<uint8_t> ColouriseAsmDoc(std::string_view text, size_t start, size_t length, int init_style,
                                     const AsmKeywords& keywords) {
  start = std::min(start, text.size());
  const size_t end = std::min(text.size(), start + length);
  Walk w(text, start, end, is_running_state(init_style) ? init_style : asm_style::default_style);
  bool ends_after = false;
  for (w.pos = start; w.pos < end; ++w.pos) {
    if (ends_after) {
      w.set_state(asm_style::default_style);
      ends_after = false;
    }
    if (w.ch() == '\\' && is_line_end(w.next())) {
      ++w.pos;
      if (w.ch() == '\r' && w.next() == '\n') ++w.pos;
      continue;
    }
    bool quoted = w.state() == asm_style::string || w.state() == asm_style::character;
    if (w.at_line_start() && !quoted && line_start(w)) continue;
    running_state(w, keywords, ends_after);
    if (w.state() == asm_style::default_style) start_state(w);
  }
  // At the end of the document a word is complete and a string unclosed.
  w.pos = end;
  if (end == text.size()) {
    if (w.state() == asm_style::identifier) w.change_state(identifier_style(w.lowered(), keywords));
    if ((w.state() == asm_style::string || w.state() == asm_style::character) && !ends_after)
      w.change_state(asm_style::string_eol);
  }
  return w.finish();
}

}  // namespace zun::wb
