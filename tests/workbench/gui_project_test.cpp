// The workbench with a workspace: started with the example workspace, it
// reopens the project's editor, and Build from the Build menu runs the
// staged tools and shows their lines in the output window. Opening and
// closing a workspace leaves its files alone; a copy elsewhere builds; a
// project whose folder is away shows as missing.
#include <QMenu>
#include <QTreeWidget>
#include <filesystem>
#include <map>

#include "tests/tools/tool_run.h"
#include "tests/workbench/gui_fixture.h"
#include "workbench/build/output_child.h"
#include "workbench/project/project_controller.h"
#include "workbench/project/project_manager.h"

namespace zun::wb::test {
namespace {

TEST_F(FrameTest, BuildFromTheBuildMenuWritesTheLoadFile) {
  const char* stage = std::getenv("ZUN_STAGE");
  const char* source = ZUN_SOURCE_DIR;
  ASSERT_NE(stage, nullptr);
  const std::string examples = dir_.path().toStdString() + "/examples";
  std::filesystem::copy(std::string(source) + "/data/examples", examples, std::filesystem::copy_options::recursive);
  auto* projects = new ProjectController(frame.get());
  projects->setProgramDir(QString::fromStdString(std::string(stage) + "/bin"));
  frame->startUp(QString::fromStdString(examples + "/ky09demo.w09"));
  QApplication::processEvents();

  ASSERT_EQ(editorCount(), 1);
  EXPECT_TRUE(frame->editors()->editors()[0]->path().endsWith(QStringLiteral("/ky09demo/main.c")));
  EXPECT_TRUE(frame->windowTitle().startsWith(QStringLiteral("ky09demo - ")));
  EXPECT_EQ(frame->recent().at(0), examples + "/ky09demo.w09");
  QAction* build = frame->action(cmd::build);
  ASSERT_NE(build, nullptr);
  emit frame->menu(MenuId::Build)->aboutToShow();
  ASSERT_TRUE(build->isEnabled());
  build->trigger();

  const std::string load_file = examples + "/ky09demo/debug/ky09demo_Debug.s19";
  EXPECT_TRUE(std::filesystem::exists(load_file));
  ASSERT_NE(frame->output(), nullptr);
  std::vector<std::string> lines = frame->output()->text().lines();
  EXPECT_EQ(lines, (std::vector<std::string>{"------------- Build Debug 'ky09demo_Debug.s19'", "compiling...", "main.c",
                                             "console.c", "assembling...", "_startup.s09", "linking...",
                                             "'debug/ky09demo_Debug.s19' - 0 Error(s)"}));
  EXPECT_TRUE(dialogs->errors.empty());

  // Closing the workbench writes the open editor back into the project file.
  frame->close();
  QApplication::processEvents();
  EXPECT_NE(file("examples/ky09demo/ky09demo.m09").find("\n##OF \".\\main.c\"\n"), std::string::npos);
}

namespace fs = std::filesystem;
using zun::test::snapshot;

class WorkspaceTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    const char* stage = std::getenv("ZUN_STAGE");
    ASSERT_NE(stage, nullptr);
    root_ = dir_.path().toStdString();
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", root_ + "/ex", fs::copy_options::recursive);
    controller = new ProjectController(frame.get());
    controller->setProgramDir(QString::fromStdString(std::string(stage) + "/bin"));
  }
  QStringList projectItems() const {
    QStringList out;
    QTreeWidgetItem* top = controller->manager()->root();
    for (int i = 0; i < top->childCount(); ++i) out << top->child(i)->text(0);
    return out;
  }
  std::string root_;
  ProjectController* controller = nullptr;
};

TEST_F(WorkspaceTest, OpenedAndClosedAWorkspaceIsUnchangedAndACopyElsewhereBuilds) {
  const auto before = snapshot(root_ + "/ex");
  controller->openWorkspace(QString::fromStdString(root_ + "/ex/ky09demo.w09"));
  ASSERT_EQ(editorCount(), 1);
  controller->closeWorkspace();
  EXPECT_EQ(snapshot(root_ + "/ex"), before);

  // Built once here, then copied to another depth and built there.
  controller->openWorkspace(QString::fromStdString(root_ + "/ex/ky09demo.w09"));
  controller->build(BuildCommand::BuildAll);
  ASSERT_TRUE(fs::exists(root_ + "/ex/ky09demo/debug/ky09demo_Debug.s19"));
  controller->closeWorkspace();
  fs::create_directories(root_ + "/a/b");
  fs::copy(root_ + "/ex", root_ + "/a/b/ex", fs::copy_options::recursive);
  fs::remove_all(root_ + "/a/b/ex/ky09demo/debug");
  // Its name in capitals is a workspace all the same.
  fs::rename(root_ + "/a/b/ex/ky09demo.w09", root_ + "/a/b/ex/KY09DEMO.W09");
  frame->startUp(QString::fromStdString(root_ + "/a/b/ex/KY09DEMO.W09"));
  ASSERT_TRUE(controller->session().project.open);
  controller->build(BuildCommand::BuildAll);
  EXPECT_TRUE(fs::exists(root_ + "/a/b/ex/ky09demo/debug/ky09demo_Debug.s19"));
  EXPECT_TRUE(dialogs->errors.empty()) << dialogs->errors.front().toStdString();
  EXPECT_TRUE(dialogs->warnings.empty());
  EXPECT_TRUE(dialogs->questions.empty());
}

TEST_F(WorkspaceTest, AProjectWhoseFolderIsAwayShowsAsMissing) {
  fs::rename(root_ + "/ex/ky09demo", root_ + "/ex/away");
  const auto before = snapshot(root_ + "/ex");
  controller->openWorkspace(QString::fromStdString(root_ + "/ex/ky09demo.w09"));
  EXPECT_EQ(projectItems(), QStringList{"ky09demo; (missing)"});
  EXPECT_EQ(dialogs->errors.size(), 1u);
  controller->closeWorkspace();
  EXPECT_EQ(snapshot(root_ + "/ex"), before);
}

}  // namespace
}  // namespace zun::wb::test
