// The Find in Files dialog, built in code with its historical texts.
#include "workbench/build/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

#include "workbench/core/workbench_core.h"

namespace zun::wb {

namespace {

// Refuses a text longer than the history keeps, in UTF-8 bytes as the
// history counts them.
class ByteLimit : public QValidator {
 public:
  ByteLimit(size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}
  State validate(QString& input, int&) const override {
    return static_cast<size_t>(input.toUtf8().size()) <= limit_ ? Acceptable : Invalid;
  }

 private:
  size_t limit_;
};

QComboBox* history_box(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumWidth(320);
  return box;
}

QCheckBox* flag_box(QWidget* parent, const char* text, bool on) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(text));
  box->setChecked(on);
  return box;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FindInFilesDialog::FindInFilesDialog(FindSettings& settings, QWidget* parent,
                                     std::function<QString(const QString&)> browse)
    : QDialog(parent), settings_(settings), browse_(std::move(browse)) {
  setObjectName(QStringLiteral("FINDINFILES"));
  setWindowTitle(QStringLiteral("Find in Files"));
  what_ = history_box(this, "find what");
  types_ = history_box(this, "file types");
  folder_ = history_box(this, "folder");
  fill(what_, settings.what);
  fill(types_, settings.types);
  fill(folder_, settings.folder);
  what_->lineEdit()->setValidator(new ByteLimit(settings.what.max_length(), this));
  folder_->lineEdit()->setValidator(new ByteLimit(settings.folder.max_length(), this));

  auto* browse_button = new QPushButton(QStringLiteral("..."), this);
  browse_button->setObjectName(QStringLiteral("browse"));
  browse_button->setAutoDefault(false);
  browse_button->setFixedWidth(browse_button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  whole_words_ = flag_box(this, "Match whole words only", settings.whole_words);
  match_case_ = flag_box(this, "Match case", settings.match_case);
  regex_ = flag_box(this, "Regular expression", settings.regex);
  subfolders_ = flag_box(this, "Look in subfolders", settings.subfolders);
  find_ = new QPushButton(QStringLiteral("Find"), this);
  find_->setObjectName(QStringLiteral("Find"));
  find_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Find what:"), this), 0, 0);
  grid->addWidget(what_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("in files/file types"), this), 1, 0);
  grid->addWidget(types_, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("in folder"), this), 2, 0);
  grid->addWidget(folder_, 2, 1);
  grid->addWidget(browse_button, 2, 2);
  auto* flags = new QGridLayout;
  flags->addWidget(whole_words_, 0, 0);
  flags->addWidget(regex_, 0, 1);
  flags->addWidget(match_case_, 1, 0);
  flags->addWidget(subfolders_, 1, 1);
  grid->addLayout(flags, 3, 0, 1, 3);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(find_);
  buttons->addWidget(cancel);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 4, 1);

  // An empty search text would list every line of every file.
  auto update_find = [this] { find_->setEnabled(!what_->currentText().isEmpty()); };
  connect(what_, &QComboBox::currentTextChanged, this, update_find);
  update_find();
  connect(browse_button, &QPushButton::clicked, this, &FindInFilesDialog::chooseFolder);
  connect(find_, &QPushButton::clicked, this, &FindInFilesDialog::find);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FindInFilesDialog::fill(QComboBox* box, const SearchHistory& history) {
  box->clear();
  for (const std::string& entry : history.filled()) box->addItem(qs(entry));
  box->setEditText(qs(history.current()));
}

void FindInFilesDialog::chooseFolder() {
  const QString start = folder_->currentText();
  QString chosen = browse_ ? browse_(start)
                           : QFileDialog::getExistingDirectory(this, QStringLiteral("select search folder"), start,
                                                               QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return;
  std::string path = chosen.toStdString();
  if (path.size() > settings_.folder.max_length()) {
    QMessageBox::critical(this, QString::fromUtf8(product_title.data(), static_cast<int>(product_title.size())),
                          QStringLiteral("The folder's path is longer than %1 characters").arg(settings_.folder.max_length()));
    return;
  }
  settings_.folder.push(path);
  fill(folder_, settings_.folder);
}

void FindInFilesDialog::find() {
  settings_.what.push(what_->currentText().toStdString());
  settings_.folder.push(folder_->currentText().toStdString());
  settings_.types.push(types_->currentText().toStdString());
  settings_.whole_words = whole_words_->isChecked();
  settings_.match_case = match_case_->isChecked();
  settings_.regex = regex_->isChecked();
  settings_.subfolders = subfolders_->isChecked();
  accept();
}

}  // namespace zun::wb
