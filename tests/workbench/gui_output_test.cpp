// The output window and the tool runner: a double-clicked message line opens
// its source at its line, a linker line does nothing, a child's whole output
// arrives with its exit code, and a missing program is a failure.
#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <Qsci/qsciscintillabase.h>

#include "gui_fixture.h"
#include "workbench/build/output_child.h"
#include "workbench/build/tool_runner.h"

using namespace zun::wb;
using namespace zun::wb::test;

namespace {

long caret_line(EditorChild* e) {
  auto* s = e->component();
  return s->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, s->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
}

bool marked(EditorChild* e, int line) {
  return (e->component()->SendScintilla(QsciScintillaBase::SCI_MARKERGET, static_cast<unsigned long>(line)) &
          (1 << EditorChild::message_marker)) != 0;
}

}  // namespace

class OutputTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    frame->outOpenClear();
    out = frame->output();
    ASSERT_NE(out, nullptr);
  }
  // Double-clicks the given row of the output window.
  void doubleClickRow(int row) {
    int y = row * frame->fonts().row_height + frame->fonts().row_height / 2;
    QTest::mouseDClick(out->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, y));
  }
  OutputChild* out = nullptr;
};

TEST_F(OutputTest, WbDoubleClickJumpsToTheMessageLine) {
  std::string lines;
  for (int i = 1; i <= 30; ++i) lines += "l" + std::to_string(i) + "\n";
  put("main.c", lines);
  std::string msg = "\"" + path("main.c").toStdString() + "\" (12): error: x\n";
  frame->outPrint(msg);
  frame->outPrint("Error: undefined symbol '_main'\n");
  frame->outPrint("\"" + path("missing.c").toStdString() + "\" (3): error: y\n");

  doubleClickRow(1);  // the linker's line names no file
  EXPECT_EQ(editorCount(), 0);
  doubleClickRow(0);
  ASSERT_EQ(editorCount(), 1);
  EditorChild* e = frame->editors()->editors().front();
  EXPECT_EQ(caret_line(e), 11);
  EXPECT_TRUE(marked(e, 11));

  e->goToLine(0);
  doubleClickRow(0);  // already open: the same editor moves to the line
  EXPECT_EQ(editorCount(), 1);
  EXPECT_EQ(caret_line(e), 11);

  doubleClickRow(2);  // a file that cannot be opened stops there
  EXPECT_EQ(editorCount(), 1);
  ASSERT_EQ(dialogs->errors.size(), 1u);
  doubleClickRow(20);  // below the text
  EXPECT_EQ(editorCount(), 1);

  frame->outOpenClear();  // a new run clears the message marker everywhere
  EXPECT_FALSE(marked(e, 11));
}

// A line cut at the window's visible columns must fit the window as drawn.
TEST_F(OutputTest, WbWrappedLinesFitTheWindow) {
  out->parentWidget()->resize(500, 200);
  QApplication::processEvents();
  frame->outPrint(std::string(300, 'w') + "\n");
  const auto& lines = out->text().lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_LT(lines[0].size(), 255u);
  const int drawn = QFontMetrics(frame->fonts().cell).horizontalAdvance(QString::fromStdString(lines[0]));
  EXPECT_LE(drawn, out->viewport()->width());
}

TEST_F(OutputTest, WbToolOutputArrivesWholeWithItsExitCode) {
  const int count = 17000;  // 17000 lines of 60 characters: about 1 MB
  QString cmdline = QStringLiteral("\"%1\" %2 7").arg(QStringLiteral(WB_PRINT_LINES)).arg(count);
  EXPECT_EQ(frame->runProcess(cmdline), 7);
  const auto& lines = out->text().lines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    char expect[16];
    std::snprintf(expect, sizeof expect, "line %06d ", i);
    ASSERT_EQ(lines[i].substr(0, 12), expect) << i;
    ASSERT_EQ(lines[i].size(), 61u) << i;
  }
  EXPECT_FALSE(frame->toolRunner()->running());
  EXPECT_EQ(out->verticalScrollBar()->value(), out->verticalScrollBar()->maximum());
}

TEST_F(OutputTest, WbMissingProgramIsAFailure) {
  int rc = frame->toolRunner()->runTool(dir_.path(), QStringLiteral("no_such_tool.exe"), QStringLiteral("-x"),
                          QStringLiteral("Compiling..."));
  EXPECT_NE(rc, 0);
  EXPECT_EQ(rc, run_not_started);
  std::string all;
  for (const auto& l : out->text().lines()) all += l + "\n";
  all += out->text().pending();
  EXPECT_NE(all.find("Failed to create process, system message is: "), std::string::npos) << all;
  EXPECT_EQ(frame->statusText()->text(), "Ready");
  EXPECT_EQ(frame->runProcess(QStringLiteral("   ")), run_not_started);
}

TEST_F(OutputTest, WbStopEndsTheRunningTool) {
  QTimer::singleShot(200, frame.get(), [&] { frame->toolRunner()->stop(); });
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(frame->runProcess(QStringLiteral("sleep 20")), run_cancelled);
  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_FALSE(frame->toolRunner()->running());

  // Stop asks the tool first, so that it can remove its temporary files, and
  // it reaches what the tool started.
  QTimer::singleShot(300, frame.get(), [&] { frame->toolRunner()->stop(); });
  clock.restart();
  EXPECT_EQ(frame->runProcess(QStringLiteral("sh -c \"trap 'echo asked; exit 3' TERM; sleep 30 & wait\"")),
            run_cancelled);
  EXPECT_LT(clock.elapsed(), stop_grace_ms);
  ASSERT_FALSE(out->text().lines().empty());
  EXPECT_EQ(out->text().lines().back(), "asked");
  // A tool that does not listen is killed after the grace period.
  QTimer::singleShot(300, frame.get(), [&] { frame->toolRunner()->stop(); });
  clock.restart();
  EXPECT_EQ(frame->runProcess(QStringLiteral("sh -c \"trap '' TERM; sleep 30\"")), run_cancelled);
  EXPECT_GE(clock.elapsed(), stop_grace_ms);
  EXPECT_LT(clock.elapsed(), stop_grace_ms + 5000);
}

TEST_F(OutputTest, WbOnlyMenusTakeInputWhileAToolRuns) {
  put("a.c", "x\n");
  EditorChild* e = frame->editors()->open(path("a.c"));
  frame->registerCommand(cmd::find_in_files, [](qintptr) {});
  bool was_running = false, find_enabled = true, file_menu_opened = false;
  QString typed_in_dialog;
  QTimer::singleShot(0, frame.get(), [&] {
    was_running = frame->toolRunner()->running();
    frame->updateMenus();
    find_enabled = frame->action(cmd::find_in_files)->isEnabled();
    QTest::keyClicks(e->component(), "zz");
    // A click as the window system delivers it: to the frame's window first.
    QMenu* file = frame->menu(MenuId::File);
    QPoint at = frame->menuBar()->actionGeometry(file->menuAction()).center();
    QTest::mouseClick(frame->windowHandle(), Qt::LeftButton, {}, frame->menuBar()->mapTo(frame.get(), at));
    file_menu_opened = file->isVisible();
    file->hide();
    // A dialog opened from a menu meanwhile is usable.
    QDialog dialog(frame.get());
    auto* field = new QLineEdit(&dialog);
    dialog.open();
    QTest::keyClicks(field, "ab");
    typed_in_dialog = field->text();
  });
  QString cmdline = QStringLiteral("\"%1\" 2000 0").arg(QStringLiteral(WB_PRINT_LINES));
  EXPECT_EQ(frame->runProcess(cmdline), 0);
  EXPECT_TRUE(was_running);
  EXPECT_FALSE(find_enabled);
  EXPECT_TRUE(file_menu_opened);
  EXPECT_EQ(typed_in_dialog, "ab");
  EXPECT_EQ(e->bytes(), "x\n");
  EXPECT_TRUE(frame->action(cmd::find_in_files)->isEnabled());
  QTest::keyClicks(e->component(), "zz");  // input works again afterwards
  EXPECT_EQ(e->bytes(), "zzx\n");
}
