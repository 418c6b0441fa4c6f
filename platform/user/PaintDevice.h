// What the window model asks of the drawing side, which implements these:
// the device context of a paint cycle (BeginPaint asks for one clipped to
// the part of the window being painted and EndPaint gives it back), and
// forgetting the pixels of a window that is gone. Thread-safe; the paint
// device is opened and closed with the window model's lock not held, the
// pixels may be forgotten with it held.
#pragma once

#include <cstdint>

#include "Region.h"
#include "twlwin/types.h"

namespace twl::user {

// clip is in client coordinates.
HDC OpenPaintDevice(HWND window, const Region& clip);
void ClosePaintDevice(HWND window, HDC dc);
void ForgetWindowPixels(uint32_t window);

}  // namespace twl::user
