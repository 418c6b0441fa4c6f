// CPixelFormat: how the pixel values of a bitmap are to be read. Its first
// part has the fields of DirectDraw's pixel-format record (size, flags,
// FourCC, bits per pixel, four channel masks) so that it compares directly
// with the formats of display surfaces; a counted reference to the palette
// of a palettized format follows. Channel masks are always red, green,
// blue, alpha; palettized formats have all masks zero.
//
// A palette may list fewer colours than its depth can index (a file's own
// count is kept): whoever looks pixel values up in it checks them against
// its count, and values beyond it show black.
#pragma once

#include <array>

#include <windows.h>

#include "foundation/bitmaps/ColorPalette.h"

class CStorage;

// Format flags (DirectDraw's values).
inline constexpr DWORD kPixelAlphaPixels = 0x01;
inline constexpr DWORD kPixelIndexed4 = 0x08;
inline constexpr DWORD kPixelIndexed8 = 0x20;
inline constexpr DWORD kPixelRGB = 0x40;
inline constexpr DWORD kPixelYUV = 0x200;
inline constexpr DWORD kPixelIndexed1 = 0x800;
inline constexpr DWORD kPixelIndexed2 = 0x1000;
inline constexpr DWORD kPixelIndexedMask = kPixelIndexed1 | kPixelIndexed2 | kPixelIndexed4 | kPixelIndexed8;

class CPixelFormat {
 public:
  static constexpr DWORD kRecordSize = 32;  // the DirectDraw part

  CPixelFormat() noexcept = default;
  CPixelFormat(const CPixelFormat& other);
  // Copies everything but the size field and shares the other's palette.
  CPixelFormat& operator=(const CPixelFormat& other);
  ~CPixelFormat();

  // An RGB format with masks packed upward from bit 0 in the order red,
  // green, blue, alpha; bitsPerPixel -1 means the sum of the channel bits.
  // Drops the palette.
  void SetChannelBits(INT redBits, INT greenBits, INT blueBits, INT alphaBits, INT bitsPerPixel = -1);
  // An RGB format with the given masks; drops the palette.
  void SetMasks(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0);
  // The palettized format of 1, 2, 4 or 8 bits with the given palette (or
  // none). Other depths throw the unsupported-format error.
  void SetIndexed(DWORD bits, CColorPalette* palette);

  // Takes a reference to the new palette, then releases the old one.
  void SetPalette(CColorPalette* palette);
  CColorPalette* GetPalette() const { return m_Palette; }

  bool IsPalettized() const { return (flags & kPixelIndexedMask) != 0; }
  // Same flags and bits per pixel and, for RGB formats, the same masks.
  bool HasSameLayout(const CPixelFormat& other) const;
  std::array<DWORD, 4> GetMasks() const { return {redMask, greenMask, blueMask, alphaMask}; }

  // The stored fields: bits per pixel, flags, red, green, blue and alpha
  // masks. Size and FourCC are not stored; the palette goes separately.
  void Serialize(CStorage& storage);
  // The palette as u32 count and entries (count 0: none). A loaded palette
  // must fit the depth (at most 2^bits entries of a 1-, 2-, 4- or 8-bit
  // format) and keeps its count, so that it is stored back as it was read.
  void SerializePalette(CStorage& storage);

  // The palettized flag for a depth of 1, 2, 4 or 8 bits; 0 for others.
  static DWORD IndexedFlagForDepth(DWORD bits);

  DWORD size = kRecordSize;
  DWORD flags = 0;
  DWORD fourCC = 0;
  DWORD bitsPerPixel = 0;
  DWORD redMask = 0;
  DWORD greenMask = 0;
  DWORD blueMask = 0;
  DWORD alphaMask = 0;

 private:
  CColorPalette* m_Palette = nullptr;
};
