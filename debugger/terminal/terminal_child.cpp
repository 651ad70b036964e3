// The terminal window: paints the screen of its terminal context, polls the
// port on a 100 ms timer (also while a load runs), turns keys into bytes for
// the board, keeps its size a whole number of characters, and routes the
// commands of its pop-up menu.
#include "debugger/terminal/terminal_child.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include "debugger/terminal/boot_dialog.h"
#include "debugger/terminal/setup_dialog.h"
#include "workbench/frame/frame_window.h"

namespace zun::term {

namespace {
QString qs(const std::string& s) { return QString::fromLocal8Bit(s.data(), qsizetype(s.size())); }
}  // namespace

QColor to_qcolor(uint32_t bgr) { return QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF)); }
uint32_t from_qcolor(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

// Message boxes take line breaks where the board's texts have a CR.
void FrameHost::error(const std::string& text) { frame_->dialogs().error(qs(text).replace(u'\r', u'\n')); }
void FrameHost::warning(const std::string& text) { frame_->dialogs().warning(qs(text).replace(u'\r', u'\n')); }
void FrameHost::output(const std::string& text) {
  if (!frame_->output()) frame_->dispatch(wb::cmd::output_window);
  frame_->outPrint(text);
}
void FrameHost::status(const std::string& text) { frame_->setStatus(qs(text)); }

TerminalChild::TerminalChild(wb::FrameWindow* frame, TerminalSettings& settings, int port_index, QWidget* parent)
    : QWidget(parent), frame_(frame), host_(frame), terminal_(std::make_unique<Terminal>(port_index, settings, host_)) {
  setObjectName(QStringLiteral("terminal"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setWindowTitle(QStringLiteral("Terminal"));
  setFont(frame->fonts().text);
  QFontMetrics fm(font());
  char_width_ = std::max(1, fm.horizontalAdvance(QLatin1Char('M')));
  char_height_ = std::max(1, fm.lineSpacing());
  resize(gridPixels());
}

TerminalChild::~TerminalChild() { timer_.stop(); }

bool TerminalChild::open(const std::string& device, std::string* why) {
  if (!terminal_->open(device, why)) return false;
  updateCaption();
  timer_.start(poll_ms, this);
  return true;
}

QSize TerminalChild::gridPixels() const {
  return QSize(terminal_->screen().columns() * char_width_, terminal_->screen().rows() * char_height_);
}

void TerminalChild::updateCaption() { setWindowTitle(qs(terminal_->caption())); }

void TerminalChild::pollNow() {
  if (resizing_) return;
  if (terminal_->poll()) update();
  if (terminal_->loading() && terminal_->finish_load()) {
    unsetCursor();
    updateCaption();
    update();
  }
}

void TerminalChild::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId())
    pollNow();
  else
    QWidget::timerEvent(event);
}

void TerminalChild::paintEvent(QPaintEvent*) {
  const PortSettings& s = terminal_->settings();
  const Screen& screen = terminal_->screen();
  QPainter p(this);
  p.fillRect(rect(), to_qcolor(s.back_colour));
  p.setPen(to_qcolor(s.text_colour));
  const int ascent = QFontMetrics(font()).ascent();
  for (int i = 0; i < screen.rows(); ++i) {
    std::string_view row = screen.row_text(i);
    p.drawText(0, i * char_height_ + ascent, QString::fromLatin1(row.data(), qsizetype(row.size())));
  }
  if (hasFocus())
    p.fillRect(screen.cursor_column() * char_width_, screen.cursor_row() * char_height_, char_width_, char_height_,
               QColor(128, 128, 128, 160));
}

// A new size becomes a new character grid once the size has settled.
void TerminalChild::resizeEvent(QResizeEvent*) {
  if (resizing_) return;
  wanted_columns_ = std::max(1, width() / char_width_);
  wanted_rows_ = std::max(1, height() / char_height_);
  if (size() == gridPixels() || resize_posted_) return;
  resize_posted_ = true;
  QTimer::singleShot(0, this, &TerminalChild::endResize);
}

void TerminalChild::endResize() {
  resize_posted_ = false;
  resizing_ = true;
  Screen& screen = terminal_->screen();
  if ((wanted_columns_ != screen.columns() || wanted_rows_ != screen.rows()) &&
      !screen.resize(wanted_columns_, wanted_rows_))
    host_.error("Not Enough Memory, operation aborted");
  fitWindow();
  update();
  resizing_ = false;
}

// The window is made exactly as large as the grid plus its frame.
void TerminalChild::fitWindow() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (!sub) {
    resize(gridPixels());
    return;
  }
  if (sub->isMaximized() || sub->isMinimized()) return;
  sub->resize(gridPixels() + (sub->size() - size()));
}

void TerminalChild::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: terminal_->type('\r'); return;
    case Qt::Key_Backspace: terminal_->type('\b'); return;
    case Qt::Key_Tab: terminal_->type('\t'); return;
    case Qt::Key_Escape: terminal_->type('\x1b'); return;
    default: break;
  }
  const QString text = event->text();
  if (text.isEmpty()) {
    QWidget::keyPressEvent(event);
    return;
  }
  for (QChar c : text)
    if (c.unicode() < 256) terminal_->type(char(c.unicode()));
}

void TerminalChild::mousePressEvent(QMouseEvent* event) {
  setFocus();
  QWidget::mousePressEvent(event);
}

void TerminalChild::mouseDoubleClickEvent(QMouseEvent*) {
  if (!terminal_->last_loaded().empty()) frame_->dispatch(wb::cmd::reload_load_file);
}

void TerminalChild::focusInEvent(QFocusEvent*) { update(); }
void TerminalChild::focusOutEvent(QFocusEvent*) { update(); }

QMenu* TerminalChild::buildPopup() {
  auto* menu = new QMenu(this);
  auto add = [menu](const QString& text, int id) { menu->addAction(text)->setData(id); };
  if (terminal_->busy()) {
    add(QStringLiteral("Stop load"), stop_load_cmd);
    return menu;
  }
  // The file is named as it was chosen; a '&' in it is no mnemonic.
  if (!terminal_->last_loaded().empty()) {
    const QString shown = qs(terminal_->last_loaded()).replace(u'&', QStringLiteral("&&"));
    add(QStringLiteral("Reload ( %1 )").arg(shown), -wb::cmd::load_into_child);
    menu->addSeparator();
  }
  add(QStringLiteral("Load New"), wb::cmd::load_into_child);
  add(QStringLiteral("Bootstrapper"), boot_cmd);
  menu->addSeparator();
  if (terminal_->logging())
    add(QStringLiteral("Stop Logging"), stop_log_cmd);
  else
    add(QStringLiteral("Start Logging"), start_log_cmd);
  add(QStringLiteral("Setup"), setup_cmd);
  return menu;
}

void TerminalChild::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = buildPopup();
  QAction* chosen = menu->exec(event->globalPos());
  const int id = chosen ? chosen->data().toInt() : 0;
  delete menu;
  if (id == -wb::cmd::load_into_child) {
    // Reload: the path this terminal loaded last.
    QString path = qs(terminal_->last_loaded());
    command(wb::cmd::load_into_child, reinterpret_cast<qintptr>(&path));
  } else if (id) {
    command(id, 0);
  }
}

bool TerminalChild::command(int id, qintptr param) {
  switch (id) {
    case wb::cmd::load_into_child:
      if (param)
        load(*reinterpret_cast<const QString*>(param));
      else if (frame_->selectLoadFile())
        load(frame_->loadFile());
      return true;
    case setup_cmd: setup(); return true;
    case close_cmd:
      if (QWidget* sub = parentWidget()) QMetaObject::invokeMethod(sub, &QWidget::close, Qt::QueuedConnection);
      return true;
    case brush_cmd:
      terminal_->settings().back_colour = uint32_t(param);
      update();
      return true;
    case repaint_cmd: update(); return true;
    case start_log_cmd: terminal_->start_logging(); updateCaption(); return true;
    case stop_log_cmd: terminal_->stop_logging(); updateCaption(); return true;
    case stop_load_cmd: terminal_->stop_load(); return true;
    case boot_cmd: bootstrap(); return true;
    default: return false;
  }
}

bool TerminalChild::queryClose() {
  if (!terminal_->busy()) return true;
  host_.warning("Download in progress, can't quit now");
  return false;
}

void TerminalChild::load(const QString& path) {
  if (terminal_->busy()) return;
  if (!terminal_->start_load(path.toLocal8Bit().toStdString(), load_timing)) return;
  setCursor(Qt::WaitCursor);
  updateCaption();
}

void TerminalChild::setup() {
  if (terminal_->busy()) return;
  PortSettings& s = terminal_->settings();
  SetupDialog dialog({s, s.record(Record::Terminal), QStringLiteral("Terminal Preferences"), true}, this);
  connect(&dialog, &SetupDialog::colourChosen, this, [this](bool text, uint32_t colour) {
    (text ? terminal_->settings().text_colour : terminal_->settings().back_colour) = colour;
    update();
  });
  const bool ok = runSetup ? runSetup(dialog) : dialog.exec() == QDialog::Accepted;
  if (ok) {
    const SerialSettings before = s.record(Record::Terminal);
    const SetupParams chosen = dialog.result();
    s.record(Record::Terminal) = chosen.record;
    s.enter_translation = chosen.port.enter_translation;
    s.receive_translation = chosen.port.receive_translation;
    s.load_command = chosen.port.load_command;
    terminal_->apply_setup(before);
    updateCaption();
    emit settingsChanged();
  }
  update();
}

void TerminalChild::bootstrap() {
  if (terminal_->busy()) return;
  BootDialog dialog(this, frame_);
  connect(&dialog, &BootDialog::settingsChanged, this, &TerminalChild::settingsChanged);
  if (runBoot)
    runBoot(dialog);
  else
    dialog.exec();
  update();
}

}  // namespace zun::term
