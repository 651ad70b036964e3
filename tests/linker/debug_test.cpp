// The -g debug records: module-level and segment-level SY records in the
// linked object, and the SX tail of the load file.
#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

const char* kFirst =
    "mod:e:O09:e.o09\nseg:text:2\nC:text\t1212\n"
    "SY:A:M:e$e.s09\nSY:A:X:e:1:text:0\ne\n";

const char* kSecond =
    "mod:d:O09:d.o09\n"
    "seg:text:4\n"
    "seg:data:2\n"
    "C:text\t39393939\n"
    "C:data\t0000\n"
    "G:text:d:00000000:_main\n"
    "G:data:d:00000000:_p\n"
    "SY:C:M:d$src/d.c\n"
    "SY:C:T:d: typ16-d a (2)(typ4) \\\n"
    "   G:not:a:record:\\\n"
    "   end of type\n"
    "SY:C:X:d:3:1:text:0\n"
    "SY:C:Z:d:4:1:text:2\n"
    "SY:C:F:d:text:_main:00000000:3\n"
    "SY:C:E:d:text:_main:00000003:5\n"
    "SY:C:B:d.c$1$B$0$00000000\n"
    "SY:C:S:G:d:p:_p:(typ16-d)\n"
    "SY:C:S:S:d:data:x:00000001:(typ4)\n"
    "SY:C:S:L:d:main:i:-2:(typ11)\n"
    "SY:C:S:F:d:main:_main:(typ11)\n"
    "SY:A:X:d:12:text:1\n"
    "SY:A:F:d:text:asmf:00000001:7\n"
    "SY:A:E:d:text:asmf:3:9\n"
    "SY:C:S:S:d:buf:(typ4)\n"
    "e\n";

const char* kTail =
    "S9034002BA\n"
    "SX:C:s:_main\n"
    "SX:A:M:e$e.s09\n"
    "SX:C:M:d$src/d.c\n"
    "SX:C:T:d: typ16-d a (2)(typ4) \\\n"
    "   G:not:a:record:\\\n"
    "   end of type\n"
    "SX:C:S:L:d:main:i:-2:(typ11)\n"
    "SX:C:S:F:d:main:_main:(typ11)\n"
    "SX:A:X:e:1:4000\n"
    "SX:C:X:d:3:1:4002\n"
    "SX:C:Z:d:4:1:4004\n"
    "SX:C:F:d:_main:00004002:3\n"
    "SX:C:E:d:_main:00004005:5\n"
    "SX:A:X:d:12:4003\n"
    "SX:A:F:d:asmf:4003:7\n"
    "SX:A:E:d:asmf:4005:9\n"
    "SX:C:S:G:d:p:_p:00004006:(typ16-d)\n"
    "SX:C:S:S:d:x:00004007:(typ4)\n";

class VlkDebug : public VlkTest {
 protected:
  void SetUp() override {
    VlkTest::SetUp();
    write("e.o09", kFirst);
    write("d.o09", kSecond);
    write("s.lsc", "-R text:0x4000\nentry ( _main )\n");
  }
  std::string tail(const std::string& file) {
    std::string text = read(file);
    size_t at = text.find("S9");
    return at == std::string::npos ? text : text.substr(at);
  }
};

TEST_F(VlkDebug, LoadFileTail) {
  ASSERT_EQ(vlk("-g -i s.lsc -o p.s19 e.o09 d.o09"), 0) << err;
  EXPECT_EQ(tail("p.s19"), kTail);
  EXPECT_EQ(read("p.s19").find("SY:"), std::string::npos);
}

TEST_F(VlkDebug, WithoutDashGThereIsNoTail) {
  ASSERT_EQ(vlk("-i s.lsc -o p.s19 e.o09 d.o09"), 0) << err;
  EXPECT_EQ(tail("p.s19"), "S9034002BA\n");
}

TEST_F(VlkDebug, LinkedObjectKeepsSyRecordsMovedByTheirPart) {
  ASSERT_EQ(vlk("-g -r -o p.o09 e.o09 d.o09"), 0) << err;
  std::string linked = read("p.o09");
  size_t at = linked.find("SY:");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(linked.substr(at),
            "SY:A:M:e$e.s09\n"
            "SY:C:M:d$src/d.c\n"
            "SY:C:T:d: typ16-d a (2)(typ4) \\\n"
            "   G:not:a:record:\\\n"
            "   end of type\n"
            "SY:C:S:G:d:p:_p:(typ16-d)\n"
            "SY:C:S:L:d:main:i:-2:(typ11)\n"
            "SY:C:S:F:d:main:_main:(typ11)\n"
            "SY:C:S:S:d:buf:(typ4)\n"
            "SY:A:X:e:1:text:0\n"
            "SY:C:X:d:3:1:text:2\n"
            "SY:C:Z:d:4:1:text:4\n"
            "SY:C:F:d:text:_main:00000002:3\n"
            "SY:C:E:d:text:_main:00000005:5\n"
            "SY:A:X:d:12:text:3\n"
            "SY:A:F:d:text:asmf:00000003:7\n"
            "SY:A:E:d:text:asmf:5:9\n"
            "SY:C:S:S:d:data:x:00000001:(typ4)\n"
            "e\n");
  EXPECT_EQ(linked.find("G:not"), linked.find("   G:not")+3) << "continuations are not records";
  ASSERT_EQ(vlk("-g -i s.lsc -o again.s19 p.o09"), 0) << err;
  EXPECT_EQ(tail("again.s19"), kTail);
}

TEST_F(VlkDebug, SourcePathsInArchives) {
  ASSERT_EQ(vlk("-Ac -g -As ../src -o l.e09 d.o09"), 0);
  EXPECT_NE(read("l.e09").find("\nSY:C:M:d$../src/d.c\nSY:C:T:d: typ16-d a (2)(typ4) \\\n   G:not"),
            std::string::npos);
  ASSERT_EQ(vlk("-Ac -o l.e09 d.o09"), 0);
  EXPECT_EQ(read("l.e09").find("G:not"), std::string::npos) << "type continuations go with their type";
}

}  // namespace
}  // namespace zun::vlk::test
