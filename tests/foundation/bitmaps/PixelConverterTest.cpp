#include <gtest/gtest.h>

#include <vector>

#include "BitmapTestSupport.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/Error.h"

using namespace bitmaptest;

namespace {

// Palette entries are 0x00BBGGRR.
const std::vector<DWORD> kConverterColors = {0x000000, 0xFFFFFF, 0x0000FF /* red */, 0x00FF00 /* green */,
                                    0xFF0000 /* blue */, 0xFF00FF /* magenta */};

struct ConversionCase {
  const char* name;
  CPixelFormat source;
  CPixelFormat destination;
  DWORD width;
  std::vector<DWORD> in;  // width x rows source values, rows in memory order
  std::vector<DWORD> out;
  bool keyed = false;
  DWORD sourceKey = 0;
  DWORD destinationKey = 0;
};

// 32 bits: 5-6-5 colour (red lowest) under a 16-bit alpha channel, the
// format pictures of fewer than 8 bits are turned into for display.
CPixelFormat Alpha16Rgb565() { return Rgb(32, 0x001F, 0x07E0, 0xF800, 0xFFFF0000); }

std::vector<ConversionCase> Cases() {
  return {
      {"4-bit indices to 5-6-5 under a 16-bit alpha: colours fill their channels", Indexed(4, kConverterColors),
       Alpha16Rgb565(), 3, {1, 2, 4}, {0xFFFF, 0x001F, 0xF800}},
      {"keyed 8-bit indices to 5-6-5 under a 16-bit alpha: a colour on the key moves off it", Indexed(8, kConverterColors),
       Alpha16Rgb565(), 3, {0, 2, 1}, {0x001F, 0x001E, 0xFFFF}, true, 0, 0x001F},
      {"an 8-bit alpha fills the top of a 16-bit one", Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), Alpha16Rgb565(), 2,
       {0xFF0000FF, 0x80FF0000}, {0xFF00F800, 0x8000001F}},
      {"a 16-bit alpha gives its top 8 bits to an 8-bit one", Alpha16Rgb565(),
       Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 1, {0x1234FFFF}, {0x12F8FCF8}},
      {"a 16-bit alpha is dropped for 24 bits", Alpha16Rgb565(), Rgb24(), 2, {0xFFFF001F, 0x0000F800},
       {0xF80000, 0x0000F8}},
      {"RGB565 to 24 bits: top bits only, no replication", Rgb565(), Rgb24(), 5,
       {0xFFFF, 0xF800, 0x07E0, 0x001F, 0}, {0xF8FCF8, 0xF80000, 0x00FC00, 0x0000F8, 0}},
      {"24 bits to RGB555 keeps each channel's top 5 bits", Rgb24(), Rgb555(), 4,
       {0xFFFFFF, 0x123456, 0x808080, 0x070707}, {0x7FFF, 0x08CA, 0x4210, 0}},
      {"RGB565 to RGB555 drops green's lowest bit", Rgb565(), Rgb555(), 2, {0xFFFF, 0x07E0}, {0x7FFF, 0x03E0}},
      {"an alpha channel the destination lacks contributes nothing", Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
       Rgb24(), 2, {0xFF123456, 0x00123456}, {0x123456, 0x123456}},
      {"24 bits to the palette-entry layout swaps red and blue",
       Rgb24(), [] { CPixelFormat f; f.SetChannelBits(8, 8, 8, 0, 32); return f; }(), 1, {0x123456}, {0x563412}},
      {"keyed to RGB565: the key stays, an opaque 0xF81F becomes 0xF01F", Rgb24(), Rgb565(), 4,
       {0xFF00FF, 0xF800F8, 0x000000, 0xFFFFFF}, {0xF81F, 0xF01F, 0x0000, 0xFFFF}, true, 0xFF00FF, 0xF81F},
      {"keyed with a black key: opaque black gets the lowest red bit", Rgb24(), Rgb565(), 4,
       {0xFF00FF, 0x000000, 0x070307, 0xFFFFFF}, {0x0000, 0x0800, 0x0800, 0xFFFF}, true, 0xFF00FF, 0},
      {"keyed: only the exact source key is transparent", Rgb565(), Rgb24(), 3, {0xF81F, 0xF01F, 0xF81E},
       {0xFF00FF, 0xF000F8, 0xF800F0}, true, 0xF81F, 0xFF00FF},
      {"8-bit indices to RGB565; an index past the palette is black", Indexed(8, kConverterColors), Rgb565(), 6,
       {0, 1, 2, 3, 4, 200}, {0, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0}},
      {"keyed 8-bit indices to 24 bits: a colour equal to the key moves off it", Indexed(8, kConverterColors), Rgb24(), 3,
       {0, 5, 1}, {0xFF00FF, 0xFE00FF, 0xFFFFFF}, true, 0, 0xFF00FF},
      {"4-bit indices of odd width: each row starts at a new byte", Indexed(4, kConverterColors), Rgb24(), 3,
       {1, 2, 3, 4, 5, 0}, {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF00FF, 0}},
      {"2-bit indices of odd width to RGB565", Indexed(2, kConverterColors), Rgb565(), 5,
       {0, 1, 2, 3, 1, 3, 2, 1, 0, 0}, {0, 0xFFFF, 0xF800, 0x07E0, 0xFFFF, 0x07E0, 0xF800, 0xFFFF, 0, 0}},
      {"1-bit indices, width 9, to 8-bit indices", Indexed(1, {0x000000, 0xFFFFFF}), Indexed(8, kConverterColors), 9,
       {1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 0, 0}, {1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 0, 0}},
      {"8-bit indices to 2-bit indices by nearest colour", Indexed(8, kConverterColors),
       Indexed(2, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}), 5, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 0}},
      {"4-bit to 4-bit indices of odd width", Indexed(4, kConverterColors),
       Indexed(4, {0xFF00FF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000}), 3, {0, 1, 2, 3, 4, 5},
       {5, 4, 3, 2, 1, 0}},
      {"24 bits to 8-bit indices through the colour table", Rgb24(), Indexed(8, kConverterColors), 6,
       {0x000000, 0xFFFFFF, 0xFF0000, 0xF00808, 0x0000FF, 0x00FF00}, {0, 1, 2, 2, 4, 3}},
      {"RGB565 to 4-bit indices of odd width", Rgb565(), Indexed(4, kConverterColors), 3,
       {0xFFFF, 0xF800, 0x001F, 0x07E0, 0, 0xF81F}, {1, 2, 4, 3, 0, 5}},
      {"24 bits to 1-bit indices, width 9", Rgb24(), Indexed(1, {0x000000, 0xFFFFFF}), 9,
       {0xFFFFFF, 0, 0, 0xFFFFFF, 0xF0F0F0, 0x101010, 0, 0xFFFFFF, 0xFFFFFF}, {1, 0, 0, 1, 1, 0, 0, 1, 1}},
      {"keyed 8-bit to 8-bit indices: a colour landing on the key index becomes 255", Indexed(8, kConverterColors),
       Indexed(8, kConverterColors), 3, {5, 1, 2}, {1, 0xFF, 2}, true, 5, 1},
      {"keyed RGB to indices writes the looked-up index as it comes", Rgb24(), Indexed(8, kConverterColors), 3,
       {0xFF00FF, 0xFFFFFF, 0xFE00FE}, {5, 1, 5}, true, 0xFF00FF, 5},
  };
}

std::vector<DWORD> Convert(const ConversionCase& c) {
  constexpr INT kSourceSkip = 1;
  constexpr INT kDestinationSkip = 3;
  constexpr BYTE kUntouched = 0xEE;
  const DWORD rows = static_cast<DWORD>(c.in.size() / c.width);
  std::vector<BYTE> source;
  for (DWORD row = 0; row < rows; ++row) {
    const std::vector<DWORD> values(c.in.begin() + row * c.width, c.in.begin() + (row + 1) * c.width);
    const std::vector<BYTE> packed = PackRow(c.source.bitsPerPixel, values);
    source.insert(source.end(), packed.begin(), packed.end());
    source.insert(source.end(), kSourceSkip, kUntouched);
  }
  const size_t destinationRow = (static_cast<size_t>(c.width) * c.destination.bitsPerPixel + 7) / 8;
  std::vector<BYTE> destination((destinationRow + kDestinationSkip) * rows, kUntouched);

  CColorTable table;
  if (c.destination.IsPalettized()) {
    const CColorPalette* palette = c.destination.GetPalette();
    FillInverseTable(table, std::vector<DWORD>(palette->GetEntries(), palette->GetEntries() + palette->GetCount()));
  }
  CPixelConverter converter;
  if (c.keyed)
    converter.PrepareColorKeyed(c.destination, c.destinationKey, c.source, c.sourceKey, &table);
  else
    converter.Prepare(c.destination, c.source, &table);
  converter.ConvertRows(destination.data(), kDestinationSkip, source.data(), kSourceSkip, c.width, rows);

  std::vector<DWORD> out;
  for (DWORD row = 0; row < rows; ++row) {
    const BYTE* start = destination.data() + row * (destinationRow + kDestinationSkip);
    const std::vector<DWORD> values = UnpackRow(c.destination.bitsPerPixel, start, c.width);
    out.insert(out.end(), values.begin(), values.end());
    for (INT i = 0; i < kDestinationSkip; ++i)
      EXPECT_EQ(start[destinationRow + i], kUntouched) << c.name << ": the skip bytes of row " << row;
  }
  return out;
}

TEST(PixelConverter, ConvertsEachKindOfFormatPair) {
  for (const ConversionCase& c : Cases()) EXPECT_EQ(Hex(Convert(c)), Hex(c.out)) << c.name;
}

TEST(PixelConverter, KeyedReplacementValueFollowsTheFirstChannelTheKeyTouches) {
  struct {
    CPixelFormat destination;
    DWORD key;
    DWORD replacement;
  } cases[] = {
      {Rgb565(), 0xF81F, 0xF01F},
      {Rgb565(), 0x0000, 0x0800},    // black: the first channel gains its lowest bit
      {Rgb565(), 0x001F, 0x001E},    // only blue touched
      {Rgb24(), 0xFF00FF, 0xFE00FF},
      {Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 0xFF000000, 0xFE000000},  // the alpha channel counts too
  };
  for (const auto& c : cases) {
    CPixelConverter converter;
    converter.PrepareColorKeyed(c.destination, c.key, Rgb24(), 0xFF00FF, nullptr);
    EXPECT_EQ(converter.GetReplacementValue(), c.replacement) << std::hex << c.key;
  }
}

TEST(PixelConverter, NegativeDestinationSkipWritesRowsInReverseOrder) {
  const std::vector<BYTE> source = {1, 0, 2, 0, 3, 0};  // three rows of one RGB565 pixel
  std::vector<BYTE> destination(6 * 4, 0xEE);           // 4-byte rows: 2 bytes of pixel, 2 of padding
  CPixelConverter converter;
  converter.Prepare(Rgb565(), Rgb565(), nullptr);
  converter.ConvertRows(destination.data() + 2 * 4, -(2 + 2 * 2), source.data(), 0, 1, 3);
  EXPECT_EQ(destination[0], 3);
  EXPECT_EQ(destination[4], 2);
  EXPECT_EQ(destination[8], 1);
  EXPECT_EQ(destination[2], 0xEE);
}

TEST(PixelConverter, RefusesFormatsWithoutARoutine) {
  struct {
    const char* name;
    CPixelFormat destination;
    CPixelFormat source;
  } cases[] = {
      {"12-bit RGB", Rgb24(), Rgb(12, 0xF00, 0xF0, 0xF)},
      {"palettized destination without a colour table", Indexed(8, kConverterColors), Rgb24()},
      {"3-bit indices", Rgb24(), [] {
         CPixelFormat f = Indexed(8, kConverterColors);
         f.bitsPerPixel = 3;
         return f;
       }()},
  };
  for (const auto& c : cases) {
    CPixelConverter converter;
    try {
      converter.Prepare(c.destination, c.source, nullptr);
      ADD_FAILURE() << c.name << ": prepared";
    } catch (CError* error) {
      EXPECT_STREQ(error->GetCaption(), "Bitmap error") << c.name;
      DisposeError(error);
    }
    EXPECT_FALSE(converter.IsReady()) << c.name;
  }
}

TEST(PixelConverter, UnpreparedOrEmptyConversionWritesNothing) {
  BYTE destination[4] = {7, 7, 7, 7};
  const BYTE source[4] = {1, 2, 3, 4};
  CPixelConverter converter;
  converter.ConvertRows(destination, 0, source, 0, 1, 1);
  converter.Prepare(Rgb32(), Rgb32(), nullptr);
  converter.ConvertRows(destination, 0, source, 0, 0, 1);
  converter.ConvertRows(destination, 0, source, 0, 1, 0);
  EXPECT_EQ(destination[0], 7);
}

TEST(FindNearestColor, PicksTheClosestEntryAndKeepsTheFirstOfEqualOnes) {
  const std::vector<DWORD> entries = {0xFFFFFFFF, 0x101010, 0x0000FF, 0x0000FF, 0x000000, 0x000020, 0x000060};
  struct {
    const char* name;
    INT count;
    DWORD color;
    INT index;
  } cases[] = {
      {"an exact match returns at once, before a later exact one", 5, 0x0000FF, 2},
      {"nearest by squared distance", 5, 0x0A0A0A, 1},
      {"ties keep the earlier entry", 7, 0x000040, 5},
      {"0xFFFFFFFF entries are passed over", 1, 0xFFFFFF, -1},
      {"count 0", 0, 0, -1},
      {"negative count", -3, 0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(FindNearestColor(entries.data(), c.count, c.color), c.index) << c.name;
}

}  // namespace
