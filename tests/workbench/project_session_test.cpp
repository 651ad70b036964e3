// Workspaces and project files as the session keeps them: opening and
// closing leave every file as it was, a file changed on disk, made
// read-only or reached through a link is never replaced behind the user's
// back, a project read with errors is not written back unasked, and a
// project whose folder is away stays in the workspace.
#include <sys/stat.h>

#include "tests/workbench/project_support.h"

namespace zun::wb::test {
namespace {

class SessionTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", root_ + "/ex", fs::copy_options::recursive);
    ws_ = root_ + "/ex/ky09demo.w09";
    pf_ = root_ + "/ex/ky09demo/ky09demo.m09";
  }
  // A session over the small installation, its workspace open.
  std::unique_ptr<ProjectSession> open(const std::string& ws) {
    auto s = std::make_unique<ProjectSession>(host, bin_);
    s->command_line(ws);
    return s;
  }
  std::string ws_, pf_;
};

TEST_F(SessionTest, OpeningAndClosingLeaveEveryFileAsItWas) {
  const auto before = snapshot(root_ + "/ex");
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  // Listing the projects, making one active, switching between them.
  ASSERT_TRUE(s->activate("ky09demo"));
  s->close_workspace();
  EXPECT_EQ(snapshot(root_ + "/ex"), before);

  // A workspace named in capitals opens as well, and is left alone too.
  fs::rename(ws_, root_ + "/ex/X.W09");
  s = open(root_ + "/ex/X.W09");
  EXPECT_TRUE(s->project.open);
  s->close_workspace();
  EXPECT_EQ(slurp(root_ + "/ex/X.W09"), before.at(ws_));
  EXPECT_TRUE(host.errors.empty()) << host.errors.front();
  EXPECT_TRUE(host.questions.empty());
}

// The startup file of whatever installation wrote the project is this
// installation's: recognised by its name, put in place, never added twice.
TEST_F(SessionTest, TheStartupFileOfAnyInstallationIsBroughtInLine) {
  std::string text = slurp(pf_);
  const std::string last = "\t\".\\ky09demo.h\" \"\" \"1\" \n";
  ASSERT_NE(text.find(last), std::string::npos);
  text.replace(text.find(last), last.size(),
               "\t\".\\ky09demo.h\" \"\" \"1\"  \\\n"
               "\t\"../../../../../elsewhere/zun/SRC/startup/zun09\\_startup.S09\" \"\" \"1\"  \\\n"
               "\t\"/opt/zun09/src/startup/zun09/_startup.s09\" \"\" \"1\" \n");
  put(pf_, text);
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  EXPECT_TRUE(host.errors.empty()) << host.errors.front();
  std::vector<std::string> paths;
  for (const ProjectFile& f : s->project.files) paths.push_back(f.path);
  EXPECT_EQ(paths, (std::vector<std::string>{root_ + "/ex/ky09demo/main.c", root_ + "/ex/ky09demo/console.c",
                                             root_ + "/ex/ky09demo/ky09demo.h",
                                             root_ + "/tools/src/startup/zun09/_startup.s09"}));
  // Written, it names the installation's file, not a path from the project.
  ASSERT_EQ(s->update_dependencies(), true);
  EXPECT_NE(slurp(pf_).find("\t\"" + root_ + "/tools/src/startup/zun09/_startup.s09\" \"\" \"1\" \n"),
            std::string::npos);
}

// A project's own copy of the startup code, kept in the project's folder
// under the installation's names, is the project's file and stays so.
TEST_F(SessionTest, AProjectsOwnStartupFileIsNotTheInstallations) {
  const std::string own = root_ + "/ex/ky09demo/src/startup/zun09/_startup.s09";
  put(own, "\tSEGMENT\ttext\n* our own\n");
  std::string text = replace_all(slurp(pf_), "##USESTARTUP=1", "##USESTARTUP=0");
  const std::string last = "\t\".\\ky09demo.h\" \"\" \"1\" \n";
  ASSERT_NE(text.find(last), std::string::npos);
  text.replace(text.find(last), last.size(),
               "\t\".\\ky09demo.h\" \"\" \"1\"  \\\n\t\".\\src\\startup\\zun09\\_startup.s09\" \"\" \"1\" \n");
  put(pf_, text);
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  ASSERT_EQ(s->project.files.size(), 4u);
  EXPECT_EQ(s->project.files[3].path, own);
  ASSERT_TRUE(s->update_dependencies());
  const std::string written = slurp(pf_);
  const size_t files = written.find("\nFILES=");
  const std::string list = written.substr(files, written.find("#PROJECT OPTIONS") - files);
  EXPECT_EQ(list.find(root_), std::string::npos) << list;  // relative, as the project's own files are
  s->close_workspace();
  s = open(ws_);
  ASSERT_EQ(s->project.files.size(), 4u);
  EXPECT_EQ(s->project.files[3].path, own);
}

TEST_F(SessionTest, AFileChangedOnDiskIsReplacedOnlyWhenTheUserSaysSo) {
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  std::string outside = slurp(pf_);
  outside.insert(outside.find("\t\".\\ky09demo.h\""), "\t\".\\added.c\" \"\" \"1\"  \\\n");
  put(pf_, outside);
  // Closing without a change of its own writes nothing.
  s->close_project();
  EXPECT_EQ(slurp(pf_), outside);
  EXPECT_TRUE(host.questions.empty());

  ASSERT_TRUE(s->activate("ky09demo"));
  put(pf_, outside + "# edited again\n");
  s->project.settings_begin();
  s->project.work.ccflags = "-w4";
  host.answers = {false};
  s->settings_ok();
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], "The project file '" + pf_ +
                                   "' has changed on disk since it was read.\nReplace it with the project as "
                                   "the workbench holds it?");
  EXPECT_EQ(slurp(pf_), outside + "# edited again\n");
  // Once refused, the file is left alone until the project closes.
  s->build(BuildCommand::Clean);
  s->close_project();
  EXPECT_EQ(slurp(pf_), outside + "# edited again\n");
  EXPECT_EQ(host.questions.size(), 1u);

  ASSERT_TRUE(s->activate("ky09demo"));
  put(pf_, outside);
  s->project.settings_begin();
  s->project.work.ccflags = "-w3";
  host.answers = {true};
  s->settings_ok();
  EXPECT_NE(slurp(pf_).find("\nCCFLAGS=-w3\n"), std::string::npos);
  EXPECT_NE(slurp(pf_).find("added.c"), std::string::npos);
}

TEST_F(SessionTest, ReadOnlyAndLinkedProjectFilesStayWhatTheyAre) {
  // A read-only project file is left alone, and the user is told once.
  ::chmod(pf_.c_str(), 0444);
  const std::string before = slurp(pf_);
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  s->project.settings_begin();
  s->project.work.ccflags = "-w4";
  s->settings_ok();
  s->build(BuildCommand::Clean);
  s->close_project();
  EXPECT_EQ(slurp(pf_), before);
  struct stat st {};
  ASSERT_EQ(::stat(pf_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_EQ(host.errors, std::vector<std::string>{"The project file '" + pf_ + "' is read-only and is left as it is."});

  // A link to a shared project file stays a link; the shared file changes.
  ::chmod(pf_.c_str(), 0644);
  fs::rename(pf_, root_ + "/shared.m09");
  fs::create_symlink(root_ + "/shared.m09", pf_);
  host.errors.clear();
  ASSERT_TRUE(s->activate("ky09demo"));
  s->project.settings_begin();
  s->project.work.ccflags = "-w2";
  EXPECT_TRUE(s->settings_ok());
  EXPECT_TRUE(fs::is_symlink(pf_));
  EXPECT_NE(slurp(root_ + "/shared.m09").find("\nCCFLAGS=-w2\n"), std::string::npos);
  EXPECT_TRUE(host.errors.empty()) << host.errors.front();
}

// A project file read with errors stays as it is unless the user agrees.
TEST_F(SessionTest, AProjectReadWithErrorsIsNotWrittenBackUnasked) {
  std::string text = slurp(pf_);
  const std::string console = "\"\" \"1\"  \\\n\t\".\\ky09demo.h\"";
  ASSERT_NE(text.find(console), std::string::npos);
  text.replace(text.find(console), console.size(), "\"\"  \\\n\t\".\\ky09demo.h\"");
  put(pf_, text);
  auto s = open(ws_);
  ASSERT_TRUE(s->project.open);
  EXPECT_EQ(s->project.files.size(), 4u);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "The project file '" + pf_ +
                                "' could not be read completely:\nline 19: the entry of '.\\console.c' lacks its "
                                "options or its flags\nThe project is read-only until it is closed.");
  s->build(BuildCommand::Clean);
  s->close_project();
  EXPECT_EQ(slurp(pf_), text);
  EXPECT_TRUE(host.questions.empty());

  // A change the user makes asks first; No keeps the file.
  ASSERT_TRUE(s->activate("ky09demo"));
  s->project.settings_begin();
  host.answers = {false, true};
  s->settings_ok();
  EXPECT_EQ(slurp(pf_), text);
  ASSERT_TRUE(s->activate("ky09demo"));
  s->project.settings_begin();
  s->settings_ok();
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_NE(slurp(pf_).find("\t\".\\console.c\" \"\" \"1\" "), std::string::npos);
}

// A project whose folder is away (an unmounted disk, a renamed folder)
// stays in the workspace, shown as missing, and the workspace file keeps it.
TEST_F(SessionTest, AProjectWhoseFolderIsAwayStaysInTheWorkspace) {
  put(root_ + "/ex/other/other.m09", slurp(pf_));
  put(ws_, slurp(ws_) + "\n./other\\other.m09");
  fs::rename(root_ + "/ex/ky09demo", root_ + "/ex/away");
  const std::string workspace = slurp(ws_);
  auto s = open(ws_);
  ASSERT_EQ(s->workspace.projects.size(), 2u);
  EXPECT_TRUE(s->workspace.projects[0].missing);
  EXPECT_FALSE(s->workspace.projects[1].missing);
  EXPECT_EQ(s->project.name(), "other");
  EXPECT_EQ(host.errors, std::vector<std::string>{"Project file: './ky09demo\\ky09demo.m09' can't be found; it "
                                                  "stays in the workspace"});
  EXPECT_FALSE(s->activate("ky09demo"));
  s->close_workspace();
  EXPECT_EQ(slurp(ws_), workspace);

  // Back in place, it opens as before.
  fs::rename(root_ + "/ex/away", root_ + "/ex/ky09demo");
  s = open(ws_);
  EXPECT_FALSE(s->workspace.projects[0].missing);
  EXPECT_EQ(s->project.name(), "ky09demo");
  // Removing it is the user's choice, and only that writes the workspace.
  ASSERT_TRUE(s->workspace.remove_project("other", host));
  ASSERT_TRUE(write_workspace(s->workspace));
  s->close_workspace();
  EXPECT_EQ(slurp(ws_), "#Zun V 2.0 26 February 2013), Workspace\n./ky09demo\\ky09demo.m09");
}

}  // namespace
}  // namespace zun::wb::test
