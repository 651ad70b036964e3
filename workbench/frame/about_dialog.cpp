// The About dialog's fields keep their historical control numbers in their
// object names: 1004 the product lines, 1251 the notices, 2018 the version.
#include "workbench/frame/about_dialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "workbench/core/workbench_core.h"
#include "workbench/frame/splash_art.h"

namespace zun::wb {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// One line per entry, each ended by CR LF.
QString joined(std::span<const std::string_view> lines) {
  QString text;
  for (std::string_view line : lines) text += qs(line) + QStringLiteral("\r\n");
  return text;
}

QPlainTextEdit* block(QWidget* parent, const char* name, std::span<const std::string_view> lines) {
  auto* field = new QPlainTextEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  field->setLineWrapMode(QPlainTextEdit::NoWrap);
  field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the last line end opens an empty line
  field->setPlainText(joined(lines));
  const QFontMetrics fm(field->font());
  field->setMinimumWidth(fm.horizontalAdvance(QLatin1Char('M')) * 40);
  field->setFixedHeight(fm.lineSpacing() * static_cast<int>(lines.size()) + 2 * field->frameWidth() +
                        2 * static_cast<int>(field->document()->documentMargin()) + 4);
  return field;
}

}  // namespace

AboutDialog::AboutDialog(const QString& version, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("IDD_ABOUT"));
  setWindowTitle(qs(product_title));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(block(this, "product 1004", product_lines()));
  layout->addWidget(block(this, "notice 1251", notice_lines()));
  auto* version_field = new QLineEdit(version, this);
  version_field->setObjectName(QStringLiteral("version 2018"));
  version_field->setReadOnly(true);
  layout->addWidget(version_field);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace zun::wb
