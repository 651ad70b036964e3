// The simulator in the workbench frame: Machine Level opens it on the load
// file chosen, the Debug menu follows it, and the example workspace's Debug
// build runs fast, greets in the terminal device's window, runs its light
// along the lamps and echoes a key typed there.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <bit>
#include <cstdlib>

#include "debugger/simwin/sim_controller.h"
#include "tests/simwin/sim_fixture.h"

using namespace zun;
using namespace zun::sim;
using namespace zun::sim::test;

namespace {

class SimFrame : public wb::test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    controller = new SimulatorController(frame.get());
    // The frame has not started up: the simulator's configuration is the
    // staged one.
    controller->context().engine.bin_dir = (stage_dir() + "/bin").toStdString();
  }
  void TearDown() override {
    // Questions while the window closes would fail the test.
    FrameTest::TearDown();
  }
  // Builds a copy of the example workspace with zbuild: its Debug load file.
  QString buildExample() {
    const QString script = QStringLiteral(ZUN_SOURCE_DIR "/tests/tools/build_example.sh");
    const QString out = dir_.filePath("example");
    const QString command = QStringLiteral("bash '%1' '%2' '%3' Debug").arg(script, stage_dir(), out);
    if (std::system(command.toLocal8Bit().constData()) != 0) return {};
    return out + "/ky09demo/debug/ky09demo_Debug.s19";
  }
  SimulatorController* controller = nullptr;
};

TEST_F(SimFrame, MachineLevelOpensOneSimulatorAndTheMenuFollowsIt) {
  frame->updateMenus();
  EXPECT_TRUE(frame->action(wb::cmd::machine_level)->isEnabled());
  dialogs->file_names.push_back(QString());  // the load file dialog cancelled: nothing opens
  frame->dispatch(wb::cmd::machine_level);
  EXPECT_EQ(controller->window(), nullptr);
  const QString load = path("missing.s19");
  dialogs->file_names.push_back(load);
  frame->dispatch(wb::cmd::machine_level);
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_EQ(frame->mdiArea()->activeSubWindow()->objectName(), "ZunSimulatorChild");
  EXPECT_FALSE(frame->action(wb::cmd::machine_level)->isEnabled());
  // The monitor and the default target are loaded; the missing program is not.
  EXPECT_EQ(controller->context().engine.load_file, load.toStdString());
  EXPECT_EQ(controller->context().board.board_peek(0xE100) != 0xFF, true);
  QApplication::processEvents();
  ASSERT_TRUE(wait_for([&] { return controller->devices().count() == 2; }));
  frame->closeChild(qobject_cast<QMdiSubWindow*>(controller->window()->parentWidget()));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(controller->window(), nullptr);
  EXPECT_TRUE(frame->action(wb::cmd::machine_level)->isEnabled());
  ASSERT_TRUE(wait_for([&] { return controller->devices().count() == 0; }));
}

TEST_F(SimFrame, BoardConfigurationCommandsWorkWithoutTheWindow) {
  SimulatorContext& sim = controller->context();
  QString stored = "unset";
  controller->setProjectDescriptorAccess([] { return QString(); }, [&](const QString& p) { stored = p; });
  int dialogs_run = 0;
  sim.env.run_dialog = [&](QDialog& d) {
    ++dialogs_run;
    EXPECT_EQ(d.objectName(), "KY09TARGETSETUP");
    d.reject();
    return 0;
  };
  frame->dispatch(wb::cmd::edit_sim_config);
  EXPECT_EQ(dialogs_run, 1);
  // Select: the descriptor's devices open and the project keeps its path.
  const QString descriptor = stage_dir() + "/config/zun09/ky09.m09sim";
  sim.env.open_descriptor = [&] { return descriptor; };
  frame->dispatch(wb::cmd::select_sim_config);
  EXPECT_EQ(sim.board.sim_descriptor_name(), "ky09");
  EXPECT_EQ(stored.toStdString(), sim.board.descriptor_path);
  EXPECT_EQ(sim.attached_handles().size(), 2u);
  sim.env.open_descriptor = [&] { return path("none.m09sim"); };
  frame->dispatch(wb::cmd::select_sim_config);
  ASSERT_EQ(dialogs->errors.size(), 1u);
  EXPECT_TRUE(dialogs->errors[0].startsWith("Can't open '"));
  frame->dispatch(wb::cmd::clear_sim_config);
  EXPECT_EQ(sim.board.sim_descriptor_name(), "<DEFAULT>");
  EXPECT_TRUE(stored.isEmpty());
}

TEST_F(SimFrame, ExampleRunsFastGreetsInTheTerminalAndAnswersAKey) {
  const QString program = buildExample();
  ASSERT_FALSE(program.isEmpty()) << "zbuild did not build the example";
  frame->dispatch(wb::cmd::simulator_window);  // opens without a program
  SimulatorWindow* window = controller->window();
  ASSERT_NE(window, nullptr);
  // Load New (808) takes the load file dialog's choice and loads it (809).
  dialogs->file_names.push_back(program);
  window->command(SIM_LOAD_NEW, 0);
  Engine& engine = controller->context().engine;
  EXPECT_EQ(engine.load_file_name, "ky09demo_Debug.s19");
  EXPECT_EQ(engine.cpu.pc, engine.entry_address);
  EXPECT_TRUE(window->toolAction(SIM_RELOAD)->isEnabled());
  Board& board = controller->context().board;
  const int32_t console = board.onboard_connection(int(Onboard::Acia1));
  ASSERT_GE(console, 0);
  controller->devices().sync();
  auto* terminal = qobject_cast<QPlainTextEdit*>(controller->devices().viewFor(console));
  ASSERT_NE(terminal, nullptr);
  auto shows = [&](const char* text) { return terminal->toPlainText().contains(QLatin1String(text)); };

  window->toolAction(SIM_RUN_FAST)->trigger();
  ASSERT_TRUE(wait_for([&] { return shows("Type something; q ends the demo."); }, 30000))
      << terminal->toPlainText().toStdString();
  EXPECT_TRUE(shows("Hello from the KY09 board!"));
  EXPECT_EQ(engine.run_mode, RunMode::Fast);
  // One lamp of PIA 1 is lit, and the light moves on while the program runs.
  auto* panel = tovrel::find<tovrel::PiaPanel>(board.onboard_connection(int(Onboard::Pia1)));
  ASSERT_NE(panel, nullptr);
  const uint8_t lamps = panel->lamps;
  EXPECT_EQ(std::popcount(lamps), 1);
  EXPECT_TRUE(wait_for([&] { return panel->lamps != lamps; }, 30000));
  EXPECT_EQ(std::popcount(panel->lamps), 1);
  // A key typed in the terminal comes back as its echo; q ends the program.
  terminal->setFocus();
  QTest::keyClick(terminal, Qt::Key_X);
  ASSERT_TRUE(wait_for([&] { return shows("q ends the demo.\nx"); }, 30000)) << terminal->toPlainText().toStdString();
  QTest::keyClick(terminal, Qt::Key_Q);
  ASSERT_TRUE(wait_for([&] { return shows("Goodbye."); }, 30000)) << terminal->toPlainText().toStdString();
  window->toolAction(SIM_STOP)->trigger();
  EXPECT_EQ(engine.run_mode, RunMode::Stopped);
}

}  // namespace
