// The find/replace dialog and its commands over the editors' components.
// Texts go to the component as Latin-1 bytes, like the files themselves.
// Searching up looks back from the selection's start, so a match that ends
// right there is found; a search over all open documents visits each other
// document once and comes back to the one it started in.
#include "workbench/editor/find_replace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintillabase.h>

#include <string>

#include "workbench/editor/editor_child.h"
#include "workbench/frame/user_dialogs.h"

namespace zun::wb {

namespace {

using S = QsciScintillaBase;

long send(EditorChild* e, unsigned msg, unsigned long w = 0, long l = 0) {
  return e->component()->SendScintilla(msg, w, l);
}

std::string bytes_of(const QString& text) { return text.toLatin1().toStdString(); }

long search_flags(const FindState& state) {
  return (state.whole_word ? S::SCFIND_WHOLEWORD : 0) | (state.match_case ? S::SCFIND_MATCHCASE : 0);
}

// The start of the first match in from..to (backwards when from > to), which
// becomes the target; -1 for none.
long search_target(EditorChild* e, long from, long to, const std::string& text) {
  send(e, S::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
  send(e, S::SCI_SETTARGETEND, static_cast<unsigned long>(to));
  return e->component()->SendScintilla(S::SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.c_str());
}

// Replaces from..to with the text; its length.
long replace_range(EditorChild* e, long from, long to, const std::string& text) {
  send(e, S::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
  send(e, S::SCI_SETTARGETEND, static_cast<unsigned long>(to));
  return e->component()->SendScintilla(S::SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()), text.c_str());
}

QPushButton* button(const char* text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(QString::fromLatin1(text), parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

EditorChild* editor_of(const QList<EditorChild*>& editors, DocumentRound::Key key) {
  for (EditorChild* e : editors)
    if (e == key) return e;
  return nullptr;
}

void fill_combo(QComboBox* combo, const FindHistory& history, const std::string& text) {
  combo->clear();
  for (const std::string& entry : history.entries()) combo->addItem(QString::fromLatin1(entry));
  combo->setEditText(QString::fromLatin1(text));
}

}  // namespace

FindDialog::FindDialog(FindEnv env, QWidget* parent) : QDialog(parent), env_(std::move(env)) {
  setObjectName(QStringLiteral("EDITORFIND"));
  setWindowTitle(QStringLiteral("Find/Replace"));
  setModal(false);
  find_ = new QComboBox(this);
  replace_ = new QComboBox(this);
  for (QComboBox* c : {find_, replace_}) {
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(260);
  }
  find_->setObjectName(QStringLiteral("find what"));
  replace_->setObjectName(QStringLiteral("replace with"));
  auto* scope = new QGroupBox(QStringLiteral("Search"), this);
  current_doc_ = new QRadioButton(QStringLiteral("Current &document"), scope);
  all_docs_ = new QRadioButton(QStringLiteral("All &open documents"), scope);
  auto* scope_layout = new QVBoxLayout(scope);
  scope_layout->addWidget(current_doc_);
  scope_layout->addWidget(all_docs_);
  match_case_ = new QCheckBox(QStringLiteral("Match &case"), this);
  whole_word_ = new QCheckBox(QStringLiteral("Match &whole word"), this);
  search_up_ = new QCheckBox(QStringLiteral("Search &up"), this);
  QPushButton* next = button("&Find Next", "find next", this);
  QPushButton* once = button("&Replace", "replace", this);
  QPushButton* all = button("Replace &All", "replace all", this);
  QPushButton* close = button("Close", "close", this);
  next->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Find what:"), this), 0, 0);
  grid->addWidget(find_, 0, 1, 1, 2);
  grid->addWidget(next, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Replace with:"), this), 1, 0);
  grid->addWidget(replace_, 1, 1, 1, 2);
  grid->addWidget(once, 1, 3);
  grid->addWidget(scope, 2, 0, 3, 2);
  grid->addWidget(match_case_, 2, 2);
  grid->addWidget(whole_word_, 3, 2);
  grid->addWidget(search_up_, 4, 2);
  grid->addWidget(all, 2, 3);
  grid->addWidget(close, 4, 3);

  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(next, &QPushButton::clicked, this, &FindDialog::find_next);
  connect(once, &QPushButton::clicked, this, &FindDialog::replace_once);
  connect(all, &QPushButton::clicked, this, &FindDialog::replace_all);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void FindDialog::open(EditorChild* editor) {
  editor_ = editor;
  fill();
  show();
  raise();
  activateWindow();
  find_->setFocus();
  find_->lineEdit()->selectAll();
}

void FindDialog::fill() {
  fill_combo(find_, state_.find_history, state_.find_text);
  fill_combo(replace_, state_.replace_history, state_.replace_text);
  (state_.all_documents ? all_docs_ : current_doc_)->setChecked(true);
  match_case_->setChecked(state_.match_case);
  whole_word_->setChecked(state_.whole_word);
  search_up_->setChecked(state_.search_up);
}

void FindDialog::read() {
  state_.find_text = bytes_of(find_->currentText());
  state_.replace_text = bytes_of(replace_->currentText());
  state_.all_documents = all_docs_->isChecked();
  state_.match_case = match_case_->isChecked();
  state_.whole_word = whole_word_->isChecked();
  state_.search_up = search_up_->isChecked();
}

bool FindDialog::find_in(EditorChild* e) {
  long from, to;
  if (state_.search_up) {
    from = send(e, S::SCI_GETSELECTIONSTART);
    to = 0;
    if (from == 0) return false;
  } else {
    from = send(e, S::SCI_GETSELECTIONEND);
    to = send(e, S::SCI_GETLENGTH);
  }
  send(e, S::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(search_flags(state_)));
  long at = search_target(e, from, to, state_.find_text);
  if (at < 0) return false;
  send(e, S::SCI_SETSEL, static_cast<unsigned long>(send(e, S::SCI_GETTARGETSTART)), send(e, S::SCI_GETTARGETEND));
  return true;
}

void FindDialog::find_next() {
  env_.status(QStringLiteral("Ready"));
  EditorChild* e = env_.active();
  if (!e) {
    env_.status(QStringLiteral("Find text failed"));
    return;
  }
  read();
  if (state_.find_text.empty()) {
    env_.status(QStringLiteral("No text to match"));
    return;
  }
  state_.history_push_find(state_.find_text);
  fill_combo(find_, state_.find_history, state_.find_text);
  if (state_.all_documents) state_.round.begin(e, state_.find_text);
  const QString missed = state_.search_up ? QStringLiteral("At beginning of document")
                                          : QStringLiteral("Passed end of document");
  while (!find_in(e)) {
    if (!state_.all_documents) {
      state_.round.reset();
      env_.status(missed);
      return;
    }
    const QList<EditorChild*> editors = env_.editors();
    const std::vector<DocumentRound::Key> open(editors.begin(), editors.end());
    EditorChild* next = editor_of(editors, state_.round.advance(open));
    if (!next) {
      EditorChild* start = editor_of(editors, state_.round.start());
      state_.round.reset();
      if (start && start != e) env_.activate(start);
      env_.status(missed);
      return;
    }
    e = next;
    env_.activate(e);
    const long pos = state_.search_up ? send(e, S::SCI_GETLENGTH) : 0;
    send(e, S::SCI_SETSEL, static_cast<unsigned long>(pos), pos);
  }
}

EditorChild* FindDialog::editorToChange(const QString& failure) {
  EditorChild* e = env_.active();
  if (!e || send(e, S::SCI_GETREADONLY)) {
    env_.status(failure);
    return nullptr;
  }
  read();
  return e;
}

void FindDialog::replace_once() {
  EditorChild* e = editorToChange(QStringLiteral("Replace Once failed"));
  if (!e) return;
  state_.history_push_replace(state_.replace_text);
  fill_combo(replace_, state_.replace_history, state_.replace_text);
  const long start = send(e, S::SCI_GETSELECTIONSTART), end = send(e, S::SCI_GETSELECTIONEND);
  if (start == end) return;
  long n = replace_range(e, start, end, state_.replace_text);
  send(e, S::SCI_SETSEL, static_cast<unsigned long>(start), start + n);
}

void FindDialog::replace_all() {
  EditorChild* e = editorToChange(QStringLiteral("Replace All failed"));
  if (!e) return;
  if (state_.all_documents) {
    state_.all_documents = false;
    current_doc_->setChecked(true);
    env_.dialogs->warning(QStringLiteral("'Replace All' affects only current active document"));
  }
  if (state_.find_text.empty()) {
    env_.status(QStringLiteral("No text to match"));
    return;
  }
  state_.history_push_find(state_.find_text);
  state_.history_push_replace(state_.replace_text);
  fill();
  send(e, S::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(search_flags(state_)));
  send(e, S::SCI_BEGINUNDOACTION);
  long pos = 0, end = send(e, S::SCI_GETLENGTH);
  for (long at; (at = search_target(e, pos, end, state_.find_text)) >= 0;) {
    const long match_end = send(e, S::SCI_GETTARGETEND);
    const long n = replace_range(e, at, match_end, state_.replace_text);
    end += n - (match_end - at);
    pos = at + n;
  }
  send(e, S::SCI_ENDUNDOACTION);
}

}  // namespace zun::wb
