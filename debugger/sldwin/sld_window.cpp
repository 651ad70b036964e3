// The debugger window; see sld_window.h.
#include "debugger/sldwin/sld_window.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolBar>

#include "debugger/sldwin/source_colour.h"

namespace zun::sldwin {

using namespace zun::sld;

namespace {

const QColor red(240, 0, 0);
const QColor light(230, 255, 255);
const QColor margin_grey(230, 230, 230);

struct ToolEntry {
  int id;
  const char* tip;
};
// The seven buttons, in the order of the Debug menu.
constexpr ToolEntry tool_entries[] = {
    {CMD_SLD_NEXT, "Step Over"},          {CMD_SLD_STEP_INTO, "Step Into/Instruction"},
    {CMD_SLD_STEP_OUT, "Step Out"},       {CMD_SLD_RUN, "Run"},
    {CMD_SLD_RUN_NO_BREAKS, "Run, Ignore breakpoints"},
    {CMD_SLD_RESTART, "Restart"},         {CMD_SLD_BREAKPOINTS, "Breakpoints"},
};

QColor ink_colour(Ink ink) {
  switch (ink) {
    case Ink::Black: return Qt::black;
    case Ink::Grey: return QColor(128, 128, 128);
    case Ink::Label: return QColor(0, 128, 0);
    case Ink::Mnemonic: return QColor(0, 0, 255);
    case Ink::Operand: return QColor(255, 0, 0);
    case Ink::Comment: return QColor(0, 192, 0);
    case Ink::Keyword: return QColor(0, 0, 192);
    case Ink::Number: return QColor(192, 0, 0);
    case Ink::Operator: return QColor(0, 192, 192);
    case Ink::String: return QColor(128, 0, 128);  // as the C editor's
  }
  return Qt::black;
}

// The arrow at x 15 on a line whose top is y.
QPolygon arrow_at(int y) {
  const int x = 15;
  return QPolygon({QPoint(x - 8, y + 4), QPoint(x + 8, y + 4), QPoint(x + 8, y + 1), QPoint(x + 12, y + 7),
                   QPoint(x + 8, y + 13), QPoint(x + 8, y + 10), QPoint(x - 8, y + 10), QPoint(x - 8, y + 4)});
}

}  // namespace

// ---- toolbar pictures ----

QIcon sld_tool_icon(int id) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor blue(0, 0, 160), green(0, 140, 0);
  QPen pen(blue, 2);
  p.setPen(pen);
  auto arrow_head = [&](QPointF tip, QPointF a, QPointF b, const QColor& c) {
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({tip, a, b}));
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
  };
  switch (id) {
    case CMD_SLD_NEXT:  // an arc over a line
      p.drawArc(QRectF(2, 3, 11, 10), 0, 180 * 16);
      arrow_head({12.5, 11}, {9, 7}, {15.5, 7}, blue);
      p.setPen(QPen(Qt::black, 2));
      p.drawLine(2, 14, 14, 14);
      break;
    case CMD_SLD_STEP_INTO:  // down into a line
      p.drawLine(8, 1, 8, 9);
      arrow_head({8, 13}, {4, 8}, {12, 8}, blue);
      p.setPen(QPen(Qt::black, 2));
      p.drawLine(2, 15, 14, 15);
      break;
    case CMD_SLD_STEP_OUT:  // up out of a box
      p.setPen(QPen(Qt::black, 1));
      p.drawRect(QRectF(2.5, 8.5, 11, 6));
      p.setPen(pen);
      p.drawLine(8, 13, 8, 5);
      arrow_head({8, 1}, {4, 6}, {12, 6}, blue);
      break;
    case CMD_SLD_RUN:  // a green triangle
      p.setPen(Qt::NoPen);
      p.setBrush(green);
      p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
      break;
    case CMD_SLD_RUN_NO_BREAKS:  // the triangle with a crossed-out mark
      p.setPen(Qt::NoPen);
      p.setBrush(green);
      p.drawPolygon(QPolygonF({QPointF(2, 2), QPointF(11, 8), QPointF(2, 14)}));
      p.setBrush(red);
      p.drawEllipse(QRectF(9, 9, 6, 6));
      p.setPen(QPen(Qt::white, 1.5));
      p.drawLine(QPointF(10, 14), QPointF(14, 10));
      break;
    case CMD_SLD_RESTART:  // a circular arrow
      p.drawArc(QRectF(2, 2, 12, 12), 60 * 16, 290 * 16);
      arrow_head({12, 1}, {8, 3}, {13, 6}, blue);
      break;
    case CMD_SLD_BREAKPOINTS:  // a red mark and list lines
      p.setPen(Qt::NoPen);
      p.setBrush(red);
      p.drawRoundedRect(QRectF(1, 3, 7, 7), 2, 2);
      p.setPen(QPen(Qt::black, 1));
      for (int y : {4, 8, 12}) p.drawLine(10, y, 15, y);
      break;
    default: break;
  }
  return QIcon(pm);
}

// ---- module box ----

void ModuleBox::showPopup() {
  if (before_popup) before_popup();
  QComboBox::showPopup();
}

// ---- the window ----

SldWindow::SldWindow(SldDebugger& debugger, SldViewEnv env, QWidget* parent)
    : QWidget(parent), dbg_(debugger), env_(std::move(env)) {
  setObjectName(QString::fromLatin1(class_name));
  setWindowTitle(QStringLiteral("Sld"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  QFontMetrics fm(env_.font);
  line_height_ = std::max(1, fm.height());
  char_width_ = std::max(1, fm.horizontalAdvance(QLatin1Char('M')));
  createToolBar();
  margin_ = new SldMargin(*this);
  pane_ = new SldPane(*this);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setObjectName(QStringLiteral("sld scroll"));
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
    if (v != top_line_) setTopLine(v);
  });
  resize(600, 400);
  resetScroll();
}

void SldWindow::createToolBar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("sld toolbar"));
  toolbar_->setIconSize(QSize(16, 16));
  for (const ToolEntry& t : tool_entries) {
    QAction* a = toolbar_->addAction(sld_tool_icon(t.id), QString::fromLatin1(t.tip));
    a->setToolTip(QString::fromLatin1(t.tip));
    a->setData(t.id);
    const int id = t.id;
    connect(a, &QAction::triggered, this, [this, id] { env_.command(id); });
    actions_.push_back({t.id, a});
  }
  modules_ = new ModuleBox;
  modules_->setObjectName(QStringLiteral("module box 4010"));
  modules_->setFont(env_.font);
  modules_->setMinimumWidth(170);
  modules_->before_popup = [this] { fillModuleBox(); };
  connect(modules_, &QComboBox::activated, this, [this](int index) { chooseModule(index); });
  toolbar_->addSeparator();
  toolbar_->addWidget(modules_);
  fillModuleBox();
}

QAction* SldWindow::toolAction(int id) const {
  for (const auto& [aid, a] : actions_)
    if (aid == id) return a;
  return nullptr;
}

bool SldWindow::command(int id, qintptr) {
  if (id < CMD_SLD_NEXT || id > CMD_SLD_BREAK) return false;
  env_.command(id);
  return true;
}

bool SldWindow::queryClose() {
  if (!closing_) {
    closing_ = true;
    if (env_.closing) env_.closing();
  }
  return true;
}

void SldWindow::fillModuleBox() {
  modules_->clear();
  for (const auto& m : dbg_.model().modules()) modules_->addItem(QString::fromStdString(m->file_name));
  showModuleInBox();
}

void SldWindow::showModuleInBox() {
  const auto& modules = dbg_.model().modules();
  const DebugModule* shown = dbg_.model().sld_shown_module();
  int index = -1;
  for (size_t i = 0; i < modules.size(); ++i)
    if (modules[i].get() == shown) index = static_cast<int>(i);
  modules_->setCurrentIndex(index);
}

void SldWindow::chooseModule(int index) {
  const auto& modules = dbg_.model().modules();
  if (index >= 0 && index < static_cast<int>(modules.size())) {
    DebugModule* m = modules[static_cast<size_t>(index)].get();
    dbg_.model().sld_show_module(m);
    dbg_.model().sld_show_file(m);
    bringExecLineIntoView();
    setWindowTitle(QString::fromStdString(dbg_.sld_title()));
    redraw();
  }
  showModuleInBox();
}

// ---- geometry and scrolling ----

void SldWindow::resizeEvent(QResizeEvent*) {
  if (isMinimized()) return;
  layoutChildren();
  if (dbg_.model().sld_is_disassembly_view())
    resetScroll();
  else
    bringExecLineIntoView();
}

void SldWindow::layoutChildren() {
  const int top = toolbar_->sizeHint().height();
  toolbar_->setGeometry(0, 0, width(), top);
  const int h = std::max(0, height() - top);
  const int sw = scroll_->sizeHint().width();
  margin_->setGeometry(0, top, SldMargin::width, h);
  pane_->setGeometry(SldMargin::width, top, std::max(0, width() - SldMargin::width - sw), h);
  scroll_->setGeometry(width() - sw, top, sw, h);
}

int SldWindow::visibleLines() const { return std::max(1, pane_->height() / line_height_); }

void SldWindow::resetScroll() {
  top_line_ = 1;
  const int count = static_cast<int>(dbg_.model().sld_shown_line_count());
  const int v = visibleLines();
  max_top_ = v < count ? count - v : 1;
  QSignalBlocker block(scroll_);
  scroll_->setRange(1, max_top_);
  scroll_->setPageStep(v);
  scroll_->setValue(1);
  redraw();
}

void SldWindow::setTopLine(int line) {
  line = std::clamp(line, 1, max_top_);
  if (line == top_line_) return;
  top_line_ = line;
  QSignalBlocker block(scroll_);
  scroll_->setValue(line);
  redraw();
}

void SldWindow::scrollBy(int lines) { setTopLine(top_line_ + lines); }

void SldWindow::bringExecLineIntoView() {
  if (top_line_ < 1) resetScroll();
  const int e = static_cast<int>(dbg_.model().sld_exec_line());
  const int t = top_line_, v = visibleLines();
  if (e < t)
    setTopLine(e - 3);
  else if (e >= t + v - 3 && e < t + v)
    scrollBy(1);
  else if (e >= t + v)
    setTopLine(e - v / 2);
}

void SldWindow::redraw() {
  margin_->update();
  pane_->update();
}

void SldWindow::updateCommandStates() {
  for (const auto& [id, a] : actions_) a->setEnabled(dbg_.sld_command_enabled(id));
}

void SldWindow::refresh() {
  dbg_.breakpoints().sld_bp_restore_enabled();
  dbg_.model().sld_show_module(nullptr);
  bringExecLineIntoView();
  setWindowTitle(QString::fromStdString(dbg_.sld_title()));
  showModuleInBox();
  updateCommandStates();
  redraw();
}

// ---- pop-up menus ----

std::vector<QString> SldWindow::marginMenu(int line) const {
  Sld& model = dbg_.model();
  if (dbg_.target().target_is_running() || line < 1 || !model.sld_line_has_point(static_cast<uint32_t>(line)))
    return {};
  const SldBreakpoint* bp = dbg_.breakpoints().sld_bp_find_user(model.sld_shown_module(), static_cast<uint32_t>(line));
  if (!bp) return {QStringLiteral("Insert Breakpoint")};
  if (bp->enabled) return {QStringLiteral("Disable Breakpoint"), QStringLiteral("Remove Breakpoint")};
  return {QStringLiteral("Enable Breakpoint"), QStringLiteral("Remove Breakpoint")};
}

void SldWindow::chooseMarginEntry(int line, const QString& entry) {
  const DebugModule* m = dbg_.model().sld_shown_module();
  SldBreakpoints& bps = dbg_.breakpoints();
  const auto l = static_cast<uint32_t>(line);
  if (entry == QLatin1String("Insert Breakpoint")) {
    bps.sld_bp_add_user(m, l, 0);
  } else if (entry == QLatin1String("Remove Breakpoint")) {
    bps.sld_bp_remove_user(m, l);
  } else if (SldBreakpoint* bp = bps.sld_bp_find_user(m, l)) {
    bps.sld_bp_set_enabled(*bp, entry == QLatin1String("Enable Breakpoint"));
  }
  margin_->update();
}

std::vector<QString> SldWindow::paneMenu() const {
  const DebugModule* m = dbg_.model().sld_shown_module();
  if (!m || m->language != 'A' || dbg_.target().target_is_running()) return {};
  return {QStringLiteral("Step Instruction"), QStringLiteral("Next Instruction"), QString(), QStringLiteral("Restart")};
}

void SldWindow::choosePaneEntry(const QString& entry) {
  if (entry == QLatin1String("Step Instruction"))
    dbg_.sld_run_command(RUN_STEP_INTO);
  else if (entry == QLatin1String("Next Instruction"))
    dbg_.sld_run_command(RUN_NEXT);
  else if (entry == QLatin1String("Restart"))
    dbg_.sld_restart();
  else
    return;
  env_.command(0);  // the controller brings the menus and the run pump up to date
}

namespace {

// Shows the entries (an empty one is a separator); the chosen text or "".
QString pop_up(QWidget* over, QPoint global, const std::vector<QString>& entries) {
  if (entries.empty()) return {};
  QMenu menu(over);
  for (const QString& e : entries) {
    if (e.isEmpty())
      menu.addSeparator();
    else
      menu.addAction(e);
  }
  QAction* chosen = menu.exec(global);
  return chosen ? chosen->text() : QString();
}

}  // namespace

// ---- margin ----

SldMargin::SldMargin(SldWindow& window) : QWidget(&window), window_(window) {
  setObjectName(QStringLiteral("ZunSldMarginChild"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, margin_grey);
  setPalette(pal);
}

void SldMargin::paintEvent(QPaintEvent*) {
  SldDebugger& dbg = window_.debugger();
  if (dbg.target().target_is_running()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  Sld& model = dbg.model();
  const bool have_model = !model.modules().empty();
  const int lh = window_.lineHeight();
  for (int row = 0; row < window_.visibleLines(); ++row) {
    const int line = window_.topLine() + row;
    const int y = row * lh;
    const bool arrow = have_model ? (model.sld_shown_is_exec() && static_cast<uint32_t>(line) == model.sld_exec_line())
                                  : line == 1;
    if (arrow) {
      p.setPen(Qt::NoPen);
      p.setBrush(red);
      p.drawPolygon(arrow_at(y));
    }
    if (!have_model) continue;
    const SldBreakpoint* bp = dbg.breakpoints().sld_bp_find_user(model.sld_shown_module(), static_cast<uint32_t>(line));
    if (!bp) continue;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(bp->enabled ? red : light);
    const int x = 15, bottom = y + lh;
    p.drawRoundedRect(QRect(QPoint(x - 12, bottom - 11), QPoint(x, bottom - 1)), 3, 3);
  }
}

void SldMargin::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return;
  const int line = window_.lineAt(event->position().toPoint().y());
  const QString chosen = pop_up(this, event->globalPosition().toPoint(), window_.marginMenu(line));
  if (!chosen.isEmpty()) window_.chooseMarginEntry(line, chosen);
}

void SldMargin::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches) window_.scrollBy(-notches);
}

// ---- pane ----

SldPane::SldPane(SldWindow& window) : QWidget(&window), window_(window) {
  setObjectName(QStringLiteral("ZunSldDisplayChild"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SldPane::resizeEvent(QResizeEvent*) {}

void SldPane::paintEvent(QPaintEvent*) {
  SldDebugger& dbg = window_.debugger();
  Sld& model = dbg.model();
  const bool running = dbg.target().target_is_running();
  const bool disassembly = model.sld_is_disassembly_view();
  QPainter p(this);
  p.fillRect(rect(), (!disassembly && running) ? margin_grey : light);
  p.setFont(window_.font());
  const int lh = window_.lineHeight(), cw = window_.charWidth();
  const int ascent = QFontMetrics(window_.font()).ascent();
  const DebugModule* shown = model.sld_shown_module();
  const bool is_c = shown && shown->language != 'A';
  bool in_comment = false;
  if (!disassembly && is_c && !running) {
    std::vector<std::string> above;
    for (int i = std::min<int>(window_.topLine() - 1, static_cast<int>(shown->lines.size())) - 1; i >= 0; --i)
      above.push_back(shown->lines[static_cast<size_t>(i)].text);
    in_comment = c_comment_open_before(above);
  }
  model.sld_lines_from(static_cast<uint32_t>(window_.topLine()));
  std::string text;
  for (int row = 0; row < window_.visibleLines() + 1 && model.sld_line_next(text); ++row) {
    const int baseline = row * lh + ascent;
    const std::string line = expand_tabs(text);
    const QString q = QString::fromLatin1(line.data(), static_cast<int>(line.size()));
    // Cell by cell: the columns stay on the character grid whatever the
    // font's fractional advances.
    auto draw = [&](int from, int count, const QColor& colour) {
      p.setPen(colour);
      for (int col = from; col < from + count; ++col)
        if (q[col] != QLatin1Char(' ')) p.drawText(col * cw, baseline, QString(q[col]));
    };
    if (disassembly || running) {
      draw(0, static_cast<int>(q.size()), disassembly ? QColor(64, 64, 64) : QColor(128, 128, 128));
      continue;
    }
    for (const InkRun& r : is_c ? colour_c_line(line, in_comment) : colour_asm_line(line))
      draw(r.start, r.length, ink_colour(r.ink));
  }
}

void SldPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return;
  const QString chosen = pop_up(this, event->globalPosition().toPoint(), window_.paneMenu());
  if (!chosen.isEmpty()) window_.choosePaneEntry(chosen);
}

void SldPane::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches) window_.scrollBy(-notches);
}

}  // namespace zun::sldwin
