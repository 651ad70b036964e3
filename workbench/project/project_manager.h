// The project manager: a small tool window of the frame that shows the open
// workspace as a tree (the workspace, its projects sorted by name, each
// project's file groups and files) and offers, by right click, the workspace,
// project and file commands. Closing it only hides it. The flows themselves
// are the project controller's.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "workbench/project/project_model.h"
#include "workbench/project/workspace.h"

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace zun::wb {

class FrameWindow;
class ProjectController;

class ProjectManagerWindow : public QWidget {
  Q_OBJECT

 public:
  // Item kinds, also the index of their icons.
  enum Kind { WorkspaceItem, ProjectItem, GroupItem, FileItem };
  // Choices of the three menus.
  enum Choice {
    WsProperties = 100, WsInsertNew = 101, WsInsertProject = 102, WsCreate = 105, WsOpen = 106, WsClose = 107,
    PrBuild = 100, PrBuildAll = 101, PrClean = 102, PrInsertFiles = 103, PrSettings = 104, PrSetActive = 105,
    PrRemove = 106, PrClose = 107, PrProperties = 108, PrDebug = 109, PrFinal = 110,
    FiEdit = 100, FiMake = 101, FiRemove = 102, FiProperties = 103, FiSettings = 104
  };

  ProjectManagerWindow(FrameWindow* frame, ProjectController* controller);

  // Shown where it first stands: 20 pixels right of the frame's top-left
  // corner and 220 below it, or lower, below the output window's first
  // place (`manager_place`).
  void showBeside();
  // To that place again, as the frame changes its size, while the window
  // stands where it was put.
  void place();
  bool atItsPlace() const { return isVisible() && geometry() == placed_; }

  QTreeWidget* tree() const { return tree_; }
  QTreeWidgetItem* root() const;
  QTreeWidgetItem* findProject(const QString& name) const;

  // The root text and one item per project, kept in name order; the items
  // of projects that stay keep their files.
  void showWorkspace(const Workspace& workspace);
  // The project's file items, rebuilt from its list.
  void showProjectFiles(const Project& project);
  // Collapses every project and expands this one (none: all stay collapsed).
  void expandOnly(const QString& name);

  // The menu an item offers (none for a group), its actions carrying the
  // choices; the caller owns it.
  QMenu* menuFor(QTreeWidgetItem* item);
  void choose(QTreeWidgetItem* item, int choice);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void contextMenu(const QPoint& pos);
  void doubleClicked(QTreeWidgetItem* item);
  void openFile(const std::string& path);
  QTreeWidgetItem* addProjectItem(const QString& name);
  void addDebugMenu(QMenu* menu);

  FrameWindow* frame_;
  ProjectController* controller_;
  QTreeWidget* tree_;
  int placed_height_ = 400;
  QRect placed_;
};

// The project a tree item belongs to (the item itself, or its ancestor).
QString projectNameOf(QTreeWidgetItem* item);

}  // namespace zun::wb
