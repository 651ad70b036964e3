// The watch windows of the debugger ("Global symbols", "Auto symbols") and
// the two controls they are made of: a pane with a caption strip that the
// user drags to move or resize it, and a two-column tree ("Name", "Value")
// whose value cells are edited in place. Views over the watch model.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>

#include "debugger/sld/watch.h"
#include "workbench/frame/mdi_child.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRubberBand;

namespace zun::sldwin {

// A frame of 5-pixel borders and a 25-pixel caption strip around a content
// widget. A drag in the caption moves it, one on an edge moves that edge;
// the parent learns the new place through moved().
class PaneControl : public QWidget {
  Q_OBJECT

 public:
  enum class Zone { None = 0, Left = 10, Right = 11, Top = 12, Bottom = 15 };
  PaneControl(QWidget* content, QWidget* parent, int orientation = 0);
  // The content area of a rectangle in pane coordinates.
  QRect adjustRect(const QRect& r) const;
  Zone zoneAt(QPoint p) const;
  // The drag rectangle, in the parent's coordinates, after the mouse moved
  // by `delta` from a press at `start` (what a drag ends with).
  QRect dragged(QPoint start, QPoint delta) const;

 signals:
  void moved(const QRect& rect);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* content_;
  int orientation_;
  QRubberBand* band_ = nullptr;
  QPoint press_;
  bool moving_ = false, sizing_ = false;
  Zone zone_ = Zone::None;
};

// The two-column tree. The value column's cells open an editor of at most
// 40 characters on a click, unless the target runs; Enter or the loss of the
// focus ends it, Escape drops it.
class ColumnTree : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr int max_edit = 40;
  explicit ColumnTree(QWidget* parent = nullptr);

  std::function<bool()> running;
  // Whether a row can be edited, and the text its editor starts with.
  std::function<bool(QTreeWidgetItem*)> editable;
  std::function<QString(QTreeWidgetItem*)> edit_text;

  // The x where the value column begins; it also closes an open editor.
  int valueX() const;
  // Opens the editor over a row's value cell; false when none opens.
  bool openEditor(QTreeWidgetItem* item);
  void closeEditor();
  QLineEdit* editor() const { return editor_; }
  // A value cell's tool tip: the whole text where the cell shows it elided.
  QString valueToolTip(QTreeWidgetItem* item) const;

 signals:
  // The editor ended with this text.
  void editEnded(QTreeWidgetItem* item, const QString& text);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void finishEdit();

  QPointer<QLineEdit> editor_;
  QTreeWidgetItem* edited_ = nullptr;
};

struct WatchEnv {
  std::function<bool()> running;
  // The close box only minimises while the session lasts.
  std::function<bool()> session_open;
};

class WatchWindow : public QWidget, public wb::MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* global_class = "ZunSldGlobalWatchChild";
  static constexpr const char* auto_class = "ZunSldLocalWatchChild";

  WatchWindow(sld::SldWatches& watches, bool autos, WatchEnv env, const QFont& font, QWidget* parent = nullptr);
  ~WatchWindow() override;

  bool command(int, qintptr) override { return false; }
  bool queryClose() override;
  void describe(wb::WorkbenchState&) const override {}

  // The rows again from the model (after every stop and every change).
  void rebuild();
  // The global window's Add: the combobox text as a new watch on top.
  void addWatch();
  void fillSymbols();
  // The row's view menu and its choices.
  std::vector<QString> rowMenu(QTreeWidgetItem* item) const;
  void chooseRowEntry(QTreeWidgetItem* item, const QString& entry);

  sld::WatchEntry* entryOf(QTreeWidgetItem* item) const;
  QTreeWidgetItem* itemOf(const sld::WatchEntry* e) const;
  ColumnTree* tree() const { return tree_; }
  QComboBox* symbolBox() const { return symbols_; }
  QPushButton* addButton() const { return add_; }
  PaneControl* pane() const { return pane_; }

 protected:
  void resizeEvent(QResizeEvent*) override;

 private:
  void addRow(QTreeWidgetItem* parent, sld::WatchEntry* e);
  void expanded(QTreeWidgetItem* item);
  void collapsed(QTreeWidgetItem* item);
  void edited(QTreeWidgetItem* item, const QString& text);
  void showRowMenu(QPoint pos);

  sld::SldWatches& watches_;
  bool autos_;
  WatchEnv env_;
  QComboBox* symbols_ = nullptr;
  QPushButton* add_ = nullptr;
  ColumnTree* tree_ = nullptr;
  PaneControl* pane_ = nullptr;
  bool rebuilding_ = false;
};

}  // namespace zun::sldwin
