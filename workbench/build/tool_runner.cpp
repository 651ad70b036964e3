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

}  // namespace

ToolRunner::ToolRunner(Sink output, Status status, QObject* parent)
    : QObject(parent), output_(std::move(output)), status_(std::move(status)) {}

int ToolRunner::runProcess(const QString& commandLine) {
  const std::string failed = "\nFailed to create process, system message is: ";
  std::optional<ToolCommand> tc = split_tool_command(commandLine.toStdString());
  if (!tc) {
    output_(failed + "empty command line\n");
    return run_not_started;
  }
  if (running_) {
    output_(failed + "another program is still running\n");
    return run_not_started;
  }
  QProcess proc;
  proc.setProcessChannelMode(QProcess::MergedChannels);
  proc.setStandardInputFile(QProcess::nullDevice());
  proc.setWorkingDirectory(QDir::currentPath());
  proc.setProgram(QString::fromStdString(tc->program));
  QStringList args;
  for (const std::string& a : tc->args) args << QString::fromStdString(a);
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
  stop_requested_ = false;
  MenusOnlyFilter filter;
  qApp->installEventFilter(&filter);
  if (!finished) loop.exec();
  qApp->removeEventFilter(&filter);
  running_ = false;
  process_ = nullptr;
  for (QByteArray rest = proc.readAll(); !rest.isEmpty(); rest = proc.readAll()) send(output_, rest);
  if (stop_requested_) return run_cancelled;
  if (proc.exitStatus() != QProcess::NormalExit) {
    output_("\nProgram '" + tc->program + "' ended abnormally\n");
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

void ToolRunner::stop() {
  if (!process_) return;
  stop_requested_ = true;
  process_->kill();
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
