// MC6850 ACIA: control/status at offset 0, data at offset 1; receive with
// overrun (the later byte is lost), transmit through the outside device after
// each instruction, and the receive and transmit interrupts. Other status bits
// stay 0.
#include "debugger/board/board.h"

namespace zun {

void Mc6850::reset() {
  control = tx_data = rx_data = 0;
  tx_irq_armed = rx_irq_pending = false;
  // A running ACIA comes out of reset with an empty transmitter; a clear TDRE
  // here would make the next exchange send a byte the program never wrote.
  status = activity == 2 ? TDRE : 0;
}

uint8_t Mc6850::peek(int reg) const {
  if (activity == 0) return 0;
  return reg == 0 ? status : rx_data;
}

uint8_t Mc6850::read(int reg) {
  if (activity == 0) return 0;
  if (reg == 0) return status;
  status &= static_cast<uint8_t>(~(RDRF | OVRN));
  rx_irq_pending = false;
  if ((control & 0x60) == 0x20 && tx_irq_armed)
    status |= IRQ;
  else
    status &= static_cast<uint8_t>(~IRQ);
  return rx_data;
}

void Mc6850::write(int reg, uint8_t value) {
  if (activity == 0) return;
  if (reg == 0) {
    if ((value & 0x03) == 0x03) {  // master reset
      control = status = tx_data = rx_data = 0;
      tx_irq_armed = rx_irq_pending = false;
      activity = 2;
      status = TDRE;
    }
    if (activity != 2) return;
    status &= static_cast<uint8_t>(~IRQ);
    control = value;
    tx_irq_armed = true;
    // A byte still waiting counts as soon as receive interrupts are enabled,
    // as on the chip; else it would go unnoticed until the next overran it.
    if ((control & 0x80) && (status & RDRF)) rx_irq_pending = true;
    if ((rx_irq_pending && (control & 0x80)) || (control & 0x60) == 0x20) status |= IRQ;
    return;
  }
  if (activity != 2) return;
  status &= static_cast<uint8_t>(~TDRE);
  tx_data = value;
  tx_irq_armed = false;
  if (!rx_irq_pending) status &= static_cast<uint8_t>(~IRQ);
}

// The chip has a one-byte receive register: a byte that arrives while it is
// still full is lost and only OVRN tells, while the unread byte stays.
void Mc6850::receive(uint8_t byte) {
  if (activity != 2) return;
  if (status & RDRF) {
    status |= OVRN;
    return;
  }
  status |= RDRF;
  rx_data = byte;
  if (control & 0x80) {
    rx_irq_pending = true;
    status |= IRQ;
  }
}

uint8_t Mc6850::take_transmit() {
  status |= TDRE;
  tx_irq_armed = true;
  if ((control & 0x60) == 0x20) status |= IRQ;
  return tx_data;
}

}  // namespace zun
