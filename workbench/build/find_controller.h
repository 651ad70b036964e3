// Find in Files on the frame: command 43052 asks with the FINDINFILES dialog
// and searches, one grep or fgrep run per file with the hits in the output
// window; command 43053 cancels the search and ends the running program.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "workbench/build/find_in_files.h"

namespace zun::wb {

class FrameWindow;

class FindInFilesController : public QObject {
  Q_OBJECT

 public:
  explicit FindInFilesController(FrameWindow* frame);

  // Tests answer the dialog themselves and run the staged programs.
  void setAsk(std::function<bool(FindSettings&)> ask) { ask_ = std::move(ask); }
  void setProgramDir(const QString& dir) { program_dir_ = dir; }
  FindSettings& settings() { return settings_; }
  bool searching() const { return search_ != nullptr; }

  void findInFiles();
  void stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int runGrep(const GrepCommand& command);

  FrameWindow* frame_;
  FindSettings settings_;
  std::function<bool(FindSettings&)> ask_;
  QString program_dir_;
  FileSearch* search_ = nullptr;  // while a search runs
};

}  // namespace zun::wb
