#include "PixelFormats.h"

#include "platform/gdi/PixelColours.h"

namespace twl::display {
namespace {

using gdi::Channel;
using gdi::Place;

DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = red;
  format.dwGBitMask = green;
  format.dwBBitMask = blue;
  return format;
}

DDPIXELFORMAT Indexed(DWORD bits, DWORD flag) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = DDPF_RGB | flag;
  format.dwRGBBitCount = bits;
  return format;
}

}  // namespace

bool FormatForDepth(int depth, DDPIXELFORMAT* format) {
  switch (depth) {
    case 4: *format = Indexed(4, DDPF_PALETTEINDEXED4); return true;
    case 8: *format = Indexed(8, DDPF_PALETTEINDEXED8); return true;
    case 15: *format = Rgb(16, 0x7C00, 0x03E0, 0x001F); return true;
    case 16: *format = Rgb(16, 0xF800, 0x07E0, 0x001F); return true;
    case 24: *format = Rgb(24, 0xFF0000, 0x00FF00, 0x0000FF); return true;
    case 32: *format = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF); return true;
  }
  return false;
}

int DepthOfFormat(const DDPIXELFORMAT& format) {
  for (int depth : {4, 8, 15, 16, 24, 32}) {
    DDPIXELFORMAT made;
    FormatForDepth(depth, &made);
    if (SameFormat(made, format)) return depth;
  }
  return 0;
}

bool IsPalettized(const DDPIXELFORMAT& format) {
  return (format.dwFlags & (DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 | DDPF_PALETTEINDEXED4 |
                            DDPF_PALETTEINDEXED8)) != 0;
}

bool IsSurfaceFormat(const DDPIXELFORMAT& format) {
  if (!(format.dwFlags & DDPF_RGB)) return false;
  if (IsPalettized(format)) return format.dwFlags & DDPF_PALETTEINDEXED8 && format.dwRGBBitCount == 8;
  DWORD bits = format.dwRGBBitCount;
  return bits == 16 || bits == 24 || bits == 32;
}

int BytesPerPixel(const DDPIXELFORMAT& format) { return static_cast<int>((format.dwRGBBitCount + 7) / 8); }

uint32_t PixelMask(const DDPIXELFORMAT& format) {
  DWORD bits = format.dwRGBBitCount;
  return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  return a.dwFlags == b.dwFlags && a.dwFourCC == b.dwFourCC && a.dwRGBBitCount == b.dwRGBBitCount &&
         a.dwRBitMask == b.dwRBitMask && a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
         a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

COLORREF ColourOfPixel(const DDPIXELFORMAT& format, uint32_t pixel, const std::vector<COLORREF>& palette) {
  if (IsPalettized(format)) return pixel < palette.size() ? palette[pixel] & 0xFFFFFF : RGB(0, 0, 0);
  return RGB(Channel(pixel, format.dwRBitMask), Channel(pixel, format.dwGBitMask), Channel(pixel, format.dwBBitMask));
}

uint32_t PixelOfColour(const DDPIXELFORMAT& format, COLORREF colour, const std::vector<COLORREF>& palette) {
  if (IsPalettized(format)) return static_cast<uint32_t>(gdi::NearestEntry(palette, colour));
  return Place(GetRValue(colour), format.dwRBitMask) | Place(GetGValue(colour), format.dwGBitMask) |
         Place(GetBValue(colour), format.dwBBitMask);
}

}  // namespace twl::display
