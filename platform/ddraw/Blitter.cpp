#include "Blitter.h"

#include <cstring>
#include <vector>

namespace twl::ddraw {
namespace {

// Pixels are read and written through memcpy: the compiler turns it into
// one load or store, and the byte buffers stay free of aliasing questions.
template <int Bytes>
uint32_t Load(const uint8_t* at) {
  uint32_t value = 0;
  std::memcpy(&value, at, Bytes);  // little-endian: the low bytes
  return value;
}

template <int Bytes>
void Store(uint8_t* at, uint32_t value) {
  std::memcpy(at, &value, Bytes);
}

bool Keyed(uint32_t value, const ColourKey& key) { return value >= key.low && value <= key.high; }

template <int Bytes>
void CopyKeyedRows(const PixelView& target, int x, int y, const PixelView& source, const RECT& rect,
                   const ColourKey& key) {
  const int width = rect.right - rect.left;
  for (int row = rect.top; row < rect.bottom; ++row) {
    const uint8_t* from = source.At(rect.left, row);
    uint8_t* to = target.At(x, y + row - rect.top);
    for (int i = 0; i < width; ++i, from += Bytes, to += Bytes) {
      uint32_t value = Load<Bytes>(from);
      if (!Keyed(value, key)) Store<Bytes>(to, value);
    }
  }
}

template <int Bytes>
void StretchRows(const PixelView& target, const RECT& whole, const RECT& clip, const PixelView& source,
                 const RECT& sourceRect, const ColourKey* key) {
  const int64_t wholeWidth = static_cast<int64_t>(whole.right) - whole.left;
  const int64_t wholeHeight = static_cast<int64_t>(whole.bottom) - whole.top;
  const int64_t sourceWidth = sourceRect.right - sourceRect.left;
  const int64_t sourceHeight = sourceRect.bottom - sourceRect.top;
  std::vector<ptrdiff_t> columnOffset(static_cast<size_t>(clip.right - clip.left));
  for (int x = clip.left; x < clip.right; ++x) {
    int64_t column = sourceRect.left + (x - static_cast<int64_t>(whole.left)) * sourceWidth / wholeWidth;
    columnOffset[x - clip.left] = static_cast<ptrdiff_t>(column - sourceRect.left) * Bytes;
  }
  for (int y = clip.top; y < clip.bottom; ++y) {
    int64_t row = sourceRect.top + (y - static_cast<int64_t>(whole.top)) * sourceHeight / wholeHeight;
    const uint8_t* from = source.At(sourceRect.left, static_cast<int>(row));
    uint8_t* to = target.At(clip.left, y);
    for (ptrdiff_t offset : columnOffset) {
      uint32_t value = Load<Bytes>(from + offset);
      if (!key || !Keyed(value, *key)) Store<Bytes>(to, value);
      to += Bytes;
    }
  }
}

// A multiple of 2, 3 and 4 bytes.
constexpr size_t kFillBlockBytes = 192;

template <int Bytes>
void FillRow(uint8_t* row, int width, uint32_t pixel) {
  for (int i = 0; i < width; ++i) Store<Bytes>(row + static_cast<ptrdiff_t>(i) * Bytes, pixel);
}

}  // namespace

void Fill(const PixelView& target, const RECT& rect, uint32_t pixel) {
  const int width = rect.right - rect.left;
  if (width <= 0 || rect.bottom <= rect.top) return;
  const size_t rowBytes = static_cast<size_t>(width) * target.bytesPerPixel;
  if (target.bytesPerPixel == 1) {
    for (int y = rect.top; y < rect.bottom; ++y) std::memset(target.At(rect.left, y), static_cast<int>(pixel & 0xFF), rowBytes);
    return;
  }
  // Rows are written from a small block of pixels that stays in the cache,
  // so filling costs writes only, as memset does. The block holds whole
  // pixels of 2, 3 or 4 bytes.
  alignas(16) uint8_t block[kFillBlockBytes];
  switch (target.bytesPerPixel) {
    case 2: FillRow<2>(block, kFillBlockBytes / 2, pixel); break;
    case 3: FillRow<3>(block, kFillBlockBytes / 3, pixel); break;
    default: FillRow<4>(block, kFillBlockBytes / 4, pixel); break;
  }
  for (int y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = target.At(rect.left, y);
    size_t done = 0;
    for (; done + kFillBlockBytes <= rowBytes; done += kFillBlockBytes) std::memcpy(row + done, block, kFillBlockBytes);
    std::memcpy(row + done, block, rowBytes - done);
  }
}

void Copy(const PixelView& target, int x, int y, const PixelView& source, const RECT& sourceRect,
          const ColourKey* key) {
  if (sourceRect.right <= sourceRect.left || sourceRect.bottom <= sourceRect.top) return;
  if (key) {
    switch (source.bytesPerPixel) {
      case 1: CopyKeyedRows<1>(target, x, y, source, sourceRect, *key); return;
      case 2: CopyKeyedRows<2>(target, x, y, source, sourceRect, *key); return;
      case 3: CopyKeyedRows<3>(target, x, y, source, sourceRect, *key); return;
      default: CopyKeyedRows<4>(target, x, y, source, sourceRect, *key); return;
    }
  }
  const size_t rowBytes = static_cast<size_t>(sourceRect.right - sourceRect.left) * source.bytesPerPixel;
  for (int row = sourceRect.top; row < sourceRect.bottom; ++row)
    std::memcpy(target.At(x, y + row - sourceRect.top), source.At(sourceRect.left, row), rowBytes);
}

void Stretch(const PixelView& target, const RECT& whole, const RECT& clip, const PixelView& source,
             const RECT& sourceRect, const ColourKey* key) {
  if (clip.right <= clip.left || clip.bottom <= clip.top) return;
  switch (source.bytesPerPixel) {
    case 1: StretchRows<1>(target, whole, clip, source, sourceRect, key); return;
    case 2: StretchRows<2>(target, whole, clip, source, sourceRect, key); return;
    case 3: StretchRows<3>(target, whole, clip, source, sourceRect, key); return;
    default: StretchRows<4>(target, whole, clip, source, sourceRect, key); return;
  }
}

}  // namespace twl::ddraw
