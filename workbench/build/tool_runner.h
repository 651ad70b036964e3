// Runs an outside program the way the build, make and find-in-files commands
// need it: the command line is split like the original platform's C runtime
// does (never through a shell), both output channels go to one sink as they
// arrive, standard input is at end of file, and a local event loop keeps the
// windows painting while only the menus take user input.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

#include "workbench/build/process_runner.h"

class QProcess;
class QTimer;

namespace zun::wb {

// While one lives, the frame's windows take user input only through the menu
// bar; menus, and dialogs opened from them, stay usable. The runner keeps one
// while a child runs; an operation of several runs keeps one throughout.
class MenusOnlyInput {
 public:
  MenusOnlyInput();
  ~MenusOnlyInput();
  MenusOnlyInput(const MenusOnlyInput&) = delete;
  MenusOnlyInput& operator=(const MenusOnlyInput&) = delete;

 private:
  std::unique_ptr<QObject> filter_;
};

class ToolRunner : public QObject, public ProcessRunner {
  Q_OBJECT

 public:
  using Sink = std::function<void(std::string_view)>;
  using Status = std::function<void(const QString&)>;
  ToolRunner(Sink output, Status status, QObject* parent = nullptr);

  // The child's exit code; run_not_started when the program could not be
  // started, run_abnormal_end when it was killed (the reason in the output).
  int runProcess(const QString& commandLine);
  // A program of the program directory, with the status text shown meanwhile.
  int runTool(const QString& binDir, const QString& program, const QString& args, const QString& statusText);
  // The same with the arguments passed as they are, no command line between.
  int runProgram(const QString& binDir, const QString& program, const QStringList& args,
                 const QString& statusText);
  bool running() const { return running_; }
  // Asks the running child's process group to end and kills it after the
  // grace period; its run returns run_cancelled.
  void stop() override;

  // The make engine's view of the same runner.
  int run_process(const std::string& command_line) override;
  int run_tool(const std::string& bin_dir, const std::string& program, const std::string& args,
               const std::string& caption) override;

 private:
  int run(const ToolCommand& command);
  Sink output_;
  Status status_;
  bool running_ = false;
  QProcess* process_ = nullptr;  // while a child runs
  qint64 group_ = 0;             // its process group while it runs
  bool stop_requested_ = false;
  QTimer* kill_timer_ = nullptr;
};

}  // namespace zun::wb
