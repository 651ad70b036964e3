// The SETUPSERIAL dialog: a "Terminal" group (colours, load command, the two
// translations) and a "Serial Device" group (rate, flow control, modem
// lines, data bits, parity, stop bits), with OK, Cancel and Defaults.
#include "debugger/terminal/setup_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "debugger/terminal/terminal_child.h"

namespace zun::term {

namespace {

QGroupBox* group(const QString& title, QLayout* layout) {
  auto* box = new QGroupBox(title);
  box->setLayout(layout);
  return box;
}

QCheckBox* check(const QString& text, const char* name) {
  auto* c = new QCheckBox(text);
  c->setObjectName(QLatin1String(name));
  return c;
}

void set_checked(QButtonGroup* g, int id) {
  if (QAbstractButton* b = g->button(id)) b->setChecked(true);
}

}  // namespace

SetupDialog::SetupDialog(const SetupParams& params, QWidget* parent) : QDialog(parent), original_(params) {
  setObjectName(QStringLiteral("SETUPSERIAL"));
  setWindowTitle(params.caption);
  // A group box of radio buttons named "<name>_<id>".
  auto make = [this](const QString& title, const QString& name, const QStringList& texts, const QList<int>& ids,
                     int columns, QButtonGroup*& g) {
    auto* grid = new QGridLayout;
    g = new QButtonGroup(this);
    for (int i = 0; i < texts.size(); ++i) {
      auto* r = new QRadioButton(texts[i]);
      r->setObjectName(QStringLiteral("%1_%2").arg(name).arg(ids[i]));
      g->addButton(r, ids[i]);
      grid->addWidget(r, i / columns, i % columns);
    }
    return group(title, grid);
  };

  // Terminal
  auto* text_colour = new QPushButton(QStringLiteral("&Text Color"));
  text_colour->setObjectName(QStringLiteral("text_colour"));
  auto* back_colour = new QPushButton(QStringLiteral("&Background Color"));
  back_colour->setObjectName(QStringLiteral("back_colour"));
  load_command_ = new QLineEdit;
  load_command_->setObjectName(QStringLiteral("load_command"));
  load_command_->setMaxLength(int(load_command_max));
  auto* terminal = new QVBoxLayout;
  auto* colours = new QHBoxLayout;
  colours->addWidget(text_colour);
  colours->addWidget(back_colour);
  terminal->addLayout(colours);
  terminal->addWidget(new QLabel(QStringLiteral("Target Load Command")));
  terminal->addWidget(load_command_);
  terminal->addWidget(make(QStringLiteral("translation TO target"), QStringLiteral("enter"),
                           {QStringLiteral("<Enter> -> NL/CR"), QStringLiteral("<Enter> -> NL"),
                            QStringLiteral("<Enter> -> CR")},
                           {0, 1, 2}, 1, enter_));
  terminal->addWidget(make(QStringLiteral("translation FROM target"), QStringLiteral("receive"),
                           {QStringLiteral("NL/CR -> Linefeed"), QStringLiteral("NL -> Linefeed"),
                            QStringLiteral("CR -> Linefeed")},
                           {0, 1, 2}, 1, receive_));
  terminal->addStretch();
  QGroupBox* terminal_box = group(QStringLiteral("Terminal"), terminal);
  terminal_box->setEnabled(params.terminal_controls);

  // Serial Device
  QStringList rates;
  QList<int> rate_ids;
  for (const BaudChoice& b : baud_choices) {
    rates << QLatin1String(b.text);
    rate_ids << int(b.rate);
  }
  xon_out_ = check(QStringLiteral("Transmit"), "xon_out");
  xon_in_ = check(QStringLiteral("Receive"), "xon_in");
  cts_ = check(QStringLiteral("Enable CTS"), "cts");
  dsr_ = check(QStringLiteral("Enable DSR"), "dsr");
  auto* xon = new QVBoxLayout;
  xon->addWidget(xon_out_);
  xon->addWidget(xon_in_);
  auto* handshake = new QVBoxLayout;
  handshake->addWidget(cts_);
  handshake->addWidget(dsr_);
  auto* serial = new QGridLayout;
  serial->addWidget(make(QStringLiteral("Baudrate"), QStringLiteral("baud"), rates, rate_ids, 3, baud_), 0, 0, 1, 3);
  serial->addWidget(group(QStringLiteral("Xon/Xoff"), xon), 1, 0);
  serial->addWidget(make(QStringLiteral("DTR Control"), QStringLiteral("dtr"),
                         {QStringLiteral("Enable"), QStringLiteral("Disable"), QStringLiteral("Handshake")}, {1, 0, 2},
                         1, dtr_),
                    1, 1);
  serial->addWidget(make(QStringLiteral("RTS Control"), QStringLiteral("rts"),
                         {QStringLiteral("Enable"), QStringLiteral("Disable"), QStringLiteral("Handshake"),
                          QStringLiteral("Toggle")},
                         {1, 0, 2, 3}, 1, rts_),
                    1, 2);
  serial->addLayout(handshake, 2, 0);
  serial->addWidget(make(QStringLiteral("Bits/byte"), QStringLiteral("data"),
                         {QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                          QStringLiteral("8")},
                         {4, 5, 6, 7, 8}, 1, data_),
                    2, 1);
  serial->addWidget(make(QStringLiteral("Parity"), QStringLiteral("parity"),
                         {QStringLiteral("No"), QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("Mark"),
                          QStringLiteral("Space")},
                         {0, 1, 2, 3, 4}, 1, parity_),
                    2, 2);
  serial->addWidget(make(QStringLiteral("Stop bits"), QStringLiteral("stop"),
                         {QStringLiteral("1"), QStringLiteral("1,5"), QStringLiteral("2")}, {0, 1, 2}, 3, stop_),
                    3, 0, 1, 3);

  auto* ok = new QPushButton(QStringLiteral("&OK"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
  cancel->setObjectName(QStringLiteral("cancel"));
  auto* defaults = new QPushButton(QStringLiteral("&Defaults"));
  defaults->setObjectName(QStringLiteral("defaults"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(defaults);
  buttons->addStretch();

  auto* top = new QHBoxLayout(this);
  top->addWidget(terminal_box);
  top->addWidget(group(QStringLiteral("Serial Device"), serial));
  top->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(defaults, &QPushButton::clicked, this, [this] { fill(original_); });
  connect(text_colour, &QPushButton::clicked, this, [this] { pickColour(true); });
  connect(back_colour, &QPushButton::clicked, this, [this] { pickColour(false); });
  fill(params);
}

void SetupDialog::fill(const SetupParams& p) {
  const SerialSettings& r = p.record;
  const bool listed = std::any_of(std::begin(baud_choices), std::end(baud_choices),
                                  [&](const BaudChoice& b) { return b.rate == r.baud; });
  set_checked(baud_, listed ? int(r.baud) : 9600);
  set_checked(data_, r.data_bits >= 4 && r.data_bits <= 8 ? r.data_bits : 8);
  set_checked(parity_, r.parity <= 4 ? r.parity : 0);
  set_checked(stop_, r.stop_bits <= 2 ? r.stop_bits : 0);
  set_checked(dtr_, r.dtr() == 3 ? 1 : r.dtr());
  set_checked(rts_, r.rts());
  xon_out_->setChecked(r.flow & flow_xon_out);
  xon_in_->setChecked(r.flow & flow_xon_in);
  cts_->setChecked(r.flow & flow_cts);
  dsr_->setChecked(r.flow & flow_dsr);
  set_checked(enter_, std::clamp(p.port.enter_translation, 0, 2));
  set_checked(receive_, std::clamp(p.port.receive_translation, 0, 2));
  load_command_->setText(QString::fromLatin1(p.port.load_command.c_str()));
}

SetupParams SetupDialog::result() const {
  SetupParams p = original_;
  SerialSettings& r = p.record;
  r.baud = uint32_t(baud_->checkedId());
  r.data_bits = uint8_t(data_->checkedId());
  r.parity = uint8_t(parity_->checkedId());
  r.stop_bits = uint8_t(stop_->checkedId());
  r.set_dtr(dtr_->checkedId());
  r.set_rts(rts_->checkedId());
  r.flow = (cts_->isChecked() ? flow_cts : 0) | (dsr_->isChecked() ? flow_dsr : 0) |
           (xon_out_->isChecked() ? flow_xon_out : 0) | (xon_in_->isChecked() ? flow_xon_in : 0);
  if (p.terminal_controls) {
    p.port.enter_translation = enter_->checkedId();
    p.port.receive_translation = receive_->checkedId();
    p.port.load_command = load_command_->text().toLatin1().toStdString();
  }
  return p;
}

void SetupDialog::pickColour(bool text) {
  const QString title = text ? QStringLiteral("Text Color") : QStringLiteral("Background Color");
  std::optional<uint32_t> colour;
  if (chooseColour) {
    colour = chooseColour(title);
  } else {
    QColor c = QColorDialog::getColor(QColor(0x80, 0x80, 0x80), this, title);
    if (c.isValid()) colour = from_qcolor(c);
  }
  if (colour) emit colourChosen(text, *colour);
}

}  // namespace zun::term
