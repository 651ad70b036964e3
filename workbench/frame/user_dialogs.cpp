// The message boxes and the small modal dialogs of the frame and the editors,
// built in code with their historical texts. Each returns the plain answer;
// what follows from it is decided by the caller.
#include "workbench/frame/user_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "workbench/core/workbench_core.h"
#include "workbench/frame/about_dialog.h"

namespace zun::wb {

namespace {

QString title() { return QString::fromUtf8(product_title.data(), static_cast<int>(product_title.size())); }

const char* file_filters =
    "Project File (.c,.h,.asm,.s09,.lsc) (*.c *.h *.asm *.s09 *.lsc);;"
    "Misc. Files (.lst,.S,.map,.log,.crf) (*.lst *.S *.map *.log *.crf);;"
    "Object Files (.o09,.e09) (*.o09 *.e09);;"
    "Any File (*.*) (*)";

struct Choice {
  const char* text;
  UserDialogs::Answer answer;
};

// A question about one file: caption, "File:", the quoted name, the question,
// and a row of buttons. Escape gives `on_escape` when set, else is ignored.
UserDialogs::Answer ask_about_file(QWidget* owner, const QString& caption, const QString& file,
                                   const QString& question, std::initializer_list<Choice> choices,
                                   std::optional<UserDialogs::Answer> on_escape) {
  class Dialog : public QDialog {
   public:
    using QDialog::QDialog;
    bool escape_allowed = false;
    void reject() override {
      if (escape_allowed) QDialog::reject();
    }
  } dlg(owner);
  dlg.setWindowTitle(caption);
  dlg.escape_allowed = on_escape.has_value();
  auto* layout = new QVBoxLayout(&dlg);
  layout->addWidget(new QLabel(QStringLiteral("File:"), &dlg));
  layout->addWidget(new QLabel(QStringLiteral("'%1'").arg(file), &dlg));
  layout->addWidget(new QLabel(question, &dlg));
  auto* row = new QHBoxLayout;
  UserDialogs::Answer result = on_escape.value_or(UserDialogs::Answer::No);
  for (const Choice& c : choices) {
    auto* button = new QPushButton(QString::fromUtf8(c.text), &dlg);
    QObject::connect(button, &QPushButton::clicked, &dlg, [&dlg, &result, c] {
      result = c.answer;
      dlg.accept();
    });
    row->addWidget(button);
  }
  layout->addLayout(row);
  dlg.exec();
  return result;
}

}  // namespace

void QtUserDialogs::error(const QString& text) { QMessageBox::critical(owner_, title(), text); }

void QtUserDialogs::warning(const QString& text) { QMessageBox::warning(owner_, title(), text); }

bool QtUserDialogs::question(const QString& text) {
  return QMessageBox::question(owner_, title(), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

UserDialogs::Answer QtUserDialogs::askSave(const QString& fileName) {
  return ask_about_file(owner_, QStringLiteral("Save this file?"), fileName,
                        QStringLiteral("is not yet saved. Save it now?"),
                        {{"&Yes", Answer::Yes}, {"&No", Answer::No}}, Answer::Cancel);
}

UserDialogs::Answer QtUserDialogs::askSaveAll(const QString& fileName) {
  return ask_about_file(owner_, QStringLiteral("Save File(s)?"), fileName,
                        QStringLiteral("is not saved. Save it now?"),
                        {{"&Yes", Answer::Yes},
                         {"&No", Answer::No},
                         {"Save &All", Answer::All},
                         {"&Discard all changes", Answer::NoneAll}},
                        Answer::Cancel);
}

UserDialogs::Answer QtUserDialogs::askReloadAll(const QString& fileName) {
  return ask_about_file(owner_, title(), fileName, QStringLiteral("has been updated outside editor, reload?"),
                        {{"&Yes", Answer::Yes},
                         {"&No", Answer::No},
                         {"Yes to &All", Answer::All},
                         {"N&o to All", Answer::NoneAll}},
                        std::nullopt);
}

QString QtUserDialogs::openFileName(const QString& dir) {
  return QFileDialog::getOpenFileName(owner_, QStringLiteral("Open"), dir, QString::fromUtf8(file_filters));
}

QString QtUserDialogs::saveFileName(const QString& dir) {
  return QFileDialog::getSaveFileName(owner_, QStringLiteral("Save"), dir, QString::fromUtf8(file_filters));
}

QStringList QtUserDialogs::chooseFiles(const FileRequest& request) {
  QFileDialog dialog(owner_, request.title, request.dir);
  dialog.setObjectName(request.title);
  dialog.setNameFilters(request.filters);
  dialog.setDefaultSuffix(request.suffix);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save       ? QFileDialog::AnyFile
                     : request.multiple ? QFileDialog::ExistingFiles
                                     : QFileDialog::ExistingFile);
  // Qt's own dialog where no desktop one can be driven (tests, bare X servers).
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

// The program to load into the simulator, the debugger or the board.
QString QtUserDialogs::loadFileName(const QString& dir, const QString& current) {
  return QFileDialog::getOpenFileName(owner_, QStringLiteral("Load File"), current.isEmpty() ? dir : current,
                                      QStringLiteral("Motorola S-format (.s19) (*.s19);;"
                                                     "Intel HEX-format (.ihx)  (*.ihx);;"
                                                     "Any File (*.*) (*)"));
}

// "GOTOLINE": one field starting at "1" and only an OK button.
unsigned QtUserDialogs::goToLine() {
  class Dialog : public QDialog {
   public:
    using QDialog::QDialog;
    void reject() override {}
  } dlg(owner_);
  dlg.setWindowTitle(QStringLiteral("Go To Line"));
  auto* layout = new QVBoxLayout(&dlg);
  auto* field = new QLineEdit(QStringLiteral("1"), &dlg);
  field->selectAll();
  layout->addWidget(new QLabel(QStringLiteral("Line number:"), &dlg));
  layout->addWidget(field);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  layout->addWidget(buttons);
  dlg.exec();
  bool ok = false;
  unsigned n = field->text().trimmed().toUInt(&ok);
  return ok ? n : 0;
}

bool QtUserDialogs::choosePrinter(QPrinter& printer) {
  QPrintDialog dialog(&printer, owner_);
  return dialog.exec() == QDialog::Accepted;
}

void QtUserDialogs::about(const QString& version) {
  AboutDialog dialog(version, owner_);
  dialog.exec();
}

// The help pages are plain HTML installed beside the program; a small
// browser window shows them, with Back and Forward through the pages seen and
// Contents for the index. It belongs to the frame and goes with it.
void QtUserDialogs::help(const QString& indexPage) {
  if (!QFileInfo::exists(indexPage)) {
    error(QStringLiteral("Can't find help file '%1'").arg(indexPage));
    return;
  }
  auto* window = new QWidget(owner_, Qt::Window);
  window->setObjectName(QStringLiteral("help window"));
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QStringLiteral("Help on ZUN"));
  auto* browser = new QTextBrowser(window);
  browser->setObjectName(QStringLiteral("help browser"));
  auto* bar = new QToolBar(window);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QStyle* style = window->style();
  QAction* back = bar->addAction(style->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"), browser,
                                 &QTextBrowser::backward);
  QAction* forward = bar->addAction(style->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Forward"),
                                    browser, &QTextBrowser::forward);
  QAction* contents = bar->addAction(style->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"),
                                     browser, &QTextBrowser::home);
  back->setObjectName(QStringLiteral("back"));
  forward->setObjectName(QStringLiteral("forward"));
  contents->setObjectName(QStringLiteral("contents"));
  back->setEnabled(false);
  forward->setEnabled(false);
  QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser);
  browser->setSource(QUrl::fromLocalFile(indexPage));
  window->resize(780, 640);
  window->show();
}

}  // namespace zun::wb
