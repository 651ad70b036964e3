// The engine and board for Qt code. Qt's `slots` keyword macro would swallow
// the board's slot table (`board.slots`), so it is dropped here; Qt's own
// headers use Q_SLOTS, and the workbench's views declare no slots by keyword.
#pragma once
#include <QObject>
#undef slots

#include "debugger/board/target_setup.h"
#include "debugger/engine/engine.h"
#include "debugger/simwin/panels.h"
