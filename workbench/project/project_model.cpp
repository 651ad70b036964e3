// The project model: identity, file list, configurations, defaults, the
// settings dialog's working copy and the name checks.
#include "workbench/project/project_model.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/format.h"
#include "common/output_file.h"
#include "common/path.h"
#include "common/text.h"
#include "workbench/core/workbench_core.h"

namespace zun::wb {

namespace {

std::string extension_of(std::string_view path) {
  std::string name = path_file_name(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool has_extension(std::string_view path, std::string_view ext) {
  std::string name = path_file_name(path);
  size_t dot = name.rfind('.');
  return dot != std::string::npos && equal_nocase(std::string_view(name).substr(dot + 1), ext);
}

std::string absolute_in(const std::string& dir, const std::string& path) {
  return path_is_relative(path) ? path_join(dir, path) : path_canonicalize(path);
}

// The rows of the new-project table, for Debug or Final.
void default_assembler_rows(ProjectConfig& c, bool final) {
  c.asflags = final ? "-e" : "-g -e";
  c.lists[AsmDefines].clear();
  if (!final) c.add_item(AsmDefines, "_DEBUG");
}

void default_compiler_rows(ProjectConfig& c, bool final) {
  c.ccflags = final ? "-w4 -O" : "-g -w4 -O";
  c.std_include = true;
  c.lists[Includes].clear();
  c.lists[Undefines].clear();
  c.lists[Defines].clear();
  if (!final) c.add_item(Defines, "_DEBUG");
}

void default_linker_rows(ProjectConfig& c, bool final) {
  c.std_library = true;
  c.lists[LibraryPaths].clear();
  c.lists[Libraries].clear();
  if (c.type == project_type::library) {
    c.lnflags = final ? "-Ac" : "-g -Ac";
    return;
  }
  c.lnflags = final ? "-i default.lsc" : "-g -i default.lsc";
  if (c.type == project_type::executable)
    for (const char* lib : {"libc", "libe", "librtk"}) c.add_item(Libraries, format("%s%s.e09", lib, final ? "" : "d"));
}

void default_startup_rows(ProjectConfig& c) {
  c.use_startup = c.type == project_type::executable;
  if (!c.use_startup) c.crt0.clear();
}

void apply_new_project_rows(ProjectConfig& c, bool final) {
  default_assembler_rows(c, final);
  default_compiler_rows(c, final);
  default_linker_rows(c, final);
  default_startup_rows(c);
}

}  // namespace

void ProjectConfig::add_item(ListKind kind, const std::string& item) {
  std::vector<std::string>& l = lists[kind];
  if (item.empty() || std::find(l.begin(), l.end(), item) != l.end()) return;
  l.push_back(item);
}

bool is_source_kind(int kind) { return kind == file_kind::assembler || kind == file_kind::c_source; }

std::string_view display_type(std::string_view path) {
  struct Row {
    std::string_view ext, text;
  };
  static constexpr Row rows[] = {
      {"o09", "object"},         {"s19", "executable"},       {"asm", "assembler source"},
      {"s09", "assembler source"}, {"S", "assembler source"}, {"lsc", "linker script"},
      {"c", "C source"},         {"h", "header"},             {"prep", "preprocessor output"},
      {"e09", "library"},        {"m09", "project"},          {"w09", "workspace"},
  };
  std::string ext = extension_of(path);
  if (path_file_name(path).find('.') == std::string::npos) return {};
  for (const Row& r : rows)
    if (equal_nocase(r.ext, ext)) return r.text;
  return {};
}

std::string_view type_extension(int type) {
  switch (type) {
    case project_type::executable: return "s19";
    case project_type::relocatable: return "o09";
    case project_type::library: return "e09";
    default: return "???";
  }
}

// A source that is one of the project's files, by its path or as the same
// file reached another way, is the project's own.
std::string sources_elsewhere_note(const Project& project, const std::string& load_file,
                                   const std::vector<std::string>& sources) {
  for (const std::string& source : sources) {
    if (source.empty() || project.find_by_path(source)) continue;
    const std::string name = path_file_name(source);
    for (const ProjectFile& f : project.files)
      if (equal_nocase(path_file_name(f.path), name) && !same_file(f.path, source))
        return format("The sources of '%s' lie in another folder, '%s': build first\n",
                      path_file_name(load_file).c_str(), path_dir_name(source).c_str());
  }
  return {};
}

std::string file_size_text(std::optional<unsigned long long> size) {
  if (!size) return "Unknown";
  return format("%llu (0x%llX) bytes", *size, *size);
}

std::string file_time_text(int weekday, int day, int month, int year, int hour, int minute, int second) {
  static constexpr const char* days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
  static constexpr const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                                           "July",    "August",   "September", "October", "November", "December"};
  if (weekday < 0 || weekday > 6 || month < 1 || month > 12) return "Unknown";
  return std::string(days[weekday]) + format(" %d ", day) + months[month - 1] +
         format(" %d, %2.2d:%2.2d:%2.2d ", year, hour, minute, second);
}

int file_group_of(std::string_view path) {
  switch (file_kind_of(path)) {
    case file_kind::assembler: return 0;
    case file_kind::c_source: return 1;
    case file_kind::header: return 2;
    default: return 3;
  }
}

std::string object_name(std::string_view path) { return path_base_name(path) + ".o09"; }

std::string object_file(const ProjectConfig& c, std::string_view source) {
  return format("%s\\%s", c.obj_dir.empty() ? "." : c.obj_dir.c_str(), object_name(source).c_str());
}

// ---- Project ----

void split_file_identity(const std::string& path, std::string& canonical, std::string& dir, std::string& name) {
  canonical = path.empty() ? std::string() : path_canonicalize(path);
  dir = path_dir_name(canonical);
  name = path_file_name(canonical);
  if (size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
}

void Project::set_path(const std::string& path) { split_file_identity(path, path_, dir_, name_); }

ProjectFile* Project::add_record(const std::string& path, const std::string& options, int flags) {
  if (path.empty()) return nullptr;
  for (const ProjectFile& f : files)
    if (f.path == path) return nullptr;
  ProjectFile f;
  f.path = path;
  f.options = options;
  f.flags = flags;
  files.push_back(std::move(f));
  return &files.back();
}

ProjectFile* Project::find_by_path(std::string_view path) {
  std::string canon = path_canonicalize(path);
  for (ProjectFile& f : files)
    if (equal_nocase(f.path, canon)) return &f;
  return nullptr;
}

const ProjectFile* Project::find_by_path(std::string_view path) const {
  return const_cast<Project*>(this)->find_by_path(path);
}

ProjectFile* Project::find_by_name(std::string_view name) {
  for (ProjectFile& f : files)
    if (equal_nocase(path_file_name(f.path), name)) return &f;
  return nullptr;
}

// Two sources whose names agree up to the first '.' (case ignored) would
// write one object file.
Membership Project::membership(const std::string& path) const {
  std::string canon = path_canonicalize(path);
  for (const ProjectFile& f : files)
    if (f.path == canon) return Membership::Present;
  if (!is_source_kind(file_kind_of(canon))) return Membership::Free;
  for (const ProjectFile& f : files)
    if (is_source_kind(file_kind_of(f.path)) && equal_nocase(path_base_name(f.path), path_base_name(canon)))
      return Membership::SameObject;
  return Membership::Free;
}

bool Project::add_file(const std::string& path, const std::string& options, int flags, ProjectHost& host) {
  std::string abs = absolute_in(dir_, path);
  switch (membership(abs)) {
    case Membership::SameObject:
      host.error(format("File '%s' can't be added to the project since it would introduce a multiply defined "
                        "object module",
                        abs.c_str()));
      return false;
    case Membership::Present:
      host.error(format("File '%s' is already in the project", abs.c_str()));
      return false;
    case Membership::Free: break;
  }
  ProjectFile* f = add_record(abs, options, flags);
  if (!f) return false;
  f->rel_dir = relative_dir_of(abs);
  f->name = path_file_name(abs);
  return true;
}

bool is_standard_startup(std::string_view path) {
  constexpr std::string_view tail = "src/startup/zun09/_startup.s09";
  std::string canon = path_canonicalize(path);
  if (canon.size() < tail.size() || !equal_nocase(std::string_view(canon).substr(canon.size() - tail.size()), tail))
    return false;
  return canon.size() == tail.size() || canon[canon.size() - tail.size() - 1] == '/';
}

std::optional<FileStamp> file_stamp_of(const std::string& path) {
  struct stat st {};
  if (::stat(path_native(path).c_str(), &st) != 0) return std::nullopt;
  return FileStamp{st.st_mtim.tv_sec, st.st_mtim.tv_nsec, static_cast<unsigned long long>(st.st_size)};
}

namespace {

// True when `path` is `dir` or lies below it.
bool inside(const std::string& dir, const std::string& path) {
  std::string rel = path_make_relative(dir, path);
  return path_is_relative(rel) && !path_climbs_out(rel);
}

}  // namespace

bool Project::is_installation_startup(const std::string& path) const {
  return is_standard_startup(path) && (dir_.empty() || !inside(dir_, path_dir_name(absolute_in(dir_, path))));
}

std::optional<std::string> Project::relative_dir_of(const std::string& path) const {
  if (dir_.empty() || is_installation_startup(path)) return std::nullopt;
  std::string file_dir = path_dir_name(path);
  if (!inside(dir_, file_dir) && (workspace_dir.empty() || !inside(workspace_dir, file_dir))) return std::nullopt;
  std::string rel = path_make_relative(dir_, file_dir);
  if (!path_is_relative(rel)) return std::nullopt;
  return rel;
}

bool Project::remove_file(const std::string& path) {
  std::string canon = path_canonicalize(path);
  auto it = std::find_if(files.begin(), files.end(),
                         [&](const ProjectFile& f) { return equal_nocase(path_canonicalize(f.path), canon); });
  if (it == files.end()) return false;
  files.erase(it);
  return true;
}

const ProjectFile* Project::linker_script() const {
  for (const ProjectFile& f : files)
    if (has_extension(f.path, "lsc")) return &f;
  return nullptr;
}

void Project::set_active_config(int id) {
  active_ = id == config_id::final_ ? config_id::final_ : config_id::debug;
  set_load_file();
}

void Project::set_load_file() {
  const ProjectConfig& c = active();
  load_file_ = path_canonicalize(dir_ + "/" + c.targ_dir + "/" + c.target_name + "." +
                                 std::string(type_extension(c.type)));
}

std::string Project::target_file(const ProjectConfig& c) const {
  return format("%s\\%s.%s", c.targ_dir.c_str(), c.target_name.c_str(), std::string(type_extension(c.type)).c_str());
}

std::string Project::std_include_dir() const {
  if (!active().std_include || program_dir.empty()) return {};
  return path_canonicalize(program_dir + "/../include");
}

std::string Project::startup_path() const {
  if (program_dir.empty()) return {};
  return path_dir_name(path_canonicalize(program_dir)) + "/src/startup/zun09/_startup.s09";
}

void Project::new_project_defaults(int type) {
  struct Setup {
    ProjectConfig* c;
    int id;
    const char* name;
    const char* dir;
  };
  for (const Setup& s : {Setup{&debug, config_id::debug, "Debug", "debug"},
                         Setup{&final_, config_id::final_, "Final", "final"},
                         Setup{&work, config_id::debug, "Debug", "debug"}}) {
    ProjectConfig& c = *s.c;
    c = ProjectConfig();
    c.type = type;
    c.output_type = output_type_default;
    c.id = s.id;
    c.name = s.name;
    c.target_name = format("%s_%s", name_.c_str(), s.name);
    c.obj_dir = c.targ_dir = s.dir;
    apply_new_project_rows(c, s.id == config_id::final_);
  }
  set_active_config(active_);
}

void Project::bring_startup_in_line(bool use, ProjectHost& host) {
  std::string startup = startup_path();
  if (startup.empty()) return;
  bool present = find_by_path(startup) != nullptr;
  if (use && !present) add_file(startup, "", 1, host);
  if (!use && present) remove_file(startup);
}

void Project::settings_begin() { work = active(); }

void Project::settings_switch(int to_id) {
  config(work.id) = work;
  work = config(to_id);
}

void Project::settings_ok() {
  config(work.id) = work;
  settings_changed = true;
  set_load_file();
}

void Project::apply_default_rows(Rows rows) {
  bool final = work.id == config_id::final_;
  switch (rows) {
    case Rows::Assembler: default_assembler_rows(work, final); break;
    case Rows::Compiler: default_compiler_rows(work, final); break;
    case Rows::Linker: default_linker_rows(work, final); break;
  }
}

void Project::set_sim_config(const std::string& full_path) {
  if (full_path.empty()) {
    sim_rel_.clear();
    sim_full_.clear();
    return;
  }
  std::string abs = absolute_in(dir_, full_path);
  std::string rel_dir = path_make_relative(dir_, path_dir_name(abs));
  set_sim_config_relative(rel_dir + "/" + path_file_name(abs));
}

void Project::set_sim_config_relative(const std::string& rel_path) {
  sim_rel_ = rel_path;
  sim_full_ = rel_path.empty() ? std::string() : absolute_in(dir_, rel_path);
}

void Project::set_ext_makefile(const std::string& text, const std::string& param) {
  if (!text.empty()) ext_makefile_ = text;
  if (!param.empty()) ext_makefile_param_ = param;
}

void Project::clear() {
  std::string bin = program_dir;
  *this = Project();
  program_dir = bin;
}

// ---- list texts ----

std::string join_list_text(const std::vector<std::string>& items, bool& cut) {
  constexpr size_t limit = 1022;
  std::string text;
  cut = false;
  for (const std::string& item : items) {
    size_t grown = text.size() + (text.empty() ? 0 : 1) + item.size();
    if (grown > limit) {
      cut = true;
      break;
    }
    if (!text.empty()) text += ',';
    text += item;
  }
  return text;
}

std::string list_cut_message(ListKind list) {
  static constexpr const char* names[] = {"INCLUDES", "LIBRARIES", "LIBRARY PATH", "DEFINES", "ASM DEFINES",
                                          "UNDEFINES"};
  return format("List of %s is exhausted, not all items were saved", names[list]);
}

std::vector<std::string> split_list_text(ListKind list, std::string_view text, const std::string& project_dir) {
  std::vector<std::string> items;
  auto add = [&](std::string item) {
    if (!item.empty() && std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
  };
  std::string s(text);
  if (list == Defines || list == AsmDefines || list == Undefines) {
    std::string item;
    for (size_t i = 0; i <= s.size(); ++i) {
      char c = i < s.size() ? s[i] : ',';
      bool part = list == Undefines ? is_ident_char(c) : c != ',' && !is_blank(c);
      if (part) {
        item += c;
      } else {
        add(item);
        item.clear();
      }
    }
    return items;
  }
  for (const char* p = skip_blanks_commas(s.c_str()); p && *p; p = skip_blanks_commas(p)) {
    std::string token;
    if (*p == '"') {
      p = read_quoted(token, p);
    } else {
      while (*p && *p != ',' && !is_blank(*p)) token += *p++;
    }
    if (list != Libraries && !token.empty()) {
      // As the project file reads them back: a path that does not begin
      // with '.' in canonical form.
      token = path_make_relative(project_dir, token);
      if (token[0] != '.') token = path_canonicalize(token);
    }
    add(token);
  }
  return items;
}

// ---- name checks ----

bool valid_base_name(std::string_view path) {
  std::string name = path_file_name(path);
  if (size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  return std::all_of(name.begin(), name.end(), [](char c) { return is_ident_char(c) || c == '-'; });
}

namespace {

// The name checks of the workspace and project dialogs.
bool check_name(const std::string& path, const char* ext, const char* file_word, const char* name_word,
                ProjectHost& host) {
  if (!has_extension(path, ext)) {
    host.error(format("The %s has wrong extension (should be '%s')", file_word, ext));
    return false;
  }
  if (!valid_base_name(path)) {
    host.error(format("The %s contains invalid characters", name_word));
    return false;
  }
  return true;
}

}  // namespace

bool check_workspace_name(const std::string& path, ProjectHost& host) {
  return check_name(path, "w09", "Workspace name", "Workspace name", host);
}

bool check_project_name(const std::string& path, ProjectHost& host) {
  return check_name(path, "m09", "Project file name", "Project name", host);
}

}  // namespace zun::wb
