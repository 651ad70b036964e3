// The simulator window offscreen: creation, stepping and registers, the run
// state, breakpoints from the list's pop-up, the board setup and detach
// dialogs, and the notice the debugger gets when the window closes.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <ctime>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "debugger/simwin/sim_dialogs.h"
#include "tests/simwin/sim_fixture.h"

using namespace zun;
using namespace zun::sim;
using namespace zun::sim::test;

namespace {

constexpr uint8_t NOP = 0x12, BRA = 0x20;

class SimWindow : public SimWindowTest {
 protected:
  // 1000: eight NOPs, then BRA 1000.
  void loop() {
    poke(0x1000, {NOP, NOP, NOP, NOP, NOP, NOP, NOP, NOP, BRA, 0xF6});
    engine().cpu.pc = 0x1000;
    window->refreshPanels();
  }
};

TEST_F(SimWindow, OpensForTheBoardsCpuOnlyAndOnce) {
  EXPECT_EQ(SimulatorWindow::create(*sim, 16, QString()), nullptr);
  open();
  EXPECT_EQ(window->objectName(), "ZunSimulatorChild");
  EXPECT_EQ(window->windowTitle(), "KY09 (MC6809) Visual Simulator");
  EXPECT_EQ(SimulatorWindow::create(*sim, 17, QString()), nullptr);  // at most one
  loop();
  for (int row = 0; row < 12; ++row) {
    const std::string& line = window->list().lines[row];
    EXPECT_EQ(line.size(), 31u);
    EXPECT_EQ(line.substr(0, 2), "  ");
    EXPECT_EQ(line[6], ' ');
  }
  EXPECT_EQ(window->list().lines[0].substr(0, 7), "  1000 ");
  EXPECT_EQ(window->memoryScroll()->maximum(), 4092);
  EXPECT_EQ(window->toolBar()->actions().size(), 9);
  EXPECT_EQ(window->toolAction(SIM_RUN_FAST)->toolTip(), "Run Fast");
}

TEST_F(SimWindow, StepMovesTheMarkAndThePcFieldAndApplyWritesAnEditedPc) {
  open();
  loop();
  // The board's Step key lies under the list: a click there is the list's.
  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(270, 270));
  EXPECT_EQ(engine().cpu.pc, 0x1000);
  QTest::mouseClick(window->button(SIM_STEP), Qt::LeftButton);
  EXPECT_EQ(engine().cpu.pc, 0x1001);
  EXPECT_EQ(engine().current_mark, 0x1001);
  EXPECT_EQ(window->list().style(1, engine()), RowStyle::Current);
  EXPECT_EQ(window->registerField(REG_PC)->text(), "1001");
  QPushButton* apply = window->button(781);
  EXPECT_FALSE(apply->isEnabled());
  QLineEdit* pc = window->registerField(REG_PC);
  pc->selectAll();
  QTest::keyClicks(pc, "1006");
  EXPECT_TRUE(apply->isEnabled());
  EXPECT_EQ(engine().cpu.pc, 0x1001);  // nothing written before Apply
  QTest::mouseClick(apply, Qt::LeftButton);
  EXPECT_EQ(engine().cpu.pc, 0x1006);
  EXPECT_FALSE(apply->isEnabled());
  EXPECT_EQ(window->list().style(6, engine()), RowStyle::Current);
}

TEST_F(SimWindow, WhileRunningOnlyHaltIsEnabledAndMemoryEditsAreIgnored) {
  open();
  loop();
  window->command(SIM_RUN_FAST, 0);
  ASSERT_EQ(engine().run_mode, RunMode::Fast);
  EXPECT_TRUE(window->runTimer().isActive());
  for (const ToolButton& b : tool_buttons) EXPECT_EQ(window->toolAction(b.id)->isEnabled(), b.id == SIM_STOP) << b.id;
  QLineEdit* cell = window->memoryCell(3);  // 0x0003
  cell->setFocus();
  cell->selectAll();
  QTest::keyClicks(cell, "5A");
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(board().ram[3], 0);
  EXPECT_EQ(cell->text(), "00");
  EXPECT_FALSE(window->button(SIM_STEP)->isEnabled());
  window->toolAction(SIM_STOP)->trigger();
  EXPECT_EQ(engine().run_mode, RunMode::Stopped);
  EXPECT_FALSE(window->runTimer().isActive());
  EXPECT_TRUE(window->button(SIM_STEP)->isEnabled());
  EXPECT_FALSE(window->toolAction(SIM_STOP)->isEnabled());
  EXPECT_FALSE(window->toolAction(SIM_RELOAD)->isEnabled());  // no load file yet
  // Stopped, the same edit writes the byte once it is complete.
  cell->setFocus();
  cell->selectAll();
  QTest::keyClicks(cell, "5a");
  EXPECT_EQ(board().ram[3], 0);
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(board().ram[3], 0x5A);
  EXPECT_EQ(cell->text(), "5A");
}

TEST_F(SimWindow, BreakpointFromTheRowsPopupPaintsItRedAndStopsARun) {
  open();
  loop();
  std::vector<MenuEntry> menu = window->popupAt(rowPoint(5));
  ASSERT_FALSE(menu.empty());
  EXPECT_EQ(menu[0].text, "&Set Break");
  EXPECT_EQ(window->list().selected, 5);
  window->choosePopup(rowPoint(5), POP_SET_BREAK);
  EXPECT_EQ(window->list().selected, -1);
  EXPECT_EQ(window->list().style(5, engine()), RowStyle::Break);
  const QImage shot = window->grab().toImage();
  const QPoint p = rowPoint(5) + QPoint(28 * window->panelGeometry().W, 0);  // past the text
  EXPECT_EQ(shot.pixelColor(p), QColor(Qt::red));
  window->command(SIM_RUN_FAST, 0);
  ASSERT_TRUE(wait_for([&] { return engine().run_mode == RunMode::Stopped; }));
  EXPECT_EQ(engine().cpu.pc, 0x1005);
  EXPECT_TRUE(engine().stopped_at_breakpoint);
  // Disabled, the row offers to enable it again.
  window->choosePopup(rowPoint(5), POP_DISABLE_BREAK);
  menu = window->popupAt(rowPoint(5));
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[2].text, "&Enable Break");
  EXPECT_EQ(menu[2].id, POP_ENABLE_BREAK);
}

// BYTES RUN at the largest count the engine keeps: every digit inside the
// counter's dark window, none on the board beside it.
TEST_F(SimWindow, TheByteCounterHoldsItsLargestCount) {
  open();
  const PanelGeometry& g = window->panelGeometry();
  auto lit_right_of = [&](int x) {
    const QImage shot = window->grab().toImage();
    for (int y = g.byte_total_y; y < g.byte_total_y + g.L; ++y)
      for (int px = x; px < 390; ++px)
        if (qGray(shot.pixel(px, y)) > 160) return px;
    return 0;
  };
  engine().byte_total = 42879;
  window->update();
  const int text_end = g.byte_total_x() + 7 * g.W;
  EXPECT_GT(lit_right_of(text_end - g.W), 0);  // the seventh digit is there
  engine().byte_total = 0xFFFFFFFF;
  window->update();
  EXPECT_EQ(lit_right_of(g.byte_total_x() + 10 * g.W + 6), 0);
  EXPECT_GT(lit_right_of(g.byte_total_x() + 9 * g.W), 0);  // and so is the tenth
}

TEST_F(SimWindow, BreakpointDialogAddsTogglesAndRemoves) {
  open();
  scripts.push_back([&](QDialog& d) {
    EXPECT_EQ(d.objectName(), "NEWBPDIALOG");
    auto& bp = static_cast<BreakpointDialog&>(d);
    EXPECT_EQ(bp.addressEdit()->text(), "0000");
    bp.addressEdit()->setText("10g0");
    bp.add();
    bp.addressEdit()->setText("1004");
    bp.add();
    EXPECT_FALSE(bp.toggleButton()->isEnabled());
    bp.list()->setCurrentRow(0);
    EXPECT_EQ(bp.toggleButton()->text(), "&Disable");
    bp.toggle();
    EXPECT_EQ(bp.list()->item(0)->text(), "1004 (Disabled)");
    bp.list()->setCurrentRow(0);
    EXPECT_EQ(bp.toggleButton()->text(), "&Enable");
    d.accept();
  });
  window->command(SIM_BREAKPOINT_DIALOG, 0);
  EXPECT_EQ(errors, std::vector<QString>{"Badly formed address"});
  EXPECT_EQ(breakpoint_lines(engine().breakpoints), std::vector<std::string>{"1004 (Disabled)"});
}

TEST_F(SimWindow, SetupDialogConnectsTheProbeCancelClosesItOkKeepsIt) {
  open();
  auto connect_probe = [&](QDialog& d) {
    auto& setup = static_cast<TargetSetupDialog&>(d);
    EXPECT_EQ(d.objectName(), "KY09TARGETSETUP");
    EXPECT_EQ(d.windowTitle(), "KY09 Setup");
    setup.list()->setCurrentRow(2);  // PIA 1
    scripts.push_front([](QDialog& io) {
      EXPECT_EQ(io.objectName(), "IOSETUPDIALOG");
      auto& dlg = static_cast<IoSetupDialog&>(io);
      EXPECT_EQ(dlg.baseEdit()->text(), "E048");
      dlg.list()->setCurrentRow(4);  // the probe
      EXPECT_FALSE(dlg.baseEdit()->isEnabled());
      QTest::mouseClick(dlg.connectButton(), Qt::LeftButton);
      EXPECT_EQ(io.result(), QDialog::Accepted);  // closes with a preset base
    });
    QTest::mouseClick(child<QPushButton>(d, "connect"), Qt::LeftButton);
    EXPECT_TRUE(setup.list()->item(2)->text().startsWith("E048 Yes "));
  };
  scripts.push_back([&](QDialog& d) {
    connect_probe(d);
    QTest::mouseClick(child<QPushButton>(d, "cancel"), Qt::LeftButton);
  });
  window->command(SIM_SETUP, 0);
  EXPECT_EQ(board().onboard_connection(int(Onboard::Pia1)), -1);
  EXPECT_TRUE(sim->attached_handles().empty());
  scripts.push_back([&](QDialog& d) {
    connect_probe(d);
    QTest::mouseClick(child<QPushButton>(d, "ok"), Qt::LeftButton);
  });
  window->command(SIM_SETUP, 0);
  const int32_t h = board().onboard_connection(int(Onboard::Pia1));
  ASSERT_GE(h, 0);
  EXPECT_NE(tovrel::find<tovrel::Probe>(h), nullptr);
  EXPECT_TRUE(errors.empty());
}

// OK resets the board as a reset does: the devices, and PC from the reset
// vector, where Run then starts.
TEST_F(SimWindow, SetupOkResetsTheBoardWithPcFromTheResetVector) {
  open();
  board().rom_writable = true;
  ASSERT_EQ(board().board_write(0xFFFE, 0x12), 0);
  ASSERT_EQ(board().board_write(0xFFFF, 0x34), 0);
  board().rom_writable = false;
  poke(0x1234, {NOP, BRA, 0xFD});
  engine().cpu.pc = 0x5555;
  engine().cpu.x = 0x1111;
  engine().cpu.s = 0x2222;
  board().pia[0].ddra = 0xF0;
  scripts.push_back([&](QDialog& d) { QTest::mouseClick(child<QPushButton>(d, "ok"), Qt::LeftButton); });
  window->command(SIM_SETUP, 0);
  EXPECT_EQ(engine().cpu.pc, 0x1234);
  EXPECT_EQ(engine().cpu.x, 0x0000);
  EXPECT_EQ(engine().cpu.s, 0x0000);
  EXPECT_EQ(engine().cpu.cc, 0x50);
  EXPECT_EQ(board().pia[0].ddra, 0x00);  // the chips are reset too
  EXPECT_EQ(window->registerField(REG_PC)->text(), "1234");
  window->command(SIM_RUN, 0);
  window->command(SIM_STOP, 0);
  EXPECT_EQ(engine().cpu.pc, 0x1235);
  EXPECT_TRUE(errors.empty());
}

TEST_F(SimWindow, DetachListsOnlyOutsideDevices) {
  open();
  board().dev_open(int(tovrel::DeviceKind::Leds), 0xE004, 0);
  board().dev_open(int(tovrel::DeviceKind::Terminal), 0xE028, 0);
  scripts.push_back([&](QDialog& d) {
    scripts.push_front([](QDialog& detach) {
      EXPECT_EQ(detach.objectName(), "IODETACHDIALOG");
      auto& dlg = static_cast<IoDetachDialog&>(detach);
      ASSERT_EQ(dlg.list()->count(), 1);
      EXPECT_EQ(dlg.list()->item(0)->text(), "E004  8 LEDs");
      EXPECT_FALSE(dlg.disconnectButton()->isEnabled());
      dlg.list()->setCurrentRow(0);
      QTest::mouseClick(dlg.disconnectButton(), Qt::LeftButton);
      EXPECT_EQ(dlg.list()->count(), 0);
      detach.accept();
    });
    QTest::mouseClick(child<QPushButton>(d, "detach"), Qt::LeftButton);
    d.accept();
  });
  window->command(SIM_SETUP, 0);
  EXPECT_EQ(sim->attached_handles().size(), 1u);
}

// What the debugger will do with the window: keep it until told it closes.
class StubDebugger : public SimulatorClient {
 public:
  void on_stop() override { ++stops; }
  void simulator_closing() override {
    ++closings;
    // The engine is still there while the debugger lets go of it.
    was_running = window->engine().run_mode != RunMode::Stopped;
    window = nullptr;
  }
  SimulatorWindow* window = nullptr;
  int stops = 0, closings = 0;
  bool was_running = true;
};

TEST_F(SimWindow, ClosingEndsTheDebuggingSessionFirst) {
  open();
  loop();
  StubDebugger debugger;
  debugger.window = window;
  window->setClient(&debugger);
  int closing_signals = 0;
  QObject::connect(window, &SimulatorWindow::closing, [&] { ++closing_signals; });
  window->command(SIM_STEP, 0);
  EXPECT_GT(debugger.stops, 0);
  window->command(SIM_RUN_FAST, 0);
  board().dev_open(int(tovrel::DeviceKind::Leds), 0xE004, 0);
  EXPECT_TRUE(window->queryClose());
  EXPECT_EQ(debugger.closings, 1);
  EXPECT_EQ(debugger.window, nullptr);
  EXPECT_FALSE(debugger.was_running);  // stopped before the notice
  EXPECT_EQ(window->client(), nullptr);
  delete window;
  window = nullptr;
  EXPECT_EQ(debugger.closings, 1);
  EXPECT_EQ(closing_signals, 1);
  EXPECT_TRUE(sim->attached_handles().empty());  // the devices close with the window
  EXPECT_EQ(sim->window(), nullptr);
}

TEST_F(SimWindow, ActivationOffersToReloadAChangedLoadFile) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("prog.s19").toStdString();
  std::ofstream(file) << "S1061000121220A5\nS9031000EC\n";
  open();
  board().board_configuration_set(2);  // no monitor to look for
  engine().load_file = file;
  window->command(SIM_LOAD, 0);
  EXPECT_EQ(engine().cpu.pc, 0x1000);
  window->activated();  // the first activation never asks
  std::ofstream(file) << "S1061000010120C7\nS9031000EC\n";
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
  answers.push_back(true);
  window->activated();
  EXPECT_EQ(questions, std::vector<QString>{"An updated Loadfile exists, reload it?"});
  EXPECT_EQ(board().ram[0x1000], 0x01);
  window->activated();  // unchanged since: no question
  EXPECT_EQ(questions.size(), 1u);
}

TEST_F(SimWindow, SetupDialogSavesTheBoardAsADescriptor) {
  QTemporaryDir dir;
  const QString file = dir.filePath("board.m09sim");
  sim->env.save_descriptor = [&](const QString&) { return file; };
  open();
  board().dev_open(int(tovrel::DeviceKind::Leds), 0xE004, 0);
  scripts.push_back([&](QDialog& d) {
    QTest::mouseClick(child<QPushButton>(d, "save as"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(d, "cancel"), Qt::LeftButton);
  });
  window->command(SIM_SETUP, 0);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), ":tovr:2:0:57348:\n");
}

TEST_F(SimWindow, MemoryAddressButtonMovesTheGrid) {
  open();
  QPushButton* mem = window->button(1101);
  QTest::mouseClick(mem, Qt::LeftButton);
  EXPECT_EQ(mem->text(), "set");
  QLineEdit* field = window->addressField(0);
  EXPECT_FALSE(field->isReadOnly());
  field->setText("E1x0");
  QTest::mouseClick(mem, Qt::LeftButton);
  EXPECT_EQ(errors, std::vector<QString>{"Badly formed address"});
  EXPECT_EQ(mem->text(), "set");
  field->setText("e123");
  QTest::mouseClick(mem, Qt::LeftButton);
  EXPECT_EQ(mem->text(), "mem");
  EXPECT_EQ(window->memoryScroll()->value(), 0xE12);
  EXPECT_EQ(window->addressField(0)->text(), "E120");
  EXPECT_TRUE(window->memoryCell(0)->isReadOnly());  // ROM
  window->memoryScroll()->setValue(4092);
  EXPECT_EQ(window->addressField(3)->text(), "FFF0");
}

TEST_F(SimWindow, MemoryGridShowsAnAttachedDevice) {
  open();
  const int slot = board().dev_open(uint32_t(tovrel::DeviceKind::Switches), 0xE000, 0);
  ASSERT_GE(slot, 0);
  tovrel::find<tovrel::Switches>(board().slots[slot].handle)->set(0xC3);
  ASSERT_GE(board().dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE010, 0), 0);
  window->memoryScroll()->setValue(0xE00);
  EXPECT_EQ(window->addressField(0)->text(), "E000");
  EXPECT_EQ(window->memoryCell(0)->text(), "C3");
  EXPECT_EQ(window->memoryCell(1)->text(), "00");  // beyond the switches
  EXPECT_EQ(window->memoryCell(16)->text(), "--");
  EXPECT_EQ(window->memoryCell(17)->text(), "00");
  EXPECT_EQ(window->memoryCell(0x28)->text(), "00");  // ACIA 1, not connected
}

}  // namespace

namespace {

// Not a test: how many instructions a second Run Fast sustains with the
// panels painted, against the board's own pace. Run by hand with
//   simwin_gui_test --gtest_also_run_disabled_tests --gtest_filter='*Rate*'
TEST_F(SimWindow, DISABLED_RunFastRate) {
  open();
  loop();
  window->command(SIM_RUN_FAST, 0);
  const uint32_t cycles = board().cycle_counter;
  const std::clock_t cpu = std::clock();
  QElapsedTimer t;
  t.start();
  QTest::qWait(5000);
  const double seconds = t.elapsed() / 1000.0;
  const double busy = double(std::clock() - cpu) / CLOCKS_PER_SEC;
  window->command(SIM_STOP, 0);
  const double instructions = double(board().cycle_counter - cycles) / 180.0;
  std::printf("Run Fast: %.0f instructions in %.2f s: %.0f instructions/s, %.1f%% of a processor busy\n",
              instructions, seconds, instructions / seconds, 100.0 * busy / seconds);
}

}  // namespace

// fontconfig keeps what it read of its configuration until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
