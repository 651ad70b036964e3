// The workspace, project and Build menus' handlers, the project manager's
// flows, and the project's questions, messages and editors, routed through
// the frame.
#include "workbench/project/project_controller.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <filesystem>

#include "common/format.h"
#include "common/path.h"
#include "workbench/build/tool_runner.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"
#include "workbench/project/project_dialogs.h"
#include "workbench/project/project_manager.h"

namespace zun::wb {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ProjectController::ProjectController(FrameWindow* frame)
    : QObject(frame), frame_(frame), session_(std::make_unique<ProjectSession>(*this, std::string())) {
  session_->runner = frame_->toolRunner();
  frame_->registerCommand(cmd::make, [this](qintptr) { build(BuildCommand::MakeFile); });
  frame_->registerCommand(cmd::build, [this](qintptr) { build(BuildCommand::BuildMenu); });
  frame_->registerCommand(cmd::build_all, [this](qintptr) { build(BuildCommand::BuildAll); });
  frame_->registerCommand(cmd::clean, [this](qintptr) { build(BuildCommand::Clean); });
  frame_->registerCommand(cmd::update_dependencies, [this](qintptr) {
    syncProgramDir();
    session_->update_dependencies();
  });
  for (int id : {cmd::config_debug, cmd::config_final})
    frame_->registerCommand(id, [this, id](qintptr) {
      session_->set_config(id == cmd::config_final ? config_id::final_ : config_id::debug);
      frame_->updateMenus();
    });
  const std::pair<int, void (ProjectController::*)()> flows[] = {
      {cmd::new_workspace, &ProjectController::createWorkspace},
      {cmd::open_workspace, &ProjectController::openWorkspaceDialog},
      {cmd::close_workspace, &ProjectController::closeWorkspace},
      {cmd::insert_new_project, &ProjectController::insertNewProject},
      {cmd::insert_project, &ProjectController::insertProject},
      {cmd::close_project, &ProjectController::closeActiveProject},
      {cmd::set_active_project, &ProjectController::selectActiveProject},
      {cmd::insert_files, &ProjectController::insertFiles},
      {cmd::project_settings, &ProjectController::projectSettings}};
  for (const auto& [id, flow] : flows) frame_->registerCommand(id, [this, f = flow](qintptr) { (this->*f)(); });
  frame_->registerCommand(cmd::view_project_manager, [this](qintptr) { showManager(true); });
  frame_->registerCommand(cmd::recent_first, [this](qintptr slot) {
    const std::string& path = frame_->recent().at(static_cast<int>(slot));
    if (!path.empty()) openWorkspace(qs(path));
  });
  manager_ = new ProjectManagerWindow(frame_, this);
  session_->on_activated = [this](const Project& project) {
    manager_->showWorkspace(session_->workspace);
    manager_->showProjectFiles(project);
  };
  frame_->addStateProvider([this](WorkbenchState& st) {
    st.project_manager_shown = managerShown();
    st.project_open = session_->project.open;
    st.workspace_open = session_->workspace.open();
    st.active_config = session_->config() == config_id::final_ ? Config::Final : Config::Debug;
  });
  frame_->setWorkspaceOpener([this](const QString& path) { openWorkspace(path); });
  frame_->setLoadFileOffer([this] {
    const Project& p = session_->project;
    return p.open ? qs(path_join(p.dir(), p.target_file(p.active()))) : QString();
  });
  frame_->installEventFilter(this);
  // A tool window stays above its frame only when the frame is up first.
  if (frame_->isVisible()) {
    manager_placed_ = true;
    manager_->showBeside();
  }
}

// A changed workspace list is written last, as the workbench ends.
ProjectController::~ProjectController() {
  frame_->removeEventFilter(this);
  if (session_->workspace.open() && session_->workspace.changed) write_workspace(session_->workspace);
}

void ProjectController::syncProgramDir() {
  QString dir = program_dir_.isEmpty() ? frame_->dirs().bin : program_dir_;
  session_->set_program_dir(dir.toStdString());
}

// Closing the active project closes every editor. Before a flow does that,
// each editor's unsaved edits are saved or dropped as the user says; false
// when the user cancelled, and the flow stops with everything as it was.
// Nothing is closed or switched while a tool runs: a build of the project
// works in its folder and reads its settings.
bool ProjectController::settleEditors() {
  if (frame_->toolRunner()->running()) return false;
  return !session_->project.open || frame_->editors()->askSaveAll();
}

// A workspace closes, or gives way to another, only when the user lets a
// debugging session go and settles the editors: No keeps everything as it
// was. The session ends before the project closes.
bool ProjectController::letWorkspaceGo() {
  const bool debugging = debugging_open && debugging_open();
  if (debugging && !question("End the debugging session and close the workspace?")) return false;
  if (!settleEditors()) return false;
  if (debugging && end_debugging) end_debugging();
  return true;
}

void ProjectController::openWorkspace(const QString& path) {
  if (!letWorkspaceGo()) return;
  syncProgramDir();
  session_->command_line(path.toStdString());
  if (session_->workspace.open()) frame_->pushRecent(qs(session_->workspace.path()));
  projectChanged();
}

// The file dialogs move to the folder of a project (or a workspace without
// one) as it opens; within it they go on from where they were used last.
void ProjectController::projectChanged() {
  const Project& p = session_->project;
  frame_->setProjectName(p.open ? qs(p.name()) : QStringLiteral("No Project"));
  frame_->setProjectDirs(qs(session_->workspace.dir()), p.open ? qs(p.dir()) : QString());
  const QString root = p.open ? qs(p.dir()) : qs(session_->workspace.dir());
  if (root != dialog_root_ && !root.isEmpty()) frame_->setFileDialogDir(root);
  dialog_root_ = root;
  manager_->showWorkspace(session_->workspace);
  manager_->expandOnly(p.open ? qs(p.name()) : QString());
  frame_->updateMenus();
}

void ProjectController::showManager(bool show) {
  manager_->setVisible(show);
  if (show) manager_->raise();
  frame_->updateMenus();
}

bool ProjectController::managerShown() const { return manager_ && manager_->isVisible(); }

void ProjectController::hideManagerForSession() {
  manager_held_ = managerShown() || manager_returning_;
  manager_returning_ = false;
  showManager(false);
}

// Once the events of the moment are done: when Exit ended the session, the
// frame has gone by then and the manager stays hidden; so it does when a
// new session has started meanwhile.
void ProjectController::restoreManagerAfterSession() {
  if (!manager_held_) return;
  manager_held_ = false;
  manager_returning_ = true;
  QTimer::singleShot(0, this, [this] {
    if (manager_returning_ && frame_->isVisible()) showManager(true);
    manager_returning_ = false;
  });
}

// A file left as it is (read-only, changed on disk) has been reported.
bool ProjectController::writeProjectOrSay() { return written(session_->write_project_or_say()); }

bool ProjectController::writeWorkspace() {
  if (write_workspace(session_->workspace)) return true;
  error(format("Can't write '%s'", session_->workspace.path().c_str()));
  return false;
}

// A project file to open or to create, by its dialog; empty when cancelled.
QString ProjectController::chooseProjectFile(const QString& title, bool save, const QString& dir) {
  FileRequest request;
  request.title = title;
  request.filters = {QStringLiteral("zun09 - project (*.m09)")};
  request.suffix = QStringLiteral("m09");
  request.dir = dir;
  request.save = save;
  const QStringList chosen = frame_->dialogs().chooseFiles(request);
  return chosen.isEmpty() ? QString() : QFileInfo(chosen.front()).absoluteFilePath();
}

// ---- workspaces ----

namespace {

FileRequest workspaceDialog(const QString& title, bool save, const QString& dir) {
  FileRequest request;
  request.title = title;
  request.filters = {QStringLiteral("zun09 - workspace (*.w09)"), QStringLiteral("zun09 - project (*.m09)")};
  request.suffix = QStringLiteral("w09");
  request.dir = dir;
  request.save = save;
  return request;
}

}  // namespace

void ProjectController::createWorkspace() {
  const Workspace& ws = session_->workspace;
  const QString dir = ws.open() ? qs(ws.dir()) : frame_->dirs().workspace_dialog;
  const QStringList chosen =
      frame_->dialogs().chooseFiles(workspaceDialog(QStringLiteral("Create Workspace"), true, dir));
  if (chosen.isEmpty()) return;
  const std::string path = path_canonicalize(QFileInfo(chosen.front()).absoluteFilePath().toStdString());
  if (!check_workspace_name(path, *this) || !letWorkspaceGo()) return;
  syncProgramDir();
  session_->close_workspace();
  session_->workspace.set_path(path);
  if (!writeWorkspace()) {
    session_->workspace.set_path("");
  } else {
    QDir::setCurrent(qs(session_->workspace.dir()));
    frame_->pushRecent(qs(path));
  }
  projectChanged();
}

void ProjectController::openWorkspaceDialog() {
  const Workspace& ws = session_->workspace;
  const QString dir = ws.open() ? qs(ws.dir()) : frame_->dirs().workspace_dialog;
  const QStringList chosen =
      frame_->dialogs().chooseFiles(workspaceDialog(QStringLiteral("Open Workspace"), false, dir));
  if (!chosen.isEmpty()) openWorkspace(QFileInfo(chosen.front()).absoluteFilePath());
}

void ProjectController::closeWorkspace() {
  if (!letWorkspaceGo()) return;
  session_->close_workspace();
  projectChanged();
}

// ---- projects ----

void ProjectController::activateProject(const std::string& name) {
  if (!settleEditors()) return;
  syncProgramDir();
  session_->activate(name);
  projectChanged();
}

void ProjectController::selectActiveProject() {
  const std::string current = session_->project.open ? session_->project.name() : std::string();
  std::optional<std::string> name = zun::wb::selectActiveProject(frame_, session_->workspace, current);
  if (name && *name != current) activateProject(*name);
}

void ProjectController::insertProject() {
  if (!session_->workspace.open()) return;
  const QString chosen = chooseProjectFile(QStringLiteral("Open Project"), false, qs(session_->workspace.dir()));
  if (chosen.isEmpty()) return;
  const std::string path = path_canonicalize(chosen.toStdString());
  if (session_->workspace.find_by_path(path)) {
    error("There is already a project with this Path in the Workspace");
    return;
  }
  if (!session_->workspace.add_project(path, *this)) return;
  manager_->showWorkspace(session_->workspace);
  activateProject(path_base_name(path));
  writeWorkspace();
}

// Each new project lives in a directory of its own name, beside the name
// chosen: <dir>/<name>/<name>.m09.
void ProjectController::insertNewProject() {
  syncProgramDir();
  if (!session_->workspace.open()) {
    if (!question("There is no active workspace, create one ?")) return;
    createWorkspace();
    if (!session_->workspace.open()) return;
  }
  const QString chosen = chooseProjectFile(QStringLiteral("Create Project"), true, qs(session_->workspace.dir()));
  if (chosen.isEmpty()) return;
  const std::string file = path_canonicalize(chosen.toStdString());
  if (!check_project_name(file, *this)) return;
  const std::string base = path_base_name(file);
  const std::string path = path_dir_name(file) + "/" + base + "/" + base + ".m09";
  if (session_->workspace.find_by_path(path)) {
    error("There is already a project with this Path in the Workspace");
    return;
  }
  // A project file of that name outside the workspace is not overwritten unasked.
  if (QFileInfo::exists(qs(path)) &&
      !question(format("The project file '%s' exists already. Replace it with a new project?", path.c_str())))
    return;
  if (!settleEditors()) return;
  const std::string previous = session_->project.open ? session_->project.name() : std::string();
  session_->close_project();
  Project& p = session_->project;
  p.clear();
  p.program_dir = session_->program_dir();
  p.set_path(path);
  bool made = false;
  if (int type = selectProjectType(frame_)) {
    p.new_project_defaults(type);
    session_->set_config(config_id::debug);
    p.set_active_config(config_id::debug);
    ProjectSettingsDialog dialog(p, *this, frame_);
    made = dialog.exec() == QDialog::Accepted && finishNewProject();
  }
  if (!made) {
    p.clear();
    if (!previous.empty()) session_->activate(previous);
    projectChanged();
    return;
  }
  session_->workspace.add_project(path, *this);
  writeWorkspace();
  activateProject(base);
}

// The new project's directories and its file; false after the message box.
bool ProjectController::finishNewProject() {
  Project& p = session_->project;
  std::error_code ec;
  std::filesystem::create_directories(path_native(p.dir()), ec);
  if (!std::filesystem::is_directory(path_native(p.dir()), ec)) {
    error(format("Can not set directory '%s'", p.dir().c_str()));
    return false;
  }
  for (const ProjectConfig* c : {&p.debug, &p.final_}) {
    if (c->obj_dir.empty()) {
      error("No object directory specified");
      return false;
    }
    if (c->targ_dir.empty()) {
      error("No target directory specified");
      return false;
    }
  }
  p.bring_startup_in_line(p.debug.use_startup, *this);
  p.open = true;
  if (!written(session_->write_project())) {
    error("Failed writing project makefile");
    return false;
  }
  return true;
}

void ProjectController::removeProject(const std::string& name) {
  if (session_->project.open && session_->project.name() == name) {
    if (!settleEditors()) return;
    session_->close_project();
  }
  if (session_->workspace.remove_project(name, *this)) writeWorkspace();
  projectChanged();
}

void ProjectController::closeActiveProject() {
  if (!settleEditors()) return;
  session_->close_project();
  projectChanged();
}

void ProjectController::insertFiles() {
  Project& p = session_->project;
  if (!p.open) return;
  FileRequest request;
  request.title = QStringLiteral("Add File(s) to Project");
  request.filters = {QStringLiteral("Project File (.c,.h,.asm,.s09,.lsc) (*.c *.h *.asm *.s09 *.lsc)"),
                  QStringLiteral("All Files (*)")};
  request.dir = frame_->dirs().file_dialog;
  request.multiple = true;
  const QStringList chosen = frame_->dialogs().chooseFiles(request);
  if (chosen.isEmpty()) return;
  frame_->setFileDialogDir(QFileInfo(chosen.front()).absolutePath());
  for (const QString& file : chosen) p.add_file(QFileInfo(file).absoluteFilePath().toStdString(), "", 1, *this);
  writeProjectOrSay();
  manager_->showProjectFiles(p);
  manager_->expandOnly(qs(p.name()));
}

void ProjectController::projectSettings() {
  Project& p = session_->project;
  if (!p.open) return;
  ProjectSettingsDialog dialog(p, *this, frame_);
  if (dialog.exec() != QDialog::Accepted) return;
  syncProgramDir();
  p.bring_startup_in_line(p.debug.use_startup, *this);
  writeProjectOrSay();
  manager_->showProjectFiles(p);
  frame_->updateMenus();
}

void ProjectController::removeFile(const std::string& path) {
  Project& p = session_->project;
  if (!p.open || !p.remove_file(path)) return;
  writeProjectOrSay();
  manager_->showProjectFiles(p);
}

void ProjectController::fileProperties(const std::string& path) {
  if (path.empty()) return;
  const Project* p = session_->project.open ? &session_->project : nullptr;
  showFileProperties(frame_, path, p, *this);
}

// Only assembler and C sources have options of their own.
void ProjectController::fileSettings(const std::string& path) {
  ProjectFile* f = session_->project.open ? session_->project.find_by_path(path) : nullptr;
  if (!f || !is_source_kind(file_kind_of(f->path))) return;
  if (editFileSettings(frame_, *f)) writeProjectOrSay();
}

// Make without a file takes the file of the topmost editor, the one the
// menu's state was judged by.
void ProjectController::build(BuildCommand command, const std::string& path) {
  syncProgramDir();
  std::string file = path;
  if (command == BuildCommand::MakeFile && file.empty()) {
    QList<QMdiSubWindow*> stack = frame_->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    auto* editor = stack.isEmpty() ? nullptr : qobject_cast<EditorChild*>(stack.last()->widget());
    if (!editor) return;
    file = editor->path().toStdString();
  }
  session_->build(command, file);
  frame_->updateMenus();
}

// Closing the frame closes the project first, which writes its open editors
// into the project file; not while a tool runs, when the frame stays, nor
// when the user cancels the save question.
bool ProjectController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && event->type() == QEvent::Show && !manager_placed_) {
    manager_placed_ = true;
    QTimer::singleShot(0, manager_, &ProjectManagerWindow::showBeside);
  }
  // The frame's first size often comes after it was shown (a window
  // manager that maximises it); the areas of the frame are laid out by then.
  if (watched == frame_ && event->type() == QEvent::Resize && manager_->atItsPlace())
    QTimer::singleShot(0, manager_, [m = manager_] {
      if (m->atItsPlace()) m->place();
    });
  if (watched == frame_ && event->type() == QEvent::Close && !frame_->toolRunner()->running() &&
      session_->project.open) {
    if (!settleEditors()) {
      event->ignore();
      return true;
    }
    session_->close_project();
    projectChanged();
  }
  return QObject::eventFilter(watched, event);
}

void ProjectController::error(const std::string& text) { frame_->dialogs().error(qs(text)); }
void ProjectController::warning(const std::string& text) { frame_->dialogs().warning(qs(text)); }
bool ProjectController::question(const std::string& text) { return frame_->dialogs().question(qs(text)); }
void ProjectController::status(const std::string& text) { frame_->setStatus(qs(text)); }
void ProjectController::out(std::string_view text) { frame_->outPrint(text); }
void ProjectController::clear_output() { frame_->outOpenClear(); }
void ProjectController::show_output() { frame_->dispatch(cmd::output_window); }

void ProjectController::open_editor(const std::string& path) { frame_->editors()->open(qs(path)); }

// Every editor is settled (Yes, No, Save All, Discard all) and closed; the
// flows that close a project have settled them before, so nothing is asked
// here then.
void ProjectController::close_project_editors(const Project&) {
  EditorController* editors = frame_->editors();
  editors->askSaveAll();
  const QList<QPointer<EditorChild>> open = editors->editors();
  for (const auto& e : open)
    if (e)
      if (auto* sub = qobject_cast<QMdiSubWindow*>(e->parentWidget())) frame_->closeChild(sub);
}

std::optional<std::string> ProjectController::open_file_lines(const Project& project) {
  return frame_->editors()->writeOpenFiles(project);
}

void ProjectController::save_project_sources(const Project& project) {
  frame_->editors()->saveProjectSources(project);
}

void ProjectController::reload_changed() { frame_->editors()->reloadChanged(); }

bool ProjectController::remove_missing_files(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& p : paths) list += "\n" + p;
  return question(format("These files of the project can't be opened:%s\n\nRemove them from the project?",
                         list.c_str()));
}

}  // namespace zun::wb
