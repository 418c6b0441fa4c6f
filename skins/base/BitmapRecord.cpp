// The bitmap record of compiled skin data.
#include <cstdint>
#include <memory>

#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

namespace {

constexpr DWORD kKindPalettized = 1;
constexpr DWORD kHeadSize = 16;  // kind, width, height, bits per pixel

bool IsPaletteDepth(DWORD bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }
bool IsTrueColorDepth(DWORD bits) { return bits == 8 || bits == 16 || bits == 24 || bits == 32; }

uint64_t RowBytes(uint64_t width, uint64_t bits) { return (width * bits + 7) / 8; }

void WritePalette(CStream& stream, const CColorPalette* palette) {
  const DWORD count = palette ? palette->GetCount() : 0;
  WriteU32(stream, count);
  for (DWORD i = 0; i < count; ++i) WriteU32(stream, palette->GetEntries()[i]);
}

// The palette of Q entries; `remaining` loses the bytes read.
CColorPalette* ReadPalette(CStream& stream, DWORD bits, DWORD& remaining) {
  if (remaining < 4) ThrowCorruptedFile();
  const DWORD count = ReadU32(stream);
  remaining -= 4;
  if (count == 0 || count > (1u << bits) || remaining / 4 < count) ThrowCorruptedFile();
  CColorPalette* palette = NewObject<CColorPalette>();
  try {
    palette->SetEntries(count, nullptr);
    for (DWORD i = 0; i < count; ++i) palette->GetEntries()[i] = ReadU32(stream);
  } catch (...) {
    palette->Release();
    throw;
  }
  remaining -= 4 * count;
  return palette;
}

}  // namespace

void CSkinBase::WriteBitmap(CStream& stream, const CDIBitmap& picture) {
  const LONGLONG block = BeginBlock(stream);
  const CPixelFormat& format = picture.GetFormat();
  const bool palettized = format.IsPalettized();
  WriteU32(stream, palettized ? kKindPalettized : 0);
  WriteU32(stream, picture.GetWidth());
  WriteU32(stream, picture.GetHeight());
  WriteU32(stream, format.bitsPerPixel);
  if (palettized) {
    WritePalette(stream, format.GetPalette());
  } else {
    for (DWORD mask : format.GetMasks()) WriteU32(stream, mask);
  }
  // Rows top first and without their padding, whatever the picture's own
  // order and padding.
  const DWORD rowBytes = picture.GetBytesPerRow();
  const size_t stride = static_cast<size_t>(rowBytes) + picture.GetRowPadding();
  const BYTE* pixels = picture.GetPixels();
  for (DWORD y = 0; y < picture.GetHeight() && pixels; ++y) {
    const DWORD row = picture.IsTopDown() ? y : picture.GetHeight() - 1 - y;
    stream.Write(pixels + stride * row, rowBytes);
  }
  EndChunk(stream, block);
}

CDIBitmap* CSkinBase::ReadBitmap(CStream& stream, DWORD available, DWORD* used) {
  if (available <= 3) ThrowCorruptedFile();
  const DWORD length = ReadU32(stream);
  if (length > available - 4 || length < kHeadSize) ThrowCorruptedFile();
  const DWORD kind = ReadU32(stream);
  const DWORD width = ReadU32(stream);
  const DWORD height = ReadU32(stream);
  const DWORD bits = ReadU32(stream);
  DWORD remaining = length - kHeadSize;

  CPixelFormat format;
  if (kind & kKindPalettized) {
    if (!IsPaletteDepth(bits)) ThrowCorruptedFile();
    CColorPalette* palette = ReadPalette(stream, bits, remaining);
    format.SetIndexed(bits, palette);
    palette->Release();
  } else {
    if (!IsTrueColorDepth(bits) || remaining < 16) ThrowCorruptedFile();
    DWORD masks[4];
    for (DWORD& mask : masks) mask = ReadU32(stream);
    remaining -= 16;
    format.SetMasks(bits, masks[0], masks[1], masks[2], 0);
  }

  // The pixel data must be there before the picture is made for it. The
  // row size times the height can pass 64 bits, so the rows are checked
  // against what is left by division.
  const uint64_t rowBytes = RowBytes(width, bits);
  if (height != 0 && rowBytes > remaining / height) ThrowCorruptedFile();
  const uint64_t dataSize = rowBytes * height;
  RequireStreamBytes(stream, dataSize);
  BitmapPtr picture(NewObject<CDIBitmap>());
  picture->Create(width, height, 0, format, true);
  ReadExact(stream, picture->GetPixels(), static_cast<DWORD>(dataSize));
  SkipExact(stream, remaining - static_cast<DWORD>(dataSize));
  if (used) *used = 4 + length;
  return picture.release();
}
