// The debugger in the frame over the example workspace's Debug build and a
// generated program: Start Debugging, the arrow and the title, the margin's
// breakpoints, stepping and the menus' greying, the breakpoint dialog, the
// watch windows with expansion and editing in place, the places of the
// session's windows, the end of a session from either window with all of
// them, and the time of one Next over a long line.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_controller.h"
#include "debugger/sldwin/sld_dialogs.h"
#include "tests/simwin/sim_fixture.h"

using namespace zun;
using namespace zun::sld;
using namespace zun::sldwin;
namespace fs = std::filesystem;

namespace {

using zun::sim::test::stage_dir;

// Under the sanitizers a run to a stop can take a while.
bool wait_for(const std::function<bool()>& done) { return zun::sim::test::wait_for(done, 10000); }

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// Built once for the whole binary: the example workspace's Debug build, and
// a program with 100 globals and a long delay loop (its C source removed
// afterwards in a second copy, for the disassembly view).
struct Programs {
  std::string root, example, delay, delay_no_source;
  Programs() {
    root = (fs::temp_directory_path() / ("sldwin_gui_" + std::to_string(::getpid()))).generic_string();
    fs::remove_all(root);
    fs::create_directories(root);
    const std::string stage = stage_dir().toStdString();
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", root + "/examples", fs::copy_options::recursive);
    if (run(stage + "/bin/zbuild " + root + "/examples/ky09demo.w09 --build") == 0)
      example = root + "/examples/ky09demo/debug/ky09demo_Debug.s19";
    for (const char* dir : {"/delay", "/bare"}) {
      fs::create_directories(root + dir);
      std::ofstream c(root + dir + "/delay.c");
      for (int i = 0; i < 100; ++i) c << "int g" << i << ";\n";
      c << "void delay(unsigned int n)\n{\n    unsigned int i;\n    for (i = 0; i < n; i++)\n        g0++;\n}\n"
           "int main(void)\n{\n    delay(1);\n    delay(1000);\n    g1 = 1;\n    return 0;\n}\n";
    }
    const std::string build = std::string(ZUN_SOURCE_DIR) + "/tests/sld/run/build.sh";
    if (run("bash " + build + " " + stage + " " + root + "/delay") == 0) delay = root + "/delay/prog.s19";
    if (run("bash " + build + " " + stage + " " + root + "/bare") == 0) {
      fs::remove(root + "/bare/delay.c");
      delay_no_source = root + "/bare/prog.s19";
    }
  }
  ~Programs() { fs::remove_all(root); }
};

const Programs& programs() {
  static Programs p;
  return p;
}

class SldFrame : public wb::test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    sim = new sim::SimulatorController(frame.get());
    sim->context().engine.bin_dir = (stage_dir() + "/bin").toStdString();
    ctl = new SldController(frame.get(), sim);
    ctl->box = [this](const QString& caption, const QString& text) { boxes << caption + "|" + text; };
    ctl->run_dialog = [this](QDialog& d) {
      d.show();
      QApplication::processEvents();
      if (dialog_script) dialog_script(d);
      return d.result();
    };
  }
  void TearDown() override {
    if (ctl->sessionOpen()) ctl->endSession();
    QApplication::processEvents();
    FrameTest::TearDown();
  }

  // Start Debugging on a load file, settled at the program's entry.
  bool start(const std::string& load) {
    if (load.empty()) return false;
    dialogs->file_names.push_back(QString::fromStdString(load));
    frame->dispatch(wb::cmd::run_simulator);
    return ctl->sessionOpen() && settle();
  }
  // The target stopped and the windows refreshed.
  bool settle() {
    if (!wait_for([&] { return !running(); })) return false;
    QTest::qWait(20);
    return true;
  }
  bool running() { return ctl->debugger()->target().target_is_running(); }
  Sld& model() { return ctl->debugger()->model(); }
  uint32_t execLine() { return model().sld_exec_line(); }
  const DebugFunction* function(const char* name) {
    for (const auto& m : model().modules())
      for (const DebugFunction& f : m->functions)
        if (f.name == name) return &f;
    return nullptr;
  }
  // The first line after `line` that has code in the shown module.
  uint32_t nextCodeLine(uint32_t line) {
    for (uint32_t l = line + 1; l < 10000; ++l)
      if (model().sld_line_has_point(l)) return l;
    return 0;
  }
  QString lineText() {
    const DebugModule* m = model().sld_shown_module();
    const uint32_t l = execLine();
    return m && l >= 1 && l <= m->lines.size() ? QString::fromStdString(m->lines[l - 1].text) : QString();
  }
  bool enabled(int id) { return frame->action(id)->isEnabled(); }
  QString title() { return ctl->window()->windowTitle(); }
  QColor marginPixel(int line, int x, int dy) {
    SldWindow* w = ctl->window();
    QImage image = w->margin()->grab().toImage();
    return image.pixelColor(x, (line - w->topLine()) * w->lineHeight() + dy);
  }

  sim::SimulatorController* sim = nullptr;
  SldController* ctl = nullptr;
  QStringList boxes;
  std::function<void(QDialog&)> dialog_script;
};

TEST_F(SldFrame, StartRunToMainNextAndTheMenusGreying) {
  ASSERT_FALSE(programs().example.empty());
  frame->updateMenus();
  EXPECT_FALSE(frame->menu(wb::MenuId::Debugger)->menuAction()->isVisible());
  ASSERT_TRUE(start(programs().example));
  EXPECT_TRUE(frame->menu(wb::MenuId::Debugger)->menuAction()->isVisible());
  EXPECT_FALSE(frame->menu(wb::MenuId::Build)->menuAction()->isVisible());
  EXPECT_EQ(title(), "Debug: '_startup.s09'");
  ModuleBox* box = ctl->window()->moduleBox();
  EXPECT_EQ(box->currentText(), "_startup.s09");
  // Run stops at the session's breakpoint on main.
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  const DebugFunction* main_fn = function("_main");
  ASSERT_NE(main_fn, nullptr);
  EXPECT_EQ(title(), "Debug: 'main.c'");
  EXPECT_EQ(box->currentText(), "main.c");
  EXPECT_EQ(execLine(), main_fn->entry_point->line);
  EXPECT_EQ(marginPixel(static_cast<int>(execLine()), 20, 7), QColor(240, 0, 0));  // the arrow
  // The box shows the module chosen in it, until a stop shows the PC's.
  ctl->window()->chooseModule(box->findText("console.c"));
  EXPECT_EQ(title(), "Debug: 'console.c'");
  EXPECT_EQ(box->currentText(), "console.c");
  // The dialog lists the session's breakpoints on _main and __lowexit.
  QStringList lines;
  dialog_script = [&](QDialog& d) {
    auto* b = qobject_cast<BreakpointDialog*>(&d);
    ASSERT_NE(b, nullptr);
    for (int i = 0; i < b->list()->count(); ++i) lines << b->list()->item(i)->text();
    b->list()->setCurrentRow(0);
    EXPECT_EQ(b->toggleButton()->text(), "Disable");
    // The toggle switches the selected line both ways.
    b->toggleButton()->click();
    EXPECT_TRUE(b->list()->item(0)->text().endsWith("Disabled"));
    EXPECT_TRUE(b->toggleButton()->isEnabled());
    EXPECT_EQ(b->toggleButton()->text(), "Enable");
    b->toggleButton()->click();
    EXPECT_TRUE(b->list()->item(0)->text().endsWith("Enabled"));
    EXPECT_EQ(b->toggleButton()->text(), "Disable");
    d.reject();
  };
  frame->dispatch(wb::cmd::dbg_breakpoints);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QString("at line %1: in 'main.c'  Enabled").arg(main_fn->entry_point->line));
  EXPECT_TRUE(lines[1].contains("'_startup.s09'")) << lines[1].toStdString();
  // Next: one source line on, in the PC's module again.
  model().sld_show_module(nullptr);
  const uint32_t expected = nextCodeLine(execLine());
  ctl->window()->chooseModule(box->findText("console.c"));
  frame->dispatch(wb::cmd::dbg_next);
  ASSERT_TRUE(settle());
  EXPECT_EQ(execLine(), expected);
  EXPECT_EQ(box->currentText(), "main.c");
  EXPECT_TRUE(enabled(wb::cmd::dbg_next));
  EXPECT_TRUE(enabled(wb::cmd::dbg_breakpoints));
  EXPECT_FALSE(enabled(wb::cmd::dbg_break));
  // The demo waits for keys for ever: while it runs only Break is usable,
  // in the menu (43142 as the item shown) and in the toolbar.
  frame->dispatch(wb::cmd::dbg_run);
  QTest::qWait(50);
  ASSERT_TRUE(running());
  frame->updateMenus();
  for (int id : {wb::cmd::dbg_next, wb::cmd::dbg_step_into, wb::cmd::dbg_step_out, wb::cmd::dbg_run,
                 wb::cmd::dbg_run_no_breaks, wb::cmd::dbg_restart, wb::cmd::dbg_breakpoints, wb::cmd::dbg_close})
    EXPECT_FALSE(enabled(id)) << id;
  EXPECT_TRUE(enabled(wb::cmd::dbg_break));
  for (QAction* a : ctl->window()->toolBar()->actions()) {
    if (a->data().toInt() != 0) {
      EXPECT_FALSE(a->isEnabled()) << a->toolTip().toStdString();
    }
  }
  frame->dispatch(wb::cmd::dbg_break);
  ASSERT_TRUE(settle());
  EXPECT_TRUE(enabled(wb::cmd::dbg_next));
  EXPECT_TRUE(title().startsWith("Debug: '"));
  EXPECT_TRUE(ctl->window()->toolAction(CMD_SLD_NEXT)->isEnabled());
}

TEST_F(SldFrame, MarginBreakpointsAndTheCommandsWithoutAModel) {
  ASSERT_TRUE(start(programs().example));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  SldWindow* w = ctl->window();
  EXPECT_TRUE(w->marginMenu(1).empty());  // the file's comment has no code
  EXPECT_EQ(w->marginMenu(static_cast<int>(execLine())),
            (std::vector<QString>{"Disable Breakpoint", "Remove Breakpoint"}));
  // A breakpoint on the loop's first line, where Run stops.
  int loop = 0;
  const DebugModule* m = model().sld_shown_module();
  for (const SourceLine& l : m->lines)
    if (l.text.find("PIA1_DATA_A = demo.lamps") != std::string::npos) loop = static_cast<int>(l.number);
  ASSERT_GT(loop, 0);
  ASSERT_EQ(w->marginMenu(loop), std::vector<QString>{"Insert Breakpoint"});
  w->chooseMarginEntry(loop, "Insert Breakpoint");
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  EXPECT_EQ(execLine(), static_cast<uint32_t>(loop));
  EXPECT_EQ(marginPixel(loop, 20, 7), QColor(240, 0, 0));
  w->chooseMarginEntry(loop, "Disable Breakpoint");
  EXPECT_EQ(w->marginMenu(loop), (std::vector<QString>{"Enable Breakpoint", "Remove Breakpoint"}));
  EXPECT_EQ(marginPixel(loop, 9, w->lineHeight() - 5), QColor(230, 255, 255));  // the light mark
  w->chooseMarginEntry(loop, "Remove Breakpoint");
  EXPECT_EQ(w->marginMenu(loop), std::vector<QString>{"Insert Breakpoint"});
  // Without a program model only Step Into and Restart are usable.
  model().sld_modules_free();
  w->updateCommandStates();
  for (QAction* a : w->toolBar()->actions()) {
    const int id = a->data().toInt();
    if (id) {
      EXPECT_EQ(a->isEnabled(), id == CMD_SLD_STEP_INTO || id == CMD_SLD_RESTART) << id;
    }
  }
}

TEST_F(SldFrame, AModuleWithoutSourceShowsTheDisassembly) {
  ASSERT_TRUE(start(programs().delay_no_source));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  EXPECT_EQ(title(), "(Dissassembly)");
  frame->updateMenus();
  for (int id : {CMD_SLD_NEXT, CMD_SLD_STEP_INTO, CMD_SLD_STEP_OUT, CMD_SLD_RUN, CMD_SLD_RUN_NO_BREAKS,
                 CMD_SLD_RESTART})
    EXPECT_TRUE(enabled(id) && ctl->window()->toolAction(id)->isEnabled()) << id;
}

TEST_F(SldFrame, GlobalWatchesExpandAndEditInPlace) {
  ASSERT_TRUE(start(programs().example));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  WatchWindow* g = ctl->globals();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->windowTitle(), "Global symbols");
  g->fillSymbols();
  EXPECT_TRUE(g->addButton()->isEnabled());
  g->symbolBox()->setEditText("demo");
  g->addWatch();
  EXPECT_FALSE(g->addButton()->isEnabled());
  g->addWatch();  // the same name again: nothing
  ASSERT_EQ(g->tree()->topLevelItemCount(), 1);
  QTreeWidgetItem* demo = g->tree()->topLevelItem(0);
  EXPECT_EQ(demo->text(0), "demo{..}");
  demo->setExpanded(true);
  QApplication::processEvents();
  demo = g->tree()->topLevelItem(0);
  ASSERT_EQ(demo->childCount(), 4);
  EXPECT_EQ(demo->child(0)->text(0), "turns");
  EXPECT_EQ(demo->child(3)->text(0), "history");
  // Thirty-two binary digits in a narrow window: the value column ends
  // within the tree, its text elided there, the whole text its tool tip.
  g->window()->show();
  g->parentWidget()->resize(200, 250);
  g->chooseRowEntry(demo->child(0), "View as binary");
  QApplication::processEvents();
  demo = g->tree()->topLevelItem(0);
  QTreeWidgetItem* binary = demo->child(0);
  ASSERT_EQ(binary->text(1).size(), 32);
  EXPECT_LE(g->tree()->header()->length(), g->tree()->viewport()->width());
  EXPECT_EQ(g->tree()->valueToolTip(binary), binary->text(1));
  EXPECT_TRUE(g->tree()->valueToolTip(demo).isEmpty());  // a value that fits has none
  g->parentWidget()->resize(250, 250);
  g->chooseRowEntry(demo->child(0), "View as unsigned decimal");
  demo = g->tree()->topLevelItem(0);
  // Editing turns in place writes the simulated memory.
  g->window()->show();
  QTreeWidgetItem* turns = demo->child(0);
  ColumnTree* tree = g->tree();
  ASSERT_TRUE(tree->openEditor(turns));
  EXPECT_EQ(tree->editor()->maxLength(), 40);
  tree->editor()->setText(QString(50, '1'));
  EXPECT_EQ(tree->editor()->text().size(), 40);
  tree->editor()->setText("1234");
  QTest::keyClick(tree->editor(), Qt::Key_Return);
  QApplication::processEvents();
  const uint32_t address = model().sld_globals().front().address;
  EXPECT_EQ(ctl->debugger()->target().target_read(address, 2), 1234u);
  // An editor closed without a change writes nothing, even when memory
  // changed behind it.
  turns = g->tree()->topLevelItem(0)->child(0);
  ASSERT_TRUE(tree->openEditor(turns));
  ctl->debugger()->target().target_write(address, 77, 2);
  tree->editor()->clearFocus();
  tree->setFocus();
  QTest::keyClick(tree->editor() ? static_cast<QWidget*>(tree->editor()) : tree, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ctl->debugger()->target().target_read(address, 2), 77u);
  // While the target runs no editor opens.
  frame->dispatch(wb::cmd::dbg_run);
  QTest::qWait(30);
  ASSERT_TRUE(running());
  EXPECT_FALSE(tree->openEditor(g->tree()->topLevelItem(0)->child(0)));
  frame->dispatch(wb::cmd::dbg_break);
  ASSERT_TRUE(settle());
}

// Escape drops an edit: the editor closes, the value and the memory stay as
// they were, and a click on another row afterwards writes nothing either.
TEST_F(SldFrame, EscapeCancelsAWatchEdit) {
  ASSERT_TRUE(start(programs().example));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  WatchWindow* g = ctl->globals();
  ASSERT_NE(g, nullptr);
  g->symbolBox()->setEditText("demo");
  g->addWatch();
  ASSERT_EQ(g->tree()->topLevelItemCount(), 1);
  g->tree()->topLevelItem(0)->setExpanded(true);
  QApplication::processEvents();
  g->window()->show();
  g->window()->activateWindow();
  ColumnTree* tree = g->tree();
  QTreeWidgetItem* turns = tree->topLevelItem(0)->child(0);
  const uint32_t address = model().sld_globals().front().address;
  const uint32_t before = ctl->debugger()->target().target_read(address, 2);
  const QString shown = turns->text(1);
  ASSERT_TRUE(tree->openEditor(turns));
  QLineEdit* editor = tree->editor();
  editor->setFocus();
  editor->selectAll();
  QTest::keyClicks(editor, "4321");
  QTest::keyClick(editor, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(tree->editor(), nullptr);
  EXPECT_EQ(ctl->debugger()->target().target_read(address, 2), before);
  EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(1), shown);
  // A click on another row's value after the Escape.
  QTreeWidgetItem* other = tree->topLevelItem(0)->child(1);
  const QRect cell = tree->visualItemRect(other);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(tree->valueX() + 5, cell.center().y()));
  QApplication::processEvents();
  EXPECT_EQ(ctl->debugger()->target().target_read(address, 2), before);
  tree->closeEditor();
  // Enter still writes.
  turns = tree->topLevelItem(0)->child(0);
  ASSERT_TRUE(tree->openEditor(turns));
  tree->editor()->setText("4321");
  QTest::keyClick(tree->editor(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ctl->debugger()->target().target_read(address, 2), 4321u);
}

// Simulator Setup > OK in a session resets the board: the debugger stands
// where the CPU does, at the reset PC in the monitor, shown as disassembly;
// the status bar is clear and every command works from there.
TEST_F(SldFrame, AfterSetupOkTheDebuggerShowsTheResetPc) {
  ASSERT_TRUE(start(programs().example));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  ASSERT_EQ(title(), "Debug: 'main.c'");
  sim::SimulatorWindow* simwin = sim->window();
  ASSERT_NE(simwin, nullptr);
  int dialogs_run = 0;
  sim->context().env.run_dialog = [&](QDialog& d) {
    d.show();
    QApplication::processEvents();
    ++dialogs_run;
    if (auto* ok = d.findChild<QPushButton*>("ok")) QTest::mouseClick(ok, Qt::LeftButton);
    return d.result();
  };
  simwin->command(SIM_SETUP, 0);
  ASSERT_EQ(dialogs_run, 1);
  ASSERT_TRUE(settle());
  TargetAccess& target = ctl->debugger()->target();
  const uint32_t reset_pc = target.target_read(0xFFFE, 2);
  EXPECT_EQ(reset_pc, 0xE100u);
  EXPECT_EQ(target.target_get_pc(), reset_pc);
  EXPECT_EQ(model().sld_exec_module(), nullptr);
  EXPECT_EQ(title(), "(Dissassembly)");
  EXPECT_TRUE(frame->statusText()->text().isEmpty()) << frame->statusText()->text().toStdString();
  // The Debug menu offers what the window's toolbar does, and its Next acts.
  frame->updateMenus();
  for (int id : {CMD_SLD_NEXT, CMD_SLD_STEP_INTO, CMD_SLD_STEP_OUT, CMD_SLD_RUN, CMD_SLD_RUN_NO_BREAKS,
                 CMD_SLD_RESTART})
    EXPECT_TRUE(enabled(id) && ctl->window()->toolAction(id)->isEnabled()) << id;
  EXPECT_TRUE(enabled(wb::cmd::dbg_breakpoints));
  EXPECT_FALSE(enabled(wb::cmd::dbg_break));
  frame->action(wb::cmd::dbg_next)->trigger();
  ASSERT_TRUE(settle());
  EXPECT_NE(target.target_get_pc(), reset_pc);
  EXPECT_EQ(title(), "(Dissassembly)");
  // Step Into and Next each go one instruction on in the monitor.
  const uint32_t before_step = target.target_get_pc();
  ctl->window()->toolAction(CMD_SLD_STEP_INTO)->trigger();
  ASSERT_TRUE(settle());
  const uint32_t after_step = target.target_get_pc();
  EXPECT_NE(after_step, before_step);
  EXPECT_TRUE(frame->statusText()->text().isEmpty()) << frame->statusText()->text().toStdString();
  ctl->window()->toolAction(CMD_SLD_NEXT)->trigger();
  ASSERT_TRUE(settle());
  EXPECT_NE(target.target_get_pc(), after_step);
  EXPECT_EQ(title(), "(Dissassembly)");
  EXPECT_TRUE(frame->statusText()->text().isEmpty()) << frame->statusText()->text().toStdString();
  // Next runs a called routine to the instruction behind the call.
  for (int i = 0; i < 40 && !target.is_call_at(target.target_get_pc()); ++i) {
    ctl->window()->toolAction(CMD_SLD_STEP_INTO)->trigger();
    ASSERT_TRUE(settle());
  }
  const uint32_t call = target.target_get_pc();
  ASSERT_TRUE(target.is_call_at(call));
  std::string text;
  const uint32_t behind = target.disassemble_line(call, text);
  ctl->window()->toolAction(CMD_SLD_NEXT)->trigger();
  ASSERT_TRUE(settle());
  EXPECT_EQ(target.target_get_pc(), behind) << text;
  // Run lets the monitor run until Break.
  ctl->window()->toolAction(CMD_SLD_RUN)->trigger();
  QTest::qWait(50);
  EXPECT_TRUE(running());
  frame->dispatch(wb::cmd::dbg_break);
  ASSERT_TRUE(settle());
  EXPECT_TRUE(frame->statusText()->text().isEmpty()) << frame->statusText()->text().toStdString();
  // Restart brings the program back to its entry, and Run to main.
  dialogs->question_answers.push_back(true);
  ctl->window()->toolAction(CMD_SLD_RESTART)->trigger();
  ASSERT_TRUE(settle());
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  EXPECT_EQ(title(), "Debug: 'main.c'");
  EXPECT_EQ(execLine(), function("_main")->entry_point->line);
}

TEST_F(SldFrame, TheHundredthWatchIsRefused) {
  ASSERT_TRUE(start(programs().delay));
  WatchWindow* g = ctl->globals();
  for (int i = 0; i < 99; ++i) {
    g->symbolBox()->setEditText(QString("g%1").arg(i));
    g->addWatch();
  }
  EXPECT_EQ(g->tree()->topLevelItemCount(), 99);
  EXPECT_EQ(g->tree()->topLevelItem(0)->text(0), "g98");  // the newest on top
  EXPECT_TRUE(boxes.isEmpty());
  g->symbolBox()->setEditText("g99");
  g->addWatch();
  EXPECT_EQ(g->tree()->topLevelItemCount(), 99);
  EXPECT_EQ(boxes, QStringList{"Symbol|No space for watch"});
}

TEST_F(SldFrame, AutoSymbolsShowTheLocalsOfTheFunction) {
  ASSERT_TRUE(start(programs().delay));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  // Into delay, on to its loop.
  for (int i = 0; i < 6 && !lineText().contains("for ("); ++i) {
    frame->dispatch(wb::cmd::dbg_step_into);
    ASSERT_TRUE(settle());
  }
  ASSERT_TRUE(lineText().contains("for ("));
  WatchWindow* a = ctl->autos();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->windowTitle(), "Auto symbols");
  QStringList names;
  for (int i = 0; i < a->tree()->topLevelItemCount(); ++i) names << a->tree()->topLevelItem(i)->text(0);
  EXPECT_TRUE(names.contains("n")) << names.join(',').toStdString() << " at " << execLine() << " " << title().toStdString();
  EXPECT_TRUE(names.contains("i")) << names.join(',').toStdString();
}

TEST_F(SldFrame, ClosingTheDebuggerWindowEndsTheSession) {
  ASSERT_TRUE(start(programs().example));
  ASSERT_TRUE(wait_for([&] { return sim->devices().count() == 2; }));
  QPointer<WatchWindow> g = ctl->globals();
  g->symbolBox()->setEditText("demo");
  g->addWatch();
  frame->dispatch(wb::cmd::dbg_close);
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(ctl->sessionOpen());
  EXPECT_EQ(ctl->window(), nullptr);
  EXPECT_TRUE(g.isNull());
  // The simulator window goes with its session, and the devices it had
  // attached with it: nothing of the session is left in the area.
  EXPECT_EQ(sim->window(), nullptr);
  EXPECT_TRUE(wait_for([&] { return sim->devices().count() == 0; }));
  EXPECT_EQ(childCount(), 0);
  frame->updateMenus();
  EXPECT_TRUE(frame->menu(wb::MenuId::Build)->menuAction()->isVisible());
  EXPECT_FALSE(frame->menu(wb::MenuId::Debugger)->menuAction()->isVisible());
  // A new session brings the watch back.
  ASSERT_TRUE(start(programs().example));
  ASSERT_EQ(ctl->globals()->tree()->topLevelItemCount(), 1);
  EXPECT_EQ(ctl->globals()->tree()->topLevelItem(0)->text(0), "demo{..}");
}

// The session's windows open inside the area, the watch windows side by
// side, and none hides the buttons of another's title bar.
TEST_F(SldFrame, TheSessionsWindowsOpenInsideTheAreaClearOfEachOther) {
  frame->dispatch(wb::cmd::output_window);
  ASSERT_TRUE(start(programs().example));
  ASSERT_TRUE(wait_for([&] { return sim->devices().count() == 2; }));
  QMdiArea* mdi = frame->mdiArea();
  const QRect area(QPoint(0, 0), mdi->viewport()->size());
  QList<QMdiSubWindow*> subs = mdi->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(subs.size(), 7);  // output, simulator, terminal, PIA panel, debugger, both watches
  for (QMdiSubWindow* sub : subs) EXPECT_TRUE(area.contains(sub->geometry())) << sub->windowTitle().toStdString();
  auto* autos = qobject_cast<QMdiSubWindow*>(ctl->autos()->parentWidget());
  auto* globals = qobject_cast<QMdiSubWindow*>(ctl->globals()->parentWidget());
  EXPECT_FALSE(autos->geometry().intersects(globals->geometry()));
  // Every title bar shows its buttons: no window above hides them.
  const int title = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, autos);
  const QList<QMdiSubWindow*> stack = mdi->subWindowList(QMdiArea::StackingOrder);
  for (int i = 0; i < stack.size(); ++i)
    for (int j = i + 1; j < stack.size(); ++j) {
      const QRect buttons(stack[i]->x() + stack[i]->width() - 3 * title, stack[i]->y(), 3 * title, title);
      EXPECT_FALSE(stack[j]->geometry().intersects(buttons))
          << stack[j]->windowTitle().toStdString() << " over " << stack[i]->windowTitle().toStdString();
    }
}

TEST_F(SldFrame, ClosingTheSimulatorWindowEndsTheSession) {
  ASSERT_TRUE(start(programs().example));
  frame->dispatch(wb::cmd::dbg_run);
  QTest::qWait(20);
  auto* sub = qobject_cast<QMdiSubWindow*>(sim->window()->parentWidget());
  frame->closeChild(sub);
  ASSERT_TRUE(wait_for([&] { return !ctl->sessionOpen(); }));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(ctl->window(), nullptr);
  EXPECT_EQ(ctl->globals(), nullptr);
  // And a new one starts with a new simulator window.
  ASSERT_TRUE(start(programs().example));
  EXPECT_NE(sim->window(), nullptr);
}

// Next over delay(1000), a line of some eleven thousand instructions, with
// every window open; a figure for the notes, held to a second.
TEST_F(SldFrame, NextOverALongLineTakesUnderASecond) {
  ASSERT_TRUE(start(programs().delay));
  frame->dispatch(wb::cmd::dbg_run);
  ASSERT_TRUE(settle());
  // On to the line of delay(1000).
  for (int i = 0; i < 5 && !lineText().contains("delay(1000)"); ++i) {
    frame->dispatch(wb::cmd::dbg_next);
    ASSERT_TRUE(settle());
  }
  ASSERT_TRUE(lineText().contains("delay(1000)"));
  const uint32_t line = execLine();
  QElapsedTimer t;
  t.start();
  frame->dispatch(wb::cmd::dbg_next);
  ASSERT_TRUE(wait_for([&] { return !running() && execLine() != line; }));
  const qint64 ms = t.elapsed();
  std::printf("Next over delay(1000), 11 instructions a turn: %lld ms\n", static_cast<long long>(ms));
  EXPECT_LT(ms, 1000);
  EXPECT_EQ(execLine(), nextCodeLine(line));
}

}  // namespace

namespace {

// The pane's drag: from the caption all four sides move, from the bottom
// edge only the bottom.
TEST(PaneControlTest, CaptionDragMovesAndEdgeDragSizes) {
  wb::test::ensure_app();
  QWidget parent;
  parent.resize(400, 400);
  PaneControl pane(new QWidget, &parent);
  pane.setGeometry(10, 20, 200, 150);
  EXPECT_EQ(pane.adjustRect(QRect(0, 0, 200, 150)), QRect(0, 0, 200, 150).adjusted(5, 23, -5, -3));
  EXPECT_EQ(pane.dragged(QPoint(50, 8), QPoint(30, 40)), QRect(40, 60, 200, 150));
  EXPECT_EQ(pane.zoneAt(QPoint(50, 147)), PaneControl::Zone::Bottom);
  EXPECT_EQ(pane.dragged(QPoint(50, 147), QPoint(30, 40)), QRect(10, 20, 200, 190));
  EXPECT_EQ(pane.dragged(QPoint(198, 80), QPoint(-20, 40)), QRect(10, 20, 180, 150));
}

// A field that does not read as hexadecimal keeps the dialog open and
// changes nothing.
TEST(SupplyCodeDialogTest, ABadFieldKeepsTheDialogOpen) {
  wb::test::ensure_app();
  SupplyCodeInfo info{0x1000, 0x1FFF, 0x1000};
  QStringList errors;
  SupplyCodeDialog d(info, [&](const QString& t) { errors << t; });
  EXPECT_EQ(d.field(0)->text(), "0x1000");
  d.field(2)->setText("0x12G4");
  d.accept();
  EXPECT_EQ(errors, QStringList{"Illegal hexadecimal value '12G4'"});
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_EQ(info.entry, 0x1000u);
  d.field(2)->setText("0X1234");
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(info.entry, 0x1234u);
}

}  // namespace

// fontconfig keeps what it read of its configuration until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
