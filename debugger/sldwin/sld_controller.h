// The source-level debugger in the workbench frame: Start Debugging (43096)
// with its windows, the Debug menu's commands (43131-43147), the end of the
// session (43139), the menus' view of the debugger, and the engine kept
// running while the target runs. It is the debugger's host: messages,
// questions, the status text and the refresh after every stop reach the
// workbench through it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "debugger/simwin/sim_window.h"
#include "debugger/simwin/sim_qt.h"  // before the board: Qt's slots macro
#include "debugger/sld/debugger.h"
#include "debugger/sldwin/sld_window.h"
#include "debugger/sldwin/watch_window.h"

class QDialog;
class QMdiSubWindow;

namespace zun::wb {
class FrameWindow;
}
namespace zun::sim {
class SimulatorController;
}

namespace zun::sldwin {

class SldController : public QObject, public sld::SldSessionHost, public sim::SimulatorClient {
  Q_OBJECT

 public:
  // Registers the commands with the frame; the frame owns the controller.
  SldController(wb::FrameWindow* frame, sim::SimulatorController* simulator);
  ~SldController() override;

  // Hooks of the workbench around: the project manager hides when a session
  // starts and comes back as it ends; breakpoints belong to an open project.
  std::function<void()> hide_project_manager;
  std::function<void()> show_project_manager;
  std::function<bool()> project_open;
  // What to tell the user, in the output window, of a load file whose
  // debug records name these sources (another folder's sources of the
  // project's names); "" for nothing.
  std::function<std::string(const std::string& load_file, const std::vector<std::string>& sources)> sources_note;
  // A message box with a caption (the product title when empty), and the
  // run of a modal dialog; tests answer both themselves.
  std::function<void(const QString& caption, const QString& text)> box;
  std::function<int(QDialog& dialog)> run_dialog;

  void startDebugging();
  // 43139: the debugger window closes and the session with it, and so do
  // the watch windows and the simulator window with its devices.
  void endSession();
  // A command of the window or the Debug menu.
  void command(int id);
  bool sessionOpen() const;

  sld::SldDebugger* debugger() const { return debugger_.get(); }
  SldWindow* window() const { return window_; }
  WatchWindow* globals() const { return globals_; }
  WatchWindow* autos() const { return autos_; }
  // Engine work per slice of the run pump, and the slices so far.
  QTimer& pump() { return pump_; }

  // SldSessionHost
  void out_print(std::string_view text) override;
  bool ask_yes_no(std::string_view question) override;
  void post_command(int id) override;
  void source_top_reset() override;
  void status_text(std::string_view text) override;
  void wait_cursor(bool on) override;
  void error_box(std::string_view text, std::string_view caption) override;
  void clear_debug_markers() override;
  void debugger_refresh() override;
  bool project_loaded() override { return project_open ? project_open() : true; }
  bool supply_code_information(sld::SupplyCodeInfo& info) override;

  // SimulatorClient: the simulator window goes; so does the session.
  void simulator_closing() override;

 private:
  void createWindows();
  void sessionClosing();
  void refreshNow();
  void pumpSlice();
  void afterCommand();
  void breakpointDialog();
  void showGlobals();
  QMdiSubWindow* addChild(QWidget* widget, const char* className);
  void dropWatchWindows();

  wb::FrameWindow* frame_;
  sim::SimulatorController* sim_;
  std::unique_ptr<sld::SldDebugger> debugger_;
  QPointer<SldWindow> window_;
  QPointer<QMdiSubWindow> sub_;
  QPointer<WatchWindow> globals_, autos_;
  QTimer pump_;
  bool refresh_pending_ = false;
  bool ending_ = false;
  int cursor_depth_ = 0;
};

}  // namespace zun::sldwin
