// Cascading the MDI children at a size where they can be used.
#pragma once

class QMdiArea;

namespace zun::wb {

// Every shown child that is not minimised, bottom first, goes to the next
// step down and right (a title bar's height), 800 by 400 like a new editor
// or as much of that as the area holds; the steps start over at the top left
// before a window would leave the area. The active child stays active.
void cascade_children(QMdiArea* mdi);

}  // namespace zun::wb
