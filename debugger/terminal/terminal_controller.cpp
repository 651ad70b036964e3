// Opens terminal windows for the frame: the port's device from the COM-name
// file, one window per port, each a child of the frame's MDI area that the
// frame closes through its own close protocol.
#include "debugger/terminal/terminal_controller.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardPaths>

#include "common/format.h"
#include "debugger/terminal/terminal_child.h"
#include "workbench/frame/frame_window.h"

namespace zun::term {

TerminalController::TerminalController(wb::FrameWindow* frame, const QString& map_file)
    : QObject(frame), frame_(frame), map_file_(map_file) {
  if (map_file_.isEmpty())
    map_file_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/KVT/ZUN09-ports.conf");
  loadPorts();
  frame_->registerCommand(wb::cmd::open_terminal, [this](qintptr port) { open(int(port)); });
  frame_->setPortProbe([this](int port) { return portOffered(port); });
  frame_->setPortsRefresh([this] {
    loadPorts();
    return QStringLiteral("(No serial ports: name them in %1)").arg(map_file_);
  });
}

void TerminalController::loadPorts() { ports_.load(QDir::fromNativeSeparators(map_file_).toLocal8Bit().toStdString()); }

// Every port the file names is offered, its device there or not: choosing
// one whose device is missing says so.
bool TerminalController::portOffered(int port_index) const {
  if (port_index < 0 || port_index >= ComMap::ports) return false;
  return terminal(port_index) || !ports_.device(port_index).empty();
}

TerminalChild* TerminalController::terminal(int port_index) const {
  for (const auto& t : terminals_)
    if (t && t->terminal().port_index() == port_index) return t;
  return nullptr;
}

TerminalChild* TerminalController::open(int port_index) {
  if (TerminalChild* open = terminal(port_index)) {
    frame_->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
    open->setFocus();
    return open;
  }
  const std::string& device = ports_.device(port_index);
  if (device.empty()) {
    FrameHost(frame_).output(format("COM%d is not set up: name its device in %s\n", port_index + 1,
                            map_file_.toLocal8Bit().constData()));
    return nullptr;
  }
  auto* child = new TerminalChild(frame_, settings_, port_index);
  std::string why;
  if (!child->open(device, &why)) {
    delete child;
    if (!why.empty()) FrameHost(frame_).output(format("Can't open COM%d (%s): %s\n", port_index + 1, device.c_str(), why.c_str()));
    return nullptr;
  }
  connect(child, &TerminalChild::settingsChanged, this, &TerminalController::settingsChanged);
  QMdiSubWindow* sub = frame_->mdiArea()->addSubWindow(child);
  sub->setObjectName(QLatin1String(TerminalChild::class_name));
  // Closing goes through the frame, which asks the terminal first.
  sub->installEventFilter(frame_);
  sub->show();
  sub->resize(child->gridPixels() + (sub->size() - child->size()));
  frame_->placeChild(sub, sub->pos());
  terminals_.append(child);
  frame_->mdiArea()->setActiveSubWindow(sub);
  child->setFocus();
  frame_->updateMenus();
  return child;
}

}  // namespace zun::term
