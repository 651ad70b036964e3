// The project manager as a user drives it: the workspace menu without a
// workspace, a new workspace and project through TYPESELECT and
// PROJECTSETTING, files in and out, the tree after reopening, a project
// inserted twice, the menus of active and other projects, the project
// menu's Build, terminal ports and configuration, and the keys after a
// file is opened from the tree.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "tests/workbench/gui_fixture.h"
#include "workbench/build/output_child.h"
#include "workbench/project/project_controller.h"
#include "workbench/project/project_manager.h"

namespace zun::wb::test {
namespace {

using PM = ProjectManagerWindow;

// The menu's item texts, submenus by their titles, separators left out.
QStringList texts(QMenu* menu) {
  QStringList out;
  if (!menu) return out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) out << a->text();
  return out;
}

// The tree as indented lines.
void walk(QTreeWidgetItem* item, int depth, QStringList& out) {
  out << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
  for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1, out);
}

class ProjectManagerTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    const char* stage = std::getenv("ZUN_STAGE");
    ASSERT_NE(stage, nullptr);
    controller = new ProjectController(frame.get());
    controller->setProgramDir(QString::fromStdString(std::string(stage) + "/bin"));
    pm = controller->manager();
    QDir(dir_.path()).mkpath(QStringLiteral("ws"));
  }

  QStringList tree() const {
    QStringList out;
    walk(pm->root(), 0, out);
    return out;
  }
  QStringList menuTexts(QTreeWidgetItem* item) {
    std::unique_ptr<QMenu> menu(pm->menuFor(item));
    return texts(menu.get());
  }
  QTreeWidgetItem* fileItem(const QString& project, const QString& name) {
    QTreeWidgetItem* p = pm->findProject(project);
    for (int g = 0; p && g < p->childCount(); ++g)
      for (int i = 0; i < p->child(g)->childCount(); ++i)
        if (p->child(g)->child(i)->text(0) == name) return p->child(g)->child(i);
    return nullptr;
  }
  // A new executable project through the two dialogs; `ccflags` typed into
  // the C compiler options of Debug.
  void newProject(const char* name, const QString& ccflags = {}, bool ok = true) {
    dialogs->file_names.push_back(path((std::string("ws/") + name + ".m09").c_str()));
    whenShown(QStringLiteral("TYPESELECT"),
              [](QWidget* w) { w->findChild<QPushButton*>(QStringLiteral("Done"))->click(); });
    whenShown(QStringLiteral("PROJECTSETTING"), [ccflags, ok](QWidget* w) {
      if (!ccflags.isEmpty()) w->findChild<QLineEdit*>(QStringLiteral("CCFLAGS"))->setText(ccflags);
      if (ok)
        qobject_cast<QDialog*>(w)->accept();
      else
        qobject_cast<QDialog*>(w)->reject();
    });
    pm->choose(pm->root(), PM::WsInsertNew);
  }

  ProjectController* controller = nullptr;
  ProjectManagerWindow* pm = nullptr;
};

TEST_F(ProjectManagerTest, WbWorkspaceProjectAndFilesThroughTheTree) {
  // Closing the window only hides it; the Project menu shows it again.
  EXPECT_TRUE(pm->isVisible());
  frame->updateMenus();
  EXPECT_FALSE(frame->action(cmd::view_project_manager)->isEnabled());
  pm->close();
  EXPECT_FALSE(pm->isVisible());
  EXPECT_TRUE(frame->action(cmd::view_project_manager)->isEnabled());
  frame->action(cmd::view_project_manager)->trigger();
  EXPECT_TRUE(pm->isVisible());

  EXPECT_EQ(tree(), QStringList{"No Workspace"});
  EXPECT_EQ(menuTexts(pm->root()), (QStringList{"Create New Workspace", "Open Workspace"}));

  dialogs->file_names.push_back(path("ws/demo.w09"));
  pm->choose(pm->root(), PM::WsCreate);
  EXPECT_EQ(pm->root()->text(0), "Workspace 'demo': 0 project(s)");
  EXPECT_EQ(menuTexts(pm->root()),
            (QStringList{"Properties", "Close Workspace", "Insert New Project", "Insert Project"}));

  newProject("alpha", QStringLiteral("-g -w3 -O"));
  ASSERT_TRUE(dialogs->errors.empty()) << dialogs->errors.front().toStdString();
  EXPECT_NE(file("ws/alpha/alpha.m09").find("\nCCFLAGS=-g -w3 -O\n"), std::string::npos);
  EXPECT_NE(file("ws/demo.w09").find("alpha.m09"), std::string::npos);

  // The Open File shortcuts start in the workspace's and the project's directories.
  frame->updateMenus();
  for (int id : {43152, 43153}) {
    dialogs->file_names.push_back(QString());
    frame->action(id)->trigger();
  }
  EXPECT_EQ(dialogs->dialog_dirs.back(), path("ws/alpha"));
  EXPECT_EQ(dialogs->dialog_dirs[dialogs->dialog_dirs.size() - 2], path("ws"));

  put("ws/alpha/main.c", "int main(void) { return 0; }\n");
  put("ws/alpha/io.h", "#define IO 1\n");
  put("ws/alpha/abc.c", "int abc;\n");
  put("ws/alpha/notes.txt", "kind 0\n");
  put("ws/alpha/map.lsc", "kind 4\n");
  for (const char* name : {"ws/alpha/main.c", "ws/alpha/io.h", "ws/alpha/abc.c", "ws/alpha/notes.txt",
                           "ws/alpha/map.lsc"}) {
    dialogs->file_names.push_back(path(name));
    pm->choose(pm->findProject(QStringLiteral("alpha")), PM::PrInsertFiles);
  }
  ASSERT_NE(fileItem("alpha", "io.h"), nullptr);
  EXPECT_EQ(menuTexts(fileItem("alpha", "main.c")),
            (QStringList{"Edit", "Make", "Remove File from Project", "Properties", "Settings"}));
  pm->choose(fileItem("alpha", "io.h"), PM::FiRemove);
  EXPECT_EQ(fileItem("alpha", "io.h"), nullptr);
  EXPECT_EQ(file("ws/alpha/alpha.m09").find("io.h"), std::string::npos);

  const QStringList expected = {"Workspace 'demo': 1 project(s)",
                                "  alpha",
                                "    Source Files (asm)",
                                "      _startup.s09",
                                "    Source Files (C)",
                                "      abc.c",
                                "      main.c",
                                "    Header Files",
                                "    Others",
                                "      map.lsc",
                                "      notes.txt"};
  EXPECT_EQ(tree(), expected);

  pm->choose(pm->root(), PM::WsClose);
  EXPECT_EQ(tree(), QStringList{"No Workspace"});
  controller->openWorkspace(path("ws/demo.w09"));
  EXPECT_EQ(tree(), expected);

  // The same project again is refused and changes nothing.
  dialogs->file_names.push_back(path("ws/alpha/alpha.m09"));
  pm->choose(pm->root(), PM::WsInsertProject);
  ASSERT_EQ(dialogs->errors.size(), 1u);
  EXPECT_EQ(dialogs->errors[0], "There is already a project with this Path in the Workspace");
  EXPECT_EQ(pm->root()->text(0), "Workspace 'demo': 1 project(s)");

  // A second project becomes the active one; the first offers only its two items.
  newProject("beta");
  EXPECT_EQ(pm->root()->text(0), "Workspace 'demo': 2 project(s)");
  EXPECT_EQ(controller->session().project.name(), "beta");
  EXPECT_EQ(menuTexts(pm->findProject(QStringLiteral("alpha"))),
            (QStringList{"Set as Active Project", "Remove Project from Workspace"}));
  EXPECT_EQ(menuTexts(fileItem("alpha", "main.c")), QStringList{"Edit"});
  EXPECT_EQ(menuTexts(pm->findProject(QStringLiteral("alpha"))->child(0)), QStringList{});
  pm->choose(pm->findProject(QStringLiteral("alpha")), PM::PrSetActive);
  EXPECT_EQ(controller->session().project.name(), "alpha");
  pm->choose(pm->findProject(QStringLiteral("beta")), PM::PrRemove);
  EXPECT_EQ(pm->root()->text(0), "Workspace 'demo': 1 project(s)");
  EXPECT_EQ(file("ws/demo.w09").find("beta"), std::string::npos);
  EXPECT_EQ(dialogs->errors.size(), 1u);

  // Cancel in the settings leaves no trace and the previous project active;
  // a project file outside the workspace is not overwritten unasked.
  newProject("gamma", {}, false);
  EXPECT_FALSE(QFileInfo::exists(path("ws/gamma")));
  EXPECT_EQ(controller->session().project.name(), "alpha");
  const std::string beta = file("ws/beta/beta.m09");
  dialogs->file_names.push_back(path("ws/beta.m09"));
  dialogs->question_answers.push_back(false);
  pm->choose(pm->root(), PM::WsInsertNew);
  ASSERT_FALSE(dialogs->questions.empty());
  EXPECT_TRUE(dialogs->questions.back().contains(QStringLiteral("beta.m09' exists already")));
  EXPECT_EQ(file("ws/beta/beta.m09"), beta);
  EXPECT_EQ(pm->root()->text(0), "Workspace 'demo': 1 project(s)");
}

TEST_F(ProjectManagerTest, WbProjectMenuBuildsTerminalsAndConfigurations) {
  dialogs->file_names.push_back(path("ws/demo.w09"));
  pm->choose(pm->root(), PM::WsCreate);
  newProject("alpha");
  put("ws/alpha/main.c", "int main(void) { return 0; }\n");
  dialogs->file_names.push_back(path("ws/alpha/main.c"));
  QTreeWidgetItem* alpha = pm->findProject(QStringLiteral("alpha"));
  pm->choose(alpha, PM::PrInsertFiles);
  EXPECT_EQ(menuTexts(alpha), (QStringList{"Build", "Build All", "Clean", "&Debug", "&Configuration",
                                           "Insert Files into Project", "Close Active Project", "Settings",
                                           "Properties"}));

  // COM1 to COM8 are the frame's ports 41001 to 41008; absent ones are greyed.
  std::vector<qintptr> opened;
  frame->registerCommand(cmd::open_terminal, [&](qintptr port) { opened.push_back(port); });
  frame->setPortProbe([](int n) { return n == 0 || n == 2; });
  std::unique_ptr<QMenu> menu(pm->menuFor(alpha));
  QMenu* ports = nullptr;
  for (QMenu* sub : menu->findChildren<QMenu*>())
    if (sub->title() == "&Open Terminal") ports = sub;
  ASSERT_NE(ports, nullptr);
  ASSERT_EQ(ports->actions().size(), 8);
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(ports->actions()[n]->text(), QStringLiteral("COM&%1").arg(n + 1));
    EXPECT_EQ(ports->actions()[n]->data().toInt(), 41001 + n);
    EXPECT_EQ(ports->actions()[n]->isEnabled(), n == 0 || n == 2);
  }
  pm->choose(alpha, ports->actions()[2]->data().toInt());
  EXPECT_EQ(opened, std::vector<qintptr>{2});

  // Build after a settings change rebuilds everything; the next Build does not.
  pm->choose(alpha, PM::PrBuild);
  ASSERT_NE(frame->output(), nullptr);
  EXPECT_EQ(frame->output()->text().lines().front(), "------------- Build Debug 'alpha_Debug.s19'");
  whenShown(QStringLiteral("PROJECTSETTING"), [](QWidget* w) {
    w->findChild<QLineEdit*>(QStringLiteral("CCFLAGS"))->setText(QStringLiteral("-g -w4"));
    qobject_cast<QDialog*>(w)->accept();
  });
  pm->choose(alpha, PM::PrSettings);
  EXPECT_NE(file("ws/alpha/alpha.m09").find("\nCCFLAGS=-g -w4\n"), std::string::npos);
  pm->choose(alpha, PM::PrBuild);
  EXPECT_EQ(frame->output()->text().lines().front(), "------------- Build All Debug 'alpha_Debug.s19'");
  EXPECT_TRUE(std::filesystem::exists(path("ws/alpha/debug/alpha_Debug.s19").toStdString()));
  pm->choose(alpha, PM::PrBuild);
  EXPECT_EQ(frame->output()->text().lines().front(), "------------- Build Debug 'alpha_Debug.s19'");

  // The settings keep the edits of both configurations until OK; Default
  // gives the page shown the values of a new project.
  whenShown(QStringLiteral("PROJECTSETTING"), [](QWidget* w) {
    auto* config = w->findChild<QComboBox*>(QStringLiteral("config"));
    auto* ccflags = w->findChild<QLineEdit*>(QStringLiteral("CCFLAGS"));
    auto* defines = w->findChild<QLineEdit*>(QStringLiteral("DEFINES"));
    ccflags->setText(QStringLiteral("-g -O"));
    defines->setText(QStringLiteral("A, B=1 C"));
    config->setCurrentIndex(1);
    EXPECT_EQ(ccflags->text(), "-w4 -O");
    EXPECT_FALSE(w->findChild<QCheckBox*>(QStringLiteral("USESTARTUP"))->isEnabled());
    ccflags->setText(QStringLiteral("-O"));
    w->findChild<QPushButton*>(QStringLiteral("assembler default"))->click();
    EXPECT_EQ(ccflags->text(), "-O");
    config->setCurrentIndex(0);
    EXPECT_EQ(ccflags->text(), "-g -O");
    EXPECT_EQ(defines->text(), "A,B=1,C");
    EXPECT_TRUE(w->findChild<QCheckBox*>(QStringLiteral("USESTARTUP"))->isEnabled());
    qobject_cast<QDialog*>(w)->accept();
  });
  pm->choose(alpha, PM::PrSettings);
  const std::string m09 = file("ws/alpha/alpha.m09");
  EXPECT_NE(m09.find("!IFCONF\tDebug\n##TARGETNAME=\"alpha_Debug\""), std::string::npos);
  EXPECT_NE(m09.find("\nCCFLAGS=-g -O\n"), std::string::npos);
  EXPECT_NE(m09.find("\nCCFLAGS=-O\n"), std::string::npos);
  EXPECT_NE(m09.find("\nDEFINES= \\\n\tA \\\n\tB=1 \\\n\tC\n"), std::string::npos);

  pm->choose(alpha, PM::PrFinal);
  EXPECT_EQ(controller->session().project.active_config(), config_id::final_);
  EXPECT_TRUE(dialogs->errors.empty());
}

// Opened from the tree by a double click or by Edit, new or already open,
// the editor takes the keys: what is typed next lands in its text.
TEST_F(ProjectManagerTest, WbAFileOpenedFromTheTreeTakesTheKeys) {
  std::filesystem::copy(std::string(ZUN_SOURCE_DIR) + "/data/examples", path("ex").toStdString(),
                        std::filesystem::copy_options::recursive);
  controller->openWorkspace(path("ex/ky09demo.w09"));
  QTreeWidgetItem* console = fileItem("ky09demo", "console.c");
  ASSERT_NE(console, nullptr);
  auto typeAtFocus = [](const char* keys) {
    QWidget* to = QApplication::focusWidget();
    ASSERT_NE(to, nullptr);
    QTest::keyClicks(to, QString::fromLatin1(keys));
  };
  // The user works in the tree: it is the active window with the keys.
  auto fromTheTree = [&](const std::function<void()>& open, const char* keys) {
    pm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pm));
    pm->tree()->setFocus();
    pm->tree()->setCurrentItem(console);
    open();
    QTest::qWait(20);
    typeAtFocus(keys);
  };
  auto doubleClick = [&] {
    const QPoint at = pm->tree()->visualItemRect(console).center();
    QTest::mouseClick(pm->tree()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(pm->tree()->viewport(), Qt::LeftButton, {}, at);
  };
  fromTheTree(doubleClick, "zz");
  EditorChild* editor = frame->editors()->findByPath(path("ex/ky09demo/console.c"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->bytes().substr(0, 4), "zz/*");
  EXPECT_TRUE(frame->isActiveWindow());
  fromTheTree(doubleClick, "y");
  EXPECT_EQ(editor->bytes().substr(0, 5), "zzy/*");
  fromTheTree([&] { pm->choose(console, PM::FiEdit); }, "x");
  EXPECT_EQ(editor->bytes().substr(0, 6), "zzyx/*");
  EXPECT_EQ(editorCount(), 2);  // main.c, reopened with the project, and console.c
}

// The output window and the status bar, where the workbench's messages
// appear, are clear of the project manager where the workbench puts them
// both, on a large and on a small screen, also when the frame takes its
// size after the manager was shown.
TEST_F(ProjectManagerTest, WbTheProjectManagerHidesNoMessage) {
  ASSERT_TRUE(pm->isVisible());
  for (QSize size : {QSize(1600, 975), QSize(1024, 675), QSize(1200, 800)}) {
    SCOPED_TRACE(size.width());
    frame->dispatch(cmd::close_output);
    frame->resize(size);
    QApplication::processEvents();
    frame->outOpenClear();
    for (int i = 0; i < 60; ++i) frame->outPrint("Searching...\n");
    frame->outPrint("Can't open COM1 (No such file or directory)\n");
    QApplication::processEvents();
    QWidget* output = frame->output()->parentWidget();
    const QRect shown(output->mapToGlobal(QPoint(0, 0)), output->size());
    EXPECT_FALSE(shown.intersects(pm->frameGeometry()));
    const QRect bar(frame->statusBar()->mapToGlobal(QPoint(0, 0)), frame->statusBar()->size());
    EXPECT_FALSE(bar.intersects(pm->frameGeometry()));
    EXPECT_TRUE(frame->geometry().contains(pm->frameGeometry()));
  }
  // Where the user has put it, it stays.
  pm->move(pm->pos() + QPoint(300, 0));
  const QPoint moved = pm->pos();
  frame->resize(1600, 975);
  QApplication::processEvents();
  EXPECT_EQ(pm->pos(), moved);
}

}  // namespace
}  // namespace zun::wb::test
