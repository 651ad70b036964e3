// The visual simulator window; see sim_window.h.
#include "debugger/simwin/sim_window.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>

#include "common/format.h"
#include "debugger/simwin/sim_art.h"
#include "debugger/simwin/sim_dialogs.h"

namespace zun::sim {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// List and lamp colours.
const QColor selected_grey(0xA0, 0xA0, 0xA0);
const QColor current_yellow(0xFF, 0xFF, 0x00);
const QColor break_red(0xFF, 0x00, 0x00);
const QColor disabled_grey(0xDC, 0xDC, 0xDC);
const QColor lamp_off(0x90, 0x8C, 0x8C);

constexpr int key_width = 18, key_hit_height = 30;

}  // namespace

int run_dialog(const SimulatorEnv& env, QDialog& dialog) {
  return env.run_dialog ? env.run_dialog(dialog) : dialog.exec();
}

// ---- the context ----

SimulatorContext::SimulatorContext(SimulatorEnv env_)
    : env(std::move(env_)), engine(board, *this, env.bin_dir.toStdString()) {}

SimulatorContext::~SimulatorContext() { board.dev_close_all(); }

void SimulatorContext::on_stop() {
  if (window_) window_->engineStopped();
}

void SimulatorContext::repaint() {
  if (window_) window_->enginePainted();
}

void SimulatorContext::run_mode_changed() {
  if (window_) window_->engineRunModeChanged();
}

void SimulatorContext::message_box(const std::string& caption, const std::string& text) {
  if (env.message) env.message(qs(caption), qs(text));
}

void SimulatorContext::error_box(const std::string& text) {
  if (env.error) env.error(qs(text));
}

void SimulatorContext::output_line(const std::string& text) {
  if (env.output) env.output(text);
}

std::vector<int32_t> SimulatorContext::attached_handles() const {
  std::vector<int32_t> handles;
  for (const auto& s : board.slots)
    if (s.handle != -1) handles.push_back(s.handle);
  return handles;
}

// ---- creation and destruction ----

SimulatorWindow* SimulatorWindow::create(SimulatorContext& sim, int cpu_kind, const QString& load_file,
                                         QWidget* parent) {
  if (!layout_for_kind(cpu_kind) || sim.window()) return nullptr;
  return new SimulatorWindow(sim, load_file, parent);
}

SimulatorWindow::SimulatorWindow(SimulatorContext& sim, const QString& load_file, QWidget* parent)
    : QWidget(parent), sim_(sim) {
  setObjectName(QString::fromLatin1(class_name));
  setWindowTitle(QString::fromLatin1(caption));
  keys_ = {{265, 265, SIM_STEP}, {81, 90, SIM_REQUEST_IRQ_FIRST}};

  Engine& engine = sim_.engine;
  sim_.board.board_clear_memory();
  engine.sim_reset_state(true);
  sim_.board.load_device_types();
  if (sim_.env.project_descriptor) {
    const QString descriptor = sim_.env.project_descriptor();
    if (!descriptor.isEmpty()) {
      DescriptorResult r = sim_.board.descriptor_load(descriptor.toStdString());
      if (!r.ok && sim_.env.error) sim_.env.error(qs(r.message));
    }
  }
  if (!load_file.isEmpty()) engine.load_file = load_file.toStdString();
  engine.sim_set_visual(true);

  const QFontMetrics fm(sim_.env.panel_font);
  geo_.L = fm.lineSpacing();
  geo_.W = std::max(1, fm.averageCharWidth());
  int right = 620, bottom = 0;
  for (const ControlPlace& c : control_layout(CPU_KIND_MC6809, geo_.L, geo_.W)) {
    right = std::max(right, c.x + c.width + 12);
    bottom = std::max(bottom, c.y + c.height + 12);
  }
  picture_ = board_picture(geo_, QSize(right, bottom), sim_.env.small_font);
  key_up_ = key_picture(false);
  key_down_ = key_picture(true);
  setFixedSize(picture_.size());
  setAttribute(Qt::WA_OpaquePaintEvent);

  createControls();
  createToolBar();
  sim_.set_window(this);
  run_timer_.setInterval(100);
  connect(&run_timer_, &QTimer::timeout, this, &SimulatorWindow::tick);
  list_.refresh(engine, true);
  refreshPanels();
  button(ID_APPLY)->setEnabled(false);
  if (sim_.env.state_changed) sim_.env.state_changed();
}

// Also reached while the frame itself is being destroyed, without a
// queryClose first: then nothing of the workbench may be called any more.
SimulatorWindow::~SimulatorWindow() {
  // The controls outlive this part of the window: a cell losing the focus
  // as they go must not call back into it.
  for (QObject* child : children()) child->disconnect(this);
  run_timer_.stop();
  if (!closing_sent_) shutDown(false);
}

bool SimulatorWindow::queryClose() {
  if (!closing_sent_) shutDown(true);
  return true;
}

// The window closes: the engine stops, the debugger lets go, the devices
// close. From here on the simulator counts as gone (a new window may open
// before this one is deleted).
void SimulatorWindow::shutDown(bool workbench_alive) {
  closing_sent_ = true;
  if (!workbench_alive) sim_.set_window(nullptr);  // the stop reaches nothing of the workbench
  sim_.engine.command(SIM_STOP);
  run_timer_.stop();
  sim_.set_window(nullptr);
  notifyClosing();
  sim_.board.dev_close_all();
}

// The debugger lets go of the window before anything of it goes.
void SimulatorWindow::notifyClosing() {
  if (SimulatorClient* c = client_) {
    client_ = nullptr;
    c->simulator_closing();
  }
  emit closing();
}

void SimulatorWindow::describe(wb::WorkbenchState& state) const { state.simulator_exists = true; }

// ---- controls ----

void SimulatorWindow::createControls() {
  for (const ControlPlace& c : control_layout(CPU_KIND_MC6809, geo_.L, geo_.W)) {
    QWidget* w = nullptr;
    switch (c.kind) {
      case ControlKind::ColumnHeader: {
        auto* label = new QLineEdit(QString::fromStdString(c.text), this);
        label->setReadOnly(true);
        label->setFocusPolicy(Qt::NoFocus);
        label->setAlignment(Qt::AlignCenter);
        label->setFrame(true);
        label->setStyleSheet(QStringLiteral("QLineEdit { background: #d8d8d0; padding: 0; }"));
        label->setFont(sim_.env.panel_font);
        w = label;
        break;
      }
      case ControlKind::AddressField:
      case ControlKind::MemoryCell:
      case ControlKind::RegisterField: {
        auto* edit = new QLineEdit(this);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFont(sim_.env.panel_font);
        edit->setStyleSheet(QStringLiteral("QLineEdit { padding: 0; }"));
        edit->setTextMargins(0, 0, 0, 0);
        if (c.kind == ControlKind::AddressField) {
          edit->setReadOnly(true);
          edit->setMaxLength(7);
          address_fields_[c.id - ID_ADDRESS_FIELD_FIRST] = edit;
        } else if (c.kind == ControlKind::MemoryCell) {
          const int cell = c.id - ID_MEMORY_CELL_FIRST;
          edit->setMaxLength(2);
          cells_[cell] = edit;
          edit->installEventFilter(this);
          connect(edit, &QLineEdit::textEdited, this, [edit](const QString& t) {
            const int pos = edit->cursorPosition();
            edit->setText(t.toUpper());
            edit->setModified(true);  // still the user's edit
            edit->setCursorPosition(pos);
          });
          connect(edit, &QLineEdit::editingFinished, this, [this, cell] { cellEdited(cell); });
        } else {
          const int index = c.id - ID_REGISTER_FIRST;
          edit->setMaxLength(index == REG_CC ? 8 : 4);
          registers_[index] = edit;
          connect(edit, &QLineEdit::textEdited, this, [this] {
            if (!filling_ && !sim_.engine.busy && sim_.engine.run_mode == RunMode::Stopped)
              button(ID_APPLY)->setEnabled(true);
          });
        }
        w = edit;
        break;
      }
      case ControlKind::AddressButton:
      case ControlKind::Button:
      case ControlKind::SmallButton: {
        auto* b = new QPushButton(QString::fromStdString(c.text), this);
        b->setFont(c.kind == ControlKind::SmallButton ? sim_.env.small_font : sim_.env.panel_font);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(QStringLiteral("QPushButton { padding: 0; }"));
        const int id = c.id;
        connect(b, &QPushButton::clicked, this, [this, id] { command(id, 0); });
        buttons_[id] = b;
        w = b;
        break;
      }
      case ControlKind::ScrollBar: {
        scroll_ = new QScrollBar(Qt::Vertical, this);
        scroll_->setRange(0, memory_scroll_max);
        scroll_->setSingleStep(1);
        scroll_->setPageStep(16);
        connect(scroll_, &QScrollBar::valueChanged, this, &SimulatorWindow::scrollMemory);
        w = scroll_;
        break;
      }
    }
    w->setObjectName(c.id >= 0 ? QStringLiteral("control %1").arg(c.id) : QStringLiteral("header %1").arg(
                                                                                QString::fromStdString(c.text)));
    w->setGeometry(c.x, c.y, c.width, c.height);
  }
}

QLineEdit* SimulatorWindow::registerField(int index) const {
  return index >= 0 && index < int(registers_.size()) ? registers_[index] : nullptr;
}

QPushButton* SimulatorWindow::button(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? nullptr : it->second;
}

void SimulatorWindow::createToolBar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName(QStringLiteral("simulator toolbar"));
  toolbar_->setIconSize(QSize(16, 16));
  for (const ToolButton& b : tool_buttons) {
    QAction* a = toolbar_->addAction(tool_icon(b.id), QString::fromLatin1(b.tip));
    a->setToolTip(QString::fromLatin1(b.tip));
    a->setData(b.id);
    const int id = b.id;
    connect(a, &QAction::triggered, this, [this, id] { command(id, 0); });
    tool_actions_[b.id] = a;
  }
  toolbar_->adjustSize();
  toolbar_->move(0, 0);
  updateToolBar();
}

QAction* SimulatorWindow::toolAction(int id) const {
  auto it = tool_actions_.find(id);
  return it == tool_actions_.end() ? nullptr : it->second;
}

void SimulatorWindow::updateToolBar() {
  const Engine& e = sim_.engine;
  for (auto& [id, a] : tool_actions_) a->setEnabled(tool_enabled(id, e.run_mode, !e.load_file_name.empty()));
  // Step is the stopped engine's: a run re-enables it when it stops.
  if (QPushButton* step = button(SIM_STEP)) step->setEnabled(e.run_mode == RunMode::Stopped);
}

// ---- engine work ----

void SimulatorWindow::enginePainted() { panelsDirty(); }

void SimulatorWindow::panelsDirty() {
  if (refresh_pending_) return;
  refresh_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (refresh_pending_) refreshPanels();
  });
}

void SimulatorWindow::engineRunModeChanged() {
  if (sim_.engine.run_mode == RunMode::Stopped)
    run_timer_.stop();
  else if (!run_timer_.isActive())
    run_timer_.start();
  updateToolBar();
  update();
  if (sim_.env.state_changed) sim_.env.state_changed();
}

void SimulatorWindow::engineStopped() {
  if (client_) client_->on_stop();
}

void SimulatorWindow::runEngine(int id) {
  displayed_step_ = id == SIM_STEP || id == SIM_RUN || id == SIM_RUN_FAST;
  sim_.engine.command(id);
  refreshPanels();
}

void SimulatorWindow::tick() {
  Engine& e = sim_.engine;
  const bool slow = e.run_mode == RunMode::Slow;
  e.sim_timer_tick();
  displayed_step_ = slow;
  refreshPanels();
}

void SimulatorWindow::refreshPanels() {
  refresh_pending_ = false;
  Engine& e = sim_.engine;
  if (!e.visual || closing_sent_) return;
  if (displayed_step_)
    list_.after_step(e, e.last_step);
  else
    list_.refresh(e, false);
  displayed_step_ = false;
  stack_.follow(e.cpu.s);
  paintRegisters();
  paintMemory();
  updateToolBar();
  update();
}

void SimulatorWindow::paintRegisters() {
  filling_ = true;
  for (int i = 0; i < int(registers_.size()); ++i)
    if (registers_[i]) registers_[i]->setText(QString::fromStdString(register_text(sim_.engine.cpu, i)));
  filling_ = false;
}

void SimulatorWindow::paintMemory() {
  filling_ = true;
  for (int r = 0; r < 4; ++r) address_fields_[r]->setText(QString::fromStdString(grid_.address_text(r)));
  for (int c = 0; c < memory_cells; ++c) {
    QLineEdit* cell = cells_[c];
    // A cell being typed into keeps its text until the edit completes.
    if (cell->hasFocus() && cell->isModified()) continue;
    cell->setText(QString::fromStdString(grid_.cell_text(sim_.board, c)));
    cell->setReadOnly(!grid_.cell_editable(sim_.board, c));
  }
  filling_ = false;
}

void SimulatorWindow::scrollMemory(int position) {
  position = MemoryGrid::clamp_position(position);
  if (scroll_->value() != position) scroll_->setValue(position);
  grid_.set_base(uint32_t(position) * 16);
  paintMemory();
}

void SimulatorWindow::cellEdited(int cell) {
  QLineEdit* edit = cells_[cell];
  if (filling_ || !edit->isModified()) return;
  edit->setModified(false);
  const Engine& e = sim_.engine;
  if (e.busy || e.run_mode != RunMode::Stopped) {
    edit->setText(QString::fromStdString(grid_.cell_text(sim_.board, cell)));
    return;
  }
  const std::string shown = grid_.edit_cell(sim_.board, cell, edit->text().toStdString());
  filling_ = true;
  edit->setText(QString::fromStdString(shown));
  filling_ = false;
  refreshPanels();
}

void SimulatorWindow::applyRegisters() {
  for (int i = 0; i < int(registers_.size()); ++i)
    if (registers_[i]) register_field_apply(sim_.engine.cpu, i, registers_[i]->text().toStdString());
  refreshPanels();
  button(ID_APPLY)->setEnabled(false);
}

void SimulatorWindow::moveCellFocus(int id) {
  int from = 0;
  for (int c = 0; c < memory_cells; ++c)
    if (cells_[c]->hasFocus()) from = c;
  const int step = id == wb::cmd::key_left ? -1 : id == wb::cmd::key_right ? 1 : id == wb::cmd::key_up ? -16 : 16;
  QLineEdit* to = cells_[(from + step + memory_cells) % memory_cells];
  to->setFocus();
  to->selectAll();
}

void SimulatorWindow::addressButton() {
  QLineEdit* field = address_fields_[0];
  QPushButton* b = button(ID_ADDRESS_BUTTON);
  if (!address_editing_) {
    address_editing_ = true;
    field->setReadOnly(false);
    field->setFocus();
    field->selectAll();
    b->setText(QStringLiteral("set"));
    return;
  }
  uint64_t address = 0;
  if (field->text().isEmpty() || sim_parse_number(field->text().toStdString(), address, 16) != 0 ||
      address > 0xFFFF) {
    if (sim_.env.error) sim_.env.error(QStringLiteral("Badly formed address"));
    return;
  }
  address_editing_ = false;
  b->setText(QStringLiteral("mem"));
  field->setReadOnly(true);
  scrollMemory(int(address / 16));
}

// ---- commands ----

bool SimulatorWindow::command(int id, qintptr) {
  Engine& e = sim_.engine;
  switch (id) {
    case SIM_RESET:
    case SIM_RESET_CPU:
    case SIM_RUN:
    case SIM_RUN_FAST:
    case SIM_STOP:
    case SIM_STEP:
    case SIM_REFRESH:
    case SIM_CLEAR_BYTES:
    case SIM_TOGGLE_ROM_WRITABLE:
    case SIM_TOGGLE_EXCEPTIONS:
    case SIM_LOAD:
    case SIM_RELOAD:
    case SIM_AFTER_LOAD: runEngine(id); return true;
    case ID_APPLY: applyRegisters(); return true;
    case SIM_BREAKPOINT_DIALOG: breakpointDialog(); return true;
    case SIM_LOAD_NEW: loadNew(); return true;
    case SIM_SETUP: setupDialog(); return true;
    case ID_ADDRESS_BUTTON: addressButton(); return true;
    case wb::cmd::key_left:
    case wb::cmd::key_up:
    case wb::cmd::key_down:
    case wb::cmd::key_right: moveCellFocus(id); return true;
    default: break;
  }
  if (id >= SIM_REQUEST_IRQ_FIRST && id <= SIM_REQUEST_IRQ_LAST) {
    e.command(id);
    return true;
  }
  return false;
}

void SimulatorWindow::loadNew() {
  if (!sim_.env.choose_load_file) return;
  const QString chosen = sim_.env.choose_load_file();
  if (chosen.isEmpty()) return;
  sim_.engine.load_file = chosen.toStdString();
  runEngine(SIM_LOAD);
}

void SimulatorWindow::setupDialog() {
  TargetSetupDialog dialog(sim_, this);
  run_dialog(sim_.env, dialog);
  sim_.engine.setup_done();
  refreshPanels();
}

void SimulatorWindow::breakpointDialog() {
  BreakpointDialog dialog(sim_, this);
  run_dialog(sim_.env, dialog);
  refreshPanels();
}

void SimulatorWindow::activated() {
  const bool first = first_activation_;
  first_activation_ = false;
  Engine& e = sim_.engine;
  if (!e.sim_load_file_changed() || first) return;
  if (sim_.env.question && sim_.env.question(QStringLiteral("An updated Loadfile exists, reload it?"))) {
    e.load_srecords_reporting(e.load_file);
    refreshPanels();
  }
}

// ---- mouse ----

int SimulatorWindow::keyAt(QPoint p) const {
  // The list lies over the Step key's spot on the board: a click there is
  // the list's, never an accidental step.
  if (list_.row_at(p.x(), p.y(), geo_) >= 0) return -1;
  for (int i = 0; i < int(keys_.size()); ++i) {
    const Key& k = keys_[i];
    if (QRect(k.left, k.top, key_width, key_hit_height).contains(p)) return i;
  }
  return -1;
}

void SimulatorWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    showPopup(p);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const int k = keyAt(p);
  if (k < 0 || keys_[k].pressed) return;
  keys_[k].pressed = true;
  update();
  command(keys_[k].command, 0);
}

// A key comes up again when the button is released, ready for the next press.
void SimulatorWindow::mouseReleaseEvent(QMouseEvent*) {
  for (Key& k : keys_) k.pressed = false;
  update();
}

std::vector<MenuEntry> SimulatorWindow::popupAt(QPoint p) {
  const int row = list_.row_at(p.x(), p.y(), geo_);
  if (row >= 0) {
    list_.selected = row;
    update();
    return list_menu(sim_.engine, list_.addresses[row]);
  }
  return panel_menu(sim_.engine);
}

void SimulatorWindow::choosePopup(QPoint p, int id) {
  Engine& e = sim_.engine;
  const int row = list_.row_at(p.x(), p.y(), geo_);
  list_.selected = -1;
  if (row >= 0) {
    const uint32_t address = list_.addresses[row];
    if (id == POP_GOTO_HERE) displayed_step_ = true;
    list_menu_choice(e, id, address);
  } else if (id > 0 && !panel_menu_choice(e, id)) {
    command(id, 0);
  }
  refreshPanels();
}

void SimulatorWindow::showPopup(QPoint p) {
  const std::vector<MenuEntry> entries = popupAt(p);
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("simulator popup"));
  for (const MenuEntry& m : entries) {
    if (m.id == 0) {
      menu.addSeparator();
      continue;
    }
    menu.addAction(QString::fromStdString(m.text))->setData(m.id);
  }
  QAction* chosen = menu.exec(mapToGlobal(p));
  choosePopup(p, chosen ? chosen->data().toInt() : 0);
}

bool SimulatorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int id = key == Qt::Key_Left    ? wb::cmd::key_left
                   : key == Qt::Key_Right ? wb::cmd::key_right
                   : key == Qt::Key_Up    ? wb::cmd::key_up
                   : key == Qt::Key_Down  ? wb::cmd::key_down
                                          : 0;
    if (id != 0) {
      if (qobject_cast<QLineEdit*>(watched)) {
        moveCellFocus(id);  // leaving the cell completes its edit
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- painting ----

void SimulatorWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Engine& e = sim_.engine;
  if (!e.visual) return;
  p.drawPixmap(0, 0, picture_);
  const int L = geo_.L, W = geo_.W;
  p.setFont(sim_.env.panel_font);
  const QFontMetrics fm(sim_.env.panel_font);

  // The disassembly list.
  for (int row = 0; row < list_rows; ++row) {
    const QRect r(geo_.list_x, geo_.list_y + row * L, list_width * W, L);
    QColor back = Qt::white, ink = Qt::black;
    switch (list_.style(row, e)) {
      case RowStyle::Selected: back = selected_grey; ink = Qt::white; break;
      case RowStyle::Current: back = current_yellow; break;
      case RowStyle::CurrentAtBreak: back = Qt::black; ink = current_yellow; break;
      case RowStyle::Break: back = break_red; break;
      case RowStyle::DisabledBreak: back = disabled_grey; break;
      case RowStyle::Plain: break;
    }
    p.fillRect(r, back);
    p.setPen(ink);
    p.drawText(r.x(), r.y() + fm.ascent(), QString::fromStdString(list_.lines[row]));
  }

  // The byte total and the target's name.
  p.setPen(Qt::white);
  p.drawText(geo_.byte_total_x(), geo_.byte_total_y + fm.ascent(),
             QString::fromStdString(byte_total_text(e.byte_total)));
  p.setPen(Qt::black);
  p.setClipRect(QRect(geo_.descriptor_x, geo_.descriptor_y, 170, L));
  p.drawText(geo_.descriptor_x, geo_.descriptor_y + fm.ascent(),
             QString::fromStdString(sim_.board.sim_descriptor_name()));
  p.setClipping(false);

  // The lamps.
  p.setRenderHint(QPainter::Antialiasing);
  for (const LampPlace& lamp : lamp_places) {
    p.setPen(Qt::NoPen);
    p.setBrush(lamp_on(lamp.lamp, e) ? QColor(Qt::red) : lamp_off);
    p.drawEllipse(QPoint(lamp.x, lamp.y), 7, 7);
  }

  // The stack view: header, eight lines, the arrow at S.
  p.setPen(Qt::white);
  p.drawText(37, geo_.stack_y + fm.ascent(), QStringLiteral("SP"));
  p.drawText(62, geo_.stack_y + fm.ascent(), QStringLiteral("(SP)"));
  for (int k = 0; k < 8; ++k)
    p.drawText(geo_.stack_x, geo_.stack_y + (k + 1) * L + fm.ascent(),
               QString::fromStdString(stack_.line_text(sim_.board, k)));
  const int row = stack_.arrow_row();
  if (row >= 0 && row < 8) {
    const int y = geo_.stack_y + row * L + 3 * L / 2;
    p.setPen(QPen(stack_.s_changed ? QColor(Qt::red) : QColor(Qt::white), 3));
    p.drawLine(13, y, 23, y);
    p.drawLine(23, y, 19, y - 4);
    p.drawLine(23, y, 19, y + 4);
  }

  // The keys that no panel covers.
  for (const Key& k : keys_)
    if (list_.row_at(k.left, k.top, geo_) < 0 && !childAt(k.left + 1, k.top + 1))
      p.drawPixmap(k.left, k.top, k.pressed ? key_down_ : key_up_);
}

}  // namespace zun::sim
