// MC6840 programmable timer: the three 16-bit counters in continuous mode with
// interrupt flags and the datasheet's flag-clearing read sequence (status, then
// the timer's counter high and low byte). Other operating modes do not count.
#include "debugger/board/board.h"

namespace zun {

void Mc6840::reset() {
  latch = {0xFFFF, 0xFFFF, 0xFFFF};
  counter = {0xFFFF, 0xFFFF, 0xFFFF};
  cr = {0x01, 0x00, 0x00};  // CR1 bit 0: internal reset held
  status = 0;
  stage = {0, 0, 0};
  enabled = true;
}

void Mc6840::count(uint32_t elapsed) {
  for (int t = 0; t < 3; ++t) {
    if (((cr[t] >> 2) & 0x0F) != 0x4) continue;
    int64_t left = static_cast<int64_t>(counter[t]) - elapsed;
    if (left >= 0) {
      counter[t] = static_cast<uint16_t>(left);
      continue;
    }
    counter[t] = latch[t];
    if (cr[t] & 0x40) {
      status |= static_cast<uint8_t>((1 << t) | 0x80);
      stage[t] = 3;
    }
  }
}

uint8_t Mc6840::peek(int reg) const {
  switch (reg) {
  case 1: return status;
  case 2: case 4: case 6: return static_cast<uint8_t>(counter[(reg - 2) / 2] >> 8);
  case 3: case 5: case 7: return static_cast<uint8_t>(counter[(reg - 3) / 2]);
  default: return 0;  // offset 0 has no readable register
  }
}

uint8_t Mc6840::read(int reg) {
  uint8_t value = peek(reg);
  if (reg == 1) {
    for (auto& s : stage)
      if (s == 3) s = 2;
  } else if (reg == 2 || reg == 4 || reg == 6) {
    auto& s = stage[(reg - 2) / 2];
    if (s == 2) s = 1;
  } else if (reg == 3 || reg == 5 || reg == 7) {
    int t = (reg - 3) / 2;
    if (stage[t] == 1) {
      status &= static_cast<uint8_t>(~(1 << t));
      stage[t] = 0;
      if ((status & 0x07) == 0) status &= 0x7F;
    }
  }
  return value;
}

void Mc6840::write(int reg, uint8_t value) {
  auto set_high = [](uint16_t& w, uint8_t v) { w = static_cast<uint16_t>((w & 0x00FF) | (v << 8)); };
  auto set_low = [](uint16_t& w, uint8_t v) { w = static_cast<uint16_t>((w & 0xFF00) | v); };
  switch (reg) {
  case 0:
    if (cr[1] & 0x01) {
      cr[0] = value;
      if (value & 0x01) status = 0;
    } else {
      cr[2] = value;
    }
    break;
  case 1: cr[1] = value; break;
  case 2: case 4:
    set_high(latch[(reg - 2) / 2], value);
    set_high(counter[(reg - 2) / 2], value);
    break;
  case 3: case 5:
    set_low(latch[(reg - 3) / 2], value);
    set_low(counter[(reg - 3) / 2], value);
    break;
  // Counter 3 keeps counting and takes the new latch at its next reload.
  case 6: set_high(latch[2], value); break;
  case 7: set_low(latch[2], value); break;
  default: break;
  }
}

}  // namespace zun
