// What the frame asks of every MDI child window: handle a command routed to
// the active child, agree (or refuse) to close, and report what the enabling
// rules need to know about it.
#pragma once

#include <QFont>
#include <QtGlobal>

#include "workbench/core/workbench_core.h"

namespace zun::wb {

class MdiChild {
 public:
  virtual ~MdiChild() = default;
  // True when the child handled the command.
  virtual bool command(int id, qintptr param) = 0;
  // Settles the child's unsaved work; false keeps the window open. The frame
  // alone removes and deletes the window afterwards.
  virtual bool queryClose() = 0;
  virtual void describe(WorkbenchState& state) const = 0;
};

// Fonts shared by the output window and the later debugger windows: the
// fixed-pitch Liberation fonts stand in for Courier and Courier New.
struct SharedFonts {
  QFont text, cell, large, tree;
  int row_height = 16;
  int char_width = 8;
};

}  // namespace zun::wb
