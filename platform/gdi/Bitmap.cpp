#include "Bitmap.h"

#include <cstring>

#include "PixelColours.h"

namespace twl::gdi {
namespace {

// Large enough for any screen or skin, small enough that width * height *
// 4 never overflows and a hostile header cannot ask for gigabytes.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxBytes = 256LL * 1024 * 1024;

bool SupportedDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

int StrideFor(int width, int bits, int alignBytes) {
  int64_t rowBits = static_cast<int64_t>(width) * bits;
  int64_t alignBits = alignBytes * 8;
  return static_cast<int>((rowBits + alignBits - 1) / alignBits * alignBytes);
}

bool ValidSize(int width, int height) { return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide; }

}  // namespace

std::shared_ptr<Bitmap> Bitmap::CreateDdb(int width, int height, bool monochrome) {
  if (!ValidSize(width, height)) return nullptr;
  std::shared_ptr<Bitmap> bitmap(new Bitmap);
  bitmap->width_ = width;
  bitmap->height_ = height;
  bitmap->monochrome_ = monochrome;
  bitmap->format_.bitsPerPixel = monochrome ? 1 : 32;
  if (monochrome) bitmap->palette_ = {RGB(0, 0, 0), RGB(255, 255, 255)};
  // Device-dependent rows are whole 16-bit words, as GetObject reports.
  bitmap->stride_ = StrideFor(width, bitmap->format_.bitsPerPixel, 2);
  if (static_cast<int64_t>(bitmap->stride_) * height > kMaxBytes) return nullptr;
  bitmap->bits_.assign(static_cast<size_t>(bitmap->stride_) * height, 0);
  return bitmap;
}

std::shared_ptr<Bitmap> Bitmap::CreateDib(int width, int height, bool topDown, const PixelFormat& format,
                                          std::vector<COLORREF> palette) {
  if (!ValidSize(width, height) || !SupportedDepth(format.bitsPerPixel)) return nullptr;
  if (format.bitsPerPixel <= 8) {
    size_t entries = size_t{1} << format.bitsPerPixel;
    if (palette.empty()) return nullptr;
    palette.resize(entries, RGB(0, 0, 0));
  } else {
    palette.clear();
  }
  std::shared_ptr<Bitmap> bitmap(new Bitmap);
  bitmap->width_ = width;
  bitmap->height_ = height;
  bitmap->isDib_ = true;
  bitmap->topDown_ = topDown;
  bitmap->format_ = format;
  bitmap->palette_ = std::move(palette);
  bitmap->stride_ = StrideFor(width, format.bitsPerPixel, 4);
  if (static_cast<int64_t>(bitmap->stride_) * height > kMaxBytes) return nullptr;
  bitmap->bits_.assign(static_cast<size_t>(bitmap->stride_) * height, 0);
  return bitmap;
}

uint8_t* Bitmap::Row(int y) { return bits_.data() + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * stride_; }

const uint8_t* Bitmap::Row(int y) const {
  return bits_.data() + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * stride_;
}

int Bitmap::NearestPaletteIndex(COLORREF colour) const { return NearestEntry(palette_, colour); }

COLORREF Bitmap::GetPixel(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (format_.bitsPerPixel) {
    case 1:
      return palette_[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4:
      return palette_[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
    case 8:
      return palette_[row[x]];
    case 16: {
      uint32_t v = row[x * 2] | (row[x * 2 + 1] << 8);
      return RGB(Channel(v, format_.redMask), Channel(v, format_.greenMask), Channel(v, format_.blueMask));
    }
    case 24:
      return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default: {
      uint32_t v;
      std::memcpy(&v, row + x * 4, 4);
      return RGB(Channel(v, format_.redMask), Channel(v, format_.greenMask), Channel(v, format_.blueMask));
    }
  }
}

void Bitmap::SetPixel(int x, int y, COLORREF colour) {
  uint8_t* row = Row(y);
  switch (format_.bitsPerPixel) {
    case 1: {
      int bit = 7 - (x & 7);
      uint8_t value = static_cast<uint8_t>(NearestPaletteIndex(colour) << bit);
      row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << bit)) | value);
      return;
    }
    case 4: {
      int shift = (x & 1) ? 0 : 4;
      uint8_t value = static_cast<uint8_t>(NearestPaletteIndex(colour) << shift);
      row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | value);
      return;
    }
    case 8:
      row[x] = static_cast<uint8_t>(NearestPaletteIndex(colour));
      return;
    case 16: {
      uint32_t v = Place(GetRValue(colour), format_.redMask) | Place(GetGValue(colour), format_.greenMask) |
                   Place(GetBValue(colour), format_.blueMask);
      row[x * 2] = static_cast<uint8_t>(v);
      row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
      return;
    }
    case 24:
      row[x * 3] = GetBValue(colour);
      row[x * 3 + 1] = GetGValue(colour);
      row[x * 3 + 2] = GetRValue(colour);
      return;
    default: {
      uint32_t v = Place(GetRValue(colour), format_.redMask) | Place(GetGValue(colour), format_.greenMask) |
                   Place(GetBValue(colour), format_.blueMask);
      std::memcpy(row + x * 4, &v, 4);
      return;
    }
  }
}

COLORREF Bitmap::Quantize(COLORREF colour) const {
  colour &= 0x00FFFFFF;
  if (format_.bitsPerPixel <= 8) return palette_[NearestPaletteIndex(colour)];
  if (format_.bitsPerPixel == 24) return colour;
  uint32_t v = Place(GetRValue(colour), format_.redMask) | Place(GetGValue(colour), format_.greenMask) |
               Place(GetBValue(colour), format_.blueMask);
  return RGB(Channel(v, format_.redMask), Channel(v, format_.greenMask), Channel(v, format_.blueMask));
}

}  // namespace twl::gdi
