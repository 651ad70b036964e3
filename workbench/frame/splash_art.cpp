// The splash picture, painted into a palette of 256 colours with a few
// rectangles, circles and a 5x7 block font of our own.
#include "workbench/frame/splash_art.h"

#include <array>
#include <cstring>

namespace zun::wb {

namespace {

constexpr std::string_view product[] = {
    "ZUN09 - for KY09 (MC6809)",
    "ZUN Educational",
    " * Integrated Development Environment",
    " * Cross ANSI-C Compiler",
    " * Assembler, linker and library manager",
    " * Single board computer Simulator",
    " * Peripheral device Input-/Output simulator",
};

constexpr std::string_view notices[] = {
    "Workbench and cross tools for the KY09 board.",
    "Windows and dialogs: Qt 6.",
    "Source editor: QScintilla, the Qt port of the",
    "Scintilla editing component by Neil Hodgson.",
};

// Palette slots.
enum : uint8_t {
  light_ramp = 0,   // 64 entries, the page
  band_ramp = 64,   // 64 entries, the title band
  board_ramp = 128, // 32 entries, the circuit board
  chip = 160, chip_edge, pin, pin_shadow, white, trace, pad, led_red, led_green, crystal, chip_text,
  accent, band_shadow, pad_dark, band_text
};

struct Rgb {
  int r, g, b;
};

Rgb mix(Rgb a, Rgb b, int i, int n) {
  return {a.r + (b.r - a.r) * i / n, a.g + (b.g - a.g) * i / n, a.b + (b.b - a.b) * i / n};
}

class Canvas {
 public:
  Canvas() : px_(size_t{splash_width} * splash_height, 0) {}
  void dot(int x, int y, uint8_t c) {
    if (x >= 0 && y >= 0 && x < splash_width && y < splash_height) px_[size_t(y) * splash_width + size_t(x)] = c;
  }
  void rect(int x0, int y0, int x1, int y1, uint8_t c) {  // inclusive
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) dot(x, y, c);
  }
  void disc(int cx, int cy, int r, uint8_t c) {
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x)
        if (x * x + y * y <= r * r) dot(cx + x, cy + y, c);
  }
  // Text in the 5x7 block font, each font pixel `scale` pixels square.
  void text(int x, int y, std::string_view s, int scale, uint8_t c);
  uint8_t at(int x, int y) const { return px_[size_t(y) * splash_width + size_t(x)]; }

 private:
  std::vector<uint8_t> px_;
};

struct Glyph {
  char ch;
  std::array<const char*, 7> rows;
};

constexpr Glyph font[] = {
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
};

void Canvas::text(int x, int y, std::string_view s, int scale, uint8_t c) {
  for (char ch : s) {
    for (const Glyph& g : font)
      if (g.ch == ch)
        for (int row = 0; row < 7; ++row)
          for (int col = 0; col < 5; ++col)
            if (g.rows[size_t(row)][col] == '#')
              rect(x + col * scale, y + row * scale, x + col * scale + scale - 1, y + row * scale + scale - 1, c);
    x += 6 * scale;
  }
}

std::array<Rgb, 256> palette() {
  std::array<Rgb, 256> p{};
  for (int i = 0; i < 64; ++i) {
    p[size_t(light_ramp + i)] = mix({238, 242, 250}, {196, 211, 235}, i, 63);
    p[size_t(band_ramp + i)] = mix({14, 28, 72}, {46, 92, 168}, i, 63);
  }
  for (int i = 0; i < 32; ++i) p[size_t(board_ramp + i)] = mix({12, 74, 44}, {34, 128, 72}, i, 31);
  p[chip] = {30, 30, 36};
  p[chip_edge] = {64, 64, 74};
  p[pin] = {206, 206, 212};
  p[pin_shadow] = {136, 136, 148};
  p[white] = {255, 255, 255};
  p[trace] = {72, 170, 104};
  p[pad] = {216, 178, 86};
  p[led_red] = {232, 44, 40};
  p[led_green] = {64, 222, 96};
  p[crystal] = {182, 188, 198};
  p[chip_text] = {172, 172, 182};
  p[accent] = {242, 152, 40};
  p[band_shadow] = {8, 16, 44};
  p[pad_dark] = {150, 116, 48};
  p[band_text] = {150, 190, 240};
  return p;
}

// A DIP package standing upright: body, notch, `pins` pins on each side.
void dip(Canvas& c, int x0, int y0, int width, int pins, std::string_view label, std::string_view label2) {
  const int height = pins * 8 + 4;
  for (int i = 0; i < pins; ++i) {
    const int y = y0 + 4 + i * 8;
    c.rect(x0 - 8, y, x0 - 1, y + 3, pin);
    c.rect(x0 + width, y, x0 + width + 7, y + 3, pin);
    c.rect(x0 - 8, y + 3, x0 - 1, y + 3, pin_shadow);
    c.rect(x0 + width, y + 3, x0 + width + 7, y + 3, pin_shadow);
  }
  c.rect(x0, y0, x0 + width - 1, y0 + height - 1, chip);
  c.rect(x0, y0, x0 + width - 1, y0 + 1, chip_edge);
  c.rect(x0, y0, x0 + 1, y0 + height - 1, chip_edge);
  // The notch: a half circle of the board cut into the body's top.
  for (int y = 0; y <= 5; ++y)
    for (int x = -5; x <= 5; ++x)
      if (x * x + y * y <= 25) c.dot(x0 + width / 2 + x, y0 + y, board_ramp + 22);
  const int text_y = y0 + height / 2 - 16;
  c.text(x0 + (width - (int(label.size()) * 12 - 2)) / 2, text_y, label, 2, chip_text);
  c.text(x0 + (width - (int(label2.size()) * 12 - 2)) / 2, text_y + 20, label2, 2, chip_text);
}

void draw(Canvas& c) {
  // The page and the title band with its accent line.
  for (int y = 0; y < splash_height; ++y) c.rect(0, y, splash_width - 1, y, uint8_t(light_ramp + y * 63 / (splash_height - 1)));
  for (int y = 0; y < 110; ++y) c.rect(0, y, splash_width - 1, y, uint8_t(band_ramp + y * 63 / 109));
  c.rect(0, 110, splash_width - 1, 113, accent);
  c.text(323, 25, "ZUN09", 9, band_shadow);
  c.text(320, 22, "ZUN09", 9, white);
  c.text(26, 28, "KY09", 5, band_text);
  c.text(28, 74, "MC6809", 2, band_text);

  // The board: rounded corners, shaded from the top left.
  const int bx0 = 24, by0 = 140, bx1 = 296, by1 = 362, radius = 12;
  for (int y = by0; y <= by1; ++y)
    for (int x = bx0; x <= bx1; ++x) {
      int dx = x < bx0 + radius ? bx0 + radius - x : x > bx1 - radius ? x - (bx1 - radius) : 0;
      int dy = y < by0 + radius ? by0 + radius - y : y > by1 - radius ? y - (by1 - radius) : 0;
      if (dx * dx + dy * dy > radius * radius) continue;
      int shade = 31 - ((x - bx0) + (y - by0)) * 20 / ((bx1 - bx0) + (by1 - by0));
      c.dot(x, y, uint8_t(board_ramp + shade));
    }
  for (auto [hx, hy] : {std::pair{bx0 + 12, by0 + 12}, {bx1 - 12, by0 + 12}, {bx0 + 12, by1 - 12}, {bx1 - 12, by1 - 12}}) {
    c.disc(hx, hy, 6, pad);
    c.disc(hx, hy, 3, light_ramp + 40);
  }

  // Traces from the processor's pins to the other parts and the edge.
  for (int i = 0; i < 10; ++i) {
    const int y = 178 + i * 16;
    c.rect(44, y, 90, y + 1, trace);
    c.rect(170, y + 4, 196, y + 5, trace);
  }
  for (int i = 0; i < 6; ++i) c.rect(52 + i * 6, 178 + 9 * 16, 53 + i * 6, 346, trace);
  c.rect(196, 182, 197, 330, trace);
  c.rect(250, 300, 272, 301, trace);
  c.rect(272, 160, 273, 301, trace);

  dip(c, 100, 168, 62, 20, "MC", "6809");
  dip(c, 214, 196, 50, 12, "ROM", "");

  // Crystal, lamps and the connector's pads.
  c.rect(210, 320, 252, 334, crystal);
  c.disc(210, 327, 7, crystal);
  c.disc(252, 327, 7, crystal);
  c.rect(210, 320, 252, 321, white);
  const uint8_t lamps[] = {led_red, led_green, led_red, led_green};
  for (int i = 0; i < 4; ++i) {
    c.disc(214 + i * 16, 160, 6, pad_dark);
    c.disc(214 + i * 16, 160, 4, lamps[i]);
  }
  for (int x = 44; x <= 276; x += 8) {
    c.rect(x, 350, x + 4, 356, pad);
    c.rect(x, 356, x + 4, 356, pad_dark);
  }
}

}  // namespace

std::span<const std::string_view> product_lines() { return product; }
std::span<const std::string_view> notice_lines() { return notices; }

Dib draw_splash_art() {
  Canvas c;
  draw(c);

  const size_t stride = splash_width;  // a multiple of four already
  Dib dib(40 + 256 * 4 + stride * splash_height, 0);
  auto put32 = [&dib](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, splash_width);
  put32(8, splash_height);  // bottom row first
  dib[12] = 1;              // planes
  dib[14] = 8;              // bits per pixel; colours used 0: all 256
  put32(20, uint32_t(stride * splash_height));
  put32(24, 3780);  // 96 dots per inch
  put32(28, 3780);
  const std::array<Rgb, 256> pal = palette();
  for (size_t i = 0; i < 256; ++i) {
    dib[40 + i * 4] = uint8_t(pal[i].b);
    dib[40 + i * 4 + 1] = uint8_t(pal[i].g);
    dib[40 + i * 4 + 2] = uint8_t(pal[i].r);
  }
  const size_t pixels = 40 + 256 * 4;
  for (int y = 0; y < splash_height; ++y)
    for (int x = 0; x < splash_width; ++x)
      dib[pixels + size_t(splash_height - 1 - y) * stride + size_t(x)] = c.at(x, y);
  return dib;
}

std::optional<Dib> dib_load_resource(std::string_view name) {
  if (name == "ZUN09_KY09_EDUC") return draw_splash_art();
  return std::nullopt;
}

}  // namespace zun::wb
