// The pixel-block slots: conversions between formats a plug-in names,
// refused before a pixel is touched when a format cannot be converted
// soundly, and BMP pictures loaded into the host heap.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "pluginhost/hostapi/HostApi.h"
#include "support/TestPaths.h"

namespace {

const HostApiTable& Slots() { return *GetHostApiTable(); }

DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD flags = DDPF_RGB, DWORD alpha = 0) {
  return DDPIXELFORMAT{32, flags, 0, bits, red, green, blue, alpha};
}
const DDPIXELFORMAT kRgb32 = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT kRgb565 = Rgb(16, 0xF800, 0x07E0, 0x1F);
const DDPIXELFORMAT kIndexed8 = Rgb(8, 0, 0, 0, DDPF_RGB | DDPF_PALETTEINDEXED8);
const DDPIXELFORMAT kIndexed4 = Rgb(4, 0, 0, 0, DDPF_RGB | DDPF_PALETTEINDEXED4);

TEST(BitmapSlots, EveryUnsoundConversionIsRefusedAsAnInvalidParameterWithoutWriting) {
  std::vector<DWORD> palette(256, 0x00112233);
  struct Row {
    const char* name;
    std::function<void(DDPIXELFORMAT& to, DDPIXELFORMAT& from, int& width, const DWORD*& table)> change;
  };
  const Row rows[] = {
      {"no width", [](auto&, auto&, int& width, auto&) { width = 0; }},
      {"a short destination record", [](DDPIXELFORMAT& to, auto&, auto&, auto&) { to.dwSize = 31; }},
      {"a short source record", [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from.dwSize = 31; }},
      {"a destination without the RGB flag", [](DDPIXELFORMAT& to, auto&, auto&, auto&) { to.dwFlags = 0; }},
      {"a source without the RGB flag", [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from.dwFlags = 0; }},
      {"a destination with alpha",
       [](DDPIXELFORMAT& to, auto&, auto&, auto&) { to.dwFlags |= DDPF_ALPHAPIXELS; }},
      {"a depth of 12 bits", [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from.dwRGBBitCount = 12; }},
      {"premultiplied source alpha",
       [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from.dwFlags |= DDPF_ALPHAPIXELS | 0x10; }},
      {"source alpha without a palette",
       [](auto&, DDPIXELFORMAT& from, auto&, const DWORD*& table) {
         from.dwFlags |= DDPF_ALPHAPIXELS;
         table = nullptr;
       }},
      {"a mask in two runs", [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from.dwGBitMask = 0x0F0F; }},
      {"overlapping masks", [](DDPIXELFORMAT& to, auto&, auto&, auto&) { to.dwGBitMask = 0xFFFF00; }},
      {"a palettized destination",  // there is no table to map colours to indices
       [](DDPIXELFORMAT& to, auto&, auto&, auto&) { to = kIndexed8; }},
      {"a palettized source without its palette",
       [](auto&, DDPIXELFORMAT& from, auto&, const DWORD*& table) {
         from = kIndexed8;
         table = nullptr;
       }},
      {"an index flag that is not the depth's",
       [](auto&, DDPIXELFORMAT& from, auto&, auto&) { from = Rgb(8, 0, 0, 0, DDPF_RGB | DDPF_PALETTEINDEXED4); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DDPIXELFORMAT to = kRgb32;
    DDPIXELFORMAT from = kRgb565;
    int width = 2;
    const DWORD* table = palette.data();
    row.change(to, from, width, table);
    DWORD destination[4] = {7, 7, 7, 7};
    const uint16_t source[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    Slots().HOST_SetError(0, 0, nullptr);
    EXPECT_FALSE(Slots().HOST_CopyBitmapData(&to, destination, 8, &from, source, 4, width, 2, table));
    EXPECT_EQ(Slots().HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
    EXPECT_EQ(destination[0], 7u);
  }
  DWORD destination = 0;
  EXPECT_FALSE(Slots().HOST_CopyBitmapData(nullptr, &destination, 4, &kRgb32, &destination, 4, 1, 1, nullptr));
  EXPECT_FALSE(Slots().HOST_CopyBitmapData(&kRgb32, &destination, 4, &kRgb32, nullptr, 4, 1, 1, nullptr));
}

TEST(BitmapSlots, BlocksConvertRowByRowInEitherDirection) {
  // 5-6-5 white, red, green, blue into 32 bits: each channel's top bits.
  const uint16_t colours[4] = {0xFFFF, 0xF800, 0x07E0, 0x001F};
  DWORD wide[4] = {};
  ASSERT_TRUE(Slots().HOST_CopyBitmapData(&kRgb32, wide, 8, &kRgb565, colours, 4, 2, 2, nullptr));
  EXPECT_EQ(std::vector<DWORD>(wide, wide + 4), (std::vector<DWORD>{0xF8FCF8, 0xF80000, 0x00FC00, 0x0000F8}));

  // A negative destination pitch writes the rows upward from the first.
  DWORD flipped[4] = {};
  ASSERT_TRUE(Slots().HOST_CopyBitmapData(&kRgb32, flipped + 2, -8, &kRgb565, colours, 4, 2, 2, nullptr));
  EXPECT_EQ(std::vector<DWORD>(flipped, flipped + 4), (std::vector<DWORD>{0x00FC00, 0x0000F8, 0xF8FCF8, 0xF80000}));

  // Indices through the caller's palette (entries 0x00BBGGRR), two 4-bit
  // pixels a byte, high nibble first.
  std::vector<DWORD> palette(16, 0);
  palette[1] = 0x000000FF;  // red
  palette[2] = 0x00FF0000;  // blue
  const BYTE indices[1] = {0x12};
  DWORD out[2] = {};
  ASSERT_TRUE(Slots().HOST_CopyBitmapData(&kRgb32, out, 8, &kIndexed4, indices, 1, 2, 1, palette.data()));
  EXPECT_EQ(out[0], 0xFF0000u);
  EXPECT_EQ(out[1], 0x0000FFu);
}

// A 2 x 2 24-bit BMP, bottom-up as BMP files are: blue, green above red,
// white.
std::string TinyBmp() {
  const unsigned char bytes[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                      // file header
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,        // size, width, height, planes, bits
      16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,         // data size, resolution, colours
      0, 0, 255, 255, 255, 255, 0, 0,                                      // bottom row: red, white, padding
      255, 0, 0, 0, 255, 0, 0, 0,                                          // top row: blue, green, padding
  };
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// A 1 x 1 32-bit BMP whose red mask is two runs of bits: readable, but
// no conversion can move such a channel.
std::string SplitMaskBmp() {
  const unsigned char bytes[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,                      // file header
      40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32, 0, 3, 0, 0, 0,        // 1 x 1, 32 bits, bit fields
      4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // data size, resolution, colours
      0, 0, 0x0F, 0x0F, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0,                      // red, green, blue masks
      0x11, 0x22, 0x33, 0x44,                                              // the pixel
  };
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(BitmapSlots, APictureWhoseFormatCannotBeConvertedIsRefusedWithItsText) {
  const std::string path = twltest::MakeTempDir("split") + "/split.bmp";
  twltest::WriteFile(path, SplitMaskBmp());
  DWORD pixel = 0x12345678;
  EXPECT_FALSE(Slots().HOST_LoadBitmapData(path.c_str(), &kRgb32, &pixel, 4, 1, 1));
  EXPECT_EQ(Slots().HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_GENERAL));
  EXPECT_STREQ(Slots().HOST_GetErrorText(), "Unable to load bitmap data. The bitmap format is not supported.");
  EXPECT_EQ(pixel, 0x12345678u);
}

TEST(BitmapSlots, APictureLoadsIntoTheHostHeapWithItsFormatAndRowOrder) {
  const std::string path = twltest::MakeTempDir("bmp") + "/tiny.bmp";
  twltest::WriteFile(path, TinyBmp());
  DDPIXELFORMAT format{};
  void* bits = nullptr;
  int32_t pitch = 0, width = 0, height = 0;
  ASSERT_TRUE(Slots().HOST_LoadBitmap(path.c_str(), &format, &bits, &pitch, &width, &height))
      << Slots().HOST_GetErrorText();
  EXPECT_EQ(format.dwSize, 32u);
  EXPECT_EQ(format.dwRGBBitCount, 24u);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(pitch, -8) << "bottom-up rows";
  const auto* bytes = static_cast<const BYTE*>(bits);
  EXPECT_EQ(std::memcmp(bytes, "\0\0\xFF\xFF\xFF\xFF", 6), 0) << "the block starts with the bottom row";
  Slots().HOST_Free(bits);

  DWORD pixels[4] = {};
  ASSERT_TRUE(Slots().HOST_LoadBitmapData(path.c_str(), &kRgb32, pixels, 8, 2, 2));
  EXPECT_EQ(std::vector<DWORD>(pixels, pixels + 4), (std::vector<DWORD>{0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}))
      << "top row first";

  EXPECT_FALSE(Slots().HOST_LoadBitmapData(path.c_str(), &kIndexed8, pixels, 8, 2, 2));
  EXPECT_EQ(Slots().HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
  EXPECT_FALSE(Slots().HOST_LoadBitmapData(path.c_str(), &kRgb32, pixels, 8, 2, 3));
  EXPECT_STREQ(Slots().HOST_GetErrorText(),
               "Unable to load bitmap data. The actual bitmap size does not match the expected bitmap size.");
  EXPECT_FALSE(Slots().HOST_LoadBitmap((path + ".missing").c_str(), &format, &bits, &pitch, &width, &height));
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(Slots().HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_STREAM));
}

}  // namespace
