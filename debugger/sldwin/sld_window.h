// The source-level debugger's window (ZunSldChild): a toolbar with the
// stepping commands and the module box, a 30-pixel margin with the execution
// arrow and the breakpoint marks, and a pane of character cells with the
// shown module's coloured source, or the disassembly from the PC where there
// is none. A view over the debugger's model; the commands go to the
// controller that owns the session.
#pragma once

#include <QComboBox>
#include <QWidget>
#include <functional>
#include <vector>

#include "debugger/simwin/sim_qt.h"  // before the board: Qt's slots macro
#include "debugger/sld/debugger.h"
#include "workbench/frame/mdi_child.h"

class QAction;
class QScrollBar;
class QToolBar;

namespace zun::sldwin {

struct SldViewEnv {
  QFont font;  // fixed pitch: the pane's character cells
  // A command of the window (toolbar, pop-up menus) for the controller.
  std::function<void(int id)> command;
  // The window is closing: the session ends.
  std::function<void()> closing;
};

// The module box fills itself each time its list drops down.
class ModuleBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  std::function<void()> before_popup;
  void showPopup() override;
};

class SldWindow;

// The 30-pixel strip left of the pane.
class SldMargin : public QWidget {
 public:
  explicit SldMargin(SldWindow& window);
  static constexpr int width = 30;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  SldWindow& window_;
};

// The text pane.
class SldPane : public QWidget {
 public:
  explicit SldPane(SldWindow& window);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  SldWindow& window_;
};

class SldWindow : public QWidget, public wb::MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZunSldChild";

  SldWindow(sld::SldDebugger& debugger, SldViewEnv env, QWidget* parent = nullptr);

  bool command(int id, qintptr param) override;
  bool queryClose() override;
  void describe(wb::WorkbenchState&) const override {}

  // After every stop and command: the execution module shown, its line in
  // view, title, command states, margin and pane.
  void refresh();
  // The shown module changed: back to its top line.
  void resetScroll();
  void updateCommandStates();
  void bringExecLineIntoView();
  void scrollBy(int lines);
  void setTopLine(int line);
  int topLine() const { return top_line_; }
  int maxTop() const { return max_top_; }
  int visibleLines() const;
  int lineHeight() const { return line_height_; }
  int charWidth() const { return char_width_; }
  // The source line under a y position of the margin or the pane.
  int lineAt(int y) const { return top_line_ + y / line_height_; }

  // The margin's pop-up for a source line: its entries, none where the line
  // has no code (or while the target runs); choosing one.
  std::vector<QString> marginMenu(int line) const;
  void chooseMarginEntry(int line, const QString& entry);
  // The pane's pop-up: only in an assembler module.
  std::vector<QString> paneMenu() const;
  void choosePaneEntry(const QString& entry);
  // The module box: the file names of the modules; choosing one shows it.
  void fillModuleBox();
  void chooseModule(int index);
  // The box shows the module on display.
  void showModuleInBox();

  sld::SldDebugger& debugger() const { return dbg_; }
  bool running() { return dbg_.target().target_is_running(); }
  const QFont& font() const { return env_.font; }
  QToolBar* toolBar() const { return toolbar_; }
  QAction* toolAction(int id) const;
  ModuleBox* moduleBox() const { return modules_; }
  SldMargin* margin() const { return margin_; }
  SldPane* pane() const { return pane_; }
  QScrollBar* scrollBar() const { return scroll_; }

 protected:
  void resizeEvent(QResizeEvent*) override;

 private:
  void createToolBar();
  void layoutChildren();
  void redraw();

  sld::SldDebugger& dbg_;
  SldViewEnv env_;
  QToolBar* toolbar_ = nullptr;
  ModuleBox* modules_ = nullptr;
  SldMargin* margin_ = nullptr;
  SldPane* pane_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  std::vector<std::pair<int, QAction*>> actions_;
  int top_line_ = 1;
  int max_top_ = 1;
  int line_height_ = 16;
  int char_width_ = 8;
  bool closing_ = false;
};

// The toolbar's pictures, drawn here: one per command.
QIcon sld_tool_icon(int id);

}  // namespace zun::sldwin
