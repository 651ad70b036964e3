// An editor window (ZUNKY09##zunDrawClass): one editing component holding the
// bytes of one source file, with the file handling around it: checked loading
// and saving, the backup copy "~name~" of the file as it was opened, the
// read-only case, changes made outside, and the close protocol.
#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "workbench/frame/mdi_child.h"

class QMdiSubWindow;
class QsciScintillaBase;

namespace zun::wb {

class UserDialogs;
class FileAccess;
class EditingAids;

// Absolute, with '/' separators and "." and ".." resolved.
QString canonical_path(const QString& path);

// What an editor needs from the frame.
struct EditorEnv {
  UserDialogs* dialogs = nullptr;
  const FileAccess* access = nullptr;
  std::function<void(const QString&)> status;    // the status bar's first part
  std::function<void(const QString&)> position;  // its second part
  std::function<QString()> dialogDir;            // where the file dialogs start
  std::function<void(const QString&)> dialogChosen;  // a file was chosen there
  // Puts a window into the frame's MDI area under its window-class name.
  std::function<QMdiSubWindow*(QWidget*, const char*)> addChild;
};

class EditorChild : public QWidget, public MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZUNKY09##zunDrawClass";
  static constexpr int message_marker = 3;
  static constexpr int execution_marker = 4;

  // The editor of a file, or null (after telling the user why) when the file
  // cannot be shown.
  static EditorChild* create(const EditorEnv& env, const QString& path);

  const QString& path() const { return path_; }
  QString title() const;
  int kind() const { return kind_; }
  bool readOnly() const { return read_only_; }
  bool modified() const;
  const QString& backupPath() const { return backup_path_; }
  QsciScintillaBase* component() const { return sci_; }
  EditingAids* aids() const { return aids_; }

  // The text exactly as the file would be written.
  std::string bytes() const;
  bool save();
  bool saveAs();
  void reload();
  void goToLine(int line);
  // The debugger's execution line (1-based), kept near the middle of the view.
  void showExecutionLine(int line);
  void deleteMarkers(int marker);

  bool changedOutside() const;
  // Asks about a change made outside (once per change) and reloads on Yes.
  void checkChangedOutside();
  // Becoming the active window: the change question, then the caret position.
  void activated();
  // Takes the file's present time as seen, so a declined reload is not asked again.
  void acceptOutsideChange();
  // Drops the unsaved edits: the editor shows the file as last saved.
  void discardEdits();

  bool command(int id, qintptr param) override;
  bool queryClose() override;
  void describe(WorkbenchState& state) const override;

 signals:
  // The modified state, the caret or the file name changed.
  void stateChanged();

 private:
  EditorChild(const EditorEnv& env, const QString& path);
  long sci(unsigned msg, unsigned long w = 0, long l = 0) const;
  bool load();
  void makeBackup();
  void deleteBackup();
  void setPath(const QString& path);
  void showPosition();
  void print();

  EditorEnv env_;
  QsciScintillaBase* sci_;
  EditingAids* aids_;
  QString path_;
  QString backup_path_;
  int kind_ = 0;
  bool read_only_ = false;
  bool asking_ = false;
  QDateTime seen_time_;
};

}  // namespace zun::wb
