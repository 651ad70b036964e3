// Source-level debug records (SY lines, with -g): the ".stab" directives of
// compiler output, and the records the assembler makes itself for assembler
// sources (modules, execution points, data symbols and their types). The
// records collect in the debug temporary and end up in the object file.
#include <cstring>

#include "assembler/internal.h"
#include "common/format.h"
#include "common/number.h"
#include "common/text.h"

namespace zun::hasm {

namespace {

const char* segment_name(const Assembly& as) { return as.current ? as.current->name.c_str() : ""; }

// Reads the continuation lines of a ".stab" line; each is handed to `each`.
template <typename F>
void continuation_lines(Assembly& as, F each) {
  while (as.line.text.size() >= 1 && as.line.text.back() == '\\') {
    if (!read_next_line(as)) {
      error(as, "Read Error: Possibly last line continuation");
      return;
    }
    each(as.line.text);
  }
}

void stmt(Assembly& as, const char* args, char kind) {
  std::string first;
  const char* p = args;
  while (*p >= '0' && *p <= '9') first += *p++;
  uint32_t n = 0, value = 0;
  parse_number(first.c_str(), n, 10);
  if (*p == ',') {
    ++p;
    if (!eval_absolute_field(as, p, value)) return;
  }
  as.debug_records.append(format("SY:C:%c:%s:%d:%d:%s:%X\n", kind, as.module_name.c_str(),
                                static_cast<int>(n), static_cast<int>(value), segment_name(as),
                                as.pc));
}

void function_edge(Assembly& as, const char* args, bool start) {
  std::string text;
  read_word(text, args);
  size_t colon = text.rfind(':');
  std::string name = text.substr(0, colon);
  int line = colon == std::string::npos ? 0 : std::atoi(text.c_str() + colon + 1);
  Symbol* s = find_symbol(as, name);
  if (!s) return;
  const char* seg = s->segment ? s->segment->name.c_str() : "";
  as.debug_records.append(format("SY:C:%c:%s:%s:%s:%8.8X:%d\n", start ? 'F' : 'E',
                                as.module_name.c_str(), seg, s->name.c_str(),
                                start ? s->value : as.pc, line));
}

void type_record(Assembly& as, const char* text) {
  const char* first = skip_blanks(text);
  bool builtin = false;
  if (std::strncmp(first, "typ", 3) == 0 && first[3] >= '0' && first[3] <= '9') {
    builtin = std::atoi(first + 3) < 16;
  }
  std::string record = "SY:C:T:";
  if (builtin) {
    record += ' ';
    record += first;
  } else {
    record += as.module_name;
    record += ':';
    record += text;
  }
  record += '\n';
  as.debug_records.append(record);
  continuation_lines(as, [&](const std::string& line) { as.debug_records.append(line + "\n"); });
}

void sym_record(Assembly& as, const std::string& line) {
  if (line.size() < 12 || line[11] != ':') {
    warning(as, "Unrecognized '.stab'-entry");
    return;
  }
  char cls = line[10];
  const char* rest = line.c_str() + 12;
  if (cls != 'S' && cls != 'f') {
    as.debug_records.append(format("SY:C:S:%c:%s:%s\n", cls, as.module_name.c_str(), rest));
    return;
  }
  const char* colon1 = std::strchr(rest, ':');
  const char* colon2 = colon1 ? std::strchr(colon1 + 1, ':') : nullptr;
  if (!colon2) {
    warning(as, "Unrecognized '.stab'-entry");
    return;
  }
  std::string name(rest, colon1);
  std::string ref(colon1 + 1, colon2);
  Symbol* s = find_symbol(as, ref);
  // The record locates the symbol it refers to, which need not lie in the
  // segment that happens to be current here.
  const char* seg = (s && s->segment) ? s->segment->name.c_str() : segment_name(as);
  as.debug_records.append(format("SY:C:S:%c:%s:%s:%s:%8.8X:%s\n", cls, as.module_name.c_str(), seg,
                                name.c_str(), s ? s->value : 0u, colon2 + 1));
}

void block_record(Assembly& as, const char* args) {
  if (*args == '\0') {
    warning(as, "Unrecognized '.stab'-entry");
    return;
  }
  char cls = *args;
  const char* p = args + 1;
  if (*p == ',') ++p;
  uint32_t n = 0;
  std::string digits;
  while (*p >= '0' && *p <= '9') digits += *p++;
  parse_number(digits.c_str(), n, 10);
  uint32_t value = 0;
  if (*p == ',') {
    ++p;
    if (!eval_absolute_field(as, p, value)) return;
  }
  std::string file = as.block_file_pending ? as.c_file_name : std::string();
  as.block_file_pending = false;
  as.debug_records.append(format("SY:C:B:%s$%d$%c$%d$%8.8X\n", file.c_str(), static_cast<int>(n),
                                cls, static_cast<int>(value), as.pc));
}

}  // namespace

void stab_line(Assembly& as) {
  // The fields are read where they stand in the line, so that an expression
  // fault names its column there; only a type record reads further lines,
  // after it has taken its own text.
  const std::string& line = as.line.text;
  const char* key = line.size() > 6 ? line.c_str() + 6 : "";
  auto is = [&](const char* word) {
    size_t n = std::strlen(word);
    return std::strncmp(key, word, n) == 0 && static_cast<signed char>(key[n]) <= ' ';
  };
  auto args = [&](const char* word) { return skip_blanks(key + std::strlen(word)); };
  if (is("init")) {
    as.c_file_name.clear();
    as.block_file_pending = false;
  } else if (is("dir")) {
    read_word(as.debug_dir, args("dir"));
  } else if (is("file")) {
    read_word(as.c_file_name, args("file"));
    as.block_file_pending = true;
  } else if (is("stmt")) {
    stmt(as, args("stmt"), 'X');
  } else if (is("fexit")) {
    stmt(as, args("fexit"), 'Z');
  } else if (is("fstart")) {
    function_edge(as, args("fstart"), true);
  } else if (is("fend")) {
    function_edge(as, args("fend"), false);
  } else if (is("type")) {
    type_record(as, key[4] ? key + 5 : key + 4);
  } else if (is("sym")) {
    sym_record(as, line);
  } else if (is("blk")) {
    block_record(as, args("blk"));
  } else {
    warning(as, "Unrecognized '.stab'-entry");
    skip_stab_line(as);
  }
}

void skip_stab_line(Assembly& as) {
  continuation_lines(as, [](const std::string&) {});
}

void debug_module_records(Assembly& as) {
  const std::string& rec = as.record_name;
  std::string path = rec.find_first_of("/\\") != std::string::npos ? rec : as.start_dir + "/" + rec;
  as.debug_records.append(format("SY:%c:M:%s$%s\n", as.compiler_output ? 'C' : 'A',
                                as.module_name.c_str(), path.c_str()));
  // The list is newest first; its last entry is the main source itself.
  for (size_t i = 0; i + 1 < as.source_files.size(); ++i) {
    const SourceFile& f = as.source_files[i];
    as.debug_records.append(format("SY:A:M:%s$%s\n", f.module.c_str(), f.path.c_str()));
  }
}

void debug_exec_point(Assembly& as) {
  const std::string& module =
      as.include_stack.size() > 1 ? as.current_module : as.module_name;
  const char* seg = as.line.segment ? as.line.segment->name.c_str() : "";
  as.debug_records.append(format("SY:A:X:%s:%d:%s:%X\n", module.c_str(), as.line_in_file, seg,
                                as.line.address));
}

void debug_type_records(Assembly& as) {
  as.debug_records.append("SY:C:T: typ2 l (4)\nSY:C:T: typ4 c (1)\nSY:C:T: typ6 s (2)\n");
}

void debug_data_symbol(Assembly& as, Symbol& s) {
  int count = s.count, size = s.size;
  if (s.flags & SymConstant) {
    count = 1;
    size = 2;
  }
  std::string type;
  if (count == 1 && (size == 1 || size == 2 || size == 4)) {
    type = size == 1 ? "(typ4)" : size == 2 ? "(typ6)" : "(typ2)";
  } else {
    int number = 0;
    for (const auto& t : as.array_types)
      if (t.count == count && t.element_size == size) number = t.number;
    if (number == 0) {
      number = 16 + static_cast<int>(as.array_types.size());
      as.array_types.push_back({number, count, size});
      const char* element = size == 2 ? "(typ6)" : size == 4 ? "(typ2)" : "(typ4)";
      as.debug_records.append(format("SY:C:T:%s: typ%d-%s A (%d)%s\n", as.module_name.c_str(),
                                    number, as.module_name.c_str(), count * size, element));
    }
    type = format("(typ%d-%s)", number, as.module_name.c_str());
  }
  const char* seg = s.segment ? s.segment->name.c_str() : "";
  if (s.flags & SymGlobal) {
    as.debug_records.append(format("SY:C:S:G:%s:%s:%s:%s\n", as.module_name.c_str(),
                                  s.name.c_str(), s.name.c_str(), type.c_str()));
  } else {
    as.debug_records.append(format("SY:C:S:S:%s:%s:%s:%8.8X:%s\n", as.module_name.c_str(), seg,
                                  s.name.c_str(), s.value, type.c_str()));
  }
}

}  // namespace zun::hasm
