// The watch model over a hand-written load file and a 64 KB fake target:
// value texts and edits for every base kind, size and view, expansion,
// the session and kept tables, and the auto rows.
#include "debugger/sld/watch.h"
#include "sld_fixture.h"
#include "synthetic.h"

namespace zun::sld {
namespace {

class StackTarget : public FakeTarget {
public:
  uint32_t target_get_sp() override { return sp; }
  void target_write(uint32_t address, uint32_t value, int size) override {
    ++writes;
    FakeTarget::target_write(address, value, size);
  }
  uint32_t sp = 0x7000;
  int writes = 0;
};

std::string load_file(const std::string& source, bool with_static = true) {
  std::string out = "S0030000FC\nS9031000EC\nSX:C:s:_main\nSX:C:M:m$" + source + "\n";
  for (const std::string& line : builtin_type_lines()) out += "SX:C:T:" + line + "\n";
  out +=
      "SX:C:T:m: typ16-m Z (3)S pair {\\\na:(0):(typ11);\\\nb:(2):(typ3);\\\n}\n"
      "SX:C:T:m: typ17-m Z (4)U both {\\\nl:(0):(typ1);\\\nw:(0):(typ11);\\\nb:(0):(typ4);\\\n}\n"
      "SX:C:T:m: typ18-m Z (4)S wide {\\\nw:(4,0:32):(typ19-m);\\\n}\n"
      "SX:C:T:m: typ19-m B (4,32:0)\n"
      "SX:C:T:m: typ20-m A (600)(typ11)\n"
      "SX:C:T:m: typ21-m a *(typ16-m)\n"
      "SX:C:S:F:m:main:_main:(typ11)\n"
      "SX:C:S:L:m:main:x:0:(typ11)\n"
      "SX:C:S:L:m:main:p:2:(typ16-m)\n"
      "SX:C:S:L:m:main:q:5:(typ99-m)\n"
      "SX:C:S:F:m:other:_other:(typ11)\n"
      "SX:C:S:L:m:other:z:0:(typ3)\n"
      "SX:C:F:m:_main:00001000:2\n"
      "SX:C:X:m:2:5:1000\nSX:C:X:m:3:4:1002\nSX:C:Z:m:3:1:1004\n"
      "SX:C:E:m:_main:00001006:4\n"
      "SX:C:F:m:_other:00001006:5\n"
      "SX:C:X:m:5:5:1006\nSX:C:X:m:6:4:1008\nSX:C:Z:m:6:1:1008\n"
      "SX:C:E:m:_other:0000100A:7\n"
      // Two blocks, the first one shadowing x, the second a sibling with x
      // and y; w's block field is no such field.
      "SX:C:S:F:m:blocks:_blocks:(typ11)\n"
      "SX:C:S:L:m:blocks:x:2:(typ11):10,4-12,5\n"
      "SX:C:S:L:m:blocks:x:0:(typ11):14,4-16,5\n"
      "SX:C:S:L:m:blocks:y:6:(typ3):14,4-16,5\n"
      "SX:C:S:L:m:blocks:x:4:(typ11)\n"
      "SX:C:S:L:m:blocks:w:8:(typ11):10,4\n"
      "SX:C:F:m:_blocks:0000100A:8\n"
      "SX:C:X:m:8:5:100A\nSX:C:X:m:9:4:100C\nSX:C:X:m:11:8:100E\nSX:C:X:m:13:4:1010\n"
      "SX:C:X:m:15:8:1012\nSX:C:Z:m:17:1:1016\n"
      "SX:C:E:m:_blocks:00001018:17\n";
  const char* globals[] = {"c1:2000:(typ3)",     "uc:2001:(typ4)",    "sh:2002:(typ5)",
                           "us:2004:(typ6)",     "in:2006:(typ11)",   "ui:2008:(typ12)",
                           "lg:200A:(typ1)",     "ul:200E:(typ2)",    "fl:2012:(typ7)",
                           "str:2016:(typ10)",   "pp:2018:(typ21-m)", "pr:2020:(typ16-m)",
                           "un:2024:(typ17-m)",  "wd:2030:(typ18-m)", "en:2034:(typ13)",
                           "arr:2100:(typ20-m)"};
  for (const char* g : globals) {
    std::string text = g;
    std::string name = text.substr(0, text.find(':'));
    std::string rest = text.substr(text.find(':') + 1);
    out += format("SX:C:S:G:m:%s:_%s:0000%s\n", name.c_str(), name.c_str(), rest.c_str());
  }
  for (int i = 0; i < 100; ++i) out += format("SX:C:S:G:m:g%d:_g%d:%8.8X:(typ11)\n", i, i, 0x3000 + 2 * i);
  if (with_static) out += "SX:C:S:S:m:st:00002040:(typ11)\n";
  return out;
}

class SldWatch : public ::testing::Test {
protected:
  SldWatch() : sld(host, "/opt/zun/bin", &target), watches(sld, target, host) {}
  void SetUp() override {
    ASSERT_EQ(sld.sld_read_debug_info(program()), 1) << host.out;
    host.out.clear();
  }
  std::string program(bool with_static = true) {
    return dir.write("m.s19", load_file(dir.write("m.c", "1\n2\n3\n4\n5\n6\n7\n"), with_static));
  }
  void poke(uint32_t address, uint32_t value, int size) {
    target.FakeTarget::target_write(address, value, size);
  }
  uint32_t peek(uint32_t address, int size) { return target.target_read(address, size); }
  WatchEntry& add(const std::string& name) {
    WatchEntry* e = watches.watch_add_global(name);
    EXPECT_NE(e, nullptr) << name;
    return *e;
  }
  std::string shown(WatchEntry& e, uint8_t format) {
    watches.watch_set_format(e, format);
    return e.value_text;
  }

  FakeHost host;
  StackTarget target;
  ScratchDir dir;
  Sld sld;
  SldWatches watches;
};

// Every editable kind and size in every view: the shown text written back
// gives the same memory, and committing it unchanged writes nothing.
TEST_F(SldWatch, EveryKindSizeAndViewRoundTrips) {
  struct Case {
    const char* name;
    uint32_t address;
    int size;
    std::vector<uint32_t> patterns;
  };
  const Case cases[] = {
      {"c1", 0x2000, 1, {0x41, 0xC1, 0x00}},         {"uc", 0x2001, 1, {0x41, 0xFF}},
      {"sh", 0x2002, 2, {0x8001, 0x1234}},           {"us", 0x2004, 2, {0xFFFF, 0x0041}},
      {"in", 0x2006, 2, {0xFFFE, 0x7FFF}},           {"ui", 0x2008, 2, {0x8000}},
      {"lg", 0x200A, 4, {0x89ABCDEF, 0x00000010}},   {"ul", 0x200E, 4, {0xFFFFFFFF}},
      {"fl", 0x2012, 4, {0x3FC00000, 0xC0100000}},   {"str", 0x2016, 2, {0x1234, 0xFFFF}},
      {"en", 0x2034, 2, {0xFFFF, 3}},
  };
  const uint8_t views[] = {FORMAT_HEX, FORMAT_UNSIGNED, FORMAT_SIGNED, FORMAT_BINARY, FORMAT_IEEE};
  for (const Case& c : cases) {
    WatchEntry& e = add(c.name);
    bool is_float = std::string(c.name) == "fl";
    for (uint8_t view : views) {
      // The IEEE view of a non-float is for looking only.
      if (view == FORMAT_IEEE && !is_float) continue;
      for (uint32_t pattern : c.patterns) {
        poke(c.address, pattern, c.size);
        std::string text = shown(e, view);
        poke(c.address, 0, c.size);
        watches.watch_read(e);
        ASSERT_TRUE(watches.watch_edit(e, text)) << c.name << " " << int(view) << " " << text;
        EXPECT_EQ(peek(c.address, c.size), pattern) << c.name << " view " << int(view) << " " << text;
        int writes = target.writes;
        EXPECT_TRUE(watches.watch_edit(e, e.value_text));
        EXPECT_EQ(target.writes, writes) << c.name << " rewritten unchanged";
      }
    }
  }
  EXPECT_TRUE(host.out.empty()) << host.out;
}

TEST_F(SldWatch, TextsOfTheViews) {
  WatchEntry& c1 = add("c1");
  poke(0x2000, 0x41, 1);
  EXPECT_EQ(shown(c1, FORMAT_HEX), "0x41 'A'");
  EXPECT_EQ(shown(c1, FORMAT_SIGNED), "65 'A'");
  EXPECT_EQ(shown(c1, FORMAT_UNSIGNED), "65 'A'");
  EXPECT_EQ(shown(c1, FORMAT_BINARY), "01000001 'A'");
  // Each decimal view reads the bits at the object's size its own way.
  poke(0x2000, 0xFF, 1);
  EXPECT_EQ(shown(c1, FORMAT_SIGNED), "-1");
  EXPECT_EQ(shown(c1, FORMAT_UNSIGNED), "255");
  EXPECT_EQ(shown(c1, FORMAT_HEX), "0xFF");
  WatchEntry& uc = add("uc");
  EXPECT_EQ(uc.value_text, "0");  // unsigned decimal by default
  poke(0x2001, 0xFF, 1);
  EXPECT_EQ(shown(uc, FORMAT_SIGNED), "-1");
  EXPECT_EQ(shown(uc, FORMAT_UNSIGNED), "255");
  WatchEntry& sh = add("sh");
  poke(0x2002, 0xFFFE, 2);
  EXPECT_EQ(shown(sh, FORMAT_HEX), "0xFFFE");
  EXPECT_EQ(shown(sh, FORMAT_BINARY), "1111111111111110");
  WatchEntry& ui = add("ui");
  EXPECT_EQ(shown(ui, FORMAT_BINARY).size(), 32u);
  WatchEntry& fl = add("fl");
  poke(0x2012, 0x3FC00000, 4);
  watches.watch_read(fl);
  EXPECT_EQ(fl.value_text, "1.500000e+00");
  EXPECT_EQ(shown(fl, FORMAT_HEX), "0x3FC00000");
  WatchEntry& str = add("str");
  poke(0x2016, 0x2200, 2);
  std::string text = "Hi there, world";
  for (size_t i = 0; i < text.size(); ++i) poke(0x2200 + uint32_t(i), uint8_t(text[i]), 1);
  ASSERT_TRUE(watches.watch_expand(str));
  EXPECT_EQ(str.pointee->value_text, "0x48 'Hi there'");
  EXPECT_EQ(watches.watch_row_name(str), "str(*)");
  poke(0x2202, '\t', 1);
  poke(0x2204, 0, 1);
  watches.watch_refresh();
  EXPECT_EQ(str.pointee->value_text, "0x48 'Hi t'");
}

TEST_F(SldWatch, EditsByView) {
  WatchEntry& uc = add("uc");
  ASSERT_TRUE(watches.watch_edit(uc, "255"));
  EXPECT_EQ(peek(0x2001, 1), 255u);
  watches.watch_set_format(uc, FORMAT_BINARY);
  ASSERT_TRUE(watches.watch_edit(uc, "101"));
  EXPECT_EQ(peek(0x2001, 1), 5u);
  watches.watch_set_format(uc, FORMAT_HEX);
  ASSERT_TRUE(watches.watch_edit(uc, "10"));
  EXPECT_EQ(peek(0x2001, 1), 16u);
  // The character shown after a binary number is no part of it.
  WatchEntry& c1 = add("c1");
  watches.watch_set_format(c1, FORMAT_BINARY);
  ASSERT_TRUE(watches.watch_edit(c1, "01000010 'A'"));
  EXPECT_EQ(peek(0x2000, 1), 0x42u);
  EXPECT_FALSE(watches.watch_edit(c1, "012"));
  EXPECT_FALSE(watches.watch_edit(c1, ""));
  EXPECT_EQ(host.boxes, (std::vector<std::string>{"|Illegal Value '012'", "|Illegal Value ''"}));
  // A float in the IEEE view takes a number, in another view its raw bits.
  WatchEntry& fl = add("fl");
  ASSERT_TRUE(watches.watch_edit(fl, "-2.25"));
  EXPECT_EQ(peek(0x2012, 4), 0xC0100000u);
  EXPECT_FALSE(watches.watch_edit(fl, "pi"));
  watches.watch_set_format(fl, FORMAT_HEX);
  ASSERT_TRUE(watches.watch_edit(fl, "3F800000"));
  EXPECT_EQ(peek(0x2012, 4), 0x3F800000u);
  EXPECT_FALSE(watches.watch_edit(fl, "1.5"));
  EXPECT_EQ(peek(0x2012, 4), 0x3F800000u);
  EXPECT_EQ(host.out, "");
}

TEST_F(SldWatch, StructuresUnionsAndBitFields) {
  WatchEntry& pr = add("pr");
  EXPECT_EQ(watches.watch_row_name(pr), "pr{..}");
  EXPECT_EQ(pr.format, FORMAT_SIGNED);
  poke(0x2020, 0x0102, 2);
  poke(0x2022, 'z', 1);
  ASSERT_TRUE(watches.watch_expand(pr));
  EXPECT_EQ(pr.format, FORMAT_HEX);
  EXPECT_EQ(pr.value_text, "0x2020");
  ASSERT_EQ(pr.members.size(), 2u);
  EXPECT_EQ(pr.members[0]->value_text, "258");
  EXPECT_EQ(pr.members[1]->value_text, "122 'z'");
  // An edit of one member of a union shows in all of them.
  WatchEntry& un = add("un");
  ASSERT_TRUE(watches.watch_expand(un));
  ASSERT_TRUE(watches.watch_edit(*un.members[2], "170"));
  EXPECT_EQ(un.members[0]->value_text, "-1442840576");
  EXPECT_EQ(un.members[1]->value_text, "-22016");
  // A 32-bit field: the whole word, read and written.
  WatchEntry& wd = add("wd");
  ASSERT_TRUE(watches.watch_expand(wd));
  WatchEntry& w = *wd.members[0];
  EXPECT_EQ(w.node_kind, NODE_BIT_FIELD);
  EXPECT_EQ(wd.node_kind, NODE_STRUCT_BITS);
  poke(0x2030, 0xFFFFFFFF, 4);
  watches.watch_read(wd);
  EXPECT_EQ(w.value_text, "4294967295");
  ASSERT_TRUE(watches.watch_edit(w, "305419896"));
  EXPECT_EQ(peek(0x2030, 4), 0x12345678u);
}

TEST_F(SldWatch, PointersAndArrays) {
  WatchEntry& pp = add("pp");
  poke(0x2018, 0x2400, 2);
  poke(0x2400, 0x0007, 2);
  poke(0x2402, 'k', 1);
  watches.watch_read(pp);
  ASSERT_TRUE(watches.watch_expand(pp));
  WatchEntry& target_row = *pp.pointee;
  EXPECT_EQ(watches.watch_row_name(target_row), "{..}");
  ASSERT_TRUE(watches.watch_expand(target_row));
  watches.watch_read(pp);
  EXPECT_EQ(target_row.members[0]->value_text, "7");
  EXPECT_EQ(target_row.members[1]->value_text, "107 'k'");
  // Editing a pointer of the global window re-reads everything.
  poke(0x2500, 0x0009, 2);
  ASSERT_TRUE(watches.watch_edit(pp, "0x2500"));
  EXPECT_EQ(target_row.members[0]->value_text, "9");

  WatchEntry& arr = add("arr");
  for (uint32_t i = 0; i < 300; ++i) poke(0x2100 + 2 * i, i * 3, 2);
  ASSERT_TRUE(watches.watch_expand(arr));
  EXPECT_EQ(host.boxes, std::vector<std::string>{"|Array is large, only 100 items displayed"});
  ASSERT_EQ(arr.elements.size(), 100u);
  EXPECT_EQ(watches.watch_row_name(*arr.elements[99]), "[99]");
  EXPECT_EQ(arr.elements[99]->value_text, "297");
  EXPECT_TRUE(arr.elements[5]->editable);
  ASSERT_TRUE(watches.watch_edit(*arr.elements[5], "-1"));
  EXPECT_EQ(peek(0x210A, 2), 0xFFFFu);
  watches.watch_collapse(arr);
  EXPECT_TRUE(arr.elements.empty());
}

TEST_F(SldWatch, AddingWatches) {
  EXPECT_EQ(watches.watch_add_global("nothing"), nullptr);
  EXPECT_EQ(host.boxes, std::vector<std::string>{"Symbol Not Found|nothing"});
  WatchEntry& st = add("m:st");
  EXPECT_EQ(watches.watch_row_name(st), "m:st");
  EXPECT_EQ(watches.watch_add_global("m:st"), nullptr);
  EXPECT_EQ(watches.global_rows().size(), 1u);
  for (int i = 0; i < 98; ++i) add(format("g%d", i));
  EXPECT_EQ(watches.watch_add_global("g98"), nullptr);
  EXPECT_EQ(host.boxes.back(), "Symbol|No space for watch");
  EXPECT_EQ(watches.global_rows().front()->name, "g97");
  watches.watch_remove(st);
  EXPECT_NE(watches.watch_add_global("g98"), nullptr);
}

TEST_F(SldWatch, KeptWatchesComeBackWhileTheirSymbolsExist) {
  add("in");
  add("m:st");
  add("sh");
  watches.watch_session_end();
  EXPECT_TRUE(watches.global_rows().empty());
  ASSERT_EQ(sld.sld_read_debug_info(program(false)), 1);
  watches.watch_restore();
  ASSERT_EQ(watches.global_rows().size(), 2u);
  EXPECT_EQ(watches.global_rows()[0]->name, "sh");
  EXPECT_EQ(watches.global_rows()[1]->name, "in");
}

TEST_F(SldWatch, AutoRowsFollowTheFunction) {
  target.pc = 0x1002;
  poke(0x7000, 0x0123, 2);
  watches.watch_refresh_autos();
  // Reverse order; the local of unknown type has no row.
  ASSERT_EQ(watches.auto_rows().size(), 2u);
  EXPECT_EQ(watches.auto_rows()[0]->name, "p");
  EXPECT_EQ(watches.auto_rows()[1]->value_text, "291");
  ASSERT_TRUE(watches.watch_expand(*watches.auto_rows()[0]));
  target.pc = 0x1004;
  target.sp = 0x6FF0;
  watches.watch_refresh_autos();
  EXPECT_TRUE(watches.auto_rows()[0]->expanded);
  EXPECT_EQ(watches.auto_rows()[1]->value_text, "0");
  ASSERT_TRUE(watches.watch_edit(*watches.auto_rows()[1], "-2"));
  EXPECT_EQ(peek(0x6FF0, 2), 0xFFFEu);
  // At the first instruction of a function its frame is not there yet.
  target.pc = 0x1006;
  watches.watch_refresh_autos();
  EXPECT_TRUE(watches.auto_rows().empty());
  target.pc = 0x1008;
  watches.watch_refresh_autos();
  ASSERT_EQ(watches.auto_rows().size(), 1u);
  EXPECT_EQ(watches.auto_rows()[0]->name, "z");
}

// The auto rows hold the locals in scope where the program stands: an inner
// block's own from its opening brace to its closing one, the innermost of
// one name, and a sibling block's own in that block.
TEST_F(SldWatch, AutoRowsShowTheLocalsInScope) {
  poke(0x7000, 7, 2);
  poke(0x7002, 100, 2);
  poke(0x7004, 5, 2);
  poke(0x7006, 'y', 1);
  auto rows_at = [&](uint32_t pc) {
    target.pc = pc;
    for (const ExecPoint& p : sld.sld_module_find("m")->points)
      if (p.address == pc) sld.sld_set_exec_point(&p);
    watches.watch_refresh_autos();
    std::string rows;
    for (const WatchEntry* e : watches.auto_rows()) rows += e->name + "=" + e->value_text + " ";
    return rows;
  };
  EXPECT_EQ(rows_at(0x100C), "w=0 x=5 ");
  EXPECT_EQ(rows_at(0x100E), "w=0 x=100 ");
  EXPECT_EQ(rows_at(0x1010), "w=0 x=5 ");
  EXPECT_EQ(rows_at(0x1012), "w=0 y=121 'y' x=7 ");
  EXPECT_EQ(rows_at(0x1016), "w=0 x=5 ");
}

}  // namespace
}  // namespace zun::sld
