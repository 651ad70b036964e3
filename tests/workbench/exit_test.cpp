// Exit after long use: the workbench as zun09 builds it, taken through a
// run of the simulator, a terminal attached on ACIA 2, a debugging session
// opened and closed, two workspaces in turn, a terminal on a serial line and
// the help window, then File > Exit. The event loop must end, and so must
// the teardown.
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "debugger/simwin/sim_controller.h"
#include "debugger/sldwin/sld_controller.h"
#include "debugger/terminal/terminal_controller.h"
#include "debugger/tovrel/tovrel.h"
#include "tests/terminal/pty_board.h"
#include "tests/workbench/gui_fixture.h"
#include "workbench/app/workbench_app.h"
#include "workbench/project/project_controller.h"

namespace zun::wb::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Ends the test program with a message when `done` is not called in time:
// a teardown that hangs would otherwise hang the test.
class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, const char* what)
      : thread_([this, limit, what] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "%s did not end within %lld s\n", what, static_cast<long long>(limit.count()));
            std::_Exit(1);
          }
        }) {}
  ~Watchdog() { done(); }
  void done() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};

TEST(WbExit, ExitEndsTheProgramAfterLongUse) {
  ensure_app();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string stage = qgetenv("ZUN_STAGE").toStdString();
  const std::string root = dir.path().toStdString();
  for (const char* ws : {"/a", "/b"})
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", root + ws, fs::copy_options::recursive);
  const std::string build = stage + "/bin/zbuild " + root + "/a/ky09demo.w09 --build >/dev/null 2>&1";
  ASSERT_EQ(std::system(build.c_str()), 0);
  const QString load = QString::fromStdString(root + "/a/ky09demo/debug/ky09demo_Debug.s19");
  term::test::PtyBoard line;
  const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/KVT");
  QDir().mkpath(config);
  ASSERT_TRUE(write_file_bytes((config + QStringLiteral("/ZUN09-ports.conf")).toStdString(), "COM1=" + line.path() + "\n"));

  auto scripted = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs* dialogs = scripted.get();
  auto workbench = std::make_unique<Workbench>(std::move(scripted));
  FrameWindow& frame = workbench->frame();
  frame.show();
  sim::SimulatorController& sim = workbench->simulator();
  sim.context().engine.bin_dir = stage + "/bin";
  sim.context().env.bin_dir = QString::fromStdString(stage + "/bin");
  workbench->projects().setProgramDir(QString::fromStdString(stage + "/bin"));
  workbench->projects().openWorkspace(QString::fromStdString(root + "/a/ky09demo.w09"));

  dialogs->file_names = {load};
  frame.dispatch(cmd::machine_level);
  ASSERT_NE(sim.window(), nullptr);
  sim.window()->command(SIM_RUN_FAST, 0);
  QTest::qWait(200);
  sim.context().board.dev_open(int(tovrel::DeviceKind::Terminal), 0xE024, 0);
  sim.devices().sync();
  EXPECT_EQ(sim.devices().count(), 3);  // the default target's two and ACIA 2's terminal

  dialogs->file_names = {load};
  frame.dispatch(cmd::run_simulator);
  ASSERT_TRUE(workbench->debugging().sessionOpen());
  frame.dispatch(cmd::dbg_run);
  QTest::qWait(200);
  frame.dispatch(cmd::dbg_close);
  EXPECT_FALSE(workbench->debugging().sessionOpen());
  EXPECT_EQ(sim.window(), nullptr);  // gone with the session

  workbench->projects().openWorkspace(QString::fromStdString(root + "/b/ky09demo.w09"));
  frame.dispatch(cmd::terminal_port_first);
  ASSERT_NE(workbench->terminals().terminal(0), nullptr);
  dialogs->file_names = {load};
  frame.dispatch(cmd::machine_level);
  ASSERT_NE(sim.window(), nullptr);
  sim.window()->command(SIM_RUN_FAST, 0);
  QtUserDialogs(&frame).help(QString::fromStdString(stage + "/help/index.html"));
  QTest::qWait(200);

  bool ended_by_watchdog = false;
  QTimer::singleShot(0, &frame, [&frame] { frame.choose(cmd::exit); });
  QTimer::singleShot(20000, [&] {
    ended_by_watchdog = true;
    QCoreApplication::exit(1);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(ended_by_watchdog) << "the event loop went on after Exit";
  EXPECT_FALSE(frame.isVisible());
  Watchdog teardown(30s, "the teardown after Exit");
  workbench.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace zun::wb::test

// fontconfig keeps caches for the life of the process and never frees them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
