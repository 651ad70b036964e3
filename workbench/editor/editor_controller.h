// The open editors of the frame: opening a file (or activating the editor that
// already shows it), the Open File and New File commands, the jump from a
// tool message to its source line, and the steps that save or settle every
// editor at once.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "workbench/core/workbench_core.h"
#include "workbench/editor/editor_child.h"

class QMdiArea;
class QMdiSubWindow;

namespace zun::wb {

class FindDialog;
class Project;

class EditorController : public QObject {
  Q_OBJECT

 public:
  EditorController(QMdiArea* mdi, EditorEnv env, QObject* parent = nullptr);

  // `line` is 0-based; -1 puts the caret at the top without a marker. With
  // `create` set, a missing file is created empty first. Null when the file
  // cannot be shown.
  EditorChild* open(const QString& path, int line = -1, bool create = false);
  EditorChild* findByPath(const QString& path) const;
  const QList<QPointer<EditorChild>>& editors() const { return editors_; }
  int count() const;

  // Open File (43151-43157, 40025) and New File (43158-43164), starting in
  // the file dialogs' remembered directory.
  void openFileDialog();
  void newFileDialog();
  // Double-click on a tool message line: opens its source at its line.
  EditorChild* jumpToMessage(const QByteArray& line);

  void saveModified();
  // Before a build: every modified editor of a file of the project is saved
  // (editors_save_project_sources).
  void saveProjectSources(const Project& project);
  // The project file's "##OF" lines: one per editor open on a file of the
  // project (editors_write_open_files).
  std::string writeOpenFiles(const Project& project) const;
  // After a build: each editor whose file a tool changed is reloaded or kept,
  // one question per file unless "Yes to All" or "No to All" was chosen.
  void reloadChanged();
  // Settles every editor with unsaved edits (Yes saves, No drops the edits,
  // Save All and Discard all answer for the rest); the frame then closes them
  // all without further questions. False when the user cancelled or a save
  // failed: then no edit has been dropped, whatever was answered before.
  bool askSaveAll();
  void deleteMarkersEverywhere(int marker);
  void forget(EditorChild* editor);

  // The editor of the current MDI child (also while another window, such
  // as the find dialog, has the focus); null when that is no editor.
  EditorChild* activeEditor() const;
  void activate(EditorChild* editor);
  // Find/Replace (43049): the modeless dialog over the active editor.
  void showFind();
  FindDialog* findDialog() const { return find_; }

 signals:
  void editorStateChanged();

 private:
  QMdiArea* mdi_;
  EditorEnv env_;
  WindowPlacement placement_;
  QList<QPointer<EditorChild>> editors_;
  FindDialog* find_ = nullptr;
};

}  // namespace zun::wb
