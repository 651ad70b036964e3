// The project's dialogs. Texts of controls and captions are the system's own.
#include "workbench/project/project_dialogs.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <ctime>

#include "common/format.h"
#include "common/path.h"
#include "workbench/core/workbench_core.h"
#include "workbench/project/project_file.h"

namespace zun::wb {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string ss(const QString& s) { return s.toStdString(); }

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// ---- TYPESELECT ----

int selectProjectType(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("TYPESELECT"));
  dialog.setWindowTitle(QStringLiteral("New Project Definition"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* group = new QButtonGroup(&dialog);
  const char* texts[] = {"Executable", "Linked Object", "Library"};
  for (int type = 1; type <= 3; ++type) {
    auto* button = new QRadioButton(QString::fromLatin1(texts[type - 1]), &dialog);
    button->setObjectName(QString::fromLatin1(texts[type - 1]));
    button->setChecked(type == project_type::executable);
    group->addButton(button, type);
    layout->addWidget(button);
  }
  auto* done = new QPushButton(QStringLiteral("Done"), &dialog);
  done->setObjectName(QStringLiteral("Done"));
  done->setDefault(true);
  QObject::connect(done, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(done);
  dialog.setMinimumWidth(260);  // the caption stays readable
  if (dialog.exec() != QDialog::Accepted) return 0;
  return group->checkedId();
}

// ---- PROJECTSETTING ----

ProjectSettingsDialog::ProjectSettingsDialog(Project& project, ProjectHost& host, QWidget* parent)
    : QDialog(parent), project_(project), host_(host) {
  setObjectName(QStringLiteral("PROJECTSETTING"));
  project_.settings_begin();
  const int type = project_.work.type;
  const char* kind = type == project_type::executable ? "(Executable)"
                     : type == project_type::relocatable ? "(Object)"
                                                          : "(Library)";
  setWindowTitle(qs(format("Settings for project '%s' ", project_.name().c_str())) + QString::fromLatin1(kind));

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Settings for:"), this));
  config_ = new QComboBox(this);
  config_->setObjectName(QStringLiteral("config"));
  config_->addItems({QStringLiteral("Debug"), QStringLiteral("Final")});
  config_->setCurrentIndex(project_.work.id == config_id::final_ ? 1 : 0);
  top->addWidget(config_, 1);
  layout->addLayout(top);

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("pages"));
  tabs->addTab(targetPage(), QStringLiteral("Target"));
  tabs->addTab(assemblerPage(), QStringLiteral("Assembler"));
  tabs->addTab(compilerPage(), QStringLiteral("C Compiler"));
  tabs->addTab(linkerPage(), QStringLiteral("Linker"));
  layout->addWidget(tabs);
  layout->addWidget(okCancel(this));
  fill();
  connect(config_, &QComboBox::currentIndexChanged, this, &ProjectSettingsDialog::switchConfig);
  resize(520, sizeHint().height());
}

QLineEdit* ProjectSettingsDialog::field(const char* name, int max_length) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(max_length);
  return edit;
}

QCheckBox* ProjectSettingsDialog::check(const char* name, const char* text) {
  auto* box = new QCheckBox(QString::fromLatin1(text), this);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QWidget* ProjectSettingsDialog::targetPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Base Name"), target_name_ = field("TARGETNAME", 127));
  form->addRow(QStringLiteral("Intermediate files directory"), obj_dir_ = field("OBJDIR", 127));
  form->addRow(QStringLiteral("Target directory"), targ_dir_ = field("TARGDIR", 127));
  form->addRow(use_startup_ = check("USESTARTUP", "Use standard startup"));
  return page;
}

// A Default button that gives the page the rows of a new project; it
// stands at the right below the page's fields.
static QPushButton* defaultButton(QWidget* page, const char* name) {
  auto* button = new QPushButton(QStringLiteral("Default"), page);
  button->setObjectName(QString::fromLatin1(name));
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(button);
  static_cast<QFormLayout*>(page->layout())->addRow(row);
  return button;
}

QWidget* ProjectSettingsDialog::assemblerPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Options"), asflags_ = field("ASFLAGS", 127));
  form->addRow(QStringLiteral("DEFINES"), asm_defines_ = field("ASMDEFINES", 1022));
  QPushButton* button = defaultButton(page, "assembler default");
  connect(button, &QPushButton::clicked, this, [this] { defaults(Project::Rows::Assembler); });
  return page;
}

QWidget* ProjectSettingsDialog::compilerPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Options"), ccflags_ = field("CCFLAGS", 127));
  form->addRow(QStringLiteral("DEFINES"), defines_ = field("DEFINES", 1022));
  form->addRow(QStringLiteral("UNDEFINES"), undefines_ = field("UNDEFINES", 1022));
  form->addRow(QStringLiteral("Include Paths"), includes_ = field("INCLUDES", 1022));
  form->addRow(std_include_ = check("STDINCPATH", "Use standard include path"));
  QPushButton* button = defaultButton(page, "compiler default");
  connect(button, &QPushButton::clicked, this, [this] { defaults(Project::Rows::Compiler); });
  return page;
}

QWidget* ProjectSettingsDialog::linkerPage() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(QStringLiteral("Options"), lnflags_ = field("LNFLAGS", 1023));
  form->addRow(QStringLiteral("Libraries"), libraries_ = field("LIBRARIES", 1022));
  form->addRow(QStringLiteral("Library search paths"), library_paths_ = field("LIBRARYPATHS", 1022));
  form->addRow(std_library_ = check("STDLIBPATH", "Use default libraries"));
  QPushButton* button = defaultButton(page, "linker default");
  connect(button, &QPushButton::clicked, this, [this] { defaults(Project::Rows::Linker); });
  return page;
}

// A list too long for its field keeps the items that fit, and says so.
QString ProjectSettingsDialog::listText(ListKind list) {
  bool cut = false;
  std::string text = join_list_text(project_.work.list(list), cut);
  if (cut) host_.warning(list_cut_message(list));
  return qs(text);
}

void ProjectSettingsDialog::fill() {
  const ProjectConfig& w = project_.work;
  target_name_->setText(qs(w.target_name));
  obj_dir_->setText(qs(w.obj_dir));
  targ_dir_->setText(qs(w.targ_dir));
  use_startup_->setChecked(w.use_startup);
  // The startup file belongs to the project, not to a configuration; it is
  // set where the project file keeps it, with Debug.
  use_startup_->setEnabled(w.type == project_type::executable && w.id == config_id::debug);
  asflags_->setText(qs(w.asflags));
  asm_defines_->setText(listText(AsmDefines));
  ccflags_->setText(qs(w.ccflags));
  defines_->setText(listText(Defines));
  undefines_->setText(listText(Undefines));
  includes_->setText(listText(Includes));
  std_include_->setChecked(w.std_include);
  lnflags_->setText(qs(w.lnflags));
  libraries_->setText(listText(Libraries));
  library_paths_->setText(listText(LibraryPaths));
  std_library_->setChecked(w.std_library);
}

void ProjectSettingsDialog::readBack() {
  ProjectConfig& w = project_.work;
  w.target_name = ss(target_name_->text());
  w.obj_dir = ss(obj_dir_->text());
  w.targ_dir = ss(targ_dir_->text());
  w.use_startup = use_startup_->isChecked();
  w.asflags = ss(asflags_->text());
  w.ccflags = ss(ccflags_->text());
  w.lnflags = ss(lnflags_->text());
  w.std_include = std_include_->isChecked();
  w.std_library = std_library_->isChecked();
  const std::pair<ListKind, QLineEdit*> lists[] = {{AsmDefines, asm_defines_}, {Defines, defines_},
                                                   {Undefines, undefines_},    {Includes, includes_},
                                                   {Libraries, libraries_},    {LibraryPaths, library_paths_}};
  for (const auto& [kind, edit] : lists) {
    w.lists[kind].clear();
    for (const std::string& item : split_list_text(kind, ss(edit->text()), project_.dir())) w.add_item(kind, item);
  }
}

void ProjectSettingsDialog::switchConfig(int index) {
  readBack();
  project_.settings_switch(index == 1 ? config_id::final_ : config_id::debug);
  fill();
}

void ProjectSettingsDialog::defaults(Project::Rows rows) {
  readBack();
  project_.apply_default_rows(rows);
  fill();
}

void ProjectSettingsDialog::accept() {
  readBack();
  project_.settings_ok();
  // Both configurations share the Debug configuration's use of the startup file.
  project_.final_.use_startup = project_.debug.use_startup;
  QDialog::accept();
}

void ProjectSettingsDialog::reject() {
  project_.settings_cancel();
  QDialog::reject();
}

// ---- AFILESETTING, CFILESETTING ----

bool editFileSettings(QWidget* parent, ProjectFile& file) {
  const bool assembler = file_kind_of(file.path) == file_kind::assembler;
  QDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(assembler ? "AFILESETTING" : "CFILESETTING"));
  dialog.setWindowTitle(QString::fromLatin1(assembler ? "Custom Settings for assembler file"
                                                      : "Custom settings for C file"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(qs(file.path), &dialog));
  auto* use_default = new QCheckBox(QStringLiteral("Use Project Default settings"), &dialog);
  use_default->setObjectName(QStringLiteral("use default"));
  use_default->setChecked(file.uses_config_options());
  layout->addWidget(use_default);
  layout->addWidget(new QLabel(QStringLiteral("Custom Settings"), &dialog));
  auto* options = new QLineEdit(qs(file.options), &dialog);
  options->setObjectName(QStringLiteral("custom settings"));
  options->setMaxLength(127);
  layout->addWidget(options);
  layout->addWidget(okCancel(&dialog));
  dialog.resize(420, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return false;
  file.flags = use_default->isChecked() ? (file.flags | 1) : (file.flags & ~1);
  file.options = ss(options->text());
  return true;
}

// ---- FILEPROPERTIES ----

namespace {

std::string time_text(const struct timespec& ts) {
  std::tm tm{};
  if (!gmtime_r(&ts.tv_sec, &tm)) return "Unknown";
  return file_time_text(tm.tm_wday, tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                        tm.tm_sec);
}

// The file's birth time where the file system keeps one, else the time of
// its last status change.
struct timespec birth_time(const std::string& path, const struct stat& st) {
  struct statx sx {};
  if (::statx(AT_FDCWD, path_native(path).c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    return {static_cast<time_t>(sx.stx_btime.tv_sec), static_cast<long>(sx.stx_btime.tv_nsec)};
  return st.st_ctim;
}

QLineEdit* shown(QWidget* parent, const char* name, const std::string& text) {
  auto* edit = new QLineEdit(qs(text), parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  return edit;
}

}  // namespace

void showFileProperties(QWidget* parent, const std::string& path, const Project* project, ProjectHost& host) {
  std::string_view type = display_type(path);
  std::string name = path_file_name(path);
  if (type.empty()) {
    host.error(format("File type of '%s' is unknown to Zun", name.c_str()));
    return;
  }
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("FILEPROPERTIES"));
  dialog.setWindowTitle(QStringLiteral("File Properties"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("File Name"), shown(&dialog, "name", name.substr(0, 63)));
  form->addRow(QStringLiteral("Path"), shown(&dialog, "path", path));
  form->addRow(QStringLiteral("Type"), shown(&dialog, "type", std::string(type)));
  struct stat st {};
  const bool known = ::stat(path_native(path).c_str(), &st) == 0;
  std::optional<unsigned long long> size;
  if (known) size = static_cast<unsigned long long>(st.st_size);
  form->addRow(QStringLiteral("Size"), shown(&dialog, "size", file_size_text(size)));
  const std::string created = known ? time_text(birth_time(path, st)) : "Unknown";
  form->addRow(QStringLiteral("Created"), shown(&dialog, "created", created));
  form->addRow(QStringLiteral("Last access"), shown(&dialog, "accessed", known ? time_text(st.st_atim) : "Unknown"));
  form->addRow(QStringLiteral("Last written"), shown(&dialog, "written", known ? time_text(st.st_mtim) : "Unknown"));
  if (project && is_source_kind(file_kind_of(path))) {
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("dependencies"));
    for (const std::string& dep : scan_dependencies(*project, path, true, host)) list->addItem(qs(dep));
    form->addRow(QStringLiteral("Dependencies"), list);
  }
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(ok, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  form->addRow(ok);
  dialog.resize(460, dialog.sizeHint().height());
  dialog.exec();
}

// ---- PROJECTSELECT ----

std::optional<std::string> selectActiveProject(QWidget* parent, const Workspace& workspace,
                                               const std::string& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("PROJECTSELECT"));
  dialog.setWindowTitle(QStringLiteral("Select Active Project"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Projects in Workspace"), &dialog));
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("projects"));
  for (const WorkspaceProject& p : workspace.projects) {
    list->addItem(qs(p.name));
    if (p.name == current) list->setCurrentRow(list->count() - 1);
  }
  layout->addWidget(list);
  layout->addWidget(okCancel(&dialog));
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted || !list->currentItem() || !list->currentItem()->isSelected())
    return std::nullopt;
  return ss(list->currentItem()->text());
}

}  // namespace zun::wb
