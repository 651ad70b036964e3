// The whole workbench as zun09 runs it: the frame with the controllers of
// projects, terminals, the simulator, the debugger and find in files, and
// the hooks that join them. main() builds one; so does the test of Exit.
#pragma once

#include <QString>
#include <memory>

namespace zun::sim {
class SimulatorController;
}
namespace zun::sldwin {
class SldController;
}
namespace zun::term {
class TerminalController;
}

namespace zun::wb {

class FrameWindow;
class ProjectController;
class UserDialogs;

class Workbench {
 public:
  // Null dialogs: the real ones.
  explicit Workbench(std::unique_ptr<UserDialogs> dialogs = nullptr);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  // Shows the frame over the desktop and opens the workspace (an absolute
  // path), if one is named.
  void start(const QString& workspace);

  FrameWindow& frame() { return *frame_; }
  ProjectController& projects() { return *projects_; }
  term::TerminalController& terminals() { return *terminals_; }
  sim::SimulatorController& simulator() { return *simulator_; }
  sldwin::SldController& debugging() { return *debugging_; }

 private:
  std::unique_ptr<FrameWindow> frame_;
  // Owned by the frame, as QObject children.
  term::TerminalController* terminals_ = nullptr;
  sim::SimulatorController* simulator_ = nullptr;
  sldwin::SldController* debugging_ = nullptr;
  // Goes before the frame: closing writes the workspace.
  std::unique_ptr<ProjectController> projects_;
};

}  // namespace zun::wb
