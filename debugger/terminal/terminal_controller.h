// The frame's side of the terminals: the settings slots of the run, the COM
// names of the Open Terminal list, and one terminal window per port, opened
// through the frame's command 41000 (and the port items 41001-41008).
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "debugger/terminal/terminal.h"

namespace zun::wb {
class FrameWindow;
}

namespace zun::term {

class TerminalChild;

class TerminalController : public QObject {
  Q_OBJECT

 public:
  // `map_file` names the COM-name file; empty for the user's own, beside
  // the workbench's settings.
  explicit TerminalController(wb::FrameWindow* frame, const QString& map_file = QString());

  TerminalSettings& settings() { return settings_; }
  const ComMap& ports() const { return ports_; }
  const QString& mapFile() const { return map_file_; }
  // Which COM ports the menus offer: those the file names, and those open.
  bool portOffered(int port_index) const;

  // Opens (or brings to the front) the terminal of a port; null when none.
  TerminalChild* open(int port_index);
  TerminalChild* terminal(int port_index) const;

 signals:
  void settingsChanged();

 private:
  // Reads the COM-name file (as the Open Terminal menu opens, too).
  void loadPorts();
  wb::FrameWindow* frame_;
  QString map_file_;
  ComMap ports_;
  TerminalSettings settings_;
  QList<QPointer<TerminalChild>> terminals_;
};

}  // namespace zun::term
