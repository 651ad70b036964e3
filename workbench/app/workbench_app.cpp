// Builds the workbench and joins its parts: the terminals' settings live in
// the project file, the project keeps the simulator's target descriptor, the
// debugger hides the project manager while it runs and drops its breakpoints
// on a build, and a debugging session ends with the workspace.
// When the frame has closed for good the application ends, whatever else is
// still around (a window left open, a loop of a dialog).
#include "workbench/app/workbench_app.h"

#include <QApplication>
#include <QScreen>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_controller.h"
#include "debugger/terminal/terminal_controller.h"
#include "workbench/build/find_controller.h"
#include "workbench/frame/frame_window.h"
#include "workbench/project/project_controller.h"

namespace zun::wb {

Workbench::Workbench(std::unique_ptr<UserDialogs> dialogs)
    : frame_(std::make_unique<FrameWindow>(std::move(dialogs))) {
  FrameWindow* frame = frame_.get();
  terminals_ = new term::TerminalController(frame);
  simulator_ = new sim::SimulatorController(frame);
  debugging_ = new sldwin::SldController(frame, simulator_);
  new FindInFilesController(frame);
  projects_ = std::make_unique<ProjectController>(frame);
  // The terminals' per-port settings live in the project file as "#+" lines.
  ProjectSession& session = projects_->session();
  term::TerminalController* terminals = terminals_;
  session.hooks.terminal_reset = [terminals] {
    terminals->settings().set_cpu_kind(term::TerminalSettings::ky09_cpu_kind);
  };
  session.hooks.read_terminal_setting = [terminals](std::string_view key, std::string_view value) {
    read_terminal_setting(terminals->settings(), key, value);
  };
  session.hooks.terminal_text = [terminals] { return write_terminal_settings(terminals->settings()); };
  QObject::connect(terminals, &term::TerminalController::settingsChanged, [&session] {
    if (session.project.open) session.write_project();
  });
  // The open project keeps the simulator's target descriptor.
  simulator_->setProjectDescriptorAccess(
      [&session] { return session.project.open ? QString::fromStdString(session.project.sim_config()) : QString(); },
      [&session](const QString& path) {
        if (!session.project.open) return;
        session.project.set_sim_config(path.toStdString());
        session.write_project();
      });
  debugging_->project_open = [&session] { return session.project.open; };
  debugging_->sources_note = [&session](const std::string& load, const std::vector<std::string>& sources) {
    return session.project.open ? sources_elsewhere_note(session.project, load, sources) : std::string();
  };
  ProjectController* projects = projects_.get();
  debugging_->hide_project_manager = [projects] { projects->hideManagerForSession(); };
  debugging_->show_project_manager = [projects] { projects->restoreManagerAfterSession(); };
  // A build moves the code: the debugger's breakpoints of the old one go, as
  // they do when a project closes.
  sldwin::SldController* debugging = debugging_;
  session.drop_breakpoints = [debugging] {
    if (sld::SldDebugger* d = debugging->debugger()) d->breakpoints().bp_clear_all();
  };
  // Closing the workspace ends a debugging session, as Exit does.
  projects->debugging_open = [debugging] { return debugging->sessionOpen(); };
  projects->end_debugging = [debugging] { debugging->endSession(); };
  QObject::connect(frame, &FrameWindow::closed, qApp, [] { QCoreApplication::exit(0); });
}

// A workbench that goes with a debugging session still open (its frame
// never closed) ends the session first, while the frame that the debugger
// reports to is whole.
Workbench::~Workbench() {
  if (debugging_->sessionOpen()) debugging_->endSession();
}

void Workbench::start(const QString& workspace) {
  // The desktop's work area, also where no window manager maximises.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame_->setGeometry(screen->availableGeometry());
  frame_->showMaximized();
  frame_->startUp(workspace);
}

}  // namespace zun::wb
