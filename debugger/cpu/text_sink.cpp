// Instruction text: the sinks that receive it and the one-line disassembler
// of the debugger's mixed listing. Text only flows while a sink is active, so
// executing with no sink formats nothing.
#include <cstdio>

#include "debugger/cpu/cpu_internal.h"

namespace zun {

namespace {
constexpr size_t LINE_CAPACITY = 511;
}

void TextSink::append(std::string_view text) {
  for (char c : text) {
    if (c == '\t') {
      while (text_.size() < tab_column_ && text_.size() < capacity_) text_ += ' ';
    } else if (text_.size() < capacity_) {
      text_ += c;
    }
  }
}

void disasm_append(Cpu& cpu, std::string_view text) {
  if (cpu.sink) cpu.sink->append(text);
}

uint32_t disassemble_line(Cpu& cpu, uint32_t address, std::string& line) {
  TextSink sink(LINE_CAPACITY);
  TextSink* saved = cpu.sink;
  cpu.sink = &sink;
  char head[16];
  std::snprintf(head, sizeof head, "  %4.4X ", unsigned(address & 0xFFFF));
  sink.append(head);
  int transfers = 0;
  int length = cpu_execute(cpu, address, false, transfers);
  cpu.sink = saved;
  line = sink.text();
  return (address + uint32_t(length)) & 0xFFFF;
}

}  // namespace zun
