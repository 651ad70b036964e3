// The workspace list and its file, and the atomic file replacement that the
// project and workspace writers share.
#include "workbench/project/workspace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "workbench/core/workbench_core.h"

namespace zun::wb {

void Workspace::set_path(const std::string& path) {
  projects.clear();
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
  return true;
}

bool Workspace::remove_project(const std::string& name, ProjectHost& host) {
  auto it = std::find_if(projects.begin(), projects.end(), [&](const WorkspaceProject& p) { return p.name == name; });
  if (it == projects.end()) {
    host.error("Strange???, this project is not recorded");
    return false;
  }
  projects.erase(it);
  return true;
}

ReplaceResult replace_file(const std::string& path, std::string_view text) {
  std::string dir = path_dir_name(path);
  std::string tmpl = path_native(dir.empty() ? std::string("M1XXXXXX") : dir + "/M1XXXXXX");
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return ReplaceResult::NoTemporary;
  // The new file keeps the old one's permissions (a new one gets the usual).
  struct stat old {};
  mode_t mode = 0;
  if (::stat(path_native(path).c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool written = ::fchmod(fd, mode) == 0;
  for (size_t done = 0; written && done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) written = false;
    if (n > 0) done += static_cast<size_t>(n);
  }
  written = ::close(fd) == 0 && written;
  if (!written) {
    ::unlink(tmpl.c_str());
    return ReplaceResult::WriteFailed;
  }
  if (std::rename(tmpl.c_str(), path_native(path).c_str()) != 0) {
    ::unlink(tmpl.c_str());
    return ReplaceResult::RenameFailed;
  }
  return ReplaceResult::Done;
}

// Each entry names the project file as it is called: "a.b.m09" stays so.
std::string workspace_file_text(const Workspace& ws) {
  std::string text = format("#Zun V %s, Workspace", std::string(project_version).c_str());
  for (const WorkspaceProject& p : ws.projects)
    text += format("\n%s\\%s", p.dir.c_str(), path_file_name(p.path).c_str());
  return text;
}

bool write_workspace(const Workspace& ws) {
  if (!ws.open()) return true;
  return replace_file(ws.path(), workspace_file_text(ws)) == ReplaceResult::Done;
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
    if (!f) {
      host.error(format("Project file: '%s' can't be found and is removed from the workspace", path.c_str()));
      all = false;
      continue;
    }
    ProjectHost quiet;  // the message of a refused entry is the one below
    if (!ws.add_project(abs, quiet)) {
      host.error(format("Can't extract project name '%s'", path.c_str()));
      all = false;
    }
  }
  return all;
}

}  // namespace zun::wb
