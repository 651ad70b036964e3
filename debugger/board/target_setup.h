// The rules of the three board configuration dialogs, without windows: the
// board setup dialog (on-board chips and their outside instances, the board
// configuration, Default), the I/O setup dialog (attach a device type at a
// base) and the detach dialog (outside devices by base). The Qt dialogs show
// the rows these give and call them for every button.
#pragma once
#include "debugger/board/board.h"

#include <optional>
#include <string>
#include <vector>

namespace zun {

enum class OnboardState : uint8_t { NotConnectable, Free, Connected };

// One opening of the board setup dialog, from opening to OK or Cancel.
class TargetSetup {
public:
  explicit TargetSetup(Board& board);

  // The on-board list, after a purge of instances that have gone:
  // "%4.4X " of the base, "Yes ", "No  ", "NA  " or "--  ", the chip's name.
  std::vector<std::string> onboard_rows();
  OnboardState state(int index) const;

  // Connect: the base the I/O setup dialog is preset to.
  uint32_t connect_base(int index) const { return board.onboard_base(index); }
  // After the I/O setup dialog opened a device for the chip: the chip is
  // connected to it, and it closes again on Cancel.
  void connected(int index);
  // Disconnect: the chip is released and its instance closed; a connection
  // whose instance is no longer attached is simply released.
  void disconnect(int index);
  // Default: the devices open now close on OK (not before, so Cancel keeps
  // them); the dialog checks configuration 1.
  void press_default();
  bool default_pending() const { return default_pending_; }
  // Select: a descriptor file replaces every device at once; the message of
  // a file that cannot be opened, else "".
  std::string select(const std::string& path);

  void ok(int configuration);
  void cancel();

  int configuration_at_opening() const { return saved_configuration_; }
  int change_counter = 0;  // connects and disconnects done in this dialog

  Board& board;

private:
  int saved_configuration_;
  bool default_pending_ = false;
  std::vector<int32_t> close_on_ok_;
};

// ---- the I/O setup dialog ----

// "Simulated IO Setup (TOVREL Version: %d)".
std::string io_setup_caption(Board& board);
// One row per device type 1..14, "%d\t%s\t%d\t%s" with every TAB expanded to
// the next multiple of 4 columns (at least one blank).
std::vector<std::string> io_device_rows(Board& board);
std::string expand_tabs(const std::string& text);

struct IoConnect {
  int slot = -1;         // the slot opened, -1 when none
  std::string message;   // why nothing was opened, "" when the open was tried
};
// Connect: the row's device number at the base typed (or the preset base of
// an on-board chip). Without a preset only the outside window is accepted.
IoConnect io_connect(TargetSetup& setup, const std::string& row, const std::string& base_text,
                     std::optional<uint32_t> preset);

// ---- the detach dialog ----

// Outside devices only (bases outside the on-board window), after a purge:
// "%X  %s" with the base and the type's description.
std::vector<std::string> detach_rows(Board& board);
// Closes and releases every instance at the row's base; false for a row that
// names no base.
bool detach_row(TargetSetup& setup, const std::string& row);

}  // namespace zun
