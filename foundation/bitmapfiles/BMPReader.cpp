// The BMP reader: Windows bitmap files with the 40-byte information header
// or a longer one (read as far as the 40 bytes' fields and the masks that
// follow them; a palette starts after the whole header), 1, 2, 4, 8 and 24
// bits uncompressed, 16 and 32 bits with bit fields, RLE8 and RLE4.
#include <cstdint>
#include <new>
#include <vector>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/RLEData.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/BitmapInfo.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"

namespace {

constexpr DWORD kHeadersSize = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
constexpr DWORD kMasksSize = 12;

// Bit fields are the only compression of 16 and 32 bits; RLE8 goes with 8
// bits and RLE4 with 4 bits only.
bool IsAcceptedCompression(DWORD bits, DWORD compression) {
  if (bits == 16 || bits == 32) return compression == BI_BITFIELDS;
  return compression == BI_RGB || (compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4);
}

// The palette of a 1-, 2-, 4- or 8-bit file: `used` RGBQUADs. Pixel values
// beyond them are not looked up here; the conversions show them black.
void ReadPalette(CStream& stream, DWORD bits, DWORD used, CPixelFormat& format) {
  BYTE quads[256 * kRGBQuadSize];
  ReadExactly(stream, quads, used * kRGBQuadSize);
  CColorPalette* palette = new (std::nothrow) CColorPalette;
  if (!palette) ThrowMemoryError();
  try {
    palette->SetEntries(used, nullptr);
    for (DWORD i = 0; i < used; ++i) palette->GetEntries()[i] = ReadRGBQuadAsEntry(quads + i * kRGBQuadSize);
    format.SetIndexed(bits, palette);
  } catch (...) {
    palette->Release();
    throw;
  }
  palette->Release();
}

}  // namespace

void CDIBitmap::LoadBMP(CStream& stream) {
  Free();
  try {
    BYTE headers[kHeadersSize];
    ReadExactly(stream, headers, kHeadersSize);
    const BITMAPFILEHEADER file = ReadBitmapFileHeader(headers);
    const BITMAPINFOHEADER info = ReadBitmapInfoHeader(headers + kBitmapFileHeaderSize);
    const DWORD bits = info.biBitCount;
    const DWORD compression = info.biCompression;
    if (!IsAcceptedCompression(bits, compression) || info.biPlanes != 1) ThrowUnsupportedBitmapFormat(stream);

    // A bitmap has at least one column and one row; the sizes themselves
    // are checked, in 64 bits, when the pixel block is made.
    if (info.biWidth <= 0 || info.biHeight == 0) ThrowCorruptedFile(stream);
    const bool topDown = info.biHeight < 0;
    const int64_t signedHeight = info.biHeight;
    const DWORD height = static_cast<DWORD>(topDown ? -signedHeight : signedHeight);

    uint64_t consumed = kHeadersSize;
    CPixelFormat format;
    switch (bits) {
      case 1:
      case 2:
      case 4:
      case 8: {
        // More colours than the depth can index would be read for nothing
        // (a count of 0xFFFFFFFF would read the whole file as palette).
        const DWORD capacity = 1u << bits;
        const DWORD used = info.biClrUsed ? info.biClrUsed : capacity;
        if (used > capacity) ThrowUnsupportedBitmapFormat(stream);
        // The palette follows the whole information header, however long.
        if (info.biSize > kBitmapInfoHeaderSize) {
          const DWORD rest = info.biSize - static_cast<DWORD>(kBitmapInfoHeaderSize);
          if (consumed + rest > file.bfOffBits) ThrowUnsupportedBitmapFormat(stream);
          SkipExactly(stream, rest);
          consumed += rest;
        }
        ReadPalette(stream, bits, used, format);
        consumed += used * kRGBQuadSize;
        break;
      }
      case 16:
      case 32: {
        BYTE masks[kMasksSize];
        ReadExactly(stream, masks, kMasksSize);
        consumed += kMasksSize;
        format.SetMasks(bits, ReadLE32(masks), ReadLE32(masks + 4), ReadLE32(masks + 8));
        break;
      }
      case 24: format.SetMasks(24, 0xFF0000, 0xFF00, 0xFF); break;
      default: ThrowUnsupportedBitmapBitCount(stream);
    }

    if (consumed > file.bfOffBits) ThrowUnsupportedBitmapFormat(stream);
    SkipExactly(stream, static_cast<DWORD>(file.bfOffBits - consumed));

    if (compression == BI_RLE8 || compression == BI_RLE4) {
      if (info.biSizeImage == 0) ThrowUnsupportedBitmapFormat(stream);
      // Read and checked before the pixel block is made: a file too short
      // for its RLE data, or whose data is malformed, fails before a large
      // block is allocated and zeroed.
      const std::vector<BYTE> data = ReadBlockExactly(stream, info.biSizeImage);
      if (!IsDecodableRLE(data.data(), info.biSizeImage, compression, static_cast<DWORD>(info.biWidth), height))
        ThrowCorruptedFile(stream);
      Create(static_cast<DWORD>(info.biWidth), height, kPadToFourBytes, format, topDown);
      if (!DecodeRLE(data.data(), info.biSizeImage, compression)) ThrowCorruptedFile(stream);
      return;
    }
    Create(static_cast<DWORD>(info.biWidth), height, kPadToFourBytes, format, topDown);
    ReadExactly(stream, m_Pixels, m_DataSize);
  } catch (...) {
    Free();
    throw;
  }
}
