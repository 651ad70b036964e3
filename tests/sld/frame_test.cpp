// How far S lies below a C function's frame base, found from its code:
// within a line after a call, over both arms of a branch, in the prologue and
// the epilogue, in code reached only through a jump table; and no answer
// where S is loaded from elsewhere or two paths disagree.
#include <gtest/gtest.h>

#include <map>

#include "debugger/cpu/cpu.h"
#include "debugger/sld/sld.h"

namespace zun::sld {
namespace {

// Memory behind the real disassembler, which gives the instructions' lengths.
class CodeTarget : public SldTarget, public Bus {
public:
  CodeTarget() : cpu_(*this) {}
  void place(uint32_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) memory_[address++ & 0xFFFF] = b;
  }
  int board_read(uint32_t addr, uint8_t& out) override {
    out = memory_[addr & 0xFFFF];
    return 0;
  }
  int board_write(uint32_t, uint8_t) override { return 1; }
  uint32_t target_read(uint32_t address, int size) override {
    uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = v << 8 | memory_[(address + static_cast<uint32_t>(i)) & 0xFFFF];
    return v;
  }
  void target_write(uint32_t, uint32_t, int) override {}
  uint32_t target_get_pc() override { return 0; }
  uint32_t disassemble_line(uint32_t address, std::string& line) override {
    return zun::disassemble_line(cpu_, address, line);
  }

private:
  std::map<uint32_t, uint8_t> memory_;
  Cpu cpu_;
};

class FrameDepth : public ::testing::Test {
protected:
  // A function from `start` to `end` with statement points at `points`.
  const DebugFunction& function(uint32_t start, uint32_t end, std::initializer_list<uint32_t> points) {
    DebugFunction& f = module.functions.emplace_back();
    f.start_address = start;
    f.end_address = end;
    module.points.push_back({1, 0, start});
    for (uint32_t a : points) module.points.push_back({2, 0, a});
    return f;
  }
  // How far S lies below the frame base at `pc`; none where the code does
  // not tell.
  std::optional<int32_t> depth(const DebugFunction& f, uint32_t pc) {
    FrameDepths depths = frame_depths(target, module, f);
    auto it = depths.find(pc);
    if (it == depths.end()) return std::nullopt;
    return it->second;
  }
  CodeTarget target;
  DebugModule module;
};

TEST_F(FrameDepth, FollowsPushesCallsBranchesAndJumpTables) {
  target.place(0x2000, {
      0x32, 0x7C,  // 2000 LEAS -4,S   the prologue
      0x34, 0x06,  // 2002 PSHS D      a statement: an argument
      0x8D, 0x40,  // 2004 BSR         a call returns with S as it was
      0x32, 0x62,  // 2006 LEAS 2,S    the call's clean-up
      0x27, 0x04,  // 2008 BEQ 200E
      0x34, 0x10,  // 200A PSHS X      one arm pushes and pulls again
      0x35, 0x10,  // 200C PULS X
      0x6E, 0x84,  // 200E JMP ,X      through a table
      0x32, 0x64,  // 2010 LEAS 4,S    a statement reached by the table only
      0x39,        // 2012 RTS
  });
  const DebugFunction& f = function(0x2000, 0x2013, {0x2002, 0x2010});
  EXPECT_EQ(depth(f, 0x2000), -4);
  EXPECT_EQ(depth(f, 0x2002), 0);
  EXPECT_EQ(depth(f, 0x2004), 2);
  EXPECT_EQ(depth(f, 0x2006), 2);
  EXPECT_EQ(depth(f, 0x200C), 2);
  EXPECT_EQ(depth(f, 0x200E), 0);
  EXPECT_EQ(depth(f, 0x2010), 0);
  EXPECT_EQ(depth(f, 0x2012), -4);
  EXPECT_EQ(depth(f, 0x2013), std::nullopt);  // not in the function
}

// The compiler pops a pushed operand with the operation itself.
TEST_F(FrameDepth, IndexedOperandsThatMoveS) {
  target.place(0x2100, {
      0x12,              // 2100 NOP
      0x34, 0x06,        // 2101 PSHS D
      0xE3, 0xE1,        // 2103 ADDD ,S++
      0x34, 0x06,        // 2105 PSHS D
      0x10, 0xA3, 0xE1,  // 2107 CMPD ,S++
      0xED, 0xE3,        // 210A STD ,--S
      0xAA, 0xE0,        // 210C ORA ,S+
      0xEA, 0xE0,        // 210E ORB ,S+
      0x34, 0x10,        // 2110 PSHS X
      0x30, 0xE1,        // 2112 LEAX ,S++
      0xED, 0xF3,        // 2114 STD [,--S]
      0xEC, 0xF1,        // 2116 LDD [,S++]
      0xE3, 0x62,        // 2118 ADDD 2,S
      0x12,              // 211A NOP
      0x39,              // 211B RTS
  });
  const DebugFunction& f = function(0x2100, 0x211C, {0x2101, 0x211A});
  const std::map<uint32_t, int32_t> want = {{0x2103, 2}, {0x2105, 0}, {0x2107, 2}, {0x210A, 0},
                                            {0x210C, 2}, {0x210E, 1}, {0x2110, 0}, {0x2112, 2},
                                            {0x2114, 0}, {0x2116, 2}, {0x2118, 0}, {0x211A, 0}};
  for (const auto& [pc, d] : want) EXPECT_EQ(depth(f, pc), d) << std::hex << pc;
}

TEST_F(FrameDepth, NoAnswerWhereTheCodeDoesNotTell) {
  target.place(0x3000, {
      0x32, 0x7E,  // 3000 LEAS -2,S
      0x12,        // 3002 NOP
      0x1F, 0x14,  // 3003 TFR X,S    S from elsewhere
      0x12,        // 3005 NOP
      0x39,        // 3006 RTS
      0x12,        // 3007 NOP        entry of the second function
      0x27, 0x02,  // 3008 BEQ 300C
      0x34, 0x02,  // 300A PSHS A     the paths meet with S a byte apart
      0x39,        // 300C RTS
  });
  const DebugFunction& lost = function(0x3000, 0x3007, {0x3002});
  EXPECT_EQ(depth(lost, 0x3003), 0);
  EXPECT_EQ(depth(lost, 0x3005), std::nullopt);
  const DebugFunction& uneven = function(0x3007, 0x300D, {0x3008});
  EXPECT_EQ(depth(uneven, 0x3008), std::nullopt);
}

}  // namespace
}  // namespace zun::sld
