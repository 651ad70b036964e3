// The debug reader over hand-written load files: passes, record rules,
// module paths, the entry search, sources and what the windows read.
#include "sld_fixture.h"
#include "synthetic.h"

namespace zun::sld {
namespace {

std::string source_lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += format("line %d\n", i);
  return text;
}

// One C module 'm' with a function _main at 1000-100C, a structure, locals
// and two globals.
std::string load_file(const std::string& source_path) {
  return "S0030000FC\nS9031000EC\n"
         "SX:C:s:_main\n"
         "SX:C:M:m$" + source_path + "\n"
         "SX:C:T: typ3 C (1)\n"
         "SX:C:T: typ7 g (4)\n"
         "SX:C:T: typ10 R (2)\n"
         "SX:C:T: typ11 I (2)\n"
         "SX:C:T:m: typ16-m Z (4)S pair {\\\n"
         "a:(0):(typ11);\\\n"
         "b:(2):(typ17-m);\\\n"
         "}\n"
         "SX:C:T:m: typ17-m Z (2)S inner {\\\n"
         "v:(0):(typ11);\\\n"
         "}\n"
         "SX:C:S:F:m:main:_main:(typ11)\n"
         "SX:C:S:L:m:main:p:0:(typ16-m)\n"
         "SX:C:S:L:m:main:n:4:(typ11)\n"
         "SX:C:F:m:_main:00001000:2\n"
         "SX:C:X:m:2:5:1000\n"
         "SX:C:X:m:3:4:1002\n"
         "SX:C:X:m:4:4:1006\n"
         "SX:C:Z:m:5:1:100A\n"
         "SX:C:E:m:_main:0000100C:5\n"
         "SX:C:S:G:m:g:_g:00002000:(typ16-m)\n"
         "SX:C:S:S:m:s:00002004:(typ3)\n"
         "SX:C:S:S:m:s:00002006:(typ11):main\n";
}

class SldReader : public ::testing::Test {
protected:
  SldReader() : sld(host, "/opt/zun/bin", &target) {}
  std::string program(const std::string& source = source_lines(10)) {
    std::string path = dir.write("m.c", source);
    return dir.write("m.s19", load_file(path));
  }
  const DebugFunction& main_function() { return sld.sld_module_find("m")->functions.front(); }

  FakeHost host;
  FakeTarget target;
  ScratchDir dir;
  Sld sld;
};

// `text` with each LF replaced by `end`.
std::string with_ends(const std::string& text, const char* end) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += end;
    else out += c;
  }
  return out;
}

TEST_F(SldReader, BuildsTheModel) {
  ASSERT_EQ(sld.sld_read_debug_info(program()), 1) << host.out;
  EXPECT_EQ(host.out, "Reading debug info\nEntry point '_main'\n");
  ASSERT_EQ(sld.modules().size(), 1u);
  const DebugModule& m = *sld.modules().front();
  EXPECT_TRUE(m.has_source);
  EXPECT_EQ(m.line_count, 11u);
  EXPECT_EQ(m.file_name, "m.c");
  EXPECT_EQ(m.lines[1].first_point, &m.points[0]);
  EXPECT_EQ(m.lines[0].first_point, nullptr);
  EXPECT_EQ(m.points.size(), 4u);

  const DebugFunction& f = main_function();
  EXPECT_EQ(f.c_name, "main");
  EXPECT_EQ(f.exit_address, 0x100Au);
  EXPECT_EQ(f.exit_line, 5u);
  EXPECT_EQ(f.entry_point->address, 0x1000u);
  EXPECT_EQ(f.exit_point->address, 0x100Au);
  ASSERT_EQ(f.locals.size(), 3u);
  EXPECT_EQ(f.locals[0].function, &f);
  EXPECT_EQ(f.locals[1].name, "n");
  EXPECT_EQ(f.locals[1].offset, 4);
  EXPECT_EQ(f.locals[1].type, 11);
  EXPECT_FALSE(f.locals[1].static_address);
  // A static that names its function is also one of its locals.
  EXPECT_EQ(f.locals[2].name, "s");
  EXPECT_EQ(f.locals[2].static_address, 0x2006u);
  EXPECT_EQ(f.locals[2].type, 11);

  // The continued type records were joined into whole structures.
  const TypeTable& types = sld.types();
  int pair = f.locals[0].type;
  ASSERT_EQ(types.type_record(pair)->members.size(), 2u);
  EXPECT_EQ(types.type_kind(types.type_record(pair)->members[1].type), KIND_STRUCT);

  ASSERT_EQ(sld.sld_globals().size(), 3u);
  EXPECT_EQ(sld.sld_globals()[0].type, pair);
  EXPECT_TRUE(sld.sld_globals()[0].is_global);
  EXPECT_EQ(sld.sld_globals()[1].address, 0x2004u);
  EXPECT_FALSE(sld.sld_globals()[1].is_global);
  EXPECT_EQ(sld.sld_globals()[1].display_name(), "m:s");
  EXPECT_EQ(sld.sld_globals()[2].display_name(), "m:main:s");

  EXPECT_EQ(sld.code_low(), 0x1000u);
  EXPECT_EQ(sld.code_high(), 0x100Cu);
  EXPECT_EQ(sld.sld_in_code(0x100C), 1);
  EXPECT_EQ(sld.sld_in_code(0x0FFF), 0);
  EXPECT_EQ(sld.entry(), f.entry_point);
  EXPECT_EQ(sld.entry_module(), sld.modules().front().get());
  EXPECT_EQ(sld.sld_shown_module(), sld.entry_module());
  EXPECT_EQ(sld.sld_exec_point(), f.entry_point);
  EXPECT_EQ(sld.sld_shown_file_name(), "m.c");
  EXPECT_EQ(m.show_line, 2u);

  // A second reading starts from nothing.
  ASSERT_EQ(sld.sld_read_debug_info(program()), 1);
  EXPECT_EQ(sld.modules().size(), 1u);
  EXPECT_EQ(sld.sld_globals().size(), 3u);
}

// CRLF files and CR-only ones (the editor keeps those) read like LF files,
// in the load file and in the sources; a device is refused as load file.
TEST_F(SldReader, AnyLineEndsAndLongSourceLinesReadLikeLf) {
  std::string source = "a\n" + std::string(1500, 'x') + "\nthird\n";
  ASSERT_EQ(sld.sld_read_debug_info(program(source)), 1);
  std::string lf = sld_dump_text(sld);
  EXPECT_EQ(sld.modules().front()->lines[2].text, "third");
  EXPECT_EQ(sld.modules().front()->line_count, 4u);
  for (const char* end : {"\r\n", "\r"}) {
    std::string path = dir.write("m.c", with_ends(source, end));
    ASSERT_EQ(sld.sld_read_debug_info(dir.write("m.s19", with_ends(load_file(path), end))), 1) << host.out;
    EXPECT_EQ(sld_dump_text(sld), lf);
    EXPECT_EQ(sld.modules().front()->lines[1].text.size(), 1500u);
    EXPECT_EQ(sld.modules().front()->lines[2].text, "third");
  }
  EXPECT_EQ(sld.sld_read_debug_info("/dev/zero"), -1);  // refused, not read forever
}

TEST_F(SldReader, RecordRules) {
  EXPECT_EQ(sld.sld_parse_record("C:M:m$/src/m.c"), 1);
  EXPECT_EQ(sld.sld_parse_record("C:M:m$/src/other/m.c"), 1);
  EXPECT_EQ(host.out,
            "Warning: Module name 'm' of '/src/other/m.c' is already taken by '/src/m.c'\n");
  host.out.clear();
  EXPECT_EQ(sld.sld_parse_record("C:M:m$/src/m.c"), 1);  // the same module again: no warning
  EXPECT_EQ(sld.sld_parse_record("C:M:$/src/x.c"), 0);
  EXPECT_EQ(sld.sld_parse_record("C:M:x$"), 0);
  EXPECT_EQ(sld.sld_parse_record("C:M:x"), 0);
  ASSERT_EQ(sld.modules().size(), 1u);
  EXPECT_EQ(sld.modules().front()->path, "/src/m.c");

  EXPECT_EQ(sld.sld_parse_record("C:F:m:_f:00001000:1"), 1);
  EXPECT_EQ(sld.sld_parse_record("C:E:m:_f:00001010:9"), 1);
  sld.sld_parse_record("C:X:m:2:5:1004");
  sld.sld_parse_record("C:X:m:2:7:1004");  // the same line and address
  sld.sld_parse_record("C:X:m:3:1:1004");  // the same address on another line
  sld.sld_parse_record("C:Z:m:1:1:1000");  // at the function's start: no exit
  sld.sld_parse_record("C:Z:m:9:1:2000");  // outside every function
  const DebugModule& m = *sld.sld_module_find("m");
  EXPECT_EQ(m.points.size(), 4u);
  EXPECT_EQ(m.points[0].number2, 5u);
  EXPECT_EQ(m.functions.front().exit_address, 0u);
  sld.sld_parse_record("C:Z:m:8:1:100E");
  EXPECT_EQ(m.functions.front().exit_address, 0x100Eu);
  EXPECT_EQ(m.points.size(), 5u);
  EXPECT_EQ(host.out, "");

  sld.sld_parse_record("A:X:nowhere:7:1234");
  EXPECT_EQ(host.out, "SLD: Failed  insert execution point at 1234 (7,0) in nowhere\n");
  host.out.clear();
  sld.sld_parse_record("C:X:m:4x:1:10G4");
  EXPECT_EQ(host.out,
            "Warning: Bad address in symdebug info\nWarning: Bad linenumber in symdebug info\n");
  EXPECT_EQ(m.points.back().line, 0u);  // entered all the same
  EXPECT_EQ(sld.sld_parse_record("C:Q:m:1"), 0);
  EXPECT_EQ(sld.sld_parse_record("A:S:L:m:f:x:0:(typ11)"), 0);
}

TEST_F(SldReader, ModulePathsBelowTheInstallation) {
  sld.sld_parse_record("A:M:mul16$../src/runtime/zun09/mul16.s09");
  sld.sld_parse_record("A:M:here$./lib/x.s09");
  sld.sld_parse_record("C:M:win$C:\\work\\a.c");
  EXPECT_EQ(sld.sld_module_find("mul16")->path, "/opt/zun/src/runtime/zun09/mul16.s09");
  EXPECT_EQ(sld.sld_module_find("mul16")->file_name, "mul16.s09");
  EXPECT_EQ(sld.sld_module_find("here")->path, "/opt/zun/bin/lib/x.s09");
  EXPECT_EQ(sld.sld_module_find("win")->path, "C:\\work\\a.c");
  EXPECT_EQ(sld.sld_module_find("win")->file_name, "a.c");
  EXPECT_EQ(sld.sld_module_find_by_file("x.s09"), sld.sld_module_find("here"));
}

TEST_F(SldReader, EntrySearchFallsBackToStartuplabelThenStart) {
  std::string start = "SX:A:M:st$/none/st.s09\nSX:A:X:st:3:1000\n";
  std::string file = dir.write("a.s19", "SX:C:s:_nothing\n" + start +
                                            "SX:A:F:st:startuplabel:1000:2\n"
                                            "SX:A:E:st:startuplabel:1004:4\n");
  ASSERT_EQ(sld.sld_read_debug_info(file), 1);
  EXPECT_EQ(host.out, "Reading debug info\n"
                      "No user defined program entry, trying default 'startuplabel'\n"
                      "Entry point 'startuplabel'\n");
  EXPECT_TRUE(sld.sld_is_disassembly_view());  // the source does not exist
  host.out.clear();
  file = dir.write("b.s19", start + "SX:A:F:st:start:1000:2\n");
  ASSERT_EQ(sld.sld_read_debug_info(file), 1);
  EXPECT_EQ(host.out, "Reading debug info\n"
                      "No user defined program entry, trying default 'startuplabel'\n"
                      "trying default 'start'\nEntry point 'start'\n");
  host.answer = true;
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("c.s19", start)), -1);
  EXPECT_EQ(host.questions,
            std::vector<std::string>{"No entry symbol found, debug with Visual Simulator?"});
  EXPECT_EQ(host.posted, std::vector<int>{kMachineLevelCommand});
  EXPECT_EQ(sld.entry_module(), nullptr);
}

TEST_F(SldReader, WithoutModulesNothingIsDebugged) {
  std::string file = dir.write("plain.s19", "S0030000FC\nS9031000EC\nSX:C:M:broken\n");
  ASSERT_EQ(sld.sld_read_debug_info(file), -1);
  EXPECT_EQ(host.out, "Reading debug info\nNo debug info found\n");
  EXPECT_EQ(host.questions,
            std::vector<std::string>{"Module has no symbolic information, debug anyway?"});
  EXPECT_TRUE(host.posted.empty());
  host.out.clear();
  EXPECT_EQ(sld.sld_read_debug_info(dir.dir() + "/missing.s19"), -1);
  EXPECT_EQ(host.out, "Can't open file '" + dir.dir() + "/missing.s19'\n");
  // One malformed last module record does not throw away the rest.
  std::string good = load_file(dir.write("m.c", source_lines(10)));
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("m.s19", good + "SX:C:M:broken\n")), 1);
  EXPECT_EQ(sld.modules().size(), 1u);
}

TEST_F(SldReader, TypeTroubleInTheLoadFile) {
  std::string good = load_file(dir.write("m.c", source_lines(10)));
  std::string cut = good + "SX:C:T:m: typ30-m Z (2)S c {\\\n";
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("cut.s19", cut)), 1);
  EXPECT_TRUE(host.said("Warning: Incomplete struct type description\n"));
  host.out.clear();
  // With every id given out, a structure has none left: a fatal type error.
  std::string many = good;
  for (int i = 0; i < 4983; ++i) many += format("SX:C:T:m: typ%d-m A (2)(typ3)\n", 100 + i);
  ASSERT_EQ(sld.sld_read_debug_info(dir.write("full.s19", many)), -1);
  EXPECT_TRUE(host.said("Fatal: Type errors in debug info\n"));
  EXPECT_TRUE(sld.modules().empty());
  EXPECT_EQ(sld.sld_shown_module(), nullptr);
}

TEST_F(SldReader, LocalsAppearOneInstructionIntoTheFunction) {
  ASSERT_EQ(sld.sld_read_debug_info(program()), 1);
  target.pc = 0x1000;
  EXPECT_EQ(sld.sld_current_locals(), nullptr);
  target.pc = 0x1002;
  EXPECT_EQ(sld.sld_current_locals(), &main_function().locals);
  target.pc = 0x100C;
  EXPECT_EQ(sld.sld_current_locals(), nullptr);
}

TEST_F(SldReader, ValuesByBaseKind) {
  ASSERT_EQ(sld.sld_read_debug_info(program()), 1);
  auto put = [&](uint32_t at, std::vector<uint8_t> bytes) {
    for (uint8_t b : bytes) target.memory[at++] = b;
  };
  put(0x2000, {0x30, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
  put(0x3000, {0x41, 0x42});
  SldValue v;
  sld.sld_read_value(11, v, 0x2002);
  EXPECT_EQ(v.value, 0x1234u);
  sld.sld_read_value(3, v, 0x2002);
  EXPECT_EQ(v.value, 0x12u);
  v = {};
  sld.sld_read_value(10, v, 0x2000);  // char *: the pointer and the word it points at
  EXPECT_EQ(v.pointer, 0x3000u);
  EXPECT_EQ(v.value, 0x4142u);
  v = {};
  sld.sld_read_value(main_function().locals[0].type, v, 0x2002);  // a structure: its first word
  EXPECT_EQ(v.pointer, 0x1234u);
  EXPECT_EQ(v.value, 0u);
  sld.sld_read_value(7, v, 0x2002);
  EXPECT_EQ(v.value, 0x12345678u);
  sld.sld_read_bytes8(v, 0x2000);
  EXPECT_EQ(v.byte(0), 0x30);
  EXPECT_EQ(v.byte(7), 0xBC);
  sld.sld_write_value(11, 0x2000, 0xBEEF);
  EXPECT_EQ(target.memory[0x2000], 0xBE);
  EXPECT_EQ(target.memory[0x2001], 0xEF);
  EXPECT_EQ(target.memory[0x2002], 0x12);
}

TEST_F(SldReader, SourceAndDisassemblyLines) {
  ASSERT_EQ(sld.sld_read_debug_info(program()), 1);
  auto next = [&] {
    std::string t;
    return sld.sld_line_next(t) ? t : "<end>";
  };
  auto prev = [&] {
    std::string t;
    return sld.sld_line_prev(t) ? t : "<end>";
  };
  sld.sld_lines_from(3);
  EXPECT_EQ(next(), "line 3");
  EXPECT_EQ(next(), "line 4");
  EXPECT_EQ(prev(), "line 2");
  EXPECT_EQ(prev(), "line 1");
  EXPECT_EQ(prev(), "<end>");
  sld.sld_lines_from(10);
  EXPECT_EQ(next(), "line 10");
  EXPECT_EQ(next(), "<end>");
  sld.sld_lines_from(11);
  EXPECT_EQ(next(), "<end>");
  EXPECT_EQ(sld.sld_line_has_point(2), 1);
  EXPECT_EQ(sld.sld_line_has_point(1), 0);
  EXPECT_EQ(sld.sld_exec_line(), 2u);
  EXPECT_EQ(sld.sld_shown_line_count(), 11u);

  // A module without source shows the disassembly from the PC.
  sld.sld_parse_record("A:M:asm$/none/asm.s09");
  int resets = host.top_resets;
  sld.sld_show_module(sld.sld_module_find("asm"));
  EXPECT_EQ(host.top_resets, resets + 1);
  EXPECT_EQ(sld.sld_module_is_asm(), 1);
  EXPECT_EQ(sld.sld_exec_line(), 1u);
  target.pc = 0x1004;
  sld.sld_lines_from(1);
  EXPECT_EQ(next(), "  1004 NOP");
  EXPECT_EQ(next(), "  1005 NOP");
  EXPECT_EQ(prev(), "<end>");
  sld.sld_show_module(nullptr);  // back to the execution module
  EXPECT_EQ(sld.sld_shown_is_exec(), 1);
}

// Cut and damaged records read without a crash or a hang.
TEST_F(SldReader, DamagedFilesAreSurvived) {
  std::string whole = load_file(dir.write("m.c", source_lines(10)));
  for (size_t cut = 0; cut < whole.size(); cut += 5) {
    sld.sld_read_debug_info(dir.write("cut.s19", whole.substr(0, cut)));
    std::string continued = whole.substr(0, cut) + "\\\n" + whole.substr(cut);
    sld.sld_read_debug_info(dir.write("cut.s19", continued));
  }
  const char* records[] = {"SX:C:T\\", "SX:C:T:\\", "SX", "SX:", "SX:C:M:", "SX:C:S:", "SX:C:S:L",
                           "SX:C:F", "SX:C:X:m", "SX:A:X:m:", "SX:C:Z:::::", "SX:C:s:"};
  std::string text = whole;
  for (const char* r : records) text += std::string(r) + "\n";
  EXPECT_EQ(sld.sld_read_debug_info(dir.write("odd.s19", text)), 1);
  const char* types[] = {"", " ", "x:", "x:typ16-x", "x:typ16-x a", "x:typ16-x A", "x:typ16-x A (",
                         "x:typ16-x Z", "x:typ16-x Z (", "x:typ16-x Z (4", "x:typ16-x Z (4)",
                         "x:typ16-x Z (4)S", "x:typ16-x Z (4)S t {a", "x:typ16-x Z (4)S t {a:(",
                         "x:typ16-x Z (4)S t {a:(1,", "x:typ17-x B", "x:typ18-x *", "(typ",
                         "typ1-"};
  for (const char* t : types) {
    sld.types().type_parse(t, false);
    sld.types().type_parse(t, true);
  }
}

TEST_F(SldReader, LargeProgram) {
  std::string file = dir.write("big.s19", synthetic_load_file(dir.dir(), 200, 5000));
  ASSERT_EQ(sld.sld_read_debug_info(file), 1);
  EXPECT_EQ(host.out, "Reading debug info\nEntry point '_f0_0'\n");
  EXPECT_EQ(sld.modules().size(), 200u);
  size_t points = 0, functions = 0;
  for (const auto& m : sld.modules()) {
    points += m->points.size();
    for (const DebugFunction& f : m->functions) {
      ++functions;
      EXPECT_EQ(f.locals.size(), 2u);
      ASSERT_NE(f.exit_point, nullptr);
      EXPECT_EQ(f.exit_point->address, f.end_address - 4);
    }
  }
  EXPECT_EQ(points, 5000u);
  EXPECT_EQ(functions, 1000u);
  ASSERT_EQ(sld.sld_globals().size(), 400u);
  for (const GlobalSymbol& g : sld.sld_globals())
    EXPECT_NE(sld.types().type_kind(g.type), KIND_EMPTY);
  const TypeRecord* node = sld.types().type_record(sld.sld_globals().back().type);
  ASSERT_NE(node, nullptr);
}

}  // namespace
}  // namespace zun::sld
