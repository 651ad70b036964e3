// The editing aids of one editor's component: the look of its file kind,
// automatic indentation, brace highlighting, the fold margin, and the
// assembler colouriser for assembler files.
#pragma once

#include <QObject>

class QsciScintillaBase;

namespace zun::wb {

struct EditorLook;

class EditingAids : public QObject {
  Q_OBJECT

 public:
  EditingAids(QsciScintillaBase* sci, QObject* parent);

  // Applies the look of the file kind (on creation and after a new name).
  void configure(int file_kind);

  // A character was typed: a new line takes the indentation of the nearest
  // line above that holds text.
  void auto_indent(int ch);
  // The bracket before the caret, or else at it, and its partner.
  void brace_update();
  void fold_margin_click(int modifiers, long position);
  void fold_changed(long line, int level_now, int level_prev);
  // Shows (or, when forced, shows down to `vis_levels` and hides below) the
  // children of the header `line`; a `level` of -1 is the line's own.
  // Returns the line behind its last child.
  long fold_expand(long line, bool do_expand, bool force, int vis_levels, int level);

  // The highlighted bracket and its partner (-1 for none; a bracket without
  // partner has match -1).
  long bracePosition() const { return brace_pos_; }
  long braceMatch() const { return brace_match_; }

 private:
  long sci(unsigned msg, unsigned long w = 0, long l = 0) const;
  void setLineIndentation(long line, int indent);
  bool isQuietStyle(long pos) const;

  QsciScintillaBase* sci_;
  const EditorLook* look_ = nullptr;
  long brace_pos_ = -1;
  long brace_match_ = -1;
};

}  // namespace zun::wb
