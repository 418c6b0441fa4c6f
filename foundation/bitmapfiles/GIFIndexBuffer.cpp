#include "foundation/bitmapfiles/GIFIndexBuffer.h"

#include <algorithm>
#include <cstring>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/LZWDecoder.h"
#include "foundation/bitmapfiles/LZWError.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/MemoryError.h"

namespace {

constexpr DWORD kMaxMinimumCodeSize = 8;
// As for bitmaps: no block of 2 GiB or more.
constexpr uint64_t kMaxBufferSize = 0x7FFFFFFF;
// A sub-block of up to 255 bytes behind the few bytes of a code that the
// previous one left over.
constexpr DWORD kInputSize = 260;

// One row of indices into a bitmap row of the given depth, whose pixels
// run from the most significant bits down.
void UnpackRow(CBitFieldCursor indices, DWORD width, DWORD depth, BYTE* row) {
  if (indices.width == 8) {
    const BYTE* bytes = indices.buffer + indices.byteOffset;
    if (depth == 8) {
      std::memcpy(row, bytes, width);
      return;
    }
    const DWORD perByte = 8 / depth;
    DWORD x = 0;
    for (; x + perByte <= width; x += perByte) {
      DWORD packed = 0;
      for (DWORD i = 0; i < perByte; ++i) packed = packed << depth | bytes[x + i];
      *row++ = static_cast<BYTE>(packed);
    }
    if (x < width) {
      DWORD packed = 0;
      for (DWORD i = 0; i < perByte; ++i) packed = packed << depth | (x + i < width ? bytes[x + i] : 0);
      *row = static_cast<BYTE>(packed);
    }
    return;
  }
  DWORD pending = 0;
  DWORD filled = 0;
  for (DWORD x = 0; x < width; ++x) {
    pending = pending << depth | indices.Read();
    filled += depth;
    if (filled == 8) {
      *row++ = static_cast<BYTE>(pending);
      pending = filled = 0;
    }
  }
  if (filled) *row = static_cast<BYTE>(pending << (8 - filled));
}

}  // namespace

void GIFIndexBuffer::Decode(CStream& stream, DWORD minimumCodeSize, DWORD width, DWORD height, DWORD depth,
                            DWORD colorBits) {
  // Larger sizes would overrun the decoder's table and shifts.
  if (minimumCodeSize < 1 || minimumCodeSize > kMaxMinimumCodeSize) ThrowCorruptedFile(stream);
  // An image without any data is refused before its buffer is made: a few
  // bytes must not cost the memory of the size they claim.
  BYTE blockSize = ReadByteExactly(stream);
  if (blockSize == 0) ThrowCorruptedFile(stream);
  const uint64_t pixels = static_cast<uint64_t>(width) * height;
  const DWORD fieldWidth = pixels <= kMaxBufferSize ? 8 : depth;
  const uint64_t size = (pixels * fieldWidth + 7) / 8;
  if (size > kMaxBufferSize) ThrowBitmapError(kTooLargeKey, kTooLargeText);
  m_Indices.reset(static_cast<BYTE*>(std::calloc(size ? size : 1, 1)));
  if (!m_Indices) ThrowMemoryError();
  m_Width = width;
  m_Height = height;
  m_Depth = depth;
  m_FieldWidth = fieldWidth;

  CLZWDecoder decoder;
  decoder.Init(CLZWDecoder::kGIFMaxCodeWidth, (1u << minimumCodeSize) - 1, 0);
  decoder.SetOutput(m_Indices.get(), pixels, fieldWidth, (1u << colorBits) - 1);
  BYTE input[kInputSize];
  DWORD carried = 0;
  for (; blockSize != 0; blockSize = ReadByteExactly(stream)) {
    ReadExactly(stream, input + carried, blockSize);
    const DWORD available = carried + blockSize;
    decoder.SetInput(input);
    try {
      decoder.Decode(available);
    } catch (CLZWError* error) {
      DisposeError(error);
      ThrowCorruptedFile(stream);
    }
    const DWORD used = decoder.GetInputOffset();
    carried = available - used;
    // The decoder leaves at most the bytes of one incomplete code.
    if (carried > kInputSize - 255) ThrowCorruptedFile(stream);
    std::memmove(input, input + used, carried);
  }
  m_Decoded = std::min(decoder.GetSymbolCount(), pixels);
}

void GIFIndexBuffer::Unpack(CDIBitmap& bitmap, bool interlaced) const {
  BYTE* pixels = bitmap.GetPixels();
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  uint64_t rowStart = 0;
  ForEachRow(interlaced, [&](DWORD row, const CBitFieldCursor& cursor) {
    BYTE* out = pixels + stride * row;
    // Rows the data never reached (a short or hostile file) are all 0.
    if (rowStart < m_Decoded) {
      UnpackRow(cursor, m_Width, m_Depth, out);
      std::memset(out + bitmap.GetBytesPerRow(), 0, bitmap.GetRowPadding());
    } else {
      std::memset(out, 0, stride);
    }
    rowStart += m_Width;
  });
}
