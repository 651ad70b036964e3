#include "tests/cpu/cpu_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zun::test {

namespace {

constexpr uint16_t CODE = 0x1000;

void reset_defaults(Cpu& cpu) {
  cpu.pc = CODE;
  cpu.s = 0x8000;
  cpu.u = 0x7000;
  cpu.x = cpu.y = 0;
  cpu.a = cpu.b = cpu.dp = cpu.cc = 0;
}

std::string describe(const Cpu& c) {
  char text[128];
  std::snprintf(text, sizeof text, "PC=%04X S=%04X U=%04X X=%04X Y=%04X A=%02X B=%02X DP=%02X CC=%02X",
                c.pc, c.s, c.u, c.x, c.y, c.a, c.b, c.dp, c.cc);
  return text;
}

}  // namespace

Machine::Machine() { reset_defaults(cpu); }

void Machine::load(uint16_t addr, std::initializer_list<int> data) {
  for (int v : data) mem.bytes[addr++] = uint8_t(v);
}

void Machine::load_hex(uint16_t addr, const std::string& hex) {
  std::istringstream in(hex);
  std::string byte;
  while (in >> byte) mem.bytes[addr++] = uint8_t(std::stoul(byte, nullptr, 16));
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

void set_registers(Cpu& cpu, const std::string& text) {
  std::istringstream in(text);
  std::string item;
  while (in >> item) {
    auto eq = item.find('=');
    ASSERT_NE(eq, std::string::npos) << item;
    std::string name = item.substr(0, eq);
    unsigned v = unsigned(std::stoul(item.substr(eq + 1), nullptr, 16));
    if (name == "PC") cpu.pc = uint16_t(v);
    else if (name == "S") cpu.s = uint16_t(v);
    else if (name == "U") cpu.u = uint16_t(v);
    else if (name == "X") cpu.x = uint16_t(v);
    else if (name == "Y") cpu.y = uint16_t(v);
    else if (name == "A") cpu.a = uint8_t(v);
    else if (name == "B") cpu.b = uint8_t(v);
    else if (name == "D") cpu.a = uint8_t(v >> 8), cpu.b = uint8_t(v);
    else if (name == "DP") cpu.dp = uint8_t(v);
    else if (name == "CC") cpu.cc = uint8_t(v);
    else FAIL() << "unknown register " << name;
  }
}

void set_memory(FlatMemory& mem, const std::string& text) {
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, ';')) {
    auto colon = part.find(':');
    if (colon == std::string::npos) continue;
    unsigned addr = unsigned(std::stoul(part.substr(0, colon), nullptr, 16));
    std::istringstream bytes(part.substr(colon + 1));
    std::string byte;
    while (bytes >> byte) mem.bytes[addr++ & 0xFFFF] = uint8_t(std::stoul(byte, nullptr, 16));
  }
}

void run_row(const Row& row) {
  SCOPED_TRACE(row.name);
  Machine m;
  set_memory(m.mem, row.memory_before);
  m.load_hex(CODE, row.code);
  set_registers(m.cpu, row.before);
  FlatMemory expected_mem = m.mem;
  Cpu expected = m.cpu;

  int length = m.step();
  EXPECT_EQ(length, row.length);
  expected.pc = uint16_t(CODE + row.length);
  set_registers(expected, row.after);
  set_memory(expected_mem, row.memory_after);
  EXPECT_EQ(describe(m.cpu), describe(expected));
  for (unsigned a = 0; a < 0x10000; ++a)
    if (m.mem.bytes[a] != expected_mem.bytes[a])
      ADD_FAILURE() << std::hex << "memory at " << a << " is " << int(m.mem.bytes[a])
                    << ", expected " << int(expected_mem.bytes[a]);
}

}  // namespace zun::test
