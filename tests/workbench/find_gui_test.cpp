// Find in Files in the workbench: the FINDINFILES dialog and its histories,
// a search with its hits in the output window and the jump to one, the stop
// command, and the searches that cannot start.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <Qsci/qsciscintillabase.h>

#include "../tools/tool_run.h"
#include "gui_fixture.h"
#include "workbench/build/find_controller.h"
#include "workbench/build/find_dialog.h"
#include "workbench/build/output_child.h"

using namespace zun::wb;
using namespace zun::wb::test;

namespace {

std::vector<std::string> output_lines(FrameWindow& frame) {
  std::vector<std::string> lines = frame.output()->text().lines();
  if (!frame.output()->text().pending().empty()) lines.push_back(frame.output()->text().pending());
  return lines;
}

class FindTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    find = new FindInFilesController(frame.get());
    find->setProgramDir(QString::fromStdString(zun::test::stage_bin()));
  }
  // The dialog's answer: search `what` in `folder`.
  void answer(const std::string& what, const QString& folder, bool subfolders, bool regex = false) {
    find->setAsk([=](FindSettings& s) {
      s.what.push(what);
      s.folder.push(folder.toStdString());
      s.subfolders = subfolders;
      s.regex = regex;
      return true;
    });
  }
  FindInFilesController* find = nullptr;
};

}  // namespace

TEST_F(FrameTest, WbFindDialogShowsAndStoresItsHistories) {
  FindSettings s;
  s.what.push("older");
  s.what.push("main");
  prepare_find_dialog(s, "/start/here");
  QString browsed = path("chosen");
  FindInFilesDialog dlg(s, frame.get(), [&](const QString& start) {
    EXPECT_EQ(start, "/start/here");
    return browsed;
  });
  dlg.show();
  EXPECT_EQ(dlg.objectName(), "FINDINFILES");
  EXPECT_EQ(dlg.windowTitle(), "Find in Files");
  auto* what = dlg.findChild<QComboBox*>("find what");
  auto* types = dlg.findChild<QComboBox*>("file types");
  auto* folder = dlg.findChild<QComboBox*>("folder");
  auto* find = dlg.findChild<QPushButton*>("Find");
  ASSERT_TRUE(what && types && folder && find);
  EXPECT_EQ(what->count(), 2);
  EXPECT_EQ(what->currentText(), "main");
  EXPECT_EQ(types->currentText(), "*.c;*.h;*.s09");
  EXPECT_EQ(folder->currentText(), "/start/here");

  what->lineEdit()->clear();
  EXPECT_FALSE(find->isEnabled());  // nothing to look for
  QTest::keyClicks(what->lineEdit(), QString(70, 'x'));
  EXPECT_EQ(what->currentText(), QString(63, 'x'));  // the field takes what the history keeps
  EXPECT_TRUE(find->isEnabled());
  types->lineEdit()->setText("*.c;*.h;*.s09;*.asm;*.lsc;*.txt;*.map");
  QTest::mouseClick(dlg.findChild<QPushButton*>("browse"), Qt::LeftButton);
  EXPECT_EQ(folder->currentText(), browsed);
  EXPECT_EQ(s.folder.current(), browsed.toStdString());  // kept even if the dialog is cancelled
  dlg.findChild<QCheckBox*>("Match case")->setChecked(true);
  dlg.findChild<QCheckBox*>("Look in subfolders")->setChecked(true);
  QTest::mouseClick(find, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(s.what.current(), std::string(63, 'x'));
  EXPECT_EQ(s.what.at(1), "main");
  EXPECT_EQ(s.types.current(), "*.c;*.h;*.s09;*.asm;*.lsc;*.txt");  // cut at 31
  EXPECT_TRUE(s.match_case && s.subfolders && !s.regex && !s.whole_words);

  FindInFilesDialog again(s, frame.get());
  again.show();
  again.findChild<QCheckBox*>("Regular expression")->setChecked(true);
  QTest::mouseClick(again.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
  EXPECT_EQ(again.result(), QDialog::Rejected);
  EXPECT_FALSE(s.regex);
}

TEST_F(FindTest, WbHitsLandInTheOutputWindowAndADoubleClickOpensTheLine) {
  put("main.c", "");
  QDir(dir_.path()).mkpath("src/sub");
  QDir(dir_.path()).mkpath("src/.svn");
  put("src/main.c", "/* main */\nint x;\nint main(void) { return 0; }\n");
  put("src/sub/util.h", "void main_loop(void);\n");
  put("src/.svn/copy.c", "int main(void);\n");
  put("src/notes.txt", "main\n");
  answer("main", path("src"), true);
  frame->dispatch(cmd::find_in_files);
  const std::string src = path("src").toStdString();
  EXPECT_EQ(output_lines(*frame), (std::vector<std::string>{
                                      "Searching for 'main'",
                                      "\"" + src + "/main.c\" (1) /* main */",
                                      "\"" + src + "/main.c\" (3) int main(void) { return 0; }",
                                      "\"" + src + "/sub/util.h\" (1) void main_loop(void);",
                                      "Search finished, 3 occurance(s) found",
                                  }));
  EXPECT_EQ(frame->statusText()->text(), "Ready");
  EXPECT_FALSE(find->searching());

  const int row = 2;
  QTest::mouseDClick(frame->output()->viewport(), Qt::LeftButton, Qt::NoModifier,
                     QPoint(5, row * frame->fonts().row_height + frame->fonts().row_height / 2));
  EditorChild* e = frame->editors()->findByPath(path("src/main.c"));
  ASSERT_NE(e, nullptr);
  auto* s = e->component();
  EXPECT_EQ(s->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, s->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)),
            2);

  // A regular expression, and a text that a command line would have split.
  answer("ret(urn|ry) 0", path("src"), false, true);
  frame->dispatch(cmd::find_in_files);
  EXPECT_EQ(output_lines(*frame).back(), "Search finished, 1 occurance(s) found");
  put("src/quote.c", "say \"x\" -y\n");
  answer("\"x\" -y", path("src"), false);
  frame->dispatch(cmd::find_in_files);
  EXPECT_EQ(output_lines(*frame)[1], "\"" + src + "/quote.c\" (1) say \"x\" -y");
}

TEST_F(FindTest, WbStopSearchEndsTheSearchAndTheMenusFollow) {
  QDir(dir_.path()).mkpath("many");
  for (int i = 0; i < 30; ++i) put(QStringLiteral("many/f%1.c").arg(i, 2, 10, QLatin1Char('0')).toUtf8().constData(), "hit\n");
  answer("hit", path("many"), false);
  bool find_greyed = false, stop_enabled = false;
  QTimer::singleShot(0, frame.get(), [&] {
    frame->updateMenus();
    find_greyed = !frame->action(cmd::find_in_files)->isEnabled();
    stop_enabled = frame->action(cmd::stop_search)->isEnabled();
    frame->action(cmd::stop_search)->trigger();
  });
  frame->dispatch(cmd::find_in_files);
  EXPECT_TRUE(find_greyed);
  EXPECT_TRUE(stop_enabled);
  std::vector<std::string> lines = output_lines(*frame);
  EXPECT_EQ(lines.back(), "Search cancelled");
  EXPECT_LT(lines.size(), 30u);
  EXPECT_TRUE(frame->action(cmd::find_in_files)->isEnabled());
  EXPECT_FALSE(frame->action(cmd::stop_search)->isEnabled());
}

TEST_F(FindTest, WbSearchesThatCannotStart) {
  put("a.c", "x\n");
  find->setProgramDir(path("no-programs-here"));
  answer("x", dir_.path(), false);
  frame->dispatch(cmd::find_in_files);
  std::vector<std::string> lines = output_lines(*frame);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "Search stopped, fgrep could not be run");
  EXPECT_EQ(frame->statusText()->text(), "Ready");

  answer("x", path("missing"), false);
  frame->dispatch(cmd::find_in_files);
  answer("(x", dir_.path(), false, true);
  frame->dispatch(cmd::find_in_files);
  ASSERT_EQ(dialogs->errors.size(), 2u);
  EXPECT_EQ(dialogs->errors[0], "Can't set current directory");
  EXPECT_NE(dialogs->errors[1].indexOf("(x"), -1);

  find->setAsk([](FindSettings&) { return false; });  // the dialog cancelled: nothing happens
  frame->outPrint("kept\n");
  frame->dispatch(cmd::find_in_files);
  EXPECT_EQ(output_lines(*frame).back(), "kept");
}

// fontconfig keeps caches for the life of the process and never frees them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
