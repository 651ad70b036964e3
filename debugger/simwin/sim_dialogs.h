// The simulator's dialogs, built in code with the dialog template names as
// object names: the board setup dialog KY09TARGETSETUP, the I/O setup dialog
// IOSETUPDIALOG, the detach dialog IODETACHDIALOG and the breakpoint table
// NEWBPDIALOG. Their rules live in target_setup.h and panels.h; these are the
// views. Controls are named "<what> <id>" for tests.
#pragma once

#include <QDialog>
#include <optional>

#include "debugger/simwin/sim_qt.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zun::sim {

class SimulatorContext;

// IOSETUPDIALOG: attach an instance of a device type at a base, or (with a
// preset base) form an on-board chip's outside side.
class IoSetupDialog : public QDialog {
  Q_OBJECT
 public:
  IoSetupDialog(SimulatorContext& sim, TargetSetup& setup, std::optional<uint32_t> preset, QWidget* parent);
  QListWidget* list() const { return list_; }
  QLineEdit* baseEdit() const { return base_; }
  QPushButton* connectButton() const { return connect_; }
  void connectDevice();

 private:
  void updateEnabling();
  SimulatorContext& sim_;
  TargetSetup& setup_;
  std::optional<uint32_t> preset_;
  QListWidget* list_;
  QLineEdit* base_;
  QPushButton* connect_;
};

// IODETACHDIALOG: the outside devices, one Disconnect at a time.
class IoDetachDialog : public QDialog {
  Q_OBJECT
 public:
  IoDetachDialog(SimulatorContext& sim, TargetSetup& setup, QWidget* parent);
  QListWidget* list() const { return list_; }
  QPushButton* disconnectButton() const { return disconnect_; }
  void disconnectDevice();

 private:
  void rebuild();
  TargetSetup& setup_;
  QListWidget* list_;
  QPushButton* disconnect_;
};

// KY09TARGETSETUP: board configuration, on-board chips, outside devices,
// descriptor files.
class TargetSetupDialog : public QDialog {
  Q_OBJECT
 public:
  TargetSetupDialog(SimulatorContext& sim, QWidget* parent);
  QListWidget* list() const { return list_; }
  TargetSetup& setup() { return setup_; }
  int checkedConfiguration() const;

  void connectChip();
  void disconnectChip();
  void attachNew();
  void showDetach();
  void selectFile();
  void saveAs();
  void pressDefault();
  void accept() override;
  void reject() override;

 private:
  void refresh();
  void updateButtons();
  void checkConfiguration(int n);
  SimulatorContext& sim_;
  TargetSetup setup_;
  QListWidget* list_;
  QButtonGroup* configuration_;
  QPushButton* connect_;
  QPushButton* disconnect_;
};

// NEWBPDIALOG: the simulator's breakpoint table.
class BreakpointDialog : public QDialog {
  Q_OBJECT
 public:
  BreakpointDialog(SimulatorContext& sim, QWidget* parent);
  QListWidget* list() const { return list_; }
  QLineEdit* addressEdit() const { return address_; }
  QPushButton* toggleButton() const { return toggle_; }
  QPushButton* removeButton() const { return remove_; }
  void add();
  void toggle();
  void remove();

 private:
  void rebuild();
  void updateButtons();
  SimulatorContext& sim_;
  QListWidget* list_;
  QLineEdit* address_;
  QPushButton* toggle_;
  QPushButton* remove_;
};

}  // namespace zun::sim
