// The editors' configuration and editing aids in real components: lexers by
// file kind, the assembler colouriser through the component, find and
// replace with their edge cases, automatic indentation, brace highlighting,
// the fold margin, and a large file.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <Qsci/qsciscintillabase.h>

#include <filesystem>

#include "colour_golden.h"
#include "gui_fixture.h"
#include "workbench/editor/asm_colour.h"
#include "workbench/editor/edit_aids.h"
#include "workbench/editor/find_replace.h"

using namespace zun::wb;
using namespace zun::wb::test;
using S = QsciScintillaBase;

namespace {

long send(EditorChild* e, unsigned msg, unsigned long w = 0, long l = 0) { return e->component()->SendScintilla(msg, w, l); }

std::vector<uint8_t> styles_of(EditorChild* e) {
  send(e, S::SCI_COLOURISE, 0, -1);
  std::vector<uint8_t> out;
  for (long i = 0, n = send(e, S::SCI_GETLENGTH); i < n; ++i)
    out.push_back(static_cast<uint8_t>(send(e, S::SCI_GETSTYLEAT, static_cast<unsigned long>(i))));
  return out;
}

class EditingTest : public FrameTest {
 protected:
  FindDialog* openFind() {
    frame->dispatch(cmd::find_accel);
    FindDialog* d = frame->editors()->findDialog();
    EXPECT_NE(d, nullptr);
    EXPECT_TRUE(d && d->isVisible());
    return d;
  }
  void setFind(FindDialog* d, const char* text, const char* replace = "") {
    d->findChild<QComboBox*>("find what")->setEditText(QString::fromLatin1(text));
    d->findChild<QComboBox*>("replace with")->setEditText(QString::fromLatin1(replace));
  }
  void click(FindDialog* d, const char* name) { d->findChild<QPushButton*>(name)->click(); }
  static QAbstractButton* button(FindDialog* d, const char* text) {
    for (auto* b : d->findChildren<QAbstractButton*>())
      if (b->text() == QString::fromLatin1(text)) return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
  }
  void check(FindDialog* d, const char* text, bool on) { button(d, text)->setChecked(on); }
  QString status() const { return frame->statusText()->text(); }
  static std::pair<long, long> selection(EditorChild* e) {
    return {send(e, S::SCI_GETSELECTIONSTART), send(e, S::SCI_GETSELECTIONEND)};
  }
  EditorChild* active() const { return frame->editors()->activeEditor(); }
};

}  // namespace

TEST_F(EditingTest, WbFileKindsPickTheirLexer) {
  const std::pair<const char*, int> kinds[] = {
      {"x.S09", S::SCLEX_CONTAINER}, {"x.txt", S::SCLEX_NULL}, {"x.h", S::SCLEX_CPP},
      {"x.lsc", S::SCLEX_CPP},       {"x.ads", S::SCLEX_ADA},
  };
  for (auto [name, lexer] : kinds) {
    put(name, "\tlda\t#1\n");
    EditorChild* e = frame->editors()->open(path(name));
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(send(e, S::SCI_GETLEXER), lexer) << name;
  }
  // Our colouriser styles the assembler file; a new name changes the look.
  EditorChild* txt = frame->editors()->findByPath(path("x.txt"));
  EXPECT_EQ(styles_of(frame->editors()->findByPath(path("x.S09")))[1], asm_style::mnemonic);
  EXPECT_EQ(styles_of(txt)[1], 0);
  dialogs->file_names.push_back(path("y.asm"));
  ASSERT_TRUE(txt->saveAs());
  EXPECT_EQ(send(txt, S::SCI_GETLEXER), S::SCLEX_CONTAINER);
  EXPECT_EQ(styles_of(txt)[1], asm_style::mnemonic);
}

TEST_F(EditingTest, WbGoldenStylesThroughTheComponent) {
  for (const auto& entry : std::filesystem::directory_iterator(WB_COLOUR_CASES)) {
    if (entry.path().extension() != ".s09") continue;
    std::string name = entry.path().filename().string();
    std::string source = read_file_bytes(entry.path().string()).value();
    std::string expected = read_file_bytes(std::filesystem::path(entry.path()).replace_extension(".sty").string()).value();
    put(name.c_str(), source);
    EditorChild* e = frame->editors()->open(path(name.c_str()));
    ASSERT_NE(e, nullptr);
    std::vector<uint8_t> styles = styles_of(e);
    EXPECT_EQ(golden_styles(source, styles), expected) << name << golden_diff(source, expected, styles);
  }
  // Typing restyles from the start of the line: an opened string runs to
  // the line end, and the next line is as before.
  EditorChild* e = frame->editors()->findByPath(path("basics.s09"));
  ASSERT_NE(e, nullptr);
  styles_of(e);
  const long at = send(e, S::SCI_POSITIONFROMLINE, 1) + 8;
  send(e, S::SCI_INSERTTEXT, static_cast<unsigned long>(at), reinterpret_cast<long>("\""));
  std::string now = e->bytes();
  EXPECT_EQ(styles_of(e), ColouriseAsmDoc(now, 0, now.size(), 0, asm_keywords()));
  EXPECT_EQ(send(e, S::SCI_GETSTYLEAT, static_cast<unsigned long>(at + 3)), asm_style::string_eol);
}

TEST_F(EditingTest, WbFindNextAndReplace) {
  put("a.c", "abab foo\nABab\n");
  EditorChild* e = frame->editors()->open(path("a.c"));
  FindDialog* d = openFind();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->windowTitle(), "Find/Replace");
  setFind(d, "ab");
  check(d, "Match &case", true);
  click(d, "find next");
  EXPECT_EQ(selection(e), std::make_pair(0L, 2L));
  click(d, "find next");
  EXPECT_EQ(selection(e), std::make_pair(2L, 4L));
  click(d, "find next");
  EXPECT_EQ(selection(e), std::make_pair(11L, 13L));
  click(d, "find next");
  EXPECT_EQ(status(), "Passed end of document");
  // Up from the selection finds the match that ends right where it starts.
  send(e, S::SCI_SETSEL, 2, 4);
  check(d, "Search &up", true);
  click(d, "find next");
  EXPECT_EQ(selection(e), std::make_pair(0L, 2L));
  click(d, "find next");
  EXPECT_EQ(status(), "At beginning of document");
  EXPECT_EQ(selection(e), std::make_pair(0L, 2L));

  // Replace takes any selection; Replace All is one step to undo.
  send(e, S::SCI_SETSEL, 5, 8);
  setFind(d, "ab", "XY");
  click(d, "replace");
  EXPECT_EQ(e->bytes(), "abab XY\nABab\n");
  EXPECT_EQ(selection(e), std::make_pair(5L, 7L));
  check(d, "Match &case", false);
  setFind(d, "ab", "<>");
  click(d, "replace all");
  EXPECT_EQ(e->bytes(), "<><> XY\n<><>\n");
  send(e, S::SCI_UNDO);
  EXPECT_EQ(e->bytes(), "abab XY\nABab\n");
  setFind(d, "", "zz");
  click(d, "replace all");
  EXPECT_EQ(status(), "No text to match");
  EXPECT_EQ(e->bytes(), "abab XY\nABab\n");
  // The scope of all documents is given up, with a warning, for Replace All.
  setFind(d, "XY", "xy");
  check(d, "All &open documents", true);
  click(d, "replace all");
  EXPECT_EQ(dialogs->warnings, std::vector<QString>{"'Replace All' affects only current active document"});
  EXPECT_TRUE(button(d, "Current &document")->isChecked());
  EXPECT_EQ(e->bytes(), "abab xy\nABab\n");
  EXPECT_EQ(d->state().find_history.entries(), (std::vector<std::string>{"XY", "ab"}));
  EXPECT_EQ(d->state().replace_history.entries(), (std::vector<std::string>{"xy", "<>", "XY"}));

  // A read-only file cannot take the replacements, and says so.
  put("ro.c", "aaa\n");
  access->read_only.insert(path("ro.c"));
  EditorChild* ro = frame->editors()->open(path("ro.c"));
  setFind(d, "a", "");
  click(d, "replace all");
  EXPECT_EQ(status(), "Replace All failed");
  EXPECT_EQ(ro->bytes(), "aaa\n");
}

TEST_F(EditingTest, WbFindAcrossAllOpenDocuments) {
  put("0.c", "x0 x0\n");
  put("1.c", "none\n");
  put("2.c", "x2 x2\n");
  EditorChild* e0 = frame->editors()->open(path("0.c"));
  frame->editors()->open(path("1.c"));
  EditorChild* e2 = frame->editors()->open(path("2.c"));
  EditorChild* e1 = frame->editors()->open(path("1.c"));
  ASSERT_EQ(active(), e1);
  FindDialog* d = openFind();
  ASSERT_NE(d, nullptr);
  setFind(d, "x");
  check(d, "All &open documents", true);
  click(d, "find next");
  EXPECT_EQ(active(), e2);
  EXPECT_EQ(selection(e2), std::make_pair(0L, 1L));
  click(d, "find next");
  EXPECT_EQ(selection(e2), std::make_pair(3L, 4L));
  click(d, "find next");  // the round passes the end of the list to the first
  EXPECT_EQ(active(), e0);
  EXPECT_EQ(selection(e0), std::make_pair(0L, 1L));
  click(d, "find next");
  EXPECT_EQ(selection(e0), std::make_pair(3L, 4L));
  click(d, "find next");  // and ends where it began
  EXPECT_EQ(active(), e1);
  EXPECT_EQ(status(), "Passed end of document");
  // Upward, each next document is searched from its end.
  check(d, "Search &up", true);
  click(d, "find next");
  EXPECT_EQ(active(), e2);
  EXPECT_EQ(selection(e2), std::make_pair(3L, 4L));
}

TEST_F(EditingTest, WbEnterIndentsLikeTheLineAbove) {
  put("a.c", "    int x;\n\n");
  put("b.c", "\tif (a)\r\n");
  for (const char* name : {"a.c", "b.c"}) {
    EditorChild* e = frame->editors()->open(path(name));
    send(e, S::SCI_GOTOPOS, static_cast<unsigned long>(send(e, S::SCI_GETLENGTH)));
    QTest::keyClick(e->component(), Qt::Key_Return);
  }
  EditorChild* a = frame->editors()->findByPath(path("a.c"));
  EditorChild* b = frame->editors()->findByPath(path("b.c"));
  EXPECT_EQ(a->bytes(), "    int x;\n\n\n    ");  // the empty line is passed over
  EXPECT_EQ(send(a, S::SCI_GETCURRENTPOS), send(a, S::SCI_GETLENGTH));
  EXPECT_EQ(b->bytes(), "\tif (a)\r\n\r\n\t");
  EXPECT_EQ(send(b, S::SCI_GETCURRENTPOS), send(b, S::SCI_GETLENGTH));
}

TEST_F(EditingTest, WbBracesAreHighlightedWithOrWithoutPartner) {
  put("a.c", "f(a[1]) ( /* ) */\n");
  EditorChild* e = frame->editors()->open(path("a.c"));
  styles_of(e);
  auto caret_at = [&](long pos) {
    send(e, S::SCI_GOTOPOS, static_cast<unsigned long>(pos));
    e->aids()->brace_update();
  };
  caret_at(7);  // behind ')'
  EXPECT_EQ(e->aids()->bracePosition(), 6);
  EXPECT_EQ(e->aids()->braceMatch(), 1);
  caret_at(3);  // behind 'a', at '['
  EXPECT_EQ(e->aids()->bracePosition(), 3);
  EXPECT_EQ(e->aids()->braceMatch(), 5);
  caret_at(9);  // an open bracket whose partner is only in a comment
  EXPECT_EQ(e->aids()->bracePosition(), 8);
  EXPECT_EQ(e->aids()->braceMatch(), -1);
  caret_at(14);  // inside the comment
  EXPECT_EQ(e->aids()->bracePosition(), -1);
}

TEST_F(EditingTest, WbFoldMarginClickCollapsesACBlock) {
  put("a.c", "int f(void)\n{\n    return 1;\n}\nint g;\n");
  EditorChild* e = frame->editors()->open(path("a.c"));
  styles_of(e);
  QApplication::processEvents();
  ASSERT_TRUE(send(e, S::SCI_GETFOLDLEVEL, 1) & S::SC_FOLDLEVELHEADERFLAG);
  const int x = static_cast<int>(send(e, S::SCI_GETMARGINWIDTHN, 0) + send(e, S::SCI_GETMARGINWIDTHN, 1) + 6);
  const int y = static_cast<int>(send(e, S::SCI_POINTYFROMPOSITION, 0, send(e, S::SCI_POSITIONFROMLINE, 1)) +
                                 send(e, S::SCI_TEXTHEIGHT, 1) / 2);
  QTest::mouseClick(e->component()->viewport(), Qt::LeftButton, {}, QPoint(x, y));
  EXPECT_EQ(send(e, S::SCI_GETLINEVISIBLE, 2), 0);
  EXPECT_EQ(send(e, S::SCI_GETFOLDEXPANDED, 1), 0);
  // The block's brace goes: the header is gone, and its lines show again.
  send(e, S::SCI_DELETERANGE, static_cast<unsigned long>(send(e, S::SCI_POSITIONFROMLINE, 1)), 1);
  styles_of(e);
  EXPECT_FALSE(send(e, S::SCI_GETFOLDLEVEL, 1) & S::SC_FOLDLEVELHEADERFLAG);
  EXPECT_EQ(send(e, S::SCI_GETLINEVISIBLE, 2), 1);
}

TEST_F(EditingTest, WbFiveMegabyteCFileStaysResponsive) {
  std::string text;
  while (text.size() < 5 * 1024 * 1024)
    text += "static int count_bits(unsigned char v) { int n = 0; while (v) { n += v & 1; v >>= 1; } return n; }\n";
  put("big.c", text);
  QElapsedTimer t;
  t.start();
  EditorChild* e = frame->editors()->open(path("big.c"));
  ASSERT_NE(e, nullptr);
  QApplication::processEvents();
  send(e, S::SCI_GOTOPOS, static_cast<unsigned long>(send(e, S::SCI_GETLENGTH) / 2));
  QTest::keyClicks(e->component(), "x;");
  QTest::keyClick(e->component(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_LT(t.elapsed(), 10000);
}
