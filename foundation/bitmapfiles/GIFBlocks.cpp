#include "foundation/bitmapfiles/GIFBlocks.h"

#include <cctype>
#include <new>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/BitmapFileMagic.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"

namespace {

constexpr DWORD kVersionSize = 3;
constexpr DWORD kScreenDescriptorSize = 7;

bool IsGIFSignature(const BYTE* bytes, bool anyCase) {
  for (DWORD i = 0; i < sizeof kGIFSignature; ++i) {
    const int c = anyCase ? std::toupper(bytes[i]) : bytes[i];
    if (c != kGIFSignature[i]) return false;
  }
  return true;
}

}  // namespace

GIFScreen ReadGIFHeader(CStream& stream, bool anyCase) {
  BYTE signature[sizeof kGIFSignature];
  ReadExactly(stream, signature, sizeof signature);
  if (!IsGIFSignature(signature, anyCase)) ThrowCorruptedFile(stream);
  BYTE record[kVersionSize + kScreenDescriptorSize];
  ReadExactly(stream, record, sizeof record);
  const BYTE* descriptor = record + kVersionSize;
  GIFScreen screen;
  screen.width = ReadLE16(descriptor);
  screen.height = ReadLE16(descriptor + 2);
  screen.flags = descriptor[4];
  screen.background = descriptor[5];
  screen.aspect = descriptor[6];
  return screen;
}

GIFImageDescriptor ReadGIFImageDescriptor(CStream& stream) {
  BYTE record[9];
  ReadExactly(stream, record, sizeof record);
  GIFImageDescriptor descriptor;
  descriptor.left = ReadLE16(record);
  descriptor.top = ReadLE16(record + 2);
  descriptor.width = ReadLE16(record + 4);
  descriptor.height = ReadLE16(record + 6);
  descriptor.flags = record[8];
  return descriptor;
}

CColorPalette* ReadGIFColorTable(CStream& stream, DWORD bits) {
  const DWORD count = 1u << bits;
  BYTE table[256 * 3];
  ReadExactly(stream, table, count * 3);
  CColorPalette* palette = new (std::nothrow) CColorPalette;
  if (!palette) ThrowMemoryError();
  try {
    palette->SetEntries(count, nullptr);
  } catch (...) {
    palette->Release();
    throw;
  }
  DWORD* entries = palette->GetEntries();
  for (DWORD i = 0; i < count; ++i) {
    const BYTE* rgb = table + 3 * i;
    entries[i] = rgb[0] | static_cast<DWORD>(rgb[1]) << 8 | static_cast<DWORD>(rgb[2]) << 16;
  }
  return palette;
}

void SkipGIFSubBlocks(CStream& stream) {
  for (BYTE size = ReadByteExactly(stream); size != 0; size = ReadByteExactly(stream)) SkipExactly(stream, size);
}

DWORD GIFPixelDepth(DWORD colorBits) {
  if (colorBits <= 1) return 1;
  if (colorBits <= 2) return 2;
  if (colorBits <= 4) return 4;
  return 8;
}
