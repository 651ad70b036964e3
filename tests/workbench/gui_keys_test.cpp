// Keys with an editor focused: the frame's accelerators (Ctrl+S, Ctrl+O,
// Ctrl+F) reach the frame and the menus show them, the arrows move the
// caret; after Go To Line and Find the editor has the focus again, so what
// is typed next lands in the text and never opens a menu.
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include "tests/workbench/gui_fixture.h"
#include "workbench/editor/find_replace.h"

namespace zun::wb::test {
namespace {

class KeysTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    put("main.c", "one\ntwo\nthree\n");
    editor = frame->editors()->open(path("main.c"));
    ASSERT_NE(editor, nullptr);
    text = editor->component();
    text->setFocus();
    QApplication::processEvents();
  }
  long caretLine() const {
    long pos = text->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    return text->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  }
  // Types into whatever has the focus, as a user at the keyboard does.
  static void typeAtFocus(const QString& keys) {
    for (QChar c : keys) {
      QWidget* to = QApplication::focusWidget();
      if (!to) to = QApplication::activeWindow();
      ASSERT_NE(to, nullptr);
      QTest::keyClicks(to, QString(c));
    }
  }

  EditorChild* editor = nullptr;
  QsciScintillaBase* text = nullptr;
};

TEST_F(KeysTest, WbAcceleratorsWorkWithTheEditorFocusedAndTheMenusShowThem) {
  QTest::keyClick(text, Qt::Key_Down);
  QTest::keyClick(text, Qt::Key_End);
  QTest::keyClicks(text, "X");
  EXPECT_EQ(caretLine(), 1);
  QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(file("main.c"), "one\ntwoX\nthree\n");
  EXPECT_FALSE(editor->modified());

  dialogs->file_names = {QString()};
  QTest::keyClick(text, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialogs->dialog_dirs.size(), 1u);
  QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
  ASSERT_NE(frame->editors()->findDialog(), nullptr);
  EXPECT_TRUE(frame->editors()->findDialog()->isVisible());

  EXPECT_EQ(frame->action(cmd::save)->text(), "&Save\tCtrl+S");
  EXPECT_EQ(frame->action(cmd::find_replace)->text(), "&Find/Replace...\tCtrl+F");
  EXPECT_EQ(frame->action(cmd::open_file_first)->text(), "i&n Current\tCtrl+O");
}

// Go To Line chosen from the menu with the keyboard, its dialog answered,
// then typing.
TEST_F(KeysTest, WbTypingAfterGoToLineLandsInTheEditor) {
  dialogs->go_to_line = [this] {
    whenShown({}, [](QWidget* w) {
      QTest::keyClicks(w->focusWidget(), "3");
      QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    return QtUserDialogs(frame.get()).goToLine();
  };
  QTest::keyClick(frame.get(), Qt::Key_E, Qt::AltModifier);
  QMenu* edit = frame->menu(MenuId::Edit);
  ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->isVisible(); }));
  QTest::keyClick(edit, Qt::Key_G);
  QTest::qWait(20);
  EXPECT_EQ(caretLine(), 2);
  typeAtFocus(QStringLiteral(" oops"));
  EXPECT_EQ(editor->bytes(), "one\ntwo\n oopsthree\n");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(KeysTest, WbClosingFindGivesTheFocusBackToTheEditor) {
  frame->dispatch(cmd::find_replace);
  FindDialog* find = frame->editors()->findDialog();
  ASSERT_NE(find, nullptr);
  find->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(find));
  find->findChild<QComboBox*>()->setEditText(QStringLiteral("two"));
  find->find_next();
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_FALSE(find->isVisible());
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  EXPECT_EQ(QApplication::focusWidget(), text);
  typeAtFocus(QStringLiteral("2"));
  EXPECT_EQ(editor->bytes(), "one\n2\nthree\n");
}

}  // namespace
}  // namespace zun::wb::test
