// The single-image GIF reader: depths, palettes, interlacing, the blocks
// before the image, and files it does not take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"

using namespace readertest;

namespace {

std::vector<DWORD> Palette(size_t count) {
  std::vector<DWORD> entries;
  for (size_t i = 0; i < count; ++i) entries.push_back(static_cast<DWORD>(0x00010203 * (i + 1)));
  return entries;
}

std::vector<BYTE> Ramp(size_t count, DWORD colors) {
  std::vector<BYTE> indices;
  for (size_t i = 0; i < count; ++i) indices.push_back(static_cast<BYTE>((i * 7 + i / 5) % colors));
  return indices;
}

TEST(GIFReader, TheColourTableSizeGivesTheDepthAndPixelsKeepTheirIndices) {
  struct {
    size_t colors;
    DWORD depth;
    DWORD flags;
  } cases[] = {{2, 1, 0x840}, {4, 2, 0x1040}, {8, 4, 0x48}, {16, 4, 0x48}, {32, 8, 0x60}, {256, 8, 0x60}};
  const WORD width = 13, height = 5;
  for (const auto& c : cases) {
    const std::vector<BYTE> indices = Ramp(width * height, static_cast<DWORD>(c.colors));
    GIFWriter gif(width, height, Palette(c.colors));
    gif.Add(GIFWriter::Image(width, height, indices)).Trailer();
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(gif.Bytes(), bitmap, Reader::kGIF);
    ASSERT_TRUE(outcome.loaded) << c.colors << ": " << Describe(outcome);
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, c.depth) << c.colors;
    EXPECT_EQ(bitmap.GetFormat().flags, c.flags) << c.colors;
    EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), c.colors) << c.colors;
    EXPECT_TRUE(bitmap.IsTopDown());
    EXPECT_EQ(bitmap.GetWidth(), width);
    EXPECT_EQ(bitmap.GetHeight(), height);
    for (DWORD y = 0; y < height; ++y)
      for (DWORD x = 0; x < width; ++x)
        ASSERT_EQ(PixelAt(bitmap, x, y), indices[y * width + x]) << c.colors << " colours at " << x << "," << y;
    EXPECT_EQ(ColorAt(bitmap, 1, 0), Palette(c.colors)[indices[1]]);
  }
}

TEST(GIFReader, SixteenColoursPutTheFirstPixelOfEachRowInTheHighNibble) {
  GIFWriter gif(3, 2, Palette(16));
  gif.Add(GIFWriter::Image(3, 2, {0xA, 0xB, 0xC, 0x1, 0x2, 0x3})).Trailer();
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(gif.Bytes(), bitmap, Reader::kGIF).loaded);
  const BYTE* pixels = bitmap.GetPixels();
  EXPECT_EQ(pixels[0], 0xAB);
  EXPECT_EQ(pixels[1], 0xC0);
  EXPECT_EQ(pixels[4], 0x12);
  EXPECT_EQ(pixels[5], 0x30);
  EXPECT_EQ(pixels[2], 0) << "padding";
}

TEST(GIFReader, InterlacedRowsArriveInFourPasses) {
  const WORD height = 10;
  std::vector<BYTE> indices;
  // Stream row k holds the value k in every pixel.
  for (DWORD k = 0; k < height; ++k) indices.insert(indices.end(), 3, static_cast<BYTE>(k));
  GIFWriter gif(3, height, Palette(16));
  gif.Add(GIFWriter::Image(3, height, indices).Interlaced()).Trailer();
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(gif.Bytes(), bitmap, Reader::kGIF).loaded);
  const DWORD rowOfStreamRow[height] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  for (DWORD k = 0; k < height; ++k) EXPECT_EQ(PixelAt(bitmap, 2, rowOfStreamRow[k]), k) << "stream row " << k;
}

TEST(GIFReader, IndicesAreCutToTheColourTableBits) {
  // A code size of 8 over a 4-colour table: index 0xFE shows colour 2.
  GIFWriter gif(2, 1, Palette(4));
  gif.Add(GIFWriter::Image(2, 1, {0xFE, 0x03}).CodeSize(8)).Trailer();
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(gif.Bytes(), bitmap, Reader::kGIF).loaded);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), 2u);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), 3u);
}

TEST(GIFReader, ExtensionsArePassedOverAndALocalTableReplacesTheGlobalOne) {
  GIFWriter gif(2, 1, Palette(2));
  gif.Extension(0xFE, "a comment")
      .GraphicControl(2, 10, 1)
      .Extension(0xFF, std::string(300, 'x'))
      .Add(GIFWriter::Image(2, 1, {2, 1}).Local({0x00AA0000, 0x0000BB00, 0x000000CC, 0}))
      .Add(GIFWriter::Image(2, 1, {0, 0}))
      .Trailer();
  CDIBitmap bitmap;
  const Outcome outcome = LoadBytes(gif.Bytes(), bitmap, Reader::kGIF);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 2u);
  EXPECT_EQ(ColorAt(bitmap, 0, 0), 0x000000CCu);
  EXPECT_EQ(ColorAt(bitmap, 1, 0), 0x0000BB00u);
  EXPECT_FALSE(bitmap.HasColorKey()) << "the graphic control plays no part";
}

TEST(GIFReader, TheImagePositionAndScreenSizePlayNoPart) {
  GIFWriter gif(100, 80, Palette(2));
  gif.Add(GIFWriter::Image(2, 1, {1, 0}).At(50, 40)).Trailer();
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(gif.Bytes(), bitmap, Reader::kGIF).loaded);
  EXPECT_EQ(bitmap.GetWidth(), 2u);
  EXPECT_EQ(bitmap.GetHeight(), 1u);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), 1u);
}

TEST(GIFReader, DataShortOfThePixelsLeavesTheRestZeroAndSurplusDataIsDropped) {
  for (const size_t count : {size_t{4}, size_t{40}}) {
    GIFWriter gif(3, 3, Palette(16));
    gif.Add(GIFWriter::Image(3, 3, Ramp(count, 15))).Trailer();
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(gif.Bytes(), bitmap, Reader::kGIF);
    ASSERT_TRUE(outcome.loaded) << count << ": " << Describe(outcome);
    const std::vector<BYTE> ramp = Ramp(count, 15);
    for (DWORD i = 0; i < 9; ++i)
      EXPECT_EQ(PixelAt(bitmap, i % 3, i / 3), i < count ? ramp[i] : 0u) << count << " indices, pixel " << i;
  }
}

TEST(GIFReader, BadFilesFailWithTheirErrorAndLeaveTheBitmapEmpty) {
  const std::string image = GIFWriter(2, 1, Palette(2)).Add(GIFWriter::Image(2, 1, {1, 0})).Trailer().Bytes();
  const size_t header = 13 + 6;  // header, screen, 2-entry table
  struct {
    const char* fault;
    std::string file;
    const char* errorClass;
    DWORD code;
    const char* text;
  } cases[] = {
      {"signature in lower case", "gif" + image.substr(3), "CStreamError", 14, nullptr},
      {"signature cut short", image.substr(0, 2), "CStreamError", 8, nullptr},
      {"screen descriptor cut short", image.substr(0, 10), "CStreamError", 8, nullptr},
      {"colour table cut short", image.substr(0, 15), "CStreamError", 8, nullptr},
      {"no image", image.substr(0, header), "CStreamError", 8, nullptr},
      {"trailer before the image", image.substr(0, header) + ";", "CError", 0,
       "Unsupported file format: 'memfile://'"},
      {"extension cut short", image.substr(0, header) + "!\xFE\x05" "ab", "CStreamError", 8, nullptr},
      {"image descriptor cut short", image.substr(0, header + 6), "CStreamError", 8, nullptr},
      {"image data cut short", image.substr(0, image.size() - 3), "CStreamError", 8, nullptr},
      {"no colour table", GIFWriter(2, 1).Add(GIFWriter::Image(2, 1, {1, 0})).Bytes(), "CError", 0,
       "Unsupported file format: 'memfile://'"},
      {"minimum code size 0",
       GIFWriter(1, 1, Palette(2)).Add(GIFWriter::Image(1, 1).CodeSize(0).Data(PackCodes({{2, 2}, {3, 2}}))).Bytes(),
       "CStreamError", 14, nullptr},
      {"minimum code size 9",
       GIFWriter(1, 1, Palette(2)).Add(GIFWriter::Image(1, 1).CodeSize(9).Data(std::string("\x00\x02", 2))).Bytes(),
       "CStreamError", 14, nullptr},
      {"a code beyond the next entry",
       GIFWriter(1, 1, Palette(2)).Add(GIFWriter::Image(1, 1).CodeSize(2).Data(PackCodes({{4, 3}, {7, 3}}))).Bytes(),
       "CStreamError", 14, nullptr},
      // Pictures without a column or a row, as for BMP files.
      {"width 0", GIFWriter(2, 1, Palette(2)).Add(GIFWriter::Image(0, 5)).Trailer().Bytes(), "CStreamError", 14,
       nullptr},
      {"height 0", GIFWriter(2, 1, Palette(2)).Add(GIFWriter::Image(5, 0)).Trailer().Bytes(), "CStreamError", 14,
       nullptr},
      // The code size byte, then at once the empty sub-block.
      {"image data without any sub-block",
       image.substr(0, header) + std::string(",\0\0\0\0\x02\0\x01\0\0\x02\0;", 13), "CStreamError", 14, nullptr},
  };
  // GIFWriter picks a code size of at least 2 for 0; write the 0 itself.
  cases[10].file[13 + 6 + 10] = 0;
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(c.file, bitmap, Reader::kGIF);
    EXPECT_EQ(outcome.errorClass, c.errorClass) << c.fault << ": " << Describe(outcome);
    EXPECT_EQ(outcome.code, c.code) << c.fault;
    if (c.text) {
      EXPECT_EQ(outcome.text, c.text) << c.fault;
    }
    EXPECT_FALSE(bitmap.HasPixels()) << c.fault;
  }
}

}  // namespace
