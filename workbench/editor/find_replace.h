// Find and replace: the modeless dialog "EDITORFIND" over the editors and
// its three commands. One state serves the whole workbench; the dialog's
// controls are filled from it and read back before each action.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <functional>

#include "workbench/editor/find_state.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace zun::wb {

class EditorChild;
class UserDialogs;

struct FindEnv {
  std::function<EditorChild*()> active;          // the active editor, or null
  std::function<QList<EditorChild*>()> editors;  // the open editors in opening order
  std::function<void(EditorChild*)> activate;
  std::function<void(const QString&)> status;
  UserDialogs* dialogs = nullptr;
};

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(FindEnv env, QWidget* parent);

  // Command 43049: shows the dialog for the editor, filled from the state.
  void open(EditorChild* editor);

  void find_next();
  void replace_once();
  void replace_all();

  FindState& state() { return state_; }

 private:
  void fill();
  void read();
  // The next match in the editor from its selection on (down) or back from
  // it (up); false when there is none.
  bool find_in(EditorChild* editor);
  // The active editor read for a change, or null (said in the status bar).
  EditorChild* editorToChange(const QString& failure);

  FindEnv env_;
  FindState state_;
  QPointer<EditorChild> editor_;  // the editor the dialog was opened for
  QComboBox* find_ = nullptr;
  QComboBox* replace_ = nullptr;
  QRadioButton* current_doc_ = nullptr;
  QRadioButton* all_docs_ = nullptr;
  QCheckBox* match_case_ = nullptr;
  QCheckBox* whole_word_ = nullptr;
  QCheckBox* search_up_ = nullptr;
};

}  // namespace zun::wb
