// The debugger's dialogs; see sld_dialogs.h.
#include "debugger/sldwin/sld_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zun::sldwin {

BreakpointDialog::BreakpointDialog(sld::SldBreakpoints& breakpoints, QWidget* parent)
    : QDialog(parent), bps_(breakpoints) {
  setObjectName(QStringLiteral("SLDBREAKDIALOG"));
  setWindowTitle(QStringLiteral("Breakpoints"));
  list_ = new QListWidget;
  list_->setMinimumWidth(360);
  done_ = new QPushButton(QStringLiteral("Done"));
  toggle_ = new QPushButton(QStringLiteral("Enable"));
  remove_ = new QPushButton(QStringLiteral("Remove"));
  remove_all_ = new QPushButton(QStringLiteral("Remove All"));
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {done_, toggle_, remove_, remove_all_}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::currentRowChanged, this, &BreakpointDialog::selected);
  connect(toggle_, &QPushButton::clicked, this, [this] {
    const int row = list_->currentRow();
    bps_.sld_bp_dialog_toggle(selectedText().toStdString());
    refill();
    // The line stays selected: its button now switches it back.
    list_->setCurrentRow(row);
  });
  connect(remove_, &QPushButton::clicked, this, [this] {
    bps_.sld_bp_dialog_remove(selectedText().toStdString());
    refill();
  });
  connect(remove_all_, &QPushButton::clicked, this, [this] {
    bps_.sld_bp_dialog_remove_all();
    refill();
  });
  refill();
}

QString BreakpointDialog::selectedText() const {
  QListWidgetItem* item = list_->currentItem();
  return item ? item->text() : QString();
}

void BreakpointDialog::refill() {
  list_->blockSignals(true);
  list_->clear();
  for (const std::string& line : bps_.sld_bp_dialog_lines()) list_->addItem(QString::fromStdString(line));
  list_->setCurrentRow(-1);
  list_->blockSignals(false);
  const bool rows = bps_.sld_bp_dialog_has_rows();
  toggle_->setEnabled(false);
  remove_->setEnabled(false);
  remove_all_->setEnabled(rows);
}

void BreakpointDialog::selected() {
  const bool rows = bps_.sld_bp_dialog_has_rows() && list_->currentItem();
  toggle_->setEnabled(rows);
  remove_->setEnabled(rows);
  if (rows) toggle_->setText(QString::fromStdString(bps_.sld_bp_dialog_toggle_text(selectedText().toStdString())));
}

SupplyCodeDialog::SupplyCodeDialog(sld::SupplyCodeInfo& info, std::function<void(const QString&)> error,
                                   QWidget* parent)
    : QDialog(parent), info_(info), error_(std::move(error)) {
  setObjectName(QStringLiteral("SUPPLYSTARTADDRESS"));
  setWindowTitle(QStringLiteral("Supply Code Information"));
  auto* form = new QFormLayout;
  const auto texts = sld::supply_code_texts(info_);
  const char* labels[] = {"Code LOW limit", "Code HIGH limit", "Entry"};
  for (int i = 0; i < 3; ++i) {
    fields_[i] = new QLineEdit(QString::fromStdString(texts[static_cast<size_t>(i)]));
    fields_[i]->setMaxLength(63);
    form->addRow(QString::fromLatin1(labels[i]), fields_[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &SupplyCodeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void SupplyCodeDialog::accept() {
  std::array<std::string, 3> texts;
  for (int i = 0; i < 3; ++i) texts[static_cast<size_t>(i)] = fields_[i]->text().toStdString();
  const std::string error = sld::supply_code_accept(texts, info_);
  if (!error.empty()) {
    if (error_) error_(QString::fromStdString(error));
    return;
  }
  QDialog::accept();
}

}  // namespace zun::sldwin
