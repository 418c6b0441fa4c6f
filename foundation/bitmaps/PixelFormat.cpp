#include "foundation/bitmaps/PixelFormat.h"

#include <new>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/storage/Storage.h"

CPixelFormat::CPixelFormat(const CPixelFormat& other) { *this = other; }

CPixelFormat& CPixelFormat::operator=(const CPixelFormat& other) {
  flags = other.flags;
  fourCC = other.fourCC;
  bitsPerPixel = other.bitsPerPixel;
  redMask = other.redMask;
  greenMask = other.greenMask;
  blueMask = other.blueMask;
  alphaMask = other.alphaMask;
  SetPalette(other.m_Palette);
  return *this;
}

CPixelFormat::~CPixelFormat() {
  if (m_Palette) m_Palette->Release();
}

namespace {

DWORD LowBits(INT count) { return count >= 32 ? 0xFFFFFFFFu : (count <= 0 ? 0u : (1u << count) - 1); }

DWORD ShiftUp(DWORD mask, INT by) { return (by < 0 || by >= 32) ? 0u : mask << by; }

}  // namespace

void CPixelFormat::SetChannelBits(INT redBits, INT greenBits, INT blueBits, INT alphaBits, INT bits) {
  redMask = LowBits(redBits);
  greenMask = ShiftUp(LowBits(greenBits), redBits);
  blueMask = ShiftUp(LowBits(blueBits), redBits + greenBits);
  alphaMask = ShiftUp(LowBits(alphaBits), redBits + greenBits + blueBits);
  bitsPerPixel = static_cast<DWORD>(bits == -1 ? redBits + greenBits + blueBits + alphaBits : bits);
  flags = kPixelRGB | (alphaMask ? kPixelAlphaPixels : 0);
  SetPalette(nullptr);
}

void CPixelFormat::SetMasks(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  bitsPerPixel = bits;
  redMask = red;
  greenMask = green;
  blueMask = blue;
  alphaMask = alpha;
  flags = kPixelRGB | (alpha ? kPixelAlphaPixels : 0);
  SetPalette(nullptr);
}

void CPixelFormat::SetIndexed(DWORD bits, CColorPalette* palette) {
  const DWORD indexed = IndexedFlagForDepth(bits);
  if (!indexed) ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  flags = indexed | kPixelRGB;
  bitsPerPixel = bits;
  redMask = greenMask = blueMask = alphaMask = 0;
  SetPalette(palette);
}

void CPixelFormat::SetPalette(CColorPalette* palette) { AssignReference(m_Palette, palette); }

bool CPixelFormat::HasSameLayout(const CPixelFormat& other) const {
  if (flags != other.flags || bitsPerPixel != other.bitsPerPixel) return false;
  if (IsPalettized()) return true;
  return GetMasks() == other.GetMasks();
}

DWORD CPixelFormat::IndexedFlagForDepth(DWORD bits) {
  switch (bits) {
    case 1: return kPixelIndexed1;
    case 2: return kPixelIndexed2;
    case 4: return kPixelIndexed4;
    case 8: return kPixelIndexed8;
    default: return 0;
  }
}

void CPixelFormat::Serialize(CStorage& storage) {
  DWORD* fields[] = {&bitsPerPixel, &flags, &redMask, &greenMask, &blueMask, &alphaMask};
  for (DWORD* field : fields) {
    if (storage.IsLoading())
      storage.ReadValue(*field);
    else
      storage.WriteValue(*field);
  }
}

void CPixelFormat::SerializePalette(CStorage& storage) {
  if (!storage.IsLoading()) {
    const DWORD count = m_Palette ? m_Palette->GetCount() : 0;
    storage.WriteValue(count);
    for (DWORD i = 0; i < count; ++i) storage.WriteValue(m_Palette->GetEntries()[i]);
    return;
  }
  DWORD count = 0;
  storage.ReadValue(count);
  if (count == 0) {
    SetPalette(nullptr);
    return;
  }
  if (!IndexedFlagForDepth(bitsPerPixel)) ThrowBitmapError(kUnsupportedFormatKey, kUnsupportedFormatText);
  const DWORD capacity = 1u << bitsPerPixel;
  if (count > capacity) ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
  DWORD entries[256] = {};
  for (DWORD i = 0; i < count; ++i) storage.ReadValue(entries[i]);
  CColorPalette* palette = new (std::nothrow) CColorPalette;
  if (!palette) ThrowMemoryError();
  try {
    palette->SetEntries(count, entries);
  } catch (...) {
    palette->Release();
    throw;
  }
  SetPalette(palette);
  palette->Release();
}
