// The workspace (".w09"): a list of projects, kept in file order, and its
// file: a header line and one project file path per line, relative to the
// workspace's directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbench/project/project_model.h"

namespace zun::wb {

struct WorkspaceProject {
  std::string name;  // the project file's name up to its first '.'
  std::string path;  // absolute
  std::string dir;   // the project file's directory relative to the workspace directory
  bool missing = false;  // its file could not be found when the workspace was read
};

class Workspace {
 public:
  // Sets path, directory and name; an empty path clears all three and the list.
  void set_path(const std::string& path);
  const std::string& path() const { return path_; }
  const std::string& dir() const { return dir_; }
  const std::string& name() const { return name_; }
  bool open() const { return !path_.empty(); }

  std::vector<WorkspaceProject> projects;
  // Both compare case-sensitively.
  WorkspaceProject* find_by_path(std::string_view path);
  WorkspaceProject* find_by_name(std::string_view name);
  // A relative path is taken from the workspace directory. False, with a
  // message box, when the project is there already.
  bool add_project(const std::string& path, ProjectHost& host);
  bool remove_project(const std::string& name, ProjectHost& host);
  // The list differs from the file (a project was added or removed).
  bool changed = false;

 private:
  std::string path_, dir_, name_;
};

// Atomic replacement of a file: the text goes into a new file beside it
// ("M1XXXXXX"), which is renamed over the old one; a link is followed, and
// the file it leads to is replaced. On failure the old file stays and the
// new one is removed.
enum class ReplaceResult { Done, NoTemporary, WriteFailed, RenameFailed };
ReplaceResult replace_file(const std::string& path, std::string_view text);

std::string workspace_file_text(const Workspace& ws);
// False when the file cannot be written; `changed` is cleared otherwise.
bool write_workspace(Workspace& ws);
// False when the file cannot be read or a listed project is missing or
// dropped (each with its message box). A project whose file cannot be found
// stays in the list, marked missing: its folder may only be away for now.
bool read_workspace(Workspace& ws, ProjectHost& host);

}  // namespace zun::wb
