// The child-process runner. The whole output is read: a finished child is
// drained before its exit code is taken.
#include "workbench/build/tool_runner.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

#include "workbench/core/workbench_core.h"

namespace zun::wb {

namespace {

// While a tool runs, the frame's windows take no user input except through
// its menu bar; menus, and dialogs opened from them, are windows of their own
// and stay usable. Input reaches a window-system window before the widget
// under it, so only widgets are judged. Accelerators other than the menu
// bar's own wait for the run's end.
class MenusOnlyFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Shortcut:
        return !qobject_cast<QMenuBar*>(watched);
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::ContextMenu: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !qobject_cast<QMainWindow*>(widget->window())) return false;
        for (QWidget* w = widget; w; w = w->parentWidget())
          if (qobject_cast<QMenuBar*>(w)) return false;
        return true;
      }
      default:
        return false;
    }
  }
};

void send(const ToolRunner::Sink& sink, const QByteArray& bytes) {
  if (!bytes.isEmpty()) sink(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

const char* const failed_to_start = "\nFailed to create process, system message is: ";

}  // namespace

MenusOnlyInput::MenusOnlyInput() : filter_(std::make_unique<MenusOnlyFilter>()) {
  qApp->installEventFilter(filter_.get());
}

MenusOnlyInput::~MenusOnlyInput() { qApp->removeEventFilter(filter_.get()); }

ToolRunner::ToolRunner(Sink output, Status status, QObject* parent)
    : QObject(parent), output_(std::move(output)), status_(std::move(status)), kill_timer_(new QTimer(this)) {
  kill_timer_->setSingleShot(true);
  kill_timer_->setInterval(stop_grace_ms);
  connect(kill_timer_, &QTimer::timeout, this, [this] {
    if (process_ && ::kill(static_cast<pid_t>(-group_), SIGKILL) != 0) process_->kill();
  });
}

int ToolRunner::runProcess(const QString& commandLine) {
  std::optional<ToolCommand> tc = split_tool_command(commandLine.toStdString());
  if (!tc) {
    output_(std::string(failed_to_start) + "empty command line\n");
    return run_not_started;
  }
  return run(*tc);
}

int ToolRunner::run(const ToolCommand& command) {
  const std::string failed = failed_to_start;
  if (running_) {
    output_(failed + "another program is still running\n");
    return run_not_started;
  }
  QProcess proc;
  proc.setProcessChannelMode(QProcess::MergedChannels);
  proc.setStandardInputFile(QProcess::nullDevice());
  proc.setWorkingDirectory(QDir::currentPath());
  // A process group of its own, so that Stop reaches whatever it starts,
  // and death with the workbench, however that ends (asked once more after
  // asking, since the workbench may have died before).
  const pid_t workbench = ::getpid();
  proc.setChildProcessModifier([workbench] {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != workbench) ::_exit(127);
  });
  proc.setProgram(QString::fromStdString(command.program));
  QStringList args;
  for (const std::string& a : command.args) args << QString::fromStdString(a);
  proc.setArguments(args);

  QEventLoop loop;
  bool finished = false;
  connect(&proc, &QProcess::readyReadStandardOutput, &loop, [&] { send(output_, proc.readAllStandardOutput()); });
  connect(&proc, &QProcess::finished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  proc.start();
  if (!proc.waitForStarted(-1)) {
    output_(failed + proc.errorString().toStdString() + "\n");
    return run_not_started;
  }
  running_ = true;
  process_ = &proc;
  group_ = proc.processId();
  stop_requested_ = false;
  {
    MenusOnlyInput menus_only;
    if (!finished) loop.exec();
  }
  kill_timer_->stop();
  running_ = false;
  process_ = nullptr;
  group_ = 0;
  for (QByteArray rest = proc.readAll(); !rest.isEmpty(); rest = proc.readAll()) send(output_, rest);
  if (stop_requested_) return run_cancelled;
  if (proc.exitStatus() != QProcess::NormalExit) {
    output_("\nProgram '" + command.program + "' ended abnormally\n");
    return run_abnormal_end;
  }
  return proc.exitCode();
}

int ToolRunner::runTool(const QString& binDir, const QString& program, const QString& args,
                        const QString& statusText) {
  std::string line = tool_command_line(binDir.toStdString(), program.toStdString(), args.toStdString());
  status_(statusText);
  int rc = runProcess(QString::fromStdString(line));
  status_(QStringLiteral("Ready"));
  return rc;
}

int ToolRunner::runProgram(const QString& binDir, const QString& program, const QStringList& args,
                           const QString& statusText) {
  ToolCommand tc;
  tc.program = (binDir + QStringLiteral("/") + program).toStdString();
  for (const QString& a : args) tc.args.push_back(a.toStdString());
  status_(statusText);
  int rc = run(tc);
  status_(QStringLiteral("Ready"));
  return rc;
}

void ToolRunner::stop() {
  if (!process_ || stop_requested_) return;
  stop_requested_ = true;
  if (::kill(static_cast<pid_t>(-group_), SIGTERM) != 0) process_->terminate();
  kill_timer_->start();
}

int ToolRunner::run_process(const std::string& command_line) {
  return runProcess(QString::fromStdString(command_line));
}

int ToolRunner::run_tool(const std::string& bin_dir, const std::string& program, const std::string& args,
                         const std::string& caption) {
  return runTool(QString::fromStdString(bin_dir), QString::fromStdString(program), QString::fromStdString(args),
                 QString::fromStdString(caption));
}

}  // namespace zun::wb
