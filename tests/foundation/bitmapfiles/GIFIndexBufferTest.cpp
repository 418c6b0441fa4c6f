// The index buffer of a GIF image holds the rows its data can reach: a
// few bytes claiming a huge image take little memory, and the most
// compressed data there is still fills every row it reaches.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmapfiles/GIFIndexBuffer.h"
#include "foundation/streams/MemoryStream.h"

using namespace readertest;

namespace {

// Decodes image data (codes of minimum code size 2, in sub-blocks) for an
// image of width x height with 4 colours.
void DecodeData(GIFIndexBuffer& indices, const std::string& codes, DWORD width, DWORD height) {
  const std::string data = SubBlocks(codes);
  CMemoryStream stream;
  BYTE* block = new BYTE[data.size()];
  std::memcpy(block, data.data(), data.size());
  stream.Open(block, static_cast<DWORD>(data.size()), kStreamRead | kStreamSeek, 0, false);
  indices.Decode(stream, 2, width, height, 2, 2);
}

// Every index in stream order.
std::vector<BYTE> AllIndices(const GIFIndexBuffer& indices) {
  std::vector<BYTE> all;
  indices.ForEachRow(false, [&](DWORD, CBitFieldCursor cursor) {
    for (DWORD x = 0; x < indices.GetWidth(); ++x) all.push_back(static_cast<BYTE>(cursor.Read()));
  });
  return all;
}

TEST(GIFIndexBuffer, AFewBytesClaimingAHugeImageTakeTheRowsTheyReach) {
  // Clear, 1, 2, end: two indices for 40000 x 40000 pixels.
  GIFIndexBuffer indices;
  DecodeData(indices, PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}), 40000, 40000);
  EXPECT_EQ(indices.GetDecodedCount(), 2u);
  EXPECT_EQ(indices.GetCapacity(), 40000u) << "one row, not 1.6 billion indices";
  std::vector<BYTE> expected(size_t{40000} * 3, 0);  // the first three rows
  expected[0] = 1;
  expected[1] = 2;
  std::vector<BYTE> firstRows;
  indices.ForEachRow(false, [&](DWORD row, CBitFieldCursor cursor) {
    if (row >= 3) return;
    for (DWORD x = 0; x < indices.GetWidth(); ++x) firstRows.push_back(static_cast<BYTE>(cursor.Read()));
  });
  EXPECT_EQ(firstRows, expected) << "rows beyond the data read as 0";
}

// The longest strings LZW can give, with no clear code: index 1, then
// every new entry once (each one symbol longer than the one before), then
// the longest entry again and again once the table is full.
TEST(GIFIndexBuffer, TheMostCompressedDataFillsEveryRowItReaches) {
  std::vector<std::pair<DWORD, DWORD>> codes = {{4, 3}, {1, 3}};
  DWORD width = 3;
  uint64_t symbols = 1;
  for (DWORD code = 6; code < 4096; ++code) {
    codes.emplace_back(code, width);
    symbols += code - 4;
    if (code + 1 > (1u << width) - 1 && width < 12) ++width;
  }
  for (int i = 0; i < 1000; ++i) {
    codes.emplace_back(4095, 12);
    symbols += 4091;
  }
  codes.emplace_back(5, 12);

  constexpr DWORD kWidth = 4091;
  const DWORD height = static_cast<DWORD>((symbols + kWidth - 1) / kWidth) + 2;
  GIFIndexBuffer indices;
  DecodeData(indices, PackCodes(codes), kWidth, height);
  ASSERT_EQ(indices.GetDecodedCount(), symbols);
  const std::vector<BYTE> all = AllIndices(indices);
  for (uint64_t i = 0; i < all.size(); ++i) {
    ASSERT_EQ(all[i], i < symbols ? 1 : 0) << "index " << i << " of " << symbols << " decoded";
  }
}

}  // namespace
