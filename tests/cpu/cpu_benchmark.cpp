// Instructions per second of the core on a mixed loop (ALU, indexed, stack,
// MUL, branches, a subroutine call) running from RAM through the board
// interface, with no text sink as in fast running.
#include <benchmark/benchmark.h>

#include <array>

#include "debugger/cpu/cpu.h"

namespace {

class Ram : public zun::Bus {
public:
  int board_read(uint32_t addr, uint8_t& out) override {
    if ((addr & 0xFFFF0000u) != 0 && (addr & 0xFFFF0000u) != 0xFFFF0000u) return 1;
    out = bytes[addr & 0xFFFF];
    return 0;
  }
  int board_write(uint32_t addr, uint8_t value) override {
    if ((addr & 0xFFFF0000u) != 0 && (addr & 0xFFFF0000u) != 0xFFFF0000u) return 1;
    bytes[addr & 0xFFFF] = value;
    return 0;
  }
  std::array<uint8_t, 0x10000> bytes{};
};

// Hand-assembled:
//   1000 loop   LDX  #$2000      8E 20 00
//   1003        LDB  #$20        C6 20
//   1005 inner  LDA  ,X+         A6 80
//   1007        ADDA #$03        8B 03
//   1009        STA  -1,X        A7 1F
//   100B        PSHS A,B         34 06
//   100D        MUL              3D
//   100E        ADDD <$40        D3 40
//   1010        STD  <$40        DD 40
//   1012        PULS A,B         35 06
//   1014        BSR  sub         8D 05
//   1016        DECB             5A
//   1017        BNE  inner       26 EC
//   1019        BRA  loop        20 E5
//   101B sub    LEAY 1,Y         31 21
//   101D        RTS              39
constexpr uint8_t program[] = {
    0x8E, 0x20, 0x00, 0xC6, 0x20, 0xA6, 0x80, 0x8B, 0x03, 0xA7, 0x1F, 0x34, 0x06, 0x3D, 0xD3,
    0x40, 0xDD, 0x40, 0x35, 0x06, 0x8D, 0x05, 0x5A, 0x26, 0xEC, 0x20, 0xE5, 0x31, 0x21, 0x39,
};

void BM_MixedLoop(benchmark::State& state) {
  Ram ram;
  for (size_t i = 0; i < sizeof program; ++i) ram.bytes[0x1000 + i] = program[i];
  zun::Cpu cpu(ram);
  cpu.pc = 0x1000;
  cpu.s = 0x8000;
  int transfers = 0;
  int64_t executed = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) zun::cpu_execute(cpu, cpu.pc, true, transfers);
    executed += 1000;
  }
  benchmark::DoNotOptimize(cpu.y);
  state.SetItemsProcessed(executed);
  state.counters["MIPS"] =
      benchmark::Counter(double(executed) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixedLoop);

}  // namespace

BENCHMARK_MAIN();
