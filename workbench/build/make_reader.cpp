// Reading makefiles: logical lines, configuration blocks, directives, macro
// definitions, explicit and inference rules, and macro expansion. The result
// is the run's target table, macro table, inference rules and suffix list.
#include <algorithm>
#include <fstream>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "common/text.h"
#include "workbench/build/make_internal.h"

namespace zun::wb::mk {

namespace {

bool space_or_tab(char c) { return c == ' ' || c == '\t'; }

size_t skip_space_tab(std::string_view text, size_t i) {
  while (i < text.size() && space_or_tab(text[i])) ++i;
  return i;
}

// Blank lines and comment lines are skipped everywhere, also between the
// parts of a continued line.
bool skipped_line(const std::string& line) {
  size_t i = 0;
  while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
  return i == line.size() || line[i] == '#';
}

// The physical lines of a makefile that are not skipped.
struct LineSource {
  std::ifstream in;
  size_t kept = 0;
  bool next(std::string& line) {
    while (read_line(in, line))
      if (!skipped_line(line)) {
        ++kept;
        return true;
      }
    return false;
  }
};

// The first ':' that is not inside double quotes.
size_t rule_colon(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

const std::string* find_macro(const Make& mk, std::string_view name) {
  auto it = mk.macros.find(name_key(name));
  return it == mk.macros.end() ? nullptr : &it->second;
}

void define_macro(Make& mk, std::string_view name, std::string_view value) {
  if (!mk.charge(name.size() + 1) || !mk.charge(value.size() + 1)) return;
  mk.macros[name_key(name)] = std::string(value);
}

// "$*": the name up to the first '.' behind its last directory separator.
std::string stem_of(const Make& mk, const std::string& name) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == mk.switch_char || is_path_sep(name[i])) start = i + 1;
  size_t dot = name.find('.', start);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// "$($(X))" looks up the macro that the value of X names; names made of names
// deeper than this are refused, so that a hostile line cannot use up the stack.
constexpr int max_name_nesting = 64;

struct Expansion {
  Make& mk;
  const std::string* target;
  bool report;
  std::string_view whole;  // for the message about a missing bracket
  bool overflow = false;
  int nesting = 0;

  void append(std::string& out, std::string_view text) {
    if (overflow) return;
    if (out.size() + text.size() > max_line) {
      out.append(text.substr(0, max_line - out.size()));
      overflow = true;
      return;
    }
    out.append(text);
  }

  void macro(std::string& out, std::string_view name) {
    const std::string* value = find_macro(mk, name);
    std::string expanded;
    if (!value) {
      if (nesting == max_name_nesting) {
        mk.fatal("Macro nesting too deep -- " + std::string(name));
        return;
      }
      ++nesting;
      run(expanded, name);
      --nesting;
      value = find_macro(mk, expanded);
    }
    if (value) {
      append(out, *value);
    } else if (report) {
      mk.error(mk.macros.empty() ? "No macros defined -- " + expanded : "Can't expand macro -- " + expanded);
    }
  }

  void run(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size() && !overflow && !mk.abort; ++i) {
      char c = text[i];
      if (c != '$' || i + 1 == text.size()) {
        append(out, std::string_view(&text[i], 1));
        continue;
      }
      char d = text[++i];
      if (d == '(' || d == '{') {
        char close = d == '(' ? ')' : '}';
        size_t j = i + 1;
        for (int depth = 1; j < text.size(); ++j) {
          if (text[j] == d) ++depth;
          if (text[j] == close && --depth == 0) break;
        }
        if (j >= text.size()) {
          mk.fatal("No closing brace/paren for " + std::string(whole));
          return;
        }
        macro(out, text.substr(i + 1, j - i - 1));
        i = j;
      } else if (d == '*' || d == '@') {
        if (target) append(out, d == '@' ? *target : stem_of(mk, *target));
      } else {
        append(out, text.substr(i - 1, 2));  // for the command-time step
      }
    }
  }
};

void directive(Make& mk, std::string name, const std::string& arg) {
  std::erase_if(name, space_or_tab);
  if (equal_nocase(name, "EICONF")) {
    mk.skipping = false;
  } else if (equal_nocase(name, "IFCONF")) {
    // Without a configuration every block is kept.
    if (mk.config_selected && !equal_nocase(arg, mk.config)) mk.skipping = true;
  } else if (equal_nocase(name, "SUFFIXES")) {
    if (arg.empty()) mk.suffixes.clear();
    for (const std::string& word : split_words(arg)) add_suffix(mk, word);
  } else if (equal_nocase(name, "IGNORE")) {
    mk.stop_on_error = false;
  } else if (equal_nocase(name, "SWITCH")) {
    if (!arg.empty()) mk.switch_char = arg[0];
  } else if (equal_nocase(name, "LINECONT")) {
    if (!arg.empty()) mk.line_cont = arg[0];
  } else if (equal_nocase(name, "SILENT")) {
    mk.silent = true;
  } else {
    mk.error("unknown directive (rule?) '" + name + "'");
  }
}

// A target of a closed explicit rule joins the table.
void hand_over(Make& mk, const std::string& name, std::vector<std::string> deps,
               std::vector<std::string> commands) {
  if (mk.first_target_pending) {
    mk.goals.push_back(name);
    mk.first_target_pending = false;
  }
  for (const std::string& s : deps) mk.charge(s.size() + 1);
  for (const std::string& s : commands) mk.charge(s.size() + 1);
  Target* t = find_target(mk, name);
  if (!t) {
    if (!mk.charge(name.size() + 1 + sizeof(Target))) return;
    mk.target_index.emplace(name_key(name), mk.targets.size());
    t = &mk.targets.emplace_back();
    t->name = name;
    t->time = mk.files.file_time(name);
  }
  t->deps.insert(t->deps.end(), std::make_move_iterator(deps.begin()), std::make_move_iterator(deps.end()));
  t->commands.insert(t->commands.end(), std::make_move_iterator(commands.begin()),
                     std::make_move_iterator(commands.end()));
}

void close_explicit(Make& mk, const OpenRule& rule) {
  for (const std::string& name : rule.targets) {
    std::vector<std::string> commands, deps;
    for (const std::string& c : rule.commands) {
      std::string x = expand(mk, c, &name, true);
      x.erase(0, skip_space_tab(x, 0));
      commands.push_back(std::move(x));
    }
    for (const std::string& d : rule.deps) {
      std::string x = expand(mk, d, &name, true);
      if (x.empty()) continue;
      if (x[0] != '"') {
        deps.push_back(std::move(x));  // one dependency, blanks and all
      } else {
        for (std::string& w : split_words(x)) deps.push_back(std::move(w));
      }
    }
    hand_over(mk, name, std::move(deps), std::move(commands));
  }
}

// False for a rule name without a second '.': the makefile is given up.
bool close_inference(Make& mk, const OpenRule& rule) {
  size_t dot = rule.name.find('.', 1);
  if (dot == std::string::npos) {
    mk.error("Bad rule '" + rule.name + "'");
    return false;
  }
  std::string from = rule.name.substr(0, dot);
  size_t end = dot + 1;
  while (end < rule.name.size() && !space_or_tab(rule.name[end])) ++end;
  std::string to = "." + rule.name.substr(dot + 1, end - dot - 1);
  for (const std::string& c : rule.commands) mk.charge(c.size() + 1);
  auto same = [&](const InferenceRule& r) { return equal_nocase(r.from, from) && equal_nocase(r.to, to); };
  auto it = std::find_if(mk.rules.begin(), mk.rules.end(), same);
  if (it != mk.rules.end()) {
    it->commands = rule.commands;
  } else {
    mk.rules.push_back({from, to, rule.commands, false});
  }
  for (const std::string& s : {to, from}) {
    auto known = [&](const std::string& x) { return equal_nocase(x, s); };
    if (std::none_of(mk.suffixes.begin(), mk.suffixes.end(), known)) mk.suffixes.push_back(s);
  }
  return true;
}

bool close_rule(Make& mk, OpenRule& rule) {
  bool ok = true;
  if (rule.open && rule.inference) {
    ok = close_inference(mk, rule);
  } else if (rule.open) {
    close_explicit(mk, rule);
  }
  rule = OpenRule{};
  return ok;
}

// ".from.to:" with nothing behind the ':' but blanks, a comment or "; command".
bool open_inference(Make& mk, const std::string& line, size_t colon, OpenRule& rule) {
  if (!close_rule(mk, rule)) return false;
  rule.open = true;
  rule.inference = true;
  rule.name = line.substr(0, colon);
  size_t i = skip_space_tab(line, colon + 1);
  if (i < line.size() && line[i] == ';') {
    rule.commands.push_back(line.substr(i + 1));
  } else if (i < line.size() && line[i] != '#') {
    mk.error("rule needs ';<rule>' or <newline> after ':'");
  }
  return true;
}

bool open_explicit(Make& mk, const std::string& line, size_t colon, OpenRule& rule) {
  if (!close_rule(mk, rule)) return false;
  rule.open = true;
  rule.targets = split_words(expand(mk, std::string_view(line).substr(0, colon), nullptr, false));
  rule.deps = split_words(std::string_view(line).substr(colon + 1));
  return true;
}

// One logical line; false when the makefile is to be given up.
bool take_line(Make& mk, const std::string& line, OpenRule& rule) {
  if (line[0] == '!') {
    size_t end = 1;
    while (end < line.size() && !space_or_tab(line[end])) ++end;
    directive(mk, line.substr(1, end - 1), line.substr(skip_space_tab(line, end)));
    return true;
  }
  if (mk.skipping) return true;
  if (line[0] == '.') {
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
      mk.error("bad rule or directive, needs colon separator:\n" + line);
      return true;
    }
    if (line.find('.', 1) < colon) return open_inference(mk, line, colon, rule);
    directive(mk, line.substr(1, colon - 1), line.substr(skip_space_tab(line, colon + 1)));
    return true;
  }
  // A name in double quotes is a rule's target, whatever it holds ('=' too).
  size_t word_end = line[0] == '"' ? 0 : line.find_first_of(":= \t");
  if (word_end == std::string::npos) word_end = line.size();
  if (word_end > 0) {
    size_t after = skip_space_tab(line, word_end);
    if (after < line.size() && line[after] == '=') {
      define_macro(mk, std::string_view(line).substr(0, word_end),
                   std::string_view(line).substr(skip_space_tab(line, after + 1)));
      return true;
    }
    if (after == line.size() && after > word_end) {
      mk.fatal("\nbad macro or definition '" + line + "'");
      return true;
    }
  }
  if (space_or_tab(line[0])) {
    if (rule.open) {
      rule.commands.push_back(line);
    } else {
      mk.error("how-to line without preceeding definition or rule\n" + line);
    }
    return true;
  }
  size_t colon = rule_colon(line);
  if (colon != std::string::npos) return open_explicit(mk, line, colon, rule);
  mk.fatal("unable to parse line '" + line + "'");
  return true;
}

}  // namespace

void add_suffix(Make& mk, const std::string& suffix) {
  if (suffix.empty() || suffix[0] != '.') mk.error("add_suffix: bad syntax '" + suffix + "'");
  if (mk.charge(suffix.size() + 1)) mk.suffixes.push_back(suffix);
}

std::vector<std::string> split_words(std::string_view text) {
  std::vector<std::string> words;
  size_t i = 0;
  for (;;) {
    i = skip_space_tab(text, i);
    if (i == text.size()) break;
    bool quoted = text[i] == '"';
    if (quoted) ++i;
    std::string word;
    while (i < text.size()) {
      char c = text[i];
      if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
        word += '"';
        i += 2;
        continue;
      }
      if (quoted ? c == '"' : space_or_tab(c)) break;
      word += c;
      ++i;
    }
    if (quoted && i < text.size()) ++i;  // the closing quote
    if (word.empty()) break;
    words.push_back(std::move(word));
  }
  return words;
}

std::string expand(Make& mk, std::string_view text, const std::string* target, bool report) {
  Expansion x{mk, target, report, text};
  std::string out;
  x.run(out, text);
  if (x.overflow) mk.fatal("line too long\n'" + out + "'");
  return out;
}

bool read_makefile(Make& mk, const std::string& name) {
  LineSource src;
  src.in.open(path_native(name), std::ios::binary);
  if (!src.in) {
    mk.error(format("couldn't open %s", name.c_str()));
    return false;
  }
  OpenRule rule;
  std::string line, more;
  while (!mk.arena_full && src.next(line)) {
    while (!line.empty() && line.back() == mk.line_cont) {
      line.pop_back();
      if (!src.next(more)) {
        mk.error("end of file before end of line");
        break;
      }
      line += more;
    }
    if (line.size() > max_line) {
      line.resize(max_line);
      mk.fatal("line too long\n'" + line + "'");
    }
    if (!line.empty() && !take_line(mk, line, rule)) return false;
  }
  if (!close_rule(mk, rule)) return false;
  if (src.kept == 0) {
    mk.error("There is no files in this project");
    return false;
  }
  if (mk.skipping) {
    mk.error("EOF within active config");
    mk.skipping = false;
  }
  return true;
}

}  // namespace zun::wb::mk
