#include "tests/cpu/cpu_test_support.h"

namespace zun::test {

void Machine::load(uint16_t addr, std::initializer_list<int> data) {
  for (int v : data) mem.bytes[addr++] = uint8_t(v);
}

uint16_t Machine::word(uint16_t addr) const {
  return uint16_t(mem.bytes[addr] << 8 | mem.bytes[uint16_t(addr + 1)]);
}

int Machine::step() { return cpu_execute(cpu, cpu.pc, true, transfers); }

std::string Machine::text(uint16_t addr) {
  TextSink sink(511);
  TextSink* saved = cpu.sink;
  cpu.sink = &sink;
  int t = 0;
  cpu_execute(cpu, addr, false, t);
  cpu.sink = saved;
  return sink.text();
}

}  // namespace zun::test
