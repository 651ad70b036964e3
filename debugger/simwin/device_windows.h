// Windows of the tovrel devices in the workbench: the terminal shows what the
// program sends through its ACIA and sends the keys typed into it, the lamps
// show their port bits, the switches are clicked, the PIA panel shows both
// sides. Each window is a view over the device object, which stays the model
// (tests drive the models without any window). A window opens when its
// device is attached and closes with it; closing a window by hand makes its
// device go away, as a real device pulled from the board.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "debugger/tovrel/tovrel.h"

namespace zun::tovrel {

// Common part of the device views: the device they show and whether it is
// still there.
class DeviceView {
 public:
  explicit DeviceView(std::shared_ptr<Device> device) : device_(std::move(device)) {}
  virtual ~DeviceView() = default;
  // Takes what changed in the device since the last call.
  virtual void refresh() = 0;
  Device& device() const { return *device_; }

 protected:
  // A view that closes takes its device with it (one closed with its device
  // finds it gone already).
  void deviceLeaves() { device_->go_away(); }
  std::shared_ptr<Device> device_;
};

class TerminalView : public QPlainTextEdit, public DeviceView {
  Q_OBJECT
 public:
  TerminalView(std::shared_ptr<Device> device, const QFont& font);
  ~TerminalView() override { deviceLeaves(); }
  void refresh() override;
  QSize sizeHint() const override;
  // What a key sends to the program: its text, CR for Return and Enter, BS,
  // TAB and ESC; nothing for keys without a character.
  static QByteArray keyBytes(QKeyEvent* event);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void show(const std::string& bytes);
};

// A row of eight lamps (LEDs, or side A of the PIA panel) and, for the
// switches and side B of the panel, a row of eight switches that a click
// toggles. Bit 7 is at the left.
class PortView : public QWidget, public DeviceView {
  Q_OBJECT
 public:
  PortView(std::shared_ptr<Device> device, const QFont& font);
  ~PortView() override { deviceLeaves(); }
  void refresh() override { update(); }
  QSize sizeHint() const override { return minimumSize(); }
  // The switch under a point, or -1.
  int switchAt(const QPoint& p) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  bool hasLamps() const;
  bool hasSwitches() const;
  uint8_t lampBits() const;
  uint8_t switchBits() const;
  int lampsTop() const { return 24; }
  int switchesTop() const { return hasLamps() ? 92 : 24; }
  QFont font_;
};

// The windows of the attached devices, kept in step with a list of handles.
class DeviceWindowSet : public QObject {
  Q_OBJECT
 public:
  // Puts a new view into the workbench (an MDI window) and gives the widget
  // to close again with it; a null result leaves the view on its own.
  using AddWindow = std::function<QWidget*(QWidget* view, const QString& className)>;
  using Handles = std::function<std::vector<int32_t>()>;

  DeviceWindowSet(AddWindow add, Handles handles, QFont font, QObject* parent = nullptr);
  ~DeviceWindowSet() override;

  // Opens a window for every live device among the handles that has none
  // (the probe, a test device, has no window), a terminal in front of the
  // others, closes the windows of the others, and shows what changed in
  // the devices.
  void sync();
  void closeAll();
  // Brings the terminals' windows to the front, leaving the active window
  // as it is: what a program writes must show while it runs.
  void raiseTerminals();
  QWidget* viewFor(int32_t handle) const;
  int count() const { return static_cast<int>(windows_.size()); }

  static QString className(DeviceKind kind);
  static QString title(const Device& device);

 private:
  struct Entry {
    QPointer<QWidget> view;
    QPointer<QWidget> container;
    DeviceView* model = nullptr;
  };
  void close(Entry& entry);

  AddWindow add_;
  Handles handles_;
  QFont font_;
  QTimer timer_;
  std::map<int32_t, Entry> windows_;
};

}  // namespace zun::tovrel
