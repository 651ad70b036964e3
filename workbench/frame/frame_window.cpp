// The frame window: its construction, the command dispatcher and the frame's
// own command handlers, start-up directories, the recent-workspace store and
// the close protocol of the whole window.
#include "workbench/frame/frame_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include "common/path.h"
#include "workbench/build/output_child.h"
#include "workbench/build/tool_runner.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/editor/file_access.h"
#include "workbench/frame/cascade.h"
#include "workbench/frame/user_dialogs.h"

namespace zun::wb {

namespace {

// The accelerator table: each accelerator's command, its keys, and the menu
// item whose text shows them.
struct Accelerator {
  int id;
  QKeyCombination keys;
  int menu_item;
};
const Accelerator accelerators[] = {
    {cmd::open_file_accel, Qt::CTRL | Qt::Key_O, cmd::open_file_first},
    {cmd::save_accel, Qt::CTRL | Qt::Key_S, cmd::save},
    {cmd::find_accel, Qt::CTRL | Qt::Key_F, cmd::find_replace},
};

}  // namespace

QString accelerator_text(int menu_item) {
  for (const Accelerator& a : accelerators)
    if (a.menu_item == menu_item) return QKeySequence(a.keys).toString(QKeySequence::NativeText);
  return {};
}

FrameWindow::FrameWindow(std::unique_ptr<UserDialogs> dialogs, std::unique_ptr<FileAccess> access)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>(this)),
      access_(access ? std::move(access) : std::make_unique<FileAccess>()) {
  createActions();
  createMenus();
  createToolBars();
  createDocks();
}

// The children go after the frame's own part is gone; none of their last
// signals may reach it.
FrameWindow::~FrameWindow() {
  mdi_->disconnect(this);
  editors_->disconnect(this);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->removeEventFilter(this);
}

void FrameWindow::createActions() {
  setObjectName(QStringLiteral("ZunFrame"));
  setWindowTitle(QString::fromUtf8(product_title.data(), static_cast<int>(product_title.size())));
  // Accelerators are actions of their own, enabled whatever the menus
  // show; the menu items only name their keys.
  for (const Accelerator& acc : accelerators) {
    auto* a = new QAction(this);
    a->setShortcut(acc.keys);
    a->setData(acc.id);
    const int id = acc.id;
    connect(a, &QAction::triggered, this, [this, id] { choose(id); });
    addAction(a);
    actions_[id] = a;
  }
  registerFrameCommands();
}

// The frame has no tool bar; its other bar is the status bar: the state text
// and, at the right, the caret position of the active editor.
void FrameWindow::createToolBars() {
  status_text_ = new QLabel(QStringLiteral("Ready"));
  status_position_ = new QLabel;
  status_position_->setMinimumWidth(160);
  statusBar()->setObjectName(QStringLiteral("status bar 88"));
  statusBar()->addWidget(status_text_, 1);
  statusBar()->addPermanentWidget(status_position_);
}

void FrameWindow::createDocks() {
  createFonts();
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (auto* editor = sub ? qobject_cast<EditorChild*>(sub->widget()) : nullptr) editor->activated();
    updateMenus();
  });
  EditorEnv env;
  env.dialogs = dialogs_.get();
  env.access = access_.get();
  env.status = [this](const QString& text) { setStatus(text); };
  env.position = [this](const QString& text) { status_position_->setText(text); };
  env.dialogDir = [this] { return dirs_.file_dialog; };
  env.dialogChosen = [this](const QString& file) { dirs_.file_dialog = QFileInfo(file).absolutePath(); };
  env.addChild = [this](QWidget* widget, const char* className) { return addChild(widget, className); };
  editors_ = new EditorController(mdi_, env, this);
  connect(editors_, &EditorController::editorStateChanged, this, &FrameWindow::updateCaption);
  runner_ = new ToolRunner([this](std::string_view text) { outPrint(text); },
                           [this](const QString& text) { setStatus(text); }, this);
}

void FrameWindow::createFonts() {
  fonts_.text = QFont(QStringLiteral("Liberation Mono"), 10);
  fonts_.text.setStyleHint(QFont::TypeWriter);
  fonts_.text.setWeight(QFont::Light);
  QFontMetrics fm(fonts_.text);
  fonts_.row_height = fm.lineSpacing();
  fonts_.char_width = std::max(1, fm.averageCharWidth());
  // The cell font's cell (ascent plus descent) is a row high. A Qt pixel size
  // is the character height without the internal leading, so the text font
  // itself is that font; a larger one would draw wider than the character
  // width that the output window wraps its lines at.
  fonts_.cell = fonts_.text;
  fonts_.large = QFont(QStringLiteral("Liberation Mono"), 12);
  fonts_.tree = QFont(QStringLiteral("Liberation Mono"), 9);
  fonts_.row_height = std::max(fonts_.row_height, QFontMetrics(fonts_.cell).height());
}

// The frame's own handlers; the build, project, simulator and debugger
// controllers add theirs through registerCommand.
void FrameWindow::registerFrameCommands() {
  registerCommand(cmd::output_window, [this](qintptr) { showOutputWindow(); });
  registerCommand(cmd::close_file, [this](qintptr) {
    if (QMdiSubWindow* sub = mdi_->activeSubWindow()) closeChild(sub);
    updateCaption();
  });
  registerCommand(cmd::save_all, [this](qintptr) {
    editors_->saveModified();
    updateCaption();
  });
  registerCommand(cmd::exit, [this](qintptr) { close(); });
  registerCommand(cmd::about, [this](qintptr) { dialogs_->about(version_); });
  registerCommand(cmd::help, [this](qintptr) { dialogs_->help(dirs_.help_index); });
  registerCommand(cmd::cascade, [this](qintptr) { cascade_children(mdi_); });
  registerCommand(cmd::tile, [this](qintptr) { mdi_->tileSubWindows(); });
  registerCommand(cmd::arrange_icons, [this](qintptr) { mdi_->tileSubWindows(); });
  registerCommand(cmd::close_all, [this](qintptr) { closeAll(); });
  registerCommand(cmd::goto_line_dialog, [this](qintptr) { goToLine(); });
  registerCommand(cmd::find_replace, [this](qintptr) { editors_->showFind(); });
  registerCommand(cmd::find_accel, [this](qintptr) { dispatch(cmd::find_replace); });
  for (int id = cmd::open_file_first; id <= cmd::new_file_last; ++id)
    registerCommand(id, [this, id](qintptr) { fileDialogCommand(id); });
}

void FrameWindow::registerCommand(int id, std::function<void(qintptr)> handler) {
  handlers_[id] = std::move(handler);
}

void FrameWindow::addStateProvider(std::function<void(WorkbenchState&)> provider) {
  state_providers_.push_back(std::move(provider));
}

// The load-file commands go to the topmost child (a terminal), with a
// pointer to the load file's path (a QString) as parameter.
void FrameWindow::sendLoadFileToTopChild(bool choose) {
  if (choose && !selectLoadFile()) return;
  QList<QMdiSubWindow*> stack = mdi_->subWindowList(QMdiArea::StackingOrder);
  if (stack.isEmpty()) return;
  if (auto* child = dynamic_cast<MdiChild*>(stack.last()->widget()))
    child->command(cmd::load_into_child, reinterpret_cast<qintptr>(&load_file_));
}

void FrameWindow::dispatch(int id, qintptr param) {
  // A greyed command cannot be chosen, whichever way it arrives.
  if (!menu_enabling(describeState()).enabled(id)) return;
  if (id >= cmd::recent_first && id <= cmd::recent_last) {
    auto it = handlers_.find(cmd::recent_first);
    if (!recent_.at(id - cmd::recent_first).empty() && it != handlers_.end()) it->second(id - cmd::recent_first);
    return;
  }
  if (id >= cmd::terminal_port_first && id <= cmd::terminal_port_last) {
    dispatch(cmd::open_terminal, id - cmd::terminal_port_first);
    return;
  }
  if (id == cmd::reload_load_file || id == cmd::load_into_child) {
    sendLoadFileToTopChild(id == cmd::load_into_child);
    return;
  }
  if (id == cmd::open_file_accel) id = cmd::open_file_first;
  if (auto it = handlers_.find(id); it != handlers_.end()) {
    it->second(param);
    return;
  }
  if (MdiChild* child = activeChild()) child->command(id, param);
}

// A command chosen by the user from a menu or by an accelerator. Whatever it
// did (a dialog of its own included), the keys go to the active editor
// afterwards, never to the menu that was left, unless another window took
// them over. The menu gives up the keys only after the command, so the
// editor takes them back once the events of the moment are done.
void FrameWindow::choose(int id) {
  dispatch(id);
  QTimer::singleShot(0, this, &FrameWindow::focusActiveEditor);
}

void FrameWindow::focusActiveEditor() {
  if (!isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
  QWidget* active = QApplication::activeWindow();
  if (active && active != this && !qobject_cast<QMenu*>(active)) return;
  EditorChild* editor = editors_->activeEditor();
  if (!editor) return;
  if (!isActiveWindow()) activateWindow();
  if (!editor->isAncestorOf(QApplication::focusWidget())) editor->setFocus();
}

void FrameWindow::focusEditor(EditorChild* editor) {
  QTimer::singleShot(0, this, [this, e = QPointer<EditorChild>(editor)] {
    if (!e || !isVisible() || QApplication::activeModalWidget()) return;
    activateWindow();
    e->setFocus();
  });
}

MdiChild* FrameWindow::activeChild() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  return sub ? dynamic_cast<MdiChild*>(sub->widget()) : nullptr;
}

WorkbenchState FrameWindow::describeState() const {
  WorkbenchState st;
  st.editor_count = editors_->count();
  st.tool_running = runner_->running();
  for (const auto& provider : state_providers_) provider(st);
  if (MdiChild* child = activeChild()) child->describe(st);
  QList<QMdiSubWindow*> stack = mdi_->subWindowList(QMdiArea::StackingOrder);
  if (!stack.isEmpty())
    if (auto* top = qobject_cast<EditorChild*>(stack.last()->widget())) st.top_editor_kind = top->kind();
  return st;
}

QAction* FrameWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void FrameWindow::setStatus(const QString& text) { status_text_->setText(text); }

void FrameWindow::outPrint(std::string_view text) {
  if (output_) output_->write(text);
}

void FrameWindow::outOpenClear() {
  if (!output_) dispatch(cmd::output_window);
  if (output_) output_->clear();
  editors_->deleteMarkersEverywhere(EditorChild::message_marker);
}

int FrameWindow::runTool(const QString& program, const QString& args, const QString& statusText) {
  int rc = runner_->runTool(dirs_.bin, program, args, statusText);
  updateMenus();
  return rc;
}

int FrameWindow::runProcess(const QString& commandLine) {
  int rc = runner_->runProcess(commandLine);
  updateMenus();
  return rc;
}

QMdiSubWindow* FrameWindow::addChild(QWidget* widget, const char* className) {
  QMdiSubWindow* sub = mdi_->addSubWindow(widget);
  sub->setObjectName(QString::fromLatin1(className));
  sub->installEventFilter(this);
  return sub;
}

// The editors are the documents the other windows stand over; they are
// not avoided. The frame's tool windows (the project manager) float over
// the area, so nothing new may lie under them. A window larger than the
// area becomes as small as the area, where it can: a terminal then shows
// fewer characters.
void FrameWindow::placeChild(QMdiSubWindow* sub, QPoint wanted, bool clear_of_active) {
  std::vector<WindowRect> others, on_top, keep_clear;
  if (QMdiSubWindow* active = mdi_->activeSubWindow(); clear_of_active && active && active != sub)
    keep_clear.push_back({active->x(), active->y(), active->width(), active->height()});
  for (QMdiSubWindow* o : mdi_->subWindowList())
    if (o != sub && o->isVisibleTo(mdi_) && !o->isMinimized() && !o->isMaximized() &&
        !qobject_cast<EditorChild*>(o->widget()))
      others.push_back({o->x(), o->y(), o->width(), o->height()});
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isWindow() && w->windowType() == Qt::Tool && w->isVisible() && !w->isMinimized()) {
      const QRect g = w->frameGeometry();
      const QPoint at = mdi_->viewport()->mapFromGlobal(g.topLeft());
      on_top.push_back({at.x(), at.y(), g.width(), g.height()});
    }
  const QSize area = mdi_->viewport()->size();
  if (sub->width() > area.width() || sub->height() > area.height()) sub->resize(sub->size().boundedTo(area));
  const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
  const WindowRect r = place_window(area.width(), area.height(), others,
                                    {wanted.x(), wanted.y(), sub->width(), sub->height()}, title, on_top,
                                    keep_clear);
  sub->move(r.x, r.y);
}

void FrameWindow::showOutputWindow() {
  if (output_) {
    mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(output_->parentWidget()));
    return;
  }
  output_ = new OutputChild(fonts_);
  output_->setWindowTitle(QStringLiteral("Output"));
  QMdiSubWindow* sub = addChild(output_, OutputChild::class_name);
  sub->setGeometry(0, 0, mdi_->viewport()->width(), mdi_->viewport()->height() / 4);
  connect(output_, &OutputChild::lineActivated, editors_, &EditorController::jumpToMessage);
  connect(output_, &OutputChild::closeRequested, this, [this, sub] { closeChild(sub); });
  sub->show();
  updateMenus();
}

// Closing is the frame's business: a child's own close button comes here too.
bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close)
    if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
      event->ignore();
      closeChild(sub);
      return true;
    }
  return QMainWindow::eventFilter(watched, event);
}

bool FrameWindow::closeChild(QMdiSubWindow* sub) {
  auto* child = dynamic_cast<MdiChild*>(sub->widget());
  if (child && !child->queryClose()) return false;
  if (auto* editor = qobject_cast<EditorChild*>(sub->widget())) editors_->forget(editor);
  if (sub->widget() == output_) output_ = nullptr;
  sub->hide();
  mdi_->removeSubWindow(sub);
  sub->deleteLater();
  updateMenus();
  return true;
}

// Editors still open afterwards refused to close, so their text is not
// saved behind the user's back here.
void FrameWindow::closeAll() {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (sub->isMinimized()) sub->showNormal();
    closeChild(sub);
  }
  updateCaption();
}

// With a maximised child the MDI area writes the child's title behind the
// frame's caption, which names the active editor already; the caption the
// frame wrote is put back.
void FrameWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange && !caption_.isEmpty() && windowTitle() != caption_)
    setWindowTitle(caption_);
  QMainWindow::changeEvent(event);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
  if (runner_->running()) {
    event->ignore();
    return;
  }
  closeAll();
  saveRecent();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

void FrameWindow::goToLine() {
  unsigned n = dialogs_->goToLine();
  if (n > 0) dispatch(cmd::goto_line, static_cast<qintptr>(n - 1));
}

// "in Current" starts where the file dialogs were last used and moves that
// place on; the other start directories leave it as it was.
void FrameWindow::fileDialogCommand(int id) {
  const StartDir which = open_file_start_dir(id);
  const QString remembered = dirs_.file_dialog;
  if (which != StartDir::Current) dirs_.file_dialog = startDirFor(which);
  if (id >= cmd::new_file_first)
    editors_->newFileDialog();
  else
    editors_->openFileDialog();
  if (which != StartDir::Current) dirs_.file_dialog = remembered;
}

QString FrameWindow::startDirFor(StartDir which) const {
  QString root = dirs_.bin + QStringLiteral("/..");
  switch (which) {
    case StartDir::Current: return dirs_.file_dialog;
    case StartDir::Workspace: return dirs_.workspace.isEmpty() ? dirs_.file_dialog : dirs_.workspace;
    case StartDir::Project: return dirs_.project.isEmpty() ? dirs_.file_dialog : dirs_.project;
    case StartDir::Config: return QDir::cleanPath(root + QStringLiteral("/config/zun09"));
    case StartDir::LibrarySource: return QDir::cleanPath(root + QStringLiteral("/src"));
    case StartDir::Include: return QDir::cleanPath(root + QStringLiteral("/include"));
    case StartDir::StartFiles: return QDir::cleanPath(root + QStringLiteral("/src/startup/zun09"));
  }
  return QDir::currentPath();
}

void FrameWindow::setProjectDirs(const QString& workspace, const QString& project) {
  dirs_.workspace = workspace;
  dirs_.project = project;
}

void FrameWindow::startUp(const QString& workspaceArg) {
  version_ = QStringLiteral("VERSION %1, RELEASE DATE %2").arg(QStringLiteral("2.0"), QStringLiteral("26 February 2013)"));
  loadRecent();
  initDirectories(workspaceArg);
  if (!workspaceArg.isEmpty()) {
    if (!workspaceArg.endsWith(QStringLiteral(".w09"), Qt::CaseInsensitive))
      dialogs_->error(QStringLiteral("Don't recognise this file type..."));
    else if (workspace_opener_)
      workspace_opener_(workspaceArg);
  }
  updateMenus();
}

void FrameWindow::initDirectories(const QString& workspaceArg) {
  dirs_.bin = QCoreApplication::applicationDirPath();
  if (dirs_.bin.isEmpty() || !QDir::setCurrent(dirs_.bin)) {
    dialogs_->error(QStringLiteral("Can't retrieve start directory"));
    return;
  }
  dirs_.help_index = QDir::cleanPath(dirs_.bin + QStringLiteral("/../help/index.html"));
  // The first candidate that can be entered is the start directory: the
  // command line's word (a workspace file is a file, so this fails), the
  // directory of the most recent workspace, the home directory, the program's.
  QStringList candidates = {workspaceArg};
  if (!recent_.at(0).empty())
    candidates << QString::fromStdString(path_dir_name(recent_.at(0)));
  candidates << QDir::homePath() << dirs_.bin;
  for (const QString& dir : candidates)
    if (!dir.isEmpty() && QFileInfo(dir).isDir() && QDir::setCurrent(dir)) {
      dirs_.start = QDir::currentPath();
      break;
    }
  dirs_.file_dialog = dirs_.start;
  dirs_.workspace_dialog = dirs_.start;
}

bool FrameWindow::selectLoadFile() {
  const QString offered = load_file_offer_ ? load_file_offer_() : QString();
  QString chosen = offered.isEmpty() ? dialogs_->loadFileName(dirs_.load_file_dir, load_file_)
                                     : dialogs_->loadFileName(QFileInfo(offered).path(), offered);
  if (chosen.isEmpty()) return false;
  load_file_ = canonical_path(chosen);
  dirs_.load_file_dir = QFileInfo(load_file_).path();
  return true;
}

void FrameWindow::pushRecent(const QString& path) {
  recent_.push(canonical_path(path).toStdString());
  saveRecent();
  updateRecentMenu();
}

void FrameWindow::loadRecent() {
  for (int i = 0; i < RecentWorkspaces::slot_count; ++i)
    recent_.set(i, settings_.value(QStringLiteral("MRU%1").arg(i)).toString().toStdString());
}

// Empty slots leave their stored values as they were.
void FrameWindow::saveRecent() {
  for (int i = 0; i < RecentWorkspaces::slot_count; ++i)
    if (!recent_.at(i).empty())
      settings_.setValue(QStringLiteral("MRU%1").arg(i), QString::fromStdString(recent_.at(i)));
}

}  // namespace zun::wb
