// RLE8 and RLE4 data of BMP files, decoded into a bitmap's pixel block.
//
// The data is a sequence of byte pairs: (n, c) with n > 0 is a run of n
// pixels; (0, 0) ends the line, (0, 1) the bitmap; (0, 2, dx, dy) moves
// the position; (0, n) with n >= 3 is followed by n literal pixels padded
// to a 16-bit boundary. Rows are filled in memory order.
//
// A row holds as many pixels as its bytes, padding included, can take:
// some writers (ImageMagick among them) encode the padding as pixels too.
// So runs, literals and delta moves may all reach into the padding; pixels
// beyond the bitmap's width are dropped, and the padding stays zero. Runs,
// literals and moves that would leave the padded row or the bitmap fail
// the decode: nothing is ever written outside the row being filled.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "foundation/bitmapfiles/RLEData.h"
#include "foundation/bitmaps/DIBitmap.h"

namespace {

// Where decoding stands: the row being filled (in memory order) and the
// pixel within it.
struct RLEPosition {
  DWORD row = 0;
  uint64_t x = 0;
};

// What an escape pair (0, code) did to the position.
enum class EscapeResult { kContinue, kDone, kFailed };

// The end-of-line, end-of-bitmap and delta escapes, shared by both
// depths. The data cursor `p` points behind the pair.
EscapeResult ApplyPositionEscape(BYTE code, const BYTE* data, DWORD size, DWORD& p, RLEPosition& at, uint64_t rowPixels,
                                 DWORD height) {
  switch (code) {
    case 0:
      at.x = 0;
      return ++at.row >= height ? EscapeResult::kDone : EscapeResult::kContinue;
    case 1: return EscapeResult::kDone;
    default: {
      if (size - p < 2) return EscapeResult::kFailed;
      const DWORD dx = data[p];
      const DWORD dy = data[p + 1];
      p += 2;
      if (dx > rowPixels - at.x || dy > height - at.row) return EscapeResult::kFailed;
      at.x += dx;
      at.row += dy;
      // Moved to the row after the last one: nothing more can be drawn.
      return at.row == height ? EscapeResult::kDone : EscapeResult::kContinue;
    }
  }
}

// The pixel writers of the two depths: x is the pixel within the row, n
// the pixels to write (all inside the width).
struct RLE8Pixels {
  static constexpr DWORD kPixelsPerByte = 1;
  static void Run(BYTE* row, DWORD x, DWORD n, BYTE value) { std::memset(row + x, value, n); }
  static void Literal(BYTE* row, DWORD x, DWORD n, const BYTE* bytes) { std::memcpy(row + x, bytes, n); }
};

struct RLE4Pixels {
  static constexpr DWORD kPixelsPerByte = 2;
  // The block starts zeroed and every pixel is written at most once, so a
  // nibble is ORed into place; high nibble first.
  static void Put(BYTE* row, DWORD x, BYTE nibble) { row[x / 2] |= (x & 1) ? nibble : static_cast<BYTE>(nibble << 4); }
  static void Run(BYTE* row, DWORD x, DWORD n, BYTE value) {
    const BYTE nibbles[2] = {static_cast<BYTE>(value >> 4), static_cast<BYTE>(value & 0xF)};
    for (DWORD i = 0; i < n; ++i) Put(row, x + i, nibbles[i & 1]);
  }
  static void Literal(BYTE* row, DWORD x, DWORD n, const BYTE* bytes) {
    for (DWORD i = 0; i < n; ++i) Put(row, x + i, (i & 1) ? bytes[i / 2] & 0xF : bytes[i / 2] >> 4);
  }
};

// The part of n pixels from x that lies inside the width.
DWORD VisiblePart(uint64_t x, DWORD n, DWORD width) {
  return x >= width ? 0 : static_cast<DWORD>(std::min<uint64_t>(n, width - x));
}

// Walks the data as the decoder does. With pixels null it only checks the
// data, so that a file can be refused before its pixel block is made.
template <class Pixels>
bool DecodeRLEData(BYTE* pixels, uint64_t stride, DWORD width, DWORD height, const BYTE* data, DWORD size) {
  const uint64_t rowPixels = stride * Pixels::kPixelsPerByte;
  RLEPosition at;
  DWORD p = 0;
  for (;;) {
    if (size - p < 2) return false;
    const BYTE first = data[p];
    const BYTE second = data[p + 1];
    p += 2;
    // A full row takes only the end of the line or of the bitmap.
    if (at.x >= rowPixels && !(first == 0 && second <= 1)) return false;
    BYTE* row = pixels ? pixels + stride * at.row : nullptr;
    if (first > 0) {
      if (first > rowPixels - at.x) return false;
      if (row) Pixels::Run(row, static_cast<DWORD>(at.x), VisiblePart(at.x, first, width), second);
      at.x += first;
      continue;
    }
    if (second < 3) {
      const EscapeResult result = ApplyPositionEscape(second, data, size, p, at, rowPixels, height);
      if (result == EscapeResult::kContinue) continue;
      return result == EscapeResult::kDone;
    }
    const DWORD n = second;
    const DWORD bytes = (n + Pixels::kPixelsPerByte - 1) / Pixels::kPixelsPerByte;
    const DWORD padded = bytes + (bytes & 1);
    if (n > rowPixels - at.x || size - p < padded) return false;
    if (row) Pixels::Literal(row, static_cast<DWORD>(at.x), VisiblePart(at.x, n, width), data + p);
    p += padded;
    at.x += n;
  }
}

// Row stride of a bitmap made with rows padded to 4 bytes.
uint64_t PaddedStride(DWORD width, DWORD bits) { return (uint64_t{width} * bits + 31) / 32 * 4; }

}  // namespace

bool IsDecodableRLE(const BYTE* data, DWORD size, DWORD compression, DWORD width, DWORD height) {
  if (height == 0) return true;
  switch (compression) {
    case BI_RLE8: return DecodeRLEData<RLE8Pixels>(nullptr, PaddedStride(width, 8), width, height, data, size);
    case BI_RLE4: return DecodeRLEData<RLE4Pixels>(nullptr, PaddedStride(width, 4), width, height, data, size);
    default: return false;
  }
}

bool CDIBitmap::DecodeRLE(const BYTE* data, DWORD size, DWORD compression) {
  switch (compression) {
    case BI_RLE8: return DecodeRLE8(data, size);
    case BI_RLE4: return DecodeRLE4(data, size);
    default: return false;
  }
}

bool CDIBitmap::DecodeRLE8(const BYTE* data, DWORD size) {
  if (!m_Pixels || m_Format.bitsPerPixel != 8) return false;
  std::memset(m_Pixels, 0, m_DataSize);
  if (m_Height == 0) return true;
  return DecodeRLEData<RLE8Pixels>(m_Pixels, m_BytesPerRow + m_RowPadding, m_Width, m_Height, data, size);
}

bool CDIBitmap::DecodeRLE4(const BYTE* data, DWORD size) {
  if (!m_Pixels || m_Format.bitsPerPixel != 4) return false;
  std::memset(m_Pixels, 0, m_DataSize);
  if (m_Height == 0) return true;
  return DecodeRLEData<RLE4Pixels>(m_Pixels, m_BytesPerRow + m_RowPadding, m_Width, m_Height, data, size);
}
