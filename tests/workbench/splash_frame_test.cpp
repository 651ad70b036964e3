// The splash window and the About dialog, and the frame as a new user meets
// it: one caption with a maximised editor, a cascade of usable windows, and
// no menu item that is enabled but does nothing.
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include "gui_fixture.h"
#include "workbench/build/find_controller.h"
#include "workbench/frame/about_dialog.h"
#include "workbench/frame/splash_art.h"
#include "workbench/frame/splash_window.h"

using namespace zun::wb;
using namespace zun::wb::test;

namespace {

const QString version = QStringLiteral("VERSION 2.0, RELEASE DATE 26 February 2013)");

int red_pixels(const QImage& image, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      QColor c = image.pixelColor(x, y);
      if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++n;
    }
  return n;
}

void collect_enabled(QMenu* menu, std::set<int>& ids) {
  for (QAction* a : menu->actions()) {
    if (a->menu()) {
      emit a->menu()->aboutToShow();
      collect_enabled(a->menu(), ids);
    } else if (a->isVisible() && a->isEnabled() && a->data().toInt() > 0) {
      ids.insert(a->data().toInt());
    }
  }
}

}  // namespace

TEST_F(FrameTest, WbSplashClosesByItsTimerAndAtTheFirstKey) {
  Dib dib = *dib_load_resource("ZUN09_KY09_EDUC");
  EXPECT_EQ(SplashWindow::create(nullptr, dib, 50, version), nullptr);  // no owner, no splash
  EXPECT_EQ(SplashWindow::create(frame.get(), Dib(10, 0), 50, version), nullptr);

  QPointer<SplashWindow> timed = SplashWindow::create(frame.get(), dib, 50, version);
  ASSERT_TRUE(timed);
  EXPECT_EQ(timed->objectName(), "ZUNKY09##SplashScreenClass");
  EXPECT_EQ(timed->size(), QSize(splash_width, splash_height));
  EXPECT_TRUE(timed->isVisible());
  EXPECT_EQ(timed->geometry().center(), frame->geometry().center());
  QTRY_VERIFY_WITH_TIMEOUT(timed.isNull(), 3000);

  QPointer<SplashWindow> kept = SplashWindow::create(frame.get(), dib, 0, version);
  ASSERT_TRUE(kept);
  kept->setText(QStringLiteral("starting"));
  QImage shot = kept->grab().toImage();
  EXPECT_GT(red_pixels(shot, QRect(40, 380, 300, 14)), 10);  // the version line in red
  EXPECT_GT(red_pixels(shot, QRect(40, 400, 100, 14)), 5);   // and the window's text below
  QTest::qWait(100);
  EXPECT_TRUE(kept);  // no time-out: it stays
  QTest::keyClick(frame.get(), Qt::Key_Shift);
  QTRY_VERIFY_WITH_TIMEOUT(kept.isNull(), 3000);

  QPointer<SplashWindow> owned = SplashWindow::create(frame.get(), dib, 0, version);
  ASSERT_TRUE(owned);
  owned->closeSplash();
  QTRY_VERIFY_WITH_TIMEOUT(owned.isNull(), 3000);
}

TEST_F(FrameTest, WbAboutShowsTheProductNoticesAndVersion) {
  AboutDialog about(version, frame.get());
  EXPECT_EQ(about.objectName(), "IDD_ABOUT");
  EXPECT_EQ(about.windowTitle(), "ZUN09 - for KY09 (MC6809)");
  auto* product = about.findChild<QPlainTextEdit*>("product 1004");
  auto* notice = about.findChild<QPlainTextEdit*>("notice 1251");
  auto* shown = about.findChild<QLineEdit*>("version 2018");
  ASSERT_TRUE(product && notice && shown);
  QStringList lines = product->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[0].trimmed(), "ZUN09 - for KY09 (MC6809)");
  EXPECT_EQ(lines[6].trimmed(), "* Peripheral device Input-/Output simulator");
  EXPECT_EQ(notice->toPlainText().count(QLatin1Char('\n')), static_cast<int>(notice_lines().size()));
  EXPECT_EQ(shown->text(), version);
}

TEST_F(FrameTest, WbCaptionNamesAMaximisedEditorOnce) {
  put("hello.c", "int x;\n");
  EditorChild* e = frame->editors()->open(path("hello.c"));
  ASSERT_NE(e, nullptr);
  frame->mdiArea()->activeSubWindow()->showMaximized();
  e->component()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "y");
  frame->updateMenus();
  QApplication::processEvents();
  EXPECT_EQ(frame->windowTitle().toStdString(), "No Project - KVT ZUN09 - for KY09 (MC6809) - [hello.c *]");
  frame->mdiArea()->activeSubWindow()->showNormal();
  QApplication::processEvents();
  EXPECT_EQ(frame->windowTitle().toStdString(), "No Project - KVT ZUN09 - for KY09 (MC6809) - [hello.c *]");
}

TEST_F(FrameTest, WbCascadeKeepsWindowsUsable) {
  for (const char* name : {"a.c", "b.c", "c.c"}) {
    put(name, "x\n");
    ASSERT_NE(frame->editors()->open(path(name)), nullptr);
  }
  frame->outOpenClear();
  QMdiSubWindow* active = frame->mdiArea()->activeSubWindow();
  frame->dispatch(cmd::cascade);
  QList<QMdiSubWindow*> subs = frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
  ASSERT_EQ(subs.size(), 4);
  const int step = subs[1]->y() - subs[0]->y();
  EXPECT_GE(step, 15);
  for (int i = 0; i < subs.size(); ++i) {
    EXPECT_EQ(subs[i]->size(), QSize(800, 400)) << i;
    EXPECT_EQ(subs[i]->pos(), QPoint(i * step, i * step)) << i;
  }
  EXPECT_EQ(frame->mdiArea()->activeSubWindow(), active);
}

// Every item of the normal bar that can be chosen does something: with only
// the frame's own handlers and find in files, exactly these are enabled.
TEST_F(FrameTest, WbOnlyItemsThatActAreEnabled) {
  new FindInFilesController(frame.get());
  frame->setPortProbe([](int n) { return n == 0; });
  frame->updateMenus();
  std::set<int> enabled;
  for (QAction* top : frame->menuBar()->actions())
    if (top->isVisible() && top->menu()) collect_enabled(top->menu(), enabled);
  std::set<int> expected = {cmd::exit, cmd::find_in_files, cmd::cascade, cmd::tile, cmd::close_all, cmd::help,
                            cmd::about};
  for (int id = cmd::open_file_first; id <= cmd::new_file_last; ++id)
    if (id != 43153 && id != 43152 && id != 43160 && id != 43159) expected.insert(id);  // no project or workspace
  EXPECT_EQ(enabled, expected);

  // A handler registered later enables its items.
  frame->registerCommand(cmd::run_simulator, [](qintptr) {});
  frame->registerCommand(cmd::open_terminal, [](qintptr) {});
  frame->updateMenus();
  emit frame->menu(MenuId::OpenTerminal)->aboutToShow();
  EXPECT_TRUE(frame->action(cmd::run_simulator)->isEnabled());
  EXPECT_TRUE(frame->action(cmd::terminal_port_first)->isEnabled());
  EXPECT_FALSE(frame->action(cmd::machine_level)->isEnabled());
}
