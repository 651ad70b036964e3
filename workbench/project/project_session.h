// The open workspace and its active project, and what is done with them:
// opening a workspace (the command line, the recent list, the Open
// Workspace dialog), making a project active, closing it, switching the
// configuration, and the build commands Make, Build, Build All, Clean and
// Update dependencies. Standard C++ only; the workbench supplies a
// SessionHost and a process runner, zbuild its own.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workbench/build/make_engine.h"
#include "workbench/project/project_file.h"
#include "workbench/project/project_model.h"
#include "workbench/project/workspace.h"

namespace zun::wb {

// The editors' side of the project system. Without editors nothing is
// opened, saved or reloaded.
class SessionHost : public ProjectHost {
 public:
  virtual void show_output() {}
  virtual void open_editor(const std::string& path) {}
  // Settles and closes the editors of the project's files.
  virtual void close_project_editors(const Project& project) {}
  // "##OF" lines of the editors open on the project's files
  // (editors_write_open_files); none without editors, and the files the
  // project file named are kept.
  virtual std::optional<std::string> open_file_lines(const Project& project) { return std::nullopt; }
  // Saves the modified editors of the project's sources
  // (editors_save_project_sources).
  virtual void save_project_sources(const Project& project) {}
  // Offers to reload editors whose files changed on disk.
  virtual void reload_changed() {}
  // Files of the project that cannot be opened: true removes them from it.
  virtual bool remove_missing_files(const std::vector<std::string>& paths) { return false; }
};

enum class BuildCommand {
  MakeFile,   // the object of one source, always remade
  Build,      // with the force flag as it stands
  BuildAll,   // everything remade
  BuildMenu,  // everything remade when the settings changed since the last build
  Clean
};

struct BuildOutcome {
  bool ran = false;  // false: no project, or the directories could not be prepared
  MakeResult result;
  bool ok() const { return ran && !result.failed(); }
};

class ProjectSession {
 public:
  ProjectSession(SessionHost& host, std::string program_dir);

  Workspace workspace;
  Project project;  // the active project when project.open
  // The serial terminal's "#+" lines (the open-file lines come from the host).
  ProjectFileHooks hooks;
  // Drops the debugger's breakpoint lists (after Build and when the project closes).
  std::function<void()> drop_breakpoints;
  // After a project was made active and its files checked: the project
  // manager lists them.
  std::function<void(const Project&)> on_activated;
  ProcessRunner* runner = nullptr;
  bool force = false;  // the rebuild-all flag the make engine sees

  const std::string& program_dir() const { return program_dir_; }
  void set_program_dir(const std::string& dir) { program_dir_ = project.program_dir = dir; }

  // The workbench's command line: a workspace file or nothing.
  void command_line(const std::string& arg);
  // Reads the workspace, lets every project check its files, and makes the
  // first project active. False when the file cannot be read.
  bool open_workspace(const std::string& path);
  void close_workspace();
  // Reads the project file, checks the files and reopens its editors (not
  // while only listing); says what it could not read (not while listing).
  // The project file is written only when the user removes missing files.
  bool activate(const std::string& name, bool listing = false);
  void close_project();
  void set_config(int id);
  int config() const { return config_; }

  // The project file with this session's editors and terminal.
  ProjectWrite write_project(WriteCause cause = WriteCause::Change);
  // The same, with the message box when the file could not be written.
  ProjectWrite write_project_or_say(WriteCause cause = WriteCause::Change);
  // OK in the settings dialog: the working copy is stored and written.
  // False when the file does not hold it (after the message).
  bool settings_ok();

  BuildOutcome build(BuildCommand command, const std::string& editor_file = {});
  bool update_dependencies();

 private:
  bool prepare_directories();
  bool remove_objects_made_elsewhere();
  std::string header_line(BuildCommand command, const std::string& editor_file) const;
  ProjectFileHooks file_hooks();
  // What the project keeps, as the project file holds it without its rules.
  std::string settings_text();
  SessionHost& host_;
  std::string program_dir_;
  int config_ = config_id::debug;
  bool editors_live_ = false;  // the project's editors were opened by this activation
  ProjectConfig carried_;      // type, output type and standard paths of the last project
  std::string saved_;          // settings_text() as the project file holds it
};

}  // namespace zun::wb
