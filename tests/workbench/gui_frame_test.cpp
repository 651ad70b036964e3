// The frame's wiring: its menu bar, greying applied to the actions in the
// states the enabling rules name, routing of commands, and the Go To Line
// dialog's result reaching the active editor.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <Qsci/qsciscintillabase.h>

#include "gui_fixture.h"

using namespace zun::wb;
using namespace zun::wb::test;

namespace {

QStringList visibleTitles(QMenuBar* bar) {
  QStringList out;
  for (QAction* a : bar->actions())
    if (a->isVisible()) out << a->text();
  return out;
}

}  // namespace

TEST_F(FrameTest, WbMenuBarAndGreyingWithoutAnyWindow) {
  EXPECT_EQ(frame->objectName(), "ZunFrame");
  EXPECT_EQ(visibleTitles(frame->menuBar()),
            (QStringList{"&File", "&Edit", "&Project", "&Build", "&Debug", "&Windows", "&Help"}));
  for (int id : {cmd::new_workspace, cmd::open_workspace}) frame->registerCommand(id, [](qintptr) {});
  frame->updateMenus();
  EXPECT_TRUE(frame->action(cmd::new_workspace)->isEnabled());
  EXPECT_TRUE(frame->action(cmd::open_workspace)->isEnabled());
  EXPECT_TRUE(frame->action(43151)->isEnabled());
  for (int id : {cmd::close_workspace, cmd::save, cmd::save_as, cmd::save_all, cmd::close_file, cmd::cut,
                 cmd::goto_line_dialog, cmd::make, cmd::build, cmd::stop_search, cmd::recent_first, 43153})
    EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
  EXPECT_EQ(frame->action(cmd::recent_first)->text(), "(Empty)");
  EXPECT_EQ(frame->statusText()->text(), "Ready");
}

TEST_F(FrameTest, WbEditorEnablesItsItemsAndCaptionFollowsModifiedState) {
  put("main.c", "int x;\n");
  EditorChild* e = frame->editors()->open(path("main.c"));
  ASSERT_NE(e, nullptr);
  frame->updateMenus();
  EXPECT_TRUE(frame->action(cmd::save_as)->isEnabled());
  EXPECT_TRUE(frame->action(cmd::close_file)->isEnabled());
  EXPECT_TRUE(frame->action(cmd::save_all)->isEnabled());
  EXPECT_FALSE(frame->action(cmd::save)->isEnabled());
  EXPECT_FALSE(frame->action(cmd::cut)->isEnabled());
  EXPECT_FALSE(frame->action(cmd::make)->isEnabled());  // no project
  EXPECT_EQ(frame->windowTitle(), "No Project - KVT ZUN09 - for KY09 (MC6809) - [main.c]");

  e->component()->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
  e->component()->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 1UL, "y");
  frame->updateMenus();
  EXPECT_TRUE(frame->action(cmd::save)->isEnabled());
  EXPECT_EQ(frame->windowTitle(), "No Project - KVT ZUN09 - for KY09 (MC6809) - [main.c *]");
  frame->dispatch(cmd::select_all);
  frame->updateMenus();
  EXPECT_TRUE(frame->action(cmd::cut)->isEnabled());
  frame->action(cmd::save)->trigger();
  EXPECT_FALSE(e->modified());
  EXPECT_EQ(frame->windowTitle(), "No Project - KVT ZUN09 - for KY09 (MC6809) - [main.c]");
}

TEST_F(FrameTest, WbGreyedCommandsAreRefusedAndGoToLineReachesTheEditor) {
  put("a.s09", "one\ntwo\nthree\nfour\n");
  EditorChild* e = frame->editors()->open(path("a.s09"));
  ASSERT_NE(e, nullptr);
  auto line = [e] {
    auto* s = e->component();
    return s->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                            s->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
  };
  dialogs->line = 3;
  frame->dispatch(cmd::goto_line_dialog);
  EXPECT_EQ(line(), 2);
  dialogs->line = 0;  // nothing usable typed: no move
  frame->dispatch(cmd::goto_line_dialog);
  EXPECT_EQ(line(), 2);
  // Save is greyed while the text is unmodified; the dispatcher refuses it.
  put("a.s09", "changed on disk\n");
  frame->dispatch(cmd::save);
  EXPECT_EQ(file("a.s09"), "changed on disk\n");
}

// The status bar's caret position is the active editor's: it changes with
// the editor and goes with the last one, however that one closes.
TEST_F(FrameTest, WbTheCaretPositionGoesWithTheLastEditor) {
  const auto position = [this] {
    QString shown;
    for (QLabel* label : frame->statusBar()->findChildren<QLabel*>())
      if (label->text().startsWith("Ln ")) shown = label->text();
    return shown;
  };
  std::string text;
  for (int i = 1; i <= 30; ++i) text += "line " + std::to_string(i) + "\n";
  put("a.c", text);
  put("b.c", "x\n");
  EditorChild* a = frame->editors()->open(path("a.c"));
  ASSERT_NE(a, nullptr);
  dialogs->line = 25;
  frame->dispatch(cmd::goto_line_dialog);
  a->component()->SendScintilla(QsciScintillaBase::SCI_CHARRIGHT);
  QApplication::processEvents();
  EXPECT_EQ(position(), "Ln 25 Col 2");
  // Another editor shows its own place, and the first one's on its return.
  ASSERT_NE(frame->editors()->open(path("b.c")), nullptr);
  frame->dispatch(cmd::close_file);
  QApplication::processEvents();
  EXPECT_EQ(position(), "Ln 25 Col 2");
  frame->dispatch(cmd::close_file);
  QApplication::processEvents();
  EXPECT_EQ(editorCount(), 0);
  EXPECT_EQ(position(), "");
  // Close All, with the output window still open behind.
  frame->outOpenClear();
  ASSERT_NE(frame->editors()->open(path("a.c")), nullptr);
  ASSERT_NE(frame->editors()->open(path("b.c")), nullptr);
  EXPECT_EQ(position(), "Ln 1 Col 1");
  frame->dispatch(cmd::close_all);
  QApplication::processEvents();
  EXPECT_EQ(position(), "");
}

TEST_F(FrameTest, WbOutputWindowIsCreatedOnceAndClosedByItsCommand) {
  frame->outOpenClear();
  ASSERT_NE(frame->output(), nullptr);
  EXPECT_EQ(frame->output()->parentWidget()->objectName(), "ZunOutputChild");
  frame->outPrint("hello\n");
  frame->outOpenClear();
  EXPECT_EQ(childCount(), 1);
  EXPECT_EQ(frame->output()->text().last_index(), -1);
  frame->dispatch(cmd::close_output);
  QApplication::processEvents();
  EXPECT_EQ(frame->output(), nullptr);
  frame->outPrint("nowhere\n");  // silent without a window
  frame->outOpenClear();
  EXPECT_NE(frame->output(), nullptr);
}

TEST_F(FrameTest, WbCommandLineRefusesOtherFileTypes) {
  frame->startUp(path("main.c"));
  ASSERT_EQ(dialogs->errors.size(), 1u);
  EXPECT_EQ(dialogs->errors[0], "Don't recognise this file type...");
}

TEST_F(FrameTest, WbOpenTerminalListsThePortsFound) {
  frame->setPortProbe([](int n) { return n == 0 || n == 2; });
  QMenu* ports = frame->menu(MenuId::OpenTerminal);
  emit ports->aboutToShow();
  QStringList texts;
  for (QAction* a : ports->actions()) texts << a->text() + "=" + QString::number(a->data().toInt());
  EXPECT_EQ(texts, (QStringList{"COM&1=41001", "COM&3=41003"}));
  frame->setPortProbe([](int n) { return n == 1; });
  emit ports->aboutToShow();
  ASSERT_EQ(ports->actions().size(), 1);
  EXPECT_EQ(ports->actions()[0]->text(), "COM&2");
}

TEST_F(FrameTest, WbRecentWorkspacesMenu) {
  frame->registerCommand(cmd::recent_first, [](qintptr) {});
  frame->updateMenus();
  EXPECT_EQ(frame->action(cmd::recent_first)->text(), "(Empty)");
  EXPECT_FALSE(frame->action(cmd::recent_first)->isEnabled());
  frame->pushRecent(path("one.w09"));
  frame->pushRecent(path("two.w09"));
  frame->updateMenus();
  EXPECT_EQ(frame->action(cmd::recent_first)->text(), "1: " + path("two.w09"));
  EXPECT_EQ(frame->action(cmd::recent_first + 1)->text(), "2: " + path("one.w09"));
  EXPECT_TRUE(frame->action(cmd::recent_first)->isEnabled());
}

TEST_F(FrameTest, WbLoadFileIsChosenOnce) {
  dialogs->file_names = {path("app.s19"), QString()};
  EXPECT_TRUE(frame->selectLoadFile());
  EXPECT_EQ(frame->loadFile(), path("app.s19"));
  EXPECT_FALSE(frame->selectLoadFile());  // cancelled: the old choice stays
  EXPECT_EQ(frame->loadFile(), path("app.s19"));
}

namespace {

// A child window that records the commands routed to it.
class RecordingChild : public QWidget, public MdiChild {
 public:
  std::vector<std::pair<int, QString>> got;
  bool command(int id, qintptr param) override {
    got.emplace_back(id, id == cmd::load_into_child ? *reinterpret_cast<const QString*>(param) : QString());
    return true;
  }
  bool queryClose() override { return true; }
  void describe(WorkbenchState&) const override {}
};

}  // namespace

TEST_F(FrameTest, WbDispatcherRoutesInOrder) {
  std::vector<std::pair<int, qintptr>> handled;
  for (int id : {cmd::open_terminal, cmd::build, cmd::recent_first})
    frame->registerCommand(id, [&handled, id](qintptr p) { handled.emplace_back(id, p); });
  bool project = false;
  frame->addStateProvider([&project](WorkbenchState& s) { s.project_open = project; });

  frame->dispatch(41003);  // a port item opens the terminal for index 2
  frame->dispatch(cmd::build);  // greyed without a project: refused
  project = true;
  frame->dispatch(cmd::build);
  frame->dispatch(cmd::recent_first + 1);  // an empty slot does nothing
  frame->pushRecent(path("w.w09"));
  frame->dispatch(cmd::recent_first);
  EXPECT_EQ(handled, (std::vector<std::pair<int, qintptr>>{
                         {cmd::open_terminal, 2}, {cmd::build, 0}, {cmd::recent_first, 0}}));

  auto* child = new RecordingChild;
  frame->mdiArea()->addSubWindow(child)->show();
  frame->mdiArea()->setActiveSubWindow(frame->mdiArea()->subWindowList().last());
  frame->dispatch(cmd::dbg_run_no_breaks);  // not the frame's: the active child's
  dialogs->file_names = {path("app.s19"), QString()};
  frame->dispatch(cmd::load_into_child);
  frame->dispatch(cmd::load_into_child);  // cancelled: nothing sent
  frame->dispatch(cmd::reload_load_file);
  EXPECT_EQ(child->got, (std::vector<std::pair<int, QString>>{{cmd::dbg_run_no_breaks, QString()},
                                                              {cmd::load_into_child, path("app.s19")},
                                                              {cmd::load_into_child, path("app.s19")}}));
}

// fontconfig keeps caches for the life of the process and never frees them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
