// The workspace list and its file, and the atomic file replacement that the
// project and workspace writers share.
#include "workbench/project/workspace.h"

#include <algorithm>
#include <cstdio>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/output_file.h"
#include "common/path.h"
#include "workbench/core/workbench_core.h"

namespace zun::wb {

void Workspace::set_path(const std::string& path) {
  projects.clear();
  changed = false;
  split_file_identity(path, path_, dir_, name_);
}

WorkspaceProject* Workspace::find_by_path(std::string_view path) {
  for (WorkspaceProject& p : projects)
    if (p.path == path) return &p;
  return nullptr;
}

WorkspaceProject* Workspace::find_by_name(std::string_view name) {
  for (WorkspaceProject& p : projects)
    if (p.name == name) return &p;
  return nullptr;
}

bool Workspace::add_project(const std::string& path, ProjectHost& host) {
  std::string abs = path_is_relative(path) ? path_join(dir_, path) : path_canonicalize(path);
  if (find_by_path(abs)) {
    host.error("This project is already in the workspace");
    return false;
  }
  WorkspaceProject p;
  p.name = path_base_name(abs);
  p.path = abs;
  p.dir = path_make_relative(dir_, path_dir_name(abs));
  projects.push_back(std::move(p));
  changed = true;
  return true;
}

bool Workspace::remove_project(const std::string& name, ProjectHost& host) {
  auto it = std::find_if(projects.begin(), projects.end(), [&](const WorkspaceProject& p) { return p.name == name; });
  if (it == projects.end()) {
    host.error("Strange???, this project is not recorded");
    return false;
  }
  projects.erase(it);
  changed = true;
  return true;
}

ReplaceResult replace_file(const std::string& path, std::string_view text) {
  OutputFile out;
  if (!out.open(path, "M1")) {
    // A name that is there but cannot take a new file (a directory) cannot be replaced.
    return file_stamp_of(path) ? ReplaceResult::RenameFailed : ReplaceResult::NoTemporary;
  }
  if (!out.write(text)) return ReplaceResult::WriteFailed;
  return out.commit() ? ReplaceResult::Done : ReplaceResult::RenameFailed;
}

// Each entry names the project file as it is called: "a.b.m09" stays so.
std::string workspace_file_text(const Workspace& ws) {
  std::string text = format("#Zun V %s, Workspace", std::string(project_version).c_str());
  for (const WorkspaceProject& p : ws.projects)
    text += format("\n%s\\%s", p.dir.c_str(), path_file_name(p.path).c_str());
  return text;
}

bool write_workspace(Workspace& ws) {
  if (!ws.open()) return true;
  if (replace_file(ws.path(), workspace_file_text(ws)) != ReplaceResult::Done) return false;
  ws.changed = false;
  return true;
}

bool read_workspace(Workspace& ws, ProjectHost& host) {
  std::optional<std::string> text = read_file_bytes(path_native(ws.path()));
  if (!text) return false;
  bool all = true;
  size_t pos = 0;
  std::string_view line;
  while (next_line(*text, pos, line)) {
    if (line.empty() || line[0] == '#' || static_cast<unsigned char>(line[0]) < '!') continue;
    std::string path(line);
    std::string abs = path_is_relative(path) ? path_join(ws.dir(), path) : path_canonicalize(path);
    std::FILE* f = std::fopen(path_native(abs).c_str(), "rb");
    if (f) std::fclose(f);
    ProjectHost quiet;  // the message of a refused entry is the one below
    if (!ws.add_project(abs, quiet)) {
      host.error(format("Can't extract project name '%s'", path.c_str()));
      all = false;
    } else if (!f) {
      host.error(format("Project file: '%s' can't be found; it stays in the workspace", path.c_str()));
      ws.projects.back().missing = true;
      all = false;
    }
  }
  ws.changed = false;
  return all;
}

}  // namespace zun::wb
