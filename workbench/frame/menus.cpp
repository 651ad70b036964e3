// Both menu bars, built once from the core's menu tables, and their upkeep:
// one updateMenus applies the enabling rules to every action, switches
// between the normal and the debugging bar, and refreshes the recent
// workspaces and the caption.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "workbench/build/output_child.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"

namespace zun::wb {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

// Builds one menu from its table; submenus are attached by their own
// functions, so the order of calls below follows the menu bar.
QMenu* FrameWindow::buildMenu(MenuId id, const QString& title) {
  auto* menu = new QMenu(title, this);
  menus_[id] = menu;
  connect(menu, &QMenu::aboutToShow, this, &FrameWindow::updateMenus);
  for (const MenuItem& item : menu_items(id)) {
    if (item.sub) {
      auto it = menus_.find(*item.sub);
      menu->addMenu(it != menus_.end() ? it->second : buildMenu(*item.sub, qs(item.text)));
    } else if (item.id == 0) {
      menu->addSeparator();
    } else {
      const QString keys = accelerator_text(item.id);
      QAction* a = menu->addAction(keys.isEmpty() ? qs(item.text) : qs(item.text) + u'\t' + keys);
      a->setData(item.id);
      const int cid = item.id;
      connect(a, &QAction::triggered, this, [this, cid] { choose(cid); });
      actions_[item.id] = a;
    }
  }
  return menu;
}

void FrameWindow::createMenus() {
  createFileMenu();
  createEditMenu();
  createProjectMenu();
  createBuildMenu();
  createDebugMenus();
  createWindowsMenu();
  createHelpMenu();
  for (MenuId top : {MenuId::File, MenuId::Edit, MenuId::Project, MenuId::Build, MenuId::Debug,
                     MenuId::Debugger, MenuId::Windows, MenuId::Help})
    menuBar()->addMenu(menus_[top]);
  menus_[MenuId::Debugger]->menuAction()->setVisible(false);
}

void FrameWindow::createFileMenu() {
  buildMenu(MenuId::File, QStringLiteral("&File"));
  action(cmd::recent_first)->setEnabled(false);
}

void FrameWindow::createEditMenu() { buildMenu(MenuId::Edit, QStringLiteral("&Edit")); }

void FrameWindow::createProjectMenu() { buildMenu(MenuId::Project, QStringLiteral("&Project")); }

void FrameWindow::createBuildMenu() { buildMenu(MenuId::Build, QStringLiteral("&Build")); }

// The Open Terminal submenu is one menu shown by both debug menus; the
// terminal controller fills it with the ports it finds when it opens.
void FrameWindow::createDebugMenus() {
  QMenu* ports = buildMenu(MenuId::OpenTerminal, QStringLiteral("&Open Terminal"));
  connect(ports, &QMenu::aboutToShow, this, &FrameWindow::rebuildPortsMenu);
  buildMenu(MenuId::Debug, QStringLiteral("&Debug"));
  buildMenu(MenuId::Debugger, QStringLiteral("&Debug"));
}

void FrameWindow::createWindowsMenu() {
  QMenu* windows = buildMenu(MenuId::Windows, QStringLiteral("&Windows"));
  connect(windows, &QMenu::aboutToShow, this, &FrameWindow::rebuildWindowList);
}

// The list of MDI windows follows the three commands, rebuilt as the menu opens.
void FrameWindow::rebuildWindowList() {
  QMenu* windows = menus_[MenuId::Windows];
  for (QAction* a : windows->actions())
    if (a->property("windowList").toBool()) {
      windows->removeAction(a);
      a->deleteLater();
    }
  const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
  if (!subs.isEmpty()) windows->addSeparator()->setProperty("windowList", true);
  int n = 1;
  for (QMdiSubWindow* sub : subs) {
    QAction* a = windows->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
    a->setProperty("windowList", true);
    a->setCheckable(true);
    a->setChecked(sub == mdi_->activeSubWindow());
    connect(a, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
  }
}

void FrameWindow::createHelpMenu() { buildMenu(MenuId::Help, QStringLiteral("&Help")); }

void FrameWindow::updateMenus() {
  const WorkbenchState state = describeState();
  const CommandStates enabling = menu_enabling(state);
  for (auto& [id, a] : actions_)
    if (id != cmd::recent_first || !recent_.at(0).empty()) a->setEnabled(enabling.enabled(id) && hasReceiver(id));
  const bool debugging = active_menu_bar(state) == MenuId::DebugBar;
  menus_[MenuId::Build]->menuAction()->setVisible(!debugging);
  menus_[MenuId::Debug]->menuAction()->setVisible(!debugging);
  menus_[MenuId::Debugger]->menuAction()->setVisible(debugging);
  updateRecentMenu();
  updateCaption();
  // The caret position is an editor's; with none left it would name a
  // line of a file no longer shown.
  if (editors_->count() == 0) status_position_->clear();
}

// A port exists when its device can be opened for reading and writing; it is
// closed again at once.
bool FrameWindow::portExists(int n) const {
  if (port_probe_) return port_probe_(n);
  std::string dev = serial_port_path(n);
  int fd = dev.empty() ? -1 : ::open(dev.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  return fd >= 0 && ::close(fd) == 0;
}

void FrameWindow::rebuildPortsMenu() {
  QMenu* menu = menus_[MenuId::OpenTerminal];
  for (QAction* a : menu->actions()) {
    actions_.erase(a->data().toInt());
    menu->removeAction(a);
    a->deleteLater();
  }
  const QString none = ports_refresh_ ? ports_refresh_() : QString();
  for (int n = 0; n <= cmd::terminal_port_last - cmd::terminal_port_first; ++n) {
    if (!portExists(n)) continue;
    const int id = cmd::terminal_port_first + n;
    QAction* a = menu->addAction(qs(terminal_port_text(n)));
    a->setData(id);
    a->setEnabled(hasReceiver(id));
    connect(a, &QAction::triggered, this, [this, id] { choose(id); });
    actions_[id] = a;
  }
  if (menu->actions().isEmpty() && !none.isEmpty()) menu->addAction(none)->setEnabled(false);
}

void FrameWindow::updateRecentMenu() {
  QMenu* menu = menus_[MenuId::RecentWorkspaces];
  for (int i = 0; i < RecentWorkspaces::slot_count; ++i) {
    const int id = cmd::recent_first + i;
    const std::string& path = recent_.at(i);
    QAction* a = action(id);
    if (path.empty()) {
      if (a && i > 0) a->setVisible(false);
      continue;
    }
    if (!a) {
      a = menu->addAction(QString());
      a->setData(id);
      connect(a, &QAction::triggered, this, [this, id] { choose(id); });
      actions_[id] = a;
    }
    a->setText(qs(recent_item_text(i, path)));
    a->setVisible(true);
    a->setEnabled(hasReceiver(id));
  }
}

// The commands the active child takes: the editors' file and edit items
// and the debugger window's run control. Their items are greyed by the
// enabling rules unless a child that takes them is active.
bool FrameWindow::hasReceiver(int id) const {
  static constexpr int child_items[] = {cmd::save,  cmd::save_as, cmd::print,      cmd::cut,       cmd::copy,
                                        cmd::paste, cmd::clear,   cmd::select_all, cmd::save_accel};
  if (std::find(std::begin(child_items), std::end(child_items), id) != std::end(child_items)) return true;
  if (id == cmd::open_file_accel) return hasReceiver(cmd::open_file_first);
  if (id >= cmd::dbg_next && id <= cmd::dbg_break) return true;
  if (id >= cmd::recent_first && id <= cmd::recent_last) return handlers_.count(cmd::recent_first) > 0;
  if (id >= cmd::terminal_port_first && id <= cmd::terminal_port_last) return handlers_.count(cmd::open_terminal) > 0;
  return handlers_.count(id) > 0;
}

void FrameWindow::updateCaption() {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  auto* editor = sub ? qobject_cast<EditorChild*>(sub->widget()) : nullptr;
  std::optional<std::string> name;
  if (editor) name = editor->title().toStdString();
  caption_ = qs(frame_caption(project_name_.toStdString(), name ? std::optional<std::string_view>(*name) : std::nullopt,
                              editor && editor->modified()));
  setWindowTitle(caption_);
}

}  // namespace zun::wb
