// The help window as Help > Help on ZUN opens it on the staged pages: links
// followed by clicking them, Back, Forward and Contents, anchors that scroll,
// and every page with its pictures and style sheet loading in the browser.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <memory>

#include "tests/workbench/gui_fixture.h"
#include "workbench/frame/user_dialogs.h"

// Fontconfig keeps some of what it allocates while matching the pages' font
// families until the process ends; that is the system library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace zun::help {
namespace {

QString staged_help() {
  QByteArray stage = qgetenv("ZUN_STAGE");
  return QDir::cleanPath(QString::fromLocal8Bit(stage.isEmpty() ? QByteArray("stage") : stage) + "/help");
}

class HelpWindow : public testing::Test {
 protected:
  void SetUp() override {
    wb::test::ensure_app();
    wb::QtUserDialogs dialogs(nullptr);
    dialogs.help(staged_help() + "/index.html");
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "help window") window.reset(w);
    ASSERT_TRUE(window);
    browser = window->findChild<QTextBrowser*>("help browser");
    back = window->findChild<QAction*>("back");
    forward = window->findChild<QAction*>("forward");
    contents = window->findChild<QAction*>("contents");
    ASSERT_TRUE(browser && back && forward && contents);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override { window.reset(); }

  std::string page() const { return browser->source().fileName().toStdString(); }

  // Clicks the first link whose target is `href`, as the reader would.
  bool click(const QString& href) {
    QTextDocument* doc = browser->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        if (!f.charFormat().isAnchor() || f.charFormat().anchorHref() != href) continue;
        QTextCursor c(doc);
        c.setPosition(f.position() + 1);  // inside the link, not at a line break
        browser->setTextCursor(c);
        browser->ensureCursorVisible();
        QApplication::processEvents();
        // Two clicks in quick succession would make a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(c).center());
        QApplication::processEvents();
        return true;
      }
    }
    return false;
  }

  std::unique_ptr<QWidget> window;
  QTextBrowser* browser = nullptr;
  QAction *back = nullptr, *forward = nullptr, *contents = nullptr;
};

TEST_F(HelpWindow, LinksBackForwardAndContentsMoveThroughThePages) {
  EXPECT_EQ(window->windowTitle().toStdString(), "Help on ZUN");
  EXPECT_EQ(page(), "index.html");
  EXPECT_FALSE(back->isEnabled());
  EXPECT_FALSE(forward->isEnabled());

  ASSERT_TRUE(click("hasm09.html"));
  EXPECT_EQ(page(), "hasm09.html");
  EXPECT_EQ(browser->documentTitle().toStdString(), "The assembler hasm09");
  EXPECT_TRUE(back->isEnabled());

  // A link within the page scrolls to its anchor.
  ASSERT_TRUE(click("#directives"));
  EXPECT_EQ(browser->source().fragment().toStdString(), "directives");
  EXPECT_GT(browser->verticalScrollBar()->value(), 0);

  // A link to an anchor on another page.
  ASSERT_TRUE(click("vlk.html#script-entry"));
  EXPECT_EQ(page(), "vlk.html");
  EXPECT_GT(browser->verticalScrollBar()->value(), 0);

  back->trigger();
  back->trigger();
  EXPECT_EQ(page(), "hasm09.html");
  EXPECT_TRUE(forward->isEnabled());
  forward->trigger();
  EXPECT_EQ(browser->source().fragment().toStdString(), "directives");
  back->trigger();
  back->trigger();
  EXPECT_EQ(page(), "index.html");
  EXPECT_FALSE(back->isEnabled());
  forward->trigger();
  EXPECT_EQ(page(), "hasm09.html");
  contents->trigger();
  EXPECT_EQ(page(), "index.html");
}

// Every page of the staged help opens with its text; its pictures and its
// style sheet are found where the browser looks for them.
TEST_F(HelpWindow, EveryPageLoadsWithItsPicturesAndStyle) {
  QDir dir(staged_help());
  QStringList pages = dir.entryList({"*.html"});
  ASSERT_GT(pages.size(), 10);
  for (const QString& name : pages) {
    browser->setSource(QUrl::fromLocalFile(dir.filePath(name)));
    QTextDocument* doc = browser->document();
    EXPECT_FALSE(doc->toPlainText().trimmed().isEmpty()) << name.toStdString();
    EXPECT_FALSE(doc->metaInformation(QTextDocument::DocumentTitle).isEmpty()) << name.toStdString();
    // The style sheet took: preformatted blocks have their background.
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      if (!b.blockFormat().nonBreakableLines()) continue;
      EXPECT_NE(b.blockFormat().background().style(), Qt::NoBrush) << name.toStdString() << ": no style sheet";
      break;
    }
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        QTextCharFormat f = it.fragment().charFormat();
        if (!f.isImageFormat()) continue;
        QString src = f.toImageFormat().name();
        QVariant data = browser->loadResource(QTextDocument::ImageResource, QUrl(src));
        QImage image = data.typeId() == QMetaType::QByteArray ? QImage::fromData(data.toByteArray())
                                                                : data.value<QImage>();
        EXPECT_FALSE(image.isNull()) << name.toStdString() << ": picture " << src.toStdString() << " does not load";
      }
  }
}

}  // namespace
}  // namespace zun::help
