// Pixel storage behind HBITMAP: device-dependent bitmaps (monochrome or 32
// bits) and DIB sections of 1 to 32 bits per pixel whose memory the caller
// writes directly. Pixels are read and written as COLORREF values; rows are
// addressed top row first whatever the memory order. Not thread-safe: one
// thread draws into a bitmap at a time, as on Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "GdiObject.h"
#include "twlwin/gdi.h"

namespace twl::gdi {

struct PixelFormat {
  int bitsPerPixel = 32;
  // Channel masks for 16 and 32 bits; ignored for the others.
  uint32_t redMask = 0x00FF0000;
  uint32_t greenMask = 0x0000FF00;
  uint32_t blueMask = 0x000000FF;
};

class Bitmap final : public GdiObject {
 public:
  // Returns null for sizes or formats it cannot hold.
  static std::shared_ptr<Bitmap> CreateDdb(int width, int height, bool monochrome);
  static std::shared_ptr<Bitmap> CreateDib(int width, int height, bool topDown, const PixelFormat& format,
                                           std::vector<COLORREF> palette);

  DWORD Type() const override { return OBJ_BITMAP; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return format_.bitsPerPixel; }
  int Stride() const { return stride_; }
  bool IsDib() const { return isDib_; }
  bool IsMonochrome() const { return monochrome_; }
  bool IsTopDown() const { return topDown_; }
  const PixelFormat& Format() const { return format_; }
  const std::vector<COLORREF>& Palette() const { return palette_; }
  uint8_t* Bits() { return bits_.data(); }
  size_t ImageSize() const { return bits_.size(); }
  // The bytes of row y (0 = the top row), for copies of whole rows.
  uint8_t* Row(int y);
  const uint8_t* Row(int y) const;

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Callers check Contains first.
  COLORREF GetPixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF colour);
  // The colour that SetPixel would store for `colour` (the nearest palette
  // entry, or the colour cut to the format's bits).
  COLORREF Quantize(COLORREF colour) const;

  // Which DC holds the bitmap selected; a bitmap is in at most one.
  const GdiObject* selectedIn = nullptr;

 private:
  Bitmap() = default;
  int NearestPaletteIndex(COLORREF colour) const;

  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  bool isDib_ = false;
  bool monochrome_ = false;
  bool topDown_ = true;
  PixelFormat format_;
  std::vector<COLORREF> palette_;
  std::vector<uint8_t> bits_;
};

}  // namespace twl::gdi
