// Colour runs of the debugger's source pane; see source_colour.h.
#include "debugger/sldwin/source_colour.h"

#include <algorithm>

#include "workbench/core/workbench_core.h"
#include "workbench/editor/editor_styles.h"

namespace zun::sldwin {

namespace {

bool is_blank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool is_operator(char c) { return std::string_view("!&+-=^|~").find(c) != std::string_view::npos; }

class Runs {
 public:
  void add(int start, int length, Ink ink) {
    if (length <= 0) return;
    if (!runs_.empty() && runs_.back().ink == ink && runs_.back().start + runs_.back().length == start)
      runs_.back().length += length;
    else
      runs_.push_back({start, length, ink});
  }
  std::vector<InkRun> take() { return std::move(runs_); }

 private:
  std::vector<InkRun> runs_;
};

int run_while(std::string_view t, int pos, bool (*pred)(char)) {
  int n = static_cast<int>(t.size());
  while (pos < n && pred(t[pos])) ++pos;
  return pos;
}

bool word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool decimal(char c) { return c >= '0' && c <= '9'; }
bool octal(char c) { return c >= '0' && c <= '7'; }
bool hex(char c) { return decimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The C editor's keyword lists (blank-separated words), so that the pane
// colours what the editor colours.
bool is_keyword(std::string_view word) {
  for (std::string_view list : wb::editor_look(wb::file_kind::c_source).keywords) {
    for (size_t at = 0; at < list.size();) {
      size_t end = list.find(' ', at);
      if (end == std::string_view::npos) end = list.size();
      if (list.substr(at, end - at) == word) return true;
      at = end + 1;
    }
  }
  return false;
}

// A string or character constant from its opening quote to the closing one
// (a backslash escapes the next character), or to the line's end.
int quoted_at(std::string_view t, int pos) {
  const char quote = t[pos];
  const int n = static_cast<int>(t.size());
  int end = pos + 1;
  while (end < n && t[end] != quote) end += t[end] == '\\' ? 2 : 1;
  return std::min(end + 1, n) - pos;
}

// A number at `pos`: its length, else 0.
int number_at(std::string_view t, int pos) {
  char c = t[pos];
  int n = static_cast<int>(t.size());
  if (c == '0' && pos + 1 < n && (t[pos + 1] == 'x' || t[pos + 1] == 'X'))
    return run_while(t, pos + 2, hex) - pos;
  if (c == '0') return run_while(t, pos + 1, octal) - pos;
  if (c >= '1' && c <= '9') return run_while(t, pos + 1, decimal) - pos;
  return 0;
}

}  // namespace

std::string expand_tabs(std::string_view line) {
  std::string out;
  for (char c : line) {
    if (c == '\n' || c == '\r') break;
    if (c != '\t') {
      out += c;
      continue;
    }
    out += ' ';
    while ((out.size() + 1) % 6 != 0) out += ' ';
  }
  return out;
}

std::vector<InkRun> colour_asm_line(std::string_view t) {
  Runs runs;
  const int n = static_cast<int>(t.size());
  if (n > 0 && (t[0] == '*' || t[0] == ';')) {
    runs.add(0, n, Ink::Grey);
    return runs.take();
  }
  auto word = [&](int pos) {
    while (pos < n && !is_blank(t[pos])) ++pos;
    return pos;
  };
  auto blanks = [&](int pos) {
    while (pos < n && is_blank(t[pos])) ++pos;
    return pos;
  };
  int label_end = word(0);
  runs.add(0, label_end, Ink::Label);
  int p = blanks(label_end);
  runs.add(label_end, p - label_end, Ink::Black);
  int mnemonic_end = word(p);
  runs.add(p, mnemonic_end - p, Ink::Mnemonic);
  p = blanks(mnemonic_end);
  runs.add(mnemonic_end, p - mnemonic_end, Ink::Black);
  int operand_end = p;
  if (p < n && t[p] == '"') {
    operand_end = p + 1;
    while (operand_end < n && static_cast<unsigned char>(t[operand_end]) >= ' ' && t[operand_end] != '"')
      ++operand_end;
    if (operand_end < n && t[operand_end] == '"') ++operand_end;
  } else {
    operand_end = word(p);
  }
  runs.add(p, operand_end - p, Ink::Operand);
  runs.add(operand_end, n - operand_end, Ink::Grey);
  return runs.take();
}

std::vector<InkRun> colour_c_line(std::string_view t, bool& in_comment) {
  Runs runs;
  const int n = static_cast<int>(t.size());
  int pos = 0;
  while (pos < n) {
    if (in_comment) {
      size_t close = t.find("*/", static_cast<size_t>(pos));
      int end = close == std::string_view::npos ? n : static_cast<int>(close) + 2;
      runs.add(pos, end - pos, Ink::Comment);
      in_comment = close == std::string_view::npos;
      pos = end;
      continue;
    }
    if (is_blank(t[pos])) {
      runs.add(pos, 1, Ink::Black);
      ++pos;
      continue;
    }
    if (t.substr(pos, 2) == "/*") {
      runs.add(pos, 2, Ink::Comment);
      in_comment = true;
      pos += 2;
      continue;
    }
    if (t.substr(pos, 2) == "//") {
      runs.add(pos, n - pos, Ink::Comment);
      break;
    }
    if (t[pos] == '"' || t[pos] == '\'') {
      int len = quoted_at(t, pos);
      runs.add(pos, len, Ink::String);
      pos += len;
      continue;
    }
    if (word_char(t[pos]) && !decimal(t[pos])) {
      int end = run_while(t, pos, word_char);
      runs.add(pos, end - pos, is_keyword(t.substr(pos, end - pos)) ? Ink::Keyword : Ink::Black);
      pos = end;
      continue;
    }
    if (int len = number_at(t, pos)) {
      runs.add(pos, len, Ink::Number);
      pos += len;
      continue;
    }
    runs.add(pos, 1, is_operator(t[pos]) ? Ink::Operator : Ink::Black);
    ++pos;
  }
  return runs.take();
}

int c_comment_mark_from_end(std::string_view line) {
  for (size_t i = line.size(); i >= 2; --i) {
    std::string_view pair = line.substr(i - 2, 2);
    if (pair == "*/") return -1;
    if (pair == "/*") return 1;
  }
  return 0;
}

bool c_comment_open_before(std::span<const std::string> above) {
  for (const std::string& line : above)
    if (int mark = c_comment_mark_from_end(line)) return mark > 0;
  return false;
}

}  // namespace zun::sldwin
