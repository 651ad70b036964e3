// Linker scripts: option lines (handed to the command-line parser) and the
// statements entry, memory, group and layout, which may run over several
// lines. The statements are only recorded here; place.cpp uses them.
#include "common/format.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

struct ScriptError {};

bool is_blank_char(char c) { return static_cast<signed char>(c) <= 32; }
bool is_ident(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool is_punct(char c) { return c == ',' || c == '(' || c == ')' || c == '{' || c == '}' || c == '<' || c == '='; }

bool is_skipped_line(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && is_blank_char(line[i])) ++i;
  return i == line.size() || line.compare(i, 2, "//") == 0;
}

class ScriptReader {
 public:
  ScriptReader(Link& link, const TextLines& text) : link_(link), lines_(text.lines) {}

  // "script: { option-line | statement }"
  void read() {
    for (;;) {
      if (!next_statement_start()) return;
      std::string keyword;
      while (pos_ < cur().size() && is_ident(cur()[pos_])) keyword += cur()[pos_++];
      if (keyword.empty()) keyword = word_until_blank();
      if (equal_nocase(keyword, "entry")) read_entry();
      else if (equal_nocase(keyword, "memory")) read_memory();
      else if (equal_nocase(keyword, "group")) read_group();
      else if (equal_nocase(keyword, "layout")) read_layout();
      else fail(format("line %d: script error: '%s'", line_no(), keyword.c_str()));
    }
  }

 private:
  const std::string& cur() const { return lines_[line_]; }
  int line_no() const { return static_cast<int>(line_) + 1; }

  [[noreturn]] void fail(const std::string& text) {
    error(link_, text);
    throw ScriptError{};
  }

  std::string word_until_blank() {
    std::string word;
    while (pos_ < cur().size() && !is_blank_char(cur()[pos_])) word += cur()[pos_++];
    return word;
  }

  // Moves to the next statement; option lines are handled on the way.
  bool next_statement_start() {
    for (;;) {
      if (line_ >= lines_.size()) return false;
      while (pos_ < cur().size() && is_blank_char(cur()[pos_])) ++pos_;
      if (pos_ < cur().size()) {
        bool line_start = cur().find_first_not_of(" \t") == pos_;
        if (line_start && cur().compare(pos_, 2, "//") == 0) {
          advance_line();
        } else if (line_start && cur()[pos_] == '-') {
          option_line();
          advance_line();
        } else {
          return true;
        }
      } else {
        advance_line();
      }
    }
  }

  void advance_line() {
    ++line_;
    pos_ = 0;
  }

  // "option-line: '-' words [ '//' comment ]"
  void option_line() {
    std::string text = cur().substr(pos_);
    size_t comment = text.find("//");
    if (comment != std::string::npos) text.resize(comment);
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && is_blank_char(text[i])) ++i;
      size_t start = i;
      while (i < text.size() && !is_blank_char(text[i])) ++i;
      if (i > start) words.push_back(text.substr(start, i - start));
    }
    parse_options(link_, words, 0, true);
  }

  // The next character inside a statement, across line ends.
  char peek() {
    for (;;) {
      if (line_ >= lines_.size())
        fail(format("line %d: unexpected end in script file (missing newline?) ",
                    static_cast<int>(lines_.size())));
      while (pos_ < cur().size() && is_blank_char(cur()[pos_])) ++pos_;
      if (pos_ < cur().size()) return cur()[pos_];
      do advance_line();
      while (line_ < lines_.size() && is_skipped_line(cur()));
    }
  }

  void expect(char c) {
    if (peek() != c) fail(format("script file line %d '%c' expected", line_no(), c));
    ++pos_;
  }

  std::string token() {
    peek();
    std::string word;
    while (pos_ < cur().size() && !is_blank_char(cur()[pos_]) && !is_punct(cur()[pos_]))
      word += cur()[pos_++];
    return word;
  }

  // "number: '0x' hex | '$' hex | decimal | '-' decimal"
  std::optional<uint32_t> number() {
    std::string word = token();
    if (word.starts_with("0x") || word.starts_with("0X")) return parse_hex(word.substr(2));
    if (word.starts_with("$")) return parse_hex(word.substr(1));
    if (word.starts_with("-")) {
      auto value = parse_dec(word.substr(1));
      if (!value) return std::nullopt;
      return 0u - *value;
    }
    return parse_dec(word);
  }

  unsigned attributes() {
    unsigned bits = 0;
    for (char c : token()) {
      switch (c) {
        case 'R': case 'r': bits |= AttrR; break;
        case 'W': case 'w': bits |= AttrW; break;
        case 'X': case 'x': bits |= AttrX; break;
        case 'C': case 'c': bits |= AttrC; break;
        case 'E': case 'e': bits |= AttrE; break;
        default: fail(format("script file line %d type expected", line_no()));
      }
    }
    return bits;
  }

  // "entry ( name )"
  void read_entry() {
    expect('(');
    peek();
    std::string name;
    while (pos_ < cur().size() && cur()[pos_] != ')' && !is_blank_char(cur()[pos_]))
      name += cur()[pos_++];
    if (name.empty()) fail(format("script file line %d, entry symbol name expected", line_no()));
    for (char c : name)
      if (!is_ident(c))
        fail(format("script file line %d, '%c' in '%s' is not a valid entry symbol", line_no(), c,
                    name.c_str()));
    expect(')');
    link_.have_entry = true;
    link_.entry = name;
  }

  // "memory ( attrs , start , size )"
  void read_memory() {
    expect('(');
    MemoryBlock block;
    block.line = line_no();
    block.attributes = attributes();
    expect(',');
    auto start = number();
    if (!start) fail(format("script file line %d address expected", line_no()));
    expect(',');
    auto size = number();
    if (!size) fail(format("script file line %d address expected", line_no()));
    expect(')');
    if (static_cast<int32_t>(*size) <= 0) fail(format("line %d inconsistent memory layout", line_no()));
    block.start = *start;
    block.end = *start + *size;
    link_.memory.push_back(block);
  }

  // "group ( attrs , name ) { segment { , segment } }"
  void read_group() {
    auto group = std::make_unique<Group>();
    group->line = line_no();
    link_.have_groups = true;
    expect('(');
    group->attributes = attributes();
    expect(',');
    group->name = token();
    expect(')');
    expect('{');
    while (peek() != '}') {
      GroupMember member{token(), line_no()};
      if (member.name.empty()) fail(format("script file line %d '%c' expected", line_no(), '}'));
      group->names.push_back(member);
      if (peek() != ',') break;
      ++pos_;
    }
    expect('}');
    if (group->names.empty()) {
      warning(link_, format("empty group '%s' ignored", group->name.c_str()));
      return;
    }
    link_.script_groups.push_back(std::move(group));
  }

  // "layout { start , end <= group { , start , end <= group } }"
  void read_layout() {
    expect('{');
    while (peek() != '}') {
      LayoutEntry entry;
      entry.line = line_no();
      auto start = number();
      if (!start) fail(format("script file line %d, start address expected", line_no()));
      expect(',');
      auto end = number();
      if (!end) fail(format("script file line %d, end address expected", line_no()));
      expect('<');
      expect('=');
      entry.group_name = token();
      if (*end <= *start) fail(format("script file line %d, memory block is <= 0", line_no()));
      entry.start = *start;
      entry.end = *end;
      link_.layout.push_back(entry);
      if (peek() != ',') break;
      ++pos_;
    }
    expect('}');
    link_.have_layout = true;
  }

  Link& link_;
  const std::vector<std::string>& lines_;
  size_t line_ = 0;
  size_t pos_ = 0;
};

}  // namespace

bool read_script(Link& link, const std::string& name) {
  std::string found = name;
  TextLines text;
  ReadStatus status = read_text_file(found, text, kMaxTextLine);
  for (size_t i = 0; !status.opened && i < link.script_paths.size(); ++i) {
    found = path_join(link.script_paths[i], name);
    status = read_text_file(found, text, kMaxTextLine);
  }
  if (!status.opened) {
    std::string shown = name.starts_with(".") ? absolute_name(name) : name;
    error(link, format("can't open script file '%s'", shown.c_str()));
    return true;
  }
  if (status.long_line > 0) {
    error(link, format("script file '%s' line %d is longer than the limit of %zu characters", found.c_str(),
                       status.long_line, kMaxTextLine));
    return false;
  }
  std::string key = absolute_name(found);
  for (const std::string& open : link.scripts_open)
    if (open == key) {
      error(link, format("script file '%s' includes itself", name.c_str()));
      return false;
    }
  link.scripts_read.push_back(found);
  link.scripts_open.push_back(key);
  bool ok = true;
  try {
    ScriptReader(link, text).read();
  } catch (const ScriptError&) {
    ok = false;
  }
  link.scripts_open.pop_back();
  return ok;
}

}  // namespace zun::vlk
