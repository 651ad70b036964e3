// The watch windows and their pane and column-tree controls; see
// watch_window.h.
#include "debugger/sldwin/watch_window.h"

#include "debugger/sldwin/sld_window.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace zun::sldwin {

using namespace zun::sld;

namespace {

struct ViewEntry {
  const char* text;
  uint8_t format;
};
constexpr ViewEntry view_entries[] = {
    {"View as hex", FORMAT_HEX},
    {"View as unsigned decimal", FORMAT_UNSIGNED},
    {"View as signed decimal", FORMAT_SIGNED},
    {"View as binary", FORMAT_BINARY},
    {"View as IEEE float", FORMAT_IEEE},
};

constexpr int caption_strip = 25, border = 5;

}  // namespace

// ---- pane control ----

PaneControl::PaneControl(QWidget* content, QWidget* parent, int orientation)
    : QWidget(parent), content_(content), orientation_(orientation) {
  setObjectName(QStringLiteral("ZUNKY09##CntrlWindow"));
  content_->setParent(this);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect PaneControl::adjustRect(const QRect& r) const {
  if (orientation_ == 0) return r.adjusted(5, 23, -5, -3);
  return r.adjusted(18, 3, -3, -3);
}

void PaneControl::resizeEvent(QResizeEvent*) { content_->setGeometry(adjustRect(rect())); }

void PaneControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor strip = palette().color(QPalette::Button);
  const int w = width(), h = height();
  if (orientation_ == 0) {
    p.fillRect(0, 0, w, caption_strip, strip);
    p.fillRect(0, h - border, w, border, strip);
    p.fillRect(0, 0, border, h, strip);
    p.fillRect(w - border, 0, border, h, strip);
  } else {
    p.fillRect(0, 0, caption_strip, h, strip);
    p.fillRect(0, 0, w, border, strip);
    p.fillRect(0, h - border, w, border, strip);
    p.fillRect(w - border, 0, border, h, strip);
  }
}

PaneControl::Zone PaneControl::zoneAt(QPoint p) const {
  if (p.x() >= width() - 5) return Zone::Right;
  if (p.y() >= height() - 5) return Zone::Bottom;
  if (p.x() < 6) return Zone::Left;
  if (p.y() < 6) return Zone::Top;
  return Zone::None;
}

QRect PaneControl::dragged(QPoint start, QPoint delta) const {
  QRect r = geometry();
  const bool in_caption = orientation_ == 0 ? start.y() < 17 : start.x() < 17;
  if (in_caption) return r.translated(delta);
  switch (zoneAt(start)) {
    case Zone::Left: r.setLeft(r.left() + delta.x()); break;
    case Zone::Right: r.setRight(r.right() + delta.x()); break;
    case Zone::Top: r.setTop(r.top() + delta.y()); break;
    case Zone::Bottom: r.setBottom(r.bottom() + delta.y()); break;
    case Zone::None: break;
  }
  return r;
}

void PaneControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  press_ = event->position().toPoint();
  moving_ = orientation_ == 0 ? press_.y() < 17 : press_.x() < 17;
  zone_ = zoneAt(press_);
  sizing_ = !moving_ && zone_ != Zone::None;
  if (!moving_ && !sizing_) return;
  if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, parentWidget());
  band_->setGeometry(geometry());
  band_->show();
}

void PaneControl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (!moving_ && !sizing_) {
    switch (zoneAt(pos)) {
      case Zone::Left:
      case Zone::Right: setCursor(Qt::SizeHorCursor); break;
      case Zone::Top:
      case Zone::Bottom: setCursor(Qt::SizeVerCursor); break;
      case Zone::None: unsetCursor(); break;
    }
    return;
  }
  band_->setGeometry(dragged(press_, pos - press_));
}

void PaneControl::mouseReleaseEvent(QMouseEvent* event) {
  if (!moving_ && !sizing_) return;
  const QRect r = dragged(press_, event->position().toPoint() - press_);
  moving_ = sizing_ = false;
  band_->hide();
  unsetCursor();
  emit moved(r);
}

// ---- column tree ----

ColumnTree::ColumnTree(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("ZUNKY09##ColumnTreeWindow"));
  setColumnCount(2);
  setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value")});
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // The value column takes what the name column leaves, also when that is
  // less than a column's usual width: its texts are elided, not cut off.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(1, QHeaderView::Stretch);
  connect(header(), &QHeaderView::sectionResized, this, [this] { closeEditor(); });
}

int ColumnTree::valueX() const { return header()->sectionPosition(1); }

void ColumnTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !(running && running())) {
    closeEditor();
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item && pos.x() + header()->offset() >= valueX()) {
      setCurrentItem(item);
      if (openEditor(item)) return;
    }
  }
  QTreeWidget::mousePressEvent(event);
}

QString ColumnTree::valueToolTip(QTreeWidgetItem* item) const {
  if (!item) return {};
  const QString text = item->text(1);
  // The item view's text margin on either side.
  const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  const int room = visualRect(indexFromItem(item, 1)).width() - margin;
  return fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

bool ColumnTree::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = columnAt(help->pos().x()) == 1 ? valueToolTip(itemAt(help->pos())) : QString();
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), tip, viewport());
  return true;
}

bool ColumnTree::openEditor(QTreeWidgetItem* item) {
  closeEditor();
  if (!item || (running && running()) || !(editable && editable(item))) return false;
  auto* e = new QLineEdit(viewport());
  e->setObjectName(QStringLiteral("ZUNKY09##textEditWindow"));
  e->setMaxLength(max_edit);
  e->setFont(font());
  e->setText(edit_text ? edit_text(item) : item->text(1));
  e->selectAll();
  const QRect cell = visualItemRect(item);
  const int x = valueX() - header()->offset();
  e->setGeometry(x, cell.top(), std::max(40, viewport()->width() - x), cell.height() + 2);
  editor_ = e;
  edited_ = item;
  connect(e, &QLineEdit::editingFinished, this, &ColumnTree::finishEdit);
  e->installEventFilter(this);
  e->show();
  e->setFocus();
  return true;
}

// Escape closes the editor without a word to the model; no shortcut of the
// frame may take the key from it first.
bool ColumnTree::eventFilter(QObject* watched, QEvent* event) {
  const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
  if (!editor_ || watched != editor_ || !key || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
    return QTreeWidget::eventFilter(watched, event);
  event->accept();
  if (event->type() == QEvent::KeyPress) {
    closeEditor();
    setFocus();
  }
  return true;
}

void ColumnTree::finishEdit() {
  QLineEdit* e = editor_;
  QTreeWidgetItem* item = edited_;
  if (!e) return;
  editor_ = nullptr;
  edited_ = nullptr;
  e->disconnect(this);
  const QString text = e->text();
  e->hide();
  e->deleteLater();
  emit editEnded(item, text);
}

void ColumnTree::closeEditor() {
  if (QLineEdit* e = editor_) {
    editor_ = nullptr;
    edited_ = nullptr;
    e->disconnect(this);
    e->hide();
    e->deleteLater();
  }
}

// ---- watch windows ----

WatchWindow::WatchWindow(SldWatches& watches, bool autos, WatchEnv env, const QFont& font, QWidget* parent)
    : QWidget(parent), watches_(watches), autos_(autos), env_(std::move(env)) {
  setObjectName(QString::fromLatin1(autos ? auto_class : global_class));
  setWindowTitle(autos ? QStringLiteral("Auto symbols") : QStringLiteral("Global symbols"));
  tree_ = new ColumnTree;
  tree_->setFont(font);
  tree_->running = env_.running;
  tree_->editable = [this](QTreeWidgetItem* item) {
    WatchEntry* e = entryOf(item);
    return e && e->editable;
  };
  tree_->edit_text = [this](QTreeWidgetItem* item) {
    WatchEntry* e = entryOf(item);
    return e ? QString::fromStdString(e->value_text) : QString();
  };
  connect(tree_, &ColumnTree::editEnded, this, &WatchWindow::edited);
  connect(tree_, &QTreeWidget::itemExpanded, this, &WatchWindow::expanded);
  connect(tree_, &QTreeWidget::itemCollapsed, this, &WatchWindow::collapsed);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tree_, &QWidget::customContextMenuRequested, this, &WatchWindow::showRowMenu);
  pane_ = new PaneControl(tree_, this);
  connect(pane_, &PaneControl::moved, this, [this](const QRect& r) { pane_->setGeometry(r); });
  if (!autos_) {
    auto* box = new ModuleBox(this);
    box->before_popup = [this] { fillSymbols(); };
    symbols_ = box;
    symbols_->setObjectName(QStringLiteral("symbol box 43066"));
    symbols_->setEditable(true);
    symbols_->setInsertPolicy(QComboBox::NoInsert);
    symbols_->setGeometry(2, 5, 170, symbols_->sizeHint().height());
    add_ = new QPushButton(QStringLiteral("Add"), this);
    add_->setObjectName(QStringLiteral("add 43071"));
    add_->setGeometry(180, 5, 60, 20);
    add_->setEnabled(false);
    connect(add_, &QPushButton::clicked, this, &WatchWindow::addWatch);
    connect(symbols_->lineEdit(), &QLineEdit::textEdited, this, [this] { add_->setEnabled(true); });
    connect(symbols_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
      if (add_->isEnabled()) addWatch();
    });
    fillSymbols();
  }
  resize(250, 250);
  rebuild();
}

WatchWindow::~WatchWindow() {
  // Nothing may call back into a model whose rows are going.
  tree_->closeEditor();
  tree_->disconnect(this);
  tree_->clear();
}

bool WatchWindow::queryClose() {
  if (env_.session_open && env_.session_open()) {
    if (auto* sub = parentWidget()) sub->showMinimized();
    return false;
  }
  return true;
}

void WatchWindow::resizeEvent(QResizeEvent*) {
  if (isMinimized()) return;
  if (autos_)
    pane_->setGeometry(rect());
  else
    pane_->setGeometry(0, 15 + 17, width(), std::max(0, height() - 10 - 17));
}

void WatchWindow::fillSymbols() {
  const QString text = symbols_->currentText();
  QStringList names;
  for (const std::string& n : watches_.watch_symbol_names()) names << QString::fromStdString(n);
  names.sort();
  symbols_->clear();
  symbols_->addItems(names);
  symbols_->setEditText(text);
  add_->setEnabled(true);
}

void WatchWindow::addWatch() {
  const std::string name = symbols_->currentText().trimmed().toStdString();
  if (watches_.watch_add_global(name)) {
    watches_.watch_refresh();
    rebuild();
  }
  add_->setEnabled(false);
}

WatchEntry* WatchWindow::entryOf(QTreeWidgetItem* item) const {
  return item ? reinterpret_cast<WatchEntry*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

QTreeWidgetItem* WatchWindow::itemOf(const WatchEntry* e) const {
  for (QTreeWidgetItemIterator it(tree_); *it; ++it)
    if (entryOf(*it) == e) return *it;
  return nullptr;
}

void WatchWindow::addRow(QTreeWidgetItem* parent, WatchEntry* e) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, QString::fromStdString(watches_.watch_row_name(*e)));
  item->setText(1, QString::fromStdString(e->value_text));
  item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(e)));
  item->setChildIndicatorPolicy(e->has_children ? QTreeWidgetItem::ShowIndicator
                                                : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  if (!e->expanded) return;
  for (WatchEntry* child : e->children()) addRow(item, child);
  item->setExpanded(true);
}

void WatchWindow::rebuild() {
  rebuilding_ = true;
  tree_->closeEditor();
  const int scrolled = tree_->verticalScrollBar()->value();
  const WatchEntry* current = entryOf(tree_->currentItem());
  tree_->clear();
  for (WatchEntry* e : autos_ ? watches_.auto_rows() : watches_.global_rows()) addRow(nullptr, e);
  if (current)
    if (QTreeWidgetItem* item = itemOf(current)) tree_->setCurrentItem(item);
  tree_->verticalScrollBar()->setValue(scrolled);
  rebuilding_ = false;
}

void WatchWindow::expanded(QTreeWidgetItem* item) {
  if (rebuilding_) return;
  if (WatchEntry* e = entryOf(item)) watches_.watch_expand(*e);
  rebuild();
}

void WatchWindow::collapsed(QTreeWidgetItem* item) {
  if (rebuilding_) return;
  if (WatchEntry* e = entryOf(item)) watches_.watch_collapse(*e);
  rebuild();
}

void WatchWindow::edited(QTreeWidgetItem* item, const QString& text) {
  WatchEntry* e = entryOf(item);
  if (!e || (env_.running && env_.running())) return;
  watches_.watch_edit(*e, text.toStdString());
  rebuild();
}

std::vector<QString> WatchWindow::rowMenu(QTreeWidgetItem* item) const {
  const WatchEntry* e = entryOf(item);
  if (!e) return {};
  std::vector<QString> entries;
  if (!autos_ && e->top_level) entries = {QStringLiteral("Remove"), QString()};
  for (const ViewEntry& v : view_entries) entries.push_back(QString::fromLatin1(v.text));
  return entries;
}

void WatchWindow::chooseRowEntry(QTreeWidgetItem* item, const QString& entry) {
  WatchEntry* e = entryOf(item);
  if (!e) return;
  if (entry == QLatin1String("Remove")) {
    watches_.watch_remove(*e);
  } else {
    for (const ViewEntry& v : view_entries)
      if (entry == QLatin1String(v.text)) watches_.watch_set_format(*e, v.format);
  }
  rebuild();
}

void WatchWindow::showRowMenu(QPoint pos) {
  QTreeWidgetItem* item = tree_->itemAt(pos);
  const WatchEntry* e = entryOf(item);
  const std::vector<QString> entries = rowMenu(item);
  if (!e || entries.empty()) return;
  QMenu menu(this);
  for (const QString& text : entries) {
    if (text.isEmpty()) {
      menu.addSeparator();
      continue;
    }
    QAction* a = menu.addAction(text);
    for (const ViewEntry& v : view_entries)
      if (text == QLatin1String(v.text)) {
        a->setCheckable(true);
        a->setChecked(e->format == v.format);
      }
  }
  if (QAction* chosen = menu.exec(tree_->viewport()->mapToGlobal(pos))) chooseRowEntry(item, chosen->text());
}

}  // namespace zun::sldwin
