// Colour arithmetic of pixels, shared by bitmaps and the display's pixel
// formats: the channel under a mask as 8 bits and back, and the palette
// entry nearest to a colour. Plain functions.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "twlwin/types.h"

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

// The index of the entry nearest to the colour: the smallest sum of
// squared channel differences, the lowest index on a tie.
inline int NearestEntry(const std::vector<COLORREF>& palette, COLORREF colour) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (size_t i = 0; i < palette.size(); ++i) {
    int dr = GetRValue(palette[i]) - GetRValue(colour);
    int dg = GetGValue(palette[i]) - GetGValue(colour);
    int db = GetBValue(palette[i]) - GetBValue(colour);
    int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace twl::gdi
