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
    XTRMPICSpec spec;
    spec.bits = bits;
    spec.width = 2;
    spec.height = 2;
    spec.padding = 2;
    spec.paletteCount = 3;
    spec.palette = {0x000000FF, 0x0000FF00, 0x00FF0000};
    spec.dataSize = 8;
    spec.data = std::string("\x01\x02\0\0\x02\x00\0\0", 8);  // bottom row first
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(MakeXTRMPIC(spec), bitmap, Reader::kXTRMPIC);
    ASSERT_TRUE(outcome.loaded) << int{bits} << ": " << Describe(outcome);
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 8u);
    EXPECT_EQ(bitmap.GetFormat().flags, 0x60u);
    EXPECT_FALSE(bitmap.IsTopDown());
    EXPECT_EQ(bitmap.GetRowPadding(), 2u);
    EXPECT_EQ(ColorAt(bitmap, 0, 1), 0x0000FF00u);
    EXPECT_EQ(ColorAt(bitmap, 1, 1), 0x00FF0000u);
    EXPECT_EQ(ColorAt(bitmap, 1, 0), 0x000000FFu);
    // Padded to 256 entries, so that no byte value reads outside it.
    EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 256u);
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
      XTRMPICSpec spec;
      spec.bits = c.bits;
      spec.padding = 0;
      spec.dataSize = c.bits / 8;
      spec.data = std::string(c.bits / 8, '\x11');
      spec.hasPalette = withPalette;
      spec.withPaletteCount = withPalette;
      spec.paletteCount = 2;
      spec.palette = withPalette ? std::vector<DWORD>{1, 2} : std::vector<DWORD>{};
      spec.masks = c.masks;
      CDIBitmap bitmap;
      const Outcome outcome = LoadBytes(MakeXTRMPIC(spec), bitmap, Reader::kXTRMPIC);
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
  XTRMPICSpec spec;
  spec.paletteCount = 300;
  spec.palette.assign(300, 0);
  spec.palette[255] = 0x00ABCDEF;
  spec.data = std::string("\xFF\0\0\0", 4);
  CDIBitmap bitmap;
  ASSERT_TRUE(LoadBytes(MakeXTRMPIC(spec), bitmap, Reader::kXTRMPIC).loaded);
  EXPECT_EQ(bitmap.GetFormat().GetPalette()->GetCount(), 256u);
  EXPECT_EQ(ColorAt(bitmap, 0, 0), 0x00ABCDEFu);
}

TEST(XTRMPICReader, BadFilesFailWithTheirError) {
  struct {
    const char* fault;
    XTRMPICSpec spec;
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
  };
  cases[3].spec.flags = 1;
  cases[4].spec.bits = 12;
  cases[5].spec.bits = 40;
  cases[5].spec.withPaletteCount = false;
  cases[5].spec.palette.clear();
  cases[6].spec.paletteCount = 0;
  cases[6].spec.palette.clear();
  cases[7].spec.width = -1;
  cases[8].spec.height = -5;
  cases[9].spec.dataSize = 5;
  cases[11].spec.width = 0x7FFF;
  cases[11].spec.height = 0x7FFF;
  cases[11].spec.bits = 32;
  cases[11].spec.withPaletteCount = false;
  cases[11].spec.palette.clear();
  cases[11].spec.masks = {0xFF, 0xFF00, 0xFF0000};
  for (auto& c : cases) {
    std::string file = MakeXTRMPIC(c.spec);
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
