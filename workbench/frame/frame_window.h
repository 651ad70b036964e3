// The frame (ZunFrame): a main window over an MDI area with the menu bar, the
// status bar and the output window. Every menu item and accelerator carries
// its command id, and one dispatcher routes ids: recent workspaces, terminal
// ports, the frame's own handlers, else the active child. Features live in
// controllers that register their handlers with the frame.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSettings>
#include <functional>
#include <map>
#include <memory>

#include "workbench/core/workbench_core.h"
#include "workbench/build/output_child.h"
#include "workbench/editor/file_access.h"
#include "workbench/frame/mdi_child.h"
#include "workbench/frame/user_dialogs.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace zun::wb {

class EditorChild;
class EditorController;
class FileAccess;
class OutputChild;
class ToolRunner;
class UserDialogs;

// Directories the frame keeps for the whole run; '/' separators.
struct FrameDirs {
  QString bin;          // where the program lies
  QString start;        // the start directory
  QString file_dialog;  // where the file dialogs open next
  QString workspace_dialog;
  QString load_file_dir;
  QString help_index;
  QString workspace;  // the open workspace's and the active project's
  QString project;    // directories, empty without one
};

// The keys of the accelerator that a menu item shows beside its text, or
// nothing.
QString accelerator_text(int menu_item);

class FrameWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Null dialogs or access give the real ones; tests pass their own.
  explicit FrameWindow(std::unique_ptr<UserDialogs> dialogs = nullptr,
                       std::unique_ptr<FileAccess> access = nullptr);
  ~FrameWindow() override;

  // Directories, recent workspaces, the command-line workspace (already made
  // absolute by main) and the first menu update.
  void startUp(const QString& workspaceArg);

  // The project controller opens workspaces (command line and recent list).
  void setWorkspaceOpener(std::function<void(const QString&)> opener) { workspace_opener_ = std::move(opener); }
  void pushRecent(const QString& path);
  // The project name the caption shows; "No Project" without one.
  void setProjectName(const QString& name) { project_name_ = name; }
  // The S-record file the simulator, the debugger and the terminal load,
  // chosen in the Load File dialog. It offers what `offer` names (the active
  // project's load file), else the file chosen last.
  bool selectLoadFile();
  void setLoadFileOffer(std::function<QString()> offer) { load_file_offer_ = std::move(offer); }
  void clearLoadFile() { load_file_.clear(); }
  const QString& loadFile() const { return load_file_; }
  // Which serial port indexes exist; tests replace the probe of the devices.
  void setPortProbe(std::function<bool(int)> probe) { port_probe_ = std::move(probe); }
  bool portExists(int port_index) const;
  // Runs as the Open Terminal menu opens, before the probe (the terminals
  // read their ports anew); gives what the menu says when it offers no port.
  void setPortsRefresh(std::function<QString()> refresh) { ports_refresh_ = std::move(refresh); }
  // Where the workspace and project shortcuts of the file dialogs start.
  void setProjectDirs(const QString& workspace, const QString& project);
  // Where the next file dialog opens.
  void setFileDialogDir(const QString& dir) { dirs_.file_dialog = dir; }

  void dispatch(int id, qintptr param = 0);
  // A command the user chose (a menu item or an accelerator): dispatched,
  // then the keys go back to the active editor.
  void choose(int id);
  void registerCommand(int id, std::function<void(qintptr)> handler);
  // True when choosing the command does something: the frame or a controller
  // handles it, or it goes to the active child. Menu items of commands
  // without a receiver stay greyed.
  bool hasReceiver(int id) const;
  // Controllers add what they know (project, workspace, simulator, debugger)
  // to the state the enabling rules read.
  void addStateProvider(std::function<void(WorkbenchState&)> provider);
  void updateMenus();

  void outPrint(std::string_view text);
  void outOpenClear();
  void setStatus(const QString& text);
  int runTool(const QString& program, const QString& args, const QString& statusText);
  int runProcess(const QString& commandLine);

  // Closes one child: it settles its work, then the frame deletes it.
  bool closeChild(QMdiSubWindow* sub);
  // Moves a new child to the place `place_window` gives for `wanted` among
  // the children shown in the area, editors apart, and clear of the
  // frame's tool windows shown over it; `clear_of_active` for a window that
  // opens in front of the active one, which it should hide the least of.
  void placeChild(QMdiSubWindow* sub, QPoint wanted, bool clear_of_active = false);
  // An editor opened from a window of the frame's own (the project
  // manager) takes the keys, as after a menu command: the frame becomes
  // the active window once the events of the moment are done.
  void focusEditor(EditorChild* editor);

  QMdiArea* mdiArea() const { return mdi_; }
  OutputChild* output() const { return output_; }
  EditorController* editors() const { return editors_; }
  ToolRunner* toolRunner() const { return runner_; }
  UserDialogs& dialogs() const { return *dialogs_; }
  const FrameDirs& dirs() const { return dirs_; }
  const RecentWorkspaces& recent() const { return recent_; }
  const SharedFonts& fonts() const { return fonts_; }
  const QString& version() const { return version_; }
  WorkbenchState describeState() const;
  QMenu* menu(MenuId id) const { return menus_.at(id); }
  QAction* action(int id) const;
  QLabel* statusText() const { return status_text_; }

 signals:
  // The frame has closed for good: every child agreed and none is left.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolBars();
  void createDocks();
  void createFileMenu();
  void createEditMenu();
  void createProjectMenu();
  void createBuildMenu();
  void createDebugMenus();
  void createWindowsMenu();
  void createHelpMenu();
  QMenu* buildMenu(MenuId id, const QString& title);
  void registerFrameCommands();
  void updateRecentMenu();
  void rebuildPortsMenu();
  void rebuildWindowList();
  void updateCaption();
  void createFonts();
  void initDirectories(const QString& workspaceArg);
  void loadRecent();
  void saveRecent();

  void showOutputWindow();
  void sendLoadFileToTopChild(bool choose);
  void closeAll();
  void goToLine();
  QString startDirFor(StartDir which) const;
  void fileDialogCommand(int id);
  MdiChild* activeChild() const;
  void focusActiveEditor();
  QMdiSubWindow* addChild(QWidget* widget, const char* className);

  std::unique_ptr<UserDialogs> dialogs_;
  std::unique_ptr<FileAccess> access_;
  QMdiArea* mdi_ = nullptr;
  QLabel* status_text_ = nullptr;
  QLabel* status_position_ = nullptr;
  QPointer<OutputChild> output_;
  EditorController* editors_ = nullptr;
  ToolRunner* runner_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<MenuId, QMenu*> menus_;
  std::map<int, std::function<void(qintptr)>> handlers_;
  std::vector<std::function<void(WorkbenchState&)>> state_providers_;
  SharedFonts fonts_;
  FrameDirs dirs_;
  RecentWorkspaces recent_;
  QSettings settings_{QStringLiteral("KVT"), QStringLiteral("ZUN09")};
  QString version_;
  std::function<void(const QString&)> workspace_opener_;
  std::function<bool(int)> port_probe_;
  std::function<QString()> ports_refresh_;
  std::function<QString()> load_file_offer_;
  QString load_file_;
  QString caption_;  // as updateCaption wrote it
  QString project_name_ = QStringLiteral("No Project");
};

}  // namespace zun::wb
