// Editor windows over the editing component. File bytes go to and from the
// component unchanged (code page 0, never through QString), and the file's
// end-of-line mode is kept. Every save is checked. Closing asks only about
// edits not saved yet; what was saved stays saved.
#include "workbench/editor/editor_child.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintillabase.h>

#include "common/path.h"
#include "workbench/editor/edit_aids.h"
#include "workbench/editor/file_access.h"
#include "workbench/frame/user_dialogs.h"

namespace zun::wb {

namespace {

constexpr long text_range_chunk = 131072;

QDateTime file_time(const QString& path) { return QFileInfo(path).lastModified(); }

// Printing: the component renders the pages; each page carries a header line.
class PagePrinter : public QsciPrinter {
 public:
  explicit PagePrinter(QString path) : path_(std::move(path)) {}
  void formatPage(QPainter& painter, bool drawing, QRect& area, int page) override {
    QFont font(QStringLiteral("Arial"), 10);
    QFontMetrics fm(font);
    if (drawing) {
      painter.save();
      painter.setFont(font);
      painter.drawText(area.left(), area.top() + fm.ascent(),
                       QStringLiteral("Page %1 of file \"%2\" ").arg(page).arg(path_));
      painter.restore();
    }
    area.setTop(area.top() + 2 * fm.height());
  }

 private:
  QString path_;
};

}  // namespace

QString canonical_path(const QString& path) {
  std::string p = QFileInfo(path).absoluteFilePath().toStdString();
  return QString::fromStdString(path_canonicalize(p));
}

EditorChild* EditorChild::create(const EditorEnv& env, const QString& path) {
  QString canon = canonical_path(path);
  if (!env.access->exists(canon)) {
    env.dialogs->error(QStringLiteral("File '%1' can't be accessed").arg(canon));
    return nullptr;
  }
  if (!env.access->readable(canon)) {
    env.dialogs->error(QStringLiteral("File '%1', no Read permission").arg(canon));
    return nullptr;
  }
  auto* editor = new EditorChild(env, canon);
  editor->read_only_ = !env.access->writable(canon);
  editor->setWindowTitle(editor->title() + (editor->read_only_ ? QStringLiteral(" (Read Only)") : QString()));
  editor->load();
  if (editor->read_only_) {
    editor->sci(QsciScintillaBase::SCI_SETREADONLY, 1);
  } else {
    editor->backup_path_ = QString::fromStdString(backup_path_of(canon.toStdString()));
    editor->makeBackup();
  }
  return editor;
}

EditorChild::EditorChild(const EditorEnv& env, const QString& path)
    : env_(env), sci_(new QsciScintillaBase(this)), aids_(new EditingAids(sci_, this)) {
  sci_->setObjectName(QStringLiteral("ZunEditorClass"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(sci_);
  setFocusProxy(sci_);
  sci(QsciScintillaBase::SCI_SETCODEPAGE, 0);
  setPath(path);
  connect(sci_, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, &EditorChild::stateChanged);
  connect(sci_, &QsciScintillaBase::SCN_SAVEPOINTLEFT, this, &EditorChild::stateChanged);
  connect(sci_, &QsciScintillaBase::SCN_UPDATEUI, this, &EditorChild::showPosition);
}

long EditorChild::sci(unsigned msg, unsigned long w, long l) const { return sci_->SendScintilla(msg, w, l); }

QString EditorChild::title() const { return QString::fromStdString(path_file_name(path_.toStdString())); }

// The look follows the file kind, so a new name may change it.
void EditorChild::setPath(const QString& path) {
  path_ = path;
  kind_ = file_kind_of(path.toStdString());
  aids_->configure(kind_);
}

bool EditorChild::modified() const { return sci(QsciScintillaBase::SCI_GETMODIFY) != 0; }

std::string EditorChild::bytes() const {
  const long length = sci(QsciScintillaBase::SCI_GETLENGTH);
  std::string out;
  out.reserve(static_cast<size_t>(length));
  std::string chunk;
  for (long from = 0; from < length; from += text_range_chunk) {
    long to = std::min(length, from + text_range_chunk);
    chunk.assign(static_cast<size_t>(to - from) + 1, '\0');
    sci_->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, chunk.data());
    out.append(chunk.data(), static_cast<size_t>(to - from));
  }
  return out;
}

// A file with NUL bytes loads whole: the text goes in with its length.
bool EditorChild::load() {
  std::optional<std::string> bytes = read_file_bytes(path_.toStdString());
  if (!bytes) return false;
  env_.status(QStringLiteral("Loading file, please wait..."));
  sci(QsciScintillaBase::SCI_SETREADONLY, 0);
  sci(QsciScintillaBase::SCI_CANCEL);
  sci(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
  sci(QsciScintillaBase::SCI_CLEARALL);
  sci_->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, static_cast<uintptr_t>(bytes->size()), bytes->data());
  sci(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
  sci(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  sci(QsciScintillaBase::SCI_SETEOLMODE, static_cast<unsigned long>(detect_eol(*bytes)));
  sci(QsciScintillaBase::SCI_SETSAVEPOINT);
  sci(QsciScintillaBase::SCI_GOTOPOS, 0);
  if (read_only_) sci(QsciScintillaBase::SCI_SETREADONLY, 1);
  seen_time_ = file_time(path_);
  env_.status(QStringLiteral("Ready"));
  return true;
}

bool EditorChild::save() {
  if (path_.isEmpty()) return saveAs();
  if (!write_file_bytes(path_.toStdString(), bytes())) {
    env_.dialogs->error(QStringLiteral("Can't write to file '%1', is file write protected?").arg(path_));
    return false;
  }
  sci(QsciScintillaBase::SCI_SETSAVEPOINT);
  seen_time_ = file_time(path_);
  emit stateChanged();
  return true;
}

bool EditorChild::saveAs() {
  QString chosen = env_.dialogs->saveFileName(env_.dialogDir());
  if (chosen.isEmpty()) return false;
  env_.dialogChosen(chosen);
  QString old_path = path_;
  setPath(canonical_path(chosen));
  if (!save()) {
    setPath(old_path);
    return false;
  }
  deleteBackup();
  read_only_ = false;
  sci(QsciScintillaBase::SCI_SETREADONLY, 0);
  setWindowTitle(title());
  backup_path_ = QString::fromStdString(backup_path_of(path_.toStdString()));
  makeBackup();
  emit stateChanged();
  return true;
}

void EditorChild::reload() {
  load();
  makeBackup();
}

void EditorChild::makeBackup() {
  if (backup_path_.isEmpty()) return;
  if (!copy_file_bytes(path_.toStdString(), backup_path_.toStdString())) {
    env_.dialogs->warning(QStringLiteral("Can't make the backup copy '%1'").arg(backup_path_));
    backup_path_.clear();
  }
}

void EditorChild::deleteBackup() {
  if (!backup_path_.isEmpty()) QFile::remove(backup_path_);
}

// A file that cannot be read any more keeps the text shown, taken as it
// stands, so that closing does not ask again.
void EditorChild::discardEdits() {
  if (!modified()) return;
  if (!load()) sci(QsciScintillaBase::SCI_SETSAVEPOINT);
}

bool EditorChild::changedOutside() const {
  QDateTime now = file_time(path_);
  return now.isValid() && seen_time_.isValid() && now > seen_time_;
}

void EditorChild::checkChangedOutside() {
  if (asking_ || !changedOutside()) return;
  asking_ = true;
  bool yes = env_.dialogs->question(
      QStringLiteral("File '%1' has been changed outside the editor, reload it?").arg(path_));
  if (yes)
    reload();
  else
    seen_time_ = file_time(path_);
  asking_ = false;
}

void EditorChild::activated() {
  checkChangedOutside();
  showPosition();
}

void EditorChild::acceptOutsideChange() { seen_time_ = file_time(path_); }

// Escape in the question keeps the editor open with its edits.
bool EditorChild::queryClose() {
  if (modified()) {
    switch (env_.dialogs->askSave(title())) {
      case UserDialogs::Answer::Yes:
        if (!save()) return false;
        break;
      case UserDialogs::Answer::No:
      case UserDialogs::Answer::NoneAll: break;
      case UserDialogs::Answer::Cancel:
      case UserDialogs::Answer::All: return false;
    }
  }
  deleteBackup();
  return true;
}

void EditorChild::goToLine(int line) {
  line = std::max(line, 0);
  deleteMarkers(message_marker);
  sci(QsciScintillaBase::SCI_MARKERADD, static_cast<unsigned long>(line), message_marker);
  sci(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(line));
}

void EditorChild::showExecutionLine(int line) {
  const unsigned long at = static_cast<unsigned long>(std::max(line - 1, 0));
  deleteMarkers(execution_marker);
  sci(QsciScintillaBase::SCI_MARKERADD, at, execution_marker);
  long first = sci(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  long rows = sci(QsciScintillaBase::SCI_LINESONSCREEN);
  long l = static_cast<long>(at);
  if (l < first || l > first + rows - 3) sci(QsciScintillaBase::SCI_LINESCROLL, 0, l - first - rows / 2);
}

void EditorChild::deleteMarkers(int marker) { sci(QsciScintillaBase::SCI_MARKERDELETEALL, marker); }

void EditorChild::showPosition() {
  long pos = sci(QsciScintillaBase::SCI_GETCURRENTPOS);
  long line = sci(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
  long col = sci(QsciScintillaBase::SCI_GETCOLUMN, static_cast<unsigned long>(pos));
  env_.position(QStringLiteral("Ln %1 Col %2").arg(line + 1).arg(col + 1));
  emit stateChanged();
}

void EditorChild::print() {
  PagePrinter printer(path_);
  if (env_.dialogs->choosePrinter(printer)) printer.printRange(sci_);
}

bool EditorChild::command(int id, qintptr param) {
  using S = QsciScintillaBase;
  switch (id) {
    case cmd::goto_line: goToLine(static_cast<int>(param)); return true;
    case cmd::debug_line: showExecutionLine(static_cast<int>(param)); return true;
    case cmd::save:
    case cmd::save_accel: save(); return true;
    case cmd::save_as: saveAs(); return true;
    case cmd::save_if_named:
      if (!path_.isEmpty()) save();
      return true;
    case cmd::print: print(); return true;
    case cmd::redo: sci(S::SCI_REDO); return true;
    case cmd::undo: sci(S::SCI_UNDO); return true;
    case cmd::cut: sci(S::SCI_CUT); return true;
    case cmd::copy: sci(S::SCI_COPY); return true;
    case cmd::paste: sci(S::SCI_PASTE); return true;
    case cmd::clear: sci(S::SCI_CLEAR); return true;
    case cmd::select_all: sci(S::SCI_SELECTALL); return true;
    case cmd::show_position: showPosition(); return true;
    default: return false;
  }
}

void EditorChild::describe(WorkbenchState& state) const {
  state.active_is_editor = true;
  state.editor_modified = modified();
  state.editor_has_selection = sci(QsciScintillaBase::SCI_GETSELECTIONEMPTY) == 0;
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  state.clipboard_has_text = clip && clip->hasText();
}

}  // namespace zun::wb
