// The workbench's side of projects and builds: the workspace and project
// commands of the File and Project menus and of the project manager, the
// Build menu (Make, Build, Build All, Clean, the Debug/Final configuration),
// Update dependencies, the workspace named on the command line, and the
// project's part of the menus' state. A thin Qt layer over ProjectSession.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "workbench/project/project_session.h"

namespace zun::wb {

class FrameWindow;
class ProjectManagerWindow;

class ProjectController : public QObject, public SessionHost {
  Q_OBJECT

 public:
  explicit ProjectController(FrameWindow* frame);
  ~ProjectController() override;

  ProjectSession& session() { return *session_; }
  // Where the tools, the startup file and the standard headers are looked
  // for; the frame's program directory unless set here (tests).
  void setProgramDir(const QString& dir) { program_dir_ = dir; }
  void openWorkspace(const QString& path);

  // The project manager window; the debugger hides it while it runs.
  ProjectManagerWindow* manager() const { return manager_; }
  void showManager(bool show);
  bool managerShown() const;
  // A debugging session hides the manager as it starts; as it ends the
  // manager comes back if it was shown then.
  void hideManagerForSession();
  void restoreManagerAfterSession();

  // The debugging session, which does not outlive the workspace: whether
  // one is open, and its end.
  std::function<bool()> debugging_open;
  std::function<void()> end_debugging;

  // Workspace and project flows (menus and the project manager).
  void createWorkspace();
  void openWorkspaceDialog();
  void closeWorkspace();
  void insertNewProject();
  void insertProject();
  void activateProject(const std::string& name);
  void selectActiveProject();
  void removeProject(const std::string& name);
  void closeActiveProject();
  void insertFiles();
  void projectSettings();
  void removeFile(const std::string& path);
  void fileProperties(const std::string& path);
  void fileSettings(const std::string& path);
  void build(BuildCommand command, const std::string& file = {});

  // SessionHost
  void error(const std::string& text) override;
  void warning(const std::string& text) override;
  bool question(const std::string& text) override;
  void status(const std::string& text) override;
  void out(std::string_view text) override;
  void clear_output() override;
  void show_output() override;
  void open_editor(const std::string& path) override;
  void close_project_editors(const Project& project) override;
  std::optional<std::string> open_file_lines(const Project& project) override;
  void save_project_sources(const Project& project) override;
  void reload_changed() override;
  bool remove_missing_files(const std::vector<std::string>& paths) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void syncProgramDir();
  bool settleEditors();
  bool letWorkspaceGo();
  void projectChanged();
  bool writeProjectOrSay();
  bool writeWorkspace();
  QString chooseProjectFile(const QString& title, bool save, const QString& dir);
  bool finishNewProject();

  ProjectManagerWindow* manager_ = nullptr;
  bool manager_placed_ = false;  // shown once beside the frame
  bool manager_held_ = false;       // hidden by a debugging session
  bool manager_returning_ = false;  // shown again once the events are done
  FrameWindow* frame_;
  std::unique_ptr<ProjectSession> session_;
  QString program_dir_;
  QString dialog_root_;  // the folder the file dialogs were last moved to
};

}  // namespace zun::wb
