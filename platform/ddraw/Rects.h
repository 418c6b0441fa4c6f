// Checks of the rectangles callers pass to surfaces. Arithmetic is done in
// 64 bits, so rectangles near the ends of the 32-bit range cannot wrap into
// ones that look sound. Plain functions.
#pragma once

#include <cstdint>

#include "twlwin/types.h"

namespace twl::ddraw {

inline int64_t WidthOf(const RECT& r) { return static_cast<int64_t>(r.right) - r.left; }
inline int64_t HeightOf(const RECT& r) { return static_cast<int64_t>(r.bottom) - r.top; }

// Neither empty nor inverted.
inline bool IsProper(const RECT& r) { return WidthOf(r) > 0 && HeightOf(r) > 0; }

inline bool LiesWithin(const RECT& r, const RECT& bounds) {
  return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right && r.bottom <= bounds.bottom;
}

}  // namespace twl::ddraw
