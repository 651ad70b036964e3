// The pictures of the visual simulator, drawn rather than loaded: the board
// (a schematic of the KY09 that the panels fall into place on), the keys in
// their up and down states, and the toolbar icons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include "debugger/simwin/sim_qt.h"

namespace zun::sim {

// The board picture for a panel geometry, `size` large.
QPixmap board_picture(const PanelGeometry& g, QSize size, const QFont& small_font);
// A key of the board, 18 x 20, up or down.
QPixmap key_picture(bool down);
// The toolbar icon of a command (808, 810, 806, 768-772, 812).
QIcon tool_icon(int id);

}  // namespace zun::sim
