#include "foundation/bitmaps/BitmapBlitter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/DIBitmap.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBitmapBlitter, CTypedObject)

namespace {

bool IsSupportedDepth(INT bits) { return bits == 1 || bits == 2 || bits == 4 || (bits % 8 == 0 && bits >= 8 && bits <= 32); }

// The top row's address and the step to the row below.
struct TopRow {
  BYTE* address;
  ptrdiff_t step;
};

TopRow TopRowOf(const CDIBitmap& bitmap) {
  BYTE* pixels = const_cast<BYTE*>(bitmap.GetPixels());
  const ptrdiff_t stride = static_cast<ptrdiff_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  if (bitmap.IsTopDown()) return {pixels, stride};
  return {pixels + stride * (static_cast<ptrdiff_t>(bitmap.GetHeight()) - 1), -stride};
}

// Bits are numbered from the most significant bit of each byte, as
// sub-byte pixels are packed.
bool GetBit(const BYTE* row, uint64_t bit) { return (row[bit / 8] >> (7 - bit % 8)) & 1; }

void SetBit(BYTE* row, uint64_t bit, bool on) {
  const BYTE mask = static_cast<BYTE>(0x80 >> (bit % 8));
  row[bit / 8] = on ? (row[bit / 8] | mask) : (row[bit / 8] & ~mask);
}

// Copies `count` bits between rows that do not overlap; the bytes around
// them keep their other bits.
void CopyBits(BYTE* destination, uint64_t destinationBit, const BYTE* source, uint64_t sourceBit, uint64_t count) {
  uint64_t done = 0;
  if (destinationBit % 8 == sourceBit % 8) {
    // Same place in the byte: bit by bit up to a byte boundary, then whole
    // bytes, then the bits of the last byte.
    for (; done < count && (destinationBit + done) % 8 != 0; ++done)
      SetBit(destination, destinationBit + done, GetBit(source, sourceBit + done));
    const uint64_t wholeBytes = (count - done) / 8;
    std::memcpy(destination + (destinationBit + done) / 8, source + (sourceBit + done) / 8, wholeBytes);
    done += wholeBytes * 8;
  }
  for (; done < count; ++done) SetBit(destination, destinationBit + done, GetBit(source, sourceBit + done));
}

}  // namespace

void CBitmapBlitter::SetFormat(const CPixelFormat& format) {
  m_BitsPerPixel = static_cast<INT>(format.bitsPerPixel);
  m_BytesPerPixel = (m_BitsPerPixel + 7) / 8;
}

void CBitmapBlitter::Blit(CDIBitmap& destination, INT destinationX, INT destinationY, INT width, INT height,
                          const CDIBitmap& source, INT sourceX, INT sourceY) {
  if (!IsSupportedDepth(m_BitsPerPixel) || destination.GetFormat().bitsPerPixel != static_cast<DWORD>(m_BitsPerPixel) ||
      source.GetFormat().bitsPerPixel != static_cast<DWORD>(m_BitsPerPixel))
    ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  if (!destination.HasPixels() || !source.HasPixels()) return;

  // Clipping in 64 bits: a start left of or above either bitmap moves both
  // starts on; the size then ends at the nearer right and bottom edges.
  int64_t sx = sourceX, sy = sourceY, dx = destinationX, dy = destinationY, w = width, h = height;
  const int64_t shiftX = std::max<int64_t>({0, -sx, -dx});
  const int64_t shiftY = std::max<int64_t>({0, -sy, -dy});
  sx += shiftX, dx += shiftX, w -= shiftX;
  sy += shiftY, dy += shiftY, h -= shiftY;
  w = std::min<int64_t>({w, static_cast<int64_t>(source.GetWidth()) - sx, static_cast<int64_t>(destination.GetWidth()) - dx});
  h = std::min<int64_t>({h, static_cast<int64_t>(source.GetHeight()) - sy, static_cast<int64_t>(destination.GetHeight()) - dy});
  if (w <= 0 || h <= 0) return;

  const TopRow from = TopRowOf(source);
  const TopRow to = TopRowOf(destination);
  const uint64_t bits = static_cast<uint64_t>(m_BitsPerPixel);
  const bool sameBitmap = &source == &destination;
  // Within one bitmap, rows are copied away from the direction of the
  // move, so no row is overwritten before it is read.
  const bool bottomFirst = sameBitmap && dy > sy;
  std::vector<BYTE> rowCopy(sameBitmap && bits % 8 ? source.GetBytesPerRow() : 0);
  for (int64_t i = 0; i < h; ++i) {
    const int64_t row = bottomFirst ? h - 1 - i : i;
    const BYTE* sourceRow = from.address + from.step * (sy + row);
    BYTE* destinationRow = to.address + to.step * (dy + row);
    if (bits % 8 == 0) {
      const size_t bytesPerPixel = bits / 8;
      std::memmove(destinationRow + dx * bytesPerPixel, sourceRow + sx * bytesPerPixel, w * bytesPerPixel);
      continue;
    }
    if (sameBitmap) {
      std::memcpy(rowCopy.data(), sourceRow, rowCopy.size());
      sourceRow = rowCopy.data();
    }
    CopyBits(destinationRow, dx * bits, sourceRow, sx * bits, w * bits);
  }
}
