// GIFIndexBuffer: the decoded pixel indices of one GIF image, width x
// height fields in the order the image data gives them (pass by pass for
// interlaced images). A field is a byte, which decodes fastest; only
// images of more than 2^31 - 1 pixels keep their indices packed at the
// pixel depth (1, 2, 4 or 8 bits, least significant bit first), so that
// the buffer stays no larger than the bitmap. Indices are cut to the
// colour table's bits, so none reaches past the table. Pixels the data
// does not cover stay 0; indices beyond width x height are dropped.
//
// The buffer holds only the rows the image data can reach (the i-th LZW
// code after a clear gives at most i symbols, and no code more than the
// table has entries); the rows after them read as 0 without taking
// memory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include <windows.h>

#include "foundation/bitmapfiles/BitFieldCursor.h"

class CDIBitmap;
class CStream;

class GIFIndexBuffer {
 public:
  // Reads the image data (the sub-blocks after the minimum code size byte)
  // from the stream, whole, and decodes it. A minimum code size outside 1
  // to 8, image data without any sub-block and undecodable data throw
  // CStreamError corrupted, a short stream end of stream, an image too
  // large for memory the bitmap error.
  void Decode(CStream& stream, DWORD minimumCodeSize, DWORD width, DWORD height, DWORD depth, DWORD colorBits);

  DWORD GetWidth() const { return m_Width; }
  DWORD GetHeight() const { return m_Height; }
  DWORD GetDepth() const { return m_Depth; }
  DWORD GetFieldWidth() const { return m_FieldWidth; }
  // Indices the data gave, at most width x height; the others are 0.
  uint64_t GetDecodedCount() const { return m_Decoded; }
  // Fields the buffer holds: whole rows, at most width x height.
  uint64_t GetCapacity() const { return m_Capacity; }

  // Calls visit(imageRow, cursor) once per row of the image, in stream
  // order; the cursor stands on the row's first index (read it with Read).
  template <class Visit>
  void ForEachRow(bool interlaced, Visit&& visit) const {
    static constexpr DWORD kPasses[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    DWORD streamRow = 0;
    for (const auto& pass : kPasses) {
      const DWORD first = interlaced ? pass[0] : 0;
      const DWORD step = interlaced ? pass[1] : 1;
      for (DWORD row = first; row < m_Height; row += step) visit(row, CursorAtRow(streamRow++));
      if (!interlaced) return;
    }
  }

  // Fills the pixel rows of a palettized bitmap of the same size and depth.
  void Unpack(CDIBitmap& bitmap, bool interlaced) const;

 private:
  struct FreeBlock {
    void operator()(BYTE* block) const { std::free(block); }
  };

  CBitFieldCursor CursorAtRow(DWORD streamRow) const {
    CBitFieldCursor cursor;
    const uint64_t start = static_cast<uint64_t>(streamRow) * m_Width;
    if (start >= m_Capacity)
      cursor.Setup(m_ZeroRow.get(), m_FieldWidth);
    else
      cursor.Setup(m_Indices.get(), m_FieldWidth, start);
    return cursor;
  }

  // calloc'd: a large image costs memory only as far as its data goes.
  std::unique_ptr<BYTE, FreeBlock> m_Indices;
  // One row of zeros, for the rows beyond the buffer (when there are any).
  std::unique_ptr<BYTE, FreeBlock> m_ZeroRow;
  uint64_t m_Capacity = 0;  // fields in m_Indices, whole rows
  DWORD m_Width = 0;
  DWORD m_Height = 0;
  DWORD m_Depth = 0;
  DWORD m_FieldWidth = 0;
  uint64_t m_Decoded = 0;
};
