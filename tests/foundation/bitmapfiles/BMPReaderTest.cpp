// The BMP reader: which files it takes, the formats it gives, and how it
// fails on files it does not take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"

using namespace readertest;

namespace {

const std::vector<DWORD> kTwoColors = {0x00FF0000, 0x0000FF00};

// A bitmap of `bits` per pixel, 3 x 2, with a table fitting the depth and
// zero pixels.
BMPLayout Layout(WORD bits, DWORD compression) {
  BMPLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.bits = bits;
  layout.compression = compression;
  if (bits <= 8) layout.table = Quads(std::vector<DWORD>(size_t{1} << bits, 0x00102030));
  if (bits == 16 || bits == 32) {
    Put32(layout.table, bits == 16 ? 0xF800 : 0xFF0000);
    Put32(layout.table, bits == 16 ? 0x7E0 : 0xFF00);
    Put32(layout.table, bits == 16 ? 0x1F : 0xFF);
  }
  if (compression == 1 || compression == 2) {
    layout.pixels = std::string("\0\0\0\0\0\1", 6);  // two empty lines, end
    layout.sizeImage = 6;
  } else {
    const DWORD stride = ((3 * bits + 31) / 32) * 4;
    layout.pixels.assign(2 * stride, '\0');
  }
  return layout;
}

const char* const kUnsupported = "Unsupported file format: 'memfile://'";

TEST(BMPReader, BitCountsGoWithTheirCompressionsOnly) {
  struct {
    WORD bits;
    DWORD compression;
    bool loads;
  } cases[] = {
      {1, 0, true},   {2, 0, true},   {4, 0, true},   {8, 0, true},   {24, 0, true},  {16, 3, true},
      {32, 3, true},  {8, 1, true},   {4, 2, true},   {16, 0, false}, {32, 0, false}, {24, 3, false},
      {8, 3, false},  {8, 2, false},  {4, 1, false},  {24, 1, false}, {1, 1, false},  {8, 4, false},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeBMP(Layout(c.bits, c.compression)), bitmap, Reader::kBMP);
    const std::string name = std::to_string(c.bits) + " bits, compression " + std::to_string(c.compression);
    EXPECT_EQ(outcome.loaded, c.loads) << name << ": " << Describe(outcome);
    if (c.loads) {
      EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, c.bits) << name;
      EXPECT_EQ(bitmap.GetWidth(), 3u) << name;
      EXPECT_EQ(bitmap.GetHeight(), 2u) << name;
    } else {
      EXPECT_EQ(outcome.text, kUnsupported) << name;
      EXPECT_FALSE(bitmap.HasPixels()) << name;
    }
  }
}

TEST(BMPReader, UnknownBitCountsAndPlanesOtherThanOneAreUnsupported) {
  struct {
    const char* name;
    BMPLayout layout;
    const char* caption;
  } cases[] = {
      {"3 bits", Layout(8, 0), "Bitmap error"},
      {"2 planes", Layout(8, 0), "Bitmap error"},
  };
  cases[0].layout.bits = 3;
  cases[1].layout.planes = 2;
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeBMP(c.layout), bitmap, Reader::kBMP);
    EXPECT_EQ(outcome.errorClass, "CError") << c.name;
    EXPECT_EQ(outcome.caption, c.caption) << c.name;
    EXPECT_EQ(outcome.text, kUnsupported) << c.name;
  }
}

TEST(BMPReader, FormatsFollowTheBitCount) {
  struct {
    WORD bits;
    DWORD flags;
    DWORD red, green, blue;
  } cases[] = {
      {1, 0x840, 0, 0, 0},           {2, 0x1040, 0, 0, 0},          {4, 0x48, 0, 0, 0},
      {8, 0x60, 0, 0, 0},            {16, 0x40, 0xF800, 0x7E0, 0x1F}, {24, 0x40, 0xFF0000, 0xFF00, 0xFF},
      {32, 0x40, 0xFF0000, 0xFF00, 0xFF},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeBMP(Layout(c.bits, c.bits == 16 || c.bits == 32 ? 3 : 0)), bitmap, Reader::kBMP);
    ASSERT_TRUE(outcome.loaded) << c.bits << ": " << Describe(outcome);
    const CPixelFormat& format = bitmap.GetFormat();
    EXPECT_EQ(format.flags, c.flags) << c.bits;
    EXPECT_EQ(format.redMask, c.red) << c.bits;
    EXPECT_EQ(format.greenMask, c.green) << c.bits;
    EXPECT_EQ(format.blueMask, c.blue) << c.bits;
    EXPECT_EQ(format.alphaMask, 0u) << c.bits;
    EXPECT_FALSE(bitmap.IsTopDown()) << c.bits;
  }
}

TEST(BMPReader, PixelsKeepTheirRowsAndNegativeHeightsLoadTopDown) {
  for (const bool topDown : {false, true}) {
    BMPLayout layout;
    layout.width = 2;
    layout.height = topDown ? -2 : 2;
    layout.bits = 8;
    layout.table = Quads({0x000000FF, 0x0000FF00, 0x00FF0000});
    layout.colorsUsed = 3;
    // Memory row 0, then row 1, each padded to 4 bytes.
    layout.pixels = std::string("\x01\x02\0\0\x02\x00\0\0", 8);
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP);
    ASSERT_TRUE(outcome.loaded) << Describe(outcome);
    EXPECT_EQ(bitmap.IsTopDown(), topDown);
    const DWORD top = topDown ? 0 : 1;  // the image row that memory row 0 shows
    EXPECT_EQ(ColorAt(bitmap, 0, top), 0x0000FF00u);
    EXPECT_EQ(ColorAt(bitmap, 1, top), 0x00FF0000u);
    EXPECT_EQ(ColorAt(bitmap, 0, 1 - top), 0x00FF0000u);
    EXPECT_EQ(ColorAt(bitmap, 1, 1 - top), 0x000000FFu);
  }
}

TEST(BMPReader, ThirtyTwoBitsWithBitFieldsTakeTheMasksFromTheFile) {
  BMPLayout layout = Layout(32, 3);
  layout.table.clear();
  Put32(layout.table, 0xFF);
  Put32(layout.table, 0xFF00);
  Put32(layout.table, 0xFF0000);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP).loaded);
  EXPECT_EQ(bitmap.GetFormat().redMask, 0xFFu);
  EXPECT_EQ(bitmap.GetFormat().blueMask, 0xFF0000u);
}

TEST(BMPReader, AShortPaletteKeepsItsCountAndIndicesBeyondItShowBlack) {
  BMPLayout layout;
  layout.width = 2;
  layout.bits = 8;
  layout.colorsUsed = 2;
  layout.table = Quads(kTwoColors);
  layout.pixels = std::string("\x01\xFF\0\0", 4);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP).loaded);
  ASSERT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 2u);
  EXPECT_EQ(ShownColorAt(bitmap, 0, 0), kTwoColors[1]);
  EXPECT_EQ(ShownColorAt(bitmap, 1, 0), 0u);
}

// What a file lists is what later code sees: colour collection for the
// 256-colour palette marks no colour the file does not have, and the
// information block handed to plug-ins says how many colours it has.
TEST(BMPReader, AShortPaletteReachesColourCollectionAndTheBitmapInfoAsRead) {
  BMPLayout layout;
  layout.width = 2;
  layout.bits = 8;
  layout.colorsUsed = 2;
  layout.table = Quads({0x000000FF, 0x00FFFFFF});  // red and white, no black
  layout.pixels = std::string("\x01\x00\0\0", 4);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP).loaded);

  CColorTable table;
  table.Setup(5, 6, 5, 16);
  bitmap.CollectColors(table, false);
  std::vector<DWORD> marked;
  for (DWORD position = table.FindFirstUsed(); position != 0;) {
    DWORD index = 0, value = 0;
    table.GetNextUsed(position, index, value);
    marked.push_back(index);
  }
  EXPECT_EQ(marked, (std::vector<DWORD>{0x1F, 0xFFFF})) << "red and white cells only";

  ASSERT_TRUE(bitmap.BuildBitmapInfo());
  const BYTE* info = bitmap.GetBitmapInfo();
  EXPECT_EQ(info[32] | info[33] << 8 | info[34] << 16 | info[35] << 24, 2) << "biClrUsed";
}

TEST(BMPReader, ThePixelsStartAtTheirOffsetWhateverLiesBetween) {
  BMPLayout layout;
  layout.bits = 24;
  layout.offBits = 54 + 10;
  layout.pixels = std::string("\x01\x02\x03\0", 4);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP).loaded);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), 0x030201u);
}

// Most writers now use the longer headers (108 and 124 bytes, ImageMagick
// by default): the palette follows the whole header. What lies in the
// header's tail here is what ImageMagick puts there: colour masks and the
// colour space.
TEST(BMPReader, ThePaletteFollowsAnInformationHeaderOfAnyLength) {
  const std::vector<DWORD> palette = {0x00000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
  for (const DWORD headerSize : {40u, 52u, 56u, 108u, 124u}) {
    for (const WORD bits : {1, 4, 8}) {
      BMPLayout layout;
      layout.width = 2;
      layout.bits = bits;
      for (const DWORD mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        if (layout.headerTail.size() + 4 <= headerSize - 40) Put32(layout.headerTail, mask);
      if (layout.headerTail.size() + 4 <= headerSize - 40) layout.headerTail += "BGRs";
      layout.headerTail.resize(headerSize - 40, '\0');
      layout.colorsUsed = bits == 1 ? 2 : 4;
      layout.table = Quads(std::vector<DWORD>(palette.begin(), palette.begin() + layout.colorsUsed));
      // Pixel values 1 and the last listed colour.
      const BYTE last = static_cast<BYTE>(layout.colorsUsed - 1);
      layout.pixels = std::string(1, static_cast<char>(bits == 8 ? 1 : (1 << (8 - bits)) | last << (8 - 2 * bits)));
      if (bits == 8) layout.pixels += static_cast<char>(last);
      layout.pixels.resize(4, '\0');
      const std::string name = std::to_string(headerSize) + "-byte header, " + std::to_string(bits) + " bits";
      CDIBitmap bitmap;
      const Outcome outcome = LoadBytes(MakeBMP(layout), bitmap, Reader::kBMP);
      ASSERT_TRUE(outcome.loaded) << name << ": " << Describe(outcome);
      EXPECT_EQ(ColorAt(bitmap, 0, 0), palette[1]) << name;
      EXPECT_EQ(ColorAt(bitmap, 1, 0), palette[last]) << name;
    }
  }
}

TEST(BMPReader, BadFilesFailWithTheirErrorAndLeaveTheBitmapEmpty) {
  struct {
    const char* fault;
    BMPLayout layout;
    size_t cutTo;  // 0: the whole file
    const char* errorClass;
    DWORD code;
    const char* text;
  } cases[] = {
      {"header cut short", Layout(24, 0), 40, "CStreamError", 8, nullptr},
      {"palette cut short", Layout(8, 0), 54 + 100, "CStreamError", 8, nullptr},
      {"masks cut short", Layout(16, 3), 60, "CStreamError", 8, nullptr},
      {"pixels cut short", Layout(24, 0), 54 + 10, "CStreamError", 8, nullptr},
      {"RLE data cut short", Layout(8, 1), 54 + 1024 + 3, "CStreamError", 8, nullptr},
      {"pixel offset inside the palette", Layout(8, 0), 0, "CError", 0, kUnsupported},
      {"RLE without a data size", Layout(8, 1), 0, "CError", 0, kUnsupported},
      {"more colours than the depth can index", Layout(4, 0), 0, "CError", 0, kUnsupported},
      {"colour count 0xFFFFFFFF", Layout(8, 0), 0, "CError", 0, kUnsupported},
      {"width 0", Layout(24, 0), 0, "CStreamError", 14, nullptr},
      {"negative width", Layout(24, 0), 0, "CStreamError", 14, nullptr},
      {"height 0", Layout(24, 0), 0, "CStreamError", 14, nullptr},
      {"malformed RLE data", Layout(8, 1), 0, "CStreamError", 14, nullptr},
      {"rows too large for memory", Layout(32, 3), 0, "CError", 0, "The bitmap is too large."},
  };
  cases[5].layout.offBits = 54 + 16;
  cases[6].layout.sizeImage = 0;
  cases[7].layout.colorsUsed = 17;
  cases[8].layout.colorsUsed = 0xFFFFFFFF;
  cases[9].layout.width = 0;
  cases[10].layout.width = -3;
  cases[11].layout.height = 0;
  cases[12].layout.pixels = std::string("\x05\x01\0\0\0\1", 6);  // a run of 5 in a row of 3 pixels and 1 padding byte
  cases[13].layout.width = 0x20000000;
  cases[13].layout.height = 0x20000000;
  for (const auto& c : cases) {
    std::string file = MakeBMP(c.layout);
    if (c.cutTo) file.resize(c.cutTo);
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(file, bitmap, Reader::kBMP);
    EXPECT_EQ(outcome.errorClass, c.errorClass) << c.fault << ": " << Describe(outcome);
    EXPECT_EQ(outcome.code, c.code) << c.fault;
    if (c.text) {
      EXPECT_EQ(outcome.text, c.text) << c.fault;
    }
    EXPECT_FALSE(bitmap.HasPixels()) << c.fault;
  }
}

TEST(BMPReader, AnInformationHeaderReachingPastThePixelsIsUnsupported) {
  BMPLayout layout = Layout(8, 0);
  std::string file = MakeBMP(layout);
  for (const DWORD headerSize : {1100u, 0xFFFFFFF0u}) {
    for (int i = 0; i < 4; ++i) file[14 + i] = static_cast<char>(headerSize >> (8 * i));
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(file, bitmap, Reader::kBMP);
    EXPECT_EQ(outcome.text, kUnsupported) << headerSize << ": " << Describe(outcome);
    EXPECT_FALSE(bitmap.HasPixels());
  }
}

TEST(BMPReader, AFailedLoadEmptiesABitmapThatHeldPixels) {
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeBMP(Layout(24, 0)), bitmap, Reader::kBMP).loaded);
  std::string cut = MakeBMP(Layout(24, 0));
  cut.resize(60);
  EXPECT_FALSE(LoadBytes(cut, bitmap, Reader::kBMP).loaded);
  EXPECT_FALSE(bitmap.HasPixels());
  EXPECT_EQ(bitmap.GetWidth(), 0u);
}

}  // namespace
