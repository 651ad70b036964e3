// The device windows; see device_windows.h.
#include "debugger/simwin/device_windows.h"

#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace zun::tovrel {

// ---- terminal ----

TerminalView::TerminalView(std::shared_ptr<Device> device, const QFont& font)
    : DeviceView(std::move(device)) {
  setFont(font);
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setMaximumBlockCount(2000);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setFocusPolicy(Qt::StrongFocus);
  // Read-only keeps the text from being edited; keys still reach the device.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

// Room for 80 columns and 16 lines.
QSize TerminalView::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.averageCharWidth() * 82 + 2 * frameWidth() + verticalScrollBar()->sizeHint().width(),
               fm.lineSpacing() * 16 + 2 * frameWidth());
}

// What the program writes comes to the front with its window, which the
// user may have covered meanwhile; the active window stays as it is.
void TerminalView::refresh() {
  auto* terminal = dynamic_cast<SerialTerminal*>(device_.get());
  if (!terminal || !terminal->has_output()) return;
  show(terminal->take_output());
  if (QWidget* window = parentWidget()) window->raise();
}

// Carriage returns are dropped (the next line feed starts the line), a
// backspace rubs out the last character of the line, other control
// characters show nothing.
void TerminalView::show(const std::string& bytes) {
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  QString run;
  auto flush = [&] {
    if (!run.isEmpty()) cursor.insertText(run);
    run.clear();
  };
  for (char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u == '\n') {
      run += QLatin1Char('\n');
    } else if (u == '\b') {
      flush();
      if (cursor.positionInBlock() > 0) cursor.deletePreviousChar();
    } else if (u >= 32 && u != 127) {
      run += QChar(u);
    }
  }
  flush();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QByteArray TerminalView::keyBytes(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QByteArray("\r");
    case Qt::Key_Backspace: return QByteArray("\b");
    case Qt::Key_Tab: return QByteArray("\t");
    case Qt::Key_Escape: return QByteArray("\x1b");
    default: break;
  }
  return event->text().toLatin1();
}

void TerminalView::keyPressEvent(QKeyEvent* event) {
  // Copying the selection stays a copy; every other key goes to the board.
  if (event->matches(QKeySequence::Copy)) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  QByteArray bytes = keyBytes(event);
  auto* terminal = dynamic_cast<SerialTerminal*>(device_.get());
  if (bytes.isEmpty() || !terminal || !terminal->alive) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  terminal->type_text(std::string_view(bytes.constData(), size_t(bytes.size())));
}

// ---- lamps and switches ----

namespace {
constexpr int cell = 26, left = 10;
}

PortView::PortView(std::shared_ptr<Device> device, const QFont& font) : DeviceView(std::move(device)), font_(font) {
  setMinimumSize(left * 2 + 8 * cell, switchesTop() + (hasSwitches() ? 50 : 0) + 6);
  resize(minimumSize());
}

bool PortView::hasLamps() const { return device_->kind == DeviceKind::Leds || device_->kind == DeviceKind::PiaPanel; }
bool PortView::hasSwitches() const {
  return device_->kind == DeviceKind::Switches || device_->kind == DeviceKind::PiaPanel;
}

uint8_t PortView::lampBits() const {
  if (auto* leds = dynamic_cast<Leds*>(device_.get())) return leds->lamps;
  if (auto* panel = dynamic_cast<PiaPanel*>(device_.get())) return panel->lamps;
  return 0;
}

uint8_t PortView::switchBits() const {
  if (auto* sw = dynamic_cast<Switches*>(device_.get())) return sw->state;
  if (auto* panel = dynamic_cast<PiaPanel*>(device_.get())) return panel->switches;
  return 0;
}

int PortView::switchAt(const QPoint& p) const {
  if (!hasSwitches() || p.y() < switchesTop() || p.y() >= switchesTop() + 40) return -1;
  int column = (p.x() - left) / cell;
  if (p.x() < left || column > 7) return -1;
  return 7 - column;  // bit 7 at the left
}

void PortView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0x30, 0x38, 0x30));
  p.setFont(font_);
  auto label = [&](int y, const QString& text) {
    p.setPen(Qt::white);
    p.drawText(QRect(left, y - 20, 8 * cell, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
  };
  if (hasLamps()) {
    label(lampsTop(), device_->kind == DeviceKind::PiaPanel ? tr("Side A lamps") : tr("Lamps"));
    for (int bit = 7; bit >= 0; --bit) {
      const int x = left + (7 - bit) * cell;
      const bool on = lampBits() >> bit & 1;
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(on ? QColor(0xFF, 0x30, 0x20) : QColor(0x60, 0x20, 0x20));
      p.drawEllipse(QRect(x + 4, lampsTop() + 2, cell - 8, cell - 8));
      p.setPen(Qt::lightGray);
      p.drawText(QRect(x, lampsTop() + cell - 4, cell, 16), Qt::AlignCenter, QString::number(bit));
    }
  }
  if (hasSwitches()) {
    label(switchesTop(), device_->kind == DeviceKind::PiaPanel ? tr("Side B switches") : tr("Switches"));
    for (int bit = 7; bit >= 0; --bit) {
      const int x = left + (7 - bit) * cell;
      const bool on = switchBits() >> bit & 1;
      const QRect slot(x + 7, switchesTop(), cell - 14, 28);
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(QColor(0x20, 0x20, 0x20));
      p.drawRoundedRect(slot, 3, 3);
      // The lever: up for 1, down for 0.
      const QRect lever(slot.x() - 2, on ? slot.y() - 2 : slot.bottom() - 12, slot.width() + 4, 14);
      p.setBrush(on ? QColor(0xE8, 0xE8, 0xE8) : QColor(0x90, 0x90, 0x90));
      p.drawRoundedRect(lever, 2, 2);
      p.setPen(Qt::lightGray);
      p.drawText(QRect(x, switchesTop() + 28, cell, 16), Qt::AlignCenter, QString::number(bit));
    }
  }
}

void PortView::mousePressEvent(QMouseEvent* event) {
  const int bit = switchAt(event->position().toPoint());
  if (bit < 0 || !device_->alive) return;
  const auto value = static_cast<uint8_t>(switchBits() ^ (1u << bit));
  if (auto* sw = dynamic_cast<Switches*>(device_.get())) sw->set(value);
  if (auto* panel = dynamic_cast<PiaPanel*>(device_.get())) panel->set_switches(value);
  update();
}

// ---- the set of windows ----

DeviceWindowSet::DeviceWindowSet(AddWindow add, Handles handles, QFont font, QObject* parent)
    : QObject(parent), add_(std::move(add)), handles_(std::move(handles)), font_(std::move(font)) {
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &DeviceWindowSet::sync);
  timer_.start();
}

DeviceWindowSet::~DeviceWindowSet() { closeAll(); }

QString DeviceWindowSet::className(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Terminal: return QStringLiteral("TovrelTerminal");
    case DeviceKind::Leds: return QStringLiteral("TovrelLeds");
    case DeviceKind::Switches: return QStringLiteral("TovrelSwitches");
    case DeviceKind::PiaPanel: return QStringLiteral("TovrelPiaPanel");
    case DeviceKind::Probe: break;
  }
  return {};
}

QString DeviceWindowSet::title(const Device& device) {
  static const char* names[] = {"", "Terminal", "Lamps", "Switches", "PIA panel", "Probe"};
  const int k = int(device.kind);
  return QStringLiteral("%1 %2").arg(QLatin1String(k >= 0 && k < 6 ? names[k] : "Device"),
                                     QString::fromStdString(device.name));
}

void DeviceWindowSet::sync() {
  const std::vector<int32_t> open = handles_ ? handles_() : std::vector<int32_t>{};
  for (auto it = windows_.begin(); it != windows_.end();) {
    Device* d = find_device(it->first);
    const bool listed = std::find(open.begin(), open.end(), it->first) != open.end();
    if (!it->second.view || !listed || !d || !d->alive) {
      close(it->second);
      it = windows_.erase(it);
    } else {
      ++it;
    }
  }
  bool opened = false;
  for (int32_t handle : open) {
    if (windows_.count(handle)) continue;
    std::shared_ptr<Device> device = share_device(handle);
    if (!device || !device->alive || className(device->kind).isEmpty()) continue;
    Entry e;
    if (device->kind == DeviceKind::Terminal) {
      auto* view = new TerminalView(device, font_);
      e.view = view;
      e.model = view;
    } else {
      auto* view = new PortView(device, font_);
      e.view = view;
      e.model = view;
    }
    e.view->setObjectName(className(device->kind) + QStringLiteral(" ") + QString::fromStdString(device->name));
    e.view->setWindowTitle(title(*device));
    e.container = add_ ? add_(e.view, className(device->kind)) : nullptr;
    if (!e.container) e.container = e.view;
    e.container->show();
    windows_[handle] = e;
    opened = true;
  }
  // The terminals in front, each of them: opening a window may have brought
  // the active window back over those before it.
  if (opened) raiseTerminals();
  for (auto& [handle, e] : windows_)
    if (e.view) e.model->refresh();
}

void DeviceWindowSet::close(Entry& entry) {
  // A container deleted later must not show a view that is already gone.
  QWidget* container = entry.container ? entry.container.data() : entry.view.data();
  if (!container) return;
  container->hide();
  container->deleteLater();
}

void DeviceWindowSet::closeAll() {
  for (auto& [handle, e] : windows_) close(e);
  windows_.clear();
}

void DeviceWindowSet::raiseTerminals() {
  for (auto& [handle, e] : windows_)
    if (QWidget* w = e.container ? e.container.data() : e.view.data())
      if (qobject_cast<TerminalView*>(e.view.data())) w->raise();
}

QWidget* DeviceWindowSet::viewFor(int32_t handle) const {
  auto it = windows_.find(handle);
  return it == windows_.end() ? nullptr : it->second.view.data();
}

}  // namespace zun::tovrel
