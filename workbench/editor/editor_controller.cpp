// Editor bookkeeping for the frame. Editors are MDI children; the frame alone
// closes and deletes them, this controller only forgets them.
#include "workbench/editor/editor_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "workbench/editor/find_replace.h"
#include "workbench/frame/user_dialogs.h"
#include "workbench/project/project_file.h"

namespace zun::wb {

EditorController::EditorController(QMdiArea* mdi, EditorEnv env, QObject* parent)
    : QObject(parent), mdi_(mdi), env_(std::move(env)) {}

int EditorController::count() const {
  int n = 0;
  for (const auto& e : editors_)
    if (e) ++n;
  return n;
}

// Paths differing only in letter case name different files here, so the
// comparison is exact after canonicalisation.
EditorChild* EditorController::findByPath(const QString& path) const {
  QString canon = canonical_path(path);
  for (const auto& e : editors_)
    if (e && e->path() == canon) return e;
  return nullptr;
}

void EditorController::activate(EditorChild* editor) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget())) {
    if (sub->isMinimized()) sub->showNormal();
    mdi_->setActiveSubWindow(sub);
  }
  editor->setFocus();
}

EditorChild* EditorController::open(const QString& path, int line, bool create) {
  if (EditorChild* open = findByPath(path)) {
    activate(open);
    if (line != -1) open->goToLine(line);
    return open;
  }
  if (create && !QFileInfo::exists(path) && !write_file_bytes(canonical_path(path).toStdString(), "")) {
    env_.dialogs->error(QStringLiteral("Can't write to file '%1', is file write protected?").arg(path));
    return nullptr;
  }
  EditorChild* editor = EditorChild::create(env_, path);
  if (!editor) return nullptr;
  QMdiSubWindow* sub = env_.addChild(editor, EditorChild::class_name);
  auto [x, y] = placement_.next();
  sub->setGeometry(x, y, 800, 400);
  editors_.append(editor);
  connect(editor, &EditorChild::stateChanged, this, &EditorController::editorStateChanged);
  sub->show();
  activate(editor);
  editor->goToLine(line == -1 ? 0 : line);
  if (line == -1) editor->deleteMarkers(EditorChild::message_marker);
  emit editorStateChanged();
  return editor;
}

void EditorController::forget(EditorChild* editor) {
  editors_.removeIf([editor](const QPointer<EditorChild>& e) { return !e || e == editor; });
}

void EditorController::openFileDialog() {
  QString chosen = env_.dialogs->openFileName(env_.dialogDir());
  if (chosen.isEmpty()) return;
  env_.dialogChosen(chosen);
  open(chosen);
}

void EditorController::newFileDialog() {
  QString chosen = env_.dialogs->saveFileName(env_.dialogDir());
  if (chosen.isEmpty()) return;
  env_.dialogChosen(chosen);
  open(chosen, -1, true);
}

// The name is used as the tool wrote it; a relative one is taken from the
// current directory, where the tool ran.
EditorChild* EditorController::jumpToMessage(const QByteArray& line) {
  std::optional<MessageLocation> loc = parse_message_line(std::string_view(line.constData(), line.size()));
  if (!loc) return nullptr;
  return open(QString::fromLocal8Bit(loc->file), std::max(loc->line - 1, 0));
}

void EditorController::saveModified() {
  for (const auto& e : editors_)
    if (e && e->modified()) e->save();
}

void EditorController::saveProjectSources(const Project& project) {
  for (const auto& e : editors_)
    if (e && e->modified() && project.find_by_path(e->path().toStdString())) e->command(cmd::save_if_named, 0);
}

std::string EditorController::writeOpenFiles(const Project& project) const {
  std::vector<std::string> paths;
  for (const auto& e : editors_)
    if (e) paths.push_back(e->path().toStdString());
  return open_file_lines(project, paths);
}

void EditorController::reloadChanged() {
  std::optional<bool> for_all;
  for (const auto& e : editors_) {
    if (!e || !e->changedOutside()) continue;
    bool reload = false;
    if (for_all) {
      reload = *for_all;
    } else {
      switch (env_.dialogs->askReloadAll(e->title())) {
        case UserDialogs::Answer::Yes: reload = true; break;
        case UserDialogs::Answer::All: reload = true, for_all = true; break;
        case UserDialogs::Answer::NoneAll: for_all = false; break;
        case UserDialogs::Answer::No:
        case UserDialogs::Answer::Cancel: break;
      }
    }
    if (reload)
      e->reload();
    else
      e->acceptOutsideChange();
  }
}

bool EditorController::askSaveAll() {
  std::vector<std::pair<EditorChild*, bool>> keep;
  std::optional<bool> for_all;
  for (const auto& e : editors_) {
    if (!e || !e->modified()) continue;
    if (!for_all) {
      switch (env_.dialogs->askSaveAll(e->title())) {
        case UserDialogs::Answer::Yes: keep.emplace_back(e, true); continue;
        case UserDialogs::Answer::No: keep.emplace_back(e, false); continue;
        case UserDialogs::Answer::All: for_all = true; break;
        case UserDialogs::Answer::NoneAll: for_all = false; break;
        case UserDialogs::Answer::Cancel: return false;
      }
    }
    keep.emplace_back(e, *for_all);
  }
  // The saves come first: one that fails stops the step with every edit
  // still there, also those the user meant to drop.
  for (auto [e, save] : keep)
    if (save && !e->save()) return false;
  for (auto [e, save] : keep)
    if (!save) e->discardEdits();
  return true;
}

EditorChild* EditorController::activeEditor() const {
  QMdiSubWindow* sub = mdi_->currentSubWindow();
  return sub ? qobject_cast<EditorChild*>(sub->widget()) : nullptr;
}

void EditorController::showFind() {
  EditorChild* editor = activeEditor();
  if (!editor) return;
  if (!find_) {
    FindEnv env;
    env.active = [this] { return activeEditor(); };
    env.editors = [this] {
      QList<EditorChild*> open;
      for (const auto& e : editors_)
        if (e) open.append(e);
      return open;
    };
    env.activate = [this](EditorChild* e) { activate(e); };
    env.status = env_.status;
    env.dialogs = env_.dialogs;
    find_ = new FindDialog(std::move(env), mdi_->window());
  }
  find_->open(editor);
}

void EditorController::deleteMarkersEverywhere(int marker) {
  for (const auto& e : editors_)
    if (e) e->deleteMarkers(marker);
}

}  // namespace zun::wb
