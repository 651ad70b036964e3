// The DIB helpers over packed bitmap bytes, and the splash picture they read.
#include <gtest/gtest.h>

#include "workbench/frame/dib.h"
#include "workbench/frame/splash_art.h"

using namespace zun::wb;

namespace {

void put32(Dib& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// An information header, `colors` table entries (entry i is blue i, green
// 2i, red 3i) and zeroed rows.
Dib make_dib(int32_t width, int32_t height, int bits, uint32_t colors_used, size_t table_entries) {
  size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
  size_t rows = size_t(height < 0 ? -height : height);
  Dib d(40 + table_entries * 4 + stride * rows, 0);
  put32(d, 0, 40);
  put32(d, 4, uint32_t(width));
  put32(d, 8, uint32_t(height));
  d[12] = 1;
  d[14] = uint8_t(bits);
  put32(d, 32, colors_used);
  for (size_t i = 0; i < table_entries; ++i) {
    d[40 + i * 4] = uint8_t(i);
    d[40 + i * 4 + 1] = uint8_t(2 * i);
    d[40 + i * 4 + 2] = uint8_t(3 * i);
  }
  return d;
}

}  // namespace

TEST(Dib, ColoursPalettesAndSizes) {
  Dib eight = make_dib(3, 2, 8, 0, 256);  // 0 colours used: all 256
  EXPECT_EQ(dib_colors(eight), 256);
  auto pal = dib_palette(eight);
  ASSERT_TRUE(pal);
  EXPECT_EQ(pal->version, 0x300);
  ASSERT_EQ(pal->entries.size(), 256u);
  EXPECT_EQ(pal->entries[5].red, 15);  // from the table's blue-green-red order
  EXPECT_EQ(pal->entries[5].green, 10);
  EXPECT_EQ(pal->entries[5].blue, 5);

  Dib few = make_dib(3, 2, 4, 3, 3);
  EXPECT_EQ(dib_colors(few), 3);
  EXPECT_EQ(dib_palette_from_header(few)->entries.size(), 3u);

  Dib rgb = make_dib(5, -7, 24, 0, 0);  // top-down
  EXPECT_EQ(dib_colors(rgb), 0);
  EXPECT_FALSE(dib_palette(rgb));
  EXPECT_EQ(dib_bit_count(rgb), 24);
  EXPECT_EQ(dib_width(rgb), 5);
  EXPECT_EQ(dib_height(rgb), 7);

  // Nothing, or a block cut short, gives 0 and nothing: never a read past its end.
  EXPECT_EQ(dib_colors({}), 0);
  EXPECT_EQ(dib_height({}), 0);
  Dib cut(eight.begin(), eight.begin() + 40 + 100);
  EXPECT_FALSE(dib_palette(cut));
  EXPECT_FALSE(dib_pixels(cut));
  Dib lying = make_dib(3, 2, 8, 0x40000000, 4);  // claims a huge colour table
  EXPECT_FALSE(dib_palette(lying));
  EXPECT_FALSE(dib_pixels(lying));
  Dib huge = make_dib(1, 1, 24, 0, 0);
  put32(huge, 4, 0x7FFFFFFF);
  put32(huge, 8, 0x7FFFFFFF);
  EXPECT_FALSE(dib_pixels(huge));
}

TEST(Dib, PixelsComeOutTopRowFirst) {
  // 2x2 at 4 bits: a stored row is one byte and padding; bottom row first.
  Dib d = make_dib(2, 2, 4, 16, 16);
  d[40 + 64] = 0x12;      // bottom row: entries 1, 2
  d[40 + 64 + 4] = 0x3F;  // top row: entries 3, 15
  auto img = dib_pixels(d);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->pixels, (std::vector<uint32_t>{0xFF090603, 0xFF2D1E0F, 0xFF030201, 0xFF060402}));
  put32(d, 8, uint32_t(-2));  // the same bytes stored top-down
  EXPECT_EQ(dib_pixels(d)->pixels[0], 0xFF030201u);

  Dib rgb = make_dib(1, 1, 24, 0, 0);
  rgb[40] = 0x10, rgb[41] = 0x20, rgb[42] = 0x30;
  EXPECT_EQ(dib_pixels(rgb)->pixels, (std::vector<uint32_t>{0xFF302010}));
}

TEST(Dib, TheSplashPictureIsAPaletteBitmap) {
  EXPECT_FALSE(dib_load_resource("NO_SUCH_BITMAP"));
  auto splash = dib_load_resource("ZUN09_KY09_EDUC");
  ASSERT_TRUE(splash);
  EXPECT_EQ(dib_width(*splash), splash_width);
  EXPECT_EQ(dib_height(*splash), splash_height);
  EXPECT_EQ(dib_bit_count(*splash), 8);
  EXPECT_EQ(dib_colors(*splash), 256);
  auto img = dib_pixels(*splash);
  ASSERT_TRUE(img);
  // The band at the top is dark, the page behind the version line light.
  auto brightness = [&](int x, int y) {
    uint32_t p = img->pixels[size_t(y) * size_t(img->width) + size_t(x)];
    return int(p >> 16 & 255) + int(p >> 8 & 255) + int(p & 255);
  };
  EXPECT_LT(brightness(5, 5), 200);
  EXPECT_GT(brightness(45, 390), 600);
  EXPECT_EQ(product_lines().front(), "ZUN09 - for KY09 (MC6809)");
  EXPECT_EQ(product_lines().size(), 7u);
}
