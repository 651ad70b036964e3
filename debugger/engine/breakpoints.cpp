// The simulator's own breakpoint table: 4000 entries searched linearly, a new
// breakpoint taking the first free entry, and a mark per 16-bit address that
// spares the search where no entry stands. The debugger plants its
// breakpoints into it before every run.
#include "debugger/engine/engine.h"

namespace zun {

int BreakpointTable::find(uint32_t address) const {
  if (address <= 0xFFFF && !marks[address]) return -1;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].address == int64_t(address)) return static_cast<int>(i);
  return -1;
}

int BreakpointTable::hit(uint32_t address, bool consume) {
  int i = find(address);
  if (i < 0) return 0;
  auto& e = entries[i];
  if (consume && e.state == BpState::Temporary) {
    free_entry(size_t(i));
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
    take(k, address, wanted);
    return static_cast<int>(k);
  }
  return -1;
}

int BreakpointTable::remove(uint32_t address) {
  int i = find(address);
  if (i < 0) return 0;
  free_entry(size_t(i));
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

void BreakpointTable::clear_all() {
  entries.assign(capacity, Entry{});
  marks.assign(marks.size(), false);
  used = 0;
}

// One entry per address: set() raises an existing entry rather than adding
// a second, so freeing an entry clears its address's mark.
void BreakpointTable::take(size_t index, uint32_t address, BpState state) {
  entries[index] = {int64_t(address), state};
  if (address <= 0xFFFF) marks[address] = true;
  ++used;
}

void BreakpointTable::free_entry(size_t index) {
  int64_t address = entries[index].address;
  if (address >= 0 && address <= 0xFFFF) marks[size_t(address)] = false;
  entries[index] = Entry{};
  --used;
}

}  // namespace zun
