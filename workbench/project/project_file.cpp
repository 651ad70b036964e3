// Writing and reading the project file, and the dependency scanner.
#include "workbench/project/project_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "common/text.h"
#include "workbench/core/workbench_core.h"
#include "workbench/project/workspace.h"

namespace zun::wb {

namespace {

constexpr const char* rule_line = "#-----------------------------------------------\n";

bool readable(const std::string& path) {
  std::FILE* f = std::fopen(path_native(path).c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

// ---- dependency scanning ----

// Strips a pair of double quotes.
std::string unquoted(std::string name) {
  if (!name.empty() && name[0] == '"') {
    name.erase(0, 1);
    if (size_t q = name.find('"'); q != std::string::npos) name.resize(q);
  }
  return name;
}

// An assembler "use" line: the word after leading blanks, then the name.
std::optional<std::string> use_name(const std::string& line) {
  if (line.empty() || line[0] == '*') return std::nullopt;
  const char* p = skip_blanks(line.c_str());
  if (!word_eq_nocase(p, "use") || p[3] == '\0') return std::nullopt;
  p = skip_blanks(p + 3);
  std::string name;
  while (*p && !is_blank(*p)) name += *p++;
  if (name.empty()) return std::nullopt;
  return unquoted(name);
}

// C lines as the preprocessor sees them: comments removed ("/*" up to the
// next "*/", possibly lines later; "//" to the end of the line), string and
// character literals kept whole so that comment marks inside them count for
// nothing.
class IncludeReader {
 public:
  std::optional<std::string> include_name(const std::string& line) {
    std::string text = visible_text(line);
    const char* p = skip_blanks(text.c_str());
    if (*p != '#') return std::nullopt;
    p = skip_blanks(p + 1);
    if (std::strncmp(p, "include", 7) != 0) return std::nullopt;
    p += 7;
    while (*p && *p != '"' && *p != '<') ++p;
    if (!*p) return std::nullopt;
    char close = *p == '"' ? '"' : '>';
    std::string name;
    for (++p; *p && *p != close; ++p) name += *p;
    if (name.empty()) return std::nullopt;
    return name;
  }

 private:
  std::string visible_text(const std::string& line) {
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
      if (in_comment_) {
        size_t end = line.find("*/", i);
        if (end == std::string::npos) return out;
        in_comment_ = false;
        i = end + 2;
        out += ' ';
        continue;
      }
      char c = line[i];
      if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') return out;
      if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
        in_comment_ = true;
        i += 2;
        continue;
      }
      out += c;
      ++i;
      if (c != '"' && c != '\'') continue;
      // A literal runs to its closing quote or the end of the line.
      while (i < line.size() && line[i] != c) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == c || line[i + 1] == '\\')) out += line[i++];
        out += line[i++];
      }
      if (i < line.size()) out += line[i++];
    }
    return out;
  }
  bool in_comment_ = false;
};

class DependencyScanner {
 public:
  DependencyScanner(const Project& project, bool list_all, ProjectHost& host)
      : project_(project), list_all_(list_all), host_(host), std_include_(project.std_include_dir()) {}

  std::vector<std::string> scan(const std::string& source) {
    source_dir_ = path_dir_name(source);
    scan_name(path_file_name(source));
    return listed_;
  }

 private:
  bool is_listed(const std::string& path) const {
    for (const std::string& l : listed_)
      if (equal_nocase(l, path)) return true;
    return false;
  }

  // Where the file of an include name is; empty when it is not found or
  // when it lies in the standard include directory and is not listed.
  std::string locate(const std::string& name) {
    std::string path = path_join(source_dir_, name);
    if (readable(path)) return path;
    if (!std_include_.empty()) {
      path = path_join(std_include_, name);
      if (readable(path)) return list_all_ ? path : std::string();
    }
    for (const std::string& dir : project_.debug.list(Includes)) {
      std::string base = path_is_relative(dir) ? path_join(project_.dir(), dir) : dir;
      path = path_join(base, name);
      if (readable(path)) return path;
      if (name[0] == '.') break;
    }
    return {};
  }

  void scan_name(const std::string& name) {
    if (name.empty()) return;
    int kind = file_kind_of(name);
    if (kind == file_kind::other)
      host_.out(format("Warning: File '%s' is not recognised, scanner assumes C-style\n", name.c_str()));
    std::string path = locate(name);
    if (path.empty() || is_listed(path)) return;
    listed_.push_back(path);
    std::FILE* f = std::fopen(path_native(path).c_str(), "rb");
    if (!f) return;
    std::vector<std::string> names;
    IncludeReader reader;
    std::string line;
    while (read_line(f, line)) {
      std::optional<std::string> found = kind == file_kind::assembler ? use_name(line) : reader.include_name(line);
      if (found) names.push_back(*found);
    }
    std::fclose(f);
    for (const std::string& n : names) scan_name(n);
  }

  const Project& project_;
  bool list_all_;
  ProjectHost& host_;
  std::string std_include_;
  std::string source_dir_;
  std::vector<std::string> listed_;
};

// ---- writing ----

class Writer {
 public:
  Writer(Project& project, ProjectHost& host) : p_(project), host_(host) {}

  bool config_section(ProjectConfig& c, const char* name, std::string& out) {
    c.name = name;
    const std::string& od = c.obj_dir;
    out += format("\n!IFCONF\t%s\n", name);
    out += format("##TARGETNAME=\"%s\"\n", c.target_name.c_str());
    out += format("##OBJDIR=\"%s\"\n", od.empty() ? "." : od.c_str());
    out += format("##TARGDIR=\"%s\"\n", c.targ_dir.empty() ? "." : c.targ_dir.c_str());
    out += format("##STDINCPATH=%d\n", c.std_include ? 1 : 0);
    out += format("##STDLIBPATH=%d\n", c.std_library ? 1 : 0);
    if (!c.crt0.empty()) out += format("##CRT0=\"%s\"\n", c.crt0.c_str());
    out += "ASFLAGS=" + c.asflags + "\n";
    out += "CCFLAGS=" + c.ccflags + "\n";
    out += "LNFLAGS=" + c.lnflags + "\n";

    out += rule_line;
    out += "#OBJECT FILES SECTION\n\nOBJ=";
    for (const ProjectFile& f : p_.files)
      if (is_source_kind(file_kind_of(f.path))) out += format(" \\\n\t\"%s\\%s\"", od.c_str(), object_name(f.path).c_str());
    out += "\n";

    out += rule_line;
    out += "#DEFINES/UNDEFINES SECTION\n";
    list(out, "\nASMDEFINES=", " \\\n\t%s", c.list(AsmDefines));
    list(out, "\nDEFINES=", " \\\n\t%s", c.list(Defines));
    list(out, "\nUNDEFINES=", " \\\n\t%s", c.list(Undefines));
    out += rule_line;
    out += "#INCLUDES AND LIBRARIES SECTION\n#\n";
    list(out, "\nINCLUDES=", " \\\n\t\"%s\"", c.list(Includes));
    list(out, "\nLIBRARIES=", " \\\n\t\"%s\"", c.list(Libraries));
    list(out, "\nLIBRARYPATHS=", " \\\n\t\"%s\"", c.list(LibraryPaths));
    out += rule_line;
    out += "#MACROS for MAKE\n";
    list(out, "\nINC=", " \\\n\t-I\"%s\"", c.list(Includes));
    list(out, "\nASMDEF=", " \\\n -D%s", c.list(AsmDefines));
    list(out, "\nDEF=", " \\\n -D%s", c.list(Defines));
    list(out, "\nUNDEF=", " \\\n -U%s", c.list(Undefines));
    list(out, "\nLIB=", " \\\n\t-l\"%s\"", c.list(Libraries));
    list(out, "\nLIBPATH=", " \\\n\t-L\"%s\"", c.list(LibraryPaths));

    out += rule_line;
    out += "#RULES SECTION CONFIGURATION \n\n\n# Application\n";
    if (!application_rule(c, out)) return false;

    std::string target = p_.target_file(c);
    out += rule_line;
    out += "\n\n# Clean\nclean:";
    out += format("\n\tRMFI \"%s\"", target.c_str());
    for (const ProjectFile& f : p_.files) out += format("\n\tRMFI \"%s\\%s\"", od.c_str(), object_name(f.path).c_str());
    out += "\n";

    out += rule_line;
    out += "\n\n# Dependencies and their build rules\n";
    for (const ProjectFile& f : p_.files) {
      int kind = file_kind_of(f.path);
      if (!is_source_kind(kind)) continue;
      std::string object = format("%s\\%s", od.c_str(), object_name(f.path).c_str());
      out += format("\n\"%s\":\t", object.c_str());
      for (const std::string& dep : dependencies(f.path)) out += format("\\\n\t\"%s\"", dep.c_str());
      out += "\n";
      if (kind == file_kind::assembler) {
        out += "\tASSM";
        if (f.uses_config_options()) out += "  $(ASFLAGS) $(ASMDEF)";
      } else {
        out += "\tCOMP ";
        if (f.uses_config_options()) out += " $(CCFLAGS) $(DEF) $(UNDEF) ";
      }
      if (!f.options.empty()) out += "  " + f.options;
      if (kind == file_kind::c_source) {
        if (c.std_include) out += format(" \\\n\t-I\"%s\\..\\include\"", p_.program_dir.c_str());
        out += " $(INC)";
      }
      out += format(" -o\"%s\"", object.c_str());
      out += format(" \"%s\"", f.path.c_str());
    }
    out += format("\n!EICONF\t%s\n", name);
    return true;
  }

 private:
  static void list(std::string& out, const char* head, const char* item, const std::vector<std::string>& items) {
    out += head;
    for (const std::string& i : items) out += format(item, i.c_str());
    out += "\n";
  }

  bool application_rule(const ProjectConfig& c, std::string& out) {
    std::string target = p_.target_file(c);
    switch (c.type) {
      case project_type::executable:
        out += format("\"%s\": $(OBJ)", target.c_str());
        if (const ProjectFile* script = p_.linker_script()) out += format(" \"%s\" ", script->path.c_str());
        out += format("\n\tLINK -o\"%s\" $(LNFLAGS) ", target.c_str());
        out += " $(LIBPATH)";
        out += " $(LIB)";
        if (c.std_library) out += format(" -L\"%s\\..\\lib\\%s\"", p_.program_dir.c_str(), "zun09");
        out += format(" -l\"%s\\..\\lib\\%s\\%s.%s\" ", p_.program_dir.c_str(), "zun09",
                      c.id == config_id::final_ ? "libcc" : "libccd", "e09");
        out += " $(OBJ)";
        out += "\n";
        return true;
      case project_type::relocatable:
        out += format("\"%s\": $(OBJ)", target.c_str());
        out += format("\n\tLINK -r -o\"%s\" $(LNFLAGS) $(OBJ)\n", target.c_str());
        return true;
      case project_type::library:
        out += format("\"%s\": $(OBJ)", target.c_str());
        out += format("\n\tLINK -o\"%s\" -Ac $(LNFLAGS) $(OBJ)\n", target.c_str());
        return true;
      default:
        out += "\nNOT A VALID PROJECT TYPE ";
        host_.error("The project seems to be corrupted, you should recreate it.");
        return false;
    }
  }

  // Both sections scan with the same directories, so each source is read once.
  const std::vector<std::string>& dependencies(const std::string& source) {
    auto it = scanned_.find(source);
    if (it == scanned_.end())
      it = scanned_.emplace(source, scan_dependencies(p_, source, false, host_)).first;
    return it->second;
  }

  Project& p_;
  ProjectHost& host_;
  std::map<std::string, std::vector<std::string>> scanned_;
};

// ---- reading ----

enum class Key {
  TypeE, TypeO, TypeL, UseStartup1, UseStartup0, ExtMakefile, ExtMakefileParam, SimSet, Crt0, OType1, OType0,
  ObjDir, TargDir, StdInc1, StdInc0, StdLib1, StdLib0, AsFlags, CcFlags, LnFlags, TargetName, OpenFile
};

struct KeyRow {
  const char* text;
  Key key;
};

// Looked for anywhere in the line (with its newline), in this order.
constexpr KeyRow key_table[] = {
    {"##TYPE E\n", Key::TypeE},
    {"##TYPE O\n", Key::TypeO},
    {"##TYPE L\n", Key::TypeL},
    {"##USESTARTUP=1", Key::UseStartup1},
    {"##USESTARTUP=0", Key::UseStartup0},
    {"##EXTMAKEFILE=", Key::ExtMakefile},
    {"##EXTMAKEFILEPARAM=", Key::ExtMakefileParam},
    {"##CSIMSET=", Key::SimSet},
    {"##CRT0=", Key::Crt0},
    {"##OTYPE=1", Key::OType1},
    {"##OTYPE=0", Key::OType0},
    {"##OBJDIR=", Key::ObjDir},
    {"##TARGDIR=", Key::TargDir},
    {"##STDINCPATH=1", Key::StdInc1},
    {"##STDINCPATH=0", Key::StdInc0},
    {"##STDLIBPATH=1", Key::StdLib1},
    {"##STDLIBPATH=0", Key::StdLib0},
    {"ASFLAGS=", Key::AsFlags},
    {"CCFLAGS=", Key::CcFlags},
    {"LNFLAGS=", Key::LnFlags},
    {"##TARGETNAME=", Key::TargetName},
    {"##OF", Key::OpenFile},
};

enum class ListHead { None, Files, Defines, AsmDefines, Undefines, Includes, Libraries, LibraryPaths };

ListHead list_head(std::string_view line) {
  struct Row {
    const char* name;
    ListHead head;
  };
  static constexpr Row rows[] = {
      {"FILES", ListHead::Files},           {"DEFINES", ListHead::Defines},
      {"ASMDEFINES", ListHead::AsmDefines}, {"UNDEFINES", ListHead::Undefines},
      {"INCLUDES", ListHead::Includes},     {"LIBRARIES", ListHead::Libraries},
      {"LIBRARYPATHS", ListHead::LibraryPaths},
  };
  for (const Row& r : rows) {
    std::string plain = std::string(r.name) + "= \\";
    std::string older = std::string(r.name) + "REL= \\";
    if (line == plain || (r.head != ListHead::Files && line == older)) return r.head;
  }
  return ListHead::None;
}

class Reader {
 public:
  Reader(Project& project, ProjectHost& host, const ProjectFileHooks& hooks)
      : p_(project), host_(host), hooks_(hooks) {}

  void read(std::string_view text) {
    size_t pos = 0;
    std::string_view line;
    bool have = next_line(text, pos, line);
    while (have) {
      if (line.size() > 1 && line[0] == '#' && line[1] == '+') {
        // The key line takes the next line along as its value.
        std::string key(line);
        bool value = next_line(text, pos, line);
        terminal_pair(key, value ? std::optional<std::string>(line) : std::nullopt);
        have = next_line(text, pos, line);
        continue;
      }
      ListHead head = list_head(line);
      if (head == ListHead::None) {
        plain_line(std::string(line));
        have = next_line(text, pos, line);
        continue;
      }
      // Item lines follow; a line that is no item ends the list and is read
      // as a line of its own.
      have = next_line(text, pos, line);
      while (have) {
        bool item = list_item(head, std::string(line));
        if (!item) break;
        bool more = line.find('\\') != std::string_view::npos;
        have = next_line(text, pos, line);
        if (!more) break;
      }
    }
    finish();
  }

 private:
  void plain_line(const std::string& line) {
    if (line.empty()) return;
    if (line[0] == '!') {
      std::string word;
      if (line.compare(0, 7, "!IFCONF") == 0) {
        read_word(word, skip_blanks(line.c_str() + 7));
        current_ = word == "Final" ? &p_.final_ : &p_.debug;
      } else if (line.compare(0, 7, "!EICONF") == 0) {
        current_ = &p_.debug;
      }
      return;
    }
    const std::string with_end = line + "\n";
    for (const KeyRow& row : key_table) {
      size_t at = with_end.find(row.text);
      if (at == std::string::npos) continue;
      apply(row.key, line, at + std::strlen(row.text));
      return;
    }
  }

  void terminal_pair(const std::string& key_line, const std::optional<std::string>& value_line) {
    if (hooks_.read_terminal_setting) {
      hooks_.read_terminal_setting(std::string_view(key_line).substr(2), value_line.value_or(""));
      return;
    }
    p_.terminal_lines.push_back(key_line);
    if (value_line) p_.terminal_lines.push_back(*value_line);
  }

  static std::string quoted_after(const std::string& line, size_t at) {
    std::string value;
    if (at <= line.size()) find_quoted(value, line.c_str() + at);
    return value;
  }

  void apply(Key key, const std::string& line, size_t after) {
    ProjectConfig& c = *current_;
    std::string rest = after <= line.size() ? line.substr(after) : std::string();
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
      case Key::AsFlags: c.asflags = rest; break;
      case Key::CcFlags: c.ccflags = rest; break;
      case Key::LnFlags: c.lnflags = rest; break;
      case Key::TargetName: c.target_name = quoted_after(line, after); break;
      case Key::OpenFile: {
        std::string path = quoted_after(line, after);
        if (!path.empty()) p_.open_files.push_back(path_is_relative(path) ? path_join(p_.dir(), path) : path);
        break;
      }
    }
  }

  // False when the line is no item of the list.
  bool list_item(ListHead head, const std::string& line) {
    ProjectConfig& c = *current_;
    switch (head) {
      case ListHead::Files: {
        std::string path, options, flags;
        const char* p = find_quoted(path, line.c_str());
        p = p ? find_quoted(options, p) : nullptr;
        p = p ? find_quoted(flags, p) : nullptr;
        if (!p) return false;
        p_.add_file(path, options, std::atoi(flags.c_str()), host_);
        return true;
      }
      case ListHead::Defines:
      case ListHead::AsmDefines:
      case ListHead::Undefines: {
        std::string item;
        if (head == ListHead::Undefines) {
          next_ident(item, line.c_str());
        } else {
          // A define reaches to the next blank: "VER=1.2" and "X=-1" stay whole.
          const char* p = line.c_str();
          while (*p == ' ' || *p == '\t') ++p;
          while (*p && !is_blank(*p)) item += *p++;
          if (!item.empty() && item.back() == '\\') item.pop_back();
        }
        if (item.empty()) return false;
        c.add_item(head == ListHead::Defines ? Defines : head == ListHead::AsmDefines ? AsmDefines : Undefines, item);
        return true;
      }
      case ListHead::Includes:
      case ListHead::LibraryPaths: {
        std::string dir = quoted_after(line, 0);
        if (dir.empty()) return false;
        if (dir[0] != '.') dir = path_canonicalize(dir);
        c.add_item(head == ListHead::Includes ? Includes : LibraryPaths, dir);
        return true;
      }
      case ListHead::Libraries: {
        std::string lib = quoted_after(line, 0);
        if (lib.empty()) return false;
        c.add_item(Libraries, lib);
        return true;
      }
      case ListHead::None: break;
    }
    return false;
  }

  void finish() {
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
};

// What a read starts from: lists, files and most settings empty; the type,
// the output type and the standard-path flags stay.
void clear_for_reading(Project& p) {
  p.files.clear();
  p.open_files.clear();
  p.terminal_lines.clear();
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

std::vector<std::string> scan_dependencies(const Project& project, const std::string& source, bool list_all,
                                           ProjectHost& host) {
  return DependencyScanner(project, list_all, host).scan(source);
}

std::string open_file_lines(const Project& project, const std::vector<std::string>& paths) {
  std::string out;
  for (const std::string& path : paths) {
    const ProjectFile* f = project.find_by_path(path);
    if (!f) continue;
    if (f->rel_dir)
      out += format("##OF \"%s\\%s\"\n", f->rel_dir->c_str(), f->name.c_str());
    else
      out += format("##OF \"%s\"\n", path.c_str());
  }
  return out;
}

std::optional<std::string> project_file_text(Project& p, ProjectHost& host, const ProjectFileHooks& hooks) {
  std::string out = format("# V %s", std::string(project_version).c_str());
  out += "\n# Created by Zun-project manager \n# DO NOT EDIT\n#\n";
  out += rule_line;
  out += "#SETTINGS SECTION\n";
  if (!p.sim_config_relative().empty()) out += format("##CSIMSET=\"%s\"\n", p.sim_config_relative().c_str());
  if (!p.ext_makefile().empty()) out += format("##EXTMAKEFILE=\"%s\"\n", p.ext_makefile().c_str());
  if (!p.ext_makefile_param().empty()) out += format("##EXTMAKEFILEPARAM=\"%s\"\n", p.ext_makefile_param().c_str());
  if (hooks.terminal_text) {
    out += hooks.terminal_text();
  } else {
    for (const std::string& line : p.terminal_lines) out += line + "\n";
  }

  out += rule_line;
  switch (p.debug.type) {
    case project_type::executable: out += "##TYPE E\n"; break;
    case project_type::relocatable: out += "##TYPE O\n"; break;
    case project_type::library: out += "##TYPE L\n"; break;
    default: break;
  }
  out += format("##USESTARTUP=%d\n", p.debug.use_startup ? 1 : 0);
  out += format("##OTYPE=%d\n", p.debug.output_type == 6 ? 1 : 0);

  out += rule_line;
  out += "#OPEN FILE SECTION\n";
  out += hooks.open_file_lines ? hooks.open_file_lines(p) : open_file_lines(p, p.open_files);

  out += rule_line;
  out += "#PROJECT FILES SECTION\n\nFILES=";
  for (const ProjectFile& f : p.files) {
    if (f.rel_dir)
      out += format(" \\\n\t\"%s\\%s\" \"%s\" \"%d\" ", f.rel_dir->c_str(), f.name.c_str(), f.options.c_str(), f.flags);
    else
      out += format(" \\\n\t\"%s\" \"%s\" \"%d\" ", f.path.c_str(), f.options.c_str(), f.flags);
  }
  out += "\n";

  out += rule_line;
  out += "#PROJECT OPTIONS SECTION\n";
  Writer writer(p, host);
  if (!writer.config_section(p.debug, "Debug", out)) return std::nullopt;
  if (!writer.config_section(p.final_, "Final", out)) return std::nullopt;
  return out;
}

bool write_project_file(Project& p, ProjectHost& host, const ProjectFileHooks& hooks) {
  if (!p.open || p.path().empty()) return true;
  std::optional<std::string> text = project_file_text(p, host, hooks);
  if (!text) return false;
  switch (replace_file(p.path(), *text)) {
    case ReplaceResult::Done: return true;
    case ReplaceResult::NoTemporary: host.out("FATAL: Can't create temporary filename for MAKE\n"); break;
    case ReplaceResult::WriteFailed: host.out("FATAL: Can't open makefile for writing\n"); break;
    case ReplaceResult::RenameFailed: host.out("Can't rename project makefile\n"); break;
  }
  return false;
}

bool read_project_file(Project& p, ProjectHost& host, const ProjectFileHooks& hooks) {
  clear_for_reading(p);
  if (hooks.terminal_reset) hooks.terminal_reset();
  std::optional<std::string> text = read_file_bytes(path_native(p.path()));
  if (!text) return false;
  Reader(p, host, hooks).read(*text);
  return true;
}

}  // namespace zun::wb
