// The visual simulator window (ZunSimulatorChild): the board picture with its
// lamps and keys, a toolbar, the 12-line disassembly list, the registers, the
// stack and the memory grid, over the engine that it owns the commands of.
// The board, the engine and the I/O library live in a SimulatorContext for the
// whole run of the workbench; the window is their view and their voice
// (messages, repaints, the debugger's stop notification).
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "debugger/simwin/sim_qt.h"
#include "workbench/frame/mdi_child.h"

class QAction;
class QDialog;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QToolBar;

namespace zun::sim {

// What the simulator asks of the workbench around it; the frame fills it in,
// tests give their own answers.
struct SimulatorEnv {
  QString bin_dir;  // the programs' directory; the configuration lies beside it
  QFont panel_font;  // fixed pitch: L and W of the layout come from it
  QFont small_font;
  std::function<void(const QString& text)> error;
  std::function<void(const QString& caption, const QString& text)> message;
  std::function<bool(const QString& text)> question;
  // The load-file dialog: the chosen path, or "" when cancelled.
  std::function<QString()> choose_load_file;
  // The target descriptor file dialogs of the board setup dialog.
  std::function<QString()> open_descriptor;
  std::function<QString(const QString& dir)> save_descriptor;
  QString project_dir;
  // The open project's target descriptor ("" for none) and its setter.
  std::function<QString()> project_descriptor;
  std::function<void(const QString& path)> set_project_descriptor;
  std::function<void(std::string_view text)> output;
  // The menus follow the simulator's state.
  std::function<void()> state_changed;
  // Runs a modal dialog of the simulator (exec() when empty); tests drive
  // the dialog instead.
  std::function<int(QDialog& dialog)> run_dialog;
};

// The debugger's side of the simulator: told after every step and
// run-control command, and once when the simulator window closes, after
// which it must not use the window or its engine again.
class SimulatorClient {
 public:
  virtual ~SimulatorClient() = default;
  virtual void on_stop() {}
  virtual void simulator_closing() = 0;
};

class SimulatorWindow;

// The simulated board for the whole run. Engine messages go to the window
// while there is one, else straight to the workbench.
class SimulatorContext : public EngineHost {
 public:
  explicit SimulatorContext(SimulatorEnv env);
  ~SimulatorContext() override;

  void on_stop() override;
  void repaint() override;
  void run_mode_changed() override;
  void message_box(const std::string& caption, const std::string& text) override;
  void error_box(const std::string& text) override;
  void output_line(const std::string& text) override;

  // The handles of every attached instance, for the device windows.
  std::vector<int32_t> attached_handles() const;
  void set_window(SimulatorWindow* window) { window_ = window; }
  SimulatorWindow* window() const { return window_; }

  SimulatorEnv env;
  TovrelLibrary io;
  Board board{io};
  Engine engine;

 private:
  SimulatorWindow* window_ = nullptr;
};

class SimulatorWindow : public QWidget, public wb::MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZunSimulatorChild";
  static constexpr const char* caption = "KY09 (MC6809) Visual Simulator";

  // Creates the window for a CPU kind over the context, with the load file
  // to use; nullptr for a kind without a panel layout. At most one window
  // may exist per context.
  static SimulatorWindow* create(SimulatorContext& sim, int cpu_kind, const QString& load_file,
                                 QWidget* parent = nullptr);
  ~SimulatorWindow() override;

  // MdiChild: the engine's commands (768-812), the pop-up choices, the
  // memory cells' focus moves (40030-40033) and the address button (1101).
  bool command(int id, qintptr param) override;
  bool queryClose() override;
  void describe(wb::WorkbenchState& state) const override;

  // The window became the active one: asks to reload a load file that
  // changed (not on the first activation).
  void activated();
  void setClient(SimulatorClient* client) { client_ = client; }
  SimulatorClient* client() const { return client_; }
  Engine& engine() const { return sim_.engine; }
  SimulatorContext& context() const { return sim_; }

  // The engine told the window: panels to repaint, the run mode changed.
  void enginePainted();
  void engineRunModeChanged();
  void engineStopped();

  // Brings every panel up to date with the engine at once.
  void refreshPanels();

  // The pop-up menu for a right click at a point, and carrying out one of
  // its choices (what choosing it from the menu does).
  std::vector<MenuEntry> popupAt(QPoint p);
  void choosePopup(QPoint p, int id);

  // For the views and tests.
  const DisassemblyList& list() const { return list_; }
  const StackView& stack() const { return stack_; }
  const MemoryGrid& grid() const { return grid_; }
  const PanelGeometry& panelGeometry() const { return geo_; }
  QLineEdit* registerField(int index) const;
  QLineEdit* memoryCell(int cell) const { return cells_.at(cell); }
  QLineEdit* addressField(int row) const { return address_fields_.at(row); }
  QPushButton* button(int id) const;
  QScrollBar* memoryScroll() const { return scroll_; }
  QToolBar* toolBar() const { return toolbar_; }
  QAction* toolAction(int id) const;
  QTimer& runTimer() { return run_timer_; }
  QSize pictureSize() const { return picture_.size(); }

 signals:
  // Sent once, before the window goes.
  void closing();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SimulatorWindow(SimulatorContext& sim, const QString& load_file, QWidget* parent);
  void createControls();
  void createToolBar();
  void updateToolBar();
  void scrollMemory(int position);
  void paintMemory();
  void paintRegisters();
  void cellEdited(int cell);
  void applyRegisters();
  void addressButton();
  void moveCellFocus(int id);
  void runEngine(int id);
  void loadNew();
  void setupDialog();
  void breakpointDialog();
  void showPopup(QPoint p);
  int keyAt(QPoint p) const;
  void tick();
  void panelsDirty();
  void notifyClosing();
  void shutDown(bool workbench_alive);

  SimulatorContext& sim_;
  PanelGeometry geo_;
  QPixmap picture_;
  QPixmap key_up_, key_down_;
  struct Key {
    int left, top, command;
    bool pressed = false;
  };
  std::vector<Key> keys_;
  DisassemblyList list_;
  StackView stack_;
  MemoryGrid grid_;
  std::array<QLineEdit*, memory_cells> cells_{};
  std::array<QLineEdit*, 4> address_fields_{};
  std::array<QLineEdit*, 9> registers_{};
  std::map<int, QPushButton*> buttons_;
  QScrollBar* scroll_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::map<int, QAction*> tool_actions_;
  QTimer run_timer_;
  SimulatorClient* client_ = nullptr;
  bool filling_ = false;          // the panels are writing the edits
  bool address_editing_ = false;  // the address button reads "set"
  bool first_activation_ = true;
  bool closing_sent_ = false;
  bool displayed_step_ = false;   // the last engine work was one displayed step
  bool refresh_pending_ = false;  // a refresh is queued for the event loop
};

// Runs one of the simulator's dialogs through the environment.
int run_dialog(const SimulatorEnv& env, QDialog& dialog);

}  // namespace zun::sim
