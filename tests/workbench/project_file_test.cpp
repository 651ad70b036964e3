// The project file and the workspace file: the golden project, round trips of
// every setting, the reader's key and list rules, line ends, the writer's
// failures, and the dependency scanner.
#include <algorithm>
#include <random>

#include "tests/workbench/project_support.h"

namespace zun::wb::test {
namespace {

class ProjectFileTest : public ProjectTest {
 protected:
  Project read_back(const std::string& path) {
    Project q;
    q.program_dir = bin_;
    q.set_path(path);
    EXPECT_TRUE(read_project_file(q, host, {}));
    q.open = true;
    return q;
  }
  static void expect_same(const Project& a, const Project& b) {
    EXPECT_EQ(a.files, b.files);
    EXPECT_EQ(a.debug, b.debug);
    EXPECT_EQ(a.final_, b.final_);
    EXPECT_EQ(a.sim_config(), b.sim_config());
    EXPECT_EQ(a.ext_makefile(), b.ext_makefile());
    EXPECT_EQ(a.terminal_lines, b.terminal_lines);
  }
};

TEST_F(ProjectFileTest, NewExecutableProjectMatchesTheGoldenFileAndReadsBackTheSame) {
  put(root_ + "/demo/main.c", "#include <ky09.h>\n#include \"io.h\"\nint main(void) { return 0; }\n");
  put(root_ + "/demo/io.h", "#define IO 1\n");
  Project p = new_project("demo");
  ASSERT_TRUE(p.add_file("main.c", "", 1, host));
  ASSERT_TRUE(p.add_file("io.h", "", 1, host));
  p.bring_startup_in_line(true, host);

  std::string golden = replace_all(slurp(std::string(ZUN_SOURCE_DIR) + "/tests/workbench/project/demo.m09"), "@ROOT@", root_);
  ASSERT_TRUE(written(write_project_file(p, host, {})));
  EXPECT_EQ(slurp(p.path()), golden);
  EXPECT_TRUE(temporaries().empty());

  Project q = read_back(p.path());
  expect_same(p, q);
  EXPECT_EQ(q.debug.type, project_type::executable);
  ASSERT_TRUE(written(write_project_file(q, host, {})));
  EXPECT_EQ(slurp(p.path()), golden);

  // Windows line ends read exactly the same.
  put(p.path(), replace_all(golden, "\n", "\r\n"));
  expect_same(p, read_back(p.path()));
  // And so do old Macintosh ones.
  put(p.path(), replace_all(golden, "\n", "\r"));
  expect_same(p, read_back(p.path()));
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(ProjectFileTest, EverySettingSurvivesARoundTrip) {
  put(root_ + "/demo/main.c", "");
  put(root_ + "/demo/sub/a.b.s09", "");
  put(root_ + "/demo/board.lsc", "");
  Project p = new_project("demo");
  p.add_file("main.c", "-O", 0, host);
  p.add_file("sub/a.b.s09", "", 1, host);
  p.add_file(root_ + "/demo/board.lsc", "", 1, host);
  for (const char* d : {"VER=1.2", "X=-1", "A"}) p.debug.add_item(Defines, d);
  p.debug.add_item(AsmDefines, "ROM=0xE000");
  p.debug.add_item(Undefines, "NDEBUG");
  p.debug.add_item(Includes, "./inc");
  p.debug.add_item(Includes, root_ + "/shared/include");
  p.final_.add_item(LibraryPaths, "../lib");
  p.final_.add_item(Libraries, "mine.e09");
  p.final_.obj_dir = "obj";
  p.final_.targ_dir = "out";
  p.debug.crt0 = "my_start.s09";
  p.debug.output_type = p.final_.output_type = 7;
  p.debug.std_include = p.final_.std_include = false;
  p.set_sim_config(root_ + "/demo/sim/board.m09sim");
  p.set_ext_makefile("ext.mak", "-x");
  p.terminal_lines = {"#+[Baud(0)(0)]=", "#+9600"};
  p.bring_startup_in_line(true, host);
  ASSERT_TRUE(written(write_project_file(p, host, {})));

  Project q = read_back(p.path());
  expect_same(p, q);
  EXPECT_EQ(q.sim_config_relative(), "./sim/board.m09sim");
  EXPECT_EQ(q.files[1].rel_dir, "./sub");
  // The linker script is named in the link rule.
  EXPECT_NE(slurp(p.path()).find("$(OBJ) \"" + root_ + "/demo/board.lsc\" \n"), std::string::npos);
  // The terminal's own functions take the "#+" lines once they are there.
  std::vector<std::string> taken;
  ProjectFileHooks hooks;
  hooks.read_terminal_setting = [&](std::string_view key, std::string_view value) {
    taken.emplace_back(key);
    taken.emplace_back(value);
  };
  hooks.terminal_text = [] { return std::string("#+[BackCol(0)]=\n#+7\n"); };
  Project r;
  r.program_dir = bin_;
  r.set_path(p.path());
  ASSERT_TRUE(read_project_file(r, host, hooks));
  EXPECT_EQ(taken, (std::vector<std::string>{"[Baud(0)(0)]=", "#+9600"}));
  EXPECT_TRUE(r.terminal_lines.empty());
  r.open = true;
  ASSERT_TRUE(written(write_project_file(r, host, hooks)));
  EXPECT_NE(slurp(p.path()).find("##EXTMAKEFILEPARAM=\"-x\"\n#+[BackCol(0)]=\n#+7\n#---"), std::string::npos);
}

// A key counts only at the start of its line: a define or an option text
// that holds a key's text changes nothing else.
TEST_F(ProjectFileTest, KeysCountOnlyAtTheStartOfTheirLine) {
  Project p = new_project("demo");
  p.debug.add_item(Defines, "OLD_LNFLAGS=-g");
  p.debug.add_item(AsmDefines, "##TARGETNAME=x");
  p.final_.add_item(Undefines, "CCFLAGS");
  p.final_.asflags = "-d ##OBJDIR=\"o\" ##TYPE L";
  p.bring_startup_in_line(true, host);
  fs::create_directories(p.dir());
  ASSERT_TRUE(written(write_project_file(p, host, {})));
  Project q = read_back(p.path());
  expect_same(p, q);
  EXPECT_EQ(q.debug.lnflags, "-g -i default.lsc");
  EXPECT_EQ(q.debug.type, project_type::executable);

  put(root_ + "/p/a.c", "");
  put(root_ + "/p/b.c", "");
  put(root_ + "/p/p.m09",
      "old setting: ##TYPE L\n"
      "##TYPE O\n"
      "##OBJDIR=\"o\"\n"
      "##CRT0=\"boot.s09\"\n"
      "FILES=\\\n"
      "\t\"a.c\" \"\" \"1\" \n"
      "DEFINES= \\\n"
      "\tONE \\\n"
      "\tTWO=2\n"
      "##TARGETNAME=\"t\"\n");
  Project r = read_back(root_ + "/p/p.m09");
  EXPECT_EQ(r.debug.type, project_type::relocatable);
  EXPECT_EQ(r.final_.type, project_type::relocatable);
  // A header without the blank before its backslash still opens the list.
  ASSERT_FALSE(r.files.empty());
  EXPECT_EQ(r.files[0].path, root_ + "/p/a.c");
  EXPECT_EQ(r.debug.target_name, "t");
  EXPECT_EQ(r.debug.targ_dir, "o");
  EXPECT_TRUE(r.debug.use_startup);  // without the key: a startup path is set
  EXPECT_EQ(r.debug.list(Defines), (std::vector<std::string>{"ONE", "TWO=2"}));
}

// What make reads from the file is what the settings say: an option text or
// a define that ends in a backslash does not swallow the line after it.
TEST_F(ProjectFileTest, MakeReadsEverySettingApart) {
  put(root_ + "/demo/main.c", "int main(void) { return 0; }\n");
  Project p = new_project("demo");
  ASSERT_TRUE(p.add_file("main.c", "", 1, host));
  p.debug.ccflags = "-w4 -Iinc\\";
  p.debug.add_item(Defines, "DIR=C:\\");
  ASSERT_TRUE(written(write_project_file(p, host, {})));
  fs::create_directories(p.dir() + "/debug");
  fs::current_path(p.dir());
  run_make({"-f" + p.path(), "-c", "Debug"});
  EXPECT_TRUE(printed("'debug/demo_Debug.s19' - 0 Error(s)")) << out;
  ASSERT_EQ(runner.programs(), (std::vector<std::string>{"cpp", "tcx09", "hasm09", "vlk"})) << out;
  const std::vector<std::string>& cpp = runner.calls[0].args;
  EXPECT_NE(std::find(cpp.begin(), cpp.end(), "-DDIR=C:\\"), cpp.end());
  const std::vector<std::string>& vlk = runner.calls[3].args;
  EXPECT_NE(std::find(vlk.begin(), vlk.end(), "default.lsc"), vlk.end());
  Project q = read_back(p.path());
  EXPECT_EQ(q.debug, p.debug);

  // Quoted names of rules may hold '=' and ':': no macro is made of them.
  p.debug.obj_dir = p.debug.targ_dir = "out=1:2";
  p.debug.target_name = "demo=x";
  ASSERT_TRUE(written(write_project_file(p, host, {})));
  fs::create_directories(p.dir() + "/out=1:2");
  runner.calls.clear();
  run_make({"-f" + p.path(), "-c", "Debug"});
  EXPECT_TRUE(printed("'out=1:2/demo=x.s19' - 0 Error(s)")) << out;
  EXPECT_EQ(runner.programs(), (std::vector<std::string>{"cpp", "tcx09", "hasm09", "vlk"})) << out;
}

// Random texts typed into every field of the settings dialogs (quotes,
// blanks, backslashes, commas, key texts) come back byte for byte, and the
// file written from what was read is the same file.
TEST_F(ProjectFileTest, EveryDialogValueRoundTripsByteForByte) {
  std::mt19937 rng(20261209u);
  const std::string alphabet = "aZ09_-.=,/\\\"' #:$x";
  auto text = [&](size_t most) {
    std::string t;
    for (size_t n = rng() % (most + 1); n > 0; --n) t += alphabet[rng() % alphabet.size()];
    return t;
  };
  auto some = [&](size_t most) {
    std::string t;
    while (t.empty()) t = text(most);
    return t;
  };
  const char* sources[] = {"main.c", "sub/io.s09", "b \"c\".c"};
  for (const char* f : sources) put(root_ + "/demo/" + f, "");
  for (int round = 0; round < 60; ++round) {
    Project p = new_project("demo");
    for (const char* f : sources) ASSERT_TRUE(p.add_file(f, text(40), static_cast<int>(rng() % 2), host));
    if (round == 0) p.files[0].options = "-I\"my dir\"";
    for (ProjectConfig* c : {&p.debug, &p.final_}) {
      c->target_name = text(40);
      c->obj_dir = text(20);
      c->targ_dir = some(20);
      c->asflags = text(60);
      c->ccflags = text(60);
      c->lnflags = text(200);
      c->crt0 = round % 3 ? text(20) : "";
      c->std_include = rng() % 2;
      c->std_library = rng() % 2;
      for (int k = 0; k < list_kind_count; ++k) {
        c->lists[k].clear();
        for (const std::string& item : split_list_text(ListKind(k), text(80), p.dir())) c->add_item(ListKind(k), item);
      }
    }
    p.debug.use_startup = p.final_.use_startup = rng() % 2;
    p.bring_startup_in_line(p.debug.use_startup, host);
    p.open_files = {p.files[2].path, p.files[1].path};
    ASSERT_TRUE(written(write_project_file(p, host, {})));
    const std::string text_written = slurp(p.path());
    Project q = read_back(p.path());
    expect_same(p, q);
    EXPECT_EQ(q.open_files, p.open_files);
    EXPECT_TRUE(q.read_problems.empty()) << text_written;
    ASSERT_TRUE(written(write_project_file(q, host, {})));
    EXPECT_EQ(slurp(p.path()), text_written);
    if (round == 0) {
      EXPECT_EQ(q.files[0].options, "-I\"my dir\"");
      EXPECT_NE(text_written.find("\tCOMP  $(CCFLAGS) $(DEF) $(UNDEF)   -I\"my dir\""), std::string::npos);
    }
    if (testing::Test::HasFailure()) {
      ADD_FAILURE() << "round " << round << ":\n" << text_written;
      break;
    }
  }
  EXPECT_TRUE(host.errors.empty());
}

// Damage that a hand edit or a cut file leaves in a list: where its meaning
// is clear the list is read past it; where it is not, nothing is dropped and
// the line is named.
TEST_F(ProjectFileTest, DamagedListsKeepEveryFile) {
  const std::string example =
      slurp(std::string(ZUN_SOURCE_DIR) + "/data/examples/ky09demo/ky09demo.m09");
  const std::string main_line = "\t\".\\main.c\" \"\" \"1\"  \\\n";
  ASSERT_NE(example.find("FILES= \\\n" + main_line), std::string::npos);
  struct Damage {
    const char* what;
    std::string from, to;
    int problem_line;  // 0: read past without a problem
  };
  const Damage damages[] = {
      {"blank after the header", "FILES= \\\n", "FILES= \\ \t\n", 0},
      {"empty line", main_line, main_line + "\n", 0},
      {"comment line", main_line, main_line + "# console and header below\n", 0},
      {"stray terminal line", "FILES= \\\n", "#+[Baud(0)(0)]=\nFILES= \\\n#+[Dtr(0)(0)]=\n", 0},
      {"missing field", "\".\\console.c\" \"\" \"1\"", "\".\\console.c\" \"\"", 19},
      {"flags no number", "\".\\console.c\" \"\" \"1\"", "\".\\console.c\" \"\" \"one\"", 19},
      {"no file named", main_line, main_line + "\t-- \\\n", 19},
      {"backslash missing", main_line, "\t\".\\main.c\" \"\" \"1\"\n", 0},
      {"header without its backslash", "FILES= \\\n", "FILES=\n", 0},
      {"header misspelt", "FILES= \\\n", "FILE = \\\n", 0},
      {"header lost", "FILES= \\\n", "", 0},
  };
  const std::string dir = root_ + "/ky09demo";
  for (const Damage& d : damages) {
    std::string text = example;
    text.replace(text.find(d.from), d.from.size(), d.to);
    put(dir + "/ky09demo.m09", text);
    Project q = read_back(dir + "/ky09demo.m09");
    std::vector<std::string> names;
    for (const ProjectFile& f : q.files) names.push_back(f.name);
    EXPECT_EQ(names, (std::vector<std::string>{"main.c", "console.c", "ky09demo.h", "_startup.s09"})) << d.what;
    if (d.problem_line == 0) {
      EXPECT_TRUE(q.read_problems.empty()) << d.what;
    } else {
      ASSERT_EQ(q.read_problems.size(), 1u) << d.what;
      EXPECT_EQ(q.read_problems[0].line, d.problem_line) << d.what;
    }
    EXPECT_EQ(q.debug.target_name, "ky09demo_Debug") << d.what;
  }

  // The other lists' headers, damaged the same ways, keep their items too.
  for (const char* header : {"DEFINES=\n", "DEFINES =  \\\n", "LIBRARIES=\n"}) {
    std::string text = example;
    const std::string name = std::string(header).substr(0, std::string(header).find_first_of(" ="));
    text.replace(text.find("\n" + name + "= \\\n") + 1, name.size() + 4, header);
    put(dir + "/ky09demo.m09", text);
    Project q = read_back(dir + "/ky09demo.m09");
    EXPECT_EQ(q.debug.list(Defines), std::vector<std::string>{"_DEBUG"}) << header;
    EXPECT_EQ(q.debug.list(Libraries), (std::vector<std::string>{"libcd.e09", "libed.e09", "librtkd.e09"})) << header;
    EXPECT_TRUE(q.read_problems.empty()) << header;
  }
}

// A file cut short inside a configuration section has lost settings that
// cannot be told: the reader names its last line, so the project stays
// read-only (make refuses such a file as well).
TEST_F(ProjectFileTest, AFileCutShortInsideASectionIsNamed) {
  const std::string example =
      slurp(std::string(ZUN_SOURCE_DIR) + "/data/examples/ky09demo/ky09demo.m09");
  const std::string path = root_ + "/ky09demo/ky09demo.m09";
  struct Cut {
    size_t at;
    const char* section;
  };
  for (const Cut& cut : {Cut{example.find("CCFLAGS="), "Debug"}, Cut{example.rfind("-i default.lsc"), "Final"},
                         Cut{example.rfind("\n!EICONF\tFinal"), "Final"}}) {
    const std::string text = example.substr(0, cut.at);
    put(path, text);
    Project q = read_back(path);
    ASSERT_EQ(q.read_problems.size(), 1u) << cut.at;
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n') + (text.back() != '\n'));
    EXPECT_EQ(q.read_problems[0].line, lines) << cut.at;  // the last one
    EXPECT_EQ(q.read_problems[0].text, std::string("the file ends inside its '") + cut.section + "' section")
        << cut.at;
  }
  put(path, example);
  EXPECT_TRUE(read_back(path).read_problems.empty());
}

TEST_F(ProjectFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  Project p = new_project("demo");
  // A project "file" that is a directory with something in it cannot be
  // replaced by a rename.
  put(p.path() + "/keep", "old");
  EXPECT_FALSE(written(write_project_file(p, host, {})));
  EXPECT_EQ(host.output, "Can't rename project makefile\n");
  EXPECT_EQ(slurp(p.path() + "/keep"), "old");
  EXPECT_TRUE(temporaries().empty());

  Project bad = new_project("bad");
  bad.debug.type = 9;
  put(bad.path(), "old");
  EXPECT_FALSE(written(write_project_file(bad, host, {})));
  EXPECT_EQ(host.errors, std::vector<std::string>{"The project seems to be corrupted, you should recreate it."});
  EXPECT_EQ(slurp(bad.path()), "old");
}

TEST_F(ProjectFileTest, WorkspaceKeepsRealProjectNamesAndMarksMissingProjects) {
  put(root_ + "/a/a.b.m09", "");
  put(root_ + "/c.m09", "");
  Workspace ws;
  ws.set_path(root_ + "/ws.w09");
  ASSERT_TRUE(ws.add_project(root_ + "/a/a.b.m09", host));
  ASSERT_TRUE(ws.add_project("c.m09", host));
  EXPECT_FALSE(ws.add_project("a/a.b.m09", host));
  EXPECT_EQ(host.errors, std::vector<std::string>{"This project is already in the workspace"});
  EXPECT_EQ(ws.projects[0].name, "a");
  ASSERT_TRUE(write_workspace(ws));
  EXPECT_EQ(slurp(ws.path()), "#Zun V 2.0 26 February 2013), Workspace\n./a\\a.b.m09\n.\\c.m09");

  host.errors.clear();
  put(ws.path(), "#Zun V 2.0 26 February 2013), Workspace\r\n./a\\a.b.m09\r\n gone.m09\r\nmissing\\x.m09\r\n.\\c.m09\r\n");
  Workspace back;
  back.set_path(ws.path());
  EXPECT_FALSE(read_workspace(back, host));
  ASSERT_EQ(back.projects.size(), 3u);
  EXPECT_EQ(back.projects[0].path, root_ + "/a/a.b.m09");
  EXPECT_EQ(back.projects[1].path, root_ + "/missing/x.m09");
  EXPECT_TRUE(back.projects[1].missing);
  EXPECT_EQ(back.projects[2].path, root_ + "/c.m09");
  EXPECT_FALSE(back.changed);
  EXPECT_EQ(host.errors,
            std::vector<std::string>{"Project file: 'missing\\x.m09' can't be found; it stays in the workspace"});
}

// A file that is away (an unmounted folder) leaves the project only when the
// user agrees; the project file keeps it otherwise.
TEST_F(ProjectFileTest, MissingFilesLeaveTheProjectOnlyWhenTheUserAgrees) {
  Project p = new_project("demo");
  put(p.dir() + "/main.c", "int main(void) { return 0; }\n");
  put(p.dir() + "/away.c", "int away;\n");
  ASSERT_TRUE(p.add_file(p.dir() + "/main.c", "", 1, host));
  ASSERT_TRUE(p.add_file(p.dir() + "/away.c", "", 1, host));
  ASSERT_TRUE(written(write_project_file(p, host, {})));
  fs::remove(p.dir() + "/away.c");
  put(root_ + "/ws.w09", "#Zun V 2.0 26 February 2013), Workspace\n./demo\\demo.m09");

  ProjectSession session(host, bin_);
  std::vector<std::string> listed;
  session.on_activated = [&](const Project& q) { listed.push_back(q.name()); };
  ASSERT_TRUE(session.open_workspace(root_ + "/ws.w09"));
  EXPECT_EQ(listed, (std::vector<std::string>{"demo", "demo"}));
  EXPECT_NE(slurp(p.path()).find("away.c"), std::string::npos);
  EXPECT_NE(session.project.find_by_name("away.c"), nullptr);

  host.remove_missing = true;
  ASSERT_TRUE(session.activate("demo"));
  EXPECT_EQ(session.project.find_by_name("away.c"), nullptr);
  EXPECT_NE(session.project.find_by_name("main.c"), nullptr);
  EXPECT_EQ(slurp(p.path()).find("away.c"), std::string::npos);
  EXPECT_EQ(host.statuses.back(), "File '" + p.dir() + "/away.c' can't be opened and will be removed from the project");
}

// Every project shows the C/assembler groups; kinds without a group of
// their own (linker scripts, Ada files, unknown ones) go to "Others".
TEST_F(ProjectFileTest, TreeGroupsAndFilePropertyTexts) {
  EXPECT_EQ(file_group_of("/x/boot.S09"), 0);
  EXPECT_EQ(file_group_of("/x/main.c"), 1);
  EXPECT_EQ(file_group_of("/x/io.h"), 2);
  for (const char* other : {"/x/map.lsc", "/x/pkg.adb", "/x/pkg.ads", "/x/notes.txt", "/x/noext"})
    EXPECT_EQ(file_groups[file_group_of(other)], "Others") << other;
  EXPECT_EQ(file_size_text(300), "300 (0x12C) bytes");
  EXPECT_EQ(file_size_text(std::nullopt), "Unknown");
  EXPECT_EQ(file_time_text(1, 7, 3, 2011, 9, 5, 0), "Monday 7 March 2011, 09:05:00 ");
  EXPECT_EQ(file_time_text(7, 7, 3, 2011, 9, 5, 0), "Unknown");
}

// ---- dependencies ----

class DependencyTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    d_ = root_ + "/demo";
    put(d_ + "/main.c",
        "#include \"a.h\"\n"
        "#include <ky09.h>\n"
        "#include <lib.h>\n"
        "/* a comment over lines\n"
        "#include \"hidden.h\"\n"
        "*/ #include \"c.h\" // the include before the comment counts\n"
        "// #include \"hidden.h\"\n"
        "const char* s = \"/*\";\n"
        "#  include \"e.h\"\n");
    put(d_ + "/util.c", "#include \"a.h\"\n");
    put(d_ + "/a.h", "#include \"b.h\"\n");
    put(d_ + "/b.h", "#include \"a.h\"\n#include \"b.h\"\n");  // a cycle, and itself
    for (const char* h : {"/hidden.h", "/c.h", "/e.h"}) put(d_ + h, "");
    put(d_ + "/inc/lib.h", "");
    put(d_ + "/start.s09", " USE \"defs.inc\"\n* use \"no.h\"\n");
    put(d_ + "/defs.inc", "");
    p_ = new_project("demo");
    p_.debug.add_item(Includes, "./inc");
    for (const char* f : {"main.c", "util.c", "a.h", "b.h", "start.s09"}) p_.add_file(f, "", 1, host);
  }
  std::vector<std::string> deps(const std::string& source, bool list_all) {
    std::vector<std::string> found = scan_dependencies(p_, d_ + "/" + source, list_all, host);
    for (std::string& f : found) f = replace_all(f, root_, "@");
    return found;
  }
  std::string d_;
  Project p_;
};

TEST_F(DependencyTest, IncludesAreFollowedAsThePreprocessorSeesThem) {
  EXPECT_EQ(deps("main.c", false), (std::vector<std::string>{"@/demo/main.c", "@/demo/a.h", "@/demo/b.h",
                                                             "@/demo/inc/lib.h", "@/demo/c.h", "@/demo/e.h"}));
  // The file properties' list names the standard header too.
  EXPECT_EQ(deps("main.c", true),
            (std::vector<std::string>{"@/demo/main.c", "@/demo/a.h", "@/demo/b.h", "@/tools/include/ky09.h",
                                      "@/demo/inc/lib.h", "@/demo/c.h", "@/demo/e.h"}));
  EXPECT_EQ(deps("util.c", false), (std::vector<std::string>{"@/demo/util.c", "@/demo/a.h", "@/demo/b.h"}));
  EXPECT_EQ(deps("start.s09", false), (std::vector<std::string>{"@/demo/start.s09", "@/demo/defs.inc"}));
  EXPECT_EQ(host.output, "Warning: File 'defs.inc' is not recognised, scanner assumes C-style\n");

  // Each source lists its own dependencies in the project file.
  ASSERT_TRUE(written(write_project_file(p_, host, {})));
  std::string text = slurp(p_.path());
  EXPECT_NE(text.find("\"debug\\util.o09\":\t\\\n\t\"" + d_ + "/util.c\"\\\n\t\"" + d_ + "/a.h\"\\\n\t\"" + d_ +
                      "/b.h\"\n\tCOMP "),
            std::string::npos);
}

TEST_F(DependencyTest, LongNamesAreNotCut) {
  std::string name;
  for (int i = 0; i < 6; ++i) name += std::string(50, char('a' + i)) + "/";
  name += "x";
  put(d_ + "/" + name + ".h", "");
  put(d_ + "/long.c", "#include \"" + name + ".h\"\n");
  EXPECT_EQ(deps("long.c", false), (std::vector<std::string>{"@/demo/long.c", "@/demo/" + name + ".h"}));
}

}  // namespace
}  // namespace zun::wb::test
