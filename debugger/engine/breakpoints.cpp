// The simulator's own breakpoint table: 4000 entries searched linearly, a new
// breakpoint taking the first free entry. The debugger plants its breakpoints
// into it before every run.
#include "debugger/engine/engine.h"

namespace zun {

int BreakpointTable::find(uint32_t address) const {
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].address == int64_t(address)) return static_cast<int>(i);
  return -1;
}

int BreakpointTable::hit(uint32_t address, bool consume) {
  int i = find(address);
  if (i < 0) return 0;
  auto& e = entries[i];
  if (consume && e.state == BpState::Temporary) {
    e = Entry{};
    return int(BpState::Enabled);
  }
  return int(e.state);
}

int BreakpointTable::set(uint32_t address, bool temporary) {
  BpState wanted = temporary ? BpState::Temporary : BpState::Enabled;
  int i = find(address);
  if (i >= 0) {
    auto& e = entries[i];
    if (e.state == BpState::Disabled || (e.state == BpState::Temporary && wanted == BpState::Enabled))
      e.state = wanted;
    return i;
  }
  for (size_t k = 0; k < entries.size(); ++k) {
    if (entries[k].address != -1) continue;
    entries[k] = {int64_t(address), wanted};
    return static_cast<int>(k);
  }
  return -1;
}

int BreakpointTable::remove(uint32_t address) {
  int i = find(address);
  if (i < 0) return 0;
  entries[i] = Entry{};
  return 63;
}

int BreakpointTable::enable(uint32_t address) {
  int i = find(address);
  if (i >= 0) entries[i].state = BpState::Enabled;
  return i;
}

int BreakpointTable::disable(uint32_t address) {
  int i = find(address);
  if (i >= 0) entries[i].state = BpState::Disabled;
  return i;
}

void BreakpointTable::clear_all() { entries.assign(capacity, Entry{}); }

}  // namespace zun
