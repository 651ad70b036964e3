// Runs an outside program the way the build, make and find-in-files commands
// need it: the command line is split like the original platform's C runtime
// does (never through a shell), both output channels go to one sink as they
// arrive, standard input is at end of file, and a local event loop keeps the
// windows painting while only the menus take user input.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

namespace zun::wb {

class ToolRunner : public QObject {
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
  bool running() const { return running_; }

 private:
  Sink output_;
  Status status_;
  bool running_ = false;
};

}  // namespace zun::wb
