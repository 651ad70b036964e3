// The device models: what each device does with the register reads and writes
// the board passes it. Views (lamps, switches, terminal windows) read these
// objects and call their setters; they hold no state of their own.
#include "debugger/tovrel/tovrel.h"

namespace zun::tovrel {

int32_t SerialTerminal::input(int32_t reg) {
  if (reg != 0) return 0;
  if (polls_since_taken < gap()) ++polls_since_taken;
  update_input_pending();
  if (typed.empty() || polls_since_taken < gap()) return 0;
  return 0x100 | typed.front();
}

void SerialTerminal::output(int32_t value, int32_t reg) {
  if (reg == 0) {
    if (!typed.empty()) typed.pop_front();
    polls_since_taken = 0;
  } else if (reg == 1) {
    sent += static_cast<char>(value & 0xFF);
  }
  update_input_pending();
  ++revision;
}

void SerialTerminal::set_option(int32_t value) {
  Device::set_option(value);
  update_input_pending();
}

void SerialTerminal::type_text(std::string_view bytes) {
  for (char c : bytes) typed.push_back(static_cast<uint8_t>(c));
  update_input_pending();
  ++revision;
}

std::string SerialTerminal::take_output() {
  std::string out;
  out.swap(sent);
  return out;
}

void Leds::output(int32_t value, int32_t reg) {
  if (reg != 0) return;
  lamps = static_cast<uint8_t>(value);
  ++revision;
}

void Switches::set(uint8_t bits) {
  state = bits;
  ++revision;
}

void PiaPanel::output(int32_t value, int32_t reg) {
  if (reg != 0) return;
  lamps = static_cast<uint8_t>(value);
  ++revision;
}

void PiaPanel::set_switches(uint8_t bits) {
  switches = bits;
  ++revision;
}

int32_t Probe::input(int32_t reg) {
  int32_t value = 0;
  if (reg >= 0 && reg < static_cast<int32_t>(queued.size())) {
    auto& q = queued[reg];
    if (!q.empty()) {
      value = q.front();
      q.pop_front();
    } else {
      value = defaults[reg];
    }
  }
  log.push_back({false, reg, value});
  return value;
}

int32_t Probe::peek(int32_t reg) const {
  if (reg < 0 || reg >= static_cast<int32_t>(queued.size())) return 0;
  const auto& q = queued[reg];
  return (q.empty() ? defaults[reg] : q.front()) & 0xFF;
}

void Probe::output(int32_t value, int32_t reg) {
  log.push_back({true, reg, value});
  ++revision;
}

void Probe::queue(int32_t reg, int32_t value) {
  if (reg >= 0 && reg < static_cast<int32_t>(queued.size())) queued[reg].push_back(value);
}

void Probe::set_default(int32_t reg, int32_t value) {
  if (reg >= 0 && reg < static_cast<int32_t>(defaults.size())) defaults[reg] = value;
}

}  // namespace zun::tovrel
