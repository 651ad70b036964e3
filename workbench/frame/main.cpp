// zun09: the workbench. An optional workspace file (".w09") on the command
// line is opened at start.
#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_controller.h"
#include "debugger/terminal/terminal_controller.h"
#include "workbench/build/find_controller.h"
#include "workbench/frame/frame_window.h"
#include "workbench/frame/splash_window.h"
#include "workbench/project/project_controller.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("KVT"));
  QApplication::setApplicationName(QStringLiteral("ZUN09"));
  // Start-up changes the current directory, so a relative workspace path is
  // made absolute first.
  QString workspace;
  if (argc > 1) workspace = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  zun::wb::FrameWindow frame;
  auto* terminals = new zun::term::TerminalController(&frame);
  auto* simulator = new zun::sim::SimulatorController(&frame);  // owned by the frame
  auto* debugging = new zun::sldwin::SldController(&frame, simulator);
  new zun::wb::FindInFilesController(&frame);
  // The desktop's work area, also where no window manager maximises.
  if (QScreen* screen = QGuiApplication::primaryScreen()) frame.setGeometry(screen->availableGeometry());
  zun::wb::ProjectController projects(&frame);
  // The terminals' per-port settings live in the project file as "#+" lines.
  zun::wb::ProjectSession& session = projects.session();
  session.hooks.terminal_reset = [terminals] { terminals->settings().set_cpu_kind(zun::term::TerminalSettings::ky09_cpu_kind); };
  session.hooks.read_terminal_setting = [terminals](std::string_view key, std::string_view value) {
    read_terminal_setting(terminals->settings(), key, value);
  };
  session.hooks.terminal_text = [terminals] { return write_terminal_settings(terminals->settings()); };
  QObject::connect(terminals, &zun::term::TerminalController::settingsChanged, [&session] {
    if (session.project.open) session.write_project();
  });
  // The open project keeps the simulator's target descriptor.
  simulator->setProjectDescriptorAccess(
      [&session] { return session.project.open ? QString::fromStdString(session.project.sim_config()) : QString(); },
      [&session](const QString& path) {
        if (!session.project.open) return;
        session.project.set_sim_config(path.toStdString());
        session.write_project();
      });
  debugging->project_open = [&session] { return session.project.open; };
  debugging->hide_project_manager = [&projects] { projects.showManager(false); };
  // A build moves the code: the debugger's breakpoints of the old one go, as
  // they do when a project closes.
  session.drop_breakpoints = [debugging] {
    if (zun::sld::SldDebugger* d = debugging->debugger()) d->breakpoints().bp_clear_all();
  };
  frame.showMaximized();
  frame.startUp(workspace);
  zun::wb::show_start_splash(&frame, frame.version());
  return app.exec();
}
