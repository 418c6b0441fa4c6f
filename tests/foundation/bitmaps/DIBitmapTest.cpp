#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BitmapTestSupport.h"
#include "foundation/bitmaps/BitmapInfo.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/Error.h"

using namespace bitmaptest;

namespace {

const std::vector<DWORD> kColors = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF};

// Fills a bitmap's rows (memory order) with values.
void SetRows(CDIBitmap& bitmap, const std::vector<std::vector<DWORD>>& rows) {
  const DWORD stride = bitmap.GetBytesPerRow() + bitmap.GetRowPadding();
  std::memset(bitmap.GetPixels(), 0xAB, bitmap.GetDataSize());
  for (size_t y = 0; y < rows.size(); ++y) {
    const std::vector<BYTE> packed = PackRow(bitmap.GetFormat().bitsPerPixel, rows[y]);
    std::memcpy(bitmap.GetPixels() + y * stride, packed.data(), packed.size());
  }
}

std::vector<std::vector<DWORD>> GetRows(const CDIBitmap& bitmap) {
  std::vector<std::vector<DWORD>> rows;
  const DWORD stride = bitmap.GetBytesPerRow() + bitmap.GetRowPadding();
  for (DWORD y = 0; y < bitmap.GetHeight(); ++y)
    rows.push_back(UnpackRow(bitmap.GetFormat().bitsPerPixel, bitmap.GetPixels() + y * stride, bitmap.GetWidth()));
  return rows;
}

template <class F>
std::string ErrorTextOf(F&& action) {
  try {
    action();
  } catch (CError* error) {
    std::string text = error->GetText().c_str();
    DisposeError(error);
    return text;
  }
  return "";
}

TEST(DIBitmap, CreateComputesBytesPerRowAndPadding) {
  struct {
    DWORD width, bits;
    INT padding;
    DWORD bytesPerRow, rowPadding;
  } cases[] = {
      {1, 24, -1, 3, 1}, {9, 1, -1, 2, 2}, {9, 1, 0, 2, 0}, {3, 4, 5, 2, 5}, {10, 16, -1, 20, 0}, {5, 2, -1, 2, 2},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    CPixelFormat format = c.bits < 8 ? Indexed(c.bits, kColors) : Rgb(c.bits, 0, 0, 0);
    bitmap.Create(c.width, 3, c.padding, format, false);
    EXPECT_EQ(bitmap.GetBytesPerRow(), c.bytesPerRow) << c.width << "x" << c.bits;
    EXPECT_EQ(bitmap.GetRowPadding(), c.rowPadding) << c.width << "x" << c.bits;
    EXPECT_EQ(bitmap.GetDataSize(), (c.bytesPerRow + c.rowPadding) * 3);
    EXPECT_FALSE(bitmap.IsTopDown());
  }
}

TEST(DIBitmap, CreateRefusesSizesBeyondThirtyTwoBitsAndKeepsItsPixels) {
  CDIBitmap bitmap;
  bitmap.Create(2, 2, -1, Rgb32(), true);
  const BYTE* pixels = bitmap.GetPixels();
  struct {
    DWORD width, height;
    INT padding;
  } cases[] = {
      {0x80000000, 0x80000000, -1},  // wraps to 0 in 32 bits
      {0xFFFFFFFF, 1, -1},           // one row of 16 GiB
      {65536, 65536, -1},            // 16 GiB
      {1, 1, 0x7FFFFFFF},            // the padding alone
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorTextOf([&] { bitmap.Create(c.width, c.height, c.padding, Rgb32(), true); }),
              "The bitmap is too large.")
        << c.width << "x" << c.height;
  EXPECT_EQ(bitmap.GetPixels(), pixels);
  EXPECT_EQ(bitmap.GetWidth(), 2u);
}

TEST(DIBitmap, FreeLeavesAnEmptyBitmap) {
  CDIBitmap bitmap;
  bitmap.Create(4, 4, -1, Indexed(8, kColors), false);
  bitmap.SetColorKey(3);
  bitmap.SetColorKeyFlag(true);
  CColorPalette* palette = bitmap.GetFormat().GetPalette();
  palette->AddRef();
  EXPECT_EQ(palette->GetReferenceCount(), 2);
  bitmap.Free();
  EXPECT_EQ(palette->GetReferenceCount(), 1) << "the bitmap's reference is released";
  palette->Release();
  EXPECT_FALSE(bitmap.HasPixels());
  EXPECT_EQ(bitmap.GetDataSize(), 0u);
  EXPECT_TRUE(bitmap.IsTopDown());
  EXPECT_FALSE(bitmap.HasColorKey());
  EXPECT_EQ(bitmap.GetColorKey(), 0u);
  EXPECT_EQ(bitmap.GetFormat().GetPalette(), nullptr);
}

TEST(DIBitmap, BottomUpToTopDownReversesTheRowsAndNothingElse) {
  CDIBitmap bitmap;
  bitmap.Create(3, 3, -1, Rgb24(), false);
  SetRows(bitmap, {{0x010203, 0x040506, 0x070809}, {0x111111, 0x222222, 0x333333}, {0xAAAAAA, 0xBBBBBB, 0xCCCCCC}});
  bitmap.ConvertToFormat(Rgb24(), 0, nullptr, 1, -1);
  EXPECT_TRUE(bitmap.IsTopDown());
  EXPECT_EQ(GetRows(bitmap), (std::vector<std::vector<DWORD>>{
                                 {0xAAAAAA, 0xBBBBBB, 0xCCCCCC}, {0x111111, 0x222222, 0x333333},
                                 {0x010203, 0x040506, 0x070809}}));
  EXPECT_EQ(bitmap.GetRowPadding(), 3u);
  EXPECT_EQ(bitmap.GetPixels()[9], 0) << "padding is zero, not left from the allocator";
}

TEST(DIBitmap, ChangingOnlyTheRowPaddingLeavesTheBitmapAsItIs) {
  CDIBitmap bitmap;
  bitmap.Create(3, 2, 0, Rgb24(), true);
  const BYTE* pixels = bitmap.GetPixels();
  bitmap.ChangeFormat(Rgb24(), nullptr, -1, 4);
  EXPECT_EQ(bitmap.GetPixels(), pixels);
  EXPECT_EQ(bitmap.GetRowPadding(), 0u);
}

TEST(DIBitmap, ChangeFormatConvertsTheColourKeyAndKeepsOpaquePixelsOffIt) {
  CDIBitmap bitmap;
  bitmap.Create(3, 1, -1, Rgb24(), true);
  SetRows(bitmap, {{0xFF00FF, 0xF800F8, 0x123456}});
  bitmap.SetColorKey(0xFF00FF);
  bitmap.SetColorKeyFlag(true);

  bitmap.ChangeFormat(Rgb565(), nullptr);
  EXPECT_EQ(bitmap.GetColorKey(), 0xF81Fu);
  EXPECT_EQ(Hex(GetRows(bitmap)[0]), Hex({0xF81F, 0xF01F, 0x11AA}));

  bitmap.ChangeFormat(Rgb24(), nullptr);
  EXPECT_EQ(bitmap.GetColorKey(), 0xF800F8u) << "the key converts as a pixel does";
  EXPECT_EQ(Hex(GetRows(bitmap)[0]), Hex({0xF800F8, 0xF000F8, 0x103450}));

  // A palettized target takes the key through the same colour table.
  CColorTable table;
  FillInverseTable(table, kColors);
  bitmap.ChangeFormat(Indexed(8, kColors), &table, 0, -1);
  EXPECT_EQ(bitmap.GetColorKey(), 5u);
  EXPECT_FALSE(bitmap.IsTopDown());
  EXPECT_EQ(Hex(GetRows(bitmap)[0]), Hex({5, 5, 0}));
}

TEST(DIBitmap, SubBytePixelsOfOddWidthConvertAndFlip) {
  CDIBitmap bitmap;
  bitmap.Create(5, 3, -1, Indexed(4, kColors), false);
  SetRows(bitmap, {{0, 1, 2, 3, 4}, {5, 4, 3, 2, 1}, {1, 1, 0, 0, 5}});
  bitmap.ChangeFormat(Rgb565(), nullptr, 1, 0);
  EXPECT_EQ(bitmap.GetBytesPerRow(), 10u);
  EXPECT_EQ(GetRows(bitmap), (std::vector<std::vector<DWORD>>{{0xFFFF, 0xFFFF, 0, 0, 0xF81F},
                                                              {0xF81F, 0x001F, 0x07E0, 0xF800, 0xFFFF},
                                                              {0, 0xFFFF, 0xF800, 0x07E0, 0x001F}}));
  CColorTable table;
  FillInverseTable(table, {0x000000, 0xFFFFFF});
  bitmap.ChangeFormat(Indexed(1, {0x000000, 0xFFFFFF}), &table, 0, -1);
  EXPECT_EQ(bitmap.GetBytesPerRow(), 1u);
  EXPECT_EQ(bitmap.GetRowPadding(), 3u);
  EXPECT_EQ(GetRows(bitmap), (std::vector<std::vector<DWORD>>{{0, 1, 0, 0, 0}, {1, 0, 0, 0, 1}, {1, 1, 0, 0, 1}}));
}

TEST(DIBitmap, CopyFromAnEmptyBitmapLeavesAnEmptyBitmap) {
  CDIBitmap empty, bitmap;
  bitmap.Create(2, 2, -1, Rgb24(), true);
  bitmap.Copy(empty);
  EXPECT_FALSE(bitmap.HasPixels());
  EXPECT_EQ(bitmap.GetWidth(), 0u);
}

TEST(DIBitmap, CopyIntoTheSameLayoutReusesTheBlockAndTakesPaletteAndKey) {
  CDIBitmap source, copy;
  source.Create(3, 2, -1, Indexed(8, kColors), true);
  SetRows(source, {{1, 2, 3}, {4, 5, 0}});
  source.SetColorKey(5);
  source.SetColorKeyFlag(true);
  copy.Create(3, 2, -1, Indexed(8, {0x123456}), false);
  ASSERT_TRUE(copy.BuildBitmapInfo());
  const BYTE* block = copy.GetPixels();

  copy.Copy(source);
  EXPECT_EQ(copy.GetPixels(), block);
  EXPECT_EQ(copy.GetBitmapInfo(), nullptr) << "the old block's orientation and colours are gone";
  EXPECT_EQ(copy.GetFormat().GetPalette(), source.GetFormat().GetPalette()) << "the copy shows the source's colours";
  EXPECT_TRUE(copy.IsTopDown());
  EXPECT_TRUE(copy.HasColorKey());
  EXPECT_EQ(copy.GetColorKey(), 5u);
  EXPECT_EQ(GetRows(copy), GetRows(source));
  EXPECT_EQ(0, std::memcmp(copy.GetPixels(), source.GetPixels(), source.GetDataSize()));
}

TEST(DIBitmap, CopyOfAPackedBitmapKeepsItsPixelsInsideItsOwnBlock) {
  CDIBitmap source;
  source.Create(2, 2, -1, Rgb24(), false);
  SetRows(source, {{0x010203, 0x040506}, {0x0A0B0C, 0x0D0E0F}});
  ASSERT_TRUE(source.BuildBitmapInfo());
  std::vector<BYTE> packed(source.GetBitmapInfo(), source.GetBitmapInfo() + source.GetBitmapInfoSize());
  packed.insert(packed.end(), source.GetPixels(), source.GetPixels() + source.GetDataSize());
  CDIBitmap dib;
  dib.CreateFromBitmapInfo(packed.data(), packed.size(), nullptr, 0);
  ASSERT_TRUE(dib.ArePixelsInBitmapInfo());

  CDIBitmap copy;
  copy.Create(5, 5, 0, Rgb565(), true);
  copy.Copy(dib);
  EXPECT_TRUE(copy.ArePixelsInBitmapInfo());
  EXPECT_EQ(copy.GetPixels(), copy.GetBitmapInfo() + 40);
  EXPECT_EQ(GetRows(copy), GetRows(source));
  EXPECT_FALSE(copy.IsTopDown());

  // Converting a packed bitmap moves the pixels out and builds a new block.
  copy.ChangeFormat(Rgb32(), nullptr);
  EXPECT_FALSE(copy.ArePixelsInBitmapInfo());
  ASSERT_NE(copy.GetBitmapInfo(), nullptr);
  EXPECT_EQ(ReadBitmapInfoHeader(copy.GetBitmapInfo()).biBitCount, 32);
  EXPECT_EQ(GetRows(copy)[1], (std::vector<DWORD>{0x0A0B0C, 0x0D0E0F}));
}

// A bitmap-information block: header, then the colour table or masks. A
// header longer than 40 bytes holds the masks at offset 40 itself.
std::vector<BYTE> InfoBlock(LONG width, LONG height, WORD bits, DWORD compression, DWORD sizeImage, DWORD colorsUsed,
                            const std::vector<DWORD>& table, DWORD headerSize = 40) {
  const size_t tableStart = headerSize > 40 && compression == BI_BITFIELDS ? 40 : headerSize;
  std::vector<BYTE> block(std::max<size_t>(headerSize, tableStart + table.size() * 4));
  BITMAPINFOHEADER header{};
  header.biSize = headerSize;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = compression;
  header.biSizeImage = sizeImage;
  header.biClrUsed = colorsUsed;
  WriteBitmapInfoHeader(block.data(), header);
  for (size_t i = 0; i < table.size(); ++i) WriteLE32(block.data() + tableStart + i * 4, table[i]);
  return block;
}

TEST(DIBitmap, CreateFromBitmapInfoReadsWhatTheBlockDescribes) {
  struct {
    const char* name;
    std::vector<BYTE> info;
    size_t bitsSize;
    DWORD width, height, bits, dataSize, redMask, paletteCount;
    bool topDown;
  } cases[] = {
      {"biSizeImage 0 is computed from the dimensions", InfoBlock(3, 2, 24, BI_RGB, 0, 0, {}), 24, 3, 2, 24, 24,
       0xFF0000, 0, false},
      {"negative height is top-down", InfoBlock(3, -2, 24, BI_RGB, 24, 0, {}), 24, 3, 2, 24, 24, 0xFF0000, 0, true},
      {"16-bit bit fields take their masks", InfoBlock(2, 1, 16, BI_BITFIELDS, 0, 0, {0xF800, 0x7E0, 0x1F}), 4, 2,
       1, 16, 4, 0xF800, 0, false},
      {"16-bit without bit fields is RGB555", InfoBlock(2, 1, 16, BI_RGB, 0, 0, {}), 4, 2, 1, 16, 4, 0x7C00, 0,
       false},
      {"a longer header holds the masks itself", InfoBlock(1, 1, 32, BI_BITFIELDS, 0, 0, {0xFF, 0xFF00, 0xFF0000}, 56),
       4, 1, 1, 32, 4, 0xFF, 0, false},
      {"a short colour table gives a palette of its own length", InfoBlock(5, 1, 8, BI_RGB, 0, 2, {0x00FF0000, 0xFF}),
       8, 5, 1, 8, 8, 0, 2, false},
      {"4 bits, odd width", InfoBlock(3, 2, 4, BI_RGB, 0, 0, std::vector<DWORD>(16, 0x808080)), 8, 3, 2, 4, 8, 0, 16,
       false},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const std::vector<BYTE> bits(c.bitsSize, 0x5A);
    bitmap.CreateFromBitmapInfo(c.info.data(), c.info.size(), bits.data(), bits.size());
    EXPECT_EQ(bitmap.GetWidth(), c.width) << c.name;
    EXPECT_EQ(bitmap.GetHeight(), c.height) << c.name;
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, c.bits) << c.name;
    EXPECT_EQ(bitmap.GetDataSize(), c.dataSize) << c.name;
    EXPECT_EQ(bitmap.GetFormat().redMask, c.redMask) << c.name;
    EXPECT_EQ(bitmap.IsTopDown(), c.topDown) << c.name;
    const CColorPalette* palette = bitmap.GetFormat().GetPalette();
    EXPECT_EQ(palette ? palette->GetCount() : 0, c.paletteCount) << c.name;
    EXPECT_FALSE(bitmap.ArePixelsInBitmapInfo()) << c.name;
    EXPECT_EQ(bitmap.GetPixels()[c.dataSize - 1], 0x5A) << c.name;
    EXPECT_GE(ReadBitmapInfoHeader(bitmap.GetBitmapInfo()).biSizeImage, c.dataSize) << c.name;
  }
  CDIBitmap bitmap;
  const std::vector<BYTE> info = InfoBlock(5, 1, 8, BI_RGB, 0, 2, {0x00FF0000, 0xFF});
  const BYTE bits[8] = {};
  bitmap.CreateFromBitmapInfo(info.data(), info.size(), bits, sizeof bits);
  const DWORD* entries = bitmap.GetFormat().GetPalette()->GetEntries();
  EXPECT_EQ(entries[0], 0x0000FFu) << "an RGBQUAD's red byte becomes the entry's low byte";
  EXPECT_EQ(entries[1], 0xFF0000u);
  EXPECT_EQ(bitmap.GetBitmapInfoSize(), 40u + 1024u) << "the kept block holds a full colour table";
}

TEST(DIBitmap, CreateFromBitmapInfoRefusesBadBlocksAndKeepsTheBitmap) {
  const std::string invalid = "Invalid bitmap information.";
  const std::string unsupported = "Unsupported pixel format.";
  const std::string tooLarge = "The bitmap is too large.";
  std::vector<BYTE> biSizeBeyondBlock = InfoBlock(1, 1, 24, BI_RGB, 0, 0, {});
  WriteLE32(biSizeBeyondBlock.data(), 41);
  struct {
    const char* name;
    std::vector<BYTE> info;
    size_t bitsSize;  // 0: the pixels are packed behind the block
    std::string error;
  } cases[] = {
      {"block shorter than a header", std::vector<BYTE>(39), 4, invalid},
      {"biSize beyond the block", biSizeBeyondBlock, 4, invalid},
      {"width 0", InfoBlock(0, 1, 24, BI_RGB, 0, 0, {}), 4, invalid},
      {"negative width", InfoBlock(-4, 1, 24, BI_RGB, 0, 0, {}), 64, invalid},
      {"height 0", InfoBlock(1, 0, 24, BI_RGB, 0, 0, {}), 4, invalid},
      {"bit count 3", InfoBlock(8, 1, 3, BI_RGB, 0, 0, {}), 4, unsupported},
      {"RLE8 compression", InfoBlock(4, 1, 8, BI_RLE8, 4, 0, std::vector<DWORD>(256)), 4, unsupported},
      {"bit fields at 24 bits", InfoBlock(1, 1, 24, BI_BITFIELDS, 0, 0, {1, 2, 3}), 4, unsupported},
      {"more colours used than 2^bits", InfoBlock(4, 1, 4, BI_RGB, 0, 17, std::vector<DWORD>(17)), 4, invalid},
      {"colour table shorter than biClrUsed", InfoBlock(4, 1, 8, BI_RGB, 0, 16, std::vector<DWORD>(15)), 4, invalid},
      {"bit fields without masks", InfoBlock(1, 1, 16, BI_BITFIELDS, 0, 0, {}), 4, invalid},
      {"bits shorter than the rows", InfoBlock(3, 2, 24, BI_RGB, 0, 0, {}), 23, invalid},
      {"biSizeImage does not shrink the rows", InfoBlock(3, 2, 24, BI_RGB, 4, 0, {}), 4, invalid},
      {"packed pixels missing", InfoBlock(1, 1, 24, BI_RGB, 4, 0, {}), 0, invalid},
      {"rows wrapping 32 bits", InfoBlock(0x40000000, 0x40000000, 32, BI_BITFIELDS, 0, 0, {1, 2, 3}), 4, tooLarge},
      {"height of -2^31", InfoBlock(1, LONG(0x80000000), 8, BI_RGB, 0, 0, std::vector<DWORD>(256)), 4, tooLarge},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    bitmap.Create(1, 1, -1, Rgb565(), true);
    const std::vector<BYTE> bits(c.bitsSize ? c.bitsSize : 1);
    EXPECT_EQ(ErrorTextOf([&] {
                bitmap.CreateFromBitmapInfo(c.info.data(), c.info.size(), c.bitsSize ? bits.data() : nullptr,
                                            c.bitsSize);
              }),
              c.error)
        << c.name;
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 16u) << c.name;
    EXPECT_EQ(bitmap.GetBitmapInfo(), nullptr) << c.name;
  }
}

TEST(DIBitmap, BuildBitmapInfoDescribesTheKnownFormats) {
  struct {
    const char* name;
    CPixelFormat format;
    INT padding;
    bool built;
    DWORD compression, tableSize, colorsUsed;
  } cases[] = {
      {"24-bit RGB", Rgb24(), -1, true, BI_RGB, 0, 0},
      {"RGB565", Rgb565(), -1, true, BI_BITFIELDS, 12, 0},
      {"RGB555", Rgb555(), -1, true, BI_BITFIELDS, 12, 0},
      {"32-bit RGB", Rgb32(), -1, true, BI_BITFIELDS, 12, 0},
      {"8-bit palettized", Indexed(8, kColors), -1, true, BI_RGB, 1024, 6},
      {"1-bit palettized", Indexed(1, {0, 0xFFFFFF}), -1, true, BI_RGB, 8, 2},
      {"a palette longer than 2^bits gives its first entries", Indexed(1, kColors), -1, true, BI_RGB, 8, 2},
      {"2-bit palettized", Indexed(2, kColors), -1, false, 0, 0, 0},
      {"16 bits with other masks", Rgb(16, 0xF00, 0xF0, 0xF), -1, false, 0, 0, 0},
      {"32 bits with alpha", Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), -1, false, 0, 0, 0},
      {"24 bits with swapped masks", Rgb(24, 0xFF, 0xFF00, 0xFF0000), -1, false, 0, 0, 0},
      {"rows not padded to 4 bytes", Rgb24(), 0, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    bitmap.Create(3, 2, c.padding, c.format, true);
    ASSERT_EQ(bitmap.BuildBitmapInfo(), c.built) << c.name;
    if (!c.built) {
      EXPECT_EQ(bitmap.GetBitmapInfo(), nullptr) << c.name;
      continue;
    }
    ASSERT_EQ(bitmap.GetBitmapInfoSize(), 40 + c.tableSize) << c.name;
    const BITMAPINFOHEADER header = ReadBitmapInfoHeader(bitmap.GetBitmapInfo());
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, -2) << "top-down";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, c.format.bitsPerPixel) << c.name;
    EXPECT_EQ(header.biCompression, c.compression) << c.name;
    EXPECT_EQ(header.biSizeImage, bitmap.GetDataSize()) << c.name;
    EXPECT_EQ(header.biClrUsed, c.colorsUsed) << c.name;

    // The block reads back into the same format.
    CDIBitmap back;
    back.CreateFromBitmapInfo(bitmap.GetBitmapInfo(), bitmap.GetBitmapInfoSize(), bitmap.GetPixels(),
                              bitmap.GetDataSize());
    EXPECT_TRUE(back.GetFormat().HasSameLayout(bitmap.GetFormat())) << c.name;
    EXPECT_TRUE(back.IsTopDown());
    if (c.format.IsPalettized()) {
      EXPECT_EQ(back.GetFormat().GetPalette()->GetEntries()[1], c.format.GetPalette()->GetEntries()[1]) << c.name;
    }
  }
}

TEST(DIBitmap, CollectColorsMarksOrCountsTheColoursOfEachKindOfBitmap) {
  CColorTable table;
  auto used = [&table] {
    std::vector<std::pair<DWORD, DWORD>> cells;
    for (DWORD position = table.FindFirstUsed(); position != 0;) {
      DWORD index = 0, value = 0;
      table.GetNextUsed(position, index, value);
      cells.emplace_back(index, value);
    }
    return cells;
  };
  using Cells = std::vector<std::pair<DWORD, DWORD>>;
  const DWORD white = 0xFFFF, red = 0x1F, blue = 0xF800;  // 5-6-5 cell indices, red lowest

  CDIBitmap palettized;
  palettized.Create(5, 1, -1, Indexed(4, {0x000000, 0xFFFFFF, 0x0000FF}), true);
  SetRows(palettized, {{1, 1, 2, 1, 9}});
  table.Setup(5, 6, 5, 16);
  palettized.CollectColors(table, false);
  EXPECT_EQ(used(), (Cells{{0, 1}, {red, 1}, {white, 1}})) << "every palette entry, used or not";
  table.Setup(5, 6, 5, 16);
  palettized.CollectColors(table, true);
  EXPECT_EQ(used(), (Cells{{0, 1}, {red, 1}, {white, 3}})) << "an index past the palette counts as black";

  CDIBitmap rgb;
  rgb.Create(4, 2, -1, Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), false);
  SetRows(rgb, {{0xFFFF0000, 0x00FF0000, 0x000000FF, 0x12FFFFFF}, {0x000000FF, 0, 0, 0}});
  table.Setup(5, 6, 5, 8);
  rgb.CollectColors(table, true);
  EXPECT_EQ(used(), (Cells{{0, 3}, {red, 2}, {blue, 2}, {white, 1}})) << "alpha does not choose the cell";
  rgb.CollectColors(table, false);
  EXPECT_EQ(used(), (Cells{{0, 1}, {red, 1}, {blue, 1}, {white, 1}}));
}

}  // namespace
