// Editing aids over the component's notifications: a typed line end indents
// the new line, every display update looks for a bracket at the caret, and
// the fold margin folds and unfolds. Folding is done here rather than by the
// component so that a click with Ctrl or Shift+Ctrl acts on whole subtrees.
#include "workbench/editor/edit_aids.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>
#include <cstring>

#include "workbench/editor/editor_config.h"
#include "workbench/editor/editor_styles.h"

namespace zun::wb {

namespace {
using S = QsciScintillaBase;

bool is_brace(int c) { return c != 0 && std::strchr("[](){}", c) != nullptr; }
}  // namespace

EditingAids::EditingAids(QsciScintillaBase* sci, QObject* parent) : QObject(parent), sci_(sci) {
  connect(sci_, &S::SCN_CHARADDED, this, &EditingAids::auto_indent);
  connect(sci_, &S::SCN_UPDATEUI, this, &EditingAids::brace_update);
  connect(sci_, &S::SCN_MARGINCLICK, this, [this](int position, int modifiers, int margin) {
    if (margin == 2) fold_margin_click(modifiers, position);
  });
  connect(sci_, &S::SCN_MODIFIED, this,
          [this](int, int type, const char*, int, int, int line, int now, int prev, int, int) {
            if (type & S::SC_MOD_CHANGEFOLD) fold_changed(line, now, prev);
          });
  // Only the container lexer asks; that is the assembler colouriser.
  connect(sci_, &S::SCN_STYLENEEDED, this, [this](int position) { colourise_asm_range(sci_, position); });
}

long EditingAids::sci(unsigned msg, unsigned long w, long l) const { return sci_->SendScintilla(msg, w, l); }

void EditingAids::configure(int file_kind) {
  look_ = &editor_look(file_kind);
  editor_configure(sci_, file_kind);
}

void EditingAids::auto_indent(int ch) {
  const int eol = sci(S::SCI_GETEOLMODE) == S::SC_EOL_CR ? '\r' : '\n';
  if (ch != eol) return;
  const long line = sci(S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(sci(S::SCI_GETCURRENTPOS)));
  for (long above = line - 1; above >= 0; --above) {
    const auto a = static_cast<unsigned long>(above);
    if (sci(S::SCI_GETLINEINDENTPOSITION, a) < sci(S::SCI_GETLINEENDPOSITION, a)) {
      setLineIndentation(line, static_cast<int>(sci(S::SCI_GETLINEINDENTATION, a)));
      return;
    }
  }
}

// The selection moves with the text behind the indentation; the caret of a
// fresh line stands behind it.
void EditingAids::setLineIndentation(long line, int indent) {
  const auto l = static_cast<unsigned long>(line);
  long anchor = sci(S::SCI_GETANCHOR), caret = sci(S::SCI_GETCURRENTPOS);
  const long before = sci(S::SCI_GETLINEINDENTPOSITION, l);
  sci(S::SCI_SETLINEINDENTATION, l, indent);
  const long after = sci(S::SCI_GETLINEINDENTPOSITION, l);
  auto moved = [&](long p) { return p >= before ? p + (after - before) : std::min(p, after); };
  const long line_start = sci(S::SCI_POSITIONFROMLINE, l);
  if (anchor == caret && caret == line_start) {
    sci(S::SCI_GOTOPOS, static_cast<unsigned long>(after));
    return;
  }
  sci(S::SCI_SETSEL, static_cast<unsigned long>(moved(anchor)), moved(caret));
}

bool EditingAids::isQuietStyle(long pos) const {
  if (!look_) return false;
  const int style = static_cast<int>(sci(S::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0x7F);
  return std::find(look_->quiet.begin(), look_->quiet.end(), style) != look_->quiet.end();
}

void EditingAids::brace_update() {
  const long caret = sci(S::SCI_GETCURRENTPOS);
  long brace = -1;
  auto char_at = [this](long p) { return static_cast<int>(static_cast<unsigned char>(sci(S::SCI_GETCHARAT, static_cast<unsigned long>(p)))); };
  if (caret > 0 && is_brace(char_at(caret - 1)) && !isQuietStyle(caret - 1))
    brace = caret - 1;
  else if (caret < sci(S::SCI_GETLENGTH) && is_brace(char_at(caret)) && !isQuietStyle(caret))
    brace = caret;
  long match = brace >= 0 ? sci(S::SCI_BRACEMATCH, static_cast<unsigned long>(brace)) : -1;
  if (brace == brace_pos_ && match == brace_match_) return;
  brace_pos_ = brace;
  brace_match_ = match;
  if (brace < 0) {
    sci(S::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(-1), -1);
    sci(S::SCI_SETHIGHLIGHTGUIDE, 0);
  } else if (match < 0) {
    sci(S::SCI_BRACEBADLIGHT, static_cast<unsigned long>(brace));
    sci(S::SCI_SETHIGHLIGHTGUIDE, 0);
  } else {
    sci(S::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(brace), match);
    sci(S::SCI_SETHIGHLIGHTGUIDE, static_cast<unsigned long>(sci(S::SCI_GETCOLUMN, static_cast<unsigned long>(brace))));
  }
}

void EditingAids::fold_margin_click(int modifiers, long position) {
  const long line = sci(S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
  const auto l = static_cast<unsigned long>(line);
  const int level = static_cast<int>(sci(S::SCI_GETFOLDLEVEL, l));
  if (!(level & S::SC_FOLDLEVELHEADERFLAG)) return;
  const bool shift = modifiers & S::SCMOD_SHIFT, ctrl = modifiers & S::SCMOD_CTRL;
  if (ctrl && (shift || !sci(S::SCI_GETFOLDEXPANDED, l))) {
    sci(S::SCI_SETFOLDEXPANDED, l, 1);
    fold_expand(line, true, true, 100, level);
  } else if (ctrl) {
    sci(S::SCI_SETFOLDEXPANDED, l, 0);
    fold_expand(line, false, true, 0, level);
  } else {
    sci(S::SCI_TOGGLEFOLD, l);
  }
}

void EditingAids::fold_changed(long line, int level_now, int level_prev) {
  const auto l = static_cast<unsigned long>(line);
  const bool header_now = level_now & S::SC_FOLDLEVELHEADERFLAG;
  const bool header_prev = level_prev & S::SC_FOLDLEVELHEADERFLAG;
  // A new header starts open; a header that goes away must not leave its
  // lines hidden with no way to show them.
  if ((header_now && !header_prev) || (!header_now && header_prev && !sci(S::SCI_GETFOLDEXPANDED, l))) {
    sci(S::SCI_SETFOLDEXPANDED, l, 1);
    fold_expand(line, true, false, 0, level_prev);
  }
}

long EditingAids::fold_expand(long line, bool do_expand, bool force, int vis_levels, int level) {
  const long last = sci(S::SCI_GETLASTCHILD, static_cast<unsigned long>(line),
                        level == -1 ? -1 : (level & S::SC_FOLDLEVELNUMBERMASK));
  ++line;
  while (line <= last) {
    const auto l = static_cast<unsigned long>(line);
    if (force ? vis_levels > 0 : do_expand)
      sci(S::SCI_SHOWLINES, l, line);
    else if (force)
      sci(S::SCI_HIDELINES, l, line);
    if (sci(S::SCI_GETFOLDLEVEL, l) & S::SC_FOLDLEVELHEADERFLAG) {
      if (force) {
        sci(S::SCI_SETFOLDEXPANDED, l, vis_levels > 1);
        line = fold_expand(line, do_expand, true, vis_levels - 1, -1);
      } else {
        // A closed child keeps its own lines hidden.
        line = fold_expand(line, do_expand && sci(S::SCI_GETFOLDEXPANDED, l), false, vis_levels - 1, -1);
      }
    } else {
      ++line;
    }
  }
  return line;
}

}  // namespace zun::wb
