// The bitmap blitter: rows counted from the top whatever the storage
// order, rectangles clipped to both bitmaps, sub-byte pixels copied bit
// for bit; checked pixel by pixel against a plain model of the copy.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "foundation/bitmaps/BitmapBlitter.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"

namespace {

CPixelFormat FormatOfDepth(DWORD bits) {
  CPixelFormat format;
  if (bits <= 8)
    format.SetIndexed(bits, nullptr);
  else if (bits == 16)
    format.SetMasks(16, 0xF800, 0x7E0, 0x1F);
  else
    format.SetMasks(bits, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

BYTE* RowAt(CDIBitmap& bitmap, DWORD y) {
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  return bitmap.GetPixels() + stride * (bitmap.IsTopDown() ? y : bitmap.GetHeight() - 1 - y);
}

// Pixel values as the bitmap packs them: sub-byte ones from the top bits
// of each byte, wider ones little-endian.
DWORD GetPixel(CDIBitmap& bitmap, DWORD x, DWORD y) {
  const DWORD bits = bitmap.GetFormat().bitsPerPixel;
  const BYTE* row = RowAt(bitmap, y);
  if (bits < 8) {
    const DWORD bit = x * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
  }
  DWORD value = 0;
  for (DWORD b = 0; b < bits / 8; ++b) value |= static_cast<DWORD>(row[x * (bits / 8) + b]) << (8 * b);
  return value;
}

void SetPixel(CDIBitmap& bitmap, DWORD x, DWORD y, DWORD value) {
  const DWORD bits = bitmap.GetFormat().bitsPerPixel;
  BYTE* row = RowAt(bitmap, y);
  if (bits < 8) {
    const DWORD bit = x * bits;
    const DWORD shift = 8 - bits - bit % 8;
    const BYTE mask = static_cast<BYTE>(((1u << bits) - 1) << shift);
    row[bit / 8] = static_cast<BYTE>((row[bit / 8] & ~mask) | ((value << shift) & mask));
    return;
  }
  for (DWORD b = 0; b < bits / 8; ++b) row[x * (bits / 8) + b] = static_cast<BYTE>(value >> (8 * b));
}

// Every byte random, the padding and the spare bits of the last byte too,
// so that a copy that touches them shows.
void FillRandom(CDIBitmap& bitmap, unsigned seed) {
  std::mt19937 random(seed);
  for (DWORD i = 0; i < bitmap.GetDataSize(); ++i) bitmap.GetPixels()[i] = static_cast<BYTE>(random());
}

std::vector<BYTE> BytesOf(const CDIBitmap& bitmap) {
  return std::vector<BYTE>(bitmap.GetPixels(), bitmap.GetPixels() + bitmap.GetDataSize());
}

struct Rect {
  INT dx, dy, width, height, sx, sy;
};

std::string Describe(DWORD bits, const Rect& r) {
  return std::to_string(bits) + " bits, " + std::to_string(r.width) + "x" + std::to_string(r.height) + " from (" +
         std::to_string(r.sx) + "," + std::to_string(r.sy) + ") to (" + std::to_string(r.dx) + "," +
         std::to_string(r.dy) + ")";
}

// The copy as a person would do it: each destination pixel whose place in
// the rectangle has a source pixel, one at a time.
void ModelBlit(CDIBitmap& destination, const Rect& r, CDIBitmap& source) {
  for (DWORD y = 0; y < destination.GetHeight(); ++y) {
    for (DWORD x = 0; x < destination.GetWidth(); ++x) {
      const int64_t j = int64_t{x} - r.dx, i = int64_t{y} - r.dy;
      if (j < 0 || i < 0 || j >= r.width || i >= r.height) continue;
      const int64_t sx = r.sx + j, sy = r.sy + i;
      if (sx < 0 || sy < 0 || sx >= source.GetWidth() || sy >= source.GetHeight()) continue;
      SetPixel(destination, x, y, GetPixel(source, static_cast<DWORD>(sx), static_cast<DWORD>(sy)));
    }
  }
}

const Rect kRects[] = {
    {0, 0, 17, 9, 0, 0},             // the whole source
    {3, 2, 5, 4, 1, 3},              // inside both
    {1, 0, 7, 3, 6, 4},              // odd offsets on both sides
    {-3, -2, 8, 6, 4, 1},            // starts left of and above the destination
    {2, 1, 8, 6, -3, -4},            // starts left of and above the source
    {15, 9, 10, 10, 10, 5},          // runs past the right and bottom edges
    {0, 0, 100, 100, -50, -50},      // larger than both
    {40, 0, 3, 3, 0, 0},             // wholly outside the destination
    {0, 0, 3, 3, 17, 0},             // wholly outside the source
    {1, 1, 0, 5, 1, 1},              // empty
    {1, 1, -4, 5, 1, 1},             // negative size
    {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
    {INT_MIN, 2, INT_MAX, 3, 2, INT_MIN},
};

TEST(BitmapBlitter, CopiesMatchThePixelModelAtEveryDepthOrientationAndClip) {
  for (DWORD bits : {1u, 2u, 4u, 8u, 16u, 24u, 32u}) {
    for (bool sourceTopDown : {false, true}) {
      for (bool destinationTopDown : {false, true}) {
        CDIBitmap source, destination, expected;
        source.Create(17, 9, CDIBitmap::kPadToFourBytes, FormatOfDepth(bits), sourceTopDown);
        destination.Create(19, 12, CDIBitmap::kPadToFourBytes, FormatOfDepth(bits), destinationTopDown);
        FillRandom(source, bits);
        CBitmapBlitter blitter;
        blitter.SetFormat(source.GetFormat());
        for (const Rect& r : kRects) {
          FillRandom(destination, 1000 + bits);
          expected.Copy(destination);
          ModelBlit(expected, r, source);
          blitter.Blit(destination, r.dx, r.dy, r.width, r.height, source, r.sx, r.sy);
          EXPECT_EQ(BytesOf(destination), BytesOf(expected))
              << Describe(bits, r) << (sourceTopDown ? ", top-down" : ", bottom-up") << " source"
              << (destinationTopDown ? ", top-down" : ", bottom-up") << " destination";
        }
      }
    }
  }
}

TEST(BitmapBlitter, MovesWithinOneBitmapReadEachPixelBeforeOverwritingIt) {
  const Rect moves[] = {{2, 1, 9, 6, 0, 0}, {0, 0, 9, 6, 3, 2}, {1, 0, 12, 7, 0, 0}, {0, 3, 15, 5, 0, 0}};
  for (DWORD bits : {1u, 4u, 8u, 24u}) {
    for (const Rect& r : moves) {
      CDIBitmap bitmap, original, expected;
      bitmap.Create(17, 9, CDIBitmap::kPadToFourBytes, FormatOfDepth(bits), false);
      FillRandom(bitmap, 7);
      original.Copy(bitmap);
      expected.Copy(bitmap);
      ModelBlit(expected, r, original);
      CBitmapBlitter blitter;
      blitter.SetFormat(bitmap.GetFormat());
      blitter.Blit(bitmap, r.dx, r.dy, r.width, r.height, bitmap, r.sx, r.sy);
      EXPECT_EQ(BytesOf(bitmap), BytesOf(expected)) << Describe(bits, r);
    }
  }
}

TEST(BitmapBlitter, BitmapsOfAnotherDepthThanTheFormatAreRefused) {
  CDIBitmap source, destination;
  source.Create(4, 4, CDIBitmap::kPadToFourBytes, FormatOfDepth(8), true);
  destination.Create(4, 4, CDIBitmap::kPadToFourBytes, FormatOfDepth(32), true);
  CBitmapBlitter blitter;
  EXPECT_EQ(blitter.GetBitsPerPixel(), -1);
  const std::vector<BYTE> before = BytesOf(destination);
  for (DWORD formatBits : {0u, 8u, 32u}) {
    if (formatBits) blitter.SetFormat(FormatOfDepth(formatBits));
    try {
      blitter.Blit(destination, 0, 0, 4, 4, source, 0, 0);
      ADD_FAILURE() << "an 8-bit source was copied into a 32-bit bitmap with a " << formatBits << "-bit format";
    } catch (CError* error) {
      EXPECT_STREQ(error->GetText(), "Unsupported pixel format.");
      DisposeError(error);
    }
  }
  EXPECT_EQ(BytesOf(destination), before);
}

}  // namespace
