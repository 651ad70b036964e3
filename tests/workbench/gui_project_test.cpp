// The workbench with a workspace: started with the example workspace, it
// reopens the project's editor, and Build from the Build menu runs the
// staged tools and shows their lines in the output window.
#include <QMenu>
#include <filesystem>

#include "tests/workbench/gui_fixture.h"
#include "workbench/build/output_child.h"
#include "workbench/project/project_controller.h"

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

}  // namespace
}  // namespace zun::wb::test
