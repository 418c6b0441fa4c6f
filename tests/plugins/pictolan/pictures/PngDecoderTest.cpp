// DecodePng on pictures written by libpng: the formats it chooses, the
// samples it keeps, the colour key it makes of tRNS, and its errors.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "plugins/pictolan/pictures/PngDecoder.h"

namespace {

using picturetest::BytesStream;
using picturetest::MakePng;
using picturetest::PngRecipe;

// The decoded bitmap, or a failure with the error's caption and text.
struct PngOutcome {
  bool decoded = false;
  std::string error;
};
PngOutcome DecodePngBytes(const std::string& bytes, CDIBitmap& bitmap) {
  BytesStream stream(bytes);
  PngOutcome outcome;
  try {
    outcome.decoded = pictolan::DecodePng(stream, bitmap);
  } catch (CError* error) {
    outcome.error = IsKindOf<CStreamError>(error)
                        ? "stream error " + std::to_string(static_cast<CStreamError*>(error)->GetCode())
                        : std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
  }
  return outcome;
}

PngRecipe PaletteRecipe(std::vector<uint8_t> transparency) {
  PngRecipe recipe;
  recipe.width = 8;
  recipe.height = 1;
  recipe.colorType = PNG_COLOR_TYPE_PALETTE;
  recipe.depth = 4;
  for (int i = 0; i < 8; ++i) recipe.palette.insert(recipe.palette.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
  recipe.transparency = std::move(transparency);
  recipe.samples = {0, 1, 2, 3, 4, 5, 6, 7};
  return recipe;
}

std::vector<int> FourBitIndices(const CDIBitmap& bitmap) {
  std::vector<int> indices;
  for (DWORD x = 0; x < bitmap.GetWidth(); ++x) indices.push_back((bitmap.GetPixels()[x / 2] >> (x % 2 ? 0 : 4)) & 15);
  return indices;
}

TEST(PngDecoderTest, PaletteTransparencyBecomesOneKeyIndex) {
  struct Row {
    const char* name;
    std::vector<uint8_t> transparency;
    bool keyed;
    DWORD key;
    std::vector<int> indices;
  };
  const Row rows[] = {
      {"indices 3 (alpha 0) and 5 (alpha 64): key 3, every 5 becomes 3", {255, 255, 255, 0, 255, 64}, true, 3,
       {0, 1, 2, 3, 4, 3, 6, 7}},
      {"only index 5 transparent: key 5, nothing rewritten", {255, 255, 255, 255, 255, 64}, true, 5,
       {0, 1, 2, 3, 4, 5, 6, 7}},
      {"equal alphas: the first is the key", {255, 30, 255, 30}, true, 1, {0, 1, 2, 1, 4, 5, 6, 7}},
      {"every alpha 128 or more: no key", {128, 200, 255}, false, 0, {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CDIBitmap bitmap;
    ASSERT_TRUE(DecodePngBytes(MakePng(PaletteRecipe(row.transparency)), bitmap).decoded);
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 4u);
    EXPECT_EQ(bitmap.GetFormat().flags, 0x48u);
    EXPECT_EQ(bitmap.HasColorKey(), row.keyed);
    if (row.keyed) {
      EXPECT_EQ(bitmap.GetColorKey(), row.key);
    }
    EXPECT_EQ(FourBitIndices(bitmap), row.indices);
    ASSERT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 8u);
    EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetEntries()[7], 7u + 14u * 256 + 21u * 65536);
  }
}

TEST(PngDecoderTest, GreyAndTruecolourKeysTakeTheSampleAtThePicturesDepth) {
  struct Row {
    const char* name;
    int colorType;
    int depth;
    uint16_t red, green, blue, grey;
    DWORD key;
  };
  const Row rows[] = {
      // Not black: the low byte is the whole sample at 8 bits.
      {"8-bit grey keys its grey value", PNG_COLOR_TYPE_GRAY, 8, 0, 0, 0, 200, 200},
      {"2-bit grey keys its grey index", PNG_COLOR_TYPE_GRAY, 2, 0, 0, 0, 2, 2},
      {"16-bit grey keys the high byte", PNG_COLOR_TYPE_GRAY, 16, 0, 0, 0, 0xC8FF, 0xC8},
      {"8-bit truecolour keys its colour", PNG_COLOR_TYPE_RGB, 8, 10, 20, 30, 0, 0x1E140A},
      {"16-bit truecolour keys the high bytes", PNG_COLOR_TYPE_RGB, 16, 0x1234, 0x5678, 0x9ABC, 0, 0x9A5612},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PngRecipe recipe;
    recipe.colorType = row.colorType;
    recipe.depth = row.depth;
    recipe.keyColor = true;
    recipe.keyRed = row.red;
    recipe.keyGreen = row.green;
    recipe.keyBlue = row.blue;
    recipe.keyGrey = row.grey;
    recipe.samples.assign(row.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1, 1);
    CDIBitmap bitmap;
    ASSERT_TRUE(DecodePngBytes(MakePng(recipe), bitmap).decoded);
    EXPECT_TRUE(bitmap.HasColorKey());
    EXPECT_EQ(bitmap.GetColorKey(), row.key);
  }
}

TEST(PngDecoderTest, SixteenBitSamplesKeepTheirHighByteAndAlphaIsDropped) {
  PngRecipe recipe;
  recipe.width = 2;
  recipe.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  recipe.depth = 16;
  recipe.samples = {0x12FF, 0x3400, 0x5680, 0x0000, 0xFFFF, 0x0101, 0x8080, 0x7777};
  CDIBitmap bitmap;
  ASSERT_TRUE(DecodePngBytes(MakePng(recipe), bitmap).decoded);
  EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 24u);
  EXPECT_EQ(bitmap.GetFormat().redMask, 0xFFu);
  EXPECT_EQ(bitmap.GetBytesPerRow(), 6u);
  const std::vector<BYTE> pixels(bitmap.GetPixels(), bitmap.GetPixels() + 6);
  EXPECT_EQ(pixels, (std::vector<BYTE>{0x12, 0x34, 0x56, 0xFF, 0x01, 0x80}));
  EXPECT_FALSE(bitmap.HasColorKey());
}

TEST(PngDecoderTest, OneBitGreyGetsABlackAndWhitePalette) {
  PngRecipe recipe;
  recipe.width = 3;
  recipe.depth = 1;
  recipe.samples = {1, 0, 1};
  CDIBitmap bitmap;
  ASSERT_TRUE(DecodePngBytes(MakePng(recipe), bitmap).decoded);
  EXPECT_EQ(bitmap.GetFormat().flags, 0x840u);
  const CColorPalette* palette = bitmap.GetFormat().GetPalette();
  ASSERT_EQ(palette->GetCount(), 2u);
  EXPECT_EQ(palette->GetEntries()[0], 0u);
  EXPECT_EQ(palette->GetEntries()[1], 0xFFFFFFu);
  EXPECT_EQ(bitmap.GetPixels()[0] & 0xE0, 0xA0);
}

TEST(PngDecoderTest, AnInterlacedPictureDecodesLikeItsTwin) {
  PngRecipe recipe;
  recipe.width = 13;
  recipe.height = 11;
  recipe.colorType = PNG_COLOR_TYPE_RGB;
  for (int i = 0; i < 13 * 11 * 3; ++i) recipe.samples.push_back(static_cast<uint16_t>(i * 7 % 256));
  CDIBitmap plain;
  CDIBitmap interlaced;
  ASSERT_TRUE(DecodePngBytes(MakePng(recipe), plain).decoded);
  recipe.interlaced = true;
  ASSERT_TRUE(DecodePngBytes(MakePng(recipe), interlaced).decoded);
  ASSERT_EQ(plain.GetDataSize(), interlaced.GetDataSize());
  EXPECT_EQ(0, std::memcmp(plain.GetPixels(), interlaced.GetPixels(), plain.GetDataSize()));
}

TEST(PngDecoderTest, ShortBrokenAndForeignDataEachEndTheirOwnWay) {
  PngRecipe recipe;
  recipe.width = 4;
  recipe.samples.assign(4, 9);
  const std::string whole = MakePng(recipe);
  struct Row {
    const char* name;
    std::string bytes;
    bool decoded;
    std::string error;
  };
  std::string badCrc = whole;
  badCrc[20] ^= 1;  // inside IHDR: its CRC no longer matches
  // A text chunk claiming 64 MiB where the file ends: skipped, not held.
  const std::string hugeText = whole.substr(0, 33) + std::string("\x04\x00\x00\x00tEXtabc", 11);
  const Row rows[] = {
      {"cut after the header", whole.substr(0, 33), false, "Image error: Error decoding PNG image: read error"},
      {"a text chunk claiming more than the file", hugeText, false, "Image error: Error decoding PNG image: read error"},
      {"shorter than the signature", whole.substr(0, 5), false, "stream error 8"},
      {"not a PNG: false without an error", "GIF89a and more bytes", false, ""},
      {"a damaged header", badCrc, false, "Image error: Error decoding PNG image: IHDR: CRC error"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CDIBitmap bitmap;
    const PngOutcome outcome = DecodePngBytes(row.bytes, bitmap);
    EXPECT_EQ(outcome.decoded, row.decoded);
    EXPECT_EQ(outcome.error.rfind(row.error, 0), 0u) << outcome.error;
    if (row.error.empty()) {
      EXPECT_EQ(outcome.error, "");
    }
  }
}

}  // namespace
