// The open project in memory: its identity, its files, the Debug and Final
// configurations with their six lists each, the working copy the settings
// dialog edits, the defaults a new project starts from and the checks on
// names. Standard C++ only; everything the project asks of the workbench
// (message boxes, the output window, editors) goes through ProjectHost.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zun::wb {

inline constexpr std::string_view project_version = "2.0 26 February 2013)";

// What the project system asks of the workbench. The defaults do nothing,
// say No and keep no editors, which is what a headless build wants.
class ProjectHost {
 public:
  virtual ~ProjectHost() = default;
  virtual void error(const std::string& text) {}    // message box, stop icon
  virtual void warning(const std::string& text) {}  // message box, exclamation icon
  virtual bool question(const std::string& text) { return false; }
  virtual void status(const std::string& text) {}
  virtual void out(std::string_view text) {}  // the output window
  virtual void clear_output() {}             // clears and shows it
};

namespace project_type {
inline constexpr int executable = 1, relocatable = 2, library = 3;
}
namespace config_id {
inline constexpr int debug = 5, final_ = 4;
}
inline constexpr int output_type_default = 6;

// The six lists of a configuration, in the order the settings dialog and the
// project file name them.
enum ListKind { Includes, Libraries, LibraryPaths, Defines, AsmDefines, Undefines, list_kind_count };

struct ProjectConfig {
  int type = 0;  // project_type
  int id = config_id::debug;
  int output_type = output_type_default;  // 6 or 7
  bool std_include = false;
  bool std_library = false;  // also "use default libraries"
  bool use_startup = false;
  std::string name;  // "Debug" or "Final"
  std::string target_name, obj_dir, targ_dir;
  std::string asflags, ccflags, lnflags;
  std::string crt0;  // the startup path
  std::array<std::vector<std::string>, list_kind_count> lists;

  // An empty item or one already there is not added.
  void add_item(ListKind list, const std::string& item);
  const std::vector<std::string>& list(ListKind kind) const { return lists[kind]; }
  bool operator==(const ProjectConfig&) const = default;
};

struct ProjectFile {
  std::string path;                   // absolute, '/' separators
  std::optional<std::string> rel_dir;  // its directory relative to the project directory
  std::string name;                   // the part after the last separator
  std::string options;                // its own option text
  int flags = 1;                      // bit 0: use the configuration's options
  bool uses_config_options() const { return (flags & 1) != 0; }
  bool operator==(const ProjectFile&) const = default;
};

// A source the project builds: an assembler or C file (file_kind_of).
bool is_source_kind(int kind);
// "object", "C source" and the rest; "" for an extension Zun does not know.
std::string_view display_type(std::string_view path);
// "s19", "o09", "e09" by project type, else "???".
std::string_view type_extension(int type);
// The file name up to its first '.' and ".o09".
std::string object_name(std::string_view path);
// The object a build makes of a source, as the project file's rules name it
// for the make engine: the configuration's object directory ("." when
// empty), '\' and object_name. Relative to the project directory.
std::string object_file(const ProjectConfig& c, std::string_view source);

// A project's or workspace's path in canonical form, its directory (up to
// the last separator) and its name (the file name up to its last '.'); all
// three empty for an empty path.
void split_file_identity(const std::string& path, std::string& canonical, std::string& dir, std::string& name);

// The standard startup file of an installation:
// ".../src/startup/zun09/_startup.s09", case ignored, whatever the
// installation's folder (the project may have been written by another one).
bool is_standard_startup(std::string_view path);

// A line of the project file the reader could not read past.
struct ReadProblem {
  int line;  // from 1
  std::string text;
  bool operator==(const ReadProblem&) const = default;
};

// When a file was last changed, and its size.
struct FileStamp {
  long long seconds = 0, nanoseconds = 0;
  unsigned long long size = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> file_stamp_of(const std::string& path);

// The membership test of a path about to be added.
enum class Membership { Free, SameObject, Present };

class Project {
 public:
  // The directory of the programs: the startup file and the standard include
  // and library directories lie beside it.
  std::string program_dir;

  // ---- identity ----
  // Sets path, directory and name; an empty path clears all three.
  void set_path(const std::string& path);
  const std::string& path() const { return path_; }
  const std::string& dir() const { return dir_; }
  const std::string& name() const { return name_; }

  // ---- files ----
  std::vector<ProjectFile> files;
  // The record, or null when the path is empty or already present (compared exactly).
  ProjectFile* add_record(const std::string& path, const std::string& options, int flags);
  ProjectFile* find_by_path(std::string_view path);  // case ignored
  const ProjectFile* find_by_path(std::string_view path) const;
  ProjectFile* find_by_name(std::string_view name);  // the part after the last separator, case ignored
  Membership membership(const std::string& path) const;
  // A relative path is taken from the project directory; duplicates are
  // refused with a message box. True when added.
  bool add_file(const std::string& path, const std::string& options, int flags, ProjectHost& host);
  bool remove_file(const std::string& path);
  const ProjectFile* linker_script() const;
  // The standard startup file of an installation (this one or another);
  // a copy in the project's own folder is the project's file.
  bool is_installation_startup(const std::string& path) const;
  // The file's directory relative to the project directory, as the project
  // file writes it; none for a file outside the project's and the
  // workspace's directories and for the installation's startup file.
  std::optional<std::string> relative_dir_of(const std::string& path) const;

  // ---- configurations ----
  ProjectConfig debug, final_, work;
  ProjectConfig& config(int id) { return id == config_id::final_ ? final_ : debug; }
  const ProjectConfig& config(int id) const { return id == config_id::final_ ? final_ : debug; }
  void set_active_config(int id);
  int active_config() const { return active_; }
  ProjectConfig& active() { return config(active_); }
  const ProjectConfig& active() const { return config(active_); }
  // The S-record, object or library file of the active configuration.
  const std::string& load_file() const { return load_file_; }
  // The active configuration's target file relative to the project
  // directory: "<targ dir>\<target name>.<ext>".
  std::string target_file(const ProjectConfig& c) const;
  // "<program dir>/../include" when the active configuration uses it, else "".
  std::string std_include_dir() const;
  std::string startup_path() const;

  // ---- new projects and the settings dialog ----
  // All three configurations get the defaults of a new project of this type.
  void new_project_defaults(int type);
  // Adds the startup file when the flag is on and removes it when off.
  void bring_startup_in_line(bool use, ProjectHost& host);
  // The settings dialog: begin copies the active configuration into the
  // working copy; switch stores the working copy into the configuration it
  // came from and loads the other; ok stores it and marks the settings as
  // changed; cancel drops it and leaves the flag as it was.
  void settings_begin();
  void settings_switch(int to_id);
  void settings_ok();
  void settings_cancel() { work = config(work.id); }
  // The Default buttons: the assembler, compiler or linker rows of a new
  // project, for the configuration the working copy holds.
  enum class Rows { Assembler, Compiler, Linker };
  void apply_default_rows(Rows rows);

  // ---- other settings ----
  // The target descriptor; an empty path clears it.
  void set_sim_config(const std::string& full_path);
  void set_sim_config_relative(const std::string& rel_path);
  const std::string& sim_config() const { return sim_full_; }
  const std::string& sim_config_relative() const { return sim_rel_; }
  // An empty text leaves the old one.
  void set_ext_makefile(const std::string& text, const std::string& param);
  const std::string& ext_makefile() const { return ext_makefile_; }
  const std::string& ext_makefile_param() const { return ext_makefile_param_; }

  bool open = false;
  bool settings_changed = false;  // by OK in the settings; the next Build rebuilds all
  // The "##OF" files read from the project file (absolute paths).
  std::vector<std::string> open_files;
  // The "#+" lines read, kept as they were until the terminal takes them.
  std::vector<std::string> terminal_lines;

  // ---- the project file as it was read ----
  // Damage the reader could not read past; the file is not written back
  // unless the user agrees.
  std::vector<ReadProblem> read_problems;
  // The file as it was last read or written; another one has changed on disk.
  std::optional<FileStamp> file_stamp;
  // The file is left as it is until the project closes (read-only, or the
  // user declined to replace it).
  bool file_kept = false;
  // Files inside the workspace's directory, as inside the project's, are
  // stored relative to the project; others with their absolute paths.
  std::string workspace_dir;
  // The project directory whose sources the objects in the object
  // directories were made from, as the project file says ("##MADEIN");
  // empty when it does not say. A build elsewhere (the project was copied
  // or moved) makes them again, since their debug records name those
  // sources. Only a build changes it.
  std::string made_in;

  // Back to a closed project: identity, files, lists and settings cleared.
  void clear();

 private:
  void set_load_file();
  std::string path_, dir_, name_;
  int active_ = config_id::debug;
  std::string load_file_;
  std::string sim_rel_, sim_full_;
  std::string ext_makefile_, ext_makefile_param_;
};

// ---- the settings dialog's list texts ----
// Items joined by ','; a text that would pass 1022 characters keeps the
// items that fit and sets `cut`.
std::string join_list_text(const std::vector<std::string>& items, bool& cut);
// The message for a list whose text was cut ("List of DEFINES is exhausted, ...").
std::string list_cut_message(ListKind list);
// Items of a typed text: DEFINES and ASMDEFINES split at ',' and blanks (a
// value such as VER=1.2 stays whole), UNDEFINES are identifiers, paths and
// libraries are tokens (double quotes allowed) between blanks and commas;
// include and library search paths are stored relative to the project
// directory.
std::vector<std::string> split_list_text(ListKind list, std::string_view text, const std::string& project_dir);

// ---- a program's sources ----
// When the sources that a load file's debug records name (`sources`) lie in
// another folder than the project's files of the same names (a copied or
// moved project not yet built where it is now), the note that says so
// before the debugger shows them; "" when none does.
std::string sources_elsewhere_note(const Project& project, const std::string& load_file,
                                   const std::vector<std::string>& sources);

// ---- texts of the file properties ----
std::string file_size_text(std::optional<unsigned long long> size);
// "Monday 7 March 2011, 09:05:00 " from the broken-down time as the file
// system keeps it (no conversion to local time); "Unknown" for a weekday
// outside 0..6 (Sunday is 0).
std::string file_time_text(int weekday, int day, int month, int year, int hour, int minute, int second);

// ---- the project manager's tree ----
// The groups under every project item, in order.
inline constexpr std::array<std::string_view, 4> file_groups = {"Source Files (asm)", "Source Files (C)",
                                                                "Header Files", "Others"};
// Assembler sources, C sources and headers have their own groups; every
// other kind (linker scripts, Ada files, unknown ones) goes to "Others".
int file_group_of(std::string_view path);

// ---- name checks ----
// The file name without directory and extension holds only letters, digits,
// '_' and '-'.
bool valid_base_name(std::string_view path);
// With the message box when the extension or the name is wrong.
bool check_workspace_name(const std::string& path, ProjectHost& host);
bool check_project_name(const std::string& path, ProjectHost& host);

}  // namespace zun::wb
