// The debugger's two dialogs: "Breakpoints" (the user breakpoints, enabled,
// disabled or removed) and "Supply Code Information" (the code range and
// entry of a program without debug information).
#pragma once

#include <QDialog>

#include "debugger/simwin/sim_qt.h"  // before the board: Qt's slots macro
#include "debugger/sld/debugger.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zun::sldwin {

class BreakpointDialog : public QDialog {
  Q_OBJECT

 public:
  BreakpointDialog(sld::SldBreakpoints& breakpoints, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }
  QPushButton* toggleButton() const { return toggle_; }
  QPushButton* removeButton() const { return remove_; }
  QPushButton* removeAllButton() const { return remove_all_; }
  void refill();

 private:
  void selected();
  QString selectedText() const;

  sld::SldBreakpoints& bps_;
  QListWidget* list_;
  QPushButton *done_, *toggle_, *remove_, *remove_all_;
};

class SupplyCodeDialog : public QDialog {
  Q_OBJECT

 public:
  // `error` shows the box of a field that does not read.
  SupplyCodeDialog(sld::SupplyCodeInfo& info, std::function<void(const QString&)> error, QWidget* parent = nullptr);
  QLineEdit* field(int i) const { return fields_[i]; }
  void accept() override;

 private:
  sld::SupplyCodeInfo& info_;
  std::function<void(const QString&)> error_;
  QLineEdit* fields_[3];
};

}  // namespace zun::sldwin
