#include <gtest/gtest.h>

#include "tests/cpu/cpu_test_support.h"

namespace zun::test {
namespace {

TEST(Smoke, LdaImmediate) {
  Machine m;
  m.load(0x1000, {0x86, 0x1F});
  m.cpu.pc = 0x1000;
  EXPECT_EQ(m.step(), 2);
  EXPECT_EQ(m.cpu.a, 0x1F);
  EXPECT_EQ(m.text(0x1000), "LDA   #$1F");
}

}  // namespace
}  // namespace zun::test
