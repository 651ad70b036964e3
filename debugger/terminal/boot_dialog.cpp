// The BOOTSTRAPPER dialog: fields filled from the terminal's bootstrapper
// settings, Browse through the workbench's Load File dialog, Options through
// SETUPSERIAL on a download record, and OK running boot_run with this dialog
// as its progress display.
#include "debugger/terminal/boot_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include "common/format.h"
#include "common/number.h"
#include "debugger/terminal/setup_dialog.h"
#include "debugger/terminal/terminal_child.h"
#include "workbench/frame/frame_window.h"

namespace zun::term {

namespace {

// The path fields are wide enough for this many characters.
constexpr size_t shown_path = 38;

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QLatin1String(name));
  return w;
}

// A number in `radix`, or nothing when the text does not read as one.
std::optional<uint32_t> read_number(const QString& text, int radix) {
  uint32_t v = 0;
  QByteArray bytes = text.trimmed().toLatin1();
  if (bytes.isEmpty() || bytes.startsWith('-') || parse_number(bytes.constData(), v, radix) != 0) return std::nullopt;
  return v;
}

}  // namespace

BootDialog::BootDialog(TerminalChild* child, wb::FrameWindow* frame)
    : QDialog(child), child_(child), frame_(frame) {
  setObjectName(QStringLiteral("BOOTSTRAPPER"));
  setWindowTitle(QStringLiteral("Bootstrap"));
  boot_path_ = named(new QLineEdit, "boot_path");
  app_path_ = named(new QLineEdit, "app_path");
  boot_browse_ = named(new QPushButton(QStringLiteral("Browse")), "boot_browse");
  boot_options_ = named(new QPushButton(QStringLiteral("Options")), "boot_options");
  app_browse_ = named(new QPushButton(QStringLiteral("Browse")), "app_browse");
  app_options_ = named(new QPushButton(QStringLiteral("Options")), "app_options");
  auto* files = new QGridLayout;
  files->addWidget(new QLabel(QStringLiteral("Bootstrapper:")), 0, 0);
  files->addWidget(boot_path_, 0, 1);
  files->addWidget(boot_browse_, 0, 2);
  files->addWidget(boot_options_, 0, 3);
  files->addWidget(new QLabel(QStringLiteral("Application:")), 1, 0);
  files->addWidget(app_path_, 1, 1);
  files->addWidget(app_browse_, 1, 2);
  files->addWidget(app_options_, 1, 3);
  boot_path_->setMinimumWidth(QFontMetrics(boot_path_->font()).horizontalAdvance(QString(int(shown_path) + 2, u'M')));

  size_192_ = named(new QRadioButton(QStringLiteral("192")), "size_192");
  size_256_ = named(new QRadioButton(QStringLiteral("256")), "size_256");
  size_file_ = named(new QRadioButton(QStringLiteral("File size")), "size_file");
  size_other_ = named(new QRadioButton(QStringLiteral("Other")), "size_other");
  other_size_ = named(new QLineEdit, "other_size");
  auto* sizes = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(size_192_), static_cast<QWidget*>(size_256_),
                     static_cast<QWidget*>(size_file_), static_cast<QWidget*>(size_other_),
                     static_cast<QWidget*>(other_size_)})
    sizes->addWidget(w);
  auto* size_box = new QGroupBox(QStringLiteral("Binary download size (bytes)"));
  size_box->setLayout(sizes);

  offset_ = named(new QLineEdit, "offset");
  delay_ = named(new QLineEdit, "delay");
  leading_ff_ = named(new QCheckBox(QStringLiteral("Send leading 'FF'-character")), "leading_ff");
  load_app_ = named(new QCheckBox(QStringLiteral("Load 'Application'")), "load_app");
  auto* more = new QGridLayout;
  more->addWidget(new QLabel(QStringLiteral("Offset")), 0, 0);
  more->addWidget(offset_, 0, 1);
  more->addWidget(new QLabel(QStringLiteral("(in HEX)")), 0, 2);
  more->addWidget(leading_ff_, 1, 0, 1, 3);
  more->addWidget(load_app_, 2, 0, 1, 3);
  more->addWidget(new QLabel(QStringLiteral("Delay (ms) for 'Application' download")), 3, 0, 1, 2);
  more->addWidget(delay_, 3, 2);

  status_ = named(new QLabel, "status");
  label_ = named(new QLabel(QStringLiteral("Bytes transferred:")), "label");
  counter_ = named(new QLabel(QStringLiteral("0")), "counter");
  auto* progress = new QGridLayout;
  progress->addWidget(status_, 0, 0, 1, 2);
  progress->addWidget(label_, 1, 0);
  progress->addWidget(counter_, 1, 1);
  auto* progress_box = new QGroupBox(QStringLiteral("Download progress"));
  progress_box->setLayout(progress);

  ok_ = named(new QPushButton(QStringLiteral("OK")), "ok");
  ok_->setToolTip(QStringLiteral("Start download(s)"));
  return_ = named(new QPushButton(QStringLiteral("&Return")), "return");
  return_->setToolTip(QStringLiteral("Return from bootstrap"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(return_);

  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QStringLiteral("Load 'bootstrapper' as binary to target, then (optionally) download application")));
  top->addLayout(files);
  top->addWidget(size_box);
  top->addLayout(more);
  top->addWidget(progress_box);
  top->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, &BootDialog::start);
  connect(return_, &QPushButton::clicked, this, &BootDialog::reject);
  connect(boot_browse_, &QPushButton::clicked, this, [this] { browse(false); });
  connect(app_browse_, &QPushButton::clicked, this, [this] { browse(true); });
  connect(boot_options_, &QPushButton::clicked, this, [this] { options(false); });
  connect(app_options_, &QPushButton::clicked, this, [this] { options(true); });
  connect(load_app_, &QCheckBox::toggled, this, &BootDialog::enableApplication);
  connect(size_other_, &QRadioButton::toggled, other_size_, &QLineEdit::setEnabled);
  connect(boot_path_, &QLineEdit::textEdited, this, [this](const QString& text) {
    boot_full_ = text;
    ok_->setEnabled(!text.isEmpty());
  });
  connect(app_path_, &QLineEdit::textEdited, this, [this](const QString& text) { app_full_ = text; });
  fill();
}

void BootDialog::setPath(bool application, const QString& path) {
  (application ? app_full_ : boot_full_) = path;
  (application ? app_path_ : boot_path_)->setText(path);
}

void BootDialog::fill() {
  const BootOptions& o = child_->terminal().boot();
  setPath(false, QString::fromLocal8Bit(o.boot_path.c_str()));
  setPath(true, QString::fromLocal8Bit(o.app_path.c_str()));
  size_file_->setChecked(o.size == 0);
  size_192_->setChecked(o.size == 192);
  size_256_->setChecked(o.size == 256);
  const bool other = o.size != 0 && o.size != 192 && o.size != 256;
  size_other_->setChecked(other);
  other_size_->setText(other ? QString::number(o.size) : QString());
  other_size_->setEnabled(other);
  offset_->setText(QString::fromStdString(format("%2.2X", o.offset)));
  delay_->setText(QString::number(o.app_delay_ms));
  leading_ff_->setChecked(o.leading_ff);
  load_app_->setChecked(o.load_app);
  ok_->setEnabled(!boot_full_.isEmpty());
  enableApplication();
}

void BootDialog::enableApplication() {
  const bool on = load_app_->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(app_path_), static_cast<QWidget*>(delay_),
                     static_cast<QWidget*>(app_browse_), static_cast<QWidget*>(app_options_)})
    w->setEnabled(on);
}

void BootDialog::store() {
  BootOptions& o = child_->terminal().boot();
  o.boot_path = boot_full_.toLocal8Bit().toStdString();
  o.app_path = app_full_.toLocal8Bit().toStdString();
  o.load_app = load_app_->isChecked();
  o.leading_ff = leading_ff_->isChecked();
  o.size = size_192_->isChecked() ? 192 : size_256_->isChecked() ? 256 : 0;
  if (size_other_->isChecked()) o.size = read_number(other_size_->text(), 10).value_or(0);
  std::optional<uint32_t> offset = read_number(offset_->text(), 16);
  o.offset = offset.value_or(0);
  o.app_delay_ms = read_number(delay_->text(), 10).value_or(0);
  status_->setText(offset ? QString() : QStringLiteral("Illegal offset, ignored"));
}

void BootDialog::setControlsEnabled(bool on) {
  for (QWidget* w : findChildren<QWidget*>())
    if (!qobject_cast<QLabel*>(w) && !qobject_cast<QGroupBox*>(w)) w->setEnabled(on);
}

void BootDialog::start() {
  if (running_) return;
  store();
  setControlsEnabled(false);
  running_ = true;
  child_->terminal().set_boot_running(true);
  BootResult result = boot_run(child_->terminal().boot(), child_->terminal(), *this, timing);
  child_->terminal().set_boot_running(false);
  running_ = false;
  if (result.code < 0) status_->setText(QString::fromStdString(boot_result_text(result)));
  setControlsEnabled(true);
  fill();
}

void BootDialog::reject() {
  if (!running_) QDialog::reject();
}

void BootDialog::browse(bool application) {
  if (frame_->selectLoadFile()) setPath(application, frame_->loadFile());
  if (!application) ok_->setEnabled(!boot_full_.isEmpty());
}

void BootDialog::options(bool application) {
  PortSettings& s = child_->terminal().settings();
  const Record which = application ? Record::Application : Record::Binary;
  SetupDialog dialog({s, s.record(which),
                      application ? QStringLiteral("Application download Preferences")
                                  : QStringLiteral("Binary download Preferences"),
                      false},
                     this);
  if (runOptions ? runOptions(dialog) : dialog.exec() == QDialog::Accepted) {
    s.record(which) = dialog.result().record;
    child_->terminal().keep_settings();
    emit settingsChanged();
  }
}

bool BootDialog::ask(const std::string& question) {
  return frame_->dialogs().question(QString::fromStdString(question).replace(u'\r', u'\n'));
}

void BootDialog::prepare_target() {
  if (prepareBox)
    prepareBox();
  else
    QMessageBox::information(this, QStringLiteral("Bootstrapper"),
                             QStringLiteral("Prepare target for binary download\nthen press OK"));
}

void BootDialog::status(const std::string& text) { status_->setText(QString::fromStdString(text)); }
void BootDialog::label(const std::string& text) { label_->setText(QString::fromStdString(text)); }
void BootDialog::count(long n) { counter_->setText(QString::number(n)); }

void BootDialog::wait(std::chrono::milliseconds ms) {
  QElapsedTimer clock;
  clock.start();
  do {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (clock.elapsed() < ms.count()) QThread::msleep(1);
  } while (clock.elapsed() < ms.count());
}

void BootDialog::pump() {
  child_->pollNow();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace zun::term
