// Colour channels of packed pixels: reading the channel under a mask as
// 8 bits and placing 8 bits under a mask. Shared by bitmaps and the
// display's pixel formats. Plain functions.
#pragma once

#include <bit>
#include <cstdint>

namespace twl::gdi {

// The channel under `mask` scaled to 8 bits. The high bits are spread into
// the low ones, so full intensity stays 255.
inline uint8_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  uint32_t v = (value & mask) >> shift;
  if (width >= 8) return static_cast<uint8_t>(v >> (width - 8));
  uint32_t scaled = v << (8 - width);
  scaled |= scaled >> width;
  if (width < 4) scaled |= scaled >> (2 * width);
  return static_cast<uint8_t>(scaled);
}

inline uint32_t Place(uint8_t channel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  uint32_t v = width >= 8 ? static_cast<uint32_t>(channel) << (width - 8) : channel >> (8 - width);
  return (v << shift) & mask;
}

}  // namespace twl::gdi
