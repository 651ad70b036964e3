// How an editor looks for each file kind: the editing component's lexer,
// its keyword lists and the colours of its styles, plus the styles where a
// bracket is text (comments, strings) and is not matched. Data only; the
// editor's configuration applies it to the component.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace zun::wb {

// The component's lexers by number; the assembler colouriser is ours and
// runs as the container lexer.
namespace lexer {
inline constexpr int container = 0, none = 1, cpp = 3, ada = 20;
}

struct StyleColour {
  int style;
  uint32_t rgb;  // 0xRRGGBB
};

struct EditorLook {
  int lexer;
  // Keyword lists 0 and 1 as the lexer takes them; empty ones are not set.
  std::array<std::string_view, 2> keywords;
  std::span<const StyleColour> colours;
  std::span<const int> bold;
  std::span<const int> quiet;  // styles in which brackets are not matched
};

const EditorLook& editor_look(int file_kind);

}  // namespace zun::wb
