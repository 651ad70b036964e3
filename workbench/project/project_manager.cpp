// The project manager's window, tree, icons and menus.
#include "workbench/project/project_manager.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/path.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"
#include "workbench/project/project_controller.h"

namespace zun::wb {

namespace {

constexpr int kind_role = Qt::UserRole + 1;  // the item kind
constexpr int path_role = Qt::UserRole;      // a file item's path

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

int kindOf(const QTreeWidgetItem* item) { return item ? item->data(0, kind_role).toInt() : -1; }

// The four 16-pixel images, drawn here: a workspace (a cabinet), a project
// (a box), a file group (a folder) and a file (a page with a folded corner).
QIcon drawIcon(int kind) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QColor(40, 40, 40));
  switch (kind) {
    case ProjectManagerWindow::WorkspaceItem:
      p.setBrush(QColor(120, 150, 200));
      p.drawRect(1, 1, 13, 13);
      p.drawLine(1, 5, 14, 5);
      p.drawLine(1, 10, 14, 10);
      p.setBrush(Qt::white);
      p.drawRect(6, 2, 3, 1);
      p.drawRect(6, 7, 3, 1);
      p.drawRect(6, 11, 3, 1);
      break;
    case ProjectManagerWindow::ProjectItem:
      p.setBrush(QColor(200, 80, 60));
      p.drawRect(1, 4, 13, 10);
      p.setBrush(QColor(230, 140, 110));
      p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(4, 1), QPoint(14, 1), QPoint(14, 4)}));
      break;
    case ProjectManagerWindow::GroupItem:
      p.setBrush(QColor(235, 200, 90));
      p.drawPolygon(QPolygon({QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(14, 5), QPoint(14, 13), QPoint(1, 13)}));
      break;
    default:
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
      p.drawLine(10, 1, 10, 4);
      p.drawLine(10, 4, 13, 4);
      p.setPen(QColor(120, 120, 120));
      for (int y = 7; y <= 11; y += 2) p.drawLine(5, y, 11, y);
      break;
  }
  return QIcon(pixmap);
}

QTreeWidgetItem* makeItem(int kind, const QString& text) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setData(0, kind_role, kind);
  item->setIcon(0, drawIcon(kind));
  return item;
}

QAction* addChoice(QMenu* menu, const char* text, int choice) {
  QAction* a = menu->addAction(QString::fromLatin1(text));
  a->setData(choice);
  return a;
}

}  // namespace

QString projectNameOf(QTreeWidgetItem* item) {
  while (item && kindOf(item) != ProjectManagerWindow::ProjectItem) item = item->parent();
  return item ? item->text(0).section(QLatin1Char(';'), 0, 0) : QString();
}

ProjectManagerWindow::ProjectManagerWindow(FrameWindow* frame, ProjectController* controller)
    : QWidget(frame, Qt::Tool), frame_(frame), controller_(controller) {
  setObjectName(QStringLiteral("ZUNKY09##pmwClass"));
  setWindowTitle(QStringLiteral("Project Manager"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("ProjectTree"));
  tree_->setHeaderHidden(true);
  // Long names scroll sideways rather than being cut short.
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->header()->setStretchLastSection(false);
  tree_->setFont(frame->fonts().tree);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->setExpandsOnDoubleClick(true);
  tree_->addTopLevelItem(makeItem(WorkspaceItem, QStringLiteral("No Workspace")));
  layout->addWidget(tree_);
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, &ProjectManagerWindow::contextMenu);
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { doubleClicked(item); });
  resize(200, 400);
}

void ProjectManagerWindow::showBeside() {
  show();
  place();
  raise();
  frame_->updateMenus();
}

// Its place keeps the output window's lines and the status bar clear. The
// window system tells the height of its title bar once it is shown; until
// then a title bar of the style's height is allowed for.
void ProjectManagerWindow::place() {
  const QWidget* viewport = frame_->mdiArea()->viewport();
  const QPoint area = viewport->mapTo(frame_, QPoint(0, 0));
  const int title = std::max(frameGeometry().height() - height(), style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const WindowRect r = manager_place({area.x(), area.y(), viewport->width(), viewport->height()}, width(),
                                     placed_height_ + title, 150 + title);
  move(frame_->geometry().topLeft() + QPoint(r.x, r.y));
  resize(width(), r.height - title);
  placed_ = geometry();
}

QTreeWidgetItem* ProjectManagerWindow::root() const { return tree_->topLevelItem(0); }

QTreeWidgetItem* ProjectManagerWindow::findProject(const QString& name) const {
  for (int i = 0; i < root()->childCount(); ++i)
    if (projectNameOf(root()->child(i)) == name) return root()->child(i);
  return nullptr;
}

QTreeWidgetItem* ProjectManagerWindow::addProjectItem(const QString& name) {
  QTreeWidgetItem* item = makeItem(ProjectItem, name);
  int at = 0;
  while (at < root()->childCount() && root()->child(at)->text(0) < name) ++at;
  root()->insertChild(at, item);
  for (std::string_view group : file_groups) item->addChild(makeItem(GroupItem, qs(group)));
  return item;
}

void ProjectManagerWindow::showWorkspace(const Workspace& workspace) {
  QTreeWidgetItem* top = root();
  if (!workspace.open()) {
    top->setText(0, QStringLiteral("No Workspace"));
    qDeleteAll(top->takeChildren());
    return;
  }
  top->setText(0, QStringLiteral("Workspace '%1': %2 project(s)")
                      .arg(qs(workspace.name()))
                      .arg(static_cast<int>(workspace.projects.size())));
  auto listed = [&workspace](const QString& name) {
    for (const WorkspaceProject& p : workspace.projects)
      if (qs(p.name) == name) return true;
    return false;
  };
  for (int i = top->childCount() - 1; i >= 0; --i)
    if (!listed(projectNameOf(top->child(i)))) delete top->takeChild(i);
  // A project whose file could not be found is shown greyed, as missing.
  for (const WorkspaceProject& p : workspace.projects) {
    QTreeWidgetItem* item = findProject(qs(p.name));
    if (!item) item = addProjectItem(qs(p.name));
    item->setText(0, p.missing ? qs(p.name) + QStringLiteral("; (missing)") : qs(p.name));
    item->setForeground(0, p.missing ? tree_->palette().brush(QPalette::Disabled, QPalette::Text)
                                     : tree_->palette().brush(QPalette::Active, QPalette::Text));
  }
  top->setExpanded(true);
}

void ProjectManagerWindow::showProjectFiles(const Project& project) {
  QTreeWidgetItem* item = findProject(qs(project.name()));
  if (!item) return;
  for (int g = 0; g < item->childCount(); ++g) qDeleteAll(item->child(g)->takeChildren());
  for (const ProjectFile& f : project.files) {
    QTreeWidgetItem* group = item->child(file_group_of(f.path));
    QTreeWidgetItem* file = makeItem(FileItem, qs(f.name));
    file->setData(0, path_role, qs(f.path));
    file->setToolTip(0, qs(f.path));
    group->addChild(file);
  }
  for (int g = 0; g < item->childCount(); ++g) item->child(g)->sortChildren(0, Qt::AscendingOrder);
}

void ProjectManagerWindow::expandOnly(const QString& name) {
  for (int i = 0; i < root()->childCount(); ++i) {
    QTreeWidgetItem* project = root()->child(i);
    const bool open = projectNameOf(project) == name;
    project->setExpanded(open);
    for (int g = 0; g < project->childCount(); ++g) project->child(g)->setExpanded(open);
  }
}

void ProjectManagerWindow::addDebugMenu(QMenu* menu) {
  QMenu* debug = menu->addMenu(QStringLiteral("&Debug"));
  QMenu* source = debug->addMenu(QStringLiteral("&Source Level"));
  const std::pair<const char*, int> source_items[] = {{"&Run Simulator", cmd::run_simulator},
                                                      {"&Select Simulator Configuration", cmd::select_sim_config},
                                                      {"&Edit Simulator Configuration", cmd::edit_sim_config},
                                                      {"&Clear Simulator Configuration", cmd::clear_sim_config}};
  for (const auto& [text, id] : source_items) addChoice(source, text, id)->setEnabled(frame_->hasReceiver(id));
  debug->addSeparator();
  addChoice(debug, "&Machine Level", cmd::machine_level)->setEnabled(frame_->hasReceiver(cmd::machine_level));
  debug->addSeparator();
  // COM1..COM8 are the frame's port commands 41001..41008.
  QMenu* ports = debug->addMenu(QStringLiteral("&Open Terminal"));
  for (int n = 0; n < 8; ++n) {
    const int id = cmd::terminal_port_first + n;
    QAction* a = ports->addAction(QStringLiteral("COM&%1").arg(n + 1));
    a->setData(id);
    a->setEnabled(frame_->portExists(n) && frame_->hasReceiver(id));
  }
}

QMenu* ProjectManagerWindow::menuFor(QTreeWidgetItem* item) {
  const int kind = kindOf(item);
  if (kind != WorkspaceItem && kind != ProjectItem && kind != FileItem) return nullptr;
  auto* menu = new QMenu(this);
  const ProjectSession& s = controller_->session();
  if (kind == WorkspaceItem) {
    if (s.workspace.open()) {
      addChoice(menu, "Properties", WsProperties);
      menu->addSeparator();
      addChoice(menu, "Close Workspace", WsClose);
      menu->addSeparator();
      addChoice(menu, "Insert New Project", WsInsertNew);
      addChoice(menu, "Insert Project", WsInsertProject);
    } else {
      addChoice(menu, "Create New Workspace", WsCreate);
      addChoice(menu, "Open Workspace", WsOpen);
    }
  } else if (kind == ProjectItem) {
    if (!s.project.open || qs(s.project.name()) != projectNameOf(item)) {
      addChoice(menu, "Set as Active Project", PrSetActive);
      menu->addSeparator();
      addChoice(menu, "Remove Project from Workspace", PrRemove);
    } else {
      addChoice(menu, "Build", PrBuild);
      addChoice(menu, "Build All", PrBuildAll);
      addChoice(menu, "Clean", PrClean);
      menu->addSeparator();
      addDebugMenu(menu);
      menu->addSeparator();
      QMenu* config = menu->addMenu(QStringLiteral("&Configuration"));
      const bool final = s.config() == config_id::final_;
      addChoice(config, "&Debug", PrDebug)->setEnabled(final);
      addChoice(config, "&Final", PrFinal)->setEnabled(!final);
      menu->addSeparator();
      addChoice(menu, "Insert Files into Project", PrInsertFiles);
      menu->addSeparator();
      addChoice(menu, "Close Active Project", PrClose);
      menu->addSeparator();
      addChoice(menu, "Settings", PrSettings);
      addChoice(menu, "Properties", PrProperties);
    }
  } else {
    addChoice(menu, "Edit", FiEdit);
    const std::string path = item->data(0, path_role).toString().toStdString();
    if (s.project.open && qs(s.project.name()) == projectNameOf(item) && s.project.find_by_path(path)) {
      menu->addSeparator();
      addChoice(menu, "Make", FiMake)->setEnabled(is_source_kind(file_kind_of(path)));
      menu->addSeparator();
      addChoice(menu, "Remove File from Project", FiRemove);
      menu->addSeparator();
      addChoice(menu, "Properties", FiProperties);
      addChoice(menu, "Settings", FiSettings)->setEnabled(is_source_kind(file_kind_of(path)));
    }
  }
  return menu;
}

void ProjectManagerWindow::choose(QTreeWidgetItem* item, int choice) {
  const int kind = kindOf(item);
  ProjectController& c = *controller_;
  if (kind == WorkspaceItem) {
    switch (choice) {
      case WsProperties: c.fileProperties(c.session().workspace.path()); break;
      case WsInsertNew: c.insertNewProject(); break;
      case WsInsertProject: c.insertProject(); break;
      case WsCreate: c.createWorkspace(); break;
      case WsOpen: c.openWorkspaceDialog(); break;
      case WsClose: c.closeWorkspace(); break;
      default: break;
    }
  } else if (kind == ProjectItem) {
    const std::string name = projectNameOf(item).toStdString();
    switch (choice) {
      case PrBuild: c.build(BuildCommand::BuildMenu); break;
      case PrBuildAll: c.build(BuildCommand::BuildAll); break;
      case PrClean: c.build(BuildCommand::Clean); break;
      case PrInsertFiles: c.insertFiles(); break;
      case PrSettings: c.projectSettings(); break;
      case PrSetActive: c.activateProject(name); break;
      case PrRemove: c.removeProject(name); break;
      case PrClose: c.closeActiveProject(); break;
      case PrProperties: c.fileProperties(c.session().project.path()); break;
      case PrDebug: frame_->dispatch(cmd::config_debug); break;
      case PrFinal: frame_->dispatch(cmd::config_final); break;
      default: frame_->dispatch(choice); break;
    }
  } else if (kind == FileItem) {
    const std::string path = item->data(0, path_role).toString().toStdString();
    switch (choice) {
      case FiEdit: openFile(path); break;
      case FiMake: c.build(BuildCommand::MakeFile, path); break;
      case FiRemove: c.removeFile(path); break;
      case FiProperties: c.fileProperties(path); break;
      case FiSettings: c.fileSettings(path); break;
      default: break;
    }
  }
  frame_->updateMenus();
}

// The item under the mouse becomes the selected one; its menu opens below it.
void ProjectManagerWindow::contextMenu(const QPoint& pos) {
  QTreeWidgetItem* item = tree_->itemAt(pos);
  if (!item) return;
  tree_->setCurrentItem(item);
  tree_->scrollToItem(item);
  QMenu* menu = menuFor(item);
  if (!menu) return;
  const QRect rect = tree_->visualItemRect(item);
  QAction* chosen = menu->exec(tree_->viewport()->mapToGlobal(QPoint(rect.left() + 10, rect.bottom())));
  const int choice = chosen ? chosen->data().toInt() : 0;
  menu->deleteLater();
  if (choice) choose(item, choice);
}

void ProjectManagerWindow::doubleClicked(QTreeWidgetItem* item) {
  if (kindOf(item) == FileItem) openFile(item->data(0, path_role).toString().toStdString());
}

// The editor, new or already open, takes the keys from the tree.
void ProjectManagerWindow::openFile(const std::string& path) {
  if (EditorChild* editor = frame_->editors()->open(qs(path))) frame_->focusEditor(editor);
}

void ProjectManagerWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  frame_->updateMenus();
}

}  // namespace zun::wb
