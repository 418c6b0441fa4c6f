#include "foundation/bitmapfiles/GIFIndexBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// The image data: every sub-block up to the empty one, joined. Data
// without any sub-block is refused here, before anything is allocated.
std::vector<BYTE> ReadImageData(CStream& stream) {
  std::vector<BYTE> data;
  BYTE block[255];
  for (BYTE size = ReadByteExactly(stream); size != 0; size = ReadByteExactly(stream)) {
    ReadExactly(stream, block, size);
    data.insert(data.end(), block, block + size);
  }
  if (data.empty()) ThrowCorruptedFile(stream);
  return data;
}

// The most symbols `bytes` of codes of at least `codeWidth` bits can give.
// After a clear code the i-th code's string is at most i symbols long (each
// new entry is the previous string plus one symbol), and no string is
// longer than the table has entries.
uint64_t MostSymbols(size_t bytes, DWORD codeWidth) {
  constexpr uint64_t kLongest = uint64_t{1} << CLZWDecoder::kGIFMaxCodeWidth;
  const uint64_t codes = uint64_t{bytes} * 8 / codeWidth;
  if (codes <= kLongest) return codes * (codes + 1) / 2;
  return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

}  // namespace

void GIFIndexBuffer::Decode(CStream& stream, DWORD minimumCodeSize, DWORD width, DWORD height, DWORD depth,
                            DWORD colorBits) {
  // Larger sizes would overrun the decoder's table and shifts.
  if (minimumCodeSize < 1 || minimumCodeSize > kMaxMinimumCodeSize) ThrowCorruptedFile(stream);
  std::vector<BYTE> data = ReadImageData(stream);
  CLZWDecoder decoder;
  decoder.Init(CLZWDecoder::kGIFMaxCodeWidth, (1u << minimumCodeSize) - 1, 0);

  // The buffer holds the whole rows that the data can reach: a few bytes
  // claiming a huge image cost no more than what they can decode to.
  const uint64_t pixels = static_cast<uint64_t>(width) * height;
  const uint64_t reachableRows =
      width ? (std::min(MostSymbols(data.size(), decoder.GetCodeWidth()), pixels) + width - 1) / width : 0;
  const uint64_t capacity = std::min(pixels, reachableRows * width);
  const DWORD fieldWidth = pixels <= kMaxBufferSize ? 8 : depth;
  const uint64_t size = (capacity * fieldWidth + 7) / 8;
  if (size > kMaxBufferSize) ThrowBitmapError(kTooLargeKey, kTooLargeText);
  m_Indices.reset(static_cast<BYTE*>(std::calloc(size ? size : 1, 1)));
  if (!m_Indices) ThrowMemoryError();
  if (capacity < pixels) {
    m_ZeroRow.reset(static_cast<BYTE*>(std::calloc((uint64_t{width} * fieldWidth + 7) / 8, 1)));
    if (!m_ZeroRow) ThrowMemoryError();
  }
  m_Width = width;
  m_Height = height;
  m_Depth = depth;
  m_FieldWidth = fieldWidth;
  m_Capacity = capacity;

  decoder.SetOutput(m_Indices.get(), capacity, fieldWidth, (1u << colorBits) - 1);
  // The data in pieces the decoder counts in 32 bits; each piece starts
  // where the previous one's last whole code ended.
  constexpr size_t kPiece = size_t{1} << 24;
  for (size_t offset = 0; offset < data.size() && !decoder.HasEnded();) {
    const DWORD piece = static_cast<DWORD>(std::min(data.size() - offset, kPiece));
    decoder.SetInput(data.data() + offset);
    try {
      decoder.Decode(piece);
    } catch (CLZWError* error) {
      DisposeError(error);
      ThrowCorruptedFile(stream);
    }
    const DWORD used = decoder.GetInputOffset();
    if (used == 0) break;  // what is left is less than a code
    offset += used;
  }
  m_Decoded = std::min(decoder.GetSymbolCount(), capacity);
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
