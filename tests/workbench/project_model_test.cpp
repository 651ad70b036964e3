// The project model: new-project defaults, which files may join a project,
// the settings dialog's working copy, its list texts and the name checks.
#include "tests/workbench/project_support.h"

namespace zun::wb::test {
namespace {

using Items = std::vector<std::string>;

TEST_F(ProjectTest, NewProjectsStartFromTheDefaultsOfTheirType) {
  Project p = new_project("demo");
  EXPECT_EQ(p.debug.target_name, "demo_Debug");
  EXPECT_EQ(p.final_.target_name, "demo_Final");
  EXPECT_EQ(p.debug.obj_dir + p.debug.targ_dir + p.final_.obj_dir + p.final_.targ_dir, "debugdebugfinalfinal");
  EXPECT_EQ(p.debug.list(Libraries), (Items{"libcd.e09", "libed.e09", "librtkd.e09"}));
  EXPECT_EQ(p.final_.list(Libraries), (Items{"libc.e09", "libe.e09", "librtk.e09"}));
  EXPECT_EQ(p.debug.list(Defines), Items{"_DEBUG"});
  EXPECT_TRUE(p.final_.list(Defines).empty());
  EXPECT_EQ(p.work, p.debug);
  EXPECT_TRUE(p.debug.use_startup);
  EXPECT_EQ(p.load_file(), root_ + "/demo/debug/demo_Debug.s19");

  p.new_project_defaults(project_type::library);
  EXPECT_EQ(p.final_.lnflags, "-Ac");
  EXPECT_FALSE(p.debug.use_startup);
  EXPECT_TRUE(p.debug.list(Libraries).empty());
  EXPECT_EQ(p.load_file(), root_ + "/demo/debug/demo_Debug.e09");
}

TEST_F(ProjectTest, TwoSourcesNeverWriteOneObject) {
  Project p = new_project("demo");
  ASSERT_TRUE(p.add_file("sub/main.c", "", 1, host));
  ASSERT_TRUE(p.add_file("io.h", "", 1, host));
  ASSERT_TRUE(p.add_file("a.b.c", "", 1, host));
  EXPECT_FALSE(p.add_file("main.c", "", 1, host));
  EXPECT_FALSE(p.add_file("MAIN.s09", "", 1, host));
  EXPECT_FALSE(p.add_file("A.x.s09", "", 1, host));  // both would write a.o09
  EXPECT_FALSE(p.add_file(root_ + "/demo/io.h", "", 1, host));
  EXPECT_TRUE(p.add_file("sub/io.h", "", 1, host));  // headers write no object
  std::string d = root_ + "/demo/";
  EXPECT_EQ(host.errors,
            (Items{"File '" + d + "main.c' can't be added to the project since it would introduce a multiply defined "
                   "object module",
                   "File '" + d + "MAIN.s09' can't be added to the project since it would introduce a multiply "
                   "defined object module",
                   "File '" + d + "A.x.s09' can't be added to the project since it would introduce a multiply "
                   "defined object module",
                   "File '" + d + "io.h' is already in the project"}));
  EXPECT_EQ(p.files[0].rel_dir, "./sub");
  EXPECT_EQ(object_name(p.files[2].path), "a.o09");
  EXPECT_TRUE(p.remove_file(d + "SUB/../sub/Main.C"));
  EXPECT_EQ(p.files.size(), 3u);

  // The startup file follows its flag.
  p.bring_startup_in_line(true, host);
  EXPECT_NE(p.find_by_path(root_ + "/tools/src/startup/zun09/_startup.s09"), nullptr);
  p.bring_startup_in_line(false, host);
  EXPECT_EQ(p.find_by_path(root_ + "/tools/src/startup/zun09/_startup.s09"), nullptr);
}

TEST_F(ProjectTest, SettingsKeepBothConfigurationsUntilOkAndCancelKeepsTheFlag) {
  Project p = new_project("demo");
  p.settings_begin();
  p.work.ccflags = "-O";
  p.settings_switch(config_id::final_);
  EXPECT_EQ(p.work.ccflags, "-w4 -O");
  p.work.ccflags = "-w1";
  p.settings_switch(config_id::debug);
  EXPECT_EQ(p.work.ccflags, "-O");
  p.settings_ok();
  EXPECT_EQ(p.debug.ccflags, "-O");
  EXPECT_EQ(p.final_.ccflags, "-w1");
  EXPECT_TRUE(p.settings_changed);

  // Cancel forgets the edits, not an earlier OK whose changes are not built yet.
  p.settings_begin();
  p.work.ccflags = "-x";
  p.settings_cancel();
  EXPECT_EQ(p.debug.ccflags, "-O");
  EXPECT_TRUE(p.settings_changed);

  p.settings_begin();
  p.work.asflags = "changed";
  p.apply_default_rows(Project::Rows::Assembler);
  EXPECT_EQ(p.work.asflags, "-g -e");
  EXPECT_EQ(p.work.list(AsmDefines), Items{"_DEBUG"});
}

TEST_F(ProjectTest, ListTextsSplitIntoItems) {
  const std::string dir = root_ + "/demo";
  EXPECT_EQ(split_list_text(Defines, "A,B=1 C", dir), (Items{"A", "B=1", "C"}));
  EXPECT_EQ(split_list_text(AsmDefines, " VER=1.2, X=-1 ,A,A", dir), (Items{"VER=1.2", "X=-1", "A"}));
  EXPECT_EQ(split_list_text(Undefines, "NDEBUG;X-Y", dir), (Items{"NDEBUG", "X", "Y"}));
  EXPECT_EQ(split_list_text(Includes, "\"" + dir + "/my inc\", ../shared " + dir + "/inc", dir),
            (Items{"./my inc", "../shared", "./inc"}));
  EXPECT_EQ(split_list_text(Libraries, "a.e09,\"b c.e09\"", dir), (Items{"a.e09", "b c.e09"}));
  bool cut = false;
  EXPECT_EQ(join_list_text({"A", "B=1"}, cut), "A,B=1");
  EXPECT_FALSE(cut);
  EXPECT_EQ(join_list_text({std::string(1000, 'x'), std::string(30, 'y')}, cut), std::string(1000, 'x'));
  EXPECT_TRUE(cut);
  EXPECT_EQ(list_cut_message(LibraryPaths), "List of LIBRARY PATH is exhausted, not all items were saved");
}

TEST_F(ProjectTest, NamesOfWorkspacesAndProjectsAreChecked) {
  EXPECT_TRUE(check_workspace_name("/x/my-ws_1.w09", host));
  EXPECT_FALSE(check_workspace_name("/x/ws.m09", host));
  EXPECT_FALSE(check_project_name("/x/my proj.m09", host));
  EXPECT_TRUE(check_project_name("/x.y/demo.M09", host));
  EXPECT_EQ(host.errors, (Items{"The Workspace name has wrong extension (should be 'w09')",
                                "The Project name contains invalid characters"}));
}

// A copy of a project whose objects and load file came along names the
// first folder's sources in its debug records: the debugger must not show
// them as the copy's own without a word.
TEST_F(ProjectTest, ALoadFileMadeFromAnotherFoldersSourcesIsNamed) {
  for (const char* f : {"/first/demo/main.c", "/first/demo/console.c", "/copy/demo/main.c", "/copy/demo/console.c",
                        "/other/prog.c"})
    put(root_ + f, "int x;\n");
  Project p;
  p.program_dir = bin_;
  p.set_path(root_ + "/copy/demo/demo.m09");
  p.new_project_defaults(project_type::executable);
  p.open = true;
  ASSERT_TRUE(p.add_file("main.c", "", 1, host));
  ASSERT_TRUE(p.add_file("console.c", "", 1, host));
  const std::string load = root_ + "/copy/demo/debug/demo_Debug.s19";
  const std::string startup = root_ + "/tools/src/startup/zun09/_startup.s09";
  EXPECT_EQ(sources_elsewhere_note(p, load, {startup, root_ + "/first/demo/main.c", root_ + "/first/demo/console.c"}),
            "The sources of 'demo_Debug.s19' lie in another folder, '" + root_ + "/first/demo': build first\n");
  // One of them is enough, also when the first folder has gone.
  EXPECT_NE(sources_elsewhere_note(p, load, {root_ + "/copy/demo/main.c", root_ + "/gone/demo/console.c"}), "");
  // Its own sources, also by another way there (a link, a Windows path),
  // and another program's sources of other names are no news.
  fs::create_directory_symlink(root_ + "/copy", root_ + "/link");
  EXPECT_EQ(sources_elsewhere_note(p, load, {startup, root_ + "/copy/demo/main.c", root_ + "/link/demo/console.c"}), "");
  EXPECT_EQ(sources_elsewhere_note(p, load, {root_ + "\\copy\\demo\\main.c"}), "");
  EXPECT_EQ(sources_elsewhere_note(p, root_ + "/other/prog.s19", {root_ + "/other/prog.c", startup}), "");
  EXPECT_EQ(sources_elsewhere_note(p, load, {}), "");
}

}  // namespace
}  // namespace zun::wb::test
