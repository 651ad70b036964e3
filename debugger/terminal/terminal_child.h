// The terminal window (ZUNKY09##TerminalChild): an MDI child that shows the
// terminal context's character screen, polls the port every 100 ms, sends
// what the user types, and offers loads, logging, the settings dialog and
// the bootstrapper from its pop-up menu.
#pragma once

#include <QBasicTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "debugger/terminal/terminal.h"
#include "workbench/frame/mdi_child.h"

class QMenu;

namespace zun::wb {
class FrameWindow;
}

namespace zun::term {

// The terminal's user: message boxes of the frame, its output window and
// status bar.
class FrameHost : public TerminalHost {
 public:
  explicit FrameHost(wb::FrameWindow* frame) : frame_(frame) {}
  void error(const std::string& text) override;
  void warning(const std::string& text) override;
  void output(const std::string& text) override;
  void status(const std::string& text) override;

 private:
  wb::FrameWindow* frame_;
};

QColor to_qcolor(uint32_t bgr);
uint32_t from_qcolor(const QColor& c);

class TerminalChild : public QWidget, public wb::MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZUNKY09##TerminalChild";
  static constexpr int poll_ms = 100;
  // Terminal commands besides the frame's load (43016).
  static constexpr int setup_cmd = 43017, close_cmd = 43018, brush_cmd = 43101, repaint_cmd = 43102;
  static constexpr int start_log_cmd = 43126, stop_log_cmd = 43127, stop_load_cmd = 43128, boot_cmd = 43130;

  TerminalChild(wb::FrameWindow* frame, TerminalSettings& settings, int port_index, QWidget* parent = nullptr);
  ~TerminalChild() override;

  // Opens the port; false when there is no terminal to show.
  bool open(const std::string& device, std::string* why);
  Terminal& terminal() { return *terminal_; }
  // The client size of the whole character grid.
  QSize gridPixels() const;

  bool command(int id, qintptr param) override;
  bool queryClose() override;
  void describe(wb::WorkbenchState&) const override {}

  // Reads the port now and shows what came (the timer does it every 100 ms).
  void pollNow();
  // The pop-up menu as it would open now.
  QMenu* buildPopup();
  // Tests replace the settings and bootstrapper dialogs' ways of asking.
  std::function<bool(class SetupDialog&)> runSetup;
  std::function<void(class BootDialog&)> runBoot;
  LoadTiming load_timing;

 signals:
  // The port's settings were changed by the user (the project keeps them).
  void settingsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void load(const QString& path);
  void setup();
  void bootstrap();
  void endResize();
  void fitWindow();
  void updateCaption();

  wb::FrameWindow* frame_;
  FrameHost host_;
  std::unique_ptr<Terminal> terminal_;
  QBasicTimer timer_;
  int char_width_ = 8, char_height_ = 16;
  int wanted_columns_ = 80, wanted_rows_ = 25;
  bool resizing_ = false;
  bool resize_posted_ = false;
};

}  // namespace zun::term
