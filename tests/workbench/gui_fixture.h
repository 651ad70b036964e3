// Shared by the offscreen widget tests: one application for the whole binary,
// scripted answers for every question the workbench asks, access checks that
// can make a file look read-only, and a scratch directory per test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "workbench/core/workbench_core.h"
#include "workbench/editor/editor_child.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/editor/file_access.h"
#include "workbench/frame/frame_window.h"
#include "workbench/frame/user_dialogs.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace zun::wb::test {

inline void ensure_app() {
  static QApplication* app = nullptr;
  if (app) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QTemporaryDir config;  // keeps the recent-workspace store out of $HOME
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  static int argc = 1;
  static char name[] = "workbench_gui_test";
  static char* argv[] = {name, nullptr};
  app = new QApplication(argc, argv);
}

// Acts on the modal dialog of this name (any, when empty) once it is up;
// the dialogs run their own event loops, so the action waits for them.
inline void whenShown(const QString& name, std::function<void(QWidget*)> act, int tries = 400) {
  QTimer::singleShot(10, [=] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && (name.isEmpty() || w->objectName() == name))
      act(w);
    else if (tries > 0)
      whenShown(name, act, tries - 1);
    else
      ADD_FAILURE() << "dialog " << name.toStdString() << " never came";
  });
}

// Answers are taken from the front of each queue; a question without a
// scripted answer fails the test.
class ScriptedDialogs : public UserDialogs {
 public:
  std::vector<QString> errors, warnings, questions, asked_save;
  std::deque<bool> question_answers;
  std::deque<Answer> save_answers, save_all_answers, reload_answers;
  std::deque<QString> file_names;
  unsigned line = 0;

  void error(const QString& t) override { errors.push_back(t); }
  void warning(const QString& t) override { warnings.push_back(t); }
  bool question(const QString& t) override {
    questions.push_back(t);
    return take(question_answers, false);
  }
  Answer askSave(const QString& f) override {
    asked_save.push_back(f);
    return take(save_answers, Answer::Cancel);
  }
  Answer askSaveAll(const QString& f) override {
    asked_save.push_back(f);
    return take(save_all_answers, Answer::Yes);
  }
  Answer askReloadAll(const QString&) override { return take(reload_answers, Answer::No); }
  std::vector<QString> dialog_dirs;  // where each file dialog started
  QString openFileName(const QString& d) override {
    dialog_dirs.push_back(d);
    return take(file_names, QString());
  }
  QString saveFileName(const QString& d) override {
    dialog_dirs.push_back(d);
    return take(file_names, QString());
  }
  std::vector<QString> load_offers;  // the file each Load File dialog offered
  QString loadFileName(const QString&, const QString& offered) override {
    load_offers.push_back(offered);
    return take(file_names, QString());
  }
  std::function<unsigned()> go_to_line;  // a dialog of its own, else `line`
  unsigned goToLine() override { return go_to_line ? go_to_line() : line; }
  // Prints into a PDF file when one is named, else cancels.
  QString pdf;
  bool choosePrinter(QPrinter& printer) override {
    if (pdf.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  }
  void about(const QString&) override {}
  void help(const QString&) override {}

 private:
  template <class T>
  static T take(std::deque<T>& q, T fallback) {
    if (q.empty()) {
      ADD_FAILURE() << "a question was asked that the test did not expect";
      return fallback;
    }
    T v = q.front();
    q.pop_front();
    return v;
  }
};

class FakeAccess : public FileAccess {
 public:
  std::set<QString> read_only, unreadable;
  bool readable(const QString& p) const override { return !unreadable.count(p) && FileAccess::readable(p); }
  bool writable(const QString& p) const override { return !read_only.count(p) && FileAccess::writable(p); }
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_app();
    ASSERT_TRUE(dir_.isValid());
    auto d = std::make_unique<ScriptedDialogs>();
    auto a = std::make_unique<FakeAccess>();
    dialogs = d.get();
    access = a.get();
    frame = std::make_unique<FrameWindow>(std::move(d), std::move(a));
    frame->resize(1200, 800);
    frame->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    // Whatever the test left open goes without questions.
    for (const auto& e : frame->editors()->editors())
      if (e) e->discardEdits();
    frame.reset();
    QApplication::processEvents();
  }

  QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  std::string file(const char* name) const { return read_file_bytes(path(name).toStdString()).value_or("<missing>"); }
  void put(const char* name, const std::string& bytes) const {
    ASSERT_TRUE(write_file_bytes(path(name).toStdString(), bytes));
  }
  int editorCount() const { return frame->editors()->count(); }
  int childCount() const { return static_cast<int>(frame->mdiArea()->subWindowList().size()); }

  QTemporaryDir dir_;
  ScriptedDialogs* dialogs = nullptr;
  FakeAccess* access = nullptr;
  std::unique_ptr<FrameWindow> frame;
};

}  // namespace zun::wb::test
