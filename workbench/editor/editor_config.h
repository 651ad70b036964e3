// Sets an editor's component up for its file kind: lexer, keyword lists,
// styles, margins, fold and line markers; and the few lines that run the
// assembler colouriser as the component's container lexer.
#pragma once

#include <cstdint>

class QsciScintillaBase;

namespace zun::wb {

// Colours are 0xRRGGBB.
inline constexpr uint32_t rgb_white = 0xFFFFFF, rgb_black = 0x000000;

void editor_configure(QsciScintillaBase* sci, int file_kind);

// The colours of a style, and its size and font when given (size 0 and a
// null font leave them). "Courier New" is drawn in the fixed-pitch
// Liberation font.
void style_set(QsciScintillaBase* sci, int style, uint32_t fore, uint32_t back, int size = 0,
               const char* font = nullptr);
namespace style_attr {
inline constexpr int bold = 1, italic = 2, underline = 4, upper_case = 8;
}
void style_set_attrs(QsciScintillaBase* sci, int style, int attrs);
void marker_set(QsciScintillaBase* sci, int marker, int symbol, uint32_t fore, uint32_t back);

// Styles the assembler text from the end of the styled text up to
// `position` (rounded up to a line end), from the start of its line.
void colourise_asm_range(QsciScintillaBase* sci, long position);

}  // namespace zun::wb
