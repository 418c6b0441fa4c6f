// The XTRMPIC reader: the library's own picture format, read through a
// storage archive.
#include <gtest/gtest.h>

#include <string>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"

using namespace readertest;

namespace {

TEST(XTRMPICReader, PalettizedFilesOfAnyDepthUpToEightLoadAsEightBitsPerPixel) {
  for (const BYTE bits : {1, 4, 8}) {
    XTRMPICLayout layout;
    layout.bits = bits;
    layout.width = 2;
    layout.height = 2;
    layout.padding = 2;
    layout.paletteCount = 3;
    layout.palette = {0x000000FF, 0x0000FF00, 0x00FF0000};
    layout.dataSize = 8;
    layout.data = std::string("\x01\x02\0\0\x02\x00\0\0", 8);  // bottom row first
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeXTRMPIC(layout), bitmap, Reader::kXTRMPIC);
    ASSERT_TRUE(outcome.loaded) << int{bits} << ": " << Describe(outcome);
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 8u);
    EXPECT_EQ(bitmap.GetFormat().flags, 0x60u);
    EXPECT_FALSE(bitmap.IsTopDown());
    EXPECT_EQ(bitmap.GetRowPadding(), 2u);
    EXPECT_EQ(ColorAt(bitmap, 0, 1), 0x0000FF00u);
    EXPECT_EQ(ColorAt(bitmap, 1, 1), 0x00FF0000u);
    EXPECT_EQ(ColorAt(bitmap, 1, 0), 0x000000FFu);
    // The entries the file lists, as many as it lists.
    EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 3u);
  }
}

TEST(XTRMPICReader, DirectColourFilesTakeTheirMasksAndPassOverAPalette) {
  struct {
    BYTE bits;
    std::vector<DWORD> masks;
    DWORD red, green, blue;
  } cases[] = {
      {16, {0x7C00, 0x3E0, 0x1F}, 0x7C00, 0x3E0, 0x1F},
      {24, {}, 0xFF0000, 0xFF00, 0xFF},
      {32, {0xFF, 0xFF00, 0xFF0000}, 0xFF, 0xFF00, 0xFF0000},
  };
  for (const auto& c : cases) {
    for (const BYTE withPalette : {0, 1}) {
      XTRMPICLayout layout;
      layout.bits = c.bits;
      layout.padding = 0;
      layout.dataSize = c.bits / 8;
      layout.data = std::string(c.bits / 8, '\x11');
      layout.hasPalette = withPalette;
      layout.withPaletteCount = withPalette;
      layout.paletteCount = 2;
      layout.palette = withPalette ? std::vector<DWORD>{1, 2} : std::vector<DWORD>{};
      layout.masks = c.masks;
      CDIBitmap bitmap;
      const Outcome outcome = LoadBytes(MakeXTRMPIC(layout), bitmap, Reader::kXTRMPIC);
      ASSERT_TRUE(outcome.loaded) << int{c.bits} << ": " << Describe(outcome);
      EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, c.bits);
      EXPECT_EQ(bitmap.GetFormat().flags, 0x40u);
      EXPECT_EQ(bitmap.GetFormat().redMask, c.red);
      EXPECT_EQ(bitmap.GetFormat().greenMask, c.green);
      EXPECT_EQ(bitmap.GetFormat().blueMask, c.blue);
      EXPECT_EQ(PixelAt(bitmap, 0, 0), 0x11111111u & ((uint64_t{1} << c.bits) - 1));
    }
  }
}

TEST(XTRMPICReader, APaletteOfMoreThan256EntriesKeepsTheIndexableOnes) {
  XTRMPICLayout layout;
  layout.paletteCount = 300;
  layout.palette.assign(300, 0);
  layout.palette[255] = 0x00ABCDEF;
  layout.data = std::string("\xFF\0\0\0", 4);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeXTRMPIC(layout), bitmap, Reader::kXTRMPIC).loaded);
  EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 256u);
  EXPECT_EQ(ColorAt(bitmap, 0, 0), 0x00ABCDEFu);
}

TEST(XTRMPICReader, BadFilesFailWithTheirError) {
  struct {
    const char* fault;
    XTRMPICLayout layout;
    size_t cutTo;
    const char* errorClass;
    DWORD code;
  } cases[] = {
      {"wrong magic", {}, 0, "CStreamError", 14},
      {"magic cut short", {}, 5, "CStreamError", 8},
      {"header cut short", {}, 12, "CStorageError", 2},
      {"flags bit 0 set", {}, 0, "CError", 0},
      {"12 bits per pixel", {}, 0, "CStreamError", 14},
      {"40 bits per pixel", {}, 0, "CStreamError", 14},
      {"palette count 0", {}, 0, "CStreamError", 14},
      {"negative width", {}, 0, "CStreamError", 14},
      {"negative height", {}, 0, "CStreamError", 14},
      {"data size other than the rows'", {}, 0, "CStreamError", 14},
      {"data cut short", {}, 31, "CStorageError", 2},
      {"rows too large for memory", {}, 0, "CError", 0},
      {"width 0", {}, 0, "CStreamError", 14},
      {"height 0", {}, 0, "CStreamError", 14},
      {"width and height 0", {}, 0, "CStreamError", 14},
  };
  cases[3].layout.flags = 1;
  cases[4].layout.bits = 12;
  cases[5].layout.bits = 40;
  cases[5].layout.withPaletteCount = false;
  cases[5].layout.palette.clear();
  cases[6].layout.paletteCount = 0;
  cases[6].layout.palette.clear();
  cases[7].layout.width = -1;
  cases[8].layout.height = -5;
  cases[9].layout.dataSize = 5;
  cases[11].layout.width = 0x7FFF;
  cases[11].layout.height = 0x7FFF;
  cases[11].layout.bits = 32;
  cases[11].layout.withPaletteCount = false;
  cases[11].layout.palette.clear();
  cases[11].layout.masks = {0xFF, 0xFF00, 0xFF0000};
  // Sizes of zero describe no picture, whatever data size comes with them.
  cases[12].layout.width = 0;
  cases[12].layout.height = 5;
  cases[12].layout.padding = 0;
  cases[12].layout.dataSize = 0;
  cases[12].layout.data.clear();
  cases[13].layout.height = 0;
  cases[13].layout.dataSize = 0;
  cases[13].layout.data.clear();
  cases[14].layout.width = 0;
  cases[14].layout.height = 0;
  cases[14].layout.dataSize = 0;
  cases[14].layout.data.clear();
  for (auto& c : cases) {
    std::string file = MakeXTRMPIC(c.layout);
    if (std::string(c.fault) == "wrong magic") file[3] = 'X';
    if (c.cutTo) file.resize(c.cutTo);
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(file, bitmap, Reader::kXTRMPIC);
    EXPECT_EQ(outcome.errorClass, c.errorClass) << c.fault << ": " << Describe(outcome);
    EXPECT_EQ(outcome.code, c.code) << c.fault;
    EXPECT_FALSE(bitmap.HasPixels()) << c.fault;
  }
}

}  // namespace
