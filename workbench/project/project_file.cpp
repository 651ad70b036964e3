// Writing the project file: the settings as the reader (project_reader.cpp)
// takes them back, byte for byte, and the macros and rules make builds
// from; and the dependency scanner that lists each source's headers.
#include "workbench/project/project_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
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

// A value that ends in a backslash (blanks after it allowed) gets one
// blank more, so that make does not take it for a continued line;
// option_text() takes the blank off again.
std::string unjoined(const std::string& value) {
  size_t end = value.find_last_not_of(" \t");
  return end != std::string::npos && value[end] == '\\' ? value + " " : value;
}

std::vector<std::string> unjoined(const std::vector<std::string>& items) {
  std::vector<std::string> out;
  for (const std::string& item : items) out.push_back(unjoined(item));
  return out;
}

std::vector<std::string> quoted(const std::vector<std::string>& items) {
  std::vector<std::string> out;
  for (const std::string& item : items) out.push_back(quote_value(item));
  return out;
}

class Writer {
 public:
  Writer(Project& project, ProjectHost& host, TextPart part) : p_(project), host_(host), part_(part) {}

  bool config_section(ProjectConfig& c, const char* name, std::string& out) {
    c.name = name;
    out += format("\n!IFCONF\t%s\n", name);
    out += "##TARGETNAME=" + quote_value(c.target_name) + "\n";
    out += "##OBJDIR=" + quote_value(c.obj_dir) + "\n";
    out += "##TARGDIR=" + quote_value(c.targ_dir) + "\n";
    out += format("##STDINCPATH=%d\n", c.std_include ? 1 : 0);
    out += format("##STDLIBPATH=%d\n", c.std_library ? 1 : 0);
    if (!c.crt0.empty()) out += "##CRT0=" + quote_value(c.crt0) + "\n";
    out += "ASFLAGS=" + unjoined(c.asflags) + "\n";
    out += "CCFLAGS=" + unjoined(c.ccflags) + "\n";
    out += "LNFLAGS=" + unjoined(c.lnflags) + "\n";
    if (part_ == TextPart::Whole) objects(c, out);

    out += rule_line;
    out += "#DEFINES/UNDEFINES SECTION\n";
    list(out, "\nASMDEFINES=", " \\\n\t%s", unjoined(c.list(AsmDefines)));
    list(out, "\nDEFINES=", " \\\n\t%s", unjoined(c.list(Defines)));
    list(out, "\nUNDEFINES=", " \\\n\t%s", c.list(Undefines));
    out += rule_line;
    out += "#INCLUDES AND LIBRARIES SECTION\n#\n";
    list(out, "\nINCLUDES=", " \\\n\t%s", quoted(c.list(Includes)));
    list(out, "\nLIBRARIES=", " \\\n\t%s", quoted(c.list(Libraries)));
    list(out, "\nLIBRARYPATHS=", " \\\n\t%s", quoted(c.list(LibraryPaths)));
    if (part_ == TextPart::Whole && !make_lines(c, out)) return false;
    out += format("\n!EICONF\t%s\n", name);
    return true;
  }

 private:
  void objects(const ProjectConfig& c, std::string& out) {
    out += rule_line;
    out += "#OBJECT FILES SECTION\n\nOBJ=";
    for (const ProjectFile& f : p_.files)
      if (is_source_kind(file_kind_of(f.path))) out += format(" \\\n\t\"%s\"", object_file(c, f.path).c_str());
    out += "\n";
  }

  // The macros, rules and commands make builds from.
  bool make_lines(const ProjectConfig& c, std::string& out) {
    out += rule_line;
    out += "#MACROS for MAKE\n";
    list(out, "\nINC=", " \\\n\t-I\"%s\"", c.list(Includes));
    list(out, "\nASMDEF=", " \\\n -D%s", unjoined(c.list(AsmDefines)));
    list(out, "\nDEF=", " \\\n -D%s", unjoined(c.list(Defines)));
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
    for (const ProjectFile& f : p_.files) out += format("\n\tRMFI \"%s\"", object_file(c, f.path).c_str());
    out += "\n";

    out += rule_line;
    out += "\n\n# Dependencies and their build rules\n";
    for (const ProjectFile& f : p_.files) {
      int kind = file_kind_of(f.path);
      if (!is_source_kind(kind)) continue;
      std::string object = object_file(c, f.path);
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
    return true;
  }

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
  TextPart part_;
  std::map<std::string, std::vector<std::string>> scanned_;
};

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
    out += "##OF " + quote_value(f->rel_dir ? *f->rel_dir + "\\" + f->name : path) + "\n";
  }
  return out;
}

std::string quote_value(std::string_view value) {
  std::string out = "\"";
  for (char c : value) {
    out += c;
    if (c == '"') out += c;
  }
  return out + "\"";
}

std::optional<std::string> project_file_text(Project& p, ProjectHost& host, const ProjectFileHooks& hooks,
                                             TextPart part) {
  std::string out = format("# V %s", std::string(project_version).c_str());
  out += "\n# Created by Zun-project manager \n# DO NOT EDIT\n#\n";
  out += rule_line;
  out += "#SETTINGS SECTION\n";
  if (!p.sim_config_relative().empty()) out += "##CSIMSET=" + quote_value(p.sim_config_relative()) + "\n";
  if (!p.ext_makefile().empty()) out += "##EXTMAKEFILE=" + quote_value(p.ext_makefile()) + "\n";
  if (!p.ext_makefile_param().empty()) out += "##EXTMAKEFILEPARAM=" + quote_value(p.ext_makefile_param()) + "\n";
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
    std::string path = f.rel_dir ? *f.rel_dir + "\\" + f.name : f.path;
    out += " \\\n\t" + quote_value(path) + " " + quote_value(f.options) + format(" \"%d\" ", f.flags);
  }
  out += "\n";

  out += rule_line;
  out += "#PROJECT OPTIONS SECTION\n";
  if (part == TextPart::Whole && !p.made_in.empty()) out += "##MADEIN=" + quote_value(p.made_in) + "\n";
  Writer writer(p, host, part);
  if (!writer.config_section(p.debug, "Debug", out)) return std::nullopt;
  if (!writer.config_section(p.final_, "Final", out)) return std::nullopt;
  return out;
}

namespace {

// Made read-only by its owner: no write permission for anyone (which also
// holds for a superuser), or none for us.
bool read_only(const std::string& path) {
  struct stat st {};
  if (::stat(path_native(path).c_str(), &st) != 0) return false;
  return (st.st_mode & 0222) == 0 || ::access(path_native(path).c_str(), W_OK) != 0;
}

// Whether the file may be replaced; false when it is to be left as it is.
bool may_replace(Project& p, ProjectHost& host, WriteCause cause) {
  const std::string& path = p.path();
  if (read_only(path)) {
    host.warning(format("The project file '%s' is read-only and is left as it is.", path.c_str()));
    p.file_kept = true;
    return false;
  }
  if (!p.read_problems.empty()) {
    if (cause == WriteCause::Refresh) return false;
    if (!host.question(format("The project file '%s' was read with errors.\nReplace it with the project as the "
                              "workbench holds it?",
                              path.c_str()))) {
      p.file_kept = true;
      return false;
    }
  }
  std::optional<FileStamp> now = file_stamp_of(path);
  if (now && p.file_stamp && *now != *p.file_stamp &&
      !host.question(format("The project file '%s' has changed on disk since it was read.\nReplace it with the "
                            "project as the workbench holds it?",
                            path.c_str()))) {
    p.file_kept = true;
    return false;
  }
  return true;
}

}  // namespace

ProjectWrite write_project_file(Project& p, ProjectHost& host, const ProjectFileHooks& hooks, WriteCause cause) {
  if (!p.open || p.path().empty()) return ProjectWrite::Unchanged;
  if (p.file_kept) return ProjectWrite::Kept;
  std::optional<std::string> text = project_file_text(p, host, hooks);
  if (!text) return ProjectWrite::Failed;
  if (read_file_bytes(path_native(p.path())) == *text) {
    p.file_stamp = file_stamp_of(p.path());
    return ProjectWrite::Unchanged;
  }
  if (!may_replace(p, host, cause)) return ProjectWrite::Kept;
  switch (replace_file(p.path(), *text)) {
    case ReplaceResult::Done:
      p.file_stamp = file_stamp_of(p.path());
      p.read_problems.clear();
      return ProjectWrite::Written;
    case ReplaceResult::NoTemporary: host.out("FATAL: Can't create temporary filename for MAKE\n"); break;
    case ReplaceResult::WriteFailed: host.out("FATAL: Can't open makefile for writing\n"); break;
    case ReplaceResult::RenameFailed: host.out("Can't rename project makefile\n"); break;
  }
  return ProjectWrite::Failed;
}

}  // namespace zun::wb
