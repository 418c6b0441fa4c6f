// The XTRMPIC reader: the library's own picture format. After the 7-byte
// magic, everything is read through a storage archive: flags (bit 0 must
// be clear), 4 bytes not used, width and height (signed 16-bit), bits per
// pixel, row padding, data size, palette flag, then a palette count and
// entries (0x00BBGGRR), masks for 16 and 32 bits, and the rows bottom-up.
// Files of up to 8 bits per pixel hold one byte per pixel.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/BitmapFileMagic.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/Stream.h"

namespace {

constexpr DWORD kArchiveBuffer = 4096;
constexpr BYTE kUnsupportedFlag = 0x01;
constexpr DWORD kPaletteDepth = 8;

struct XTRMPICHeader {
  BYTE flags = 0;
  DWORD unused = 0;
  SHORT width = 0;
  SHORT height = 0;
  BYTE bitsPerPixel = 0;
  BYTE rowPadding = 0;
  DWORD dataSize = 0;
  BYTE hasPalette = 0;
};

XTRMPICHeader ReadHeader(CStorage& storage) {
  XTRMPICHeader header;
  storage.ReadValue(header.flags);
  storage.ReadValue(header.unused);
  storage.ReadValue(header.width);
  storage.ReadValue(header.height);
  storage.ReadValue(header.bitsPerPixel);
  storage.ReadValue(header.rowPadding);
  storage.ReadValue(header.dataSize);
  storage.ReadValue(header.hasPalette);
  return header;
}

// The 8-bit palette of `count` stored entries. Entries beyond 256 cannot be
// indexed and are read and dropped; pixel values beyond the count show
// black.
void ReadPalette(CStorage& storage, WORD count, CPixelFormat& format) {
  std::vector<DWORD> entries(count);
  for (WORD i = 0; i < count; ++i) storage.ReadValue(entries[i]);
  const DWORD kept = std::min<DWORD>(count, 1u << kPaletteDepth);
  CColorPalette* palette = new (std::nothrow) CColorPalette;
  if (!palette) ThrowMemoryError();
  try {
    palette->SetEntries(kept, entries.data());
    format.SetIndexed(kPaletteDepth, palette);
  } catch (...) {
    palette->Release();
    throw;
  }
  palette->Release();
}

void SkipPalette(CStorage& storage, WORD count) {
  for (WORD i = 0; i < count; ++i) {
    DWORD entry = 0;
    storage.ReadValue(entry);
  }
}

void ReadMasks(CStorage& storage, DWORD bits, CPixelFormat& format) {
  DWORD red = 0, green = 0, blue = 0;
  storage.ReadValue(red);
  storage.ReadValue(green);
  storage.ReadValue(blue);
  format.SetMasks(bits, red, green, blue);
}

}  // namespace

void CDIBitmap::LoadXTRMPIC(CStream& stream) {
  Free();
  char magic[sizeof kXTRMPICMagic];
  ReadExactly(stream, magic, sizeof magic);
  if (std::memcmp(magic, kXTRMPICMagic, sizeof magic) != 0) ThrowCorruptedFile(stream);

  CStorage storage;
  storage.Open(&stream, CStorage::kLoad, 1, kArchiveBuffer);
  const XTRMPICHeader header = ReadHeader(storage);
  if (header.flags & kUnsupportedFlag) ThrowUnsupportedBitmapFormat(stream);
  // Negative or zero sizes describe no picture (as for BMP files).
  if (header.width <= 0 || header.height <= 0) ThrowCorruptedFile(stream);

  const DWORD bits = header.bitsPerPixel;
  CPixelFormat format;
  WORD paletteCount = 0;
  if (bits < 16 || header.hasPalette) storage.ReadValue(paletteCount);
  if (bits < 16) {
    if (paletteCount == 0) ThrowCorruptedFile(stream);
    ReadPalette(storage, paletteCount, format);
  } else if (header.hasPalette) {
    SkipPalette(storage, paletteCount);
  }
  if (bits == 16 || bits == 32)
    ReadMasks(storage, bits, format);
  else if (bits == 24)
    format.SetMasks(24, 0xFF0000, 0xFF00, 0xFF);
  else if (bits > kPaletteDepth)
    ThrowCorruptedFile(stream);

  Create(static_cast<DWORD>(header.width), static_cast<DWORD>(header.height), header.rowPadding, format, false);
  try {
    if (header.dataSize != m_DataSize) ThrowCorruptedFile(stream);
    if (storage.Read(m_Pixels, m_DataSize) != m_DataSize) ThrowError<CStorageError>(CStorageError::kEndOfStream);
  } catch (...) {
    // Pixels that were never read must not be shown.
    Free();
    throw;
  }
}
