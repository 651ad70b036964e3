// Reading packed DIBs. Every offset is checked against the block's length
// in 64-bit arithmetic before it is read.
#include "workbench/frame/dib.h"

#include <cstdlib>

namespace zun::wb {

namespace {

constexpr size_t info_header_size = 40;
constexpr uint32_t bi_rgb = 0, bi_bitfields = 3;
constexpr int64_t max_pixels = int64_t{1} << 26;

uint32_t u32(DibBytes b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t u16(DibBytes b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

struct Header {
  uint32_t size = 0;
  int32_t width = 0, height = 0;
  int bits = 0;
  uint32_t compression = 0, colors_used = 0;
};

std::optional<Header> header(DibBytes dib) {
  if (dib.size() < info_header_size) return std::nullopt;
  Header h;
  h.size = u32(dib, 0);
  if (h.size < info_header_size || h.size > dib.size()) return std::nullopt;
  h.width = static_cast<int32_t>(u32(dib, 4));
  h.height = static_cast<int32_t>(u32(dib, 8));
  h.bits = u16(dib, 14);
  h.compression = u32(dib, 16);
  h.colors_used = u32(dib, 32);
  return h;
}

// Where the colour table starts: the bit masks of a bit-field image follow a
// plain information header.
uint64_t table_offset(const Header& h) {
  return uint64_t{h.size} + (h.compression == bi_bitfields && h.size == info_header_size ? 12 : 0);
}

uint64_t colors_of(const Header& h) {
  if (h.colors_used != 0) return h.colors_used;
  return h.bits < 9 ? uint64_t{1} << h.bits : 0;
}

uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b; }

}  // namespace

int dib_colors(DibBytes dib) {
  auto h = header(dib);
  if (!h) return 0;
  uint64_t n = colors_of(*h);
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

std::optional<LogicalPalette> dib_palette_from_header(DibBytes dib) {
  auto h = header(dib);
  if (!h) return std::nullopt;
  const uint64_t n = colors_of(*h), at = table_offset(*h);
  if (n == 0 || at + n * 4 > dib.size()) return std::nullopt;
  LogicalPalette p;
  for (uint64_t i = 0; i < n; ++i) {
    size_t e = static_cast<size_t>(at + i * 4);
    p.entries.push_back({dib[e + 2], dib[e + 1], dib[e], 0});  // stored blue, green, red
  }
  return p;
}

int dib_bit_count(DibBytes dib) {
  auto h = header(dib);
  return h ? h->bits : 0;
}

int dib_width(DibBytes dib) {
  auto h = header(dib);
  return h ? h->width : 0;
}

int dib_height(DibBytes dib) {
  auto h = header(dib);
  return h ? static_cast<int>(std::llabs(int64_t{h->height})) : 0;
}

std::optional<DibImage> dib_pixels(DibBytes dib) {
  auto h = header(dib);
  if (!h || h->width <= 0 || h->height == 0) return std::nullopt;
  const int bits = h->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  if (h->compression != bi_rgb) return std::nullopt;
  const int64_t width = h->width, height = std::llabs(int64_t{h->height});
  if (width * height > max_pixels) return std::nullopt;
  const uint64_t colors = bits <= 8 ? colors_of(*h) : h->colors_used;
  const uint64_t stride = (uint64_t(width) * uint64_t(bits) + 31) / 32 * 4;
  const uint64_t first_row = table_offset(*h) + colors * 4;
  if (first_row + stride * uint64_t(height) > dib.size()) return std::nullopt;

  std::vector<uint32_t> table;
  if (bits <= 8)
    for (uint64_t i = 0; i < colors; ++i) {
      size_t e = static_cast<size_t>(table_offset(*h) + i * 4);
      table.push_back(rgb(dib[e + 2], dib[e + 1], dib[e]));
    }
  DibImage img;
  img.width = static_cast<int>(width);
  img.height = static_cast<int>(height);
  img.pixels.resize(static_cast<size_t>(width * height));
  const bool bottom_up = h->height > 0;
  for (int64_t y = 0; y < height; ++y) {
    const size_t row = static_cast<size_t>(first_row + stride * uint64_t(bottom_up ? height - 1 - y : y));
    uint32_t* out = &img.pixels[static_cast<size_t>(y * width)];
    for (int64_t x = 0; x < width; ++x) {
      const size_t px = static_cast<size_t>(x);
      switch (bits) {
        case 1:
        case 4:
        case 8: {
          const size_t bit = px * static_cast<size_t>(bits);
          const uint8_t byte = dib[row + bit / 8];
          const unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
          out[x] = index < table.size() ? table[index] : rgb(0, 0, 0);
          break;
        }
        case 16: {
          const uint16_t v = u16(dib, row + px * 2);
          auto five = [](unsigned c) { return static_cast<uint8_t>(c << 3 | c >> 2); };
          out[x] = rgb(five(v >> 10 & 31), five(v >> 5 & 31), five(v & 31));
          break;
        }
        default: {
          const size_t at = row + px * static_cast<size_t>(bits / 8);
          out[x] = rgb(dib[at + 2], dib[at + 1], dib[at]);
          break;
        }
      }
    }
  }
  return img;
}

}  // namespace zun::wb
