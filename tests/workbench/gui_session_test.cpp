// The workbench as zun09 builds it, over the example workspace's Debug
// build: a debugging session does not outlive the workspace. Close
// Workspace asks first; No keeps the session with all its windows, Yes ends
// the debugger, the watch windows and the simulator with its terminal and
// PIA panel. The project manager, hidden while the session runs, comes back
// when it ends, however it ends; while it is shown, new windows keep clear
// of it. The devices' windows open without taking the keys.
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_controller.h"
#include "tests/simwin/sim_fixture.h"
#include "tests/workbench/gui_fixture.h"
#include "workbench/app/workbench_app.h"
#include "workbench/project/project_controller.h"
#include "workbench/project/project_manager.h"

namespace zun::wb::test {
namespace {

namespace fs = std::filesystem;

// The example workspace, built once for the whole binary.
struct Example {
  QTemporaryDir dir;
  std::string workspace, load;
  Example() {
    const std::string root = dir.path().toStdString();
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", root, fs::copy_options::recursive);
    const std::string build = qgetenv("ZUN_STAGE").toStdString() + "/bin/zbuild " + root + "/ky09demo.w09 --build";
    if (std::system((build + " >/dev/null 2>&1").c_str()) == 0) {
      workspace = root + "/ky09demo.w09";
      load = root + "/ky09demo/debug/ky09demo_Debug.s19";
    }
  }
};

const Example& example() {
  static Example e;
  return e;
}

bool wait_for(const std::function<bool()>& done) { return sim::test::wait_for(done, 10000); }

class DebugSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_app();
    ASSERT_FALSE(example().load.empty());
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    workbench = std::make_unique<Workbench>(std::move(scripted));
    frame().resize(1200, 800);
    frame().show();
    const std::string bin = qgetenv("ZUN_STAGE").toStdString() + "/bin";
    workbench->simulator().context().engine.bin_dir = bin;
    workbench->simulator().context().env.bin_dir = QString::fromStdString(bin);
    workbench->projects().setProgramDir(QString::fromStdString(bin));
    workbench->projects().openWorkspace(QString::fromStdString(example().workspace));
    QApplication::processEvents();
    ASSERT_TRUE(manager()->isVisible());
  }
  void TearDown() override {
    if (workbench)
      for (const auto& e : frame().editors()->editors())
        if (e) e->discardEdits();
    workbench.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  FrameWindow& frame() { return workbench->frame(); }
  sldwin::SldController& debugging() { return workbench->debugging(); }
  sim::SimulatorController& simulator() { return workbench->simulator(); }
  ProjectManagerWindow* manager() { return workbench->projects().manager(); }

  // Start Debugging with the simulator's devices up.
  void start() {
    dialogs->file_names = {QString::fromStdString(example().load)};
    frame().dispatch(cmd::run_simulator);
    ASSERT_TRUE(debugging().sessionOpen());
    ASSERT_TRUE(wait_for([this] { return simulator().devices().count() == 2; }));
    QApplication::processEvents();
  }
  // The titles of the MDI windows left, once the closed ones are gone.
  QStringList windows() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList titles;
    for (QMdiSubWindow* sub : frame().mdiArea()->subWindowList()) titles << sub->windowTitle();
    titles.sort();
    return titles;
  }

  ScriptedDialogs* dialogs = nullptr;
  std::unique_ptr<Workbench> workbench;
};

TEST_F(DebugSessionTest, CloseWorkspaceAsksThenEndsTheSessionWithAllItsWindows) {
  start();
  EXPECT_FALSE(manager()->isVisible());
  const QStringList session = windows();
  EXPECT_EQ(session, (QStringList{"Auto symbols", "Debug: '_startup.s09'", "Global symbols",
                                  "KY09 (MC6809) Visual Simulator", "PIA panel $E048", "Terminal $E028",
                                  "main.c"}));
  // No: nothing closes, and the debugger goes on.
  dialogs->question_answers = {false};
  frame().dispatch(cmd::close_workspace);
  EXPECT_EQ(dialogs->questions, std::vector<QString>{"End the debugging session and close the workspace?"});
  EXPECT_TRUE(debugging().sessionOpen());
  EXPECT_TRUE(workbench->projects().session().workspace.open());
  EXPECT_EQ(windows(), session);
  frame().dispatch(cmd::dbg_next);
  EXPECT_TRUE(wait_for([this] { return !debugging().debugger()->target().target_is_running(); }));
  // Yes: the session ends with every window of it, then the workspace closes.
  dialogs->question_answers = {true};
  frame().dispatch(cmd::close_workspace);
  EXPECT_FALSE(debugging().sessionOpen());
  EXPECT_FALSE(workbench->projects().session().workspace.open());
  EXPECT_EQ(windows(), QStringList{});
  EXPECT_EQ(simulator().window(), nullptr);
  EXPECT_EQ(simulator().devices().count(), 0);
  frame().updateMenus();
  EXPECT_TRUE(frame().menu(MenuId::Build)->menuAction()->isVisible());
  EXPECT_FALSE(frame().menu(MenuId::Debugger)->menuAction()->isVisible());
  EXPECT_TRUE(manager()->isVisible());
}

TEST_F(DebugSessionTest, TheProjectManagerComesBackAsTheSessionEnds) {
  start();
  EXPECT_FALSE(manager()->isVisible());
  frame().dispatch(cmd::dbg_close);
  EXPECT_EQ(windows(), QStringList{"main.c"});
  EXPECT_TRUE(manager()->isVisible());
  // Closing the simulator window ends the session too.
  start();
  auto* sub = qobject_cast<QMdiSubWindow*>(simulator().window()->parentWidget());
  frame().closeChild(sub);
  ASSERT_TRUE(wait_for([this] { return !debugging().sessionOpen(); }));
  EXPECT_EQ(windows(), QStringList{"main.c"});
  EXPECT_TRUE(manager()->isVisible());
  // A manager the user had closed stays closed.
  manager()->close();
  start();
  frame().dispatch(cmd::dbg_close);
  windows();
  EXPECT_FALSE(manager()->isVisible());
}

// The devices' windows open as a load attaches the devices, some while
// the frame's events go on: the window that the command opened stays the
// one the next keys and commands go to, the debugger at the start of a
// session, the simulator at Machine Level and after its own Load.
TEST_F(DebugSessionTest, DevicesWindowsOpenWithoutTakingTheKeys) {
  const auto activeIs = [this](QWidget* expected) {
    QApplication::processEvents();
    QTest::qWait(300);  // the devices' windows keep in step on a timer
    QMdiSubWindow* active = frame().mdiArea()->activeSubWindow();
    if (!active || active->widget() != expected) return "active: " + (active ? active->windowTitle() : "none");
    if (!expected->isAncestorOf(QApplication::focusWidget())) return QStringLiteral("the keys go elsewhere");
    return QString();
  };
  frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
  dialogs->file_names = {QString::fromStdString(example().load)};
  frame().choose(cmd::run_simulator);
  ASSERT_TRUE(debugging().sessionOpen());
  ASSERT_TRUE(wait_for([this] { return simulator().devices().count() == 2; }));
  EXPECT_EQ(activeIs(debugging().window()), "");
  frame().choose(cmd::dbg_close);
  ASSERT_TRUE(wait_for([this] { return manager()->isVisible(); }));

  frame().activateWindow();  // from the project manager, back again
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
  dialogs->file_names = {QString::fromStdString(example().load)};
  frame().choose(cmd::machine_level);
  ASSERT_NE(simulator().window(), nullptr);
  EXPECT_EQ(activeIs(simulator().window()), "");
  simulator().window()->command(SIM_LOAD, 0);
  EXPECT_EQ(activeIs(simulator().window()), "");
}

// The project manager floats over the frame's area: at Machine Level, with
// the output window open, the simulator and its devices' windows open
// where nothing of them lies under it.
TEST_F(DebugSessionTest, MachineLevelWindowsOpenClearOfTheProjectManager) {
  frame().dispatch(cmd::output_window);
  dialogs->file_names = {QString::fromStdString(example().load)};
  frame().dispatch(cmd::machine_level);
  ASSERT_TRUE(wait_for([this] { return simulator().devices().count() == 2; }));
  const QStringList titles = windows();
  ASSERT_EQ(titles, (QStringList{"KY09 (MC6809) Visual Simulator", "Output", "PIA panel $E048", "Terminal $E028",
                                 "main.c"}));
  QWidget* viewport = frame().mdiArea()->viewport();
  for (QMdiSubWindow* sub : frame().mdiArea()->subWindowList()) {
    if (sub->windowTitle() == "Output" || sub->windowTitle() == "main.c") continue;
    const QRect on_screen(viewport->mapToGlobal(sub->pos()), sub->size());
    EXPECT_FALSE(on_screen.intersects(manager()->frameGeometry())) << sub->windowTitle().toStdString();
  }
}

// The project manager hides as a session starts, before the session's
// windows open: they go where they go without it. (The devices' windows
// follow on a timer, so their places depend on the moment.)
TEST_F(DebugSessionTest, TheSessionsWindowsGoWhereTheyGoWithoutTheProjectManager) {
  const auto places = [this] {
    std::map<std::string, std::array<int, 4>> at;
    for (QMdiSubWindow* sub : frame().mdiArea()->subWindowList())
      if (!sub->objectName().startsWith("Tovrel"))
        at[sub->windowTitle().toStdString()] = {sub->x(), sub->y(), sub->width(), sub->height()};
    return at;
  };
  start();
  const auto with_manager = places();
  frame().dispatch(cmd::dbg_close);
  ASSERT_TRUE(wait_for([this] { return manager()->isVisible(); }));
  manager()->close();
  windows();
  start();
  EXPECT_EQ(places(), with_manager);
}

// The program's console must be readable as the program writes to it:
// at the start of a session, after a build left the output window open, no
// window lies over the terminal's text, on a large and on a small screen,
// and the keys still go to the debugger; a terminal covered since comes to
// the front as the program writes.
TEST_F(DebugSessionTest, TheConsoleShowsItsText) {
  for (QSize size : {QSize(1600, 975), QSize(1024, 675)}) {
    SCOPED_TRACE(size.width());
    frame().resize(size);
    frame().dispatch(cmd::output_window);
    QApplication::processEvents();
    start();
    QTest::qWait(300);  // the devices' windows keep in step on a timer
    const QList<QMdiSubWindow*> stack = frame().mdiArea()->subWindowList(QMdiArea::StackingOrder);
    const auto terminal = std::find_if(stack.begin(), stack.end(),
                                       [](QMdiSubWindow* sub) { return sub->objectName() == "TovrelTerminal"; });
    ASSERT_NE(terminal, stack.end());
    QWidget* text = (*terminal)->widget();
    const QRect shown(text->mapTo(frame().mdiArea()->viewport(), QPoint(0, 0)), text->size());
    EXPECT_TRUE(frame().mdiArea()->viewport()->rect().contains(shown));
    for (auto above = terminal + 1; above != stack.end(); ++above)
      EXPECT_FALSE((*above)->geometry().intersects(shown)) << (*above)->windowTitle().toStdString();
    EXPECT_EQ(frame().mdiArea()->activeSubWindow(), debugging().window()->parentWidget());
    if (size.width() == 1600) {
      // The user works in the debugger, which comes over the terminal; as
      // the program writes its greeting, the terminal comes to the front.
      debugging().window()->parentWidget()->raise();
      ASSERT_EQ(frame().mdiArea()->subWindowList(QMdiArea::StackingOrder).last()->widget(), debugging().window());
      frame().dispatch(cmd::dbg_run);  // to main
      ASSERT_TRUE(wait_for([this] { return !debugging().debugger()->target().target_is_running(); }));
      frame().dispatch(cmd::dbg_run);  // greets, then waits for keys
      auto* console = qobject_cast<QPlainTextEdit*>(text);
      ASSERT_NE(console, nullptr);
      ASSERT_TRUE(wait_for([console] { return console->toPlainText().contains("Hello"); }));
      EXPECT_EQ(frame().mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), *terminal);
      EXPECT_EQ(frame().mdiArea()->activeSubWindow()->widget(), debugging().window());
      frame().dispatch(cmd::dbg_break);
      ASSERT_TRUE(wait_for([this] { return !debugging().debugger()->target().target_is_running(); }));
    }
    frame().dispatch(cmd::dbg_close);
    ASSERT_TRUE(wait_for([this] { return manager()->isVisible(); }));
    windows();
  }
}

// A copy of the built workspace has the first folder's objects and load
// file, whose debug records name the first folder's sources: Run Simulator
// says so in the output window before the debugger shows them. The first
// folder's own session has nothing to say.
TEST_F(DebugSessionTest, ALoadFileOfAnotherFoldersSourcesIsNamed) {
  const auto output = [this] {
    std::string text;
    if (frame().output())
      for (const std::string& line : frame().output()->text().lines()) text += line;
    return text;
  };
  start();
  EXPECT_EQ(output().find("another folder"), std::string::npos) << output();
  frame().dispatch(cmd::dbg_close);
  ASSERT_TRUE(wait_for([this] { return manager()->isVisible(); }));

  QTemporaryDir copy;
  const std::string root = copy.path().toStdString();
  const std::string first = fs::path(example().workspace).parent_path().string();
  fs::copy(first, root, fs::copy_options::recursive);
  workbench->projects().openWorkspace(QString::fromStdString(root + "/ky09demo.w09"));
  dialogs->file_names = {QString::fromStdString(root + "/ky09demo/debug/ky09demo_Debug.s19")};
  frame().dispatch(cmd::run_simulator);
  ASSERT_TRUE(debugging().sessionOpen());
  EXPECT_NE(output().find("The sources of 'ky09demo_Debug.s19' lie in another folder, '" + first +
                          "/ky09demo': build first"),
            std::string::npos)
      << output();
}

// A workbench taken down with a session still open (its frame never
// closed, as in a test) ends the session before its frame goes.
TEST_F(DebugSessionTest, TheWorkbenchMayGoWithASessionOpen) {
  start();
  workbench.reset();
}

}  // namespace
}  // namespace zun::wb::test

// fontconfig keeps what it read of its configuration until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
