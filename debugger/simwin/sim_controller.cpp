// The simulator's commands in the frame; see sim_controller.h.
#include "debugger/simwin/sim_controller.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSignalBlocker>

#include "debugger/simwin/sim_dialogs.h"
#include "workbench/frame/frame_window.h"

namespace zun::sim {

namespace {

const QString descriptor_filter = QStringLiteral("Target Descriptor (*.m09sim)");

QFont panel_font(int pixels) {
  QFont f(QStringLiteral("Liberation Mono"));
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(pixels);
  return f;
}

}  // namespace

SimulatorController::SimulatorController(wb::FrameWindow* frame) : QObject(frame), frame_(frame) {
  using namespace wb;
  frame_->registerCommand(cmd::machine_level, [this](qintptr param) { machineLevel(param); });
  frame_->registerCommand(cmd::simulator_window, [this](qintptr) { showSimulator(frame_->loadFile()); });
  frame_->registerCommand(cmd::recreate_simulator, [this](qintptr) { recreate(); });
  frame_->registerCommand(cmd::edit_sim_config, [this](qintptr) { editConfiguration(); });
  frame_->registerCommand(cmd::select_sim_config, [this](qintptr) { selectConfiguration(); });
  frame_->registerCommand(cmd::clear_sim_config, [this](qintptr) { clearConfiguration(); });
  context_ = std::make_unique<SimulatorContext>(makeEnv());
  // The context forgets its window before the window's last words.
  frame_->addStateProvider([this](WorkbenchState& st) {
    if (context_ && context_->window()) st.simulator_exists = true;
  });
  // A device's window opens as a load attaches the device, beside the
  // window the user works in, which stays the active one: the area, which
  // activates every window it shows, gives the activation straight back,
  // and the active window never learns it was left. A terminal stays in
  // front all the same (the set raises it), so that what the program writes
  // shows; each goes where it hides the least of the active window.
  devices_ = std::make_unique<tovrel::DeviceWindowSet>(
      [this](QWidget* view, const QString& className) -> QWidget* {
        QMdiArea* mdi = frame_->mdiArea();
        QMdiSubWindow* active = mdi->activeSubWindow();
        QMdiSubWindow* sub = addChild(view, className);
        sub->adjustSize();
        frame_->placeChild(sub, QPoint(0, 0), true);
        if (!active) return sub;
        const QSignalBlocker quiet(mdi);
        sub->show();
        mdi->setActiveSubWindow(active);
        return sub;
      },
      [this] { return context_->attached_handles(); }, frame_->fonts().text);
  connect(frame_->mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (sub && sub == sub_ && window()) window_->activated();
  });
}

SimulatorController::~SimulatorController() {
  emit goingAway();
  // The window is a view of the context: it goes first.
  delete sub_.data();
  delete window_.data();
  devices_.reset();
  context_.reset();
}

void SimulatorController::setProjectDescriptorAccess(std::function<QString()> get,
                                                     std::function<void(const QString&)> set) {
  get_descriptor_ = std::move(get);
  set_descriptor_ = std::move(set);
}

SimulatorEnv SimulatorController::makeEnv() {
  SimulatorEnv env;
  env.panel_font = panel_font(12);
  env.small_font = panel_font(10);
  env.error = [this](const QString& text) { frame_->dialogs().error(text); };
  env.question = [this](const QString& text) { return frame_->dialogs().question(text); };
  env.message = [this](const QString& caption, const QString& text) {
    QMessageBox::information(frame_, caption, text);
  };
  env.choose_load_file = [this] { return frame_->selectLoadFile() ? frame_->loadFile() : QString(); };
  env.open_descriptor = [this] {
    const QString dir = QDir::cleanPath(frame_->dirs().bin + QStringLiteral("/../config/zun09"));
    return QFileDialog::getOpenFileName(frame_, QStringLiteral("Select Target Description File"), dir,
                                        descriptor_filter);
  };
  env.save_descriptor = [this](const QString& dir) {
    return QFileDialog::getSaveFileName(frame_, QStringLiteral("Save Target Description File"), dir,
                                        descriptor_filter);
  };
  env.project_descriptor = [this] { return get_descriptor_ ? get_descriptor_() : QString(); };
  env.set_project_descriptor = [this](const QString& path) {
    if (set_descriptor_) set_descriptor_(path);
  };
  env.output = [this](std::string_view text) { frame_->outPrint(text); };
  env.state_changed = [this] { frame_->updateMenus(); };
  return env;
}

QMdiSubWindow* SimulatorController::addChild(QWidget* widget, const QString& className) {
  QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(widget);
  sub->setObjectName(className);
  // Closing goes through the frame, like every child's.
  sub->installEventFilter(frame_);
  return sub;
}

// The directories are known once the frame has started up.
void SimulatorController::useFrameDirectories() {
  SimulatorContext& sim = *context_;
  if (!frame_->dirs().bin.isEmpty()) {
    sim.engine.bin_dir = frame_->dirs().bin.toStdString();
    sim.env.bin_dir = frame_->dirs().bin;
  }
  sim.env.project_dir = QDir::currentPath();
}

SimulatorWindow* SimulatorController::showSimulator(const QString& load_file) {
  SimulatorContext& sim = *context_;
  useFrameDirectories();
  if (!window()) {
    SimulatorWindow* w = SimulatorWindow::create(sim, CPU_KIND_MC6809, load_file);
    if (!w) return nullptr;
    window_ = w;
    sub_ = addChild(w, QString::fromLatin1(SimulatorWindow::class_name));
    sub_->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    sub_->adjustSize();
    sub_->setMaximumSize(sub_->size());
    // Centred over the area, unless that covers another window.
    const QSize area = frame_->mdiArea()->viewport()->size();
    frame_->placeChild(sub_, QPoint((area.width() - sub_->width()) / 2, (area.height() - sub_->height()) / 2));
    connect(w, &QObject::destroyed, this, [this] {
      if (devices_) devices_->sync();
    });
    sub_->show();
  } else if (!load_file.isEmpty()) {
    sim.engine.load_file = load_file.toStdString();
  }
  window_->command(SIM_LOAD, 0);
  devices_->sync();  // the default target's devices
  frame_->mdiArea()->setActiveSubWindow(sub_);
  frame_->updateMenus();
  return window_;
}

void SimulatorController::closeSimulator() {
  if (window()) frame_->closeChild(sub_);
}

void SimulatorController::machineLevel(qintptr param) {
  if (param == 0 && !frame_->selectLoadFile()) return;
  showSimulator(frame_->loadFile());
}

void SimulatorController::recreate() {
  if (sub_) frame_->closeChild(sub_);
  window_ = nullptr;
  sub_ = nullptr;
  frame_->dispatch(wb::cmd::simulator_window);
}

void SimulatorController::editConfiguration() {
  SimulatorContext& sim = *context_;
  useFrameDirectories();
  TargetSetupDialog dialog(sim, frame_);
  run_dialog(sim.env, dialog);
  if (window()) {
    sim.engine.setup_done();
    window_->refreshPanels();
  }
  devices_->sync();
}

void SimulatorController::selectConfiguration() {
  SimulatorContext& sim = *context_;
  const QString path = sim.env.open_descriptor ? sim.env.open_descriptor() : QString();
  if (path.isEmpty()) return;
  DescriptorResult r = sim.board.descriptor_load(path.toStdString());
  if (!r.ok) {
    frame_->dialogs().error(QString::fromStdString(r.message));
    return;
  }
  if (set_descriptor_) set_descriptor_(QString::fromStdString(sim.board.descriptor_path));
  if (window()) window_->refreshPanels();
  devices_->sync();
  frame_->dispatch(wb::cmd::save_all);
}

void SimulatorController::clearConfiguration() {
  context_->board.sim_set_descriptor("");
  if (set_descriptor_) set_descriptor_(QString());
  if (window()) window_->refreshPanels();
  frame_->dispatch(wb::cmd::save_all);
}

}  // namespace zun::sim
