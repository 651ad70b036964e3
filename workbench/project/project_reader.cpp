// Reading the project file: the settings keys, the lists and the serial
// terminal's "#+" pairs; the make engine's macros, rules and commands are
// passed over. A key counts only at the start of its line. Damage a hand
// edit leaves in a list is read past where its meaning is clear (blank
// and comment lines, stray "#+" lines, blanks after a list header, an item
// behind the end of the file list, file entries under a damaged header);
// where it is not (also a file that ends inside a configuration section),
// the entry is kept as far as it can be read and the line goes to
// Project::read_problems.
#include <charconv>
#include <cstring>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "common/text.h"
#include "workbench/core/workbench_core.h"
#include "workbench/project/project_file.h"

namespace zun::wb {

namespace {

enum class Key {
  TypeE, TypeO, TypeL, UseStartup1, UseStartup0, ExtMakefile, ExtMakefileParam, SimSet, Crt0, OType1, OType0,
  ObjDir, TargDir, StdInc1, StdInc0, StdLib1, StdLib0, AsFlags, CcFlags, LnFlags, TargetName, OpenFile, MadeIn
};

struct KeyRow {
  const char* text;
  Key key;
  bool whole_line;  // nothing but blanks may follow
};

// Looked for at the start of a line, in this order.
constexpr KeyRow key_table[] = {
    {"##TYPE E", Key::TypeE, true},
    {"##TYPE O", Key::TypeO, true},
    {"##TYPE L", Key::TypeL, true},
    {"##USESTARTUP=1", Key::UseStartup1, false},
    {"##USESTARTUP=0", Key::UseStartup0, false},
    {"##EXTMAKEFILE=", Key::ExtMakefile, false},
    {"##EXTMAKEFILEPARAM=", Key::ExtMakefileParam, false},
    {"##CSIMSET=", Key::SimSet, false},
    {"##CRT0=", Key::Crt0, false},
    {"##OTYPE=1", Key::OType1, false},
    {"##OTYPE=0", Key::OType0, false},
    {"##OBJDIR=", Key::ObjDir, false},
    {"##TARGDIR=", Key::TargDir, false},
    {"##STDINCPATH=1", Key::StdInc1, false},
    {"##STDINCPATH=0", Key::StdInc0, false},
    {"##STDLIBPATH=1", Key::StdLib1, false},
    {"##STDLIBPATH=0", Key::StdLib0, false},
    {"ASFLAGS=", Key::AsFlags, false},
    {"CCFLAGS=", Key::CcFlags, false},
    {"LNFLAGS=", Key::LnFlags, false},
    {"##TARGETNAME=", Key::TargetName, false},
    {"##OF", Key::OpenFile, false},
    {"##MADEIN=", Key::MadeIn, false},
};

bool space_or_tab(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_end(std::string_view text) {
  while (!text.empty() && space_or_tab(text.back())) text.remove_suffix(1);
  return text;
}

bool is_blank_line(std::string_view line) { return trim_end(line).empty(); }

// The row of the key the line starts with, or null.
const KeyRow* key_of(std::string_view line) {
  for (const KeyRow& row : key_table) {
    std::string_view text = row.text;
    if (line.substr(0, text.size()) != text) continue;
    if (row.whole_line && !trim_end(line.substr(text.size())).empty()) continue;
    return &row;
  }
  return nullptr;
}

enum class ListHead { None, Files, Defines, AsmDefines, Undefines, Includes, Libraries, LibraryPaths };

// "FILES= \" and the like; blanks around the '=' and the backslash do not
// matter, nor a lost backslash (a header of an empty list has none; the
// items of a list follow their header at once, indented). The older "...REL"
// forms are read as the plain ones.
ListHead list_head(std::string_view line) {
  struct Row {
    std::string_view name;
    ListHead head;
  };
  static constexpr Row rows[] = {
      {"FILES", ListHead::Files},           {"DEFINES", ListHead::Defines},
      {"ASMDEFINES", ListHead::AsmDefines}, {"UNDEFINES", ListHead::Undefines},
      {"INCLUDES", ListHead::Includes},     {"LIBRARIES", ListHead::Libraries},
      {"LIBRARYPATHS", ListHead::LibraryPaths},
  };
  line = trim_end(line);
  if (!line.empty() && line.back() == '\\') line = trim_end(line.substr(0, line.size() - 1));
  if (line.empty() || line.back() != '=') return ListHead::None;
  line = trim_end(line.substr(0, line.size() - 1));
  for (const Row& r : rows) {
    if (line == r.name) return r.head;
    if (r.head != ListHead::Files && line.size() == r.name.size() + 3 && line.substr(0, r.name.size()) == r.name &&
        line.substr(r.name.size()) == "REL")
      return r.head;
  }
  return ListHead::None;
}

ListKind list_kind(ListHead head) {
  switch (head) {
    case ListHead::Defines: return Defines;
    case ListHead::AsmDefines: return AsmDefines;
    case ListHead::Undefines: return Undefines;
    case ListHead::Includes: return Includes;
    case ListHead::Libraries: return Libraries;
    default: return LibraryPaths;
  }
}

// An item line without the backslash that continues the list.
std::string item_body(std::string_view line) {
  if (!line.empty() && line.back() == '\\') line.remove_suffix(1);
  return std::string(line);
}

// Reads the lines of one project file into the project.
class Reader {
 public:
  Reader(Project& project, ProjectHost& host, const ProjectFileHooks& hooks)
      : p_(project), host_(host), hooks_(hooks) {}

  void read(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    for (std::string_view line; next_line(text, pos, line);) lines.push_back(line);
    for (size_t i = 0; i < lines.size(); ++i) {
      line_no_ = static_cast<int>(i) + 1;
      std::string_view line = lines[i];
      if (line.substr(0, 2) == "#+") {
        // A key line takes the value line after it; a key whose value line
        // is missing is dropped, and the line after it is read as usual.
        if (i + 1 < lines.size() && lines[i + 1].substr(0, 2) == "#+") {
          terminal_pair(line, lines[i + 1]);
          ++i;
        }
        continue;
      }
      read_line(line);
    }
    finish();
  }

 private:
  void read_line(std::string_view line) {
    // Blank and comment lines leave a list open, as they do for make.
    if (is_blank_line(line)) return;
    if (line[0] == '#') {
      if (const KeyRow* row = key_of(line)) apply(row->key, std::string(line), std::strlen(row->text));
      return;
    }
    if (space_or_tab(line[0])) {
      // Before the configuration sections the file list is the only list,
      // so a file entry is one even when the list's header was damaged.
      if (list_ == ListHead::None && !in_configs_ && line[line.find_first_not_of(" \t")] == '"')
        list_ = ListHead::Files;
      if (takes_item(line)) {
        list_item(std::string(line));
        continued_ = trim_end(line).back() == '\\';
      }
      return;
    }
    list_ = list_head(line);
    continued_ = true;
    if (list_ != ListHead::None) return;
    if (line[0] == '!') {
      directive(std::string(line));
    } else if (const KeyRow* row = key_of(line)) {
      apply(row->key, std::string(line), std::strlen(row->text));
    }
  }

  // An indented line is an item of the open list when the line before it
  // continued the list; a file entry right behind the end of the file list
  // (its backslash lost) is taken as well. Other indented lines are the
  // make engine's.
  bool takes_item(std::string_view line) const {
    if (list_ == ListHead::None) return false;
    if (continued_) return true;
    size_t first = line.find_first_not_of(" \t");
    return list_ == ListHead::Files && line[first] == '"';
  }

  void directive(const std::string& line) {
    std::string word;
    if (line.compare(0, 7, "!IFCONF") == 0) {
      in_configs_ = true;
      read_word(word, skip_blanks(line.c_str() + 7));
      current_ = word == "Final" ? &p_.final_ : &p_.debug;
      open_section_ = word;
    } else if (line.compare(0, 7, "!EICONF") == 0) {
      current_ = &p_.debug;
      open_section_.clear();
    }
  }

  void terminal_pair(std::string_view key_line, std::string_view value_line) {
    if (hooks_.read_terminal_setting) {
      hooks_.read_terminal_setting(key_line.substr(2), value_line);
      return;
    }
    p_.terminal_lines.emplace_back(key_line);
    p_.terminal_lines.emplace_back(value_line);
  }

  void problem(const std::string& text) { p_.read_problems.push_back({line_no_, text}); }

  static std::string quoted_after(const std::string& line, size_t at) {
    std::string value;
    if (at <= line.size()) read_quoted_value(line.c_str() + at, value);
    return value;
  }

  void apply(Key key, const std::string& line, size_t after) {
    ProjectConfig& c = *current_;
    switch (key) {
      case Key::TypeE: c.type = project_type::executable; break;
      case Key::TypeO: c.type = project_type::relocatable; break;
      case Key::TypeL: c.type = project_type::library; break;
      case Key::UseStartup1:
      case Key::UseStartup0:
        c.use_startup = key == Key::UseStartup1;
        use_startup_seen_ = true;
        break;
      case Key::ExtMakefile: p_.set_ext_makefile(quoted_after(line, after), ""); break;
      case Key::ExtMakefileParam: p_.set_ext_makefile("", quoted_after(line, after)); break;
      case Key::SimSet: p_.set_sim_config_relative(quoted_after(line, after)); break;
      case Key::Crt0: c.crt0 = quoted_after(line, after); break;
      case Key::OType1: c.output_type = 6; break;
      case Key::OType0: c.output_type = 7; break;
      case Key::ObjDir: c.obj_dir = quoted_after(line, after); break;
      case Key::TargDir: c.targ_dir = quoted_after(line, after); break;
      case Key::StdInc1: c.std_include = true; break;
      case Key::StdInc0: c.std_include = false; break;
      case Key::StdLib1: c.std_library = true; break;
      case Key::StdLib0: c.std_library = false; break;
      case Key::AsFlags: c.asflags = option_text(line.substr(after)); break;
      case Key::CcFlags: c.ccflags = option_text(line.substr(after)); break;
      case Key::LnFlags: c.lnflags = option_text(line.substr(after)); break;
      case Key::TargetName: c.target_name = quoted_after(line, after); break;
      case Key::MadeIn: p_.made_in = quoted_after(line, after); break;
      case Key::OpenFile: {
        std::string path = quoted_after(line, after);
        if (!path.empty()) p_.open_files.push_back(path_is_relative(path) ? path_join(p_.dir(), path) : path);
        break;
      }
    }
  }

  void list_item(const std::string& line) {
    const std::string body = item_body(line);
    switch (list_) {
      case ListHead::Files: file_entry(body); break;
      case ListHead::Defines:
      case ListHead::AsmDefines:
      case ListHead::Undefines:
        // Every word is an item: "VER=1.2" and "X=-1" stay whole.
        for (const char* p = skip_blanks(body.c_str()); *p; p = skip_blanks(p)) {
          std::string item;
          while (*p && !is_blank(*p)) item += *p++;
          if (list_ == ListHead::Undefines) copy_ident(item, std::string(item).c_str());
          current_->add_item(list_kind(list_), item);
        }
        break;
      case ListHead::Includes:
      case ListHead::LibraryPaths:
      case ListHead::Libraries: {
        std::string value;
        if (!read_quoted_value(body.c_str(), value)) read_word(value, skip_blanks(body.c_str()));
        if (value.empty()) break;
        if (list_ != ListHead::Libraries && value[0] != '.') value = path_canonicalize(value);
        current_->add_item(list_kind(list_), value);
        break;
      }
      case ListHead::None: break;
    }
  }

  // "path" "options" "flags": a relative path is the project directory's.
  void file_entry(const std::string& body) {
    std::string path, options, flags_text;
    const char* p = read_quoted_value(body.c_str(), path);
    if (!p || path.empty()) {
      problem(format("the file list holds a line that names no file: '%s'", trim_text(body).c_str()));
      return;
    }
    const char* q = read_quoted_value(p, options);
    q = q ? read_quoted_value(q, flags_text) : nullptr;
    int flags = 1;
    if (!q) {
      problem(format("the entry of '%s' lacks its options or its flags", path.c_str()));
    } else if (!parse_flags(flags_text, flags)) {
      problem(format("the entry of '%s' has flags '%s' that are no number", path.c_str(), flags_text.c_str()));
      flags = 1;
    }
    if (p_.is_installation_startup(path) && !p_.startup_path().empty()) {
      // Another installation's startup file is this one's, kept in place.
      path = p_.startup_path();
      if (p_.find_by_path(path)) return;
    }
    p_.add_file(path, options, flags, host_);
  }

  static bool parse_flags(const std::string& text, int& flags) {
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, flags);
    return ec == std::errc() && at == end;
  }

  static std::string trim_text(const std::string& text) {
    const char* p = skip_blanks(text.c_str());
    return std::string(trim_end(p));
  }

  void finish() {
    // A file cut short has lost settings that cannot be told; make refuses
    // it as well.
    if (!open_section_.empty()) problem(format("the file ends inside its '%s' section", open_section_.c_str()));
    if (!use_startup_seen_) p_.debug.use_startup = !p_.debug.crt0.empty();
    p_.final_.type = p_.debug.type;
    p_.final_.use_startup = p_.debug.use_startup;
    p_.final_.output_type = p_.debug.output_type;
    p_.debug.id = config_id::debug;
    p_.debug.name = "Debug";
    p_.final_.id = config_id::final_;
    p_.final_.name = "Final";
    for (ProjectConfig* c : {&p_.debug, &p_.final_})
      if (c->targ_dir.empty()) c->targ_dir = c->obj_dir;
    p_.bring_startup_in_line(p_.debug.use_startup, host_);
    p_.set_active_config(p_.active_config());
  }

  Project& p_;
  ProjectHost& host_;
  const ProjectFileHooks& hooks_;
  ProjectConfig* current_ = &p_.debug;
  bool use_startup_seen_ = false;
  ListHead list_ = ListHead::None;  // the list whose items may follow
  bool continued_ = false;          // the last line of that list ended in a backslash
  bool in_configs_ = false;         // a configuration section has begun
  std::string open_section_;        // the configuration section not closed yet
  int line_no_ = 0;
};

// What a read starts from: lists, files and most settings empty; the type,
// the output type and the standard-path flags stay.
void clear_for_reading(Project& p) {
  p.files.clear();
  p.made_in.clear();
  p.open_files.clear();
  p.terminal_lines.clear();
  p.read_problems.clear();
  p.set_sim_config("");
  p.set_ext_makefile("", "");
  for (ProjectConfig* c : {&p.debug, &p.final_}) {
    for (auto& l : c->lists) l.clear();
    c->target_name.clear();
    c->obj_dir.clear();
    c->targ_dir.clear();
    c->asflags.clear();
    c->ccflags.clear();
    c->lnflags.clear();
    c->crt0.clear();
    c->use_startup = false;
  }
}

}  // namespace

std::string option_text(std::string_view stored) {
  std::string_view kept = trim_end(stored);
  if (!kept.empty() && kept.back() == '\\' && !stored.empty() && stored.back() == ' ') stored.remove_suffix(1);
  return std::string(stored);
}

const char* read_quoted_value(const char* text, std::string& value) {
  value.clear();
  const char* p = std::strchr(text, '"');
  if (!p) return nullptr;
  for (++p; *p; ++p) {
    if (*p != '"') {
      value += *p;
    } else if (p[1] == '"') {
      value += '"';
      ++p;
    } else {
      return p + 1;
    }
  }
  return p;
}

bool read_project_file(Project& p, ProjectHost& host, const ProjectFileHooks& hooks) {
  clear_for_reading(p);
  if (hooks.terminal_reset) hooks.terminal_reset();
  p.file_stamp = file_stamp_of(p.path());
  std::optional<std::string> text = read_file_bytes(path_native(p.path()));
  if (!text) return false;
  Reader(p, host, hooks).read(*text);
  return true;
}

}  // namespace zun::wb
