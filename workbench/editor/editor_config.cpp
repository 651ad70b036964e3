// Editor set-up per file kind, over the component's messages. The looks come
// from editor_styles; the component takes colours as 0xBBGGRR.
#include "workbench/editor/editor_config.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "workbench/editor/asm_colour.h"
#include "workbench/editor/editor_styles.h"

namespace zun::wb {

namespace {

using S = QsciScintillaBase;

long send(QsciScintillaBase* sci, unsigned msg, unsigned long w = 0, long l = 0) {
  return sci->SendScintilla(msg, w, l);
}

long bgr(uint32_t rgb) { return static_cast<long>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16)); }

constexpr uint32_t fold_back = 0x5A5A5A;

void set_margins_and_markers(QsciScintillaBase* sci) {
  send(sci, S::SCI_SETMARGINTYPEN, 1, S::SC_MARGIN_SYMBOL);
  send(sci, S::SCI_SETMARGINWIDTHN, 1, 14);
  send(sci, S::SCI_SETMARGINSENSITIVEN, 1, 1);
  send(sci, S::SCI_SETMARGINTYPEN, 2, S::SC_MARGIN_SYMBOL);
  send(sci, S::SCI_SETMARGINMASKN, 2, static_cast<long>(S::SC_MASK_FOLDERS));
  send(sci, S::SCI_SETMARGINWIDTHN, 2, 12);
  send(sci, S::SCI_SETMARGINSENSITIVEN, 2, 1);
  sci->SendScintilla(S::SCI_SETPROPERTY, "fold", "1");
  send(sci, S::SCI_SETFOLDMARGINCOLOUR, 1, bgr(rgb_white));
  send(sci, S::SCI_SETFOLDMARGINHICOLOUR, 1, bgr(rgb_white));
  const std::pair<int, int> folders[] = {
      {S::SC_MARKNUM_FOLDEROPEN, S::SC_MARK_BOXMINUS},
      {S::SC_MARKNUM_FOLDER, S::SC_MARK_BOXPLUS},
      {S::SC_MARKNUM_FOLDERSUB, S::SC_MARK_VLINE},
      {S::SC_MARKNUM_FOLDERTAIL, S::SC_MARK_LCORNER},
      {S::SC_MARKNUM_FOLDEREND, S::SC_MARK_BOXPLUSCONNECTED},
      {S::SC_MARKNUM_FOLDEROPENMID, S::SC_MARK_BOXMINUSCONNECTED},
      {S::SC_MARKNUM_FOLDERMIDTAIL, S::SC_MARK_TCORNER},
  };
  for (auto [marker, symbol] : folders) marker_set(sci, marker, symbol, rgb_white, fold_back);
  marker_set(sci, 0, S::SC_MARK_CIRCLE, rgb_black, 0xFF0000);
  marker_set(sci, 1, S::SC_MARK_CIRCLE, fold_back, rgb_white);
  marker_set(sci, 3, S::SC_MARK_ARROW, rgb_black, rgb_black);
  marker_set(sci, 4, S::SC_MARK_ARROW, rgb_black, 0x00B400);
}

}  // namespace

void style_set(QsciScintillaBase* sci, int style, uint32_t fore, uint32_t back, int size, const char* font) {
  const auto s = static_cast<unsigned long>(style);
  send(sci, S::SCI_STYLESETFORE, s, bgr(fore));
  send(sci, S::SCI_STYLESETBACK, s, bgr(back));
  if (size > 0) send(sci, S::SCI_STYLESETSIZE, s, size);
  if (font) {
    bool courier = std::strcmp(font, "Courier New") == 0 || std::strcmp(font, "Courier") == 0;
    sci->SendScintilla(S::SCI_STYLESETFONT, static_cast<uintptr_t>(s), courier ? "Liberation Mono" : font);
  }
}

void style_set_attrs(QsciScintillaBase* sci, int style, int attrs) {
  const auto s = static_cast<unsigned long>(style);
  send(sci, S::SCI_STYLESETBOLD, s, (attrs & style_attr::bold) != 0);
  send(sci, S::SCI_STYLESETITALIC, s, (attrs & style_attr::italic) != 0);
  send(sci, S::SCI_STYLESETUNDERLINE, s, (attrs & style_attr::underline) != 0);
  send(sci, S::SCI_STYLESETCASE, s, (attrs & style_attr::upper_case) ? S::SC_CASE_UPPER : S::SC_CASE_MIXED);
}

void marker_set(QsciScintillaBase* sci, int marker, int symbol, uint32_t fore, uint32_t back) {
  const auto m = static_cast<unsigned long>(marker);
  send(sci, S::SCI_MARKERDEFINE, m, symbol);
  send(sci, S::SCI_MARKERSETFORE, m, bgr(fore));
  send(sci, S::SCI_MARKERSETBACK, m, bgr(back));
}

void editor_configure(QsciScintillaBase* sci, int file_kind) {
  const EditorLook& look = editor_look(file_kind);
  send(sci, S::SCI_SETLEXER, static_cast<unsigned long>(look.lexer));
  for (size_t i = 0; i < look.keywords.size(); ++i)
    if (!look.keywords[i].empty())
      sci->SendScintilla(S::SCI_SETKEYWORDS, static_cast<uintptr_t>(i), std::string(look.keywords[i]).c_str());
  style_set(sci, S::STYLE_DEFAULT, rgb_black, rgb_white, 10, "Courier New");
  send(sci, S::SCI_STYLECLEARALL);
  send(sci, S::SCI_SETSTYLEBITS, 7);
  send(sci, S::SCI_SETTABWIDTH, 8);
  send(sci, S::SCI_SETINDENTATIONGUIDES, S::SC_IV_REAL);
  style_set_attrs(sci, S::STYLE_BRACELIGHT, style_attr::bold);
  style_set_attrs(sci, S::STYLE_BRACEBAD, style_attr::underline);
  for (const StyleColour& c : look.colours) style_set(sci, c.style, c.rgb, rgb_white);
  for (int style : look.bold) style_set_attrs(sci, style, style_attr::bold);
  set_margins_and_markers(sci);
  // Whatever was styled under another kind is styled again.
  send(sci, S::SCI_STARTSTYLING, 0, 0);
}

// The range starts at a line start, so the colouriser sees the line's
// beginning; the character before it carries a continued line's state.
void colourise_asm_range(QsciScintillaBase* sci, long position) {
  const long length = send(sci, S::SCI_GETLENGTH);
  const long start = send(sci, S::SCI_POSITIONFROMLINE,
                          static_cast<unsigned long>(send(sci, S::SCI_LINEFROMPOSITION,
                                                          static_cast<unsigned long>(send(sci, S::SCI_GETENDSTYLED)))));
  long end = std::clamp(position, start, length);
  const long end_line = send(sci, S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
  if (send(sci, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(end_line)) != end) {
    long next = send(sci, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(end_line + 1));
    end = next < 0 ? length : next;
  }
  if (end <= start) return;
  const long from = start > 0 ? start - 1 : 0;
  const long to = std::min(length, end + 1);
  const auto* text = reinterpret_cast<const char*>(
      send(sci, S::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
  const int init = start > 0 ? static_cast<int>(send(sci, S::SCI_GETSTYLEAT, static_cast<unsigned long>(start - 1)))
                             : asm_style::default_style;
  std::vector<uint8_t> styles =
      ColouriseAsmDoc(std::string_view(text, static_cast<size_t>(to - from)), static_cast<size_t>(start - from),
                      static_cast<size_t>(end - start), init & 0x7F, asm_keywords());
  send(sci, S::SCI_STARTSTYLING, static_cast<unsigned long>(start), 0);
  sci->SendScintilla(S::SCI_SETSTYLINGEX, static_cast<uintptr_t>(styles.size()),
                     reinterpret_cast<const char*>(styles.data()));
}

}  // namespace zun::wb
