#include "IconFormat.h"

#include <algorithm>
#include <cstdlib>

#include "DibFormat.h"
#include "LittleEndian.h"

namespace twl::resources {
namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kMaxImages = 64;


bool Fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

// Colours from the DIB, alpha from its own channel when a 32-bit image has
// one, else from the mask (a set bit is transparent).
bool DecodeImage(const uint8_t* data, size_t size, IconFileImage& image, std::string& error) {
  static const uint8_t kPng[] = {0x89, 'P', 'N', 'G'};
  if (size >= 4 && std::equal(kPng, kPng + 4, data)) return Fail(error, "PNG icon images are not supported");
  Dib dib;
  size_t end = 0;
  if (!ReadPackedDib(data, size, true, dib, end, error)) return false;
  const uint64_t maskStride = (static_cast<uint64_t>(dib.width) + 31) / 32 * 4;
  const bool hasMask = size - end >= maskStride * static_cast<uint64_t>(dib.height);
  bool alphaChannel = false;
  if (dib.bitCount == 32) {
    for (int32_t y = 0; y < dib.height && !alphaChannel; ++y) {
      for (int32_t x = 0; x < dib.width && !alphaChannel; ++x) alphaChannel = dib.Pixel(x, y) >> 24 != 0;
    }
  }
  if (!hasMask && !alphaChannel) return Fail(error, "icon image mask cut short");

  image.width = dib.width;
  image.height = dib.height;
  image.bitCount = dib.bitCount;
  image.hasAlpha = alphaChannel;
  const size_t pixels = static_cast<size_t>(dib.width) * dib.height;
  image.colour.resize(pixels);
  image.mask.resize(pixels);
  for (int32_t y = 0; y < dib.height; ++y) {
    // The mask is stored bottom-up like the image.
    const uint8_t* maskRow = hasMask ? data + end + (dib.height - 1 - y) * maskStride : nullptr;
    for (int32_t x = 0; x < dib.width; ++x) {
      size_t at = static_cast<size_t>(y) * dib.width + x;
      uint32_t colour = dib.Pixel(x, y);
      bool masked = maskRow ? (maskRow[x / 8] >> (7 - x % 8)) & 1 : colour >> 24 == 0;
      uint32_t alpha = alphaChannel ? colour >> 24 : masked ? 0 : 255;
      image.colour[at] = alpha << 24 | (colour & 0xFFFFFF);
      image.mask[at] = masked ? 1 : 0;
    }
  }
  return true;
}

}  // namespace

bool ReadIconFile(const uint8_t* data, size_t size, IconFile& file, std::string& error) {
  if (size < kDirectorySize || ReadU16(data) != 0) return Fail(error, "not an icon or cursor file");
  uint16_t type = ReadU16(data + 2);
  uint16_t count = ReadU16(data + 4);
  if (type != 1 && type != 2) return Fail(error, "not an icon or cursor file");
  if (count == 0 || count > kMaxImages) return Fail(error, "icon image count out of range");
  if ((size - kDirectorySize) / kEntrySize < count) return Fail(error, "icon directory cut short");

  file.isCursor = type == 2;
  file.images.clear();
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + kDirectorySize + i * kEntrySize;
    uint32_t length = ReadU32(entry + 8);
    uint32_t offset = ReadU32(entry + 12);
    if (offset > size || length > size - offset) return Fail(error, "icon image outside the file");
    IconFileImage image;
    if (!DecodeImage(data + offset, length, image, error)) return false;
    if (file.isCursor) {
      image.hotspotX = ReadU16(entry + 4);
      image.hotspotY = ReadU16(entry + 6);
      if (image.hotspotX >= image.width || image.hotspotY >= image.height) {
        return Fail(error, "cursor hot spot outside the image");
      }
    } else {
      image.hotspotX = image.width / 2;
      image.hotspotY = image.height / 2;
    }
    file.images.push_back(std::move(image));
  }
  return true;
}

const IconFileImage& BestImage(const IconFile& file, int32_t width, int32_t height) {
  auto distance = [&](const IconFileImage& image) {
    int32_t dx = width ? image.width - width : 0;
    int32_t dy = height ? image.height - height : 0;
    return std::abs(dx) + std::abs(dy);
  };
  const IconFileImage* best = &file.images.front();
  for (const auto& image : file.images) {
    int32_t d = distance(image);
    int32_t bestDistance = distance(*best);
    bool better = d < bestDistance ||
                  (d == bestDistance && (image.width > best->width ||
                                         (image.width == best->width && image.bitCount > best->bitCount)));
    if (better) best = &image;
  }
  return *best;
}

}  // namespace twl::resources
