// Workspace and project flows, and the frame around every build command:
// the project's directories, saving its editors, the header line, the make
// run, then the current directory restored and changed files offered for
// reloading.
#include "workbench/project/project_session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/format.h"
#include "common/path.h"
#include "common/text.h"

namespace zun::wb {

namespace fs = std::filesystem;

namespace {

bool change_dir(const std::string& dir) {
  std::error_code ec;
  fs::current_path(path_native(dir), ec);
  return !ec;
}

std::string current_dir() {
  std::error_code ec;
  return fs::current_path(ec).string();
}

// Entered when it exists, else created.
bool ensure_dir(const std::string& dir) {
  std::error_code ec;
  if (fs::is_directory(path_native(dir), ec)) return true;
  fs::create_directories(path_native(dir), ec);
  return fs::is_directory(path_native(dir), ec);
}

bool readable(const std::string& path) {
  std::FILE* f = std::fopen(path_native(path).c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

// One folder, also when reached by another way (a link). A relative name
// says nothing: read against the project's folder it would always be that.
bool same_folder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return !a.empty() && !path_is_relative(a) && (a == b || fs::equivalent(path_native(a), path_native(b), ec));
}

// A file (not a link) whose first record is the module header that hasm09
// writes, "mod:NAME:O09:FILE": an object, not a user's file of that name.
bool is_object_file(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(path, ec))) return false;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!std::getline(in, line) || !line.starts_with("mod:")) return false;
  size_t type = line.find(':', 4);
  return type != std::string::npos && line.compare(type + 1, 4, "O09:") == 0;
}

}  // namespace

ProjectSession::ProjectSession(SessionHost& host, std::string program_dir)
    : host_(host), program_dir_(std::move(program_dir)) {
  project.program_dir = program_dir_;
}

void ProjectSession::command_line(const std::string& arg) {
  if (arg.empty()) return;
  std::string name = path_file_name(arg);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || !equal_nocase(std::string_view(name).substr(dot), ".w09")) {
    host_.error("Don't recognise this file type...");
    return;
  }
  if (!change_dir(path_dir_name(arg).empty() ? "." : path_dir_name(arg))) return;
  open_workspace(arg);
}

bool ProjectSession::open_workspace(const std::string& path) {
  host_.status("Reading workspace...");
  if (workspace.open()) close_workspace();
  close_project();
  std::string abs = path_is_relative(path) ? path_join(current_dir(), path) : path_canonicalize(path);
  workspace.set_path(abs);
  change_dir(workspace.dir());
  std::FILE* f = std::fopen(path_native(abs).c_str(), "rb");
  if (!f) {
    host_.error(format("Can't read workspace '%s'", abs.c_str()));
    workspace.set_path("");
    host_.status("Ready");
    return false;
  }
  std::fclose(f);
  read_workspace(workspace, host_);
  // Every project checks its files once; then the first one that is there
  // stays active.
  for (size_t i = 0; i < workspace.projects.size(); ++i) {
    std::string name = workspace.projects[i].name;
    if (!workspace.projects[i].missing && activate(name, true)) close_project();
  }
  for (const WorkspaceProject& p : workspace.projects)
    if (!p.missing) {
      activate(p.name);
      break;
    }
  host_.status("Ready");
  return true;
}

// The workspace file is written only when its list changed: a project whose
// folder is away stays in it.
void ProjectSession::close_workspace() {
  close_project();
  if (!workspace.open()) return;
  if (workspace.changed && !write_workspace(workspace))
    host_.error(format("Can't write '%s'", workspace.path().c_str()));
  change_dir(workspace.dir());
  workspace.set_path("");
}

bool ProjectSession::activate(const std::string& name, bool listing) {
  close_project();
  WorkspaceProject* rec = workspace.find_by_name(name);
  if (!rec) return false;
  project.clear();
  project.program_dir = program_dir_;
  project.workspace_dir = workspace.dir();
  // What a project file does not say about these comes from the project
  // that was open before.
  for (ProjectConfig* c : {&project.debug, &project.final_}) {
    c->type = carried_.type;
    c->output_type = carried_.output_type;
    c->std_include = carried_.std_include;
    c->std_library = carried_.std_library;
  }
  project.set_path(rec->path);
  if (!read_project_file(project, host_, hooks)) {
    host_.error("Can't read project makefile");
    project.clear();
    return false;
  }
  rec->missing = false;
  project.open = true;
  project.set_active_config(config_);
  saved_ = settings_text();
  if (!listing && !project.read_problems.empty()) {
    std::string lines;
    for (const ReadProblem& r : project.read_problems) lines += format("line %d: %s\n", r.line, r.text.c_str());
    host_.warning(format("The project file '%s' could not be read completely:\n%sThe project is read-only until "
                         "it is closed.",
                         project.path().c_str(), lines.c_str()));
  }
  if (!listing) {
    for (const std::string& path : project.open_files) host_.open_editor(path);
    editors_live_ = true;
  }
  // Files that cannot be opened leave the project only when the user agrees:
  // a folder that is away for the moment must not strip the project.
  std::vector<std::string> missing;
  for (const ProjectFile& f : project.files)
    if (!readable(f.path)) missing.push_back(f.path);
  if (!missing.empty() && host_.remove_missing_files(missing)) {
    for (const std::string& path : missing) {
      host_.status(format("File '%s' can't be opened and will be removed from the project", path.c_str()));
      project.remove_file(path);
    }
    if (write_project() == ProjectWrite::Failed) host_.error(format("Can't write '%s'", project.path().c_str()));
  }
  if (on_activated) on_activated(project);
  return true;
}

// Opening a project writes nothing; closing it writes the file only when
// what the project keeps (its settings, files, open editors, terminal
// settings) differs from the file.
void ProjectSession::close_project() {
  if (!project.open) return;
  if (settings_text() != saved_) write_project_or_say(WriteCause::Refresh);
  if (editors_live_) host_.close_project_editors(project);
  editors_live_ = false;
  if (drop_breakpoints) drop_breakpoints();
  carried_ = project.debug;
  project.clear();
}

void ProjectSession::set_config(int id) {
  config_ = id == config_id::final_ ? config_id::final_ : config_id::debug;
  if (project.open) project.set_active_config(config_);
}

ProjectFileHooks ProjectSession::file_hooks() {
  ProjectFileHooks h = hooks;
  if (editors_live_)
    h.open_file_lines = [this](const Project&) {
      return host_.open_file_lines(project).value_or(open_file_lines(project, project.open_files));
    };
  return h;
}

std::string ProjectSession::settings_text() {
  ProjectHost quiet;
  return project_file_text(project, quiet, file_hooks(), TextPart::Settings).value_or("");
}

ProjectWrite ProjectSession::write_project(WriteCause cause) {
  std::string kept = settings_text();
  ProjectWrite result = write_project_file(project, host_, file_hooks(), cause);
  if (written(result)) saved_ = kept;
  return result;
}

ProjectWrite ProjectSession::write_project_or_say(WriteCause cause) {
  ProjectWrite result = write_project(cause);
  if (result == ProjectWrite::Failed) host_.error(format("Failed writing '%s'", project.path().c_str()));
  return result;
}

bool ProjectSession::settings_ok() {
  project.settings_ok();
  return written(write_project_or_say());
}

// The directories of both configurations, created when missing; the
// project directory is current afterwards. False after the message box.
bool ProjectSession::prepare_directories() {
  if (!change_dir(project.dir())) {
    host_.error(format("Can not set directory '%s'", project.dir().c_str()));
    return false;
  }
  for (const ProjectConfig* c : {&project.debug, &project.final_}) {
    if (c->obj_dir.empty()) {
      host_.error("No object directory specified");
      return false;
    }
    if (c->targ_dir.empty()) {
      host_.error("No target directory specified");
      return false;
    }
  }
  for (const ProjectConfig* c : {&project.debug, &project.final_})
    if (!ensure_dir(c->obj_dir)) {
      host_.error(format("Can not create object directory '%s'", c->obj_dir.c_str()));
      return false;
    }
  for (const ProjectConfig* c : {&project.debug, &project.final_})
    if (!ensure_dir(c->targ_dir)) {
      host_.error(format("Can not create target directory '%s'", c->targ_dir.c_str()));
      return false;
    }
  return change_dir(project.dir());
}

// The objects of both configurations, when they were made from the sources
// of another folder (the project was copied or moved, or its file does not
// say where they were made): their debug records name those sources, and
// being newer than the sources here they would look up to date. Only an
// object at the place the build writes it goes, and the output window says
// so; the project directory is current. False after the message box when
// one cannot be removed.
bool ProjectSession::remove_objects_made_elsewhere() {
  if (same_folder(project.made_in, project.dir())) return true;
  for (const ProjectConfig* c : {&project.debug, &project.final_})
    for (const ProjectFile& f : project.files) {
      if (!is_source_kind(file_kind_of(f.path))) continue;
      std::string object = path_native(object_file(*c, f.path));
      if (!is_object_file(object)) continue;
      if (std::remove(object.c_str()) != 0) {
        host_.error(format("Can not remove '%s', made from the sources of another folder", object.c_str()));
        return false;
      }
      host_.out(format("Removed '%s', made from the sources of another folder\n", object.c_str()));
    }
  project.made_in = project.dir();
  return true;
}

std::string ProjectSession::header_line(BuildCommand command, const std::string& editor_file) const {
  const ProjectConfig& c = project.active();
  if (command == BuildCommand::MakeFile)
    return format("------------- Make (%s) '%s.%s'\n", c.name.c_str(), path_base_name(editor_file).c_str(), "o09");
  const char* word = command == BuildCommand::Clean ? "Cleaning" : force ? "Build All" : "Build";
  std::string line = format("------------- %s %s '%s.%s'\n", word, c.name.c_str(), c.target_name.c_str(),
                            std::string(type_extension(c.type)).c_str());
  path_to_slashes(line);
  return line;
}

BuildOutcome ProjectSession::build(BuildCommand command, const std::string& editor_file) {
  BuildOutcome outcome;
  if (!project.open) return outcome;
  switch (command) {
    case BuildCommand::MakeFile:
    case BuildCommand::BuildAll: force = true; break;
    case BuildCommand::BuildMenu:
      force = project.settings_changed;
      project.settings_changed = false;
      break;
    case BuildCommand::Clean: force = false; break;
    case BuildCommand::Build: break;
  }
  const bool builds = command != BuildCommand::Clean && command != BuildCommand::MakeFile;
  const std::string remembered = current_dir();
  if (!prepare_directories()) {
    change_dir(remembered);
    return outcome;
  }
  const ProjectConfig& c = project.active();
  if (command != BuildCommand::Clean) host_.save_project_sources(project);
  host_.clear_output();
  host_.out(header_line(command, editor_file));
  // The rules and dependencies are brought up to date first; a file that is
  // left as it is builds as it stands, and still says that the objects were
  // made elsewhere.
  const std::string made_in = project.made_in;
  if (!remove_objects_made_elsewhere()) {
    change_dir(remembered);
    return outcome;
  }
  ProjectWrite refreshed = write_project_or_say(WriteCause::Refresh);
  if (!written(refreshed)) project.made_in = made_in;
  if (refreshed == ProjectWrite::Failed) {
    change_dir(remembered);
    return outcome;
  }

  std::vector<std::string> args;
  if (command == BuildCommand::Clean) {
    args = {"make", "-f" + project.path(), "clean"};
  } else if (command == BuildCommand::MakeFile) {
    args = {"make", "-f" + project.path(), "-c", c.name,
            format("%s\\%s.%s", c.obj_dir.c_str(), path_base_name(editor_file).c_str(), "o09")};
  } else {
    // A failed build leaves no stale target behind; the project directory
    // is current, so the relative target name means the project's file.
    // The target is named as the goal, so that a project file without its
    // rule fails instead of building nothing.
    std::string target = project.target_file(c);
    std::remove(path_native(target).c_str());
    args = {"Make", "-f" + project.path(), "-c", c.name, target};
  }
  MakeContext ctx;
  ctx.force = force;
  ctx.out = [this](std::string_view text) { host_.out(text); };
  ctx.runner = runner;
  ctx.program_dir = program_dir_;
  ctx.project_dir = project.dir();
  outcome.result = make(ctx, args);
  outcome.ran = true;

  change_dir(remembered);
  if (command != BuildCommand::Clean) host_.reload_changed();
  if (builds && drop_breakpoints) drop_breakpoints();
  return outcome;
}

bool ProjectSession::update_dependencies() {
  if (!project.open) return false;
  host_.save_project_sources(project);
  host_.show_output();
  if (!written(write_project_or_say())) return false;
  host_.out("Done updated dependencies\n");
  return true;
}

}  // namespace zun::wb
