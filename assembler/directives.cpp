// Directives: the dialect tables (pure, TSC, base, '#') and what each
// directive does. A directive gets the operand position in as.line.pos and
// the line's label, if any; data directives define that label themselves.
#include <cstring>

#include "assembler/internal.h"
#include "common/directive.h"
#include "common/format.h"
#include "common/number.h"
#include "common/text.h"

namespace zun::hasm {

namespace {

enum Code : int {
  Use = 1, List = 2, ListCond = 3, NoList = 4, NoListCond = 5, Org = 6, Equ = 7, Set = 8,
  End = 9, Fcb = 10, Fdb = 11, Fqb = 12, Rmb = 15, Rmw = 16, Fcc = 19, Entry = 21, Exit = 22,
  Function = 23, File = 24, Export = 25, Xdef = 26, Import = 27, Xref = 28, SegmentDir = 30,
  Bss = 31, Data = 32, Text = 33, Rodata = 35, Align = 38, OptionDir = 39, Err = 48, Reg = 49,
  SetDp = 50, Pag = 51, Spc = 52, Nam = 53, Sttl = 54, Rpt = 55,
};

// "opt" is the TSC spelling of option, but stands in the standard table: a
// TSC source begins with "opt TSC", before the TSC table is on.
// clang-format off
constexpr DirectiveEntry PureTable[] = {
    {"align", Align}, {"export", Export}, {"end", End}, {"file", File}, {"function", Function},
    {"import", Import}, {"option", OptionDir}, {"opt", OptionDir}, {"org", Org},
    {"segment", SegmentDir}, {"use", Use},
    {"equ", Equ}, {"set", Set}, {"list", List}, {"listcond", ListCond}, {"nolist", NoList},
    {"nolistcond", NoListCond}, {"xdef", Xdef}, {"define", Xdef}, {"xref", Xref}, {"extern", Xref},
    {"entry", Entry}, {"exit", Exit}, {"bss", Bss}, {"data", Data}, {"text", Text},
    {"rodata", Rodata}, {nullptr, 0}};
constexpr DirectiveEntry TscTable[] = {
    {"org", Org}, {"end", End}, {"rmb", Rmb}, {"fcb", Fcb}, {"fdb", Fdb}, {"fcc", Fcc},
    {"equ", Equ}, {"set", Set}, {"err", Err}, {"lib", Use}, {"reg", Reg},
    {"setdp", SetDp}, {"pag", Pag}, {"spc", Spc}, {"nam", Nam}, {"ttl", Nam}, {"sttl", Sttl},
    {"rpt", Rpt}, {nullptr, 0}};
constexpr DirectiveEntry BaseTable[] = {
    {"org", Org}, {"equ", Equ}, {"rmb", Rmb}, {"rmw", Rmw}, {"fcb", Fcb}, {"fdb", Fdb},
    {"fqb", Fqb}, {"fcs", Fcc}, {nullptr, 0}};
constexpr DirectiveEntry HashTable[] = {
    {"if", 41}, {"else", 42}, {"endif", 43}, {"elif", 44}, {"define", 46}, {"error", 48},
    {"ifdef", 45}, {"ifndef", 47}, {nullptr, 0}};
// clang-format on

DirectiveTables tables_of(const Assembly& as) {
  DirectiveTables t;
  t.pure = PureTable;
  t.compat = TscTable;
  t.base = BaseTable;
  t.hash_keywords = HashTable;
  t.pure_on = as.opt.pure;
  t.compat_on = as.tsc;
  return t;
}

bool ends(char c) { return static_cast<signed char>(c) <= ' '; }

void old_fashioned(Assembly& as, const char* used, const char* instead) {
  warning(as, format("Old fashioned directive: '%s', use '%s' instead", used, instead));
}

// A word of the operand (quoted or not), at most `max` characters.
std::string operand_word(Assembly& as) {
  std::string word;
  as.line.pos = read_word(word, as.line.pos);
  return word;
}

void define_here(Assembly& as, const std::string& label, uint32_t value) {
  if (label.empty()) return;
  as.last_data_label = define_label(as, label, value, true);
}

// fcb, fdb, fqb: comma-separated expressions of `size` bytes each.
void data_values(Assembly& as, int size) {
  int count = 0;
  for (;;) {
    ExprResult e;
    if (!eval_operand(as, e)) return;
    emit_field(as, e, size);
    ++count;
    char c = *as.line.pos;
    if (ends(c)) break;
    if (c != ',') {
      error(as, "Bad delimiter");
      return;
    }
    ++as.line.pos;
  }
  register_data_size(as, count, size);
}

void reserve(Assembly& as, int size) {
  uint32_t count = 0;
  if (!eval_absolute_field(as, as.line.pos, count)) return;
  int64_t total = static_cast<int64_t>(static_cast<int32_t>(count)) * size;
  // Beyond the 64K address space a reservation can only be a mistake.
  if (total <= 0 || total > 0x10000) {
    error(as, "Undetermined size for reservation of storage");
    return;
  }
  emit_zeros(as, static_cast<uint32_t>(total));
  register_data_size(as, static_cast<int>(count), size);
}

// fcs "text": the bytes between double quotes, with backslash escapes.
void quoted_string(Assembly& as) {
  const char* p = as.line.pos;
  if (*p != '"') {
    error(as, "Bad operand syntax");
    return;
  }
  int count = 0;
  for (++p; *p != '"'; ++p) {
    if (*p == '\0') {
      error(as, "Bad operand syntax");
      return;
    }
    uint8_t b = static_cast<uint8_t>(*p);
    if (*p == '\\' && p[1] != '\0') {
      char c = *++p;
      b = (c >= '0' && c <= '9') ? static_cast<uint8_t>(c - '0')
          : c == 'b' ? 8 : c == 'n' ? 10 : c == 'r' ? 13 : c == 't' ? 9
                                                               : static_cast<uint8_t>(c);
    }
    if (b & 0x80) warning(as, "Illegal ASCII character");
    emit_byte(as, b);
    ++count;
  }
  as.line.pos = p + 1;
  register_data_size(as, count, 1);
}

// Motorola fcc (TSC): items are expressions (beginning with a letter, digit or
// '$') or strings between a delimiter character and its repetition.
void motorola_fcc(Assembly& as) {
  const char*& p = as.line.pos;
  int count = 0;
  for (;;) {
    char c = *p;
    bool expression = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      (c >= '0' && c <= '9') || c == '$';
    if (expression) {
      ExprResult e;
      if (!eval_operand(as, e)) return;
      emit_field(as, e, 1);
      ++count;
    } else {
      const char* close = c == '\0' ? nullptr : std::strchr(p + 1, c);
      if (!close) {
        error(as, "Invalid argument for FCC");
        return;
      }
      for (const char* q = p + 1; q < close; ++q, ++count) emit_byte(as, static_cast<uint8_t>(*q));
      p = close + 1;
    }
    if (ends(*p)) break;
    if (*p != ',') {
      error(as, "Bad delimiter");
      return;
    }
    ++p;
  }
  register_data_size(as, count, 1);
}

void equ_set(Assembly& as, int code, const std::string& label) {
  const char* name = code == Equ ? "equ" : "set";
  if (label.empty()) {
    error(as, format("No label for \"%s\"", name));
    return;
  }
  Symbol* s = find_symbol(as, label);
  if (s && s->from_command_line) {
    warning(as, "Already defined from command line, this line is ignored");
    return;
  }
  uint32_t value = 0;
  bool ok = eval_absolute_field(as, as.line.pos, value);
  as.line.equ_value = true;
  as.line.address = value;
  uint32_t flags = SymDefined | SymConstant | (code == Set ? uint32_t{SymRedefinable} : 0u);
  if (as.pass == 1) {
    if (!s) {
      s = enter_symbol(as, label, value, as.running_line, flags, -1);
      s->segment = abs_segment(as);
    } else if ((s->flags & SymUndefined) && !(s->flags & (SymDefined | SymExternal))) {
      s->flags = (s->flags & ~(SymUndefined | SymPpDefine)) | flags;
      s->value = value;
      s->first_line = as.running_line;
      s->size = -1;
      s->segment = abs_segment(as);
    } else if (code == Set && (s->flags & SymRedefinable)) {
      s->value = value;
    } else {
      s->flags |= SymMultiple;
    }
    return;
  }
  if (!s || !ok) return;
  if (s->flags & SymMultiple) {
    if (s->first_line != as.running_line) {
      error(as, format("symbol '%s' previously defined at line %d", s->name.c_str(),
                       s->first_line));
      if (value != s->value)
        error(as, format("symbol '%s' redefined at line %d", s->name.c_str(), s->first_line));
    }
    return;
  }
  if ((s->flags & SymForward) && s->first_ref_line && s->first_ref_line < as.running_line)
    warning(as, format("symbol '%s' is forward referenced from line %d", s->name.c_str(),
                       s->first_ref_line));
  s->value = value;
  s->module = as.compiler_output ? as.module_name : as.current_module;
}

void org(Assembly& as) {
  uint32_t value = 0;
  int not_absolute = 0;
  as.last_data_label = nullptr;
  if (!eval_absolute_field(as, as.line.pos, value, &not_absolute)) return;
  if (not_absolute > 0) {
    error(as, "Forward reference");
    return;
  }
  if (value < as.pc) {
    error(as, "New origin will overwrite in current segment");
    return;
  }
  // The gap is filled with bytes; an origin beyond the 64K address space can
  // only be a mistake and would fill gigabytes.
  if (value > 0x10000) {
    error(as, "Origin out of range");
    return;
  }
  // Code records carry no address: the gap is filled so that every byte
  // behind the ORG lands where the location counter says.
  emit_zeros(as, value - as.pc);
  as.line.address = value;
}

void end_directive(Assembly& as) {
  std::string word;
  const char* p = as.line.pos;
  while (is_label_char(*p) && word.size() < MaxNameLength) word += *p++;
  if (as.pass == 2 && !word.empty()) {
    Symbol* s = find_symbol(as, word);
    if (!s || !(s->flags & SymDefined)) {
      warning(as, format("start symbol '%s' is defined", word.c_str()));
    } else if (!as.entry_defined) {
      as.entry_defined = true;
      as.entry_value = s->value;
    } else if (s->value != as.entry_value) {
      warning(as, format("Program entry defined, END %4.4X ignored", s->value));
    }
  }
  as.end_seen = true;
}

void file_directive(Assembly& as) {
  std::string name = operand_word(as);
  as.last_data_label = nullptr;
  if (name.empty()) {
    error(as, "Directive needs a filename");
    return;
  }
  if (as.pass == 1) {
    as.compiler_output = true;
    if (as.file_directive_line == 0) {
      as.file_directive_line = as.running_line;
      if (!as.record_from_command_line) as.record_name = name;
    }
    return;
  }
  if (as.record_from_command_line)
    warning(as, "Already defined from command line, this line is ignored");
  else if (as.running_line != as.file_directive_line)
    warning(as, format("Defined (first) at line %d, this line is ignored",
                       as.file_directive_line));
}

// The names of export/import: comma-separated, ending at a blank.
std::vector<std::string> name_list(Assembly& as) {
  std::vector<std::string> names;
  const char*& p = as.line.pos;
  for (;;) {
    std::string name;
    while (!ends(*p) && *p != ',') name += *p++;
    if (!name.empty()) names.push_back(name);
    if (*p != ',') break;
    ++p;
  }
  return names;
}

bool name_too_long(Assembly& as, const std::string& name) {
  if (name.size() <= MaxNameLength) return false;
  error(as, format("Symbol name is to long (max %d characters)", MaxNameLength));
  return true;
}

void export_names(Assembly& as) {
  as.last_data_label = nullptr;
  for (const std::string& name : name_list(as)) {
    if (name_too_long(as, name)) return;
    declare_symbol(as, name, Declare::Global);
    Symbol* s = find_symbol(as, name);
    if (as.pass == 2 && s && (s->flags & SymConstant)) error(as, "Constant can't be exported");
  }
}

void import_names(Assembly& as) {
  as.last_data_label = nullptr;
  bool unsized = false;
  for (const std::string& item : name_list(as)) {
    size_t colon = item.find(':');
    std::string name = item.substr(0, colon);
    if (name_too_long(as, name)) return;
    declare_symbol(as, name, Declare::External);
    Symbol* s = find_symbol(as, name);
    if (!s) continue;
    if (colon == std::string::npos) {
      s->size = 2;
      unsized = true;
      continue;
    }
    uint32_t n = 0;
    if (parse_number(item.c_str() + colon + 1, n, 10) != 0 || colon + 1 == item.size()) {
      error(as, "Integer constant expected");
      continue;
    }
    s->size = static_cast<int>(n);
  }
  if (unsized) warning(as, "Unsized import, word (2 bytes) assumed");
}

void segment_directive(Assembly& as) {
  std::string name;
  as.line.pos = read_word(name, as.line.pos);
  as.last_data_label = nullptr;
  if (name.size() >= MaxNameLength) {
    error(as, format("Segment name '%s' is to long (max %d characters)", name.c_str(),
                     MaxNameLength));
    return;
  }
  if (name.empty()) {
    error(as, "Bad operand syntax");
    return;
  }
  // The object file separates its fields with ':' and marks far segments
  // with a leading '!'.
  if (name.find(':') != std::string::npos || name[0] == '!') {
    error(as, format("Illegal segment name '%s'", name.c_str()));
    return;
  }
  Segment* s = find_segment(as, name);
  if (s && s->far) {
    error(as, format("Segment '%s' is already declared 'far'", name.c_str()));
    return;
  }
  select_segment(as, name);
}

void align(Assembly& as) {
  std::string word = operand_word(as);
  uint32_t n = 0;
  if (parse_number(word.c_str(), n, 10) != 0 ||
      !(n == 0 || n == 2 || n == 4 || n == 8 || n == 16 || n == 32)) {
    error(as, "Illegal alignment");
    return;
  }
  if (n > 0 && as.pc % n != 0) emit_zeros(as, n - as.pc % n);
}

void option(Assembly& as) {
  std::string word;
  const char* p = as.line.pos;
  while (!ends(*p)) word += *p++;
  if (word.empty()) {
    error(as, "'option' requires argument(s)");
    return;
  }
  if (word.size() > 63) word.resize(63);
  const char* w = word.c_str();
  if (word_eq_nocase(w, "SELFTEST")) return;
  if (word_eq_nocase(w, "LIST")) {
    if (as.opt.listing && as.pass == 2) as.listing_enabled = true;
  } else if (word_eq_nocase(w, "NOLIST")) {
    as.nolist_after_line = true;
  } else if (word_eq_nocase(w, "LISTCOND")) {
    as.list_cond = true;
  } else if (word_eq_nocase(w, "NOLISTCOND")) {
    as.list_cond = false;
  } else if (word_eq_nocase(w, "TSC")) {
    as.tsc = true;
  } else {
    error(as, "Unrecognised option");
  }
}

void setdp(Assembly& as) {
  uint32_t value = 0;
  if (!eval_absolute_field(as, as.line.pos, value)) return;
  if (value > 255) {
    error(as, "DPR register is 8 bits");
    return;
  }
  as.direct_page = static_cast<uint8_t>(value);
}

// entry, exit: one function marker symbol.
void marker(Assembly& as, Declare kind) {
  std::string name;
  const char* p = as.line.pos;
  while (is_label_char(*p)) name += *p++;
  as.last_data_label = nullptr;
  if (name.empty() || name.size() > 127) {
    error(as, "Directive requires function name");
    return;
  }
  declare_symbol(as, name, kind);
  Symbol* s = find_symbol(as, name);
  if (!s) return;
  s->module = as.current_module;
  bool defined = (s->flags & SymDefined) && !(s->flags & SymExternal);
  if (kind == Declare::Entry) {
    if (!defined) {
      error(as, format("Undefined entry symbol '%s'", name.c_str()));
      return;
    }
    s->flags |= SymGlobal;
  } else {
    if (!defined) {
      error(as, format("Undefined exit symbol '%s'", name.c_str()));
      return;
    }
    s->exit_value = as.line.address;
    s->exit_line = as.running_line;
  }
}

void function_marker(Assembly& as) {
  as.last_data_label = nullptr;
  if (as.pass != 2) return;
  std::string name, end_name;
  const char* p = as.line.pos;
  while (is_label_char(*p)) name += *p++;
  if (name.empty() || name.size() > 127) {
    error(as, "Directive requires function name");
    return;
  }
  if (*p != ',') {
    error(as, "Expected ',END_SYMBOL'");
    return;
  }
  ++p;
  while (is_label_char(*p)) end_name += *p++;
  Symbol* s = find_symbol(as, name);
  if (!s || !(s->flags & SymDefined)) {
    error(as, format("Undefined function entry symbol '%s'", name.c_str()));
    return;
  }
  Symbol* e = find_symbol(as, end_name);
  if (!e || !(e->flags & SymDefined)) {
    error(as, format("Undefined function exit symbol '%s'", end_name.c_str()));
    return;
  }
  s->flags |= SymEntry | SymExit | SymGlobal;
  s->exit_value = e->value;
  s->exit_line = e->first_line;
  s->module = as.current_module;
}

}  // namespace

void build_directive_words(Assembly& as) {
  for (const DirectiveEntry* table : {PureTable, TscTable, BaseTable})
    for (const DirectiveEntry* e = table; e->name; ++e) as.directive_words.insert(e->name);
}

int lookup_directive(Assembly& as, const char* word, size_t length) {
  char lower[16];
  if (length == 0 || length >= sizeof lower) return 0;
  for (size_t i = 0; i < length; ++i) {
    char c = word[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  if (!as.directive_words.count(std::string_view(lower, length))) return 0;
  return zun::lookup_directive(tables_of(as), word);
}

int lookup_pp_keyword(Assembly& as, const char*& pos) {
  return zun::lookup_pp_keyword(tables_of(as), pos);
}

bool directive_defines_label(int code) {
  switch (code) {
    case Fcb: case Fdb: case Fqb: case Rmb: case Rmw: case Fcc: case Org: case Equ: case Set:
      return true;
    default:
      return false;
  }
}

void register_data_size(Assembly& as, int count, int element_size) {
  if (as.pass != 1 || !as.last_data_label) return;
  Symbol* s = as.last_data_label;
  if (s->count <= 0 || s->size <= 0) {
    s->count = count;
    s->size = element_size;
  } else {
    s->count += count;
  }
}

void do_directive(Assembly& as, int code, const std::string& label) {
  if (directive_defines_label(code) && code != Equ && code != Set) {
    as.line.show_address = true;
    if (code != Org) define_here(as, label, as.pc);
  }
  switch (code) {
    case Use: {
      std::string name = operand_word(as);
      as.last_data_label = nullptr;
      if (!open_source(as, name))
        error(as, as.open_refusal.empty() ? format("%s: '%s'", "File not found", name.c_str()) : as.open_refusal);
      break;
    }
    case List: old_fashioned(as, "LIST", "OPTION LIST"); if (as.opt.listing && as.pass == 2) as.listing_enabled = true; break;
    case ListCond: old_fashioned(as, "LISTCOND", "OPTION LISTCOND"); as.list_cond = true; break;
    case NoList: old_fashioned(as, "NOLIST", "OPTION NOLIST"); as.nolist_after_line = true; break;
    case NoListCond: old_fashioned(as, "NOLISTCOND", "OPTION NOLISTCOND"); as.list_cond = false; break;
    case Org:
      org(as);
      if (!as.line.error) define_here(as, label, as.pc);
      break;
    case Equ: case Set: equ_set(as, code, label); break;
    case End: end_directive(as); break;
    case Fcb: as.line.byte_mode = true; data_values(as, 1); break;
    case Fdb: data_values(as, 2); break;
    case Fqb: data_values(as, 4); break;
    case Rmb: reserve(as, 1); break;
    case Rmw: reserve(as, 2); break;
    case Fcc:
      as.line.byte_mode = true;
      if (as.tsc) motorola_fcc(as);
      else quoted_string(as);
      break;
    case Entry:
      old_fashioned(as, "ENTRY", "FUNCTION");
      if (as.opt.debug) marker(as, Declare::Entry);
      break;
    case Exit:
      old_fashioned(as, "EXIT", "FUNCTION");
      if (as.opt.debug) marker(as, Declare::Exit);
      break;
    case Function: function_marker(as); break;
    case File: file_directive(as); break;
    case Xdef: old_fashioned(as, "DEFINE or XDEF", "EXPORT"); export_names(as); break;
    case Export: export_names(as); break;
    case Xref: old_fashioned(as, "EXTERN or XREF", "IMPORT"); import_names(as); break;
    case Import: import_names(as); break;
    case SegmentDir: segment_directive(as); break;
    case Bss: as.last_data_label = nullptr; select_segment(as, "bss"); break;
    case Data: as.last_data_label = nullptr; select_segment(as, "data"); break;
    case Text: as.last_data_label = nullptr; select_segment(as, "text"); break;
    case Rodata: as.last_data_label = nullptr; select_segment(as, "rodata"); break;
    case Align: as.line.show_address = true; align(as); break;
    case OptionDir: option(as); break;
    case Err: break;
    case Reg: case Pag: case Spc: case Nam: case Sttl: case Rpt:
      warning(as, "Unimplemented assembler directive, ignored");
      break;
    case SetDp: setdp(as); break;
    default: throw FatalStop{format("(F1016) directive %d", code)};
  }
}

}  // namespace zun::hasm
