// Device-independent bitmaps as bytes: a packed DIB is the bitmap information
// header, the colour table, then the pixel rows (bottom row first unless the
// height is negative). The helpers read only the bytes they are given: a
// block too short for what its header claims gives 0 or nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zun::wb {

using Dib = std::vector<uint8_t>;
using DibBytes = std::span<const uint8_t>;

struct PaletteEntry {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
struct LogicalPalette {
  uint16_t version = 0x300;
  std::vector<PaletteEntry> entries;
};

// The header's count of colours used when not 0, else 1 << bit count for 8
// bits per pixel or fewer, else 0.
int dib_colors(DibBytes dib);
// One entry per colour-table entry; none without a colour table.
std::optional<LogicalPalette> dib_palette_from_header(DibBytes dib);
inline std::optional<LogicalPalette> dib_palette(DibBytes dib) { return dib_palette_from_header(dib); }
int dib_bit_count(DibBytes dib);
int dib_width(DibBytes dib);
int dib_height(DibBytes dib);  // rows, whichever way they are stored

// The whole image as 0xFFRRGGBB pixels, top row first: what drawing the DIB
// sets onto a device. Uncompressed 1, 4, 8, 16 (5-5-5), 24 and 32 bits per
// pixel; none for anything else or for a block that is cut short.
struct DibImage {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
std::optional<DibImage> dib_pixels(DibBytes dib);

// The workbench's own bitmaps by name ("ZUN09_KY09_EDUC", the splash
// picture); none for an unknown name.
std::optional<Dib> dib_load_resource(std::string_view name);

}  // namespace zun::wb
