// Painting, scrolling and double-clicks of the output window; the line
// algorithm itself is the core's.
#include "workbench/build/output_child.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace zun::wb {

OutputChild::OutputChild(const SharedFonts& fonts, QWidget* parent) : QAbstractScrollArea(parent), fonts_(fonts) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalScrollBar()->setSingleStep(1);
  viewport()->setBackgroundRole(QPalette::Base);
  setFocusPolicy(Qt::ClickFocus);
}

int OutputChild::visibleRows() const { return viewport()->height() / fonts_.row_height; }

void OutputChild::write(std::string_view text) {
  text_.write(text);
  updateScrollRange();
  // New text keeps the end in view, as a log should.
  if (text_.last_index() > visibleRows()) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  viewport()->update();
}

void OutputChild::clear() {
  text_.clear();
  updateScrollRange();
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

bool OutputChild::command(int id, qintptr) {
  if (id != cmd::close_output) return false;
  emit closeRequested();
  return true;
}

void OutputChild::updateScrollRange() {
  int rows = static_cast<int>(text_.lines().size()) + (text_.pending().empty() ? 0 : 1);
  verticalScrollBar()->setRange(0, std::max(0, rows - visibleRows()));
  verticalScrollBar()->setPageStep(std::max(1, visibleRows()));
}

void OutputChild::resizeEvent(QResizeEvent* event) {
  text_.set_columns(viewport()->width() / fonts_.char_width);
  updateScrollRange();
  QAbstractScrollArea::resizeEvent(event);
}

void OutputChild::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.setFont(fonts_.cell);
  const int first = verticalScrollBar()->value();
  const int ascent = QFontMetrics(fonts_.cell).ascent();
  const auto& lines = text_.lines();
  const int rows = visibleRows() + 1;
  int row = 0;
  for (int i = first; i < static_cast<int>(lines.size()) && row < rows; ++i, ++row)
    p.drawText(0, row * fonts_.row_height + ascent, QString::fromLocal8Bit(lines[i]));
  if (!text_.pending().empty() && row < rows && first <= static_cast<int>(lines.size()))
    p.drawText(0, row * fonts_.row_height + ascent, QString::fromLocal8Bit(text_.pending()));
}

// One line per wheel notch, away from the user scrolls up.
void OutputChild::wheelEvent(QWheelEvent* event) {
  int notches = event->angleDelta().y() / 120;
  if (notches != 0) verticalScrollBar()->setValue(verticalScrollBar()->value() - notches);
  event->accept();
}

void OutputChild::mouseDoubleClickEvent(QMouseEvent* event) {
  int index = verticalScrollBar()->value() + static_cast<int>(event->position().y()) / fonts_.row_height;
  if (index < 0 || index > text_.last_index()) return;
  const std::string& line = text_.lines()[static_cast<size_t>(index)];
  emit lineActivated(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
}

}  // namespace zun::wb
