// Whole links of hand-written objects in hasm09's format: two modules with
// cross references at two bases, the linked object, and the header, type,
// definition and reference checks.
#include <sys/stat.h>
#include <cstdlib>
#include <map>
#include <set>

#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

// start: jsr sub / lda #value / ldx #value / bra start / lbra sub
const char* kM1 =
    "mod:m1:O09:m1.o09\n"
    "seg:text:13\n"
    "seg:data:2\n"
    "C:text\tBD000086008E000020F616FFFE\n"
    "C:data\t0000\n"
    "RG:text:m1:00000001:O:W:sub:4\n"
    "RG:text:m1:0000000B:P:W:sub:8\n"
    "RL:text:m1:00000004:O:B:00000000:data:5\n"
    "RL:text:m1:00000006:O:W:00000000:data:6\n"
    "RL:data:m1:00000000:O:W:00000000:text:11\n"
    "G:text:m1:00000000:start\n"
    "e\n";

// nop / nop / sub: lda tab / rts, and tab: fdb sub
const char* kM2 =
    "mod:m2:O09:m2.o09\n"
    "seg:text:6\n"
    "seg:data:2\n"
    "C:text\t1212B6000039\n"
    "C:data\t0000\n"
    "RG:data:m2:00000000:O:W:sub:7\n"
    "RL:text:m2:00000003:O:W:00000000:data:4\n"
    "G:text:m2:00000002:sub\n"
    "e\n";

class VlkLink : public VlkTest {
 protected:
  void SetUp() override {
    VlkTest::SetUp();
    write("m1.o09", kM1);
    write("m2.o09", kM2);
  }
  std::map<uint32_t, uint8_t> memory(const std::string& file) {
    std::map<uint32_t, uint8_t> m;
    for (auto [address, byte] : srec_bytes(read(file))) m[address] = byte;
    return m;
  }
};

TEST_F(VlkLink, TwoModulesAtTwoBases) {
  ASSERT_EQ(vlk("-R text:0x1000 -o low.s19 m1.o09 m2.o09"), 0);
  EXPECT_EQ(err,
            "Warning: At least one local symbol reference is truncated (no more truncations "
            "reported for this segment, check the map-file)\n");
  ASSERT_EQ(vlk("-R text:0x4000 -o high.s19 m1.o09 m2.o09"), 0);
  // The output is made from a private temporary but gets the permissions of
  // an ordinary new file.
  mode_t mask = umask(022);
  ASSERT_EQ(vlk("-R text:0x1000 -o perms.s19 m1.o09 m2.o09"), 0);
  umask(mask);
  struct stat st{};
  ASSERT_EQ(stat("perms.s19", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  auto low = memory("low.s19");
  auto high = memory("high.s19");
  const std::vector<uint8_t> low_text{0xBD, 0x10, 0x0F, 0x86, 0x14, 0x8E, 0x10, 0x14, 0x20, 0xF6,
                                      0x16, 0x00, 0x02, 0x12, 0x12, 0xB6, 0x10, 0x16, 0x39, 0x00};
  const std::vector<uint8_t> data{0x10, 0x00, 0x10, 0x0F};
  ASSERT_EQ(low.size(), low_text.size() + data.size());
  for (size_t i = 0; i < low_text.size(); ++i) EXPECT_EQ(low[0x1000 + i], low_text[i]) << i;
  for (size_t i = 0; i < data.size(); ++i) EXPECT_EQ(low[0x1014 + i], data[i]) << i;

  // Only the absolute fields move, each by the difference of the bases.
  const std::set<uint32_t> moved{1, 6, 0x10, 0x14, 0x16};
  for (uint32_t i = 0; i < 0x18; ++i) {
    uint32_t lo = low[0x1000 + i], hi = high[0x4000 + i];
    if (moved.count(i)) EXPECT_EQ(hi, lo + 0x30) << i;
    else if (!moved.count(i - 1)) EXPECT_EQ(hi, lo) << i;
  }
  // bra at +8 and lbra at +A reach start and sub at both bases.
  for (uint32_t base : {0x1000u, 0x4000u}) {
    auto& m = base == 0x1000 ? low : high;
    EXPECT_EQ(base + 0x0A + static_cast<int8_t>(m[base + 9]), base);
    EXPECT_EQ(base + 0x0D + static_cast<int16_t>(m[base + 0x0B] << 8 | m[base + 0x0C]), base + 0x0F);
  }
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  if (std::system("command -v srec_info >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system("srec_info low.s19 >/dev/null 2>&1"), 0);
    EXPECT_EQ(std::system("srec_info high.s19 >/dev/null 2>&1"), 0);
  }
}

TEST_F(VlkLink, LinkedObjectMergesSegmentsAndRelinksTheSame) {
  ASSERT_EQ(vlk("-r -o p.o09 m1.o09 m2.o09"), 0);
  EXPECT_EQ(read("p.o09"),
            "mod:p:O09:p.o09\n"
            "seg:text:0x13\n"
            "seg:data:0x4\n"
            "xmod:m1:O09:m1.o09\n"
            "xmod:m2:O09:m2.o09\n"
            "C:text\tBD000086008E000020F616FFFE\n"
            "C:data\t0000\n"
            "C:text\t1212B6000039\n"
            "C:data\t0000\n"
            "G:text:m1:00000000:start\n"
            "G:text:m2:0000000F:sub\n"
            "RL:text:m1:00000004:O:B:00000000:data:5\n"
            "RL:text:m1:00000006:O:W:00000000:data:6\n"
            "RG:text:m1:00000001:O:W:sub:4\n"
            "RG:text:m1:0000000B:P:W:sub:8\n"
            "RL:data:m1:00000000:O:W:00000000:text:11\n"
            "RL:text:m2:00000010:O:W:00000002:data:4\n"
            "RG:data:m2:00000002:O:W:sub:7\n"
            "e\n");
  ASSERT_EQ(vlk("-R text:0x1000 -o direct.s19 m1.o09 m2.o09"), 0);
  ASSERT_EQ(vlk("-R text:0x1000 -M -o again.s19 p.o09"), 0);
  EXPECT_EQ(read("again.s19"), read("direct.s19"));
  std::string map = read("again.map");
  EXPECT_NE(map.find("\n\n in module: 'm1' of type 'O09' defined in file 'm1.o09'"
                     "\n  in segment: 'text'\n   00001000 'start'"
                     "\n\n in module: 'm2' of type 'O09' defined in file 'm2.o09'"
                     "\n  in segment: 'text'\n   0000100F 'sub'"),
            std::string::npos)
      << map;
}

TEST_F(VlkLink, HeaderAndTypeChecks) {
  write("bad.o09", "seg:text:2\nmod:x:O09:x\ne\n");
  EXPECT_EQ(vlk("m1.o09 bad.o09"), 1);
  EXPECT_EQ(err, "Error: file 'bad.o09' has invalid header\n");
  write("short.o09", "mod:x:O09:x\nseg:text:2\n");
  EXPECT_EQ(vlk("-r short.o09"), 1);
  EXPECT_EQ(err, "Error: file 'short.o09' has invalid header\n");
  write("o12.o09", "mod:h:O12:h.o09\nseg:text:0\ne\n");
  EXPECT_EQ(vlk("m1.o09 m2.o09 o12.o09"), 1);
  EXPECT_EQ(err, "Error: can't link type 'O09' with type 'O12'\n");
  EXPECT_FALSE(exists("somevlkoutname.s19"));
}

TEST_F(VlkLink, SegmentOptionErrorsCountAndLeaveNoOutput) {
  EXPECT_EQ(vlk("-R data:+text -R data -R text: -R x:+ -R y:0x100001000 -R z:4294971392 m1.o09 m2.o09"), 6);
  EXPECT_EQ(err,
            "Error: invalid segment 'text' to follow, check options\n"
            "Error: expected ':' in segment directive, check options\n"
            "Error: unexpected segment base value, check options\n"
            "Error: no segment to follow, check options\n"
            "Error: unexpected segment base value, check options\n"
            "Error: unexpected segment base value, check options\n");
  EXPECT_FALSE(exists("somevlkoutname.s19"));
  std::string long_name(130, 's');
  EXPECT_EQ(vlk("-R " + long_name + ":0x100 -R text:4000 m1.o09 m2.o09"), 0);
  EXPECT_EQ(err.substr(0, err.find('\n')),
            "Warning: segment name '" + std::string(127, 's') + "' is truncated");
  EXPECT_EQ(srec_bytes(read("somevlkoutname.s19")).front().first, 4000u) << "decimal without 0x";
}

TEST_F(VlkLink, MultipleDefinitionsAndUndefinedNames) {
  write("dup.o09", "mod:dup:O09:dup.o09\nseg:text:2\nC:text\t3939\nG:text:dup:00000000:start\ne\n");
  EXPECT_EQ(vlk("m1.o09 m2.o09 dup.o09"), 1);
  EXPECT_EQ(err, "Error: multiple definitions of symbol 'start' in modules 'm1.o09' and 'dup.o09'\n");
  EXPECT_FALSE(exists("somevlkoutname.s19"));

  write("u1.o09", "mod:u1:O09:u1.o09\nseg:text:2\nC:text\t0000\nRG:text:u1:00000000:O:W:nothere:1\ne\n");
  write("u2.o09", "mod:u2:O09:u2.o09\nseg:text:2\nC:text\t0000\nRG:text:u2:00000000:O:W:nothere:1\ne\n");
  EXPECT_EQ(vlk("u1.o09 u2.o09"), 1);
  EXPECT_EQ(err, "Error: In file 'u1.o09': undefined symbol 'nothere'\n");
  EXPECT_FALSE(exists("somevlkoutname.s19"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(VlkLink, SameModuleNameFromTwoFoldersStaysTwoModules) {
  write("a/util.o09", "mod:util:O09:util.o09\nseg:text:2\nC:text\t0101\nG:text:util:00000000:one\ne\n");
  write("b/util.o09", "mod:util:O09:util.o09\nseg:text:2\nC:text\t0202\nG:text:util:00000000:two\ne\n");
  ASSERT_EQ(vlk("-r -o u.o09 a/util.o09 b/util.o09"), 0) << err;
  std::string linked = read("u.o09");
  EXPECT_NE(linked.find("xmod:util:O09:util.o09\nxmod:util:O09:util.o09\n"), std::string::npos);
  EXPECT_NE(linked.find("G:text:util:00000000:one\nG:text:util:00000002:two\n"), std::string::npos);
  ASSERT_EQ(vlk("-m u.map a/util.o09 b/util.o09"), 0);
  std::string map = read("u.map");
  EXPECT_NE(map.find("in segment: 'text'\n   00000000 'one'"), std::string::npos);
  EXPECT_NE(map.find("in segment: 'text'\n   00000002 'two'"), std::string::npos);
}

TEST_F(VlkLink, LongSymbolNamesAreCutWithAWarning) {
  std::string name(200, 'n');
  write("l.o09", "mod:l:O09:l.o09\nseg:text:2\nC:text\t0000\nG:text:l:00000000:" + name +
                     "\nRG:text:l:00000000:O:W:" + name + ":1\ne\n");
  EXPECT_EQ(vlk("l.o09"), 0);
  EXPECT_EQ(err, "Warning: symbol name truncated to '" + std::string(127, 'n') + "'\n" +
                     "Warning: symbol name truncated to '" + std::string(127, 'n') + "'\n");
}

TEST_F(VlkLink, ConstantsOfAbsKeepTheirValues) {
  write("k.o09", "mod:k:O09:k.o09\nseg:text:0\nseg:abs:0\nG:abs:k:00000020:K\ne\n");
  write("use.o09", "mod:use:O09:use.o09\nseg:text:4\nC:text\t00000001\n"
                   "RG:text:use:00000000:O:W:K:1\nRG:text:use:00000002:A:W:K:2\ne\n");
  ASSERT_EQ(vlk("-R text:0x1000 -M -o p.s19 k.o09 use.o09"), 0) << err;
  auto bytes = srec_bytes(read("p.s19"));
  ASSERT_EQ(bytes.size(), 4u);
  EXPECT_EQ(bytes[1].second, 0x20);
  EXPECT_EQ(bytes[3].second, 0x20) << "an 'A' field takes the target without its content";
  EXPECT_NE(read("p.map").find("\nUSER DEFINED CONSTANTS:\n   'K'=00000020"), std::string::npos);
}

}  // namespace
}  // namespace zun::vlk::test
