// The simulator's dialogs; see sim_dialogs.h.
#include "debugger/simwin/sim_dialogs.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "debugger/simwin/panels.h"
#include "debugger/simwin/sim_window.h"

namespace zun::sim {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QPushButton* named_button(const QString& text, const QString& name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

// The row the user selected; a current row that the list only took on
// getting the focus is no choice.
QListWidgetItem* selected(QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  return items.isEmpty() ? nullptr : items.front();
}

int selected_row(QListWidget* list) {
  QListWidgetItem* item = selected(list);
  return item ? list->row(item) : -1;
}

void error(SimulatorContext& sim, const QString& text) {
  if (sim.env.error) sim.env.error(text);
}

}  // namespace

// ---- IOSETUPDIALOG ----

IoSetupDialog::IoSetupDialog(SimulatorContext& sim, TargetSetup& setup, std::optional<uint32_t> preset,
                             QWidget* parent)
    : QDialog(parent), sim_(sim), setup_(setup), preset_(preset) {
  setObjectName(QStringLiteral("IOSETUPDIALOG"));
  setWindowTitle(qs(io_setup_caption(sim.board)));
  auto* layout = new QVBoxLayout(this);
  auto* header = new QLabel(QStringLiteral(" Num   Type  Space  Description"), this);
  layout->addWidget(new QLabel(QStringLiteral(" Select a device from the list..."), this));
  layout->addWidget(header);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("devices"));
  list_->setFont(sim.env.panel_font);
  for (const std::string& row : io_device_rows(sim.board)) list_->addItem(qs(row));
  list_->setMinimumWidth(QFontMetrics(sim.env.panel_font).averageCharWidth() * 70);
  layout->addWidget(list_);
  layout->addWidget(new QLabel(QStringLiteral("Select a valid IO device base address"), this));
  base_ = new QLineEdit(this);
  base_->setObjectName(QStringLiteral("base"));
  base_->setFont(sim.env.panel_font);
  if (preset_) base_->setText(QString::asprintf("%4.4X", unsigned(*preset_)));
  layout->addWidget(base_);
  auto* buttons = new QHBoxLayout;
  connect_ = named_button(QStringLiteral("C&onnect"), QStringLiteral("connect"), this);
  auto* close = named_button(QStringLiteral("&Close"), QStringLiteral("close"), this);
  buttons->addWidget(connect_);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(connect_, &QPushButton::clicked, this, &IoSetupDialog::connectDevice);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QListWidget::itemSelectionChanged, this, &IoSetupDialog::updateEnabling);
  updateEnabling();
}

void IoSetupDialog::updateEnabling() {
  sim_.board.dev_purge();
  const bool chosen = selected(list_) != nullptr;
  connect_->setEnabled(chosen);
  base_->setEnabled(chosen && !preset_);
  base_->setFocus();
}

void IoSetupDialog::connectDevice() {
  QListWidgetItem* item = selected(list_);
  if (!item) return;
  IoConnect r = io_connect(setup_, item->text().toStdString(), base_->text().toStdString(), preset_);
  if (!r.message.empty()) {
    error(sim_, qs(r.message));
    return;
  }
  if (preset_)
    accept();
  else
    updateEnabling();
}

// ---- IODETACHDIALOG ----

IoDetachDialog::IoDetachDialog(SimulatorContext& sim, TargetSetup& setup, QWidget* parent)
    : QDialog(parent), setup_(setup) {
  setObjectName(QStringLiteral("IODETACHDIALOG"));
  setWindowTitle(QStringLiteral("Detach device"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Address / Device"), this));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("devices"));
  list_->setFont(sim.env.panel_font);
  list_->setMinimumWidth(QFontMetrics(sim.env.panel_font).averageCharWidth() * 56);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  disconnect_ = named_button(QStringLiteral("Disconnect"), QStringLiteral("disconnect"), this);
  auto* done = named_button(QStringLiteral("Done"), QStringLiteral("done"), this);
  buttons->addWidget(disconnect_);
  buttons->addStretch();
  buttons->addWidget(done);
  layout->addLayout(buttons);
  connect(disconnect_, &QPushButton::clicked, this, &IoDetachDialog::disconnectDevice);
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::itemSelectionChanged, this,
          [this] { disconnect_->setEnabled(selected(list_) != nullptr); });
  rebuild();
}

void IoDetachDialog::rebuild() {
  list_->clear();
  for (const std::string& row : detach_rows(setup_.board)) list_->addItem(qs(row));
  list_->setCurrentRow(-1);
  disconnect_->setEnabled(false);
}

void IoDetachDialog::disconnectDevice() {
  if (QListWidgetItem* item = selected(list_)) detach_row(setup_, item->text().toStdString());
  rebuild();
}

// ---- KY09TARGETSETUP ----

TargetSetupDialog::TargetSetupDialog(SimulatorContext& sim, QWidget* parent)
    : QDialog(parent), sim_(sim), setup_(sim.board) {
  setObjectName(QStringLiteral("KY09TARGETSETUP"));
  setWindowTitle(QStringLiteral("KY09 Setup"));
  auto* layout = new QGridLayout(this);

  auto* config = new QGroupBox(QStringLiteral("Configuration"), this);
  auto* config_layout = new QVBoxLayout(config);
  configuration_ = new QButtonGroup(this);
  const char* texts[] = {"56 kB RAM, 8 kB ROM ( QM09 loaded) Console and Floppy Discs", "56 kB RAM, 8 kB ROM"};
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), config);
    radio->setObjectName(QStringLiteral("configuration %1").arg(i + 1));
    configuration_->addButton(radio, i + 1);
    config_layout->addWidget(radio);
  }
  layout->addWidget(config, 0, 0, 1, 2);

  auto* onboard = new QGroupBox(QStringLiteral("On board devices"), this);
  auto* onboard_layout = new QVBoxLayout(onboard);
  auto* header = new QLabel(QStringLiteral("Base       Con.   Device"), onboard);
  onboard_layout->addWidget(header);
  list_ = new QListWidget(onboard);
  list_->setObjectName(QStringLiteral("onboard"));
  list_->setFont(sim.env.panel_font);
  list_->setMinimumWidth(QFontMetrics(sim.env.panel_font).averageCharWidth() * 52);
  onboard_layout->addWidget(list_);
  auto* onboard_buttons = new QHBoxLayout;
  disconnect_ = named_button(QStringLiteral("Disconnect"), QStringLiteral("disconnect"), onboard);
  connect_ = named_button(QStringLiteral("Connect"), QStringLiteral("connect"), onboard);
  onboard_buttons->addWidget(disconnect_);
  onboard_buttons->addWidget(connect_);
  onboard_buttons->addStretch();
  onboard_layout->addLayout(onboard_buttons);
  layout->addWidget(onboard, 1, 0, 3, 1);

  auto* external = new QGroupBox(QStringLiteral("External IO "), this);
  auto* external_layout = new QVBoxLayout(external);
  auto* attach = named_button(QStringLiteral("Attach New Device"), QStringLiteral("attach"), external);
  auto* detach = named_button(QStringLiteral("Show/Detach Device(s)"), QStringLiteral("detach"), external);
  external_layout->addWidget(attach);
  external_layout->addWidget(detach);
  layout->addWidget(external, 1, 1);

  auto* file = new QGroupBox(QStringLiteral("Configuration from file"), this);
  auto* file_layout = new QVBoxLayout(file);
  auto* select = named_button(QStringLiteral("Select"), QStringLiteral("select"), file);
  auto* save = named_button(QStringLiteral("Save As"), QStringLiteral("save as"), file);
  file_layout->addWidget(select);
  file_layout->addWidget(save);
  layout->addWidget(file, 2, 1);

  auto* defaults = named_button(QStringLiteral("Default"), QStringLiteral("default"), this);
  auto* ok = named_button(QStringLiteral("OK"), QStringLiteral("ok"), this);
  auto* cancel = named_button(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);
  ok->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(defaults);
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  layout->addLayout(bottom, 4, 0, 1, 2);

  connect(connect_, &QPushButton::clicked, this, &TargetSetupDialog::connectChip);
  connect(disconnect_, &QPushButton::clicked, this, &TargetSetupDialog::disconnectChip);
  connect(attach, &QPushButton::clicked, this, &TargetSetupDialog::attachNew);
  connect(detach, &QPushButton::clicked, this, &TargetSetupDialog::showDetach);
  connect(select, &QPushButton::clicked, this, &TargetSetupDialog::selectFile);
  connect(save, &QPushButton::clicked, this, &TargetSetupDialog::saveAs);
  connect(defaults, &QPushButton::clicked, this, &TargetSetupDialog::pressDefault);
  connect(ok, &QPushButton::clicked, this, &TargetSetupDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &TargetSetupDialog::reject);
  connect(list_, &QListWidget::itemSelectionChanged, this, &TargetSetupDialog::updateButtons);

  refresh();
  checkConfiguration(setup_.configuration_at_opening());
}

int TargetSetupDialog::checkedConfiguration() const {
  const int id = configuration_->checkedId();
  return id > 0 ? id : 1;
}

void TargetSetupDialog::checkConfiguration(int n) {
  if (QAbstractButton* b = configuration_->button(n)) b->setChecked(true);
}

void TargetSetupDialog::refresh() {
  const int row = selected_row(list_);
  list_->clear();
  for (const std::string& r : setup_.onboard_rows()) list_->addItem(qs(r));
  if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
  updateButtons();
}

void TargetSetupDialog::updateButtons() {
  const int row = selected_row(list_);
  if (row < 0) {
    connect_->setEnabled(false);
    disconnect_->setEnabled(false);
    return;
  }
  sim_.board.dev_purge();
  const OnboardState state = setup_.state(row);
  connect_->setEnabled(state == OnboardState::Free);
  disconnect_->setEnabled(state == OnboardState::Connected);
}

void TargetSetupDialog::connectChip() {
  const int row = selected_row(list_);
  if (row < 0 || setup_.state(row) != OnboardState::Free) return;
  sim_.board.last_opened_device = -1;
  IoSetupDialog io(sim_, setup_, setup_.connect_base(row), this);
  run_dialog(sim_.env, io);
  if (sim_.board.last_opened_device != -1) setup_.connected(row);
  refresh();
}

void TargetSetupDialog::disconnectChip() {
  const int row = selected_row(list_);
  if (row < 0) return;
  setup_.disconnect(row);
  refresh();
}

void TargetSetupDialog::attachNew() {
  IoSetupDialog io(sim_, setup_, std::nullopt, this);
  run_dialog(sim_.env, io);
  refresh();
}

void TargetSetupDialog::showDetach() {
  IoDetachDialog detach(sim_, setup_, this);
  run_dialog(sim_.env, detach);
  refresh();
}

void TargetSetupDialog::selectFile() {
  if (!sim_.env.open_descriptor) return;
  const QString path = sim_.env.open_descriptor();
  if (path.isEmpty()) return;
  const std::string message = setup_.select(path.toStdString());
  if (!message.empty())
    error(sim_, QStringLiteral("Can't open '%1'").arg(QFileInfo(path).fileName()));
  else if (sim_.env.set_project_descriptor)
    sim_.env.set_project_descriptor(qs(sim_.board.descriptor_path));
  refresh();
  if (SimulatorWindow* w = sim_.window()) w->refreshPanels();
  checkConfiguration(sim_.board.board_configuration_get());
}

void TargetSetupDialog::saveAs() {
  sim_.board.board_configuration_set(checkedConfiguration());
  if (!sim_.env.save_descriptor) return;
  const QString path = sim_.env.save_descriptor(sim_.env.project_dir);
  if (path.isEmpty()) return;
  DescriptorResult r = sim_.board.descriptor_save(path.toStdString());
  if (!r.ok)
    error(sim_, r.message.rfind("Can't create", 0) == 0 ? QStringLiteral("Can't create '%1'").arg(QFileInfo(path).fileName())
                                                       : qs(r.message));
}

void TargetSetupDialog::pressDefault() {
  setup_.press_default();
  checkConfiguration(1);
}

void TargetSetupDialog::accept() {
  setup_.ok(checkedConfiguration());
  // The board starts over as after a reset: the chips, and PC from the reset
  // vector, so that Run starts where the board would.
  sim_.engine.reset_cpu();
  if (SimulatorWindow* w = sim_.window()) w->refreshPanels();
  QDialog::accept();
}

void TargetSetupDialog::reject() {
  setup_.cancel();
  QDialog::reject();
}

// ---- NEWBPDIALOG ----

BreakpointDialog::BreakpointDialog(SimulatorContext& sim, QWidget* parent) : QDialog(parent), sim_(sim) {
  setObjectName(QStringLiteral("NEWBPDIALOG"));
  setWindowTitle(QStringLiteral("Breakpoints"));
  auto* layout = new QGridLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("list 1283"));
  list_->setFont(sim.env.panel_font);
  address_ = new QLineEdit(QStringLiteral("0000"), this);
  address_->setObjectName(QStringLiteral("address 1284"));
  address_->setFont(sim.env.panel_font);
  auto* add = named_button(QStringLiteral("&Add"), QStringLiteral("add 1285"), this);
  toggle_ = named_button(QStringLiteral("&Disable"), QStringLiteral("toggle 1286"), this);
  remove_ = named_button(QStringLiteral("&Remove"), QStringLiteral("remove 1287"), this);
  auto* close = named_button(QStringLiteral("Close"), QStringLiteral("close 1231"), this);
  layout->addWidget(list_, 0, 0, 5, 1);
  layout->addWidget(address_, 0, 1);
  layout->addWidget(add, 1, 1);
  layout->addWidget(toggle_, 2, 1);
  layout->addWidget(remove_, 3, 1);
  layout->addWidget(close, 4, 1);
  connect(add, &QPushButton::clicked, this, &BreakpointDialog::add);
  connect(toggle_, &QPushButton::clicked, this, &BreakpointDialog::toggle);
  connect(remove_, &QPushButton::clicked, this, &BreakpointDialog::remove);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::itemSelectionChanged, this, &BreakpointDialog::updateButtons);
  rebuild();
}

void BreakpointDialog::rebuild() {
  list_->clear();
  for (const std::string& line : breakpoint_lines(sim_.engine.breakpoints)) list_->addItem(qs(line));
  list_->setCurrentRow(-1);
  updateButtons();
}

void BreakpointDialog::updateButtons() {
  QListWidgetItem* item = selected(list_);
  toggle_->setEnabled(item != nullptr);
  remove_->setEnabled(item != nullptr);
  const bool disabled = item && item->text().endsWith(QStringLiteral(" (Disabled)"));
  toggle_->setText(disabled ? QStringLiteral("&Enable") : QStringLiteral("&Disable"));
}

void BreakpointDialog::add() {
  uint64_t address = 0;
  const std::string text = address_->text().trimmed().toStdString();
  if (text.empty() || sim_parse_number(text, address, 16) != 0 || address > 0xFFFF) {
    error(sim_, QStringLiteral("Badly formed address"));
    return;
  }
  sim_.engine.sim_bp_set(uint32_t(address), false);
  rebuild();
}

void BreakpointDialog::toggle() {
  QListWidgetItem* item = selected(list_);
  if (!item) return;
  auto address = breakpoint_line_address(item->text().toStdString());
  if (!address) return;
  Engine& e = sim_.engine;
  int i = e.sim_bp_find(*address);
  if (i >= 0 && e.breakpoints.entries[i].state == BpState::Disabled)
    e.sim_bp_enable(*address);
  else
    e.sim_bp_disable(*address);
  rebuild();
}

void BreakpointDialog::remove() {
  QListWidgetItem* item = selected(list_);
  if (!item) return;
  if (auto address = breakpoint_line_address(item->text().toStdString())) sim_.engine.sim_bp_remove(*address);
  rebuild();
}

}  // namespace zun::sim
