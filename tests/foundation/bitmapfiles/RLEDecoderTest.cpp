// RLE8 and RLE4 decoding into a bitmap's pixel block: runs, literals,
// line ends, moves, and data that would reach outside the bitmap.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"

using namespace readertest;

namespace {

CPixelFormat Indexed(DWORD bits) {
  CPixelFormat format;
  format.SetIndexed(bits, nullptr);
  return format;
}

// The memory rows of a bitmap as pixel values, row 0 first.
std::vector<std::vector<DWORD>> MemoryRows(const CDIBitmap& bitmap) {
  std::vector<std::vector<DWORD>> rows;
  for (DWORD y = 0; y < bitmap.GetHeight(); ++y) {
    const DWORD imageRow = bitmap.IsTopDown() ? y : bitmap.GetHeight() - 1 - y;
    std::vector<DWORD> row;
    for (DWORD x = 0; x < bitmap.GetWidth(); ++x) row.push_back(PixelAt(bitmap, x, imageRow));
    rows.push_back(row);
  }
  return rows;
}

struct RLECase {
  const char* name;
  DWORD bits;
  DWORD width;
  DWORD height;
  std::string data;
  bool decodes;
  std::vector<std::vector<DWORD>> rows;  // memory rows after a successful decode
};

void Check(const RLECase& c) {
  for (const bool topDown : {false, true}) {
    CDIBitmap bitmap;
    bitmap.Create(c.width, c.height, CDIBitmap::kPadToFourBytes, Indexed(c.bits), topDown);
    std::memset(bitmap.GetPixels(), 0xEE, bitmap.GetDataSize());  // zeroing is the decoder's job
    const auto* data = reinterpret_cast<const BYTE*>(c.data.data());
    const bool decoded = bitmap.DecodeRLE(data, static_cast<DWORD>(c.data.size()), c.bits == 8 ? 1 : 2);
    EXPECT_EQ(decoded, c.decodes) << c.name << (topDown ? " (top-down)" : "");
    if (decoded && c.decodes) {
      EXPECT_EQ(MemoryRows(bitmap), c.rows) << c.name << (topDown ? " (top-down)" : "");
    }
    // Padding bytes stay zero whatever the data said about them.
    const DWORD stride = bitmap.GetBytesPerRow() + bitmap.GetRowPadding();
    for (DWORD y = 0; decoded && y < c.height; ++y)
      for (DWORD i = bitmap.GetBytesPerRow(); i < stride; ++i)
        EXPECT_EQ(bitmap.GetPixels()[y * stride + i], 0) << c.name << ": padding of row " << y;
  }
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) out += static_cast<char>(value);
  return out;
}

TEST(RLEDecoder, RLE8RunsLiteralsLineEndsAndMoves) {
  const RLECase cases[] = {
      {"runs and line ends fill rows in memory order", 8, 3, 2, Bytes({3, 7, 0, 0, 2, 5, 0, 0, 0, 1}), true,
       {{7, 7, 7}, {5, 5, 0}}},
      {"a literal of odd length is padded to 16 bits", 8, 3, 1, Bytes({0, 3, 1, 2, 3, 0, 0, 1}), true, {{1, 2, 3}}},
      {"a literal of even length has no padding", 8, 4, 1, Bytes({0, 4, 1, 2, 3, 4, 0, 1}), true, {{1, 2, 3, 4}}},
      {"a move skips pixels and rows, leaving them zero", 8, 3, 3, Bytes({1, 9, 0, 2, 1, 1, 1, 8, 0, 1}), true,
       {{9, 0, 0}, {0, 0, 8}, {0, 0, 0}}},
      {"end of bitmap leaves the rest zero", 8, 2, 2, Bytes({1, 4, 0, 1, 9, 9}), true, {{4, 0}, {0, 0}}},
      {"the last line end completes the decode without end of bitmap", 8, 1, 2, Bytes({1, 1, 0, 0, 1, 2, 0, 0}),
       true, {{1}, {2}}},
      {"data after the last row is not read", 8, 1, 1, Bytes({1, 1, 0, 0, 0xFF, 0xFF, 0xFF}), true, {{1}}},
      {"runs over the row padding are taken and dropped", 8, 3, 1, Bytes({3, 6, 1, 6, 0, 0}), true, {{6, 6, 6}}},
      {"a literal over the row padding is taken and its pixels there dropped", 8, 3, 1,
       Bytes({0, 4, 1, 2, 3, 4, 0, 1}), true, {{1, 2, 3}}},
      {"a move into the row padding, and a run there that is dropped", 8, 3, 1, Bytes({1, 5, 0, 2, 2, 0, 1, 9, 0, 1}),
       true, {{5, 0, 0}}},
      {"a move to the row after the last ends the decode", 8, 2, 2, Bytes({1, 3, 0, 2, 0, 2, 1, 5, 0, 1}), true,
       {{3, 0}, {0, 0}}},
      {"a height of zero succeeds at once", 8, 2, 0, Bytes({9, 9}), true, {}},
      {"data ending before the last row", 8, 2, 2, Bytes({2, 1, 0, 0}), false, {}},
      {"a single byte left", 8, 2, 1, Bytes({2, 1, 0}), false, {}},
      {"a run past the row's end", 8, 3, 1, Bytes({5, 1, 0, 1}), false, {}},
      {"a literal past the row's end", 8, 3, 1, Bytes({0, 5, 1, 2, 3, 4, 5, 0, 0, 1}), false, {}},
      {"a literal longer than the data", 8, 8, 1, Bytes({0, 6, 1, 2, 3}), false, {}},
      {"a literal without its padding byte", 8, 3, 1, Bytes({0, 3, 1, 2, 3}), false, {}},
      {"a move past the right edge", 8, 3, 2, Bytes({2, 1, 0, 2, 3, 0, 0, 1}), false, {}},
      {"a move below the last row", 8, 3, 2, Bytes({0, 2, 0, 3, 1, 1, 0, 1}), false, {}},
      {"a move without its two bytes", 8, 3, 2, Bytes({0, 2, 1}), false, {}},
      {"a full row followed by a run", 8, 4, 2, Bytes({4, 1, 1, 2, 0, 1}), false, {}},
      {"a full row followed by a move", 8, 4, 2, Bytes({4, 1, 0, 2, 0, 1, 0, 1}), false, {}},
  };
  for (const RLECase& c : cases) Check(c);
}

TEST(RLEDecoder, RLE4PacksPixelsHighNibbleFirst) {
  const RLECase cases[] = {
      {"a run alternates the two nibbles", 4, 5, 1, Bytes({5, 0x12, 0, 1}), true, {{1, 2, 1, 2, 1}}},
      {"runs continue in the middle of a byte", 4, 4, 1, Bytes({1, 0x30, 3, 0x45, 0, 1}), true, {{3, 4, 5, 4}}},
      {"a literal of three pixels takes two bytes", 4, 3, 1, Bytes({0, 3, 0x12, 0x30, 0, 1}), true, {{1, 2, 3}}},
      {"a literal of five pixels takes three bytes and a padding byte", 4, 5, 1,
       Bytes({0, 5, 0x12, 0x34, 0x50, 0, 0, 1}), true, {{1, 2, 3, 4, 5}}},
      {"a move to an odd pixel", 4, 4, 2, Bytes({0, 2, 3, 1, 1, 0xF0, 0, 1}), true, {{0, 0, 0, 0}, {0, 0, 0, 15}}},
      {"the row padding holds 8 pixels of a 1-pixel row", 4, 1, 1, Bytes({8, 0x77, 0, 0}), true, {{7}}},
      {"a literal over the row padding keeps the pixels inside the width", 4, 1, 1, Bytes({0, 3, 0x12, 0x30, 0, 1}),
       true, {{1}}},
      {"a run past the row's end", 4, 1, 1, Bytes({9, 0x77, 0, 0}), false, {}},
      {"a literal of five pixels without its padding byte", 4, 5, 1, Bytes({0, 5, 0x12, 0x34, 0x50}), false, {}},
      {"a move below the last row", 4, 2, 1, Bytes({0, 2, 0, 2, 0, 1}), false, {}},
  };
  for (const RLECase& c : cases) Check(c);
}

TEST(RLEDecoder, OnlyCompressionsOneAndTwoDecodeAndOnlyIntoTheirDepth) {
  CDIBitmap bitmap;
  bitmap.Create(2, 1, CDIBitmap::kPadToFourBytes, Indexed(8), false);
  const BYTE data[] = {2, 1, 0, 1};
  EXPECT_TRUE(bitmap.DecodeRLE(data, sizeof data, 1));
  EXPECT_FALSE(bitmap.DecodeRLE(data, sizeof data, 2)) << "RLE4 into an 8-bit bitmap";
  EXPECT_FALSE(bitmap.DecodeRLE(data, sizeof data, 0));
  EXPECT_FALSE(bitmap.DecodeRLE(data, sizeof data, 3));
}

}  // namespace
