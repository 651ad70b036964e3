// The on-board device table (which outside instance forms each chip's outside
// side), the device reset of a full CPU reset, and the exchange with the
// outside devices around every executed instruction, or whether there is
// none to make.
#include "debugger/board/board.h"

namespace zun {

bool Board::onboard_next(uint16_t& base, int32_t& connection, const char*& name) {
  if (onboard_cursor < 0 || onboard_cursor >= int(Onboard::Count)) return false;
  const auto& row = onboard[onboard_cursor++];
  base = row.base;
  connection = row.connection;
  name = row.name;
  return true;
}

int32_t Board::onboard_connection(int index) const {
  if (index < 0 || index >= int(Onboard::Count)) return -1;
  return onboard[index].connection;
}

uint16_t Board::onboard_base(int index) const {
  if (index < 0 || index >= int(Onboard::Count)) return 0;
  return onboard[index].base;
}

void Board::onboard_connect(int index, int32_t handle) {
  if (index < 0 || index >= int(Onboard::Count)) return;
  onboard[index].connection = handle;
  switch (Onboard(index)) {
  case Onboard::Acia2:
  case Onboard::Acia1: {
    auto& a = acia[index];
    // In configuration 1 the monitor has already set up the console ACIA.
    if (Onboard(index) == Onboard::Acia1 && board_configuration_get() == 1) {
      a.activity = 2;
      a.status = Mc6850::TDRE;
    } else {
      a.activity = 1;
    }
    break;
  }
  case Onboard::Pia1: pia[0].present = true; break;
  case Onboard::Pia2: pia[1].present = true; break;
  case Onboard::FdcControl: fdc_present = true; break;
  case Onboard::FdcLatch:
  case Onboard::Timer:
  case Onboard::Count: break;
  }
}

int32_t Board::onboard_release(int index) {
  if (index < 0 || index >= int(Onboard::Count)) return -1;
  int32_t old = onboard[index].connection;
  onboard[index].connection = Onboard(index) == Onboard::Timer ? -2 : -1;
  switch (Onboard(index)) {
  case Onboard::Acia2:
  case Onboard::Acia1: acia[index].activity = 0; break;
  case Onboard::Pia1: pia[0].present = false; break;
  case Onboard::Pia2: pia[1].present = false; break;
  case Onboard::FdcControl: fdc_present = false; break;
  case Onboard::FdcLatch:
  case Onboard::Timer:
  case Onboard::Count: break;
  }
  return old;
}

void Board::onboard_reset_connections() {
  for (int i = 0; i < int(Onboard::Timer); ++i) onboard[i].connection = -1;
}

void Board::board_reset_devices() {
  send_due = true;
  timer.reset();
  for (auto& a : acia) a.reset();
  for (auto& p : pia) p.reset();
  if (alive(Onboard::FdcLatch)) onboard_output(Onboard::FdcLatch, 0, 0);
}

bool Board::devices_quiet() {
  decoded_access = false;
  if (send_due || board_irq_pending() || dev_irq_pending()) return false;
  for (Onboard row : {Onboard::Acia1, Onboard::Acia2, Onboard::Pia1, Onboard::Pia2})
    if (poll_due(row)) return false;
  return true;
}

// The outside halves of the step, for rows with a connection; a connected
// row asks its device object directly.
[[gnu::noinline]] void Board::poll_outside() {
  for (Onboard row : {Onboard::Acia1, Onboard::Acia2}) {
    auto& a = acia[int(row)];
    if (!alive(row)) continue;
    // Before the program's master reset the ACIA cannot take a byte; leave it
    // with the device instead of acknowledging it into nowhere.
    if (a.activity != 2 || !input_pending(row)) continue;
    int32_t v = onboard_input(row, 0);
    if (v == 0) continue;  // zero means nothing arrived
    a.receive(static_cast<uint8_t>(v));
    onboard_output(row, 0, 0);
  }
  for (Onboard row : {Onboard::Pia1, Onboard::Pia2}) {
    auto& p = pia[int(row) - int(Onboard::Pia1)];
    if (!alive(row) || !input_pending(row)) continue;
    for (int side = 0; side < 2; ++side) {
      int32_t v = onboard_input(row, side);
      if (v != 0) p.input(side, static_cast<uint8_t>(v));
    }
  }
}

[[gnu::noinline]] void Board::send_outside() {
  send_due = false;
  for (Onboard row : {Onboard::Acia1, Onboard::Acia2}) {
    auto byte = acia[int(row)].transmit();
    if (byte && alive(row)) onboard_output(row, *byte, 1);
  }
  for (Onboard row : {Onboard::Pia1, Onboard::Pia2}) {
    auto& p = pia[int(row) - int(Onboard::Pia1)];
    if (!p.changed_a && !p.changed_b) continue;
    if (alive(row)) {
      if (p.changed_a) onboard_output(row, p.ora, 0);
      if (p.changed_b) onboard_output(row, p.orb, 1);
    }
    p.changed_a = p.changed_b = false;
  }
  for (int r = 0; r < 4; ++r) {
    if (!fdc_pending[r]) continue;
    fdc_pending[r] = false;
    if (alive(Onboard::FdcControl)) onboard_output(Onboard::FdcControl, fdc_reg[r], r);
  }
}

}  // namespace zun
