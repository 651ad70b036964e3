// Placement: default grouping, -R bases and follow chains, script groups and
// layouts with their warnings, linker-defined symbols, ROM code and the
// installed default.lsc.
#include <cstdlib>
#include <map>
#include <regex>

#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

// An object with the given segments, each holding its size in zero bytes.
std::string object(const std::string& module, const std::vector<std::pair<std::string, int>>& segs,
                   const std::string& more = "") {
  std::string text = "mod:" + module + ":O09:" + module + ".o09\n";
  for (auto& [name, size] : segs) text += "seg:" + name + ":" + std::to_string(size) + "\n";
  for (auto& [name, size] : segs)
    if (size) text += "C:" + name + "\t" + std::string(2 * size, '0') + "\n";
  return text + more + "e\n";
}

class VlkPlace : public VlkTest {
 protected:
  // Segment name -> first address, from the map's group section.
  std::map<std::string, uint32_t> placed(const std::string& map_file) {
    std::map<std::string, uint32_t> result;
    std::string map = read(map_file);
    std::regex line("\n   ([0-9A-F]{8}) [0-9A-F]{8} '([^']*)'");
    for (std::sregex_iterator it(map.begin(), map.end(), line), end; it != end; ++it)
      result[(*it)[2]] = static_cast<uint32_t>(std::stoul((*it)[1], nullptr, 16));
    return result;
  }
  // The linker-defined constants listed in the map.
  uint32_t constant(const std::string& map_file, const std::string& name) {
    std::string map = read(map_file);
    std::smatch m;
    if (std::regex_search(map, m, std::regex("([0-9A-F]{8}) '" + name + "'\n")))
      return static_cast<uint32_t>(std::stoul(m[1], nullptr, 16));
    if (std::regex_search(map, m, std::regex(name + " = ([0-9A-F]{8})")))
      return static_cast<uint32_t>(std::stoul(m[1], nullptr, 16));
    ADD_FAILURE() << name << " not in map";
    return 0;
  }
};

TEST_F(VlkPlace, DefaultGroupingWithoutScript) {
  write("o.o09", object("o", {{"text", 4}, {"data", 4}, {"rodata", 2}, {"bss", 2}}));
  ASSERT_EQ(vlk("-m o.map o.o09"), 0) << err;
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{
                                 {"text", 0}, {"data", 4}, {"bss", 8}, {"rodata", 10}}));
  EXPECT_NE(read("o.map").find("\n\n  GROUP 'UGROUP0', CODE ,allocation to: 0000000A - 0000000B, (size: 2 Bytes)"),
            std::string::npos);
  ASSERT_EQ(vlk("-R text:0x4000 -m o.map o.o09"), 0);
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{
                                 {"text", 0x4000}, {"data", 0x4004}, {"bss", 0x4008}, {"rodata", 0x400A}}));
}

TEST_F(VlkPlace, SeveralBasesInOneGroup) {
  write("o.o09", object("o", {{"text", 4}, {"cdata", 2}}));
  EXPECT_EQ(vlk("-R text:0x4000 -R cdata:0x6000 -m o.map o.o09"), 1);
  EXPECT_EQ(err, "Error: multiple base addresses within group 'TEXTGROUP' \n");
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{{"cdata", 0x6000}, {"text", 0x6002}}));
  EXPECT_FALSE(exists("somevlkoutname.s19"));
}

TEST_F(VlkPlace, FollowChains) {
  write("o.o09", object("o", {{"text", 4}, {"cdata", 2}, {"rodata", 2}, {"odd", 2}}));
  ASSERT_EQ(vlk("-R text:0x100 -R rodata:+text -m o.map o.o09"), 0) << err;
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{
                                 {"text", 0x100}, {"cdata", 0x104}, {"rodata", 0x106}, {"odd", 0x108}}));
  // Two segments that follow each other end up in no group, without a hang.
  EXPECT_EQ(vlk("-R odd:0x100 -R rodata:+odd -R odd:+rodata -m o.map o.o09"), 0);
  EXPECT_EQ(err,
            "Warning: segment 'odd' following 'rodata' was not inserted\n"
            "Warning: segment 'rodata' following 'odd' was not inserted\n");
  EXPECT_EQ(placed("o.map").count("odd"), 0u);
}

TEST_F(VlkPlace, ScriptGroupsAndLayout) {
  write("o.o09", object("o", {{"text", 4}, {"rodata", 2}, {"data", 2}, {"empty", 0}}));
  write("s.lsc",
        "// code in ROM, data in RAM\n"
        "group (rx, CODE) { text,\n   rodata }\n"
        "group (RW, RAM) { data, nothing } layout {\n"
        "  0xC000, 0xDFFF <= code,\n"
        "  $0100, 511 <= ram }\n"
        "entry ( start )\n");
  ASSERT_EQ(vlk("-R text:0x3000 -i s.lsc -m o.map o.o09"), 0) << err;
  EXPECT_EQ(err, "Warning: segment 'text' has a defined base that was modified\n");
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{
                                 {"text", 0xC000}, {"rodata", 0xC004}, {"data", 0x100}}));
  std::string map = read("o.map");
  EXPECT_NE(map.find("\n PROGRAM ENTRY:'start'"), std::string::npos);
  EXPECT_NE(map.find("\n\n  GROUP 'CODE', CODE READ ONLY ,allocation to: 0000C000 - 0000C005, (size: 6 Bytes)"),
            std::string::npos);
  EXPECT_NE(map.find("\n\n  GROUP 'RAM', READ/WRITE ,allocation to: 00000100 - 00000101"), std::string::npos);
}

TEST_F(VlkPlace, LayoutWarningsAndErrors) {
  write("o.o09", object("o", {{"text", 6}, {"data", 2}, {"stray", 2}}));
  write("s.lsc",
        "group (x, CODE) { text }\n"
        "group (w, VARS) { data }\n"
        "layout { 0x0000, 0x1FFF <= code,\n"
        "         0x1000, 0x2FFF <= vars,\n"
        "         0x4000, 0x4003 <= code,\n"
        "         0x5000, 0x5FFF <= nogroup }\n");
  EXPECT_EQ(vlk("-i s.lsc -m o.map o.o09"), 2);
  EXPECT_EQ(err,
            "Warning: memory layouts at lines 3 and 4 overlaps\n"
            "Warning: group 'CODE' exceed size in layout at line 5, requested size:00000006, "
            "restricted to:00000004 in layout\n"
            "Error: group 'nogroup' referenced in layout at line 6 is not defined\n"
            "Error: segment 'stray' has code/data (size:0x00000002), but is not assigned to any group\n");
  EXPECT_TRUE(read("o.map").empty() || !read("o.map").starts_with("VLK")) << "placement failed";
}

TEST_F(VlkPlace, GroupWithoutLayoutEntryStartsAtZero) {
  write("o.o09", object("o", {{"text", 2}, {"data", 2}}));
  write("s.lsc", "group (x, CODE) { text }\ngroup (rw, RAM) { data }\nlayout { 0x2000, 0x2FFF <= code }\n");
  ASSERT_EQ(vlk("-i s.lsc -m o.map o.o09"), 0);
  EXPECT_EQ(err, "Warning: group 'RAM' is not placed by any layout, base 0 assumed\n");
  EXPECT_EQ(placed("o.map"), (std::map<std::string, uint32_t>{{"text", 0x2000}, {"data", 0}}));
}

TEST_F(VlkPlace, ScriptsThatOnlyHalfDescribeThePlacement) {
  write("o.o09", object("o", {{"text", 2}, {"data", 2}}));
  write("g.lsc", "group (x, CODE) { text }\nmemory (rwx, 0, 0xE000)\nmemory(r,0xE100,0x1F00)\n");
  ASSERT_EQ(vlk("-i g.lsc -m o.map o.o09"), 0);
  EXPECT_EQ(err, "Warning: command line options obeyed, group definition(s) ignored\n");
  EXPECT_NE(read("o.map").find("\n TARGET MEMORY DEFINITIONS"
                               "\n 00000000 - 0000DFFF, (56 kByte) CODE READ/WRITE"
                               "\n 0000E100 - 0000FFFF, (7 kByte) READ ONLY\n"),
            std::string::npos);
  EXPECT_NE(read("o.map").find("\n WARNING, No entry defined."), std::string::npos);
  write("l.lsc", "layout { 0, 0xFF <= x }\nmemory (r, 0x100, 0x100) memory (r, 0x180, 0x100)\n");
  ASSERT_EQ(vlk("-i l.lsc -m o.map o.o09"), 0);
  EXPECT_EQ(err,
            "Warning: user defined memory images at lines 2 and 2 overlaps\n"
            "Warning: command line options obeyed, layout definition ignored\n");
  EXPECT_NE(read("o.map").find("WARNING: Application has overlapping segments"), std::string::npos);
}

TEST_F(VlkPlace, DuplicateNamesFailPlacement) {
  write("o.o09", object("o", {{"text", 2}}));
  write("s.lsc", "group (x, A) { text }\ngroup (x, a) { TEXT }\nlayout { 0, 0xFF <= a }\n");
  EXPECT_EQ(vlk("-i s.lsc o.o09"), 2);
  EXPECT_EQ(err,
            "Error: duplicate groupname 'a' at lines 1 and 2\n"
            "Error: duplicate segment 'TEXT' at lines 1 and 2\n");
}

TEST_F(VlkPlace, ScriptSyntaxErrors) {
  write("o.o09", object("o", {{"text", 2}}));
  const std::vector<std::pair<std::string, std::string>> cases{
      {"foo ( x )\n", "Error: line 1: script error: 'foo'\n"},
      {"entry start )\n", "Error: script file line 1 '(' expected\n"},
      {"entry ( )\n", "Error: script file line 1, entry symbol name expected\n"},
      {"entry ( a-b )\n", "Error: script file line 1, '-' in 'a-b' is not a valid entry symbol\n"},
      {"memory ( q, 0, 1 )\n", "Error: script file line 1 type expected\n"},
      {"memory ( r,\n x, 1 )\n", "Error: script file line 2 address expected\n"},
      {"memory ( r, 0, 0 )\n", "Error: line 1 inconsistent memory layout\n"},
      {"memory ( r, 0x1000000000, 1 )\n", "Error: script file line 1 address expected\n"},
      {"layout { 0x10, 0x10 <= g }\n", "Error: script file line 1, memory block is <= 0\n"},
      {"layout { 0x10, <= g }\n", "Error: script file line 1, end address expected\n"},
      {"layout { 0x10, 0x20 = g }\n", "Error: script file line 1 '<' expected\n"},
      {"entry (\n\n// nothing more\n", "Error: line 3: unexpected end in script file (missing newline?) \n"},
  };
  for (auto& [script, message] : cases) {
    write("s.lsc", script);
    EXPECT_EQ(vlk("-i s.lsc o.o09"), 1) << script;
    EXPECT_EQ(err, message + "Error: failed to parse 's.lsc'\n") << script;
    EXPECT_FALSE(exists("somevlkoutname.s19"));
  }
  write("e.lsc", "group (rx, G) { }\n");
  EXPECT_EQ(vlk("-i e.lsc o.o09"), 0);
  EXPECT_EQ(err, "Warning: empty group 'G' ignored\n"
                 "Warning: command line options obeyed, group definition(s) ignored\n");
}

TEST_F(VlkPlace, ScriptFilesOptionsAndPaths) {
  write("o.o09", object("o", {{"text", 2}}));
  write("conf/k.lsc", "-R text:0x2000 // base\n-i inner.lsc\n");
  write("conf/inner.lsc", "entry(main)\n");
  EXPECT_EQ(vlk("-i k.lsc -I conf o.o09"), 1) << "-I works only for later -i";
  EXPECT_EQ(err, "Error: can't open script file 'k.lsc'\n");
  EXPECT_FALSE(exists("somevlkoutname.s19"));
  ASSERT_EQ(vlk("-I conf -i conf/k.lsc -i inner.lsc -M -o p.s19 o.o09"), 0) << err;
  EXPECT_EQ(placed("p.map"), (std::map<std::string, uint32_t>{{"text", 0x2000}}));
  EXPECT_NE(read("p.map").find("\nSCRIPT READ FROM THE FOLLOWING FILE(S):\n  'conf/k.lsc'\n  'conf/inner.lsc'\n"),
            std::string::npos);
  write("self.lsc", "-i self.lsc\n");
  EXPECT_EQ(vlk("-i self.lsc o.o09"), 1);
  EXPECT_EQ(err, "Error: script file 'self.lsc' includes itself\nError: failed to parse 'self.lsc'\n");
}

// One reference to each linker-defined symbol, in a word field each.
std::string symbol_user(const std::vector<std::string>& names) {
  std::string more;
  for (size_t i = 0; i < names.size(); ++i) {
    char offset[16];
    snprintf(offset, sizeof offset, "%08zX", 2 * i);
    more += "RG:text:u:" + std::string(offset) + ":O:W:" + names[i] + ":1\n";
  }
  std::string text = "mod:u:O09:u.o09\nseg:text:" + std::to_string(2 * names.size()) + "\n";
  return text + more + "e\n";
}

TEST_F(VlkPlace, LinkerDefinedSymbols) {
  write("o.o09", object("o", {{"text", 4}, {"data", 3}, {"bss", 0}}));
  write("u.o09", symbol_user({"__text__start", "__data__end", "__data__size", "__bss__start",
                              "__heap_start", "__rom_code_enabled"}));
  ASSERT_EQ(vlk("-R text:0x1000 -m o.map o.o09 u.o09"), 0) << err;
  // text 0x1000 (4 + 12 bytes of u), data 0x1010 (3, even 4), bss empty at 0x1014.
  auto bytes = srec_bytes(read("somevlkoutname.s19"));
  auto word = [&](uint32_t at) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
      if (bytes[i].first == at) return bytes[i].second << 8 | bytes[i + 1].second;
    return -1;
  };
  EXPECT_EQ(word(0x1004), 0x1000);
  EXPECT_EQ(word(0x1006), 0x1014);
  EXPECT_EQ(word(0x1008), 4);
  EXPECT_EQ(word(0x100A), 0x1014) << "an empty bss keeps its place";
  EXPECT_EQ(word(0x100C), 0x1014);
  EXPECT_EQ(word(0x100E), 0);
  EXPECT_EQ(constant("o.map", "__bss__end"), 0x1014u);
}

TEST_F(VlkPlace, HeapWithoutBss) {
  write("o.o09", object("o", {{"text", 4}, {"data", 2}, {"stack", 6}}));
  ASSERT_EQ(vlk("-R stack:0x7000 -m o.map o.o09"), 0) << err;
  // stack at 0x7000, then text and data behind it: the highest end is 0x700C.
  EXPECT_EQ(constant("o.map", "__heap_start"), 0x700Cu);
}

TEST_F(VlkPlace, RomCodeKeepsTheDataImageAndWritesACleanCopy) {
  write("o.o09", object("o", {{"text", 4}, {"data", 2}, {"bss", 4}},
                        "RL:text:o:00000000:O:W:00000000:data:1\nG:data:o:00000000:var\n"));
  write("s.lsc", "group (rx, ROM) { text, data }\ngroup (rw, RAM) { bss }\n"
                 "layout { 0xC000, 0xDFFF <= rom, 0x0100, 0x3FFF <= ram }\n");
  ASSERT_EQ(vlk("-P -g -i s.lsc -M -o rom.s19 o.o09"), 0) << err;
  auto bytes = srec_bytes(read("rom.s19"));
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes[0], (std::pair<uint32_t, uint8_t>{0xC000, 0x01}));
  EXPECT_EQ(bytes[1], (std::pair<uint32_t, uint8_t>{0xC001, 0x04})) << "data runs behind bss at 0x104";
  EXPECT_EQ(constant("rom.map", "__heap_start"), 0x106u);
  std::string map = read("rom.map");
  EXPECT_NE(map.find("\n\n-- Created data references segment for ROM code\n"), std::string::npos);
  EXPECT_NE(map.find("\n   0000C004 0000C005 'data'\n   ->initialized data, segment referenced at:"
                     "\n   ->00000104 00000105, copy of 'data'"),
            std::string::npos);
  EXPECT_NE(map.find("\n   0000C004 'var', but referenced at 00000104"), std::string::npos);
  std::string clean = read("rom_clean.s19");
  EXPECT_TRUE(clean.starts_with("S0030000FC\nS107C0000104"));
  EXPECT_TRUE(clean.ends_with("S9030000FC\n"));
  EXPECT_NE(read("rom.s19").find("\nS1070100"), std::string::npos) << "with -g bss is loaded";
  EXPECT_FALSE(std::regex_search(clean, std::regex("\nS1..[0-3]"))) << "nothing below 0x4000";
  EXPECT_EQ(clean.find("SX"), std::string::npos);

  write("n.o09", object("n", {{"text", 2}, {"data", 2}}));
  EXPECT_EQ(vlk("-P n.o09"), 1);
  EXPECT_EQ(err, "Error: no 'bss' segment present for data segment copy\n");
  write("e.o09", object("e", {{"text", 2}, {"data", 0}}));
  EXPECT_EQ(vlk("-P -o e.s19 e.o09"), 0) << "an empty data segment needs no bss";
  EXPECT_TRUE(exists("e_clean.s19"));
}

TEST_F(VlkPlace, InstalledDefaultScript) {
  std::string config = std::string(ZUN_SOURCE_DIR) + "/data/config/zun09";
  write("o.o09", object("o", {{"data", 2}, {"bss", 2}, {"text", 4}, {"rodata", 2}, {"cdata", 2}},
                        "G:text:o:00000000:startuplabel\n"));
  ASSERT_EQ(vlk("-I " + config + " -i default.lsc -M -o p.s19 o.o09"), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(placed("p.map"), (std::map<std::string, uint32_t>{{"text", 0x1000}, {"cdata", 0x1004},
                                                               {"rodata", 0x1006}, {"data", 0x1008},
                                                               {"bss", 0x100A}}));
  EXPECT_EQ(constant("p.map", "__heap_start"), 0x100Cu);
  EXPECT_TRUE(read("p.s19").ends_with("S9031000EC\n"));
  write("t.o09", object("t", {{"text", 2}}, "G:text:t:00000000:startuplabel\n"));
  ASSERT_EQ(vlk("-I " + config + " -i default.lsc -M -o t.s19 t.o09"), 0) << err;
  EXPECT_EQ(constant("t.map", "__heap_start"), 0x1002u) << "bss exists even when no object has one";
}

}  // namespace
}  // namespace zun::vlk::test
