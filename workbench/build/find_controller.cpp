// The search runs on the GUI thread: between two files the queued events are
// taken, so the Stop search item of the Edit menu reaches the search; while
// it runs, only the menus take user input and the frame does not close.
#include "workbench/build/find_controller.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>

#include "workbench/build/find_dialog.h"
#include "workbench/build/tool_runner.h"
#include "workbench/frame/frame_window.h"

namespace zun::wb {

FindInFilesController::FindInFilesController(FrameWindow* frame) : QObject(frame), frame_(frame) {
  frame->registerCommand(cmd::find_in_files, [this](qintptr) { findInFiles(); });
  frame->registerCommand(cmd::stop_search, [this](qintptr) { stop(); });
  frame->addStateProvider([this](WorkbenchState& st) {
    if (!search_) return;
    st.find_running = true;
    st.tool_running = true;  // nothing else may start a program meanwhile
  });
  frame->installEventFilter(this);
  ask_ = [this](FindSettings& settings) {
    FindInFilesDialog dialog(settings, frame_);
    return dialog.exec() == QDialog::Accepted;
  };
}

bool FindInFilesController::eventFilter(QObject* watched, QEvent* event) {
  if (search_ && watched == frame_ && event->type() == QEvent::Close) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void FindInFilesController::findInFiles() {
  if (search_) return;
  const QString cwd = QDir::currentPath();
  if (cwd.isEmpty()) {
    frame_->dialogs().error(QStringLiteral("Can't obtain current directory"));
    return;
  }
  prepare_find_dialog(settings_, cwd.toStdString());
  if (!ask_(settings_)) return;

  bool opened = false;  // the output window is cleared when the search starts
  FileSearch search({[this, &opened](std::string_view text) {
                       if (!opened) frame_->outOpenClear();
                       opened = true;
                       frame_->outPrint(text);
                     },
                     [] { QCoreApplication::processEvents(); },
                     [this](const GrepCommand& c) { return runGrep(c); }});
  FileSearch::Outcome outcome;
  {
    MenusOnlyInput menus_only;
    search_ = &search;
    frame_->updateMenus();
    outcome = search.run(settings_, cwd.toStdString());
    search_ = nullptr;
  }
  frame_->updateMenus();
  if (outcome == FileSearch::Outcome::NoFolder)
    frame_->dialogs().error(QStringLiteral("Can't set current directory"));
  else if (outcome == FileSearch::Outcome::BadExpression)
    frame_->dialogs().error(QString::fromStdString(search.error()));
}

void FindInFilesController::stop() {
  if (!search_) return;
  search_->cancel();
  frame_->toolRunner()->stop();
}

int FindInFilesController::runGrep(const GrepCommand& command) {
  QStringList args;
  for (const std::string& a : command.args) args << QString::fromStdString(a);
  const QString dir = program_dir_.isEmpty() ? frame_->dirs().bin : program_dir_;
  return frame_->toolRunner()->runProgram(dir, QString::fromStdString(command.program), args,
                                          QStringLiteral("Find in Files..."));
}

}  // namespace zun::wb
