// The debug reader: the "SX:" tail of a load file in a fixed series of
// passes (modules and entry, types, functions and points, symbols, exits),
// then the source files, the functions' entry and exit points and the
// program's entry. Messages go to the output window through the host.
#include "common/format.h"
#include "common/line_reader.h"
#include "common/number.h"
#include "common/path.h"
#include "debugger/sld/sld.h"

#include <cstdio>

namespace zun::sld {

namespace {

// The load file as lines without their ends.
struct LoadLines {
  std::vector<std::string> text;
  std::vector<bool> continued;  // ends in '\' before its line feed
  // Lines that continue the one before them belong to a type record.
  std::vector<bool> continuation;

  bool is_record(size_t i) const {
    return !continuation[i] && text[i].size() > 1 && text[i][0] == 'S' && text[i][1] == 'X';
  }
  char kind(size_t i) const { return text[i].size() > 5 ? text[i][5] : 0; }
  char symbol_class(size_t i) const { return text[i].size() > 7 ? text[i][7] : 0; }
};

bool read_load_lines(const std::string& path, LoadLines& lines) {
  // A device or a FIFO named as load file would never end.
  std::string reason;
  std::FILE* file = open_input_file(path, reason);
  if (!file) return false;
  std::string all;
  char chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) all.append(chunk, n);
  std::fclose(file);
  size_t pos = 0;
  std::string_view view;
  bool previous_continued = false;
  // Any line end counts: LF, CR LF or a lone CR.
  while (next_line(all, pos, view)) {
    bool has_end = all[pos - 1] == '\n' || all[pos - 1] == '\r';
    bool continued = has_end && !view.empty() && view.back() == '\\';
    lines.text.emplace_back(view);
    lines.continued.push_back(continued);
    lines.continuation.push_back(previous_continued);
    previous_continued = continued;
  }
  return true;
}

// The line from `from` on, without the backslash of a continued line.
std::string_view line_part(const std::string& line, bool continued, size_t from = 0) {
  std::string_view v = line;
  if (continued) v.remove_suffix(1);
  return from < v.size() ? v.substr(from) : std::string_view();
}

// The fields of a record behind "L:K:", split at every ':'.
std::vector<std::string_view> record_fields(std::string_view record) {
  std::vector<std::string_view> f;
  if (record.size() < 4) return f;
  std::string_view rest = record.substr(4);
  for (;;) {
    size_t colon = rest.find(':');
    f.push_back(rest.substr(0, colon));
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return f;
}

std::string_view field(const std::vector<std::string_view>& f, size_t i) {
  return i < f.size() ? f[i] : std::string_view();
}

// A number field: an optional '-', then digits of the radix; an empty field
// reads as 0, a bad one as 0 and false.
bool read_number(std::string_view text, int radix, uint32_t& value) {
  value = 0;
  std::string s(text);
  if (radix == 16 && (s.starts_with("0x") || s.starts_with("0X"))) return false;
  return parse_number(s.c_str(), value, radix) == 0;
}

// Structures: each continued type record joined with its continuation
// lines; a structure that names one defined later is parsed again, at most
// five times in all.
void structure_passes(const LoadLines& lines, TypeTable& types, SldHost& host) {
  size_t n = lines.text.size();
  for (int round = 0; round < 5; ++round) {
    int refused = 0;
    for (size_t i = 0; i < n; ++i) {
      if (!lines.is_record(i) || lines.kind(i) != 'T' || !lines.continued[i]) continue;
      std::string text(line_part(lines.text[i], true, 7));
      size_t j = i;
      while (lines.continued[j]) {
        if (++j >= n) {
          host.out_print("Warning: Incomplete struct type description\n");
          return;
        }
        text += line_part(lines.text[j], lines.continued[j]);
      }
      refused += types.type_parse(text, true);
      i = j;
    }
    if (refused == 0) return;
  }
}

}  // namespace

void Sld::decline_debugging(std::string_view question) {
  if (host_.ask_yes_no(question)) {
    exec_module_ = nullptr;
    entry_module_ = nullptr;
    shown_module_ = nullptr;
    entry_ = nullptr;
    host_.post_command(kMachineLevelCommand);
  }
}

int Sld::sld_read_debug_info(const std::string& load_file) {
  sld_modules_free();
  sld_reset_display();
  entry_symbol_.clear();
  entry_ = nullptr;
  LoadLines lines;
  if (!read_load_lines(load_file, lines)) {
    host_.out_print(format("Can't open file '%s'\n", load_file.c_str()));
    return -1;
  }
  host_.out_print("Reading debug info\n");
  size_t n = lines.text.size();
  auto pass = [&](auto wanted) {
    for (size_t i = 0; i < n; ++i)
      if (lines.is_record(i) && wanted(i)) sld_parse_record(line_part(lines.text[i], false, 3));
  };

  // Modules and the entry symbol. A malformed module record does not hide
  // the good ones before it.
  pass([&](size_t i) { return lines.kind(i) == 'M' || lines.kind(i) == 's'; });
  if (modules_.empty()) {
    host_.out_print("No debug info found\n");
    decline_debugging("Module has no symbolic information, debug anyway?");
    return -1;
  }

  // Types: built-ins, bit fields, pointers and arrays first, then the
  // structures, then what waited for a structure.
  auto plain_types = [&] {
    pass([&](size_t i) { return lines.kind(i) == 'T' && !lines.continued[i]; });
  };
  plain_types();
  structure_passes(lines, types_, host_);
  plain_types();
  types_.type_link_incomplete();
  if (types_.type_error_count() > 0) {
    host_.out_print("Fatal: Type errors in debug info\n");
    sld_modules_free();
    sld_reset_display();
    return -1;
  }

  pass([&](size_t i) { char k = lines.kind(i); return k == 'X' || k == 'F' || k == 'E'; });
  // Locals find their function by its C name, which the class 'F' records give.
  pass([&](size_t i) {
    return lines.kind(i) == 'S' && (lines.symbol_class(i) == 'F' || lines.symbol_class(i) == 'f');
  });
  pass([&](size_t i) {
    return lines.kind(i) == 'S' && lines.symbol_class(i) != 'F' && lines.symbol_class(i) != 'f';
  });
  pass([&](size_t i) { return lines.kind(i) == 'Z'; });

  drop_codeless_points();
  read_sources();
  link_functions_to_points();
  const ExecPoint* entry = entry_search();
  if (!entry) {
    decline_debugging("No entry symbol found, debug with Visual Simulator?");
    return -1;
  }
  entry_module_ = exec_module_;
  shown_module_ = exec_module_;
  sld_show_file(entry_module_);
  entry_ = entry;
  sld_set_exec_point(entry);
  return 1;
}

int Sld::sld_parse_record(std::string_view record) {
  if (record.size() < 4 || record[1] != ':' || record[3] != ':') return 0;
  char language = record[0];
  char kind = record[2];
  std::string_view rest = record.substr(4);
  switch (kind) {
    case 'M': {
      size_t dollar = rest.find('$');
      if (dollar == 0 || dollar == std::string_view::npos || dollar + 1 >= rest.size()) return 0;
      return sld_module_add(std::string(rest.substr(0, dollar)),
                            std::string(rest.substr(dollar + 1)), language);
    }
    case 's':
      if (rest.empty()) return 0;
      entry_symbol_ = std::string(rest);
      return 1;
    case 'T':  // a whole record: never a structure, whose lines are continued
      types_.type_parse(rest, false);
      return 1;
    case 'F': case 'E': case 'X': case 'Z':
      return parse_function_record(kind, language, record_fields(record));
    case 'S':
      return language == 'C' ? parse_symbol_record(record_fields(record)) : 0;
    default:
      return 0;
  }
}

// 'F'/'E' module:name:address:line, 'X' module:line[:number2]:address,
// 'Z' module:line:number2:address.
int Sld::parse_function_record(char kind, char language, const std::vector<std::string_view>& f) {
  bool is_c = language == 'C';
  if (language != 'C' && language != 'A' && kind != 'Z') return 0;
  uint32_t line = 0, number2 = 0, address = 0;
  bool good_line = true, good_address = true;
  if (kind == 'F' || kind == 'E') {
    good_address = read_number(field(f, 2), 16, address);
    good_line = read_number(field(f, 3), 10, line);
  } else {
    bool two_numbers = is_c || kind == 'Z';
    good_line = read_number(field(f, 1), 10, line);
    if (two_numbers) good_line = read_number(field(f, 2), 10, number2) && good_line;
    good_address = read_number(field(f, two_numbers ? 3 : 2), 16, address);
  }
  if (!good_address) host_.out_print("Warning: Bad address in symdebug info\n");
  if (!good_line) host_.out_print("Warning: Bad linenumber in symdebug info\n");
  std::string_view module = field(f, 0);
  switch (kind) {
    case 'F': case 'E':
      sld_function_bound(module, field(f, 1), address, line, kind == 'F');
      break;
    case 'Z':
      sld_exit_point(module, line, number2, address);
      sld_point_add(module, line, number2, address);
      break;
    default:
      sld_point_add(module, line, number2, address);
      break;
  }
  return 1;
}

// Class 'L' module:function:name:offset:type[:block], 'F' module:c_name:name,
// 'G' module:name:label:address:type, 'S' module:name:address:type[:function].
int Sld::parse_symbol_record(const std::vector<std::string_view>& f) {
  char symbol_class = field(f, 0).empty() ? 0 : field(f, 0)[0];
  std::string_view module = field(f, 1);
  uint32_t number = 0;
  switch (symbol_class) {
    case 'L':
      read_number(field(f, 4), 10, number);
      sld_local_add(module, field(f, 2), field(f, 3), static_cast<int32_t>(number), field(f, 5),
                    field(f, 6));
      return 1;
    case 'F': {
      DebugModule* m = sld_module_find(module);
      if (!m) return 1;
      for (DebugFunction& fn : m->functions) {
        if (fn.name == field(f, 3)) {
          fn.c_name = std::string(field(f, 2));
          break;
        }
      }
      return 1;
    }
    case 'G':
      read_number(field(f, 4), 16, number);
      sld_global_add(module, field(f, 2), number, field(f, 5), true);
      return 1;
    case 'S':
      read_number(field(f, 3), 16, number);
      sld_global_add(module, field(f, 2), number, field(f, 4), false, field(f, 5));
      return 1;
    default:
      return 0;
  }
}

}  // namespace zun::sld
