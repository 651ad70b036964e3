// The build commands with the staged tools on a copy of the example
// workspace: through a session as the workbench drives it, and through
// zbuild; the program runs under run09.
#include <stdio.h>

#include <chrono>

#include "tests/workbench/project_support.h"
#include "workbench/build/spawn_runner.h"

namespace zun::wb::test {
namespace {

class BuildTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    const char* stage = std::getenv("ZUN_STAGE");
    const char* source = ZUN_SOURCE_DIR;
    ASSERT_NE(stage, nullptr);
    stage_bin_ = std::string(stage) + "/bin";
    fs::copy(std::string(source) + "/data/examples", root_ + "/examples", fs::copy_options::recursive);
    ws_ = root_ + "/examples/ky09demo.w09";
    pd_ = root_ + "/examples/ky09demo";
  }

  // Output and exit code of a shell command line.
  static std::pair<std::string, int> run(const std::string& command) {
    std::string text;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
    int status = pclose(p);
    return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  }
  std::pair<std::string, int> zbuild(const std::string& args) { return run(stage_bin_ + "/zbuild " + ws_ + " " + args); }
  static void touch_later(const std::string& name, int seconds) {
    fs::last_write_time(name, fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
  }
  std::vector<std::string> built_files() const {
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(pd_)) {
      std::string ext = e.path().extension().string();
      if (ext == ".o09" || ext == ".s19") found.push_back(e.path().string());
    }
    return found;
  }

  std::string stage_bin_, ws_, pd_;
};

TEST_F(BuildTest, BuildRunsAndRebuildsOnlyWhatChanged) {
  SpawnRunner runner([this](std::string_view text) { host.out(text); }, stage_bin_);
  ProjectSession session(host, stage_bin_);
  session.runner = &runner;
  session.command_line(ws_);
  ASSERT_TRUE(session.project.open);
  EXPECT_EQ(host.opened, std::vector<std::string>{pd_ + "/main.c"});

  const std::string head = "------------- Build Debug 'ky09demo_Debug.s19'\n";
  const std::string tail = "linking...\n'debug/ky09demo_Debug.s19' - 0 Error(s)\n";
  EXPECT_TRUE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_EQ(host.output, head + "compiling...\nmain.c\nconsole.c\nassembling...\n_startup.s09\n" + tail);
  EXPECT_EQ(session.project.load_file(), pd_ + "/debug/ky09demo_Debug.s19");
  auto [console, code] = run("printf 'hi\\rq' | " + stage_bin_ + "/run09 " + session.project.load_file());
  EXPECT_EQ(code, 0);
  EXPECT_EQ(console,
            "Hello from the KY09 board!\r\nType something; q ends the demo.\r\nhi\r\n\r\nGoodbye.\r\n");

  EXPECT_TRUE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_EQ(host.output, head + tail);
  touch_later(pd_ + "/ky09demo.h", 10);
  EXPECT_TRUE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_EQ(host.output, head + "compiling...\nmain.c\nconsole.c\n" + tail);
  touch_later(pd_ + "/ky09demo.h", -100);

  // Settings OK writes the project file at once; the next Build remakes
  // everything, the one after it only what is out of date.
  session.project.settings_begin();
  session.project.work.ccflags = "-g -w4";
  ASSERT_TRUE(session.settings_ok());
  EXPECT_NE(slurp(session.project.path()).find("\nCCFLAGS=-g -w4\n"), std::string::npos);
  EXPECT_TRUE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_EQ(host.output.substr(0, 51), "------------- Build All Debug 'ky09demo_Debug.s19'\n");
  EXPECT_NE(host.output.find("_startup.s09"), std::string::npos);
  EXPECT_TRUE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_EQ(host.output, head + tail);

  // The old target goes before the run, and only the project's.
  put(root_ + "/debug/ky09demo_Debug.s19", "not the project's");
  fs::current_path(root_);
  put(pd_ + "/main.c", slurp(pd_ + "/main.c") + "int broken( { }\n");
  touch_later(pd_ + "/main.c", 20);
  EXPECT_FALSE(session.build(BuildCommand::BuildMenu).ok());
  EXPECT_NE(host.output.find("compiling...\nmain.c\n\"" + pd_ + "/main.c\" ("), std::string::npos) << host.output;
  EXPECT_FALSE(fs::exists(session.project.load_file()));
  EXPECT_EQ(slurp(root_ + "/debug/ky09demo_Debug.s19"), "not the project's");
  EXPECT_EQ(fs::current_path(), fs::path(root_));
  EXPECT_TRUE(temporaries().empty());
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(BuildTest, ZbuildBuildsBothConfigurationsAndCleansThem) {
  auto [out, code] = zbuild("--build");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out,
            "------------- Build Debug 'ky09demo_Debug.s19'\ncompiling...\nmain.c\nconsole.c\nassembling...\n"
            "_startup.s09\nlinking...\n'debug/ky09demo_Debug.s19' - 0 Error(s)\n");
  std::tie(out, code) = zbuild("--config Final --build-all");
  EXPECT_EQ(code, 0);
  EXPECT_NE(out.find("------------- Build All Final 'ky09demo_Final.s19'\ncompiling...\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(pd_ + "/final/ky09demo_Final.s19"));
  std::tie(out, code) = zbuild("--make " + pd_ + "/console.c");
  EXPECT_EQ(out, "------------- Make (Debug) 'console.o09'\ncompiling...\nconsole.c\n'debug/console.o09' - 0 Error(s)\n");
  std::tie(out, code) = zbuild("--update-deps");
  EXPECT_EQ(out, "Done updated dependencies\n");
  EXPECT_EQ(code, 0);

  std::tie(out, code) = zbuild("--clean");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out, "------------- Cleaning Debug 'ky09demo_Debug.s19'\n'clean' - 0 Error(s)\n");
  EXPECT_EQ(built_files(), std::vector<std::string>{});

  std::tie(out, code) = zbuild("--project nothere --build");
  EXPECT_EQ(code, 1);
  std::tie(out, code) = run(stage_bin_ + "/zbuild " + pd_ + "/ky09demo.m09 --build");
  EXPECT_EQ(out, "zbuild: Don't recognise this file type...\n");
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(temporaries().empty());
}

// A workspace copied after a build carries objects that are newer than the
// copied sources but were made from the first copy's: the copy's build makes
// them again, so that its program's debug records name the copy's own
// sources, whether the first copy is still there or not, and also after a
// command that rewrote the project file first.
TEST_F(BuildTest, ACopiedWorkspaceBuildsFromItsOwnSources) {
  const std::string full = "------------- Build Debug 'ky09demo_Debug.s19'\ncompiling...\nmain.c\nconsole.c\n"
                           "assembling...\n_startup.s09\nlinking...\n'debug/ky09demo_Debug.s19' - 0 Error(s)\n";
  auto [out, code] = zbuild("--build");
  ASSERT_EQ(out, full);
  auto copy = [&](const std::string& to) {
    fs::copy(root_ + "/examples", to, fs::copy_options::recursive);
    for (const char* object : {"main.o09", "console.o09", "_startup.o09"})
      touch_later(to + "/ky09demo/debug/" + object, 5);
  };
  auto check = [&](const std::string& copy_dir, const std::string& first_args) {
    const std::string ws = copy_dir + "/ky09demo.w09";
    if (!first_args.empty()) {
      EXPECT_EQ(run(stage_bin_ + "/zbuild " + ws + " " + first_args).second, 0);
    }
    auto [built, rc] = run(stage_bin_ + "/zbuild " + ws + " --build");
    EXPECT_EQ(rc, 0);
    std::string removed;
    for (const char* object : {"main", "console", "_startup"})
      removed += "Removed 'debug/" + std::string(object) + ".o09', made from the sources of another folder\n";
    EXPECT_EQ(built, full.substr(0, full.find('\n') + 1) + removed + full.substr(full.find('\n') + 1)) << copy_dir;
    std::string load = slurp(copy_dir + "/ky09demo/debug/ky09demo_Debug.s19");
    EXPECT_NE(load.find("SX:C:M:main$" + copy_dir + "/ky09demo/main.c\n"), std::string::npos) << copy_dir;
    EXPECT_NE(load.find("SX:C:M:console$" + copy_dir + "/ky09demo/console.c\n"), std::string::npos) << copy_dir;
    EXPECT_EQ(load.find(pd_), std::string::npos) << copy_dir;
    // Built where it is, it stays up to date.
    EXPECT_EQ(run(stage_bin_ + "/zbuild " + ws + " --build").first,
              "------------- Build Debug 'ky09demo_Debug.s19'\nlinking...\n'debug/ky09demo_Debug.s19' - 0 Error(s)\n");
  };
  copy(root_ + "/copy1");
  copy(root_ + "/copy2");
  check(root_ + "/copy1", "");
  fs::remove_all(root_ + "/examples");
  check(root_ + "/copy2", "--update-deps");
}

// Before a build only objects go, and only at the place the build writes
// them, when they were made elsewhere: not a user's files that share an
// object's name in a folder another configuration's objects go to (given
// as a full path, with "..", or through a link), nor a user's file in the
// project folder named like the object of a source "C:x.c". A relative
// ##MADEIN says nothing about where the objects were made.
TEST_F(BuildTest, ABuildRemovesOnlyItsOwnObjectsMadeElsewhere) {
  const std::string shared = root_ + "/shared";
  const std::vector<std::string> names = {"main.o09", "console.o09", "_startup.o09"};
  for (const std::string& n : names) put(shared + "/" + n, "not an object: " + n + "\n");
  fs::create_directory_symlink(shared, pd_ + "/out");
  put(pd_ + "/C:x.c", "int x;\n");
  const std::string users = "mod:user:O09:C:x.o09\ne\n";
  put(pd_ + "/C:x.o09", users);
  const std::string m09 = pd_ + "/ky09demo.m09";
  put(m09, replace_all(slurp(m09), "\".\\ky09demo.h\" \"\" \"1\" ", "\".\\ky09demo.h\" \"\" \"1\"  \\\n\t\".\\C:x.c\" \"\" \"1\" "));
  const std::string original = slurp(m09);
  auto with = [&](const std::string& final_objects, const std::string& made_in) {
    std::string text = replace_all(original, "##OBJDIR=\"final\"", "##OBJDIR=\"" + final_objects + "\"");
    put(m09, replace_all(text, "#PROJECT OPTIONS SECTION\n", "#PROJECT OPTIONS SECTION\n##MADEIN=\"" + made_in + "\"\n"));
  };
  const std::string compiled = "compiling...\nmain.c\nconsole.c\nC:x.c\nassembling...\n_startup.s09\nlinking...\n"
                               "'debug/ky09demo_Debug.s19' - 0 Error(s)\n";
  std::string removed;
  for (const char* object : {"main", "console", "C:x", "_startup"})
    removed += "Removed 'debug/" + std::string(object) + ".o09', made from the sources of another folder\n";
  int round = 0;
  for (const auto& [final_objects, made_in] : std::vector<std::pair<std::string, std::string>>{
           {shared, "/elsewhere"}, {"../../shared", "."}, {"out", "/elsewhere"}, {"out", "debug"}}) {
    with(final_objects, made_in);
    auto [out, code] = zbuild("--build");
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out, "------------- Build Debug 'ky09demo_Debug.s19'\n" + (round++ ? removed : "") + compiled)
        << final_objects;
    for (const std::string& n : names) EXPECT_EQ(slurp(shared + "/" + n), "not an object: " + n + "\n") << n;
    EXPECT_EQ(slurp(pd_ + "/C:x.o09"), users);
    EXPECT_EQ(slurp(pd_ + "/debug/C:x.o09").rfind("mod:", 0), 0u);
  }
  // Made here, they stay.
  EXPECT_EQ(zbuild("--build").first,
            "------------- Build Debug 'ky09demo_Debug.s19'\nlinking...\n'debug/ky09demo_Debug.s19' - 0 Error(s)\n");
}

// A project file that holds no rules builds nothing, and says so: a damaged
// type line (the file cannot be written) or a read-only file without rules.
TEST_F(BuildTest, AProjectFileWithoutRulesFailsTheBuild) {
  const std::string pf = pd_ + "/ky09demo.m09";
  const std::string example = slurp(pf);
  put(pf, replace_all(example, "##TYPE E\n", "##TYPE \n"));
  auto [out, code] = zbuild("--build");
  EXPECT_NE(code, 0) << out;
  EXPECT_NE(out.find("The project seems to be corrupted, you should recreate it."), std::string::npos) << out;

  put(pf, example);
  fs::permissions(pf, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  std::tie(out, code) = zbuild("--build");
  EXPECT_NE(code, 0) << out;
  EXPECT_NE(out.find("is read-only and is left as it is."), std::string::npos) << out;
  EXPECT_NE(out.find("'debug\\ky09demo_Debug.s19' does not exist, don't know how to make it"), std::string::npos)
      << out;
  EXPECT_EQ(slurp(pf), example);
}

// A workspace reached through a link to its folder, a copy of it at another
// depth and the same copy under another installation all build, without a
// message box (zbuild's standard error stays empty).
TEST_F(BuildTest, WorkspacesBuildWhereverTheyAreAndWhateverInstallationOpensThem) {
  const std::string ok = "'debug/ky09demo_Debug.s19' - 0 Error(s)\n";
  fs::create_directories(root_ + "/deep/er");
  fs::create_directory_symlink(root_ + "/examples", root_ + "/deep/er/link");
  auto build = [&](const std::string& zbuild, const std::string& ws) {
    auto [out, code] = run(zbuild + " " + ws + " --build-all 2>" + root_ + "/stderr");
    EXPECT_EQ(code, 0) << ws << "\n" << out;
    EXPECT_NE(out.find(ok), std::string::npos) << ws << "\n" << out;
    EXPECT_EQ(slurp(root_ + "/stderr"), "") << ws;
  };
  build(stage_bin_ + "/zbuild", root_ + "/deep/er/link/ky09demo.w09");
  build(stage_bin_ + "/zbuild", ws_);
  fs::copy(root_ + "/examples", root_ + "/deep/er/copy", fs::copy_options::recursive);
  build(stage_bin_ + "/zbuild", root_ + "/deep/er/copy/ky09demo.w09");

  // Another installation: its own programs' folder, the same data.
  const std::string other = root_ + "/other/zun";
  fs::create_directories(other + "/bin");
  for (const char* dir : {"config", "include", "lib", "src"})
    fs::create_directory_symlink(fs::path(stage_bin_).parent_path() / dir, other + "/" + dir);
  for (const auto& e : fs::directory_iterator(stage_bin_))
    if (e.path().filename() != "zbuild") fs::create_symlink(e.path(), other + "/bin/" + e.path().filename().string());
  std::error_code ec;
  fs::create_hard_link(stage_bin_ + "/zbuild", other + "/bin/zbuild", ec);
  if (ec) fs::copy_file(stage_bin_ + "/zbuild", other + "/bin/zbuild");
  build(other + "/bin/zbuild", root_ + "/deep/er/copy/ky09demo.w09");
  EXPECT_NE(slurp(root_ + "/deep/er/copy/ky09demo/ky09demo.m09").find(other + "/src/startup/zun09/_startup.s09"),
            std::string::npos);
  build(stage_bin_ + "/zbuild", root_ + "/deep/er/copy/ky09demo.w09");
}

}  // namespace
}  // namespace zun::wb::test
