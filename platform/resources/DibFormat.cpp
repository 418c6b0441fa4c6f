#include "DibFormat.h"

#include <algorithm>

#include "LittleEndian.h"

namespace twl::resources {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;


bool Fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

// The value of a masked field scaled to 0..255.
uint32_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t field = (value & mask) >> shift;
  uint32_t maximum = mask >> shift;
  return (field * 255 + maximum / 2) / maximum;
}

bool ValidBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

uint32_t Dib::Pixel(int32_t x, int32_t y) const {
  const uint8_t* row = bits.data() + static_cast<size_t>(y) * stride;
  switch (bitCount) {
    case 1: return colors.at((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return colors.at((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
    case 8: return colors.at(row[x]);
    case 24: return static_cast<uint32_t>(row[3 * x]) | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    case 16: {
      uint32_t value = ReadU16(row + 2 * x);
      return Channel(value, masks[0]) << 16 | Channel(value, masks[1]) << 8 | Channel(value, masks[2]);
    }
    default: {
      uint32_t value = ReadU32(row + 4 * x);
      return (value & 0xFF000000u) | Channel(value, masks[0]) << 16 | Channel(value, masks[1]) << 8 |
             Channel(value, masks[2]);
    }
  }
}

bool ReadPackedDib(const uint8_t* data, size_t size, bool iconImage, Dib& dib, size_t& end, std::string& error) {
  if (size < 4) return Fail(error, "no bitmap header");
  uint32_t headerSize = ReadU32(data);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) {
    return Fail(error, "unknown bitmap header size");
  }
  if (size < headerSize) return Fail(error, "bitmap header cut short");
  auto width = static_cast<int32_t>(ReadU32(data + 4));
  auto height = static_cast<int32_t>(ReadU32(data + 8));
  uint16_t planes = ReadU16(data + 12);
  uint16_t bitCount = ReadU16(data + 14);
  uint32_t compression = ReadU32(data + 16);
  uint32_t colorsUsed = ReadU32(data + 32);

  if (planes != 1) return Fail(error, "bitmap planes is not 1");
  if (!ValidBitCount(bitCount)) return Fail(error, "unsupported bits per pixel");
  if (height == INT32_MIN) return Fail(error, "bitmap height out of range");
  bool topDown = height < 0;
  int32_t rows = topDown ? -height : height;
  if (iconImage) {
    if (topDown || rows % 2 != 0) return Fail(error, "icon image height is not twice the icon's");
    rows /= 2;
  }
  if (width <= 0 || rows <= 0 || width > kMaxDibSide || rows > kMaxDibSide) {
    return Fail(error, "bitmap size out of range");
  }

  size_t at = headerSize;
  dib.masks[0] = dib.masks[1] = dib.masks[2] = 0;
  if (compression == kBitFields) {
    if (bitCount != 16 && bitCount != 32) return Fail(error, "bit fields need 16 or 32 bits per pixel");
    const uint8_t* maskAt = data + 40;
    if (headerSize == 40) {
      if (size - at < 12) return Fail(error, "bit field masks cut short");
      maskAt = data + at;
      at += 12;
    }
    for (int i = 0; i < 3; ++i) dib.masks[i] = ReadU32(maskAt + 4 * i);
    if (!dib.masks[0] || !dib.masks[1] || !dib.masks[2]) return Fail(error, "empty bit field mask");
  } else if (compression == kRgb) {
    if (bitCount == 16) {
      dib.masks[0] = 0x7C00;
      dib.masks[1] = 0x03E0;
      dib.masks[2] = 0x001F;
    } else if (bitCount == 32) {
      dib.masks[0] = 0xFF0000;
      dib.masks[1] = 0x00FF00;
      dib.masks[2] = 0x0000FF;
    }
  } else {
    return Fail(error, "compressed bitmaps are not supported");
  }

  size_t paletteSize = 0;
  if (bitCount <= 8) {
    size_t most = size_t{1} << bitCount;
    paletteSize = colorsUsed ? colorsUsed : most;
    if (paletteSize > most) return Fail(error, "more colours than the bits can index");
  } else if (colorsUsed > 256) {
    return Fail(error, "colour table too long");
  } else {
    paletteSize = colorsUsed;  // a hint for palette devices; skipped
  }
  if ((size - at) / 4 < paletteSize) return Fail(error, "colour table cut short");
  dib.colors.clear();
  if (bitCount <= 8) {
    dib.colors.resize(size_t{1} << bitCount, 0);  // indices past the table read as black
    for (size_t i = 0; i < paletteSize; ++i) dib.colors[i] = ReadU32(data + at + 4 * i) & 0xFFFFFF;
  }
  at += paletteSize * 4;

  uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
  uint64_t pixelBytes = stride * static_cast<uint64_t>(rows);
  if (size - at < pixelBytes) return Fail(error, "bitmap rows cut short");
  dib.width = width;
  dib.height = rows;
  dib.topDown = topDown;
  dib.bitCount = bitCount;
  dib.stride = static_cast<uint32_t>(stride);
  dib.bits.resize(static_cast<size_t>(pixelBytes));
  for (int32_t row = 0; row < rows; ++row) {
    int32_t stored = topDown ? row : rows - 1 - row;
    const uint8_t* source = data + at + static_cast<size_t>(stored) * stride;
    std::copy(source, source + stride, dib.bits.begin() + static_cast<ptrdiff_t>(row * stride));
  }
  end = at + static_cast<size_t>(pixelBytes);
  return true;
}

bool ReadBmpFile(const uint8_t* data, size_t size, Dib& dib, size_t& dibOffset, std::string& error) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader || data[0] != 'B' || data[1] != 'M') return Fail(error, "not a BMP file");
  uint32_t pixelsAt = ReadU32(data + 10);
  if (pixelsAt > size) return Fail(error, "BMP pixel offset past the end");
  size_t end = 0;
  if (!ReadPackedDib(data + kFileHeader, size - kFileHeader, false, dib, end, error)) return false;
  // Writers may leave a gap before the rows; a packed DIB has none, so the
  // rows must follow the colour table directly.
  size_t rowsAt = kFileHeader + end - dib.bits.size();
  if (pixelsAt != 0 && pixelsAt != rowsAt) return Fail(error, "BMP rows not right after the colour table");
  dibOffset = kFileHeader;
  return true;
}

}  // namespace twl::resources
