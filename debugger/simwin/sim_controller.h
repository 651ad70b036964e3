// The simulator in the workbench frame: the Debug menu's simulator commands
// (machine level 43098, show and load 43099, recreate 43150, and the board
// configuration commands 43087, 43089, 43090), the one simulator window as an
// MDI child, the device windows, and the simulator's part of the menu state.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "debugger/simwin/sim_window.h"
#include "debugger/simwin/device_windows.h"

class QMdiSubWindow;

namespace zun::wb {
class FrameWindow;
}

namespace zun::sim {

class SimulatorController : public QObject {
  Q_OBJECT

 public:
  // Registers the commands with the frame; the frame owns the controller.
  explicit SimulatorController(wb::FrameWindow* frame);
  ~SimulatorController() override;

  // The simulator window, until it starts to close.
  SimulatorWindow* window() const { return window_ && context_->window() == window_ ? window_ : nullptr; }
  SimulatorContext& context() { return *context_; }
  tovrel::DeviceWindowSet& devices() { return *devices_; }

  // The project keeps the target descriptor; until a project is open the
  // board has none of its own.
  void setProjectDescriptorAccess(std::function<QString()> get, std::function<void(const QString&)> set);

  // 43099: creates the window when there is none (with `load_file`),
  // activates it and loads the program. The window, or nullptr.
  SimulatorWindow* showSimulator(const QString& load_file);
  // Closes the simulator window, unless there is none or it is closing.
  void closeSimulator();

 signals:
  // The controller is going; what works over its engine lets go now.
  void goingAway();

 private:
  SimulatorEnv makeEnv();
  void useFrameDirectories();
  void machineLevel(qintptr param);
  void recreate();
  void editConfiguration();
  void selectConfiguration();
  void clearConfiguration();
  QMdiSubWindow* addChild(QWidget* widget, const QString& className);

  wb::FrameWindow* frame_;
  std::unique_ptr<SimulatorContext> context_;
  std::unique_ptr<tovrel::DeviceWindowSet> devices_;
  QPointer<SimulatorWindow> window_;
  QPointer<QMdiSubWindow> sub_;
  std::function<QString()> get_descriptor_;
  std::function<void(const QString&)> set_descriptor_;
};

}  // namespace zun::sim
