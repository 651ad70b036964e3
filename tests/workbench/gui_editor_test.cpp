// Editor files: byte-exact load and save (CRLF, LF, NUL), backups, read-only
// and unreadable files, save failures, and the close protocol with scripted
// answers.
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include "gui_fixture.h"

using namespace zun::wb;
using namespace zun::wb::test;
using Answer = UserDialogs::Answer;

namespace {

// Types a word and a line end at the end of the text, as the user would.
void append_line(EditorChild* e, const char* word) {
  auto* s = e->component();
  s->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
  s->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<unsigned long>(std::strlen(word)), word);
  s->SendScintilla(QsciScintillaBase::SCI_NEWLINE);
}

}  // namespace

TEST_F(FrameTest, WbFilesRoundTripByteForByte) {
  struct Case {
    const char* name;
    std::string before, after;
  } cases[] = {
      {"crlf.c", "int a;\r\nint b;\r\n", "int a;\r\nint b;\r\nx\r\n"},
      {"lf.s09", "\tlda #1\n\trts\n", "\tlda #1\n\trts\nx\n"},
      {"nul.asm", std::string("a\0b\n", 4), std::string("a\0b\nx\n", 6)},
  };
  for (const Case& c : cases) {
    put(c.name, c.before);
    EditorChild* e = frame->editors()->open(path(c.name));
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(e->bytes(), c.before) << c.name;
    EXPECT_EQ(file((std::string("~") + c.name + "~").c_str()), c.before) << "backup of " << c.name;
    append_line(e, "x");
    ASSERT_TRUE(e->save()) << c.name;
    EXPECT_EQ(file(c.name), c.after) << c.name;
    e->reload();
    EXPECT_EQ(e->bytes(), c.after) << c.name;
    EXPECT_FALSE(e->modified()) << c.name;
  }
  EXPECT_EQ(editorCount(), 3);
  EXPECT_EQ(frame->mdiArea()->activeSubWindow()->objectName(), "ZUNKY09##zunDrawClass");
}

TEST_F(FrameTest, WbOpeningTwiceActivatesTheSameEditor) {
  put("main.c", "x\n");
  EditorChild* a = frame->editors()->open(path("main.c"));
  EditorChild* b = frame->editors()->open(dir_.path() + "/./sub/../main.c");
  EXPECT_EQ(a, b);
  EXPECT_EQ(editorCount(), 1);
}

TEST_F(FrameTest, WbAccessChecks) {
  put("ro.c", "const\n");
  put("secret.c", "x\n");
  access->read_only.insert(path("ro.c"));
  access->unreadable.insert(path("secret.c"));
  EditorChild* ro = frame->editors()->open(path("ro.c"));
  ASSERT_NE(ro, nullptr);
  EXPECT_EQ(ro->parentWidget()->windowTitle(), "ro.c (Read Only)");
  EXPECT_TRUE(ro->backupPath().isEmpty());
  EXPECT_FALSE(QFile::exists(path("~ro.c~")));
  EXPECT_NE(ro->component()->SendScintilla(QsciScintillaBase::SCI_GETREADONLY), 0);
  EXPECT_EQ(frame->editors()->open(path("secret.c")), nullptr);
  EXPECT_EQ(frame->editors()->open(path("none.c")), nullptr);
  QDir(dir_.path()).mkdir("dir.c");  // a message line may name anything
  EXPECT_EQ(frame->editors()->open(path("dir.c")), nullptr);
  ASSERT_EQ(dialogs->errors.size(), 3u);
  EXPECT_EQ(dialogs->errors[0], "File '" + path("secret.c") + "', no Read permission");
  EXPECT_EQ(dialogs->errors[1], "File '" + path("none.c") + "' can't be accessed");
  EXPECT_EQ(dialogs->errors[2], "File '" + path("dir.c") + "' can't be accessed");
  EXPECT_EQ(editorCount(), 1);
  EXPECT_EQ(childCount(), 1);
}

TEST_F(FrameTest, WbCloseAsksAndEscapeKeepsTheEditor) {
  put("main.c", "old\n");
  EditorChild* e = frame->editors()->open(path("main.c"));
  append_line(e, "new");
  auto* sub = frame->mdiArea()->activeSubWindow();
  dialogs->save_answers = {Answer::Cancel};
  EXPECT_FALSE(frame->closeChild(sub));
  EXPECT_EQ(editorCount(), 1);
  EXPECT_TRUE(e->modified());
  dialogs->save_answers = {Answer::Yes};
  sub->close();  // the window's own close box goes through the frame too
  EXPECT_EQ(editorCount(), 0);
  EXPECT_EQ(file("main.c"), "old\nnew\n");
  EXPECT_FALSE(QFile::exists(path("~main.c~")));
  EXPECT_EQ(dialogs->asked_save, (std::vector<QString>{"main.c", "main.c"}));
}

TEST_F(FrameTest, WbFrameStaysWhileAnEditorCancelsItsClose) {
  put("a.c", "a\n");
  put("b.c", "b\n");
  frame->outOpenClear();
  frame->editors()->open(path("a.c"));
  EditorChild* b = frame->editors()->open(path("b.c"));
  append_line(b, "more");
  dialogs->save_answers = {Answer::Cancel};
  EXPECT_FALSE(frame->close());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(editorCount(), 1);  // the output window and a.c are gone, b.c stays
  EXPECT_EQ(childCount(), 1);
  EXPECT_TRUE(b->modified());
}

// Closing asks only about edits not saved yet. No drops those edits and
// nothing else: every save since opening (a build saves too) stays on disk.
TEST_F(FrameTest, WbCloseAsksOnlyAboutUnsavedEditsAndNoKeepsTheSaves) {
  put("main.c", "v0\n");
  EditorChild* e = frame->editors()->open(path("main.c"));
  append_line(e, "v1");
  e->save();
  frame->dispatch(cmd::close_file);
  EXPECT_EQ(editorCount(), 0);
  EXPECT_TRUE(dialogs->asked_save.empty());
  EXPECT_EQ(file("main.c"), "v0\nv1\n");

  e = frame->editors()->open(path("main.c"));
  append_line(e, "v2");
  e->save();
  append_line(e, "unsaved");
  dialogs->save_answers = {Answer::No};
  frame->dispatch(cmd::close_file);
  EXPECT_EQ(editorCount(), 0);
  EXPECT_EQ(dialogs->asked_save, std::vector<QString>{"main.c"});
  EXPECT_EQ(file("main.c"), "v0\nv1\nv2\n");
  EXPECT_FALSE(QFile::exists(path("~main.c~")));
}

namespace {

// Acts on the question once it is up; one that stays up after that is
// answered with its first button, so that the test fails instead of hanging.
void act_on_question(const std::function<void(QWidget*)>& act) {
  whenShown({}, [act](QWidget* w) {
    QPointer<QWidget> question(w);
    act(w);
    QTimer::singleShot(1000, [question] {
      if (!question || !question->isVisible()) return;
      ADD_FAILURE() << "the question stayed up";
      question->findChild<QPushButton*>()->click();
    });
  });
}

}  // namespace

// The real save questions: Escape and the window's close button both cancel.
TEST_F(FrameTest, WbSaveQuestionsCancelOnEscapeAndOnTheirCloseButton) {
  QtUserDialogs real(frame.get());
  const std::function<void(QWidget*)> escape = [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); };
  const std::function<void(QWidget*)> close_box = [](QWidget* w) { w->close(); };
  for (const auto& act : {escape, close_box}) {
    act_on_question(act);
    EXPECT_EQ(real.askSaveAll(QStringLiteral("a.c")), Answer::Cancel);
    act_on_question(act);
    EXPECT_EQ(real.askSave(QStringLiteral("a.c")), Answer::Cancel);
  }
}

TEST_F(FrameTest, WbUnchangedEditorClosesWithoutQuestion) {
  put("main.c", "v0\n");
  frame->editors()->open(path("main.c"));
  frame->dispatch(cmd::close_all);
  EXPECT_EQ(editorCount(), 0);
  EXPECT_TRUE(dialogs->asked_save.empty());
}

// The save-all question comes only for editors with unsaved edits, and an
// answer for all covers the rest. Escape settles none of them, not even
// those answered before it.
TEST_F(FrameTest, WbAskSaveAllSettlesOnlyUnsavedEditsAndEscapeSettlesNothing) {
  const char* names[] = {"a.c", "b.c", "c.c", "d.c", "e.c"};
  std::vector<EditorChild*> e;
  for (const char* name : names) {
    put(name, std::string(1, name[0]) + "\n");
    e.push_back(frame->editors()->open(path(name)));
    append_line(e.back(), "more");
  }
  e[1]->save();
  append_line(e[1], "unsaved");
  e[2]->save();
  dialogs->save_all_answers = {Answer::Yes, Answer::Cancel};
  EXPECT_FALSE(frame->editors()->askSaveAll());
  EXPECT_EQ(dialogs->asked_save, (std::vector<QString>{"a.c", "b.c"}));
  EXPECT_EQ(file("a.c"), "a\n");
  EXPECT_TRUE(e[0]->modified());
  EXPECT_TRUE(e[1]->modified());

  dialogs->asked_save.clear();
  dialogs->save_all_answers = {Answer::Yes, Answer::No, Answer::NoneAll};
  EXPECT_TRUE(frame->editors()->askSaveAll());
  EXPECT_EQ(dialogs->asked_save, (std::vector<QString>{"a.c", "b.c", "d.c"}));  // e.c follows "Discard all changes"
  for (EditorChild* editor : e) EXPECT_FALSE(editor->modified());
  frame->dispatch(cmd::close_all);  // no scripted askSave answers: any question fails
  EXPECT_EQ(editorCount(), 0);
  EXPECT_EQ(file("a.c"), "a\nmore\n");
  EXPECT_EQ(file("b.c"), "b\nmore\n");
  EXPECT_EQ(file("c.c"), "c\nmore\n");
  EXPECT_EQ(file("d.c"), "d\n");
  EXPECT_EQ(file("e.c"), "e\n");
}

TEST_F(FrameTest, WbFailedSaveKeepsModifiedStateAndTheEditor) {
  QDir(dir_.path()).mkdir("gone");
  put("gone/x.c", "x\n");
  EditorChild* e = frame->editors()->open(path("gone/x.c"));
  ASSERT_NE(e, nullptr);
  append_line(e, "y");
  QDir(path("gone")).removeRecursively();
  EXPECT_FALSE(e->save());
  ASSERT_EQ(dialogs->errors.size(), 1u);
  EXPECT_EQ(dialogs->errors[0], "Can't write to file '" + path("gone/x.c") + "', is file write protected?");
  EXPECT_TRUE(e->modified());
  dialogs->save_answers = {Answer::Yes};
  EXPECT_FALSE(frame->closeChild(frame->mdiArea()->activeSubWindow()));
  EXPECT_EQ(editorCount(), 1);
}

// A save that fails in the save-all step stops the step before any edit is
// dropped: an editor answered No keeps its edits too.
TEST_F(FrameTest, WbAFailedSaveInTheSaveAllStepDropsNoEdits) {
  put("a.c", "a\n");
  QDir(dir_.path()).mkdir("gone");
  put("gone/b.c", "b\n");
  EditorChild* a = frame->editors()->open(path("a.c"));
  EditorChild* b = frame->editors()->open(path("gone/b.c"));
  append_line(a, "more");
  append_line(b, "more");
  QDir(path("gone")).removeRecursively();
  dialogs->save_all_answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(frame->editors()->askSaveAll());
  EXPECT_EQ(dialogs->errors.size(), 1u);
  EXPECT_TRUE(a->modified());
  EXPECT_TRUE(b->modified());
  EXPECT_EQ(file("a.c"), "a\n");
}

TEST_F(FrameTest, WbMissingBackupIsForgottenAndNeverTruncates) {
  put("m.c", "keep\n");
  QDir(dir_.path()).mkdir("~m.c~");  // the backup cannot be written over a directory
  EditorChild* e = frame->editors()->open(path("m.c"));
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(dialogs->warnings.size(), 1u);
  EXPECT_TRUE(e->backupPath().isEmpty());
  append_line(e, "edit");
  e->save();
  append_line(e, "unsaved");
  dialogs->save_answers = {Answer::No};
  EXPECT_TRUE(frame->closeChild(frame->mdiArea()->activeSubWindow()));
  EXPECT_EQ(file("m.c"), "keep\nedit\n");
}

TEST_F(FrameTest, WbSaveAsMovesTheBackupAndNewFileCreatesItsFile) {
  put("old.c", "o\n");
  EditorChild* e = frame->editors()->open(path("old.c"));
  dialogs->file_names = {path("new.c")};
  frame->dispatch(cmd::save_as);
  EXPECT_EQ(e->path(), path("new.c"));
  EXPECT_EQ(file("new.c"), "o\n");
  EXPECT_FALSE(QFile::exists(path("~old.c~")));
  EXPECT_TRUE(QFile::exists(path("~new.c~")));
  EXPECT_EQ(e->parentWidget()->windowTitle(), "new.c");

  dialogs->file_names = {path("fresh.s09")};
  frame->dispatch(43158);
  EXPECT_EQ(file("fresh.s09"), "");
  EXPECT_EQ(editorCount(), 2);
}

TEST_F(FrameTest, WbChangeOutsideIsAskedOnce) {
  put("a.c", "1\n");
  put("b.c", "2\n");
  EditorChild* a = frame->editors()->open(path("a.c"));
  frame->editors()->open(path("b.c"));
  QFile f(path("a.c"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("outside\n");
  f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
  f.close();
  dialogs->question_answers = {false};
  frame->editors()->open(path("a.c"));  // activation asks
  ASSERT_EQ(dialogs->questions.size(), 1u);
  EXPECT_EQ(dialogs->questions[0], "File '" + path("a.c") + "' has been changed outside the editor, reload it?");
  EXPECT_EQ(a->bytes(), "1\n");
  frame->editors()->open(path("b.c"));
  frame->editors()->open(path("a.c"));  // the same change is not asked again
  EXPECT_EQ(dialogs->questions.size(), 1u);
}

TEST_F(FrameTest, WbReloadAfterBuildAsksPerFileUntilAnAllAnswer) {
  const char* names[] = {"a.c", "b.c", "c.c", "d.c"};
  std::vector<EditorChild*> eds;
  for (const char* n : names) {
    put(n, "old\n");
    eds.push_back(frame->editors()->open(path(n)));
  }
  for (const char* n : names) {
    QFile f(path(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("new\n");
    f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
  }
  dialogs->reload_answers = {Answer::No, Answer::All};
  frame->editors()->reloadChanged();
  EXPECT_EQ(eds[0]->bytes(), "old\n");
  EXPECT_EQ(eds[1]->bytes(), "new\n");
  EXPECT_EQ(eds[2]->bytes(), "new\n");
  EXPECT_EQ(eds[3]->bytes(), "new\n");
  EXPECT_EQ(file("~d.c~"), "new\n");  // a reload makes a new backup
  frame->editors()->reloadChanged();  // nothing changed since: no question
}

TEST_F(FrameTest, WbPrintRendersTheTextIntoThePrinter) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "\tlda\t#" + std::to_string(i) + "\n";
  put("p.s09", text);
  frame->editors()->open(path("p.s09"));
  frame->dispatch(cmd::print);  // cancelled: nothing printed
  dialogs->pdf = path("p.pdf");
  frame->dispatch(cmd::print);
  std::string pdf = file("p.pdf");
  EXPECT_EQ(pdf.substr(0, 4), "%PDF");
  EXPECT_GT(pdf.size(), 2000u);
}

TEST_F(FrameTest, WbFileDialogsRememberOnlyTheCurrentDirectoryChoice) {
  QDir(dir_.path()).mkdir("sub");
  put("a.c", "a\n");
  put("sub/b.c", "b\n");
  dialogs->file_names = {path("a.c"), path("sub/b.c"), QString(), path("sub/n.c")};
  frame->dispatch(43151);  // in Current: the remembered place moves to a.c's directory
  frame->dispatch(43154);  // in Config files directory
  frame->dispatch(43151);  // cancelled
  frame->dispatch(43164);  // New File in Start files directory
  ASSERT_EQ(dialogs->dialog_dirs.size(), 4u);
  EXPECT_TRUE(dialogs->dialog_dirs[1].endsWith("/config/zun09"));
  EXPECT_EQ(dialogs->dialog_dirs[2], dir_.path());
  EXPECT_TRUE(dialogs->dialog_dirs[3].endsWith("/src/startup/zun09"));
  EXPECT_EQ(editorCount(), 3);
  EXPECT_EQ(file("sub/n.c"), "");
}
