// The project's modal dialogs, built in code; each carries its template
// name as object name: TYPESELECT (the type of a new project),
// PROJECTSETTING (the Debug and Final settings), AFILESETTING and
// CFILESETTING (one file's own options), FILEPROPERTIES and PROJECTSELECT
// (the active project).
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "workbench/project/project_model.h"
#include "workbench/project/workspace.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace zun::wb {

// 1 executable, 2 linked object, 3 library; 0 when the dialog was closed.
int selectProjectType(QWidget* parent);

// Edits the working copy of the project's configurations. OK stores the page
// shown into its configuration and marks the settings as changed; Cancel
// drops the working copy.
class ProjectSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  ProjectSettingsDialog(Project& project, ProjectHost& host, QWidget* parent);

  void accept() override;
  void reject() override;

 private:
  QWidget* targetPage();
  QWidget* assemblerPage();
  QWidget* compilerPage();
  QWidget* linkerPage();
  QLineEdit* field(const char* name, int max_length);
  QCheckBox* check(const char* name, const char* text);
  void fill();
  void readBack();
  void switchConfig(int index);
  void defaults(Project::Rows rows);
  QString listText(ListKind list);

  Project& project_;
  ProjectHost& host_;
  QComboBox* config_ = nullptr;
  QLineEdit *target_name_, *obj_dir_, *targ_dir_, *asflags_, *asm_defines_, *ccflags_, *defines_, *undefines_,
      *includes_, *lnflags_, *libraries_, *library_paths_;
  QCheckBox *use_startup_, *std_include_, *std_library_;
};

// AFILESETTING or CFILESETTING by the file's kind; true after OK.
bool editFileSettings(QWidget* parent, ProjectFile& file);

// The file's name, path, type, size, times and, for a source of the open
// project, the files it depends on. An unknown type gets a message instead.
void showFileProperties(QWidget* parent, const std::string& path, const Project* project, ProjectHost& host);

// The chosen project's name; none for Cancel or OK without a choice.
std::optional<std::string> selectActiveProject(QWidget* parent, const Workspace& workspace,
                                               const std::string& current);

}  // namespace zun::wb
