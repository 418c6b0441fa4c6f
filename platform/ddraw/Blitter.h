// The pixel loops of surfaces: colour fill, copy, copy that skips the
// source colour key, and nearest-pixel stretching, for pixels of 1 to 4
// bytes. Rectangles are checked and clipped by the caller; these loops
// trust them. Source and destination never overlap (the caller copies an
// overlapping source aside first). No state, any thread.
#pragma once

#include <cstddef>
#include <cstdint>

#include "twlwin/types.h"

namespace twl::ddraw {

// Pixels of a surface, or of a part of it: `bits` is the pixel at (left,
// top) in the surface's coordinates.
struct PixelView {
  uint8_t* bits = nullptr;
  ptrdiff_t pitch = 0;
  int left = 0;
  int top = 0;
  int bytesPerPixel = 0;

  uint8_t* At(int x, int y) const {
    return bits + static_cast<ptrdiff_t>(y - top) * pitch + static_cast<ptrdiff_t>(x - left) * bytesPerPixel;
  }
};

// A source colour key: pixel values from low to high are transparent.
struct ColourKey {
  uint32_t low = 0;
  uint32_t high = 0;
};

void Fill(const PixelView& target, const RECT& rect, uint32_t pixel);

// Copies `sourceRect` of the source to (x, y) of the target, skipping
// keyed pixels when a key is given.
void Copy(const PixelView& target, int x, int y, const PixelView& source, const RECT& sourceRect,
          const ColourKey* key);

// Maps `sourceRect` onto `whole` of the target by the nearest pixel and
// writes the part of it inside `clip` (clip lies within whole). Source
// column of target column x: sourceRect.left + (x - whole.left) * source
// width / whole width, rows alike.
void Stretch(const PixelView& target, const RECT& whole, const RECT& clip, const PixelView& source,
             const RECT& sourceRect, const ColourKey* key);

}  // namespace twl::ddraw
