// The simulator window offscreen over its own context, with the workbench's
// answers scripted: errors are collected, questions answered from a queue,
// and each modal dialog is handed to a script instead of being run.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>

#include "debugger/simwin/sim_window.h"
#include "tests/workbench/gui_fixture.h"

namespace zun::sim::test {

inline QString stage_dir() { return QString::fromLocal8Bit(qgetenv("ZUN_STAGE")); }

inline QFont test_font(int pixels) {
  QFont f(QStringLiteral("Liberation Mono"));
  f.setStyleHint(QFont::TypeWriter);
  f.setPixelSize(pixels);
  return f;
}

// Processes events until `done` or the time is up.
inline bool wait_for(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(10);
  }
  return true;
}

class SimWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wb::test::ensure_app();
    SimulatorEnv env;
    env.bin_dir = stage_dir() + QStringLiteral("/bin");
    env.panel_font = test_font(12);
    env.small_font = test_font(10);
    env.error = [this](const QString& t) { errors.push_back(t); };
    env.message = [this](const QString& c, const QString& t) { errors.push_back(c + QStringLiteral(": ") + t); };
    env.question = [this](const QString& t) {
      questions.push_back(t);
      bool a = !answers.empty() && answers.front();
      if (!answers.empty()) answers.pop_front();
      return a;
    };
    env.run_dialog = [this](QDialog& d) {
      d.show();
      QApplication::processEvents();
      if (scripts.empty()) {
        ADD_FAILURE() << "unexpected dialog " << d.objectName().toStdString();
        return 0;
      }
      auto script = scripts.front();
      scripts.pop_front();
      script(d);
      return d.result();
    };
    sim = std::make_unique<SimulatorContext>(env);
  }
  void TearDown() override {
    delete window;
    sim.reset();
    QApplication::processEvents();
  }

  void open() {
    window = SimulatorWindow::create(*sim, 17, QString());
    ASSERT_NE(window, nullptr);
    window->show();
    QApplication::processEvents();
  }
  Engine& engine() { return sim->engine; }
  Board& board() { return sim->board; }
  void poke(uint32_t addr, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) board().ram[addr++] = b;
  }
  // A point inside a row of the disassembly list.
  QPoint rowPoint(int row) const {
    const PanelGeometry& g = window->panelGeometry();
    return QPoint(g.list_x + 4, g.list_y + row * g.L + g.L / 2);
  }
  template <class T>
  static T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
  }

  std::unique_ptr<SimulatorContext> sim;
  SimulatorWindow* window = nullptr;
  std::vector<QString> errors, questions;
  std::deque<bool> answers;
  std::deque<std::function<void(QDialog&)>> scripts;
};

}  // namespace zun::sim::test
