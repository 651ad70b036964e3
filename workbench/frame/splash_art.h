// What the splash window and the About dialog show: the product lines, the
// notice lines, and the splash picture, drawn here in code as an 8-bit DIB.
#pragma once

#include <span>
#include <string_view>

#include "workbench/frame/dib.h"

namespace zun::wb {

std::span<const std::string_view> product_lines();
std::span<const std::string_view> notice_lines();

// The splash picture: a board with its 6809 on the left, the product name in
// the band at the top, room for the product lines at the right and for the
// version line below.
inline constexpr int splash_width = 600, splash_height = 420;
Dib draw_splash_art();

}  // namespace zun::wb
