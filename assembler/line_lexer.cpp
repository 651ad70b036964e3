// The line driver: splits one source line into label, operation and operand
// and hands it on to the preprocessor, the debug directives, the directives
// or the instruction encoder. Runs the same way in both passes; what differs
// between them is decided further down.
#include "assembler/internal.h"
#include "common/format.h"
#include "common/text.h"

namespace zun::hasm {

bool is_label_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool is_label_char(char c) {
  return is_label_start(c) || (c >= '0' && c <= '9') || c == '$' || c == '.';
}

const char* scan_name(const char* p, std::string& name) {
  name.clear();
  if (!is_label_start(*p)) return p;
  const char* q = p;
  while (is_label_char(*q)) ++q;
  name.assign(p, static_cast<size_t>(q - p));
  return q;
}

namespace {

bool below_bang(char c) { return static_cast<signed char>(c) < '!'; }

void reset_line(Assembly& as) {
  LineState& l = as.line;
  l.pos = l.text.c_str();
  l.error = false;
  l.show_address = false;
  l.address = as.pc;
  l.segment = as.current;
  l.byte_mode = false;
  l.instruction = false;
  l.equ_value = false;
  l.bytes.clear();
  l.was_assembling = assembling(as);
  l.file_changed_before = as.file_changed;
  as.file_changed = false;
}

// Label in column 0; false after "Illegal label".
bool read_label(Assembly& as, std::string& label) {
  const char* p = as.line.text.c_str();
  const char* end = scan_name(p, label);
  if (end == p) {
    error(as, "Illegal label");
    return false;
  }
  if (label.size() > MaxNameLength) {
    label.clear();
    error(as, format("Symbol name is to long (max %d characters)", MaxNameLength));
    return false;
  }
  if (*end == ':') ++end;
  if (!below_bang(*end)) {
    label.clear();
    error(as, "Illegal label");
    return false;
  }
  as.line.pos = end;
  return true;
}

void define_line_label(Assembly& as, const std::string& label) {
  if (label.empty()) return;
  as.line.show_address = true;
  as.last_data_label = define_label(as, label, as.line.address, true);
}

}  // namespace

void assemble_line(Assembly& as) {
  reset_line(as);
  if (!as.read_fault.empty()) {
    error(as, as.read_fault);
    as.read_fault.clear();
    return;
  }
  const char* text = as.line.text.c_str();
  const char* p = text;
  while (*p != '\0' && below_bang(*p)) ++p;
  if (*p == '#') {
    const char* rest = p;
    int code = lookup_pp_keyword(as, rest);
    if (code != 0) {
      preprocessor_line(as, code, rest);
      return;
    }
  }
  if (!assembling(as)) return;
  if (text[0] == '*' || text[0] == ';') return;
  if (std::string_view(text).starts_with(".stab")) {
    as.compiler_output = true;
    if (as.pass == 2 && as.opt.debug) stab_line(as);
    else skip_stab_line(as);
    return;
  }
  std::string label;
  if (!below_bang(text[0]) && !read_label(as, label)) return;
  as.line.pos = skip_blanks(as.line.pos);
  char c = *as.line.pos;
  if (c == '\0' || c == ';' || c == '*') {
    define_line_label(as, label);
    return;
  }
  const char* word = as.line.pos;
  const char* word_end = word;
  while (!below_bang(*word_end)) ++word_end;
  size_t length = static_cast<size_t>(word_end - word);
  int code = length <= 63 ? lookup_directive(as, word, length) : 0;
  if (code != 0) {
    as.line.pos = skip_blanks(word_end);
    if (!directive_defines_label(code)) define_line_label(as, label);
    do_directive(as, code, label);
    return;
  }
  const Mnemonic* m = length <= 63 ? find_mnemonic(as, std::string_view(word, length)) : nullptr;
  if (!m) {
    define_line_label(as, label);
    error(as, "Illegal mnemonic");
    return;
  }
  define_line_label(as, label);
  as.line.show_address = true;
  if (m->kind != OpKind::General) as.last_data_label = nullptr;
  as.line.pos = skip_blanks(word_end);
  encode(as, *m);
}

}  // namespace zun::hasm
