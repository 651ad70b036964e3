// The terminal window on the frame, offscreen: opening from the port list,
// its place in the area, typing, the pop-up menu, the two dialogs, closing during a load; and the
// whole road with the QM09 monitor in run09 behind a pseudo-terminal: banner,
// download of the example workspace's Final build, G, the program's greeting
// on the screen and its echo of a key typed.
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <csignal>
#include <sys/wait.h>

#include "common/number.h"
#include "debugger/terminal/boot_dialog.h"
#include "debugger/terminal/serial_baud.h"
#include "debugger/terminal/setup_dialog.h"
#include "debugger/terminal/terminal_child.h"
#include "debugger/terminal/terminal_controller.h"
#include "tests/terminal/pty_board.h"
#include "tests/workbench/gui_fixture.h"
#include "workbench/project/project_manager.h"

namespace zun::term {
namespace {

using namespace test;
namespace fs = std::filesystem;

class TerminalGui : public wb::test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    old_dir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    write_map("COM1=" + board.path() + "\nCOM2=/nonexistent/tty\n");
    controller = new TerminalController(frame.get(), path("ports.conf"));
  }
  void TearDown() override {
    QDir::setCurrent(old_dir_);
    FrameTest::TearDown();
  }
  void write_map(const std::string& text) { put("ports.conf", text); }
  TerminalChild* openCom1() {
    frame->dispatch(41001);
    return controller->terminal(0);
  }
  // Lets the terminal's timer run until `done` holds.
  template <class Pred>
  bool until(Pred done, int ms = 10000) {
    for (QElapsedTimer t = started(); t.elapsed() < ms; QTest::qWait(10))
      if (done()) return true;
    return done();
  }
  static QElapsedTimer started() {
    QElapsedTimer t;
    t.start();
    return t;
  }
  static bool shows(TerminalChild* t, const std::string& text) {
    return t->terminal().screen().text().find(text) != std::string::npos;
  }
  static QStringList popupTexts(TerminalChild* t) {
    std::unique_ptr<QMenu> menu(t->buildPopup());
    QStringList texts;
    for (QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
  }

  PtyBoard board;
  TerminalController* controller = nullptr;
  QString old_dir_;
};

TEST_F(TerminalGui, OpensOncePerPortAndTalksToTheBoard) {
  QMenu* ports = frame->menu(wb::MenuId::OpenTerminal);
  emit ports->aboutToShow();
  ASSERT_EQ(ports->actions().size(), 2);  // COM2's device is missing, and says so when chosen
  EXPECT_EQ(ports->actions()[0]->text(), "COM&1");

  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->parentWidget()->objectName(), "ZUNKY09##TerminalChild");
  EXPECT_EQ(t->windowTitle(), "(COM1:4800,N,8,1)");
  EXPECT_EQ(t->size(), t->gridPixels());
  frame->dispatch(41001);  // the same port again: the same window
  EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
  emit ports->aboutToShow();
  EXPECT_EQ(ports->actions().size(), 2);  // still offered while open

  QTest::keyClicks(t, "ab");
  QTest::keyClick(t, Qt::Key_Return);
  EXPECT_TRUE(board.wait_for([](const std::string& s) { return s == "ab\r"; }));
  board.send("Hello\r\nboard");
  EXPECT_TRUE(until([&] { return shows(t, "board"); }));
  EXPECT_EQ(t->terminal().screen().row_text(0).substr(0, 6), "Hello ");

  EXPECT_EQ(popupTexts(t), (QStringList{"Load New", "Bootstrapper", "-", "Start Logging", "Setup"}));
  t->command(TerminalChild::start_log_cmd, 0);
  EXPECT_EQ(t->windowTitle(), "(COM1:4800,N,8,1)  Terminal log= logfile.log");
  EXPECT_EQ(popupTexts(t).at(3), "Stop Logging");

  // COM2's device is missing: no window, and the reason in the output.
  frame->dispatch(41002);
  EXPECT_EQ(controller->terminal(1), nullptr);
  ASSERT_NE(frame->output(), nullptr);
  EXPECT_NE(frame->output()->text().lines().back().find("Can't open COM2 (/nonexistent/tty)"), std::string::npos);
}

// The window opens inside the frame's area, clear of the output window and
// not under the project manager, which floats over the area, where there
// is room; in an area too small for 80 by 25 characters it takes the
// area's size and its screen as many characters as fit.
TEST_F(TerminalGui, OpensInsideTheArea) {
  frame->dispatch(wb::cmd::output_window);
  wb::ProjectManagerWindow manager(frame.get(), nullptr);
  manager.showBeside();
  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  auto* sub = qobject_cast<QMdiSubWindow*>(t->parentWidget());
  QRect area(QPoint(0, 0), frame->mdiArea()->viewport()->size());
  EXPECT_TRUE(area.contains(sub->geometry()));
  EXPECT_FALSE(sub->geometry().intersects(frame->output()->parentWidget()->geometry()));
  const QRect on_screen(frame->mdiArea()->viewport()->mapToGlobal(sub->pos()), sub->size());
  EXPECT_FALSE(on_screen.intersects(manager.frameGeometry()));
  EXPECT_EQ(t->terminal().screen().columns(), 80);
  frame->closeChild(sub);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  frame->resize(600, 400);
  QApplication::processEvents();
  t = openCom1();
  ASSERT_NE(t, nullptr);
  QTest::qWait(20);
  sub = qobject_cast<QMdiSubWindow*>(t->parentWidget());
  area = QRect(QPoint(0, 0), frame->mdiArea()->viewport()->size());
  EXPECT_TRUE(area.contains(sub->geometry())) << sub->x() << "," << sub->y() << " " << sub->width() << "x"
                                              << sub->height() << " in " << area.width() << "x" << area.height();
  EXPECT_LT(t->terminal().screen().columns(), 80);
  EXPECT_EQ(t->size(), t->gridPixels());
}

// The ports file is read again as the menu opens: a port named after the
// start is offered at once, and an empty list says where ports are named.
TEST_F(TerminalGui, ThePortsFileIsReadAgainAsTheMenuOpens) {
  QMenu* ports = frame->menu(wb::MenuId::OpenTerminal);
  write_map("# none yet\n");
  emit ports->aboutToShow();
  ASSERT_EQ(ports->actions().size(), 1);
  EXPECT_FALSE(ports->actions()[0]->isEnabled());
  EXPECT_EQ(ports->actions()[0]->text(), "(No serial ports: name them in " + path("ports.conf") + ")");

  write_map("COM3=" + path("gone").toStdString() + "\nCOM1=" + board.path() + "\n");
  emit ports->aboutToShow();
  QStringList texts;
  for (QAction* a : ports->actions()) texts << a->text() + (a->isEnabled() ? "" : " (greyed)");
  EXPECT_EQ(texts, (QStringList{"COM&1", "COM&3"}));
  ports->actions()[1]->trigger();
  EXPECT_EQ(controller->terminal(2), nullptr);
  ASSERT_NE(frame->output(), nullptr);
  EXPECT_EQ(frame->output()->text().lines().back(),
            "Can't open COM3 (" + path("gone").toStdString() + "): No such file or directory");
  ports->actions()[0]->trigger();
  EXPECT_NE(controller->terminal(0), nullptr);
}

TEST_F(TerminalGui, RefusesToCloseWhileLoadingAndKeepsItsSettings) {
  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "S1051000ABCD72\n";
  QDir(dir_.path()).mkdir("Board Out");
  put("Board Out/App&Test.S19", lines);
  const QString app = path("Board Out/App&Test.S19");
  dialogs->file_names = {app};
  frame->dispatch(wb::cmd::load_into_child);
  ASSERT_TRUE(t->terminal().loading());
  EXPECT_EQ(popupTexts(t), QStringList{"Stop load"});
  auto* sub = qobject_cast<QMdiSubWindow*>(t->parentWidget());
  EXPECT_FALSE(frame->closeChild(sub));
  EXPECT_EQ(dialogs->warnings, std::vector<QString>{"Download in progress, can't quit now"});
  t->command(TerminalChild::stop_load_cmd, 0);
  EXPECT_TRUE(until([&] { return !t->terminal().loading(); }));
  EXPECT_NE(board.received().find('\x04'), std::string::npos);
  // Reload names the file as it was chosen, and loads that very file.
  QString shown = app;
  EXPECT_EQ(popupTexts(t).at(0), "Reload ( " + shown.replace("&", "&&") + " )");
  QTimer::singleShot(50, [] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    popup->setActiveAction(popup->actions().at(0));
    QTest::keyClick(popup, Qt::Key_Return);
  });
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), t->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(t, &click);
  EXPECT_TRUE(t->terminal().loading());
  t->command(TerminalChild::stop_load_cmd, 0);
  EXPECT_TRUE(until([&] { return !t->terminal().loading(); }));
  EXPECT_EQ(t->terminal().last_loaded(), app.toLocal8Bit().toStdString());

  t->terminal().settings().back_colour = 0x00FF00;
  EXPECT_TRUE(frame->closeChild(sub));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(controller->settings().for_port(0).back_colour, 0x00FF00u);
  EXPECT_NE(write_terminal_settings(controller->settings()).find("#+[BackCol(1)]=\n#+65280\n"), std::string::npos);
}

TEST_F(TerminalGui, SetupDialogSetsThePortAndTheSlot) {
  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  int changed = 0;
  QObject::connect(controller, &TerminalController::settingsChanged, [&] { ++changed; });
  t->runSetup = [](SetupDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Terminal Preferences");
    EXPECT_TRUE(d.findChild<QRadioButton*>("baud_4800")->isChecked());
    d.findChild<QRadioButton*>("baud_19200")->setChecked(true);
    d.findChild<QRadioButton*>("parity_2")->setChecked(true);
    d.findChild<QLineEdit*>("load_command")->setText("L\\n");
    d.chooseColour = [](const QString&) { return std::optional<uint32_t>(0x0000FF); };
    d.findChild<QPushButton*>("text_colour")->click();
    return true;
  };
  t->command(TerminalChild::setup_cmd, 0);
  EXPECT_EQ(t->windowTitle(), "(COM1:19200,E,8,1)");
  EXPECT_EQ(port_baud(board.slave()), 19200u);
  PortSettings kept = controller->settings().for_port(0);
  EXPECT_EQ(kept.record(Record::Terminal).parity, 2);
  EXPECT_EQ(kept.load_command, "L\\n");
  EXPECT_EQ(kept.text_colour, 0x0000FFu);
  EXPECT_EQ(changed, 1);

  // Cancel keeps the record; Defaults goes back to what the dialog opened with.
  t->runSetup = [](SetupDialog& d) {
    d.findChild<QRadioButton*>("baud_110")->setChecked(true);
    d.findChild<QPushButton*>("defaults")->click();
    EXPECT_TRUE(d.findChild<QRadioButton*>("baud_19200")->isChecked());
    return false;
  };
  t->command(TerminalChild::setup_cmd, 0);
  EXPECT_EQ(t->windowTitle(), "(COM1:19200,E,8,1)");
}

TEST_F(TerminalGui, BootstrapperDialogRunsTheDownload) {
  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  put("Boot.S19", "S00600004844521B\nS107100001020304DE\nS9030000FC\n");
  int prepared = 0;
  t->runBoot = [&](BootDialog& d) {
    auto* ok = d.findChild<QPushButton*>("ok");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(d.findChild<QRadioButton*>("size_file")->isChecked());
    EXPECT_FALSE(d.findChild<QLineEdit*>("app_path")->isEnabled());
    QTest::keyClicks(d.findChild<QLineEdit*>("boot_path"), path("Boot.S19"));
    EXPECT_TRUE(ok->isEnabled());
    d.findChild<QLineEdit*>("offset")->setText("1000");
    d.prepareBox = [&] { ++prepared; };
    d.timing.per_byte = std::chrono::milliseconds(1);
    ok->click();
    EXPECT_EQ(d.findChild<QLabel*>("counter")->text(), "4");
    EXPECT_EQ(d.findChild<QLineEdit*>("offset")->text(), "1000");
    EXPECT_EQ(d.findChild<QLineEdit*>("boot_path")->text(), path("Boot.S19"));  // filled anew, as chosen
    d.findChild<QLineEdit*>("offset")->setText("xyz");
    d.findChild<QRadioButton*>("size_other")->setChecked(true);
    d.findChild<QLineEdit*>("other_size")->setText("2");
    dialogs->question_answers = {false};
    ok->click();
    EXPECT_EQ(d.findChild<QLineEdit*>("offset")->text(), "00");
  };
  t->command(TerminalChild::boot_cmd, 0);
  EXPECT_EQ(prepared, 1);  // the second run stopped at the omission question
  EXPECT_EQ(dialogs->questions, std::vector<QString>{"WARNING: 4 bytes are omitted due to size setting\nContinue?"});
  EXPECT_TRUE(board.wait_for([](const std::string& s) { return s == std::string("\x01\x02\x03\x04"); }));
  EXPECT_EQ(t->terminal().boot().size, 2u);
}

// ---- the whole road ----

// Runs a program to its end; its exit code, or -1.
int run_program(const std::vector<std::string>& argv, const std::string& dir) {
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (::chdir(dir.c_str()) == 0) ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(TerminalGui, MonitorLoadsAndRunsTheExample) {
  const char* stage_env = std::getenv("ZUN_STAGE");
  const std::string stage = stage_env ? stage_env : "";
  const std::string bin = stage + "/bin";
  if (stage.empty() || !fs::exists(stage + "/config/zun09/qm09.s19") || !fs::exists(stage + "/lib/zun09/libc.e09"))
    GTEST_SKIP() << "no staged tools";
  // The example workspace's Final build, made with zbuild on a copy.
  ASSERT_EQ(run_program({"/bin/bash", std::string(ZUN_SOURCE_DIR) + "/tests/tools/build_example.sh", stage,
                         path("example").toStdString(), "Final"},
                        dir_.path().toStdString()),
            0);
  const QString program = path("example/ky09demo/final/ky09demo_Final.s19");
  const std::string load_file = file("example/ky09demo/final/ky09demo_Final.s19");
  const size_t s9 = load_file.rfind("S903");
  ASSERT_NE(s9, std::string::npos);
  const std::string entry = load_file.substr(s9 + 4, 4);

  // The board: run09 with the monitor, its console on the pseudo-terminal.
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  write_map(std::string("COM1=") + name + "\n");
  controller = new TerminalController(frame.get(), path("ports.conf"));
  TerminalChild* t = openCom1();
  ASSERT_NE(t, nullptr);
  struct Board {
    pid_t pid;
    int master, slave;
    ~Board() {
      if (pid > 0) ::kill(pid, SIGTERM), ::waitpid(pid, nullptr, 0);
      ::close(master);
      ::close(slave);
    }
  } board_process{::fork(), master, slave};
  const pid_t board_pid = board_process.pid;
  if (board_pid == 0) {
    ::dup2(master, 0);
    ::dup2(master, 1);
    ::execl((bin + "/run09").c_str(), "run09", "--max", "1000000000000", (stage + "/config/zun09/qm09.s19").c_str(),
            nullptr);
    ::_exit(127);
  }
  ASSERT_GT(board_pid, 0);
  EXPECT_TRUE(until([&] { return shows(t, "QM09 monitor for KY09") && shows(t, "> "); }, 30000));

  dialogs->file_names = {program};
  frame->dispatch(wb::cmd::load_into_child);
  EXPECT_TRUE(t->terminal().loading());
  EXPECT_TRUE(until([&] { return !t->terminal().loading() && shows(t, "OK"); }, 30000)) << t->terminal().screen().text();
  QTest::keyClicks(t, QString::fromStdString("G " + entry));
  QTest::keyClick(t, Qt::Key_Return);
  EXPECT_TRUE(until([&] { return shows(t, "Type something; q ends the demo."); }, 30000))
      << t->terminal().screen().text();
  EXPECT_TRUE(shows(t, "Hello from the KY09 board!"));
  // The program echoes what is typed, on the line below its greeting; q
  // ends it.
  QTest::keyClicks(t, QStringLiteral("hi"));
  EXPECT_TRUE(until([&] { return shows(t, "\nhi "); }, 30000)) << t->terminal().screen().text();
  QTest::keyClick(t, Qt::Key_Q);
  EXPECT_TRUE(until([&] { return shows(t, "Goodbye."); }, 30000)) << t->terminal().screen().text();
}

}  // namespace
}  // namespace zun::term

// fontconfig keeps caches for the life of the process and never frees them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
