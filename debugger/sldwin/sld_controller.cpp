// The debugger's commands in the frame; see sld_controller.h.
#include "debugger/sldwin/sld_controller.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_dialogs.h"
#include "debugger/sldwin/sld_window.h"
#include "debugger/sldwin/watch_window.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"

namespace zun::sldwin {

using namespace zun::sld;

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Engine work per slice of the run pump; the event loop runs between slices.
constexpr int pump_slice_ms = 25;

}  // namespace

SldController::SldController(wb::FrameWindow* frame, sim::SimulatorController* simulator)
    : QObject(frame), frame_(frame), sim_(simulator) {
  using namespace wb;
  frame_->registerCommand(cmd::run_simulator, [this](qintptr) { startDebugging(); });
  frame_->registerCommand(cmd::dbg_close, [this](qintptr) { endSession(); });
  for (int id : {static_cast<int>(cmd::dbg_next), cmd::dbg_step_into, cmd::dbg_step_out, cmd::dbg_restart, cmd::dbg_run,
                 int(CMD_SLD_WATCH_REFRESH), int(CMD_SLD_WATCH_GLOBALS), cmd::dbg_run_no_breaks, cmd::dbg_break})
    frame_->registerCommand(id, [this, id](qintptr) { command(id); });
  // The menu item shows the dialog the window knows as 43143.
  frame_->registerCommand(cmd::dbg_breakpoints, [this](qintptr) { command(cmd::dbg_breakpoints_dialog); });
  frame_->addStateProvider([this](WorkbenchState& st) {
    if (!sessionOpen()) return;
    st.debugger_active = true;
    st.target_running = debugger_->target().target_is_running();
    st.debugger_has_model = !debugger_->model().modules().empty();
  });
  box = [this](const QString& caption, const QString& text) {
    QMessageBox::critical(frame_, caption.isEmpty() ? qs(wb::product_title) : caption, text);
  };
  run_dialog = [](QDialog& d) { return d.exec(); };
  pump_.setInterval(0);
  connect(&pump_, &QTimer::timeout, this, &SldController::pumpSlice);
  // The engine goes with the simulator controller; the debugger over it
  // must go first.
  connect(sim_, &sim::SimulatorController::goingAway, this, [this] {
    pump_.stop();
    debugger_.reset();
  });
}

SldController::~SldController() = default;

bool SldController::sessionOpen() const { return debugger_ && window_ && debugger_->sld_session_open(); }

// ---- the session ----

void SldController::startDebugging() {
  if (sessionOpen()) {
    frame_->mdiArea()->setActiveSubWindow(sub_);
    debugger_->sld_refresh();
    return;
  }
  if (!frame_->selectLoadFile()) return;
  const QString load = frame_->loadFile();
  if (!debugger_) {
    std::string bin = frame_->dirs().bin.toStdString();
    if (bin.empty()) bin = sim_->context().engine.bin_dir;
    debugger_ = std::make_unique<SldDebugger>(sim_->context().engine, *this, bin);
  }
  if (!debugger_->sld_load_debug_info(load.toStdString(), kSourceLevelKind)) return;
  if (sources_note) {
    std::vector<std::string> sources;
    for (const auto& module : debugger_->model().modules()) sources.push_back(module->path);
    const std::string note = sources_note(load.toStdString(), sources);
    if (!note.empty()) {
      if (!frame_->output()) frame_->dispatch(wb::cmd::output_window);
      frame_->outPrint(note);
    }
  }
  // The session's windows go where they go without the project manager,
  // which is hidden while the session runs.
  if (hide_project_manager) hide_project_manager();
  if (!sim_->window() && !sim_->showSimulator(load)) {
    if (show_project_manager) show_project_manager();
    return;
  }
  sim_->window()->setClient(this);
  createWindows();
  if (!debugger_->sld_open_session(load.toStdString())) {
    endSession();
    frame_->outPrint("Failed to open debugger due to Target Load Error\n");
    frame_->updateMenus();
    return;
  }
  if (sub_) {
    sub_->show();
    frame_->mdiArea()->setActiveSubWindow(sub_);
  }
  // The keys go to the debugger; the program's console, opened with the
  // simulator before, stays in front of it, readable as the program writes.
  sim_->devices().raiseTerminals();
  frame_->updateMenus();
  debugger_->watches().watch_restore();
  debugger_->sld_refresh();
  refreshNow();
}

QMdiSubWindow* SldController::addChild(QWidget* widget, const char* className) {
  QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(widget);
  sub->setObjectName(QString::fromLatin1(className));
  sub->installEventFilter(frame_);  // closing goes through the frame
  return sub;
}

// The debugger window first, then the watch windows: the frame's Close All
// reaches the debugger window before them and so ends the session first.
void SldController::createWindows() {
  SldViewEnv env;
  env.font = frame_->fonts().text;
  env.command = [this](int id) { command(id); };
  env.closing = [this] { sessionClosing(); };
  window_ = new SldWindow(*debugger_, env);
  sub_ = addChild(window_, SldWindow::class_name);
  // Each window goes to its own place, or the nearest one where it hides no
  // other window that is already there.
  const QSize area = frame_->mdiArea()->viewport()->size();
  sub_->resize(area.width() / 2, area.height() / 2);
  frame_->placeChild(sub_, QPoint(area.width() / 2 - 40, area.height() / 4));
  sub_->show();
  if (debugger_->model().modules().empty()) return;
  WatchEnv wenv;
  wenv.running = [this] { return debugger_ && debugger_->target().target_is_running(); };
  wenv.session_open = [this] { return sessionOpen(); };
  autos_ = new WatchWindow(debugger_->watches(), true, wenv, frame_->fonts().tree);
  globals_ = new WatchWindow(debugger_->watches(), false, wenv, frame_->fonts().tree);
  const std::pair<WatchWindow*, QPoint> watches[] = {{autos_, QPoint(50, 120)}, {globals_, QPoint(40, 100)}};
  for (const auto& [watch, place] : watches) {
    QMdiSubWindow* sub = addChild(watch, watch == autos_ ? WatchWindow::auto_class : WatchWindow::global_class);
    sub->resize(250, 250);
    frame_->placeChild(sub, place);
    sub->show();
  }
}

void SldController::endSession() {
  if (sub_)
    frame_->closeChild(sub_);
  else
    sessionClosing();
}

void SldController::dropWatchWindows() {
  for (QPointer<WatchWindow>* w : {&globals_, &autos_}) {
    WatchWindow* window = *w;
    *w = nullptr;
    if (!window) continue;
    // Their rows point into the watch model, which the session end frees.
    window->tree()->closeEditor();
    window->tree()->clear();
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!sub) continue;
    sub->hide();
    sub->deleteLater();  // the area lets go of it as it goes
  }
}

// The debugger window is closing (its close box, Close, Close All, a
// failed start, the simulator window closing): the watch windows go, the
// session ends, the simulator window closes with the devices the I/O link
// attached, and the project manager comes back.
void SldController::sessionClosing() {
  if (ending_ || !debugger_) return;
  ending_ = true;
  pump_.stop();
  dropWatchWindows();
  debugger_->sld_close_session();
  if (sim::SimulatorWindow* w = sim_->window())
    if (w->client() == this) w->setClient(nullptr);
  sim_->closeSimulator();
  sim_->context().board.dev_close_all();
  sim_->devices().sync();
  window_ = nullptr;
  ending_ = false;
  if (show_project_manager) show_project_manager();
  QTimer::singleShot(0, frame_, [f = frame_] { f->updateMenus(); });
}

void SldController::simulator_closing() {
  // Not from inside the simulator window's own close.
  QTimer::singleShot(0, this, [this] {
    if (sessionOpen()) endSession();
  });
}

// ---- commands ----

void SldController::command(int id) {
  if (!sessionOpen()) return;
  if (id != 0 && id != CMD_SLD_WATCH_GLOBALS && id != CMD_SLD_WATCH_REFRESH && id != CMD_SLD_BREAK &&
      !debugger_->sld_command_enabled(id))
    return;
  switch (id) {
    case 0: break;  // the window ran a command itself
    case CMD_SLD_BREAKPOINTS: breakpointDialog(); break;
    case CMD_SLD_WATCH_GLOBALS: showGlobals(); break;
    case CMD_SLD_BREAK:
      debugger_->target().target_stop();
      debugger_->sld_command(id);
      break;
    default: debugger_->sld_command(id); break;
  }
  afterCommand();
}

void SldController::afterCommand() {
  if (!sessionOpen()) return;
  if (window_) window_->updateCommandStates();
  frame_->updateMenus();
  if (debugger_->target().target_is_running() && !pump_.isActive()) pump_.start();
}

void SldController::pumpSlice() {
  if (!debugger_ || !debugger_->target().target_is_running()) {
    pump_.stop();
    return;
  }
  Engine& engine = debugger_->target().engine();
  QElapsedTimer t;
  t.start();
  while (engine.sim_is_running_fast() && t.elapsed() < pump_slice_ms) engine.sim_timer_tick();
  if (!engine.sim_is_running_fast()) pump_.stop();
}

void SldController::breakpointDialog() {
  BreakpointDialog dialog(debugger_->breakpoints(), frame_);
  run_dialog(dialog);
  if (window_) window_->margin()->update();
}

void SldController::showGlobals() {
  if (!globals_) return;
  auto* sub = qobject_cast<QMdiSubWindow*>(globals_->parentWidget());
  if (sub && sub->isMinimized()) sub->showNormal();
  if (sub) frame_->mdiArea()->setActiveSubWindow(sub);
}

// ---- the host ----

void SldController::out_print(std::string_view text) { frame_->outPrint(text); }

bool SldController::ask_yes_no(std::string_view question) { return frame_->dialogs().question(qs(question)); }

void SldController::post_command(int id) {
  QTimer::singleShot(0, frame_, [f = frame_, id] { f->dispatch(id); });
}

void SldController::source_top_reset() {
  if (window_) window_->resetScroll();
}

void SldController::status_text(std::string_view text) { frame_->setStatus(qs(text)); }

void SldController::wait_cursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++cursor_depth_;
  } else if (cursor_depth_ > 0) {
    QApplication::restoreOverrideCursor();
    --cursor_depth_;
  }
}

void SldController::error_box(std::string_view text, std::string_view caption) {
  if (box) box(qs(caption), qs(text));
}

void SldController::clear_debug_markers() {
  frame_->editors()->deleteMarkersEverywhere(wb::EditorChild::execution_marker);
}

// Every stop refreshes; the single steps of one command come together in
// one refresh of the windows.
void SldController::debugger_refresh() {
  if (refresh_pending_) return;
  refresh_pending_ = true;
  QTimer::singleShot(0, this, &SldController::refreshNow);
}

void SldController::refreshNow() {
  refresh_pending_ = false;
  if (!sessionOpen()) return;
  window_->refresh();
  if (globals_) globals_->rebuild();
  if (autos_) autos_->rebuild();
  afterCommand();
}

bool SldController::supply_code_information(SupplyCodeInfo& info) {
  SupplyCodeDialog dialog(info, [this](const QString& t) { error_box(t.toStdString(), ""); }, frame_);
  return run_dialog(dialog) == QDialog::Accepted;
}

}  // namespace zun::sldwin
