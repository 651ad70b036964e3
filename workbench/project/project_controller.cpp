// The Build menu's handlers and the project's questions, messages and
// editors, routed through the frame.
#include "workbench/project/project_controller.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "common/format.h"
#include "workbench/build/tool_runner.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"

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
  frame_->addStateProvider([this](WorkbenchState& st) {
    st.project_open = session_->project.open;
    st.workspace_open = session_->workspace.open();
    st.active_config = session_->config() == config_id::final_ ? Config::Final : Config::Debug;
  });
  frame_->setWorkspaceOpener([this](const QString& path) { openWorkspace(path); });
  frame_->installEventFilter(this);
}

// The workspace file is written last, as the workbench ends.
ProjectController::~ProjectController() {
  frame_->removeEventFilter(this);
  if (session_->workspace.open()) write_workspace(session_->workspace);
}

void ProjectController::syncProgramDir() {
  QString dir = program_dir_.isEmpty() ? frame_->dirs().bin : program_dir_;
  session_->set_program_dir(dir.toStdString());
}

void ProjectController::openWorkspace(const QString& path) {
  syncProgramDir();
  session_->command_line(path.toStdString());
  if (session_->workspace.open()) frame_->pushRecent(qs(session_->workspace.path()));
  projectChanged();
}

void ProjectController::projectChanged() {
  frame_->setProjectName(session_->project.open ? qs(session_->project.name()) : QStringLiteral("No Project"));
  frame_->updateMenus();
}

// Make takes the file of the topmost editor, the one the menu's state was
// judged by.
void ProjectController::build(BuildCommand command) {
  syncProgramDir();
  std::string file;
  if (command == BuildCommand::MakeFile) {
    QList<QMdiSubWindow*> stack = frame_->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    auto* editor = stack.isEmpty() ? nullptr : qobject_cast<EditorChild*>(stack.last()->widget());
    if (!editor) return;
    file = editor->path().toStdString();
  }
  session_->build(command, file);
  frame_->updateMenus();
}

// Closing the frame closes the project first, which writes its open editors
// into the project file; not while a tool runs, when the frame stays.
bool ProjectController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && event->type() == QEvent::Close && !frame_->toolRunner()->running() &&
      session_->project.open) {
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

// Every editor is settled (Yes, No, Save All, Discard all) and closed.
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
