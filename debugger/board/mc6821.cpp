// MC6821 PIA: data direction and output registers of both sides selected by
// control register bit 2; output changes go to the outside device after the
// instruction. Control lines CA1/CA2/CB1/CB2 and interrupts are not modelled.
#include "debugger/board/board.h"

namespace zun {

void Mc6821::reset() {
  cra = crb = ddra = ddrb = ora = orb = pins_a = pins_b = 0;
  changed_a = changed_b = false;
}

uint8_t Mc6821::read(int reg) const {
  if (!present) return 0;
  switch (reg) {
  case 0: return (cra & 0x04) ? static_cast<uint8_t>((ora & ddra) | pins_a) : ddra;
  case 1: return cra;
  case 2: return (crb & 0x04) ? static_cast<uint8_t>((orb & ddrb) | pins_b) : ddrb;
  case 3: return crb;
  default: return 0;
  }
}

void Mc6821::write(int reg, uint8_t value) {
  if (!present) return;
  switch (reg) {
  case 0:
    if (cra & 0x04) {
      ora = value & ddra;
      changed_a = true;
    } else {
      ddra = value;
    }
    break;
  case 1: cra = value; break;
  case 2:
    if (crb & 0x04) {
      orb = value & ddrb;
      changed_b = true;
    } else {
      ddrb = value;
    }
    break;
  case 3: crb = value; break;
  default: break;
  }
}

void Mc6821::input(int side, uint8_t value) {
  if (!present) return;
  if (side == 0)
    pins_a = static_cast<uint8_t>((ora & ddra) | (~ddra & value));
  else
    pins_b = static_cast<uint8_t>((orb & ddrb) | (~ddrb & value));
}

}  // namespace zun
