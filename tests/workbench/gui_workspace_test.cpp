// The workbench with the example workspace (and a second project beside it)
// open: Close Workspace, a switch of the active project and Exit settle the
// editors first, a build's save is never undone, and Escape in the question
// keeps everything as it was; the file dialogs of project work start in the
// project, and the load file offered is the active project's.
#include <Qsci/qsciscintillabase.h>

#include <filesystem>

#include "tests/workbench/gui_fixture.h"
#include "workbench/build/tool_runner.h"
#include "workbench/project/project_controller.h"

namespace zun::wb::test {
namespace {

using Answer = UserDialogs::Answer;
namespace fs = std::filesystem;

void type_text(EditorChild* e, const char* text) {
  auto* s = e->component();
  s->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  s->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(std::strlen(text)), text);
}

class TwoProjectWorkspaceTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    const std::string ws = dir_.path().toStdString() + "/ws";
    fs::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", ws, fs::copy_options::recursive);
    // A second project: a copy of the example under its own name.
    fs::copy(ws + "/ky09demo", ws + "/other", fs::copy_options::recursive);
    fs::rename(ws + "/other/ky09demo.m09", ws + "/other/other.m09");
    put("ws/ky09demo.w09", file("ws/ky09demo.w09") + "\n./other\\other.m09\n");
    projects = new ProjectController(frame.get());
    projects->setProgramDir(QString::fromLocal8Bit(qgetenv("ZUN_STAGE")) + QStringLiteral("/bin"));
    frame->startUp(path("ws/ky09demo.w09"));
    QApplication::processEvents();
    ASSERT_EQ(editorCount(), 1);
    main_c = frame->editors()->editors()[0];
  }
  std::string activeProject() const {
    const Project& p = projects->session().project;
    return p.open ? p.name() : std::string();
  }

  ProjectController* projects = nullptr;
  EditorChild* main_c = nullptr;
};

// File > New File, put into the project, typed, built (which saves it),
// then Close Workspace: nothing to ask, and the file keeps the text.
TEST_F(TwoProjectWorkspaceTest, WbCloseWorkspaceAfterABuildKeepsTheBuiltText) {
  dialogs->file_names = {path("ws/ky09demo/prog.s09"), path("ws/ky09demo/prog.s09")};
  frame->dispatch(cmd::new_file_first + 2);  // in the project directory
  frame->dispatch(cmd::insert_files);
  EditorChild* prog = frame->editors()->findByPath(path("ws/ky09demo/prog.s09"));
  ASSERT_NE(prog, nullptr);
  type_text(prog, "\tnop\n");
  frame->dispatch(cmd::build);
  EXPECT_EQ(file("ws/ky09demo/prog.s09"), "\tnop\n");
  frame->dispatch(cmd::close_workspace);
  EXPECT_FALSE(projects->session().workspace.open());
  EXPECT_EQ(editorCount(), 0);
  EXPECT_TRUE(dialogs->asked_save.empty());
  EXPECT_EQ(file("ws/ky09demo/prog.s09"), "\tnop\n");
}

// Escape in the question cancels the whole flow that asked; No lets it go
// on and drops only the unsaved edit.
TEST_F(TwoProjectWorkspaceTest, WbEscapeCancelsCloseWorkspaceSwitchAndExit) {
  const std::string saved = file("ws/ky09demo/main.c");
  type_text(main_c, "/* unsaved */\n");
  dialogs->save_all_answers = {Answer::Cancel, Answer::Cancel, Answer::Cancel};
  frame->dispatch(cmd::close_workspace);
  projects->activateProject("other");
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(dialogs->asked_save.size(), 3u);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(projects->session().workspace.open());
  EXPECT_EQ(activeProject(), "ky09demo");
  EXPECT_EQ(editorCount(), 1);
  EXPECT_TRUE(main_c->modified());

  dialogs->save_all_answers = {Answer::No};
  projects->activateProject("other");
  EXPECT_EQ(activeProject(), "other");
  EXPECT_EQ(file("ws/ky09demo/main.c"), saved);
  EXPECT_EQ(dialogs->asked_save.size(), 4u);
}

// While a tool runs (a build of the project), the flows that would close
// the project or the workspace under it, or move the current directory
// away from it, do nothing.
TEST_F(TwoProjectWorkspaceTest, WbTheProjectStaysWhileAToolRuns) {
  std::filesystem::current_path(path("ws/ky09demo").toStdString());
  std::vector<std::string> during;
  QTimer::singleShot(200, frame.get(), [&] {
    auto note = [&] {
      during.push_back(activeProject() + " " + std::filesystem::current_path().filename().string());
    };
    frame->dispatch(cmd::close_workspace);
    note();
    frame->dispatch(cmd::close_project);
    note();
    projects->activateProject("other");
    note();
    projects->openWorkspace(path("ws/ky09demo.w09"));
    note();
    frame->toolRunner()->stop();
  });
  EXPECT_EQ(frame->runProcess(QStringLiteral("sleep 20")), run_cancelled);
  EXPECT_EQ(during, std::vector<std::string>(4, "ky09demo ky09demo"));
  EXPECT_TRUE(projects->session().workspace.open());
  EXPECT_EQ(editorCount(), 1);
  EXPECT_TRUE(dialogs->asked_save.empty());
}

TEST_F(TwoProjectWorkspaceTest, WbProjectDialogsStartInTheProjectAndOfferItsLoadFile) {
  const QString project = path("ws/ky09demo");
  dialogs->file_names = std::deque<QString>(7, QString());  // every dialog is cancelled
  frame->dispatch(cmd::insert_files);
  frame->dispatch(cmd::new_file_first);      // in Current
  frame->dispatch(cmd::new_file_first + 2);  // in the project directory
  frame->dispatch(cmd::open_file_accel);
  EXPECT_EQ(dialogs->dialog_dirs, (std::vector<QString>{project, project, project, project}));

  EXPECT_FALSE(frame->selectLoadFile());
  frame->dispatch(cmd::config_final);
  EXPECT_FALSE(frame->selectLoadFile());
  projects->activateProject("other");
  EXPECT_FALSE(frame->selectLoadFile());
  EXPECT_EQ(dialogs->load_offers, (std::vector<QString>{project + "/debug/ky09demo_Debug.s19",
                                                        project + "/final/ky09demo_Final.s19",
                                                        path("ws/other/final/ky09demo_Final.s19")}));
}

}  // namespace
}  // namespace zun::wb::test
