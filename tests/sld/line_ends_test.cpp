// The debug reader takes the line ends of every system (the editor keeps
// CR-only files) in load files and sources, and refuses a device as load file.
#include <gtest/gtest.h>

#include "tests/sld/sld_fixture.h"
#include "tests/sld/synthetic.h"

namespace zun::sld {
namespace {

std::string with_ends(const std::string& text, const char* end) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += end;
    else out += c;
  }
  return out;
}

TEST(SldLineEnds, CrOnlyFilesReadLikeLf) {
  ScratchDir dir;
  FakeHost host;
  FakeTarget target;
  Sld sld(host, "/opt/zun/bin", &target);
  std::string source;
  for (int i = 1; i <= 60; ++i) source += format("line %d\n", i);
  for (int m = 0; m < 2; ++m) dir.write(format("m%d.c", m), source);
  std::string load = synthetic_load_file(dir.dir(), 2, 40);
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("lf.s19", load)), 1) << host.out;
  std::string lf = sld_dump_text(sld);
  for (int m = 0; m < 2; ++m) dir.write(format("m%d.c", m), with_ends(source, "\r"));
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("cr.s19", with_ends(load, "\r"))), 1) << host.out;
  EXPECT_EQ(sld_dump_text(sld), lf);
  EXPECT_EQ(sld.modules().front()->lines[59].text, "line 60");
  EXPECT_EQ(sld.sld_read_debug_info("/dev/zero"), -1);  // refused, not read forever
}

}  // namespace
}  // namespace zun::sld
